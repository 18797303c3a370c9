// A show: the frames of an animation in order, each a contour of its own (positions and
// styles, at most the contour's 2041 points) with an optional name (an ILDA frame's eight
// characters). The editor's contour is the frame being edited; the others wait here.
#pragma once

#include <string>
#include <vector>

#include "model/contour.h"

namespace model {

struct Frame {
    std::vector<ContourPoint> points;
    std::vector<PointStyle> styles;  // one per point, or fewer: the rest are default points
    std::string name;
    friend bool operator==(const Frame&, const Frame&) = default;
};

}  // namespace model
