#include "window/base_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QImage>
#include <QLayout>
#include <QPixmap>
#include <QScreen>

#include "window/icons.h"
#include "window/laser_window.h"

namespace window {

TBaseForm::TBaseForm(editor::EditorSettings& settings, QWidget* parent)
    : QMainWindow(parent), editor_(*this, settings) {
    setObjectName(QStringLiteral("BaseForm"));
    setWindowTitle(QStringLiteral("BaseForm"));
    setWindowIcon(WindowIcon());

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("ClientArea"));
    client_->setFixedSize(kClientWidth, kClientHeight);
    client_->setContextMenuPolicy(Qt::CustomContextMenu);
    setCentralWidget(client_);

    buildCommands();
    buildToolbar();
    buildPalette();
    buildDrawingPanel();
    buildStatusBar();
    buildMenus();
    beam_ = std::make_unique<BeamColour>(*this, *SpeedButtonBeamColour);
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

TBaseForm::~TBaseForm() = default;

void TBaseForm::FormCreate() {
    editor_.FormCreate();
    CaptionFile = tr("[no name]");
    CaptionPrefix = QStringLiteral("Vardeni : ");
    UpdateCaption();
    fileCommands_.FormCreate();
}

void TBaseForm::UpdateCaption() {
    setWindowTitle(CaptionPrefix + CaptionFile);
}

widgets::SpeedButton* TBaseForm::button(const QString& name) const {
    return findChild<widgets::SpeedButton*>(name);
}

QAction* TBaseForm::action(const QString& name) const {
    return findChild<QAction*>(name);
}

void TBaseForm::showPopup(const QPoint& globalPos) {
    PopupMenu->popup(globalPos);
}

// ---- EditorHost ----

void TBaseForm::setStatusText(int panel, const QString& text) {
    StatusBar_->setPanelText(panel, text);
}

void TBaseForm::setUndoEnabled(bool enabled) {
    // A snapshot of the contour is the newest step: a frame command before it is no longer
    // what Undo takes back.
    if (enabled) {
        editor_.document().show().DropUndo();
    }
    // The toolbar button and the surface menu's item share the command.
    setUndoControls(enabled);
}

void TBaseForm::ShowFrameStrip(bool shown) {
    if (!strip_ && shown) {
        strip_ = std::make_unique<FrameStrip>(
            editor_,
            [this](int i) {
                frames_.Go(i);
                editor_.document().Settle();
            },
            [this](int from, int to) {
                frames_.Move(from, to);
                editor_.document().Settle();
            });
        // Closing it hides it: the menu item says so.
        connect(strip_.get(), &FrameStrip::Closed, this,
                [this] { command(Command::FrameStrip)->setChecked(false); });
        // Under the main window, as wide as it.
        const QRect frame = frameGeometry();
        strip_->move(frame.left(), frame.bottom() + 8);
    }
    if (strip_) {
        strip_->setVisible(shown);
    }
    command(Command::FrameStrip)->setChecked(shown);
}

void TBaseForm::setCursorShape(editor::CursorShape shape) {
    static constexpr Qt::CursorShape kShapes[] = {Qt::ArrowCursor, Qt::SizeHorCursor,
                                                  Qt::SizeVerCursor, Qt::SizeAllCursor};
    PaintBoxVardeni->setCursor(kShapes[int(shape)]);
}

void TBaseForm::surfaceChanged(const QRect& rect) {
    PaintBoxVardeni->update(rect);
    // The default beam colour is the line colour, which the settings may have changed.
    if (beam_) {
        beam_->ShowBeamColour();
    }
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

void TBaseForm::setCaptionFile(const QString& captionFile) {
    CaptionFile = captionFile;
    UpdateCaption();
}

void TBaseForm::enableSaveControls() {
    // The menu item and the toolbar button share the command.
    command(Command::Save)->setEnabled(true);
}

void TBaseForm::framesReplaced(bool undoable) {
    frames_.Changed(undoable);
    // A show of several frames is seen as one: its strip opens by itself.
    if (editor_.document().show().count() > 1) {
        ShowFrameStrip(true);
    }
}

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
        laser_.Remember();
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace window
