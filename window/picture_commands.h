// The main window's underlay and bitmap-export commands and their two picture dialogs.
#pragma once

#include <QObject>

#include "window/dialogs.h"
#include "window/picture_window.h"

namespace window {

class PictureCommands : public QObject {
    Q_OBJECT
  public:
    // Lives as a child of parent, the form; wires the toolbar buttons and File menu items.
    PictureCommands(QObject& parent, PictureWindow& form);

    FileDialogSpec OpenPictureDialog;
    FileDialogSpec SavePictureDialog;

    // Open a picture as the new underlay and show it.
    void SpeedButtonOpenImageClick();
    // Write the surface, as shown, to a Windows bitmap file.
    void SpeedButtonSavePiktureClick();

  private:
    void showError(const QString& text);

    PictureWindow& form_;
};

// Creates the commands for the form and connects them to its controls.
PictureCommands* InstallPictureCommands(QObject& parent, PictureWindow& form);

}  // namespace window
