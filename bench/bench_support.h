// What the benchmark programs share: a window stand-in for the editor and a main function
// that runs the benchmarks inside a Qt application on the offscreen platform.
#pragma once

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QtGlobal>

#include "editor/host.h"

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
