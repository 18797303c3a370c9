// The record players of the two metafile formats, both playing into one GdiPlayer.
// Internal to the metafile player. Players throw Malformed for a record that does not fit.
#pragma once

#include <QByteArray>
#include <QRectF>
#include <optional>

#include "pictures/gdi_player.h"

namespace pictures::gdi {

struct WmfLayout {
    qsizetype recordsAt = 0;
    QRectF frame;  // in the file's logical units
    double unitsPerInch = 96;
    bool placeable = false;
    int objectCount = 0;
};

// The headers of a Windows metafile, placeable or plain; nothing if it is not one.
std::optional<WmfLayout> WmfHeader(const QByteArray& data);
// Plays every record up to the end-of-file record.
void PlayWmfRecords(const QByteArray& data, const WmfLayout& layout, GdiPlayer& g);
// The first window a plain metafile sets, which is what its author meant as the picture.
std::optional<QRectF> WmfWindow(const QByteArray& data, const WmfLayout& layout);

struct EmfLayout {
    QRectF frameDevice;  // the picture frame in reference-device pixels
    QSizeF frameMm;      // in millimetres
    double unitsPerMm = 96 / 25.4;
    quint32 bytes = 0;
    quint32 handles = 0;
};

// The header record of an enhanced metafile; nothing if it is not one.
std::optional<EmfLayout> EmfHeader(const QByteArray& data);
// Plays every record up to the end-of-file record.
void PlayEmfRecords(const QByteArray& data, const EmfLayout& layout, GdiPlayer& g);

}  // namespace pictures::gdi
