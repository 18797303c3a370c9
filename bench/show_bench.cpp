// Shows in the window: Open of LaserBoy's in.ild (73 frames, 31,622 points) and of a show of
// 1,000 frames of 500 points made here, each taken whole as the File menu's Open takes it (read,
// decoded, put in the show, the strip of frames told); the frame strip of a long show scrolled a
// page at a time (its pictures drawn as they come into sight, and kept); the step to the next
// frame as Ctrl+PgDown makes it, with the surface repainted on screen; the heap a frame takes.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QListView>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "app/application.h"
#include "bench_support.h"
#include "formats/contour_files.h"
#include "window/frame_strip.h"
#include "window/recovery.h"

namespace {

const QString kInIld = QStringLiteral("/usr/share/laserboy/ild/in.ild");

// 1,000 frames of a circle of 500 points, each turned a little further, every tenth point dark.
QString LongShow(const QTemporaryDir& dir) {
    std::vector<model::Frame> frames(1000);
    for (size_t f = 0; f < frames.size(); ++f) {
        for (int i = 0; i < 500; ++i) {
            const double a = 2 * M_PI * (i + double(f) / 4) / 500;
            frames[f].points.push_back({int32_t(std::lround(600'000'000 * std::cos(a))),
                                        int32_t(std::lround(600'000'000 * std::sin(a)))});
            frames[f].styles.push_back(i % 10 == 0 ? model::PointStyle::Dark()
                                                   : model::PointStyle::Colour(0xFF0000));
        }
    }
    const QString name = dir.filePath(QStringLiteral("long.ild"));
    formats::WriteIldaShow(name, frames, {});
    return name;
}

void Open(benchmark::State& state, const QString& name) {
    const auto windows = app::CreateWindows();
    window::TBaseForm& form = *windows->BaseForm;
    for (auto _ : state) {
        form.fileCommands().OpenContourFile(name);
        form.editor().document().Settle();
    }
    state.counters["frames"] = form.editor().document().show().count();
}

void BM_OpenInIld(benchmark::State& state) {
    if (!QFile::exists(kInIld)) {
        state.SkipWithError("laserboy-indep is not installed");
        return;
    }
    Open(state, kInIld);
}
BENCHMARK(BM_OpenInIld)->Unit(benchmark::kMillisecond);

void BM_OpenThousandFrames(benchmark::State& state) {
    const QTemporaryDir dir;
    Open(state, LongShow(dir));
}
BENCHMARK(BM_OpenThousandFrames)->Unit(benchmark::kMillisecond);

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

// One tick of the recovery keeper after a point of the current frame moved, with a show of
// `frames` frames of 1,000 points unsaved: what the window's thread spends on it (the copy
// taken and encoded; second argument 0) and the whole tick, the copy on disk (1). 2,000 frames
// is what a 16 MB ILDA file of format 5 holds.
void BM_RecoveryTickShow(benchmark::State& state) {
    const auto windows = app::CreateWindows();
    window::TBaseForm& form = *windows->BaseForm;
    Load(form, Show(int(state.range(0)), 1000));
    editor::Editor& e = form.editor();
    QTemporaryDir dir;
    window::RecoveryKeeper keeper(form.fileCommands(), form,
                                  std::make_unique<io::RecoveryStore>(dir.path()), 3'600'000);
    keeper.Start();
    keeper.Tick();
    const bool whole = state.range(1) != 0;
    int32_t x = 0;
    for (auto _ : state) {
        e.contour().SetSlot(0, (++x % 100) * 5'000'000);
        e.document().Settle();
        keeper.Tick(whole ? window::RecoveryKeeper::Wait::Yes : window::RecoveryKeeper::Wait::No);
        state.PauseTiming();
        keeper.Tick();  // the write ended, nothing more to write
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RecoveryTickShow)->ArgsProduct({{100, 2000}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunInQt<QApplication>(argc, argv, app::SetUpApplication);
}
