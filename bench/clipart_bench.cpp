// The SVG import of real clip art, one benchmark per file of the fixed sample (clipart_sample.h):
// the whole import as the window and --convert run it (read, Qt SVG's parse and paint into the
// recording device, the join at the pen's spacing of 15 and, when that does not fit, the search
// for a spacing that does). scripts/clipart_figures.sh takes the median and 95th percentile
// over the files.
//
//   clipart_bench [--all-lines] [--whole-page] --benchmark_min_time=0.05 --benchmark_format=json
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>

#include "bench/bench_support.h"
#include "bench/clipart_sample.h"
#include "formats/imports.h"

namespace {

void ImportFile(benchmark::State& state, const QString& name, pictures::SvgOptions options) {
    size_t points = 0;
    for (auto _ : state) {
        const formats::Import in = formats::ImportSvgFile(name, 15, options);
        points = in.points.size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = double(points);
}

}  // namespace

int main(int argc, char** argv) {
    const pictures::SvgOptions options = bench::ClipArtOptions(argc, argv);
    return bench::RunInQt<QGuiApplication>(argc, argv, [options](QGuiApplication&) {
        const QStringList sample = bench::ClipArtSample();
        if (sample.isEmpty()) {
            std::fprintf(stderr, "no clip art in %s: install openclipart-svg\n",
                         qPrintable(bench::kClipArtRoot));
        }
        for (const QString& name : sample) {
            const QString shown = name.mid(bench::kClipArtRoot.size() + 1);
            benchmark::RegisterBenchmark(qPrintable(QStringLiteral("ImportClipArt/") + shown),
                                         ImportFile, name, options)
                ->Unit(benchmark::kMillisecond);
        }
    });
}
