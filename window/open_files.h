// Files handed to the editor from outside its dialogs: named on the command line or dropped
// on the main window from a file manager. Each goes through the command the menus use for it,
// with the file in place of the open dialog's answer.
#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace window {

class TBaseForm;

enum class OpenedAs { Contour, Legacy, Ilda, Picture };

// What a file is to the editor by its extension: a contour file (.ilz) opens, a legacy file
// (.plz) or an ILDA file (.ild) is imported, a picture the underlay reads becomes the underlay.
std::optional<OpenedAs> OpenedAsOf(const QString& name);

// Opens the file with the command for its kind; a file of no known kind is tried as a contour
// file, as Open tries a file of any name. Before a contour file replaces a contour with
// changes, the closing question is asked, and Cancel keeps the contour. Problems are shown as
// the command shows them.
void OpenFile(TBaseForm& form, const QString& name);

// The local files of a drop that the editor takes: the first contour, legacy or ILDA file and
// the first picture, in that order.
QStringList FilesToOpen(const QList<QUrl>& urls);

// Lets files from a file manager be dropped on the main window.
void AcceptFileDrops(TBaseForm& form);

}  // namespace window
