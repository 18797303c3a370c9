// Many paths -> one contour. Traced outlines, edges, centre lines and imported vector art all
// arrive as separate paths; the projector draws one run of points. This resamples each path at
// the pen's spacing, orders the paths so that the jumps between them stay short and fills each
// jump exactly as the pen fills the gap of a press far from the contour's end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "model/contour.h"

namespace model {

// A position in contour units, with the fraction kept.
struct PathPoint {
    double x = 0;
    double y = 0;
};

struct Path {
    std::vector<PathPoint> points;
    bool closed = false;  // the last point joins the first
    PointStyle style;     // how its lines are drawn (lit; a colour or the default)
};

// The most points a contour holds.
inline constexpr std::size_t kMaxContourPoints = std::size_t(kAppendLimit) + 1;

struct JoinedContour {
    std::vector<ContourPoint> points;  // empty when it does not fit
    std::vector<PointStyle> styles;    // one per point: the paths' own, the jumps dark
    std::size_t needed = 0;            // points the join needs (may exceed the limit)
    int paths = 0;                     // paths that went into it
    double jumpPixels = 0;             // total length of the jumps between paths, pixels
    bool fits() const { return needed > 0 && needed <= kMaxContourPoints; }
};

// Resamples a path so that neighbouring points are at most `spacing` contour units apart.
// Sharp corners stay where they are; between them the points are spread evenly along the
// path. A closed path comes back to its first point.
std::vector<PathPoint> ResamplePath(const Path& path, double spacing);

// Joins the paths into one contour at a spacing of `spacingPixels` surface pixels. Starts at
// the path end nearest the surface's top-left corner; every next path is the one with an
// entry nearest the current end (an open path at either end, a closed one at any point, in
// the direction that turns least). Points are rounded to whole units and kept on the
// surface. Each path's points take its style; a jump between paths is drawn dark: its fill
// points and the path's first point are blanked, and that point is repeated once, dark, so
// that the beam settles before it lights. The way back from the last point to the first is a
// jump too when they differ: the first point then comes twice, dark. Does not build the
// points when more than the limit would be needed.
JoinedContour JoinPaths(const std::vector<Path>& paths, int spacingPixels,
                        std::size_t limit = kMaxContourPoints);

// Joins the paths in the order given (text: letters left to right, line by line), each entered
// at its end nearest the end so far (a closed path at its nearest point), after the points
// `before`, which stay as they are; the first path is joined to them like a pen press far
// from the contour's end. Without points before, the first path is entered at its end nearest
// the surface's top-left corner. `needed` counts the points before too. Jumps are dark, as
// JoinPaths makes them; the points before keep `beforeStyles` (default where it is shorter).
JoinedContour JoinPathsInOrder(const std::vector<Path>& paths, int spacingPixels,
                               const std::vector<ContourPoint>& before = {},
                               const std::vector<PointStyle>& beforeStyles = {},
                               std::size_t limit = kMaxContourPoints);

// The widest spacing offered when a join does not fit, pixels.
inline constexpr int kMaxOfferedSpacing = 30;

// The smallest spacing from `from` to kMaxOfferedSpacing pixels at which the join fits, or 0
// if none does. Each spacing is tried in turn: the points needed may rise again as the
// spacing grows.
int SmallestFittingSpacing(const std::vector<Path>& paths, int from);
// The same for any join: `fitsAt` tells whether it fits at a spacing.
int SmallestFittingSpacing(const std::function<bool(int)>& fitsAt, int from);

}  // namespace model
