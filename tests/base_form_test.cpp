#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/application.h"
#include "support/modal.h"
#include "support/pixels.h"
#include "support/program.h"
#include "support/scripted_dialogs.h"
#include "support/wait.h"
#include "window/file_commands.h"

using widgets::SpeedButton;
using window::TBaseForm;

namespace {

struct Window {
    std::unique_ptr<app::Windows> w = app::CreateWindows();
    TBaseForm& form = *w->BaseForm;
    SpeedButton* b(const char* name) { return form.button(QString::fromUtf8(name)); }
    QString panel(int i) { return form.statusPanels()->panelText(i); }
    QPoint posInClient(QWidget* widget) { return widget->mapTo(form.clientArea(), QPoint(0, 0)); }
};

}  // namespace

TEST(MainWindow, StartsWithCaptionPanelsAndUndoDisabled) {
    Window w;
    EXPECT_EQ(w.form.windowTitle(), QStringLiteral("Vardeni : [no name]"));
    EXPECT_EQ(w.panel(0), QStringLiteral("М1:1"));
    EXPECT_EQ(w.panel(1), QStringLiteral("X=300  Y=330"));
    EXPECT_EQ(w.panel(2), QStringLiteral("Leng: 0"));
    EXPECT_EQ(w.panel(3), QStringLiteral("n=3%"));
    EXPECT_EQ(w.panel(4), QStringLiteral("n=4%"));
    EXPECT_EQ(w.panel(5), QStringLiteral("Select Dots"));
    EXPECT_FALSE(w.b("SpeedButtonUndo")->isEnabled());
    EXPECT_FALSE(w.form.action(QStringLiteral("OtkatItem"))->isEnabled());
    EXPECT_FALSE(w.w->OptionForm->isVisible());
    EXPECT_FALSE(w.w->AboutForm->isVisible());
    EXPECT_EQ(w.form.editor().state().ToolMode, model::tmKontur);
}

TEST(MainWindow, LayoutMatchesTheDesign) {
    Window w;
    QWidget* client = w.form.clientArea();
    EXPECT_EQ(client->size(), QSize(487, 460));
    auto* tools = w.form.findChild<QWidget*>(QStringLiteral("PanelTools"));
    auto* pen = w.form.findChild<QWidget*>(QStringLiteral("PanelPen"));
    auto* toolbar = w.form.findChild<QWidget*>(QStringLiteral("ToolBar"));
    ASSERT_TRUE(tools && pen && toolbar);
    EXPECT_EQ(tools->geometry(), QRect(0, 31, 57, 401));
    EXPECT_EQ(pen->geometry(), QRect(64, 32, 409, 401));
    EXPECT_EQ(toolbar->geometry().height(), 30);
    EXPECT_EQ(w.form.surface()->geometry(), QRect(1, 1, 394, 386));
    EXPECT_EQ(w.posInClient(w.form.surface()), QPoint(65, 33));
    EXPECT_EQ(w.form.statusPanels()->geometry(), QRect(0, 441, 487, 19));
    EXPECT_EQ(w.b("SpeedButtonPen")->geometry(), QRect(6, 151, 23, 23));
    EXPECT_EQ(w.b("SpeedButtonZoomOUT")->geometry(), QRect(30, 364, 23, 23));
    EXPECT_EQ(w.b("SpeedButtonAbout")->geometry().x(), 403);
    EXPECT_EQ(w.b("SpeedButtonPictureON")->geometry().x(), 245);
    EXPECT_EQ(w.form.statusPanels()->panelRect(4), QRect(260, 0, 100, 19));
}

