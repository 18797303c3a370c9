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

void LoadFile(editor::Editor& editor, Dialogs& dialogs, FileDialogSpec& dialog,
              const std::optional<QString>& named,
              const std::function<void(const QString&)>& load) {
    editor.ToUndo();
    if (named) {
        dialog.fileName = *named;
        load(*named);
    } else if (const std::optional<QString> chosen = dialogs.openFile(dialog)) {
        load(*chosen);
    }
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

Overlay PreviewLine(const model::JoinedContour& joined, const std::vector<model::Path>& paths) {
    Overlay overlay;
    const auto at = [](double x, double y) {
        return QPointF(x / model::kUnitsPerPixel + model::kCentrePixel + 0.5,
                       y / model::kUnitsPerPixel + model::kCentrePixel + 0.5);
    };
    if (joined.fits()) {
        for (std::size_t i = 0; i < joined.points.size(); ++i) {
            overlay.line << at(joined.points[i].x, joined.points[i].y);
            overlay.dark.push_back(i < joined.styles.size() && joined.styles[i].blanked);
        }
    } else {
        // The paths as they are, each reached by a jump.
        for (const model::Path& path : paths) {
            for (const model::PathPoint& p : path.points) {
                overlay.dark.push_back(&p == &path.points.front() && !overlay.line.isEmpty());
                overlay.line << at(p.x, p.y);
            }
        }
    }
    return overlay;
}

JoinDialog::JoinDialog(QWidget* parent, std::function<void(const Overlay&)> show)
    : QDialog(parent), show_(std::move(show)) {
    // Modal to the main window only, as every dialog of the program: the Лазер window's Стоп
    // stays at hand.
    setWindowModality(Qt::WindowModal);
    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, [this] { JoinNow(); });
    connect(this, &QDialog::finished, this, [this] { show_(Overlay()); });
}

void JoinDialog::AddJoinControls(QLayout* rows, const QString& prefix, QSpinBox* spacing) {
    spacing_ = spacing;
    readout_ = new QLabel(this);
    readout_->setObjectName(prefix + QStringLiteral("Readout"));
    warning_ = new QLabel(this);
    warning_->setObjectName(prefix + QStringLiteral("Warning"));
    warning_->setWordWrap(true);
    warning_->setStyleSheet(QStringLiteral("color: #b00000"));
    fit_ = new QPushButton(this);
    fit_->setObjectName(prefix + QStringLiteral("Fit"));
    fit_->setAutoDefault(false);
    auto* warningRow = new QHBoxLayout;
    warningRow->addWidget(warning_, 1);
    warningRow->addWidget(fit_);
    connect(fit_, &QPushButton::clicked, this, [this] {
        if (offer_.box != nullptr) {
            offer_.box->setValue(offer_.value);
        }
    });

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(tr("Отмена"), QDialogButtonBox::RejectRole);
    cancel->setAutoDefault(false);
    ok_->setObjectName(prefix + QStringLiteral("Ok"));
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(rows);
    layout->addWidget(readout_);
    layout->addLayout(warningRow);
    layout->addWidget(buttons);
    connect(spacing_, &QSpinBox::valueChanged, this, [this] { schedule(); });
    JoinNow();
}

void JoinDialog::accept() {
    if (pending_.isActive()) {
        JoinNow();
    }
    if (!fits_) {
        return;
    }
    QDialog::accept();
}

void JoinDialog::RunInto(editor::Editor& editor) {
    if (QWidget* main = parentWidget()) {
        PlaceBeside(*this, *main);
    }
    if (exec() != QDialog::Accepted || joined_ == nullptr || !joined_->fits()) {
        return;
    }
    editor.ReplaceContour(joined_->points, joined_->styles);
}

void JoinDialog::JoinNow() {
    pending_.stop();
    const Joined j = Join();
    const model::JoinedContour& c = j.contour;
    joined_ = &c;
    readout_->setText(tr("Точек: %1, линий: %2, скачки: %3 пикс.")
                          .arg(c.needed)
                          .arg(c.paths)
                          .arg(qRound(c.jumpPixels)));
    fits_ = c.fits();
    offer_ = fits_ ? Fit{} : j.fit;
    ok_->setEnabled(fits_);
    fit_->setVisible(offer_.box != nullptr);
    fit_->setText(offer_.text);
    warning_->setText(j.warning);
    show_(PreviewLine(c, j.paths));
}

JoinDialog::Fit JoinDialog::SpacingFit(int spacing) const {
    if (spacing == 0) {
        return {};
    }
    return {spacing_, spacing, tr("Шаг %1").arg(spacing)};
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
