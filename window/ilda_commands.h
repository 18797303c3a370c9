// Export of the show (or the contour, a show of one frame) as an ILDA file and import of one
// ILDA frame into the contour: the interchange format that laser controllers and show programs
// read.
#pragma once

#include <QRgb>
#include <QString>
#include <optional>

#include "formats/contour_files.h"
#include "window/command_window.h"

namespace window {

// The frame of a show that comes in (0 the first): the only one of a show of one frame (or of
// a file that could not be read, whose import then says why), else the one the user picks in
// the frame chooser, its pictures drawn in `line`; nothing when the choice is cancelled.
std::optional<size_t> ChooseIldaFrame(Dialogs& dialogs, const formats::IldaShow& show, QRgb line);

class IldaCommands {
  public:
    explicit IldaCommands(CommandWindow& window);

    // File menu: "Export ILDA file (*.ild)", every frame of the show in the chosen format, and
    // "Import ILDA file (*.ild)", one frame (chosen in the frame chooser) into the contour.
    void ItemExportIldaClick();
    void ItemImportIldaClick();
    // The import with the file in place of the dialog's answer.
    void ImportFile(const QString& name);

    FileDialogSpec& SaveDialogIlda() { return saveDialog_; }
    FileDialogSpec& OpenDialogIlda() { return openDialog_; }

  private:
    void Import(const QString& name);

    CommandWindow& window_;
    FileDialogSpec saveDialog_;
    FileDialogSpec openDialog_;
};

}  // namespace window