TEST(MainWindow, ButtonsCarryHintsStatesAndGroups) {
    Window w;
    EXPECT_EQ(w.b("SpeedButtonPen")->toolTip(), QStringLiteral("режим рисования"));
    EXPECT_EQ(w.b("SpeedButtonReturn128")->toolTip(),
              QStringLiteral("Возврат по прежнему контуру "));
    EXPECT_EQ(w.b("SpeedButtonNormalDistance")->toolTip(),
              QStringLiteral("Нормализовать и соединить контур"));
    EXPECT_TRUE(w.b("SpeedButtonYYY")->toolTip().isEmpty());
    EXPECT_TRUE(w.b("SpeedButtonKontur")->isDown());
    EXPECT_TRUE(w.b("SpeedButtonPaintLine")->isDown());
    EXPECT_TRUE(w.b("SpeedButtonPaintPixel")->isDown());
    EXPECT_FALSE(w.b("SpeedButtonSetkaON")->isDown());
    EXPECT_FALSE(w.b("SpeedButtonDirectHook")->isDown());
    for (const char* disabled :
         {"SpeedButtonKonturPoly", "SpeedButtonSize", "SpeedButtonRotor", "SpeedButtonMadePrimitiv",
          "SpeedButtonZoomIN", "SpeedButtonZoomOUT", "SpeedButtonSave", "SpeedButtonCopy",
          "SpeedButtonPaste", "SpeedButtonCut"}) {
        EXPECT_FALSE(w.b(disabled)->isEnabled()) << disabled;
    }
    EXPECT_FALSE(w.b("SpeedButtonRotate")->isCheckable());
    EXPECT_EQ(w.b("SpeedButtonYu")->groupIndex(), 20);
}

TEST(MainWindow, ToolButtonsSwitchModeAndTextAndStayDown) {
    Window w;
    QTest::mouseClick(w.b("SpeedButtonPen"), Qt::LeftButton);
    EXPECT_EQ(w.form.editor().state().ToolMode, model::tmPen);
    EXPECT_EQ(w.panel(5), QStringLiteral("Paint Picture"));
    EXPECT_TRUE(w.b("SpeedButtonPen")->isDown());
    EXPECT_FALSE(w.b("SpeedButtonKontur")->isDown());
    EXPECT_TRUE(w.form.editor().TimerOnPaint().isActive());
    // A group-20 button stays down when clicked again, and its handler runs again.
    QTest::mouseClick(w.b("SpeedButtonPen"), Qt::LeftButton);
    EXPECT_TRUE(w.b("SpeedButtonPen")->isDown());
    const std::pair<const char*, const char*> texts[] = {
        {"SpeedButtonCentr", "Установка центра"}, {"SpeedButtonEditPoint", "Move Dot"},
        {"SpeedButtonHotPoint", "Made Hot Dot"},  {"SpeedButtonKnife", "new Split"},
        {"SpeedButtonEraser", "Delete Dot"},      {"SpeedButtonMove", "Move Object"},
        {"SpeedButtonBlank", "Гашение"},          {"SpeedButtonColourBrush", "Кисть цвета"},
        {"SpeedButtonKontur", "Select Dots"}};
    const int modes[] = {9, 4, 5, 7, 8, 2, 10, 11, 1};
    for (size_t i = 0; i < std::size(texts); ++i) {
        QTest::mouseClick(w.b(texts[i].first), Qt::LeftButton);
        EXPECT_EQ(w.form.editor().state().ToolMode, modes[i]);
        EXPECT_EQ(w.panel(5), QString::fromUtf8(texts[i].second));
    }
    // A group button without a tool takes the down state while the tool stays.
    QTest::mouseClick(w.b("SpeedButtonYYY"), Qt::LeftButton);
    EXPECT_TRUE(w.b("SpeedButtonYYY")->isDown());
    EXPECT_FALSE(w.b("SpeedButtonKontur")->isDown());
    EXPECT_EQ(w.form.editor().state().ToolMode, model::tmKontur);
}

