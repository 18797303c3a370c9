// The lines along pixels: the edges of a picture and the centre lines of its strokes, each
// thinned to one pixel and followed from end to end. Internal to the tracer.
#pragma once

#include <opencv2/core/mat.hpp>
#include <vector>

#include "tracing/traced_line.h"

namespace tracing {

struct PixelLine {
    TracedLine line;
    bool closed = false;
};

// Where the brightness `grey` (8 bits, without a border) changes sharply, as Canny finds it
// with `threshold` as the strong and half of it as the weak gradient; each point where the
// change peaks across its edge.
std::vector<PixelLine> EdgeLines(const cv::Mat& grey, int threshold);
// The middle of the strokes of `drawn` (non-zero on the drawn side, without a border), on
// pixel centres.
std::vector<PixelLine> CentreLines(const cv::Mat& drawn);

}  // namespace tracing
