// Enhanced metafile records played into the GDI state machine: those of the device context,
// its paths and its objects here, those that draw in emf_drawing.cpp.
#include "pictures/emf_drawing.h"
#include "pictures/metafile_records.h"

#include <array>

namespace pictures::gdi {

namespace {

// ---- The device context ----

void MoveToEx(GdiPlayer& g, const EmfRecord& r) {
    g.dc.pos = r.pt32(8);
}

void SetWindowExtEx(GdiPlayer& g, const EmfRecord& r) {
    g.dc.winExt = QSizeF(r.s32(8), r.s32(12));
}

void SetWindowOrgEx(GdiPlayer& g, const EmfRecord& r) {
    g.dc.winOrg = r.pt32(8);
}

void SetViewportExtEx(GdiPlayer& g, const EmfRecord& r) {
    g.dc.vpExt = QSizeF(r.s32(8), r.s32(12));
}

void SetViewportOrgEx(GdiPlayer& g, const EmfRecord& r) {
    g.dc.vpOrg = r.pt32(8);
}

// SCALEVIEWPORTEXTEX (31) and SCALEWINDOWEXTEX (32): xNum, xDenom, yNum, yDenom.
void ScaleExtEx(GdiPlayer& g, const EmfRecord& r) {
    if (r.s32(12) == 0 || r.s32(20) == 0) {
        return;
    }
    QSizeF& ext = r.type == 32 ? g.dc.winExt : g.dc.vpExt;
    ext = QSizeF(ext.width() * r.s32(8) / r.s32(12), ext.height() * r.s32(16) / r.s32(20));
}

void SetMapMode(GdiPlayer& g, const EmfRecord& r) {
    g.dc.mapMode = int(r.u32(8));
}

void SetBkMode(GdiPlayer& g, const EmfRecord& r) {
    g.dc.opaqueBk = r.u32(8) == 2;
}

void SetPolyFillMode(GdiPlayer& g, const EmfRecord& r) {
    g.dc.fillRule = r.u32(8) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
}

void SetRop2(GdiPlayer& g, const EmfRecord& r) {
    g.dc.rop =
        r.u32(8) == 7 ? QPainter::CompositionMode_Difference : QPainter::CompositionMode_SourceOver;
}

void SetTextAlign(GdiPlayer& g, const EmfRecord& r) {
    g.dc.textAlign = r.u32(8);
}

void SetTextColor(GdiPlayer& g, const EmfRecord& r) {
    g.dc.textColor = ColorRef(r.u32(8));
}

void SetBkColor(GdiPlayer& g, const EmfRecord& r) {
    g.dc.bkColor = ColorRef(r.u32(8));
}

void SaveDC(GdiPlayer& g, const EmfRecord&) {
    g.SaveDC();
}

void RestoreDC(GdiPlayer& g, const EmfRecord& r) {
    g.RestoreDC(r.s32(8));
}

// SETWORLDTRANSFORM (35) and MODIFYWORLDTRANSFORM (36).
void WorldTransform(GdiPlayer& g, const EmfRecord& r) {
    const QTransform x(r.f32(8), r.f32(12), r.f32(16), r.f32(20), r.f32(24), r.f32(28));
    const quint32 mode = r.type == 35 ? 4 : r.u32(32);
    if (mode == 1) {
        g.dc.world = QTransform();
    } else if (mode == 2) {
        g.dc.world = x * g.dc.world;
    } else if (mode == 3) {
        g.dc.world = g.dc.world * x;
    } else if (mode == 4) {
        g.dc.world = x;
    }
}

void ExcludeClipRect(GdiPlayer& g, const EmfRecord& r) {
    g.ExcludeClip(g.DeviceRect(r.box32(8)));
}

void IntersectClipRect(GdiPlayer& g, const EmfRecord& r) {
    g.IntersectClip(g.DeviceRect(r.box32(8)));
}

// Size, mode, region.
void ExtSelectClipRgn(GdiPlayer& g, const EmfRecord& r) {
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
            region.addRect(r.box32(48 + qsizetype(i) * 16));
        }
        g.dc.clip = region;
        g.dc.clipped = true;
    }
}

// ---- Paths ----

void BeginPath(GdiPlayer& g, const EmfRecord&) {
    g.BeginPath();
}

// ENDPATH (60) and ABORTPATH (68).
void EndPath(GdiPlayer& g, const EmfRecord&) {
    g.EndPath();
}

