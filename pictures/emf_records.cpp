// Enhanced metafile records played into the GDI state machine.
#include "pictures/metafile_records.h"

namespace pictures::gdi {

namespace {

// The rectangles of a region (RGNDATA: header, then left, top, right, bottom each) at the
// given offset of the record, as one path.
QPainterPath RegionPath(const Bytes& r, qsizetype at, quint32 size) {
    if (size < 32 || !r.has(at, size)) {
        throw Malformed();
    }
    const quint32 count = r.u32(at + 8);
    if (qint64(count) * 16 > qint64(size) - 32) {
        throw Malformed();
    }
    QPainterPath region;
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype o = at + 32 + qsizetype(i) * 16;
        region.addRect(GdiPlayer::Box(r.s32(o), r.s32(o + 4), r.s32(o + 8), r.s32(o + 12)));
    }
    return region;
}

}  // namespace

std::optional<EmfLayout> EmfHeader(const QByteArray& data) {
    const Bytes h(data, 0, data.size());
    if (!h.has(0, 88) || h.u32(0) != 1 || h.u32(40) != kEmfSignature) {
        return std::nullopt;
    }
    const quint32 headerSize = h.u32(4);
    if (headerSize < 88 || headerSize > quint32(data.size())) {
        return std::nullopt;
    }
    EmfLayout e;
    e.bytes = h.u32(48);
    e.handles = h.u16(56);
    const double devW = h.s32(72), devH = h.s32(76), mmW = h.s32(80), mmH = h.s32(84);
    const double pxPerMmX = (devW > 0 && mmW > 0) ? devW / mmW : 96 / 25.4;
    const double pxPerMmY = (devH > 0 && mmH > 0) ? devH / mmH : 96 / 25.4;
    e.unitsPerMm = pxPerMmX;
    const QRectF frame = GdiPlayer::Box(h.s32(24), h.s32(28), h.s32(32), h.s32(36));  // .01 mm
    e.frameMm = frame.size() / 100.0;
    e.frameDevice = QRectF(frame.left() / 100.0 * pxPerMmX, frame.top() / 100.0 * pxPerMmY,
                           frame.width() / 100.0 * pxPerMmX, frame.height() / 100.0 * pxPerMmY);
    if (e.frameDevice.isEmpty()) {
        // No frame: fall back to the bounds, which are in device pixels already.
        e.frameDevice = GdiPlayer::Box(h.s32(8), h.s32(12), h.s32(16) + 1, h.s32(20) + 1);
        e.frameMm = e.frameDevice.size() / pxPerMmX;
    }
    return e;
}

