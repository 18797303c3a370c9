// A show: the frames of an animation in order, each a contour of its own (positions and
// styles, at most the contour's 2041 points) with an optional name (an ILDA frame's eight
// characters). The editor's contour is the frame being edited; the others wait here.
#pragma once

#include <cstddef>
#include <cstdint>
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

// The most frames a show holds: an ILDA header counts them in 16 bits.
inline constexpr int kMaxShowFrames = 65535;

// The n frames that lead from `a` to `b`, point i of each on the way from point i of `a` to
// point i of `b`: frame k (1..n) holds a + (b - a) * k / (n + 1), worked in 64 bits and
// truncated toward zero, for each coordinate and for each colour channel. An end that is a
// default point counts as `lineColour` (the settings' line colour) when the other is coloured,
// so the in-between is coloured; a point default at both ends stays default, and one blanked at
// either end stays blanked. The frames have no name.
struct InBetweens {
    enum class Refusal {
        None,
        PointCounts,  // the two frames have different numbers of points
        Count,        // n is not from 1 to kMaxShowFrames
    };
    Refusal refusal = Refusal::None;
    std::vector<Frame> frames;  // empty when refused
};
InBetweens InBetween(const Frame& a, const Frame& b, int n,
                     uint32_t lineColour = kDefaultLineColour);

}  // namespace model
