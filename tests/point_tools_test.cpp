#include <gtest/gtest.h>

#include <QTest>
#include <vector>

#include "app/application.h"
#include "editor/editor.h"
#include "support/fake_host.h"
#include "support/wait.h"

using editor::MouseButton;
using model::PixelPos;

namespace {

constexpr QRgb kFace = qRgb(240, 240, 240);
constexpr QRgb kLine = qRgb(0, 128, 0);
constexpr QRgb kHot = qRgb(255, 255, 0);
constexpr QRgb kMark = qRgb(1, 2, 3);  // a colour no painter uses

// Drives one point tool through the surface dispatch, as the mouse does.
struct Points : testing_support::EditorFixture {
    explicit Points(int mode) {
        editor.FormCreate();
        editor.SelectTool(mode, QStringLiteral("tool"));
    }
    // Puts the points in as the pen would have left them; the slots past them stay as they are.
    void contour(std::initializer_list<PixelPos> pts) {
        int i = 0;
        for (const PixelPos& p : pts) {
            editor.WriteToBuffer(2 * i++, p.x, p.y);
        }
        editor.state().PointCount = i;
        editor.Repaint();
    }
    // Stores (x, y) as point i without touching the count: a leftover past the end.
    void leftover(int i, PixelPos p) { editor.WriteToBuffer(2 * i, p.x, p.y); }
    void press(int x, int y, MouseButton b = MouseButton::Left) {
        editor.PaintBoxVardeniMouseDown(b, x, y);
    }
    void move(int x, int y) { editor.PaintBoxVardeniMouseMove(x, y); }
    void release(int x, int y, MouseButton b = MouseButton::Left) {
        editor.PaintBoxVardeniMouseUp(b, x, y);
    }
    void click(int x, int y, MouseButton b = MouseButton::Left) {
        press(x, y, b);
        release(x, y, b);
    }
    int count() { return editor.state().PointCount; }
    int picked() { return editor.state().PickedIndex; }
    QString dot() { return host.panels[editor::kPanelDot]; }
    std::vector<PixelPos> points() {
        std::vector<PixelPos> v;
        for (int i = 0; i < count(); ++i) {
            v.push_back(editor.contour().PointPixel(i));
        }
        return v;
    }
    std::vector<int32_t> slots(int from, int to) {
        const auto& b = editor.contour().Buffer;
        return {b.begin() + from, b.begin() + to + 1};
    }
    QRgb at(int x, int y) { return editor.canvas().image().pixel(x, y) | 0xFF000000u; }
    void mark(int x, int y) { editor.canvas().image().setPixel(x, y, kMark); }
    bool timerArmed() { return editor.timerStatusDot().isActive(); }
};

const PixelPos A{40, 40}, B{120, 70}, C{200, 80}, D{280, 100}, E{340, 300};
// Leftovers past the end, away from every point above.
const PixelPos F{60, 330}, G{150, 340};

int32_t U(int pixel) {
    return (pixel - 192) * 5'000'000;
}

}  // namespace

// ---- The search ----

TEST(PointSearch, ThreePointsUnderThePressBothDirections) {
    for (const bool hook : {false, true}) {
        Points t(model::tmEraser);
        t.host.hook = hook;
        t.contour({{100, 100}, {103, 102}, {200, 200}});
        t.press(101, 101);
        // Up: the highest index wins; down: the lowest.
        EXPECT_EQ(t.dot(), hook ? QStringLiteral("Dot:1") : QStringLiteral("Dot:2"));
        EXPECT_EQ(t.picked(), hook ? 0 : 1);
        const std::vector<PixelPos> left = hook ? std::vector<PixelPos>{{103, 102}, {200, 200}}
                                                : std::vector<PixelPos>{{100, 100}, {200, 200}};
        EXPECT_EQ(t.points(), left);
        t.release(101, 101);
        EXPECT_EQ(t.picked(), model::kNoPick);
        EXPECT_EQ(t.dot(), QString());
    }
}

