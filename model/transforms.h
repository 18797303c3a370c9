// Commands that change the whole contour at once: the two mirrors, the quarter turn (with or
// without enlargement), the return path and the spacing normalisation. They work in place on
// the buffer and leave repainting to the caller.
#pragma once

#include <cstdint>

#include "model/contour.h"

namespace model {

// The largest magnitude a transformed coordinate may take; the symmetric range keeps a
// mirrored value representable.
inline constexpr int32_t kMaxTransformed = 2'147'483'647;

// Scale factors of the two turning commands.
inline constexpr long double kScaleTurn = 1.0L;
inline constexpr long double kScaleEnlarge = 1.1L;

// Return path refuses contours longer than this.
inline constexpr int32_t kReturnPathLimit = 1000;
// Offset, in contour units on both axes, of each return point from the point it copies.
inline constexpr int32_t kReturnOffset = 10000;
// The normalisation inserts points only while the contour stays within this many points.
inline constexpr int32_t kJoinLimit = 2041;

// Left-right mirror: x := -x for points 0 .. PointCount + 2 (the contour and the three
// points after its end). -2,147,483,648 has no negation and becomes 2,147,483,647.
void MirrorGor(Contour& c);
// Top-bottom mirror: the same for y.
void MirrorVert(Contour& c);

// Turns (x, y) about contour point (0, 0) by its bearing plus 180 + angle degrees and scales
// it by scale, rounding up; every step in extended precision. Returns false, leaving the
// outputs alone, when a result would fall outside -2,147,483,647 .. 2,147,483,647.
bool RotateXY(int32_t x, int32_t y, int angle, long double scale, int32_t& xOut, int32_t& yOut);

// Replaces points 0 .. PointCount (the contour and the point after it) by RotateXY with
// State.RotateScale. If any result would not fit 32 bits, nothing changes and false is
// returned.
bool RotateArea(Contour& c, int angle);

// Appends the contour backwards onto itself, each copy offset by 10000 units right and down
// (saturating at the 32-bit range), and doubles PointCount. Refuses more than 1000 points.
bool ReturnPath(Contour& c);

struct NormalDistanceResult {
    bool gapFound = false;  // some pair of consecutive points is at least one spacing apart
    int64_t lastN = 0;      // the measure of the last such pair
    int32_t inserted = 0;   // points added to join the gaps
};

// Measures every pair of consecutive points in steps of spacingPixels surface pixels and joins
// each gap with evenly spaced points, stopping (the rest left as they are) once the contour
// would pass 2041 points.
NormalDistanceResult NormalDistance(Contour& c, int32_t spacingPixels);

}  // namespace model
