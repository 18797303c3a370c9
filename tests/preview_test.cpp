#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <functional>
#include <optional>

#include <QSpinBox>

#include "app/application.h"
#include "forms/preview_window.h"
#include "preview/scan_model.h"
#include "support/wait.h"
#include "window/laser_window.h"

using preview::EnergyImage;
using preview::FramesPerSecond;
using preview::FrameTimeMs;
using preview::GalvoAxis;
using preview::GalvoForRate;
using preview::RenderOptions;
using preview::ScanPoint;
using preview::ScanRenderer;

namespace {

// Points given in surface pixels, as the projector would receive them.
std::vector<ScanPoint> Points(std::initializer_list<std::pair<int, int>> pixels) {
    model::Contour c;
    int n = 0;
    for (const auto& [x, y] : pixels) {
        c.WriteToBuffer(2 * n++, x, y);
    }
    c.State.PointCount = n;
    return preview::ReadPoints(c);
}

// A run of k copies of (x, y) followed by a far point, looping back.
std::vector<ScanPoint> RunThenJump(int k, int x, int y) {
    std::vector<ScanPoint> pts = Points({{x, y}});
    std::vector<ScanPoint> run(std::size_t(k), pts[0]);
    run.push_back(Points({{300, 300}})[0]);
    return run;
}

RenderOptions Opts(bool glow = false, int size = 384) {
    RenderOptions o;
    o.size = size;
    o.glow = glow;
    return o;
}

// Picture pixel of surface pixel p in a picture of `size`.
int Pic(int p, int size = 384) {
    return int(std::floor(preview::ToPicture(p, size)));
}

}  // namespace

TEST(ScanRate, FrameRateIsTheRateOverThePointCount) {
    EXPECT_NEAR(FramesPerSecond(30000, 2041), 14.6987, 1e-4);
    EXPECT_NEAR(FrameTimeMs(30000, 2041), 68.0333, 1e-4);
    EXPECT_DOUBLE_EQ(FramesPerSecond(12000, 100), 120.0);
    EXPECT_DOUBLE_EQ(FrameTimeMs(45000, 450), 10.0);
    // Empty contour: no frames, nothing to flicker.
    EXPECT_EQ(FramesPerSecond(30000, 0), 0.0);
    EXPECT_EQ(FrameTimeMs(30000, 0), 0.0);
    EXPECT_FALSE(preview::Flickers(30000, 0));
    // 20 frames per second exactly is the threshold, not below it.
    EXPECT_FALSE(preview::Flickers(12000, 600));
    EXPECT_TRUE(preview::Flickers(12000, 601));
    EXPECT_FALSE(preview::Flickers(45000, 2041));
    EXPECT_TRUE(preview::Flickers(45000, 2251));
}

TEST(ScanRate, ReadsTheLivePointsOnlyAndLimitsABadCount) {
    model::Contour c;
    c.WriteToBuffer(0, 0, 383);
    c.WriteToBuffer(2, 192, 100);
    c.WriteToBuffer(4, 50, 50);  // past the live points
    c.State.PointCount = 2;
    const auto pts = preview::ReadPoints(c);
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_DOUBLE_EQ(pts[0].x, 0.0);
    EXPECT_DOUBLE_EQ(pts[0].y, 383.0);
    EXPECT_EQ(pts[1].px, 192);
    EXPECT_EQ(pts[1].py, 100);
    // A value between pixels keeps its fraction for the beam but the editor's pixel for runs.
    c.SetSlot(0, -2'500'000);
    EXPECT_DOUBLE_EQ(preview::ReadPoints(c)[0].x, 191.5);
    EXPECT_EQ(preview::ReadPoints(c)[0].px, 192);
    c.State.PointCount = 60000;
    EXPECT_EQ(preview::ReadPoints(c).size(), std::size_t(model::kSlotCount / 2));
    c.State.PointCount = -5;
    EXPECT_TRUE(preview::ReadPoints(c).empty());
}

