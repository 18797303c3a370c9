// The output stage worked by hand: every expected stream below is written out point by point
// from the rules (contour units to DAC units: 240e6 -> 8192, 720e6 -> 24575, 960e6 -> 32767,
// y up; moves rounded half away from zero).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <vector>

#include "model/output_stage.h"
#include "model/show_stream.h"

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
        {"a line: the return in three steps of at most 10000, and the line drawn in three",
         line,
         {},
         red,
         lineJump,
         {D(24575, 0), D(16383, 0), D(8192, 0), D(0, 0), D(0, 0), L(0, 0, red), L(8192, 0, red),
          L(16383, 0, red), L(24575, 0, red)}},
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
         {L(24575, 0, red), D(16383, 0), D(8192, 0), D(0, 0), D(0, 0), D(0, 0), L(8192, 0, red),
          L(16383, 0, red), L(24575, 0, red)}},
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
        int rate, expectedRate, brightness, expectedBrightness, turns, expectedTurns, fps,
            expectedFps;
    };
    for (const Row& r : std::vector<Row>{{5'000, 12'000, -3, 0, -1, 3, 0, 1},
                                         {30'000, 30'000, 70, 70, 4, 0, 25, 25},
                                         {250'000, 100'000, 130, 100, 6, 2, 500, 100}}) {
        Settings s;
        s.pointRate = r.rate;
        s.brightnessPercent = r.brightness;
        s.zone.quarterTurns = r.turns;
        s.framesPerSecond = r.fps;
        const Settings c = model::stage::Clamped(s);
        EXPECT_EQ(c.pointRate, r.expectedRate);
        EXPECT_EQ(c.brightnessPercent, r.expectedBrightness);
        EXPECT_EQ(c.zone.quarterTurns, r.expectedTurns);
        EXPECT_EQ(c.framesPerSecond, r.expectedFps);
    }
}

// Shows worked by hand at 12,000 points/s and 100 frames/s (120 samples a frame), jumps of at
// most 10,000 waiting 2 samples before and 3 after. A frame's time: its drawing, the way back
// and the drawing again while a whole one fits, then dark to the next frame's first point.
// Points in DAC units: a = (0,0), b = (8192,0), c = (8192,8192), d = (0,8192).
TEST(OutputStage, WorkedShows) {
    const ContourPoint a{0, 0}, b{240'000'000, 0}, c{240'000'000, -240'000'000}, d{0, -240'000'000},
        left{-720'000'000, 0}, right{720'000'000, 0};
    Settings s;
    s.pointRate = 12'000;
    s.framesPerSecond = 100;
    s.jumpStep = 10'000;
    s.jumpDwellBefore = 2;
    s.jumpDwellAfter = 3;
    s.cornerDwell = 1;
    Settings optimised = s;
    optimised.optimiseFiles = true;
    Settings sevenFps = s;
    sevenFps.framesPerSecond = 7;
    const uint32_t g = 0x00FF00;
    struct Time {
        size_t length;
        int drawings;
    };
    struct Row {
        const char* what;
        std::vector<std::vector<ContourPoint>> frames;
        std::vector<bool> asMade;
        Settings settings;
        std::vector<Time> times;
        double largestStep;         // from any sample to the next, the last to the first among them
        std::vector<Sample> first;  // frame 0 drawn once
        bool slow = false;
    };
    const std::vector<Row> rows{
        // abc (3) returns in 2 dwell + 2 steps of 5793 + 3 dwell: 10 a drawing again, 11 more
        // in the 117 samples left, 7 over: 2 dark at c, 5 at d. d reaches a within a step.
        {"from files: point for point, dark only where the step is long",
         {{a, b, c}, {d}},
         {true, true},
         s,
         {{120, 12}, {120, 120}},
         8192,
         {L(0, 0, g), L(8192, 0, g), L(8192, 8192, g)}},
        // abc drawn: 7 back, a, b, b at the corner, c: 11 a drawing; 6 to d (2, one step, 3):
        // 110 / 11 = 10 more. d drawn: 5 back (2 + 3), d: 6 a drawing; 6 to a; 113 = 18 * 6 + 5.
        {"optimised: drawn as the editor draws, jumps between",
         {{a, b, c}, {d}},
         {true, true},
         optimised,
         {{120, 11}, {120, 19}},
         8192,
         {L(0, 0, g), L(8192, 0, g), L(8192, 0, g), L(8192, 8192, g)}},
        {"drawn here: the same without the option",
         {{a, b, c}, {d}},
         {false, false},
         s,
         {{120, 11}, {120, 19}},
         8192,
         {L(0, 0, g), L(8192, 0, g), L(8192, 0, g), L(8192, 8192, g)}},
        // 49,150 apart: 2 + 5 steps of 9830 + 3 = 10 each way, and 110 drawings of one point.
        {"far apart: five dark steps each way, the wrap too",
         {{left}, {right}},
         {true, true},
         s,
         {{120, 110}, {120, 110}},
         9830,
         {L(-24575, 0, g)}},
        // 150 points cannot be drawn in 120 samples: drawn once; 270 samples for 2 frames is
        // 88.9 frames a second.
        {"a frame too long is drawn once, the show runs slow",
         {std::vector<ContourPoint>(150, a), {b}},
         {true, true},
         s,
         {{150, 1}, {120, 120}},
         8192,
         std::vector<Sample>(150, L(0, 0, g)),
         true},
        // 12,000 / 7 = 1714 2/7: the frames end at 1714, 3428, 5142 and 6857.
        {"the fractions add up",
         {{a}, {a}, {a}, {a}},
         {true, true, true, true},
         sevenFps,
         {{1714, 1714}, {1714, 1714}, {1714, 1714}, {1715, 1715}},
         0,
         {L(0, 0, g)}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::vector<model::Frame> frames;
        for (const auto& points : r.frames) {
            frames.push_back({points, {}, {}});
        }
        const auto show = model::stage::BuildShow(frames, r.asMade, r.settings);
        ASSERT_EQ(show.frames.size(), r.times.size());
        for (size_t i = 0; i < r.times.size(); ++i) {
            EXPECT_EQ(show.frames[i].Length(), r.times[i].length) << i;
            EXPECT_EQ(show.frames[i].drawings, r.times[i].drawings) << i;
        }
        EXPECT_EQ(show.frames[0].first, r.first);
        EXPECT_EQ(show.slow, r.slow);
        if (r.slow) {
            EXPECT_NEAR(show.framesPerSecond, 88.9, 0.05);
        }
        const std::vector<Sample> all = model::stage::Samples(show);
        double largest = 0;
        for (size_t i = 0; i < all.size(); ++i) {
            const Sample p = all[i], q = all[(i + 1) % all.size()];
            largest = std::max(largest, std::hypot(double(q.x) - p.x, double(q.y) - p.y));
        }
        EXPECT_NEAR(largest, r.largestStep, 0.5);
    }
    // Held alone, a frame from a file is its way back (c to a is 11,585 apart: 2 dwell, two
    // steps, 3 dwell) and its own points; drawn here, the corner at b is dwelt on.
    EXPECT_EQ(model::stage::Held({{a, b, c}, {}, {}}, true, s),
              (std::vector<Sample>{D(8192, 8192), D(8192, 8192), D(4096, 4096), D(0, 0), D(0, 0),
                                   D(0, 0), D(0, 0), L(0, 0, g), L(8192, 0, g), L(8192, 8192, g)}));
    EXPECT_EQ(model::stage::Held({{a, b, c}, {}, {}}, true, optimised).size(), 11u);
}
