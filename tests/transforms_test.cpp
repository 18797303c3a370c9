#include <gtest/gtest.h>

#include <QTest>
#include <cstdlib>
#include <limits>

#include "app/application.h"
#include "editor/editor.h"
#include "editor/transform_commands.h"
#include "model/transforms.h"
#include "support/fake_host.h"

using model::ContourBuffer;
using model::ContourPoint;
using model::PixelPos;

namespace {

constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();

struct Transforms : testing_support::EditorFixture {
    model::Contour& c() { return editor.contour(); }
    int count() { return editor.state().PointCount; }
    void set(int i, int32_t x, int32_t y) {
        c().Buffer[size_t(2 * i)] = x;
        c().Buffer[size_t(2 * i + 1)] = y;
    }
    ContourPoint unit(int i) { return {c().Buffer[size_t(2 * i)], c().Buffer[size_t(2 * i + 1)]}; }
    PixelPos pixel(int i) { return c().PointPixel(i); }
    // A distinct value in every slot, so that any stray write shows.
    void fillPattern() {
        for (size_t s = 0; s < c().Buffer.size(); ++s) {
            c().Buffer[s] = int32_t(int64_t(s) * 1'000'003 % 1'900'000'000 - 950'000'000);
        }
    }
};

// Expects v within [lo, lo + 1]: rounding up may add one unit to an exact result.
void ExpectUpToOneAbove(int64_t v, int64_t lo) {
    EXPECT_GE(v, lo);
    EXPECT_LE(v, lo + 1);
}

}  // namespace

TEST(Mirror, TwiceRestoresEveryTouchedSlotAndTouchesOnlyThreePastTheEnd) {
    for (const bool gor : {true, false}) {
        Transforms t;
        t.fillPattern();
        t.editor.state().PointCount = 5;
        const ContourBuffer before = t.c().Buffer;
        const auto mirror =
            gor ? &editor::SpeedButtonMirrorGorClick : &editor::SpeedButtonMirrorVertClick;
        mirror(t.editor);
        const int axis = gor ? 0 : 1;
        for (size_t s = 0; s < before.size(); ++s) {
            const bool touched = s % 2 == size_t(axis) && s < 2 * 8;  // points 0..7
            EXPECT_EQ(t.c().Buffer[s], touched ? -before[s] : before[s]) << s;
        }
        mirror(t.editor);
        EXPECT_EQ(t.c().Buffer, before);
        EXPECT_EQ(t.count(), 5);
    }
}

TEST(Mirror, PixelZeroGoesTo384AndTheSmallestValueToTheLargest) {
    Transforms t;
    t.editor.WriteToBuffer(0, 0, 100);
    t.editor.WriteToBuffer(2, 383, 383);
    t.editor.WriteToBuffer(4, 192, 0);
    t.editor.state().PointCount = 3;
    editor::SpeedButtonMirrorGorClick(t.editor);
    EXPECT_EQ(t.pixel(0), (PixelPos{384, 100}));
    EXPECT_EQ(t.pixel(1), (PixelPos{1, 383}));
    EXPECT_EQ(t.pixel(2), (PixelPos{192, 0}));
    editor::SpeedButtonMirrorVertClick(t.editor);
    EXPECT_EQ(t.pixel(2), (PixelPos{192, 384}));

    // The one value without a negation saturates instead of staying negative.
    Transforms m;
    m.set(0, kInt32Min, kInt32Min);
    m.editor.state().PointCount = 1;
    editor::SpeedButtonMirrorGorClick(m.editor);
    EXPECT_EQ(m.unit(0).x, kInt32Max);
    EXPECT_EQ(m.unit(0).y, kInt32Min);
    editor::SpeedButtonMirrorVertClick(m.editor);
    EXPECT_EQ(m.unit(0).y, kInt32Max);
    editor::SpeedButtonMirrorGorClick(m.editor);
    EXPECT_EQ(m.unit(0).x, -kInt32Max);
}

TEST(Transforms, EmptyContourTouchesOnlyTheSlotsPastTheEndAndRepaints) {
    Transforms t;
    t.fillPattern();
    const ContourBuffer before = t.c().Buffer;
    const int writes = t.host.lengthWrites;
    editor::SpeedButtonMirrorGorClick(t.editor);
    editor::SpeedButtonMirrorVertClick(t.editor);
    for (size_t s = 0; s < 6; ++s) {
        EXPECT_EQ(t.c().Buffer[s], -before[s]) << s;
    }
    EXPECT_EQ(t.c().Buffer[6], before[6]);

    t.c().Buffer = before;
    editor::SpeedButtonRotateClick(t.editor);
    EXPECT_NE(t.c().Buffer[0], before[0]);
    EXPECT_TRUE(std::equal(before.begin() + 2, before.end(), t.c().Buffer.begin() + 2));

    t.c().Buffer = before;
    editor::SpeedButtonReturn128Click(t.editor);
    editor::SpeedButtonNormalDistanceClick(t.editor);
    EXPECT_EQ(t.c().Buffer, before);
    EXPECT_EQ(t.count(), 0);
    EXPECT_EQ(t.host.panels[editor::kPanelDot], QString());
    // Every one of the five commands repainted.
    EXPECT_EQ(t.host.lengthWrites, writes + 5);
}

TEST(Turn, WorkedExamplesAndTheCentre) {
    Transforms t;
    t.fillPattern();
    t.set(0, 30'000'000, -40'000'000);  // pixel (198, 184)
    t.set(1, 50'000'000, 0);
    t.set(2, 0, 0);
    t.editor.state().PointCount = 2;  // point 2 is the one slot past the end, turned too
    const ContourBuffer before = t.c().Buffer;
    editor::SpeedButtonRotateClick(t.editor);
    EXPECT_EQ(t.editor.state().RotateScale, 1.0L);

    ExpectUpToOneAbove(t.unit(0).x, 40'000'000);
    ExpectUpToOneAbove(t.unit(0).y, 30'000'000);
    EXPECT_EQ(t.pixel(0), (PixelPos{200, 198}));
    // Ten pixels right of the centre turns to ten below it.
    ExpectUpToOneAbove(t.unit(1).x, 0);
    ExpectUpToOneAbove(t.unit(1).y, 50'000'000);
    EXPECT_EQ(t.pixel(1), (PixelPos{192, 202}));
    EXPECT_LE(std::abs(t.unit(2).x), 1);
    EXPECT_LE(std::abs(t.unit(2).y), 1);
    EXPECT_TRUE(std::equal(before.begin() + 6, before.end(), t.c().Buffer.begin() + 6));
}

TEST(Turn, FourTurnsComeBackWithinTwoUnits) {
    Transforms t;
    const ContourPoint start[] = {{30'000'000, -40'000'000},  {-960'000'000, 955'000'000},
                                  {123'456'789, 987'654'321}, {-5, 7},
                                  {-4'999'999, -700'000'001}, {955'000'000, -960'000'000}};
    for (int i = 0; i < 6; ++i) {
        t.set(i, start[i].x, start[i].y);
    }
    t.editor.state().PointCount = 5;  // the sixth is the slot past the end
    for (int turn = 0; turn < 4; ++turn) {
        editor::SpeedButtonRotateClick(t.editor);
    }
    for (int i = 0; i < 6; ++i) {
        EXPECT_LE(std::abs(int64_t(t.unit(i).x) - start[i].x), 2) << i;
        EXPECT_LE(std::abs(int64_t(t.unit(i).y) - start[i].y), 2) << i;
    }
}

TEST(Turn, EnlargementByOnePointOne) {
    Transforms t;
    t.set(0, 30'000'000, -40'000'000);
    t.set(1, 50'000'000, 0);
    t.editor.state().PointCount = 2;
    editor::SpeedButtonYuClick(t.editor);
    EXPECT_EQ(t.editor.state().RotateScale, 1.1L);
    EXPECT_NE(t.editor.state().RotateScale, static_cast<long double>(1.1));
    ExpectUpToOneAbove(t.unit(0).x, 44'000'000);
    ExpectUpToOneAbove(t.unit(0).y, 33'000'000);
    ExpectUpToOneAbove(t.unit(1).y, 55'000'000);
    EXPECT_LE(std::abs(t.unit(1).x), 1);
    // The plain turn sets the scale back before it turns.
    editor::SpeedButtonRotateClick(t.editor);
    EXPECT_EQ(t.editor.state().RotateScale, 1.0L);
    EXPECT_NEAR(t.unit(1).x, -55'000'000, 2);
}

TEST(Turn, AResultPastThe32BitRangeRefusesTheWholeTurn) {
    Transforms t;
    t.set(0, 10'000'000, 20'000'000);
    t.set(1, 955'000'000, -960'000'000);  // a corner of the surface
    t.editor.state().PointCount = 2;
    // Eight enlargements fit; each one moves the corner outward.
    for (int press = 1; press <= 8; ++press) {
        const ContourBuffer before = t.c().Buffer;
        editor::SpeedButtonYuClick(t.editor);
        EXPECT_NE(t.c().Buffer, before) << press;
    }
    const ContourBuffer before = t.c().Buffer;
    const int writes = t.host.lengthWrites;
    editor::SpeedButtonYuClick(t.editor);
    EXPECT_EQ(t.c().Buffer, before);  // the small point 0 is not turned either
    EXPECT_EQ(t.host.lengthWrites, writes);

    // The most negative value has no positive image of the same size.
    Transforms m;
    m.set(0, 1, 1);
    m.set(1, kInt32Min, 0);
    m.editor.state().PointCount = 1;  // point 1 is the slot past the end, which turns too
    const ContourBuffer mb = m.c().Buffer;
    editor::SpeedButtonRotateClick(m.editor);
    EXPECT_EQ(m.c().Buffer, mb);
    int32_t x = 0;
    int32_t y = 0;
    EXPECT_TRUE(model::RotateXY(kInt32Max, 0, 90, 1.0L, x, y));
    EXPECT_EQ(y, kInt32Max);
}

TEST(Transforms, RunsOfEqualPointsSurviveEveryCommand) {
    using Command = void (*)(editor::Editor&);
    const Command commands[] = {&editor::SpeedButtonMirrorGorClick,
                                &editor::SpeedButtonMirrorVertClick,
                                &editor::SpeedButtonRotateClick, &editor::SpeedButtonYuClick,
                                &editor::SpeedButtonReturn128Click};
    Transforms t;
    for (int i = 0; i < 4; ++i) {
        t.set(i, -123'456'789, 87'654'321);  // a hot point: four equal points
    }
    t.set(4, 300'000'001, -3);
    t.set(5, 300'000'001, -3);
    t.editor.state().PointCount = 6;
    for (const Command command : commands) {
        command(t.editor);
        for (int i = 1; i < 4; ++i) {
            EXPECT_EQ(t.unit(i).x, t.unit(0).x);
            EXPECT_EQ(t.unit(i).y, t.unit(0).y);
        }
        EXPECT_EQ(t.unit(5).x, t.unit(4).x);
        EXPECT_EQ(t.unit(5).y, t.unit(4).y);
    }
    // The return path's copies are runs as well: points 6, 7 and 8..11.
    ASSERT_EQ(t.count(), 12);
    EXPECT_EQ(t.unit(7).x, t.unit(6).x);
    EXPECT_EQ(t.unit(7).y, t.unit(6).y);
    for (int i = 9; i < 12; ++i) {
        EXPECT_EQ(t.unit(i).x, t.unit(8).x);
        EXPECT_EQ(t.unit(i).y, t.unit(8).y);
    }
}

TEST(ReturnPath, DoublesUpToAThousandPointsAndRefusesMore) {
    {
        Transforms t;
        t.set(0, 40'000'000, -5'000'000);
        t.editor.state().PointCount = 1;
        editor::SpeedButtonReturn128Click(t.editor);
        ASSERT_EQ(t.count(), 2);
        EXPECT_EQ(t.unit(1).x, 40'010'000);
        EXPECT_EQ(t.unit(1).y, -4'990'000);
        EXPECT_EQ(t.host.panels[editor::kPanelLength], QStringLiteral("Leng: 2"));
    }
    {
        Transforms t;
        for (int i = 0; i < 1000; ++i) {
            t.set(i, i * 1000, -i * 7);
        }
        t.editor.state().PointCount = 1000;
        editor::SpeedButtonReturn128Click(t.editor);
        ASSERT_EQ(t.count(), 2000);
        for (int j = 0; j < 1000; ++j) {
            EXPECT_EQ(t.unit(1000 + j).x, (999 - j) * 1000 + 10'000) << j;
            EXPECT_EQ(t.unit(1000 + j).y, -(999 - j) * 7 + 10'000) << j;
        }
        EXPECT_EQ(t.unit(999).x, 999'000);  // the contour itself stays
    }
    {
        Transforms t;
        t.fillPattern();
        t.editor.state().PointCount = 1001;
        const ContourBuffer before = t.c().Buffer;
        const int writes = t.host.lengthWrites;
        editor::SpeedButtonReturn128Click(t.editor);
        EXPECT_EQ(t.count(), 1001);
        EXPECT_EQ(t.c().Buffer, before);
        EXPECT_EQ(t.host.lengthWrites, writes);  // no repaint
    }
}

TEST(ReturnPath, CopyOfPixelZeroShowsOnPixelOneAndTheOffsetSaturates) {
    Transforms t;
    t.editor.WriteToBuffer(0, 0, 200);
    t.set(1, kInt32Max - 5000, kInt32Max);
    t.editor.state().PointCount = 2;
    editor::SpeedButtonReturn128Click(t.editor);
    ASSERT_EQ(t.count(), 4);
    EXPECT_EQ(t.unit(2).x, kInt32Max);
    EXPECT_EQ(t.unit(2).y, kInt32Max);
    EXPECT_EQ(t.unit(3).x, -959'990'000);
    EXPECT_EQ(t.pixel(3), (PixelPos{1, 200}));  // 200 is a whole multiple: the same pixel
}

TEST(NormalDistance, ReportsTheGapAndJoinsIt) {
    Transforms t;
    t.fillPattern();
    t.editor.WriteToBuffer(0, 100, 100);
    t.editor.WriteToBuffer(2, 140, 110);  // 40 by 10 pixels, spacing 15
    t.editor.state().PointCount = 2;
    const ContourBuffer before = t.c().Buffer;
    editor::SpeedButtonNormalDistanceClick(t.editor);
    EXPECT_EQ(t.host.panels[editor::kPanelDot], QStringLiteral("b: 2"));
    ASSERT_EQ(t.count(), 4);
    // Three equal steps of the pen's arithmetic: 200,000,000 / 3 and 50,000,000 / 3.
    EXPECT_EQ(t.unit(1).x, -460'000'000 + 66'666'666);
    EXPECT_EQ(t.unit(1).y, -460'000'000 + 16'666'666);
    EXPECT_EQ(t.unit(2).x, -460'000'000 + 2 * 66'666'666);
    EXPECT_EQ(t.unit(2).y, -460'000'000 + 2 * 16'666'666);
    EXPECT_EQ(t.pixel(3), (PixelPos{140, 110}));
    // Slots past the new end keep what they held.
    EXPECT_TRUE(std::equal(before.begin() + 8, before.end(), t.c().Buffer.begin() + 8));
    EXPECT_EQ(t.host.panels[editor::kPanelLength], QStringLiteral("Leng: 4"));
}

TEST(NormalDistance, JoinsEveryGapInOrderAndShowsTheLastMeasure) {
    Transforms t;
    t.editor.WriteToBuffer(0, 100, 100);
    t.editor.WriteToBuffer(2, 140, 100);  // n = 2
    t.editor.WriteToBuffer(4, 140, 100);  // no gap: an equal point
    t.editor.WriteToBuffer(6, 140, 200);  // n = 6
    t.editor.WriteToBuffer(8, 150, 200);  // no gap
    t.editor.state().PointCount = 5;
    editor::SpeedButtonNormalDistanceClick(t.editor);
    EXPECT_EQ(t.host.panels[editor::kPanelDot], QStringLiteral("b: 6"));
    ASSERT_EQ(t.count(), 13);
    // Shown pixels truncate toward the centre: the steps are 66,666,666 and 71,428,571 units.
    const PixelPos expected[] = {{100, 100}, {114, 100}, {127, 100}, {140, 100}, {140, 100},
                                 {140, 115}, {140, 129}, {140, 143}, {140, 158}, {140, 172},
                                 {140, 186}, {140, 200}, {150, 200}};
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(t.pixel(i), expected[i]) << i;
    }
    // Joined, the contour has no gap left: the panel keeps whatever it shows.
    t.host.panels[editor::kPanelDot] = QStringLiteral("Dot:7");
    editor::SpeedButtonNormalDistanceClick(t.editor);
    EXPECT_EQ(t.count(), 13);
    EXPECT_EQ(t.host.panels[editor::kPanelDot], QStringLiteral("Dot:7"));
    // A wider spacing is read at the next use.
    t.settings.ScrollBarFriqPoints = 30;
    editor::SpeedButtonNormalDistanceClick(t.editor);
    EXPECT_EQ(t.count(), 13);
}

TEST(NormalDistance, StopsJoiningAtTheCapacity) {
    Transforms t;
    t.set(0, 0, 0);
    t.set(1, 150'000'000, 0);  // n = 2: fits, 2037 points
    t.set(2, 525'000'000, 0);  // n = 5: would pass 2041
    t.set(3, 600'000'000, 0);  // n = 1: would fit, but joining has stopped
    for (int i = 4; i < 2035; ++i) {
        t.set(i, 600'000'000, 0);
    }
    t.editor.state().PointCount = 2035;
    const ContourBuffer before = t.c().Buffer;
    editor::SpeedButtonNormalDistanceClick(t.editor);
    EXPECT_EQ(t.host.panels[editor::kPanelDot], QStringLiteral("b: 1"));
    ASSERT_EQ(t.count(), 2037);
    EXPECT_EQ(t.unit(1).x, 50'000'000);
    EXPECT_EQ(t.unit(2).x, 100'000'000);
    EXPECT_EQ(t.unit(3).x, 150'000'000);
    EXPECT_EQ(t.unit(4).x, 525'000'000);
    EXPECT_EQ(t.unit(5).x, 600'000'000);
    EXPECT_EQ(t.unit(2036).x, 600'000'000);
    EXPECT_TRUE(
        std::equal(before.begin() + 2 * 2037, before.end(), t.c().Buffer.begin() + 2 * 2037));

    // Joining up to exactly 2041 points is allowed.
    Transforms f;
    for (int i = 0; i < 2039; ++i) {
        f.set(i, 0, 0);
    }
    f.set(2038, 0, -150'000'000);  // n = 2 between the last two
    f.editor.state().PointCount = 2039;
    editor::SpeedButtonNormalDistanceClick(f.editor);
    EXPECT_EQ(f.count(), 2041);
    EXPECT_EQ(f.unit(2039).y, -100'000'000);
    EXPECT_EQ(f.unit(2040).y, -150'000'000);
}

namespace {

struct Window {
    std::unique_ptr<app::Windows> w = app::CreateWindows();
    window::TBaseForm& form = *w->BaseForm;
    editor::Editor& e = form.editor();
    widgets::SpeedButton* b(const char* name) { return form.button(QString::fromUtf8(name)); }
    void click(const char* name) { QTest::mouseClick(b(name), Qt::LeftButton); }
};

}  // namespace

TEST(TransformButtons, EachButtonRunsItsCommand) {
    Window w;
    w.e.contour().Buffer[0] = 30'000'000;
    w.e.contour().Buffer[1] = -40'000'000;
    w.e.state().PointCount = 1;
    w.click("SpeedButtonMirrorGor");
    EXPECT_EQ(w.e.contour().Buffer[0], -30'000'000);
    w.click("SpeedButtonMirrorVert");
    EXPECT_EQ(w.e.contour().Buffer[1], 40'000'000);
    w.click("SpeedButtonRotate");
    ExpectUpToOneAbove(w.e.contour().Buffer[0], -40'000'000);
    ExpectUpToOneAbove(w.e.contour().Buffer[1], -30'000'000);
    w.click("SpeedButtonReturn128");
    EXPECT_EQ(w.e.state().PointCount, 2);
    w.click("SpeedButtonNormalDistance");
    EXPECT_EQ(w.e.state().PointCount, 2);
    EXPECT_EQ(w.form.statusPanels()->panelText(editor::kPanelDot), QStringLiteral("n=4%"));
    // None of them takes an undo snapshot.
    EXPECT_FALSE(w.b("SpeedButtonUndo")->isEnabled());
}

TEST(TransformButtons, YuGoesDownInItsGroupWhileTheToolStays) {
    Window w;
    w.click("SpeedButtonPen");
    ASSERT_EQ(w.e.state().ToolMode, model::tmPen);
    w.e.contour().Buffer[0] = 50'000'000;
    w.e.contour().Buffer[1] = 0;
    w.e.state().PointCount = 1;
    w.click("SpeedButtonYu");
    EXPECT_TRUE(w.b("SpeedButtonYu")->isDown());
    EXPECT_FALSE(w.b("SpeedButtonPen")->isDown());
    EXPECT_EQ(w.e.state().ToolMode, model::tmPen);
    ExpectUpToOneAbove(w.e.contour().Buffer[1], 55'000'000);
    // Clicked again it stays down and enlarges again.
    w.click("SpeedButtonYu");
    EXPECT_TRUE(w.b("SpeedButtonYu")->isDown());
    EXPECT_NEAR(w.e.contour().Buffer[0], -60'500'000, 2);
}

TEST(TransformButtons, NormalisationHidesTheUnderlayButNotItsToggle) {
    Window w;
    w.click("SpeedButtonPictureON");
    ASSERT_TRUE(w.b("SpeedButtonPictureON")->isDown());
    ASSERT_TRUE(w.e.underlay().visible());
    w.click("SpeedButtonNormalDistance");
    EXPECT_FALSE(w.e.underlay().visible());
    EXPECT_TRUE(w.b("SpeedButtonPictureON")->isDown());
}
