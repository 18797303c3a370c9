// Import of vector art: an SVG drawing becomes the contour, its paths joined in the same
// order and with the same jump filling as every other set of paths.
#pragma once

#include "editor/editor.h"
#include "window/dialogs.h"

namespace window {

class SvgCommands {
  public:
    explicit SvgCommands(editor::Editor& editor);

    // File menu: "Import SVG (*.svg)".
    void ItemImportSvgClick(Dialogs& dialogs);

    FileDialogSpec& OpenDialogSvg() { return openDialog_; }

  private:
    editor::Editor& editor_;
    FileDialogSpec openDialog_;
};

}  // namespace window
