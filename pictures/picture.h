// What every picture reader returns: a picture ready to be drawn into the underlay's area,
// or the reader's message. Readers never throw; the window shows the message.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

namespace pictures {

struct PictureResult {
    QImage image;  // already scaled to rect's size; transparent where nothing is drawn
    QRect rect;    // where it goes in the area
    QString error;
    bool ok() const { return error.isEmpty(); }

    static PictureResult Fail(const QString& message) {
        PictureResult r;
        r.error = message;
        return r;
    }
};

// The rectangle a w by h picture is drawn in, inside an area of the given size: scaled to
// fit with its aspect ratio kept, enlarged as well as reduced, and centred. Sizes truncate.
QRect FitRect(QSize picture, QSize area);

// Scales a picture (natural size) into its fitted rectangle of the area.
PictureResult Fitted(const QImage& picture, QSize area);

}  // namespace pictures
