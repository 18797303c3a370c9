// Tracing the underlay in the running main window: the dialog, its preview and what OK and
// Cancel leave in the contour.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <cmath>
#include <functional>
#include <map>

#include "app/application.h"
#include "support/modal.h"
#include "support/wait.h"
#include "window/status_bar.h"
#include "window/trace_commands.h"

using window::TBaseForm;
using window::TraceDialog;

namespace {

constexpr int32_t kMarker = 7777;

struct Window {
    std::unique_ptr<app::Windows> w = app::CreateWindows();
    TBaseForm& form = *w->BaseForm;
    editor::Editor& editor = form.editor();
    model::Contour& contour = editor.contour();

    Window() {
        // Five points, and a marker in every slot, so that what OK writes can be told apart.
        contour.Buffer.fill(kMarker);
        contour.State.PointCount = 5;
        // A 386 x 386 picture drawn one to one at (4, 0): a black square from 100 to 300.
        QImage picture(386, 386, QImage::Format_ARGB32);
        picture.fill(Qt::white);
        QPainter(&picture).fillRect(100, 100, 200, 200, Qt::black);
        editor.underlay().setPicture(picture, QRect(4, 0, 386, 386));
        editor.underlay().setVisible(false);
    }

    // Runs the command from the menu item or the toolbar button; `inDialog` acts on the open
    // dialog, which is closed afterwards if it is still open, whatever failed in it.
    void trace(const std::function<void(TraceDialog&)>& inDialog, bool button = false) {
        bool ran = false;
        testing_support::WhenModal<TraceDialog>(inDialog, &ran);
        if (button) {
            form.button(QStringLiteral("SpeedButtonTrace"))->click();
        } else {
            form.action(QStringLiteral("ItemTrace"))->trigger();
        }
        EXPECT_TRUE(ran);
    }
    template <typename T>
    static T* child(TraceDialog& d, const char* name) {
        return d.findChild<T*>(QString::fromUtf8(name));
    }
};

double ToPixel(int32_t unit) {
    return unit / 5e6 + 192;
}

// How far a surface position is from the nearest side of the square drawn from 100 to 300 at
// (4, 0): 103.5 .. 303.5 across and 99.5 .. 299.5 down, in pixel positions.
double OffTheSquare(double x, double y) {
    return std::min(std::min(std::abs(x - 103.5), std::abs(x - 303.5)),
                    std::min(std::abs(y - 99.5), std::abs(y - 299.5)));
}

}  // namespace

// OK: the underlay is shown, the preview follows the dialog, the square's outline replaces the
// contour at the pen's spacing, the slots past it keep what they held, and Undo brings the
// old contour back.
TEST(TraceCommand, OkPutsTheOutlineInPlaceAndUndoBringsTheOldContourBack) {
    Window w;
    w.editor.settings().ScrollBarFriqPoints = 10;
    w.trace([&](TraceDialog& d) {
        EXPECT_TRUE(w.editor.underlay().visible());
        EXPECT_TRUE(w.form.button(QStringLiteral("SpeedButtonPictureON"))->isDown());
        EXPECT_EQ(Window::child<QSpinBox>(d, "TraceSpacing")->value(), 10);
        // The preview, drawn through pixel centres, lies on the square's edge: the traced
        // outline is where the pixels change, not through the centres of the edge pixels.
        const QPolygonF& preview = w.form.surface()->overlay();
        ASSERT_GT(preview.size(), 4);
        for (const QPointF& p : preview) {
            EXPECT_LE(OffTheSquare(p.x() - 0.5, p.y() - 0.5), 0.01);
        }
        EXPECT_EQ(w.contour.State.PointCount, 5);  // nothing written before OK
        QTest::keyClick(&d, Qt::Key_Return);
    });
    EXPECT_TRUE(w.form.surface()->overlay().isEmpty());

    // 4 sides of 200 pixels in 20 steps, and the closing point.
    const int n = w.contour.State.PointCount;
    ASSERT_EQ(n, 81);
    for (int i = 0; i < n; ++i) {
        const double x = ToPixel(w.contour.Buffer[std::size_t(2 * i)]);
        const double y = ToPixel(w.contour.Buffer[std::size_t(2 * i + 1)]);
        EXPECT_LE(OffTheSquare(x, y), 0.01) << i;
        if (i > 0) {
            EXPECT_LE(std::hypot(x - ToPixel(w.contour.Buffer[std::size_t(2 * i - 2)]),
                                 y - ToPixel(w.contour.Buffer[std::size_t(2 * i - 1)])),
                      10.0 + 1e-6);
        }
    }
    EXPECT_EQ(w.contour.Buffer[std::size_t(2 * n)], kMarker);
    EXPECT_EQ(w.contour.Buffer[4100], kMarker);
    EXPECT_EQ(w.form.statusPanels()->panelText(2), QStringLiteral("Leng: 81"));

    w.form.button(QStringLiteral("SpeedButtonUndo"))->click();
    EXPECT_EQ(w.contour.State.PointCount, 5);
    EXPECT_EQ(w.contour.Buffer[0], kMarker);
}

