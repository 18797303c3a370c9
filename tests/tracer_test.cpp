#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <cmath>
#include <functional>

#include "editor/underlay.h"
#include "model/path_join.h"
#include "pictures/picture.h"
#include "support/geometry.h"
#include "support/picture_files.h"
#include "tracing/tracer.h"

using testing_support::PolylineDistance;

namespace {

constexpr double kPi = 3.14159265358979323846;

// The true geometry: closed or open polylines in picture coordinates, sampled finely.
using Shape = std::vector<std::vector<QPointF>>;

Shape Circle(QPointF c, double r) {
    std::vector<QPointF> ring;
    for (int i = 0; i <= 720; ++i) {
        ring.push_back(c + r * QPointF(std::cos(i * kPi / 360), std::sin(i * kPi / 360)));
    }
    return {ring};
}

Shape Star(QPointF c, double outer, double inner) {
    std::vector<QPointF> ring;
    for (int i = 0; i <= 10; ++i) {
        const double a = -kPi / 2 + i * kPi / 5;
        ring.push_back(c + (i % 2 == 0 ? outer : inner) * QPointF(std::cos(a), std::sin(a)));
    }
    return {ring};
}

Shape Square(double x0, double y0, double side) {
    return {{{x0, y0}, {x0 + side, y0}, {x0 + side, y0 + side}, {x0, y0 + side}, {x0, y0}}};
}

struct Row {
    const char* name;
    QSize size;
    Shape shape;    // what is drawn, filled (or stroked when `stroke` > 0)
    double stroke;  // stroke width in picture pixels
    tracing::Mode mode;
    double tolerance;  // how far a traced point may be from the shape, surface pixels
    double mean;       // how far on average, surface pixels
    int paths;         // separate paths the trace must find
    bool keyedOut = false;
};

// Traced paths in the picture's own coordinates (0 at its top-left corner, a unit a pixel of
// the picture as traced), from their positions on the surface in `area`.
std::vector<std::vector<QPointF>> InPicture(const std::vector<model::Path>& paths, QRect area,
                                            QSize work) {
    const double sx = double(area.width()) / work.width();
    const double sy = double(area.height()) / work.height();
    std::vector<std::vector<QPointF>> out;
    for (const model::Path& path : paths) {
        std::vector<QPointF> line;
        for (const model::PathPoint& p : path.points) {
            // Surface pixel position P shows what lies at P + 0.5.
            line.emplace_back((p.x / 5e6 + 192 + 0.5 - area.x()) / sx,
                              (p.y / 5e6 + 192 + 0.5 - area.y()) / sy);
        }
        if (path.closed && !line.empty()) {
            line.push_back(line.front());
        }
        out.push_back(line);
    }
    return out;
}

// Points every quarter pixel along a line, its corners included.
std::vector<QPointF> Along(const std::vector<QPointF>& line) {
    std::vector<QPointF> out;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const QPointF d = line[i + 1] - line[i];
        const int n = std::max(1, int(std::ceil(std::hypot(d.x(), d.y()) * 4)));
        for (int k = 0; k < n; ++k) {
            out.push_back(line[i] + d * (double(k) / n));
        }
    }
    if (!line.empty()) {
        out.push_back(line.back());
    }
    return out;
}

// A picture drawn one to one at (4, 0) on the surface, traced with the defaults at its Otsu
// threshold: the paths, and the same in the picture's own coordinates.
struct OneToOne {
    std::vector<model::Path> paths;
    std::vector<std::vector<QPointF>> lines;
};
OneToOne TraceOneToOne(const QImage& image, bool invert = false) {
    const QRect area(4, 0, image.width(), image.height());
    const tracing::Picture picture(image, area);
    tracing::Options o;
    o.invert = invert;
    o.threshold = picture.AutoThreshold();
    OneToOne t;
    t.paths = picture.Trace(o);
    t.lines = InPicture(t.paths, area, picture.workingSize());
    return t;
}

double Nearest(const std::vector<QPointF>& points, QPointF to) {
    double nearest = 1e300;
    for (const QPointF& q : points) {
        nearest = std::min(nearest, std::hypot(q.x() - to.x(), q.y() - to.y()));
    }
    return nearest;
}

// Draws shapes filled with `colour` and no outline, smooth-edged unless `smooth` is false.
void Fill(QImage& image, QColor colour, const std::function<void(QPainter&)>& draw,
          bool smooth = true) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, smooth);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    draw(p);
}