TEST(MainWindow, LineAndPointTogglesKeepOneViewOn) {
    Window w;
    SpeedButton* line = w.b("SpeedButtonPaintLine");
    SpeedButton* pixel = w.b("SpeedButtonPaintPixel");
    QTest::mouseClick(pixel, Qt::LeftButton);
    EXPECT_FALSE(pixel->isDown());
    // Raising the line while the points are up brings the line straight back.
    QTest::mouseClick(line, Qt::LeftButton);
    EXPECT_TRUE(line->isDown());
    EXPECT_FALSE(pixel->isDown());
    QTest::mouseClick(pixel, Qt::LeftButton);
    EXPECT_TRUE(pixel->isDown());
    QTest::mouseClick(line, Qt::LeftButton);
    EXPECT_FALSE(line->isDown());
    // Raising the points while the line is up brings the line down, the points stay up.
    QTest::mouseClick(pixel, Qt::LeftButton);
    EXPECT_TRUE(line->isDown());
    EXPECT_FALSE(pixel->isDown());
}

TEST(MainWindow, DirectHookAndXShareAGroupThatCanBeAllUp) {
    Window w;
    SpeedButton* hook = w.b("SpeedButtonDirectHook");
    SpeedButton* x = w.b("SpeedButtonX");
    QTest::mouseClick(hook, Qt::LeftButton);
    EXPECT_TRUE(w.form.directHook());
    QTest::mouseClick(x, Qt::LeftButton);
    EXPECT_FALSE(w.form.directHook());
    EXPECT_TRUE(x->isDown());
    QTest::mouseClick(x, Qt::LeftButton);
    EXPECT_FALSE(x->isDown());
    w.form.setDirectHook(true);
    EXPECT_TRUE(hook->isDown());
}

TEST(MainWindow, RightClickOnTheSurfaceSnapshotsThenOpensThePopup) {
    Window w;
    w.form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.form));
    QTest::mouseClick(w.b("SpeedButtonPen"), Qt::LeftButton);
    // The platform's own request, which X11 sends with the press, opens nothing by itself:
    // the menu waits for the release, after the tool has had it.
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(100, 100),
                              w.form.surface()->mapToGlobal(QPoint(100, 100)));
    QApplication::sendEvent(w.form.surface(), &request);
    EXPECT_FALSE(w.form.popupMenu()->isVisible());
    QTest::mouseClick(w.form.surface(), Qt::RightButton, {}, QPoint(100, 100));
    EXPECT_TRUE(w.b("SpeedButtonUndo")->isEnabled());
    EXPECT_TRUE(w.form.action(QStringLiteral("OtkatItem"))->isEnabled());
    EXPECT_EQ(w.form.editor().state().PointCount, 0);
    EXPECT_TRUE(testing_support::WaitUntil([&] { return w.form.popupMenu()->isVisible(); }, 1000));
    const auto items = w.form.popupMenu()->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Откат"));
    EXPECT_FALSE(items[1]->isEnabled());
    EXPECT_FALSE(items[2]->isEnabled());
    EXPECT_EQ(items[3]->text(), QStringLiteral("Закрыть меню "));
    w.form.popupMenu()->close();
    // The popup's undo item runs Undo and disables both controls.
    w.form.action(QStringLiteral("OtkatItem"))->trigger();
    EXPECT_FALSE(w.b("SpeedButtonUndo")->isEnabled());
    EXPECT_FALSE(w.form.action(QStringLiteral("OtkatItem"))->isEnabled());
}

TEST(MainWindow, MouseMovesOverTheSurfaceShowTheReadout) {
    Window w;
    w.form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.form));
    QTest::mouseMove(w.form.surface(), QPoint(192, 192));
    EXPECT_TRUE(
        testing_support::WaitUntil([&] { return w.panel(1) == QStringLiteral("X:0  Y:0"); }, 1000));
    QTest::mouseMove(w.form.surface(), QPoint(390, 0));
    EXPECT_TRUE(testing_support::WaitUntil(
        [&] { return w.panel(1) == QStringLiteral("X:955  Y:-960"); }, 1000));
}

