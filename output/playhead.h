// Which sample goes out next, for the senders of every protocol.
#pragma once

#include <vector>

#include "output/link.h"

namespace output {

// The player of frames that both network senders share: which sample comes next, each frame
// played its number of times, the switch to newer frames (through a short dark move, so that
// no line is drawn between the two; from the same frame of a show when they go on) and the
// end of a run of a given number of samples.
class Playhead {
  public:
    // Takes newer frames from the slot; true when there is a frame to play.
    bool Update(FrameSlot& slot);
    // The next `count` samples (fewer at the end of a frame, so that newer frames can come in
    // at the very next call); after the last sample of a frame comes the next frame's first.
    // None once a limited run has given all its samples.
    std::vector<model::stage::Sample> Next(int count);
    // A limited run has given all its samples.
    bool Ended() const { return limit_ > 0 && given_ >= limit_; }
    int Rate() const { return Playing() ? frames_[frame_].pointRate : 0; }
    model::stage::Sample Last() const { return last_; }
    bool Playing() const { return !frames_.empty(); }

  private:
    quint64 generation_ = 0;
    // Where newer frames that go on from the show frame `showFrame`, `into` samples into it,
    // begin.
    struct Place {
        size_t frame = 0;
        int round = 0;
        size_t index = 0;
        qint64 into = 0;
    };
    static Place GoOn(const std::vector<Frame>& frames, int showFrame, qint64 into);

    std::vector<Frame> frames_;  // none empty, each played at least once
    size_t frame_ = 0;
    int round_ = 0;  // times the frame has played whole
    // Samples given since the show frame playing began.
    qint64 intoShow_ = 0;
    std::vector<model::stage::Sample> transit_;  // the dark move into a new frame
    size_t index_ = 0;
    model::stage::Sample last_;
    qint64 limit_ = 0;  // samples to give from the frames taken last; 0 for no end
    qint64 given_ = 0;
};

}  // namespace output
