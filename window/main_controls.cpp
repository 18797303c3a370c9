// The main window's controls, made from their tables, and its commands wired to them.
#include <QImage>
#include <QKeySequence>
#include <QMenuBar>
#include <QPixmap>
#include <optional>
#include <span>

#include "editor/transform_commands.h"
#include "window/base_form.h"
#include "window/icons.h"

namespace window {

namespace {

constexpr int kButtonSize = 23;
constexpr int kIconSize = 18;
constexpr int kToolbarHeight = 30;
constexpr int kStatusHeight = 19;

}  // namespace

// A button of the toolbar or the palette: where it is and how it looks; the command it runs,
// or the tool it selects with the tool's status text; and the window's member that keeps it.
// The hint and the status text are translated where the button is made.
struct TBaseForm::ButtonRow {
    const char* name;
    int x;
    int y;
    const char* hint;
    int group;
    bool allowAllUp;
    bool down;
    bool enabled;
    const char* icon;
    std::optional<Command> command = std::nullopt;
    int tool = 0;
    const char* toolText = nullptr;
    widgets::SpeedButton* TBaseForm::*keep = nullptr;
};

void TBaseForm::buildCommands() {
    for (const CommandControls& c : CommandTable()) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromUtf8(c.action));
        actions_[std::size_t(c.command)] = a;
        built_[std::size_t(c.command)].action = a->objectName();
    }
}

widgets::SpeedButton* TBaseForm::addButton(QWidget* parent, const char* name, QPoint pos,
                                           const char* hint, int group, bool allowAllUp, bool down,
                                           bool enabled, const char* icon) {
    auto* b = new widgets::SpeedButton(parent, group, allowAllUp);
    b->setObjectName(QString::fromUtf8(name));
    b->setGeometry(pos.x(), pos.y(), kButtonSize, kButtonSize);
    if (hint != nullptr) {
        b->setToolTip(tr(hint));
    }
    if (icon != nullptr) {
        b->setIcon(ButtonIcon(QString::fromUtf8(icon)));
        b->setIconSize(QSize(kIconSize, kIconSize));
    }
    b->setChecked(down);
    b->setEnabled(enabled);
    return b;
}

void TBaseForm::share(widgets::SpeedButton* button, Command c) {
    button->share(command(c));
    built_[std::size_t(c)].button = button->objectName();
}

void TBaseForm::buildToolbar() {
    ToolBar = new QFrame(client_);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setGeometry(0, 0, kClientWidth, kToolbarHeight);
    // Edge lines above and below.
    for (int y : {0, kToolbarHeight - 2}) {
        auto* line = new QFrame(ToolBar);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setGeometry(0, y, kClientWidth, 2);
    }
    for (int x : {69, 125, 158, 235, 337, 370}) {
        auto* sep = new QFrame(ToolBar);
        sep->setFrameShape(QFrame::VLine);
        sep->setFrameShadow(QFrame::Sunken);
        sep->setGeometry(x + 3, 4, 2, kButtonSize - 2);
    }
    using C = Command;
    static constexpr ButtonRow kToolbar[] = {
        {"SpeedButtonNewPict", 0, 3, QT_TRANSLATE_NOOP("window::TBaseForm", "Новый рисунок"), 0,
         true, false, true, "new", C::New},
        {"SpeedButtonOpenLaser", 23, 3,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Открыть картинку лазера"), 0, true, false, true,
         "open_laser", C::Open},
        {"SpeedButtonSave", 46, 3,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Сохранить картинку лазера"), 0, true, false, false,
         "save", C::Save},
        {"SpeedButtonOpenImage", 79, 3,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Открыть новую подложку"), 0, true, false, true,
         "open_image", C::OpenImage},
        {"SpeedButtonSavePikture", 102, 3, nullptr, 0, true, false, true, "save_picture",
         C::SaveImage},
        {"SpeedButtonUndo", 135, 3, nullptr, 0, true, false, false, "undo", C::Undo},
        {"SpeedButtonCopy", 166, 3, QT_TRANSLATE_NOOP("window::TBaseForm", "Копировать в буфер"), 0,
         true, false, false, "copy"},
        {"SpeedButtonPaste", 189, 3, QT_TRANSLATE_NOOP("window::TBaseForm", "Вставить из буфера"),
         0, true, false, false, "paste"},
        {"SpeedButtonCut", 212, 3, nullptr, 0, true, false, false, "cut"},
        {"SpeedButtonPictureON", 245, 3,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Высветить подложку"), 1, true, false, true,
         "picture_on", C::ShowUnderlay, 0, nullptr, &TBaseForm::SpeedButtonPictureON},
        {"SpeedButtonSetkaON", 268, 3, QT_TRANSLATE_NOOP("window::TBaseForm", "Показать сетку"), 3,
         true, false, true, "grid", C::ShowGrid, 0, nullptr, &TBaseForm::SpeedButtonSetkaON},
        {"SpeedButtonRefresh", 291, 3, QT_TRANSLATE_NOOP("window::TBaseForm", "Перерисовать экран"),
         0, true, false, true, "refresh", C::Refresh},
        {"SpeedButtonNormalDistance", 314, 3,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Нормализовать и соединить контур"), 0, true, false,
         true, "normal_distance", C::NormalDistance},
        {"SpeedButtonOptionForm", 347, 3, nullptr, 0, true, false, true, "options", C::Options},
        {"SpeedButtonHelp", 380, 3, nullptr, 0, true, false, true, "help"},
        {"SpeedButtonAbout", 403, 3, nullptr, 0, true, false, true, "about", C::About},
        // The laser preview, then tracing, after the about button.
        {"SpeedButtonPreview", 426, 3, QT_TRANSLATE_NOOP("window::TBaseForm", "Просмотр лазера"), 0,
         true, false, true, "preview", C::Preview},
        {"SpeedButtonTrace", 449, 3, QT_TRANSLATE_NOOP("window::TBaseForm", "Трассировка подложки"),
         0, true, false, true, "trace", C::Trace},
    };
    addButtons(ToolBar, kToolbar);
    // The beam colour: a narrow swatch in the toolbar's last pixels.
    SpeedButtonBeamColour = new widgets::SpeedButton(ToolBar, 0, true);
    SpeedButtonBeamColour->setObjectName(QStringLiteral("SpeedButtonBeamColour"));
    SpeedButtonBeamColour->setGeometry(kBeamColourButton);
    SpeedButtonBeamColour->setToolTip(tr("Цвет луча"));
    share(SpeedButtonBeamColour, Command::BeamColour);
}

