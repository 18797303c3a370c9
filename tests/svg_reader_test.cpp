#include <gtest/gtest.h>

#include <QByteArray>
#include <cmath>
#include <vector>

#include "pictures/svg_reader.h"
#include "support/geometry.h"

using testing_support::PolylineDistance;

namespace {

// A line of the drawing as it should come in, in surface pixels.
struct Expected {
    std::vector<QPointF> line;  // a closed one ends where it starts
    bool closed = false;
};

Expected Polyline(std::vector<QPointF> points, bool closed = false) {
    if (closed) {
        points.push_back(points.front());
    }
    return {points, closed};
}

Expected Box(double x0, double y0, double x1, double y1) {
    return Polyline({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, true);
}

// The arc of a circle from angle a0 to a1 (degrees, y down), densely.
Expected Arc(QPointF c, double r, double a0, double a1) {
    const double pi = std::acos(-1.0);
    std::vector<QPointF> points;
    for (int i = 0; i <= 720; ++i) {
        const double a = (a0 + (a1 - a0) * i / 720) * pi / 180;
        points.push_back(c + QPointF(r * std::cos(a), r * std::sin(a)));
    }
    return {points, a1 - a0 >= 360};
}

std::vector<QPointF> Pixels(const model::Path& p) {
    std::vector<QPointF> out;
    for (const model::PathPoint& q : p.points) {
        out.push_back({q.x / model::kUnitsPerPixel + model::kCentrePixel,
                       q.y / model::kUnitsPerPixel + model::kCentrePixel});
    }
    if (p.closed && !out.empty()) {
        out.push_back(out.front());
    }
    return out;
}

QByteArray Svg(const char* size, const char* body) {
    return QByteArray(R"(<svg xmlns="http://www.w3.org/2000/svg" )"
                      R"(xmlns:xlink="http://www.w3.org/1999/xlink" )") +
           size + ">" + body + "</svg>";
}

pictures::SvgOptions AllLines() {
    pictures::SvgOptions o;
    o.visibleOnly = false;
    return o;
}

pictures::SvgOptions WholePage() {
    pictures::SvgOptions o;
    o.wholePage = true;
    return o;
}

// The placements worked out by hand. A drawing 80 by 60 (from 10, 20 or 20, 20) fills the
// surface's 383 pixels across: 4.7875 pixels to the unit, 47.875 pixels down. A drawing 40 by
// 80 from (10, 10): the same scale, 95.75 pixels across.
QPointF Wide(double x, double y, double left) {
    return {(x - left) * 4.7875, 47.875 + (y - 20) * 4.7875};
}
QPointF Tall(double x, double y) {
    return {95.75 + (x - 10) * 4.7875, (y - 10) * 4.7875};
}

}  // namespace

// What the picture shows comes in, once, and only that; each line is checked both ways: every
// point lies on the line as worked out, and every part of that line has points near it.
TEST(SvgReader, GivesTheLinesThePictureShows) {
    const Expected rect = Box(0, 47.875, 383, 335.125);
    // The left half of a circle of radius 40 about (50, 50): the drawing from (10, 10) to
    // (50, 90).
    const Expected leftArc = Arc(Tall(50, 50), 40 * 4.7875, 90, 270);
    // The clip path: the left half of the page, or of the circle's bounds.
    const std::string half = R"(<rect x="0" y="0" width="50" height="100"/>)";
    const auto clipped = [](const std::string& clip, const char* attributes) {
        return Svg(R"(width="100" height="100")",
                   (clip + R"(<circle cx="50" cy="50" r="40" fill="none" stroke="black" )" +
                    attributes + "/>")
                       .c_str());
    };
    struct Row {
        const char* name;
        QByteArray svg;
        pictures::SvgOptions options;
        std::vector<Expected> lines;
        double tolerance = 0.3;  // the flattening's 0.25 pixel and rounding
    };
    const std::vector<Row> rows{
        {"a filled and stroked rect is one line",
         Svg(R"(width="100" height="100")",
             R"(<rect x="10" y="20" width="80" height="60" fill="red" stroke="black" )"
             R"(stroke-width="4"/>)"),
         {},
         {rect}},
        {"a stroked copy of a filled rect is the same line",
         Svg(R"(width="100" height="100")",
             R"(<rect x="10" y="20" width="80" height="60" fill="red"/>)"
             R"(<rect x="10" y="20" width="80" height="60" fill="none" stroke="black"/>)"),
         AllLines(),
         {rect}},
        {"shapes nobody sees give nothing",
         Svg(R"(width="100" height="100")",
             R"(<defs><circle id="unused" cx="50" cy="50" r="30"/></defs>)"
             R"(<clipPath id="c"><rect x="0" y="0" width="100" height="100"/></clipPath>)"
             R"(<circle cx="50" cy="50" r="10" opacity="0"/>)"
             R"(<circle cx="50" cy="50" r="11" fill-opacity="0"/>)"
             R"(<circle cx="50" cy="50" r="12" fill="none" stroke="red" stroke-opacity="0"/>)"
             R"(<g opacity="0"><circle cx="50" cy="50" r="13"/></g>)"
             R"(<circle cx="50" cy="50" r="14" display="none"/>)"
             R"(<rect x="150" y="150" width="10" height="10"/>)"
             R"(<image x="0" y="0" width="100" height="100" xlink:href="data:image/png;base64,)"
             R"(iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg=="/>)"
             R"(<rect x="10" y="20" width="80" height="60" fill="none" stroke="black"/>)"),
         {},
         {rect}},
        {"a circle clipped by a rect is the arc inside",
         clipped(R"(<clipPath id="c">)" + half + "</clipPath>", R"svg(clip-path="url(#c)")svg"),
         {},
         {leftArc}},
        {"a clip path in the bounds of what it clips",
         clipped(R"(<clipPath id="c" clipPathUnits="objectBoundingBox">)"
                 R"(<rect x="0" y="0" width="0.5" height="1"/></clipPath>)",
                 R"svg(clip-path="url(#c)")svg"),
         {},
         {leftArc}},
        {"a clip path in the user space of the clipped shape, after its transform",
         Svg(R"(width="100" height="100")",
             R"(<clipPath id="c"><rect x="-50" y="-50" width="50" height="100"/></clipPath>)"
             R"svg(<circle r="40" fill="none" stroke="black" transform="translate(50 50)" )svg"
             R"svg(clip-path="url(#c)"/>)svg"),
         {},
         {leftArc}},
        {"a mask shows where it is light",
         clipped(R"(<mask id="m">)" + std::string(half).replace(1, 4, R"(rect fill="white")") +
                     R"(<rect x="50" y="0" width="50" height="100" fill="black"/></mask>)",
                 R"svg(mask="url(#m)")svg"),
         {},
         {leftArc}},
        // A square from (20, 20) to (80, 80) and, over it, a disc of radius 20 about (80, 50),
        // which hides the square's right side from y 30 to 70: the drawing from (20, 20) to
        // (100, 80).
        {"a square half under a later filled disc loses the hidden part",
         Svg(R"(width="200" height="100")",
             R"(<rect x="20" y="20" width="60" height="60" fill="none" stroke="black"/>)"
             R"(<circle cx="80" cy="50" r="20" fill="blue"/>)"),
         {},
         {Polyline({Wide(80, 30, 20), Wide(80, 20, 20), Wide(20, 20, 20), Wide(20, 80, 20),
                    Wide(80, 80, 20), Wide(80, 70, 20)}),
          Arc(Wide(80, 50, 20), 20 * 4.7875, 0, 360)},
         1.5},
        {"all of the square without only the visible lines",
         Svg(R"(width="200" height="100")",
             R"(<rect x="20" y="20" width="60" height="60" fill="none" stroke="black"/>)"
             R"(<circle cx="80" cy="50" r="20" fill="blue"/>)"),
         AllLines(),
         {Polyline({Wide(20, 20, 20), Wide(80, 20, 20), Wide(80, 80, 20), Wide(20, 80, 20)}, true),
          Arc(Wide(80, 50, 20), 20 * 4.7875, 0, 360)}},
        // Qt SVG paints no pattern; the patterns that paint nothing: their shapes unfilled, a
        // tile of no width, one that takes its content from such a one.
        {"a shape filled with a pattern is its outline unless the pattern paints nothing",
         Svg(R"(width="100" height="100")",
             R"(<defs><pattern id="tile" width="10" height="10" patternUnits="userSpaceOnUse">)"
             R"(<g fill="red"><rect width="5" height="5"/></g></pattern>)"
             R"(<pattern id="moved" xlink:href="#tile" x="3"/>)"
             R"(<pattern id="bare" width="10" height="10"><g fill="none">)"
             R"(<rect width="5" height="5" stroke="red" stroke-width="0"/></g></pattern>)"
             R"(<pattern id="flat" height="10"><rect width="5" height="5"/></pattern>)"
             R"(<pattern id="bareToo" xlink:href="#bare"/></defs>)"
             R"svg(<rect x="10" y="20" width="80" height="60" fill="url(#moved)"/>)svg"
             R"svg(<circle cx="50" cy="50" r="10" fill="url(#bare)"/>)svg"
             R"svg(<circle cx="50" cy="50" r="11" style="fill:url(#flat)"/>)svg"
             R"svg(<circle cx="50" cy="50" r="12" fill="url(#bareToo)"/>)svg"
             R"svg(<circle cx="50" cy="50" r="13" fill="url(#tile)" fill-opacity="0"/>)svg"),
         {},
         {rect}},
        {"a disc filled with a pattern hides nothing of the square under it",
         Svg(R"(width="200" height="100")",
             R"(<defs><pattern id="p" width="4" height="4"><rect width="4" height="4"/>)"
             R"(</pattern></defs>)"
             R"(<rect x="20" y="20" width="60" height="60" fill="none" stroke="black"/>)"
             R"svg(<circle cx="80" cy="50" r="20" fill="url(#p)"/>)svg"),
         {},
         {Polyline({Wide(20, 20, 20), Wide(80, 20, 20), Wide(80, 80, 20), Wide(20, 80, 20)}, true),
          Arc(Wide(80, 50, 20), 20 * 4.7875, 0, 360)}},
        // 40 by 20 units: 9.575 pixels to the unit, 95.75 pixels down; the page 1000 units wide
        // at 0.383 pixels to the unit.
        {"a drawing in the page's corner fills the surface",
         Svg(R"(width="1000" height="1000")",
             R"(<rect x="10" y="10" width="40" height="20" fill="green"/>)"),
         {},
         {Box(0, 95.75, 383, 287.25)}},
        {"the whole page",
         Svg(R"(width="1000" height="1000")",
             R"(<rect x="10" y="10" width="40" height="20" fill="green"/>)"),
         WholePage(),
         {Box(3.83, 3.83, 19.15, 11.49)}},
        // 3.83 pixels to the unit: the part up to the page's right edge, x 50 to 100.
        {"a line beyond the page is cut at its edge, not laid along it",
         Svg(R"(width="100" height="100")",
             R"(<path d="M 50 50 L 150 50 L 150 -50" fill="none" stroke="black"/>)"),
         WholePage(),
         {Polyline({{191.5, 191.5}, {383, 191.5}})}},
        // 75 points are 100 CSS pixels (Qt SVG alone makes them 93.75).
        {"a page in points, 96 pixels to the inch",
         Svg(R"(width="75pt" height="75pt")",
             R"(<rect x="0" y="0" width="100" height="100" fill="none" stroke="black"/>)"),
         WholePage(),
         {Box(0, 0, 383, 383)}},
        // 0.001 units are 0.004 pixels.
        {"a path of points closer than a hundredth of a pixel is none",
         Svg(R"(width="100" height="100")",
             R"(<rect x="0" y="0" width="100" height="100" fill="none" stroke="black"/>)"
             R"(<path d="M 50 50 L 50.001 50" stroke="black"/>)"
             R"(<path d="M 30 30 L 30.001 30 L 30 30.001 Z" stroke="black"/>)"),
         WholePage(),
         {Box(0, 0, 383, 383)}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        [&r] {
            const pictures::SvgDrawing d = pictures::ReadSvg(r.svg, r.options);
            ASSERT_TRUE(d.ok()) << d.error.toStdString();
            ASSERT_EQ(d.paths.size(), r.lines.size());
            for (size_t i = 0; i < r.lines.size(); ++i) {
                SCOPED_TRACE(i);
                const std::vector<QPointF> got = Pixels(d.paths[i]);
                EXPECT_EQ(d.paths[i].closed, r.lines[i].closed);
                for (QPointF p : got) {
                    EXPECT_LE(PolylineDistance(p, r.lines[i].line), r.tolerance)
                        << p.x() << "," << p.y();
                }
                const std::vector<QPointF>& want = r.lines[i].line;
                for (size_t k = 1; k < want.size(); ++k) {
                    const QPointF step = want[k] - want[k - 1];
                    const int n = std::max(1, int(std::hypot(step.x(), step.y()) / 2));
                    for (int j = 0; j <= n; ++j) {
                        const QPointF q = want[k - 1] + step * (double(j) / n);
                        EXPECT_LE(PolylineDistance(q, got), r.tolerance) << q.x() << "," << q.y();
                    }
                }
            }
        }();
    }
}

// Each line is drawn in its shape's stroke colour, or its fill colour when it has no stroke; a
// colour a beam cannot show (black line art) is left to the settings' line colour.
TEST(SvgReader, LinesTakeTheColourTheirShapeIsPaintedIn) {
    const model::PointStyle plain;
    struct Row {
        const char* shapes;
        model::PointStyle style;
    };
    const std::vector<Row> rows{
        {R"(<rect x="10" y="20" width="80" height="60" fill="none" stroke="#0000ff"/>)",
         model::PointStyle::Colour(0x0000FF)},
        {R"(<rect x="10" y="20" width="80" height="60" fill="#00ff00"/>)",
         model::PointStyle::Colour(0x00FF00)},
        {R"(<rect x="10" y="20" width="80" height="60" fill="red" stroke="navy"/>)",
         model::PointStyle::Colour(0x000080)},
        {R"(<rect x="10" y="20" width="80" height="60" fill="red"/>)"
         R"(<rect x="10" y="20" width="80" height="60" fill="none" stroke="#ffff00"/>)",
         model::PointStyle::Colour(0xFFFF00)},
        {R"(<rect x="10" y="20" width="80" height="60" fill="red" stroke="black"/>)", plain},
        {R"(<rect x="10" y="20" width="80" height="60" fill="none" stroke="#2f2f2f"/>)", plain},
        // A pattern has no one colour.
        {R"(<defs><pattern id="p" width="4" height="4"><rect width="2" height="4" )"
         R"(fill="#00ff00"/></pattern></defs>)"
         R"svg(<rect x="10" y="20" width="80" height="60" fill="url(#p)"/>)svg",
         plain},
    };
    for (const Row& r : rows) {
        const pictures::SvgDrawing d =
            pictures::ReadSvg(Svg(R"(width="100" height="100")", r.shapes), AllLines());
        ASSERT_EQ(d.paths.size(), 1u) << r.shapes;
        EXPECT_EQ(d.paths[0].style, r.style) << r.shapes;
    }
}
