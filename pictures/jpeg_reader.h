// JPEG pictures through libjpeg, decoded straight to the size they are shown at.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include "pictures/picture.h"

namespace pictures {

// Largest picture (width times height, as the file declares it) that the reader accepts.
inline constexpr qint64 kMaxJpegPixels = qint64(1) << 28;

// Decodes for an area: the decoder scales down in the DCT domain to the smallest size that
// still covers the fitted rectangle, and a smooth scale takes it the rest of the way.
// Fails with "JPEG error #%d", the decoder's message number.
PictureResult ReadJpeg(const QByteArray& data, QSize area);

// Decodes at full size (scale 1/1); for comparison and for callers that want every pixel.
struct JpegImage {
    QImage image;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
JpegImage ReadJpegFull(const QByteArray& data);

// Decodes at its own size, or reduced to at most maxSide on the long side (through the DCT
// scale first, as for an area), never enlarged.
JpegImage ReadJpegAtMost(const QByteArray& data, int maxSide);

}  // namespace pictures