void CloseFigure(GdiPlayer& g, const EmfRecord&) {
    g.CloseFigure();
}

void FillPath(GdiPlayer& g, const EmfRecord&) {
    g.UsePath(true, false);
}

void StrokeAndFillPath(GdiPlayer& g, const EmfRecord&) {
    g.UsePath(true, true);
}

void StrokePath(GdiPlayer& g, const EmfRecord&) {
    g.UsePath(false, true);
}

void SelectClipPath(GdiPlayer& g, const EmfRecord&) {
    g.ClipToPath();
}

// ---- Objects ----

void SelectObject(GdiPlayer& g, const EmfRecord& r) {
    if (r.u32(8) & 0x80000000u) {
        SelectStock(g, r.u32(8));
    } else {
        g.SelectObject(r.u32(8));
    }
}

void DeleteObject(GdiPlayer& g, const EmfRecord& r) {
    if (GdiObject* o = Slot(g, r.u32(8))) {
        *o = GdiObject();
    }
}

// ih, style, width x, width y, colour.
void CreatePen(GdiPlayer& g, const EmfRecord& r) {
    if (GdiObject* o = Slot(g, r.u32(8))) {
        o->kind = GdiObject::Pen;
        o->pen = MakePen(r.u32(12), r.s32(16), ColorRef(r.u32(24)));
    }
}

// ih, bmi and bits, style, width, brush style, colour.
void ExtCreatePen(GdiPlayer& g, const EmfRecord& r) {
    if (GdiObject* o = Slot(g, r.u32(8))) {
        o->kind = GdiObject::Pen;
        o->pen =
            r.u32(36) == 1 ? QPen(Qt::NoPen) : MakePen(r.u32(28), r.u32(32), ColorRef(r.u32(40)));
        if ((r.u32(28) & 0x00010000u) == 0) {  // PS_COSMETIC
            o->pen.setWidth(0);
        }
    }
}

// ih, style, colour, hatch.
void CreateBrushIndirect(GdiPlayer& g, const EmfRecord& r) {
    if (GdiObject* o = Slot(g, r.u32(8))) {
        o->kind = GdiObject::Brush;
        o->brush = MakeBrush(r.u32(12), ColorRef(r.u32(16)), r.u32(20));
    }
}

// CREATEMONOBRUSH (93) and CREATEDIBPATTERNBRUSHPT (94): ih, usage, bmi, bits.
void CreatePatternBrush(GdiPlayer& g, const EmfRecord& r) {
    if (GdiObject* o = Slot(g, r.u32(8))) {
        const QImage pattern = r.dib(16, 20, 24, 28);
        o->kind = GdiObject::Brush;
        o->brush = pattern.isNull() ? QBrush(Qt::gray) : QBrush(pattern);
    }
}

