// Files nobody here wrote, as Debian packages them: the ILDA shows of LaserBoy (laserboy-indep)
// and the drawings of the Open Clip Art Library (openclipart-svg). scripts/install-deps.sh
// installs both; a test whose package is missing skips.
#include <gtest/gtest.h>

#include <time.h>

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "app/application.h"
#include "editor/colors.h"
#include "formats/contour_files.h"
#include "formats/imports.h"
#include "model/ilda.h"
#include "support/scripted_dialogs.h"

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

namespace {

// The standard 64 colours of indexed frames, as the ILDA format's table lists them.
constexpr uint32_t kStandardPalette[64] = {
    0xFF0000, 0xFF1000, 0xFF2000, 0xFF3000, 0xFF4000, 0xFF5000, 0xFF6000, 0xFF7000,
    0xFF8000, 0xFF9000, 0xFFA000, 0xFFB000, 0xFFC000, 0xFFD000, 0xFFE000, 0xFFF000,
    0xFFFF00, 0xE0FF00, 0xC0FF00, 0xA0FF00, 0x80FF00, 0x60FF00, 0x40FF00, 0x20FF00,
    0x00FF00, 0x00FF24, 0x00FF49, 0x00FF6D, 0x00FF92, 0x00FFB6, 0x00FFDB, 0x00FFFF,
    0x00E3FF, 0x00C6FF, 0x00AAFF, 0x008EFF, 0x0071FF, 0x0055FF, 0x0038FF, 0x001CFF,
    0x0000FF, 0x2000FF, 0x4000FF, 0x6000FF, 0x8000FF, 0xA000FF, 0xC000FF, 0xE000FF,
    0xFF00FF, 0xFF20FF, 0xFF40FF, 0xFF60FF, 0xFF80FF, 0xFFA0FF, 0xFFC0FF, 0xFFE0FF,
    0xFFFFFF, 0xFFE0E0, 0xFFC0C0, 0xFFA0A0, 0xFF8080, 0xFF6060, 0xFF4040, 0xFF2020};

// A point as its record gives it, read plainly from the bytes.
struct RawPoint {
    int x = 0;
    int y = 0;
    bool blanked = false;
    int index = -1;      // of an indexed record
    bool known = false;  // the colour is known: true colour, or an index within the palette
    uint32_t rgb = 0;
    bool byStandardPalette = false;
};

// Every frame of a show, its records decoded on their own: sections one after another, a
// palette (format 2) in force from its section on, colour tables (format 3) passed over.
std::vector<std::vector<RawPoint>> RawFrames(const QByteArray& file) {
    std::vector<std::vector<RawPoint>> frames;
    const auto* d = reinterpret_cast<const uint8_t*>(file.constData());
    const auto size = size_t(file.size());
    std::vector<uint32_t> palette;  // empty: the standard one
    size_t at = 0;
    while (at + 32 <= size && std::memcmp(d + at, "ILDA", 4) == 0) {
        const int format = d[at + 7];
        const size_t n = size_t((d[at + 24] << 8) | d[at + 25]);
        const size_t recordSize = format == 0   ? 8
                                  : format == 1 ? 6
                                  : format == 4 ? 10
                                  : format == 5 ? 8
                                                : 3;
        at += 32;
        if (n == 0 || at + n * recordSize > size) {
            break;
        }
        if (format == 2) {
            palette.clear();
            for (size_t i = 0; i < n; ++i) {
                const uint8_t* c = d + at + 3 * i;
                palette.push_back(uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2]);
            }
        } else if (format != 3) {
            std::vector<RawPoint> frame;
            for (size_t i = 0; i < n; ++i) {
                const uint8_t* r = d + at + i * recordSize;
                const size_t status = (format == 0 || format == 4) ? 6 : 4;
                RawPoint p;
                p.x = int16_t((r[0] << 8) | r[1]);
                p.y = int16_t((r[2] << 8) | r[3]);
                p.blanked = (r[status] & 0x40) != 0;
                if (format == 4 || format == 5) {
                    p.known = true;
                    p.rgb = uint32_t(r[status + 3]) << 16 | uint32_t(r[status + 2]) << 8 |
                            r[status + 1];
                } else {
                    p.index = r[status + 1];
                    p.byStandardPalette = palette.empty();
                    const size_t colours = palette.empty() ? 64 : palette.size();
                    p.known = size_t(p.index) < colours;
                    if (p.known) {
                        p.rgb =
                            palette.empty() ? kStandardPalette[p.index] : palette[size_t(p.index)];
                    }
                }
                frame.push_back(p);
            }
            frames.push_back(std::move(frame));
        }
        at += n * recordSize;
    }
    return frames;
}

QByteArray ReadBytes(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The surface spans ILDA -32767..32596 across (pixels 0..383) and -32596..32767 upwards.
int OnSurface(int v, bool up) {
    return up ? std::clamp(v, -32596, 32767) : std::clamp(v, -32767, 32596);
}

}  // namespace

