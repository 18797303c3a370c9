// What each operation does to the styles of the points: a five-point contour whose third
// point is reached dark and whose fourth is red, through every tool and command that moves,
// adds, removes, repeats, reverses or turns points.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "editor/editor.h"
#include "editor/transform_commands.h"
#include "support/fake_host.h"

using editor::MouseButton;
using model::PixelPos;
using model::PointStyle;

namespace {

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;

// One letter per point: '.' default, 'd' dark, 'r' red, 'b' blue (the pen's colour).
std::string Letters(const model::Contour& c) {
    std::string s;
    for (const PointStyle& st : c.PointStyles()) {
        if (st.blanked) {
            s += 'd';
        } else if (!st.coloured) {
            s += '.';
        } else {
            s += st.rgb == kRed ? 'r' : st.rgb == kBlue ? 'b' : '?';
        }
    }
    return s;
}

struct Styled : testing_support::EditorFixture {
    Styled() {
        editor.FormCreate();
        settings.ScrollBarFriqPoints = 40;
        settings.ScrollBarBrightHotDot = 2;
        const PixelPos pts[] = {{40, 40}, {120, 70}, {200, 80}, {280, 100}, {340, 300}};
        for (int i = 0; i < 5; ++i) {
            editor.WriteToBuffer(2 * i, pts[i].x, pts[i].y);
        }
        editor.state().PointCount = 5;
        editor.contour().SetStyle(2, PointStyle::Dark());
        editor.contour().SetStyle(3, PointStyle::Colour(kRed));
        editor.contour().PenStyle = PointStyle::Colour(kBlue);
    }
    void tool(int mode) { editor.SelectTool(mode, QStringLiteral("tool")); }
    // A pen press away from the contour's end, then one move, with its jumps dark or not.
    void penAway(bool jumpsDark) {
        editor.contour().BlankPenJumps = jumpsDark;
        tool(model::tmPen);
        editor.PaintBoxVardeniMouseDown(MouseButton::Left, 100, 300);
        editor.PaintBoxVardeniMouseMove(100, 250);
        editor.PaintBoxVardeniMouseUp(MouseButton::Left, 100, 250);
    }
    void click(int x, int y) {
        editor.PaintBoxVardeniMouseDown(MouseButton::Left, x, y);
        editor.PaintBoxVardeniMouseUp(MouseButton::Left, x, y);
    }
};

}  // namespace

TEST(PointStyles, EachOperationCarriesTheStylesAsWorkedByHand) {
    struct Row {
        const char* what;
        std::function<void(Styled&)> act;
        std::string styles;
    };
    const std::vector<Row> rows{
        {"nothing", [](Styled&) {}, "..dr."},
        // Points after the erased one move down with their styles.
        {"eraser on the dark point",
         [](Styled& f) {
             f.tool(model::tmEraser);
             f.click(200, 80);
         },
         "..r."},
        // The run from the cut comes first; the styles go round with the points.
        {"knife at the red point",
         [](Styled& f) {
             f.tool(model::tmKnife);
             f.click(280, 100);
         },
         "r...d"},
        // Two repeats of the red point, red.
        {"hot point on the red point",
         [](Styled& f) {
             f.tool(model::tmHotPoint);
             f.click(280, 100);
         },
         "..drrr."},
        // Out A B C D E, back E' D' C' B' A': the way back from D to C runs the segment that
        // reached D, so C' is red; B' is reached along C's dark segment.
        {"return path", [](Styled& f) { editor::SpeedButtonReturn128Click(f.editor); },
         "..dr...rd."},
        // At 40 px: A, 2 points before B and B (default), 2 before the dark C (dark), 2 before
        // the red D (red), 5 before E (200 px down: default).
        {"normalise spacing", [](Styled& f) { editor::SpeedButtonNormalDistanceClick(f.editor); },
         "...."
         "ddd"
         "rrr"
         "......"},
        {"mirror and quarter turn",
         [](Styled& f) {
             editor::SpeedButtonMirrorGorClick(f.editor);
             editor::SpeedButtonRotateClick(f.editor);
         },
         "..dr."},
        {"edit point drag",
         [](Styled& f) {
             f.tool(model::tmEditPoint);
             f.editor.PaintBoxVardeniMouseDown(MouseButton::Left, 280, 100);
             f.editor.PaintBoxVardeniMouseMove(250, 150);
             f.editor.PaintBoxVardeniMouseUp(MouseButton::Left, 250, 150);
         },
         "..dr."},
        // A press 240 px left of the end: 6 fill points and the press, then one move.
        {"pen far from the end", [](Styled& f) { f.penAway(false); }, "..dr.bbbbbbbb"},
        {"pen far from the end, jumps dark", [](Styled& f) { f.penAway(true); }, "..dr.dddddddb"},
        {"undo after the eraser",
         [](Styled& f) {
             f.tool(model::tmEraser);
             f.click(200, 80);
             f.editor.SpeedButtonUndoClick();
         },
         "..dr."},
    };
    for (const Row& r : rows) {
        Styled f;
        r.act(f);
        EXPECT_EQ(Letters(f.editor.contour()), r.styles) << r.what;
    }
}
