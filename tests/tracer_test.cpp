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
    int paths;         // separate paths the trace must find
    bool keyedOut = false;
};

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
        {"circle", {800, 800}, Circle({400, 400}, 300), 0, tracing::Mode::Outline, 1.0, 1},
        {"circle edges", {800, 800}, Circle({400, 400}, 300), 0, tracing::Mode::Edges, 1.0, 1},
        {"star", {600, 600}, Star({300, 310}, 280, 120), 0, tracing::Mode::Outline, 1.0, 1},
        {"two squares",
         {500, 500},
         [] {
             Shape s = Square(50, 50, 150);
             s.push_back(Square(300, 300, 150).front());
             return s;
         }(),
         0,
         tracing::Mode::Outline,
         1.0,
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
         1},
        {"keyed out", {400, 400}, Circle({200, 200}, 100), 0, tracing::Mode::Outline, 1.0, 1, true},
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
        std::vector<std::vector<QPointF>> traced;
        for (const auto& path : paths) {
            std::vector<QPointF> line;
            for (const auto& q : model::ResamplePath(path, 15 * 5e6)) {
                line.emplace_back(q.x / 5e6 + 192, q.y / 5e6 + 192);
                worst = std::max(worst, PolylineDistance(line.back(), truth));
            }
            traced.push_back(line);
        }
        EXPECT_LE(worst, r.tolerance);

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
