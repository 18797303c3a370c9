// Full repaint of a full contour: the editor's own canvas against the same drawing made
// with QPainter (antialiasing off) on a QImage of the same size.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <cmath>

#include "bench_support.h"
#include "editor/editor.h"

namespace {

// An editor with the grid shown and a closed Lissajous figure of 2041 points over the whole
// surface, a few pixels apart, with a hot point every 100 points.
struct FullContour {
    bench::BenchHost host = [] {
        bench::BenchHost h;
        h.grid = true;
        return h;
    }();
    editor::EditorSettings settings;
    editor::Editor e{host, settings};

    FullContour() {
        const int n = 2041;
        for (int i = 0; i < n; ++i) {
            const double t = 2 * M_PI * (i / 10 * 10 == i ? i - 1 : i) / n;
            const int x = 192 + int(180 * std::sin(3 * t));
            const int y = 192 + int(180 * std::sin(4 * t + 0.5));
            e.WriteToBuffer(2 * i, x, y);
        }
        e.state().PointCount = n;
    }
    // The editor's full repaint, once per iteration.
    void Repaint(benchmark::State& state) {
        for (auto _ : state) {
            e.PaintPic(true, true);
            benchmark::DoNotOptimize(e.canvas().image().constBits());
        }
    }
};

void BM_PaintPicCanvas(benchmark::State& state) {
    FullContour().Repaint(state);
}
BENCHMARK(BM_PaintPicCanvas)->Unit(benchmark::kMicrosecond);

// The same contour with styles: eight colours in runs of about 255 points, and every tenth
// point of the first 2000 reached dark (200 blanked points, each breaking its colour's run).
void BM_PaintPicStyled(benchmark::State& state) {
    FullContour f;
    editor::Editor& e = f.e;
    static constexpr uint32_t kColours[8] = {0xFF0000, 0xFF8000, 0xFFFF00, 0x00FF00,
                                             0x00FFFF, 0x0000FF, 0x8000FF, 0xFFFFFF};
    const int n = e.state().PointCount;
    for (int i = 0; i < n; ++i) {
        model::PointStyle s = model::PointStyle::Colour(kColours[i * 8 / n]);
        s.blanked = i < 2000 && i % 10 == 5;
        e.contour().SetStyle(i, s);
    }
    f.Repaint(state);
}
BENCHMARK(BM_PaintPicStyled)->Unit(benchmark::kMicrosecond);

// The same picture drawn with QPainter: clear, grid, frame handles, centre marker, every
// segment and every point's circle, then the hot points.
void BM_PaintPicQPainter(benchmark::State& state) {
    FullContour f;
    const editor::Editor& e = f.e;
    QImage image(editor::kSurfaceWidth, editor::kSurfaceHeight, QImage::Format_RGB32);
    const auto& c = e.contour();
    const int n = c.State.PointCount;
    for (auto _ : state) {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(image.rect(), QColor(240, 240, 240));
        p.setPen(QColor(128, 128, 128));
        for (int i = 1; i <= 15; ++i) {
            p.drawLine(0, 24 * i, 382, 24 * i);
            p.drawLine(24 * i, 0, 24 * i, 382);
        }
        p.setPen(QColor(128, 128, 0));
        p.setBrush(QColor(128, 128, 0));
        for (int i = 0; i < 8; ++i) {
            p.drawRect(-2, -2, 5, 5);
        }
        p.setPen(Qt::white);
        p.setBrush(QColor(240, 240, 240));
        p.drawEllipse(187, 187, 9, 9);
        p.drawLine(192, 187, 192, 196);
        p.drawLine(187, 192, 196, 192);
        model::PixelPos prev = c.PointPixel(n - 1);
        const QColor line(0, 128, 0);
        const QColor dot(128, 0, 0);
        for (int i = 0; i < n; ++i) {
            const model::PixelPos pt = c.PointPixel(i);
            p.setPen(line);
            p.drawLine(prev.x, prev.y, pt.x, pt.y);
            p.setPen(dot);
            p.setBrush(dot);
            p.drawEllipse(pt.x - 2, pt.y - 2, 3, 3);
            prev = pt;
        }
        p.setPen(Qt::yellow);
        p.setBrush(Qt::yellow);
        prev = c.PointPixel(0);
        for (int i = 1; i < n; ++i) {
            const model::PixelPos pt = c.PointPixel(i);
            if (pt == prev) {
                p.drawEllipse(pt.x - 3, pt.y - 3, 5, 5);
            }
            prev = pt;
        }
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintPicQPainter)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunInQt<QGuiApplication>(argc, argv, [](QGuiApplication&) {});
}
