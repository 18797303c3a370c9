#include "pictures/metafile_player.h"

#include <QCoreApplication>
#include <QPainter>
#include <cmath>
#include <optional>

#include "pictures/metafile_records.h"

namespace pictures {

namespace {

using namespace gdi;

QString MetafileError() {
    return QCoreApplication::translate("pictures", "Metafile is not valid");
}

// How a metafile is set up for playing: its frame in device units and the device's scale.
struct Setup {
    bool emf = false;
    WmfLayout wmf;
    EmfLayout emfLayout;
    QRectF frame;       // device units
    QSize size;         // natural size in screen pixels
    double unitsPerMm;  // device units per millimetre
};

std::optional<Setup> Prepare(const QByteArray& data) {
    Setup s;
    if (auto e = EmfHeader(data)) {
        s.emf = true;
        s.emfLayout = *e;
        s.frame = e->frameDevice;
        s.unitsPerMm = e->unitsPerMm;
        s.size = QSize(int(std::lround(e->frameMm.width() * 96 / 25.4)),
                       int(std::lround(e->frameMm.height() * 96 / 25.4)));
        return s;
    }
    auto w = WmfHeader(data);
    if (!w) {
        return std::nullopt;
    }
    s.wmf = *w;
    s.unitsPerMm = w->unitsPerInch / 25.4;
    if (w->placeable) {
        s.frame = w->frame;
    } else if (auto window = WmfWindow(data, *w)) {
        s.frame = *window;
        s.unitsPerMm = 96 / 25.4;
    } else {
        // A plain metafile has no frame: take what its records draw.
        GdiPlayer measure(nullptr, QTransform(), s.unitsPerMm);
        try {
            PlayWmfRecords(data, *w, measure);
        } catch (const Malformed&) {
            return std::nullopt;
        }
        s.frame = measure.measured;
        s.unitsPerMm = 96 / 25.4;
    }
    if (s.frame.isEmpty()) {
        return std::nullopt;
    }
    s.size = QSize(int(std::lround(s.frame.width() * 96 / 25.4 / s.unitsPerMm)),
                   int(std::lround(s.frame.height() * 96 / 25.4 / s.unitsPerMm)));
    return s;
}

PictureResult Render(const QByteArray& data, const Setup& s, const QRect& rect) {
    PictureResult r;
    r.rect = rect;
    QImage image(rect.size(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return PictureResult::Fail(MetafileError());
    }
    image.fill(Qt::transparent);
    // Device units of the frame onto the image.
    QTransform out;
    out.scale(rect.width() / s.frame.width(), rect.height() / s.frame.height());
    out.translate(-s.frame.left(), -s.frame.top());
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::TextAntialiasing);
        GdiPlayer g(&painter, out, s.unitsPerMm);
        try {
            if (s.emf) {
                PlayEmfRecords(data, s.emfLayout, g);
            } else {
                // A window set by the file maps onto the whole frame unless it sets a viewport.
                g.dc.winOrg = g.dc.vpOrg = s.frame.topLeft();
                g.dc.winExt = g.dc.vpExt = s.frame.size();
                PlayWmfRecords(data, s.wmf, g);
            }
        } catch (const Malformed&) {
            return PictureResult::Fail(MetafileError());
        }
    }
    r.image = image;
    return r;
}

}  // namespace

MetafileInfo InspectMetafile(const QByteArray& data) {
    MetafileInfo info;
    const auto s = Prepare(data);
    if (!s) {
        info.error = MetafileError();
        return info;
    }
    info.size = s->size;
    return info;
}

PictureResult PlayMetafile(const QByteArray& data, QSize area) {
    const auto s = Prepare(data);
    if (!s) {
        return PictureResult::Fail(MetafileError());
    }
    const QRect rect = FitRect(s->size, area);
    if (rect.isEmpty()) {
        // So thin that it fits in no whole pixel: it draws nothing, once its records are
        // known to be sound.
        GdiPlayer check(nullptr, QTransform(), s->unitsPerMm);
        try {
            if (s->emf) {
                PlayEmfRecords(data, s->emfLayout, check);
            } else {
                PlayWmfRecords(data, s->wmf, check);
            }
        } catch (const Malformed&) {
            return PictureResult::Fail(MetafileError());
        }
        PictureResult r;
        r.rect = rect;
        return r;
    }
    return Render(data, *s, rect);
}

PictureResult RenderMetafile(const QByteArray& data, QSize size) {
    const auto s = Prepare(data);
    if (!s || size.isEmpty()) {
        return PictureResult::Fail(MetafileError());
    }
    return Render(data, *s, QRect(QPoint(0, 0), size));
}

}  // namespace pictures
