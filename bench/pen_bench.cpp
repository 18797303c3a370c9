// One pointer move of the pen with a long contour on screen: the append, the painting of the
// new segment and point, and the widget's repaint of the changed rectangle.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>

#include "app/application.h"
#include "bench_support.h"

namespace {

void BM_PenMove(benchmark::State& state) {
    const auto windows = app::CreateWindows();
    editor::TBaseForm& form = *windows->BaseForm;
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    editor::Editor& e = form.editor();
    e.SelectTool(model::tmPen, QStringLiteral("Paint Picture"));
    const int points = int(state.range(0));
    // A contour of the given length on screen.
    e.PaintBoxVardeniMouseDown(editor::MouseButton::Left, 10, 10);
    for (int i = 1; i < points; ++i) {
        const int x = 10 + (i * 16) % 360;
        const int y = 10 + (i / 22) * 4 % 360;
        e.PaintBoxVardeniMouseMove(x, y);
        e.state().PointCount = std::min(e.state().PointCount, 2000);
    }
    e.Repaint();
    QApplication::processEvents();
    int x = 20;
    for (auto _ : state) {
        // Each move is a new point 16 pixels on; the count stays where it is.
        x = x >= 360 ? 20 : x + 16;
        e.state().PointCount = points;
        e.PaintBoxVardeniMouseMove(x, 200);
        QApplication::processEvents();
    }
    state.counters["points"] = points;
}
BENCHMARK(BM_PenMove)->Arg(10)->Arg(2000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunInQt<QApplication>(argc, argv, app::SetUpApplication);
}
