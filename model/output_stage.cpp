#include "model/output_stage.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace model::stage {

namespace {

// Contour units per half of the surface: pixel 0 is -960,000,000 and maps to -32767.
constexpr double kHalfSpan = 960'000'000.0;

int16_t Round16(double v) {
    return int16_t(std::clamp<long>(std::lround(v), -kDacMax, kDacMax));
}

uint8_t Dim(uint32_t channel, int percent) {
    return uint8_t((channel * uint32_t(percent) + 50) / 100);
}

Sample Lit(Sample at, uint32_t rgb, int percent) {
    const uint32_t sent = SentColour(rgb, percent);
    at.r = uint8_t(sent >> 16);
    at.g = uint8_t(sent >> 8);
    at.b = uint8_t(sent);
    return at;
}

Sample DarkAt(Sample at) {
    at.r = at.g = at.b = 0;
    return at;
}

// Whether the line turns at b by at least `degrees` on its way from a to c.
bool SharpTurn(Sample a, Sample b, Sample c, int degrees) {
    const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
    const double lu = std::hypot(ux, uy), lv = std::hypot(vx, vy);
    if (lu == 0 || lv == 0) {
        return false;
    }
    const double cosine = std::clamp((ux * vx + uy * vy) / (lu * lv), -1.0, 1.0);
    const double turn = std::acos(cosine) * 180.0 / std::numbers::pi;
    return turn >= degrees - 1e-6;
}

// The stream of one frame is written here, point by point.
class Writer {
  public:
    explicit Writer(const Settings& s) : s_(s) {}

    void Point(Sample p) { out_.push_back(p); }
    // A lit point: a line longer than a jump step from the last sample is drawn in steps of at
    // most that, so that no sample moves the mirrors further, lit or dark.
    void LitTo(Sample p) {
        if (!out_.empty()) {
            const Sample at = out_.back();
            const double dx = p.x - at.x, dy = p.y - at.y;
            const int steps = Steps(dx, dy);
            for (int j = 1; j < steps; ++j) {
                Sample m = p;
                m.x = Round16(at.x + dx * j / steps);
                m.y = Round16(at.y + dy * j / steps);
                out_.push_back(m);
            }
        }
        out_.push_back(p);
    }
    void Repeat(Sample p, int times) {
        for (int i = 0; i < times; ++i) {
            out_.push_back(p);
        }
    }
    // A dark jump from `from` through every point of `path`, waiting at both ends.
    void Jump(Sample from, const std::vector<Sample>& path) {
        Repeat(DarkAt(from), s_.jumpDwellBefore);
        Sample at = from;
        for (const Sample& to : path) {
            const double dx = to.x - at.x, dy = to.y - at.y;
            const int steps = Steps(dx, dy);
            for (int j = 1; j <= steps; ++j) {
                Sample m;
                m.x = Round16(at.x + dx * j / steps);
                m.y = Round16(at.y + dy * j / steps);
                out_.push_back(m);
            }
            at = to;
        }
        Repeat(DarkAt(at), s_.jumpDwellAfter);
    }
    size_t Size() const { return out_.size(); }
    std::vector<Sample> Take() { return std::move(out_); }

  private:
    // How many steps a move takes. Each end of a step is rounded to whole units: a step of
    // jumpStep - sqrt(2) stays within jumpStep once rounded.
    int Steps(double dx, double dy) const {
        return int(std::ceil(std::hypot(dx, dy) / (s_.jumpStep - std::numbers::sqrt2)));
    }

    const Settings& s_;
    std::vector<Sample> out_;
};

}  // namespace

uint32_t SentColour(uint32_t rgb, int brightnessPercent) {
    return uint32_t(Dim((rgb >> 16) & 0xFF, brightnessPercent)) << 16 |
           uint32_t(Dim((rgb >> 8) & 0xFF, brightnessPercent)) << 8 |
           Dim(rgb & 0xFF, brightnessPercent);
}

Settings Clamped(const Settings& in) {
    Settings s = in;
    s.pointRate = std::clamp(s.pointRate, kMinPointRate, kMaxPointRate);
    s.cornerAngle = std::clamp(s.cornerAngle, 1, 180);
    s.cornerDwell = std::clamp(s.cornerDwell, 0, 50);
    s.jumpDwellBefore = std::clamp(s.jumpDwellBefore, 0, 50);
    s.jumpDwellAfter = std::clamp(s.jumpDwellAfter, 0, 50);
    s.jumpStep = std::clamp(s.jumpStep, 100, 2 * kDacMax);
    s.blankingShift = std::clamp(s.blankingShift, 0, 50);
    s.zone.sizePercent = std::clamp(s.zone.sizePercent, 1, 100);
    s.zone.offsetX = std::clamp(s.zone.offsetX, -100, 100);
    s.zone.offsetY = std::clamp(s.zone.offsetY, -100, 100);
    s.zone.quarterTurns = ((s.zone.quarterTurns % 4) + 4) % 4;
    s.brightnessPercent = std::clamp(s.brightnessPercent, 0, 100);
    s.defaultColour &= 0xFFFFFFu;
    s.framesPerSecond = std::clamp(s.framesPerSecond, kMinFramesPerSecond, kMaxFramesPerSecond);
    return s;
}

