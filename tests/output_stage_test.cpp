// The output stage worked by hand: every expected stream below is written out point by point
// from the rules (contour units to DAC units: 240e6 -> 8192, 720e6 -> 24575, 960e6 -> 32767,
// y up; moves rounded half away from zero).
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "model/output_stage.h"

namespace model::stage {
// Failures name the points, not their bytes.
void PrintTo(const Sample& s, std::ostream* os) {
    *os << "(" << s.x << "," << s.y << " " << int(s.r) << "/" << int(s.g) << "/" << int(s.b) << ")";
}
}  // namespace model::stage

using model::ContourPoint;
using model::PointStyle;
using model::stage::Sample;
using model::stage::Settings;

namespace {

Sample D(int x, int y) {
    return {int16_t(x), int16_t(y), 0, 0, 0};
}
Sample L(int x, int y, uint32_t rgb) {
    return {int16_t(x), int16_t(y), uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)};
}

// Nothing but what a row sets: no dwell, one step per jump, full brightness.
Settings Plain() {
    Settings s;
    s.cornerDwell = 0;
    s.jumpDwellBefore = 0;
    s.jumpDwellAfter = 0;
    s.jumpStep = 65534;
    return s;
}

}  // namespace

TEST(OutputStage, WorkedFrames) {
    const PointStyle def{};
    const PointStyle dark = PointStyle::Dark();
    struct Row {
        const char* what;
        std::vector<ContourPoint> points;
        std::vector<PointStyle> styles;
        uint32_t line;
        Settings settings;
        std::vector<Sample> expected;
    };
    Settings dwell12 = Plain();
    dwell12.jumpDwellBefore = 1;
    dwell12.jumpDwellAfter = 2;
    Settings lineJump = Plain();
    lineJump.jumpDwellBefore = 1;
    lineJump.jumpDwellAfter = 1;
    lineJump.jumpStep = 10000;
    Settings corners = Plain();
    corners.cornerDwell = 2;
    corners.cornerAngle = 90;
    Settings gentle = corners;
    gentle.cornerAngle = 91;
    Settings blankRun = Plain();
    blankRun.jumpDwellBefore = 2;
    blankRun.jumpDwellAfter = 1;
    blankRun.jumpStep = 10000;
    Settings half = Plain();
    half.brightnessPercent = 50;
    Settings shifted = lineJump;
    shifted.blankingShift = 1;
    Settings zoneRight = Plain();
    zoneRight.zone.sizePercent = 50;
    zoneRight.zone.offsetX = 100;
    const std::vector<ContourPoint> line{{0, 0}, {720'000'000, 0}};
    const std::vector<ContourPoint> bends{{0, 0},
                                          {240'000'000, 0},
                                          {240'000'000, -240'000'000},
                                          {240'000'000, -720'000'000},
                                          {0, -720'000'000}};
    const uint32_t red = 0xFF0000, green = 0x00FF00;
    const std::vector<Row> rows{
        {"one point", {{0, 0}}, {}, 0x102030, Plain(), {L(0, 0, 0x102030)}},
        {"one point, waits at both ends of its return",
         {{0, 0}},
         {},
         0x102030,
         dwell12,
         {D(0, 0), D(0, 0), D(0, 0), L(0, 0, 0x102030)}},
        {"a blanked first point is not lit",
         {{0, 0}},
         {dark},
         red,
         dwell12,
         {D(0, 0), D(0, 0), D(0, 0)}},
        {"a line: the return in three steps of at most 10000",
         line,
         {},
         red,
         lineJump,
         {D(24575, 0), D(16383, 0), D(8192, 0), D(0, 0), D(0, 0), L(0, 0, red), L(24575, 0, red)}},
        {"right-angle turns dwell, the straight one does not",
         bends,
         {},
         red,
         corners,
         {D(0, 0), L(0, 0, red), L(8192, 0, red), L(8192, 0, red), L(8192, 0, red),
          L(8192, 8192, red), L(8192, 24575, red), L(8192, 24575, red), L(8192, 24575, red),
          L(0, 24575, red)}},
        {"turns under the angle do not dwell",
         bends,
         {},
         red,
         gentle,
         {D(0, 0), L(0, 0, red), L(8192, 0, red), L(8192, 8192, red), L(8192, 24575, red),
          L(0, 24575, red)}},
        {"a corner before a jump does not dwell lit",
         bends,
         {def, def, dark, def, def},
         red,
         corners,
         {D(0, 0), L(0, 0, red), L(8192, 0, red), D(8192, 8192), L(8192, 24575, red),
          L(8192, 24575, red), L(8192, 24575, red), L(0, 24575, red)}},
        {"two blanked points are one jump through both",
         {{0, 0}, {240'000'000, 0}, {720'000'000, 0}, {720'000'000, -240'000'000}},
         {def, dark, dark, def},
         green,
         blankRun,
         {D(24575, 8192), D(24575, 8192), D(16383, 5461), D(8192, 2731), D(0, 0), D(0, 0),
          L(0, 0, green), D(0, 0), D(0, 0), D(8192, 0), D(16384, 0), D(24575, 0), D(24575, 0),
          L(24575, 8192, green)}},
        {"own colours, the line colour for the rest, both at half brightness",
         {{0, 0}, {240'000'000, 0}},
         {PointStyle::Colour(0xFF8040), def},
         0x0000FF,
         half,
         {D(0, 0), L(0, 0, 0x804020), L(8192, 0, 0x000080)}},
        {"the colour comes one point late, round the loop",
         line,
         {},
         red,
         shifted,
         {L(24575, 0, red), D(16383, 0), D(8192, 0), D(0, 0), D(0, 0), D(0, 0), L(24575, 0, red)}},
        {"an empty contour is one dark point at the zone's centre",
         {},
         {},
         red,
         zoneRight,
         {D(16383, 0)}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(model::stage::Build(r.points, r.styles, r.line, r.settings), r.expected);
    }
}

TEST(OutputStage, ZonePlacesAPoint) {
    using model::stage::Zone;
    struct Row {
        const char* what;
        Zone zone;
        ContourPoint p;
        int x, y;
    };
    const ContourPoint q{240'000'000, 240'000'000};  // (8192, -8192) before the zone
    const std::vector<Row> rows{
        {"whole square", {}, q, 8192, -8192},
        {"surface edge", {}, {-960'000'000, 955'000'000}, -32767, -32596},
        {"flip x", {100, 0, 0, true, false, 0}, q, -8192, -8192},
        {"flip y", {100, 0, 0, false, true, 0}, q, 8192, 8192},
        {"one quarter turn", {100, 0, 0, false, false, 1}, q, 8192, 8192},
        {"two quarter turns", {100, 0, 0, false, false, 2}, q, -8192, 8192},
        {"three quarter turns", {100, 0, 0, false, false, 3}, q, -8192, -8192},
        {"half size: the edge on the zone's edge", {50, 0, 0}, {-960'000'000, 0}, -16384, 0},
        {"half size at the right: centre", {50, 100, 0}, {0, 0}, 16383, 0},
        {"half size at the right: right edge", {50, 100, 0}, {-960'000'000, 0}, -1, 0},
        {"half size moved down half", {50, 0, -50}, {0, 0}, 0, -16383},
        {"a tenth, flipped and turned", {10, 0, 0, true, false, 1}, {960'000'000, 0}, 0, -3277},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const Sample s = model::stage::Place(r.p, r.zone);
        EXPECT_EQ(s.x, r.x);
        EXPECT_EQ(s.y, r.y);
    }
}

// Whatever the contour and the settings, no point of the stream leaves the zone.
TEST(OutputStage, NothingLeavesTheZone) {
    std::vector<ContourPoint> points;
    std::vector<PointStyle> styles;
    for (int i = 0; i < 400; ++i) {
        points.push_back({-960'000'000 + (i * 7919 % 384) * 5'000'000,
                          -960'000'000 + (i * 104729 % 384) * 5'000'000});
        styles.push_back(i % 7 == 0 ? PointStyle::Dark() : PointStyle{});
    }
    for (int size : {1, 33, 100}) {
        for (int offset : {-100, -40, 0, 70, 100}) {
            for (int turns : {0, 1, 3}) {
                Settings s;
                s.zone = {size, offset, -offset, offset<0, offset> 0, turns};
                s.jumpStep = 700;
                const auto b = model::stage::Bounds(s.zone);
                for (const Sample& p : model::stage::Build(points, styles, 0xFFFFFF, s)) {
                    ASSERT_TRUE(p.x >= b.left && p.x <= b.right && p.y >= b.bottom && p.y <= b.top)
                        << size << " " << offset << " " << turns << ": " << p.x << "," << p.y;
                }
            }
        }
    }
}

TEST(OutputStage, SettingsAreBroughtIntoRange) {
    struct Row {
        int rate, expectedRate, brightness, expectedBrightness, turns, expectedTurns;
    };
    for (const Row& r : std::vector<Row>{{5'000, 12'000, -3, 0, -1, 3},
                                         {30'000, 30'000, 70, 70, 4, 0},
                                         {250'000, 100'000, 130, 100, 6, 2}}) {
        Settings s;
        s.pointRate = r.rate;
        s.brightnessPercent = r.brightness;
        s.zone.quarterTurns = r.turns;
        const Settings c = model::stage::Clamped(s);
        EXPECT_EQ(c.pointRate, r.expectedRate);
        EXPECT_EQ(c.brightnessPercent, r.expectedBrightness);
        EXPECT_EQ(c.zone.quarterTurns, r.expectedTurns);
    }
}
