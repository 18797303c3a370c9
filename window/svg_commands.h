// Import of vector art: an SVG drawing becomes the contour, its paths joined in the same
// order and with the same jump filling as every other set of paths. The import's options are
// a row of check boxes in its file dialog, remembered while the program runs, and they hold
// for files opened from outside too: "Только видимые линии" (lines hidden under shapes painted
// later are cut away; on at first) and "Вся страница" (the page fills the surface, not the
// drawing; off at first).
#pragma once

#include "window/command_window.h"

namespace window {

class SvgCommands : public FileImport {
  public:
    explicit SvgCommands(CommandWindow& window);

    // File menu: "Import SVG (*.svg)".
    void ItemImportSvgClick();
    const formats::KindInfo& importedKind() const override;
    void ImportFile(const QString& name) override;

    FileDialogSpec& OpenDialogSvg() { return openDialog_; }
    // The options as the dialog last left them.
    pictures::SvgOptions Options() const;

  private:
    void Import(const QString& name);

    CommandWindow& window_;
    FileDialogSpec openDialog_;
};

}  // namespace window
