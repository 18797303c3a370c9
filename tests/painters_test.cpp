#include <gtest/gtest.h>

#include "editor/editor.h"
#include "support/fake_host.h"
#include "support/pixels.h"

using editor::ResolveColor;
using testing_support::CountColor;
using testing_support::EditorFixture;
using testing_support::Grid;
using testing_support::Rows;

namespace {

const QRgb kFace = ResolveColor(editor::clBtnFace);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kOlive = qRgb(128, 128, 0);
const QRgb kGreen = qRgb(0, 128, 0);
const QRgb kMaroon = qRgb(128, 0, 0);
const QRgb kPurple = qRgb(128, 0, 128);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kMoney = qRgb(192, 220, 192);
const QRgb kGray = qRgb(128, 128, 128);
const testing_support::Legend kLegend{{'.', kFace},   {'w', kWhite},  {'o', kOlive},
                                      {'g', kGreen},  {'m', kMaroon}, {'p', kPurple},
                                      {'y', kYellow}, {'c', kMoney},  {'s', kGray}};

struct Painting : EditorFixture {
    void setPoints(std::initializer_list<std::pair<int, int>> pts) {
        int n = 0;
        for (const auto& [x, y] : pts) {
            editor.WriteToBuffer(2 * n++, x, y);
        }
        editor.state().PointCount = n;
    }
    const QImage& img() { return editor.canvas().image(); }
    QRgb at(int x, int y) { return img().pixel(x, y) | 0xFF000000u; }
};

}  // namespace

TEST(PaintPic, EmptyContourShowsFrameMarkerAndLengthOnly) {
    Painting p;
    p.editor.state().ToolMode = 3;  // no frame in pen mode
    p.editor.PaintPic(true, true);
    EXPECT_EQ(p.host.panels[editor::kPanelLength], QStringLiteral("Leng: 0"));
    EXPECT_EQ(p.editor.canvas().currentPos(), QPoint(192, 192));
    // Only the centre marker differs from the background.
    const int marked =
        p.img().width() * p.img().height() - CountColor(p.img(), p.img().rect(), kFace);
    EXPECT_EQ(marked, CountColor(p.img(), QRect(187, 187, 10, 10), kWhite));
    EXPECT_GT(marked, 0);
}

TEST(PaintPic, StartUpFrameIsACutOliveSquareAndTheMarkerIsCentred) {
    Painting p;
    p.editor.FormCreate();
    EXPECT_EQ(Grid(p.img(), 0, 0, 6, 6, kLegend), Rows({"oooo..",  //
                                                        "oooo..",  //
                                                        "oooo..",  //
                                                        "oooo..",  //
                                                        "......",  //
                                                        "......"}));
    // Centre marker: white rim and cross, button-face disc.
    EXPECT_EQ(Grid(p.img(), 186, 186, 12, 12, kLegend), Rows({"............",  //
                                                              "....wwww....",  //
                                                              "..ww..w.ww..",  //
                                                              "..w...w..w..",  //
                                                              ".w....w...w.",  //
                                                              ".w....w...w.",  //
                                                              ".wwwwwwwwww.",  //
                                                              ".w....w...w.",  //
                                                              "..w...w..w..",  //
                                                              "..ww..w.ww..",  //
                                                              "....wwww....",  //
                                                              "............"}));
    EXPECT_EQ(p.host.panels[editor::kPanelTool], QStringLiteral("Select Dots"));
    EXPECT_EQ(p.host.panels[editor::kPanelLength], QStringLiteral("Leng: 0"));
}

TEST(PaintPic, OnePointGetsOnlyTheFirstPointCircle) {
    Painting p;
    p.editor.state().ToolMode = 3;
    p.setPoints({{100, 100}});
    p.editor.PaintPic(true, true);
    // Box (96, 96)..(106, 104): 10 wide, 8 high, not centred on the point.
    const QRect box(96, 96, 10, 8);
    EXPECT_EQ(p.at(100, 100), kOlive);
    EXPECT_EQ(p.at(104, 100), kOlive);
    EXPECT_EQ(p.at(95, 100), kFace);
    EXPECT_EQ(p.at(106, 100), kFace);
    EXPECT_EQ(p.at(100, 104), kFace);
    EXPECT_EQ(CountColor(p.img(), p.img().rect(), kOlive), CountColor(p.img(), box, kOlive));
    EXPECT_EQ(CountColor(p.img(), p.img().rect(), kPurple), 0);
    EXPECT_EQ(p.editor.canvas().currentPos(), QPoint(100, 100));
}