TEST(PointSearch, ReachIsFivePixelsOnEachAxis) {
    Points t(model::tmEditPoint);
    t.contour({{150, 150}, {300, 300}});
    const PixelPos inside[] = {{155, 155}, {145, 145}, {155, 145}, {150, 155}};
    for (const PixelPos& p : inside) {
        t.press(p.x, p.y);
        EXPECT_EQ(t.picked(), 0) << p.x << "," << p.y;
        EXPECT_EQ(t.dot(), QStringLiteral("Dot:1"));
        t.release(p.x, p.y);
    }
    const PixelPos outside[] = {{156, 150}, {144, 150}, {150, 156}, {150, 144}, {156, 156}};
    for (const PixelPos& p : outside) {
        t.press(p.x, p.y);
        EXPECT_EQ(t.picked(), model::kNoPick) << p.x << "," << p.y;
        EXPECT_EQ(t.editor.state().EditDrag, 0);
        t.release(p.x, p.y);
    }
    EXPECT_EQ(t.points(), (std::vector<PixelPos>{{150, 150}, {300, 300}}));
}

TEST(PointSearch, XWithinReachArmsTheTimerButPicksNothing) {
    Points t(model::tmEditPoint);
    t.contour({{150, 150}, {300, 300}});
    // Nothing within reach of x: no timer.
    t.click(250, 150);
    EXPECT_FALSE(t.timerArmed());
    t.host.panels[editor::kPanelDot] = QStringLiteral("n=4%");
    t.editor.timerStatusDot().setInterval(50);  // not to wait two seconds here
    t.press(153, 160);
    EXPECT_EQ(t.picked(), model::kNoPick);
    EXPECT_EQ(t.dot(), QStringLiteral("n=4%"));  // left as it was
    EXPECT_TRUE(t.timerArmed());
    t.release(153, 160);
    EXPECT_EQ(t.dot(), QString());
    // A hover readout after the release lasts until the timer armed by the press fires.
    t.move(151, 151);
    EXPECT_EQ(t.dot(), QStringLiteral("Dot:1"));
    EXPECT_TRUE(testing_support::WaitUntil([&] { return !t.timerArmed(); }, 1000));
    EXPECT_EQ(t.dot(), QString());
}

TEST(PointSearch, NeverReadsPastTheBuffer) {
    // Count 2049: the scan would run to point 2051, but only point 2049 has both slots.
    Points t(model::tmEditPoint);
    t.editor.contour().Buffer[4100] = U(300);  // the x of point 2050, which has no y slot
    t.editor.state().PointCount = 2049;
    t.host.hook = true;
    t.press(300, 192);
    EXPECT_EQ(t.picked(), model::kNoPick);
    EXPECT_FALSE(t.timerArmed());
    t.release(300, 192);
    // Every point here sits at (192, 192); scanning up, the highest whole point wins.
    t.host.hook = false;
    t.press(192, 192);
    EXPECT_EQ(t.picked(), 2049);
    EXPECT_EQ(t.dot(), QStringLiteral("Dot:2050"));
    t.release(192, 192);
}

// ---- Eraser ----

TEST(Eraser, DeletingMovesTheFollowingSlotsDownByOnePoint) {
    Points t(model::tmEraser);
    t.contour({A, B, C, D});
    t.leftover(4, E);
    t.leftover(5, F);
    t.click(B.x, B.y);
    EXPECT_EQ(t.points(), (std::vector<PixelPos>{A, C, D}));
    // Points 2..4 and the x of point 5 moved down; the y of point 4 stayed.
    EXPECT_EQ(t.slots(6, 9), (std::vector<int32_t>{U(E.x), U(E.y), U(F.x), U(E.y)}));
    EXPECT_EQ(t.host.panels[editor::kPanelLength], QStringLiteral("Leng: 3"));
    // The full repaint leaves no trace of B.
    EXPECT_EQ(t.at(B.x, B.y), kFace);
    // One Undo brings the point back.
    t.editor.SpeedButtonUndoClick();
    EXPECT_EQ(t.points(), (std::vector<PixelPos>{A, B, C, D}));
    EXPECT_NE(t.at(B.x, B.y), kFace);
}

