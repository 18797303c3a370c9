#include "window/command_window.h"

#include <QScreen>

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

QPolygonF PreviewLine(const model::JoinedContour& joined, const std::vector<model::Path>& paths) {
    QPolygonF line;
    const auto at = [](double x, double y) {
        return QPointF(x / model::kUnitsPerPixel + model::kCentrePixel + 0.5,
                       y / model::kUnitsPerPixel + model::kCentrePixel + 0.5);
    };
    if (joined.fits()) {
        for (const model::ContourPoint& p : joined.points) {
            line << at(p.x, p.y);
        }
    } else {
        for (const model::Path& path : paths) {
            for (const model::PathPoint& p : path.points) {
                line << at(p.x, p.y);
            }
        }
    }
    return line;
}

void PlaceBeside(QWidget& dialog, const QWidget& window) {
    dialog.adjustSize();
    const QRect frame = window.frameGeometry();
    QPoint place(frame.right() + 8, frame.top());
    if (const QScreen* screen = window.screen()) {
        const QRect avail = screen->availableGeometry();
        place.setX(qMax(avail.left(), qMin(place.x(), avail.right() - dialog.width())));
    }
    dialog.move(place);
}

}  // namespace window
