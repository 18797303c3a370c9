// A stream of the output stage for the tests of the network senders: a worked contour of
// default points, a coloured run and a blanked jump, in a zone that is moved, flipped and turned.
#pragma once

#include <cmath>
#include <numbers>
#include <vector>

#include "model/output_stage.h"

namespace testing_support {

inline std::vector<model::stage::Sample> WorkedStream(int rate, int points = 60) {
    std::vector<model::ContourPoint> contour;
    std::vector<model::PointStyle> styles;
    for (int i = 0; i < points; ++i) {
        const double a = i * 2 * std::numbers::pi / points;
        contour.push_back({int32_t(600'000'000 * std::cos(a)), int32_t(400'000'000 * std::sin(a))});
        styles.push_back(i * 3 >= points && i * 5 < 2 * points ? model::PointStyle::Dark()
                         : i * 3 >= 2 * points && i * 6 < 5 * points
                             ? model::PointStyle::Colour(0x2080FF)
                             : model::PointStyle{});
    }
    model::stage::Settings s;
    s.pointRate = rate;
    s.blankingShift = 2;
    s.zone = {80, 10, -5, false, true, 1};
    return model::stage::Build(contour, styles, 0xFF4000, s);
}

}  // namespace testing_support
