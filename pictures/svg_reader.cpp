#include "pictures/svg_reader.h"

#include <QCoreApplication>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "pictures/svg_document.h"
#include "pictures/svg_lines.h"

namespace pictures {

namespace {

using svg::Mark;

constexpr double kSurfaceSpan = 383.0;  // pixels 0..383
constexpr double kUnitsPerPixel = model::kUnitsPerPixel;
constexpr double kCentre = model::kCentrePixel;
constexpr double kDistinct = 0.01;  // pixels: nearer points are one
// A colour whose brightest channel is below this is too dark for the beam.
constexpr int kDarkestLaserChannel = 48;

bool Shows(const QBrush& b) {
    if (b.style() == Qt::NoBrush) {
        return false;
    }
    if (const QGradient* g = b.gradient()) {
        const QGradientStops stops = g->stops();
        return std::any_of(stops.begin(), stops.end(),
                           [](const QGradientStop& s) { return s.second.alpha() > 0; });
    }
    return b.style() == Qt::TexturePattern || b.color().alpha() > 0;
}

bool Opaque(const QBrush& b) {
    if (const QGradient* g = b.gradient()) {
        const QGradientStops stops = g->stops();
        return std::all_of(stops.begin(), stops.end(),
                           [](const QGradientStop& s) { return s.second.alpha() == 255; });
    }
    return b.style() == Qt::SolidPattern && b.color().alpha() == 255;
}

// The colour a brush paints in: a gradient's by its first visible stop.
QRgb ColourOf(const QBrush& b) {
    if (const QGradient* g = b.gradient()) {
        for (const QGradientStop& s : g->stops()) {
            if (s.second.alpha() > 0) {
                return s.second.rgb();
            }
        }
    }
    return b.color().rgb();
}

// Identical geometry hashes alike.
size_t Hash(const QPainterPath& path) {
    size_t h = size_t(path.elementCount());
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        h = h * 1'000'003u ^ std::hash<double>()(e.x);
        h = h * 1'000'003u ^ std::hash<double>()(e.y) ^ size_t(e.type);
    }
    return h;
}

// The paint engine that keeps what is painted as shapes in device pixels, and clip paths and
// masks as the regions they let show, following the marks svg_document.h puts in the document.
class RecordingEngine : public QPaintEngine {
  public:
    explicit RecordingEngine(const std::vector<svg::ClipUse>& clips)
        : QPaintEngine(QPaintEngine::AllFeatures), clips_(clips) {}

    svg::Painted painted;
    int textLeftOut = 0;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return QPaintEngine::User; }

