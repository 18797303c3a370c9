// Drawing with the pen while the Лазер window plays to the test Ether Dream on 127.0.0.1: ten
// seconds of strokes at the pointer's pace (a move every 8 ms), each move a new frame for the
// DAC, with the preview open. What counts is what the DAC saw: buffer underruns, NAKs and the
// points it played per second against the rate set. Real time, measured once per run.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <cmath>

#include "app/application.h"
#include "bench_support.h"
#include "support/ether_dream_dac.h"
#include "window/laser_window.h"

namespace {

// Lets the program run (its timers, the window's look at the contour) until `ms` from now.
void RunFor(qint64 ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, int(ms - clock.elapsed()));
    }
}

void BM_PenDrawingWhileOutputRuns(benchmark::State& state) {
    const int rate = int(state.range(0));
    constexpr int kSeconds = 10;
    constexpr int kMoveMs = 8;
    for (auto _ : state) {
        testing_support::EtherDreamDac dac;
        const auto windows = app::CreateWindows();
        window::TBaseForm& form = *windows->BaseForm;
        form.show();
        (void)QTest::qWaitForWindowExposed(&form);
        // The preview open beside it, drawing the same stream on the same thread.
        form.button(QStringLiteral("SpeedButtonPreview"))->click();
        form.button(QStringLiteral("SpeedButtonLaser"))->click();
        window::LaserWindow& laser = *form.laserWindow();
        laser.findChild<QSpinBox*>(QStringLiteral("LaserRate"))->setValue(rate);
        laser.findChild<QLineEdit*>(QStringLiteral("LaserAddress"))
            ->setText(QStringLiteral("etherdream:127.0.0.1:%1").arg(dac.Port()));
        laser.findChild<QPushButton*>(QStringLiteral("LaserStart"))->click();
        // Playing before the count starts.
        QElapsedTimer wait;
        wait.start();
        while (dac.PlayedCount() < 3000 && wait.elapsed() < 5000) {
            RunFor(10);
        }

        editor::Editor& e = form.editor();
        e.SelectTool(model::tmPen, QStringLiteral("Paint Picture"));
        const size_t playedBefore = dac.PlayedCount();
        const int underflowsBefore = dac.Underflows();
        const int naksBefore = dac.Naks();
        QElapsedTimer clock;
        clock.start();
        int moves = 0;
        int strokes = 0;
        while (clock.elapsed() < kSeconds * 1000) {
            // A stroke: a loop of 120 moves round a circle whose centre wanders, then release.
            // A contour near the point limit is started afresh, as a new drawing.
            if (e.state().PointCount > 1800) {
                e.state().PointCount = 0;
            }
            const double cx = 192 + 90 * std::cos(strokes * 0.7);
            const double cy = 192 + 90 * std::sin(strokes * 1.1);
            auto at = [&](int k) {
                const double a = k * 0.06;
                return QPoint(int(cx + 80 * std::cos(a)), int(cy + 60 * std::sin(a * 1.5)));
            };
            e.PaintBoxVardeniMouseDown(editor::MouseButton::Left, at(0).x(), at(0).y());
            for (int k = 1; k <= 120 && clock.elapsed() < kSeconds * 1000; ++k) {
                e.PaintBoxVardeniMouseMove(at(k).x(), at(k).y());
                ++moves;
                RunFor(kMoveMs);
            }
            e.PaintBoxVardeniMouseUp(editor::MouseButton::Left, at(120).x(), at(120).y());
            ++strokes;
        }
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        const size_t played = dac.PlayedCount() - playedBefore;
        state.SetIterationTime(seconds);
        state.counters["set_rate"] = rate;
        state.counters["played_rate"] = double(played) / seconds;
        state.counters["underruns"] = dac.Underflows() - underflowsBefore;
        state.counters["naks"] = dac.Naks() - naksBefore;
        state.counters["moves"] = moves;
        state.counters["strokes"] = strokes;
        laser.StopOutput();
        RunFor(200);
    }
}
BENCHMARK(BM_PenDrawingWhileOutputRuns)
    ->Arg(30'000)
    ->Arg(60'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunInQt<QApplication>(argc, argv, app::SetUpApplication);
}
