#include "window/base_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QIcon>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include "editor/transform_commands.h"
#include "window/laser_window.h"
#include "window/output_memory.h"
#include "window/stop_key.h"

namespace window {

namespace {

constexpr int kButtonSize = 23;
constexpr int kIconSize = 18;
constexpr int kToolbarHeight = 30;
constexpr int kStatusHeight = 19;

struct ToolEntry {
    const char* button;
    int mode;
    const char* text;
};

// Palette buttons that select a tool: mode and status text.
constexpr ToolEntry kTools[] = {
    {"SpeedButtonKontur", model::tmKontur, "Select Dots"},
    {"SpeedButtonMove", model::tmMove, "Move Object"},
    {"SpeedButtonCentr", model::tmCentr, "Установка центра"},
    {"SpeedButtonPen", model::tmPen, "Paint Picture"},
    {"SpeedButtonEditPoint", model::tmEditPoint, "Move Dot"},
    {"SpeedButtonMadePrimitiv", model::tmPrimitiv, "Mase Figura"},
    {"SpeedButtonHotPoint", model::tmHotPoint, "Made Hot Dot"},
    {"SpeedButtonKnife", model::tmKnife, "new Split"},
    {"SpeedButtonEraser", model::tmEraser, "Delete Dot"},
    {"SpeedButtonBlank", model::tmBlank, "Гашение"},
    {"SpeedButtonColourBrush", model::tmColourBrush, "Кисть цвета"},
};

// The beam colour button: a narrow swatch in the last pixels of the toolbar.
constexpr QRect kBeamColourButton(472, 3, 14, 23);
constexpr QSize kBeamColourSwatch(8, 17);

}  // namespace

TBaseForm::TBaseForm(editor::EditorSettings& settings, QWidget* parent)
    : QMainWindow(parent), editor_(*this, settings) {
    setObjectName(QStringLiteral("BaseForm"));
    setWindowTitle(QStringLiteral("BaseForm"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("ClientArea"));
    client_->setFixedSize(kClientWidth, kClientHeight);
    client_->setContextMenuPolicy(Qt::CustomContextMenu);
    setCentralWidget(client_);

    buildToolbar();
    buildPalette();
    buildDrawingPanel();
    buildStatusBar();
    buildMenus();
    buildPreviewControls();
    buildPenStyleControls();
    trace_ = std::make_unique<TraceCommands>(*this, *PaintBoxVardeni);
    text_ = std::make_unique<TextCommands>(*this, *PaintBoxVardeni);
    hookCommands();
    connect(client_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { showPopup(client_->mapToGlobal(pos)); });

    // A fixed frame; the window is as large as its menu bar and client area.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        const QSize size = sizeHint();
        move(avail.center() - QPoint(size.width() / 2, size.height() / 2));
    }
}

void TBaseForm::FormCreate() {
    editor_.FormCreate();
    CaptionFile = QStringLiteral("[no name]");
    CaptionPrefix = QStringLiteral("Vardeni : ");
    UpdateCaption();
    fileCommands_.FormCreate();
}

void TBaseForm::UpdateCaption() {
    setWindowTitle(CaptionPrefix + CaptionFile);
}

widgets::SpeedButton* TBaseForm::addButton(QWidget* parent, const char* name, QPoint pos,
                                           const char* hint, int group, bool allowAllUp, bool down,
                                           bool enabled, const char* icon) {
    auto* b = new widgets::SpeedButton(parent, group, allowAllUp);
    b->setObjectName(QString::fromUtf8(name));
    b->setGeometry(pos.x(), pos.y(), kButtonSize, kButtonSize);
    if (hint != nullptr) {
        b->setToolTip(QString::fromUtf8(hint));
    }
    if (icon != nullptr) {
        b->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QString::fromUtf8(icon))));
        b->setIconSize(QSize(kIconSize, kIconSize));
    }
    b->setChecked(down);
    b->setEnabled(enabled);
    buttons_[b->objectName()] = b;
    return b;
}

