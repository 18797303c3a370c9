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
    std::vector<Frame> newer;
    qint64 limit = 0;
    if (slot.TakeNewer(generation_, newer, limit)) {
        std::erase_if(newer, [](const Frame& f) { return f.samples.empty(); });
        if (newer.empty()) {
            return Playing();
        }
        limit_ = limit;
        given_ = 0;
        const Sample to = newer.front().samples.front();
        transit_.clear();
        if (Playing()) {
            for (int i = 1; i <= kTransit; ++i) {
                Sample m;
                m.x = int16_t(std::lround(last_.x + double(to.x - last_.x) * i / kTransit));
                m.y = int16_t(std::lround(last_.y + double(to.y - last_.y) * i / kTransit));
                transit_.push_back(m);
            }
        }
        frames_ = std::move(newer);
        frame_ = 0;
        index_ = 0;
    }
    return Playing();
}

std::vector<Sample> Playhead::Next(int count) {
    std::vector<Sample> out;
    if (limit_ > 0) {
        count = int(std::min<qint64>(count, limit_ - given_));
    }
    if (count <= 0) {
        return out;
    }
    if (!transit_.empty()) {
        const size_t n = std::min(transit_.size(), size_t(count));
        out.assign(transit_.begin(), transit_.begin() + qsizetype(n));
        transit_.erase(transit_.begin(), transit_.begin() + qsizetype(n));
    } else if (Playing()) {
        const std::vector<Sample>& samples = frames_[frame_].samples;
        const size_t n = std::min(samples.size() - index_, size_t(count));
        out.assign(samples.begin() + qsizetype(index_), samples.begin() + qsizetype(index_ + n));
        index_ += n;
        if (index_ == samples.size()) {
            index_ = 0;
            frame_ = (frame_ + 1) % frames_.size();
        }
    }
    if (!out.empty()) {
        last_ = out.back();
    }
    given_ += qint64(out.size());
    return out;
}

}  // namespace output
