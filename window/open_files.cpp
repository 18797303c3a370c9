#include "window/open_files.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>

#include "pictures/picture_formats.h"
#include "window/base_form.h"

namespace window {

namespace {

// The dialogs of the window, except that an open dialog answers with the given file at once.
class GivenFileDialogs : public Dialogs {
  public:
    GivenFileDialogs(Dialogs& window, const QString& name) : window_(window), name_(name) {}
    std::optional<QString> openFile(FileDialogSpec& request) override {
        request.fileName = name_;
        return name_;
    }
    std::optional<QString> saveFile(FileDialogSpec& request) override {
        return window_.saveFile(request);
    }
    MessageButton message(const MessageSpec& request) override { return window_.message(request); }
    std::optional<int> chooseFrame(const FrameChoiceSpec& request) override {
        return window_.chooseFrame(request);
    }

  private:
    Dialogs& window_;
    QString name_;
};

// Drops on the main window or any of its controls: the controls take none themselves.
class FileDrops : public QObject {
  public:
    explicit FileDrops(TBaseForm& form) : QObject(&form), form_(form) {
        setObjectName(QStringLiteral("FileDrops"));
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDropEvent*>(event);
                if (FilesToOpen(drag->mimeData()->urls()).isEmpty()) {
                    drag->ignore();
                } else {
                    drag->acceptProposedAction();
                }
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const QStringList files = FilesToOpen(drop->mimeData()->urls());
                if (files.isEmpty()) {
                    drop->ignore();
                    return true;
                }
                drop->acceptProposedAction();
                // After the drop has ended: the file manager is not kept waiting while the
                // closing question or a message is up.
                QTimer::singleShot(0, &form_, [form = &form_, files] {
                    for (const QString& file : files) {
                        OpenFile(*form, file);
                    }
                });
                return true;
            }
            default:
                return QObject::eventFilter(watched, event);
        }
    }

  private:
    TBaseForm& form_;
};

}  // namespace

std::optional<OpenedAs> OpenedAsOf(const QString& name) {
    const QString ext = QFileInfo(name).suffix().toLower();
    if (ext == QLatin1String("ilz")) {
        return OpenedAs::Contour;
    }
    if (ext == QLatin1String("plz")) {
        return OpenedAs::Legacy;
    }
    if (ext == QLatin1String("ild")) {
        return OpenedAs::Ilda;
    }
    for (const pictures::PictureFormat& format : pictures::RegisteredFormats()) {
        if (format.extension == ext) {
            return OpenedAs::Picture;
        }
    }
    return std::nullopt;
}

void OpenFile(TBaseForm& form, const QString& name) {
    const OpenedAs kind = OpenedAsOf(name).value_or(OpenedAs::Contour);
    if (kind == OpenedAs::Contour && !form.fileCommands().QueryClose()) {
        return;
    }
    Dialogs& window = form.dialogs();
    GivenFileDialogs given(window, name);
    form.setDialogs(&given);
    switch (kind) {
        case OpenedAs::Contour:
            form.fileCommands().SpeedButtonOpenLaserClick();
            break;
        case OpenedAs::Legacy:
            form.fileCommands().ItemImportClick();
            break;
        case OpenedAs::Ilda:
            form.ilda().ItemImportIldaClick(given);
            break;
        case OpenedAs::Picture:
            if (auto* pictures =
                    form.findChild<PictureCommands*>(QStringLiteral("PictureCommands"))) {
                pictures->SpeedButtonOpenImageClick();
            }
            break;
    }
    form.setDialogs(&window);
}

QStringList FilesToOpen(const QList<QUrl>& urls) {
    QString contour;
    QString picture;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            continue;
        }
        const QString name = url.toLocalFile();
        const std::optional<OpenedAs> kind = OpenedAsOf(name);
        if (!kind) {
            continue;
        }
        QString& slot = *kind == OpenedAs::Picture ? picture : contour;
        if (slot.isEmpty()) {
            slot = name;
        }
    }
    QStringList files;
    for (const QString& name : {contour, picture}) {
        if (!name.isEmpty()) {
            files << name;
        }
    }
    return files;
}

void AcceptFileDrops(TBaseForm& form) {
    form.setAcceptDrops(true);
    form.installEventFilter(new FileDrops(form));
}

}  // namespace window
