// The text dialog in the running main window: its preview, what OK, Cancel and "Добавить к
// контуру" leave in the contour, and where the text goes.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <cmath>
#include <functional>

#include "app/application.h"
#include "support/modal.h"
#include "support/wait.h"
#include "window/status_bar.h"
#include "window/text_commands.h"

using window::TBaseForm;
using window::TextDialog;

namespace {

double ToPixel(int32_t unit) {
    return unit / 5e6 + 192;
}

struct Window {
    std::unique_ptr<app::Windows> w = app::CreateWindows();
    TBaseForm& form = *w->BaseForm;
    editor::Editor& editor = form.editor();
    model::Contour& contour = editor.contour();

    // Runs the command from the menu item or the palette button; `inDialog` acts on the open
    // dialog, which is closed afterwards if it is still open, whatever failed in it.
    void text(const std::function<void(TextDialog&)>& inDialog, bool button = false) {
        bool ran = false;
        testing_support::WhenModal<TextDialog>(inDialog, &ran);
        if (button) {
            form.button(QStringLiteral("SpeedButtonText"))->click();
        } else {
            form.action(QStringLiteral("ItemText"))->trigger();
        }
        EXPECT_TRUE(ran);
    }
    template <typename T>
    static T* child(TextDialog& d, const char* name) {
        return d.findChild<T*>(QString::fromUtf8(name));
    }
    // Typed key by key (QTest's own key clicks know only ASCII).
    static void type(TextDialog& d, const QString& text) {
        auto* edit = child<QPlainTextEdit>(d, "TextText");
        edit->setFocus();
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    // The contour's box, surface pixels.
    QRectF box(int from = 0) const {
        QRectF b;
        for (int i = from; i < contour.State.PointCount; ++i) {
            b |= QRectF(ToPixel(contour.Buffer[size_t(2 * i)]),
                        ToPixel(contour.Buffer[size_t(2 * i + 1)]), 1e-9, 1e-9);
        }
        return b;
    }
};

}  // namespace

// "ПРИВЕТ" in the Cyrillic Hershey font: previewed while the dialog is open, in place of the
// contour on OK, 40 pixels high in the middle of the surface; Undo brings the old one back.
TEST(TextCommand, OkPutsTheTextInPlaceAndUndoBringsTheOldContourBack) {
    Window w;
    w.contour.SetPoints({{0, 0}, {100, 100}});
    w.editor.settings().ScrollBarFriqPoints = 2;
    w.text(
        [&](TextDialog& d) {
            // By its name, with a sample drawn in it; each caption whole beside its control.
            auto* font = Window::child<QComboBox>(d, "TextFont");
            EXPECT_EQ(font->currentText(), QStringLiteral("Кириллица"));
            EXPECT_FALSE(font->itemIcon(font->currentIndex()).isNull());
            const auto* lines = Window::child<QDoubleSpinBox>(d, "TextLineSpacing");
            EXPECT_EQ(lines->text(), QStringLiteral("1.5 высоты"));
            for (const QLabel* label : d.findChildren<QLabel*>()) {
                if (label->buddy() != nullptr) {
                    EXPECT_GE(label->width(), label->sizeHint().width())
                        << label->text().toStdString();
                }
            }
            EXPECT_FALSE(Window::child<QPushButton>(d, "TextOk")->isEnabled());
            Window::type(d, QStringLiteral("ПРИВЕТ"));
            ASSERT_TRUE(testing_support::WaitUntil(
                [&] { return w.form.surface()->overlay().size() > 50; }));
            EXPECT_EQ(Window::child<QLabel>(d, "TextWarning")->text(), QString());
            EXPECT_EQ(w.contour.State.PointCount, 2);  // nothing written before OK
            QTest::keyClick(Window::child<QPushButton>(d, "TextOk"), Qt::Key_Return);
        },
        true);
    EXPECT_TRUE(w.form.surface()->overlay().isEmpty());
    EXPECT_GT(w.contour.State.PointCount, 50);
    const QRectF box = w.box();
    EXPECT_NEAR(box.height(), 40, 1.5);
    EXPECT_NEAR(box.center().x(), 192, 1.5);
    EXPECT_NEAR(box.center().y(), 192, 1.5);
    // Neighbours no further apart than the spacing on either axis, as the pen fills a jump:
    // one run the beam can draw.
    for (size_t i = 2; i < size_t(2 * w.contour.State.PointCount); ++i) {
        EXPECT_LE(std::abs(ToPixel(w.contour.Buffer[i]) - ToPixel(w.contour.Buffer[i - 2])),
                  2.0 + 1e-6);
    }
    w.form.button(QStringLiteral("SpeedButtonUndo"))->click();
    EXPECT_EQ(w.contour.State.PointCount, 2);
}

// "Добавить к контуру": the old points stay as they were, the text follows them; the text
// starts at the point last clicked on the surface when asked to.
TEST(TextCommand, AppendingKeepsTheOldPointsAndTheTextStartsAtTheClick) {
    Window w;
    w.form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.form));
    const std::vector<model::ContourPoint> old = {
        {-500'000'000, -400'000'000}, {-480'000'000, -410'000'000}, {-460'000'000, -390'000'000}};
    w.contour.SetPoints(old);
    QTest::mouseClick(w.form.surface(), Qt::LeftButton, {}, QPoint(60, 300));
    w.contour.SetPoints(old);  // whatever the selection tool made of the click
    w.text([&](TextDialog& d) {
        Window::type(d, QStringLiteral("ЛАЗЕР"));
        Window::child<QComboBox>(d, "TextPlace")->setCurrentIndex(1);
        Window::child<QCheckBox>(d, "TextAppend")->setChecked(true);
        auto* ok = Window::child<QPushButton>(d, "TextOk");
        ASSERT_TRUE(testing_support::WaitUntil([&] { return ok->isEnabled(); }));
        ok->click();
    });
    ASSERT_GT(w.contour.State.PointCount, 3);
    for (size_t i = 0; i < old.size(); ++i) {
        EXPECT_EQ(w.contour.Buffer[2 * i], old[i].x) << i;
        EXPECT_EQ(w.contour.Buffer[2 * i + 1], old[i].y) << i;
    }
    // Past the jump from the old end, the text: its baseline starts at the click, the first
    // letter a side bearing (a few pixels) to the right of it.
    const QRectF text = w.box(3).intersected(QRectF(0, 255, 384, 100));
    EXPECT_GE(text.left(), 60);
    EXPECT_LT(text.left(), 68);
    EXPECT_NEAR(text.bottom(), 300, 1.5);
}

