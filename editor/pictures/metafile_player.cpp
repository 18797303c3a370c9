#include "editor/pictures/metafile_player.h"

#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <cmath>
#include <optional>
#include <vector>

#include "editor/pictures/bitmap_reader.h"

namespace editor::pictures {

namespace {

const QString kMetafileError = QStringLiteral("Metafile is not valid");

constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr quint32 kEmfSignature = 0x464D4520;  // " EMF"
constexpr int kMaxSavedStates = 1024;
constexpr int kMaxObjects = 65535;
constexpr int kMaxPolyPoints = 1 << 20;

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

QColor ColorRef(quint32 c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// Text bytes of the narrow records, in the font's character set.
QString Narrow(const QByteArray& bytes, int charset) {
    if (charset != 204) {  // RUSSIAN_CHARSET
        return QString::fromLatin1(bytes);
    }
    QString s;
    s.reserve(bytes.size());
    for (char ch : bytes) {
        const auto c = quint8(ch);
        if (c >= 0xC0) {
            s += QChar(0x0410 + (c - 0xC0));
        } else if (c == 0xA8) {
            s += QChar(0x0401);
        } else if (c == 0xB8) {
            s += QChar(0x0451);
        } else {
            s += QChar(char16_t(c));
        }
    }
    return s;
}

// A DIB as stored in a record (header, colour table, bits) made into a bitmap file so that
// the bitmap reader, with all its checks, can decode it.
QImage DibImage(const QByteArray& info, const QByteArray& bits) {
    if (info.size() < 12) {
        return QImage();
    }
    const quint32 headerSize = qFromLittleEndian<quint32>(info.constData());
    if (headerSize > quint32(info.size())) {
        return QImage();
    }
    QByteArray file;
    file.reserve(14 + info.size() + bits.size());
    const quint32 total = quint32(14 + info.size() + bits.size());
    const quint32 offBits = quint32(14 + info.size());
    file.append("BM", 2);
    char le[4];
    qToLittleEndian<quint32>(total, le);
    file.append(le, 4);
    file.append(4, '\0');
    qToLittleEndian<quint32>(offBits, le);
    file.append(le, 4);
    file.append(info);
    file.append(bits);
    ImageResult r = DecodeBitmap(file);
    return r.ok() ? r.image : QImage();
}

// Colour-table size of a DIB header, to split a packed DIB into header and bits.
qsizetype DibInfoSize(const QByteArray& dib) {
    if (dib.size() < 12) {
        return -1;
    }
    const quint32 headerSize = qFromLittleEndian<quint32>(dib.constData());
    if (headerSize == 12) {
        const int bitCount = qFromLittleEndian<quint16>(dib.constData() + 10);
        return 12 + (bitCount <= 8 ? (qsizetype(1) << bitCount) * 3 : 0);
    }
    if (headerSize < 40 || headerSize > quint32(dib.size())) {
        return -1;
    }
    const int bitCount = qFromLittleEndian<quint16>(dib.constData() + 14);
    const quint32 compression = qFromLittleEndian<quint32>(dib.constData() + 16);
    quint32 used = qFromLittleEndian<quint32>(dib.constData() + 32);
    if (used == 0 && bitCount <= 8) {
        used = 1u << bitCount;
    }
    if (used > 256 && bitCount <= 8) {
        return -1;
    }
    qsizetype size = headerSize + qsizetype(used) * 4;
    if (headerSize == 40 && (compression == 3 || compression == 6)) {
        size += compression == 3 ? 12 : 16;
    }
    return size;
}

QImage PackedDibImage(const QByteArray& dib) {
    const qsizetype info = DibInfoSize(dib);
    if (info < 0 || info > dib.size()) {
        return QImage();
    }
    return DibImage(dib.left(info), dib.mid(info));
}

// A device-dependent bitmap of the old records: type, width, height, bytes per row,
// planes, bits per pixel, then the rows top-down. Monochrome and true-colour ones are read.
QImage Bitmap16Image(const QByteArray& bytes) {
    if (bytes.size() < 10) {
        return QImage();
    }
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const int width = qFromLittleEndian<qint16>(d + 2);
    const int height = qFromLittleEndian<qint16>(d + 4);
    const int stride = qFromLittleEndian<qint16>(d + 6);
    const int bits = d[9];
    if (width <= 0 || height <= 0 || stride <= 0 || (bits != 1 && bits != 24 && bits != 32) ||
        qint64(stride) * 8 < qint64(width) * bits || 10 + qint64(stride) * height > bytes.size()) {
        return QImage();
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    for (int y = 0; y < height; ++y) {
        const uchar* row = d + 10 + qsizetype(stride) * y;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (bits == 1) {
                out[x] = (row[x / 8] >> (7 - x % 8)) & 1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            } else {
                const uchar* px = row + x * (bits / 8);
                out[x] = qRgb(px[2], px[1], px[0]);
            }
        }
    }
    return image;
}

// The part of a bitmap a blit takes: the given source rectangle where it lies inside the
// bitmap, or the whole bitmap when it does not.
QRectF SourceIn(const QImage& image, const QRectF& src) {
    const QRectF inside = src.normalized() & QRectF(image.rect());
    return inside.isEmpty() ? QRectF(image.rect()) : inside;
}

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
        QColor fill;
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

QPen MakePen(quint32 style, double width, QColor color) {
    if ((style & 0xF) == 5) {  // PS_NULL
        return QPen(Qt::NoPen);
    }
    QPen pen(color, width <= 0 ? 0 : width);
    switch (style & 0xF) {
        case 1:
            pen.setStyle(Qt::DashLine);
            break;
        case 2:
            pen.setStyle(Qt::DotLine);
            break;
        case 3:
            pen.setStyle(Qt::DashDotLine);
            break;
        case 4:
            pen.setStyle(Qt::DashDotDotLine);
            break;
        default:
            break;
    }
    switch (style & 0xF00) {
        case 0x100:
            pen.setCapStyle(Qt::SquareCap);
            break;
        case 0x200:
            pen.setCapStyle(Qt::FlatCap);
            break;
        default:
            pen.setCapStyle(Qt::RoundCap);
            break;
    }
    switch (style & 0xF000) {
        case 0x1000:
            pen.setJoinStyle(Qt::BevelJoin);
            break;
        case 0x2000:
            pen.setJoinStyle(Qt::MiterJoin);
            break;
        default:
            pen.setJoinStyle(Qt::RoundJoin);
            break;
    }
    return pen;
}

QBrush MakeBrush(quint32 style, QColor color, quint32 hatch) {
    switch (style) {
        case 0:
            return QBrush(color);
        case 1:
            return QBrush(Qt::NoBrush);
        case 2: {
            static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                          Qt::BDiagPattern, Qt::FDiagPattern,
                                                          Qt::CrossPattern, Qt::DiagCrossPattern};
            return QBrush(color, hatch < 6 ? kHatches[hatch] : Qt::SolidPattern);
        }
        default:
            return QBrush(color);
    }
}

// Stock objects of the enhanced format, selected by index with the top bit set.
void SelectStock(GdiPlayer& g, quint32 index) {
    switch (index & 0x7FFFFFFF) {
        case 0:
            g.dc.brush = QBrush(Qt::white);
            break;
        case 1:
            g.dc.brush = QBrush(QColor(192, 192, 192));
            break;
        case 2:
            g.dc.brush = QBrush(QColor(128, 128, 128));
            break;
        case 3:
            g.dc.brush = QBrush(QColor(64, 64, 64));
            break;
        case 4:
            g.dc.brush = QBrush(Qt::black);
            break;
        case 5:
            g.dc.brush = QBrush(Qt::NoBrush);
            break;
        case 6:
            g.dc.pen = QPen(QColor(Qt::white), 0);
            break;
        case 7:
            g.dc.pen = QPen(QColor(Qt::black), 0);
            break;
        case 8:
            g.dc.pen = QPen(Qt::NoPen);
            break;
        default:
            if ((index & 0x7FFFFFFF) >= 10 && (index & 0x7FFFFFFF) <= 17) {
                g.dc.font = LogFont();
            }
            break;
    }
}

// ---------------------------------------------------------------- WMF

struct WmfLayout {
    qsizetype recordsAt = 0;
    QRectF frame;  // in the file's logical units
    double unitsPerInch = 96;
    bool placeable = false;
    int objectCount = 0;
};

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

// ---------------------------------------------------------------- EMF

struct EmfLayout {
    QRectF frameDevice;  // the picture frame in reference-device pixels
    QSizeF frameMm;      // in millimetres
    double unitsPerMm = 96 / 25.4;
    quint32 bytes = 0;
    quint32 handles = 0;
};

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

// The first window a plain metafile sets, which is what its author meant as the picture.
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
        return PictureResult::Fail(kMetafileError);
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
            return PictureResult::Fail(kMetafileError);
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
        info.error = kMetafileError;
        return info;
    }
    info.size = s->size;
    return info;
}

PictureResult PlayMetafile(const QByteArray& data, QSize area) {
    const auto s = Prepare(data);
    if (!s) {
        return PictureResult::Fail(kMetafileError);
    }
    const QRect rect = FitRect(s->size, area);
    if (rect.isEmpty()) {
        return PictureResult::Fail(kMetafileError);
    }
    return Render(data, *s, rect);
}

PictureResult RenderMetafile(const QByteArray& data, QSize size) {
    const auto s = Prepare(data);
    if (!s || size.isEmpty()) {
        return PictureResult::Fail(kMetafileError);
    }
    return Render(data, *s, QRect(QPoint(0, 0), size));
}

}  // namespace editor::pictures