ZoneBounds Bounds(const Zone& zone) {
    const int half = int(std::lround(kDacMax * std::clamp(zone.sizePercent, 1, 100) / 100.0));
    const int room = kDacMax - half;
    const int cx = std::clamp(int(std::lround(kDacMax * zone.offsetX / 100.0)), -room, room);
    const int cy = std::clamp(int(std::lround(kDacMax * zone.offsetY / 100.0)), -room, room);
    return {cx - half, cx + half, cy - half, cy + half};
}

Sample Place(ContourPoint p, const Zone& zone) {
    // 1. Contour units to the DAC's square, y up.
    double x = double(p.x) * kDacMax / kHalfSpan;
    double y = -double(p.y) * kDacMax / kHalfSpan;
    x = std::lround(x);
    y = std::lround(y);
    // 2. Flips, then quarter turns counter-clockwise.
    if (zone.flipX) {
        x = -x;
    }
    if (zone.flipY) {
        y = -y;
    }
    for (int t = 0; t < ((zone.quarterTurns % 4) + 4) % 4; ++t) {
        const double turned = -y;
        y = x;
        x = turned;
    }
    // 3. Scaled into the zone and moved to its centre; whatever would fall outside is kept
    // on its edge.
    const ZoneBounds b = Bounds(zone);
    const double half = (b.right - b.left) / 2.0;
    Sample s;
    s.x = int16_t(
        std::clamp<long>(std::lround(x * half / kDacMax + (b.left + half)), b.left, b.right));
    s.y = int16_t(
        std::clamp<long>(std::lround(y * half / kDacMax + (b.bottom + half)), b.bottom, b.top));
    return s;
}

std::vector<Sample> Build(const std::vector<ContourPoint>& points,
                          const std::vector<PointStyle>& styles, uint32_t lineColour,
                          const Settings& settings) {
    return BuildLoop(points, styles, lineColour, settings).samples;
}

std::vector<Sample> DarkJump(Sample from, Sample to, const Settings& settings) {
    const Settings s = Clamped(settings);
    Writer w(s);
    w.Jump(from, {to});
    return w.Take();
}

Loop BuildLoop(const std::vector<ContourPoint>& points, const std::vector<PointStyle>& styles,
               uint32_t lineColour, const Settings& settings) {
    const Settings s = Clamped(settings);
    const int n = int(points.size());
    if (n == 0) {
        const ZoneBounds b = Bounds(s.zone);
        return {{Sample{int16_t((b.left + b.right) / 2), int16_t((b.bottom + b.top) / 2)}}, 0};
    }
    std::vector<Sample> placed(static_cast<size_t>(n));
    std::vector<bool> lit(static_cast<size_t>(n));
    std::vector<uint32_t> colour(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const PointStyle style = i < int(styles.size()) ? styles[size_t(i)] : PointStyle{};
        placed[size_t(i)] = Place(points[size_t(i)], s.zone);
        lit[size_t(i)] = !style.blanked;
        colour[size_t(i)] = style.coloured ? style.rgb : lineColour;
    }

    Writer w(s);
    // 1. The loop's return: from the last point back to the first, dark; the first point is
    // then shown in its own style.
    w.Jump(placed[size_t(n - 1)], {placed[0]});
    const size_t back = w.Size();
    if (lit[0]) {
        w.Point(Lit(placed[0], colour[0], s.brightnessPercent));
    }
    // 2. Lit points as they are, repeated at sharp corners; each run of blanked points is
    // one jump through them.
    for (int i = 1; i < n;) {
        if (!lit[size_t(i)]) {
            std::vector<Sample> path;
            const int from = i - 1;
            for (; i < n && !lit[size_t(i)]; ++i) {
                path.push_back(placed[size_t(i)]);
            }
            w.Jump(placed[size_t(from)], path);
            continue;
        }
        const Sample p = Lit(placed[size_t(i)], colour[size_t(i)], s.brightnessPercent);
        w.LitTo(p);
        if (i + 1 < n && lit[size_t(i + 1)] &&
            SharpTurn(placed[size_t(i - 1)], p, placed[size_t(i + 1)], s.cornerAngle)) {
            w.Repeat(p, s.cornerDwell);
        }
        ++i;
    }
    std::vector<Sample> out = w.Take();

    // 3. The blanking shift: each point takes the colour of the one `blankingShift` before it,
    // round the loop.
    const int count = int(out.size());
    const int shift = s.blankingShift % count;
    if (shift > 0) {
        std::vector<Sample> shifted = out;
        for (int i = 0; i < count; ++i) {
            const Sample& c = out[size_t((i - shift + count) % count)];
            shifted[size_t(i)].r = c.r;
            shifted[size_t(i)].g = c.g;
            shifted[size_t(i)].b = c.b;
        }
        out = std::move(shifted);
    }
    return {std::move(out), back};
}

}  // namespace model::stage
