#include "editor/underlay.h"

#include <QPainter>

#include "pictures/builtin_picture.h"
#include "pictures/metafile_player.h"
#include "pictures/picture_formats.h"

namespace editor {

void Underlay::setPicture(const QImage& picture, const QRect& area) {
    picture_ = picture;
    area_ = area;
    source_ = {};
    sourceImage_ = QImage();
}

Underlay::Source Underlay::SourcePicture(QSize surface) const {
    if (picture_.isNull()) {
        // The built-in drawing, fitted as Draw fits it.
        const pictures::PictureSource builtIn{pictures::BuiltInPicture(),
                                              pictures::PictureKind::Metafile};
        const pictures::MetafileInfo info = pictures::InspectMetafile(builtIn.data);
        const QRect area = pictures::FitRect(info.size, surface);
        if (sourceImage_.isNull()) {
            sourceImage_ = pictures::ReadSourcePicture(builtIn, kSourceMaxSide, area.size());
        }
        return {sourceImage_, area};
    }
    if (source_.data.isEmpty()) {
        return {picture_, area_};
    }
    if (sourceImage_.isNull()) {
        sourceImage_ = pictures::ReadSourcePicture(source_, kSourceMaxSide, area_.size());
    }
    return {sourceImage_.isNull() ? picture_ : sourceImage_, area_};
}

QString Underlay::Load(const QString& fileName, QSize area,
                       std::optional<pictures::PictureKind> kind) {
    pictures::PictureSource source;
    pictures::PictureResult r = pictures::LoadPicture(fileName, area, &source, kind);
    if (!r.ok()) {
        return r.error;
    }
    // An empty picture still replaces the old one; it just draws nothing.
    setPicture(r.image.isNull() ? QImage(1, 1, QImage::Format_ARGB32_Premultiplied) : r.image,
               r.rect);
    if (r.image.isNull()) {
        picture_.fill(Qt::transparent);
    } else {
        source_ = std::move(source);
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
