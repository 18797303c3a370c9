// Writes the seed corpora of the picture harnesses with our own writers: bitmaps from the
// bitmap export's encoder, an icon around one, JPEGs from libjpeg's compressor, metafiles
// from the test writer and the built-in drawing, and a small enhanced metafile written here
// record by record; PNG, WebP and TIFF from Qt's writers, a GIF from the test writer. Run
// once with the corpus folder as the argument.
#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <cstdio>
#include <initializer_list>

#include "pictures/bitmap_writer.h"
#include "pictures/builtin_picture.h"
#include "support/picture_files.h"

namespace {

void Write(const QString& dir, const QString& name, const QByteArray& bytes) {
    QDir().mkpath(dir);
    QFile f(dir + QLatin1Char('/') + name);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
    }
}

// A small picture with a few colours, edges and a diagonal.
QImage Sample(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(0, 0, w / 2, h / 2, QColor(200, 30, 30));
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, QColor(30, 30, 200));
    p.setPen(Qt::black);
    p.drawLine(0, h - 1, w - 1, 0);
    return image;
}

void Put16(QByteArray& out, int v) {
    char b[2];
    qToLittleEndian<quint16>(quint16(v), b);
    out.append(b, 2);
}

void Put32(QByteArray& out, qint64 v) {
    char b[4];
    qToLittleEndian<quint32>(quint32(v), b);
    out.append(b, 4);
}

// An icon: directory of one image, then the bitmap without its file header, twice as high
// (colour rows, then the mask rows), with a one-bit AND mask.
QByteArray Icon(const QImage& image) {
    QByteArray dib = pictures::EncodeBitmap24(image).mid(14);
    qToLittleEndian<qint32>(image.height() * 2, dib.data() + 8);
    const int maskStride = ((image.width() + 31) / 32) * 4;
    QByteArray mask(maskStride * image.height(), '\0');
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width() / 4; ++x) {
            mask[y * maskStride + x / 8] = char(mask[y * maskStride + x / 8] | (0x80 >> (x % 8)));
        }
    }
    dib += mask;
    QByteArray out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, 1);  // one image
    out.append(char(image.width()));
    out.append(char(image.height()));
    out.append('\0');  // colours
    out.append('\0');
    Put16(out, 1);   // planes
    Put16(out, 24);  // bits
    Put32(out, dib.size());
    Put32(out, 22);
    return out + dib;
}

// An enhanced metafile, record by record.
class EmfFile {
  public:
    void record(int type, std::initializer_list<qint64> params) {
        Put32(body_, type);
        Put32(body_, 8 + 4 * qint64(params.size()));
        for (const qint64 p : params) {
            Put32(body_, p);
        }
        ++records_;
    }
    void poly16(int type, std::initializer_list<std::pair<int, int>> pts) {
        Put32(body_, type);
        Put32(body_, 28 + 4 * qint64(pts.size()));
        for (int v : {0, 0, 100, 100}) {
            Put32(body_, v);
        }
        Put32(body_, qint64(pts.size()));
        for (const auto& [x, y] : pts) {
            Put16(body_, x);
            Put16(body_, y);
        }
        ++records_;
    }
    QByteArray bytes(int w, int h) const {
        QByteArray head;
        Put32(head, 1);
        Put32(head, 88);
        for (int v : {0, 0, w - 1, h - 1}) {  // bounds, pixels
            Put32(head, v);
        }
        for (int v : {0, 0, w * 2540 / 96, h * 2540 / 96}) {  // frame, .01 mm
            Put32(head, v);
        }
        Put32(head, 0x464D4520);
        Put32(head, 0x10000);
        const QByteArray eof = [] {
            QByteArray e;
            for (int v : {14, 20, 0, 16, 20}) {
                Put32(e, v);
            }
            return e;
        }();
        Put32(head, 88 + body_.size() + eof.size());
        Put32(head, records_ + 2);
        Put16(head, 4);  // handles
        Put16(head, 0);
        Put32(head, 0);  // no description
        Put32(head, 0);
        Put32(head, 0);     // no palette
        Put32(head, 1024);  // device, pixels
        Put32(head, 768);
        Put32(head, 270);  // millimetres
        Put32(head, 203);
        return head + body_ + eof;
    }

