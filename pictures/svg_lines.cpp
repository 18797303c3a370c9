#include "pictures/svg_lines.h"

#include <QImage>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "pictures/svg_reader.h"

namespace pictures::svg {

namespace {

constexpr double kSpan = 383.0;  // surface pixels 0..383
constexpr int kMaxCurveDepth = 16;
constexpr double kReturns = 0.01;   // pixels: a subpath that ends this near its start returns
constexpr double kOnEdge = 1e-3;    // pixels: a point this near a clip's edge is inside it
constexpr int kCoverScale = 2;      // raster pixels per surface pixel
constexpr double kCoverStep = 0.5;  // pixels between the points of a line looked at
constexpr double kShortest = 1.0;   // pixels: a shorter piece left between covers is dropped
constexpr double kFitSlack = 0.5;   // pixels the fitted bounds may be off
// Edges of clip regions met by segments of lines, at most: a bound on the time a drawing of
// detailed clips with many lines in them takes.
constexpr double kMaxClipWork = 1e8;
// Pixels of lines, at most, looked at for what hides them. A longer drawing needs more points
// than a contour holds even at the widest spacing offered (2041 points 30 pixels apart are
// about 61,000 pixels), so it is left whole.
constexpr double kMaxCoveredLength = 2e6;

double Distance(QPointF a, QPointF b) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    return std::sqrt(dx * dx + dy * dy);
}

double Cross(QPointF a, QPointF b) {
    return a.x() * b.y() - a.y() * b.x();
}

double SegmentDistance(QPointF p, QPointF a, QPointF b) {
    const QPointF d = b - a;
    const double l2 = QPointF::dotProduct(d, d);
    const double t = l2 > 0 ? std::clamp(QPointF::dotProduct(p - a, d) / l2, 0.0, 1.0) : 0.0;
    return Distance(p, a + d * t);
}

// Splits the curve in halves until its control points lie within the flatness of the chord;
// the curve lies inside their hull, so then the chord is close enough.
void Cubic(QPointF p0, QPointF p1, QPointF p2, QPointF p3, int depth, std::vector<QPointF>& out) {
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

// The subpaths of `path` placed by `f`, curves flattened; with `closeAll` every subpath is a
// closed outline. False when they would take more than `budget` points.
bool Flatten(const QPainterPath& path, const QTransform& f, bool closeAll, std::vector<Line>& out,
             size_t& budget) {
    std::vector<QPointF> sub;
    bool finite = true;
    const auto finish = [&] {
        Line line;
        line.points.swap(sub);
        bool returns = false;
        if (line.points.size() >= 2 &&
            Distance(line.points.front(), line.points.back()) < kReturns) {
            line.points.pop_back();
            returns = true;
        }
        line.closed = (returns || closeAll) && line.points.size() > 2;
        if (finite && line.points.size() >= 2) {
            budget -= line.points.size();
            out.push_back(std::move(line));
        }
        finite = true;
    };
    const int n = path.elementCount();
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QPointF p = f.map(QPointF(e.x, e.y));
        finite = finite && std::isfinite(p.x()) && std::isfinite(p.y());
        if (e.type == QPainterPath::MoveToElement) {
            finish();
            sub.push_back(p);
        } else if (e.type == QPainterPath::LineToElement) {
            if (sub.empty() || sub.back() != p) {
                sub.push_back(p);
            }
        } else if (e.type == QPainterPath::CurveToElement && i + 2 < n && !sub.empty()) {
            const QPointF c2 = f.map(QPointF(path.elementAt(i + 1).x, path.elementAt(i + 1).y));
            const QPointF to = f.map(QPointF(path.elementAt(i + 2).x, path.elementAt(i + 2).y));
            finite = finite && std::isfinite(c2.x()) && std::isfinite(c2.y()) &&
                     std::isfinite(to.x()) && std::isfinite(to.y());
            if (finite) {
                Cubic(sub.back(), p, c2, to, 0, sub);
            }
            i += 2;
        }
        if (sub.size() > budget) {
            return false;
        }
    }
    finish();
    return true;
}

QRectF BoundsOf(const std::vector<QPointF>& points) {
    if (points.empty()) {
        return {};
    }
    double x0 = points[0].x(), y0 = points[0].y(), x1 = x0, y1 = y0;
    for (QPointF p : points) {
        x0 = std::min(x0, p.x());
        y0 = std::min(y0, p.y());
        x1 = std::max(x1, p.x());
        y1 = std::max(y1, p.y());
    }
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

struct Box {
    double x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    bool valid() const { return x0 <= x1 && y0 <= y1; }
    static Box Of(const QRectF& r) { return {r.left(), r.top(), r.right(), r.bottom()}; }
    Box operator&(const Box& o) const {
        return {std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1)};
    }
    void add(const Box& o) {
        if (!o.valid()) {
            return;
        }
        *this = valid() ? Box{std::min(x0, o.x0), std::min(y0, o.y0), std::max(x1, o.x1),
                              std::max(y1, o.y1)}
                        : o;
    }
    void add(QPointF p) { add(Box{p.x(), p.y(), p.x(), p.y()}); }
};

// The box `b` fitted into the surface's span, aspect kept and centred.
QTransform Fit(const Box& b) {
    const double w = b.x1 - b.x0;
    const double h = b.y1 - b.y0;
    const double side = std::max(w, h);
    const double k = side > 0 ? std::min(kSpan / side, 1e9) : 1.0;
    return QTransform(k, 0, 0, k, (kSpan - w * k) / 2 - b.x0 * k, (kSpan - h * k) / 2 - b.y0 * k);
}

// A filled area: rings under a fill rule.
struct Area {
    std::vector<std::vector<QPointF>> rings;
    bool evenOdd = false;
    QRectF bounds;
    size_t edges = 0;
};

bool InArea(const Area& a, QPointF p) {
    if (!a.bounds.adjusted(-kOnEdge, -kOnEdge, kOnEdge, kOnEdge).contains(p)) {
        return false;
    }
    int winding = 0;
    int crossings = 0;
    for (const std::vector<QPointF>& ring : a.rings) {
        for (size_t i = 0; i < ring.size(); ++i) {
            const QPointF c = ring[i];
            const QPointF d = ring[(i + 1) % ring.size()];
            if (SegmentDistance(p, c, d) <= kOnEdge) {
                return true;
            }
            if ((c.y() <= p.y()) != (d.y() <= p.y()) &&
                c.x() + (p.y() - c.y()) * (d.x() - c.x()) / (d.y() - c.y()) > p.x()) {
                ++crossings;
                winding += d.y() > c.y() ? 1 : -1;
            }
        }
    }
    return a.evenOdd ? crossings % 2 == 1 : winding != 0;
}

// Where the segment a-b crosses the area's edges, as fractions of it, into `ts`.
void Crossings(const Area& a, QPointF from, QPointF to, std::vector<double>& ts) {
    const QRectF span =
        QRectF(from, to).normalized().adjusted(-kOnEdge, -kOnEdge, kOnEdge, kOnEdge);
    if (!span.intersects(a.bounds.adjusted(-kOnEdge, -kOnEdge, kOnEdge, kOnEdge))) {
        return;
    }
    const QPointF r = to - from;
    const double rr = QPointF::dotProduct(r, r);
    for (const std::vector<QPointF>& ring : a.rings) {
        for (size_t i = 0; i < ring.size(); ++i) {
            const QPointF c = ring[i];
            const QPointF s = ring[(i + 1) % ring.size()] - c;
            const double denominator = Cross(r, s);
            if (std::abs(denominator) <= 1e-12 * (rr + QPointF::dotProduct(s, s))) {
                // Parallel: along the edge, its ends are where the state may change.
                if (rr > 0) {
                    for (QPointF e : {c, c + s}) {
                        ts.push_back(QPointF::dotProduct(e - from, r) / rr);
                    }
                }
                continue;
            }
            const double t = Cross(c - from, s) / denominator;
            const double u = Cross(c - from, r) / denominator;
            if (u >= 0 && u <= 1) {
                ts.push_back(t);
            }
        }
    }
}

// The parts of `line` where `inside` holds: it may change only at the fractions `breaks` gives
// for each segment, and is taken at the middle between them. Pieces shorter than `shortest`
// are dropped; a closed line that stays whole stays closed.
template <typename Breaks, typename Inside>
void Keep(const Line& line, Breaks&& breaks, Inside&& inside, double shortest,
          std::vector<Line>& out) {
    const std::vector<QPointF>& pts = line.points;
    const size_t segments = line.closed ? pts.size() : pts.size() - 1;
    std::vector<Line> runs;
    Line run;
    bool active = false;
    bool whole = true;
    bool fromStart = false;
    std::vector<double> ts;
    for (size_t s = 0; s < segments; ++s) {
        const QPointF a = pts[s];
        const QPointF b = pts[(s + 1) % pts.size()];
        ts.assign(1, 0.0);
        breaks(a, b, ts);
        ts.push_back(1.0);
        for (double& t : ts) {
            t = std::clamp(t, 0.0, 1.0);
        }
        if (!std::is_sorted(ts.begin(), ts.end())) {
            std::sort(ts.begin(), ts.end());
        }
        ts.erase(
            std::unique(ts.begin(), ts.end(), [](double x, double y) { return y - x <= 1e-12; }),
            ts.end());
        ts.back() = 1.0;
        for (size_t k = 1; k < ts.size(); ++k) {
            const double t0 = ts[k - 1];
            const double t1 = ts[k];
            if (inside(a + (b - a) * ((t0 + t1) / 2))) {
                if (!active) {
                    run.points.assign(1, a + (b - a) * t0);
                    active = true;
                    fromStart = fromStart || (s == 0 && t0 == 0);
                }
                if (t1 >= 1) {
                    run.points.push_back(b);
                }
            } else {
                whole = false;
                if (active) {
                    if (t0 > 0) {
                        run.points.push_back(a + (b - a) * t0);
                    }
                    runs.push_back(std::move(run));
                    run = {};
                    active = false;
                }
            }
        }
    }
    if (whole) {
        out.push_back(line);
        return;
    }
    if (active) {
        // A closed line cut somewhere goes on through its first point.
        if (line.closed && fromStart && !runs.empty()) {
            run.points.insert(run.points.end(), runs.front().points.begin() + 1,
                              runs.front().points.end());
            runs.front() = std::move(run);
        } else {
            runs.push_back(std::move(run));
        }
    }
    for (Line& r : runs) {
        double length = 0;
        for (size_t i = 1; i < r.points.size(); ++i) {
            length += Distance(r.points[i - 1], r.points[i]);
        }
        if (r.points.size() >= 2 && length >= shortest) {
            out.push_back(std::move(r));
        }
    }
}

// The page and the clip regions placed on the surface.
class Clipping {
  public:
    Clipping(const Painted& painted, const QTransform& f, size_t& budget) {
        const QPolygonF page = f.map(QPolygonF(painted.page));
        page_.rings.push_back({page[0], page[1], page[2], page[3]});
        page_.bounds = page.boundingRect();
        page_.edges = 4;
        regions_.resize(painted.regions.size());
        for (size_t r = 0; r < painted.regions.size(); ++r) {
            for (const QPainterPath& part : painted.regions[r].parts) {
                std::vector<Line> rings;
                Flatten(part, f, true, rings, budget);
                Area area;
                area.evenOdd = part.fillRule() == Qt::OddEvenFill;
                for (Line& ring : rings) {
                    area.bounds |= BoundsOf(ring.points);
                    area.edges += ring.points.size();
                    area.rings.push_back(std::move(ring.points));
                }
                regions_[r].push_back(std::move(area));
            }
        }
    }

