#include "pictures/qt_image_reader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <algorithm>

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

namespace {

// The reader of the kind over `buffer`, once the size its header gives is known and within the
// limit; the message why not otherwise.
QString OpenReader(QImageReader& reader, QBuffer& buffer, const QByteArray& data, PictureKind kind,
                   QString& broken) {
    const QtKind* qt = nullptr;
    for (const QtKind& k : kQtKinds) {
        qt = k.kind == kind ? &k : qt;
    }
    if (qt == nullptr) {
        return QCoreApplication::translate("pictures", "Unknown picture kind");
    }
    const QString name = QString::fromLatin1(qt->name);
    broken = QCoreApplication::translate("pictures",
                                         "Картинка %1 не читается: она повреждена или это не %1.")
                 .arg(name);
    if (!QImageReader::supportedImageFormats().contains(qt->format)) {
        return QCoreApplication::translate("pictures",
                                           "Картинки %1 не читаются: нет модуля Qt для них "
                                           "(qt6-image-formats-plugins).")
            .arg(name);
    }
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    // The reader of the kind alone: a file named .png that holds something else is not handed
    // to whichever reader its content would find.
    reader.setDevice(&buffer);
    reader.setFormat(qt->format);
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead()) {
        return broken;
    }
    // The size from the header, before any pixel is decoded; a reader that cannot tell it is
    // not trusted to decode.
    const QSize size = reader.size();
    if (size.width() <= 0 || size.height() <= 0) {
        return broken;
    }
    if (qint64(size.width()) * size.height() > kMaxPicturePixels) {
        return QCoreApplication::translate("pictures",
                                           "Картинка %1 слишком велика: %2 × %3 пикселей.")
            .arg(name)
            .arg(size.width())
            .arg(size.height());
    }
    return {};
}

// The reader's next picture, premultiplied; null when there is none or it is too large.
QImage ReadNext(QImageReader& reader) {
    QImage image;
    if (!reader.read(&image) || image.isNull() ||
        qint64(image.width()) * image.height() > kMaxPicturePixels) {
        return {};
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

ImageResult ReadQtImage(const QByteArray& data, PictureKind kind) {
    QBuffer buffer;
    QImageReader reader;
    QString broken;
    if (const QString error = OpenReader(reader, buffer, data, kind, broken); !error.isEmpty()) {
        return Fail(error);
    }
    ImageResult r;
    r.image = ReadNext(reader);
    if (r.image.isNull()) {
        return Fail(broken);
    }
    return r;
}

QString ReadQtFrames(const QByteArray& data, PictureKind kind, int most,
                     const std::function<void(const QImage&)>& frame) {
    QBuffer buffer;
    QImageReader reader;
    QString broken;
    if (const QString error = OpenReader(reader, buffer, data, kind, broken); !error.isEmpty()) {
        return error;
    }
    // As many as the reader counts, when it counts them; else until a read finds none.
    const int count = reader.imageCount();
    const int last = count > 0 ? std::min(count, most) : most;
    for (int n = 0; n < last; ++n) {
        const QImage image = ReadNext(reader);
        if (image.isNull()) {
            return n == 0 ? broken : QString();
        }
        frame(image);
    }
    return {};
}

}  // namespace pictures
