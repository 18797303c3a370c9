#include "pictures/qt_image_reader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>

namespace pictures {

namespace {

struct QtKind {
    PictureKind kind;
    const char* format;  // Qt's name of the reader
    const char* name;    // as the messages say it
};

constexpr QtKind kQtKinds[] = {
    {PictureKind::Png, "png", "PNG"},
    {PictureKind::Gif, "gif", "GIF"},
    {PictureKind::WebP, "webp", "WebP"},
    {PictureKind::Tiff, "tiff", "TIFF"},
};

ImageResult Fail(const QString& message) {
    ImageResult r;
    r.error = message;
    return r;
}

}  // namespace

ImageResult ReadQtImage(const QByteArray& data, PictureKind kind) {
    const QtKind* qt = nullptr;
    for (const QtKind& k : kQtKinds) {
        qt = k.kind == kind ? &k : qt;
    }
    if (qt == nullptr) {
        return Fail(QCoreApplication::translate("pictures", "Unknown picture kind"));
    }
    const QString name = QString::fromLatin1(qt->name);
    const QString broken = QCoreApplication::translate(
                               "pictures", "Картинка %1 не читается: она повреждена или это не %1.")
                               .arg(name);
    if (!QImageReader::supportedImageFormats().contains(qt->format)) {
        return Fail(QCoreApplication::translate("pictures",
                                                "Картинки %1 не читаются: нет модуля Qt для них "
                                                "(qt6-image-formats-plugins).")
                        .arg(name));
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    // The reader of the kind alone: a file named .png that holds something else is not handed
    // to whichever reader its content would find.
    QImageReader reader(&buffer, qt->format);
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead()) {
        return Fail(broken);
    }
    // The size from the header, before any pixel is decoded; a reader that cannot tell it is
    // not trusted to decode.
    const QSize size = reader.size();
    if (size.width() <= 0 || size.height() <= 0) {
        return Fail(broken);
    }
    if (qint64(size.width()) * size.height() > kMaxPicturePixels) {
        return Fail(
            QCoreApplication::translate("pictures", "Картинка %1 слишком велика: %2 × %3 пикселей.")
                .arg(name)
                .arg(size.width())
                .arg(size.height()));
    }
    QImage image;
    if (!reader.read(&image) || image.isNull() ||
        qint64(image.width()) * image.height() > kMaxPicturePixels) {
        return Fail(broken);
    }
    ImageResult r;
    r.image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (r.image.isNull()) {
        return Fail(broken);
    }
    return r;
}

}  // namespace pictures