TEST(ScanRate, TheOutputStreamSpansThePictureWithItsColours) {
    // The DAC's corners are the surface's; the line colour at half brightness (255 -> 128) is
    // the default colour, anything else its own, a dark sample blanked.
    const std::vector<model::stage::Sample> stream = {
        {-32767, 32767, 255, 0, 0}, {32767, -32767, 0, 128, 0}, {0, 0, 0, 0, 0}};
    const auto pts = preview::FromStream(stream, 0x00FF00, 50);
    ASSERT_EQ(pts.size(), 3u);
    EXPECT_DOUBLE_EQ(pts[0].x, 0.0);
    EXPECT_DOUBLE_EQ(pts[0].y, 0.0);
    EXPECT_EQ(pts[0].style, model::PointStyle::Colour(0xFF0000));
    EXPECT_DOUBLE_EQ(pts[1].x, 384.0);
    EXPECT_DOUBLE_EQ(pts[1].y, 384.0);
    EXPECT_TRUE(pts[1].style.IsDefault());
    EXPECT_EQ(pts[2].px, 192);
    EXPECT_EQ(pts[2].style, model::PointStyle::Dark());
}

TEST(ScanBrightness, ARunOfKEqualPointsIsKTimesASinglePoint) {
    ScanRenderer r;
    const int c = Pic(100);
    // Alone on the screen: the whole frame is the dwell.
    r.Accumulate(Points({{100, 100}}), Opts());
    const double single = r.energy().sumAround(c, c, 2);
    EXPECT_NEAR(single, 1.0, 1e-4);
    for (int k : {2, 5, 10}) {
        r.Accumulate(std::vector<ScanPoint>(std::size_t(k), Points({{100, 100}})[0]), Opts());
        EXPECT_NEAR(r.energy().sumAround(c, c, 2) / single, double(k), 1e-3) << k;
    }
    // Inside a contour: each further repeat adds one more point's worth at the spot, on top of
    // the faint ends of the segments arriving and leaving.
    r.Accumulate(RunThenJump(1, 100, 100), Opts());
    const double base = r.energy().sumAround(c, c, 2);
    for (int k : {2, 4, 9}) {
        r.Accumulate(RunThenJump(k, 100, 100), Opts());
        EXPECT_NEAR(r.energy().sumAround(c, c, 2) - base, double(k - 1), 1e-3) << k;
    }
}

TEST(ScanBrightness, ASegmentIsDimmerInProportionToItsLength) {
    // A two-point contour is crossed twice per frame: 2 / length per pixel along it.
    ScanRenderer r;
    auto lineDensity = [&r](int length) {
        r.Accumulate(Points({{50, 200}, {50 + length, 200}}), Opts());
        double column = 0;
        for (int y = 0; y < 384; ++y) {
            column += r.energy().at(Pic(50 + length / 2), y);
        }
        return column;
    };
    const double short40 = lineDensity(40);
    const double long160 = lineDensity(160);
    EXPECT_NEAR(short40, 2.0 / 40, 0.002);
    EXPECT_NEAR(short40 / long160, 4.0, 0.1);
    // Every slot's energy lands somewhere: the frame's total is the point count.
    r.Accumulate(Points({{10, 10}, {370, 20}, {200, 300}, {200, 300}}), Opts());
    EXPECT_NEAR(r.energy().total(), 4.0, 1e-3);
}

TEST(ScanBrightness, HotPointsGlowInProportionToTheirRun) {
    ScanRenderer r;
    auto glow = [&r](const std::vector<ScanPoint>& pts) {
        const double without = r.Accumulate(pts, Opts(false)).total();
        return r.Accumulate(pts, Opts(true)).total() - without;
    };
    EXPECT_NEAR(glow(RunThenJump(1, 150, 150)), 0.0, 1e-4);
    const double g3 = glow(RunThenJump(3, 150, 150));
    const double g8 = glow(RunThenJump(8, 150, 150));
    EXPECT_NEAR(g3, 3 * ScanRenderer::kGlowPerPoint, 1e-3);
    EXPECT_NEAR(g8 / g3, 8.0 / 3.0, 1e-3);
    // A run that wraps from the last point to the first is one run.
    std::vector<ScanPoint> wrap = RunThenJump(2, 150, 150);
    wrap.push_back(wrap[0]);
    wrap.push_back(wrap[0]);
    EXPECT_NEAR(glow(wrap), 4 * ScanRenderer::kGlowPerPoint, 1e-3);
}

