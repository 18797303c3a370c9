// The main window's underlay and bitmap-export commands and their two picture dialogs.
#pragma once

#include "window/command_window.h"

namespace window {

class PictureCommands {
  public:
    explicit PictureCommands(CommandWindow& window);

    FileDialogSpec OpenPictureDialog;
    FileDialogSpec SavePictureDialog;

    // Open a picture as the new underlay and show it.
    void SpeedButtonOpenImageClick();
    // The same with the file in place of the dialog's answer.
    void OpenFile(const QString& name);
    // Write the surface, as shown, to a Windows bitmap file.
    void SpeedButtonSavePiktureClick();

  private:
    void Load(const QString& name);
    void showError(const QString& text);

    CommandWindow& window_;
};

}  // namespace window
