// Shows in the window: Open of LaserBoy's in.ild (73 frames, 31,622 points) and of a show of
// 1,000 frames of 500 points made here, each taken whole as the File menu's Open takes it (read,
// decoded, put in the show, the strip of frames told); and the step to the next frame of the
// long show, as Ctrl+PgDown makes it (the frame kept, the next one put in the contour,
// announced and the surface drawn again).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cmath>

#include "app/application.h"
#include "bench_support.h"
#include "formats/contour_files.h"

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

void BM_NextFrame(benchmark::State& state) {
    const QTemporaryDir dir;
    const auto windows = app::CreateWindows();
    window::TBaseForm& form = *windows->BaseForm;
    form.fileCommands().OpenContourFile(LongShow(dir));
    QAction* next = form.action(QStringLiteral("ItemFrameNext"));
    QAction* first = form.action(QStringLiteral("ItemFrameFirst"));
    for (auto _ : state) {
        if (form.editor().document().show().current() + 1 == 1000) {
            first->trigger();
        }
        next->trigger();
    }
}
BENCHMARK(BM_NextFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunInQt<QApplication>(argc, argv, app::SetUpApplication);
}
