#include "pictures/svg_reader.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <algorithm>
#include <climits>
#include <cmath>

namespace pictures {

namespace {

constexpr double kSurfaceSpan = 383.0;  // pixels 0..383
constexpr double kUnitsPerPixel = model::kUnitsPerPixel;
constexpr double kCentre = model::kCentrePixel;
constexpr int kMaxCurveDepth = 16;

double SegmentDistance(QPointF p, QPointF a, QPointF b) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double l2 = dx * dx + dy * dy;
    double t = l2 > 0 ? ((p.x() - a.x()) * dx + (p.y() - a.y()) * dy) / l2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x() - (a.x() + t * dx), p.y() - (a.y() + t * dy));
}

// The paint engine that keeps what is painted as paths in device pixels.
class RecordingEngine : public QPaintEngine {
  public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    std::vector<model::Path> paths;
    double lengthPixels = 0;
    size_t points = 0;
    int textLeftOut = 0;
    bool tooComplex = false;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return QPaintEngine::User; }

    void drawPath(const QPainterPath& path) override {
        const QPainter* p = painter();
        const bool filled = p->brush().style() != Qt::NoBrush;
        const bool stroked =
            p->pen().style() != Qt::NoPen && p->pen().brush().style() != Qt::NoBrush;
        if (filled || stroked) {
            record(path, filled);
        }
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        QPainterPath path;
        for (int i = 0; i < count; ++i) {
            i == 0 ? path.moveTo(points[i]) : path.lineTo(points[i]);
        }
        if (mode != PolylineMode) {
            path.closeSubpath();
        }
        drawPath(path);
    }
    // Pictures and dots are not contour lines.
    void drawPoints(const QPointF*, int) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
    }
    // The base engine paints text as the glyphs' outlines, or as pictures of colour glyphs.
    void drawTextItem(const QPointF& at, const QTextItem& text) override {
        const size_t before = paths.size();
        QPaintEngine::drawTextItem(at, text);
        textLeftOut += paths.size() == before ? 1 : 0;
    }

  private:
    void record(const QPainterPath& path, bool filled) {
        const QTransform t = painter()->combinedTransform();
        std::vector<QPointF> sub;
        const auto finish = [&] {
            flush(sub, filled);
            sub.clear();
        };
        const int n = path.elementCount();
        for (int i = 0; i < n && !tooComplex; ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            const QPointF p = t.map(QPointF(e.x, e.y));
            if (e.type == QPainterPath::MoveToElement) {
                finish();
                sub.push_back(p);
            } else if (e.type == QPainterPath::LineToElement) {
                sub.push_back(p);
            } else if (e.type == QPainterPath::CurveToElement && i + 2 < n && !sub.empty()) {
                const QPointF c2 = t.map(QPointF(path.elementAt(i + 1).x, path.elementAt(i + 1).y));
                const QPointF to = t.map(QPointF(path.elementAt(i + 2).x, path.elementAt(i + 2).y));
                Cubic(sub.back(), p, c2, to, 0, sub);
                i += 2;
            }
            if (points + sub.size() > kMaxSvgPoints) {
                tooComplex = true;
            }
        }
        finish();
    }

    // Splits the curve in halves until its control points lie within the flatness of the
    // chord; the curve lies inside their hull, so then the chord is close enough.
    static void Cubic(QPointF p0, QPointF p1, QPointF p2, QPointF p3, int depth,
                      std::vector<QPointF>& out) {
        if (depth >= kMaxCurveDepth || (SegmentDistance(p1, p0, p3) <= kSvgFlatness &&
                                        SegmentDistance(p2, p0, p3) <= kSvgFlatness)) {
            out.push_back(p3);
            return;
        }
        const QPointF a = (p0 + p1) / 2;
        const QPointF b = (p1 + p2) / 2;
        const QPointF c = (p2 + p3) / 2;
        const QPointF ab = (a + b) / 2;
        const QPointF bc = (b + c) / 2;
        const QPointF mid = (ab + bc) / 2;
        Cubic(p0, a, ab, mid, depth + 1, out);
        Cubic(mid, bc, c, p3, depth + 1, out);
    }

    void flush(const std::vector<QPointF>& sub, bool filled) {
        model::Path path;
        path.points.reserve(sub.size());
        for (const QPointF& p : sub) {
            if (!std::isfinite(p.x()) || !std::isfinite(p.y())) {
                return;  // a degenerate transform; nothing sensible was painted
            }
            // Kept on the surface, so that lengths stay bounded whatever the file says.
            const double x = std::clamp(p.x(), 0.0, kSurfaceSpan);
            const double y = std::clamp(p.y(), 0.0, kSurfaceSpan);
            const model::PathPoint q{(x - kCentre) * kUnitsPerPixel,
                                     (y - kCentre) * kUnitsPerPixel};
            if (!path.points.empty()) {
                const model::PathPoint& last = path.points.back();
                const double step = std::hypot(q.x - last.x, q.y - last.y);
                if (step == 0) {
                    continue;
                }
                lengthPixels += step / kUnitsPerPixel;
            }
            path.points.push_back(q);
        }
        if (path.points.size() < 2) {
            return;  // a lone point draws no line
        }
        const model::PathPoint& first = path.points.front();
        const model::PathPoint& last = path.points.back();
        const bool returns = std::hypot(first.x - last.x, first.y - last.y) < kUnitsPerPixel / 100;
        if (returns) {
            path.points.pop_back();
        } else if (filled) {
            lengthPixels += std::hypot(first.x - last.x, first.y - last.y) / kUnitsPerPixel;
        }
        path.closed = (returns || filled) && path.points.size() > 2;
        points += path.points.size();
        paths.push_back(std::move(path));
    }
};

