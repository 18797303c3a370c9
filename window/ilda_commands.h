// Export and import of the contour as an ILDA frame, the interchange format that laser
// controllers and show programs read.
#pragma once

#include <QString>

#include "editor/editor.h"
#include "window/dialogs.h"

namespace window {

class IldaCommands {
  public:
    explicit IldaCommands(editor::Editor& editor);

    // File menu: "Export ILDA file (*.ild)" and "Import ILDA file (*.ild)".
    void ItemExportIldaClick(Dialogs& dialogs);
    void ItemImportIldaClick(Dialogs& dialogs);

    FileDialogSpec& SaveDialogIlda() { return saveDialog_; }
    FileDialogSpec& OpenDialogIlda() { return openDialog_; }

    // The frame name written for a file: its base name, at most 8 plain characters.
    static std::string FrameName(const QString& fileName);

  private:
    editor::Editor& editor_;
    FileDialogSpec saveDialog_;
    FileDialogSpec openDialog_;
};

}  // namespace window
