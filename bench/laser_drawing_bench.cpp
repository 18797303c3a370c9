// Drawing with the pen while the Лазер window plays to the test Ether Dream on 127.0.0.1: ten
// seconds of strokes at the pointer's pace (a move every 8 ms), each move a new frame for the
// DAC, with the preview open. What counts is what the DAC saw: buffer underruns, NAKs and the
// points it played per second against the rate set. And the time from an edit to the first
// packet that carries it, through the Лазер window. Real time, measured once per run.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "app/application.h"
#include "bench_support.h"
#include "editor/colors.h"
#include "idn_samples.h"
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

// From an edit in the editor (a contour put in place, as an import puts it) to the first IDN
// packet on 127.0.0.1 that carries it, through the Лазер window: what the window adds to the
// link's own time. Each edit is a vertical line at a new x, so any lit sample tells the frame.
void BM_WindowEditToFirstPacket(benchmark::State& state) {
    constexpr int kEdits = 101;
    for (auto _ : state) {
        QUdpSocket socket;
        socket.bind(QHostAddress::LocalHost, 0);
        const auto windows = app::CreateWindows();
        window::TBaseForm& form = *windows->BaseForm;
        form.button(QStringLiteral("SpeedButtonLaser"))->click();
        window::LaserWindow& laser = *form.laserWindow();
        laser.findChild<QLineEdit*>(QStringLiteral("LaserAddress"))
            ->setText(QStringLiteral("idn:127.0.0.1:%1").arg(socket.localPort()));
        laser.findChild<QPushButton*>(QStringLiteral("LaserStart"))->click();
        editor::Editor& e = form.editor();
        std::vector<double> ms;
        for (int edit = 1; edit <= kEdits; ++edit) {
            const std::vector<model::ContourPoint> line = {
                {model::PixelToUnit(20 + 3 * edit), model::PixelToUnit(100)},
                {model::PixelToUnit(20 + 3 * edit), model::PixelToUnit(300)}};
            const auto stream = model::stage::Build(
                line, {}, editor::ResolveColor(e.settings().ColorBoxLine) & 0xFFFFFF,
                model::stage::Clamped(laser.StageSettings()));
            const auto lit = std::find_if(stream.begin(), stream.end(), [](const auto& s) {
                return s.r != 0 || s.g != 0 || s.b != 0;
            });
            const int16_t x = lit->x;
            QElapsedTimer clock;
            clock.start();
            e.ReplaceContour(line);
            bool arrived = false;
            while (!arrived && clock.elapsed() < 2000) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
                bench::Receive(socket, [&](const QByteArray& d) {
                    for (const auto& s : bench::SamplesOf(d)) {
                        arrived = arrived || (s.x == x && (s.r != 0 || s.g != 0 || s.b != 0));
                    }
                });
            }
            ms.push_back(double(clock.nsecsElapsed()) / 1e6);
            // The frame plays a while, as an editor's edits come apart.
            QElapsedTimer pause;
            pause.start();
            while (pause.elapsed() < 20) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                bench::Receive(socket, [](const QByteArray&) {});
            }
        }
        laser.StopOutput();
        std::sort(ms.begin(), ms.end());
        state.SetIterationTime(ms[ms.size() / 2] / 1000);
        state.counters["median_ms"] = ms[ms.size() / 2];
        state.counters["worst_ms"] = ms.back();
    }
}
BENCHMARK(BM_WindowEditToFirstPacket)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunInQt<QApplication>(argc, argv, app::SetUpApplication);
}
