#include <gtest/gtest.h>

#include "editor/editor.h"
#include "support/fake_host.h"
#include "support/pixels.h"

using editor::MouseButton;
using model::PixelPos;

namespace {

// Drives the pen through the surface dispatch, as the mouse does.
struct Pen : testing_support::EditorFixture {
    Pen() { editor.SelectTool(model::tmPen, QStringLiteral("Paint Picture")); }
    void press(int x, int y, MouseButton b = MouseButton::Left) {
        editor.PaintBoxVardeniMouseDown(b, x, y);
    }
    void move(int x, int y) { editor.PaintBoxVardeniMouseMove(x, y); }
    void release(int x, int y, MouseButton b = MouseButton::Left) {
        editor.PaintBoxVardeniMouseUp(b, x, y);
    }
    void click(int x, int y) {
        press(x, y);
        release(x, y);
    }
    int count() { return editor.state().PointCount; }
    model::ContourPoint unit(int i) {
        return {editor.contour().Buffer[size_t(2 * i)], editor.contour().Buffer[size_t(2 * i + 1)]};
    }
    PixelPos pixel(int i) { return editor.contour().PointPixel(i); }
    // A contour whose last point and last written position are both (x, y).
    void startAt(int x, int y) {
        click(x, y);
        ASSERT_EQ(count(), 1);
    }
    QRgb at(int x, int y) { return editor.canvas().image().pixel(x, y) | 0xFF000000u; }
};

}  // namespace

TEST(Pen, FirstPressStoresPointZeroWithTheFirstMarker) {
    Pen p;
    p.press(100, 100);
    EXPECT_EQ(p.count(), 1);
    EXPECT_EQ(p.unit(0).x, -460'000'000);
    EXPECT_EQ(p.unit(0).y, -460'000'000);
    EXPECT_EQ(p.host.panels[editor::kPanelLength], QStringLiteral("Leng: 1"));
    EXPECT_TRUE(p.editor.state().PenHeld);
    EXPECT_EQ(p.at(100, 100), qRgb(128, 128, 0));  // first-point olive
}

TEST(Pen, DragAppendsOnlyStrictlyBeyondTheSpacing) {
    Pen p;
    p.press(100, 100);
    p.move(115, 100);
    p.move(100, 115);
    EXPECT_EQ(p.count(), 1);
    p.move(116, 100);
    EXPECT_EQ(p.count(), 2);
    EXPECT_EQ(p.pixel(1), (PixelPos{116, 100}));
    EXPECT_EQ(p.editor.contour().LastWritePos, (PixelPos{116, 100}));
    // Measured from the last written position, on either axis.
    p.move(120, 84);
    EXPECT_EQ(p.count(), 3);
    p.release(120, 84);
    EXPECT_FALSE(p.editor.state().PenHeld);
    // After the release, moves append nothing.
    p.move(300, 300);
    EXPECT_EQ(p.count(), 3);
}

TEST(Pen, NearPressAppendsThePressPointOnly) {
    Pen p;
    p.startAt(200, 200);
    p.click(214, 200);
    EXPECT_EQ(p.count(), 2);
    EXPECT_EQ(p.pixel(1), (PixelPos{214, 200}));
}

TEST(Pen, FarPressFillsTheGapInEqualSteps) {
    {
        Pen p;
        p.startAt(200, 200);
        p.click(215, 200);
        ASSERT_EQ(p.count(), 3);
        EXPECT_EQ(p.unit(1).x, 77'500'000);
        EXPECT_EQ(p.unit(1).y, 40'000'000);
        EXPECT_EQ(p.pixel(2), (PixelPos{215, 200}));
        // The fill point is painted as an ordinary point, the press point as the last one.
        EXPECT_EQ(p.at(207, 199), qRgb(128, 0, 0));
        EXPECT_EQ(p.at(215, 199), qRgb(128, 0, 128));
    }
    {
        Pen p;
        p.startAt(200, 200);
        p.click(260, 210);
        ASSERT_EQ(p.count(), 6);
        const PixelPos expected[] = {{212, 202}, {224, 204}, {236, 206}, {248, 208}, {260, 210}};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(p.pixel(i + 1), expected[i]) << i;
        }
        EXPECT_EQ(p.unit(2).x - p.unit(1).x, 60'000'000);
        EXPECT_EQ(p.unit(2).y - p.unit(1).y, 10'000'000);
    }
    {
        Pen p;
        p.startAt(200, 200);
        p.click(210, 260);
        ASSERT_EQ(p.count(), 6);
        const PixelPos expected[] = {{202, 212}, {204, 224}, {206, 236}, {208, 248}, {210, 260}};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(p.pixel(i + 1), expected[i]) << i;
        }
    }
}

