// A long show in the window: the frame strip scrolled a page at a time (its pictures drawn as
// they come into sight, and kept), a step to the next frame with the surface repainted, and
// the memory a frame takes.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QListView>
#include <QScrollBar>
#include <QTest>
#include <cmath>

#include "app/application.h"
#include "bench_support.h"
#include "window/frame_strip.h"

namespace {

// Frame k: a ring of `points` points, turned a little more each frame.
model::Frame Ring(int k, int points) {
    model::Frame f;
    for (int i = 0; i < points; ++i) {
        const double a = 6.283185307 * i / points + k * 0.01;
        f.points.push_back({model::PixelToUnit(192 + int(150 * std::cos(a))),
                            model::PixelToUnit(192 + int(150 * std::sin(a)))});
    }
    return f;
}

std::vector<model::Frame> Show(int frames, int points) {
    std::vector<model::Frame> show;
    for (int k = 0; k < frames; ++k) {
        show.push_back(Ring(k, points));
    }
    return show;
}

void Load(window::TBaseForm& form, std::vector<model::Frame> frames) {
    editor::Document& document = form.editor().document();
    document.show().Reset(std::move(frames), 0);
    document.FramesChanged();
    document.Settle();
}

// The heap in use, to the byte.
long HeapBytes() {
    return long(mallinfo2().uordblks);
}

void BM_StripScrollPage(benchmark::State& state) {
    const auto windows = app::CreateWindows();
    window::TBaseForm& form = *windows->BaseForm;
    Load(form, Show(1000, 500));
    form.ShowFrameStrip(true);
    window::FrameStrip& strip = *form.frameStrip();
    (void)QTest::qWaitForWindowExposed(&strip);
    QApplication::processEvents();
    QScrollBar& bar = *strip.view().horizontalScrollBar();
    for (auto _ : state) {
        bar.setValue(bar.value() + bar.pageStep() > bar.maximum() ? 0
                                                                  : bar.value() + bar.pageStep());
        strip.view().viewport()->repaint();
    }
    // Each picture is drawn once, when it first comes into sight: never more than 1,000.
    state.counters["pictures_drawn"] = strip.model().drawn();
}
BENCHMARK(BM_StripScrollPage)->Unit(benchmark::kMicrosecond);

void BM_NextFrame(benchmark::State& state) {
    const auto windows = app::CreateWindows();
    window::TBaseForm& form = *windows->BaseForm;
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    const int frames = 1000;
    Load(form, Show(frames, int(state.range(0))));
    window::FrameCommands& commands = form.frameCommands();
    for (auto _ : state) {
        if (form.editor().document().show().current() == frames - 1) {
            commands.ItemFrameFirstClick();
        } else {
            commands.ItemFrameNextClick();
        }
        QApplication::processEvents();
    }
}
BENCHMARK(BM_NextFrame)->Arg(100)->Arg(2000)->Unit(benchmark::kMicrosecond);

// What a thousand frames of `points` points add to the heap, the window's repaint included.
void BM_MemoryPerFrame(benchmark::State& state) {
    const auto windows = app::CreateWindows();
    window::TBaseForm& form = *windows->BaseForm;
    const int points = int(state.range(0));
    long added = 0;
    for (auto _ : state) {
        Load(form, {model::Frame{}});
        QApplication::processEvents();
        const long before = HeapBytes();
        Load(form, Show(1000, points));
        QApplication::processEvents();
        added = HeapBytes() - before;
    }
    state.counters["kB_per_frame"] = double(added) / 1000 / 1024;
}
BENCHMARK(BM_MemoryPerFrame)->Arg(100)->Arg(2000)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunInQt<QApplication>(argc, argv, app::SetUpApplication);
}