TEST(ScanBrightness, PicturesShowTheLineColourOnBlack) {
    ScanRenderer r;
    RenderOptions o = Opts(true, 200);
    o.color = qRgb(0, 128, 0);
    const QImage img = r.Render(RunThenJump(6, 100, 100), o);
    ASSERT_EQ(img.size(), QSize(200, 200));
    EXPECT_EQ(img.pixel(5, 190), qRgb(0, 0, 0));
    // The line between the run and the far point, in the laser's hue at full strength.
    const QRgb mid = img.pixel(Pic(200, 200), Pic(200, 200));
    EXPECT_EQ(qRed(mid), 0);
    EXPECT_EQ(qBlue(mid), 0);
    EXPECT_GT(qGreen(mid), 20);
    // The hot point is bleached towards white.
    const QRgb hot = img.pixel(Pic(100, 200), Pic(100, 200));
    EXPECT_GT(qRed(hot), 100);
    EXPECT_GT(qGreen(hot), 240);
}

TEST(ScanBrightness, BlankedWaysStayDarkAndColouredWaysShowTheirColour) {
    // A square, each side the way into the corner it ends at: into 1 red, into 2 dark, into 3
    // default (the line colour), back into 0 blue. The middle of each side is read.
    std::vector<ScanPoint> square = Points({{100, 100}, {300, 100}, {300, 300}, {100, 300}});
    ScanRenderer r;
    RenderOptions o = Opts();
    o.color = qRgb(0, 128, 0);
    const QImage plain = r.Render(square, o);
    EXPECT_GT(qGreen(plain.pixel(Pic(300), Pic(200))), 20);
    square[1].style = model::PointStyle::Colour(0xFF0000);
    square[2].style = model::PointStyle::Dark();
    square[0].style = model::PointStyle::Colour(0x0000FF);
    const QImage img = r.Render(square, o);
    struct Side {
        int x, y;
        int red, green, blue;  // 1: lit in that channel, 0: none
    };
    for (const Side& side : {Side{200, 100, 1, 0, 0}, Side{300, 200, 0, 0, 0},
                             Side{200, 300, 0, 1, 0}, Side{100, 200, 0, 0, 1}}) {
        const QRgb px = img.pixel(Pic(side.x), Pic(side.y));
        EXPECT_EQ(qRed(px) > 20, side.red == 1) << side.x << "," << side.y;
        EXPECT_EQ(qRed(px) == 0, side.red == 0) << side.x << "," << side.y;
        EXPECT_EQ(qGreen(px) > 20, side.green == 1) << side.x << "," << side.y;
        EXPECT_EQ(qGreen(px) == 0, side.green == 0) << side.x << "," << side.y;
        EXPECT_EQ(qBlue(px) > 20, side.blue == 1) << side.x << "," << side.y;
        EXPECT_EQ(qBlue(px) == 0, side.blue == 0) << side.x << "," << side.y;
    }
    // One colour alone comes out as the untinted picture of that colour: the default side has
    // the plain picture's light.
    EXPECT_NEAR(qGreen(img.pixel(Pic(200), Pic(300))), qGreen(plain.pixel(Pic(200), Pic(300))), 1);
    // A hot point whose repeats are dark does not glow: it stays as faint as a plain corner.
    std::vector<ScanPoint> hot = RunThenJump(6, 100, 100);
    const QImage glowing = r.Render(hot, Opts(true));
    for (std::size_t i = 1; i < 6; ++i) {
        hot[i].style = model::PointStyle::Dark();
    }
    const QImage dark = r.Render(hot, Opts(true));
    EXPECT_GT(qRed(glowing.pixel(Pic(100), Pic(100))), 100);
    EXPECT_EQ(qRed(dark.pixel(Pic(100), Pic(100))), 0);
    EXPECT_LT(qGreen(dark.pixel(Pic(100), Pic(100))), qGreen(glowing.pixel(Pic(100), Pic(100))));
}

