// The GDI state machine that both metafile formats play into: object table, device-context
// state with save and restore, mapping from logical units to the output, and the drawing
// primitives on a QPainter (or, without one, only the measuring of what would be drawn).
// Internal to the metafile player.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace pictures::gdi {

inline constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
inline constexpr quint32 kEmfSignature = 0x464D4520;  // " EMF"
inline constexpr int kMaxSavedStates = 1024;
inline constexpr int kMaxObjects = 65535;
inline constexpr int kMaxPolyPoints = 1 << 20;

// A bounds-checked little-endian view of one record's bytes.
class Bytes {
  public:
    Bytes(const QByteArray& data, qsizetype begin, qsizetype size)
        : d_(data.constData() + begin), size_(size) {}
    qsizetype size() const { return size_; }
    bool has(qsizetype at, qsizetype n) const { return at >= 0 && n >= 0 && at + n <= size_; }
    quint8 u8(qsizetype at) const { return has(at, 1) ? quint8(d_[at]) : 0; }
    quint16 u16(qsizetype at) const { return has(at, 2) ? qFromLittleEndian<quint16>(d_ + at) : 0; }
    qint16 s16(qsizetype at) const { return qint16(u16(at)); }
    quint32 u32(qsizetype at) const { return has(at, 4) ? qFromLittleEndian<quint32>(d_ + at) : 0; }
    qint32 s32(qsizetype at) const { return qint32(u32(at)); }
    float f32(qsizetype at) const {
        const quint32 v = u32(at);
        float f;
        std::memcpy(&f, &v, sizeof f);
        return std::isfinite(f) ? f : 0.0f;
    }
    QByteArray bytes(qsizetype at, qsizetype n) const {
        return has(at, n) ? QByteArray(d_ + at, n) : QByteArray();
    }

  private:
    const char* d_;
    qsizetype size_;
};

// Thrown inside the player only, caught at its entry: a record that does not fit its file.
struct Malformed {};

// 0x00BBGGRR as a colour.
QColor ColorRef(quint32 c);
// Text bytes of the narrow records, in the font's character set.
QString Narrow(const QByteArray& bytes, int charset);
// A DIB as stored in a record (header and colour table, bits), decoded with every check of
// the bitmap reader; a null image if it is broken.
QImage DibImage(const QByteArray& info, const QByteArray& bits);
// The same for a packed DIB (header, colour table and bits in one block).
QImage PackedDibImage(const QByteArray& dib);
// A device-dependent bitmap of the old records.
QImage Bitmap16Image(const QByteArray& bytes);
// The part of a bitmap a blit takes.
QRectF SourceIn(const QImage& image, const QRectF& src);

enum MapMode {
    kMmText = 1,
    kMmLoMetric = 2,
    kMmHiMetric = 3,
    kMmLoEnglish = 4,
    kMmHiEnglish = 5,
    kMmTwips = 6,
    kMmIsotropic = 7,
    kMmAnisotropic = 8
};

struct LogFont {
    double height = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0;
    int escapement = 0;  // tenths of a degree
    QString face;
};

struct GdiObject {
    enum Kind { Empty, Pen, Brush, Font, Other } kind = Empty;
    QPen pen;
    QBrush brush;
    LogFont font;
};

// Drawing state of a device context, as saved and restored by SaveDC/RestoreDC.
struct DcState {
    QPen pen{QColor(Qt::black), 0};
    QBrush brush{Qt::white};
    LogFont font;
    QColor textColor{Qt::black};
    QColor bkColor{Qt::white};
    bool opaqueBk = true;
    quint32 textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    int mapMode = kMmText;
    QPointF winOrg{0, 0};
    QSizeF winExt{1, 1};
    QPointF vpOrg{0, 0};
    QSizeF vpExt{1, 1};
    QTransform world;
    QPointF pos{0, 0};
    bool clipped = false;
    QPainterPath clip;  // in device units
    QPainter::CompositionMode rop = QPainter::CompositionMode_SourceOver;
};