TEST(PaintPic, TwoPointsInOrderConnectionFirstCircleSegmentLastCircle) {
    Painting p;
    p.editor.state().ToolMode = 3;
    p.setPoints({{100, 100}, {120, 100}});
    p.editor.PaintPic(true, true);
    // The solid segment from point 0 runs over the first circle's right part...
    EXPECT_EQ(p.at(101, 100), kGreen);
    EXPECT_EQ(p.at(101, 99), kOlive);
    // ...and the last circle over the segment's end. Last circle r = 2: box (117, 97)..(125, 103).
    EXPECT_EQ(p.at(116, 100), kGreen);
    EXPECT_EQ(p.at(118, 100), kPurple);
    EXPECT_EQ(p.at(124, 100), kPurple);
    EXPECT_EQ(p.at(125, 100), kFace);
    // The dotted connection line lay under the segment and is fully covered.
    EXPECT_EQ(CountColor(p.img(), p.img().rect(), kMoney), 0);
}

TEST(PaintPic, ManyPointsDottedCodaOrdinaryPointsAndMarks) {
    Painting p;
    p.editor.state().ToolMode = 3;
    p.setPoints({{100, 100}, {140, 100}, {140, 140}, {100, 140}});
    p.editor.PaintPic(true, true);
    // Connection from the last point (100, 140) up to the first: dotted money green with
    // button-face gaps, seen between the two circles.
    EXPECT_EQ(Grid(p.img(), 100, 110, 1, 6, kLegend), Rows({"c", ".", "c", ".", "c", "."}));
    // Ordinary points: maroon circles of radius 2, box (x-2, y-2)..(x+2, y+2), over the
    // segment into the point; the segment out of it runs over the circle.
    EXPECT_EQ(Grid(p.img(), 137, 97, 5, 5, kLegend), Rows({".....",  //
                                                           "..mm.",  //
                                                           ".mmmm",  //
                                                           "gmmgm",  //
                                                           "..mg."}));
    EXPECT_EQ(p.at(141, 140), kMaroon);
    EXPECT_EQ(p.at(120, 100), kGreen);
    EXPECT_EQ(p.at(140, 120), kGreen);
    EXPECT_EQ(p.at(120, 140), kGreen);
    EXPECT_EQ(p.at(100, 140), kPurple);
    EXPECT_EQ(p.editor.canvas().currentPos(), QPoint(100, 140));
}