    // The parts of the line inside the page and the region `innermost` with those it lies in.
    // False when the clips have taken too long.
    bool cut(const Line& line, const Painted& painted, int innermost, std::vector<Line>& out) {
        std::vector<const std::vector<Area>*> chain;
        for (int r = innermost; r >= 0; r = painted.regions[size_t(r)].parent) {
            if (regions_[size_t(r)].empty()) {
                return true;  // an empty clip path shows nothing
            }
            chain.push_back(&regions_[size_t(r)]);
        }
        const QRectF bounds = BoundsOf(line.points);
        const QRectF page = page_.bounds.adjusted(-kOnEdge, -kOnEdge, kOnEdge, kOnEdge);
        if (chain.empty() && page.contains(bounds.topLeft()) &&
            page.contains(bounds.bottomRight())) {
            out.push_back(line);
            return true;
        }
        // Each segment meets each edge twice: for its crossings, and for the middles between.
        double edges = 4;
        for (const std::vector<Area>* region : chain) {
            for (const Area& area : *region) {
                edges += area.bounds.intersects(bounds) ? double(area.edges) : 0.0;
            }
        }
        work_ += 2 * edges * double(line.points.size());
        if (work_ > kMaxClipWork) {
            return false;
        }
        const auto breaks = [&](QPointF a, QPointF b, std::vector<double>& ts) {
            Crossings(page_, a, b, ts);
            for (const std::vector<Area>* region : chain) {
                for (const Area& area : *region) {
                    Crossings(area, a, b, ts);
                }
            }
        };
        const auto inside = [&](QPointF p) {
            if (!InArea(page_, p)) {
                return false;
            }
            for (const std::vector<Area>* region : chain) {
                if (std::none_of(region->begin(), region->end(),
                                 [p](const Area& a) { return InArea(a, p); })) {
                    return false;
                }
            }
            return true;
        };
        Keep(line, breaks, inside, 0.0, out);
        return true;
    }

