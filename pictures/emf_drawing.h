// The view of an enhanced metafile record that its handlers share, and the handlers of the
// records that draw. Internal to the metafile player.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPolygonF>
#include <vector>

#include "pictures/gdi_player.h"

namespace pictures::gdi {

// One record, its type and size included: the offsets of the format count from its start.
struct EmfRecord : Bytes {
    quint32 type;

    EmfRecord(const QByteArray& data, qsizetype at, quint32 size, quint32 type_)
        : Bytes(data, at, size), type(type_) {}

    void need(qsizetype bytes) const {
        if (size() < bytes) {
            throw Malformed();
        }
    }
    QPointF pt32(qsizetype o) const { return QPointF(s32(o), s32(o + 4)); }
    QRectF box32(qsizetype o) const {
        return GdiPlayer::Box(s32(o), s32(o + 4), s32(o + 8), s32(o + 12));
    }
    // count points of 32-bit coordinates, or of 16-bit ones when small.
    QPolygonF points(qsizetype from, qint64 count, bool small) const {
        const qsizetype each = small ? 4 : 8;
        if (count < 0 || count > kMaxPolyPoints || !has(from, qsizetype(count) * each)) {
            throw Malformed();
        }
        QPolygonF pts;
        pts.reserve(qsizetype(count));
        for (qsizetype i = 0; i < count; ++i) {
            const qsizetype o = from + i * each;
            pts << (small ? QPointF(s16(o), s16(o + 2)) : pt32(o));
        }
        return pts;
    }
    // The polygons of the poly-poly records: their count and total of points, each one's
    // count, then the points.
    std::vector<QPolygonF> polys(bool small) const {
        need(32);
        const quint32 count = u32(24);
        const quint32 total = u32(28);
        if (count > quint32(kMaxPolyPoints) || !has(32, qsizetype(count) * 4)) {
            throw Malformed();
        }
        std::vector<QPolygonF> all;
        qsizetype from = 32 + qsizetype(count) * 4;
        quint64 seen = 0;
        for (quint32 i = 0; i < count; ++i) {
            const quint32 c = u32(32 + qsizetype(i) * 4);
            seen += c;
            if (seen > total) {
                throw Malformed();
            }
            all.push_back(points(from, c, small));
            from += qsizetype(c) * (small ? 4 : 8);
        }
        return all;
    }
    // The bitmap whose header and bits the fields at these offsets place; null without one.
    QImage dib(qsizetype offBmi, qsizetype cbBmi, qsizetype offBits, qsizetype cbBits) const {
        const quint32 ob = u32(offBmi), cb = u32(cbBmi), obits = u32(offBits), cbits = u32(cbBits);
        if (cb == 0) {
            return QImage();
        }
        if (!has(ob, cb) || !has(obits, cbits)) {
            throw Malformed();
        }
        return DibImage(bytes(ob, cb), bytes(obits, cbits));
    }
};

// The object table's slot of a handle; nothing for one outside the table.
inline GdiObject* Slot(GdiPlayer& g, quint32 index) {
    return index < g.objects.size() ? &g.objects[index] : nullptr;
}

// The handlers of the records that draw. A record has at least the fixed fields its
// handler reads: the player's table checks its size before calling it.
namespace emf {

// POLYBEZIER, POLYGON, POLYLINE, POLYBEZIERTO, POLYLINETO (2 to 6) and their 16-bit forms
// (85 to 89).
void Poly(GdiPlayer& g, const EmfRecord& r);
// POLYPOLYLINE (7) and POLYPOLYLINE16 (90).
void PolyPolyline(GdiPlayer& g, const EmfRecord& r);
// POLYPOLYGON (8) and POLYPOLYGON16 (91).
void PolyPolygon(GdiPlayer& g, const EmfRecord& r);
// POLYDRAW (56) and POLYDRAW16 (92): points, then one type byte per point.
void PolyDraw(GdiPlayer& g, const EmfRecord& r);
void SetPixelV(GdiPlayer& g, const EmfRecord& r);
void LineTo(GdiPlayer& g, const EmfRecord& r);
void Ellipse(GdiPlayer& g, const EmfRecord& r);
void Rectangle(GdiPlayer& g, const EmfRecord& r);
void RoundRect(GdiPlayer& g, const EmfRecord& r);
// ARC (45), CHORD (46), PIE (47) and ARCTO (55).
void ArcShape(GdiPlayer& g, const EmfRecord& r);
// Centre, radius, start and sweep in degrees.
void AngleArc(GdiPlayer& g, const EmfRecord& r);

// FILLRGN (71): bounds, size, brush, region; FRAMERGN (72): bounds, size, brush, width,
// height, region; PAINTRGN (74): bounds, size, region (current brush).
void PaintRegion(GdiPlayer& g, const EmfRecord& r);
// Vertices, then rectangles or triangles.
void GradientFill(GdiPlayer& g, const EmfRecord& r);

// EXTTEXTOUTA (83) and EXTTEXTOUTW (84).
void ExtTextOut(GdiPlayer& g, const EmfRecord& r);

// BITBLT (76), STRETCHBLT (77), ALPHABLEND (114) and TRANSPARENTBLT (116).
void BitBlt(GdiPlayer& g, const EmfRecord& r);
// A source drawn where its monochrome mask is set.
void MaskBlt(GdiPlayer& g, const EmfRecord& r);
// SETDIBITSTODEVICE (80) and STRETCHDIBITS (81).
void DibitsToDevice(GdiPlayer& g, const EmfRecord& r);

}  // namespace emf

}  // namespace pictures::gdi
