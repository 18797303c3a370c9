#include "pictures/gdi_player.h"

#include "pictures/bitmap_reader.h"

namespace pictures::gdi {

QColor ColorRef(quint32 c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// Text bytes of the narrow records, in the font's character set.
QString Narrow(const QByteArray& bytes, int charset) {
    if (charset != 204) {  // RUSSIAN_CHARSET
        return QString::fromLatin1(bytes);
    }
    QString s;
    s.reserve(bytes.size());
    for (char ch : bytes) {
        const auto c = quint8(ch);
        if (c >= 0xC0) {
            s += QChar(0x0410 + (c - 0xC0));
        } else if (c == 0xA8) {
            s += QChar(0x0401);
        } else if (c == 0xB8) {
            s += QChar(0x0451);
        } else {
            s += QChar(char16_t(c));
        }
    }
    return s;
}

// A DIB as stored in a record (header, colour table, bits) made into a bitmap file so that
// the bitmap reader, with all its checks, can decode it.
QImage DibImage(const QByteArray& info, const QByteArray& bits) {
    if (info.size() < 12) {
        return QImage();
    }
    const quint32 headerSize = qFromLittleEndian<quint32>(info.constData());
    if (headerSize > quint32(info.size())) {
        return QImage();
    }
    QByteArray file;
    file.reserve(14 + info.size() + bits.size());
    const quint32 total = quint32(14 + info.size() + bits.size());
    const quint32 offBits = quint32(14 + info.size());
    file.append("BM", 2);
    char le[4];
    qToLittleEndian<quint32>(total, le);
    file.append(le, 4);
    file.append(4, '\0');
    qToLittleEndian<quint32>(offBits, le);
    file.append(le, 4);
    file.append(info);
    file.append(bits);
    ImageResult r = DecodeBitmap(file);
    return r.ok() ? r.image : QImage();
}

namespace {

// Colour-table size of a DIB header, to split a packed DIB into header and bits.
qsizetype DibInfoSize(const QByteArray& dib) {
    if (dib.size() < 12) {
        return -1;
    }
    const quint32 headerSize = qFromLittleEndian<quint32>(dib.constData());
    if (headerSize == 12) {
        const int bitCount = qFromLittleEndian<quint16>(dib.constData() + 10);
        return 12 + (bitCount <= 8 ? (qsizetype(1) << bitCount) * 3 : 0);
    }
    if (headerSize < 40 || headerSize > quint32(dib.size())) {
        return -1;
    }
    const int bitCount = qFromLittleEndian<quint16>(dib.constData() + 14);
    const quint32 compression = qFromLittleEndian<quint32>(dib.constData() + 16);
    quint32 used = qFromLittleEndian<quint32>(dib.constData() + 32);
    if (used == 0 && bitCount <= 8) {
        used = 1u << bitCount;
    }
    if (used > 256 && bitCount <= 8) {
        return -1;
    }
    qsizetype size = headerSize + qsizetype(used) * 4;
    if (headerSize == 40 && (compression == 3 || compression == 6)) {
        size += compression == 3 ? 12 : 16;
    }
    return size;
}

}  // namespace

QImage PackedDibImage(const QByteArray& dib) {
    const qsizetype info = DibInfoSize(dib);
    if (info < 0 || info > dib.size()) {
        return QImage();
    }
    return DibImage(dib.left(info), dib.mid(info));
}

// A device-dependent bitmap of the old records: type, width, height, bytes per row,
// planes, bits per pixel, then the rows top-down. Monochrome and true-colour ones are read.
QImage Bitmap16Image(const QByteArray& bytes) {
    if (bytes.size() < 10) {
        return QImage();
    }
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const int width = qFromLittleEndian<qint16>(d + 2);
    const int height = qFromLittleEndian<qint16>(d + 4);
    const int stride = qFromLittleEndian<qint16>(d + 6);
    const int bits = d[9];
    if (width <= 0 || height <= 0 || stride <= 0 || (bits != 1 && bits != 24 && bits != 32) ||
        qint64(stride) * 8 < qint64(width) * bits || 10 + qint64(stride) * height > bytes.size()) {
        return QImage();
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    for (int y = 0; y < height; ++y) {
        const uchar* row = d + 10 + qsizetype(stride) * y;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (bits == 1) {
                out[x] = (row[x / 8] >> (7 - x % 8)) & 1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            } else {
                const uchar* px = row + x * (bits / 8);
                out[x] = qRgb(px[2], px[1], px[0]);
            }
        }
    }
    return image;
}

// The part of a bitmap a blit takes: the given source rectangle where it lies inside the
// bitmap, or the whole bitmap when it does not.
QRectF SourceIn(const QImage& image, const QRectF& src) {
    const QRectF inside = src.normalized() & QRectF(image.rect());
    return inside.isEmpty() ? QRectF(image.rect()) : inside;
}

QPen MakePen(quint32 style, double width, QColor color) {
    if ((style & 0xF) == 5) {  // PS_NULL
        return QPen(Qt::NoPen);
    }
    QPen pen(color, width <= 0 ? 0 : width);
    switch (style & 0xF) {
        case 1:
            pen.setStyle(Qt::DashLine);
            break;
        case 2:
            pen.setStyle(Qt::DotLine);
            break;
        case 3:
            pen.setStyle(Qt::DashDotLine);
            break;
        case 4:
            pen.setStyle(Qt::DashDotDotLine);
            break;
        default:
            break;
    }
    switch (style & 0xF00) {
        case 0x100:
            pen.setCapStyle(Qt::SquareCap);
            break;
        case 0x200:
            pen.setCapStyle(Qt::FlatCap);
            break;
        default:
            pen.setCapStyle(Qt::RoundCap);
            break;
    }
    switch (style & 0xF000) {
        case 0x1000:
            pen.setJoinStyle(Qt::BevelJoin);
            break;
        case 0x2000:
            pen.setJoinStyle(Qt::MiterJoin);
            break;
        default:
            pen.setJoinStyle(Qt::RoundJoin);
            break;
    }
    return pen;
}

QBrush MakeBrush(quint32 style, QColor color, quint32 hatch) {
    switch (style) {
        case 0:
            return QBrush(color);
        case 1:
            return QBrush(Qt::NoBrush);
        case 2: {
            static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                          Qt::BDiagPattern, Qt::FDiagPattern,
                                                          Qt::CrossPattern, Qt::DiagCrossPattern};
            return QBrush(color, hatch < 6 ? kHatches[hatch] : Qt::SolidPattern);
        }
        default:
            return QBrush(color);
    }
}

// Stock objects of the enhanced format, selected by index with the top bit set.
void SelectStock(GdiPlayer& g, quint32 index) {
    switch (index & 0x7FFFFFFF) {
        case 0:
            g.dc.brush = QBrush(Qt::white);
            break;
        case 1:
            g.dc.brush = QBrush(QColor(192, 192, 192));
            break;
        case 2:
            g.dc.brush = QBrush(QColor(128, 128, 128));
            break;
        case 3:
            g.dc.brush = QBrush(QColor(64, 64, 64));
            break;
        case 4:
            g.dc.brush = QBrush(Qt::black);
            break;
        case 5:
            g.dc.brush = QBrush(Qt::NoBrush);
            break;
        case 6:
            g.dc.pen = QPen(QColor(Qt::white), 0);
            break;
        case 7:
            g.dc.pen = QPen(QColor(Qt::black), 0);
            break;
        case 8:
            g.dc.pen = QPen(Qt::NoPen);
            break;
        default:
            if ((index & 0x7FFFFFFF) >= 10 && (index & 0x7FFFFFFF) <= 17) {
                g.dc.font = LogFont();
            }
            break;
    }
}

}  // namespace pictures::gdi