class GdiPlayer {
  public:
    // painter == nullptr: only measures what would be drawn (device units).
    GdiPlayer(QPainter* painter, const QTransform& deviceToOut, double unitsPerMm)
        : p_(painter), out_(deviceToOut), unitsPerMm_(unitsPerMm) {}

    DcState dc;
    std::vector<GdiObject> objects;
    std::vector<DcState> saved;
    QRectF measured;

    // ---- state ----
    void SaveDC() {
        if (int(saved.size()) < kMaxSavedStates) {
            saved.push_back(dc);
        }
    }
    void RestoreDC(int n) {
        // n < 0: that many levels back; n > 0: the n-th saved state.
        size_t keep;
        if (n < 0) {
            if (size_t(-qint64(n)) > saved.size()) {
                return;
            }
            keep = saved.size() - size_t(-qint64(n));
        } else if (n > 0 && size_t(n) <= saved.size()) {
            keep = size_t(n) - 1;
        } else {
            return;
        }
        dc = saved[keep];
        saved.resize(keep);
    }
    void SelectObject(size_t index) {
        if (index >= objects.size()) {
            return;
        }
        const GdiObject& o = objects[index];
        switch (o.kind) {
            case GdiObject::Pen:
                dc.pen = o.pen;
                break;
            case GdiObject::Brush:
                dc.brush = o.brush;
                break;
            case GdiObject::Font:
                dc.font = o.font;
                break;
            default:
                break;
        }
    }

    // Logical to device, without the world transform.
    QTransform PageTransform() const {
        double sx = 1;
        double sy = 1;
        const double mm = unitsPerMm_;
        switch (dc.mapMode) {
            case kMmLoMetric:
                sx = mm / 10, sy = -mm / 10;
                break;
            case kMmHiMetric:
                sx = mm / 100, sy = -mm / 100;
                break;
            case kMmLoEnglish:
                sx = mm * 0.254, sy = -mm * 0.254;
                break;
            case kMmHiEnglish:
                sx = mm * 0.0254, sy = -mm * 0.0254;
                break;
            case kMmTwips:
                sx = mm * 25.4 / 1440, sy = -mm * 25.4 / 1440;
                break;
            case kMmIsotropic:
            case kMmAnisotropic:
                sx = dc.winExt.width() != 0 ? dc.vpExt.width() / dc.winExt.width() : 1;
                sy = dc.winExt.height() != 0 ? dc.vpExt.height() / dc.winExt.height() : 1;
                if (dc.mapMode == kMmIsotropic) {
                    const double s = std::min(std::abs(sx), std::abs(sy));
                    sx = std::copysign(s, sx);
                    sy = std::copysign(s, sy);
                }
                break;
            default:
                break;
        }
        if (dc.mapMode == kMmText) {
            return QTransform(1, 0, 0, 1, dc.vpOrg.x() - dc.winOrg.x(),
                              dc.vpOrg.y() - dc.winOrg.y());
        }
        return QTransform(sx, 0, 0, sy, dc.vpOrg.x() - dc.winOrg.x() * sx,
                          dc.vpOrg.y() - dc.winOrg.y() * sy);
    }
    QTransform LogicalToDevice() const { return dc.world * PageTransform(); }

    // ---- drawing funnel ----
    void Begin(const QTransform& xf) {
        p_->setTransform(out_);
        if (dc.clipped) {
            p_->setClipPath(dc.clip);
        } else {
            p_->setClipping(false);
        }
        p_->setTransform(xf * out_);
        p_->setCompositionMode(dc.rop);
    }

