// Enhanced metafile records that draw, played into the GDI state machine.
#include "pictures/emf_drawing.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <optional>

namespace pictures::gdi {

namespace {

// The rectangles of a region (RGNDATA: header, then left, top, right, bottom each) at the
// given offset of the record, as one path.
QPainterPath RegionPath(const EmfRecord& r, qsizetype at, quint32 size) {
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
        region.addRect(r.box32(o));
    }
    return region;
}

// Pixels of the key colour made transparent.
void KeyOut(QImage& image, QRgb key) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == key) {
                line[x] = 0;
            }
        }
    }
}

}  // namespace

namespace emf {

// ---- Lines and shapes ----

void Poly(GdiPlayer& g, const EmfRecord& r) {
    const bool small = r.type >= 85;
    const quint32 kind = small ? r.type - 83 : r.type;
    QPolygonF pts = r.points(28, r.u32(24), small);
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
}

void PolyPolyline(GdiPlayer& g, const EmfRecord& r) {
    for (const QPolygonF& p : r.polys(r.type == 90)) {
        g.Polyline(p);
    }
}

void PolyPolygon(GdiPlayer& g, const EmfRecord& r) {
    g.Polygon(r.polys(r.type == 91));
}

void SetPixelV(GdiPlayer& g, const EmfRecord& r) {
    g.SetPixel(r.pt32(8), ColorRef(r.u32(16)));
}

void LineTo(GdiPlayer& g, const EmfRecord& r) {
    g.LineTo(r.pt32(8));
}

void Ellipse(GdiPlayer& g, const EmfRecord& r) {
    g.Ellipse(r.box32(8));
}

void Rectangle(GdiPlayer& g, const EmfRecord& r) {
    g.Rectangle(r.box32(8));
}

void RoundRect(GdiPlayer& g, const EmfRecord& r) {
    g.RoundRect(r.box32(8), r.s32(24), r.s32(28));
}

void ArcShape(GdiPlayer& g, const EmfRecord& r) {
    const int kind = r.type == 46 ? 1 : (r.type == 47 ? 2 : (r.type == 55 ? 3 : 0));
    g.ArcShape(r.box32(8), r.pt32(24), r.pt32(32), kind);
}

void AngleArc(GdiPlayer& g, const EmfRecord& r) {
    g.AngleArc(r.pt32(8), r.u32(16), r.f32(20), r.f32(24));
}

void PolyDraw(GdiPlayer& g, const EmfRecord& r) {
    const bool small = r.type == 92;
    const quint32 count = r.u32(24);
    const QPolygonF pts = r.points(28, count, small);
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
}

// ---- Regions and fills ----

void PaintRegion(GdiPlayer& g, const EmfRecord& r) {
    const qsizetype regionAt = r.type == 71 ? 32 : (r.type == 72 ? 40 : 28);
    const QPainterPath region = RegionPath(r, regionAt, r.u32(24));
    QBrush brush = g.dc.brush;
    if (r.type != 74) {
        const quint32 ih = r.u32(28);
        if (ih & 0x80000000u) {
            GdiPlayer stock = g;
            SelectStock(stock, ih);
            brush = stock.dc.brush;
        } else if (GdiObject* o = Slot(g, ih); o && o->kind == GdiObject::Brush) {
            brush = o->brush;
        }
    }
    g.Region(region, brush, r.type == 72 ? QSizeF(r.s32(32), r.s32(36)) : QSizeF(0, 0));
}

void GradientFill(GdiPlayer& g, const EmfRecord& r) {
    const quint32 vertices = r.u32(24);
    const quint32 shapes = r.u32(28);
    const quint32 mode = r.u32(32);
    const qsizetype each = mode == 2 ? 12 : 8;
    if (vertices > 65536 || shapes > 65536 ||
        !r.has(36, qsizetype(vertices) * 16 + qsizetype(shapes) * each)) {
        throw Malformed();
    }
    auto vertex = [&](quint32 i, QPointF* at, QColor* c) {
        if (i >= vertices) {
            return false;
        }
        const qsizetype o = 36 + qsizetype(i) * 16;
        *at = r.pt32(o);
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
            gradient.setColorAt(1, QColor((cb.red() + cc.red()) / 2, (cb.green() + cc.green()) / 2,
                                          (cb.blue() + cc.blue()) / 2));
            g.Gradient(QPolygonF({a, b, c}), gradient);
        } else {
            const QRectF box = QRectF(a, b).normalized();
            QLinearGradient gradient(a, mode == 1 ? QPointF(a.x(), b.y()) : QPointF(b.x(), a.y()));
            gradient.setColorAt(0, ca);
            gradient.setColorAt(1, cb);
            g.Gradient(QPolygonF(box), gradient);
        }
    }
}

// ---- Text ----

void ExtTextOut(GdiPlayer& g, const EmfRecord& r) {
    const bool wide = r.type == 84;
    const QPointF ref = r.pt32(36);
    const quint32 chars = r.u32(44);
    const quint32 offString = r.u32(48);
    const quint32 options = r.u32(52);
    const qsizetype bytes = qsizetype(chars) * (wide ? 2 : 1);
    if (chars > (1u << 20) || !r.has(offString, bytes)) {
        throw Malformed();
    }
    QString text;
    if (wide) {
        text.resize(qsizetype(chars));
        for (quint32 i = 0; i < chars; ++i) {
            text[qsizetype(i)] = QChar(char16_t(r.u16(offString + 2 * qsizetype(i))));
        }
    } else {
        text = Narrow(r.bytes(offString, bytes), g.dc.font.charset);
    }
    std::optional<QRectF> opaque;
    if (options & 0x0002) {
        opaque = r.box32(56);
    }
    g.Text(ref, text, opaque, g.dc.textAlign & 1);
}

// ---- Bitmaps ----

void BitBlt(GdiPlayer& g, const EmfRecord& r) {
    const QRectF dest(r.s32(24), r.s32(28), r.s32(32), r.s32(36));
    const quint32 rop = r.u32(40);
    if (r.u32(88) == 0) {  // no source bitmap
        g.PatBlt(dest, rop);
        return;
    }
    QRectF src(r.s32(44), r.s32(48), r.s32(32), r.s32(36));
    if (r.type != 76) {
        r.need(108);
        src.setSize(QSizeF(r.s32(100), r.s32(104)));
    }
    QImage image = r.dib(84, 88, 92, 96);
    if (r.type == 116 && !image.isNull()) {
        KeyOut(image, ColorRef(rop).rgb() & 0xFFFFFF);
    }
    g.Blit(dest, image, src, r.type == 77 || r.type == 76 ? rop : 0x00CC0020);
}

void MaskBlt(GdiPlayer& g, const EmfRecord& r) {
    const QRectF dest(r.s32(24), r.s32(28), r.s32(32), r.s32(36));
    QImage image = r.dib(84, 88, 92, 96);
    const QImage mask = r.dib(112, 116, 120, 124);
    if (image.isNull()) {
        g.PatBlt(dest, r.u32(40) & 0x00FFFFFF);
        return;
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
}

void DibitsToDevice(GdiPlayer& g, const EmfRecord& r) {
    const bool stretch = r.type == 81;
    const QImage image = r.dib(48, 52, 56, 60);
    const QRectF src(r.s32(32), r.s32(36), r.s32(40), r.s32(44));
    const QRectF dest(r.s32(24), r.s32(28), stretch ? r.s32(72) : r.s32(40),
                      stretch ? r.s32(76) : r.s32(44));
    g.Blit(dest, image, src, stretch ? r.u32(68) : 0x00CC0020);
}

}  // namespace emf

}  // namespace pictures::gdi