QImage Draw(const Row& r) {
    QImage image(r.size, QImage::Format_ARGB32);
    image.fill(r.keyedOut ? Qt::transparent : Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (r.keyedOut) {
        // A white card with the shape on it, on a keyed-out background.
        p.fillRect(QRectF(r.size.width() * 0.1, r.size.height() * 0.1, r.size.width() * 0.8,
                          r.size.height() * 0.8),
                   Qt::white);
    }
    for (const auto& line : r.shape) {
        QPainterPath path;
        path.moveTo(line.front());
        for (const QPointF& q : line) {
            path.lineTo(q);
        }
        if (r.stroke > 0) {
            p.strokePath(path, QPen(Qt::black, r.stroke, Qt::SolidLine, Qt::FlatCap));
        } else {
            p.fillPath(path, Qt::black);
        }
    }
    return image;
}

}  // namespace

// Pictures of known geometry traced and joined at the pen's spacing: every traced point lies
// on the true outline (or the stroke's middle), every part of it is covered, the contour fits.
TEST(Tracer, TracesKnownShapesOntoTheirTrueGeometry) {
    const std::vector<Row> rows{
        {"circle", {800, 800}, Circle({400, 400}, 300), 0, tracing::Mode::Outline, 0.5, 0.1, 1},
        {"circle edges",
         {800, 800},
         Circle({400, 400}, 300),
         0,
         tracing::Mode::Edges,
         0.5,
         0.15,
         1},
        {"star", {600, 600}, Star({300, 310}, 280, 120), 0, tracing::Mode::Outline, 0.5, 0.1, 1},
        {"two squares",
         {500, 500},
         [] {
             Shape s = Square(50, 50, 150);
             s.push_back(Square(300, 300, 150).front());
             return s;
         }(),
         0,
         tracing::Mode::Outline,
         0.5,
         0.1,
         2},
        {"stroke",
         {394, 386},
         [] {
             std::vector<QPointF> arc;
             for (int i = 0; i <= 270; ++i) {
                 arc.push_back(QPointF(197, 193) +
                               120 * QPointF(std::cos(i * kPi / 180), std::sin(i * kPi / 180)));
             }
             return Shape{arc};
         }(),
         3,
         tracing::Mode::CentreLine,
         1.5,
         0.5,
         1},
        {"keyed out",
         {400, 400},
         Circle({200, 200}, 100),
         0,
         tracing::Mode::Outline,
         0.5,
         0.1,
         1,
         true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const QImage image = Draw(r);
        const QRect area = pictures::FitRect(r.size, QSize(394, 386));
        const tracing::Picture picture(image, area);
        tracing::Options o;
        o.mode = r.mode;
        o.threshold = picture.AutoThreshold();
        const auto paths = picture.Trace(o);
        EXPECT_EQ(int(paths.size()), r.paths);

        // The true geometry on the surface: picture position x is drawn at area.x + x * scale,
        // which is pixel position that minus a half.
        const double sx = double(area.width()) / r.size.width();
        const double sy = double(area.height()) / r.size.height();
        std::vector<std::vector<QPointF>> truth;
        for (const auto& line : r.shape) {
            std::vector<QPointF> t;
            for (const QPointF& q : line) {
                t.emplace_back(area.x() + q.x() * sx - 0.5, area.y() + q.y() * sy - 0.5);
            }
            truth.push_back(t);
        }

        // Points of each path, resampled as the join does, lie on the geometry.
        double worst = 0;
        double sum = 0;
        int count = 0;
        std::vector<std::vector<QPointF>> traced;
        for (const auto& path : paths) {
            std::vector<QPointF> line;
            for (const auto& q : model::ResamplePath(path, 15 * 5e6)) {
                line.emplace_back(q.x / 5e6 + 192, q.y / 5e6 + 192);
                const double off = PolylineDistance(line.back(), truth);
                worst = std::max(worst, off);
                sum += off;
                ++count;
            }
            traced.push_back(line);
        }
        EXPECT_LE(worst, r.tolerance);
        EXPECT_LT(sum / std::max(count, 1), r.mean);

        // Every part of the geometry is near the traced lines (a stroke's flat ends aside).
        double gap = 0;
        for (const auto& t : truth) {
            const std::size_t skip = r.stroke > 0 ? 2 : 0;
            for (std::size_t i = skip; i + skip < t.size(); ++i) {
                gap = std::max(gap, PolylineDistance(t[i], traced));
            }
        }
        EXPECT_LE(gap, r.tolerance + 0.5);

        const auto joined = model::JoinPaths(paths, 15);
        EXPECT_TRUE(joined.fits());
        EXPECT_GT(joined.points.size(), 10u);
    }
}

// The outline follows where the brightness crosses the threshold, between pixel centres:
// around a dark disc, a light hole in a dark square and a light disc traced with "Инверсия",
// the traced line is on the true circle on average, neither inside nor outside it. The
// pictures are drawn one to one, so a surface pixel is a pixel of the picture.
TEST(Tracer, OutlineHasNoBiasOnEitherSideOfAShape) {
    struct Row {
        const char* name;
        QColor back;
        QColor disc;
        bool invert;
        double outside;  // +1 when outside the circle is outside the traced region, else -1
    };
    const QPointF centre(193.3, 191.7);
    const double radius = 120.4;
    const std::vector<Row> rows{
        {"dark disc", Qt::white, Qt::black, false, +1},
        {"light hole", Qt::black, Qt::white, false, -1},
        {"light disc, inverted", Qt::black, Qt::white, true, +1},
        {"grey disc", QColor(230, 230, 230), QColor(40, 40, 40), false, +1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QImage image(386, 386, QImage::Format_ARGB32);
        image.fill(r.back);
        Fill(image, r.disc, [&](QPainter& p) { p.drawEllipse(centre, radius, radius); });
        double sum = 0;
        double signedSum = 0;
        double worst = 0;
        int count = 0;
        for (const auto& line : TraceOneToOne(image, r.invert).lines) {
            // The hole's outline; a dark square's own border runs along the picture's edge.
            const QPointF d0 = line.front() - centre;
            if (std::hypot(d0.x(), d0.y()) > radius + 5) {
                continue;
            }
            for (const QPointF& q : Along(line)) {
                const QPointF d = q - centre;
                const double off = (std::hypot(d.x(), d.y()) - radius) * r.outside;
                sum += std::abs(off);
                signedSum += off;
                worst = std::max(worst, std::abs(off));
                ++count;
            }
        }
        ASSERT_GT(count, 2 * kPi * radius);
        EXPECT_LT(sum / count, 0.1);
        EXPECT_LT(std::abs(signedSum / count), 0.05);
        EXPECT_LE(worst, tracing::Options().tolerance);
    }
}

// Straight sides come out as one segment each, however they slant, and square corners as
// corners where the sides meet, not cut off: a square turned by several angles, drawn smooth
// and drawn with hard pixel steps, is traced as exactly four corners, each at its true place.
TEST(Tracer, SlantedSidesHaveNoStaircaseAndCornersStaySquare) {
    struct Row {
        double degrees;
        bool smooth;
        double reach;  // how far a traced corner may be from the true one, pixels
    };
    // Between pixel centres the brightness of a smooth edge is interpolated linearly, which
    // puts a straight side up to a twelfth of a pixel off where it cuts a pixel at a quarter;
    // a corner where two such sides meet, up to 0.12 off. A hard edge leaves half a pixel open.
    const std::vector<Row> rows{
        {0, true, 0.15},  {10, true, 0.15}, {27, true, 0.15},
        {45, true, 0.15}, {10, false, 0.5}, {33, false, 0.5},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.degrees << (r.smooth ? " smooth" : " hard"));
        const QPointF centre(190.3, 195.6);
        const double half = 110;
        const double a = r.degrees * kPi / 180;
        std::vector<QPointF> corners;
        for (int k = 0; k < 4; ++k) {
            const double b = a + (k * 90 + 45) * kPi / 180;
            corners.push_back(centre + half * std::sqrt(2.0) * QPointF(std::cos(b), std::sin(b)));
        }
        QImage image(386, 386, QImage::Format_ARGB32);
        image.fill(Qt::white);
        Fill(
            image, Qt::black,
            [&](QPainter& p) { p.drawPolygon(corners.data(), int(corners.size())); }, r.smooth);
        const OneToOne t = TraceOneToOne(image);
        ASSERT_EQ(t.paths.size(), 1u);
        EXPECT_TRUE(t.paths[0].closed);
        EXPECT_EQ(t.paths[0].points.size(), 4u);
        for (const QPointF& c : corners) {
            EXPECT_LE(Nearest(t.lines[0], c), r.reach) << c.x() << ", " << c.y();
        }
    }
}

// A sliver one pixel wide is one outline around it, enclosing its area, never a line out
// and back along its pixels; so is a thin ring's outer and inner border.
TEST(Tracer, OnePixelSliverIsOneOutlineAroundIt) {
    struct Row {
        const char* name;
        QRect sliver;  // pixels set black
    };
    const std::vector<Row> rows{
        {"across", {60, 100, 250, 1}},
        {"down", {200, 30, 1, 300}},
        {"two pixels", {60, 100, 250, 2}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QImage image(386, 386, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter(&image).fillRect(r.sliver, Qt::black);
        const OneToOne t = TraceOneToOne(image);
        ASSERT_EQ(t.paths.size(), 1u);
        EXPECT_TRUE(t.paths[0].closed);
        EXPECT_EQ(t.paths[0].points.size(), 4u);
        const auto& line = t.lines[0];
        // The area it encloses (shoelace) is the sliver's, and its corners are the sliver's.
        double twice = 0;
        for (std::size_t i = 0; i + 1 < line.size(); ++i) {
            twice += line[i].x() * line[i + 1].y() - line[i + 1].x() * line[i].y();
        }
        const double expected = double(r.sliver.width()) * r.sliver.height();
        EXPECT_NEAR(std::abs(twice) / 2, expected, expected * 0.02);
        const QRectF truth(r.sliver);
        for (const QPointF& c :
             {truth.topLeft(), truth.topRight(), truth.bottomLeft(), truth.bottomRight()}) {
            EXPECT_LE(Nearest(line, c), 0.1) << c.x() << ", " << c.y();
        }
    }
}

// "Мин. длина" drops specks of the picture: it is counted in the pixels the picture is traced
// at, so a picture larger than its rectangle keeps the dots that show on the surface. A
// 1000-pixel picture in a 394-pixel rectangle with dots of several sizes: a dot's outline is
// pi times its diameter, and only those shorter than 8 picture pixels go.
TEST(Tracer, MinimumLengthIsCountedInThePicturesPixels) {
    struct Row {
        double diameter;  // picture pixels
        bool kept;
    };
    const std::vector<Row> rows{{1.5, false}, {2.2, false}, {3.5, true}, {6, true}, {12, true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.diameter);
        QImage image(1000, 1000, QImage::Format_ARGB32);
        image.fill(Qt::white);
        Fill(image, Qt::black, [&](QPainter& p) {
            for (int k = 0; k < 5; ++k) {
                p.drawEllipse(QPointF(150 + k * 170, 500), r.diameter / 2, r.diameter / 2);
            }
        });
        const tracing::Picture picture(image, QRect(0, 4, 394, 394));
        tracing::Options o;
        o.threshold = 128;
        EXPECT_EQ(picture.Trace(o).size(), r.kept ? 5u : 0u);
    }
}

// Tracing works on the picture as loaded, not on its screen copy: at its own size, reduced
// only beyond 2048 pixels, enlarged to the surface rectangle when smaller, and the built-in
// drawing too.
TEST(Tracer, WorksOnThePictureAtItsOwnResolution) {
    struct Row {
        QSize file;
        QSize source;  // what tracing gets
        QRect area;    // where it is drawn on the 394 x 386 surface
        bool jpeg = false;
    };
    const std::vector<Row> rows{
        {{1000, 800}, {1000, 800}, {0, 35, 394, 315}},
        {{1000, 800}, {1000, 800}, {0, 35, 394, 315}, true},
        {{4100, 1000}, {2048, 499}, {0, 145, 394, 96}, true},
        {{3000, 1000}, {2048, 682}, {0, 127, 394, 131}},  // 2048 / 3, truncated
    };
    QTemporaryDir dir;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file.width());
        QImage image(r.file, QImage::Format_RGB32);
        image.fill(Qt::gray);
        const QString path = dir.filePath(QString::fromLatin1(r.jpeg ? "p.jpg" : "p.bmp"));
        if (r.jpeg) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(testing_support::EncodeJpeg(image, JCS_RGB, false));
        } else {
            ASSERT_TRUE(image.save(path, "BMP"));
        }
        editor::Underlay underlay;
        ASSERT_EQ(underlay.Load(path, QSize(394, 386)), QString());
        const auto source = underlay.SourcePicture(QSize(394, 386));
        EXPECT_EQ(source.image.size(), r.source);
        EXPECT_EQ(source.area, r.area);
        EXPECT_EQ(tracing::Picture(source.image, source.area).workingSize(), r.source);
    }
    // Smaller than its rectangle: traced at the rectangle's size.
    EXPECT_EQ(
        tracing::Picture(QImage(50, 50, QImage::Format_RGB32), QRect(4, 0, 386, 386)).workingSize(),
        QSize(386, 386));
    const auto builtIn = editor::Underlay().SourcePicture(QSize(394, 386));
    EXPECT_FALSE(builtIn.image.isNull());
    EXPECT_GE(builtIn.image.width(), builtIn.area.width());
}
