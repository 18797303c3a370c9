// Writes an image as an uncompressed 24-bit Windows bitmap, atomically.
#pragma once

#include <QImage>
#include <QString>

namespace pictures {

// The file's bytes: file header, 40-byte info header, rows bottom-up, padded to 4 bytes.
QByteArray EncodeBitmap24(const QImage& image);

// Writes the file; returns "" or "Cannot create file %s". An existing file is replaced
// only when the new one is complete.
QString WriteBitmapFile(const QImage& image, const QString& fileName);

}  // namespace pictures