  private:
    QByteArray body_;
    int records_ = 0;
};

QByteArray Emf() {
    EmfFile f;
    f.record(38, {1, 0, 2, 0, 0x0000FF});          // CREATEPEN 1: solid, 2 wide, red
    f.record(37, {1});                             // SELECTOBJECT
    f.record(39, {2, 0, 0x00FF00, 0});             // CREATEBRUSHINDIRECT 2: solid green
    f.record(37, {2});                             // SELECTOBJECT
    f.record(43, {5, 5, 60, 40});                  // RECTANGLE
    f.record(42, {40, 30, 95, 95});                // ELLIPSE
    f.poly16(87, {{0, 0}, {50, 90}, {99, 10}});    // POLYLINE16
    f.poly16(86, {{10, 80}, {30, 60}, {50, 80}});  // POLYGON16
    f.record(27, {20, 20});                        // MOVETOEX
    f.record(54, {80, 20});                        // LINETO
    f.record(40, {1});                             // DELETEOBJECT
    return f.bytes(100, 100);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    using pictures::EncodeBitmap24;
    Write(root + QStringLiteral("/bmp"), QStringLiteral("sample.bmp"),
          EncodeBitmap24(Sample(24, 16)));
    Write(root + QStringLiteral("/bmp"), QStringLiteral("tall.bmp"), EncodeBitmap24(Sample(3, 40)));
    Write(root + QStringLiteral("/ico"), QStringLiteral("sample.ico"), Icon(Sample(16, 16)));
    Write(root + QStringLiteral("/jpeg"), QStringLiteral("sample.jpg"),
          testing_support::EncodeJpeg(Sample(32, 24), JCS_RGB, false));
    Write(root + QStringLiteral("/jpeg"), QStringLiteral("progressive.jpg"),
          testing_support::EncodeJpeg(Sample(24, 32), JCS_RGB, true));
    Write(root + QStringLiteral("/jpeg"), QStringLiteral("grey.jpg"),
          testing_support::EncodeJpeg(Sample(16, 16), JCS_GRAYSCALE, false));
    Write(root + QStringLiteral("/jpeg"), QStringLiteral("cmyk.jpg"),
          testing_support::EncodeJpeg(Sample(16, 16), JCS_CMYK, false));
    Write(root + QStringLiteral("/wmf"), QStringLiteral("built_in.wmf"),
          pictures::BuiltInPicture());
    testing_support::WmfFile wmf;
    wmf.window(0, 0, 200, 100);
    wmf.pen(0, 3, 0x0000FF);
    wmf.select(0);
    wmf.solidBrush(0x00FF00);
    wmf.select(1);
    wmf.record(0x041B, {90, 190, 10, 10});  // RECTANGLE: bottom, right, top, left
    wmf.font(20);
    wmf.select(2);
    wmf.text(20, 50, "Laser");
    wmf.stretchDib(120, 10, 40, 40, 2, 2, {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF});
    Write(root + QStringLiteral("/wmf"), QStringLiteral("records.wmf"), wmf.bytes(200, 100));
    Write(root + QStringLiteral("/wmf"), QStringLiteral("plain.wmf"), wmf.bytes(200, 100, false));
    Write(root + QStringLiteral("/emf"), QStringLiteral("records.emf"), Emf());
    // The kinds Qt reads, one with transparent pixels each.
    QImage clear = Sample(24, 16).convertToFormat(QImage::Format_ARGB32);
    QPainter(&clear).fillRect(0, 0, 6, 4, Qt::transparent);
    for (const char* format : {"png", "webp", "tiff"}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        clear.save(&buffer, format);
        Write(root + QLatin1Char('/') + QLatin1String(format),
              QStringLiteral("sample.") + QLatin1String(format), bytes);
    }
    Write(root + QStringLiteral("/gif"), QStringLiteral("sample.gif"),
          testing_support::EncodeGif(clear));
    return 0;
}