TEST(PaintPic, EachSegmentIsDrawnInTheStyleOfThePointItReaches) {
    // The square of the test above: segments into points 1 and 2, into the last point 3, and
    // the way back into point 0, each read over 12 pixels away from the circles (pixels
    // 110..121 along it). A sparse segment has pixels 0, 3, 6, ... of its line, counted from
    // the point before: into 1 those are x = 112, 115, ...; into 3 (drawn leftwards from
    // x = 140) x = 119, 116, ...; a dotted way back has its even pixels counted from y = 140.
    using model::PointStyle;
    const PointStyle lit;
    const PointStyle red = PointStyle::Colour(0xFF0000);
    const PointStyle blue = PointStyle::Colour(0x0000FF);
    const PointStyle dark = PointStyle::Dark();
    const PointStyle redDark{0xFF0000, true, true};
    struct Case {
        const char* what;
        std::array<PointStyle, 4> styles;
        bool grid;
        const char* into1;  // y = 100, x = 110..121
        const char* into2;  // x = 140, y = 110..121
        const char* into3;  // y = 140, x = 110..121
        const char* back;   // x = 100, y = 110..121
    };
    const Case cases[] = {
        {"default points as ever",
         {lit, lit, lit, lit},
         false,
         "gggggggggggg",
         "gggggggggggg",
         "gggggggggggg",
         "c.c.c.c.c.c."},
        {"colours and a dark segment",
         {lit, red, dark, blue},
         false,
         "rrrrrrrrrrrr",
         "..g..g..g..g",
         "bbbbbbbbbbbb",
         "c.c.c.c.c.c."},
        {"a coloured way back, a dark colour, a dark last segment",
         {red, redDark, lit, dark},
         false,
         "..g..g..g..g",
         "gggggggggggg",
         "g..g..g..g..",
         "r.r.r.r.r.r."},
        // Grid lines at x = 120 and y = 120: a lit line covers them, a dark one shows them
        // in its gaps.
        {"the grid through a dark segment",
         {lit, dark, lit, lit},
         true,
         "..g..g..g.sg",
         "gggggggggggg",
         "gggggggggggg",
         "c.c.c.c.c.c."},
    };
    testing_support::Legend legend = kLegend;
    legend['r'] = qRgb(255, 0, 0);
    legend['b'] = qRgb(0, 0, 255);
    const auto along = [&](const QImage& img, int x, int y, bool down) {
        std::string g = Grid(img, x, y, down ? 1 : 12, down ? 12 : 1, legend);
        std::erase(g, '\n');
        return g;
    };
    for (const Case& c : cases) {
        Painting p;
        p.editor.state().ToolMode = 3;
        p.host.grid = c.grid;
        p.setPoints({{100, 100}, {140, 100}, {140, 140}, {100, 140}});
        for (int i = 0; i < 4; ++i) {
            p.editor.contour().SetStyle(i, c.styles[std::size_t(i)]);
        }
        p.editor.PaintPic(true, true);
        EXPECT_EQ(along(p.img(), 110, 100, false), c.into1) << c.what;
        EXPECT_EQ(along(p.img(), 140, 110, true), c.into2) << c.what;
        EXPECT_EQ(along(p.img(), 110, 140, false), c.into3) << c.what;
        EXPECT_EQ(along(p.img(), 100, 110, true), c.back) << c.what;
        // The circles stay as they are whatever the segments: maroon at point 1, purple at 3.
        EXPECT_EQ(p.at(141, 100), kMaroon) << c.what;
        EXPECT_EQ(p.at(102, 140), kPurple) << c.what;
    }
}

TEST(PaintPic, HiddenPointsKeepFirstAndLastCirclesHiddenLineKeepsAllCircles) {
    Painting p;
    p.editor.state().ToolMode = 3;
    p.setPoints({{100, 100}, {120, 60}, {140, 100}, {140, 100}, {140, 140}});
    p.host.points = false;
    p.editor.PaintPic(true, true);
    EXPECT_EQ(CountColor(p.img(), p.img().rect(), kMaroon), 0);
    EXPECT_EQ(CountColor(p.img(), p.img().rect(), kYellow), 0);
    EXPECT_GT(CountColor(p.img(), p.img().rect(), kOlive), 0);
    EXPECT_GT(CountColor(p.img(), p.img().rect(), kPurple), 0);
    EXPECT_EQ(p.at(140, 120), kGreen);

    p.host.points = true;
    p.host.line = false;
    p.editor.PaintPic(true, true);
    EXPECT_EQ(CountColor(p.img(), p.img().rect(), kGreen), 0);
    EXPECT_EQ(CountColor(p.img(), p.img().rect(), kMoney), 0);
    EXPECT_GT(CountColor(p.img(), p.img().rect(), kMaroon), 0);
    EXPECT_GT(CountColor(p.img(), p.img().rect(), kYellow), 0);
}

