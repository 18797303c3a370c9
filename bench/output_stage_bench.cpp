// The output stage on a full contour: what every edit costs while the laser runs.
#include <benchmark/benchmark.h>

#include "model/output_stage.h"

namespace {

void BM_OutputStage(benchmark::State& state) {
    std::vector<model::ContourPoint> points;
    std::vector<model::PointStyle> styles;
    const int count = int(state.range(0));
    // Points spread over the whole surface with a jump every 50 points, as a traced picture.
    for (int i = 0; i < count; ++i) {
        points.push_back({-960'000'000 + (i * 37 % 384) * 5'000'000,
                          -960'000'000 + (i * 101 % 384) * 5'000'000});
        styles.push_back(i % 50 == 0 ? model::PointStyle::Dark()
                                     : model::PointStyle::Colour(uint32_t(i) * 2654435761u));
    }
    model::stage::Settings settings;
    settings.blankingShift = 3;
    settings.zone = {80, 10, -10, true, false, 1};
    settings.brightnessPercent = 70;
    size_t samples = 0;
    for (auto _ : state) {
        const auto stream = model::stage::Build(points, styles, 0x00FF00, settings);
        samples = stream.size();
        benchmark::DoNotOptimize(stream.data());
    }
    state.counters["points"] = count;
    state.counters["samples"] = double(samples);
}
BENCHMARK(BM_OutputStage)->Arg(2041)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
