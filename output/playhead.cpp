#include "output/playhead.h"

#include <algorithm>
#include <cmath>

namespace output {

using model::stage::Sample;

namespace {

// Samples of the dark move between two frames.
constexpr int kTransit = 8;

}  // namespace

bool Playhead::Update(FrameSlot& slot) {
    Frame newer;
    if (slot.TakeNewer(generation_, newer) && !newer.samples.empty()) {
        const Sample to = newer.samples.front();
        transit_.clear();
        if (Playing()) {
            for (int i = 1; i <= kTransit; ++i) {
                Sample m;
                m.x = int16_t(std::lround(last_.x + double(to.x - last_.x) * i / kTransit));
                m.y = int16_t(std::lround(last_.y + double(to.y - last_.y) * i / kTransit));
                transit_.push_back(m);
            }
        }
        frame_ = std::move(newer);
        index_ = 0;
    }
    return Playing();
}

std::vector<Sample> Playhead::Next(int count) {
    std::vector<Sample> out;
    if (!transit_.empty()) {
        const size_t n = std::min(transit_.size(), size_t(count));
        out.assign(transit_.begin(), transit_.begin() + qsizetype(n));
        transit_.erase(transit_.begin(), transit_.begin() + qsizetype(n));
    } else if (Playing()) {
        const size_t n = std::min(frame_.samples.size() - index_, size_t(count));
        out.assign(frame_.samples.begin() + qsizetype(index_),
                   frame_.samples.begin() + qsizetype(index_ + n));
        index_ = (index_ + n) % frame_.samples.size();
    }
    if (!out.empty()) {
        last_ = out.back();
    }
    return out;
}

}  // namespace output