TEST(Pen, JumpAcrossTheWholeSurface) {
    Pen p;
    p.startAt(0, 0);
    p.click(383, 383);
    ASSERT_EQ(p.count(), 27);
    for (int i = 1; i <= 25; ++i) {
        EXPECT_EQ(p.unit(i).x, -960'000'000 + i * 73'653'846) << i;
        EXPECT_EQ(p.unit(i).y, -960'000'000 + i * 73'653'846) << i;
    }
    EXPECT_EQ(p.pixel(26), (PixelPos{383, 383}));
    EXPECT_EQ(p.host.panels[editor::kPanelLength], QStringLiteral("Leng: 27"));
}

TEST(Pen, RightPressDrawsNothingButItsReleaseMovesTheWritePosition) {
    Pen p;
    p.startAt(100, 100);
    p.press(300, 300, MouseButton::Right);
    EXPECT_EQ(p.count(), 1);
    EXPECT_FALSE(p.editor.state().PenHeld);
    p.release(300, 300, MouseButton::Right);
    EXPECT_EQ(p.editor.contour().LastWritePos, (PixelPos{300, 300}));
    // The next press there is near: appended without any fill, a straight line from the end.
    p.click(301, 301);
    EXPECT_EQ(p.count(), 2);
    EXPECT_EQ(p.pixel(1), (PixelPos{301, 301}));
    EXPECT_EQ(p.at(200, 200), qRgb(0, 128, 0));
}

TEST(Pen, OneUndoRemovesTheWholeStroke) {
    Pen p;
    p.startAt(50, 50);
    p.press(100, 100);  // fills the gap
    for (int x = 100; x <= 300; x += 4) {
        p.move(x, 100);
    }
    p.release(300, 100);
    EXPECT_GT(p.count(), 15);
    p.editor.SpeedButtonUndoClick();
    EXPECT_EQ(p.count(), 1);
    EXPECT_EQ(p.host.panels[editor::kPanelLength], QStringLiteral("Leng: 1"));
}

TEST(Pen, CapacityAt2040And2041) {
    Pen p;
    p.startAt(10, 10);
    p.editor.state().PointCount = 2040;
    p.press(11, 11);
    p.move(100, 100);  // moves stop at 2040
    EXPECT_EQ(p.count(), 2041);
    p.release(100, 100);
    p.click(101, 101);  // near, but the contour is full
    EXPECT_EQ(p.count(), 2041);
    EXPECT_EQ(p.host.panels[editor::kPanelLength], QStringLiteral("Leng: 2041"));
}

TEST(Pen, GapFillNearCapacityStaysInsideTheBuffer) {
    Pen p;
    p.settings.ScrollBarFriqPoints = 1;
    p.startAt(0, 0);
    p.editor.contour().Buffer[4099] = 0;
    // Pretend the contour is almost full, with its last point at (0, 0).
    p.editor.contour().Buffer[2 * 2029] = -960'000'000;
    p.editor.contour().Buffer[2 * 2029 + 1] = -960'000'000;
    p.editor.state().PointCount = 2030;
    const auto tail = std::vector<int32_t>(p.editor.contour().Buffer.begin() + 4082,
                                           p.editor.contour().Buffer.end());
    p.click(383, 383);  // k = 383 would run far past the end
    EXPECT_EQ(p.count(), 2041);
    // Fill points stop at 2041; the press point is then refused like any append.
    EXPECT_EQ(p.pixel(2040).x, 11);
    EXPECT_EQ(std::vector<int32_t>(p.editor.contour().Buffer.begin() + 4082,
                                   p.editor.contour().Buffer.end()),
              tail);
}

TEST(Pen, SpacingIsReadAtEveryEvent) {
    Pen p;
    p.press(100, 100);
    p.move(110, 100);
    EXPECT_EQ(p.count(), 1);
    p.settings.ScrollBarFriqPoints = 5;
    p.move(110, 100);
    EXPECT_EQ(p.count(), 2);
    p.release(110, 100);
    p.settings.ScrollBarFriqPoints = 30;
    p.press(135, 100);  // 25 from the last write: near with spacing 30
    EXPECT_EQ(p.count(), 3);
    p.move(160, 100);
    EXPECT_EQ(p.count(), 3);
    p.move(166, 100);
    EXPECT_EQ(p.count(), 4);
    // Points already stored keep their places.
    EXPECT_EQ(p.pixel(1), (PixelPos{110, 100}));
}

TEST(Pen, OnlyTheNewSegmentIsRedrawn) {
    Pen p;
    p.startAt(100, 100);
    p.press(101, 101);
    p.host.changed = QRect();
    p.move(120, 101);
    EXPECT_EQ(p.host.changed, QRect(QPoint(101, 99), QPoint(121, 102)));
}