TEST(PaintPic, HotPointCirclesOnRepeatsDrawnOnTop) {
    Painting p;
    p.editor.state().ToolMode = 3;
    // A run at (200, 200) and a repeat of the last point; the first point is never hot.
    // Points one unit apart in contour units share a pixel and count as equal.
    p.setPoints({{100, 100}, {200, 200}, {200, 200}, {250, 250}, {250, 250}});
    p.editor.contour().Buffer[2] += 1;
    p.editor.PaintPic(true, true);
    // Hot circle radius 3: box (197, 197)..(203, 203), yellow over the maroon point.
    EXPECT_EQ(CountColor(p.img(), QRect(196, 196, 8, 8), kMaroon), 0);
    EXPECT_EQ(p.at(197, 200), kYellow);
    EXPECT_EQ(p.at(202, 200), kYellow);
    // The last point repeats the one before it: yellow inside the purple circle.
    EXPECT_EQ(p.at(250, 250), kYellow);
    EXPECT_EQ(p.at(253, 250), kPurple);
    EXPECT_EQ(CountColor(p.img(), QRect(90, 90, 20, 20), kYellow), 0);
    // Without draw-all the hot points still come.
    p.editor.PaintPic(true, false);
    EXPECT_EQ(p.at(200, 200), kYellow);
    EXPECT_EQ(p.at(120, 120), kFace);
}

TEST(PaintPic, GridLinesEvery24PixelsLeavingTheLastPixel) {
    Painting p;
    p.editor.state().ToolMode = 3;
    p.host.grid = true;
    p.editor.PaintPic(true, true);
    EXPECT_EQ(p.at(0, 24), kGray);
    EXPECT_EQ(p.at(382, 24), kGray);
    EXPECT_EQ(p.at(383, 24), kFace);
    EXPECT_EQ(p.at(24, 382), kGray);
    EXPECT_EQ(p.at(24, 383), kFace);
    EXPECT_EQ(p.at(360, 5), kGray);
    EXPECT_EQ(p.at(5, 0), kFace);
    EXPECT_EQ(p.at(0, 0), kFace);
    EXPECT_EQ(CountColor(p.img(), QRect(0, 10, 384, 1), kGray), 15);
}

TEST(PaintPic, ClearFalseDrawsOverWhatIsThereUnlessTheUnderlayIsShown) {
    // An underlay 40 by 20 at (130, 140): its left half red, its right half transparent.
    QImage picture(2, 1, QImage::Format_ARGB32_Premultiplied);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, 0);
    const QRgb kRed = qRgb(255, 0, 0);
    struct Case {
        bool underlay;
        QRgb oldPoint;    // (151, 150): the dragged point's old place, in the transparent half
        QRgb oldSegment;  // (125, 125): on the old segment into it, outside the picture
        QRgb picture;     // (135, 150): in the red half
    };
    for (const Case& c : {Case{false, kMaroon, kGreen, kFace}, Case{true, kFace, kFace, kRed}}) {
        Painting p;
        p.editor.state().ToolMode = 3;
        p.editor.underlay().setPicture(picture, QRect(130, 140, 40, 20));
        p.editor.underlay().setVisible(c.underlay);
        p.setPoints({{100, 100}, {150, 150}, {200, 100}});
        p.editor.PaintPic(true, true);
        p.editor.WriteToBuffer(2, 150, 300);
        p.editor.PaintPic(false, true);
        EXPECT_EQ(p.at(151, 150), c.oldPoint) << c.underlay;
        EXPECT_EQ(p.at(125, 125), c.oldSegment) << c.underlay;
        EXPECT_EQ(p.at(135, 150), c.picture) << c.underlay;
        EXPECT_EQ(p.at(151, 300), kMaroon) << c.underlay;
        p.editor.PaintPic(true, true);
        EXPECT_EQ(p.at(151, 150), kFace) << c.underlay;
    }
}

TEST(PaintPic, FrameStylesAndHandles) {
    Painting p;
    p.editor.state().FrameRect = {50, 60, 90, 100};
    p.editor.PaintPic(true, true);
    // Dotted yellow outline with button-face gaps, olive handles at corners and middles.
    EXPECT_EQ(Grid(p.img(), 54, 60, 6, 1, kLegend), "y.y.y.");
    EXPECT_EQ(p.at(50, 60), kOlive);
    EXPECT_EQ(p.at(70, 60), kOlive);
    EXPECT_EQ(p.at(92, 80), kOlive);
    EXPECT_EQ(p.at(93, 80), kFace);
    EXPECT_EQ(p.at(47, 57), kOlive);

    p.editor.state().ToolMode = 2;
    p.editor.PaintPic(true, true);
    EXPECT_EQ(Grid(p.img(), 54, 60, 4, 1, {{'r', qRgb(255, 0, 0)}, {'.', kFace}}), "r.r.");
    EXPECT_EQ(p.at(50, 60), kMaroon);

    // Erasing paints the frame over in button face.
    p.editor.KonturPaint(editor::kFrameErase);
    EXPECT_EQ(CountColor(p.img(), QRect(40, 50, 60, 60), kMaroon), 0);
    EXPECT_EQ(p.editor.canvas().currentPos(), QPoint(50, 60));
}