TEST(ScanBrightness, APointFarOffTheSurfaceIsClippedNotWrittenOutside) {
    model::Contour c;
    c.SetSlot(0, 2'000'000'000);
    c.SetSlot(1, -2'000'000'000);
    c.WriteToBuffer(2, 100, 100);
    c.State.PointCount = 2;
    ScanRenderer r;
    for (bool scanner : {false, true}) {
        RenderOptions o = Opts(true, 100);
        o.scanner = scanner;
        const double total = r.Accumulate(preview::ReadPoints(c), o).total();
        EXPECT_GT(total, 0.0);
        EXPECT_LT(total, 2.0 + 2 * ScanRenderer::kGlowPerPoint);
    }
}

TEST(Galvanometer, StepResponseOvershootsAndSettlesAsItsDampingSays) {
    for (int rate : preview::kScanRates) {
        const auto g = GalvoForRate(rate);
        EXPECT_NEAR(g.omega, 2 * M_PI * rate / 12.0, 1e-9);
        const double zeta = g.zeta;
        const double dt = 1.0 / rate / g.substeps;
        GalvoAxis axis;
        double peak = 0;
        int peakSlot = 0;
        int lastOutside = 0;  // last slot that ended outside 2 % of the target
        double afterOneSlot = 0;
        for (int slot = 1; slot <= 60; ++slot) {
            for (int j = 0; j < g.substeps; ++j) {
                axis.step(1.0, g.omega, zeta, dt);
            }
            if (slot == 1) {
                afterOneSlot = axis.pos;
            }
            if (axis.pos > peak) {
                peak = axis.pos;
                peakSlot = slot;
            }
            if (std::abs(axis.pos - 1) > 0.02) {
                lastOutside = slot;
            }
        }
        const double expected = std::exp(-M_PI * zeta / std::sqrt(1 - zeta * zeta));
        EXPECT_NEAR(peak - 1, expected, 0.01) << rate;
        EXPECT_GT(peak - 1, 0.05) << rate;  // a visible overshoot at the corners
        // Peak at pi / (w sqrt(1 - z^2)): 7.5 slots, whatever the rate.
        EXPECT_NEAR(peakSlot, 7.5, 1.0) << rate;
        // Settling within 2 % takes about 4 / (z w): 12.7 slots.
        EXPECT_GE(lastOutside, 8) << rate;
        EXPECT_LE(lastOutside, 14) << rate;
        // One slot is far too short to reach the next point: corners are rounded.
        EXPECT_LT(afterOneSlot, 0.3) << rate;
        EXPECT_NEAR(axis.pos, 1.0, 1e-3) << rate;
        EXPECT_NEAR(axis.vel * dt, 0.0, 1e-6) << rate;
    }
}

TEST(Galvanometer, PathRoundsCornersOvershootsAndReachesDwelledPoints) {
    // A square with each corner held for 20 slots.
    std::vector<ScanPoint> square;
    for (const auto& corner : {std::pair{100, 100}, {300, 100}, {300, 300}, {100, 300}}) {
        for (int i = 0; i < 20; ++i) {
            square.push_back(Points({corner})[0]);
        }
    }
    const auto path = preview::GalvoPath(square, 30000);
    const int sub = GalvoForRate(30000).substeps;
    ASSERT_EQ(path.size(), square.size() * std::size_t(sub));
    double minX = 1e9;
    double maxX = -1e9;
    for (const ScanPoint& p : path) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
    }
    // Past the square on both sides by about the overshoot of a 200-pixel step.
    EXPECT_GT(maxX, 300 + 10);
    EXPECT_LT(maxX, 300 + 30);
    EXPECT_LT(minX, 100 - 10);
    // At the end of each dwell the mirrors have settled on the corner.
    for (int c = 0; c < 4; ++c) {
        const ScanPoint& end = path[std::size_t((20 * c + 19) * sub)];
        EXPECT_NEAR(end.x, square[std::size_t(20 * c)].x, 1.0) << c;
        EXPECT_NEAR(end.y, square[std::size_t(20 * c)].y, 1.0) << c;
    }
    // The periodic frame starts where the last one ended: near the last corner.
    EXPECT_NEAR(path[0].x, 100.0, 1.0);
    EXPECT_NEAR(path[0].y, 300.0, 1.0);
    // Even the hardest stream (corner to corner every slot at the top rate) stays bounded.
    std::vector<ScanPoint> zigzag;
    for (int i = 0; i < 2041; ++i) {
        zigzag.push_back(Points({i % 2 == 0 ? std::pair{0, 0} : std::pair{383, 383}})[0]);
    }
    for (const ScanPoint& p : preview::GalvoPath(zigzag, 45000)) {
        ASSERT_TRUE(p.x > -200 && p.x < 600);
    }
}

// ---- The window ----

namespace {

// A change of the output settings, made as the windows make it: announced at once.
template <typename Change>
void SetStage(editor::Editor& e, Change change) {
    model::stage::Settings s = e.document().output().get();
    change(s);
    e.document().output().set(s);
}

struct PreviewWindow {
    std::unique_ptr<app::Windows> w = app::CreateWindows();
    window::TBaseForm& form = *w->BaseForm;
    editor::Editor& editor = form.editor();
    forms::TPreviewForm* open() {
        QTest::mouseClick(form.button(QStringLiteral("SpeedButtonPreview")), Qt::LeftButton);
        return form.findChild<forms::TPreviewForm*>(QStringLiteral("PreviewForm"));
    }
    static QString text(forms::TPreviewForm* p, const char* label) {
        return p->findChild<QLabel*>(QString::fromUtf8(label))->text();
    }
    // Light at surface pixel (x, y) in the preview's picture.
    static QRgb at(forms::TPreviewForm* p, int x, int y) {
        const int size = p->picture().width();
        return p->picture().pixel(Pic(x, size), Pic(y, size));
    }
};

}  // namespace

TEST(PreviewWindow, OpensFromTheToolbarAndTheEditMenuWithoutBlocking) {
    PreviewWindow w;
    EXPECT_EQ(w.form.findChild<forms::TPreviewForm*>(), nullptr);
    widgets::SpeedButton* b = w.form.button(QStringLiteral("SpeedButtonPreview"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->toolTip(), QStringLiteral("Просмотр лазера"));
    EXPECT_EQ(b->geometry(), QRect(426, 3, 23, 23));
    // It fits the toolbar and overlaps no other button.
    EXPECT_LE(b->geometry().right(), window::kClientWidth - 1);
    for (auto* other : b->parentWidget()->findChildren<widgets::SpeedButton*>()) {
        if (other != b) {
            EXPECT_FALSE(other->geometry().intersects(b->geometry()))
                << other->objectName().toStdString();
        }
    }
    forms::TPreviewForm* p = w.open();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->isVisible());
    EXPECT_FALSE(p->isModal());
    EXPECT_TRUE(p->isWindow());
    EXPECT_EQ(p->windowTitle(), QStringLiteral("Preview"));
    EXPECT_FALSE(p->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_TRUE(p->frameTimer().isActive());
    // Closing only hides it; the menu item brings back the same window.
    p->close();
    EXPECT_FALSE(p->isVisible());
    EXPECT_FALSE(p->frameTimer().isActive());
    auto* edit = w.form.menuBar()->findChild<QMenu*>(QStringLiteral("EditMainMenu"));
    // The preview's item first, then tracing's, the text's, the laser output's and the pen's
    // blanked jumps.
    ASSERT_EQ(edit->actions().size(), 5);
    EXPECT_EQ(edit->actions()[0]->text(), QStringLiteral("Просмотр лазера"));
    EXPECT_EQ(edit->actions()[1]->objectName(), QStringLiteral("ItemTrace"));
    EXPECT_EQ(edit->actions()[2]->objectName(), QStringLiteral("ItemText"));
    EXPECT_EQ(edit->actions()[3]->objectName(), QStringLiteral("LaserItem"));
    EXPECT_EQ(edit->actions()[4]->objectName(), QStringLiteral("ItemBlankPenJumps"));
    edit->actions()[0]->trigger();
    EXPECT_TRUE(p->isVisible());
    EXPECT_EQ(w.form.findChildren<forms::TPreviewForm*>().size(), 1);
}

TEST(PreviewWindow, FollowsAnEditMadeThroughTheSurface) {
    PreviewWindow w;
    w.form.show();
    forms::TPreviewForm* p = w.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(p));
    // An empty contour: one dark point at the centre, sent over and over.
    EXPECT_EQ(PreviewWindow::text(p, "LabelPoints"), QStringLiteral("Точек: 0, в кадре: 1"));
    EXPECT_EQ(PreviewWindow::at(p, 200, 100), qRgb(0, 0, 0));

    // A pen stroke along y = 100.
    QTest::mouseClick(w.form.button(QStringLiteral("SpeedButtonPen")), Qt::LeftButton);
    w.editor.PaintBoxVardeniMouseDown(editor::MouseButton::Left, 100, 100);
    for (int x = 110; x <= 300; x += 10) {
        w.editor.PaintBoxVardeniMouseMove(x, 100);
    }
    w.editor.PaintBoxVardeniMouseUp(editor::MouseButton::Left, 300, 100);
    const int n = w.editor.state().PointCount;
    ASSERT_GT(n, 5);
    // Each step of the stroke was announced and rendered as it ended.
    ASSERT_EQ(p->contourPoints(), n);
    EXPECT_TRUE(PreviewWindow::text(p, "LabelPoints")
                    .startsWith(QStringLiteral("Точек: %1, в кадре: ").arg(n)));
    EXPECT_GT(qGreen(PreviewWindow::at(p, 200, 100)), 20);
    EXPECT_EQ(PreviewWindow::at(p, 200, 250), qRgb(0, 0, 0));

    // Nothing changed: the ticks render nothing.
    const int renders = p->renderCount();
    QTest::qWait(100);
    EXPECT_EQ(p->renderCount(), renders);

    // Moving a point (same count) and undo are followed as well.
    const QImage stroke = p->picture();
    w.editor.contour().WriteToBuffer(0, 100, 250);
    w.editor.document().Settle();
    EXPECT_NE(p->picture(), stroke);
    EXPECT_EQ(PreviewWindow::at(p, 105, 100), qRgb(0, 0, 0));
    QTest::mouseClick(w.form.button(QStringLiteral("SpeedButtonUndo")), Qt::LeftButton);
    EXPECT_EQ(p->contourPoints(), 0);
    EXPECT_EQ(PreviewWindow::at(p, 200, 100), qRgb(0, 0, 0));
}

TEST(PreviewWindow, RateIsTheOutputsAndTheReadoutsCountTheFrameSent) {
    PreviewWindow w;
    forms::TPreviewForm* p = w.open();
    auto* rate = p->findChild<QComboBox*>(QStringLiteral("ComboBoxScanRate"));
    ASSERT_EQ(rate->count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rate->itemData(i).toInt(), preview::kScanRates[std::size_t(i)]);
    }
    EXPECT_EQ(p->scanRate(), 30000);
    EXPECT_EQ(rate->currentData().toInt(), 30000);

    // 2041 points along y = 100 from x = 10 to 350, six to a pixel: no corners, so the frame
    // is the dark way back (4 waiting, 15 steps of at most 4000 across the 58,026 units
    // from 26,965 to -31,061, 4 waiting) and the 2041 points: 2064 points, 14.5 frames per
    // second at 30,000, below the flicker threshold.
    for (int i = 0; i < 2041; ++i) {
        w.editor.FillBuffer(10 + i / 6, 100);
    }
    EXPECT_TRUE(p->Refresh());
    EXPECT_EQ(p->stream().size(), 2064u);
    EXPECT_EQ(PreviewWindow::text(p, "LabelPoints"), QStringLiteral("Точек: 2041, в кадре: 2064"));
    EXPECT_EQ(PreviewWindow::text(p, "LabelFps"), QStringLiteral("Кадров в секунду: 14.5"));
    EXPECT_EQ(PreviewWindow::text(p, "LabelFrameTime"), QStringLiteral("Время кадра: 68.8 мс"));
    auto* fps = p->findChild<QLabel*>(QStringLiteral("LabelFps"));
    EXPECT_EQ(fps->palette().color(QPalette::WindowText).rgb(), forms::kFlickerWarning);

    // The first 1000 points (the last at x = 176, 8 steps back) at a faster scan: 1016
    // points, 44.3 frames per second, no warning. The choice is the output's rate.
    w.editor.state().PointCount = 1000;
    rate->setCurrentIndex(3);
    EXPECT_EQ(w.editor.document().output().get().pointRate, 45000);
    EXPECT_FALSE(p->Refresh());  // the choice has already rendered
    EXPECT_EQ(PreviewWindow::text(p, "LabelPoints"), QStringLiteral("Точек: 1000, в кадре: 1016"));
    EXPECT_EQ(PreviewWindow::text(p, "LabelFps"), QStringLiteral("Кадров в секунду: 44.3"));
    EXPECT_EQ(PreviewWindow::text(p, "LabelFrameTime"), QStringLiteral("Время кадра: 22.6 мс"));
    EXPECT_NE(fps->palette().color(QPalette::WindowText).rgb(), forms::kFlickerWarning);

    // The Лазер window shows the same rate, and a rate set there joins the list in its place.
    w.form.button(QStringLiteral("SpeedButtonLaser"))->click();
    auto* laserRate = w.form.laserWindow()->findChild<QSpinBox*>(QStringLiteral("LaserRate"));
    EXPECT_EQ(laserRate->value(), 45000);
    laserRate->setValue(25000);
    EXPECT_EQ(w.editor.document().output().get().pointRate, 25000);
    ASSERT_EQ(rate->count(), 5);
    EXPECT_EQ(rate->itemData(2).toInt(), 25000);
    EXPECT_EQ(rate->currentIndex(), 2);
    EXPECT_EQ(PreviewWindow::text(p, "LabelFrameTime"), QStringLiteral("Время кадра: 40.6 мс"));
    // And the preview's choice goes back there.
    rate->setCurrentIndex(0);
    ASSERT_TRUE(testing_support::WaitUntil([&] { return laserRate->value() == 12000; }));
}