TEST(Eraser, LeftoversAtTheCentreBothDirections) {
    // Nothing was ever stored past the contour, so points 3..5 read as (192, 192).
    for (const bool hook : {true, false}) {
        Points t(model::tmEraser);
        t.host.hook = hook;
        t.contour({A, B, C});
        t.press(192, 192);
        if (hook) {
            // Down: index n is the last in scan order, and the contour loses its last point.
            EXPECT_EQ(t.dot(), QStringLiteral("Dot:4"));
            EXPECT_EQ(t.points(), (std::vector<PixelPos>{A, B}));
            // Nothing moved but the zero x of point 5 into point 3: C stays as a leftover.
            EXPECT_EQ(t.slots(4, 6), (std::vector<int32_t>{U(C.x), U(C.y), 0}));
        } else {
            // Up: index n + 2 wins, which deletes nothing.
            EXPECT_EQ(t.dot(), QStringLiteral("Dot:6"));
            EXPECT_EQ(t.points(), (std::vector<PixelPos>{A, B, C}));
        }
        t.release(192, 192);
        EXPECT_EQ(t.dot(), QString());
    }
}

TEST(Eraser, PickJustPastTheEndShortensWithoutMoving) {
    Points t(model::tmEraser);
    t.contour({A, B, C});
    t.leftover(4, F);  // index n + 1
    const auto before = t.slots(0, 12);
    t.click(F.x, F.y, MouseButton::Right);  // every button erases
    EXPECT_EQ(t.count(), 2);
    EXPECT_EQ(t.slots(0, 12), before);
}

TEST(Eraser, EmptyContourStaysEmpty) {
    Points t(model::tmEraser);
    t.leftover(0, A);
    t.leftover(1, B);
    const auto before = t.slots(0, 8);
    for (const PixelPos& p : {A, B}) {
        t.press(p.x, p.y);
        EXPECT_EQ(t.count(), 0);
        t.release(p.x, p.y);
    }
    EXPECT_EQ(t.slots(0, 8), before);
    EXPECT_EQ(t.host.panels[editor::kPanelLength], QStringLiteral("Leng: 0"));
}

// ---- Knife ----

TEST(Knife, PickedPointBecomesTheFirstAndLeftoversFollow) {
    Points t(model::tmKnife);
    t.contour({A, B, C, D, E});
    t.leftover(7, G);
    t.mark(380, 380);
    t.click(C.x, C.y);
    EXPECT_EQ(t.points(), (std::vector<PixelPos>{C, D, E, A, B}));
    // Past the end: points 0 and 1 of the old contour, but the x of point 5 and of point 7
    // hold the x of the old point 2; the y of point 7 was never touched.
    EXPECT_EQ(t.slots(10, 15),
              (std::vector<int32_t>{U(C.x), U(A.y), U(B.x), U(B.y), U(C.x), U(G.y)}));
    EXPECT_EQ(t.at(380, 380), kFace);  // full repaint
    EXPECT_EQ(t.dot(), QString());
    EXPECT_EQ(t.picked(), model::kNoPick);
    // The leftovers are reachable: the search past the end finds point 5 at (C.x, A.y).
    t.press(C.x, A.y);
    EXPECT_EQ(t.picked(), 5);
    EXPECT_EQ(t.dot(), QStringLiteral("Dot:6"));
    t.release(C.x, A.y);
    EXPECT_EQ(t.points(), (std::vector<PixelPos>{C, D, E, A, B}));
}