TEST(MainWindow, MenusCarryCaptionsAndShortcuts) {
    Window w;
    const auto menus = w.form.menuBar()->actions();
    // The specified three, with the frames' menu before the help.
    ASSERT_EQ(menus.size(), 4);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("Файл"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("Правка"));
    EXPECT_EQ(menus[2]->text(), QStringLiteral("Кадр"));
    EXPECT_EQ(menus[3]->text(), QStringLiteral("Справка"));
    struct Item {
        const char* name;
        const char* text;  // nullptr: not checked here
        const char* keys;
    };
    const Item items[] = {
        {"ItemImport", nullptr, "Ctrl+I"},
        {"SaveAsItem", nullptr, "Ctrl+F"},
        {"ItemExit", "Выход", "Ctrl+Q"},
        {"ItemExportIlda", nullptr, "Ctrl+Shift+E"},
        {"ItemImportIlda", nullptr, "Ctrl+Shift+I"},
        {"ItemImportSvg", "Импорт SVG (*.svg)", "Ctrl+Shift+G"},
        {"ItemTrace", "Трассировка подложки…", "Ctrl+T"},
        {"ItemFrameNew", "Новый кадр", "Ctrl+Shift+N"},
        {"ItemFrameDuplicate", "Копия кадра", "Ctrl+Shift+D"},
        {"ItemFrameDelete", "Удалить кадр", "Ctrl+Shift+Del"},
        {"ItemFrameNext", "Следующий кадр", "Ctrl+PgDown"},
        {"ItemFramePrevious", "Предыдущий кадр", "Ctrl+PgUp"},
        {"ItemFrameInBetween", "Промежуточные кадры…", ""},
        {"ItemFramesFromFiles", "Кадры из файлов…", ""},
    };
    for (const Item& item : items) {
        const QAction* a = w.form.action(QString::fromUtf8(item.name));
        ASSERT_NE(a, nullptr) << item.name;
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromUtf8(item.keys))) << item.name;
        if (item.text != nullptr) {
            EXPECT_EQ(a->text(), QString::fromUtf8(item.text)) << item.name;
        }
    }
    EXPECT_FALSE(w.form.action(QStringLiteral("SaveItem"))->isEnabled());
    EXPECT_EQ(w.form.action(QStringLiteral("ItemSaveImage"))->text(),
              QStringLiteral("Записать в Лазерный контур в формате BMP"));
}

TEST(MainWindow, EachCommandIsOneActionWiredOnceAndSharedByItsButtonAndMenuItem) {
    Window w;
    EXPECT_TRUE(w.form.wiringProblems().isEmpty())
        << w.form.wiringProblems().join(QLatin1Char('\n')).toStdString();
    // A pair is one action: disabling it disables the button and the menu item together.
    SpeedButton* save = w.b("SpeedButtonSave");
    QAction* saveItem = w.form.action(QStringLiteral("SaveItem"));
    EXPECT_EQ(save->defaultAction(), saveItem);
    w.form.enableSaveControls();
    EXPECT_TRUE(save->isEnabled());
    saveItem->setEnabled(false);
    EXPECT_FALSE(save->isEnabled());
    // The button keeps its own look: its icon and hint, no text of the menu item's.
    EXPECT_EQ(save->toolTip(), QStringLiteral("Сохранить картинку лазера"));
    EXPECT_FALSE(save->icon().isNull());
    EXPECT_TRUE(save->text().isEmpty());

    // The check, on a record of what was built: as the table says, then one fault at a time.
    std::array<window::BuiltCommand, window::kCommandCount> good;
    for (const window::CommandControls& c : window::CommandTable()) {
        good[std::size_t(c.command)] = {true, c.inMenu, QString::fromUtf8(c.action),
                                        c.button ? QString::fromUtf8(c.button) : QString()};
    }
    EXPECT_TRUE(window::WiringProblems(good).isEmpty());
    struct Row {
        window::Command command;
        void (*breakIt)(window::BuiltCommand&);
        const char* problem;
    };
    const Row rows[] = {
        {window::Command::Save, [](auto& b) { b.handled = false; }, "SaveItem: no handler"},
        {window::Command::Rotate, [](auto& b) { b.button.clear(); },
         "SpeedButtonRotate: no button \"SpeedButtonRotate\""},
        {window::Command::Text, [](auto& b) { b.inMenu = false; }, "ItemText: not in its menu"},
        {window::Command::SaveAs, [](auto& b) { b.button = QStringLiteral("SpeedButtonX"); },
         "SaveAsItem: a button \"SpeedButtonX\" runs it"},
    };
    for (const Row& r : rows) {
        auto built = good;
        r.breakIt(built[std::size_t(r.command)]);
        EXPECT_EQ(window::WiringProblems(built), QStringList{QString::fromUtf8(r.problem)});
    }
}