// The Лазер window's zone and brightness move and dim the light in the preview, as they do the
// beam. A stroke along y = 100 from x = 100 to 300, the centre at 192.
TEST(PreviewWindow, TheOutputsZoneAndBrightnessShowInThePicture) {
    struct Row {
        const char* what;
        std::function<void(model::stage::Settings&)> set;
        std::optional<QPoint> lit;  // lit after the change (a surface pixel)
        QPoint dark;                // lit before the change, dark after it
    };
    const std::vector<Row> rows = {
        {"flipped in x: from 84 to 284",
         [](auto& s) { s.zone.flipX = true; },
         QPoint(90, 100),
         {290, 100}},
        {"half size: from 146 to 246 at y = 146",
         [](auto& s) { s.zone.sizePercent = 50; },
         QPoint(200, 146),
         {200, 100}},
        {"a quarter turn: at x = 100 from y = 84 to 284",
         [](auto& s) { s.zone.quarterTurns = 1; },
         QPoint(100, 200),
         {250, 100}},
        {"brightness 0: nothing lit", [](auto& s) { s.brightnessPercent = 0; }, {}, {200, 100}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        PreviewWindow w;
        forms::TPreviewForm* p = w.open();
        for (int x = 100; x <= 300; x += 20) {
            w.editor.FillBuffer(x, 100);
        }
        p->Refresh();
        ASSERT_GT(qGreen(PreviewWindow::at(p, r.dark.x(), r.dark.y())), 20);
        SetStage(w.editor, r.set);
        EXPECT_EQ(PreviewWindow::at(p, r.dark.x(), r.dark.y()), qRgb(0, 0, 0));
        if (r.lit) {
            EXPECT_GT(qGreen(PreviewWindow::at(p, r.lit->x(), r.lit->y())), 20);
        }
    }
}

TEST(PreviewWindow, ScannerOptionColourAndSizeReRender) {
    PreviewWindow w;
    forms::TPreviewForm* p = w.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(p));
    // A square traced point by point, one point per corner, sent without waiting at corners.
    for (const auto& [x, y] : {std::pair{80, 80}, {300, 80}, {300, 300}, {80, 300}}) {
        w.editor.FillBuffer(x, y);
    }
    SetStage(w.editor, [](auto& s) { s.cornerDwell = 0; });
    p->Refresh();
    auto* scanner = p->findChild<QCheckBox*>(QStringLiteral("CheckBoxScanner"));
    ASSERT_NE(scanner, nullptr);
    EXPECT_FALSE(p->scannerModel());
    const QImage ideal = p->picture();
    // The ideal path reaches the corner; the scanner, with one slot per corner, never gets there.
    EXPECT_GT(qGreen(PreviewWindow::at(p, 300, 80)), 5);
    const int before = p->renderCount();
    scanner->setChecked(true);
    EXPECT_EQ(p->renderCount(), before + 1);
    EXPECT_NE(p->picture(), ideal);
    EXPECT_EQ(PreviewWindow::at(p, 300, 80), qRgb(0, 0, 0));
    EXPECT_EQ(PreviewWindow::at(p, 190, 80), qRgb(0, 0, 0));
    scanner->setChecked(false);
    EXPECT_EQ(p->picture(), ideal);
    // Three more points at each corner, as the output sends by default: the mirrors get there.
    scanner->setChecked(true);
    SetStage(w.editor, [](auto& s) { s.cornerDwell = 3; });
    EXPECT_GT(qGreen(PreviewWindow::at(p, 300, 80)), 5);
    scanner->setChecked(false);

    // Points without a colour of their own are drawn in the output's colour for them, full
    // green at first, not in the display's line colour.
    EXPECT_EQ(qRed(PreviewWindow::at(p, 190, 80)), 0);
    EXPECT_GT(qGreen(PreviewWindow::at(p, 190, 80)), 10);
    w.editor.settings().ColorBoxLine = editor::clRed;
    w.editor.document().Settle();
    EXPECT_EQ(qRed(PreviewWindow::at(p, 190, 80)), 0);
    SetStage(w.editor, [](auto& s) { s.defaultColour = 0xFF0000; });
    EXPECT_GT(qRed(PreviewWindow::at(p, 190, 80)), 10);
    EXPECT_EQ(qGreen(PreviewWindow::at(p, 190, 80)), 0);

    // The picture is a square at the view's own size.
    p->resize(700, 500);
    ASSERT_TRUE(
        testing_support::WaitUntil([&] { return p->picture().width() == p->view()->side(); }));
    EXPECT_GT(p->picture().width(), 400);
    EXPECT_EQ(p->picture().height(), p->picture().width());
    EXPECT_EQ(p->view()->side(), std::min(p->view()->width(), p->view()->height()));
}

