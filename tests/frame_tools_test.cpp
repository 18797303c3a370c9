#include <gtest/gtest.h>

#include "editor/editor.h"
#include "support/fake_host.h"
#include "support/pixels.h"

using editor::CursorShape;
using editor::MouseButton;
using model::FrameRectangle;
using model::PixelPos;

namespace {

constexpr QRgb kYellow = qRgb(255, 255, 0);
constexpr QRgb kOlive = qRgb(128, 128, 0);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kMaroon = qRgb(128, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);

// Drives the frame, move and centre tools through the surface dispatch.
struct Tools : testing_support::EditorFixture {
    explicit Tools(int mode = model::tmKontur) {
        editor.FormCreate();
        if (mode != model::tmKontur) {
            editor.SelectTool(mode, QStringLiteral("tool"));
        }
    }
    void press(int x, int y, MouseButton b = MouseButton::Left) {
        editor.PaintBoxVardeniMouseDown(b, x, y);
    }
    void move(int x, int y) { editor.PaintBoxVardeniMouseMove(x, y); }
    void release(int x, int y, MouseButton b = MouseButton::Left) {
        editor.PaintBoxVardeniMouseUp(b, x, y);
    }
    model::EditorState& st() { return editor.state(); }
    FrameRectangle frame() { return st().FrameRect; }
    QRgb at(int x, int y) { return editor.canvas().image().pixel(x, y) | 0xFF000000u; }
    QRgb face() { return editor.BaseColor() | 0xFF000000u; }
    int count(QRgb c) {
        return testing_support::CountColor(editor.canvas().image(), QRect(0, 0, 384, 384), c);
    }
    // Draws a new frame from (x1, y1) to (x2, y2) with a left drag, starting away from any edge.
    void drawFrame(int x1, int y1, int x2, int y2) {
        move(x1, y1);
        ASSERT_EQ(st().FrameEdge, 0);
        press(x1, y1);
        move(x2, y2);
        release(x2, y2);
    }
};

}  // namespace

TEST(FrameTool, BeforeAnyMoveAPressTakesNothing) {
    Tools t;
    ASSERT_EQ(t.st().FrameEdge, -1);
    t.press(3, 3);
    EXPECT_EQ(t.st().FrameDrag, -1);
    EXPECT_EQ(t.frame(), (FrameRectangle{1, 1, 1, 1}));
    t.move(3, 40);
    EXPECT_EQ(t.frame(), (FrameRectangle{1, 1, 1, 1}));
}

TEST(FrameTool, StartUpHoverAtThreeThreeTakesTheBottomEdge) {
    Tools t;
    t.move(3, 3);
    EXPECT_EQ(t.st().FrameEdge, 4);
    EXPECT_EQ(t.host.cursor, CursorShape::SizeNS);
    t.press(3, 3);
    EXPECT_EQ(t.st().FrameDrag, 4);
    t.move(30, 50);
    EXPECT_EQ(t.frame(), (FrameRectangle{1, 1, 1, 50}));
    t.release(30, 50);
    EXPECT_EQ(t.st().FrameDrag, -1);
    EXPECT_EQ(t.host.cursor, CursorShape::Arrow);
}

TEST(FrameTool, HoverIsStrictAndTheLaterEdgeWins) {
    Tools t;
    t.st().FrameRect = {100, 100, 200, 200};
    struct Case {
        int x, y, edge;
        CursorShape cursor;
    };
    const Case cases[] = {
        {150, 150, 0, CursorShape::Arrow},  {95, 150, 0, CursorShape::Arrow},
        {96, 150, 1, CursorShape::SizeWE},  {104, 150, 1, CursorShape::SizeWE},
        {105, 150, 0, CursorShape::Arrow},  {204, 150, 2, CursorShape::SizeWE},
        {205, 150, 0, CursorShape::Arrow},  {150, 96, 3, CursorShape::SizeNS},
        {150, 204, 4, CursorShape::SizeNS}, {150, 95, 0, CursorShape::Arrow},
        {102, 102, 3, CursorShape::SizeNS},  // top beats left
        {198, 102, 3, CursorShape::SizeNS},  // top beats right
        {102, 198, 4, CursorShape::SizeNS},  // bottom beats left
        {300, 300, 0, CursorShape::Arrow},
    };
    for (const Case& c : cases) {
        t.move(c.x, c.y);
        EXPECT_EQ(t.st().FrameEdge, c.edge) << c.x << "," << c.y;
        EXPECT_EQ(t.host.cursor, c.cursor) << c.x << "," << c.y;
    }
    // A thin frame: bottom beats top; a narrow one: right beats left.
    t.st().FrameRect = {100, 100, 200, 103};
    t.move(150, 101);
    EXPECT_EQ(t.st().FrameEdge, 4);
    t.st().FrameRect = {100, 100, 103, 200};
    t.move(101, 150);
    EXPECT_EQ(t.st().FrameEdge, 2);
}

