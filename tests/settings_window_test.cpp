#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QFontMetrics>
#include <QStyle>
#include <QTest>
#include <QUrl>

#include "app/application.h"
#include "forms/contacts.h"
#include "support/wait.h"

using forms::TOptionForm;

namespace {

struct Windows {
    std::unique_ptr<app::Windows> w = app::CreateWindows();
    TOptionForm& options = *w->OptionForm;
    editor::Editor& editor = w->BaseForm->editor();
    QScrollBar* bar(const char* name) { return options.scrollBar(QString::fromUtf8(name)); }
    forms::ColorBox* box(const char* name) { return options.colorBox(QString::fromUtf8(name)); }
    QRgb at(int x, int y) { return editor.canvas().image().pixel(x, y) | 0xFF000000u; }
    // A pixel that only a full repaint clears.
    void mark() { editor.canvas().image().setPixel(300, 300, qRgb(255, 0, 255)); }
    bool marked() { return at(300, 300) == qRgb(255, 0, 255); }
};

}  // namespace

TEST(SettingsWindow, BarsStartOnTheDefaultsAndStopAtTheirEnds) {
    Windows w;
    struct Case {
        const char* name;
        int min;
        int max;
        int def;
    };
    const Case cases[] = {{"ScrollBarSizeFirstDot", 1, 7, 3}, {"ScrollBarSizeDefDots", 1, 3, 2},
                          {"ScrollBarLastDot", 1, 5, 2},      {"ScrollBarSizeHotDots", 2, 5, 3},
                          {"ScrollBarFriqPoints", 1, 30, 15}, {"ScrollBarBrightHotDot", 3, 30, 10}};
    for (const Case& c : cases) {
        QScrollBar* b = w.bar(c.name);
        ASSERT_NE(b, nullptr) << c.name;
        EXPECT_EQ(b->value(), c.def) << c.name;
        EXPECT_EQ(b->singleStep(), 1);
        EXPECT_EQ(b->pageStep(), 1);
        EXPECT_EQ(b->width(), 113);
        b->setValue(c.min - 1);
        EXPECT_EQ(b->value(), c.min) << c.name;
        b->triggerAction(QAbstractSlider::SliderSingleStepSub);
        EXPECT_EQ(b->value(), c.min) << c.name;
        b->setValue(c.max + 1);
        EXPECT_EQ(b->value(), c.max) << c.name;
        b->triggerAction(QAbstractSlider::SliderPageStepAdd);
        EXPECT_EQ(b->value(), c.max) << c.name;
    }
    // The record follows the bars.
    EXPECT_EQ(w.w->settings.ScrollBarSizeFirstDot, 7);
    EXPECT_EQ(w.w->settings.ScrollBarSizeHotDots, 5);
    EXPECT_EQ(w.w->settings.ScrollBarBrightHotDot, 30);
}

TEST(SettingsWindow, ColourListsStartOnTheDefaultsAndOfferTheirSets) {
    Windows w;
    const std::pair<const char*, editor::ColorRef> defaults[] = {
        {"ColorBoxLine", 0x008000},     {"ColorBoxFirstDot", 0x008080},
        {"ColorBoxDefDot", 0x000080},   {"ColorBoxLastDot", 0x800080},
        {"ColorBoxHotDot", 0x00FFFF},   {"ColorBoxBase", 0x8000000F},
        {"ColorBoxLineCoda", 0xC0DCC0}, {"ColorBoxLineSetka", 0x808080}};
    for (const auto& [name, color] : defaults) {
        ASSERT_NE(w.box(name), nullptr) << name;
        EXPECT_EQ(w.box(name)->selectedColor(), color) << name;
        EXPECT_EQ(w.box(name)->size(), QSize(37, 22));
    }
    EXPECT_EQ(w.box("ColorBoxLine")->count(), 16);
    EXPECT_EQ(w.box("ColorBoxLine")->itemData(0).toUInt(), 0x000000u);
    EXPECT_EQ(w.box("ColorBoxLine")->itemData(4).toUInt(), 0x800000u);  // navy
    EXPECT_EQ(w.box("ColorBoxLine")->itemData(15).toUInt(), 0xFFFFFFu);
    EXPECT_EQ(w.box("ColorBoxLineCoda")->count(), 20);
    EXPECT_GT(w.box("ColorBoxBase")->count(), 20);
    EXPECT_FALSE(w.box("ColorBoxLineSetka")->selectColor(0xC0DCC0));
    EXPECT_EQ(w.box("ColorBoxHotDot")->toolTip(),
              QStringLiteral("Устанавливает цвет #10#13  точки "));
    EXPECT_TRUE(w.box("ColorBoxLine")->toolTip().isEmpty());
}

