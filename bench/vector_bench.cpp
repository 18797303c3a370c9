// Vector art in: importing an SVG drawing of 5,000 path segments (Qt SVG's parse and paint
// into the recording device, flattening, and the join at the pen's spacing); the search for
// the smallest spacing that fits, which joins the paths at each spacing in turn; and walking a
// 10 MB ILDA show of 1,000 frames to list them for the frame choice.
//
//   vector_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QGuiApplication>
#include <cmath>
#include <vector>

#include "bench/bench_support.h"
#include "model/ilda.h"
#include "model/path_join.h"
#include "pictures/svg_reader.h"

namespace {

// A logo-like drawing: 100 closed flowers of 50 cubic segments each, in a 10 by 10 grid, under
// a viewBox with a group transform.
QByteArray Drawing() {
    QByteArray svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="1000" height="800" )"
                     R"svg(viewBox="0 0 1000 1000"><g transform="rotate(3 500 500)">)svg";
    const double pi = std::acos(-1.0);
    for (int cell = 0; cell < 100; ++cell) {
        const double cx = 50 + 100 * (cell % 10);
        const double cy = 50 + 100 * (cell / 10);
        // A five-petalled outline r(a) = 30 + 8 cos(5a), each piece a cubic matching the
        // curve's ends and tangents.
        const auto at = [&](double a) {
            const double r = 30 + 8 * std::cos(5 * a);
            return std::pair{cx + r * std::cos(a), cy + r * std::sin(a)};
        };
        const auto text = [](double x, double y) {
            return QByteArray::number(x, 'f', 2) + " " + QByteArray::number(y, 'f', 2);
        };
        const double step = 2 * pi / 50;
        QByteArray d = "M " + text(at(0).first, at(0).second);
        for (int s = 0; s < 50; ++s) {
            const double a0 = s * step;
            const double a1 = a0 + step;
            const auto tangent = [&](double a) {
                const auto [x1, y1] = at(a + 1e-5);
                const auto [x0, y0] = at(a - 1e-5);
                return std::pair{(x1 - x0) / 2e-5 * step / 3, (y1 - y0) / 2e-5 * step / 3};
            };
            const auto [x0, y0] = at(a0);
            const auto [x1, y1] = at(a1);
            const auto [tx0, ty0] = tangent(a0);
            const auto [tx1, ty1] = tangent(a1);
            d += " C " + text(x0 + tx0, y0 + ty0) + ", " + text(x1 - tx1, y1 - ty1) + ", " +
                 text(x1, y1);
        }
        svg += R"(<path fill="none" stroke="black" d=")" + d + R"( Z"/>)";
    }
    svg += "</g></svg>";
    return svg;
}

void BM_ImportSvg5000Segments(benchmark::State& state) {
    const QByteArray svg = Drawing();
    const int spacing = 15;  // the pen's spacing as the settings start
    size_t points = 0;
    for (auto _ : state) {
        const pictures::SvgDrawing d = pictures::ReadSvg(svg);
        model::JoinedContour j = model::JoinPaths(d.paths, spacing);
        if (!j.fits()) {
            j = model::JoinPaths(d.paths, model::SmallestFittingSpacing(d.paths, spacing + 1));
        }
        points = j.points.size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = double(points);
    state.counters["bytes"] = double(svg.size());
}
BENCHMARK(BM_ImportSvg5000Segments)->Unit(benchmark::kMillisecond);

// The search from spacing 1 on two drawings: the flowers above, and 1,000 dashes half a pixel
// long on a grid 12 pixels apart, 2,000 points with a fill point in each of the 999 jumps up to
// spacing 12, which first fits at 13, after 13 joins of 1,000 paths.
void BM_SmallestFittingSpacing(benchmark::State& state) {
    std::vector<model::Path> paths;
    if (state.range(0) == 0) {
        paths = pictures::ReadSvg(Drawing()).paths;
    } else {
        const double unit = model::kUnitsPerPixel;
        for (int i = 0; i < 1000; ++i) {
            const double x = (10 + 12 * (i % 30) - 192) * unit;
            const double y = (10 + 12 * (i / 30) - 192) * unit;
            paths.push_back({{{x, y}, {x + unit / 2, y}}, false, {}});
        }
    }
    int spacing = 0;
    for (auto _ : state) {
        spacing = model::SmallestFittingSpacing(paths, 1);
        benchmark::DoNotOptimize(spacing);
    }
    state.counters["spacing"] = spacing;
    state.counters["paths"] = double(paths.size());
}
BENCHMARK(BM_SmallestFittingSpacing)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// 1,000 frames of 1,250 true-colour points: 32 + 10,000 bytes each, about 10 MB.
std::vector<uint8_t> Show() {
    std::vector<uint8_t> bytes;
    bytes.reserve(1001 * 10'032);
    for (int f = 0; f <= 1000; ++f) {
        const int records = f < 1000 ? 1250 : 0;
        const uint8_t header[32] = {'I',
                                    'L',
                                    'D',
                                    'A',
                                    0,
                                    0,
                                    0,
                                    5,
                                    'f',
                                    'r',
                                    'a',
                                    'm',
                                    'e',
                                    0,
                                    0,
                                    0,
                                    'b',
                                    'e',
                                    'n',
                                    'c',
                                    'h',
                                    0,
                                    0,
                                    0,
                                    uint8_t(records >> 8),
                                    uint8_t(records),
                                    uint8_t(f >> 8),
                                    uint8_t(f),
                                    0x03,
                                    0xE8,
                                    0,
                                    0};
        bytes.insert(bytes.end(), header, header + 32);
        for (int i = 0; i < records; ++i) {
            const uint8_t r[8] = {
                uint8_t(i >> 8), uint8_t(i), uint8_t(f >> 8), uint8_t(f), 0, 255, 255, 255};
            bytes.insert(bytes.end(), r, r + 8);
        }
    }
    return bytes;
}

void BM_ListFramesOf10MBShow(benchmark::State& state) {
    const std::vector<uint8_t> show = Show();
    size_t frames = 0;
    for (auto _ : state) {
        frames = model::ilda::ListFrames(show).frames.size();
        benchmark::DoNotOptimize(frames);
    }
    state.counters["frames"] = double(frames);
    state.counters["MB"] = double(show.size()) / 1e6;
}
BENCHMARK(BM_ListFramesOf10MBShow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunInQt<QGuiApplication>(argc, argv, [](QGuiApplication&) {});
}
