#include "window/icons.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QResource>
#include <QtEndian>

namespace window {

QImage RasterIcon(const QString& name) {
    // The pixels are stored uncompressed in the program: the image reads them where they lie.
    const QResource resource(QStringLiteral(":/icons/%1.argb").arg(name));
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression ||
        resource.size() < 8) {
        return {};
    }
    const uchar* data = resource.data();
    const auto width = qFromLittleEndian<quint32>(data);
    const auto height = qFromLittleEndian<quint32>(data + 4);
    if (width == 0 || width > 1024 || height == 0 || height > 1024 ||
        resource.size() != qint64(8 + 4 * width * height)) {
        return {};
    }
    return QImage(data + 8, int(width), int(height), int(4 * width),
                  QImage::Format_ARGB32_Premultiplied);
}

QIcon ButtonIcon(const QString& name) {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(RasterIcon(name)));
    // The icon drawn twice as large only where a screen shows it so.
    if (qApp != nullptr && qApp->devicePixelRatio() > 1.0) {
        QImage twice = RasterIcon(name + QStringLiteral("@2x"));
        twice.setDevicePixelRatio(2);
        icon.addPixmap(QPixmap::fromImage(twice));
    }
    return icon;
}

QIcon WindowIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        icon.addPixmap(QPixmap::fromImage(RasterIcon(QStringLiteral("app-%1").arg(size))));
    }
    return icon;
}

}  // namespace window