TEST(Knife, OneUndoBringsBackTheOldOrder) {
    Points t(model::tmKnife);
    t.contour({A, B, C, D, E});
    const auto before = t.slots(0, 30);
    t.click(D.x, D.y);
    EXPECT_EQ(t.points(), (std::vector<PixelPos>{D, E, A, B, C}));
    t.editor.SpeedButtonUndoClick();
    EXPECT_EQ(t.slots(0, 30), before);
    EXPECT_EQ(t.count(), 5);
}

TEST(Knife, FirstPointOrNoPickOnlyRepaints) {
    Points t(model::tmKnife);
    t.contour({A, B, C, D, E});
    const auto before = t.slots(0, 30);
    for (const PixelPos& p : {A, PixelPos{380, 10}, PixelPos{192, 192}}) {
        t.mark(380, 380);
        t.click(p.x, p.y);
        EXPECT_EQ(t.slots(0, 30), before);
        EXPECT_EQ(t.at(380, 380), kFace);
    }
    EXPECT_TRUE(t.host.undoEnabled);
}

TEST(Knife, LongContourRotatesWithoutWritingPastTheBuffer) {
    Points t(model::tmKnife);
    model::Contour& c = t.editor.contour();
    const int n = 2041;
    const int p = 1500;  // n + p > 2050: the copy past the end would not fit
    for (int i = 0; i < n; ++i) {
        // Distinct values that all read as one pixel far from the pick.
        c.Buffer[size_t(2 * i)] = U(20) + i;
        c.Buffer[size_t(2 * i + 1)] = U(20) + 7 * i;
    }
    t.leftover(p, {300, 300});
    for (int s = 2 * n; s < model::kSlotCount; ++s) {
        c.Buffer[size_t(s)] = -s;
    }
    t.editor.state().PointCount = n;
    const std::vector<int32_t> old = t.slots(0, model::kSlotCount - 1);
    t.click(300, 300);
    EXPECT_EQ(t.count(), n);
    for (int i = 0; i < n; ++i) {
        const int from = (p + i) % n;
        ASSERT_EQ(c.Buffer[size_t(2 * i)], old[size_t(2 * from)]) << i;
        ASSERT_EQ(c.Buffer[size_t(2 * i + 1)], old[size_t(2 * from + 1)]) << i;
    }
    EXPECT_EQ(t.slots(2 * n, model::kSlotCount - 1),
              std::vector<int32_t>(old.begin() + 2 * n, old.end()));
}

TEST(Knife, CopyReachingTheLastSlotStillFits) {
    // n + p = 2050: the first copy ends exactly at slot 4100.
    Points t(model::tmKnife);
    model::Contour& c = t.editor.contour();
    const int n = 1100;
    const int p = 950;
    for (int i = 0; i < n; ++i) {
        c.Buffer[size_t(2 * i)] = U(20) + i;
        c.Buffer[size_t(2 * i + 1)] = U(30) + i;
    }
    t.leftover(p, {300, 300});
    t.editor.state().PointCount = n;
    t.click(300, 300);
    EXPECT_EQ(t.editor.contour().PointPixel(0), (PixelPos{300, 300}));
    EXPECT_EQ(c.Buffer[size_t(2 * (n - p))], U(20));  // old point 0 follows the old last
    EXPECT_EQ(c.Buffer[4100], U(300));                // the x of the old point p, once more
}

// ---- Hot point ----

TEST(HotPoint, RepeatsThePickedPointBrightnessTimes) {
    Points t(model::tmHotPoint);
    t.contour({A, B, C, D});
    for (int i = 4; i <= 14; ++i) {
        t.leftover(i, {10 + i, 370});  // leftovers to follow the new end
    }
    const auto tail = t.slots(8, 28);
    t.mark(380, 380);
    t.click(B.x, B.y);
    std::vector<PixelPos> expected{A};
    expected.insert(expected.end(), 11, B);
    expected.insert(expected.end(), {C, D});
    EXPECT_EQ(t.points(), expected);
    EXPECT_EQ(t.slots(28, 48), tail);  // the 2k + 1 slots after the end moved along
    // Drawn over what was there: the mark stays, B carries the hot-point circle.
    EXPECT_EQ(t.at(380, 380), kMark);
    EXPECT_EQ(t.at(B.x, B.y), kHot);
    EXPECT_EQ(t.host.panels[editor::kPanelLength], QStringLiteral("Leng: 14"));
    EXPECT_EQ(t.dot(), QString());
    t.editor.SpeedButtonUndoClick();
    EXPECT_EQ(t.points(), (std::vector<PixelPos>{A, B, C, D}));
}