TEST(FrameTool, PressAtTheCornerStartsAFrameOffTheSurface) {
    Tools t;
    t.drawFrame(200, 200, 250, 260);
    EXPECT_EQ(t.frame(), (FrameRectangle{199, 199, 250, 260}));
    t.move(0, 0);
    ASSERT_EQ(t.st().FrameEdge, 0);
    t.press(0, 0);
    EXPECT_EQ(t.st().FrameDrag, 0);
    EXPECT_EQ(t.frame(), (FrameRectangle{-1, -1, 1, 1}));
    t.move(-10, -10);  // clamped to (0, 0) by the dispatch
    EXPECT_EQ(t.frame(), (FrameRectangle{-1, -1, 0, 0}));
    t.release(0, 0);
    EXPECT_EQ(t.at(0, 0), kOlive);
}

TEST(FrameTool, DrawingUpLeftPastThePressCornerFollowsTheLastTwoPositions) {
    Tools t;
    t.move(200, 200);
    t.press(200, 200);
    EXPECT_EQ(t.frame(), (FrameRectangle{199, 199, 201, 201}));
    t.move(190, 190);
    EXPECT_EQ(t.frame(), (FrameRectangle{199, 199, 190, 190}));
    // The normalisation swaps the press corner into x2, y2, which then follow the pointer.
    t.move(180, 185);
    EXPECT_EQ(t.frame(), (FrameRectangle{190, 190, 180, 185}));
    t.move(170, 175);
    EXPECT_EQ(t.frame(), (FrameRectangle{180, 185, 170, 175}));
    t.release(170, 175);
    EXPECT_EQ(t.frame(), (FrameRectangle{180, 185, 170, 175}));
    t.move(300, 300);
    EXPECT_EQ(t.frame(), (FrameRectangle{170, 175, 180, 185}));
}

TEST(FrameTool, SmallStepsKeepTheNorthSouthCursor) {
    Tools t;
    t.move(100, 100);
    t.press(100, 100);
    for (int d = 3; d <= 60; d += 3) {
        t.move(100 + d, 100 + d);
        EXPECT_EQ(t.host.cursor, CursorShape::SizeNS) << d;
    }
    EXPECT_EQ(t.frame(), (FrameRectangle{99, 99, 160, 160}));
}

TEST(FrameTool, DragErasesAndRedrawsOnlyTheFrameUntilTheRelease) {
    Tools t;
    t.editor.WriteToBuffer(0, 50, 150);
    t.editor.WriteToBuffer(2, 130, 150);
    t.editor.WriteToBuffer(4, 300, 300);
    t.st().PointCount = 3;
    t.editor.Repaint();
    // The edge of point 1's disc that no segment crosses.
    ASSERT_EQ(t.at(131, 150), kMaroon);
    t.move(100, 100);
    t.press(100, 100);
    t.move(160, 150);
    EXPECT_NE(t.at(131, 150), kMaroon);  // under the dotted bottom edge
    t.move(120, 120);
    // The old bottom edge is painted over in the background, wiping the point beneath it.
    EXPECT_EQ(t.at(131, 150), t.face());
    EXPECT_EQ(t.at(130, 150), t.face());
    EXPECT_TRUE(t.at(113, 120) == kYellow || t.at(114, 120) == kYellow);  // dotted outline
    EXPECT_EQ(t.at(120, 120), kOlive);                                    // a corner handle
    t.release(120, 120);
    EXPECT_EQ(t.at(131, 150), kMaroon);
    EXPECT_EQ(t.at(120, 120), kOlive);
}

TEST(FrameTool, OtherButtonsDoNotPressButAnyReleaseEndsTheDragAndRepaints) {
    Tools t;
    t.move(200, 200);
    t.press(200, 200, MouseButton::Right);
    EXPECT_EQ(t.st().FrameDrag, -1);
    EXPECT_EQ(t.frame(), (FrameRectangle{1, 1, 1, 1}));
    t.editor.canvas().image().setPixel(300, 300, kRed);
    t.release(200, 200, MouseButton::Right);
    EXPECT_EQ(t.at(300, 300), t.face());

    t.press(200, 200);
    EXPECT_EQ(t.st().FrameDrag, 0);
    t.release(200, 200, MouseButton::Middle);
    EXPECT_EQ(t.st().FrameDrag, -1);
    t.move(250, 250);
    EXPECT_EQ(t.frame(), (FrameRectangle{199, 199, 201, 201}));
}

