#include "window/icons.h"

#include <QFile>
#include <QPixmap>
#include <QtEndian>
#include <cstring>

namespace window {

QImage RasterIcon(const QString& name) {
    QFile file(QStringLiteral(":/icons/%1.argb").arg(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray data = file.readAll();
    if (data.size() < 8) {
        return {};
    }
    const auto width = qFromLittleEndian<quint32>(data.constData());
    const auto height = qFromLittleEndian<quint32>(data.constData() + 4);
    if (width == 0 || width > 1024 || height == 0 || height > 1024 ||
        data.size() != qsizetype(8 + 4 * width * height)) {
        return {};
    }
    QImage image(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < int(height); ++y) {
        std::memcpy(image.scanLine(y), data.constData() + 8 + 4 * width * quint32(y), 4 * width);
    }
    return image;
}

QIcon ButtonIcon(const QString& name) {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(RasterIcon(name)));
    QImage twice = RasterIcon(name + QStringLiteral("@2x"));
    twice.setDevicePixelRatio(2);
    icon.addPixmap(QPixmap::fromImage(twice));
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