widgets::SpeedButton* TBaseForm::button(const QString& name) const {
    const auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

QAction* TBaseForm::action(const QString& name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
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
    struct Entry {
        const char* name;
        int x;
        const char* hint;
        int group;
        bool enabled;
        const char* icon;
    };
    static constexpr Entry kToolbar[] = {
        {"SpeedButtonNewPict", 0, "Новый рисунок", 0, true, "new"},
        {"SpeedButtonOpenLaser", 23, "Открыть картинку лазера", 0, true, "open_laser"},
        {"SpeedButtonSave", 46, "Сохранить картинку лазера", 0, false, "save"},
        {"SpeedButtonOpenImage", 79, "Открыть новую подложку", 0, true, "open_image"},
        {"SpeedButtonSavePikture", 102, nullptr, 0, true, "save_picture"},
        {"SpeedButtonUndo", 135, nullptr, 0, false, "undo"},
        {"SpeedButtonCopy", 166, "Копировать в буфер", 0, false, "copy"},
        {"SpeedButtonPaste", 189, "Вставить из буфера", 0, false, "paste"},
        {"SpeedButtonCut", 212, nullptr, 0, false, "cut"},
        {"SpeedButtonPictureON", 245, "Высветить подложку", 1, true, "picture_on"},
        {"SpeedButtonSetkaON", 268, "Показать сетку", 3, true, "grid"},
        {"SpeedButtonRefresh", 291, "Перерисовать экран", 0, true, "refresh"},
        {"SpeedButtonNormalDistance", 314, "Нормализовать и соединить контур", 0, true,
         "normal_distance"},
        {"SpeedButtonOptionForm", 347, nullptr, 0, true, "options"},
        {"SpeedButtonHelp", 380, nullptr, 0, true, "help"},
        {"SpeedButtonAbout", 403, nullptr, 0, true, "about"},
    };
    for (const Entry& e : kToolbar) {
        addButton(ToolBar, e.name, QPoint(e.x, 3), e.hint, e.group, true, false, e.enabled, e.icon);
    }
    SpeedButtonUndo = button(QStringLiteral("SpeedButtonUndo"));
    SpeedButtonPictureON = button(QStringLiteral("SpeedButtonPictureON"));
    SpeedButtonSetkaON = button(QStringLiteral("SpeedButtonSetkaON"));
}

void TBaseForm::buildPalette() {
    PanelTools = new QFrame(client_);
    PanelTools->setObjectName(QStringLiteral("PanelTools"));
    PanelTools->setGeometry(0, 31, 57, 401);
    PanelTools->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelTools->setLineWidth(1);
    struct Entry {
        const char* name;
        int x;
        int y;
        const char* hint;
        int group;
        bool allowAllUp;
        bool down;
        bool enabled;
        const char* icon;
    };
    static constexpr Entry kPalette[] = {
        {"SpeedButtonPaintPixel", 4, 4, "Показать точки", 5, true, true, true, "points"},
        {"SpeedButtonPaintLine", 29, 4, "Показать контур линией", 6, true, true, true, "line"},
        {"SpeedButtonDirectHook", 6, 28, "Направление захвата точки", 19, true, false, true,
         "direct_hook"},
        {"SpeedButtonX", 30, 28, nullptr, 19, true, false, true, nullptr},
        {"SpeedButtonKontur", 4, 81, "режим выделения контура", 20, false, true, true, "kontur"},
        {"SpeedButtonKonturPoly", 30, 81, nullptr, 20, false, false, false, "kontur_poly"},
        {"SpeedButtonMove", 6, 105, "перемещение", 20, false, false, true, "move"},
        {"SpeedButtonSize", 30, 105, "изменение размера", 20, false, false, false, "size"},
        {"SpeedButtonRotor", 6, 128, "Вращение", 20, false, false, false, "rotor"},
        {"SpeedButtonCentr", 30, 128, "Установка центра вращения", 20, false, false, true, "centr"},
        {"SpeedButtonPen", 6, 151, "режим рисования", 20, false, false, true, "pen"},
        {"SpeedButtonEditPoint", 30, 151, "Точное позиционирование точек", 20, false, false, true,
         "edit_point"},
        {"SpeedButtonMadePrimitiv", 6, 174, "создание примитивов", 20, false, false, false,
         "primitiv"},
        {"SpeedButtonHotPoint", 30, 174, "создание горячих точек", 20, false, false, true,
         "hot_point"},
        {"SpeedButtonKnife", 6, 199, "Разрыв в новом месте", 20, false, false, true, "knife"},
        {"SpeedButtonEraser", 30, 199, "Удаление точек", 20, false, false, true, "eraser"},
        {"SpeedButtonText", 6, 222, "Текст", 0, false, false, true, "text"},
        {"SpeedButtonLaser", 30, 222, "Лазер: вывод по сети (F12 — стоп)", 0, false, false, true,
         "laser"},
        {"SpeedButtonYYY", 6, 246, nullptr, 20, false, false, true, nullptr},
        {"SpeedButtonYu", 30, 246, nullptr, 20, false, false, true, "yu"},
        {"SpeedButtonBlank", 6, 270, "Гашение луча", 20, false, false, true, "blank"},
        {"SpeedButtonColourBrush", 30, 270, "Кисть цвета луча", 20, false, false, true,
         "colour_brush"},
        {"SpeedButtonRotate", 6, 318, "Поворот на 90 гр", 0, false, false, true, "rotate"},
        {"SpeedButtonReturn128", 30, 318, "Возврат по прежнему контуру ", 0, false, false, true,
         "return128"},
        {"SpeedButtonMirrorVert", 6, 341, "Зеркальное отражение", 0, false, false, true,
         "mirror_vert"},
        {"SpeedButtonMirrorGor", 30, 341, "Зеркальное отражение", 0, false, false, true,
         "mirror_gor"},
        {"SpeedButtonZoomIN", 6, 364, "Масштаб", 0, false, false, false, "zoom_in"},
        {"SpeedButtonZoomOUT", 30, 364, "Масштаб меньше", 0, false, false, false, "zoom_out"},
    };
    for (const Entry& e : kPalette) {
        addButton(PanelTools, e.name, QPoint(e.x, e.y), e.hint, e.group, e.allowAllUp, e.down,
                  e.enabled, e.icon);
    }
    SpeedButtonPaintLine = button(QStringLiteral("SpeedButtonPaintLine"));
    SpeedButtonPaintPixel = button(QStringLiteral("SpeedButtonPaintPixel"));
    SpeedButtonDirectHook = button(QStringLiteral("SpeedButtonDirectHook"));
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
    StatusBar_ = new StatusBar(client_, {{40, c, QStringLiteral("М1:1")},
                                         {80, c, QStringLiteral("X=300  Y=330")},
                                         {70, c, QStringLiteral("leng:0000")},
                                         {70, c, QStringLiteral("n=3%")},
                                         {100, c, QStringLiteral("n=4%")},
                                         {100, Qt::AlignLeft, QStringLiteral("-n5")}});
    StatusBar_->setObjectName(QStringLiteral("StatusBar"));
    StatusBar_->setGeometry(0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight);
}

QAction* TBaseForm::addAction(QMenu* menu, const char* name, const QString& caption,
                              const QKeySequence& shortcut, bool enabled) {
    auto* a = menu->addAction(caption);
    a->setObjectName(QString::fromUtf8(name));
    a->setShortcut(shortcut);
    a->setEnabled(enabled);
    actions_[a->objectName()] = a;
    return a;
}

void TBaseForm::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    QMenu* file = bar->addMenu(QStringLiteral("Файл"));
    file->setObjectName(QStringLiteral("FileMainMenu"));
    addAction(file, "FileNewItem", QStringLiteral("Создать Новый файл лазерного контура "),
              QKeySequence(Qt::CTRL | Qt::Key_N), true);
    addAction(file, "OpenFileItem", QStringLiteral("Открыть файл лазерного контура "),
              QKeySequence(Qt::CTRL | Qt::Key_O), true);
    addAction(file, "SaveItem", QStringLiteral("Сохранить уже созданный"),
              QKeySequence(Qt::CTRL | Qt::Key_S), false);
    addAction(file, "SaveAsItem", QStringLiteral("Записать как..."),
              QKeySequence(Qt::CTRL | Qt::Key_F), true);
    file->addSeparator()->setObjectName(QStringLiteral("SplPic"));
    addAction(file, "ItemOpenImage", QStringLiteral("Загрузить подложку Рисунка"),
              QKeySequence(Qt::CTRL | Qt::Key_P), true);
    addAction(file, "ItemSaveImage", QStringLiteral("Записать в Лазерный контур в формате BMP"),
              QKeySequence(Qt::CTRL | Qt::Key_L), true);
    file->addSeparator()->setObjectName(QStringLiteral("SplF"));
    addAction(file, "ItemImport", QStringLiteral("Import Laser file Version 1.0-1.5"),
              QKeySequence(Qt::CTRL | Qt::Key_I), true);
    addAction(file, "ItemExport", QStringLiteral("Export Laser file Version 1.0-1.5"),
              QKeySequence(Qt::CTRL | Qt::Key_E), true);
    // The laser industry's interchange format, beside the legacy file.
    addAction(file, "ItemExportIlda", QStringLiteral("Export ILDA file (*.ild)"),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), true);
    addAction(file, "ItemImportIlda", QStringLiteral("Import ILDA file (*.ild)"),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I), true);
    addAction(file, "ItemImportSvg", QStringLiteral("Импорт SVG (*.svg)"),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G), true);
    file->addSeparator()->setObjectName(QStringLiteral("SplE"));
    addAction(file, "ItemExit", QStringLiteral("Выход"), QKeySequence(Qt::CTRL | Qt::Key_Q), true);

    QMenu* edit = bar->addMenu(QStringLiteral("Правка"));
    edit->setObjectName(QStringLiteral("EditMainMenu"));

    QMenu* help = bar->addMenu(QStringLiteral("Справка"));
    help->setObjectName(QStringLiteral("HelpMainMenu"));
    addAction(help, "ItemAbout", QStringLiteral("О программе"), {}, true);
    addAction(help, "ItemHelp", QStringLiteral("Помощь"), {}, true);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    OtkatItem = addAction(PopupMenu, "OtkatItem", QStringLiteral("Откат"), {}, false);
    addAction(PopupMenu, "popurDelet", QStringLiteral("Удалить"), {}, false);
    addAction(PopupMenu, "popurCopy", QStringLiteral("Копировать"), {}, false);
    addAction(PopupMenu, "ItemClosePopur", QStringLiteral("Закрыть меню "), {}, true);
}

