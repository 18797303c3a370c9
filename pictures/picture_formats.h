// The picture formats the underlay reads, in the order they are registered, and the loader
// that picks a reader by the file name's extension.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

#include "pictures/picture.h"

namespace pictures {

enum class PictureKind { Metafile, EnhancedMetafile, Icon, Bitmap, Jpeg, Png, Gif, WebP, Tiff };

struct PictureFormat {
    QString extension;  // lower case, without the dot
    // The dialog's name of the kind, untranslated: QCoreApplication::translate("pictures",
    // description) in the language of the texts.
    QString description;
    PictureKind kind;
    // Read by Qt's image readers alone (qt_image_reader.h), added beside the kinds of our own
    // readers; the open dialog lists them after those, whose entries stay as they were.
    bool byQt = false;
};

// Registration order: the four Windows kinds, then the two JPEG extensions, then PNG, GIF,
// WebP and the two TIFF extensions.
const std::vector<PictureFormat>& RegisteredFormats();

// The open dialog's filter, "Description|pattern|..." pairs: an "All" entry of our own
// readers' formats and one of each of them, from the last registered to the first; then an
// entry of every picture and one of each format read by Qt, in registration order.
QString PictureFilter();

// Decodes a picture file's bytes with the reader of its kind, fitted into the area.
PictureResult ReadPicture(const QByteArray& data, PictureKind kind, QSize area);

// Loads a picture file fitted into the area, read as `known` when given (a file whose name
// does not tell its kind), else by its extension. Fails with "Unknown picture file extension
// (.%s)" for an extension nobody registered, or with the reader's message. On success the
// file's bytes and kind go to `source` when given, for a later ReadSourcePicture.
struct PictureSource {
    QByteArray data;
    PictureKind kind = PictureKind::Metafile;
};
PictureResult LoadPicture(const QString& fileName, QSize area, PictureSource* source = nullptr,
                          std::optional<PictureKind> known = std::nullopt);

// The picture at its own resolution, reduced to at most maxSide pixels on its long side, for
// work that wants more than the fitted screen copy. Keyed-out and masked pixels are
// transparent, as they are when drawn. Metafiles are drawn at their natural size, and at
// least at minSize (aspect kept). A null image when the bytes do not decode.
QImage ReadSourcePicture(const PictureSource& source, int maxSide, QSize minSize = QSize());

// The long side of the picture that tracing works on, at most.
inline constexpr int kTracingMaxSide = 2048;

// Reads at most this much of a picture file.
inline constexpr qint64 kMaxPictureFileBytes = qint64(512) * 1024 * 1024;

}  // namespace pictures