TEST(MainWindow, ExitClosesTheMainWindow) {
    Window w;
    w.form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.form));
    w.form.action(QStringLiteral("ItemExit"))->trigger();
    EXPECT_FALSE(w.form.isVisible());
}

TEST(MainWindow, SecondaryWindowsOpenWithoutBlocking) {
    Window w;
    QTest::mouseClick(w.b("SpeedButtonOptionForm"), Qt::LeftButton);
    EXPECT_TRUE(w.w->OptionForm->isVisible());
    EXPECT_FALSE(w.w->OptionForm->isModal());
    w.form.action(QStringLiteral("ItemAbout"))->trigger();
    EXPECT_TRUE(w.w->AboutForm->isVisible());
    EXPECT_EQ(w.w->AboutForm->windowTitle(), QStringLiteral("About"));
}

TEST(MainWindow, GridToggleRepaintsThroughTheTimer) {
    Window w;
    QTest::mouseClick(w.b("SpeedButtonSetkaON"), Qt::LeftButton);
    EXPECT_TRUE(w.form.gridShown());
    EXPECT_TRUE(w.form.editor().TimerOnPaint().isActive());
    const QImage& img = w.form.editor().canvas().image();
    EXPECT_NE(img.pixel(5, 24), qRgb(128, 128, 128));
    EXPECT_TRUE(
        testing_support::WaitUntil([&] { return img.pixel(5, 24) == qRgb(128, 128, 128); }, 1000));
}

// A command's options are check boxes under the file list: they show the states asked for, and
// an accepted dialog leaves the ones the user set, a cancelled one none.
TEST(Dialogs, OptionsAreCheckBoxesWhoseStatesAnAcceptedDialogLeaves) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.svg"));
    testing_support::WriteFile(file, "<svg/>");
    window::QtDialogs dialogs(nullptr);
    window::FileDialogSpec request;
    request.filter = QStringLiteral("SVG (*.svg)|*.svg");
    request.fileName = file;
    request.options = {{QStringLiteral("Первая"), true}, {QStringLiteral("Вторая"), false}};
    for (const bool accept : {false, true}) {
        SCOPED_TRACE(accept);
        QStringList shown;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            for (QCheckBox* box : d->findChildren<QCheckBox*>()) {
                shown << box->text() + (box->isChecked() ? QStringLiteral(" +") : QString());
                box->setChecked(!box->isChecked());
            }
            QDialog* box = d;  // QFileDialog::accept is protected, QDialog::accept public
            accept ? box->accept() : box->reject();
        });
        const std::optional<QString> chosen = dialogs.openFile(request);
        EXPECT_EQ(shown, QStringList({QStringLiteral("Первая +"), QStringLiteral("Вторая")}));
        EXPECT_EQ(chosen.has_value(), accept);
        EXPECT_EQ(request.options[0].checked, !accept);
        EXPECT_EQ(request.options[1].checked, accept);
        if (accept) {
            // The next dialog starts from them.
            request.options[0].checked = true;
            request.options[1].checked = false;
        }
    }
}