// Cancel (Escape) changes nothing; a spacing that would need more than 2041 points is refused
// with an offer of one that fits, and taking the offer makes OK possible again.
TEST(TraceCommand, CancelChangesNothingAndTooManyPointsOffersASpacingThatFits) {
    Window w;
    // Twenty bars, whose outlines need about 16,000 points at a spacing of one pixel.
    QImage bars(386, 386, QImage::Format_ARGB32);
    bars.fill(Qt::white);
    QPainter p(&bars);
    for (int i = 0; i < 20; ++i) {
        p.fillRect(3, 5 + i * 19, 380, 9, Qt::black);
    }
    p.end();
    w.editor.underlay().setPicture(bars, QRect(4, 0, 386, 386));
    w.trace([&](TraceDialog& d) {
        auto* spacing = Window::child<QSpinBox>(d, "TraceSpacing");
        auto* fit = Window::child<QPushButton>(d, "TraceFit");
        spacing->setValue(1);
        ASSERT_TRUE(testing_support::WaitUntil([&] { return fit->isVisible(); }));
        EXPECT_TRUE(
            Window::child<QLabel>(d, "TraceWarning")->text().contains(QStringLiteral("2041")));
        auto* ok = Window::child<QPushButton>(d, "TraceOk");
        EXPECT_FALSE(ok->isEnabled());
        fit->click();
        ASSERT_TRUE(testing_support::WaitUntil([&] { return ok->isEnabled(); }));
        EXPECT_GT(spacing->value(), 1);
        EXPECT_FALSE(fit->isVisible());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(w.contour.State.PointCount, 5);
    EXPECT_EQ(w.contour.Buffer[0], kMarker);
    EXPECT_TRUE(w.form.surface()->overlay().isEmpty());
}

// A value typed and Enter pressed in one burst: OK applies the trace of the value shown, not
// the one traced a moment before.
TEST(TraceCommand, OkRightAfterAChangeAppliesTheValuesShown) {
    Window w;
    w.editor.settings().ScrollBarFriqPoints = 10;
    w.trace([&](TraceDialog& d) {
        auto* spacing = Window::child<QSpinBox>(d, "TraceSpacing");
        spacing->setFocus();
        spacing->selectAll();
        QTest::keyClicks(spacing, QStringLiteral("20"));
        QTest::keyClick(spacing, Qt::Key_Return);
        EXPECT_FALSE(d.isVisible());
    });
    // 4 sides of 200 pixels in 10 steps, and the closing point.
    EXPECT_EQ(w.contour.State.PointCount, 41);
}

namespace {

// A picture with a known answer for each control, drawn one to one at (4, 0): a dark grey
// square A (60), a mid grey square B (160), a black speck C of 4 by 4, a black bar D of
// 200 by 9, two black squares E with a one-pixel gap, and a black disc F of radius 30.
QImage ControlsPicture() {
    QImage picture(386, 386, QImage::Format_ARGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.fillRect(40, 40, 100, 100, QColor(60, 60, 60));
    p.fillRect(220, 40, 100, 100, QColor(160, 160, 160));
    p.fillRect(60, 250, 4, 4, Qt::black);
    p.fillRect(100, 330, 200, 9, Qt::black);
    p.fillRect(250, 220, 30, 30, Qt::black);
    p.fillRect(281, 220, 30, 30, Qt::black);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(150, 230), 30, 30);
    return picture;
}

// How many contour points lie within a pixel and a half of the segment (surface pixels).
int PointsNear(const model::Contour& c, QLineF along) {
    int n = 0;
    for (int i = 0; i < c.State.PointCount; ++i) {
        const QPointF p(ToPixel(c.Buffer[std::size_t(2 * i)]),
                        ToPixel(c.Buffer[std::size_t(2 * i + 1)]));
        const QPointF d = along.p2() - along.p1();
        const double t = std::clamp(
            QPointF::dotProduct(p - along.p1(), d) / QPointF::dotProduct(d, d), 0.0, 1.0);
        if (QLineF(p, along.p1() + t * d).length() <= 1.5) {
            ++n;
        }
    }
    return n;
}

}  // namespace

// Each control of the dialog changes the contour that OK applies the way its label says.
TEST(TraceCommand, EachControlDoesWhatItsLabelSays) {
    // Features as surface positions (the picture lies at (4, 0)): a side of each square, the
    // speck, the bar's edge and its middle, the gap between the two squares, the picture's
    // left edge.
    const QLineF sideA(43.5, 60, 43.5, 120), sideB(223.5, 60, 223.5, 120);
    const QLineF speck(63.5, 249.5, 67.5, 249.5), gap(284.5, 225, 284.5, 245);
    const QLineF barEdge(130, 329.5, 270, 329.5), barMiddle(130, 334, 270, 334);
    const QLineF pictureEdge(3.5, 100, 3.5, 300);
    struct Row {
        const char* what;
        int mode;  // 0 outline, 1 edges, 2 centre line
        int threshold;
        bool invert;
        double smoothing, minLength, tolerance;
        std::vector<std::pair<QLineF, bool>> traced;  // feature, whether the contour follows it
    };
    const std::vector<Row> rows = {
        {"threshold 100: the dark grey only",
         0,
         100,
         false,
         0,
         2,
         0.5,
         {{sideA, true}, {sideB, false}, {speck, true}, {gap, true}, {pictureEdge, false}}},
        {"threshold 200: the mid grey too",
         0,
         200,
         false,
         0,
         2,
         0.5,
         {{sideA, true}, {sideB, true}, {barEdge, true}, {barMiddle, false}}},
        {"inverted: the light side, out to the picture's edge",
         0,
         100,
         true,
         0,
         2,
         0.5,
         {{sideA, true}, {sideB, false}, {pictureEdge, true}}},
        {"smoothing closes the one-pixel gap",
         0,
         128,
         false,
         3,
         2,
         0.5,
         {{sideA, true}, {gap, false}}},
        {"a longer minimum drops the speck",
         0,
         128,
         false,
         0,
         20,
         0.5,
         {{sideA, true}, {speck, false}, {gap, true}}},
        {"edges follow the change of brightness",
         1,
         128,
         false,
         0,
         2,
         0.5,
         {{sideA, true}, {sideB, true}}},
        {"the centre line runs down the middle of the bar",
         2,
         128,
         false,
         0,
         2,
         0.5,
         {{barMiddle, true}, {barEdge, false}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Window w;
        w.editor.settings().ScrollBarFriqPoints = 3;
        w.editor.underlay().setPicture(ControlsPicture(), QRect(4, 0, 386, 386));
        w.trace(
            [&](TraceDialog& d) {
                Window::child<QComboBox>(d, "TraceMode")->setCurrentIndex(r.mode);
                Window::child<QSpinBox>(d, "TraceThreshold")->setValue(r.threshold);
                Window::child<QCheckBox>(d, "TraceInvert")->setChecked(r.invert);
                Window::child<QDoubleSpinBox>(d, "TraceSmoothing")->setValue(r.smoothing);
                Window::child<QSpinBox>(d, "TraceMinLength")->setValue(int(r.minLength));
                Window::child<QDoubleSpinBox>(d, "TraceTolerance")->setValue(r.tolerance);
                Window::child<QSpinBox>(d, "TraceSpacing")->setValue(3);
                Window::child<QPushButton>(d, "TraceOk")->click();
            },
            r.mode == 1);  // one row through the toolbar button
        ASSERT_NE(w.contour.State.PointCount, 5) << "nothing applied";
        for (const auto& [feature, followed] : r.traced) {
            // Along 60 pixels at a spacing of 3: some 20 points when followed.
            const int n = PointsNear(w.contour, feature);
            EXPECT_EQ(n >= feature.length() / 3 * 0.7, followed)
                << n << " points near (" << feature.x1() << ", " << feature.y1() << ")";
        }
    }
}

// The tolerance is how far the simplified outline may leave the traced one: at 5 the disc's
// points leave its circle by pixels more than at 0.1, and by no more than 5 and the pixel
// that tracing itself may be off.
TEST(TraceCommand, TheToleranceBoundsHowFarTheOutlineLeavesTheShape) {
    std::map<double, double> most;
    for (const double tolerance : {0.1, 5.0}) {
        Window w;
        w.editor.settings().ScrollBarFriqPoints = 2;
        QImage picture(386, 386, QImage::Format_ARGB32);
        picture.fill(Qt::white);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(193, 193), 60, 60);
        p.end();
        w.editor.underlay().setPicture(picture, QRect(4, 0, 386, 386));
        w.trace([&](TraceDialog& d) {
            Window::child<QDoubleSpinBox>(d, "TraceTolerance")->setValue(tolerance);
            Window::child<QPushButton>(d, "TraceOk")->click();
        });
        for (int i = 0; i < w.contour.State.PointCount; ++i) {
            // The disc's centre is at (197, 193) on the surface.
            most[tolerance] =
                std::max(most[tolerance],
                         std::abs(std::hypot(ToPixel(w.contour.Buffer[size_t(2 * i)]) - 197,
                                             ToPixel(w.contour.Buffer[size_t(2 * i + 1)]) - 193) -
                                  60));
        }
    }
    EXPECT_LT(most[0.1], 2.0);
    EXPECT_GT(most[5.0], most[0.1] + 1.0);
    EXPECT_LT(most[5.0], 5.0 + 2.0);
}

// Otsu's threshold worked by hand: half the picture black, a quarter grey 100, a quarter
// white. Splitting {0} from {100, 255} gives a between-class variance of
// 0.5 * 0.5 * 177.5^2 = 7877; splitting {0, 100} from {255} gives 0.75 * 0.25 * 221.7^2 =
// 9213, the larger: the grey is drawn with the black. The warnings of a picture with nothing
// to trace and of one that fits at no spacing are shown, and OK stays off.
TEST(TraceCommand, OtsusThresholdAndTheWarningsAreShown) {
    Window w;
    QImage levels(386, 386, QImage::Format_ARGB32);
    levels.fill(Qt::white);
    QPainter(&levels).fillRect(0, 0, 386, 193, Qt::black);
    QPainter(&levels).fillRect(0, 193, 193, 193, QColor(100, 100, 100));
    w.editor.underlay().setPicture(levels, QRect(4, 0, 386, 386));
    w.trace([&](TraceDialog& d) {
        const int t = Window::child<QSpinBox>(d, "TraceThreshold")->value();
        EXPECT_GT(t, 100);
        EXPECT_LE(t, 255);
    });

    QImage white(386, 386, QImage::Format_ARGB32);
    white.fill(Qt::white);
    w.editor.underlay().setPicture(white, QRect(4, 0, 386, 386));
    w.trace([&](TraceDialog& d) {
        EXPECT_EQ(Window::child<QLabel>(d, "TraceWarning")->text(),
                  QStringLiteral("Ничего не найдено: измените порог или режим."));
        EXPECT_FALSE(Window::child<QPushButton>(d, "TraceOk")->isEnabled());
    });

    // 625 specks: five points each at least, whatever the spacing.
    QImage specks(386, 386, QImage::Format_ARGB32);
    specks.fill(Qt::white);
    QPainter p(&specks);
    for (int i = 0; i < 25; ++i) {
        for (int j = 0; j < 25; ++j) {
            p.fillRect(5 + 15 * i, 5 + 15 * j, 5, 5, Qt::black);
        }
    }
    p.end();
    w.editor.underlay().setPicture(specks, QRect(4, 0, 386, 386));
    w.trace([&](TraceDialog& d) {
        Window::child<QSpinBox>(d, "TraceSpacing")->setValue(30);
        Window::child<QPushButton>(d, "TraceOk")->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(
            Window::child<QLabel>(d, "TraceWarning")->text(),
            QStringLiteral("Не помещается даже при шаге 30: увеличьте мин. длину или допуск."));
        EXPECT_FALSE(Window::child<QPushButton>(d, "TraceFit")->isVisible());
    });
    EXPECT_EQ(w.contour.State.PointCount, 5);
}

// The preview draws a jump as the surface draws one after OK: dotted, one pixel in three.
TEST(TraceCommand, ThePreviewDrawsJumpsDotted) {
    Window w;
    // Points 0 and 2 end lit segments; point 1 is reached dark.
    model::JoinedContour joined;
    joined.points = {{model::PixelToUnit(10), model::PixelToUnit(100)},
                     {model::PixelToUnit(100), model::PixelToUnit(100)},
                     {model::PixelToUnit(300), model::PixelToUnit(100)}};
    joined.styles = {{}, {}, model::PointStyle::Dark()};
    joined.needed = 3;
    const window::Overlay preview = window::PreviewLine(joined, {});
    EXPECT_EQ(preview.dark, (std::vector<bool>{false, false, true}));
    w.form.surface()->setOverlay(preview);
    const QImage shown = w.form.surface()->grab().toImage();
    const auto magenta = [&](int x) { return shown.pixel(x, 100) == qRgb(230, 0, 170); };
    int lit = 0;
    int dotted = 0;
    bool adjacent = false;
    for (int x = 20; x <= 90; ++x) {
        lit += magenta(x);
    }
    for (int x = 110; x <= 290; ++x) {
        dotted += magenta(x);
        adjacent = adjacent || (magenta(x) && magenta(x + 1));
    }
    EXPECT_EQ(lit, 71);
    EXPECT_NEAR(dotted, 181 / 3, 2);
    EXPECT_FALSE(adjacent);
}
