#include "preview/scan_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/show_stream.h"

namespace preview {

namespace {

// Surface pixels across the projection area.
constexpr double kSurfacePixels = 384.0;
// Exposure: a line of points 20 surface pixels apart comes out at about the colour's full
// strength, so the pen's usual spacing looks like a solid line and a long jump stays faint.
constexpr double kExposure = 20.0;
// The tone curve is tabulated over this much exposure, kToneSteps entries per unit.
constexpr int kToneRange = 32;
constexpr int kToneSteps = 64;

}  // namespace

double FramesPerSecond(int rate, int points) {
    return points > 0 ? double(rate) / points : 0.0;
}

double FrameTimeMs(int rate, int points) {
    return points > 0 && rate > 0 ? 1000.0 * points / rate : 0.0;
}

bool Flickers(int rate, int points) {
    return points > 0 && FramesPerSecond(rate, points) < kFlickerFps;
}

int LivePointCount(const model::Contour& contour) {
    return std::clamp<int32_t>(contour.State.PointCount, 0, model::kSlotCount / 2);
}

std::vector<ScanPoint> ReadPoints(const model::Contour& contour) {
    const int n = LivePointCount(contour);
    std::vector<ScanPoint> points(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int32_t ux = contour.Slot(2 * i);
        const int32_t uy = contour.Slot(2 * i + 1);
        ScanPoint& p = points[std::size_t(i)];
        p.x = double(ux) / model::kUnitsPerPixel + model::kCentrePixel;
        p.y = double(uy) / model::kUnitsPerPixel + model::kCentrePixel;
        p.px = model::UnitToPixel(ux);
        p.py = model::UnitToPixel(uy);
        p.style = contour.StyleAt(i);
    }
    return points;
}

std::vector<ScanPoint> FromStream(const std::vector<model::stage::Sample>& stream,
                                  uint32_t lineColour, int brightnessPercent) {
    // The default points' colour as the stage sends it.
    const uint32_t line = model::stage::SentColour(lineColour, brightnessPercent);
    constexpr double kPixelsPerDac = kSurfacePixels / 2 / model::stage::kDacMax;
    std::vector<ScanPoint> points(stream.size());
    for (std::size_t i = 0; i < stream.size(); ++i) {
        const model::stage::Sample& s = stream[i];
        ScanPoint& p = points[i];
        p.x = s.x * kPixelsPerDac + model::kCentrePixel;
        p.y = -s.y * kPixelsPerDac + model::kCentrePixel;
        p.px = int32_t(std::floor(p.x));
        p.py = int32_t(std::floor(p.y));
        if (s.Dark()) {
            p.style = model::PointStyle::Dark();
        } else if (const uint32_t rgb = uint32_t(s.r) << 16 | uint32_t(s.g) << 8 | s.b;
                   rgb != line) {
            p.style = model::PointStyle::Colour(rgb);
        }
    }
    return points;
}

std::vector<model::stage::Sample> StreamOf(const model::Contour& contour, uint32_t lineColour,
                                           const model::stage::Settings& settings, bool asMade) {
    if (asMade) {
        model::stage::Settings s = settings;
        s.defaultColour = lineColour;
        return model::stage::Held({contour.Points(), contour.PointStyles(), {}}, true, s);
    }
    return model::stage::Build(contour.Points(), contour.PointStyles(), lineColour, settings);
}

GalvoModel GalvoForRate(int rate) {
    GalvoModel g;
    g.omega = 2 * std::numbers::pi * std::max(rate, 1) / 12.0;
    return g;
}

std::vector<ScanPoint> GalvoPath(const std::vector<ScanPoint>& points, int rate) {
    const GalvoModel g = GalvoForRate(rate);
    const std::size_t n = points.size();
    std::vector<ScanPoint> path(n * std::size_t(g.substeps));
    if (n == 0) {
        return path;
    }
    const double dt = 1.0 / (double(std::max(rate, 1)) * g.substeps);
    GalvoAxis ax{points.back().x, 0};
    GalvoAxis ay{points.back().y, 0};
    for (int pass = 0; pass < 2; ++pass) {
        std::size_t k = 0;
        for (const ScanPoint& target : points) {
            for (int j = 0; j < g.substeps; ++j, ++k) {
                if (pass == 1) {
                    path[k].x = ax.pos;
                    path[k].y = ay.pos;
                }
                ax.step(target.x, g.omega, g.zeta, dt);
                ay.step(target.y, g.omega, g.zeta, dt);
            }
        }
    }
    return path;
}

double ToPicture(double surface, int size) {
    return (surface + 0.5) * size / kSurfacePixels;
}

double EnergyImage::sumAround(int x, int y, int r) const {
    double sum = 0;
    for (int yy = y - r; yy <= y + r; ++yy) {
        for (int xx = x - r; xx <= x + r; ++xx) {
            sum += at(xx, yy);
        }
    }
    return sum;
}

double EnergyImage::total() const {
    double sum = 0;
    for (float e : energy) {
        sum += e;
    }
    return sum;
}

void ScanRenderer::Splat(double x, double y, float e) {
    // Bilinear: the energy goes to the four pixels whose centres surround (x, y).
    const double fx = x - 0.5;
    const double fy = y - 0.5;
    const double flx = std::floor(fx);
    const double fly = std::floor(fy);
    const int s = energy_.size;
    // Far outside the picture (a transformed contour can leave the surface): nothing to add.
    if (flx < -1 || fly < -1 || flx >= s || fly >= s) {
        return;
    }
    const int x0 = int(flx);
    const int y0 = int(fly);
    const float wx = float(fx - flx);
    const float wy = float(fy - fly);
    const float w[4] = {(1 - wx) * (1 - wy), wx * (1 - wy), (1 - wx) * wy, wx * wy};
    const int dx[4] = {0, 1, 0, 1};
    const int dy[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        const int px = x0 + dx[i];
        const int py = y0 + dy[i];
        if (px >= 0 && py >= 0 && px < s && py < s) {
            Add(std::size_t(py) * s + px, e * w[i]);
        }
    }
}

void ScanRenderer::DepositSegment(double ax, double ay, double bx, double by, float e) {
    // One sample per pixel of length, each with an equal share: the light per pixel is the
    // slot's energy divided by the distance covered.
    const double dx = bx - ax;
    const double dy = by - ay;
    const double len = std::sqrt(dx * dx + dy * dy);
    const int n = std::max(1, int(std::ceil(std::min(len, 1e5))));
    const float share = e / float(n);
    for (int k = 0; k < n; ++k) {
        const double t = (k + 0.5) / n;
        Splat(ax + t * dx, ay + t * dy, share);
    }
}

void ScanRenderer::Glow(double cx, double cy, int run, float light) {
    const double scale = energy_.size / kSurfacePixels;
    const double radius = std::max(1.5, scale * std::min(3.0 + 0.8 * run, 16.0));
    const int r = int(std::ceil(radius));
    const int x0 = int(std::floor(cx));
    const int y0 = int(std::floor(cy));
    // Weights (1 - d/R)^2 over the disc, kept, then normalised so the halo carries
    // kGlowPerPoint per point of the run (whatever falls outside the picture is lost, as the
    // light would be).
    const int side = 2 * r + 1;
    glowWeights_.assign(std::size_t(side) * side, 0.0);
    double sum = 0;
    const double r2 = radius * radius;
    for (int y = -r; y <= r; ++y) {
        const double dy = y0 + y + 0.5 - cy;
        for (int x = -r; x <= r; ++x) {
            const double dx = x0 + x + 0.5 - cx;
            const double d2 = dx * dx + dy * dy;
            if (d2 >= r2) {
                continue;
            }
            const double k = 1 - std::sqrt(d2) / radius;
            glowWeights_[std::size_t(y + r) * side + std::size_t(x + r)] = k * k;
            sum += k * k;
        }
    }
    if (sum <= 0) {
        return;
    }
    const double norm = kGlowPerPoint * run * light / sum;
    for (int y = std::max(-r, -y0); y <= r && y0 + y < energy_.size; ++y) {
        for (int x = std::max(-r, -x0); x <= r && x0 + x < energy_.size; ++x) {
            const double w = glowWeights_[std::size_t(y + r) * side + std::size_t(x + r)];
            if (w > 0) {
                Add(std::size_t(y0 + y) * energy_.size + std::size_t(x0 + x), float(w * norm));
            }
        }
    }
}

bool ScanRenderer::Emits(QRgb c) {
    return std::max({qRed(c), qGreen(c), qBlue(c)}) > 0;
}

void ScanRenderer::SetHue(QRgb c) {
    const int peak = std::max({qRed(c), qGreen(c), qBlue(c)});
    const float k = peak > 0 ? 255.0f / float(peak) : 0.0f;
    hue_[0] = float(qRed(c)) * k;
    hue_[1] = float(qGreen(c)) * k;
    hue_[2] = float(qBlue(c)) * k;
}

const EnergyImage& ScanRenderer::Accumulate(const std::vector<ScanPoint>& points,
                                            const RenderOptions& o) {
    const int size = std::max(o.size, 0);
    energy_.size = size;
    energy_.energy.assign(std::size_t(size) * size, 0.0f);
    beam_.clear();
    const std::size_t n = points.size();
    tinted_ = std::any_of(points.begin(), points.end(),
                          [](const ScanPoint& p) { return p.style.coloured; });
    if (tinted_) {
        tint_.assign(3 * std::size_t(size) * size, 0.0f);
    } else {
        tint_.clear();
    }
    if (n == 0 || size == 0) {
        return energy_;
    }
    // The light of the way into a point: none when it is dark; its hue is made current.
    auto lights = [&](const ScanPoint& p) {
        if (p.style.blanked) {
            return false;
        }
        if (!tinted_) {
            return true;
        }
        const QRgb c = p.style.coloured ? (p.style.rgb | 0xFF000000u) : o.color;
        if (!Emits(c)) {
            return false;
        }
        SetHue(c);
        return true;
    };
    auto pic = [size](double v) { return ToPicture(v, size); };
    beam_.reserve(n);
    if (o.scanner) {
        const std::vector<ScanPoint> path = GalvoPath(points, o.rate);
        const int sub = GalvoForRate(o.rate).substeps;
        const float e = o.light / float(sub);
        for (std::size_t k = 0; k < path.size(); ++k) {
            const ScanPoint& a = path[k];
            const ScanPoint& b = path[(k + 1) % path.size()];
            // Sample k lies in the slot of point k / sub, on the way to that point.
            if (lights(points[k / std::size_t(sub)])) {
                DepositSegment(pic(a.x), pic(a.y), pic(b.x), pic(b.y), e);
            }
            if (k % std::size_t(sub) == 0) {
                beam_.emplace_back(pic(a.x), pic(a.y));
            }
        }
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            const ScanPoint& a = points[i];
            const ScanPoint& b = points[(i + 1) % n];
            if (lights(b)) {
                DepositSegment(pic(a.x), pic(a.y), pic(b.x), pic(b.y), o.light);
            }
            beam_.emplace_back(pic(a.x), pic(a.y));
        }
    }
    if (!o.glow) {
        return energy_;
    }
    // The halo of the run of `run` points from `first` on: its lit points, in the colour of
    // the last lit one.
    auto glow = [&](std::size_t first, std::size_t run) {
        int lit = 0;
        for (std::size_t j = 0; j < run; ++j) {
            lit += lights(points[(first + j) % n]) ? 1 : 0;
        }
        if (lit > 1) {
            Glow(pic(points[first].x), pic(points[first].y), lit, o.light);
        }
    };
    // Runs of points at one pixel, the editor's hot points; a run may wrap from the last point
    // to the first, since the beam dwells there across the frame boundary.
    auto same = [&points](std::size_t i, std::size_t j) {
        return points[i].px == points[j].px && points[i].py == points[j].py;
    };
    std::size_t start = 0;
    while (start < n && same(start, (start + n - 1) % n)) {
        ++start;
    }
    if (start == n) {
        if (n > 1) {
            glow(0, n);
        }
        return energy_;
    }
    for (std::size_t k = 0; k < n;) {
        const std::size_t first = (start + k) % n;
        std::size_t run = 1;
        while (k + run < n && same(first, (start + k + run) % n)) {
            ++run;
        }
        if (run > 1) {
            glow(first, run);
        }
        k += run;
    }
    return energy_;
}

