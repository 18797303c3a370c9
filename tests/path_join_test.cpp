#include <gtest/gtest.h>

#include <cmath>

#include "model/path_join.h"

using model::ContourPoint;
using model::Path;
using model::PathPoint;

namespace {

constexpr double kUnit = 5'000'000.0;

PathPoint Px(double x, double y) {
    return {(x - 192) * kUnit, (y - 192) * kUnit};
}

Path Line(std::initializer_list<std::pair<double, double>> pixels, bool closed = false) {
    Path p;
    p.closed = closed;
    for (const auto& [x, y] : pixels) {
        p.points.push_back(Px(x, y));
    }
    return p;
}

ContourPoint Unit(int x, int y) {
    return {(x - 192) * 5'000'000, (y - 192) * 5'000'000};
}

}  // namespace

// A jump between two paths is filled exactly like the pen's press far from the contour's end,
// and drawn dark: the fill and the path's first point, which comes twice so that the beam
// settles before it lights. The way back to the start is a jump as well: the first point comes
// twice, dark. Paths of one point each light nothing.
TEST(PathJoin, JumpsAreFilledWithThePensEvenStepsAndDrawnDark) {
    struct Row {
        int fromX, fromY, toX, toY, spacing;
        std::vector<ContourPoint> fill;
    };
    const int32_t i25 = 73'653'846;  // (383 - 0) * 5e6 / 26, truncated
    const std::vector<Row> rows{
        {200, 200, 214, 200, 15, {}},
        {200, 200, 215, 200, 15, {{77'500'000, 40'000'000}}},
        {200, 200, 260, 210, 15, {Unit(212, 202), Unit(224, 204), Unit(236, 206), Unit(248, 208)}},
        {200, 200, 210, 260, 15, {Unit(202, 212), Unit(204, 224), Unit(206, 236), Unit(208, 248)}},
        {0, 0, 383, 383, 15, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.toX << "," << r.toY);
        const auto j = model::JoinPaths(
            {Line({{double(r.fromX), double(r.fromY)}}), Line({{double(r.toX), double(r.toY)}})},
            r.spacing);
        std::vector<ContourPoint> fill = r.fill;
        if (r.toX == 383) {
            for (int i = 1; i <= 25; ++i) {
                fill.push_back({-960'000'000 + i * i25, -960'000'000 + i * i25});
            }
        }
        ASSERT_EQ(j.points.size(), fill.size() + 4);
        ASSERT_EQ(j.styles.size(), j.points.size());
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(j.points[i], Unit(r.fromX, r.fromY));
        }
        for (std::size_t i = 0; i < fill.size(); ++i) {
            EXPECT_EQ(j.points[i + 2].x, fill[i].x) << i;
            EXPECT_EQ(j.points[i + 2].y, fill[i].y) << i;
        }
        for (std::size_t i = fill.size() + 2; i < j.points.size(); ++i) {
            EXPECT_EQ(j.points[i], Unit(r.toX, r.toY));
        }
        for (const model::PointStyle& st : j.styles) {
            EXPECT_TRUE(st.blanked);
        }
        EXPECT_NEAR(j.jumpPixels, std::hypot(r.toX - r.fromX, r.toY - r.fromY), 1e-6);
    }
}

// A closed square keeps its corners, spaces the points evenly along each side, comes back
// to where it was entered, and is entered at its point nearest the end of the path before.
TEST(PathJoin, ClosedOutlinesKeepCornersAndAreEnteredAtTheNearestPoint) {
    const Path square = Line({{100, 100}, {200, 100}, {200, 200}, {100, 200}}, true);
    const auto alone = model::JoinPaths({square}, 15);
    // Each 100-pixel side in 7 even steps of 14.29 pixels; 28 points and the closing one.
    ASSERT_EQ(alone.points.size(), 29u);
    for (int corner = 0; corner < 4; ++corner) {
        const ContourPoint c = alone.points[std::size_t(corner * 7)];
        EXPECT_EQ(c.x % 5'000'000, 0);
        EXPECT_EQ(c.y % 5'000'000, 0);
    }
    EXPECT_NEAR(alone.points[1].x / kUnit + 192, 100 + 100.0 / 7, 1e-6);
    EXPECT_EQ(alone.points.front().x, alone.points.back().x);

    // After a line from the corner to (205, 160), in 18 steps, the square is entered at its
    // right side's point nearest to that end, with no fill for the 5.8-pixel jump; the entry
    // comes twice, dark, and the square is drawn in its own colour. The square ends away from
    // the corner, so the corner comes twice, dark, for the way back.
    Path red = square;
    red.style = model::PointStyle::Colour(0xFF0000);
    const auto joined = model::JoinPaths({red, Line({{0, 0}, {205, 160}})}, 15);
    ASSERT_EQ(joined.points.size(), 1u + 19 + 30);
    EXPECT_EQ(joined.points[0], Unit(0, 0));
    EXPECT_EQ(joined.points[1], Unit(0, 0));
    EXPECT_TRUE(joined.styles[0].blanked && joined.styles[1].blanked);
    const ContourPoint entry = joined.points[20];
    EXPECT_EQ(joined.points[21], entry);
    EXPECT_TRUE(joined.styles[20].blanked && joined.styles[21].blanked);
    for (std::size_t i = 2; i < 20; ++i) {
        EXPECT_EQ(joined.styles[i], model::PointStyle{}) << i;
    }
    for (std::size_t i = 22; i < joined.points.size(); ++i) {
        EXPECT_EQ(joined.styles[i], red.style) << i;
    }
    EXPECT_EQ(entry.x, Unit(200, 0).x);
    EXPECT_NEAR(entry.y / kUnit + 192, 100 + 4 * 100.0 / 7, 1e-6);
    EXPECT_EQ(joined.points.back().x, entry.x);
    EXPECT_EQ(joined.points.back().y, entry.y);
    EXPECT_EQ(joined.paths, 2);
}

