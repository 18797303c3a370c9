#include "window/picture_preview.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>

#include "pictures/picture_formats.h"

namespace window {

namespace {

constexpr int kPreviewSize = 180;

}  // namespace

void AddPicturePreview(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (grid == nullptr) {
        return;
    }
    auto* preview = new QLabel(&dialog);
    preview->setObjectName(QStringLiteral("PicturePreview"));
    preview->setFixedSize(kPreviewSize, kPreviewSize);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview,
                     [preview](const QString& path) {
                         const QSize area(kPreviewSize - 4, kPreviewSize - 4);
                         const pictures::PictureResult r = QFileInfo(path).isFile()
                                                               ? pictures::LoadPicture(path, area)
                                                               : pictures::PictureResult();
                         if (!r.ok() || r.image.isNull()) {
                             preview->setPixmap(QPixmap());
                             preview->setText(r.ok() ? QString() : r.error);
                             preview->setWordWrap(true);
                             return;
                         }
                         // Over white, as the picture is fitted into the surface.
                         QImage shown(area, QImage::Format_RGB32);
                         shown.fill(Qt::white);
                         QPainter(&shown).drawImage(r.rect, r.image);
                         preview->setPixmap(QPixmap::fromImage(shown));
                     });
}

}  // namespace window
