#include "window/picture_commands.h"

#include <QCoreApplication>

#include "pictures/bitmap_writer.h"
#include "pictures/picture_formats.h"

namespace window {

PictureCommands::PictureCommands(CommandWindow& window) : window_(window) {
    OpenPictureDialog.filter = pictures::PictureFilter();
    OpenPictureDialog.picturePreview = true;
    SavePictureDialog.filter =
        QCoreApplication::translate("window::PictureCommands", "Bitmaps (*.bmp)") +
        QStringLiteral("|*.bmp");
    SavePictureDialog.defaultExt = QStringLiteral("*.bmp");
    SavePictureDialog.picturePreview = true;
}

void PictureCommands::showError(const QString& text) {
    ShowMessage(window_.dialogs(), MessageType::Error, text);
}

void PictureCommands::SpeedButtonOpenImageClick() {
    // 1. The dialog; cancelling ends the command.
    if (const std::optional<QString> name = window_.dialogs().openFile(OpenPictureDialog)) {
        Load(*name);
    }
}

void PictureCommands::OpenFile(const QString& name, std::optional<pictures::PictureKind> kind) {
    OpenPictureDialog.fileName = name;
    Load(name, kind);
}

void PictureCommands::Load(const QString& name, std::optional<pictures::PictureKind> kind) {
    editor::Editor& editor = window_.editor();
    // 2. Load; a failure leaves picture, toggle, visibility and timer as they were.
    const QString error = editor.underlay().Load(name, editor.canvas().image().size(), kind);
    if (!error.isEmpty()) {
        showError(error);
        return;
    }
    // 3.-5. Shown, its toggle down, and drawn by the deferred repaint.
    editor.ShowUnderlay(true);
}

void PictureCommands::SpeedButtonSavePiktureClick() {
    const std::optional<QString> name = window_.dialogs().saveFile(SavePictureDialog);
    if (!name) {
        return;
    }
    // The surface image is exactly what the surface shows, at the surface's size.
    const QString error = pictures::WriteBitmapFile(window_.editor().canvas().image(), *name);
    if (!error.isEmpty()) {
        showError(error);
    }
}

}  // namespace window
