#include "window/open_files.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

#include "formats/kinds.h"
#include "window/file_commands.h"
#include "window/picture_commands.h"

namespace window {

namespace {

// Drops on the main window or any of its controls: the controls take none themselves.
class FileDrops : public QObject {
  public:
    FileDrops(QWidget& window, FileOpener& opener) : QObject(&window), opener_(opener) {
        setObjectName(QStringLiteral("FileDrops"));
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDropEvent*>(event);
                // While a dialog waits for an answer, the files would open under it.
                if (QApplication::activeModalWidget() != nullptr ||
                    FilesToOpen(drag->mimeData()->urls()).isEmpty()) {
                    drag->ignore();
                } else {
                    drag->acceptProposedAction();
                }
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const QStringList files = FilesToOpen(drop->mimeData()->urls());
                if (QApplication::activeModalWidget() != nullptr || files.isEmpty()) {
                    drop->ignore();
                    return true;
                }
                drop->acceptProposedAction();
                // After the drop has ended: the file manager is not kept waiting while the
                // closing question or a message is up.
                QTimer::singleShot(0, this, [opener = &opener_, files] {
                    for (const QString& file : files) {
                        opener->OpenFile(file);
                    }
                });
                return true;
            }
            default:
                return QObject::eventFilter(watched, event);
        }
    }

  private:
    FileOpener& opener_;
};

}  // namespace

FileOpener::FileOpener(FileCommands& files, std::vector<FileImport*> imports,
                       PictureCommands& pictures)
    : files_(files), imports_(std::move(imports)), pictures_(pictures) {}

void FileOpener::OpenFile(const QString& name) {
    // A file of no known kind is tried as a contour file.
    const formats::KindInfo& kind = formats::ReadAs(name);
    switch (kind.use) {
        case formats::Use::Open:
            // Open takes a contour file or a show, the show by its first bytes.
            if (files_.QueryClose()) {
                files_.OpenContourFile(name);
            }
            break;
        case formats::Use::Import:
            for (FileImport* import : imports_) {
                if (&import->importedKind() == &kind) {
                    import->ImportFile(name);
                }
            }
            break;
        case formats::Use::Underlay:
            pictures_.OpenFile(name, kind.picture);
            break;
    }
    files_.editor().document().Settle();
}

QStringList FilesToOpen(const QList<QUrl>& urls) {
    QString contour;
    QString picture;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            continue;
        }
        const QString name = url.toLocalFile();
        const formats::KindInfo* kind = formats::KindOfName(name);
        if (kind == nullptr) {
            continue;
        }
        QString& slot = kind->use == formats::Use::Underlay ? picture : contour;
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

void AcceptFileDrops(QWidget& window, FileOpener& opener) {
    window.setAcceptDrops(true);
    window.installEventFilter(new FileDrops(window, opener));
}

}  // namespace window
