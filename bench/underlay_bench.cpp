// Loading a 6000 by 4000 JPEG as the underlay (decode scaled in the DCT domain, fit, draw)
// against decoding it at full size and scaling it down, in the same program; the ratio of
// the two is printed at the end.
//
//   underlay_bench [benchmark options]      the timings
//   underlay_bench --peak-memory            the increase of the peak resident size while
//                                           one load runs, in a fresh process
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "editor/canvas.h"
#include "editor/underlay.h"
#include "pictures/jpeg_reader.h"
#include "pictures/picture.h"

namespace {

const QSize kSurface(394, 386);
QString g_jpegPath;

// A photo-like picture: smooth gradients with fine detail, so the file is of a usual size.
void MakeJpeg(const QString& path) {
    QImage image(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] = qRgb((x / 24) & 0xFF, (y / 16) & 0xFF, ((x ^ y) & 0x3F) + 96);
        }
    }
    if (!image.save(path, "JPG", 85)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void BM_UnderlayLoadScaledDecode(benchmark::State& state) {
    editor::Canvas canvas(kSurface);
    editor::Underlay underlay;
    underlay.setVisible(true);
    for (auto _ : state) {
        const QString error = underlay.Load(g_jpegPath, kSurface);
        if (!error.isEmpty()) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        underlay.Draw(canvas);
        benchmark::DoNotOptimize(canvas.image().constBits());
    }
}
BENCHMARK(BM_UnderlayLoadScaledDecode)->Unit(benchmark::kMillisecond);

void BM_FullDecodeThenScale(benchmark::State& state) {
    editor::Canvas canvas(kSurface);
    editor::Underlay underlay;
    underlay.setVisible(true);
    for (auto _ : state) {
        const pictures::JpegImage full = pictures::ReadJpegFull(ReadAll(g_jpegPath));
        if (!full.ok()) {
            state.SkipWithError(qPrintable(full.error));
            break;
        }
        const pictures::PictureResult fitted = pictures::Fitted(full.image, kSurface);
        underlay.setPicture(fitted.image, fitted.rect);
        underlay.Draw(canvas);
        benchmark::DoNotOptimize(canvas.image().constBits());
    }
}
BENCHMARK(BM_FullDecodeThenScale)->Unit(benchmark::kMillisecond);

// Console output as usual, and the real time of each benchmark kept (its median when
// repeated) for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") {
                continue;
            }
            times[name] = run.GetAdjustedRealTime();
        }
    }
};

long PeakKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--make-jpeg") == 0) {
        MakeJpeg(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--load-once") == 0) {
        // Everything but the load itself is in place before the first reading.
        editor::Canvas canvas(kSurface);
        editor::Underlay underlay;
        underlay.setVisible(true);
        const long before = PeakKiB();
        const QString error = underlay.Load(QString::fromLocal8Bit(argv[2]), kSurface);
        underlay.Draw(canvas);
        const long after = PeakKiB();
        std::printf("peak resident before %ld KiB, after %ld KiB, increase %.1f MB%s%s\n", before,
                    after, (after - before) / 1024.0,
                    error.isEmpty() ? "" : ", error: ", qPrintable(error));
        return error.isEmpty() ? 0 : 1;
    }
    QTemporaryDir dir;
    g_jpegPath = dir.filePath(QStringLiteral("photo-6000x4000.jpg"));
    if (argc == 2 && std::strcmp(argv[1], "--peak-memory") == 0) {
        // The file is made by one process and loaded by another, so that making it does
        // not count.
        const QString self = QCoreApplication::applicationFilePath();
        const std::string make =
            "'" + self.toStdString() + "' --make-jpeg '" + g_jpegPath.toStdString() + "'";
        const std::string load =
            "'" + self.toStdString() + "' --load-once '" + g_jpegPath.toStdString() + "'";
        if (std::system(make.c_str()) != 0) {
            return 1;
        }
        return std::system(load.c_str()) == 0 ? 0 : 1;
    }
    MakeJpeg(g_jpegPath);
    std::printf("JPEG: 6000 x 4000, %lld bytes\n",
                static_cast<long long>(QFileInfo(g_jpegPath).size()));
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto fast = reporter.times.find("BM_UnderlayLoadScaledDecode");
    const auto full = reporter.times.find("BM_FullDecodeThenScale");
    if (fast != reporter.times.end() && full != reporter.times.end() && full->second > 0) {
        std::printf("underlay load %.1f ms, full decode + scale %.1f ms, ratio %.3f\n",
                    fast->second, full->second, fast->second / full->second);
    }
    return 0;
}
