// Windows bitmaps and icons, decoded by Qt's readers after our own checks of their
// structure, so that a short or broken file is refused instead of shown with made-up pixels.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace pictures {

inline constexpr qint64 kMaxPicturePixels = qint64(1) << 26;  // 64 Mpx, 256 MB as ARGB

struct ImageResult {
    QImage image;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// A bitmap file (or a DIB with a file header put in front) at its own size, as stored,
// refused unless every pixel comes from the file. Fails with "Bitmap image is not valid".
ImageResult DecodeBitmap(const QByteArray& data);

// A bitmap at its own size, transparent where it has the colour of its bottom-left pixel
// (white for a two-colour bitmap). Fails with "Bitmap image is not valid".
ImageResult ReadBitmap(const QByteArray& data);

// The largest image of an icon file, transparent where its mask says so. Fails with
// "Icon image is not valid".
ImageResult ReadIcon(const QByteArray& data);

}  // namespace pictures