TEST(SettingsWindow, ValueLabelsReadHashOneUntilTheFirstActivation) {
    Windows w;
    EXPECT_EQ(w.options.valueLabel(QStringLiteral("LabelFriqPoints"))->text(),
              QStringLiteral("#1"));
    w.options.FormActivate();
    EXPECT_EQ(w.options.valueLabel(QStringLiteral("LabelFriqPoints"))->text(),
              QStringLiteral("15"));
    EXPECT_EQ(w.options.valueLabel(QStringLiteral("LabelHotBright"))->text(), QStringLiteral("10"));
    w.bar("ScrollBarSizeHotDots")->setValue(5);
    EXPECT_EQ(w.options.valueLabel(QStringLiteral("LabelHotDot"))->text(), QStringLiteral("5"));
}

TEST(SettingsWindow, ColourChangesRepaintAtOnce) {
    Windows w;
    w.editor.SelectTool(model::tmPen, QStringLiteral("Paint Picture"));
    for (const auto& [x, y] : {std::pair{100, 100}, std::pair{150, 100}, std::pair{200, 100}}) {
        w.editor.PaintBoxVardeniMouseDown(editor::MouseButton::Left, x, y);
        w.editor.PaintBoxVardeniMouseUp(editor::MouseButton::Left, x, y);
    }
    w.editor.Repaint();
    EXPECT_EQ(w.at(149, 101), qRgb(128, 0, 0));
    ASSERT_TRUE(w.box("ColorBoxDefDot")->selectColor(0xFF0000));  // blue
    EXPECT_EQ(w.at(149, 101), qRgb(0, 0, 255));
    // The background colour list colours the surface.
    ASSERT_TRUE(w.box("ColorBoxBase")->selectColor(0xF0FBFF));  // cream
    EXPECT_EQ(w.at(300, 300), qRgb(255, 251, 240));
    EXPECT_EQ(w.w->settings.ColorBoxBase, 0xF0FBFFu);
    // The three line lists share one handler that repaints.
    w.mark();
    ASSERT_TRUE(w.box("ColorBoxLineSetka")->selectColor(0x0000FF));
    EXPECT_FALSE(w.marked());
}

TEST(SettingsWindow, FirstPointSizeRepaintsOnlyThroughTheTimer) {
    Windows w;
    QTimer& timer = w.editor.TimerOnPaint();
    QScrollBar* b = w.bar("ScrollBarSizeFirstDot");
    w.mark();
    b->setValue(4);
    EXPECT_EQ(w.options.valueLabel(QStringLiteral("LabelSizeFirst"))->text(), QStringLiteral("4"));
    EXPECT_TRUE(w.marked());
    EXPECT_TRUE(timer.isActive());
    b->setValue(5);
    b->setValue(6);
    EXPECT_TRUE(testing_support::WaitUntil([&] { return !w.marked(); }, 1000));
    // One repaint for the burst: nothing clears the surface after it.
    w.mark();
    QTest::qWait(300);
    EXPECT_TRUE(w.marked());
    // Every other bar repaints at once.
    w.bar("ScrollBarBrightHotDot")->setValue(20);
    EXPECT_FALSE(w.marked());
}

TEST(SettingsWindow, SpacingChangeAppliesAtTheNextStroke) {
    Windows w;
    w.bar("ScrollBarFriqPoints")->setValue(30);
    w.editor.SelectTool(model::tmPen, QStringLiteral("Paint Picture"));
    w.editor.PaintBoxVardeniMouseDown(editor::MouseButton::Left, 100, 100);
    w.editor.PaintBoxVardeniMouseMove(125, 100);
    EXPECT_EQ(w.editor.state().PointCount, 1);
    w.editor.PaintBoxVardeniMouseMove(131, 100);
    EXPECT_EQ(w.editor.state().PointCount, 2);
}