// Open paths are taken nearest first and walked from whichever end is nearer; a contour that
// needs more than 2041 points is not built, and the smallest spacing that fits is offered.
TEST(PathJoin, OrdersOpenPathsAndOffersTheSmallestSpacingThatFits) {
    std::vector<Path> rungs;
    for (int y : {50, 0, 20, 10, 40, 30}) {
        rungs.push_back(Line({{0, double(y)}, {380, double(y)}}));
    }
    const auto wide = model::JoinPaths(rungs, 30);
    // 14 points per rung (ceil(380 / 30) + 1) and the repeated entry of each rung, the first
    // for the way back, no fill in a 10-pixel jump: a zigzag.
    ASSERT_EQ(wide.points.size(), 6u * 15);
    for (int rung = 0; rung < 6; ++rung) {
        const ContourPoint start = wide.points[std::size_t(rung * 15)];
        EXPECT_EQ(start.y, Unit(0, rung * 10).y);
        EXPECT_EQ(start.x, Unit(rung % 2 == 0 ? 0 : 380, 0).x);
    }
    EXPECT_DOUBLE_EQ(wide.jumpPixels, 50);

    // Spacing 1: 6 * 381 points, 10 fill points and a repeated entry per jump and the way
    // back's repeated start make 2342, more than 2041.
    const auto tight = model::JoinPaths(rungs, 1);
    EXPECT_FALSE(tight.fits());
    EXPECT_EQ(tight.needed, 2342u);
    EXPECT_TRUE(tight.points.empty());
    EXPECT_TRUE(tight.styles.empty());
    // Spacing 2: 6 * 191 + 5 * (5 + 1) + 1 = 1177.
    EXPECT_EQ(model::SmallestFittingSpacing(rungs, 1), 2);
    EXPECT_EQ(model::JoinPaths(rungs, 2).points.size(), 1177u);
    EXPECT_FALSE(model::JoinPaths({}, 15).fits());
}

// The points needed can rise again as the spacing grows, so the smallest spacing that fits is
// found by trying each. A path bends by 15 and then 35 degrees, `bend` pixels apart, between
// straight runs of `run` pixels. While half the spacing is shorter than the bend neither turn is
// a corner (40 degrees), and the path is one run: ceil(length / s) + 1 points. Once half the
// spacing passes the bend, the turn measured across it is about 47 degrees at the second bend,
// a corner that splits the path into runs of run + bend and run, which may need a point more.
// `count` copies half a pixel apart are joined end to end with no fill, each entered by its
// first point twice (the first for the way back).
TEST(PathJoin, TheSmallestFittingSpacingIsFoundWhereThePointsNeededRiseAgain) {
    const auto rungs = [](double run, double bend, int count) {
        const double pi = std::acos(-1.0);
        const double first = 15 * pi / 180;
        const double both = 50 * pi / 180;
        std::vector<Path> paths;
        for (int i = 0; i < count; ++i) {
            const double y = i * 0.5;
            const double b2x = run + bend * std::cos(first);
            const double b2y = y + bend * std::sin(first);
            paths.push_back(Line({{0, y},
                                  {run, y},
                                  {b2x, b2y},
                                  {b2x + run * std::cos(both), b2y + run * std::sin(both)}}));
        }
        return paths;
    };
    // 400 paths of 36 + 14.75 + 36 = 86.75 pixels: 5 points each at 28, 4 at 29 (one run), and
    // 5 at 30, where half the spacing passes the bend (2 + 2 + 1); 400 repeated entries.
    const std::vector<Path> late = rungs(36, 14.75, 400);
    // 280 paths of 35 + 8.25 + 35 = 78.25 pixels: 7 points each at 15, 6 at 16, 7 at 17 with the
    // corner (3 + 3 + 1), 6 at 18 (3 + 2 + 1); 280 repeated entries.
    const std::vector<Path> dip = rungs(35, 8.25, 280);
    struct Row {
        const char* name;
        const std::vector<Path>& paths;
        int spacing;
        std::size_t needed;
    };
    for (const Row& r : std::vector<Row>{{"late", late, 28, 2400},
                                         {"late", late, 29, 2000},
                                         {"late", late, 30, 2400},
                                         {"dip", dip, 15, 2240},
                                         {"dip", dip, 16, 1960},
                                         {"dip", dip, 17, 2240},
                                         {"dip", dip, 18, 1960}}) {
        EXPECT_EQ(model::JoinPaths(r.paths, r.spacing).needed, r.needed)
            << r.name << " at " << r.spacing;
    }
    struct Search {
        const std::vector<Path>& paths;
        int from;
        int smallest;
    };
    for (const Search& s : std::vector<Search>{
             {late, 1, 29}, {late, 15, 29}, {late, 30, 0}, {dip, 1, 16}, {dip, 17, 18}}) {
        EXPECT_EQ(model::SmallestFittingSpacing(s.paths, s.from), s.smallest) << s.from;
    }
}
