#include "window/command_window.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QScreen>
#include <QVBoxLayout>

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
    window.editor().ReplaceContour(in.points, in.styles, report);
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

JoinControls::JoinControls(QDialog& dialog, QLayout* rows, const QString& prefix) {
    readout = new QLabel(&dialog);
    readout->setObjectName(prefix + QStringLiteral("Readout"));
    warning = new QLabel(&dialog);
    warning->setObjectName(prefix + QStringLiteral("Warning"));
    warning->setWordWrap(true);
    warning->setStyleSheet(QStringLiteral("color: #b00000"));
    fit = new QPushButton(&dialog);
    fit->setObjectName(prefix + QStringLiteral("Fit"));
    fit->setAutoDefault(false);
    auto* warningRow = new QHBoxLayout;
    warningRow->addWidget(warning, 1);
    warningRow->addWidget(fit);

    auto* buttons = new QDialogButtonBox(&dialog);
    ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    cancel->setAutoDefault(false);
    ok->setObjectName(prefix + QStringLiteral("Ok"));
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(rows);
    layout->addWidget(readout);
    layout->addLayout(warningRow);
    layout->addWidget(buttons);
}

void JoinControls::show(const model::JoinedContour& c, const QString& warningText,
                        int fittingSpacing) {
    readout->setText(QStringLiteral("Точек: %1, линий: %2, скачки: %3 пикс.")
                         .arg(c.needed)
                         .arg(c.paths)
                         .arg(qRound(c.jumpPixels)));
    const bool fits = c.fits();
    ok->setEnabled(fits);
    fit->setVisible(!fits && fittingSpacing > 0);
    warning->setText(warningText);
    if (!fits && fittingSpacing > 0) {
        fit->setText(QStringLiteral("Шаг %1").arg(fittingSpacing));
    }
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
