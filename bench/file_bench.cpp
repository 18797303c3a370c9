// The contour file and legacy file codecs on a full buffer: the encoding that every save and
// every closing check runs, and the decoding of an open or import.
#include <benchmark/benchmark.h>

#include <random>

#include "model/contour_file.h"
#include "model/legacy_file.h"

namespace {

model::Contour FullContour() {
    model::Contour c;
    std::mt19937 rng(7);
    std::uniform_int_distribution<int32_t> unit(model::kMinUnit, model::kMaxUnit);
    for (auto& slot : c.Buffer) {
        slot = unit(rng);
    }
    c.State.PointCount = 2041;
    return c;
}

void BM_EncodeContourFile(benchmark::State& state) {
    const model::Contour c = FullContour();
    for (auto _ : state) {
        model::ContourFileImage image = model::EncodeContourFile(c.Buffer, c.State.PointCount);
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_EncodeContourFile);

void BM_DecodeContourFile(benchmark::State& state) {
    const model::Contour c = FullContour();
    const model::ContourFileImage image = model::EncodeContourFile(c.Buffer, c.State.PointCount);
    model::Contour target;
    for (auto _ : state) {
        const auto file = model::DecodeContourFile(image);
        model::ApplyContourFile(*file, target);
        benchmark::DoNotOptimize(target.Buffer);
    }
}
BENCHMARK(BM_DecodeContourFile);

// What closing the window costs when nothing needs saving: encode and compare.
void BM_UnsavedCheck(benchmark::State& state) {
    const model::Contour c = FullContour();
    const model::ContourFileImage saved = model::EncodeContourFile(c.Buffer, c.State.PointCount);
    for (auto _ : state) {
        const bool differs = model::EncodeContourFile(c.Buffer, c.State.PointCount) != saved;
        benchmark::DoNotOptimize(differs);
    }
}
BENCHMARK(BM_UnsavedCheck);

void BM_LegacyRoundTrip(benchmark::State& state) {
    model::Contour c = FullContour();
    for (auto _ : state) {
        const model::LegacyFileImage image = model::EncodeLegacyFile(c);
        model::DecodeLegacyFile(image, c);
        benchmark::DoNotOptimize(c.Buffer);
    }
}
BENCHMARK(BM_LegacyRoundTrip);

}  // namespace

BENCHMARK_MAIN();
