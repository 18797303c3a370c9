#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <vector>

#include "editor/editor.h"
#include "support/fake_host.h"
#include "support/wait.h"

using editor::MouseButton;
using testing_support::EditorFixture;

namespace {

struct Event {
    char kind;
    MouseButton button;
    int x;
    int y;
    bool operator==(const Event&) const = default;
};

// A tool that remembers what reached it.
class RecordingTool : public editor::Tool {
  public:
    void Down(MouseButton b, int x, int y) override { events.push_back({'d', b, x, y}); }
    void Move(int x, int y) override { events.push_back({'m', MouseButton::Left, x, y}); }
    void Up(MouseButton b, int x, int y) override { events.push_back({'u', b, x, y}); }
    std::vector<Event> events;
};

}  // namespace

TEST(Dispatch, PositionsAreClampedBeforeTheToolSeesThem) {
    EditorFixture f;
    RecordingTool tool;
    f.editor.setTool(model::tmPen, &tool);
    f.editor.state().ToolMode = model::tmPen;
    f.editor.PaintBoxVardeniMouseDown(MouseButton::Left, 390, -4);
    f.editor.PaintBoxVardeniMouseMove(-20, 500);
    f.editor.PaintBoxVardeniMouseUp(MouseButton::Left, -20, 500);
    const std::vector<Event> expected = {{'d', MouseButton::Left, 383, 0},
                                         {'m', MouseButton::Left, 0, 383},
                                         {'u', MouseButton::Left, 0, 383}};
    EXPECT_EQ(tool.events, expected);
}

TEST(Dispatch, OnlyTheActiveModesHandlersRun) {
    EditorFixture f;
    RecordingTool pen;
    RecordingTool kontur;
    f.editor.setTool(model::tmPen, &pen);
    f.editor.setTool(model::tmKontur, &kontur);
    f.editor.PaintBoxVardeniMouseDown(MouseButton::Right, 5, 5);
    EXPECT_EQ(kontur.events.size(), 1u);
    EXPECT_TRUE(pen.events.empty());
    f.editor.state().ToolMode = 42;  // an unknown mode dispatches nothing
    f.editor.PaintBoxVardeniMouseDown(MouseButton::Left, 5, 5);
    f.editor.PaintBoxVardeniMouseUp(MouseButton::Left, 5, 5);
    EXPECT_EQ(kontur.events.size(), 1u);
}

TEST(Dispatch, CoordinateReadoutInStatusPanel) {
    EditorFixture f;
    const std::pair<int, const char*> cases[] = {
        {0, "X:-960  Y:-960"}, {192, "X:0  Y:0"}, {383, "X:955  Y:955"}, {390, "X:955  Y:955"}};
    for (const auto& [p, text] : cases) {
        f.editor.PaintBoxVardeniMouseMove(p, p);
        EXPECT_EQ(f.host.panels[editor::kPanelCoords], QString::fromUtf8(text));
    }
    f.editor.PaintBoxVardeniMouseMove(0, 383);
    EXPECT_EQ(f.host.panels[editor::kPanelCoords], QStringLiteral("X:-960  Y:955"));
}

