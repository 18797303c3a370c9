// Which sample goes out next, for the senders of every protocol.
#pragma once

#include <vector>

#include "output/link.h"

namespace output {

// The player of frames that both network senders share: which sample comes next, the switch
// to a newer frame (through a short dark move, so that no line is drawn between the two) and
// how many samples are due by the clock.
class Playhead {
  public:
    // Takes a newer frame from the slot; true when there is a frame to play.
    bool Update(FrameSlot& slot);
    // The next `count` samples (fewer at the end of the frame, so that a newer frame can come
    // in at the very next call).
    std::vector<model::stage::Sample> Next(int count);
    int Rate() const { return frame_.pointRate; }
    model::stage::Sample Last() const { return last_; }
    bool Playing() const { return !frame_.samples.empty(); }

  private:
    quint64 generation_ = 0;
    Frame frame_;
    std::vector<model::stage::Sample> transit_;  // the dark move into a new frame
    size_t index_ = 0;
    model::stage::Sample last_;
};

}  // namespace output