TEST(PaintPic, FirstPointBoxFollowsItsSize) {
    Painting p;
    p.editor.state().ToolMode = 3;
    p.settings.ScrollBarSizeFirstDot = 1;
    p.setPoints({{100, 100}});
    p.editor.PaintPic(true, true);
    // Box (98, 98)..(104, 102).
    EXPECT_EQ(CountColor(p.img(), p.img().rect(), kOlive),
              CountColor(p.img(), QRect(98, 98, 6, 4), kOlive));
    EXPECT_EQ(p.at(98, 100), kOlive);
    EXPECT_EQ(p.at(103, 100), kOlive);
    p.settings.ScrollBarSizeFirstDot = 7;
    p.editor.PaintPic(true, true);
    // Box (92, 92)..(110, 108).
    EXPECT_EQ(p.at(92, 100), kOlive);
    EXPECT_EQ(p.at(109, 100), kOlive);
    EXPECT_EQ(p.at(110, 100), kFace);
    EXPECT_EQ(p.at(100, 107), kOlive);
    EXPECT_EQ(p.at(100, 108), kFace);
}

TEST(Settings, ReadAtEveryUse) {
    Painting p;
    p.editor.state().ToolMode = 3;
    p.setPoints({{100, 100}, {150, 100}, {200, 100}});
    p.settings.ColorBoxDefDot = editor::clRed;
    p.settings.ColorBoxBase = editor::clWhite;
    p.editor.PaintPic(true, true);
    EXPECT_EQ(p.at(149, 101), qRgb(255, 0, 0));
    EXPECT_EQ(p.at(300, 300), kWhite);
    // The centre marker's disc takes the background colour too.
    EXPECT_EQ(p.at(190, 190), kWhite);
}

TEST(Settings, DefaultsAndRanges) {
    const editor::EditorSettings s;
    EXPECT_EQ(s.ColorBoxLine, 0x008000u);
    EXPECT_EQ(s.ColorBoxFirstDot, 0x008080u);
    EXPECT_EQ(s.ColorBoxDefDot, 0x000080u);
    EXPECT_EQ(s.ColorBoxLastDot, 0x800080u);
    EXPECT_EQ(s.ColorBoxHotDot, 0x00FFFFu);
    EXPECT_EQ(s.ColorBoxBase, 0x8000000Fu);
    EXPECT_EQ(s.ColorBoxLineCoda, 0xC0DCC0u);
    EXPECT_EQ(s.ColorBoxLineSetka, 0x808080u);
    EXPECT_EQ(s.ScrollBarSizeFirstDot, 3);
    EXPECT_EQ(s.ScrollBarSizeDefDots, 2);
    EXPECT_EQ(s.ScrollBarLastDot, 2);
    EXPECT_EQ(s.ScrollBarSizeHotDots, 3);
    EXPECT_EQ(s.ScrollBarFriqPoints, 15);
    EXPECT_EQ(s.ScrollBarBrightHotDot, 10);
    EXPECT_EQ(editor::kFriqPointsRange.min, 1);
    EXPECT_EQ(editor::kFriqPointsRange.max, 30);
    EXPECT_EQ(editor::kBrightHotDotRange.min, 3);
    EXPECT_EQ(editor::kSizeHotDotsRange.min, 2);
    // Colour values are 0x00BBGGRR.
    EXPECT_EQ(ResolveColor(0x000080u), qRgb(128, 0, 0));
    EXPECT_EQ(ResolveColor(0xC0DCC0u), qRgb(192, 220, 192));
}
