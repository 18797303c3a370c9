// The main window: tool palette, toolbar, menus, status bar and the drawing surface. It
// carries the view toggles and passes surface events and commands to the editor.
#pragma once

#include <QAction>
#include <QFrame>
#include <QMainWindow>
#include <QMenu>
#include <QScrollBar>
#include <map>
#include <memory>

#include "editor/editor.h"
#include "editor/host.h"
#include "widgets/speed_button.h"
#include "window/dialogs.h"
#include "window/file_commands.h"
#include "window/ilda_commands.h"
#include "window/picture_commands.h"
#include "window/status_bar.h"
#include "window/surface_widget.h"
#include "window/svg_commands.h"

namespace window {

class RecoveryKeeper;

// Size of the client area below the menu bar.
inline constexpr int kClientWidth = 487;
inline constexpr int kClientHeight = 460;

class TBaseForm : public QMainWindow, public editor::EditorHost, public FileWindow, public PictureWindow {
    Q_OBJECT
  public:
    explicit TBaseForm(editor::EditorSettings& settings, QWidget* parent = nullptr);
    ~TBaseForm() override;

    // Keeps recovery copies of unsaved work from now on; a normal close removes this
    // editor's copy.
    void KeepRecovery(std::unique_ptr<RecoveryKeeper> keeper);
    // A longer explanation of the status bar's notices, shown as its hint.
    void setStatusToolTip(const QString& text);

    editor::Editor& editor() override { return editor_; }

    // The secondary windows, created after this one.
    void setOptionForm(QWidget* form) { OptionForm_ = form; }
    void setAboutForm(QWidget* form) { AboutForm_ = form; }

    // The dialogs and message boxes the commands use; tests put their own in place.
    Dialogs& dialogs() override { return *dialogs_; }
    void setDialogs(Dialogs* dialogs) { dialogs_ = dialogs != nullptr ? dialogs : &qtDialogs_; }

    IldaCommands& ilda() { return ilda_; }
    SvgCommands& svg() { return svg_; }

    widgets::SpeedButton* button(const QString& name) const override;
    QAction* action(const QString& name) const override;
    QWidget* clientArea() const { return client_; }
    SurfaceWidget* surface() const { return PaintBoxVardeni; }
    StatusBar* statusPanels() const { return StatusBar_; }
    QMenu* popupMenu() const { return PopupMenu; }

    QString CaptionPrefix;
    QString CaptionFile;
    void UpdateCaption();

    // EditorHost
    void setStatusText(int panel, const QString& text) override;
    void setUndoEnabled(bool enabled) override;
    void setCursorShape(editor::CursorShape shape) override;
    void surfaceChanged(const QRect& rect) override;
    bool lineShown() const override;
    bool pointsShown() const override;
    bool gridShown() const override;
    bool directHook() const override;
    void setDirectHook(bool down) override;

    // Handlers with the window's own names.
    void SpeedButtonPaintLineClick();
    void SpeedButtonPaintPixelClick();
    void SpeedButtonSetkaONClick();
    void SpeedButtonPictureONClick();
    void SpeedButtonRefreshClick();
    void SpeedButtonOptionFormClick();
    void SpeedButtonAboutClick();
    // Opens the scan preview, creating it on first use.
    void SpeedButtonPreviewClick();

    // ---- Contour files: New, Open, Save, Save As, Import, Export and the closing question ----
    FileCommands& fileCommands() { return fileCommands_; }
    Dialogs& fileDialogs() override { return dialogs(); }
    void setCaptionFile(const QString& captionFile) override;
    void enableSaveControls() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void connectFileCommands();

    void FormCreate();
    void buildToolbar();
    void buildPalette();
    void buildDrawingPanel();
    void buildStatusBar();
    void buildMenus();
    void buildPreviewControls();
    widgets::SpeedButton* addButton(QWidget* parent, const char* name, QPoint pos, const char* hint,
                           int group, bool allowAllUp, bool down, bool enabled, const char* icon);
    QAction* addAction(QMenu* menu, const char* name, const QString& caption,
                       const QKeySequence& shortcut, bool enabled);
    void showPopup(const QPoint& globalPos);
    static void ShowWindow(QWidget* w);

    editor::Editor editor_;
    QtDialogs qtDialogs_{this};
    IldaCommands ilda_{editor_};
    SvgCommands svg_{editor_};
    Dialogs* dialogs_ = &qtDialogs_;
    QWidget* client_ = nullptr;
    QFrame* ToolBar = nullptr;
    QFrame* PanelTools = nullptr;
    QFrame* PanelPen = nullptr;
    SurfaceWidget* PaintBoxVardeni = nullptr;
    QScrollBar* ScrollBarPosVert = nullptr;
    QScrollBar* ScrollBarPosGorz = nullptr;
    StatusBar* StatusBar_ = nullptr;
    QMenu* PopupMenu = nullptr;
    QWidget* OptionForm_ = nullptr;
    QWidget* AboutForm_ = nullptr;
    QWidget* PreviewForm_ = nullptr;
    // Controls read on every paint, kept at hand.
    widgets::SpeedButton* SpeedButtonPaintLine = nullptr;
    widgets::SpeedButton* SpeedButtonPaintPixel = nullptr;
    widgets::SpeedButton* SpeedButtonSetkaON = nullptr;
    widgets::SpeedButton* SpeedButtonPictureON = nullptr;
    widgets::SpeedButton* SpeedButtonDirectHook = nullptr;
    widgets::SpeedButton* SpeedButtonUndo = nullptr;
    QAction* OtkatItem = nullptr;
    std::map<QString, widgets::SpeedButton*> buttons_;
    std::map<QString, QAction*> actions_;
    // After the editor it works on.
    FileCommands fileCommands_{editor_, *this};
    std::unique_ptr<RecoveryKeeper> recovery_;
};

}  // namespace window