TEST(Dispatch, EveryPressTakesTheSnapshotFirstWhateverTheModeOrButton) {
    EditorFixture f;
    f.editor.state().ToolMode = model::tmPrimitiv;  // no handlers at all
    f.editor.FillBuffer(10, 10);
    EXPECT_FALSE(f.host.undoEnabled);
    f.editor.PaintBoxVardeniMouseDown(MouseButton::Right, 1, 1);
    EXPECT_TRUE(f.host.undoEnabled);
    EXPECT_EQ(f.editor.state().UndoCount, 1);
    f.editor.FillBuffer(20, 20);
    f.editor.FillBuffer(30, 30);
    f.editor.PaintBoxVardeniMouseDown(MouseButton::Middle, 1, 1);
    f.editor.FillBuffer(40, 40);
    f.editor.SpeedButtonUndoClick();
    // Back to the state before the second press only.
    EXPECT_EQ(f.editor.state().PointCount, 3);
    EXPECT_FALSE(f.host.undoEnabled);
    EXPECT_EQ(f.host.undoLog, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(f.host.panels[editor::kPanelLength], QStringLiteral("Leng: 3"));
}

TEST(Dispatch, TheSnapshotComesBeforeTheToolChangesAnything) {
    EditorFixture f;
    struct Appender : editor::Tool {
        editor::Editor* e = nullptr;
        void Down(MouseButton, int x, int y) override { e->FillBuffer(x, y); }
    } appender;
    appender.e = &f.editor;
    f.editor.setTool(model::tmPen, &appender);
    f.editor.state().ToolMode = model::tmPen;
    f.editor.PaintBoxVardeniMouseDown(MouseButton::Left, 10, 10);
    f.editor.PaintBoxVardeniMouseDown(MouseButton::Left, 20, 20);
    EXPECT_EQ(f.editor.state().PointCount, 2);
    f.editor.SpeedButtonUndoClick();
    EXPECT_EQ(f.editor.state().PointCount, 1);
    f.editor.contour().ReadFromBuffer(0);
    EXPECT_EQ(f.editor.contour().ReadPos, (model::PixelPos{10, 10}));
}

TEST(FillBufferStatus, ShowsTheLengthOnlyWhenItAppends) {
    EditorFixture f;
    f.editor.state().PointCount = 2040;
    f.editor.FillBuffer(1, 2);
    EXPECT_EQ(f.host.panels[editor::kPanelLength], QStringLiteral("Leng: 2041"));
    const int writes = f.host.lengthWrites;
    f.editor.FillBuffer(3, 4);
    EXPECT_EQ(f.host.lengthWrites, writes);
    EXPECT_EQ(f.editor.state().PointCount, 2041);
}

TEST(Timers, ArmingAnArmedRepaintTimerDoesNotRestartIt) {
    EditorFixture f;
    QTimer& t = f.editor.TimerOnPaint();
    EXPECT_FALSE(t.isActive());
    EXPECT_EQ(t.interval(), 200);
    QElapsedTimer clock;
    clock.start();
    f.editor.SelectTool(model::tmPen, QStringLiteral("Paint Picture"));
    QTest::qWait(100);
    const qint64 waited = clock.elapsed();
    f.editor.SelectTool(model::tmEraser, QStringLiteral("Delete Dot"));
    f.editor.SelectTool(model::tmKnife, QStringLiteral("new Split"));
    // Still the first arming: what is left is counted from the first click.
    if (t.isActive()) {
        EXPECT_LE(t.remainingTime(), 200 - waited + 15);
    }
    const int before = f.host.lengthWrites;
    EXPECT_TRUE(testing_support::WaitUntil([&] { return !t.isActive(); }, 1000));
    EXPECT_GE(clock.elapsed(), 195);
    QTest::qWait(250);
    EXPECT_EQ(f.host.lengthWrites - before, 1);  // exactly one repaint
    EXPECT_EQ(f.editor.state().ToolMode, model::tmKnife);
    EXPECT_EQ(f.host.panels[editor::kPanelTool], QStringLiteral("new Split"));
}

TEST(Timers, ToolsClickArmsTheRepaintButKeepsTheMode) {
    EditorFixture f;
    f.editor.SpeedButtonToolsClick();
    EXPECT_TRUE(f.editor.TimerOnPaint().isActive());
    EXPECT_EQ(f.editor.state().ToolMode, model::tmKontur);
    EXPECT_EQ(f.host.panels[editor::kPanelTool], QStringLiteral("???"));
}

TEST(Timers, StatusDotTimerEmptiesPanelFour) {
    EditorFixture f;
    EXPECT_EQ(f.editor.timerStatusDot().interval(), 2000);
    f.host.panels[editor::kPanelDot] = QStringLiteral("Dot:5");
    f.editor.ArmStatusDot();
    EXPECT_TRUE(f.editor.timerStatusDot().isActive());
    f.editor.timerStatusDot().setInterval(10);  // not to wait two seconds here
    f.editor.timerStatusDot().start();
    EXPECT_TRUE(testing_support::WaitUntil(
        [&] { return f.host.panels[editor::kPanelDot] == QString(); }, 1000));
    EXPECT_FALSE(f.editor.timerStatusDot().isActive());
}

TEST(Publishing, OnlyTheChangedRectangleIsReported) {
    EditorFixture f;
    f.editor.state().ToolMode = model::tmPen;
    f.editor.PaintPic(true, true);
    f.host.changed = QRect();
    f.editor.canvas().moveTo(10, 10);
    f.editor.PaintDsp(20, 10);
    f.editor.publishSurface();
    EXPECT_EQ(f.host.changed, QRect(QPoint(10, 8), QPoint(21, 11)));
}
