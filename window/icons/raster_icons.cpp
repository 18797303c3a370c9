// Build step: the window's SVG icons drawn once into pixels at the sizes the window shows them,
// so that the program neither parses and draws 44 drawings nor loads an image plugin to read
// them each time it starts. Qt's own SVG renderer draws them, as the icon engine would have.
// Each file is the width and height (32-bit, little-endian) and the premultiplied ARGB pixels
// as QImage keeps them; the resource compiler packs them.
//
//   raster_icons OUT_DIR SIZE FILE.svg...   writes NAME.argb at SIZE and NAME@2x.argb at twice it
//   raster_icons OUT_DIR -SIZES FILE.svg    (SIZES: 16,32,...) writes NAME-N.argb at each size
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <cstdio>

namespace {

bool Draw(QSvgRenderer& svg, int size, const QString& path) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The drawing's own proportions, centred in the square.
    QSizeF drawn = svg.defaultSize();
    drawn.scale(size, size, Qt::KeepAspectRatio);
    svg.render(&painter,
               QRectF(QPointF((size - drawn.width()) / 2, (size - drawn.height()) / 2), drawn));
    painter.end();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(size) << quint32(size);
    for (int y = 0; y < size; ++y) {
        out.writeRawData(reinterpret_cast<const char*>(image.constScanLine(y)), size * 4);
    }
    return out.status() == QDataStream::Ok;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: raster_icons OUT_DIR SIZE|-SIZES FILE.svg...\n");
        return 2;
    }
    const QDir out(args[1]);
    QDir().mkpath(out.path());
    const bool several = args[2].startsWith(QLatin1Char('-'));
    QList<int> sizes;
    for (const QString& s : args[2].mid(several ? 1 : 0).split(QLatin1Char(','))) {
        sizes << s.toInt();
    }
    for (qsizetype i = 3; i < args.size(); ++i) {
        QSvgRenderer svg(args[i]);
        const QString name = QFileInfo(args[i]).completeBaseName();
        bool ok = svg.isValid();
        if (several) {
            for (int size : sizes) {
                ok = ok &&
                     Draw(svg, size, out.filePath(name + QStringLiteral("-%1.argb").arg(size)));
            }
        } else {
            ok = ok && Draw(svg, sizes.front(), out.filePath(name + QStringLiteral(".argb"))) &&
                 Draw(svg, 2 * sizes.front(), out.filePath(name + QStringLiteral("@2x.argb")));
        }
        if (!ok) {
            std::fprintf(stderr, "raster_icons: cannot draw %s\n", qPrintable(args[i]));
            return 1;
        }
    }
    return 0;
}