TEST(MoveTool, ArmsAnywhereAndJumpsWhenThePointerReachesTheFrame) {
    Tools t;
    for (int i = 0; i < 4; ++i) {
        t.editor.WriteToBuffer(2 * i, 10 + 50 * i, 300 - 20 * i);
    }
    t.st().PointCount = 4;
    t.st().FrameRect = {100, 100, 150, 150};
    t.editor.SelectTool(model::tmMove, QStringLiteral("Move Object"));
    const model::ContourBuffer before = t.editor.contour().Buffer;

    t.press(300, 300);
    EXPECT_EQ(t.st().MoveDrag, 0);
    EXPECT_EQ(t.st().MoveAnchor, (PixelPos{300, 300}));
    EXPECT_EQ(t.host.cursor, CursorShape::SizeAll);
    t.move(250, 250);
    t.move(155, 140);  // not strictly inside the widened frame
    EXPECT_EQ(t.frame(), (FrameRectangle{100, 100, 150, 150}));
    t.move(154, 140);
    EXPECT_EQ(t.frame(), (FrameRectangle{-46, -60, 4, -10}));
    EXPECT_EQ(t.st().MoveAnchor, (PixelPos{154, 140}));
    t.release(154, 140);
    EXPECT_EQ(t.st().MoveDrag, -1);
    EXPECT_EQ(t.host.cursor, CursorShape::Arrow);
    EXPECT_EQ(t.editor.contour().Buffer, before);
    EXPECT_EQ(t.st().PointCount, 4);
}

TEST(MoveTool, DragsTheFrameOnlyWhileAButtonIsHeld) {
    Tools t(model::tmMove);
    t.st().FrameRect = {150, 100, 100, 150};
    t.move(120, 120);  // no button: the frame is only put in order
    EXPECT_EQ(t.frame(), (FrameRectangle{100, 100, 150, 150}));
    t.press(120, 120, MouseButton::Right);
    t.move(130, 125);
    EXPECT_EQ(t.frame(), (FrameRectangle{110, 105, 160, 155}));
    EXPECT_EQ(t.at(160, 155), kMaroon);   // a handle in the move tool's colours
    EXPECT_EQ(t.at(150, 150), t.face());  // the old corner erased
    EXPECT_EQ(t.host.cursor, CursorShape::SizeAll);
    t.release(130, 125, MouseButton::Right);
    t.move(140, 140);
    EXPECT_EQ(t.frame(), (FrameRectangle{110, 105, 160, 155}));
    EXPECT_EQ(t.count(kRed) > 0, true);  // the release repaint draws the move tool's frame
}

TEST(CentreTool, AnyButtonPlacesTheMarkerAndOnlyOneRemains) {
    Tools t(model::tmCentr);
    t.editor.Repaint();
    const int oneMarker = t.count(kWhite);
    ASSERT_GT(oneMarker, 0);
    ASSERT_EQ(t.at(192, 196), kWhite);
    t.press(100, 80, MouseButton::Right);
    t.release(100, 80, MouseButton::Right);
    EXPECT_EQ(t.st().CentreMark, (PixelPos{100, 80}));
    EXPECT_EQ(t.st().PrevCentreMark, (PixelPos{100, 80}));
    EXPECT_EQ(t.at(192, 196), t.face());
    EXPECT_EQ(t.at(100, 84), kWhite);
    EXPECT_EQ(t.count(kWhite), oneMarker);
    t.press(300, 40, MouseButton::Middle);
    t.press(20, 350);
    EXPECT_EQ(t.count(kWhite), oneMarker);
    EXPECT_EQ(t.at(20, 354), kWhite);
    // Every full repaint draws it, in every tool; undo leaves it where it is.
    t.editor.SelectTool(model::tmPen, QStringLiteral("Paint Picture"));
    t.editor.SpeedButtonUndoClick();
    EXPECT_EQ(t.st().CentreMark, (PixelPos{20, 350}));
    EXPECT_EQ(t.count(kWhite), oneMarker);
    EXPECT_EQ(t.at(20, 354), kWhite);
}
