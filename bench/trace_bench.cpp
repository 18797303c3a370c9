// Tracing: a 1024 by 1024 picture of 20 regions traced and joined into one contour, as OK
// does it; the live preview's update for a picture of the surface's size; and the one-off
// preparation of a picture when the dialog opens.
//
// With QUORINIMAGE_TRACE_SET naming a folder of grey pictures (*.pgm), each is also traced
// one to one (a picture pixel is a surface pixel) with the dialog's defaults and Otsu's
// threshold: BM_ClipArtTrace/NAME times the trace, BM_ClipArtPrepare/NAME the preparation
// with the threshold, and NAME.ours.txt beside the picture receives the threshold and the
// traced paths in picture coordinates (0 at the top-left corner of the picture) for
// scripts/trace_accuracy.py to measure.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>
#include <memory>

#include "model/path_join.h"
#include "pictures/picture.h"
#include "tracing/tracer.h"

namespace {

const QSize kSurface(394, 386);

// Twenty shapes on a grid, discs and rounded squares by turns, in several greys.
QImage Regions(QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const double cw = size.width() / 5.0;
    const double ch = size.height() / 4.0;
    for (int i = 0; i < 20; ++i) {
        const QRectF cell(i % 5 * cw, i / 5 * ch, cw, ch);
        const QRectF shape = cell.adjusted(cw * 0.15, ch * 0.15, -cw * 0.15, -ch * 0.15);
        p.setBrush(QColor::fromHsv(i * 18, 200, 60 + i * 4));
        if (i % 2 == 0) {
            p.drawEllipse(shape);
        } else {
            p.drawRoundedRect(shape, cw * 0.1, ch * 0.1);
        }
    }
    return image;
}

void TraceAndJoin(benchmark::State& state, QSize size) {
    const QImage image = Regions(size);
    const tracing::Picture picture(image, pictures::FitRect(size, kSurface));
    tracing::Options o;
    o.threshold = picture.AutoThreshold();
    std::size_t points = 0;
    for (auto _ : state) {
        const auto joined = model::JoinPaths(picture.Trace(o), 15);
        points = joined.points.size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = double(points);
}

void BM_Trace1024(benchmark::State& state) {
    TraceAndJoin(state, QSize(1024, 1024));
}
BENCHMARK(BM_Trace1024)->Unit(benchmark::kMillisecond);

void BM_TracePreview394(benchmark::State& state) {
    TraceAndJoin(state, kSurface);
}
BENCHMARK(BM_TracePreview394)->Unit(benchmark::kMillisecond);

void Prepare(benchmark::State& state, QSize size) {
    const QImage image = Regions(size);
    for (auto _ : state) {
        const tracing::Picture picture(image, pictures::FitRect(image.size(), kSurface));
        benchmark::DoNotOptimize(picture.AutoThreshold());
    }
}

void BM_TracePrepare1024(benchmark::State& state) {
    Prepare(state, QSize(1024, 1024));
}
BENCHMARK(BM_TracePrepare1024)->Unit(benchmark::kMillisecond);

// What opening the dialog on the largest picture tracing takes waits for.
void BM_TracePrepare2048(benchmark::State& state) {
    Prepare(state, QSize(2048, 2048));
}
BENCHMARK(BM_TracePrepare2048)->Unit(benchmark::kMillisecond);

void BM_TraceCentreLine1024(benchmark::State& state) {
    const QImage image = Regions(QSize(1024, 1024));
    const tracing::Picture picture(image, pictures::FitRect(image.size(), kSurface));
    tracing::Options o;
    o.mode = tracing::Mode::CentreLine;
    o.threshold = picture.AutoThreshold();
    for (auto _ : state) {
        benchmark::DoNotOptimize(model::JoinPaths(picture.Trace(o), 15).needed);
    }
}
BENCHMARK(BM_TraceCentreLine1024)->Unit(benchmark::kMillisecond);

// Writes the threshold, then per path "closed N" or "open N" and its N points, x y.
void WritePaths(const QString& name, int threshold, const std::vector<model::Path>& paths) {
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return;
    }
    QTextStream out(&f);
    out << "threshold " << threshold << "\n";
    for (const model::Path& path : paths) {
        out << (path.closed ? "closed " : "open ") << path.points.size() << "\n";
        for (const model::PathPoint& p : path.points) {
            // Surface pixel p shows what lies at p + 0.5 of a picture drawn one to one at 0.
            out << QString::number(p.x / model::kUnitsPerPixel + model::kCentrePixel + 0.5, 'f', 4)
                << ' '
                << QString::number(p.y / model::kUnitsPerPixel + model::kCentrePixel + 0.5, 'f', 4)
                << "\n";
        }
    }
}

void RegisterClipArt(const QString& folder) {
    const QDir dir(folder);
    for (const QString& file : dir.entryList({QStringLiteral("*.pgm")}, QDir::Files, QDir::Name)) {
        auto image = std::make_shared<QImage>(dir.filePath(file));
        if (image->isNull()) {
            continue;
        }
        const QRect area(QPoint(0, 0), image->size());
        auto picture = std::make_shared<tracing::Picture>(*image, area);
        tracing::Options o;
        o.threshold = picture->AutoThreshold();
        const QString base = file.chopped(4);
        WritePaths(dir.filePath(base + QStringLiteral(".ours.txt")), o.threshold,
                   picture->Trace(o));
        const std::string name = base.toStdString();
        benchmark::RegisterBenchmark(("BM_ClipArtTrace/" + name).c_str(),
                                     [picture, o](benchmark::State& state) {
                                         for (auto _ : state) {
                                             benchmark::DoNotOptimize(picture->Trace(o).size());
                                         }
                                     })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_ClipArtPrepare/" + name).c_str(),
                                     [image, area](benchmark::State& state) {
                                         for (auto _ : state) {
                                             const tracing::Picture p(*image, area);
                                             benchmark::DoNotOptimize(p.AutoThreshold());
                                         }
                                     })
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (const QString set = qEnvironmentVariable("QUORINIMAGE_TRACE_SET"); !set.isEmpty()) {
        RegisterClipArt(set);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
