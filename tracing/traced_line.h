// A line as the tracing steps find it, in pixel positions of the picture as traced, before it
// is simplified. Internal to the tracer.
#pragma once

#include <cstdint>
#include <opencv2/core/types.hpp>
#include <vector>

namespace tracing {

// Where the pixels leave a traced point's place open by half a pixel: between two pixels of
// flat colours (a hard step, nothing partly covered), anywhere between their centres; on a
// line of pixels (edges, centre lines), anywhere within its pixel.
enum class Loose : uint8_t { None, AcrossX, AcrossY, Around };

// A traced line: its points and how loose each is.
struct TracedLine {
    std::vector<cv::Point2f> points;
    std::vector<Loose> loose;
};

}  // namespace tracing
