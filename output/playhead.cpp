#include "output/playhead.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace output {

using model::stage::Sample;

namespace {

// Samples of the dark move between two frames, at the least.
constexpr int kTransit = 8;

}  // namespace

Playhead::Place Playhead::GoOn(const std::vector<Frame>& frames, int showFrame, qint64 into) {
    const auto first = std::find_if(frames.begin(), frames.end(), [showFrame](const Frame& f) {
        return f.showFrame == showFrame;
    });
    if (first == frames.end()) {
        return {};
    }
    qint64 left = into;
    size_t k = size_t(first - frames.begin());
    for (; k < frames.size() && frames[k].showFrame == showFrame; ++k) {
        const qint64 size = qint64(frames[k].samples.size());
        if (left < size * frames[k].times) {
            return {k, int(left / size), size_t(left % size), into};
        }
        left -= size * frames[k].times;
    }
    // Its time is over in the newer frames: the next show frame from its start.
    return {k % frames.size(), 0, 0, 0};
}

bool Playhead::Update(FrameSlot& slot) {
    std::vector<Frame> newer;
    qint64 limit = 0;
    bool goOn = false;
    if (slot.TakeNewer(generation_, newer, limit, goOn)) {
        std::erase_if(newer, [](const Frame& f) { return f.samples.empty() || f.times < 1; });
        if (newer.empty()) {
            return Playing();
        }
        limit_ = limit;
        given_ = 0;
        const Place place =
            goOn && Playing() ? GoOn(newer, frames_[frame_].showFrame, intoShow_) : Place{};
        const Frame& entered = newer[place.frame];
        const Sample to = entered.samples[place.index];
        transit_.clear();
        if (Playing()) {
            // A few steps, and as many more as keep each within the frame's jump step.
            const double distance = std::hypot(double(to.x) - last_.x, double(to.y) - last_.y);
            const int steps =
                entered.jumpStep > 0
                    ? std::max(kTransit,
                               int(std::ceil(distance / (entered.jumpStep - std::numbers::sqrt2))))
                    : kTransit;
            for (int i = 1; i <= steps; ++i) {
                Sample m;
                m.x = int16_t(std::lround(last_.x + double(to.x - last_.x) * i / steps));
                m.y = int16_t(std::lround(last_.y + double(to.y - last_.y) * i / steps));
                transit_.push_back(m);
            }
        }
        frames_ = std::move(newer);
        frame_ = place.frame;
        round_ = place.round;
        index_ = place.index;
        intoShow_ = place.into;
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
        const Frame& frame = frames_[frame_];
        const std::vector<Sample>& samples = frame.samples;
        const size_t n = std::min(samples.size() - index_, size_t(count));
        out.assign(samples.begin() + qsizetype(index_), samples.begin() + qsizetype(index_ + n));
        index_ += n;
        intoShow_ += qint64(n);
        if (index_ == samples.size()) {
            index_ = 0;
            if (++round_ >= frame.times) {
                round_ = 0;
                const int showFrame = frame.showFrame;
                frame_ = (frame_ + 1) % frames_.size();
                if (frame_ == 0 || frames_[frame_].showFrame != showFrame) {
                    intoShow_ = 0;
                }
            }
        }
    }
    if (!out.empty()) {
        last_ = out.back();
    }
    given_ += qint64(out.size());
    return out;
}

}  // namespace output
