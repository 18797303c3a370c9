// The main window: tool palette, toolbar, menus, status bar and the drawing surface. It
// carries the view toggles and passes surface events and commands to the editor.
#pragma once

#include <QAction>
#include <QFrame>
#include <QMainWindow>
#include <QMenu>
#include <QScrollBar>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "editor/editor.h"
#include "editor/host.h"
#include "widgets/speed_button.h"
#include "window/command_window.h"
#include "window/dialogs.h"
#include "window/file_commands.h"
#include "window/ilda_commands.h"
#include "window/open_files.h"
#include "window/picture_commands.h"
#include "window/preview_commands.h"
#include "window/recovery.h"
#include "window/status_bar.h"
#include "window/surface_widget.h"
#include "window/svg_commands.h"
#include "window/text_commands.h"
#include "window/trace_commands.h"

namespace window {

class LaserWindow;
class StopKey;

// Size of the client area below the menu bar.
inline constexpr int kClientWidth = 487;
inline constexpr int kClientHeight = 460;

class TBaseForm : public QMainWindow,
                  public editor::EditorHost,
                  public FileWindow,
                  public CommandWindow,
                  public RecoveryWindow {
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

    // Files named at start or dropped on the window.
    FileOpener& opener() { return opener_; }

    widgets::SpeedButton* button(const QString& name) const;
    QAction* action(const QString& name) const;
    QWidget* clientArea() const { return client_; }
    SurfaceWidget* surface() const { return PaintBoxVardeni; }
    StatusBar* statusPanels() const { return StatusBar_; }
    QMenu* popupMenu() const { return PopupMenu; }
    // The "Лазер" window, made on first use (nothing before).
    LaserWindow* laserWindow() const { return laser_.get(); }
    void SpeedButtonLaserClick();
    // Takes the output's device and settings from `path` now, and keeps them there whenever
    // output starts and when this window closes.
    void KeepOutputSettings(const QString& path);

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
    void setUnderlayToggle(bool down) override;

    // Handlers with the window's own names.
    void SpeedButtonPaintLineClick();
    void SpeedButtonPaintPixelClick();
    void SpeedButtonSetkaONClick();
    void SpeedButtonPictureONClick();
    void SpeedButtonRefreshClick();
    void SpeedButtonOptionFormClick();
    void SpeedButtonAboutClick();
    // The beam colour the pen gives new points, chosen in the colour dialog; and whether the
    // pen's jumps are drawn dark, from the Edit menu's toggle.
    void SpeedButtonBeamColourClick();
    void ItemBlankPenJumpsClick();

    // ---- Contour files: New, Open, Save, Save As, Import, Export and the closing question ----
    FileCommands& fileCommands() { return fileCommands_; }
    Dialogs& fileDialogs() override { return dialogs(); }
    void setCaptionFile(const QString& captionFile) override;
    void enableSaveControls() override;

    // RecoveryWindow
    QString captionFile() const override { return CaptionFile; }
    void showNotice(const QString& text, const QString& hint) override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // Every button and menu item is hooked to its command here, by the name it was made with.
    void hookCommands();
    void hook(const char* control, const std::function<void()>& command);

    void FormCreate();
    void buildToolbar();
    void buildPalette();
    void buildDrawingPanel();
    void buildStatusBar();
    void buildMenus();
    void buildPreviewControls();
    void buildPenStyleControls();
    // The pen's beam colour, the line colour for the default, and its swatch on the button.
    QRgb beamColour() const;
    void ShowBeamColour();
    widgets::SpeedButton* addButton(QWidget* parent, const char* name, QPoint pos, const char* hint,
                                    int group, bool allowAllUp, bool down, bool enabled,
                                    const char* icon);
    QAction* addAction(QMenu* menu, const char* name, const QString& caption,
                       const QKeySequence& shortcut, bool enabled);
    void showPopup(const QPoint& globalPos);

    editor::Editor editor_;
    QtDialogs qtDialogs_{this};
    Dialogs* dialogs_ = &qtDialogs_;
    IldaCommands ilda_{*this};
    SvgCommands svg_{*this};
    PictureCommands pictures_{*this};
    PreviewCommands preview_{editor_, *this};
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
    std::optional<QRgb> shownBeamColour_;
    // After the editor it works on.
    FileCommands fileCommands_{editor_, *this};
    FileOpener opener_{fileCommands_, ilda_, svg_, pictures_};
    // Made with the surface it previews on.
    std::unique_ptr<TraceCommands> trace_;
    std::unique_ptr<TextCommands> text_;
    std::unique_ptr<RecoveryKeeper> recovery_;
    std::unique_ptr<LaserWindow> laser_;
    std::unique_ptr<StopKey> stopKey_;
    // Where the output's device and settings are kept (none: not kept), and the device
    // until the Лазер window is made.
    QString outputMemory_;
    QString outputAddress_;
    void RememberOutput();
};

}  // namespace window