  private:
    Area page_;
    std::vector<std::vector<Area>> regions_;
    double work_ = 0;
};

// The surface at kCoverScale, each pixel holding 1 + the index of the last shape whose opaque
// fill covers it, or 0.
class Cover {
  public:
    Cover(const Painted& painted, const QTransform& f)
        : image_(kSide, kSide, QImage::Format_RGB32) {
        image_.fill(0);
        QPainter painter(&image_);
        painter.setTransform(f * QTransform::fromScale(kCoverScale, kCoverScale));
        std::vector<QPainterPath> united(painted.regions.size());
        std::vector<bool> made(painted.regions.size(), false);
        for (size_t i = 0; i < painted.shapes.size(); ++i) {
            const Shape& shape = painted.shapes[i];
            if (!shape.hides) {
                continue;
            }
            painter.setClipRect(painted.page);
            bool shows = true;
            for (int r = shape.region; r >= 0; r = painted.regions[size_t(r)].parent) {
                const std::vector<QPainterPath>& parts = painted.regions[size_t(r)].parts;
                if (!made[size_t(r)]) {
                    made[size_t(r)] = true;
                    for (const QPainterPath& part : parts) {
                        united[size_t(r)] =
                            united[size_t(r)].isEmpty() ? part : united[size_t(r)].united(part);
                    }
                }
                shows = shows && !parts.empty();
                painter.setClipPath(united[size_t(r)], Qt::IntersectClip);
            }
            if (!shows) {
                continue;
            }
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor::fromRgb(QRgb(0xFF000000u | uint32_t(i + 1))));
            painter.drawPath(shape.path);
        }
        painter.end();
        bits_ = reinterpret_cast<const QRgb*>(image_.constBits());
        stride_ = image_.bytesPerLine() / qsizetype(sizeof(QRgb));
    }

