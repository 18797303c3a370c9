// The main window as its groups of commands see it. Each group (file, picture, ILDA, SVG,
// trace, preview, recovery, files opened from outside) is a plain class given the narrow
// interfaces it needs; the window creates the groups and hooks its buttons and menu items to
// their commands in one table. No group knows the window's class or finds a control by name.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QPolygonF>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "editor/editor.h"
#include "formats/imports.h"
#include "formats/kinds.h"
#include "window/dialogs.h"
#include "window/surface_widget.h"

namespace window {

// What every group may use: the editor, the dialogs (which tests replace), the window its own
// dialogs and windows belong to, and the line a dialog previews its result with on the surface.
// Each group is made with this one interface, or one that adds to it.
class CommandWindow {
  public:
    virtual ~CommandWindow() = default;
    virtual editor::Editor& editor() = 0;
    virtual Dialogs& dialogs() = 0;
    virtual QWidget& mainWindow() = 0;
    // A line over the surface in surface positions; an empty one takes it away.
    virtual void setOverlay(const Overlay& overlay) = 0;
    // Where the surface was last clicked, in surface pixels, if it was.
    virtual std::optional<QPoint> lastClick() const = 0;
    // The undo button and menu item, enabled or not, whatever they would undo.
    virtual void setUndoControls(bool enabled) = 0;
};

// A command that loads the contour from a file also takes a file named from outside (at
// start, or dropped on the window). Both ways go through this one step: the undo snapshot
// first (so that Undo is enabled even when the dialog is cancelled), then the file chosen in
// `dialog` or, when `named` is given, that file in place of the dialog's answer (the dialog
// starts from it next time), then `load` with it.
void LoadFile(editor::Editor& editor, Dialogs& dialogs, FileDialogSpec& dialog,
              const std::optional<QString>& named, const std::function<void(const QString&)>& load);

// The import commands a file named from outside goes to, by the kind they import.
class FileImport {
  public:
    virtual ~FileImport() = default;
    virtual const formats::KindInfo& importedKind() const = 0;
    // The import with the file in place of the dialog's answer.
    virtual void ImportFile(const QString& name) = 0;
};

// Takes what an import gives: its error is shown and nothing changes; its question is asked
// and Cancel changes nothing; otherwise the points replace the contour, the report goes to
// the status bar and the notes are shown. True when the contour was replaced.
bool TakeImport(CommandWindow& window, const formats::Import& in);

// A message box of one button.
void ShowMessage(Dialogs& dialogs, MessageType type, const QString& text);

// The preview of a join on the surface (positions through pixel centres): the contour that
// OK would give, or the paths as they are when it does not fit.
Overlay PreviewLine(const model::JoinedContour& joined, const std::vector<model::Path>& paths);

// A dialog whose result is joined into the contour, previewed on the surface as its values
// change. Under the rows of its controls: the readout of points, lines and jumps, the warning
// beside the button that sets the value that mends a join OK cannot take (the smallest spacing
// that fits, or another of the dialog's own), OK and Cancel, named `prefix` + "Readout",
// "Warning", "Fit" and "Ok". Every change joins again once the events of the moment
// are handled, so a dragged slider joins for where it is, not for every step it passed.
class JoinDialog : public QDialog {
    Q_OBJECT
  public:
    // OK, and Enter: the join of the values shown, also when one changed a moment ago; a join
    // that does not fit closes nothing.
    void accept() override;
    // Runs the dialog beside the main window and, on OK, puts the join in place of the
    // contour (Undo brings the old one back); Cancel changes nothing.
    void RunInto(editor::Editor& editor);

  protected:
    // `show` receives the contour to preview (surface positions) after every join, and an
    // empty line when the dialog closes.
    JoinDialog(QWidget* parent, std::function<void(const Overlay&)> show);
    // Lays the dialog out with `rows` on top; `spacing` is what the fit button sets. Joins.
    void AddJoinControls(QLayout* rows, const QString& prefix, QSpinBox* spacing);
    void schedule() { pending_.start(); }

    // What the fit button offers when the join does not fit: a value for one of the dialog's
    // spin boxes, and the button's text; nothing without a box.
    struct Fit {
        QSpinBox* box = nullptr;
        int value = 0;
        QString text;
    };
    // The offer of the smallest spacing that fits, `spacing`; nothing when it is 0.
    Fit SpacingFit(int spacing) const;

    // What the values give now, kept by the dialog: the join, its warning, what mends it when
    // it does not fit, and the paths the preview shows then.
    struct Joined {
        const model::JoinedContour& contour;
        QString warning;
        Fit fit;
        const std::vector<model::Path>& paths;
    };
    virtual Joined Join() = 0;

  private:
    void JoinNow();

    std::function<void(const Overlay&)> show_;
    QTimer pending_;
    QSpinBox* spacing_ = nullptr;
    Fit offer_;
    bool fits_ = false;
    // The last join's contour, kept by the dialog that made it.
    const model::JoinedContour* joined_ = nullptr;
    QLabel* readout_ = nullptr;
    QLabel* warning_ = nullptr;
    QPushButton* fit_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Moves a dialog beside the main window, so that the preview on the surface stays in sight.
void PlaceBeside(QWidget& dialog, const QWidget& window);

}  // namespace window