    void drawPath(const QPainterPath& path) override {
        if (path.elementCount() == 2 && path.elementAt(0).x == svg::kMarkX &&
            path.elementAt(1).x == svg::kMarkX) {
            mark(path.elementAt(0).y, path.elementAt(1).y);
            return;
        }
        const QPainter* p = painter();
        const QTransform t = p->combinedTransform();
        if (!frames_.empty() && frames_.back().clipping) {
            clipPart(t.map(path), *p);
            return;
        }
        const double opacity = p->opacity();
        const bool filled = opacity > 0 && Shows(p->brush());
        const bool stroked =
            opacity > 0 && p->pen().style() != Qt::NoPen && Shows(p->pen().brush());
        if (!filled && !stroked) {
            return;  // paints nothing that can be seen
        }
        svg::Shape s;
        s.path = t.map(path);
        s.region = frames_.empty() ? -1 : frames_.back().region;
        s.closes = filled;
        s.hides = filled && opacity >= 1 && Opaque(p->brush());
        s.stroked = stroked;
        s.colour = stroked ? ColourOf(p->pen().brush()) : ColourOf(p->brush());
        // The same outline painted again (the stroke after the fill of one shape, or a copy of
        // it) is one line, drawn where it is painted last.
        const size_t key = Hash(s.path);
        auto [same, end] = seen_.equal_range(key);
        for (; same != end; ++same) {
            svg::Shape& before = painted.shapes[same->second];
            if (before.line && before.region == s.region && before.path == s.path) {
                before.line = false;
                s.closes = s.closes || before.closes;
                if (!s.stroked && before.stroked) {
                    s.stroked = true;
                    s.colour = before.colour;
                }
                break;
            }
        }
        seen_.emplace(key, painted.shapes.size());
        painted.shapes.push_back(std::move(s));
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        QPainterPath path;
        for (int i = 0; i < count; ++i) {
            i == 0 ? path.moveTo(points[i]) : path.lineTo(points[i]);
        }
        if (mode != PolylineMode) {
            path.closeSubpath();
        }
        path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
        drawPath(path);
    }
    // Pictures and dots are not contour lines.
    void drawPoints(const QPointF*, int) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
    }
    // The base engine paints text as the glyphs' outlines, or as pictures of colour glyphs.
    void drawTextItem(const QPointF& at, const QTextItem& text) override {
        const size_t before = painted.shapes.size();
        QPaintEngine::drawTextItem(at, text);
        textLeftOut += painted.shapes.size() == before && !clipping() ? 1 : 0;
    }

  private:
    // A part of the drawing with a clip path or a mask: the marks around it say where it
    // begins, where the shapes of its clip path begin and where they end.
    struct Frame {
        int number;
        int region;
        bool clipping = false;
        size_t firstShape;
        QTransform at;  // the part's user space
    };

    bool clipping() const { return !frames_.empty() && frames_.back().clipping; }

    // A mark's kind and number as its path gives them; a file's own path that looks like a
    // mark may give anything.
    void mark(double kindGiven, double numberGiven) {
        if (!(numberGiven >= 0 && numberGiven < double(clips_.size())) ||
            !(kindGiven >= 1 && kindGiven <= 3)) {
            return;
        }
        const Mark kind = Mark(int(kindGiven));
        const int number = int(numberGiven);
        // A mark repeats when a style sheet gives marks a stroke too; shapes of a clip path
        // are not clipped again.
        const bool open = std::any_of(frames_.begin(), frames_.end(),
                                      [number](const Frame& f) { return f.number == number; });
        const bool top = !frames_.empty() && frames_.back().number == number;
        if (kind == Mark::Clipped && !open && !clipping()) {
            const int parent = frames_.empty() ? -1 : frames_.back().region;
            frames_.push_back({number, int(painted.regions.size()), false, painted.shapes.size(),
                               painter()->combinedTransform()});
            painted.regions.push_back({{}, parent});
        } else if (kind == Mark::Clip && top) {
            frames_.back().clipping = true;
        } else if (kind == Mark::End && top) {
            finish(frames_.back());
            frames_.pop_back();
        }
    }

    void clipPart(QPainterPath part, const QPainter& p) {
        std::vector<QPainterPath>& parts = painted.regions[size_t(frames_.back().region)].parts;
        if (clips_[size_t(frames_.back().number)].mask) {
            // A mask shows the part where its fills are light: black and transparent hide.
            const QBrush& b = p.brush();
            const bool light = p.opacity() > 0 && Shows(b) &&
                               (b.gradient() != nullptr || b.style() == Qt::TexturePattern ||
                                qGray(b.color().rgb()) > 0);
            if (!light) {
                return;
            }
        }
        if (parts.empty() || !(parts.back() == part)) {
            parts.push_back(std::move(part));
        }
    }

    // A clip path in fractions of the clipped part's bounds is scaled to them now.
    void finish(const Frame& f) {
        if (!clips_[size_t(f.number)].boundingBox) {
            return;
        }
        std::vector<QPainterPath>& parts = painted.regions[size_t(f.region)].parts;
        bool invertible = false;
        const QTransform toUser = f.at.inverted(&invertible);
        QRectF box;
        for (size_t i = f.firstShape; invertible && i < painted.shapes.size(); ++i) {
            box |= toUser.map(painted.shapes[i].path).boundingRect();
        }
        if (!invertible || box.width() <= 0 || box.height() <= 0) {
            parts.clear();
            return;
        }
        const QTransform place =
            toUser * QTransform(box.width(), 0, 0, box.height(), box.x(), box.y()) * f.at;
        for (QPainterPath& part : parts) {
            part = place.map(part);
        }
    }

    const std::vector<svg::ClipUse>& clips_;
    std::vector<Frame> frames_;
    std::unordered_multimap<size_t, size_t> seen_;  // outline hash -> shape
};