QImage ScanRenderer::ToImage(const RenderOptions& o) const {
    const int size = energy_.size;
    QImage image(size, size, QImage::Format_RGB32);
    if (size == 0) {
        return image;
    }
    // The laser's hue at full strength: the line colour scaled up to its brightest channel.
    const int peak = std::max({qRed(o.color), qGreen(o.color), qBlue(o.color)});
    const double k = peak > 0 ? 255.0 / peak : 0.0;
    const double cr = qRed(o.color) * k;
    const double cg = qGreen(o.color) * k;
    const double cb = qBlue(o.color) * k;
    constexpr int kEntries = kToneRange * kToneSteps;
    std::array<QRgb, kEntries + 1> tone{};
    for (int i = 0; i <= kEntries; ++i) {
        const double x = double(i) / kToneSteps;
        const double v = 1 - std::exp(-x);
        // Strong exposure bleaches towards white, as an overdriven spot looks.
        const double white = peak > 0 ? std::clamp((x - 3.0) / 12.0, 0.0, 0.85) : 0.0;
        auto channel = [&](double c) {
            return int(std::lround(c * v * (1 - white) + 255 * white));
        };
        tone[std::size_t(i)] = qRgb(channel(cr), channel(cg), channel(cb));
    }
    const float gain = float(kExposure * size / kSurfacePixels * kToneSteps);
    if (tinted_) {
        // Each pixel in the mix of the hues that lit it, weighed by their light, on the same
        // tone curve: a pixel lit by one colour only comes out as the untinted picture would.
        std::array<float, kEntries + 1> strength{};
        std::array<float, kEntries + 1> bleach{};
        for (int i = 0; i <= kEntries; ++i) {
            const double x = double(i) / kToneSteps;
            const double white = std::clamp((x - 3.0) / 12.0, 0.0, 0.85);
            strength[std::size_t(i)] = float((1 - std::exp(-x)) * (1 - white));
            bleach[std::size_t(i)] = float(255 * white);
        }
        for (int y = 0; y < size; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            const std::size_t row = std::size_t(y) * size;
            for (int x = 0; x < size; ++x) {
                const float e = energy_.energy[row + x];
                if (e <= 0) {
                    line[x] = qRgb(0, 0, 0);
                    continue;
                }
                const auto idx = std::size_t(std::min(e * gain, float(kEntries)));
                const float* t = tint_.data() + 3 * (row + x);
                const float s = strength[idx] / e;
                const float w = bleach[idx];
                auto channel = [&](float c) {
                    return std::clamp(int(std::lround(c * s + w)), 0, 255);
                };
                line[x] = qRgb(channel(t[0]), channel(t[1]), channel(t[2]));
            }
        }
        return image;
    }
    for (int y = 0; y < size; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const float* src = energy_.energy.data() + std::size_t(y) * size;
        for (int x = 0; x < size; ++x) {
            const float idx = std::min(src[x] * gain, float(kEntries));
            line[x] = tone[std::size_t(idx)];
        }
    }
    return image;
}

}  // namespace preview