TEST(PreviewWindow, FollowsTheBlankingToolAndLeavesTheBlankedWaysDark) {
    PreviewWindow w;
    forms::TPreviewForm* p = w.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(p));
    // A pen stroke along y = 100: points every 20 pixels from x = 100 to 300.
    QTest::mouseClick(w.form.button(QStringLiteral("SpeedButtonPen")), Qt::LeftButton);
    w.editor.PaintBoxVardeniMouseDown(editor::MouseButton::Left, 100, 100);
    for (int x = 110; x <= 300; x += 10) {
        w.editor.PaintBoxVardeniMouseMove(x, 100);
    }
    w.editor.PaintBoxVardeniMouseUp(editor::MouseButton::Left, 300, 100);
    ASSERT_EQ(w.editor.state().PointCount, 11);
    ASSERT_TRUE(testing_support::WaitUntil([&] { return p->contourPoints() == 11; }));
    EXPECT_GT(qGreen(PreviewWindow::at(p, 190, 100)), 20);
    // Blanking the way back into the first point and the way into the point at x = 200:
    // nothing lights (190, 100) any more, the rest of the line stays.
    QTest::mouseClick(w.form.button(QStringLiteral("SpeedButtonBlank")), Qt::LeftButton);
    for (int x : {100, 200}) {
        w.editor.PaintBoxVardeniMouseDown(editor::MouseButton::Left, x, 100);
        w.editor.PaintBoxVardeniMouseUp(editor::MouseButton::Left, x, 100);
    }
    ASSERT_TRUE(testing_support::WaitUntil(
        [&] { return PreviewWindow::at(p, 190, 100) == qRgb(0, 0, 0); }));
    EXPECT_GT(qGreen(PreviewWindow::at(p, 230, 100)), 20);
}

TEST(PreviewWindow, ClosingTheMainWindowStillEndsTheProgram) {
    PreviewWindow w;
    w.form.show();
    forms::TPreviewForm* p = w.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(p));
    // The program's own loop: closing the main window must end it although the preview is
    // still open. A guard ends it after two seconds if it does not.
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    bool guardFired = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&guardFired] {
        guardFired = true;
        QCoreApplication::quit();
    });
    guard.start(2000);
    QTimer::singleShot(0, &w.form, [&w] { w.form.close(); });
    QApplication::exec();
    EXPECT_FALSE(guardFired);
    EXPECT_EQ(lastClosed.count(), 1);
}