class RecordingDevice : public QPaintDevice {
  public:
    explicit RecordingDevice(const std::vector<svg::ClipUse>& clips) : engine_(clips) {}
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

// A line's colour for the beam. A colour too dark for a laser to show (black clip-art lines
// above all) is drawn in the line colour of the settings instead, as a default point.
model::PointStyle LaserStyle(QRgb colour) {
    if (std::max({qRed(colour), qGreen(colour), qBlue(colour)}) < kDarkestLaserChannel) {
        return {};
    }
    return model::PointStyle::Colour(colour & 0xFFFFFFu);
}

// A line in contour units, its points distinct; false when fewer than two are left.
bool ToPath(const svg::Line& line, model::Path& path, double& lengthPixels) {
    path.points.clear();
    path.points.reserve(line.points.size());
    const double distinct = kDistinct * kUnitsPerPixel;
    const auto gap = [](const model::PathPoint& a, const model::PathPoint& b) {
        return std::hypot(a.x - b.x, a.y - b.y);
    };
    double length = 0;
    for (const QPointF& p : line.points) {
        // On the surface whatever rounding left.
        const double x = std::clamp(p.x(), 0.0, kSurfaceSpan);
        const double y = std::clamp(p.y(), 0.0, kSurfaceSpan);
        const model::PathPoint q{(x - kCentre) * kUnitsPerPixel, (y - kCentre) * kUnitsPerPixel};
        if (!path.points.empty()) {
            const double step = gap(path.points.back(), q);
            if (step < distinct) {
                continue;
            }
            length += step;
        }
        path.points.push_back(q);
    }
    if (line.closed && path.points.size() > 1 &&
        gap(path.points.front(), path.points.back()) < distinct) {
        length -= gap(path.points[path.points.size() - 2], path.points.back());
        path.points.pop_back();
    }
    path.closed = line.closed && path.points.size() > 2;
    path.style = LaserStyle(line.colour);
    if (path.closed) {
        length += gap(path.points.back(), path.points.front());
    }
    lengthPixels += length / kUnitsPerPixel;
    return path.points.size() >= 2;
}

}  // namespace

SvgDrawing ReadSvg(const QByteArray& bytes, const SvgOptions& options) {
    SvgDrawing result;
    const svg::Document doc = svg::Prepare(bytes);
    QSvgRenderer renderer;
    if (!doc.ok || !renderer.load(doc.bytes) || !renderer.isValid()) {
        result.error =
            QCoreApplication::translate("pictures", "это не рисунок SVG или он повреждён");
        return result;
    }
    const QRectF viewBox = renderer.viewBoxF();
    QSizeF area = doc.size.isEmpty() ? QSizeF(renderer.defaultSize()) : doc.size;
    if (area.isEmpty()) {
        area = viewBox.size();
    }
    if (area.isEmpty() || viewBox.isEmpty() || !std::isfinite(area.width()) ||
        !std::isfinite(area.height())) {
        result.error = QCoreApplication::translate("pictures", "у рисунка нет размеров");
        return result;
    }
    // The viewBox inside the document's area; without one, Qt SVG's stands for the area at
    // its own count of pixels to the inch, and the drawing's user unit is one CSS pixel.
    const svg::AspectRatio& ar = doc.aspect;
    QRectF target(QPointF(0, 0), area);
    if (!doc.viewBox) {
        target.setSize(viewBox.size());
    } else if (!ar.none) {
        const double sx = area.width() / viewBox.width();
        const double sy = area.height() / viewBox.height();
        const double s = ar.slice ? std::max(sx, sy) : std::min(sx, sy);
        const QSizeF size(viewBox.width() * s, viewBox.height() * s);
        target = QRectF(QPointF((area.width() - size.width()) * ar.alignX,
                                (area.height() - size.height()) * ar.alignY),
                        size);
    }
    // The document's area fitted into the surface: the page pixels the shapes are recorded in.
    const double k = kSurfaceSpan / std::max(area.width(), area.height());
    const QPointF offset((kSurfaceSpan - area.width() * k) / 2,
                         (kSurfaceSpan - area.height() * k) / 2);
    target = QRectF(offset + target.topLeft() * k, target.size() * k);

    RecordingDevice device(doc.clips);
    {
        QPainter painter(&device);
        renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
        renderer.render(&painter, target);
    }
    RecordingEngine& e = device.engine();
    e.painted.page = QRectF(offset, area * k);
    const svg::Lines lines =
        svg::DrawnLines(e.painted, options.visibleOnly, options.wholePage, kMaxSvgPoints);
    if (lines.complexity == svg::Complexity::TooManyPoints) {
        result.error =
            QCoreApplication::translate("pictures", "рисунок слишком сложен: больше %1 точек")
                .arg(kMaxSvgPoints);
        return result;
    }
    if (lines.complexity == svg::Complexity::TooDetailedClips) {
        result.error = QCoreApplication::translate(
            "pictures", "рисунок слишком сложен: слишком подробны его обрезки");
        return result;
    }
    result.page = lines.page;
    model::Path path;
    for (const svg::Line& line : lines.lines) {
        if (ToPath(line, path, result.lengthPixels)) {
            result.paths.push_back(std::move(path));
            path = {};
        }
    }
    result.textLeftOut = e.textLeftOut;
    return result;
}

}  // namespace pictures