// Cancel changes nothing; letters the font lacks are named; a text that needs more than 2041
// points is offered the smallest spacing that fits.
TEST(TextCommand, CancelMissingLettersAndTheOfferOfASpacing) {
    Window w;
    w.contour.SetPoints({{0, 0}});
    w.text([&](TextDialog& d) {
        Window::type(d, QStringLiteral("Привет, Ёж"));
        auto* warning = Window::child<QLabel>(d, "TextWarning");
        EXPECT_TRUE(testing_support::WaitUntil([&] {
            return warning->text() == QStringLiteral("В шрифте нет букв: Ё.");
        })) << warning->text().toStdString();
        // Four lines that need some 3,000 points at a spacing of one pixel.
        Window::child<QPlainTextEdit>(d, "TextText")
            ->setPlainText(QStringLiteral("ЛАЗЕРНОЕ\nШОУ\nЛАЗЕРНОЕ\nШОУ"));
        Window::child<QSpinBox>(d, "TextSpacing")->setValue(1);
        auto* fit = Window::child<QPushButton>(d, "TextFit");
        auto* ok = Window::child<QPushButton>(d, "TextOk");
        ASSERT_TRUE(testing_support::WaitUntil([&] { return fit->isVisible(); }));
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_TRUE(warning->text().contains(QStringLiteral("2041")));
        fit->click();
        ASSERT_TRUE(testing_support::WaitUntil([&] { return ok->isEnabled(); }));
        EXPECT_GT(Window::child<QSpinBox>(d, "TextSpacing")->value(), 1);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(w.contour.State.PointCount, 1);
    EXPECT_TRUE(w.form.surface()->overlay().isEmpty());
}

// A text that runs off the surface is offered the largest height at which it lies on it (37
// worked in text_test.cpp), previewed as it runs off rather than crushed against the edges;
// the dialog opens again with the values it was left with.
TEST(TextCommand, TextOffTheSurfaceIsOfferedAHeightAndTheValuesStay) {
    Window w;
    w.text([&](TextDialog& d) {
        Window::type(d, QStringLiteral("HELLO WORLD"));
        auto* font = Window::child<QComboBox>(d, "TextFont");
        font->setCurrentIndex(font->findText(QStringLiteral("Рубленый простой")));
        Window::child<QComboBox>(d, "TextAlign")->setCurrentIndex(2);
        Window::child<QSpinBox>(d, "TextHeight")->setValue(150);
        auto* warning = Window::child<QLabel>(d, "TextWarning");
        ASSERT_TRUE(testing_support::WaitUntil([&] {
            return warning->text().endsWith(QStringLiteral("при которой он помещается: 37 пикс."));
        })) << warning->text().toStdString();
        EXPECT_GT(w.form.surface()->overlay().boundingRect().right(), 400);
        auto* ok = Window::child<QPushButton>(d, "TextOk");
        auto* fit = Window::child<QPushButton>(d, "TextFit");
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_EQ(fit->text(), QStringLiteral("Высота 37"));
        fit->click();
        ASSERT_TRUE(testing_support::WaitUntil([&] { return ok->isEnabled(); }));
        EXPECT_EQ(warning->text(), QString());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    w.text([&](TextDialog& d) {
        EXPECT_EQ(Window::child<QPlainTextEdit>(d, "TextText")->toPlainText(),
                  QStringLiteral("HELLO WORLD"));
        EXPECT_EQ(Window::child<QComboBox>(d, "TextFont")->currentText(),
                  QStringLiteral("Рубленый простой"));
        EXPECT_EQ(Window::child<QSpinBox>(d, "TextHeight")->value(), 37);
        EXPECT_EQ(Window::child<QComboBox>(d, "TextAlign")->currentIndex(), 2);
    });
}
