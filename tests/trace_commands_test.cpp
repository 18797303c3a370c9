// Tracing the underlay in the running main window: the dialog, its preview and what OK and
// Cancel leave in the contour.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <cmath>
#include <functional>

#include "app/application.h"
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

    // Runs the command; `inDialog` acts on the open dialog, which must close it.
    void trace(const std::function<void(TraceDialog&)>& inDialog) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<TraceDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            ran = true;
            inDialog(*d);
            if (d->isVisible()) {
                d->reject();
            }
        });
        form.action(QStringLiteral("ItemTrace"))->trigger();
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
