// The main window as its groups of commands see it. Each group (file, picture, ILDA, SVG,
// trace, preview, recovery, files opened from outside) is a plain class given the narrow
// interfaces it needs; the window creates the groups and hooks its buttons and menu items to
// their commands in one table. No group knows the window's class or finds a control by name.
#pragma once

#include <QPolygonF>
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

// Moves a dialog beside the main window, so that the preview on the surface stays in sight.
void PlaceBeside(QWidget& dialog, const QWidget& window);

}  // namespace window
