// The live output on the loopback: the point rate an IDN receiver on 127.0.0.1 gets over ten
// seconds against the rate set, and the time from an edit (a new frame handed to the link) to
// the first packet that carries it. Real time, measured once per run.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QUdpSocket>
#include <algorithm>

#include "idn_samples.h"
#include "output/link.h"

namespace {

using bench::Receive;
using bench::SamplesOf;
using model::stage::Sample;

output::Frame Marked(int mark, int rate) {
    // 500 lit points at one x: which frame a packet belongs to is read from any sample.
    return {std::vector<Sample>(500, Sample{int16_t(mark), 0, 255, 255, 255}), rate};
}

void BM_IdnPointRate(benchmark::State& state) {
    const int rate = int(state.range(0));
    for (auto _ : state) {
        QUdpSocket socket;
        socket.bind(QHostAddress::LocalHost, 0);
        qint64 received = 0;
        QElapsedTimer clock;
        {
            output::Link link(
                {output::Protocol::Idn, QStringLiteral("127.0.0.1"), socket.localPort()});
            link.Show(Marked(1, rate));
            // The count starts with the first packet, so that the start-up does not count.
            while (received == 0) {
                socket.waitForReadyRead(100);
                Receive(socket,
                        [&](const QByteArray& d) { received += qint64(SamplesOf(d).size()); });
            }
            clock.start();
            received = 0;
            while (clock.elapsed() < 10'000) {
                socket.waitForReadyRead(20);
                Receive(socket,
                        [&](const QByteArray& d) { received += qint64(SamplesOf(d).size()); });
            }
        }
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        state.counters["set_rate"] = rate;
        state.counters["achieved_rate"] = double(received) / seconds;
        state.counters["error_percent"] = 100.0 * (double(received) / seconds - rate) / rate;
    }
}
BENCHMARK(BM_IdnPointRate)
    ->Arg(30'000)
    ->Arg(60'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

void BM_EditToFirstPacket(benchmark::State& state) {
    constexpr int kRate = 30'000;
    constexpr int kEdits = 101;
    for (auto _ : state) {
        QUdpSocket socket;
        socket.bind(QHostAddress::LocalHost, 0);
        output::Link link({output::Protocol::Idn, QStringLiteral("127.0.0.1"), socket.localPort()});
        std::vector<double> ms;
        for (int edit = 1; edit <= kEdits; ++edit) {
            QElapsedTimer clock;
            clock.start();
            link.Show(Marked(edit, kRate));
            bool arrived = false;
            while (!arrived && clock.elapsed() < 2000) {
                socket.waitForReadyRead(1);
                Receive(socket, [&](const QByteArray& d) {
                    for (const Sample& s : SamplesOf(d)) {
                        arrived = arrived || s.x == edit;
                    }
                });
            }
            ms.push_back(double(clock.nsecsElapsed()) / 1e6);
            // Let the frame play a while, as an editor's edits come apart.
            QDeadlineTimer pause(20);
            while (!pause.hasExpired()) {
                socket.waitForReadyRead(5);
                Receive(socket, [](const QByteArray&) {});
            }
        }
        std::sort(ms.begin(), ms.end());
        state.SetIterationTime(ms[ms.size() / 2] / 1000);
        state.counters["median_ms"] = ms[ms.size() / 2];
        state.counters["worst_ms"] = ms.back();
    }
}
BENCHMARK(BM_EditToFirstPacket)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
