// Windows metafile records (placeable and plain) played into the GDI state machine.
#include "pictures/metafile_records.h"

namespace pictures::gdi {

std::optional<WmfLayout> WmfHeader(const QByteArray& data) {
    WmfLayout w;
    const Bytes all(data, 0, data.size());
    qsizetype at = 0;
    if (all.u32(0) == kPlaceableKey) {
        if (!all.has(0, 22)) {
            return std::nullopt;
        }
        w.placeable = true;
        const double l = all.s16(6), t = all.s16(8), r = all.s16(10), b = all.s16(12);
        w.frame = GdiPlayer::Box(l, t, r, b);
        w.unitsPerInch = all.u16(14) != 0 ? all.u16(14) : 1440;
        at = 22;
    }
    // Type 1 (memory) or 2 (disk), header size 9 words, version 0x100 or 0x300.
    if (!all.has(at, 18) || (all.u16(at) != 1 && all.u16(at) != 2) || all.u16(at + 2) != 9 ||
        (all.u16(at + 4) != 0x100 && all.u16(at + 4) != 0x300)) {
        return std::nullopt;
    }
    w.objectCount = all.u16(at + 10);
    w.recordsAt = at + 18;
    return w;
}

// Plays every record; throws Malformed.
void PlayWmfRecords(const QByteArray& data, const WmfLayout& layout, GdiPlayer& g) {
    g.objects.assign(size_t(std::min(layout.objectCount, kMaxObjects)), GdiObject());
    qsizetype at = layout.recordsAt;
    auto addObject = [&](GdiObject o) {
        for (GdiObject& slot : g.objects) {
            if (slot.kind == GdiObject::Empty) {
                slot = std::move(o);
                return;
            }
        }
        // A full table: the object is lost, as it would be on the device.
    };
    while (at + 6 <= data.size()) {
        const Bytes head(data, at, 6);
        const quint32 words = head.u32(0);
        const quint16 fn = head.u16(4);
        if (words < 3 || qint64(words) * 2 > data.size() - at) {
            throw Malformed();
        }
        const Bytes r(data, at + 6, qsizetype(words) * 2 - 6);
        at += qsizetype(words) * 2;
        const qsizetype n = r.size() / 2;  // parameter words
        auto need = [&](qsizetype words_) {
            if (n < words_) {
                throw Malformed();
            }
        };
        auto w = [&](qsizetype i) { return double(r.s16(i * 2)); };
        auto points = [&](qsizetype from, qsizetype count) {
            if (count < 0 || count > kMaxPolyPoints || !r.has(from * 2, count * 4)) {
                throw Malformed();
            }
            QPolygonF pts;
            pts.reserve(count);
            for (qsizetype i = 0; i < count; ++i) {
                pts << QPointF(w(from + 2 * i), w(from + 2 * i + 1));
            }
            return pts;
        };
        // Boxes are stored bottom, right, top, left from the given word on.
        auto box = [&](qsizetype i) { return GdiPlayer::Box(w(i + 3), w(i + 2), w(i + 1), w(i)); };
        switch (fn) {
            case 0x0000:  // EOF
                return;
            case 0x001E:  // SAVEDC
                g.SaveDC();
                break;
            case 0x0127:  // RESTOREDC
                need(1);
                g.RestoreDC(int(w(0)));
                break;
            case 0x0102:  // SETBKMODE
                need(1);
                g.dc.opaqueBk = r.u16(0) == 2;
                break;
            case 0x0201:  // SETBKCOLOR
                need(2);
                g.dc.bkColor = ColorRef(r.u32(0));
                break;
            case 0x0209:  // SETTEXTCOLOR
                need(2);
                g.dc.textColor = ColorRef(r.u32(0));
                break;
            case 0x0103:  // SETMAPMODE
                need(1);
                g.dc.mapMode = r.u16(0);
                break;
            case 0x0106:  // SETPOLYFILLMODE
                need(1);
                g.dc.fillRule = r.u16(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
                break;
            case 0x012E:  // SETTEXTALIGN
                need(1);
                g.dc.textAlign = r.u16(0);
                break;
            case 0x0104:  // SETROP2
                need(1);
                g.dc.rop = r.u16(0) == 7 ? QPainter::CompositionMode_Difference
                                         : QPainter::CompositionMode_SourceOver;
                break;
            case 0x020B:  // SETWINDOWORG
                need(2);
                g.dc.winOrg = QPointF(w(1), w(0));
                break;
            case 0x020C:  // SETWINDOWEXT
                need(2);
                g.dc.winExt = QSizeF(w(1), w(0));
                break;
            case 0x020D:  // SETVIEWPORTORG
                need(2);
                g.dc.vpOrg = QPointF(w(1), w(0));
                break;
            case 0x020E:  // SETVIEWPORTEXT
                need(2);
                g.dc.vpExt = QSizeF(w(1), w(0));
                break;
            case 0x020F:  // OFFSETWINDOWORG
                need(2);
                g.dc.winOrg += QPointF(w(1), w(0));
                break;
            case 0x0211:  // OFFSETVIEWPORTORG
                need(2);
                g.dc.vpOrg += QPointF(w(1), w(0));
                break;
            case 0x0410:  // SCALEWINDOWEXT: yDenom, yNum, xDenom, xNum
            case 0x0412:  // SCALEVIEWPORTEXT
            {
                need(4);
                if (w(0) == 0 || w(2) == 0) {
                    break;
                }
                QSizeF& ext = fn == 0x0410 ? g.dc.winExt : g.dc.vpExt;
                ext = QSizeF(ext.width() * w(3) / w(2), ext.height() * w(1) / w(0));
                break;
            }
            case 0x0214:  // MOVETO
                need(2);
                g.dc.pos = QPointF(w(1), w(0));
                break;
            case 0x0213:  // LINETO
                need(2);
                g.LineTo(QPointF(w(1), w(0)));
                break;
            case 0x0325:  // POLYLINE
                need(1);
                g.Polyline(points(1, r.s16(0)));
                break;
            case 0x0324:  // POLYGON
                need(1);
                g.Polygon({points(1, r.s16(0))});
                break;
            case 0x0538: {  // POLYPOLYGON
                need(1);
                const qsizetype polys = r.u16(0);
                need(1 + polys);
                std::vector<QPolygonF> all;
                qsizetype from = 1 + polys;
                for (qsizetype i = 0; i < polys; ++i) {
                    const qsizetype count = r.u16((1 + i) * 2);
                    all.push_back(points(from, count));
                    from += count * 2;
                }
                g.Polygon(all);
                break;
            }
            case 0x041B:  // RECTANGLE
                need(4);
                g.Rectangle(box(0));
                break;
            case 0x061C:  // ROUNDRECT: height, width, box
                need(6);
                g.RoundRect(box(2), w(1), w(0));
                break;
            case 0x0418:  // ELLIPSE
                need(4);
                g.Ellipse(box(0));
                break;
            case 0x0817:  // ARC: yEnd, xEnd, yStart, xStart, box
            case 0x0830:  // CHORD
            case 0x081A:  // PIE
                need(8);
                g.ArcShape(box(4), QPointF(w(3), w(2)), QPointF(w(1), w(0)),
                           fn == 0x0817 ? 0 : (fn == 0x0830 ? 1 : 2));
                break;
            case 0x041F:  // SETPIXEL: colour, y, x
                need(4);
                g.SetPixel(QPointF(w(3), w(2)), ColorRef(r.u32(0)));
                break;
            case 0x0521: {  // TEXTOUT: count, string, y, x
                need(1);
                const qsizetype count = r.s16(0);
                const qsizetype words_ = (count + 1) / 2;
                if (count < 0) {
                    throw Malformed();
                }
                need(1 + words_ + 2);
                const QString text = Narrow(r.bytes(2, count), g.dc.font.charset);
                g.Text(QPointF(w(1 + words_ + 1), w(1 + words_)), text, std::nullopt,
                       g.dc.textAlign & 1);
                break;
            }
            case 0x0A32: {  // EXTTEXTOUT: y, x, count, options, [rect], string, [dx]
                need(4);
                const qsizetype count = r.s16(4);
                const quint16 options = r.u16(6);
                if (count < 0) {
                    throw Malformed();
                }
                qsizetype from = 4;
                std::optional<QRectF> opaque;
                if (options & 0x0006) {
                    need(8);
                    const QRectF rect = GdiPlayer::Box(w(4), w(5), w(6), w(7));
                    if (options & 0x0002) {
                        opaque = rect;
                    }
                    from = 8;
                }
                if (!r.has(from * 2, count)) {
                    throw Malformed();
                }
                const QString text = Narrow(r.bytes(from * 2, count), g.dc.font.charset);
                g.Text(QPointF(w(1), w(0)), text, opaque, g.dc.textAlign & 1);
                break;
            }
            case 0x02FA: {  // CREATEPENINDIRECT: style, width x, width y, colour
                need(5);
                GdiObject o;
                o.kind = GdiObject::Pen;
                o.pen = MakePen(r.u16(0), w(1), ColorRef(r.u32(6)));
                addObject(o);
                break;
            }
            case 0x02FC: {  // CREATEBRUSHINDIRECT: style, colour, hatch
                need(4);
                GdiObject o;
                o.kind = GdiObject::Brush;
                o.brush = MakeBrush(r.u16(0), ColorRef(r.u32(2)), r.u16(6));
                addObject(o);
                break;
            }
            case 0x0142: {  // DIBCREATEPATTERNBRUSH: style, usage, DIB
                need(2);
                GdiObject o;
                o.kind = GdiObject::Brush;
                const QImage pattern = PackedDibImage(r.bytes(4, r.size() - 4));
                o.brush = pattern.isNull() ? QBrush(Qt::gray) : QBrush(pattern);
                addObject(o);
                break;
            }
            case 0x02FB: {  // CREATEFONTINDIRECT
                need(9);
                GdiObject o;
                o.kind = GdiObject::Font;
                o.font.height = w(0);
                o.font.escapement = r.s16(4);
                o.font.weight = r.s16(8);
                o.font.italic = r.u8(10) != 0;
                o.font.underline = r.u8(11) != 0;
                o.font.strikeOut = r.u8(12) != 0;
                o.font.charset = r.u8(13);
                QByteArray face = r.bytes(18, std::min<qsizetype>(32, r.size() - 18));
                face.truncate(face.indexOf('\0') >= 0 ? face.indexOf('\0') : face.size());
                o.font.face = QString::fromLatin1(face);
                addObject(o);
                break;
            }
            case 0x00F7:  // CREATEPALETTE
            case 0x01F9:  // CREATEPATTERNBRUSH
            case 0x06FF:  // CREATEREGION
            case 0x06FE:  // CREATEBITMAP
            case 0x02FD:  // CREATEBITMAPINDIRECT
            case 0x00F8:  // CREATEBRUSH
            {
                // They take a slot of the table, though only their effect on it matters here.
                GdiObject o;
                o.kind = GdiObject::Other;
                addObject(o);
                break;
            }
            case 0x012D:  // SELECTOBJECT
                need(1);
                g.SelectObject(r.u16(0));
                break;
            case 0x01F0:  // DELETEOBJECT
                need(1);
                if (r.u16(0) < g.objects.size()) {
                    g.objects[r.u16(0)] = GdiObject();
                }
                break;
            case 0x0416:  // INTERSECTCLIPRECT
                need(4);
                g.IntersectClip(g.DeviceRect(box(0)));
                break;
            case 0x0415:  // EXCLUDECLIPRECT
                need(4);
                g.ExcludeClip(g.DeviceRect(box(0)));
                break;
            case 0x012C:  // SELECTCLIPREGION (only the null region, which resets, is kept)
                need(1);
                g.dc.clipped = false;
                break;
            case 0x061D:  // PATBLT: rop, height, width, y, x
                need(6);
                g.PatBlt(QRectF(w(5), w(4), w(3), w(2)), r.u32(0));
                break;
            case 0x0940:    // DIBBITBLT: rop, ySrc, xSrc, height, width, yDest, xDest, [DIB]
            case 0x0922: {  // BITBLT: the same with a device-dependent bitmap
                need(8);
                // A record without a source bitmap has a spare word before its fields.
                const qsizetype p = n == 9 ? 1 : 0;
                if (n <= 9) {
                    g.PatBlt(QRectF(w(7 + p), w(6 + p), w(5 + p), w(4 + p)), r.u32(0));
                    break;
                }
                const QImage image = fn == 0x0940 ? PackedDibImage(r.bytes(16, r.size() - 16))
                                                  : Bitmap16Image(r.bytes(16, r.size() - 16));
                // Source and destination share one extent; a source larger than its bitmap
                // (pictures recorded at another resolution) shows the whole bitmap.
                g.Blit(QRectF(w(7), w(6), w(5), w(4)), image,
                       SourceIn(image, QRectF(w(3), w(2), w(5), w(4))), r.u32(0));
                break;
            }
            case 0x0B41:    // DIBSTRETCHBLT: rop, srcH, srcW, ySrc, xSrc, dstH, dstW, yDst, xDst
            case 0x0B23: {  // STRETCHBLT: the same with a device-dependent bitmap
                need(10);
                const qsizetype p = n == 11 ? 1 : 0;
                if (n <= 11) {
                    g.PatBlt(QRectF(w(9 + p), w(8 + p), w(7 + p), w(6 + p)), r.u32(0));
                    break;
                }
                const QImage image = fn == 0x0B41 ? PackedDibImage(r.bytes(20, r.size() - 20))
                                                  : Bitmap16Image(r.bytes(20, r.size() - 20));
                g.Blit(QRectF(w(9), w(8), w(7), w(6)), image,
                       SourceIn(image, QRectF(w(5), w(4), w(3), w(2))), r.u32(0));
                break;
            }
            case 0x0F43: {  // STRETCHDIB: rop, usage, srcH, srcW, ySrc, xSrc, dstH, dstW, y, x
                need(11);
                const QImage image = PackedDibImage(r.bytes(22, r.size() - 22));
                g.Blit(QRectF(w(10), w(9), w(8), w(7)), image,
                       SourceIn(image, QRectF(w(6), w(5), w(4), w(3))), r.u32(0));
                break;
            }
            case 0x0D33: {  // SETDIBTODEV: usage, scans, start, ySrc, xSrc, h, w, yDst, xDst
                need(9);
                const QImage image = PackedDibImage(r.bytes(18, r.size() - 18));
                g.Blit(QRectF(w(8), w(7), w(6), w(5)), image,
                       SourceIn(image, QRectF(w(4), w(3), w(6), w(5))), 0x00CC0020);
                break;
            }
            default:
                break;  // records without a visible effect here, and unknown ones
        }
    }
    // Data ended without the end-of-file record: the file was cut short.
    throw Malformed();
}

std::optional<QRectF> WmfWindow(const QByteArray& data, const WmfLayout& layout) {
    std::optional<QPointF> org;
    std::optional<QSizeF> ext;
    qsizetype at = layout.recordsAt;
    while (at + 10 <= data.size() && !(org && ext)) {
        const Bytes r(data, at, data.size() - at);
        const quint32 words = r.u32(0);
        const quint16 fn = r.u16(4);
        if (words < 3 || qint64(words) * 2 > data.size() - at || fn == 0) {
            break;
        }
        if (fn == 0x020B && !org) {
            org = QPointF(r.s16(8), r.s16(6));
        } else if (fn == 0x020C && !ext) {
            ext = QSizeF(r.s16(8), r.s16(6));
        }
        at += qsizetype(words) * 2;
    }
    if (!ext || ext->width() == 0 || ext->height() == 0) {
        return std::nullopt;
    }
    const QPointF o = org.value_or(QPointF(0, 0));
    return QRectF(o, *ext).normalized();
}

}  // namespace pictures::gdi
