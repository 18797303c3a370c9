#include "window/command_window.h"

namespace window {

void ShowMessage(Dialogs& dialogs, MessageType type, const QString& text) {
    MessageSpec m;
    m.text = text;
    m.type = type;
    dialogs.message(m);
}

bool TakeImport(CommandWindow& window, const formats::Import& in) {
    Dialogs& dialogs = window.dialogs();
    if (!in.error.isEmpty()) {
        ShowMessage(dialogs, MessageType::Error, in.error);
        return false;
    }
    if (!in.question.isEmpty()) {
        MessageSpec m;
        m.type = MessageType::Confirmation;
        m.text = in.question;
        m.buttons = {MessageButton::Ok, MessageButton::Cancel};
        m.defaultButton = MessageButton::Ok;
        m.escapeButton = MessageButton::Cancel;
        if (dialogs.message(m) != MessageButton::Ok) {
            return false;
        }
    }
    std::optional<editor::Editor::ImportReport> report;
    if (in.reports) {
        report = editor::Editor::ImportReport{in.spare, in.dot};
    }
    window.editor().ReplaceContour(in.points, report);
    if (!in.notes.isEmpty()) {
        ShowMessage(dialogs, MessageType::Information, in.notes.join(QLatin1Char('\n')));
    }
    return true;
}

}  // namespace window
