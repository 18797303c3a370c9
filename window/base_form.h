// The main window: tool palette, toolbar, menus, status bar and the drawing surface. It
// carries the view toggles and passes surface events and commands to the editor.
#pragma once

#include <QAction>
#include <QFrame>
#include <QMainWindow>
#include <QMenu>
#include <QScrollBar>
#include <array>
#include <functional>
#include <memory>
#include <span>

#include "editor/editor.h"
#include "editor/host.h"
#include "widgets/speed_button.h"
#include "window/beam_colour.h"
#include "window/command_window.h"
#include "window/commands.h"
#include "window/dialogs.h"
#include "window/file_commands.h"
#include "window/frame_commands.h"
#include "window/frame_files.h"
#include "window/frame_strip.h"
#include "window/ilda_commands.h"
#include "window/laser_controls.h"
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

// Size of the client area below the menu bar.
inline constexpr int kClientWidth = 487;
inline constexpr int kClientHeight = 460;

class TBaseForm : public QMainWindow,
                  public editor::EditorHost,
                  public FileWindow,
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

    // A command's action, shared by its menu item and its button.
    QAction* command(Command c) const { return actions_[std::size_t(c)]; }
    // What the check of the commands found at start: empty when each is wired and in the
    // controls the table names. A debug build stops at start when it is not empty.
    const QStringList& wiringProblems() const { return wiringProblems_; }

    // A control by the name it was made with, for tests and tools that address controls so;
    // the window itself keeps each control it uses.
    widgets::SpeedButton* button(const QString& name) const;
    QAction* action(const QString& name) const;
    QWidget* clientArea() const { return client_; }
    SurfaceWidget* surface() const { return PaintBoxVardeni; }
    StatusBar* statusPanels() const { return StatusBar_; }
    QMenu* popupMenu() const { return PopupMenu; }
    // The "Лазер" window, made on first use (nothing before).
    LaserWindow* laserWindow() const { return laser_.window(); }
    void SpeedButtonLaserClick() { laser_.Open(); }
    // Takes the output's device and settings from `path` now, and keeps them there whenever
    // output starts and when this window closes.
    void KeepOutputSettings(const QString& path) { laser_.Keep(path); }

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

    // CommandWindow
    QWidget& mainWindow() override { return *this; }
    void setOverlay(const Overlay& overlay) override { PaintBoxVardeni->setOverlay(overlay); }
    std::optional<QPoint> lastClick() const override { return PaintBoxVardeni->lastClick(); }
    void setUndoControls(bool enabled) override { command(Command::Undo)->setEnabled(enabled); }

    // The frames of a show: their commands, and the strip, made when first shown.
    FrameCommands& frameCommands() { return frames_; }
    FrameFiles& frameFiles() { return frameFiles_; }
    // The import of one ILDA frame into the contour.
    IldaCommands& ildaCommands() { return ilda_; }
    FrameStrip* frameStrip() const { return strip_.get(); }
    void ShowFrameStrip(bool shown);

    // ---- Contour files: New, Open, Save, Save As, Import, Export and the closing question ----
    FileCommands& fileCommands() { return fileCommands_; }
    void setCaptionFile(const QString& captionFile) override;
    void enableSaveControls() override;
    void framesReplaced(bool undoable) override;

    // RecoveryWindow
    QString captionFile() const override { return CaptionFile; }
    void showNotice(const QString& text, const QString& hint) override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormCreate();
    // The controls, from their tables (main_controls.cpp).
    void buildCommands();
    void buildToolbar();
    void buildPalette();
    void buildDrawingPanel();
    void buildStatusBar();
    void buildMenus();
    // Every command wired to its handler, then the check of what was built.
    void hookCommands();
    void on(Command c, std::function<void()> handler);
    void checkWiring();
    // A button of the toolbar or the palette, as its table row gives it.
    struct ButtonRow;
    void addButtons(QWidget* parent, std::span<const ButtonRow> rows);
    widgets::SpeedButton* addButton(QWidget* parent, const char* name, QPoint pos, const char* hint,
                                    int group, bool allowAllUp, bool down, bool enabled,
                                    const char* icon);
    // The button runs the command: it shares the command's action.
    void share(widgets::SpeedButton* button, Command c);
    // The command's action as the menu's next item.
    void addItem(QMenu* menu, Command c, const QString& caption, const QKeySequence& shortcut,
                 bool enabled);
    // A menu item that runs no command.
    QAction* addInertItem(QMenu* menu, const char* name, const QString& caption, bool enabled);
    void showPopup(const QPoint& globalPos);

    editor::Editor editor_;
    QtDialogs qtDialogs_{this};
    Dialogs* dialogs_ = &qtDialogs_;
    IldaCommands ilda_{*this};
    SvgCommands svg_{*this};
    PictureCommands pictures_{*this};
    PreviewCommands preview_{*this};
    QWidget* client_ = nullptr;
    QFrame* ToolBar = nullptr;
    QFrame* PanelTools = nullptr;
    QFrame* PanelPen = nullptr;
    SurfaceWidget* PaintBoxVardeni = nullptr;
    QScrollBar* ScrollBarPosVert = nullptr;
    QScrollBar* ScrollBarPosGorz = nullptr;
    StatusBar* StatusBar_ = nullptr;
    QMenu* EditMenu_ = nullptr;
    QMenu* PopupMenu = nullptr;
    QWidget* OptionForm_ = nullptr;
    QWidget* AboutForm_ = nullptr;
    // Controls read on every paint, kept at hand.
    widgets::SpeedButton* SpeedButtonPaintLine = nullptr;
    widgets::SpeedButton* SpeedButtonPaintPixel = nullptr;
    widgets::SpeedButton* SpeedButtonSetkaON = nullptr;
    widgets::SpeedButton* SpeedButtonPictureON = nullptr;
    widgets::SpeedButton* SpeedButtonDirectHook = nullptr;
    widgets::SpeedButton* SpeedButtonBeamColour = nullptr;
    std::array<QAction*, kCommandCount> actions_{};
    std::array<BuiltCommand, kCommandCount> built_{};
    QStringList wiringProblems_;
    // After the editor it works on.
    FileCommands fileCommands_{*this};
    FileOpener opener_{fileCommands_, {&fileCommands_, &svg_}, pictures_};
    TraceCommands trace_{*this};
    TextCommands text_{*this};
    FrameCommands frames_{*this};
    FrameFiles frameFiles_{*this, frames_, [this] { return svg_.Options(); }};
    std::unique_ptr<FrameStrip> strip_;
    std::unique_ptr<BeamColour> beam_;
    std::unique_ptr<RecoveryKeeper> recovery_;
    LaserControls laser_{
        editor_, [this](const QString& text, const QString& hint) { showNotice(text, hint); },
        [this](bool running) { command(Command::Laser)->setChecked(running); }};
};

}  // namespace window
