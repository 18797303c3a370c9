#include "editor/underlay.h"

#include <QPainter>

#include "pictures/builtin_picture.h"
#include "pictures/metafile_player.h"
#include "pictures/picture_formats.h"

namespace editor {

void Underlay::setPicture(const QImage& picture, const QRect& area) {
    picture_ = picture;
    area_ = area;
}

QString Underlay::Load(const QString& fileName, QSize area) {
    pictures::PictureResult r = pictures::LoadPicture(fileName, area);
    if (!r.ok()) {
        return r.error;
    }
    // An empty picture still replaces the old one; it just draws nothing.
    setPicture(r.image.isNull() ? QImage(1, 1, QImage::Format_ARGB32_Premultiplied) : r.image,
               r.rect);
    if (r.image.isNull()) {
        picture_.fill(Qt::transparent);
    }
    return QString();
}

void Underlay::Draw(Canvas& canvas) const {
    if (!visible_) {
        return;
    }
    const QImage* picture = &picture_;
    QRect area = area_;
    if (picture_.isNull()) {
        if (builtIn_.isNull() || builtInArea_.isNull()) {
            const pictures::PictureResult r =
                pictures::PlayMetafile(pictures::BuiltInPicture(), canvas.image().size());
            builtIn_ = r.image;
            builtInArea_ = r.rect;
        }
        picture = &builtIn_;
        area = builtInArea_;
    }
    if (picture->isNull()) {
        return;
    }
    QPainter p(&canvas.image());
    p.drawImage(area, *picture);
}

}  // namespace editor
