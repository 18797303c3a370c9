// The main window's underlay and bitmap-export commands and their two picture dialogs.
#pragma once

#include <optional>

#include "pictures/picture_formats.h"
#include "window/command_window.h"

namespace window {

class PictureCommands {
  public:
    explicit PictureCommands(CommandWindow& window);

    FileDialogSpec OpenPictureDialog;
    FileDialogSpec SavePictureDialog;

    // Open a picture as the new underlay and show it.
    void SpeedButtonOpenImageClick();
    // The same with the file in place of the dialog's answer, read as `kind` when given.
    void OpenFile(const QString& name, std::optional<pictures::PictureKind> kind = std::nullopt);
    // Write the surface, as shown, to a Windows bitmap file.
    void SpeedButtonSavePiktureClick();

  private:
    void Load(const QString& name, std::optional<pictures::PictureKind> kind = std::nullopt);
    void showError(const QString& text);

    CommandWindow& window_;
};

}  // namespace window