void TBaseForm::buildPalette() {
    PanelTools = new QFrame(client_);
    PanelTools->setObjectName(QStringLiteral("PanelTools"));
    PanelTools->setGeometry(0, 31, 57, 401);
    PanelTools->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelTools->setLineWidth(1);
    using C = Command;
    static constexpr ButtonRow kPalette[] = {
        {"SpeedButtonPaintPixel", 4, 4, QT_TRANSLATE_NOOP("window::TBaseForm", "Показать точки"), 5,
         true, true, true, "points", C::ShowPoints, 0, nullptr, &TBaseForm::SpeedButtonPaintPixel},
        {"SpeedButtonPaintLine", 29, 4,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Показать контур линией"), 6, true, true, true,
         "line", C::ShowLine, 0, nullptr, &TBaseForm::SpeedButtonPaintLine},
        {"SpeedButtonDirectHook", 6, 28,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Направление захвата точки"), 19, true, false, true,
         "direct_hook", std::nullopt, 0, nullptr, &TBaseForm::SpeedButtonDirectHook},
        {"SpeedButtonX", 30, 28, nullptr, 19, true, false, true, nullptr},
        {"SpeedButtonKontur", 4, 81,
         QT_TRANSLATE_NOOP("window::TBaseForm", "режим выделения контура"), 20, false, true, true,
         "kontur", std::nullopt, model::tmKontur,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Select Dots")},
        {"SpeedButtonKonturPoly", 30, 81, nullptr, 20, false, false, false, "kontur_poly"},
        {"SpeedButtonMove", 6, 105, QT_TRANSLATE_NOOP("window::TBaseForm", "перемещение"), 20,
         false, false, true, "move", std::nullopt, model::tmMove,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Move Object")},
        {"SpeedButtonSize", 30, 105, QT_TRANSLATE_NOOP("window::TBaseForm", "изменение размера"),
         20, false, false, false, "size"},
        {"SpeedButtonRotor", 6, 128, QT_TRANSLATE_NOOP("window::TBaseForm", "Вращение"), 20, false,
         false, false, "rotor", C::Rotor},
        {"SpeedButtonCentr", 30, 128,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Установка центра вращения"), 20, false, false,
         true, "centr", std::nullopt, model::tmCentr,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Установка центра")},
        {"SpeedButtonPen", 6, 151, QT_TRANSLATE_NOOP("window::TBaseForm", "режим рисования"), 20,
         false, false, true, "pen", std::nullopt, model::tmPen,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Paint Picture")},
        {"SpeedButtonEditPoint", 30, 151,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Точное позиционирование точек"), 20, false, false,
         true, "edit_point", std::nullopt, model::tmEditPoint,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Move Dot")},
        {"SpeedButtonMadePrimitiv", 6, 174,
         QT_TRANSLATE_NOOP("window::TBaseForm", "создание примитивов"), 20, false, false, false,
         "primitiv", std::nullopt, model::tmPrimitiv,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Mase Figura")},
        {"SpeedButtonHotPoint", 30, 174,
         QT_TRANSLATE_NOOP("window::TBaseForm", "создание горячих точек"), 20, false, false, true,
         "hot_point", std::nullopt, model::tmHotPoint,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Made Hot Dot")},
        {"SpeedButtonKnife", 6, 199, QT_TRANSLATE_NOOP("window::TBaseForm", "Разрыв в новом месте"),
         20, false, false, true, "knife", std::nullopt, model::tmKnife,
         QT_TRANSLATE_NOOP("window::TBaseForm", "new Split")},
        {"SpeedButtonEraser", 30, 199, QT_TRANSLATE_NOOP("window::TBaseForm", "Удаление точек"), 20,
         false, false, true, "eraser", std::nullopt, model::tmEraser,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Delete Dot")},
        {"SpeedButtonText", 6, 222, QT_TRANSLATE_NOOP("window::TBaseForm", "Текст"), 0, false,
         false, true, "text", C::Text},
        // Live output, beside the text's: the toolbar is full.
        {"SpeedButtonLaser", 30, 222,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Лазер: вывод по сети (F12 — стоп)"), 0, false,
         false, true, "laser", C::Laser},
        {"SpeedButtonYYY", 6, 246, nullptr, 20, false, false, true, nullptr},
        // A group-20 button: its click puts it down and raises the tool's button while the
        // tool mode stays as it was.
        {"SpeedButtonYu", 30, 246, nullptr, 20, false, false, true, "yu", C::Yu},
        {"SpeedButtonBlank", 6, 270, QT_TRANSLATE_NOOP("window::TBaseForm", "Гашение луча"), 20,
         false, false, true, "blank", std::nullopt, model::tmBlank,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Гашение")},
        {"SpeedButtonColourBrush", 30, 270,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Кисть цвета луча"), 20, false, false, true,
         "colour_brush", std::nullopt, model::tmColourBrush,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Кисть цвета")},
        {"SpeedButtonRotate", 6, 318, QT_TRANSLATE_NOOP("window::TBaseForm", "Поворот на 90 гр"), 0,
         false, false, true, "rotate", C::Rotate},
        {"SpeedButtonReturn128", 30, 318,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Возврат по прежнему контуру "), 0, false, false,
         true, "return128", C::Return128},
        {"SpeedButtonMirrorVert", 6, 341,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Зеркальное отражение"), 0, false, false, true,
         "mirror_vert", C::MirrorVert},
        {"SpeedButtonMirrorGor", 30, 341,
         QT_TRANSLATE_NOOP("window::TBaseForm", "Зеркальное отражение"), 0, false, false, true,
         "mirror_gor", C::MirrorGor},
        {"SpeedButtonZoomIN", 6, 364, QT_TRANSLATE_NOOP("window::TBaseForm", "Масштаб"), 0, false,
         false, false, "zoom_in"},
        {"SpeedButtonZoomOUT", 30, 364, QT_TRANSLATE_NOOP("window::TBaseForm", "Масштаб меньше"), 0,
         false, false, false, "zoom_out"},
    };
    addButtons(PanelTools, kPalette);
}

void TBaseForm::addButtons(QWidget* parent, std::span<const ButtonRow> rows) {
    for (const ButtonRow& e : rows) {
        widgets::SpeedButton* b = addButton(parent, e.name, QPoint(e.x, e.y), e.hint, e.group,
                                            e.allowAllUp, e.down, e.enabled, e.icon);
        if (e.command) {
            share(b, *e.command);
        } else if (e.tool != 0) {
            const int mode = e.tool;
            const QString text = tr(e.toolText);
            connect(b, &QToolButton::clicked, this, [this, mode, text] {
                editor_.SelectTool(mode, text);
                editor_.document().Settle();
            });
        }
        if (e.keep != nullptr) {
            this->*e.keep = b;
        }
    }
}

void TBaseForm::buildDrawingPanel() {
    PanelPen = new QFrame(client_);
    PanelPen->setObjectName(QStringLiteral("PanelPen"));
    PanelPen->setGeometry(64, 32, 409, 401);
    PanelPen->setFrameStyle(QFrame::Box | QFrame::Plain);
    PanelPen->setLineWidth(1);
    PaintBoxVardeni = new SurfaceWidget(PanelPen, editor_);
    PaintBoxVardeni->setObjectName(QStringLiteral("PaintBoxVardeni"));
    PaintBoxVardeni->move(1, 1);
    connect(PaintBoxVardeni, &SurfaceWidget::rightClicked, this, &TBaseForm::showPopup);

    // Neither scroll bar has a handler; they are part of the panel's look.
    ScrollBarPosVert = new QScrollBar(Qt::Vertical, PanelPen);
    ScrollBarPosVert->setObjectName(QStringLiteral("ScrollBarPosVert"));
    ScrollBarPosVert->setGeometry(1 + editor::kSurfaceWidth, 1, 13, editor::kSurfaceHeight);
    ScrollBarPosVert->setRange(-2000111000, 2000111000);
    ScrollBarPosVert->setValue(0);
    ScrollBarPosGorz = new QScrollBar(Qt::Horizontal, PanelPen);
    ScrollBarPosGorz->setObjectName(QStringLiteral("ScrollBarPosGorz"));
    ScrollBarPosGorz->setGeometry(1, 1 + editor::kSurfaceHeight, editor::kSurfaceWidth, 13);
    ScrollBarPosGorz->setRange(0, 100);
    ScrollBarPosGorz->setValue(50);
}

void TBaseForm::buildStatusBar() {
    const Qt::Alignment c = Qt::AlignHCenter;
    StatusBar_ = new StatusBar(client_, {{40, c, tr("М1:1")},
                                         {80, c, QStringLiteral("X=300  Y=330")},
                                         {70, c, tr("leng:0000")},
                                         {70, c, QStringLiteral("n=3%")},
                                         {100, c, QStringLiteral("n=4%")},
                                         {100, Qt::AlignLeft, QStringLiteral("-n5")}});
    StatusBar_->setObjectName(QStringLiteral("StatusBar"));
    StatusBar_->setGeometry(0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight);
}

void TBaseForm::addItem(QMenu* menu, Command c, const QString& caption,
                        const QKeySequence& shortcut, bool enabled) {
    QAction* a = command(c);
    a->setText(caption);
    a->setShortcut(shortcut);
    a->setEnabled(enabled);
    menu->addAction(a);
    built_[std::size_t(c)].inMenu = true;
}

QAction* TBaseForm::addInertItem(QMenu* menu, const char* name, const QString& caption,
                                 bool enabled) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromUtf8(name));
    a->setEnabled(enabled);
    return a;
}

void TBaseForm::buildMenus() {
    using C = Command;
    const auto key = [](QKeyCombination k) { return QKeySequence(k); };
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    QMenu* file = bar->addMenu(tr("Файл"));
    file->setObjectName(QStringLiteral("FileMainMenu"));
    addItem(file, C::New, tr("Создать Новый файл лазерного контура "), key(Qt::CTRL | Qt::Key_N),
            true);
    addItem(file, C::Open, tr("Открыть файл лазерного контура "), key(Qt::CTRL | Qt::Key_O), true);
    addItem(file, C::Save, tr("Сохранить уже созданный"), key(Qt::CTRL | Qt::Key_S), false);
    addItem(file, C::SaveAs, tr("Записать как..."), key(Qt::CTRL | Qt::Key_F), true);
    file->addSeparator()->setObjectName(QStringLiteral("SplPic"));
    addItem(file, C::OpenImage, tr("Загрузить подложку Рисунка"), key(Qt::CTRL | Qt::Key_P), true);
    addItem(file, C::SaveImage, tr("Записать в Лазерный контур в формате BMP"),
            key(Qt::CTRL | Qt::Key_L), true);
    file->addSeparator()->setObjectName(QStringLiteral("SplF"));
    addItem(file, C::Import, tr("Import Laser file Version 1.0-1.5"), key(Qt::CTRL | Qt::Key_I),
            true);
    addItem(file, C::Export, tr("Export Laser file Version 1.0-1.5"), key(Qt::CTRL | Qt::Key_E),
            true);
    // The laser industry's interchange format, beside the legacy file.
    addItem(file, C::ExportIlda, tr("Export ILDA file (*.ild)"),
            key(Qt::CTRL | Qt::SHIFT | Qt::Key_E), true);
    addItem(file, C::ImportIlda, tr("Import ILDA file (*.ild)"),
            key(Qt::CTRL | Qt::SHIFT | Qt::Key_I), true);
    addItem(file, C::ImportSvg, tr("Импорт SVG (*.svg)"), key(Qt::CTRL | Qt::SHIFT | Qt::Key_G),
            true);
    file->addSeparator()->setObjectName(QStringLiteral("SplE"));
    addItem(file, C::Exit, tr("Выход"), key(Qt::CTRL | Qt::Key_Q), true);

    EditMenu_ = bar->addMenu(tr("Правка"));
    EditMenu_->setObjectName(QStringLiteral("EditMainMenu"));
    addItem(EditMenu_, C::Preview, tr("Просмотр лазера"), {}, true);
    addItem(EditMenu_, C::Trace, tr("Трассировка подложки…"), key(Qt::CTRL | Qt::Key_T), true);
    addItem(EditMenu_, C::Text, tr("Текст…"), key(Qt::CTRL | Qt::SHIFT | Qt::Key_T), true);
    // Checked, and its button down, while the output runs.
    command(C::Laser)->setCheckable(true);
    addItem(EditMenu_, C::Laser, tr("Лазер…"), {}, true);
    command(C::BlankPenJumps)->setCheckable(true);
    addItem(EditMenu_, C::BlankPenJumps, tr("Гасить скачки пера"), {}, true);

    // The frames of a show, between the editing and the help.
    QMenu* frames = bar->addMenu(tr("Кадр"));
    frames->setObjectName(QStringLiteral("FrameMainMenu"));
    addItem(frames, C::FrameNew, tr("Новый кадр"), key(Qt::CTRL | Qt::SHIFT | Qt::Key_N), true);
    addItem(frames, C::FrameDuplicate, tr("Копия кадра"), key(Qt::CTRL | Qt::SHIFT | Qt::Key_D),
            true);
    addItem(frames, C::FrameDelete, tr("Удалить кадр"), key(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete),
            true);
    addItem(frames, C::FrameInBetween, tr("Промежуточные кадры…"), {}, true);
    addItem(frames, C::FramesFromFiles, tr("Кадры из файлов…"), {}, true);
    frames->addSeparator();
    addItem(frames, C::FrameNext, tr("Следующий кадр"), key(Qt::CTRL | Qt::Key_PageDown), true);
    addItem(frames, C::FramePrevious, tr("Предыдущий кадр"), key(Qt::CTRL | Qt::Key_PageUp), true);
    addItem(frames, C::FrameFirst, tr("Первый кадр"), key(Qt::CTRL | Qt::Key_Home), true);
    addItem(frames, C::FrameLast, tr("Последний кадр"), key(Qt::CTRL | Qt::Key_End), true);
    frames->addSeparator();
    command(C::FrameStrip)->setCheckable(true);
    addItem(frames, C::FrameStrip, tr("Лента кадров"), {}, true);
    command(C::FrameNeighbours)->setCheckable(true);
    addItem(frames, C::FrameNeighbours, tr("Соседние кадры"), key(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
            true);

    QMenu* help = bar->addMenu(tr("Справка"));
    help->setObjectName(QStringLiteral("HelpMainMenu"));
    addItem(help, C::About, tr("О программе"), {}, true);
    addInertItem(help, "ItemHelp", tr("Помощь"), true);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    addItem(PopupMenu, C::Undo, tr("Откат"), {}, false);
    addInertItem(PopupMenu, "popurDelet", tr("Удалить"), false);
    addInertItem(PopupMenu, "popurCopy", tr("Копировать"), false);
    addInertItem(PopupMenu, "ItemClosePopur", tr("Закрыть меню "), true);
}

void TBaseForm::on(Command c, std::function<void()> handler) {
    // Every command is a user step: what it changed is announced once it has run.
    connect(command(c), &QAction::triggered, this, [this, handler = std::move(handler)] {
        handler();
        editor_.document().Settle();
    });
    built_[std::size_t(c)].handled = true;
}

void TBaseForm::hookCommands() {
    using C = Command;
    FileCommands& files = fileCommands_;
    editor::Editor& ed = editor_;
    // The view and the editor.
    // Undo takes back the last step, a frame command or a contour edit.
    on(C::Undo, [this, &ed] {
        if (!frames_.Undo()) {
            ed.SpeedButtonUndoClick();
        }
    });
    on(C::Rotor, [&ed] { ed.SpeedButtonToolsClick(); });
    on(C::ShowLine, [this] { SpeedButtonPaintLineClick(); });
    on(C::ShowPoints, [this] { SpeedButtonPaintPixelClick(); });
    on(C::ShowUnderlay, [this] { SpeedButtonPictureONClick(); });
    on(C::ShowGrid, [this] { SpeedButtonSetkaONClick(); });
    on(C::Refresh, [this] { SpeedButtonRefreshClick(); });
    on(C::Options, [this] { SpeedButtonOptionFormClick(); });
    on(C::About, [this] { SpeedButtonAboutClick(); });
    on(C::Exit, [this] { close(); });
    // Whole-contour commands.
    on(C::MirrorGor, [&ed] { editor::SpeedButtonMirrorGorClick(ed); });
    on(C::MirrorVert, [&ed] { editor::SpeedButtonMirrorVertClick(ed); });
    on(C::Rotate, [&ed] { editor::SpeedButtonRotateClick(ed); });
    on(C::Yu, [&ed] { editor::SpeedButtonYuClick(ed); });
    on(C::Return128, [&ed] { editor::SpeedButtonReturn128Click(ed); });
    on(C::NormalDistance, [&ed] { editor::SpeedButtonNormalDistanceClick(ed); });
    // Contour files.
    on(C::New, [&files] { files.SpeedButtonNewPictClick(); });
    on(C::Open, [&files] { files.SpeedButtonOpenLaserClick(); });
    on(C::Save, [&files] { files.SpeedButtonSaveClick(); });
    on(C::SaveAs, [&files] { files.SaveAsItemClick(); });
    on(C::Import, [&files] { files.ItemImportClick(); });
    on(C::Export, [&files] { files.ItemExportClick(); });
    // The underlay picture and the bitmap of the surface.
    on(C::OpenImage, [this] { pictures_.SpeedButtonOpenImageClick(); });
    on(C::SaveImage, [this] { pictures_.SpeedButtonSavePiktureClick(); });
    // ILDA and SVG.
    on(C::ExportIlda, [this] { ilda_.ItemExportIldaClick(); });
    on(C::ImportIlda, [this] { ilda_.ItemImportIldaClick(); });
    on(C::ImportSvg, [this] { svg_.ItemImportSvgClick(); });
    // Tracing the underlay, text, the laser preview and live output.
    on(C::Trace, [this] { trace_.SpeedButtonTraceClick(); });
    on(C::Text, [this] { text_.ItemTextClick(); });
    on(C::Preview, [this] { preview_.SpeedButtonPreviewClick(); });
    on(C::Laser, [this] {
        laser_.Open();
        // A click opens the window; whether the output runs is the window's to say.
        command(C::Laser)->setChecked(laser_.Running());
    });
    // The frames.
    on(C::FrameNew, [this] { frames_.ItemFrameNewClick(); });
    on(C::FrameDuplicate, [this] { frames_.ItemFrameDuplicateClick(); });
    on(C::FrameDelete, [this] { frames_.ItemFrameDeleteClick(); });
    on(C::FrameInBetween, [this] { frames_.ItemFrameInBetweenClick(); });
    on(C::FramesFromFiles, [this] { frameFiles_.ItemFramesFromFilesClick(); });
    on(C::FrameNext, [this] { frames_.ItemFrameNextClick(); });
    on(C::FramePrevious, [this] { frames_.ItemFramePreviousClick(); });
    on(C::FrameFirst, [this] { frames_.ItemFrameFirstClick(); });
    on(C::FrameLast, [this] { frames_.ItemFrameLastClick(); });
    on(C::FrameStrip, [this] { ShowFrameStrip(command(C::FrameStrip)->isChecked()); });
    on(C::FrameNeighbours,
       [this] { frames_.ShowNeighbours(command(C::FrameNeighbours)->isChecked()); });
    // What the pen gives new points.
    on(C::BeamColour, [this] { beam_->SpeedButtonBeamColourClick(); });
    on(C::BlankPenJumps,
       [this] { beam_->ItemBlankPenJumpsClick(command(C::BlankPenJumps)->isChecked()); });
    checkWiring();
}

void TBaseForm::checkWiring() {
    wiringProblems_ = WiringProblems(built_);
#ifndef NDEBUG
    if (!wiringProblems_.isEmpty()) {
        qFatal("The main window's commands are not wired as their table says:\n%s",
               qPrintable(wiringProblems_.join(QLatin1Char('\n'))));
    }
#endif
}

}  // namespace window
