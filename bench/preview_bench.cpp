// The scan preview on a full contour: one render of 2041 points (copy of the points, the light
// accumulated along the path, the halo of the hot points and the tone mapping into the picture),
// on the ideal path and through the galvanometer model, at the size of a typical preview window.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>

#include "preview/scan_model.h"

namespace {

constexpr int kPoints = 2041;

// A closed Lissajous figure over the whole surface, a few pixels apart, with a hot point of ten
// repeats every 200 points.
model::Contour FullContour() {
    model::Contour c;
    int n = 0;
    for (int i = 0; n < kPoints; ++i) {
        const double t = 2 * M_PI * i / kPoints;
        const int x = 192 + int(180 * std::sin(3 * t));
        const int y = 192 + int(180 * std::sin(4 * t + 0.5));
        const int repeats = i % 200 == 0 ? 10 : 1;
        for (int r = 0; r < repeats && n < kPoints; ++r) {
            c.WriteToBuffer(2 * n++, x, y);
        }
    }
    c.State.PointCount = kPoints;
    return c;
}

void BM_PreviewRender(benchmark::State& state) {
    const model::Contour c = FullContour();
    preview::ScanRenderer renderer;
    preview::RenderOptions o;
    o.size = int(state.range(0));
    o.scanner = state.range(1) != 0;
    for (auto _ : state) {
        const QImage image = renderer.Render(preview::ReadPoints(c), o);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PreviewRender)
    ->ArgNames({"size", "scanner"})
    ->Args({440, 0})
    ->Args({440, 1})
    ->Args({800, 0})
    ->Args({800, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