    // Whether a shape painted after shape `layer` covers the point or touches it.
    bool hidden(QPointF p, size_t layer) const {
        const int x = int(std::floor(std::clamp(p.x() * kCoverScale, -2.0, kSide + 1.0)));
        const int y = int(std::floor(std::clamp(p.y() * kCoverScale, -2.0, kSide + 1.0)));
        const uint32_t own = uint32_t(layer + 1);
        for (int yy = std::max(0, y - 1); yy <= std::min(kSide - 1, y + 1); ++yy) {
            const QRgb* row = bits_ + qsizetype(yy) * stride_;
            for (int xx = std::max(0, x - 1); xx <= std::min(kSide - 1, x + 1); ++xx) {
                if ((row[xx] & 0xFFFFFFu) > own) {
                    return true;
                }
            }
        }
        return false;
    }

  private:
    static constexpr int kSide = int(kSpan + 1) * kCoverScale;
    QImage image_;
    const QRgb* bits_ = nullptr;
    qsizetype stride_ = 0;  // pixels from a row to the next
};

struct Piece {
    Line line;
    size_t layer = 0;  // the shape it is a line of
};

// The line shapes placed by `f` and cut at the page and their clips.
Complexity Cut(const Painted& painted, const QTransform& f, size_t budget,
               std::vector<Piece>& pieces) {
    Clipping clipping(painted, f, budget);
    std::vector<Line> flat;
    std::vector<Line> kept;
    for (size_t i = 0; i < painted.shapes.size(); ++i) {
        const Shape& shape = painted.shapes[i];
        if (!shape.line) {
            continue;
        }
        flat.clear();
        if (!Flatten(shape.path, f, shape.closes, flat, budget)) {
            return Complexity::TooManyPoints;
        }
        kept.clear();
        for (const Line& line : flat) {
            if (!clipping.cut(line, painted, shape.region, kept)) {
                return Complexity::TooDetailedClips;
            }
        }
        for (Line& line : kept) {
            pieces.push_back({std::move(line), i});
        }
    }
    return Complexity::Fine;
}