void PlayEmfRecords(const QByteArray& data, const EmfLayout& layout, GdiPlayer& g) {
    if (layout.bytes > quint32(data.size())) {
        throw Malformed();
    }
    const qsizetype end = qsizetype(layout.bytes) >= 8 ? qsizetype(layout.bytes) : data.size();
    g.objects.assign(size_t(std::min<quint32>(std::max<quint32>(layout.handles, 1), kMaxObjects)),
                     GdiObject());
    qsizetype at = 0;
    while (at + 8 <= end) {
        const Bytes head(data, at, 8);
        const quint32 type = head.u32(0);
        const quint32 size = head.u32(4);
        if (size < 8 || size % 4 != 0 || qint64(size) > end - at) {
            throw Malformed();
        }
        const Bytes r(data, at, size);
        at += size;
        auto need = [&](qsizetype bytes) {
            if (r.size() < bytes) {
                throw Malformed();
            }
        };
        auto pt32 = [&](qsizetype o) { return QPointF(r.s32(o), r.s32(o + 4)); };
        auto box32 = [&](qsizetype o) {
            return GdiPlayer::Box(r.s32(o), r.s32(o + 4), r.s32(o + 8), r.s32(o + 12));
        };
        auto points = [&](qsizetype from, qint64 count, bool small) {
            const qsizetype each = small ? 4 : 8;
            if (count < 0 || count > kMaxPolyPoints || !r.has(from, qsizetype(count) * each)) {
                throw Malformed();
            }
            QPolygonF pts;
            pts.reserve(qsizetype(count));
            for (qsizetype i = 0; i < count; ++i) {
                const qsizetype o = from + i * each;
                pts << (small ? QPointF(r.s16(o), r.s16(o + 2)) : pt32(o));
            }
            return pts;
        };
        auto polys = [&](bool small) {
            need(32);
            const quint32 count = r.u32(24);
            const quint32 total = r.u32(28);
            if (count > quint32(kMaxPolyPoints) || !r.has(32, qsizetype(count) * 4)) {
                throw Malformed();
            }
            std::vector<QPolygonF> all;
            qsizetype from = 32 + qsizetype(count) * 4;
            quint64 seen = 0;
            for (quint32 i = 0; i < count; ++i) {
                const quint32 c = r.u32(32 + qsizetype(i) * 4);
                seen += c;
                if (seen > total) {
                    throw Malformed();
                }
                all.push_back(points(from, c, small));
                from += qsizetype(c) * (small ? 4 : 8);
            }
            return all;
        };
        auto dib = [&](qsizetype offBmi, qsizetype cbBmi, qsizetype offBits, qsizetype cbBits) {
            const quint32 ob = r.u32(offBmi), cb = r.u32(cbBmi), obits = r.u32(offBits),
                          cbits = r.u32(cbBits);
            if (cb == 0) {
                return QImage();
            }
            if (!r.has(ob, cb) || !r.has(obits, cbits)) {
                throw Malformed();
            }
            return DibImage(r.bytes(ob, cb), r.bytes(obits, cbits));
        };
        auto slot = [&](quint32 index) -> GdiObject* {
            return index < g.objects.size() ? &g.objects[index] : nullptr;
        };
        switch (type) {
            case 1:  // HEADER
                break;
            case 14:  // EOF
                return;
            case 2:  // POLYBEZIER
            case 3:  // POLYGON
            case 4:  // POLYLINE
            case 5:  // POLYBEZIERTO
            case 6:  // POLYLINETO
            case 85:
            case 86:
            case 87:
            case 88:
            case 89: {
                need(28);
                const bool small = type >= 85;
                const quint32 kind = small ? type - 83 : type;
                QPolygonF pts = points(28, r.u32(24), small);
                if (kind == 2 || kind == 5) {
                    g.PolyBezier(pts, kind == 5);
                } else if (kind == 3) {
                    g.Polygon({pts});
                } else if (kind == 4) {
                    g.Polyline(pts);
                } else {
                    pts.prepend(g.dc.pos);
                    if (!pts.isEmpty()) {
                        g.dc.pos = pts.back();
                    }
                    g.Polyline(pts);
                }
                break;
            }
            case 7:   // POLYPOLYLINE
            case 90:  // POLYPOLYLINE16
                for (const QPolygonF& p : polys(type == 90)) {
                    g.Polyline(p);
                }
                break;
            case 8:   // POLYPOLYGON
            case 91:  // POLYPOLYGON16
                g.Polygon(polys(type == 91));
                break;
            case 9:  // SETWINDOWEXTEX
                need(16);
                g.dc.winExt = QSizeF(r.s32(8), r.s32(12));
                break;
            case 10:  // SETWINDOWORGEX
                need(16);
                g.dc.winOrg = pt32(8);
                break;
            case 11:  // SETVIEWPORTEXTEX
                need(16);
                g.dc.vpExt = QSizeF(r.s32(8), r.s32(12));
                break;
            case 12:  // SETVIEWPORTORGEX
                need(16);
                g.dc.vpOrg = pt32(8);
                break;
            case 31:  // SCALEVIEWPORTEXTEX: xNum, xDenom, yNum, yDenom
            case 32: {
                need(24);
                if (r.s32(12) == 0 || r.s32(20) == 0) {
                    break;
                }
                QSizeF& ext = type == 32 ? g.dc.winExt : g.dc.vpExt;
                ext = QSizeF(ext.width() * r.s32(8) / r.s32(12),
                             ext.height() * r.s32(16) / r.s32(20));
                break;
            }
            case 15:  // SETPIXELV
                need(20);
                g.SetPixel(pt32(8), ColorRef(r.u32(16)));
                break;
            case 17:  // SETMAPMODE
                need(12);
                g.dc.mapMode = int(r.u32(8));
                break;
            case 18:  // SETBKMODE
                need(12);
                g.dc.opaqueBk = r.u32(8) == 2;
                break;
            case 19:  // SETPOLYFILLMODE
                need(12);
                g.dc.fillRule = r.u32(8) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
                break;
            case 20:  // SETROP2
                need(12);
                g.dc.rop = r.u32(8) == 7 ? QPainter::CompositionMode_Difference
                                         : QPainter::CompositionMode_SourceOver;
                break;
            case 22:  // SETTEXTALIGN
                need(12);
                g.dc.textAlign = r.u32(8);
                break;
            case 24:  // SETTEXTCOLOR
                need(12);
                g.dc.textColor = ColorRef(r.u32(8));
                break;
            case 25:  // SETBKCOLOR
                need(12);
                g.dc.bkColor = ColorRef(r.u32(8));
                break;
            case 27:  // MOVETOEX
                need(16);
                g.dc.pos = pt32(8);
                break;
            case 54:  // LINETO
                need(16);
                g.LineTo(pt32(8));
                break;
            case 29:  // EXCLUDECLIPRECT
                need(24);
                g.ExcludeClip(g.DeviceRect(box32(8)));
                break;
            case 30:  // INTERSECTCLIPRECT
                need(24);
                g.IntersectClip(g.DeviceRect(box32(8)));
                break;
            case 33:  // SAVEDC
                g.SaveDC();
                break;
            case 34:  // RESTOREDC
                need(12);
                g.RestoreDC(r.s32(8));
                break;
            case 35:    // SETWORLDTRANSFORM
            case 36: {  // MODIFYWORLDTRANSFORM
                need(type == 35 ? 32 : 36);
                const QTransform x(r.f32(8), r.f32(12), r.f32(16), r.f32(20), r.f32(24), r.f32(28));
                const quint32 mode = type == 35 ? 4 : r.u32(32);
                if (mode == 1) {
                    g.dc.world = QTransform();
                } else if (mode == 2) {
                    g.dc.world = x * g.dc.world;
                } else if (mode == 3) {
                    g.dc.world = g.dc.world * x;
                } else if (mode == 4) {
                    g.dc.world = x;
                }
                break;
            }
            case 37:  // SELECTOBJECT
                need(12);
                if (r.u32(8) & 0x80000000u) {
                    SelectStock(g, r.u32(8));
                } else {
                    g.SelectObject(r.u32(8));
                }
                break;
            case 40:  // DELETEOBJECT
                need(12);
                if (GdiObject* o = slot(r.u32(8))) {
                    *o = GdiObject();
                }
                break;
            case 38:  // CREATEPEN: ih, style, width x, width y, colour
                need(28);
                if (GdiObject* o = slot(r.u32(8))) {
                    o->kind = GdiObject::Pen;
                    o->pen = MakePen(r.u32(12), r.s32(16), ColorRef(r.u32(24)));
                }
                break;
            case 95:  // EXTCREATEPEN: ih, bmi and bits, style, width, brush style, colour
                need(48);
                if (GdiObject* o = slot(r.u32(8))) {
                    o->kind = GdiObject::Pen;
                    o->pen = r.u32(36) == 1 ? QPen(Qt::NoPen)
                                            : MakePen(r.u32(28), r.u32(32), ColorRef(r.u32(40)));
                    if ((r.u32(28) & 0x00010000u) == 0) {  // PS_COSMETIC
                        o->pen.setWidth(0);
                    }
                }
                break;
            case 39:  // CREATEBRUSHINDIRECT: ih, style, colour, hatch
                need(24);
                if (GdiObject* o = slot(r.u32(8))) {
                    o->kind = GdiObject::Brush;
                    o->brush = MakeBrush(r.u32(12), ColorRef(r.u32(16)), r.u32(20));
                }
                break;
            case 93:  // CREATEMONOBRUSH
            case 94:  // CREATEDIBPATTERNBRUSHPT: ih, usage, bmi, bits
                need(32);
                if (GdiObject* o = slot(r.u32(8))) {
                    const QImage pattern = dib(16, 20, 24, 28);
                    o->kind = GdiObject::Brush;
                    o->brush = pattern.isNull() ? QBrush(Qt::gray) : QBrush(pattern);
                }
                break;
            case 82:  // EXTCREATEFONTINDIRECTW: ih, LOGFONTW
                need(12 + 92);
                if (GdiObject* o = slot(r.u32(8))) {
                    o->kind = GdiObject::Font;
                    o->font.height = r.s32(12);
                    o->font.escapement = r.s32(20);
                    o->font.weight = r.s32(28);
                    o->font.italic = r.u8(32) != 0;
                    o->font.underline = r.u8(33) != 0;
                    o->font.strikeOut = r.u8(34) != 0;
                    o->font.charset = r.u8(35);
                    QString face;
                    for (int i = 0; i < 32; ++i) {
                        const char16_t c = r.u16(40 + 2 * i);
                        if (c == 0) {
                            break;
                        }
                        face += QChar(c);
                    }
                    o->font.face = face;
                }
                break;
            case 49:  // CREATEPALETTE
                need(12);
                if (GdiObject* o = slot(r.u32(8))) {
                    *o = GdiObject();
                    o->kind = GdiObject::Other;
                }
                break;
            case 42:  // ELLIPSE
                need(24);
                g.Ellipse(box32(8));
                break;
            case 43:  // RECTANGLE
                need(24);
                g.Rectangle(box32(8));
                break;
            case 44:  // ROUNDRECT
                need(32);
                g.RoundRect(box32(8), r.s32(24), r.s32(28));
                break;
            case 45:  // ARC
            case 46:  // CHORD
            case 47:  // PIE
            case 55:  // ARCTO
                need(40);
                g.ArcShape(box32(8), pt32(24), pt32(32),
                           type == 46 ? 1 : (type == 47 ? 2 : (type == 55 ? 3 : 0)));
                break;
            case 41:  // ANGLEARC: centre, radius, start and sweep in degrees
                need(28);
                g.AngleArc(pt32(8), r.u32(16), r.f32(20), r.f32(24));
                break;
            case 56:    // POLYDRAW: points, then one type byte per point
            case 92: {  // POLYDRAW16
                need(28);
                const bool small = type == 92;
                const quint32 count = r.u32(24);
                const QPolygonF pts = points(28, count, small);
                const qsizetype typesAt = 28 + qsizetype(count) * (small ? 4 : 8);
                if (!r.has(typesAt, count)) {
                    throw Malformed();
                }
                QPainterPath path;
                path.moveTo(g.dc.pos);
                for (quint32 i = 0; i < count; ++i) {
                    const quint8 t = r.u8(typesAt + i);
                    if ((t & 0x6) == 0x6) {  // PT_MOVETO
                        path.moveTo(pts[i]);
                    } else if ((t & 0x6) == 0x4 && i + 2 < count) {  // PT_BEZIERTO
                        path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
                        i += 2;
                    } else {  // PT_LINETO
                        path.lineTo(pts[i]);
                    }
                    if (r.u8(typesAt + i) & 0x1) {  // PT_CLOSEFIGURE
                        path.closeSubpath();
                    }
                }
                g.dc.pos = path.currentPosition();
                g.DrawPath(path, false, true);
                break;
            }
            case 71:    // FILLRGN: bounds, size, brush, region
            case 72:    // FRAMERGN: bounds, size, brush, width, height, region
            case 74: {  // PAINTRGN: bounds, size, region (current brush)
                const qsizetype at_ = type == 71 ? 32 : (type == 72 ? 40 : 28);
                need(at_);
                const QPainterPath region = RegionPath(r, at_, r.u32(24));
                QBrush brush = g.dc.brush;
                if (type != 74) {
                    const quint32 ih = r.u32(28);
                    if (ih & 0x80000000u) {
                        GdiPlayer stock = g;
                        SelectStock(stock, ih);
                        brush = stock.dc.brush;
                    } else if (GdiObject* o = slot(ih); o && o->kind == GdiObject::Brush) {
                        brush = o->brush;
                    }
                }
                g.Region(region, brush, type == 72 ? QSizeF(r.s32(32), r.s32(36)) : QSizeF(0, 0));
                break;
            }
            case 118: {  // GRADIENTFILL: vertices, then rectangles or triangles
                need(36);
                const quint32 vertices = r.u32(24);
                const quint32 shapes = r.u32(28);
                const quint32 mode = r.u32(32);
                const qsizetype each = mode == 2 ? 12 : 8;
                if (vertices > 65536 || shapes > 65536 ||
                    !r.has(36, qsizetype(vertices) * 16 + qsizetype(shapes) * each)) {
                    throw Malformed();
                }
                auto vertex = [&](quint32 i, QPointF* at_, QColor* c) {
                    if (i >= vertices) {
                        return false;
                    }
                    const qsizetype o = 36 + qsizetype(i) * 16;
                    *at_ = pt32(o);
                    *c = QColor(r.u16(o + 8) >> 8, r.u16(o + 10) >> 8, r.u16(o + 12) >> 8);
                    return true;
                };
                const qsizetype shapesAt = 36 + qsizetype(vertices) * 16;
                for (quint32 s = 0; s < shapes; ++s) {
                    const qsizetype o = shapesAt + qsizetype(s) * each;
                    QPointF a, b, c;
                    QColor ca, cb, cc;
                    if (!vertex(r.u32(o), &a, &ca) || !vertex(r.u32(o + 4), &b, &cb)) {
                        continue;
                    }
                    if (mode == 2) {
                        if (!vertex(r.u32(o + 8), &c, &cc)) {
                            continue;
                        }
                        // Blended from the first corner towards the middle of the other two.
                        QLinearGradient gradient(a, (b + c) / 2);
                        gradient.setColorAt(0, ca);
                        gradient.setColorAt(
                            1, QColor((cb.red() + cc.red()) / 2, (cb.green() + cc.green()) / 2,
                                      (cb.blue() + cc.blue()) / 2));
                        g.Gradient(QPolygonF({a, b, c}), gradient);
                    } else {
                        const QRectF box = QRectF(a, b).normalized();
                        QLinearGradient gradient(
                            a, mode == 1 ? QPointF(a.x(), b.y()) : QPointF(b.x(), a.y()));
                        gradient.setColorAt(0, ca);
                        gradient.setColorAt(1, cb);
                        g.Gradient(QPolygonF(box), gradient);
                    }
                }
                break;
            }
            case 78: {  // MASKBLT: a source drawn where its monochrome mask is set
                need(128);
                const QRectF dest(r.s32(24), r.s32(28), r.s32(32), r.s32(36));
                QImage image = dib(84, 88, 92, 96);
                const QImage mask = dib(112, 116, 120, 124);
                if (image.isNull()) {
                    g.PatBlt(dest, r.u32(40) & 0x00FFFFFF);
                    break;
                }
                image = image.convertToFormat(QImage::Format_ARGB32);
                if (!mask.isNull()) {
                    const int mx = r.s32(100), my = r.s32(104);
                    for (int y = 0; y < image.height(); ++y) {
                        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                        for (int x = 0; x < image.width(); ++x) {
                            const QPoint m(x + mx, y + my);
                            if (!mask.rect().contains(m) || qGray(mask.pixel(m)) < 128) {
                                line[x] = 0;
                            }
                        }
                    }
                }
                g.Blit(dest, image, QRectF(r.s32(44), r.s32(48), r.s32(32), r.s32(36)), 0x00CC0020);
                break;
            }
            case 59:  // BEGINPATH
                g.BeginPath();
                break;
            case 60:  // ENDPATH
                g.EndPath();
                break;
            case 61:  // CLOSEFIGURE
                g.CloseFigure();
                break;
            case 62:  // FILLPATH
                g.UsePath(true, false);
                break;
            case 63:  // STROKEANDFILLPATH
                g.UsePath(true, true);
                break;
            case 64:  // STROKEPATH
                g.UsePath(false, true);
                break;
            case 67:  // SELECTCLIPPATH
                g.ClipToPath();
                break;
            case 68:  // ABORTPATH
                g.EndPath();
                break;
            case 75:  // EXTSELECTCLIPRGN: size, mode, region
                need(16);
                if (r.u32(8) == 0 && r.u32(12) == 5) {  // RGN_COPY of no region: no clipping
                    g.dc.clipped = false;
                } else if (r.u32(8) >= 32 && r.has(16, r.u32(8))) {
                    // The region's rectangles are in device units.
                    const quint32 count = r.u32(24);
                    if (!r.has(48, qint64(count) * 16)) {
                        throw Malformed();
                    }
                    QPainterPath region;
                    for (quint32 i = 0; i < count; ++i) {
                        region.addRect(box32(48 + qsizetype(i) * 16));
                    }
                    g.dc.clip = region;
                    g.dc.clipped = true;
                }
                break;
            case 83:    // EXTTEXTOUTA
            case 84: {  // EXTTEXTOUTW
                need(76);
                const QPointF ref = pt32(36);
                const quint32 chars = r.u32(44);
                const quint32 offString = r.u32(48);
                const quint32 options = r.u32(52);
                const qsizetype bytes = qsizetype(chars) * (type == 84 ? 2 : 1);
                if (chars > (1u << 20) || !r.has(offString, bytes)) {
                    throw Malformed();
                }
                QString text;
                if (type == 84) {
                    text.resize(qsizetype(chars));
                    for (quint32 i = 0; i < chars; ++i) {
                        text[qsizetype(i)] = QChar(char16_t(r.u16(offString + 2 * qsizetype(i))));
                    }
                } else {
                    text = Narrow(r.bytes(offString, bytes), g.dc.font.charset);
                }
                std::optional<QRectF> opaque;
                if (options & 0x0002) {
                    opaque = box32(56);
                }
                g.Text(ref, text, opaque, g.dc.textAlign & 1);
                break;
            }
            case 76:     // BITBLT
            case 77:     // STRETCHBLT
            case 114:    // ALPHABLEND
            case 116: {  // TRANSPARENTBLT
                need(100);
                const QRectF dest(r.s32(24), r.s32(28), r.s32(32), r.s32(36));
                const quint32 rop = r.u32(40);
                if (r.u32(88) == 0) {  // no source bitmap
                    g.PatBlt(dest, rop);
                    break;
                }
                QRectF src(r.s32(44), r.s32(48), r.s32(32), r.s32(36));
                if (type != 76) {
                    need(108);
                    src.setSize(QSizeF(r.s32(100), r.s32(104)));
                }
                QImage image = dib(84, 88, 92, 96);
                if (type == 116 && !image.isNull()) {
                    image = image.convertToFormat(QImage::Format_ARGB32);
                    const QRgb key = ColorRef(rop).rgb() & 0xFFFFFF;
                    for (int y = 0; y < image.height(); ++y) {
                        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                        for (int x = 0; x < image.width(); ++x) {
                            if ((line[x] & 0xFFFFFF) == key) {
                                line[x] = 0;
                            }
                        }
                    }
                }
                g.Blit(dest, image, src, type == 77 || type == 76 ? rop : 0x00CC0020);
                break;
            }
            case 80:    // SETDIBITSTODEVICE
            case 81: {  // STRETCHDIBITS
                need(type == 81 ? 80 : 76);
                const QImage image = dib(48, 52, 56, 60);
                const QRectF src(r.s32(32), r.s32(36), r.s32(40), r.s32(44));
                const QRectF dest(r.s32(24), r.s32(28), type == 81 ? r.s32(72) : r.s32(40),
                                  type == 81 ? r.s32(76) : r.s32(44));
                g.Blit(dest, image, src, type == 81 ? r.u32(68) : 0x00CC0020);
                break;
            }
            default:
                break;  // records without a visible effect here, and unknown ones
        }
    }
    throw Malformed();
}

}  // namespace pictures::gdi