// A name typed without an extension takes the extension of the kind chosen in the list.
TEST(Dialogs, ANameWithoutAnExtensionTakesTheChosenKinds) {
    QTemporaryDir dir;
    window::QtDialogs dialogs(nullptr);
    for (const int kind : {0, 1}) {
        window::FileDialogSpec request;
        request.filter = QStringLiteral("Файл лазерной картинки|*.ilz|ILDA (*.ild)|*.ild");
        request.defaultExt = QStringLiteral("ilz");
        request.fileName = dir.filePath(QStringLiteral("*.ilz"));
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            // The kind chosen from the keyboard, as a user does: the list emits its choice.
            auto* kinds = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            ASSERT_NE(kinds, nullptr);
            QTest::keyClick(kinds, kind == 1 ? Qt::Key_Down : Qt::Key_Up);
            ASSERT_EQ(kinds->currentIndex(), kind);
            d->selectFile(QStringLiteral("show"));
            QDialog* box = d;
            box->accept();
        });
        const std::optional<QString> chosen = dialogs.saveFile(request);
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(QFileInfo(*chosen).fileName(),
                  kind == 0 ? QStringLiteral("show.ilz") : QStringLiteral("show.ild"));
    }
}

// File → Open shows every kind it takes at first: the name of a show typed in its folder is
// taken, as a contour file's is. The name is typed once the folder is listed, as a user types
// it, when a file the filter leaves out is no longer one the dialog can take.
TEST(Dialogs, OpenTakesATypedNameOfEachKindItOpens) {
    QTemporaryDir dir;
    Window w;
    window::QtDialogs dialogs(nullptr);
    for (const char* name : {"show.ild", "heart.ilz"}) {
        testing_support::WriteFile(dir.filePath(QString::fromUtf8(name)), "x");
    }
    for (const char* name : {"show.ild", "heart.ilz"}) {
        SCOPED_TRACE(name);
        window::FileDialogSpec request = w.form.fileCommands().OpenDialogLaser;
        request.fileName = dir.filePath(QStringLiteral("*.ilz"));
        bool enabled = false;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            const auto* files = d->findChild<QFileSystemModel*>();
            ASSERT_TRUE(testing_support::WaitUntil(
                [&] { return files->rowCount(files->index(dir.path())) > 0; }, 5000));
            QTest::keyClicks(d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
                             QString::fromUtf8(name));
            QPushButton* open = d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
            enabled = open->isEnabled();
            QDialog* box = d;
            enabled ? QTest::mouseClick(open, Qt::LeftButton) : box->reject();
        });
        EXPECT_EQ(dialogs.openFile(request), dir.filePath(QString::fromUtf8(name)));
        EXPECT_TRUE(enabled);
    }
}

TEST(Dialogs, ProgramFiltersBecomeQtFilters) {
    // Each description shown once; "*.*" becomes "*", which here also lists names without
    // an extension.
    const std::pair<const char*, const char*> cases[] = {
        {"Файл лазерной картинки|*.ilz|все файлы|*.*",
         "Файл лазерной картинки (*.ilz);;все файлы (*)"},
        {"All (*.jpg;*.bmp)|*.jpg;*.bmp|Bitmaps (*.bmp)|*.bmp",
         "All (*.jpg *.bmp);;Bitmaps (*.bmp)"},
        {"ILDA (*.ild)|*.ild|все файлы|*.*", "ILDA (*.ild);;все файлы (*)"},
        {"Laser Version 1.0-1.5|*.plz", "Laser Version 1.0-1.5 (*.plz)"},
    };
    for (const auto& [filter, expected] : cases) {
        EXPECT_EQ(window::QtDialogs::QtFilter(QString::fromUtf8(filter)),
                  QString::fromUtf8(expected));
    }
    EXPECT_EQ(window::QtDialogs::Suffix(QStringLiteral("*.ilz")), QStringLiteral("ilz"));
    EXPECT_EQ(window::QtDialogs::Suffix(QStringLiteral("plz")), QStringLiteral("plz"));
}