// The bounds of what the line shapes may show: each one's own within the page and its clips.
Box EstimatedBounds(const Painted& painted) {
    std::vector<Box> regions(painted.regions.size());
    for (size_t r = 0; r < painted.regions.size(); ++r) {
        for (const QPainterPath& part : painted.regions[r].parts) {
            regions[r].add(Box::Of(part.boundingRect()));
        }
    }
    Box all;
    for (const Shape& shape : painted.shapes) {
        if (!shape.line) {
            continue;
        }
        Box b = Box::Of(shape.path.boundingRect()) & Box::Of(painted.page);
        for (int r = shape.region; r >= 0; r = painted.regions[size_t(r)].parent) {
            b = b & regions[size_t(r)];
        }
        all.add(b);
    }
    return all;
}

}  // namespace

Lines DrawnLines(const Painted& painted, bool visibleOnly, bool wholePage, size_t maxPoints) {
    Lines result;
    QTransform f;  // page pixels are surface pixels when the page fills the surface
    if (!wholePage) {
        const Box estimate = EstimatedBounds(painted);
        if (!estimate.valid()) {
            result.page = painted.page;
            return result;
        }
        f = Fit(estimate);
    }
    std::vector<Piece> pieces;
    result.complexity = Cut(painted, f, maxPoints, pieces);
    if (result.complexity != Complexity::Fine) {
        return result;
    }
    if (!wholePage && !pieces.empty()) {
        // The estimate takes whole bounding boxes within the clips'; what is left after the
        // cuts may be smaller, and is fitted again.
        Box actual;
        for (const Piece& piece : pieces) {
            for (QPointF p : piece.line.points) {
                actual.add(p);
            }
        }
        const QTransform again = Fit(actual);
        if (std::abs(again.m11() - 1) * kSpan > kFitSlack || std::abs(again.dx()) > kFitSlack ||
            std::abs(again.dy()) > kFitSlack) {
            f = f * again;
            pieces.clear();
            result.complexity = Cut(painted, f, maxPoints, pieces);
            if (result.complexity != Complexity::Fine) {
                return result;
            }
        }
    }
    result.page = f.mapRect(painted.page);

    size_t lastHiding = 0;
    bool anyHides = false;
    for (size_t i = 0; i < painted.shapes.size(); ++i) {
        if (painted.shapes[i].hides) {
            lastHiding = i;
            anyHides = true;
        }
    }
    double length = 0;
    for (const Piece& piece : pieces) {
        const std::vector<QPointF>& pts = piece.line.points;
        for (size_t i = 1; i < pts.size(); ++i) {
            length += Distance(pts[i - 1], pts[i]);
        }
    }
    const auto take = [&](Piece& piece) {
        piece.line.colour = painted.shapes[piece.layer].colour;
        result.lines.push_back(std::move(piece.line));
    };
    if (!visibleOnly || !anyHides || length > kMaxCoveredLength) {
        for (Piece& piece : pieces) {
            take(piece);
        }
        return result;
    }
    const Cover cover(painted, f);
    const auto steps = [](QPointF a, QPointF b, std::vector<double>& ts) {
        const int n = int(std::ceil(Distance(a, b) / kCoverStep));
        for (int k = 1; k < n; ++k) {
            ts.push_back(double(k) / n);
        }
    };
    for (Piece& piece : pieces) {
        if (piece.layer >= lastHiding) {
            take(piece);
            continue;
        }
        const size_t layer = piece.layer;
        const size_t first = result.lines.size();
        Keep(
            piece.line, steps, [&](QPointF p) { return !cover.hidden(p, layer); }, kShortest,
            result.lines);
        for (size_t k = first; k < result.lines.size(); ++k) {
            result.lines[k].colour = painted.shapes[layer].colour;
        }
    }
    return result;
}

}  // namespace pictures::svg
