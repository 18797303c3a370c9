// What the benchmark programs share: a window stand-in for the editor and a main function
// that runs the benchmarks inside a Qt application on the offscreen platform.
#pragma once

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QUdpSocket>
#include <QtGlobal>
#include <vector>

#include "editor/host.h"
#include "model/output_stage.h"

namespace bench {

// View toggles as the benchmark sets them; everything reported goes nowhere.
class BenchHost : public editor::EditorHost {
  public:
    void setStatusText(int, const QString&) override {}
    void setUndoEnabled(bool) override {}
    void setCursorShape(editor::CursorShape) override {}
    void surfaceChanged(const QRect&) override {}
    bool lineShown() const override { return line; }
    bool pointsShown() const override { return points; }
    bool gridShown() const override { return grid; }
    bool directHook() const override { return hook; }
    void setDirectHook(bool down) override { hook = down; }

    bool line = true;
    bool points = true;
    bool grid = false;
    bool hook = false;
};

// The samples of an IDN wave message: after the headers and, when the channel-configuration
// bit is set, the configuration and its tags.
inline std::vector<model::stage::Sample> SamplesOf(const QByteArray& d) {
    if (d.size() < 16 || quint8(d[0]) != 0x40) {
        return {};
    }
    qsizetype at = 4 + 8;
    if ((quint8(d[6]) & 0x40) != 0) {
        at += 4 + 4 * qsizetype(quint8(d[12]));
    }
    at += 4;
    std::vector<model::stage::Sample> out;
    for (; at + 7 <= d.size(); at += 7) {
        out.push_back({int16_t(quint8(d[at]) << 8 | quint8(d[at + 1])),
                       int16_t(quint8(d[at + 2]) << 8 | quint8(d[at + 3])), quint8(d[at + 4]),
                       quint8(d[at + 5]), quint8(d[at + 6])});
    }
    return out;
}

// Hands each datagram waiting on the socket to `each`.
template <typename Each>
void Receive(QUdpSocket& socket, Each each) {
    while (socket.hasPendingDatagrams()) {
        QByteArray d(socket.pendingDatagramSize(), '\0');
        socket.readDatagram(d.data(), d.size());
        each(d);
    }
}

// Runs the registered benchmarks in an application of type App, set up by setUp.
template <typename App, typename SetUp>
int RunInQt(int argc, char** argv, SetUp setUp) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    App application(argc, argv);
    setUp(application);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
