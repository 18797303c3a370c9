// The point tools on a full contour: one drag step of the edit-point tool (hover scan, the
// point write and the redraw of the whole contour without clearing), with and without the
// window showing the result, and one point search over the whole contour.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <cmath>

#include "app/application.h"
#include "bench_support.h"
#include "editor/editor.h"
#include "editor/tools/point_tools.h"

namespace {

constexpr int kPoints = 2041;

// A closed Lissajous figure of 2041 points over the whole surface, a few pixels apart.
void FillContour(editor::Editor& e) {
    for (int i = 0; i < kPoints; ++i) {
        const double t = 2 * M_PI * i / kPoints;
        const int x = 192 + int(180 * std::sin(3 * t));
        const int y = 192 + int(180 * std::sin(4 * t + 0.5));
        e.WriteToBuffer(2 * i, x, y);
    }
    e.state().PointCount = kPoints;
}

// Picks point 1000 with the edit-point tool, ready to drag it.
void StartDrag(editor::Editor& e) {
    e.SelectTool(model::tmEditPoint, QStringLiteral("Move Dot"));
    const model::PixelPos p = e.contour().PointPixel(1000);
    e.PaintBoxVardeniMouseDown(editor::MouseButton::Left, p.x, p.y);
}

void BM_EditDragStep(benchmark::State& state) {
    bench::BenchHost host;
    editor::EditorSettings settings;
    editor::Editor e(host, settings);
    FillContour(e);
    e.Repaint();
    StartDrag(e);
    int x = 100;
    for (auto _ : state) {
        x = x >= 300 ? 100 : x + 3;
        e.PaintBoxVardeniMouseMove(x, 200);
        benchmark::DoNotOptimize(e.canvas().image().constBits());
    }
}
BENCHMARK(BM_EditDragStep)->Unit(benchmark::kMicrosecond);

void BM_EditDragStepWindow(benchmark::State& state) {
    const auto windows = app::CreateWindows();
    window::TBaseForm& form = *windows->BaseForm;
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    editor::Editor& e = form.editor();
    FillContour(e);
    e.Repaint();
    StartDrag(e);
    QApplication::processEvents();
    int x = 100;
    for (auto _ : state) {
        x = x >= 300 ? 100 : x + 3;
        e.PaintBoxVardeniMouseMove(x, 200);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_EditDragStepWindow)->Unit(benchmark::kMicrosecond);

void BM_SearchPoint(benchmark::State& state) {
    bench::BenchHost host;
    editor::EditorSettings settings;
    editor::Editor e(host, settings);
    FillContour(e);
    editor::tools::PointTool picker(e);
    host.hook = state.range(0) != 0;
    const model::PixelPos p = e.contour().PointPixel(1000);
    for (auto _ : state) {
        picker.SearchPoint(p.x, p.y);
        benchmark::DoNotOptimize(e.state().PickedIndex);
    }
    e.timerStatusDot().stop();
}
BENCHMARK(BM_SearchPoint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunInQt<QApplication>(argc, argv, app::SetUpApplication);
}
