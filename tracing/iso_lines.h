// The outlines of the drawn regions: where the brightness crosses the threshold, found with
// sub-pixel precision. Internal to the tracer.
#pragma once

#include <opencv2/core/mat.hpp>
#include <vector>

#include "tracing/traced_line.h"

namespace tracing {

// The lines where the brightness, interpolated linearly between pixel centres, crosses
// `level`: the borders of the drawn regions with sub-pixel precision, as marching squares
// finds them. `grey` has a border of one background pixel all round, so every line closes;
// `drawn` is non-zero where a pixel is on the drawn side (darker than the level, or lighter
// with `lighter`). Where two drawn pixels touch only at a corner, they are joined when the
// cell's mean brightness is on the drawn side. Points are in pixel positions of the picture
// without its border (pixel u's centre at u).
std::vector<TracedLine> IsoLines(const cv::Mat& grey, const cv::Mat& drawn, double level,
                                 bool lighter);

}  // namespace tracing
