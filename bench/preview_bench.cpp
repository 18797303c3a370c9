// The scan preview on a full contour: one render of 2041 points (copy of the points, the light
// accumulated along the path, the halo of the hot points and the tone mapping into the picture),
// on the ideal path and through the galvanometer model, at the size of a typical preview window,
// from the contour's points or from the output stage's stream.
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
    const bool stream = state.range(2) != 0;
    size_t points = 0;
    for (auto _ : state) {
        const std::vector<preview::ScanPoint> drawn =
            stream ? preview::FromStream(preview::StreamOf(c, 0x008000, {}), 0x008000, 100)
                   : preview::ReadPoints(c);
        points = drawn.size();
        const QImage image = renderer.Render(drawn, o);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["points"] = double(points);
}
// stream 0: the contour's points as they are; 1: the output stage's stream of them, as the
// preview window draws it (the stage's default settings).
BENCHMARK(BM_PreviewRender)
    ->ArgNames({"size", "scanner", "stream"})
    ->Args({440, 0, 0})
    ->Args({440, 0, 1})
    ->Args({440, 1, 0})
    ->Args({440, 1, 1})
    ->Args({800, 0, 1})
    ->Args({800, 1, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
