// What a laser projector makes of the contour: the frame rate at a given scan rate, the path the
// beam takes (ideal, or through a galvanometer scanner modelled as a second-order low-pass per
// axis), and an additive picture of that path as the eye sees it. No widgets; the preview window
// keeps one ScanRenderer and feeds it a copy of the points.
#pragma once

#include <QImage>
#include <QRgb>
#include <array>
#include <cstdint>
#include <vector>

#include "model/contour.h"
#include "model/output_stage.h"

namespace preview {

// Scan rates offered, in points per second.
inline constexpr std::array<int, 4> kScanRates{12000, 20000, 30000, 45000};
inline constexpr int kDefaultScanRate = 30000;
// Below this frame rate the eye sees the picture flicker.
inline constexpr double kFlickerFps = 20.0;

// Frames per second when `points` points are scanned at `rate` points per second; 0 for no points.
double FramesPerSecond(int rate, int points);
// Time to scan one frame, in milliseconds; 0 for no points.
double FrameTimeMs(int rate, int points);
// Whether the frame rate is below the flicker threshold (an empty contour does not flicker).
bool Flickers(int rate, int points);

// One point as the projector receives it: the position in surface pixels without truncation
// (the projector sees the exact units), and the whole pixel the editor shows it at.
struct ScanPoint {
    double x = 0;
    double y = 0;
    int32_t px = 0;
    int32_t py = 0;
    // How the beam reaches the point: dark, or lit in its colour or the line colour.
    model::PointStyle style;
};

// Points 0..PointCount-1 of the contour with their styles; a count outside the buffer is limited to
// the points the buffer holds whole.
std::vector<ScanPoint> ReadPoints(const model::Contour& contour);
// The number of points ReadPoints takes, and so the slots 0..2n-1 it depends on.
int LivePointCount(const model::Contour& contour);

// The output stage's stream of one frame as the preview draws it: the DAC's square over the
// whole picture (y up on the projection, down on the surface). A dark sample is reached
// blanked; a lit one in its colour, except that the colour the stage gives the default points
// (`lineColour` at `brightnessPercent`) stays default, drawn in the preview's line colour.
std::vector<ScanPoint> FromStream(const std::vector<model::stage::Sample>& stream,
                                  uint32_t lineColour, int brightnessPercent);
// The stream of the contour with the line colour `lineColour` (0xRRGGBB) and `settings`, held
// as a frame from a file is (`asMade`: point for point, unless the settings optimise it).
std::vector<model::stage::Sample> StreamOf(const model::Contour& contour, uint32_t lineColour,
                                           const model::stage::Settings& settings,
                                           bool asMade = false);

// One axis of a galvanometer scanner: x'' = w^2 (u - x) - 2 z w x', driven by the commanded
// position u. Semi-implicit Euler, stable for w * dt well below 1; callers keep it there with
// substeps.
struct GalvoAxis {
    double pos = 0;
    double vel = 0;
    void step(double target, double omega, double zeta, double dt) {
        vel += (omega * omega * (target - pos) - 2 * zeta * omega * vel) * dt;
        pos += vel * dt;
    }
};

// The scanner matched to a scan rate: small-step bandwidth rate / 12 and a damping that trades a
// little overshoot for a quick settle, as tuned scanners are.
struct GalvoModel {
    double omega = 0;   // natural angular frequency, rad/s
    double zeta = 0.6;  // damping ratio
    int substeps = 16;  // integration steps per point
};
GalvoModel GalvoForRate(int rate);

// The beam's path over one frame in surface pixels, `substeps` samples per point: sample
// i * substeps + j lies j / substeps of the way through point i's time slot. The frame is run
// once before it is recorded, so the path starts where the previous frame left the mirrors.
std::vector<ScanPoint> GalvoPath(const std::vector<ScanPoint>& points, int rate);

struct RenderOptions {
    int size = 384;  // the picture is size x size pixels
    int rate = kDefaultScanRate;
    bool scanner = false;  // through the galvanometer model, or the ideal path
    bool glow = true;      // halo around hot points
    QRgb color = qRgb(0, 128, 0);
    // The light of one point's slot: the output's brightness limit, 0..1.
    float light = 1.0f;
};

// Light collected per pixel over one frame, in units of one point's time slot.
struct EnergyImage {
    int size = 0;
    std::vector<float> energy;
    float at(int x, int y) const {
        return x < 0 || y < 0 || x >= size || y >= size ? 0.0f : energy[std::size_t(y) * size + x];
    }
    // Sum over the square of half-width r around (x, y).
    double sumAround(int x, int y, int r) const;
    double total() const;
};

// Surface pixel (continuous) -> picture pixel for a picture of `size` pixels.
double ToPicture(double surface, int size);

class ScanRenderer {
  public:
    // Accumulates one frame of light. Every point's time slot deposits the same energy, spread
    // evenly along the path the beam covers in that slot, so a long jump is dim and a repeated
    // point puts its whole slot on one spot. Runs of equal points add a halo whose energy is
    // proportional to the run's length. The way into a blanked point (or one coloured black)
    // gives no light; a coloured point's way is lit in its colour, a default point's in
    // o.color. A halo counts the lit points of its run.
    const EnergyImage& Accumulate(const std::vector<ScanPoint>& points, const RenderOptions& o);
    // The accumulated light on black, in the line colour or, where coloured points lit a
    // pixel, in the mix of the colours that reached it by their light; bright spots go
    // towards white.
    QImage ToImage(const RenderOptions& o) const;
    QImage Render(const std::vector<ScanPoint>& points, const RenderOptions& o) {
        Accumulate(points, o);
        return ToImage(o);
    }
    const EnergyImage& energy() const { return energy_; }
    // Where the beam is at the start of each point's slot, in picture pixels (for the beam
    // marker of the animation).
    const std::vector<QPointF>& beamPositions() const { return beam_; }

    // Halo energy per repeated point, in point slots.
    static constexpr double kGlowPerPoint = 1.2;

  private:
    void DepositSegment(double ax, double ay, double bx, double by, float e);
    void Splat(double x, double y, float e);
    void Glow(double cx, double cy, int run, float light);
    // The colour the next deposits carry, scaled up to its brightest channel; whether a beam
    // of that colour gives light at all.
    static bool Emits(QRgb c);
    void SetHue(QRgb c);
    void Add(std::size_t pixel, float e) {
        energy_.energy[pixel] += e;
        if (tinted_) {
            float* t = tint_.data() + 3 * pixel;
            t[0] += e * hue_[0];
            t[1] += e * hue_[1];
            t[2] += e * hue_[2];
        }
    }

    EnergyImage energy_;
    // Only for a contour with coloured points: the light per pixel times its hue, per channel.
    bool tinted_ = false;
    std::vector<float> tint_;
    float hue_[3] = {};
    std::vector<QPointF> beam_;
    // The weights of the halo being added.
    std::vector<double> glowWeights_;
};

}  // namespace preview
