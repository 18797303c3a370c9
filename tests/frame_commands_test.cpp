// The frame commands on worked shows: which frames there are in which order, which one the
// contour holds, and what Undo brings back. Frame k of a show here has k points, so the point
// counts name the frames.
#include <gtest/gtest.h>

#include <QAction>
#include <QListView>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "app/application.h"
#include "support/modal.h"
#include "support/picture_files.h"
#include "support/program.h"
#include "support/scripted_dialogs.h"
#include "window/frame_strip.h"
#include "window/trace_commands.h"

namespace {

model::Frame FrameOf(int points) {
    model::Frame f;
    for (int i = 0; i < points; ++i) {
        f.points.push_back({model::PixelToUnit(20 + 10 * points), model::PixelToUnit(20 + 10 * i)});
    }
    return f;
}

std::vector<int> Counts(const editor::Show& show) {
    std::vector<int> counts;
    for (const model::Frame& f : show.frames()) {
        counts.push_back(int(f.points.size()));
    }
    return counts;
}

}  // namespace

TEST(FrameCommands, EachCommandOnWorkedShowsAndItsUndo) {
    using window::FrameCommands;
    struct Row {
        const char* what;
        std::vector<int> start;
        int current;
        std::function<void(FrameCommands&)> command;
        std::vector<int> after;
        int afterCurrent;
        bool undoable;
    };
    const Row rows[] = {
        {"new after the current",
         {1, 2, 3},
         1,
         &FrameCommands::ItemFrameNewClick,
         {1, 2, 0, 3},
         2,
         true},
        {"copy of the first",
         {1, 2, 3},
         0,
         &FrameCommands::ItemFrameDuplicateClick,
         {1, 1, 2, 3},
         1,
         true},
        {"delete the middle", {1, 2, 3}, 1, &FrameCommands::ItemFrameDeleteClick, {1, 3}, 1, true},
        {"delete the last", {1, 2, 3}, 2, &FrameCommands::ItemFrameDeleteClick, {1, 2}, 1, true},
        {"the only frame stays", {4}, 0, &FrameCommands::ItemFrameDeleteClick, {4}, 0, false},
        {"next", {1, 2, 3}, 0, &FrameCommands::ItemFrameNextClick, {1, 2, 3}, 1, false},
        {"no next after the last",
         {1, 2, 3},
         2,
         &FrameCommands::ItemFrameNextClick,
         {1, 2, 3},
         2,
         false},
        {"previous", {1, 2, 3}, 2, &FrameCommands::ItemFramePreviousClick, {1, 2, 3}, 1, false},
        {"last", {1, 2, 3}, 0, &FrameCommands::ItemFrameLastClick, {1, 2, 3}, 2, false},
        {"the current dragged to the end",
         {1, 2, 3},
         0,
         [](auto& c) { c.Move(0, 2); },
         {2, 3, 1},
         2,
         true},
        {"another dragged past the current",
         {1, 2, 3},
         1,
         [](auto& c) { c.Move(0, 2); },
         {2, 3, 1},
         0,
         true},
        {"three in-betweens to the next",
         {1, 2, 2},
         1,
         [](auto& c) { c.InBetween(3); },
         {1, 2, 2, 2, 2, 2},
         2,
         true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const auto w = app::CreateWindows();
        window::TBaseForm& form = *w->BaseForm;
        editor::Show& show = form.editor().document().show();
        std::vector<model::Frame> frames;
        for (int n : r.start) {
            frames.push_back(FrameOf(n));
        }
        show.Reset(frames, r.current);
        r.command(form.frameCommands());
        EXPECT_EQ(Counts(show), r.after);
        EXPECT_EQ(show.current(), r.afterCurrent);
        // The contour is the current frame.
        EXPECT_EQ(form.editor().contour().State.PointCount, r.after[std::size_t(r.afterCurrent)]);
        QAction* undo = form.action(QStringLiteral("OtkatItem"));
        EXPECT_EQ(undo->isEnabled(), r.undoable);
        if (r.undoable) {
            undo->trigger();
            EXPECT_EQ(Counts(show), r.start);
            EXPECT_EQ(show.current(), r.current);
            EXPECT_EQ(form.editor().contour().State.PointCount, r.start[std::size_t(r.current)]);
            EXPECT_FALSE(undo->isEnabled());
        }
    }
}

// A press on the surface after a frame command is the newest step: Undo takes back the press,
// not the frame command.
TEST(FrameCommands, APressAfterAFrameCommandIsWhatUndoTakesBack) {
    const auto w = app::CreateWindows();
    window::TBaseForm& form = *w->BaseForm;
    editor::Show& show = form.editor().document().show();
    show.Reset({FrameOf(2), FrameOf(3)}, 0);
    form.frameCommands().ItemFrameNewClick();
    ASSERT_EQ(show.count(), 3);
    form.editor().PaintBoxVardeniMouseDown(editor::MouseButton::Left, 100, 100);
    form.editor().PaintBoxVardeniMouseUp(editor::MouseButton::Left, 100, 100);
    form.action(QStringLiteral("OtkatItem"))->trigger();
    EXPECT_EQ(show.count(), 3);
}

// The strip of a long show draws only the pictures it shows; a click makes a frame the one
// edited, a frame dropped between two others moves there (and Undo takes it back).
TEST(FrameCommands, TheStripDrawsWhatItShowsSelectsAndMoves) {
    const auto w = app::CreateWindows();
    window::TBaseForm& form = *w->BaseForm;
    editor::Show& show = form.editor().document().show();
    std::vector<model::Frame> frames;
    for (int i = 1; i <= 200; ++i) {
        frames.push_back(FrameOf(1 + i % 7));
    }
    show.Reset(frames, 0);
    form.editor().document().FramesChanged();
    form.editor().document().Settle();
    form.ShowFrameStrip(true);
    window::FrameStrip& strip = *form.frameStrip();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&strip));
    QCoreApplication::processEvents();
    // 487 pixels wide: a handful of 64-pixel pictures, not two hundred.
    EXPECT_GT(strip.model().drawn(), 0);
    EXPECT_LT(strip.model().drawn(), 20);

    const QRect third = strip.view().visualRect(strip.model().index(2));
    QTest::mouseClick(strip.view().viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(show.current(), 2);

    // Frame 1 (two points) dropped before frame 4: it becomes the third.
    std::unique_ptr<QMimeData> dragged(strip.model().mimeData({strip.model().index(0)}));
    strip.model().dropMimeData(dragged.get(), Qt::MoveAction, 3, 0, {});
    EXPECT_EQ(Counts(show)[2], 2);
    EXPECT_EQ(show.current(), 1);  // the frame edited, now one place earlier
    form.action(QStringLiteral("OtkatItem"))->trigger();
    EXPECT_EQ(Counts(show)[0], 2);
}

