// Import of vector art: an SVG drawing becomes the contour, its paths joined in the same
// order and with the same jump filling as every other set of paths.
#pragma once

#include "window/command_window.h"

namespace window {

class SvgCommands {
  public:
    explicit SvgCommands(CommandWindow& window);

    // File menu: "Import SVG (*.svg)".
    void ItemImportSvgClick();
    // The import with the file in place of the dialog's answer.
    void ImportFile(const QString& name);

    FileDialogSpec& OpenDialogSvg() { return openDialog_; }

  private:
    void Import(const QString& name);

    CommandWindow& window_;
    FileDialogSpec openDialog_;
};

}  // namespace window
