// Choosing the threshold between the drawn and the undrawn side of a picture, and applying it.
// Internal to the tracer.
#pragma once

#include <opencv2/core/mat.hpp>

namespace tracing {

// Otsu's threshold of the brightness `grey` (8 bits), of the pixels `mask` marks, or of all
// with an empty mask: a pixel darker than it is drawn.
int OtsuThreshold(const cv::Mat& grey, const cv::Mat& mask);

// Non-zero where a pixel is on the drawn side of the threshold: darker, or lighter with
// `invert`.
cv::Mat DrawnSide(const cv::Mat& grey, int threshold, bool invert);

// The brightness an outline follows: half a level from the threshold, towards the drawn side,
// so that it runs between the last drawn and the first undrawn level.
double OutlineLevel(int threshold, bool invert);

}  // namespace tracing
