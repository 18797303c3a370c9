#include <gtest/gtest.h>

#include "editor/canvas.h"
#include "support/pixels.h"

using editor::Canvas;
using editor::PenStyle;
using testing_support::Grid;
using testing_support::Rows;

namespace {

constexpr QRgb kBack = qRgb(255, 255, 255);
constexpr QRgb kPen = qRgb(0, 0, 0);
constexpr QRgb kBrush = qRgb(255, 0, 0);
const testing_support::Legend kLegend{{'.', kBack}, {'#', kPen}, {'o', kBrush}};

Canvas MakeCanvas(int w = 12, int h = 10) {
    Canvas c(QSize(w, h));
    c.image().fill(kBack);
    c.setPenColor(kPen);
    c.setBrushColor(kBrush);
    return c;
}

}  // namespace

TEST(CanvasLine, LeavesOutTheEndPixelAndMovesTheCurrentPosition) {
    Canvas c = MakeCanvas(8, 3);
    c.moveTo(1, 1);
    c.lineTo(5, 1);
    EXPECT_EQ(c.currentPos(), QPoint(5, 1));
    EXPECT_EQ(Grid(c.image(), 0, 0, 8, 3, kLegend), Rows({"........",  //
                                                          ".####...",  //
                                                          "........"}));
    // Backwards along the same row: starts at 5, stops before 1.
    Canvas d = MakeCanvas(8, 3);
    d.moveTo(5, 1);
    d.lineTo(1, 1);
    EXPECT_EQ(Grid(d.image(), 0, 0, 8, 3, kLegend), Rows({"........",  //
                                                          "..####..",  //
                                                          "........"}));
}

TEST(CanvasLine, ZeroLengthDrawsNothingAndSlopesStepOnePixelPerColumn) {
    Canvas c = MakeCanvas(8, 5);
    c.moveTo(2, 2);
    c.lineTo(2, 2);
    EXPECT_TRUE(c.takeDirtyRect().isNull());
    c.moveTo(0, 0);
    c.lineTo(4, 4);
    c.moveTo(7, 0);
    c.lineTo(7, 3);
    EXPECT_EQ(Grid(c.image(), 0, 0, 8, 5, kLegend), Rows({"#......#",  //
                                                          ".#.....#",  //
                                                          "..#....#",  //
                                                          "...#....",  //
                                                          "........"}));
    Canvas s = MakeCanvas(8, 3);
    s.moveTo(0, 0);
    s.lineTo(6, 2);
    // Midpoint rounding on the minor axis.
    EXPECT_EQ(Grid(s.image(), 0, 0, 8, 3, kLegend), Rows({"##......",  //
                                                          "..###...",  //
                                                          ".....#.."}));
}

TEST(CanvasLine, DottedPenAlternatesPenAndBrushFromTheStart) {
    Canvas c = MakeCanvas(10, 3);
    c.setPenStyle(PenStyle::Dotted);
    c.moveTo(0, 1);
    c.lineTo(9, 1);
    EXPECT_EQ(Grid(c.image(), 0, 1, 10, 1, kLegend), "#o#o#o#o#.");
    // Clipping does not shift the pattern: pixel 3 of a line starting at -3 is x = 0.
    Canvas d = MakeCanvas(6, 1);
    d.setPenStyle(PenStyle::Dotted);
    d.moveTo(-3, 0);
    d.lineTo(5, 0);
    EXPECT_EQ(Grid(d.image(), 0, 0, 6, 1, kLegend), "o#o#o.");
    // A sparse pen draws pixels 0, 3, 6, ... of the line and leaves the others as they were
    // (here the brush colour filled beforehand), clipped without a shift as well.
    Canvas e = MakeCanvas(10, 1);
    e.image().fill(kBrush);
    e.setPenStyle(PenStyle::Sparse);
    e.moveTo(0, 0);
    e.lineTo(9, 0);
    EXPECT_EQ(Grid(e.image(), 0, 0, 10, 1, kLegend), "#oo#oo#ooo");
    e.image().fill(kBrush);
    e.moveTo(-4, 0);
    e.lineTo(5, 0);
    EXPECT_EQ(Grid(e.image(), 0, 0, 6, 1, kLegend), "oo#ooo");
}