TEST(MainWindow, BeamColourAndBlankedJumpsDecideWhatThePenMakes) {
    Window w;
    testing_support::ScriptedDialogs dialogs;
    w.form.setDialogs(&dialogs);
    editor::Editor& ed = w.form.editor();
    SpeedButton* colour = w.b("SpeedButtonBeamColour");
    QAction* jumps = w.form.action(QStringLiteral("ItemBlankPenJumps"));
    ASSERT_TRUE(colour && jumps);
    // The swatch in the toolbar's last pixels, clear of every other button.
    EXPECT_EQ(colour->toolTip(), QStringLiteral("Цвет луча"));
    EXPECT_LE(colour->geometry().right(), window::kClientWidth - 1);
    for (auto* other : colour->parentWidget()->findChildren<SpeedButton*>()) {
        if (other != colour) {
            EXPECT_FALSE(other->geometry().intersects(colour->geometry()))
                << other->objectName().toStdString();
        }
    }
    EXPECT_EQ(jumps->text(), QStringLiteral("Гасить скачки пера"));
    EXPECT_TRUE(w.form.menuBar()
                    ->findChild<QMenu*>(QStringLiteral("EditMainMenu"))
                    ->actions()
                    .contains(jumps));
    EXPECT_TRUE(jumps->isCheckable());
    EXPECT_FALSE(jumps->isChecked());
    // The middle of the swatch: the line colour while the beam colour is the default.
    const auto swatch = [&] {
        return colour->icon().pixmap(colour->iconSize()).toImage().pixel(4, 8) | 0xFF000000u;
    };
    EXPECT_EQ(swatch(), qRgb(0, 128, 0));
    const auto styles = [&](int from, int to) {
        std::vector<model::PointStyle> v;
        for (int i = from; i < to; ++i) {
            v.push_back(ed.contour().StyleAt(i));
        }
        return v;
    };
    const auto stroke = [&](int y) {
        ed.PaintBoxVardeniMouseDown(editor::MouseButton::Left, 40, y);
        for (int x = 60; x <= 200; x += 20) {
            ed.PaintBoxVardeniMouseMove(x, y);
        }
        ed.PaintBoxVardeniMouseUp(editor::MouseButton::Left, 200, y);
    };
    const model::PointStyle red = model::PointStyle::Colour(0xFF0000);
    const model::PointStyle dark = model::PointStyle::Dark();

    // Red: the chooser starts from the default (the line colour), the pen then draws red
    // points, on screen at once.
    dialogs.beamAnswers = {window::BeamColourChoice{false, qRgb(255, 0, 0)}};
    QTest::mouseClick(colour, Qt::LeftButton);
    ASSERT_EQ(dialogs.beamChoices.size(), 1u);
    EXPECT_TRUE(dialogs.beamChoices[0].isDefault);
    EXPECT_EQ(dialogs.beamChoices[0].colour | 0xFF000000u, qRgb(0, 128, 0));
    EXPECT_EQ(swatch(), qRgb(255, 0, 0));
    QTest::mouseClick(w.b("SpeedButtonPen"), Qt::LeftButton);
    stroke(100);
    // Points at x = 40, 60, ..., 200: eight segments of 20 pixels, each red.
    ASSERT_EQ(ed.state().PointCount, 9);
    EXPECT_EQ(styles(0, 9), std::vector<model::PointStyle>(9, red));
    EXPECT_EQ(ed.canvas().image().pixel(130, 100) | 0xFF000000u, qRgb(255, 0, 0));

    // Blanked jumps: a press far from the end fills the gap dark, the drag goes on in red.
    jumps->trigger();
    EXPECT_TRUE(jumps->isChecked());
    ed.PaintBoxVardeniMouseDown(editor::MouseButton::Left, 200, 160);
    // From (200, 100) down 60 pixels at the pen's spacing of 15: 60 / 15 = 4 fill points in
    // five equal steps (y = 112, 124, 136, 148), then the pressed point, all reached dark.
    ASSERT_EQ(ed.state().PointCount, 14);
    EXPECT_EQ(styles(9, 14), std::vector<model::PointStyle>(5, dark));
    ed.PaintBoxVardeniMouseMove(240, 160);
    ed.PaintBoxVardeniMouseUp(editor::MouseButton::Left, 240, 160);
    ASSERT_EQ(ed.state().PointCount, 15);
    EXPECT_EQ(ed.contour().StyleAt(14), red);
    // The toggle off again: the next jump is red like the rest.
    jumps->trigger();
    EXPECT_FALSE(jumps->isChecked());
    ed.PaintBoxVardeniMouseDown(editor::MouseButton::Left, 240, 220);
    ed.PaintBoxVardeniMouseUp(editor::MouseButton::Left, 240, 220);
    ASSERT_EQ(ed.state().PointCount, 20);
    EXPECT_EQ(styles(15, 20), std::vector<model::PointStyle>(5, red));

    // A cancelled chooser changes nothing; "По умолчанию" brings the line colour back.
    QTest::mouseClick(colour, Qt::LeftButton);
    EXPECT_EQ(ed.contour().PenStyle, red);
    EXPECT_FALSE(dialogs.beamChoices.back().isDefault);
    EXPECT_EQ(dialogs.beamChoices.back().colour | 0xFF000000u, qRgb(255, 0, 0));
    dialogs.beamAnswers = {window::BeamColourChoice{true, 0}};
    QTest::mouseClick(colour, Qt::LeftButton);
    EXPECT_EQ(swatch(), qRgb(0, 128, 0));
    const int before = ed.state().PointCount;
    stroke(300);
    EXPECT_EQ(styles(before, ed.state().PointCount),
              std::vector<model::PointStyle>(std::size_t(ed.state().PointCount - before),
                                             model::PointStyle{}));
    EXPECT_EQ(ed.canvas().image().pixel(130, 300) | 0xFF000000u, qRgb(0, 128, 0));
}