TEST(HotPoint, LastPointAndMinimumBrightness) {
    {
        Points t(model::tmHotPoint);
        t.contour({A, B, C, D});
        t.click(D.x, D.y);
        std::vector<PixelPos> expected{A, B, C};
        expected.insert(expected.end(), 11, D);
        EXPECT_EQ(t.points(), expected);
    }
    {
        Points t(model::tmHotPoint);
        t.settings.ScrollBarBrightHotDot = 3;
        t.contour({A, B, C, D});
        t.click(C.x, C.y);
        EXPECT_EQ(t.points(), (std::vector<PixelPos>{A, B, C, C, C, C, D}));
    }
}

TEST(HotPoint, FirstPointIsRefusedButRedrawn) {
    Points t(model::tmHotPoint);
    t.contour({A, B, C, D});
    const auto before = t.slots(0, 60);
    t.mark(380, 380);
    t.mark(B.x, B.y);
    t.click(A.x, A.y);
    EXPECT_EQ(t.slots(0, 60), before);
    EXPECT_EQ(t.count(), 4);
    // Redrawn over what is there: B is drawn again, the mark elsewhere stays.
    EXPECT_NE(t.at(B.x, B.y), kMark);
    EXPECT_EQ(t.at(380, 380), kMark);
}

TEST(HotPoint, InsertsOnlyWhatFits) {
    struct Case {
        int n;
        int k;
        bool inserts;
    };
    // 2n + 4k must stay within slot 4100, and the count within 2041 points.
    const Case cases[] = {{2038, 3, true}, {2039, 3, false}, {2000, 25, true}, {2000, 26, false}};
    for (const Case& cs : cases) {
        Points t(model::tmHotPoint);
        t.settings.ScrollBarBrightHotDot = cs.k;
        t.leftover(1, {300, 300});
        t.editor.state().PointCount = cs.n;
        const auto before = t.slots(0, model::kSlotCount - 1);
        t.click(300, 300);
        EXPECT_EQ(t.count(), cs.inserts ? cs.n + cs.k : cs.n) << cs.n << " " << cs.k;
        if (cs.inserts) {
            EXPECT_EQ(t.editor.contour().PointPixel(1 + cs.k), (PixelPos{300, 300}));
        } else {
            EXPECT_EQ(t.slots(0, model::kSlotCount - 1), before);
        }
    }
}

// ---- Edit point ----

TEST(EditPoint, RightPressFlipsTheSearchDirectionAndPicksNothing) {
    Points t(model::tmEditPoint);
    t.contour({A, B});
    t.host.panels[editor::kPanelDot] = QStringLiteral("Dot:7");
    t.press(A.x, A.y, MouseButton::Right);
    EXPECT_TRUE(t.host.hook);
    EXPECT_EQ(t.picked(), model::kNoPick);
    EXPECT_NE(t.editor.state().EditDrag, 1);
    EXPECT_TRUE(t.host.undoEnabled);
    t.release(A.x, A.y, MouseButton::Right);
    EXPECT_EQ(t.dot(), QString());
    t.click(A.x, A.y, MouseButton::Right);
    EXPECT_FALSE(t.host.hook);
    // The middle button does nothing at all.
    t.click(A.x, A.y, MouseButton::Middle);
    EXPECT_FALSE(t.host.hook);
    EXPECT_EQ(t.points(), (std::vector<PixelPos>{A, B}));
}