TEST(SettingsWindow, ClosingOnlyHidesAndKeepsTheValues) {
    Windows w;
    w.w->BaseForm->SpeedButtonOptionFormClick();
    EXPECT_TRUE(w.options.isVisible());
    // 510 by 301 at (187, 107) is the outer frame, the client smaller by the decorations.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.options));
    const QRect outer(187, 107, 510, 301);
    EXPECT_TRUE(
        testing_support::WaitUntil([&] { return w.options.frameGeometry() == outer; }, 1000));
    EXPECT_TRUE(outer.contains(w.options.geometry()));
    w.bar("ScrollBarSizeDefDots")->setValue(3);
    w.box("ColorBoxHotDot")->selectColor(0x00FF00);
    w.options.close();
    EXPECT_FALSE(w.options.isVisible());
    w.w->BaseForm->SpeedButtonOptionFormClick();
    EXPECT_TRUE(w.options.isVisible());
    EXPECT_EQ(w.bar("ScrollBarSizeDefDots")->value(), 3);
    EXPECT_EQ(w.box("ColorBoxHotDot")->selectedColor(), 0x00FF00u);
    EXPECT_EQ(w.w->settings.ScrollBarSizeDefDots, 3);
    // The foot buttons do nothing.
    auto* save = w.options.findChild<QAbstractButton*>(QStringLiteral("SpeedButtoSAaveSetting"));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), QStringLiteral("Записать текущие установки"));
    save->click();
    EXPECT_EQ(w.w->settings.ScrollBarSizeDefDots, 3);
}

namespace {

// Receives the links the about window opens instead of the desktop.
class LinkCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

QRgb TextColor(QWidget* w) {
    return w->palette().color(QPalette::WindowText).rgb() | 0xFF000000u;
}

}  // namespace

TEST(AboutWindow, LinkLabelsChangeColourAndOpenTheirLinks) {
    Windows w;
    LinkCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    w.w->BaseForm->SpeedButtonAboutClick();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.w->AboutForm.get()));
    auto* mail = w.w->AboutForm->findChild<QLabel*>(QStringLiteral("Label2"));
    auto* web = w.w->AboutForm->findChild<QLabel*>(QStringLiteral("Label6"));
    ASSERT_TRUE(mail && web);
    EXPECT_EQ(TextColor(mail), qRgb(0, 0, 0));
    QTest::mouseMove(mail, QPoint(3, 3));
    EXPECT_TRUE(
        testing_support::WaitUntil([&] { return TextColor(mail) == qRgb(255, 0, 0); }, 1000));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(mail, &leave);
    EXPECT_EQ(TextColor(mail), qRgb(0, 0, 128));
    QTest::mouseClick(mail, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(TextColor(mail), qRgb(0, 128, 0));
    QTest::mouseClick(web, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(TextColor(web), qRgb(0, 128, 0));
    ASSERT_EQ(catcher.opened.size(), 2);
    EXPECT_EQ(catcher.opened[0],
              QUrl(QStringLiteral("mailto:") + QString::fromUtf8(forms::contacts::kMailAddress)));
    EXPECT_EQ(catcher.opened[1], QUrl(QString::fromUtf8(forms::contacts::kWebAddress)));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

TEST(AboutWindow, FlashesFromCreationAndReopeningOnlyRaisesIt) {
    Windows w;
    forms::TAboutForm& about = *w.w->AboutForm;
    EXPECT_TRUE(about.Timer1().isActive());
    EXPECT_EQ(about.Timer1().interval(), 300);
    EXPECT_FALSE(about.Timer1().isSingleShot());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(about.size(), QSize(299, 206));
    w.w->BaseForm->SpeedButtonAboutClick();
    const QRect where = about.geometry();
    const int ticksBefore = about.flashCount();
    QTest::qWait(350);
    w.w->BaseForm->SpeedButtonAboutClick();
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(about.geometry(), where);
    EXPECT_GE(about.flashCount(), ticksBefore + 1);
    EXPECT_TRUE(about.Timer1().isActive());
    // OK hides the window; the timer goes on.
    auto* ok = about.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    ok->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(about.Timer1().isActive());
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("Label4"))->text(),
              QStringLiteral("Version 2.2             may 2005 г."));
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("Label5"))->text(),
              QStringLiteral("Build  1.14.55."));
}