TEST(CanvasLine, FarOutsideIsClippedAndStaysCheap) {
    Canvas c = MakeCanvas(6, 4);
    c.moveTo(-2'000'000'000, 1);
    c.lineTo(2'000'000'000, 1);
    EXPECT_EQ(Grid(c.image(), 0, 0, 6, 4, kLegend), Rows({"......",  //
                                                          "######",  //
                                                          "......",  //
                                                          "......"}));
    EXPECT_EQ(c.takeDirtyRect(), QRect(0, 1, 6, 1));
    c.moveTo(-50, -50);
    c.lineTo(-10, 400);
    EXPECT_TRUE(c.takeDirtyRect().isNull());
}

TEST(CanvasEllipse, BoxEdgesRightAndBottomAreExclusive) {
    Canvas c = MakeCanvas(8, 8);
    c.setBrushColor(kPen);
    c.ellipse(1, 1, 5, 5);                                            // 4 by 4 pixels
    EXPECT_EQ(Grid(c.image(), 0, 0, 7, 7, kLegend), Rows({".......",  //
                                                          "..##...",  //
                                                          ".####..",  //
                                                          ".####..",  //
                                                          "..##...",  //
                                                          ".......",  //
                                                          "......."}));
    EXPECT_EQ(c.currentPos(), QPoint(0, 0));
}

TEST(CanvasEllipse, PenOutlinesAndBrushFillsTheInside) {
    Canvas c = MakeCanvas(12, 12);
    c.ellipse(1, 1, 11, 11);  // 10 by 10, the centre marker's size
    EXPECT_EQ(Grid(c.image(), 0, 0, 12, 12, kLegend), Rows({"............",  //
                                                            "....####....",  //
                                                            "..##oooo##..",  //
                                                            "..#oooooo#..",  //
                                                            ".#oooooooo#.",  //
                                                            ".#oooooooo#.",  //
                                                            ".#oooooooo#.",  //
                                                            ".#oooooooo#.",  //
                                                            "..#oooooo#..",  //
                                                            "..##oooo##..",  //
                                                            "....####....",  //
                                                            "............"}));
}

TEST(CanvasEllipse, DegenerateAndReversedBoxes) {
    Canvas c = MakeCanvas(6, 6);
    c.ellipse(2, 2, 2, 5);  // no width: nothing
    EXPECT_TRUE(c.takeDirtyRect().isNull());
    c.setBrushColor(kPen);
    c.ellipse(3, 3, 1, 1);  // corners in either order give the same 2 by 2 box
    EXPECT_EQ(Grid(c.image(), 0, 0, 5, 5, kLegend), Rows({".....",  //
                                                          ".##..",  //
                                                          ".##..",  //
                                                          ".....",  //
                                                          "....."}));
}

TEST(CanvasRectangle, OutlineWithPenInsideWithBrushAndClipped) {
    Canvas c = MakeCanvas(8, 6);
    c.rectangle(1, 1, 6, 5);
    EXPECT_EQ(Grid(c.image(), 0, 0, 8, 6, kLegend), Rows({"........",  //
                                                          ".#####..",  //
                                                          ".#ooo#..",  //
                                                          ".#ooo#..",  //
                                                          ".#####..",  //
                                                          "........"}));
    Canvas d = MakeCanvas(6, 6);
    d.setBrushColor(kPen);
    d.rectangle(-2, -2, 4, 4);  // a handle square cut at the corner: pixels 0..3
    EXPECT_EQ(Grid(d.image(), 0, 0, 6, 6, kLegend), Rows({"####..",  //
                                                          "####..",  //
                                                          "####..",  //
                                                          "####..",  //
                                                          "......",  //
                                                          "......"}));
}

TEST(CanvasFill, FillsWithTheBrushAndRecordsTheChangedArea) {
    Canvas c = MakeCanvas(6, 4);
    c.fillRect(2, 1, 5, 3);
    EXPECT_EQ(Grid(c.image(), 0, 0, 6, 4, kLegend), Rows({"......",  //
                                                          "..ooo.",  //
                                                          "..ooo.",  //
                                                          "......"}));
    EXPECT_EQ(c.takeDirtyRect(), QRect(2, 1, 3, 2));
    EXPECT_TRUE(c.takeDirtyRect().isNull());
    c.fillRect(-10, -10, 100, 100);
    EXPECT_EQ(c.takeDirtyRect(), QRect(0, 0, 6, 4));
}

TEST(CanvasImage, ACopyOfTheSurfaceKeepsItsPixelsAndTheCanvasKeepsDrawing) {
    Canvas c = MakeCanvas(6, 3);
    const QImage before = c.image();  // shares the pixels until one side writes
    c.moveTo(0, 1);
    c.lineTo(4, 1);
    EXPECT_EQ(Grid(before, 0, 1, 6, 1, kLegend), "......");
    EXPECT_EQ(Grid(c.image(), 0, 1, 6, 1, kLegend), "####..");
    // Drawing on the image by other means, then with the canvas again: both land in it.
    c.image().setPixel(5, 0, kBrush);
    c.moveTo(0, 2);
    c.lineTo(2, 2);
    EXPECT_EQ(Grid(c.image(), 0, 0, 6, 3, kLegend), Rows({".....o", "####..", "##...."}));
}
