// Windows metafile records (placeable and plain) played into the GDI state machine.
#include "pictures/metafile_records.h"

#include <array>

namespace pictures::gdi {

namespace {

// One record's parameters: the words after its size and function.
struct WmfRecord : Bytes {
    quint16 fn;
    qsizetype n;  // parameter words

    WmfRecord(const QByteArray& data, qsizetype at, quint32 words, quint16 fn_)
        : Bytes(data, at + 6, qsizetype(words) * 2 - 6), fn(fn_), n(size() / 2) {}

    void need(qsizetype words) const {
        if (n < words) {
            throw Malformed();
        }
    }
    double w(qsizetype i) const { return double(s16(i * 2)); }
    // count points from word `from` on, x and y each.
    QPolygonF points(qsizetype from, qsizetype count) const {
        if (count < 0 || count > kMaxPolyPoints || !has(from * 2, count * 4)) {
            throw Malformed();
        }
        QPolygonF pts;
        pts.reserve(count);
        for (qsizetype i = 0; i < count; ++i) {
            pts << QPointF(w(from + 2 * i), w(from + 2 * i + 1));
        }
        return pts;
    }
    // Boxes are stored bottom, right, top, left from the given word on.
    QRectF box(qsizetype i) const { return GdiPlayer::Box(w(i + 3), w(i + 2), w(i + 1), w(i)); }
    // The packed bitmap from word `i` to the end of the record.
    QByteArray tail(qsizetype i) const { return bytes(i * 2, size() - i * 2); }
};

// An object into the first free slot of the table.
void AddObject(GdiPlayer& g, GdiObject o) {
    for (GdiObject& slot : g.objects) {
        if (slot.kind == GdiObject::Empty) {
            slot = std::move(o);
            return;
        }
    }
    // A full table: the object is lost, as it would be on the device.
}

// ---- The device context ----

void SaveDC(GdiPlayer& g, const WmfRecord&) {
    g.SaveDC();
}

void RestoreDC(GdiPlayer& g, const WmfRecord& r) {
    g.RestoreDC(int(r.w(0)));
}

void SetBkMode(GdiPlayer& g, const WmfRecord& r) {
    g.dc.opaqueBk = r.u16(0) == 2;
}

void SetBkColor(GdiPlayer& g, const WmfRecord& r) {
    g.dc.bkColor = ColorRef(r.u32(0));
}

void SetTextColor(GdiPlayer& g, const WmfRecord& r) {
    g.dc.textColor = ColorRef(r.u32(0));
}

void SetMapMode(GdiPlayer& g, const WmfRecord& r) {
    g.dc.mapMode = r.u16(0);
}

void SetPolyFillMode(GdiPlayer& g, const WmfRecord& r) {
    g.dc.fillRule = r.u16(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
}

void SetTextAlign(GdiPlayer& g, const WmfRecord& r) {
    g.dc.textAlign = r.u16(0);
}

void SetRop2(GdiPlayer& g, const WmfRecord& r) {
    g.dc.rop =
        r.u16(0) == 7 ? QPainter::CompositionMode_Difference : QPainter::CompositionMode_SourceOver;
}

// The points and sizes of the mapping are stored y first.
void SetWindowOrg(GdiPlayer& g, const WmfRecord& r) {
    g.dc.winOrg = QPointF(r.w(1), r.w(0));
}

void SetWindowExt(GdiPlayer& g, const WmfRecord& r) {
    g.dc.winExt = QSizeF(r.w(1), r.w(0));
}

void SetViewportOrg(GdiPlayer& g, const WmfRecord& r) {
    g.dc.vpOrg = QPointF(r.w(1), r.w(0));
}

void SetViewportExt(GdiPlayer& g, const WmfRecord& r) {
    g.dc.vpExt = QSizeF(r.w(1), r.w(0));
}

void OffsetWindowOrg(GdiPlayer& g, const WmfRecord& r) {
    g.dc.winOrg += QPointF(r.w(1), r.w(0));
}

void OffsetViewportOrg(GdiPlayer& g, const WmfRecord& r) {
    g.dc.vpOrg += QPointF(r.w(1), r.w(0));
}

// SCALEWINDOWEXT and SCALEVIEWPORTEXT: yDenom, yNum, xDenom, xNum.
void ScaleExt(GdiPlayer& g, const WmfRecord& r) {
    if (r.w(0) == 0 || r.w(2) == 0) {
        return;
    }
    QSizeF& ext = r.fn == 0x0410 ? g.dc.winExt : g.dc.vpExt;
    ext = QSizeF(ext.width() * r.w(3) / r.w(2), ext.height() * r.w(1) / r.w(0));
}

void MoveTo(GdiPlayer& g, const WmfRecord& r) {
    g.dc.pos = QPointF(r.w(1), r.w(0));
}

void IntersectClipRect(GdiPlayer& g, const WmfRecord& r) {
    g.IntersectClip(g.DeviceRect(r.box(0)));
}

void ExcludeClipRect(GdiPlayer& g, const WmfRecord& r) {
    g.ExcludeClip(g.DeviceRect(r.box(0)));
}

// Only the null region, which resets, is kept.
void SelectClipRegion(GdiPlayer& g, const WmfRecord&) {
    g.dc.clipped = false;
}

// ---- Lines and shapes ----

void LineTo(GdiPlayer& g, const WmfRecord& r) {
    g.LineTo(QPointF(r.w(1), r.w(0)));
}

void Polyline(GdiPlayer& g, const WmfRecord& r) {
    g.Polyline(r.points(1, r.s16(0)));
}

void Polygon(GdiPlayer& g, const WmfRecord& r) {
    g.Polygon({r.points(1, r.s16(0))});
}

void PolyPolygon(GdiPlayer& g, const WmfRecord& r) {
    const qsizetype polys = r.u16(0);
    r.need(1 + polys);
    std::vector<QPolygonF> all;
    qsizetype from = 1 + polys;
    for (qsizetype i = 0; i < polys; ++i) {
        const qsizetype count = r.u16((1 + i) * 2);
        all.push_back(r.points(from, count));
        from += count * 2;
    }
    g.Polygon(all);
}

void Rectangle(GdiPlayer& g, const WmfRecord& r) {
    g.Rectangle(r.box(0));
}

// Height, width, box.
void RoundRect(GdiPlayer& g, const WmfRecord& r) {
    g.RoundRect(r.box(2), r.w(1), r.w(0));
}

void Ellipse(GdiPlayer& g, const WmfRecord& r) {
    g.Ellipse(r.box(0));
}

// ARC, CHORD and PIE: yEnd, xEnd, yStart, xStart, box.
void ArcShape(GdiPlayer& g, const WmfRecord& r) {
    g.ArcShape(r.box(4), QPointF(r.w(3), r.w(2)), QPointF(r.w(1), r.w(0)),
               r.fn == 0x0817 ? 0 : (r.fn == 0x0830 ? 1 : 2));
}

// Colour, y, x.
void SetPixel(GdiPlayer& g, const WmfRecord& r) {
    g.SetPixel(QPointF(r.w(3), r.w(2)), ColorRef(r.u32(0)));
}

// ---- Text ----

// Count, string, y, x.
void TextOut(GdiPlayer& g, const WmfRecord& r) {
    const qsizetype count = r.s16(0);
    const qsizetype words = (count + 1) / 2;
    if (count < 0) {
        throw Malformed();
    }
    r.need(1 + words + 2);
    const QString text = Narrow(r.bytes(2, count), g.dc.font.charset);
    g.Text(QPointF(r.w(1 + words + 1), r.w(1 + words)), text, std::nullopt, g.dc.textAlign & 1);
}

// y, x, count, options, [rect], string, [dx].
void ExtTextOut(GdiPlayer& g, const WmfRecord& r) {
    const qsizetype count = r.s16(4);
    const quint16 options = r.u16(6);
    if (count < 0) {
        throw Malformed();
    }
    qsizetype from = 4;
    std::optional<QRectF> opaque;
    if (options & 0x0006) {
        r.need(8);
        const QRectF rect = GdiPlayer::Box(r.w(4), r.w(5), r.w(6), r.w(7));
        if (options & 0x0002) {
            opaque = rect;
        }
        from = 8;
    }
    if (!r.has(from * 2, count)) {
        throw Malformed();
    }
    const QString text = Narrow(r.bytes(from * 2, count), g.dc.font.charset);
    g.Text(QPointF(r.w(1), r.w(0)), text, opaque, g.dc.textAlign & 1);
}

// ---- Objects ----

// Style, width x, width y, colour.
void CreatePenIndirect(GdiPlayer& g, const WmfRecord& r) {
    GdiObject o;
    o.kind = GdiObject::Pen;
    o.pen = MakePen(r.u16(0), r.w(1), ColorRef(r.u32(6)));
    AddObject(g, o);
}

// Style, colour, hatch.
void CreateBrushIndirect(GdiPlayer& g, const WmfRecord& r) {
    GdiObject o;
    o.kind = GdiObject::Brush;
    o.brush = MakeBrush(r.u16(0), ColorRef(r.u32(2)), r.u16(6));
    AddObject(g, o);
}

// Style, usage, DIB.
void DibCreatePatternBrush(GdiPlayer& g, const WmfRecord& r) {
    GdiObject o;
    o.kind = GdiObject::Brush;
    const QImage pattern = PackedDibImage(r.tail(2));
    o.brush = pattern.isNull() ? QBrush(Qt::gray) : QBrush(pattern);
    AddObject(g, o);
}

void CreateFontIndirect(GdiPlayer& g, const WmfRecord& r) {
    GdiObject o;
    o.kind = GdiObject::Font;
    o.font.height = r.w(0);
    o.font.escapement = r.s16(4);
    o.font.weight = r.s16(8);
    o.font.italic = r.u8(10) != 0;
    o.font.underline = r.u8(11) != 0;
    o.font.strikeOut = r.u8(12) != 0;
    o.font.charset = r.u8(13);
    QByteArray face = r.bytes(18, std::min<qsizetype>(32, r.size() - 18));
    face.truncate(face.indexOf('\0') >= 0 ? face.indexOf('\0') : face.size());
    o.font.face = QString::fromLatin1(face);
    AddObject(g, o);
}

// Objects that take a slot of the table, though only their effect on it matters here.
void CreateOther(GdiPlayer& g, const WmfRecord&) {
    GdiObject o;
    o.kind = GdiObject::Other;
    AddObject(g, o);
}

void SelectObject(GdiPlayer& g, const WmfRecord& r) {
    g.SelectObject(r.u16(0));
}

void DeleteObject(GdiPlayer& g, const WmfRecord& r) {
    if (r.u16(0) < g.objects.size()) {
        g.objects[r.u16(0)] = GdiObject();
    }
}

// ---- Bitmaps ----

// Rop, height, width, y, x.
void PatBlt(GdiPlayer& g, const WmfRecord& r) {
    g.PatBlt(QRectF(r.w(5), r.w(4), r.w(3), r.w(2)), r.u32(0));
}

// DIBBITBLT: rop, ySrc, xSrc, height, width, yDest, xDest, [DIB]; BITBLT the same with a
// device-dependent bitmap.
void BitBlt(GdiPlayer& g, const WmfRecord& r) {
    // A record without a source bitmap has a spare word before its fields.
    const qsizetype p = r.n == 9 ? 1 : 0;
    if (r.n <= 9) {
        g.PatBlt(QRectF(r.w(7 + p), r.w(6 + p), r.w(5 + p), r.w(4 + p)), r.u32(0));
        return;
    }
    const QImage image = r.fn == 0x0940 ? PackedDibImage(r.tail(8)) : Bitmap16Image(r.tail(8));
    // Source and destination share one extent; a source larger than its bitmap (pictures
    // recorded at another resolution) shows the whole bitmap.
    g.Blit(QRectF(r.w(7), r.w(6), r.w(5), r.w(4)), image,
           SourceIn(image, QRectF(r.w(3), r.w(2), r.w(5), r.w(4))), r.u32(0));
}

// DIBSTRETCHBLT: rop, srcH, srcW, ySrc, xSrc, dstH, dstW, yDst, xDst; STRETCHBLT the same
// with a device-dependent bitmap.
void StretchBlt(GdiPlayer& g, const WmfRecord& r) {
    const qsizetype p = r.n == 11 ? 1 : 0;
    if (r.n <= 11) {
        g.PatBlt(QRectF(r.w(9 + p), r.w(8 + p), r.w(7 + p), r.w(6 + p)), r.u32(0));
        return;
    }
    const QImage image = r.fn == 0x0B41 ? PackedDibImage(r.tail(10)) : Bitmap16Image(r.tail(10));
    g.Blit(QRectF(r.w(9), r.w(8), r.w(7), r.w(6)), image,
           SourceIn(image, QRectF(r.w(5), r.w(4), r.w(3), r.w(2))), r.u32(0));
}

// Rop, usage, srcH, srcW, ySrc, xSrc, dstH, dstW, y, x.
void StretchDib(GdiPlayer& g, const WmfRecord& r) {
    const QImage image = PackedDibImage(r.tail(11));
    g.Blit(QRectF(r.w(10), r.w(9), r.w(8), r.w(7)), image,
           SourceIn(image, QRectF(r.w(6), r.w(5), r.w(4), r.w(3))), r.u32(0));
}

// Usage, scans, start, ySrc, xSrc, h, w, yDst, xDst.
void SetDibToDev(GdiPlayer& g, const WmfRecord& r) {
    const QImage image = PackedDibImage(r.tail(9));
    g.Blit(QRectF(r.w(8), r.w(7), r.w(6), r.w(5)), image,
           SourceIn(image, QRectF(r.w(4), r.w(3), r.w(6), r.w(5))), 0x00CC0020);
}

// ---- The table ----

using WmfHandler = void (*)(GdiPlayer& g, const WmfRecord& r);

// A record's function, the fewest parameter words its record has (the fixed fields its
// handler reads), and its handler.
struct WmfEntry {
    quint16 fn;
    qsizetype params;
    WmfHandler play;
};

// Records without a visible effect here are not in the table, and are skipped like unknown
// ones; the end-of-file record (0) ends the play.
constexpr WmfEntry kWmfEntries[] = {
    {0x001E, 0, SaveDC},
    {0x0127, 1, RestoreDC},
    {0x0102, 1, SetBkMode},
    {0x0201, 2, SetBkColor},
    {0x0209, 2, SetTextColor},
    {0x0103, 1, SetMapMode},
    {0x0106, 1, SetPolyFillMode},
    {0x012E, 1, SetTextAlign},
    {0x0104, 1, SetRop2},
    {0x020B, 2, SetWindowOrg},
    {0x020C, 2, SetWindowExt},
    {0x020D, 2, SetViewportOrg},
    {0x020E, 2, SetViewportExt},
    {0x020F, 2, OffsetWindowOrg},
    {0x0211, 2, OffsetViewportOrg},
    {0x0410, 4, ScaleExt},  // SCALEWINDOWEXT
    {0x0412, 4, ScaleExt},  // SCALEVIEWPORTEXT
    {0x0214, 2, MoveTo},
    {0x0213, 2, LineTo},
    {0x0325, 1, Polyline},
    {0x0324, 1, Polygon},
    {0x0538, 1, PolyPolygon},
    {0x041B, 4, Rectangle},
    {0x061C, 6, RoundRect},
    {0x0418, 4, Ellipse},
    {0x0817, 8, ArcShape},  // ARC
    {0x0830, 8, ArcShape},  // CHORD
    {0x081A, 8, ArcShape},  // PIE
    {0x041F, 4, SetPixel},
    {0x0521, 1, TextOut},
    {0x0A32, 4, ExtTextOut},
    {0x02FA, 5, CreatePenIndirect},
    {0x02FC, 4, CreateBrushIndirect},
    {0x0142, 2, DibCreatePatternBrush},
    {0x02FB, 9, CreateFontIndirect},
    {0x00F7, 0, CreateOther},  // CREATEPALETTE
    {0x01F9, 0, CreateOther},  // CREATEPATTERNBRUSH
    {0x06FF, 0, CreateOther},  // CREATEREGION
    {0x06FE, 0, CreateOther},  // CREATEBITMAP
    {0x02FD, 0, CreateOther},  // CREATEBITMAPINDIRECT
    {0x00F8, 0, CreateOther},  // CREATEBRUSH
    {0x012D, 1, SelectObject},
    {0x01F0, 1, DeleteObject},
    {0x0416, 4, IntersectClipRect},
    {0x0415, 4, ExcludeClipRect},
    {0x012C, 1, SelectClipRegion},
    {0x061D, 6, PatBlt},
    {0x0940, 8, BitBlt},       // DIBBITBLT
    {0x0922, 8, BitBlt},       // BITBLT
    {0x0B41, 10, StretchBlt},  // DIBSTRETCHBLT
    {0x0B23, 10, StretchBlt},  // STRETCHBLT
    {0x0F43, 11, StretchDib},
    {0x0D33, 9, SetDibToDev},
};

// The entries by the low byte of their function, which differs between any two of them; the
// whole function is compared when a record is looked up.
constexpr std::array<WmfEntry, 256> kWmfTable = [] {
    std::array<WmfEntry, 256> table{};
    for (const WmfEntry& e : kWmfEntries) {
        table[e.fn & 0xFF] = e;
    }
    return table;
}();

constexpr bool LowBytesDiffer() {
    for (const WmfEntry& e : kWmfEntries) {
        if (kWmfTable[e.fn & 0xFF].fn != e.fn) {
            return false;
        }
    }
    return true;
}
static_assert(LowBytesDiffer());

}  // namespace

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

void PlayWmfRecords(const QByteArray& data, const WmfLayout& layout, GdiPlayer& g) {
    g.objects.assign(size_t(std::min(layout.objectCount, kMaxObjects)), GdiObject());
    qsizetype at = layout.recordsAt;
    while (at + 6 <= data.size()) {
        const Bytes head(data, at, 6);
        const quint32 words = head.u32(0);
        const quint16 fn = head.u16(4);
        if (words < 3 || qint64(words) * 2 > data.size() - at) {
            throw Malformed();
        }
        const WmfRecord r(data, at, words, fn);
        at += qsizetype(words) * 2;
        if (fn == 0x0000) {  // EOF
            return;
        }
        if (const WmfEntry& e = kWmfTable[fn & 0xFF]; e.play != nullptr && e.fn == fn) {
            r.need(e.params);
            e.play(g, r);
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
