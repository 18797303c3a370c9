// The live output on the loopback: the point rate an IDN receiver on 127.0.0.1 gets over ten
// seconds against the rate set, and the time from an edit (a new frame handed to the link) to
// the first packet that carries it. Then the headless player and the Ether Dream link against
// the test DAC on 127.0.0.1 (its modes stand in for the devices that misbehave): how long
// `--play --seconds S` plays (the points the DAC played over the rate) and takes (wall time);
// how many frames `--play --fps 25` plays in ten seconds; the longest step of ten seconds of
// LaserBoy's in.ild;
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
#include <set>
#include <span>

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

// A show of four frames, a small square of lit points in each quarter of the projection.
QString WriteQuarters(const QTemporaryDir& dir) {
    std::vector<uint8_t> bytes;
    for (int f = 0; f < 4; ++f) {
        model::Contour contour;
        const int cx = f % 2 == 0 ? 96 : 288, cy = f < 2 ? 96 : 288;
        contour.SetPoints({{model::PixelToUnit(cx - 20), model::PixelToUnit(cy - 20)},
                           {model::PixelToUnit(cx + 20), model::PixelToUnit(cy - 20)},
                           {model::PixelToUnit(cx + 20), model::PixelToUnit(cy + 20)},
                           {model::PixelToUnit(cx - 20), model::PixelToUnit(cy + 20)}},
                          {});
        auto frame =
            model::ilda::Encode(contour, model::ilda::kTrueColor2D, {0, 255, 0}, "bench", "bench");
        // Each frame's section without the end-of-file header (32 bytes) but the last's.
        bytes.insert(bytes.end(), frame.bytes.begin(), frame.bytes.end() - (f < 3 ? 32 : 0));
    }
    const QString name = dir.filePath(QStringLiteral("quarters.ild"));
    QFile file(name);
    file.open(QIODevice::WriteOnly);
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    return name;
}

// `--play --fps 25 --seconds 10` of the four quarters to the test DAC: the frames it played
// (a frame begins where a lit point lies in another quarter than the lit point before), against
// the 250 that ten seconds at 25 frames a second hold.
void BM_PlayFrameRate(benchmark::State& state) {
    constexpr double kSeconds = 10;
    for (auto _ : state) {
        QTemporaryDir dir;
        testing_support::EtherDreamDac dac;
        QProcess player;
        QElapsedTimer wall;
        wall.start();
        player.start(
            QStringLiteral(QUORINIMAGE_PROGRAM),
            {QStringLiteral("--play"), WriteQuarters(dir), QStringLiteral("--to"),
             QStringLiteral("etherdream:127.0.0.1:%1").arg(dac.Port()), QStringLiteral("--fps"),
             QStringLiteral("25"), QStringLiteral("--seconds"), QString::number(kSeconds)});
        player.waitForFinished(int(kSeconds * 1000) + 30'000);
        int frames = 0;
        int quarter = -1;
        for (const auto& p : dac.Played()) {
            const int now = (p.x < 0 ? 0 : 1) + (p.y < 0 ? 2 : 0);
            if ((p.r | p.g | p.b) != 0 && now != quarter) {
                quarter = now;
                ++frames;
            }
        }
        const double played = double(dac.PlayedCount()) / kPlayRate;
        state.SetIterationTime(played);
        state.counters["frames"] = frames;
        state.counters["frame_rate_error_percent"] =
            100 * (frames - 25 * kSeconds) / (25 * kSeconds);
        state.counters["played_s"] = played;
        state.counters["wall_s"] = double(wall.nsecsElapsed()) / 1e9;
    }
}
BENCHMARK(BM_PlayFrameRate)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// Ten seconds of LaserBoy's in.ild (laserboy-indep) played to the test DAC, as made (arg 0) and
// --optimise (1): the longest step from one played point to the next, and the longest among
// those that are not a step of the file's own from one of its points to the next (the ways
// between frames and between drawings).
void BM_PlayInIldSteps(benchmark::State& state) {
    const QString show = QStringLiteral("/usr/share/laserboy/ild/in.ild");
    QFile in(show);
    if (!in.open(QIODevice::ReadOnly)) {
        state.SkipWithError("laserboy-indep is not installed");
        return;
    }
    const QByteArray data = in.readAll();
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(data.constData()),
                                         size_t(data.size()));
    std::set<std::pair<std::pair<int, int>, std::pair<int, int>>> own;
    for (const auto& info : model::ilda::ListFrames(bytes).frames) {
        const auto frame = model::ilda::DecodeFrame(bytes, info);
        for (size_t i = 1; i < frame.points.size(); ++i) {
            const Sample a = model::stage::Place(frame.points[i - 1], {});
            const Sample b = model::stage::Place(frame.points[i], {});
            own.insert({{a.x, a.y}, {b.x, b.y}});
        }
    }
    for (auto _ : state) {
        testing_support::EtherDreamDac dac;
        QProcess player;
        QStringList arguments{
            QStringLiteral("--play"),    show,
            QStringLiteral("--to"),      QStringLiteral("etherdream:127.0.0.1:%1").arg(dac.Port()),
            QStringLiteral("--seconds"), QStringLiteral("10")};
        if (state.range(0) == 1) {
            arguments << QStringLiteral("--optimise");
        }
        player.start(QStringLiteral(QUORINIMAGE_PROGRAM), arguments);
        player.waitForFinished(40'000);
        const auto played = dac.Played();
        double largest = 0, added = 0;
        for (size_t i = 1; i < played.size(); ++i) {
            const auto &a = played[i - 1], &b = played[i];
            const double step = std::hypot(double(b.x) - a.x, double(b.y) - a.y);
            largest = std::max(largest, step);
            if (own.count({{a.x, a.y}, {b.x, b.y}}) == 0) {
                added = std::max(added, step);
            }
        }
        state.SetIterationTime(double(played.size()) / kPlayRate);
        state.counters["largest_step"] = largest;
        state.counters["largest_step_not_the_files"] = added;
        state.counters["played_s"] = double(played.size()) / kPlayRate;
    }
}
BENCHMARK(BM_PlayInIldSteps)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Repetitions(3)
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
