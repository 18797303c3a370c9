// Tracing: a 1024 by 1024 picture of 20 regions traced and joined into one contour, as OK
// does it; the live preview's update for a picture of the surface's size; and the one-off
// preparation of a picture when the dialog opens.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>

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

void BM_TracePrepare1024(benchmark::State& state) {
    const QImage image = Regions(QSize(1024, 1024));
    for (auto _ : state) {
        const tracing::Picture picture(image, pictures::FitRect(image.size(), kSurface));
        benchmark::DoNotOptimize(picture.AutoThreshold());
    }
}
BENCHMARK(BM_TracePrepare1024)->Unit(benchmark::kMillisecond);

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

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
