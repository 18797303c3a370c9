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
#include <QWidget>

#include "editor/editor.h"
#include "formats/imports.h"
#include "window/dialogs.h"

namespace window {

// What every group may use: the editor and the dialogs (which tests replace).
class CommandWindow {
  public:
    virtual ~CommandWindow() = default;
    virtual editor::Editor& editor() = 0;
    virtual Dialogs& dialogs() = 0;
};

// Takes what an import gives: its error is shown and nothing changes; its question is asked
// and Cancel changes nothing; otherwise the points replace the contour, the report goes to
// the status bar and the notes are shown. True when the contour was replaced.
bool TakeImport(CommandWindow& window, const formats::Import& in);

// A message box of one button.
void ShowMessage(Dialogs& dialogs, MessageType type, const QString& text);

// The preview of a join on the surface (positions through pixel centres): the contour that
// OK would give, or the paths as they are when it does not fit.
QPolygonF PreviewLine(const model::JoinedContour& joined, const std::vector<model::Path>& paths);

// The bottom of a dialog whose result is joined into the contour: the readout of points, lines
// and jumps, the warning beside the button that takes the smallest spacing that fits, OK and
// Cancel. Built into the dialog's layout under the rows of its controls; the controls are
// named `prefix` + "Readout", "Warning", "Fit" and "Ok".
struct JoinControls {
    JoinControls(QDialog& dialog, QLayout* rows, const QString& prefix);
    // Shows a join, its warning and the spacing that fits (0 when none does); OK only when it
    // fits.
    void show(const model::JoinedContour& joined, const QString& warningText, int fittingSpacing);

    QLabel* readout = nullptr;
    QLabel* warning = nullptr;
    QPushButton* fit = nullptr;
    QPushButton* ok = nullptr;
};

// Moves a dialog beside the main window, so that the preview on the surface stays in sight.
void PlaceBeside(QWidget& dialog, const QWidget& window);

}  // namespace window
