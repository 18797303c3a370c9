#include "pictures/bitmap_reader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QtEndian>
#include <cstdlib>

namespace pictures {

namespace {

QString BitmapError() {
    return QCoreApplication::translate("pictures", "Bitmap image is not valid");
}
QString IconError() {
    return QCoreApplication::translate("pictures", "Icon image is not valid");
}

quint16 U16(const QByteArray& d, qsizetype at) {
    return qFromLittleEndian<quint16>(d.constData() + at);
}
quint32 U32(const QByteArray& d, qsizetype at) {
    return qFromLittleEndian<quint32>(d.constData() + at);
}

enum : quint32 { kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiAlphaBitfields = 6 };

struct DibLayout {
    qint64 width = 0;
    qint64 height = 0;  // absolute
    int bitCount = 0;
    quint32 compression = 0;
};

// Walks an RLE stream and says whether it ends properly (end-of-bitmap, or every row done)
// without running off the data or the image.
bool RleComplete(const QByteArray& d, qsizetype at, const DibLayout& dib) {
    const bool four = dib.compression == kBiRle4;
    qint64 x = 0;
    qint64 y = 0;
    const qsizetype end = d.size();
    while (y < dib.height) {
        if (at + 2 > end) {
            return false;
        }
        const int n = quint8(d[at]);
        const int c = quint8(d[at + 1]);
        at += 2;
        if (n > 0) {  // encoded run
            x += n;
            if (x > dib.width) {
                return false;
            }
            continue;
        }
        if (c == 0) {  // end of line
            x = 0;
            ++y;
        } else if (c == 1) {  // end of bitmap
            return true;
        } else if (c == 2) {  // delta
            if (at + 2 > end) {
                return false;
            }
            x += quint8(d[at]);
            y += quint8(d[at + 1]);
            at += 2;
            if (x > dib.width || y > dib.height) {
                return false;
            }
        } else {  // absolute run of c pixels, padded to a word
            const qsizetype bytes = four ? (c + 1) / 2 : c;
            at += (bytes + 1) & ~qsizetype(1);
            x += c;
            if (at > end || x > dib.width) {
                return false;
            }
        }
    }
    return true;
}

// Makes an icon image transparent where its AND mask is set. The image is the one the reader
// decoded from the directory entry at the given offset of the file; an entry stored as PNG,
// compressed, or without a whole mask is returned as it is. A 32-bit entry keeps its alpha
// channel unless every alpha is zero: then its colours are taken from the file opaque and
// the mask decides, as for every other depth.
QImage ApplyIconMask(const QByteArray& d, qsizetype entry, const QImage& decoded) {
    const qsizetype at = qsizetype(U32(d, entry + 12));
    if (at + 40 > d.size() || U32(d, at) < 40 || U32(d, at + 16) != kBiRgb) {
        return decoded;
    }
    const qint64 w = decoded.width();
    const qint64 h = decoded.height();
    const int bits = U16(d, at + 14);
    const quint32 used = U32(d, at + 32);
    const qint64 colours = bits <= 8 ? 4 * qint64(used != 0 ? used : 1u << bits) : 0;
    const qint64 stride = (w * bits + 31) / 32 * 4;
    const qint64 pixels = at + qint64(U32(d, at)) + colours;
    const qint64 mask = pixels + stride * h;
    const qint64 maskStride = (w + 31) / 32 * 4;
    if (bits <= 0 || mask + maskStride * h > d.size()) {
        return decoded;
    }
    QImage image = decoded.convertToFormat(QImage::Format_ARGB32);
    if (bits == 32) {
        for (qint64 y = 0; y < h; ++y) {
            for (qint64 x = 0; x < w; ++x) {
                if (d[qsizetype(pixels + y * stride + 4 * x + 3)] != 0) {
                    return decoded;  // the alpha channel is used
                }
            }
        }
        for (qint64 y = 0; y < h; ++y) {
            const char* row = d.constData() + pixels + (h - 1 - y) * stride;
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
            for (qint64 x = 0; x < w; ++x) {
                line[x] = qRgb(quint8(row[4 * x + 2]), quint8(row[4 * x + 1]), quint8(row[4 * x]));
            }
        }
    }
    // Mask rows bottom up, the leftmost pixel in the top bit; a set bit is transparent.
    for (qint64 y = 0; y < h; ++y) {
        const char* row = d.constData() + mask + (h - 1 - y) * maskStride;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (qint64 x = 0; x < w; ++x) {
            if (quint8(row[x / 8]) & (0x80 >> (x % 8))) {
                line[x] = 0;
            }
        }
    }
    return image;
}

}  // namespace

ImageResult DecodeBitmap(const QByteArray& data) {
    ImageResult r;
    r.error = BitmapError();
    // File header (14) and at least the size field of the info header.
    if (data.size() < 14 + 16 || data[0] != 'B' || data[1] != 'M') {
        return r;
    }
    const quint32 offBits = U32(data, 10);
    const quint32 headerSize = U32(data, 14);
    DibLayout dib;
    if (headerSize == 12) {  // OS/2 core header
        dib.width = U16(data, 18);
        dib.height = U16(data, 20);
        dib.bitCount = U16(data, 24);
    } else if (headerSize >= 40 && 14 + qsizetype(headerSize) <= data.size()) {
        // The sum is taken in 64 bits: in 32, a header size near 4 GiB would wrap round to a
        // small one and let the fields below be read past the end of the data.
        dib.width = qint32(U32(data, 18));
        dib.height = std::llabs(qint32(U32(data, 22)));
        dib.bitCount = U16(data, 28);
        dib.compression = U32(data, 30);
    } else {
        return r;
    }
    if (dib.width <= 0 || dib.height <= 0 || dib.width * dib.height > kMaxPicturePixels ||
        offBits >= quint32(data.size())) {
        return r;
    }
    const bool rle = dib.compression == kBiRle8 || dib.compression == kBiRle4;
    if (dib.compression == kBiRgb || dib.compression == kBiBitfields ||
        dib.compression == kBiAlphaBitfields) {
        // Every row present, so the reader fills every pixel from the file.
        const qint64 stride = ((dib.width * dib.bitCount + 31) / 32) * 4;
        if (dib.bitCount <= 0 || qint64(offBits) + stride * dib.height > data.size()) {
            return r;
        }
    } else if (rle) {
        if ((dib.compression == kBiRle8 && dib.bitCount != 8) ||
            (dib.compression == kBiRle4 && dib.bitCount != 4) || !RleComplete(data, offBits, dib)) {
            return r;
        }
    } else {
        return r;  // JPEG or PNG inside a bitmap, or garbage
    }

    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    QImage image;
    if (rle) {
        // Pixels that an RLE stream skips are never written by the reader; starting from a
        // cleared image of the reader's own size and format keeps them defined.
        image = QImage(int(dib.width), int(dib.height), QImage::Format_Indexed8);
        if (image.isNull()) {
            return r;
        }
        image.fill(0);
    }
    if (!reader.read(&image) || image.isNull()) {
        return r;
    }
    r.image = image;
    r.error.clear();
    return r;
}

ImageResult ReadBitmap(const QByteArray& data) {
    ImageResult r = DecodeBitmap(data);
    if (!r.ok()) {
        return r;
    }
    const QImage image = r.image;
    const int bitCount = U16(data, U32(data, 14) == 12 ? 24 : 28);
    // Leave out every pixel of the key colour: the bottom-left pixel's, or white for a
    // two-colour bitmap.
    const QRgb key = bitCount == 1 ? qRgb(255, 255, 255) : image.pixel(0, image.height() - 1);
    // Everything else is opaque: an alpha channel that a 32-bit header declares is not used
    // (the reader hands it over unpremultiplied, so the colours are all still there).
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            line[x] = (line[x] & 0xFFFFFF) == (key & 0xFFFFFF) ? 0 : line[x] | 0xFF000000u;
        }
    }
    r.image = argb.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return r;
}

ImageResult ReadIcon(const QByteArray& data) {
    ImageResult r;
    r.error = IconError();
    // Directory: reserved 0, type 1, count, then 16-byte entries pointing into the file.
    if (data.size() < 6 || U16(data, 0) != 0 || U16(data, 2) != 1) {
        return r;
    }
    const int count = U16(data, 4);
    if (count == 0 || 6 + 16 * qsizetype(count) > data.size()) {
        return r;
    }
    for (int i = 0; i < count; ++i) {
        const qsizetype e = 6 + 16 * qsizetype(i);
        const quint32 size = U32(data, e + 8);
        const quint32 offset = U32(data, e + 12);
        if (size < 40 || qint64(offset) + size > data.size()) {
            return r;
        }
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QImage best;
    int bestIndex = 0;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i)) {
            return r;
        }
        QImage image;
        if (!reader.read(&image) || image.isNull()) {
            return r;
        }
        if (qint64(image.width()) * image.height() > qint64(best.width()) * best.height()) {
            best = image;
            bestIndex = i;
        }
    }
    if (best.isNull()) {
        return r;
    }
    r.image = ApplyIconMask(data, 6 + 16 * qsizetype(bestIndex), best)
                  .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    r.error.clear();
    return r;
}

}  // namespace pictures