void TBaseForm::showPopup(const QPoint& globalPos) {
    PopupMenu->popup(globalPos);
}

// ---- EditorHost ----

void TBaseForm::setStatusText(int panel, const QString& text) {
    StatusBar_->setPanelText(panel, text);
}

void TBaseForm::setUndoEnabled(bool enabled) {
    // Enabling goes button first; disabling goes menu item first.
    if (enabled) {
        SpeedButtonUndo->setEnabled(true);
        OtkatItem->setEnabled(true);
    } else {
        OtkatItem->setEnabled(false);
        SpeedButtonUndo->setEnabled(false);
    }
}

void TBaseForm::setCursorShape(editor::CursorShape shape) {
    static constexpr Qt::CursorShape kShapes[] = {Qt::ArrowCursor, Qt::SizeHorCursor,
                                                  Qt::SizeVerCursor, Qt::SizeAllCursor};
    PaintBoxVardeni->setCursor(kShapes[int(shape)]);
}

void TBaseForm::surfaceChanged(const QRect& rect) {
    PaintBoxVardeni->update(rect);
    // The default beam colour is the line colour, which the settings may have changed.
    ShowBeamColour();
}

bool TBaseForm::lineShown() const {
    return SpeedButtonPaintLine->isDown();
}

bool TBaseForm::pointsShown() const {
    return SpeedButtonPaintPixel->isDown();
}

