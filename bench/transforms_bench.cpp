// The quarter turn of a full contour: every point through the extended-precision turn.
#include <benchmark/benchmark.h>

#include "model/transforms.h"

namespace {

void BM_QuarterTurn(benchmark::State& state) {
    model::Contour c;
    const int points = int(state.range(0));
    // Points spread over the whole surface, as a traced picture would be.
    for (int i = 0; i <= points; ++i) {
        c.WriteToBuffer(2 * i, (i * 37) % 384, (i * 101) % 384);
    }
    c.State.PointCount = points;
    c.State.RotateScale = model::kScaleTurn;
    for (auto _ : state) {
        const bool turned = model::RotateArea(c, 90);
        benchmark::DoNotOptimize(turned);
        benchmark::ClobberMemory();
    }
    state.counters["points"] = points;
}
BENCHMARK(BM_QuarterTurn)->Arg(2041)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
