// The live output on the loopback: the point rate an IDN receiver on 127.0.0.1 gets over ten
// seconds against the rate set, and the time from an edit (a new frame handed to the link) to
// the first packet that carries it. Then the headless player and the Ether Dream link against
// the test DAC on 127.0.0.1 (its modes stand in for the devices that misbehave): how long
// `--play --seconds S` plays (the points the DAC played over the rate) and takes (wall time);
// what the link offers a DAC that answers every data command NAK-full (data commands and bytes
// a second); how long `--play` to a host whose name does not resolve takes to end. Real time,
// measured once per run; the host's name is one the resolver refuses without asking the
// network.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUdpSocket>
#include <algorithm>
#include <cmath>

#include "idn_samples.h"
#include "model/ilda.h"
#include "output/link.h"
#include "support/ether_dream_dac.h"

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

constexpr int kPlayRate = 30'000;

// A show of one frame, a circle of 500 lit points.
QString WriteShow(const QTemporaryDir& dir) {
    std::vector<model::ContourPoint> points;
    for (int i = 0; i < 500; ++i) {
        const double a = 2 * M_PI * i / 500;
        points.push_back({model::PixelToUnit(192 + int(150 * std::cos(a))),
                          model::PixelToUnit(192 + int(150 * std::sin(a)))});
    }
    model::Contour contour;
    contour.SetPoints(points, {});
    const auto show =
        model::ilda::Encode(contour, model::ilda::kTrueColor2D, {0, 255, 0}, "bench", "bench");
    const QString name = dir.filePath(QStringLiteral("show.ild"));
    QFile file(name);
    file.open(QIODevice::WriteOnly);
    file.write(reinterpret_cast<const char*>(show.bytes.data()), qint64(show.bytes.size()));
    return name;
}

void BM_PlaySeconds(benchmark::State& state) {
    const double seconds = double(state.range(0));
    for (auto _ : state) {
        QTemporaryDir dir;
        testing_support::EtherDreamDac dac;
        QProcess player;
        QElapsedTimer wall;
        wall.start();
        player.start(QStringLiteral(QUORINIMAGE_PROGRAM),
                     {QStringLiteral("--play"), WriteShow(dir), QStringLiteral("--to"),
                      QStringLiteral("etherdream:127.0.0.1:%1").arg(dac.Port()),
                      QStringLiteral("--seconds"), QString::number(seconds)});
        player.waitForFinished(int(seconds * 1000) + 30'000);
        const double played = double(dac.PlayedCount()) / kPlayRate;
        state.SetIterationTime(played);
        state.counters["played_s"] = played;
        state.counters["wall_s"] = double(wall.nsecsElapsed()) / 1e9;
        state.counters["error_percent"] = 100 * (played - seconds) / seconds;
        state.counters["exit"] = player.exitCode();
    }
}
BENCHMARK(BM_PlaySeconds)
    ->Arg(5)
    ->Arg(10)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

void BM_NakFullDac(benchmark::State& state) {
    constexpr int kSeconds = 3;
    for (auto _ : state) {
        testing_support::EtherDreamDac dac;
        dac.SetCapacity(0);
        {
            output::Link link(
                {output::Protocol::EtherDream, QStringLiteral("127.0.0.1"), dac.Port()});
            link.Show({std::vector<model::stage::Sample>(500, {0, 0, 0, 255, 0}), kPlayRate});
            QThread::sleep(kSeconds);
        }
        const auto commands = dac.Commands();
        const auto data = std::count(commands.begin(), commands.end(), 'd');
        state.SetIterationTime(kSeconds);
        state.counters["data_per_s"] = double(data) / kSeconds;
        state.counters["MB_per_s"] = double(dac.BytesRead()) / kSeconds / 1e6;
        state.counters["begins"] = double(std::count(commands.begin(), commands.end(), 'b'));
    }
}
BENCHMARK(BM_NakFullDac)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// Arg 0: IDN, 1: Ether Dream. A run still going after 15 s is ended and counts as 15 s.
void BM_UnresolvableHostEnds(benchmark::State& state) {
    const QString scheme =
        state.range(0) == 0 ? QStringLiteral("idn") : QStringLiteral("etherdream");
    for (auto _ : state) {
        QTemporaryDir dir;
        QProcess player;
        QElapsedTimer wall;
        wall.start();
        player.start(QStringLiteral(QUORINIMAGE_PROGRAM),
                     {QStringLiteral("--play"), WriteShow(dir), QStringLiteral("--to"),
                      scheme + QStringLiteral(":no-such-host..invalid")});
        const bool ended = player.waitForFinished(15'000);
        const double took = double(wall.nsecsElapsed()) / 1e9;
        if (!ended) {
            player.kill();
            player.waitForFinished();
        }
        state.SetIterationTime(took);
        state.counters["exit_s"] = took;
        state.counters["exit"] = ended ? player.exitCode() : -1;
    }
}
BENCHMARK(BM_UnresolvableHostEnds)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
