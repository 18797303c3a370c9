// A traced line simplified to straight runs that meet at its corners. Internal to the tracer.
#pragma once

#include <opencv2/core/types.hpp>
#include <vector>

#include "tracing/traced_line.h"

namespace tracing {

// A path simplified to straight runs, each as long as the points along it stay near the
// line fitted to them (least squares), its corners where neighbouring lines meet. The fitted
// lines cross the traced path rather than cut inside its curves, as chords would, so the
// simplified outline keeps the shape's size; where two sides meet at a corner that the
// tracing rounded, the corner is put back. A loose point may be off its line by the half pixel
// that the pixels leave open, so that the steps of a hard edge are not followed. `tolerance`
// is in the pixels of the traced line.
std::vector<cv::Point2d> Simplify(const TracedLine& traced, bool closed, double tolerance);

}  // namespace tracing