bool TBaseForm::gridShown() const {
    return SpeedButtonSetkaON->isDown();
}

bool TBaseForm::directHook() const {
    return SpeedButtonDirectHook->isDown();
}

void TBaseForm::setDirectHook(bool down) {
    SpeedButtonDirectHook->setDown(down);
}

void TBaseForm::setUnderlayToggle(bool down) {
    SpeedButtonPictureON->setDown(down);
}

// ---- View handlers ----

void TBaseForm::SpeedButtonPaintLineClick() {
    // At least one of the two views stays on, and it is the line that comes back.
    if (!lineShown() && !pointsShown()) {
        SpeedButtonPaintLine->setDown(true);
    }
    editor_.Repaint();
}

void TBaseForm::SpeedButtonPaintPixelClick() {
    SpeedButtonPaintLineClick();
}

void TBaseForm::SpeedButtonSetkaONClick() {
    editor_.ArmRepaint();
}

void TBaseForm::SpeedButtonPictureONClick() {
    editor_.ShowUnderlay(SpeedButtonPictureON->isDown());
}

void TBaseForm::SpeedButtonRefreshClick() {
    editor_.Repaint();
}

void TBaseForm::SpeedButtonOptionFormClick() {
    ShowWindow(OptionForm_);
}

void TBaseForm::SpeedButtonAboutClick() {
    ShowWindow(AboutForm_);
}

