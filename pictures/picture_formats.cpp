#include "pictures/picture_formats.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

#include "io/file_io.h"
#include "pictures/bitmap_reader.h"
#include "pictures/jpeg_reader.h"
#include "pictures/metafile_player.h"
#include "pictures/qt_image_reader.h"

namespace pictures {

namespace {

QString Named(const char* description) {
    return QString::fromUtf8(description);
}

}  // namespace

const std::vector<PictureFormat>& RegisteredFormats() {
    static const std::vector<PictureFormat> formats = {
        {QStringLiteral("wmf"), Named(QT_TRANSLATE_NOOP("pictures", "Metafiles")),
         PictureKind::Metafile},
        {QStringLiteral("emf"), Named(QT_TRANSLATE_NOOP("pictures", "Enhanced Metafiles")),
         PictureKind::EnhancedMetafile},
        {QStringLiteral("ico"), Named(QT_TRANSLATE_NOOP("pictures", "Icons")), PictureKind::Icon},
        {QStringLiteral("bmp"), Named(QT_TRANSLATE_NOOP("pictures", "Bitmaps")),
         PictureKind::Bitmap},
        {QStringLiteral("jpeg"), Named(QT_TRANSLATE_NOOP("pictures", "JPEG Image File")),
         PictureKind::Jpeg},
        {QStringLiteral("jpg"), Named(QT_TRANSLATE_NOOP("pictures", "JPEG Image File")),
         PictureKind::Jpeg},
        {QStringLiteral("png"), Named(QT_TRANSLATE_NOOP("pictures", "Картинки PNG")),
         PictureKind::Png, true},
        {QStringLiteral("gif"), Named(QT_TRANSLATE_NOOP("pictures", "Картинки GIF")),
         PictureKind::Gif, true},
        {QStringLiteral("webp"), Named(QT_TRANSLATE_NOOP("pictures", "Картинки WebP")),
         PictureKind::WebP, true},
        {QStringLiteral("tif"), Named(QT_TRANSLATE_NOOP("pictures", "Картинки TIFF")),
         PictureKind::Tiff, true},
        {QStringLiteral("tiff"), Named(QT_TRANSLATE_NOOP("pictures", "Картинки TIFF")),
         PictureKind::Tiff, true},
    };
    return formats;
}

QString PictureFilter() {
    std::vector<PictureFormat> own;
    std::vector<PictureFormat> byQt;
    for (const PictureFormat& format : RegisteredFormats()) {
        (format.byQt ? byQt : own).push_back(format);
    }
    std::reverse(own.begin(), own.end());
    const auto masks = [](const std::vector<PictureFormat>& formats) {
        QStringList patterns;
        for (const PictureFormat& format : formats) {
            patterns << QStringLiteral("*.") + format.extension;
        }
        return patterns.join(QLatin1Char(';'));
    };
    const auto entries = [](const std::vector<PictureFormat>& formats, QStringList& parts) {
        for (const PictureFormat& format : formats) {
            const QString pattern = QStringLiteral("*.") + format.extension;
            parts << QStringLiteral("%1 (%2)").arg(
                         QCoreApplication::translate("pictures",
                                                     format.description.toUtf8().constData()),
                         pattern)
                  << pattern;
        }
    };
    const QString all = masks(own);
    QStringList parts{QCoreApplication::translate("pictures", "All (%1)").arg(all), all};
    entries(own, parts);
    const QString every = all + QLatin1Char(';') + masks(byQt);
    parts << QCoreApplication::translate("pictures", "Все картинки (%1)").arg(every) << every;
    entries(byQt, parts);
    return parts.join(QLatin1Char('|'));
}

PictureResult LoadPicture(const QString& fileName, QSize area, PictureSource* source,
                          std::optional<PictureKind> known) {
    // The extension is what follows the last dot of the name, compared without case.
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot + 1).toLower();
    const auto& formats = RegisteredFormats();
    std::optional<PictureKind> kind = known;
    for (auto it = formats.rbegin(); it != formats.rend() && !kind; ++it) {
        if (it->extension == ext) {
            kind = it->kind;
        }
    }
    if (!kind) {
        return PictureResult::Fail(
            QCoreApplication::translate("pictures", "Unknown picture file extension (.%1)")
                .arg(ext));
    }

    // Through the file layer, which reads only regular files (a pipe would wait for a writer
    // forever) and refuses a file larger than the limit without reading it.
    QByteArray data;
    if (!io::ReadWholeFile(fileName, kMaxPictureFileBytes, data).ok) {
        return PictureResult::Fail(
            QCoreApplication::translate("pictures", "Не удаётся открыть файл %1").arg(fileName));
    }
    PictureResult r = ReadPicture(data, *kind, area);
    if (r.ok() && source != nullptr) {
        source->data = data;
        source->kind = *kind;
    }
    return r;
}

PictureResult ReadPicture(const QByteArray& data, PictureKind kind, QSize area) {
    switch (kind) {
        case PictureKind::Jpeg:
            return ReadJpeg(data, area);
        case PictureKind::Metafile:
        case PictureKind::EnhancedMetafile:
            return PlayMetafile(data, area);
        case PictureKind::Icon: {
            const ImageResult icon = ReadIcon(data);
            return icon.ok() ? Fitted(icon.image, area) : PictureResult::Fail(icon.error);
        }
        case PictureKind::Bitmap: {
            const ImageResult bitmap = ReadBitmap(data);
            return bitmap.ok() ? Fitted(bitmap.image, area) : PictureResult::Fail(bitmap.error);
        }
        case PictureKind::Png:
        case PictureKind::Gif:
        case PictureKind::WebP:
        case PictureKind::Tiff: {
            const ImageResult picture = ReadQtImage(data, kind);
            return picture.ok() ? Fitted(picture.image, area) : PictureResult::Fail(picture.error);
        }
    }
    return PictureResult::Fail(QCoreApplication::translate("pictures", "Unknown picture kind"));
}

QImage ReadSourcePicture(const PictureSource& source, int maxSide, QSize minSize) {
    QImage image;
    switch (source.kind) {
        case PictureKind::Jpeg:
            image = ReadJpegAtMost(source.data, maxSide).image;
            break;
        case PictureKind::Icon:
            image = ReadIcon(source.data).image;
            break;
        case PictureKind::Bitmap:
            image = ReadBitmap(source.data).image;
            break;
        case PictureKind::Png:
        case PictureKind::Gif:
        case PictureKind::WebP:
        case PictureKind::Tiff:
            image = ReadQtImage(source.data, source.kind).image;
            break;
        case PictureKind::Metafile:
        case PictureKind::EnhancedMetafile: {
            const MetafileInfo info = InspectMetafile(source.data);
            if (!info.ok() || info.size.isEmpty()) {
                return QImage();
            }
            QSize size = info.size;
            if (!minSize.isEmpty() &&
                (size.width() < minSize.width() || size.height() < minSize.height())) {
                size = size.scaled(minSize, Qt::KeepAspectRatioByExpanding);
            }
            if (size.width() > maxSide || size.height() > maxSide) {
                size = size.scaled(maxSide, maxSide, Qt::KeepAspectRatio);
            }
            image = RenderMetafile(source.data, size.expandedTo(QSize(1, 1))).image;
            break;
        }
    }
    if (image.isNull() || maxSide <= 0) {
        return image;
    }
    if (image.width() > maxSide || image.height() > maxSide) {
        image = image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

}  // namespace pictures
