#include "pictures/bitmap_writer.h"

#include <QCoreApplication>
#include <QtEndian>

#include "io/file_io.h"

namespace pictures {

QByteArray EncodeBitmap24(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width();
    const int h = image.height();
    const qsizetype stride = (qsizetype(w) * 3 + 3) & ~qsizetype(3);
    const qsizetype bits = stride * h;
    QByteArray out(54 + bits, '\0');
    char* d = out.data();
    d[0] = 'B';
    d[1] = 'M';
    qToLittleEndian<quint32>(quint32(out.size()), d + 2);
    qToLittleEndian<quint32>(54, d + 10);
    qToLittleEndian<quint32>(40, d + 14);
    qToLittleEndian<qint32>(w, d + 18);
    qToLittleEndian<qint32>(h, d + 22);
    qToLittleEndian<quint16>(1, d + 26);
    qToLittleEndian<quint16>(24, d + 28);
    qToLittleEndian<quint32>(quint32(bits), d + 34);
    qToLittleEndian<qint32>(3780, d + 38);  // 96 dpi
    qToLittleEndian<qint32>(3780, d + 42);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(h - 1 - y));
        char* row = d + 54 + stride * y;
        for (int x = 0; x < w; ++x) {
            row[3 * x] = char(qBlue(line[x]));
            row[3 * x + 1] = char(qGreen(line[x]));
            row[3 * x + 2] = char(qRed(line[x]));
        }
    }
    return out;
}

QString WriteBitmapFile(const QImage& image, const QString& fileName) {
    // The file layer's atomic write also sees a write cut short by a full disk, which a
    // buffered write would only meet, unreported, when it is committed.
    if (!io::WriteFileAtomically(fileName, EncodeBitmap24(image)).ok) {
        return QCoreApplication::translate("pictures", "Не удаётся создать файл %1").arg(fileName);
    }
    return QString();
}

}  // namespace pictures