// ---- Commands ----

void TBaseForm::hook(const char* control, const std::function<void()>& command) {
    const QString name = QString::fromUtf8(control);
    // Every command is a user step: what it changed is announced once it has run.
    const auto step = [this, command] {
        command();
        editor_.document().Settle();
    };
    if (widgets::SpeedButton* b = button(name)) {
        connect(b, &QToolButton::clicked, this, step);
    } else if (QAction* a = action(name)) {
        connect(a, &QAction::triggered, this, step);
    }
}

void TBaseForm::hookCommands() {
    FileCommands& files = fileCommands_;
    editor::Editor& ed = editor_;
    // Palette buttons that select a tool, with the tool's status text.
    for (const ToolEntry& t : kTools) {
        const int mode = t.mode;
        const QString text = QString::fromUtf8(t.text);
        hook(t.button, [&ed, mode, text] { ed.SelectTool(mode, text); });
    }
    // Whole-contour commands. SpeedButtonYu is a group-20 button: its click puts it down and
    // raises the tool's button while ToolMode stays as it was.
    const std::pair<const char*, void (*)(editor::Editor&)> kTransforms[] = {
        {"SpeedButtonMirrorGor", &editor::SpeedButtonMirrorGorClick},
        {"SpeedButtonMirrorVert", &editor::SpeedButtonMirrorVertClick},
        {"SpeedButtonRotate", &editor::SpeedButtonRotateClick},
        {"SpeedButtonYu", &editor::SpeedButtonYuClick},
        {"SpeedButtonReturn128", &editor::SpeedButtonReturn128Click},
        {"SpeedButtonNormalDistance", &editor::SpeedButtonNormalDistanceClick},
    };
    for (const auto& [name, command] : kTransforms) {
        hook(name, [&ed, command] { command(ed); });
    }
    // Every other command, by group. A menu item beside a toolbar button runs the same command.
    const std::pair<const char*, std::function<void()>> kCommands[] = {
        // The view and the editor.
        {"SpeedButtonUndo", [&ed] { ed.SpeedButtonUndoClick(); }},
        {"OtkatItem", [&ed] { ed.SpeedButtonUndoClick(); }},
        {"SpeedButtonRotor", [&ed] { ed.SpeedButtonToolsClick(); }},
        {"SpeedButtonPaintLine", [this] { SpeedButtonPaintLineClick(); }},
        {"SpeedButtonPaintPixel", [this] { SpeedButtonPaintPixelClick(); }},
        {"SpeedButtonPictureON", [this] { SpeedButtonPictureONClick(); }},
        {"SpeedButtonSetkaON", [this] { SpeedButtonSetkaONClick(); }},
        {"SpeedButtonRefresh", [this] { SpeedButtonRefreshClick(); }},
        {"SpeedButtonOptionForm", [this] { SpeedButtonOptionFormClick(); }},
        {"SpeedButtonAbout", [this] { SpeedButtonAboutClick(); }},
        {"ItemAbout", [this] { SpeedButtonAboutClick(); }},
        {"ItemExit", [this] { close(); }},
        // Contour files.
        {"SpeedButtonNewPict", [&files] { files.SpeedButtonNewPictClick(); }},
        {"FileNewItem", [&files] { files.SpeedButtonNewPictClick(); }},
        {"SpeedButtonOpenLaser", [&files] { files.SpeedButtonOpenLaserClick(); }},
        {"OpenFileItem", [&files] { files.SpeedButtonOpenLaserClick(); }},
        {"SpeedButtonSave", [&files] { files.SpeedButtonSaveClick(); }},
        {"SaveItem", [&files] { files.SpeedButtonSaveClick(); }},
        {"SaveAsItem", [&files] { files.SaveAsItemClick(); }},
        {"ItemImport", [&files] { files.ItemImportClick(); }},
        {"ItemExport", [&files] { files.ItemExportClick(); }},
        // The underlay picture and the bitmap of the surface.
        {"SpeedButtonOpenImage", [this] { pictures_.SpeedButtonOpenImageClick(); }},
        {"ItemOpenImage", [this] { pictures_.SpeedButtonOpenImageClick(); }},
        {"SpeedButtonSavePikture", [this] { pictures_.SpeedButtonSavePiktureClick(); }},
        {"ItemSaveImage", [this] { pictures_.SpeedButtonSavePiktureClick(); }},
        // ILDA and SVG.
        {"ItemExportIlda", [this] { ilda_.ItemExportIldaClick(); }},
        {"ItemImportIlda", [this] { ilda_.ItemImportIldaClick(); }},
        {"ItemImportSvg", [this] { svg_.ItemImportSvgClick(); }},
        // Tracing the underlay, text, and the laser preview.
        {"SpeedButtonTrace", [this] { trace_->SpeedButtonTraceClick(); }},
        {"ItemTrace", [this] { trace_->SpeedButtonTraceClick(); }},
        {"SpeedButtonText", [this] { text_->ItemTextClick(); }},
        {"ItemText", [this] { text_->ItemTextClick(); }},
        {"SpeedButtonPreview", [this] { preview_.SpeedButtonPreviewClick(); }},
        {"PreviewItem", [this] { preview_.SpeedButtonPreviewClick(); }},
        {"SpeedButtonLaser", [this] { SpeedButtonLaserClick(); }},
        {"LaserItem", [this] { SpeedButtonLaserClick(); }},
        // What the pen gives new points.
        {"SpeedButtonBeamColour", [this] { SpeedButtonBeamColourClick(); }},
        {"ItemBlankPenJumps", [this] { ItemBlankPenJumpsClick(); }},
    };
    for (const auto& [name, command] : kCommands) {
        hook(name, command);
    }
}

