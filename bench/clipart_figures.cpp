// What the SVG import makes of real clip art, on the fixed sample (clipart_sample.h): for each
// file the paths, the points the join needs at the pen's spacing of 15 and whether they fit,
// and how the imported lines compare with the picture as a browser-grade renderer draws it
// (rsvg-convert from librsvg2-bin, run as a separate program onto the same place of the
// surface the import put the page):
//
//   edges on lines  the share of the render's visible edges that lie within 2 pixels of an
//                   imported line (what the picture shows that the contour draws);
//   lines on edges  the share of the imported lines' length that lies within 2 pixels of a
//                   visible edge (what the contour draws that the picture shows).
//
// One line per file, tab-separated, then the medians. scripts/clipart_figures.sh runs it.
//
//   clipart_figures [--all-lines] [--whole-page] [--keep DIR]
//
// --keep DIR saves each render with the imported lines drawn over it in magenta.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "bench/clipart_sample.h"
#include "model/path_join.h"
#include "pictures/svg_reader.h"

namespace {

constexpr int kSide = 384;
constexpr int kEdgeStep = 40;  // the least change of a channel that is a visible edge
constexpr double kNear = 2.0;  // pixels

QPointF Pixel(const model::PathPoint& p) {
    return {p.x / model::kUnitsPerPixel + model::kCentrePixel,
            p.y / model::kUnitsPerPixel + model::kCentrePixel};
}

// The picture drawn by rsvg-convert with its page where the import put it; a null image when
// it cannot be drawn. The import's pixel coordinate x is the middle of pixel column x.
QImage Render(const QString& file, const QRectF& page, const QString& png) {
    const auto number = [](double v) { return QString::number(v, 'f', 3); };
    QProcess rsvg;
    rsvg.start(
        QStringLiteral("rsvg-convert"),
        {QStringLiteral("--background-color=white"), QStringLiteral("--page-width=384"),
         QStringLiteral("--page-height=384"), QStringLiteral("--left=") + number(page.x() + 0.5),
         QStringLiteral("--top=") + number(page.y() + 0.5),
         QStringLiteral("--width=") + number(page.width()),
         QStringLiteral("--height=") + number(page.height()), QStringLiteral("-o"), png, file});
    if (!rsvg.waitForFinished(60'000) || rsvg.exitCode() != 0) {
        return {};
    }
    QImage image(png);
    if (image.isNull()) {
        return {};
    }
    QImage onWhite(kSide, kSide, QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    QPainter(&onWhite).drawImage(0, 0, image);
    return onWhite;
}

// Pixels where a neighbour to the right or below differs by kEdgeStep in some channel.
std::vector<uint8_t> Edges(const QImage& image) {
    std::vector<uint8_t> edge(size_t(kSide * kSide), 0);
    const auto differ = [](QRgb a, QRgb b) {
        return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                         std::abs(qBlue(a) - qBlue(b))}) >= kEdgeStep;
    };
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const QRgb c = image.pixel(x, y);
            edge[size_t(y * kSide + x)] = (x + 1 < kSide && differ(c, image.pixel(x + 1, y))) ||
                                          (y + 1 < kSide && differ(c, image.pixel(x, y + 1)));
        }
    }
    return edge;
}

// Every pixel within kNear of a marked one.
std::vector<uint8_t> Near(const std::vector<uint8_t>& marked) {
    std::vector<uint8_t> near(marked.size(), 0);
    const int r = int(kNear);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            if (!marked[size_t(y * kSide + x)]) {
                continue;
            }
            for (int dy = -r; dy <= r; ++dy) {
                for (int dx = -r; dx <= r; ++dx) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    if (dx * dx + dy * dy <= kNear * kNear && nx >= 0 && ny >= 0 && nx < kSide &&
                        ny < kSide) {
                        near[size_t(ny * kSide + nx)] = 1;
                    }
                }
            }
        }
    }
    return near;
}

// The pixels the imported lines pass through, sampled every half pixel.
std::vector<uint8_t> LinePixels(const std::vector<model::Path>& paths, double& length,
                                std::vector<QPoint>& samples) {
    std::vector<uint8_t> on(size_t(kSide * kSide), 0);
    length = 0;
    for (const model::Path& p : paths) {
        const size_t n = p.points.size();
        for (size_t i = 0; i + 1 < n + (p.closed ? 1 : 0); ++i) {
            const QPointF a = Pixel(p.points[i]);
            const QPointF b = Pixel(p.points[(i + 1) % n]);
            const double l = std::hypot(b.x() - a.x(), b.y() - a.y());
            length += l;
            const int steps = std::max(1, int(std::ceil(l / 0.5)));
            for (int s = 0; s < steps; ++s) {
                const QPointF q = a + (b - a) * (double(s) + 0.5) / steps;
                const QPoint px(int(std::lround(q.x())), int(std::lround(q.y())));
                if (px.x() >= 0 && px.y() >= 0 && px.x() < kSide && px.y() < kSide) {
                    on[size_t(px.y() * kSide + px.x())] = 1;
                    samples.push_back(px);
                }
            }
        }
    }
    return on;
}

