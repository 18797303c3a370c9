#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/editor.h"
#include "support/fake_host.h"

using editor::MouseButton;
using model::PointStyle;

namespace {

constexpr QRgb kFace = qRgb(240, 240, 240);
constexpr QRgb kLine = qRgb(0, 128, 0);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);

// Styles written one character a point: '.' default, 'B' blanked, 'r' red, 'R' red and
// blanked, 'b' blue.
PointStyle StyleOf(char c) {
    switch (c) {
        case 'B':
            return PointStyle::Dark();
        case 'r':
            return PointStyle::Colour(0xFF0000);
        case 'R':
            return {0xFF0000, true, true};
        case 'b':
            return PointStyle::Colour(0x0000FF);
        default:
            return {};
    }
}

char CharOf(PointStyle s) {
    if (s.IsDefault()) {
        return '.';
    }
    if (!s.coloured) {
        return s.blanked ? 'B' : '?';
    }
    if (s.rgb == 0xFF0000) {
        return s.blanked ? 'R' : 'r';
    }
    return s.rgb == 0x0000FF && !s.blanked ? 'b' : '?';
}

// What the surface shows 10 pixels along the segment into a point: pixel 10 of a dark
// segment is one of its gaps.
QRgb SegmentColour(char c) {
    switch (c) {
        case 'B':
        case 'R':
            return kFace;
        case 'r':
            return kRed;
        case 'b':
            return kBlue;
        default:
            return kLine;
    }
}

struct Event {
    char kind;  // 'd' press, 'm' move, 'u' release
    int x;
    int y;
    MouseButton button = MouseButton::Left;
};

// Six points on y = 200, x = 100, 120, 140, 160, 180 and 186, and a last one below at
// (140, 300), so that the way back to the first point does not run under the others.
constexpr int kXs[] = {100, 120, 140, 160, 180, 186, 140};
constexpr int kYs[] = {200, 200, 200, 200, 200, 200, 300};
constexpr int kCount = 7;

}  // namespace

TEST(StyleTools, ClicksAndDragsRestyleThePointsNearThePointerAndUndoBringsThemBack) {
    const auto d = [](int x, int y) { return Event{'d', x, y}; };
    const auto m = [](int x, int y) { return Event{'m', x, y}; };
    const auto u = [](int x, int y) { return Event{'u', x, y}; };
    struct Case {
        const char* what;
        int mode;
        const char* before;
        char pen;  // the pen's beam colour, as a style character
        std::vector<Event> events;
        const char* after;
    };
    const int blank = model::tmBlank;
    const int brush = model::tmColourBrush;
    // clang-format off
    const Case cases[] = {
        {"a click darkens the point under it", blank, ".......", '.',
         {d(121, 203), u(121, 203)}, ".B....."},
        {"a click on a dark point lights it", blank, ".B.....", '.',
         {d(121, 203), u(121, 203)}, "......."},
        // Points 4 and 5 are both within reach of x = 184: 4 and 2 pixels away.
        {"the nearest of two points", blank, ".......", '.',
         {d(184, 200), u(184, 200)}, ".....B."},
        {"two pixels of jitter are still a click", blank, ".B.....", '.',
         {d(121, 200), m(123, 202), u(123, 202)}, "......."},
        {"a drag darkens the points it passes", blank, ".B.....", '.',
         {d(95, 195), m(110, 195), m(130, 195), m(145, 195), u(145, 195)}, "BBB...."},
        {"one long move takes every point on its way", blank, ".......", '.',
         {d(95, 200), m(190, 200), u(190, 200)}, "BBBBBB."},
        {"a drag six pixels off", blank, ".......", '.',
         {d(95, 206), m(200, 206), u(200, 206)}, "......."},
        // (120, 200) lies on the way; (100, 200) and (140, 200) stay 10 pixels off it on an axis.
        {"a slanted drag", blank, ".......", '.',
         {d(110, 190), m(130, 210), u(130, 210)}, ".B....."},
        {"the right button", blank, ".......", '.',
         {{'d', 120, 200, MouseButton::Right}, {'u', 120, 200, MouseButton::Right}}, "......."},
        {"a click paints the point under it", brush, ".......", 'r',
         {d(140, 200), u(140, 200)}, "..r...."},
        {"a click paints every point within reach", brush, ".......", 'r',
         {d(183, 200), u(183, 200)}, "....rr."},
        {"a drag paints the points passed, dark ones stay dark", brush, ".B.....", 'r',
         {d(95, 200), m(130, 200), m(165, 200), u(165, 200)}, "rRrr..."},
        {"the default takes colours off", brush, "bbbbbb.", '.',
         {d(120, 200), u(120, 200)}, "b.bbbb."},
    };
    // clang-format on
    for (const Case& c : cases) {
        testing_support::EditorFixture f;
        editor::Editor& e = f.editor;
        e.FormCreate();
        e.SelectTool(c.mode, QStringLiteral("tool"));
        for (int i = 0; i < kCount; ++i) {
            e.WriteToBuffer(2 * i, kXs[i], kYs[i]);
            e.contour().SetStyle(i, StyleOf(c.before[i]));
        }
        e.state().PointCount = kCount;
        e.contour().PenStyle = StyleOf(c.pen);
        e.ToUndo();
        e.Repaint();
        for (const Event& ev : c.events) {
            if (ev.kind == 'd') {
                e.PaintBoxVardeniMouseDown(ev.button, ev.x, ev.y);
            } else if (ev.kind == 'm') {
                e.PaintBoxVardeniMouseMove(ev.x, ev.y);
            } else {
                e.PaintBoxVardeniMouseUp(ev.button, ev.x, ev.y);
            }
        }
        std::string got;
        for (int i = 0; i < kCount; ++i) {
            got += CharOf(e.contour().StyleAt(i));
        }
        EXPECT_EQ(got, c.after) << c.what;
        // The surface shows it at once.
        for (int i = 1; i < 5; ++i) {
            EXPECT_EQ(e.canvas().image().pixel(kXs[i - 1] + 10, 200) | 0xFF000000u,
                      SegmentColour(c.after[i]))
                << c.what << ", into point " << i;
        }
        e.SpeedButtonUndoClick();
        got.clear();
        for (int i = 0; i < kCount; ++i) {
            got += CharOf(e.contour().StyleAt(i));
        }
        EXPECT_EQ(got, c.before) << c.what << ", undone";
        EXPECT_EQ(e.state().PointCount, kCount) << c.what;
    }
}