// In-betweens need a next frame of as many points: the counts are named; the number asked for
// is what comes in.
TEST(FrameCommands, InBetweensAskHowManyAndNameUnequalCounts) {
    testing_support::ScriptedDialogs dialogs;
    const auto w = app::CreateWindows();
    window::TBaseForm& form = *w->BaseForm;
    form.setDialogs(&dialogs);
    editor::Show& show = form.editor().document().show();
    show.Reset({FrameOf(2), FrameOf(3), FrameOf(3)}, 0);
    dialogs.numberAnswers = {4, 2};
    form.action(QStringLiteral("ItemFrameInBetween"))->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("В кадре 1 2 точек, а в кадре 2 — 3: промежуточные кадры строятся "
                             "только между кадрами с равным числом точек."));
    EXPECT_EQ(Counts(show), (std::vector<int>{2, 3, 3}));
    form.frameCommands().Go(1);
    form.action(QStringLiteral("ItemFrameInBetween"))->trigger();
    ASSERT_EQ(dialogs.numberRequests.size(), 2u);
    EXPECT_EQ(dialogs.numberRequests[1].maximum, model::kMaxShowFrames - 3);
    EXPECT_EQ(Counts(show), (std::vector<int>{2, 3, 3, 3, 3}));
}

// Frames from several files come after the current frame in the order of the files' names
// (a contour file's one, then every frame of a show, then every frame of an animated GIF,
// traced), and Undo takes them out again.
TEST(FrameCommands, FramesFromFilesComeAfterTheCurrentInTheOrderOfTheirNames) {
    QTemporaryDir dir;
    // A show of frames of 1, 2 and 3 points (format 5), then the end header.
    QByteArray ilda;
    for (int frame = 1; frame <= 4; ++frame) {
        const int records = frame < 4 ? frame : 0;
        ilda += QByteArray("ILDA\0\0\0\5", 8) + QByteArray(17, '\0') + char(records) +
                QByteArray(6, '\0');
        for (int p = 1; p <= records; ++p) {
            ilda += QByteArray::fromHex("0100020000ffffff");
            ilda[ilda.size() - 4] = char(p == records ? 0x80 : 0);
        }
    }
    testing_support::WriteFile(dir.filePath(QStringLiteral("b10.ild")), ilda);
    testing_support::WriteFile(
        dir.filePath(QStringLiteral("b9.ilz")),
        testing_support::ContourFileOf({{10, 10}, {20, 20}, {30, 30}, {40, 40}, {50, 50}}));
    // An animated GIF of two frames, traced: a black square in the middle, then a smaller one
    // in the top left corner.
    QList<QImage> gif;
    for (const QRect square : {QRect(8, 8, 16, 16), QRect(2, 2, 8, 8)}) {
        gif << QImage(32, 32, QImage::Format_RGB32);
        gif.back().fill(Qt::white);
        QPainter(&gif.back()).fillRect(square, Qt::black);
    }
    testing_support::WriteFile(dir.filePath(QStringLiteral("b11.gif")),
                               testing_support::EncodeGif(gif));
    testing_support::ScriptedDialogs dialogs;
    const auto w = app::CreateWindows();
    window::TBaseForm& form = *w->BaseForm;
    form.setDialogs(&dialogs);
    editor::Show& show = form.editor().document().show();
    show.Reset({FrameOf(1), FrameOf(2)}, 0);
    dialogs.severalAnswers = {{dir.filePath(QStringLiteral("b11.gif")),
                               dir.filePath(QStringLiteral("b10.ild")),
                               dir.filePath(QStringLiteral("b9.ilz"))}};
    // The GIF's frames are traced with the settings of one dialog, OK'd as it opens.
    QString traceTitle;
    testing_support::WhenModal<window::TraceDialog>([&traceTitle](window::TraceDialog& d) {
        traceTitle = d.windowTitle();
        QTest::keyClick(&d, Qt::Key_Return);
    });
    form.action(QStringLiteral("ItemFramesFromFiles"))->trigger();
    EXPECT_EQ(traceTitle, QStringLiteral("Трассировка: b11.gif"));
    EXPECT_TRUE(dialogs.messages.empty());
    const std::vector<int> counts = Counts(show);
    ASSERT_EQ(counts.size(), 8u);
    EXPECT_EQ(std::vector<int>(counts.begin(), counts.begin() + 5),
              (std::vector<int>{1, 5, 1, 2, 3}));
    EXPECT_EQ(counts[7], 2);
    EXPECT_EQ(show.current(), 1);
    EXPECT_EQ(show.name(1), "b9");
    // The squares' outlines, where the picture fitted to the surface put them: the first around
    // the middle, the second in the top left quarter.
    const std::vector<model::Frame> frames = show.frames();
    const auto box = [&frames](int i) {
        QRect r;
        for (const model::ContourPoint& p : frames[size_t(i)].points) {
            r |= QRect(p.x / 5000000, p.y / 5000000, 1, 1);
        }
        return r;
    };
    ASSERT_GT(counts[5], 3);
    ASSERT_GT(counts[6], 3);
    EXPECT_LE(std::abs(box(5).center().x()), 10);
    EXPECT_LE(std::abs(box(5).center().y()), 10);
    EXPECT_LT(box(6).right(), 0);
    EXPECT_LT(box(6).bottom(), 0);
    EXPECT_LT(box(6).width(), box(5).width());
    form.action(QStringLiteral("OtkatItem"))->trigger();
    EXPECT_EQ(Counts(show), (std::vector<int>{1, 2}));
}
