// Files handed to the editor from outside its dialogs: named on the command line or dropped
// on the main window from a file manager. Each goes through the command the menus use for its
// kind, with the file in place of the open dialog's answer.
#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>
#include <vector>

class QWidget;

namespace window {

class FileCommands;
class FileImport;
class PictureCommands;

class FileOpener {
  public:
    // A file that is opened goes to `files`, one that is imported to the import of its kind
    // among `imports`, a picture to `pictures`.
    FileOpener(FileCommands& files, std::vector<FileImport*> imports, PictureCommands& pictures);

    // Opens the file with the command for its kind (by its extension, else by its first bytes);
    // a file of no known kind is tried as a contour file, as Open tries a file of any name.
    // A contour file and an ILDA file are opened as Open opens them: before one replaces a
    // contour with changes, the closing question is asked, and Cancel keeps the contour. Problems
    // are shown as the command shows them.
    void OpenFile(const QString& name);

  private:
    FileCommands& files_;
    std::vector<FileImport*> imports_;
    PictureCommands& pictures_;
};

// The local files of a drop that the editor takes: the first that becomes the contour
// (contour, legacy, ILDA or SVG file) and the first picture, in that order.
QStringList FilesToOpen(const QList<QUrl>& urls);

// Lets files from a file manager be dropped on the window or any of its controls.
void AcceptFileDrops(QWidget& window, FileOpener& opener);

}  // namespace window
