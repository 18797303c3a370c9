#include "window/dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>

#include "window/picture_preview.h"

namespace window {

namespace {

// Runs a dialog modal to the window it belongs to, not to the whole program: the Лазер
// window, a window of its own, stays at hand for its Стоп button.
int RunModal(QDialog& dialog) {
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec();
}

// The caption (the program's name when there is none) and the question of a dialog that asks
// for a number, the layout the rest goes under.
QVBoxLayout* AskingTop(QDialog& dialog, const QString& title, const QString& question) {
    dialog.setWindowTitle(title.isEmpty() ? QApplication::applicationName() : title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QLabel(question, &dialog);
    text->setWordWrap(true);
    layout->addWidget(text);
    return layout;
}

// The dialog's buttons under its number, run; the number when it is accepted.
std::optional<int> RunForNumber(QDialog& dialog, QVBoxLayout* layout, QDialogButtonBox* buttons,
                                QSpinBox* number) {
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    number->setFocus();
    number->selectAll();
    if (RunModal(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    return number->value();
}

}  // namespace

QString QtDialogs::QtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // Qt takes the patterns from the parentheses at the end of the text, so a description
        // that already shows its patterns there has them replaced, not repeated.
        QString description = parts[i];
        static const QRegularExpression shown(QStringLiteral("\\s*\\([^()]*\\*[^()]*\\)$"));
        description.remove(shown);
        QStringList masks = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" means every file; here it would hide the names without a dot.
        for (QString& m : masks) {
            if (m == QStringLiteral("*.*")) {
                m = QStringLiteral("*");
            }
        }
        entries << QStringLiteral("%1 (%2)").arg(description, masks.join(QLatin1Char(' ')));
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

QString QtDialogs::FilterSuffix(const QString& qtFilter) {
    // The first mask of the form "*.ext" in the filter's parentheses.
    static const QRegularExpression mask(QStringLiteral("\\*\\.([A-Za-z0-9]+)[ )]"));
    const QRegularExpressionMatch m = mask.match(qtFilter);
    return m.hasMatch() ? m.captured(1) : QString();
}

std::optional<QStringList> QtDialogs::run(FileDialogSpec& request, bool save, bool several) {
    QFileDialog dialog(parent_, request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save      ? QFileDialog::AnyFile
                       : several ? QFileDialog::ExistingFiles
                                 : QFileDialog::ExistingFile);
    // The program asks its own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // Qt's own dialog, not the desktop's: its keys come to the program, so F12 stops the
    // output while it is open.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    const QString qtFilter = QtFilter(request.filter);
    const QStringList filters = qtFilter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    }
    // A name typed without an extension takes the chosen kind's, or the command's own when
    // the kind has none (every file).
    const QString fallback = Suffix(request.defaultExt);
    const auto suffixFor = [fallback](const QString& filter) {
        const QString own = FilterSuffix(filter);
        return own.isEmpty() ? fallback : own;
    };
    dialog.setDefaultSuffix(request.filterIndex >= 1 && request.filterIndex <= filters.size()
                                ? suffixFor(filters[request.filterIndex - 1])
                                : fallback);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, suffixFor](const QString& filter) {
                         dialog.setDefaultSuffix(suffixFor(filter));
                     });
    if (!request.fileName.isEmpty()) {
        const QFileInfo info(request.fileName);
        if (!info.path().isEmpty()) {
            dialog.setDirectory(info.absolutePath());
        }
        if (!info.fileName().contains(QLatin1Char('*'))) {
            dialog.selectFile(info.fileName());
        }
    }
    if (request.picturePreview) {
        AddPicturePreview(dialog);
    }
    std::vector<QCheckBox*> options;
    if (!request.options.empty()) {
        // Below the file list of Qt's own dialog.
        auto* row = new QHBoxLayout;
        for (const DialogOption& o : request.options) {
            auto* box = new QCheckBox(o.text, &dialog);
            box->setChecked(o.checked);
            row->addWidget(box);
            options.push_back(box);
        }
        row->addStretch();
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            grid->addLayout(row, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    for (size_t i = 0; i < options.size(); ++i) {
        request.options[i].checked = options[i]->isChecked();
    }
    request.fileName = dialog.selectedFiles().constFirst();
    const int chosen = int(filters.indexOf(dialog.selectedNameFilter()));
    if (chosen >= 0) {
        request.filterIndex = chosen + 1;
    }
    return dialog.selectedFiles();
}

std::optional<QString> QtDialogs::openFile(FileDialogSpec& request) {
    const std::optional<QStringList> files = run(request, false);
    return files ? std::optional<QString>(files->constFirst()) : std::nullopt;
}

std::optional<QString> QtDialogs::saveFile(FileDialogSpec& request) {
    const std::optional<QStringList> files = run(request, true);
    return files ? std::optional<QString>(files->constFirst()) : std::nullopt;
}

std::optional<QStringList> QtDialogs::openFiles(FileDialogSpec& request) {
    return run(request, false, true);
}

MessageButton QtDialogs::message(const MessageSpec& request) {
    QMessageBox box(parent_);
    switch (request.type) {
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
    box.setWindowTitle(request.caption.isEmpty() ? QApplication::applicationName()
                                                 : request.caption);
    box.setText(request.text);
    // Each button under Qt's own text for it, in the language of Qt's translation in use.
    const auto label = [](MessageButton b) {
        QDialogButtonBox standard;
        switch (b) {
            case MessageButton::Ok:
                return standard.addButton(QDialogButtonBox::Ok)->text();
            case MessageButton::Cancel:
                return standard.addButton(QDialogButtonBox::Cancel)->text();
            case MessageButton::Yes:
                return standard.addButton(QDialogButtonBox::Yes)->text();
            case MessageButton::No:
                return standard.addButton(QDialogButtonBox::No)->text();
            case MessageButton::Abort:
                return standard.addButton(QDialogButtonBox::Abort)->text();
            case MessageButton::Retry:
                return standard.addButton(QDialogButtonBox::Retry)->text();
            case MessageButton::Ignore:
                return standard.addButton(QDialogButtonBox::Ignore)->text();
        }
        return QString();
    };
    std::vector<std::pair<QAbstractButton*, MessageButton>> shown;
    for (MessageButton b : request.buttons) {
        // One role for all keeps the buttons in the order given.
        QPushButton* pb = box.addButton(label(b), QMessageBox::ActionRole);
        shown.emplace_back(pb, b);
        if (b == request.defaultButton) {
            box.setDefaultButton(pb);
        }
        if (b == request.escapeButton) {
            box.setEscapeButton(pb);
        }
    }
    RunModal(box);
    for (const auto& [button, answer] : shown) {
        if (box.clickedButton() == button) {
            return answer;
        }
    }
    return request.escapeButton;
}

std::optional<int> QtDialogs::chooseFrame(const FrameChoiceSpec& request) {
    QDialog dialog(parent_);
    QVBoxLayout* layout = AskingTop(dialog, request.title, request.text);
    auto* number = new QSpinBox(&dialog);
    number->setObjectName(QStringLiteral("FrameNumber"));
    number->setRange(1, std::max(1, request.count));
    number->setPrefix(QCoreApplication::translate("window::QtDialogs", "Кадр "));
    number->setSuffix(
        QCoreApplication::translate("window::QtDialogs", " из %1").arg(request.count));
    layout->addWidget(number);
    auto* picture = new QLabel(&dialog);
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);
    auto* caption = new QLabel(&dialog);
    caption->setAlignment(Qt::AlignCenter);
    layout->addWidget(caption);
    const auto show = [&](int n) {
        if (request.picture) {
            picture->setPixmap(QPixmap::fromImage(request.picture(n)));
        }
        if (request.caption) {
            caption->setText(request.caption(n));
        }
    };
    QObject::connect(number, &QSpinBox::valueChanged, &dialog, show);
    number->setValue(std::clamp(request.initial, 1, std::max(1, request.count)));
    show(number->value());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    return RunForNumber(dialog, layout, buttons, number);
}

std::optional<int> QtDialogs::askNumber(const NumberRequest& request) {
    QDialog dialog(parent_);
    dialog.setObjectName(QStringLiteral("NumberDialog"));
    QVBoxLayout* layout = AskingTop(dialog, request.title, request.text);
    auto* number = new QSpinBox(&dialog);
    number->setObjectName(QStringLiteral("NumberValue"));
    number->setRange(request.minimum, std::max(request.minimum, request.maximum));
    number->setValue(request.value);
    layout->addWidget(number);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QCoreApplication::translate("window::QtDialogs", "Отмена"),
                       QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    return RunForNumber(dialog, layout, buttons, number);
}

std::optional<BeamColourChoice> QtDialogs::chooseBeamColour(const BeamColourRequest& request) {
    // Qt's own chooser (not the desktop's, which has no room for a third button), with
    // "По умолчанию" put beside its OK and Cancel.
    QColorDialog dialog(QColor::fromRgb(request.colour), parent_);
    dialog.setObjectName(QStringLiteral("BeamColourDialog"));
    dialog.setWindowTitle(request.title.isEmpty() ? QApplication::applicationName()
                                                  : request.title);
    dialog.setOption(QColorDialog::DontUseNativeDialog, true);
    constexpr int kDefaultChosen = 2;
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        QPushButton* byDefault =
            buttons->addButton(QCoreApplication::translate("window::QtDialogs", "По умолчанию"),
                               QDialogButtonBox::ResetRole);
        byDefault->setObjectName(QStringLiteral("BeamColourDefault"));
        byDefault->setToolTip(
            QCoreApplication::translate("window::QtDialogs", "Цвет линии из настроек"));
        byDefault->setAutoDefault(false);
        QObject::connect(byDefault, &QPushButton::clicked, &dialog,
                         [&dialog] { static_cast<QDialog&>(dialog).done(kDefaultChosen); });
    }
    const int result = RunModal(dialog);
    if (result == kDefaultChosen) {
        return BeamColourChoice{true, 0};
    }
    if (result != QDialog::Accepted) {
        return std::nullopt;
    }
    return BeamColourChoice{false, dialog.selectedColor().rgb()};
}

}  // namespace window