TEST(MainWindow, BeamColourChooserGivesAColourTheDefaultOrNothing) {
    Window w;
    editor::Editor& ed = w.form.editor();
    SpeedButton* colour = w.b("SpeedButtonBeamColour");
    struct Case {
        const char* what;
        const char* button;  // the button pressed: OK, "По умолчанию" or Cancel
        model::PointStyle before;
        model::PointStyle after;
    };
    const model::PointStyle blue = model::PointStyle::Colour(0x0000FF);
    const model::PointStyle red = model::PointStyle::Colour(0xFF0000);
    for (const Case& c : {Case{"a colour", "ok", {}, blue}, Case{"the default", "default", red, {}},
                          Case{"cancelled", "cancel", red, red}}) {
        ed.contour().PenStyle = c.before;
        bool ran = false;
        testing_support::WhenModal<QColorDialog>(
            [&](QColorDialog& dialog) {
                EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Цвет луча")) << c.what;
                auto* byDefault =
                    dialog.findChild<QPushButton*>(QStringLiteral("BeamColourDefault"));
                ASSERT_NE(byDefault, nullptr) << c.what;
                EXPECT_EQ(byDefault->text(), QStringLiteral("По умолчанию"));
                dialog.setCurrentColor(QColor(0, 0, 255));
                if (std::string(c.button) == "ok") {
                    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
                } else if (std::string(c.button) == "default") {
                    byDefault->click();
                } else {
                    dialog.reject();
                }
            },
            &ran);
        QTest::mouseClick(colour, Qt::LeftButton);
        EXPECT_TRUE(ran) << c.what;
        EXPECT_EQ(ed.contour().PenStyle, c.after) << c.what;
    }
}