void TBaseForm::setCaptionFile(const QString& captionFile) {
    CaptionFile = captionFile;
    UpdateCaption();
}

void TBaseForm::enableSaveControls() {
    action(QStringLiteral("SaveItem"))->setEnabled(true);
    button(QStringLiteral("SpeedButtonSave"))->setEnabled(true);
}

TBaseForm::~TBaseForm() = default;

void TBaseForm::KeepRecovery(std::unique_ptr<RecoveryKeeper> keeper) {
    recovery_ = std::move(keeper);
}

void TBaseForm::setStatusToolTip(const QString& text) {
    StatusBar_->setToolTip(text);
}

void TBaseForm::showNotice(const QString& text, const QString& hint) {
    setStatusText(editor::kPanelDot, text);
    setStatusToolTip(hint);
}

void TBaseForm::closeEvent(QCloseEvent* event) {
    // Unsaved work is offered for saving; the window stays open when it is not settled.
    if (fileCommands_.QueryClose()) {
        // Settled, whatever the answer: the recovery copy has done its work.
        if (recovery_) {
            recovery_->Finish();
        }
        RememberOutput();
        event->accept();
    } else {
        event->ignore();
    }
}

// ---- Laser preview ----
// Opened from a toolbar button after the about button and from the one item of the "Правка" menu.

void TBaseForm::buildPreviewControls() {
    addButton(ToolBar, "SpeedButtonPreview", QPoint(426, 3), "Просмотр лазера", 0, true, false,
              true, "preview");
    auto* edit = menuBar()->findChild<QMenu*>(QStringLiteral("EditMainMenu"));
    addAction(edit, "PreviewItem", QStringLiteral("Просмотр лазера"), {}, true);

    // Tracing the underlay: the button right after the preview's, and its menu item.
    addButton(ToolBar, "SpeedButtonTrace", QPoint(449, 3), "Трассировка подложки", 0, true, false,
              true, "trace");
    addAction(edit, "ItemTrace", QStringLiteral("Трассировка подложки…"),
              QKeySequence(Qt::CTRL | Qt::Key_T), true);
    // Text, also from its palette button.
    addAction(edit, "ItemText", QStringLiteral("Текст…"),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T), true);

    // Live output to a laser: the palette's button beside the text's (the toolbar is full), its
    // menu item, and F12, which stops the output from any window of the program.
    addAction(edit, "LaserItem", QStringLiteral("Лазер…"), {}, true);
    stopKey_ = std::make_unique<StopKey>([this] {
        if (laser_) {
            laser_->StopOutput();
        }
    });
}