TEST(EditPoint, HoverShowsTheLowestNumberInEitherDirection) {
    for (const bool hook : {false, true}) {
        Points t(model::tmEditPoint);
        t.host.hook = hook;
        t.contour({A, {100, 100}, {103, 102}});
        t.move(101, 101);
        EXPECT_EQ(t.dot(), QStringLiteral("Dot:2"));
        EXPECT_EQ(t.picked(), model::kNoPick);
        EXPECT_FALSE(t.timerArmed());
        // Nothing under the pointer: the readout stays.
        t.move(300, 20);
        EXPECT_EQ(t.dot(), QStringLiteral("Dot:2"));
    }
}

TEST(EditPoint, DragLeavesOldLinesUntilTheRelease) {
    Points t(model::tmEditPoint);
    t.contour({{100, 100}, {200, 100}, {200, 300}});
    ASSERT_EQ(t.at(150, 100), kLine);
    ASSERT_EQ(t.at(200, 250), kLine);
    t.press(201, 101);
    EXPECT_EQ(t.editor.state().EditDrag, 1);
    t.move(250, 150);
    t.move(300, 200);
    EXPECT_EQ(t.editor.contour().PointPixel(1), (PixelPos{300, 200}));
    EXPECT_EQ(t.editor.contour().LastWritePos, (PixelPos{300, 200}));
    // Old and new segments side by side.
    EXPECT_EQ(t.at(150, 100), kLine);
    EXPECT_EQ(t.at(200, 250), kLine);
    EXPECT_EQ(t.at(175, 125), kLine);  // through the intermediate place (250, 150)
    EXPECT_EQ(t.at(200, 150), kLine);  // the new segment from (100, 100)
    t.release(300, 200);
    EXPECT_EQ(t.editor.state().EditDrag, 0);
    EXPECT_EQ(t.picked(), model::kNoPick);
    EXPECT_EQ(t.at(150, 100), kFace);
    EXPECT_EQ(t.at(200, 250), kFace);
    EXPECT_EQ(t.at(175, 125), kFace);
    EXPECT_EQ(t.at(200, 150), kLine);
    // Moves after the release drag nothing.
    t.move(50, 50);
    EXPECT_EQ(t.editor.contour().PointPixel(1), (PixelPos{300, 200}));
    t.editor.SpeedButtonUndoClick();
    EXPECT_EQ(t.editor.contour().PointPixel(1), (PixelPos{200, 100}));
}

TEST(EditPoint, DragIsClampedToTheSurface) {
    Points t(model::tmEditPoint);
    t.contour({A, B});
    t.press(B.x, B.y);
    t.move(-50, 900);
    EXPECT_EQ(t.editor.contour().PointPixel(1), (PixelPos{0, 383}));
    EXPECT_EQ(t.slots(2, 3), (std::vector<int32_t>{model::kMinUnit, model::kMaxUnit}));
    t.release(-50, 900);
}

// ---- The running window ----

TEST(PointToolsWindow, RightPressWithTheEditToolFlipsTheHookButton) {
    auto windows = app::CreateWindows();
    window::TBaseForm& form = *windows->BaseForm;
    QTest::mouseClick(form.button(QStringLiteral("SpeedButtonEditPoint")), Qt::LeftButton);
    ASSERT_EQ(form.editor().state().ToolMode, model::tmEditPoint);
    widgets::SpeedButton* hook = form.button(QStringLiteral("SpeedButtonDirectHook"));
    ASSERT_FALSE(hook->isDown());
    form.editor().PaintBoxVardeniMouseDown(MouseButton::Right, 100, 100);
    form.editor().PaintBoxVardeniMouseUp(MouseButton::Right, 100, 100);
    EXPECT_TRUE(hook->isDown());
    EXPECT_EQ(form.statusPanels()->panelText(editor::kPanelDot), QString());
}
