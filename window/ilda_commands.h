// Export and import of the contour as an ILDA frame, the interchange format that laser
// controllers and show programs read.
#pragma once

#include <QString>

#include "window/command_window.h"

namespace window {

class IldaCommands {
  public:
    explicit IldaCommands(CommandWindow& window);

    // File menu: "Export ILDA file (*.ild)" and "Import ILDA file (*.ild)".
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
