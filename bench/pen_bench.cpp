// One pointer move of the pen with a long contour on screen: the append, the painting of the
// new segment and point, and the widget's repaint of the changed rectangle. Beside it, what
// the recovery keeper's timer costs the same thread every two seconds.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include "app/application.h"
#include "bench_support.h"
#include "window/recovery.h"

namespace {

void BM_PenMove(benchmark::State& state) {
    const auto windows = app::CreateWindows();
    window::TBaseForm& form = *windows->BaseForm;
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

// One tick of the keeper with unsaved work: 0, nothing changed since the last copy (the
// comparison only); 1, a point moved (the copy written, synced and renamed into place).
void BM_RecoveryTick(benchmark::State& state) {
    const auto windows = app::CreateWindows();
    window::TBaseForm& form = *windows->BaseForm;
    editor::Editor& e = form.editor();
    e.SelectTool(model::tmPen, QStringLiteral("Paint Picture"));
    for (int i = 0; i < 2000; ++i) {
        e.PaintBoxVardeniMouseDown(editor::MouseButton::Left, 10 + i % 360, 10 + i / 360 * 20);
    }
    QTemporaryDir dir;
    window::RecoveryKeeper keeper(form.fileCommands(), form,
                                  std::make_unique<io::RecoveryStore>(dir.path()), 3'600'000);
    keeper.Start();
    keeper.Tick();
    const bool change = state.range(0) != 0;
    int32_t x = 0;
    for (auto _ : state) {
        if (change) {
            e.contour().SetSlot(0, (++x % 100) * 5'000'000);  // a pixel on each time
        }
        keeper.Tick();
    }
}
BENCHMARK(BM_RecoveryTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunInQt<QApplication>(argc, argv, app::SetUpApplication);
}
