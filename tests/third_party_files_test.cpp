// Files nobody here wrote, as Debian packages them: the ILDA shows of LaserBoy (laserboy-indep)
// and the drawings of the Open Clip Art Library (openclipart-svg). scripts/install-deps.sh
// installs both; a test whose package is missing skips.
#include <gtest/gtest.h>

#include <time.h>

#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <map>

#include "formats/contour_files.h"
#include "formats/imports.h"
#include "model/ilda.h"

namespace {

// Every file under a folder (its subfolders too) whose name matches, sorted by path.
QStringList FilesUnder(const QString& folder, const QString& pattern) {
    QStringList files;
    QDirIterator it(folder, {pattern}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << it.next();
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The processor time this thread has used, in nanoseconds: what an import costs, whatever else
// the machine is running.
int64_t ThreadNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// Each show's frames and their points, added up by hand from the section headers (the record
// count at byte 24, the format at byte 7): the fonts hold one frame for each printable ASCII
// character but the space; formatt.ild has two palettes and, before its last frame, a table of
// 3120 colours (format 3), which are no frames.
struct Show {
    int frames;
    int points;
    int longest;
};
const std::map<QString, Show> kShows{
    {QStringLiteral("font_arial.ild"), {94, 2939, 152}},
    {QStringLiteral("font_comic_sans.ild"), {94, 3976, 109}},
    {QStringLiteral("font_courier_new.ild"), {94, 3379, 68}},
    {QStringLiteral("font_impact.ild"), {94, 2475, 122}},
    {QStringLiteral("font_lucida.ild"), {94, 2219, 66}},
    {QStringLiteral("font_narrow_vector.ild"), {94, 1010, 42}},
    {QStringLiteral("font_simple_vector.ild"), {94, 624, 17}},
    {QStringLiteral("font_times_new_roman.ild"), {94, 3770, 148}},
    {QStringLiteral("font_wide_vector.ild"), {94, 1009, 42}},
    {QStringLiteral("formatt.ild"), {3, 511 + 702 + 3120, 3120}},
    {QStringLiteral("in.ild"), {73, 31622, 1024}},
};

}  // namespace

// Every frame of every show as the frame chooser lists it: the walk reaches the end-of-file
// header, each frame decodes whole by its place and by its number, and comes in as a contour
// of its points or, when longer than the contour, as the offer of the frame thinned to fit.
TEST(LaserBoyShows, EveryFrameOfEveryShowComesIn) {
    const QStringList files =
        FilesUnder(QStringLiteral("/usr/share/laserboy/ild"), QStringLiteral("*.ild"));
    if (files.isEmpty()) {
        GTEST_SKIP() << "laserboy-indep is not installed";
    }
    ASSERT_EQ(size_t(files.size()), kShows.size());
    const size_t limit = size_t(model::ilda::kMaxImportPoints);
    int allFrames = 0;
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const Show& want = kShows.at(QFileInfo(file).fileName());
        const formats::IldaShow show = formats::ReadIldaShow(file);
        ASSERT_TRUE(show.error.isEmpty()) << show.error.toStdString();
        EXPECT_FALSE(show.cutShort);
        EXPECT_EQ(show.list.stop, model::ilda::ImportError::None);
        ASSERT_EQ(int(show.list.frames.size()), want.frames);
        int points = 0;
        size_t longest = 0;
        for (size_t i = 0; i < show.list.frames.size(); ++i) {
            SCOPED_TRACE(i);
            const model::ilda::FrameInfo& info = show.list.frames[i];
            const model::ilda::Import frame = model::ilda::DecodeFrame(show.bytes(), info);
            ASSERT_EQ(frame.error, model::ilda::ImportError::None);
            ASSERT_EQ(int(frame.points.size()), info.points);
            points += info.points;
            longest = std::max(longest, frame.points.size());
            const model::ilda::Import byNumber = model::ilda::DecodeFrame(show.bytes(), int(i));
            const formats::Import in = formats::ImportIldaFrame(show, i);
            EXPECT_TRUE(in.error.isEmpty()) << in.error.toStdString();
            if (frame.points.size() <= limit) {
                EXPECT_EQ(byNumber.points, frame.points);
                EXPECT_EQ(in.points, frame.points);
                EXPECT_TRUE(in.question.isEmpty());
            } else {
                EXPECT_EQ(byNumber.error, model::ilda::ImportError::TooManyPoints);
                EXPECT_FALSE(in.question.isEmpty());
                EXPECT_FALSE(in.points.empty());
                EXPECT_LE(in.points.size(), limit);
            }
        }
        EXPECT_EQ(points, want.points);
        EXPECT_EQ(int(longest), want.longest);
        allFrames += int(show.list.frames.size());
    }
    std::printf("LaserBoy: %lld shows, %d frames read\n", qlonglong(files.size()), allFrames);
}

// A fixed sample of the clip art, every Nth of the sorted paths: each drawing comes in as a
// contour, as the offer of a wider spacing, or as a message, and in good time.
TEST(ClipArt, ASampleOfDrawingsComesInOrSaysWhyNot) {
    const QStringList files =
        FilesUnder(QStringLiteral("/usr/share/openclipart/svg"), QStringLiteral("*.svg"));
    if (files.isEmpty()) {
        GTEST_SKIP() << "openclipart-svg is not installed";
    }
    constexpr qsizetype kSample = 300;
    ASSERT_GE(files.size(), kSample);
    // Generous, for a slow machine and the sanitizers' build: an import takes well under a
    // millisecond in the optimised build, the slowest drawing of the sample tens of them.
    constexpr int64_t kBoundNs = 1'000'000'000;
    constexpr int kSpacing = 15;  // the pen's spacing at its start value
    std::map<QString, int> outcomes;
    std::vector<std::pair<int64_t, QString>> times;
    for (qsizetype i = 0; i < kSample; ++i) {
        const QString& file = files[i * (files.size() / kSample)];
        SCOPED_TRACE(file.toStdString());
        const int64_t start = ThreadNanoseconds();
        const formats::Import in = formats::ImportSvgFile(file, kSpacing);
        times.emplace_back(ThreadNanoseconds() - start, file);
        EXPECT_LT(times.back().first, kBoundNs);
        if (!in.error.isEmpty()) {
            EXPECT_TRUE(in.points.empty());
            EXPECT_TRUE(in.question.isEmpty());
            ++outcomes[QStringLiteral("messages")];
        } else {
            EXPECT_FALSE(in.points.empty());
            EXPECT_LE(in.points.size(), model::kMaxContourPoints);
            ++outcomes[in.question.isEmpty() ? QStringLiteral("contours")
                                             : QStringLiteral("offers")];
        }
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "Clip art: %lld of %lld drawings; %d contours, %d offers, %d messages; "
        "median %.2f ms, slowest %.1f ms (%s)\n",
        qlonglong(kSample), qlonglong(files.size()), outcomes[QStringLiteral("contours")],
        outcomes[QStringLiteral("offers")], outcomes[QStringLiteral("messages")],
        double(times[times.size() / 2].first) / 1e6, double(times.back().first) / 1e6,
        qPrintable(times.back().second));
}