// ih, LOGFONTW.
void ExtCreateFontIndirectW(GdiPlayer& g, const EmfRecord& r) {
    GdiObject* o = Slot(g, r.u32(8));
    if (o == nullptr) {
        return;
    }
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

void CreatePalette(GdiPlayer& g, const EmfRecord& r) {
    if (GdiObject* o = Slot(g, r.u32(8))) {
        *o = GdiObject();
        o->kind = GdiObject::Other;
    }
}

// ---- The table ----

using EmfHandler = void (*)(GdiPlayer& g, const EmfRecord& r);

// A record type, the fewest bytes its record has (the fixed fields its handler reads, header
// included), and its handler.
struct EmfEntry {
    quint32 type;
    qsizetype size;
    EmfHandler play;
};

// Records without a visible effect here (the header among them) are not in the table, and
// are skipped like unknown ones; the end-of-file record ends the play.
constexpr EmfEntry kEmfEntries[] = {
    {2, 28, emf::Poly},  // POLYBEZIER
    {3, 28, emf::Poly},  // POLYGON
    {4, 28, emf::Poly},  // POLYLINE
    {5, 28, emf::Poly},  // POLYBEZIERTO
    {6, 28, emf::Poly},  // POLYLINETO
    {7, 32, emf::PolyPolyline},
    {8, 32, emf::PolyPolygon},
    {9, 16, SetWindowExtEx},
    {10, 16, SetWindowOrgEx},
    {11, 16, SetViewportExtEx},
    {12, 16, SetViewportOrgEx},
    {15, 20, emf::SetPixelV},
    {17, 12, SetMapMode},
    {18, 12, SetBkMode},
    {19, 12, SetPolyFillMode},
    {20, 12, SetRop2},
    {22, 12, SetTextAlign},
    {24, 12, SetTextColor},
    {25, 12, SetBkColor},
    {27, 16, MoveToEx},
    {29, 24, ExcludeClipRect},
    {30, 24, IntersectClipRect},
    {31, 24, ScaleExtEx},  // SCALEVIEWPORTEXTEX
    {32, 24, ScaleExtEx},  // SCALEWINDOWEXTEX
    {33, 8, SaveDC},
    {34, 12, RestoreDC},
    {35, 32, WorldTransform},  // SETWORLDTRANSFORM
    {36, 36, WorldTransform},  // MODIFYWORLDTRANSFORM
    {37, 12, SelectObject},
    {38, 28, CreatePen},
    {39, 24, CreateBrushIndirect},
    {40, 12, DeleteObject},
    {41, 28, emf::AngleArc},
    {42, 24, emf::Ellipse},
    {43, 24, emf::Rectangle},
    {44, 32, emf::RoundRect},
    {45, 40, emf::ArcShape},  // ARC
    {46, 40, emf::ArcShape},  // CHORD
    {47, 40, emf::ArcShape},  // PIE
    {49, 12, CreatePalette},
    {54, 16, emf::LineTo},
    {55, 40, emf::ArcShape},  // ARCTO
    {56, 28, emf::PolyDraw},
    {59, 8, BeginPath},
    {60, 8, EndPath},
    {61, 8, CloseFigure},
    {62, 8, FillPath},
    {63, 8, StrokeAndFillPath},
    {64, 8, StrokePath},
    {67, 8, SelectClipPath},
    {68, 8, EndPath},            // ABORTPATH
    {71, 32, emf::PaintRegion},  // FILLRGN
    {72, 40, emf::PaintRegion},  // FRAMERGN
    {74, 28, emf::PaintRegion},  // PAINTRGN
    {75, 16, ExtSelectClipRgn},
    {76, 100, emf::BitBlt},
    {77, 100, emf::BitBlt},  // STRETCHBLT
    {78, 128, emf::MaskBlt},
    {80, 76, emf::DibitsToDevice},  // SETDIBITSTODEVICE
    {81, 80, emf::DibitsToDevice},  // STRETCHDIBITS
    {82, 12 + 92, ExtCreateFontIndirectW},
    {83, 76, emf::ExtTextOut},  // EXTTEXTOUTA
    {84, 76, emf::ExtTextOut},  // EXTTEXTOUTW
    {85, 28, emf::Poly},        // POLYBEZIER16
    {86, 28, emf::Poly},        // POLYGON16
    {87, 28, emf::Poly},        // POLYLINE16
    {88, 28, emf::Poly},        // POLYBEZIERTO16
    {89, 28, emf::Poly},        // POLYLINETO16
    {90, 32, emf::PolyPolyline},
    {91, 32, emf::PolyPolygon},
    {92, 28, emf::PolyDraw},
    {93, 32, CreatePatternBrush},  // CREATEMONOBRUSH
    {94, 32, CreatePatternBrush},  // CREATEDIBPATTERNBRUSHPT
    {95, 48, ExtCreatePen},
    {114, 100, emf::BitBlt},  // ALPHABLEND
    {116, 100, emf::BitBlt},  // TRANSPARENTBLT
    {118, 36, emf::GradientFill},
};

constexpr quint32 kEmrEof = 14;
constexpr std::size_t kEmfTypes = 119;  // one past the last type in the table

// The entries by record type; a type without one has no handler.
constexpr std::array<EmfEntry, kEmfTypes> kEmfTable = [] {
    std::array<EmfEntry, kEmfTypes> table{};
    for (const EmfEntry& e : kEmfEntries) {
        table[e.type] = e;
    }
    return table;
}();

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
        const EmfRecord r(data, at, size, type);
        at += size;
        if (type == kEmrEof) {
            return;
        }
        if (type < kEmfTable.size() && kEmfTable[type].play != nullptr) {
            r.need(kEmfTable[type].size);
            kEmfTable[type].play(g, r);
        }
    }
    throw Malformed();
}

}  // namespace pictures::gdi