// Every frame that fits the contour, of every show, taken as Open takes it and saved as Save
// writes an ILDA file: each point keeps its blanking and its colour (the palette's colour of an
// indexed record, the export's line colour where the index names none); written in indexed
// colours, a frame of the standard palette keeps each index. Compared with the original
// records as read above, apart from the program's reader.
TEST(LaserBoyShows, EveryFrameThatFitsKeepsItsBlankingAndColours) {
    const QStringList files =
        FilesUnder(QStringLiteral("/usr/share/laserboy/ild"), QStringLiteral("*.ild"));
    if (files.isEmpty()) {
        GTEST_SKIP() << "laserboy-indep is not installed";
    }
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("frame.ild"));
    const QString indexed = dir.filePath(QStringLiteral("indexed.ild"));
    constexpr uint32_t kLine = 0x123456;
    formats::WriteOptions trueColour;
    trueColour.lineColor = {0x12, 0x34, 0x56};
    formats::WriteOptions palette = trueColour;
    palette.ildaFormat = model::ilda::kIndexed2D;
    int frames = 0;
    long points = 0;
    long blanked = 0;
    long indices = 0;
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const formats::IldaShow show = formats::ReadIldaShow(file);
        const std::vector<std::vector<RawPoint>> raw = RawFrames(show.data);
        ASSERT_EQ(raw.size(), show.list.frames.size());
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i].size() > size_t(model::ilda::kMaxImportPoints)) {
                continue;
            }
            SCOPED_TRACE(i);
            const formats::Import in = formats::ImportIldaFrame(show, i);
            ASSERT_TRUE(in.error.isEmpty());
            auto contour = std::make_unique<model::Contour>();
            contour->Reset();
            contour->SetPoints(in.points, in.styles);
            ASSERT_TRUE(formats::WriteIldaFile(out, *contour, trueColour).ok);
            ASSERT_TRUE(formats::WriteIldaFile(indexed, *contour, palette).ok);
            const std::vector<std::vector<RawPoint>> back = RawFrames(ReadBytes(out));
            const std::vector<std::vector<RawPoint>> backIndexed = RawFrames(ReadBytes(indexed));
            ASSERT_EQ(back.size(), 1u);
            ASSERT_EQ(back[0].size(), raw[i].size());
            ASSERT_EQ(backIndexed.size(), 1u);
            for (size_t k = 0; k < raw[i].size(); ++k) {
                const RawPoint& a = raw[i][k];
                const RawPoint& b = back[0][k];
                ASSERT_EQ(b.blanked, a.blanked) << k;
                ASSERT_EQ(b.rgb, a.known ? a.rgb : kLine) << k;
                ASSERT_EQ(b.x, OnSurface(a.x, false)) << k;
                ASSERT_EQ(b.y, OnSurface(a.y, true)) << k;
                ASSERT_EQ(backIndexed[0][k].blanked, a.blanked) << k;
                if (a.byStandardPalette && a.known) {
                    ASSERT_EQ(backIndexed[0][k].index, a.index) << k;
                    ++indices;
                }
                blanked += a.blanked ? 1 : 0;
            }
            ++frames;
            points += long(raw[i].size());
        }
    }
    // The shows' 922 frames but the one of 3120 points.
    EXPECT_EQ(frames, 921);
    std::printf(
        "LaserBoy round trip: %d frames, %ld points compared (%ld blanked), %ld "
        "indices kept\n",
        frames, points, blanked, indices);
}

// in.ild, 73 frames of up to 1024 points, opened whole as Open takes a show and saved as Save
// writes one: every frame back in its place, each point where it was (on the surface), with
// its blanking and its colour, and the frames' names. Compared with the original records as
// read above, apart from the program's reader.
TEST(LaserBoyShows, InOpensWholeAndSavesBackFrameForFrame) {
    const QString file = QStringLiteral("/usr/share/laserboy/ild/in.ild");
    if (!QFile::exists(file)) {
        GTEST_SKIP() << "laserboy-indep is not installed";
    }
    QTemporaryDir dir;
    testing_support::ScriptedDialogs dialogs;
    const auto w = app::CreateWindows();
    w->BaseForm->setDialogs(&dialogs);
    w->BaseForm->fileCommands().OpenContourFile(file);
    const QString out = dir.filePath(QStringLiteral("in.ild"));
    dialogs.fileAnswers = {out};
    w->BaseForm->action(QStringLiteral("SaveAsItem"))->trigger();
    EXPECT_TRUE(dialogs.messages.empty());
    const uint32_t line =
        editor::ResolveColor(w->BaseForm->editor().settings().ColorBoxLine) & 0xFFFFFFu;
    const std::vector<std::vector<RawPoint>> raw = RawFrames(ReadBytes(file));
    const QByteArray saved = ReadBytes(out);
    const std::vector<std::vector<RawPoint>> back = RawFrames(saved);
    ASSERT_EQ(raw.size(), 73u);
    ASSERT_EQ(back.size(), raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        ASSERT_EQ(back[i].size(), raw[i].size()) << i;
        for (size_t k = 0; k < raw[i].size(); ++k) {
            const RawPoint& a = raw[i][k];
            const RawPoint& b = back[i][k];
            ASSERT_EQ(b.x, OnSurface(a.x, false)) << i << " " << k;
            ASSERT_EQ(b.y, OnSurface(a.y, true)) << i << " " << k;
            ASSERT_EQ(b.blanked, a.blanked) << i << " " << k;
            ASSERT_EQ(b.rgb, a.known ? a.rgb : line) << i << " " << k;
        }
    }
    // The first frame's name and number, 0 of 73, from its header.
    EXPECT_EQ(saved.mid(8, 8), QByteArray("in_00000"));
    EXPECT_EQ(saved.mid(26, 4), QByteArray::fromHex("00000049"));
}
