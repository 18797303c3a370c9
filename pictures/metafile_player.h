// Windows metafiles (placeable and plain WMF) and enhanced metafiles (EMF), played record
// by record onto a QPainter through one GDI state machine, over a transparent background.
#pragma once

#include <QByteArray>
#include <QSize>

#include "pictures/picture.h"

namespace pictures {

// The picture's natural size in screen pixels (96 per inch), or an empty size with the
// error text for a file that is not a metafile.
struct MetafileInfo {
    QSize size;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
MetafileInfo InspectMetafile(const QByteArray& data);

// Plays the metafile fitted into the area. Every record's length and counts are checked
// against the file before use; an unknown record is skipped; a malformed one fails with
// "Metafile is not valid".
PictureResult PlayMetafile(const QByteArray& data, QSize area);

// Plays the metafile into an image of the given size, the whole picture stretched to it.
PictureResult RenderMetafile(const QByteArray& data, QSize size);

}  // namespace pictures