void TBaseForm::SpeedButtonLaserClick() {
    if (!laser_) {
        // A window of its own, not one of this window's family: a dialog over this window
        // never blocks its Стоп button.
        laser_ = std::make_unique<LaserWindow>(
            editor_, [this](const QString& text) { showNotice(text, {}); });
        laser_->setAddress(outputAddress_);
        connect(laser_.get(), &LaserWindow::Started, this, &TBaseForm::RememberOutput);
    }
    ShowWindow(laser_.get());
}

void TBaseForm::KeepOutputSettings(const QString& path) {
    outputMemory_ = path;
    const OutputMemory kept = ReadOutputMemory(path);
    editor_.document().output().set(kept.stage);
    outputAddress_ = kept.address;
    if (laser_) {
        laser_->setAddress(outputAddress_);
    }
}

void TBaseForm::RememberOutput() {
    if (outputMemory_.isEmpty()) {
        return;
    }
    if (laser_) {
        outputAddress_ = laser_->address();
    }
    const OutputMemory now{outputAddress_, editor_.document().output().get()};
    if (now != ReadOutputMemory(outputMemory_)) {
        WriteOutputMemory(outputMemory_, now);
    }
}

// ---- The pen's beam colour and its jumps ----

void TBaseForm::buildPenStyleControls() {
    auto* b = new widgets::SpeedButton(ToolBar, 0, true);
    b->setObjectName(QStringLiteral("SpeedButtonBeamColour"));
    b->setGeometry(kBeamColourButton);
    b->setToolTip(QStringLiteral("Цвет луча"));
    b->setIconSize(kBeamColourSwatch);
    buttons_[b->objectName()] = b;
    ShowBeamColour();

    auto* edit = menuBar()->findChild<QMenu*>(QStringLiteral("EditMainMenu"));
    QAction* jumps =
        addAction(edit, "ItemBlankPenJumps", QStringLiteral("Гасить скачки пера"), {}, true);
    jumps->setCheckable(true);
    jumps->setChecked(false);
}

QRgb TBaseForm::beamColour() const {
    const model::PointStyle pen = editor_.contour().PenStyle;
    return pen.coloured ? qRgb(qRed(pen.rgb), qGreen(pen.rgb), qBlue(pen.rgb))
                        : editor::ResolveColor(editor_.settings().ColorBoxLine);
}

void TBaseForm::ShowBeamColour() {
    widgets::SpeedButton* b = button(QStringLiteral("SpeedButtonBeamColour"));
    const QRgb colour = beamColour();
    if (b == nullptr || (shownBeamColour_ && *shownBeamColour_ == colour)) {
        return;
    }
    shownBeamColour_ = colour;
    // The swatch: the colour inside a dark rim.
    QPixmap swatch(kBeamColourSwatch);
    swatch.fill(QColor(0x2b, 0x3a, 0x4a));
    QPainter p(&swatch);
    p.fillRect(QRect(QPoint(1, 1), kBeamColourSwatch - QSize(2, 2)), QColor::fromRgb(colour));
    p.end();
    b->setIcon(QIcon(swatch));
}

void TBaseForm::SpeedButtonBeamColourClick() {
    model::PointStyle& pen = editor_.contour().PenStyle;
    BeamColourRequest request;
    request.title = QStringLiteral("Цвет луча");
    request.isDefault = !pen.coloured;
    request.colour = beamColour();
    const std::optional<BeamColourChoice> choice = dialogs().chooseBeamColour(request);
    if (!choice) {
        return;
    }
    pen = choice->isDefault ? model::PointStyle{}
                            : model::PointStyle::Colour(choice->colour & 0xFFFFFFu);
    ShowBeamColour();
}

void TBaseForm::ItemBlankPenJumpsClick() {
    editor_.contour().BlankPenJumps = action(QStringLiteral("ItemBlankPenJumps"))->isChecked();
}

}  // namespace window
