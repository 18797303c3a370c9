#include "window/picture_commands.h"

#include "editor/editor.h"
#include "pictures/bitmap_writer.h"
#include "pictures/picture_formats.h"

namespace window {

PictureCommands::PictureCommands(QObject& parent, PictureWindow& form)
    : QObject(&parent), form_(form) {
    setObjectName(QStringLiteral("PictureCommands"));
    OpenPictureDialog.filter = pictures::PictureFilter();
    OpenPictureDialog.picturePreview = true;
    SavePictureDialog.filter = QStringLiteral("Bitmaps (*.bmp)|*.bmp");
    SavePictureDialog.defaultExt = QStringLiteral("*.bmp");
    SavePictureDialog.picturePreview = true;
}

void PictureCommands::showError(const QString& text) {
    MessageSpec request;
    request.text = text;
    request.type = MessageType::Error;
    form_.dialogs().message(request);
}

void PictureCommands::SpeedButtonOpenImageClick() {
    // 1. The dialog; cancelling ends the command.
    const std::optional<QString> name = form_.dialogs().openFile(OpenPictureDialog);
    if (!name) {
        return;
    }
    editor::Editor& editor = form_.editor();
    // 2. Load; a failure leaves picture, toggle, visibility and timer as they were.
    const QString error = editor.underlay().Load(*name, editor.canvas().image().size());
    if (!error.isEmpty()) {
        showError(error);
        return;
    }
    // 3. The toggle goes down without running its handler.
    form_.button(QStringLiteral("SpeedButtonPictureON"))->setDown(true);
    // 4. Shown.
    editor.underlay().setVisible(true);
    // 5. The deferred repaint draws it.
    editor.ArmRepaint();
}

void PictureCommands::SpeedButtonSavePiktureClick() {
    const std::optional<QString> name = form_.dialogs().saveFile(SavePictureDialog);
    if (!name) {
        return;
    }
    // The surface image is exactly what the surface shows, at the surface's size.
    const QString error = pictures::WriteBitmapFile(form_.editor().canvas().image(), *name);
    if (!error.isEmpty()) {
        showError(error);
    }
}

PictureCommands* InstallPictureCommands(QObject& parent, PictureWindow& form) {
    auto* commands = new PictureCommands(parent, form);
    QObject::connect(form.button(QStringLiteral("SpeedButtonOpenImage")), &QToolButton::clicked,
                     commands, [commands] { commands->SpeedButtonOpenImageClick(); });
    QObject::connect(form.button(QStringLiteral("SpeedButtonSavePikture")), &QToolButton::clicked,
                     commands, [commands] { commands->SpeedButtonSavePiktureClick(); });
    // The File menu items run the same commands, as a user expects of them.
    QObject::connect(form.action(QStringLiteral("ItemOpenImage")), &QAction::triggered, commands,
                     [commands] { commands->SpeedButtonOpenImageClick(); });
    QObject::connect(form.action(QStringLiteral("ItemSaveImage")), &QAction::triggered, commands,
                     [commands] { commands->SpeedButtonSavePiktureClick(); });
    return commands;
}

}  // namespace window