double Median(std::vector<double> v) {
    if (v.empty()) {
        return std::nan("");
    }
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString keep;
    for (int i = 1; i + 1 < argc; ++i) {
        if (QByteArray(argv[i]) == "--keep") {
            keep = QString::fromLocal8Bit(argv[i + 1]);
        }
    }
    const pictures::SvgOptions options = bench::ClipArtOptions(argc, argv);
    const QStringList sample = bench::ClipArtSample();
    if (sample.isEmpty()) {
        std::fprintf(stderr, "no clip art in %s: install openclipart-svg\n",
                     qPrintable(bench::kClipArtRoot));
        return 1;
    }
    QTemporaryDir scratch;
    std::vector<double> needed, edgesOnLines, linesOnEdges;
    int fits = 0;
    int unread = 0;
    std::printf("file\tpaths\tpoints at 15\tfits\tedges on lines\tlines on edges\n");
    for (const QString& name : sample) {
        QFile f(name);
        f.open(QIODevice::ReadOnly);
        const pictures::SvgDrawing d = pictures::ReadSvg(f.readAll(), options);
        const QString shown = name.mid(bench::kClipArtRoot.size() + 1);
        if (!d.ok() || d.paths.empty()) {
            ++unread;
            std::printf("%s\t0\t-\t-\t-\t-\n", qPrintable(shown));
            continue;
        }
        const model::JoinedContour j = model::JoinPaths(d.paths, 15);
        needed.push_back(double(j.needed));
        fits += j.fits() ? 1 : 0;

        const QImage render = Render(name, d.page, scratch.filePath(QStringLiteral("r.png")));
        double edgeShare = std::nan("");
        double lineShare = std::nan("");
        if (!render.isNull()) {
            const std::vector<uint8_t> edges = Edges(render);
            double length = 0;
            std::vector<QPoint> samples;
            const std::vector<uint8_t> lineNear = Near(LinePixels(d.paths, length, samples));
            const std::vector<uint8_t> edgeNear = Near(edges);
            size_t edgeCount = 0;
            size_t edgeHit = 0;
            for (size_t i = 0; i < edges.size(); ++i) {
                edgeCount += edges[i];
                edgeHit += edges[i] && lineNear[i];
            }
            size_t sampleHit = 0;
            for (const QPoint& s : samples) {
                sampleHit += edgeNear[size_t(s.y() * kSide + s.x())];
            }
            if (edgeCount > 0) {
                edgeShare = double(edgeHit) / double(edgeCount);
                edgesOnLines.push_back(edgeShare);
            }
            if (!samples.empty()) {
                lineShare = double(sampleHit) / double(samples.size());
                linesOnEdges.push_back(lineShare);
            }
            if (!keep.isEmpty()) {
                QImage shot = render;
                QPainter p(&shot);
                p.setPen(QPen(Qt::magenta, 1));
                for (const model::Path& path : d.paths) {
                    QPolygonF line;
                    for (const model::PathPoint& q : path.points) {
                        line << Pixel(q);
                    }
                    path.closed ? p.drawPolygon(line) : p.drawPolyline(line);
                }
                p.end();
                shot.save(
                    QDir(keep).filePath(QString(shown).replace(QLatin1Char('/'), QLatin1Char('_')) +
                                        QStringLiteral(".png")));
            }
        }
        std::printf("%s\t%zu\t%zu\t%d\t%.3f\t%.3f\n", qPrintable(shown), d.paths.size(), j.needed,
                    j.fits() ? 1 : 0, edgeShare, lineShare);
    }
    std::printf("\nfiles %lld, giving no lines %d\n", qlonglong(sample.size()), unread);
    std::printf("points needed at 15, median %.0f\n", Median(needed));
    std::printf("fit at 15: %d of %zu (%.1f%%)\n", fits, needed.size(),
                100.0 * fits / double(std::max<size_t>(1, needed.size())));
    std::printf("edges on lines, median %.3f\n", Median(edgesOnLines));
    std::printf("lines on edges, median %.3f\n", Median(linesOnEdges));
    return 0;
}
