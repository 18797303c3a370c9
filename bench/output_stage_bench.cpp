// The output stage on a full contour: what every edit costs while the laser runs. A show in
// time: what building LaserBoy's in.ild at 25 frames a second costs, and how many points the
// player adds to its frames, as it draws them now (point for point) and as it drew them before
// (each frame through the stage: corner dwells, jumps).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "model/ilda.h"
#include "model/output_stage.h"
#include "model/show_stream.h"

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

// LaserBoy's in.ild (laserboy-indep): 73 frames, 31,622 points.
std::vector<model::Frame> InIld() {
    std::ifstream file("/usr/share/laserboy/ild/in.ild", std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    std::vector<model::Frame> frames;
    for (const auto& info : model::ilda::ListFrames(bytes).frames) {
        auto frame = model::ilda::DecodeFrame(bytes, info);
        frames.push_back({std::move(frame.points), std::move(frame.styles), {}});
    }
    return frames;
}

// Arg 0: the frames as made; 1: --optimise.
void BM_InIldShow(benchmark::State& state) {
    const std::vector<model::Frame> frames = InIld();
    if (frames.empty()) {
        state.SkipWithError("laserboy-indep is not installed");
        return;
    }
    model::stage::Settings settings;
    settings.optimiseFiles = state.range(0) == 1;
    const std::vector<bool> asMade(frames.size(), true);
    model::stage::ShowStream show;
    for (auto _ : state) {
        show = model::stage::BuildShow(frames, asMade, settings);
        benchmark::DoNotOptimize(show.frames.data());
    }
    // Points in the file; samples of each frame drawn once, and of its way back to its start.
    double points = 0, drawn = 0, back = 0, before = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        points += double(frames[i].points.size());
        drawn += double(show.frames[i].first.size());
        back += double(show.frames[i].again.size() - show.frames[i].first.size());
        before += double(
            model::stage::Build(frames[i].points, frames[i].styles, 0x00FF00, settings).size());
    }
    const std::vector<model::stage::Sample> all = model::stage::Samples(show);
    double largest = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        const auto p = all[i], q = all[(i + 1) % all.size()];
        largest = std::max(largest, std::hypot(double(q.x) - p.x, double(q.y) - p.y));
    }
    state.counters["frames"] = double(frames.size());
    state.counters["added_inside_percent"] = 100 * (drawn - points) / points;
    state.counters["added_with_way_back_percent"] = 100 * (drawn + back - points) / points;
    state.counters["added_before_percent"] = 100 * (before - points) / points;
    state.counters["samples_a_loop"] = double(all.size());
    state.counters["largest_step"] = largest;
    state.counters["slow"] = show.slow ? 1 : 0;
}
BENCHMARK(BM_InIldShow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