TEST(Captions, FitTheirControlsInAllThreeWindows) {
    Windows w;
    // The value labels at their widest numbers.
    w.bar("ScrollBarFriqPoints")->setValue(30);
    w.bar("ScrollBarBrightHotDot")->setValue(30);
    QWidget* options = &w.options;
    QWidget* about = w.w->AboutForm.get();
    const auto u = [](const char* s) { return QString::fromUtf8(s); };
    const std::pair<QWidget*, QString> captions[] = {
        {options, u(" Цветa ")},
        {options, u("Размеры точек")},
        {options, u("Option")},
        {options, u("Линия рисунка")},
        {options, u("Первая Точка")},
        {options, u("Точка рисунка")},
        {options, u("Последняя Точка")},
        {options, u("Горячие точки")},
        {options, u("Цвет фона")},
        {options, u("Линия cоединения")},
        {options, u("Линия ceтки")},
        {options, u("Размер первой точки")},
        {options, u("Размер текущих точек")},
        {options, u("Размер последней точки")},
        {options, u("Размер горячих точек")},
        {options, u("Расстояние между точками")},
        {options, u("Яркость горячей  точки")},
        {options, u("30")},
        {options, u("Записать текущие установки")},
        {options, u("Отменить последние изменения")},
        {about, u("Version 2.2             may 2005 г.")},
        {about, u("Build  1.14.55.")},
        {about, u(forms::contacts::kPlaceLine)},
        {about, u(forms::contacts::kNameLine)},
        {about, u(forms::contacts::kMailAddress)},
        {about, u(forms::contacts::kWebAddress)},
        {about, u(forms::contacts::kProgramName)},
        {about, u("OK")},
    };
    for (const auto& [window, text] : captions) {
        int found = 0;
        for (QWidget* c : window->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<QLabel*>(c);
            const auto* button = qobject_cast<QAbstractButton*>(c);
            const auto* group = qobject_cast<QGroupBox*>(c);
            const QString shown = label    ? label->text()
                                  : button ? button->text()
                                  : group  ? group->title()
                                           : QString();
            if (shown != text) {
                continue;
            }
            ++found;
            const QStyle* style = c->style();
            int need = QFontMetrics(c->font()).horizontalAdvance(text);
            if (button) {
                need += 2 * (style->pixelMetric(QStyle::PM_ButtonMargin) +
                             style->pixelMetric(QStyle::PM_DefaultFrameWidth)) +
                        (button->icon().isNull() ? 0 : button->iconSize().width() + 4);
            } else if (label) {
                need += 2 * (label->margin() + label->frameWidth());
            } else {
                need += 16;  // a group's title stays inside the inset its controls keep
            }
            EXPECT_LE(need, c->width()) << qPrintable(text);
            EXPECT_TRUE(c->parentWidget()->rect().contains(c->geometry())) << qPrintable(text);
        }
        EXPECT_GT(found, 0) << qPrintable(text);
    }
    // The status panels with their design texts and the longest texts written into them;
    // a panel's bevel and the text's inset take 5 pixels.
    const window::StatusBar* status = w.w->BaseForm->statusPanels();
    const std::pair<int, QString> panels[] = {
        {0, u("М1:1")},
        {1, u("X=300  Y=330")},
        {1, u("X:-960  Y:-960")},
        {2, u("leng:0000")},
        {2, u("Leng: 2041")},
        {3, u("n=3%")},
        {4, u("n=4%")},
        {4, u("Dot:2040")},
        {4, u("Копия не пишется")},
        {3, u("Линий 2041")},
        {3, u("Кадр 999/999")},
        {4, u("Скачки 9999 пикс.")},
        {5, u("Установка центра")},
    };
    for (const auto& [panel, text] : panels) {
        EXPECT_LE(QFontMetrics(status->font()).horizontalAdvance(text) + 5,
                  status->panelRect(panel).width())
            << qPrintable(text);
    }
}

#include "settings_window_test.moc"
