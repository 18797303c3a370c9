// The main window's underlay and bitmap-export commands and their two picture dialogs.
#pragma once

#include <QObject>

#include "window/dialogs.h"

namespace editor {

class TBaseForm;

class PictureCommands : public QObject {
    Q_OBJECT
  public:
    // Lives as a child of the form; wires the toolbar buttons and File menu items.
    explicit PictureCommands(TBaseForm& form);

    FileDialogSpec OpenPictureDialog;
    FileDialogSpec SavePictureDialog;

    // Open a picture as the new underlay and show it.
    void SpeedButtonOpenImageClick();
    // Write the surface, as shown, to a Windows bitmap file.
    void SpeedButtonSavePiktureClick();

  private:
    void showError(const QString& text);

    TBaseForm& form_;
};

// Creates the commands for the form and connects them to its controls.
PictureCommands* InstallPictureCommands(TBaseForm& form);

}  // namespace editor
