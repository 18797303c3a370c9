// What a scanner gets from the contour: the point stream of one frame, in the DAC's
// ±32767 space, with the dwell points at sharp corners, dark jumps between lit runs, the
// blanking shift, the output zone and the brightness limit. Pure: the laser window, the
// command-line player and the network senders all take this same stream.
#pragma once

#include <cstdint>
#include <vector>

#include "model/contour.h"

namespace model::stage {

inline constexpr int kMinPointRate = 12'000;
inline constexpr int kMaxPointRate = 100'000;
inline constexpr int kDacMax = 32767;
// Frames per second of a show played in time.
inline constexpr int kMinFramesPerSecond = 1;
inline constexpr int kMaxFramesPerSecond = 100;

// One point of the stream; a dark point has r = g = b = 0.
struct Sample {
    int16_t x = 0;
    int16_t y = 0;
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Sample&, const Sample&) = default;
    bool Dark() const { return r == 0 && g == 0 && b == 0; }
};

// Where on the projection the contour lands: the whole ±32767 square scaled to `sizePercent`,
// its centre moved by `offsetX`/`offsetY` percent of the half-range (the zone is kept inside
// the square), after the flips and the quarter turns (counter-clockwise, as the projection
// is seen). Nothing in the stream lies outside this zone.
struct Zone {
    int sizePercent = 100;  // 1..100
    int offsetX = 0;        // -100..100
    int offsetY = 0;        // -100..100
    bool flipX = false;
    bool flipY = false;
    int quarterTurns = 0;  // 0..3
    friend bool operator==(const Zone&, const Zone&) = default;
};

struct Settings {
    int pointRate = 30'000;  // points per second, kMinPointRate..kMaxPointRate
    // A point where the line turns by at least `cornerAngle` degrees is repeated lit
    // `cornerDwell` more times, so the mirrors reach the corner before turning.
    int cornerAngle = 45;
    int cornerDwell = 3;
    // Each jump: the beam waits dark `jumpDwellBefore` points where the line ended, moves
    // dark in steps of at most `jumpStep` DAC units, waits dark `jumpDwellAfter` points at
    // the target before the next lit point.
    int jumpDwellBefore = 4;
    int jumpDwellAfter = 4;
    int jumpStep = 4000;
    // The colour of each point comes that many points late (the laser's modulation lags
    // the mirrors); taken round the loop of the frame.
    int blankingShift = 0;
    Zone zone;
    int brightnessPercent = 100;  // each colour channel scaled to at most this
    // The colour (0xRRGGBB) of the points that have none of their own: full green unless the
    // user chooses another. The editor's line colour is the display's, not the beam's.
    uint32_t defaultColour = 0x00FF00;
    // A show plays this many frames a second (show_stream.h).
    int framesPerSecond = 25;
    // A frame of a show that came from a file gets the corner dwells and the jumps of a frame
    // drawn here, instead of going out point for point as its author made it.
    bool optimiseFiles = false;
    friend bool operator==(const Settings&, const Settings&) = default;
};

// The settings brought into their ranges.
Settings Clamped(const Settings& settings);

// The zone's bounds in DAC units: [left, right] × [bottom, top].
struct ZoneBounds {
    int left = -kDacMax;
    int right = kDacMax;
    int bottom = -kDacMax;
    int top = kDacMax;
};
ZoneBounds Bounds(const Zone& zone);

// The colour (0xRRGGBB) a lit point of colour `rgb` is sent in under the brightness limit.
uint32_t SentColour(uint32_t rgb, int brightnessPercent);

// A contour position (contour units, y down) in the zone (DAC units, y up), clamped to it.
Sample Place(ContourPoint p, const Zone& zone);

// The stream of one frame for points 0..n-1 with their styles (default where `styles` is
// shorter); `lineColour` (0xRRGGBB) is the colour of the default points. The frame is played
// round and round, so it begins with the jump back from the last point to the first; the first
// point is then shown in its own style. An empty contour gives one dark point at the zone's
// centre.
std::vector<Sample> Build(const std::vector<ContourPoint>& points,
                          const std::vector<PointStyle>& styles, uint32_t lineColour,
                          const Settings& settings);

// Build's stream, and how many of its samples at its start are the loop's return (every sample
// before the first point's own): the rest is the frame drawn from its first point on.
struct Loop {
    std::vector<Sample> samples;
    size_t back = 0;
};
Loop BuildLoop(const std::vector<ContourPoint>& points, const std::vector<PointStyle>& styles,
               uint32_t lineColour, const Settings& settings);

// A jump as Build makes it: `jumpDwellBefore` dark samples at `from`, dark steps of at most
// `jumpStep` to `to`, `jumpDwellAfter` dark samples there.
std::vector<Sample> DarkJump(Sample from, Sample to, const Settings& settings);

}  // namespace model::stage