class RecordingDevice : public QPaintDevice {
  public:
    QPaintEngine* paintEngine() const override { return &engine_; }
    RecordingEngine& engine() { return engine_; }

  protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmWidth:
            case PdmHeight:
                return int(kSurfaceSpan) + 1;
            case PdmWidthMM:
            case PdmHeightMM:
                return (int(kSurfaceSpan) + 1) * 254 / 960;
            case PdmNumColors:
                return INT_MAX;
            case PdmDepth:
                return 32;
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return 96;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return int(devicePixelRatioFScale());
        }
        return 0;
    }

  private:
    mutable RecordingEngine engine_;
};

// preserveAspectRatio of the root element: where the viewBox goes in the document's area.
struct AspectRatio {
    bool none = false;
    bool slice = false;
    double alignX = 0.5;  // 0 min, 0.5 mid, 1 max
    double alignY = 0.5;
};

AspectRatio RootAspectRatio(const QByteArray& bytes) {
    AspectRatio a;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd() && !xml.hasError()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        const QStringList words = xml.attributes()
                                      .value(QStringLiteral("preserveAspectRatio"))
                                      .toString()
                                      .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& w : words) {
            if (w == QStringLiteral("none")) {
                a.none = true;
            } else if (w == QStringLiteral("slice")) {
                a.slice = true;
            } else if (w.size() == 8 && w.startsWith(QLatin1Char('x'))) {
                const auto align = [](QStringView s) {
                    return s == u"Min" ? 0.0 : (s == u"Max" ? 1.0 : 0.5);
                };
                a.alignX = align(QStringView(w).mid(1, 3));
                a.alignY = align(QStringView(w).mid(5, 3));
            }
        }
        break;  // only the root element
    }
    return a;
}

}  // namespace

SvgDrawing ReadSvg(const QByteArray& bytes) {
    SvgDrawing result;
    QSvgRenderer renderer;
    if (!renderer.load(bytes) || !renderer.isValid()) {
        result.error = QStringLiteral("это не рисунок SVG или он повреждён");
        return result;
    }
    const QRectF viewBox = renderer.viewBoxF();
    QSizeF area = QSizeF(renderer.defaultSize());
    if (area.isEmpty()) {
        area = viewBox.size();
    }
    if (area.isEmpty() || viewBox.isEmpty() || !std::isfinite(area.width()) ||
        !std::isfinite(area.height())) {
        result.error = QStringLiteral("у рисунка нет размеров");
        return result;
    }
    // The viewBox inside the document's area.
    const AspectRatio ar = RootAspectRatio(bytes);
    QRectF target(QPointF(0, 0), area);
    if (!ar.none) {
        const double sx = area.width() / viewBox.width();
        const double sy = area.height() / viewBox.height();
        const double s = ar.slice ? std::max(sx, sy) : std::min(sx, sy);
        const QSizeF size(viewBox.width() * s, viewBox.height() * s);
        target = QRectF(QPointF((area.width() - size.width()) * ar.alignX,
                                (area.height() - size.height()) * ar.alignY),
                        size);
    }
    // The document's area fitted into the surface.
    const double k = kSurfaceSpan / std::max(area.width(), area.height());
    const QPointF offset((kSurfaceSpan - area.width() * k) / 2,
                         (kSurfaceSpan - area.height() * k) / 2);
    target = QRectF(offset + target.topLeft() * k, target.size() * k);

    RecordingDevice device;
    {
        QPainter painter(&device);
        renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
        renderer.render(&painter, target);
    }
    RecordingEngine& e = device.engine();
    if (e.tooComplex) {
        result.error = QStringLiteral("рисунок слишком сложен: больше %1 точек").arg(kMaxSvgPoints);
        return result;
    }
    result.paths = std::move(e.paths);
    result.lengthPixels = e.lengthPixels;
    result.textLeftOut = e.textLeftOut;
    return result;
}

}  // namespace pictures