    // path in logical units; fills with the brush when closed, outlines with the pen.
    void DrawPath(const QPainterPath& path, bool fill, bool stroke) {
        if (inPath_) {
            path_.addPath(path);
            return;
        }
        const QTransform xf = LogicalToDevice();
        if (p_ == nullptr) {
            measured |= xf.map(path).boundingRect();
            return;
        }
        Begin(xf);
        p_->setPen(stroke ? dc.pen : QPen(Qt::NoPen));
        if (fill && dc.brush.style() != Qt::NoBrush) {
            QBrush brush = dc.brush;
            if (brush.style() != Qt::SolidPattern && brush.style() != Qt::TexturePattern &&
                dc.opaqueBk) {
                // Hatches show the background colour between their lines.
                p_->setPen(Qt::NoPen);
                p_->fillPath(path, dc.bkColor);
                p_->setPen(stroke ? dc.pen : QPen(Qt::NoPen));
            }
            p_->setBrush(brush);
        } else {
            p_->setBrush(Qt::NoBrush);
        }
        p_->drawPath(path);
    }

    void Polyline(const QPolygonF& pts) {
        QPainterPath path;
        path.addPolygon(pts);
        DrawPath(path, false, true);
    }
    void Polygon(const std::vector<QPolygonF>& polys) {
        QPainterPath path;
        path.setFillRule(dc.fillRule);
        for (const QPolygonF& poly : polys) {
            path.addPolygon(poly);
            path.closeSubpath();
        }
        DrawPath(path, true, true);
    }
    void PolyBezier(const QPolygonF& pts, bool fromCurrent) {
        QPainterPath path;
        int i = 0;
        if (fromCurrent) {
            path.moveTo(dc.pos);
        } else if (!pts.isEmpty()) {
            path.moveTo(pts[0]);
            i = 1;
        }
        for (; i + 2 < pts.size(); i += 3) {
            path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
        }
        if (!pts.isEmpty()) {
            dc.pos = pts.back();
        }
        DrawPath(path, false, true);
    }
    void LineTo(QPointF to) {
        QPainterPath path;
        path.moveTo(dc.pos);
        path.lineTo(to);
        dc.pos = to;
        DrawPath(path, false, true);
    }
    static QRectF Box(double l, double t, double r, double b) {
        return QRectF(QPointF(l, t), QPointF(r, b)).normalized();
    }
    void Rectangle(const QRectF& r) {
        QPainterPath path;
        path.addRect(r);
        DrawPath(path, true, true);
    }
    void RoundRect(const QRectF& r, double w, double h) {
        QPainterPath path;
        path.addRoundedRect(r, std::abs(w) / 2, std::abs(h) / 2);
        DrawPath(path, true, true);
    }
    void Ellipse(const QRectF& r) {
        QPainterPath path;
        path.addEllipse(r);
        DrawPath(path, true, true);
    }
    // Arc, chord (kind 1) or pie (kind 2), counter-clockwise from the start radial to the end.
    void ArcShape(const QRectF& r, QPointF start, QPointF end, int kind) {
        const QPointF c = r.center();
        const double rx = std::max(r.width() / 2, 1e-9);
        const double ry = std::max(r.height() / 2, 1e-9);
        auto angle = [&](QPointF p) {
            return std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx) * 180.0 / M_PI;
        };
        const double a0 = angle(start);
        double sweep = angle(end) - a0;
        while (sweep <= 0) {
            sweep += 360;
        }
        QPainterPath path;
        if (kind == 2) {
            path.moveTo(c);
            path.arcTo(r, a0, sweep);
            path.closeSubpath();
        } else if (kind == 3) {
            path.moveTo(dc.pos);
            path.arcTo(r, a0, sweep);
            dc.pos = path.currentPosition();
        } else {
            path.arcMoveTo(r, a0);
            path.arcTo(r, a0, sweep);
            if (kind == 1) {
                path.closeSubpath();
            }
        }
        DrawPath(path, kind == 1 || kind == 2, true);
    }
    // A line from the current position to the circle's start, then the circle's arc.
    void AngleArc(QPointF centre, double radius, double start, double sweep) {
        const QRectF r(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        QPainterPath path;
        path.moveTo(dc.pos);
        path.arcTo(r, start, sweep);
        dc.pos = path.currentPosition();
        DrawPath(path, false, true);
    }
    // Fills a region of rectangles with a brush, or frames it with a w by h border.
    void Region(const QPainterPath& region, const QBrush& brush, QSizeF frame) {
        QPainterPath shape = region;
        if (!frame.isEmpty()) {
            QPainterPath inner;
            for (const QPolygonF& poly : region.toFillPolygons()) {
                const QRectF b = poly.boundingRect();
                inner.addRect(
                    b.adjusted(frame.width(), frame.height(), -frame.width(), -frame.height()));
            }
            shape = region.subtracted(inner);
        }
        const QBrush saved = dc.brush;
        const QPen pen = dc.pen;
        dc.brush = brush;
        dc.pen = QPen(Qt::NoPen);
        DrawPath(shape, true, false);
        dc.brush = saved;
        dc.pen = pen;
    }
    // Colours blended across rectangles or triangles, in logical units.
    void Gradient(const QPolygonF& shape, const QGradient& gradient) {
        QPainterPath path;
        path.addPolygon(shape);
        path.closeSubpath();
        const QBrush saved = dc.brush;
        const QPen pen = dc.pen;
        dc.brush = QBrush(gradient);
        dc.pen = QPen(Qt::NoPen);
        DrawPath(path, true, false);
        dc.brush = saved;
        dc.pen = pen;
    }
    void SetPixel(QPointF at, QColor color) {
        const QTransform xf = LogicalToDevice();
        const QPointF d = xf.map(at);
        if (p_ == nullptr) {
            measured |= QRectF(d, QSizeF(1, 1));
            return;
        }
        Begin(QTransform());
        p_->fillRect(QRectF(d, QSizeF(1, 1)), color);
    }

    // Text at a logical reference point; dx: optional advances in logical units.
    void Text(QPointF ref, const QString& text, const std::optional<QRectF>& opaqueRect,
              bool updateCp) {
        const QTransform xf = LogicalToDevice();
        if (opaqueRect && p_ != nullptr) {
            Begin(xf);
            p_->fillRect(*opaqueRect, dc.bkColor);
        }
        if (text.isEmpty()) {
            return;
        }
        if (updateCp) {
            ref = dc.pos;
        }
        // Text is drawn upright in device space, sized by the vertical scale.
        const double scale = std::sqrt(std::abs(xf.determinant()));
        QFont font(dc.font.face.isEmpty() ? QStringLiteral("Sans Serif") : dc.font.face);
        const double height = std::abs(dc.font.height) * scale;
        font.setPixelSize(std::clamp(int(std::lround(height > 0 ? height : 12 * scale)), 1, 4096));
        font.setWeight(
            QFont::Weight(std::clamp(dc.font.weight <= 0 ? 400 : dc.font.weight, 100, 900)));
        font.setItalic(dc.font.italic);
        font.setUnderline(dc.font.underline);
        font.setStrikeOut(dc.font.strikeOut);
        const QFontMetricsF fm(font);
        const double width = fm.horizontalAdvance(text);
        double x = 0;
        double y = 0;
        switch (dc.textAlign & 6) {
            case 6:  // TA_CENTER
                x = -width / 2;
                break;
            case 2:  // TA_RIGHT
                x = -width;
                break;
            default:
                break;
        }
        switch (dc.textAlign & 24) {
            case 24:  // TA_BASELINE
                break;
            case 8:  // TA_BOTTOM
                y = -fm.descent();
                break;
            default:  // TA_TOP
                y = fm.ascent();
                break;
        }
        const QPointF d = xf.map(ref);
        const double rotation = -dc.font.escapement / 10.0;
        QTransform local;
        local.translate(d.x(), d.y());
        local.rotate(rotation);
        if (updateCp) {
            dc.pos = ref + QPointF(width / std::max(scale, 1e-9), 0);
        }
        const QRectF box(x, y - fm.ascent(), width, fm.height());
        if (p_ == nullptr) {
            measured |= local.mapRect(box);
            return;
        }
        Begin(local);
        if (dc.opaqueBk && !opaqueRect) {
            p_->fillRect(box, dc.bkColor);
        }
        p_->setFont(font);
        p_->setPen(dc.textColor);
        p_->drawText(QPointF(x, y), text);
    }

    // A bitmap stretched into a logical rectangle; src in the bitmap's pixels.
    void Blit(const QRectF& dest, const QImage& image, QRectF src, quint32 rop) {
        if (p_ == nullptr) {
            measured |= LogicalToDevice().mapRect(dest);
            return;
        }
        if (image.isNull()) {
            return;
        }
        if (src.isEmpty()) {
            src = image.rect();
        }
        // A DIB's rows run bottom-up; the source rectangle is given top-down.
        Begin(LogicalToDevice());
        switch (rop) {
            case 0x008800C6:  // SRCAND
                p_->setCompositionMode(QPainter::CompositionMode_Multiply);
                break;
            case 0x00EE0086:  // SRCPAINT
                p_->setCompositionMode(QPainter::CompositionMode_Lighten);
                break;
            case 0x00660046:  // SRCINVERT
                p_->setCompositionMode(QPainter::CompositionMode_Difference);
                break;
            default:
                break;
        }
        p_->drawImage(dest, image, src);
    }
    // A rop without a source: pattern, black or white.
    void PatBlt(const QRectF& dest, quint32 rop) {
        QBrush brush;
        switch (rop) {
            case 0x00000042:  // BLACKNESS
                brush = QBrush(Qt::black);
                break;
            case 0x00FF0062:  // WHITENESS
                brush = QBrush(Qt::white);
                break;
            case 0x00F00021:  // PATCOPY
                brush = dc.brush;
                break;
            default:
                return;
        }
        if (p_ == nullptr) {
            measured |= LogicalToDevice().mapRect(dest);
            return;
        }
        Begin(LogicalToDevice());
        p_->fillRect(dest, brush);
    }

    // ---- clipping, in logical rectangles ----
    QPainterPath DeviceRect(const QRectF& r) const {
        QPainterPath path;
        path.addPolygon(LogicalToDevice().map(QPolygonF(r)));
        path.closeSubpath();
        return path;
    }
    void IntersectClip(const QPainterPath& device) {
        dc.clip = dc.clipped ? dc.clip.intersected(device) : device;
        dc.clipped = true;
    }
    void ExcludeClip(const QPainterPath& device) {
        if (!dc.clipped) {
            QPainterPath all;
            all.addRect(QRectF(-1e7, -1e7, 2e7, 2e7));
            dc.clip = all;
            dc.clipped = true;
        }
        dc.clip = dc.clip.subtracted(device);
    }

    // ---- paths ----
    void BeginPath() {
        inPath_ = true;
        path_ = QPainterPath();
    }
    void EndPath() { inPath_ = false; }
    void CloseFigure() {
        if (inPath_) {
            path_.closeSubpath();
        }
    }
    void UsePath(bool fill, bool stroke) {
        inPath_ = false;
        path_.setFillRule(dc.fillRule);
        DrawPath(path_, fill, stroke);
        path_ = QPainterPath();
    }
    void ClipToPath() {
        inPath_ = false;
        IntersectClip(LogicalToDevice().map(path_));
        path_ = QPainterPath();
    }

  private:
    QPainter* p_;
    QTransform out_;
    double unitsPerMm_;
    bool inPath_ = false;
    QPainterPath path_;
};

QPen MakePen(quint32 style, double width, QColor color);
QBrush MakeBrush(quint32 style, QColor color, quint32 hatch);
// Stock objects of the enhanced format, selected by index with the top bit set.
void SelectStock(GdiPlayer& g, quint32 index);

}  // namespace pictures::gdi
