#include "editor/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "editor/picture_preview.h"

namespace editor {

QString QtDialogs::QtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString masks = parts[i + 1];
        masks.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << QStringLiteral("%1 (%2)").arg(parts[i], masks);
    }
    return entries.join(QStringLiteral(";;"));
}

QString QtDialogs::Suffix(const QString& defaultExt) {
    QString s = defaultExt;
    while (s.startsWith(QLatin1Char('*')) || s.startsWith(QLatin1Char('.'))) {
        s.remove(0, 1);
    }
    return s;
}

std::optional<QString> QtDialogs::run(FileDialogSpec& spec, bool save) {
    QFileDialog dialog(parent_, spec.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The program asks its own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QString qtFilter = QtFilter(spec.filter);
    const QStringList filters = qtFilter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    dialog.setNameFilters(filters);
    if (spec.filterIndex >= 1 && spec.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[spec.filterIndex - 1]);
    }
    dialog.setDefaultSuffix(Suffix(spec.defaultExt));
    if (!spec.fileName.isEmpty()) {
        const QFileInfo info(spec.fileName);
        if (!info.path().isEmpty()) {
            dialog.setDirectory(info.absolutePath());
        }
        if (!info.fileName().contains(QLatin1Char('*'))) {
            dialog.selectFile(info.fileName());
        }
    }
    if (spec.picturePreview) {
        AddPicturePreview(dialog);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    spec.fileName = dialog.selectedFiles().constFirst();
    return spec.fileName;
}

std::optional<QString> QtDialogs::openFile(FileDialogSpec& spec) {
    return run(spec, false);
}

std::optional<QString> QtDialogs::saveFile(FileDialogSpec& spec) {
    return run(spec, true);
}

MessageButton QtDialogs::message(const MessageSpec& spec) {
    QMessageBox box(parent_);
    switch (spec.type) {
        case MessageType::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageType::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageType::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageType::Confirmation:
            box.setIcon(QMessageBox::Question);
            break;
    }
    box.setWindowTitle(spec.caption.isEmpty() ? QApplication::applicationDisplayName()
                                              : spec.caption);
    box.setText(spec.text);
    const auto label = [](MessageButton b) {
        switch (b) {
            case MessageButton::Ok:
                return QStringLiteral("OK");
            case MessageButton::Cancel:
                return QStringLiteral("Cancel");
            case MessageButton::Yes:
                return QStringLiteral("&Yes");
            case MessageButton::No:
                return QStringLiteral("&No");
            case MessageButton::Abort:
                return QStringLiteral("&Abort");
            case MessageButton::Retry:
                return QStringLiteral("&Retry");
            case MessageButton::Ignore:
                return QStringLiteral("&Ignore");
        }
        return QString();
    };
    std::vector<std::pair<QAbstractButton*, MessageButton>> shown;
    for (MessageButton b : spec.buttons) {
        // One role for all keeps the buttons in the order given.
        QPushButton* pb = box.addButton(label(b), QMessageBox::ActionRole);
        shown.emplace_back(pb, b);
        if (b == spec.defaultButton) {
            box.setDefaultButton(pb);
        }
        if (b == spec.escapeButton) {
            box.setEscapeButton(pb);
        }
    }
    box.exec();
    for (const auto& [button, answer] : shown) {
        if (box.clickedButton() == button) {
            return answer;
        }
    }
    return spec.escapeButton;
}

}  // namespace editor
