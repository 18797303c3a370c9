// A show as a scanner gets it, in time: each frame holds the beam for its share of a second
// (pointRate / framesPerSecond samples), drawn as many whole times as fit, the time left spent
// dark on the way to the next frame's first point; the last frame's way leads back to the first
// frame's, so the stream plays round and round. No sample between two drawings moves the beam
// further than the jump step. Pure, like the output stage it is built on.
#pragma once

#include <cstddef>
#include <vector>

#include "model/output_stage.h"
#include "model/show.h"

namespace model::stage {

// One frame's time in the stream: `first`, then `again` another `drawings - 1` times, then
// `onward`.
struct FrameTime {
    // The frame drawn once, from its first point.
    std::vector<Sample> first;
    // The way back from the drawing's end to its start (dark, or nothing for a frame from a file
    // whose end is within a jump step of its start), and the drawing again.
    std::vector<Sample> again;
    int drawings = 1;
    // Dark from the last drawing's end to the next frame's first point, waiting out the time
    // left: nothing for a frame from a file that reaches the next one within a jump step just
    // in time.
    std::vector<Sample> onward;
    size_t Length() const {
        return first.size() + again.size() * size_t(drawings - 1) + onward.size();
    }
};

struct ShowStream {
    std::vector<FrameTime> frames;
    // Some frame could not be drawn once in its time: the show runs slow, at `framesPerSecond`.
    bool slow = false;
    // The frames shown a second, round the whole show.
    double framesPerSecond = 0;
    size_t Length() const;
};

// The stream of `frames` with `settings`. A frame with `asMade[i]` set (a frame from a file, as
// its author made it) goes out point for point: placed in the zone, in its colours or the
// default colour, under the brightness limit, and nothing added inside it; only the ways
// between its drawings and to the next frame are dark jumps, where the step is longer than the
// jump step (with `optimiseFiles` it is drawn as the others). Every other frame is drawn as
// Build draws it, its loop's return before each drawing again. No frames: no stream.
ShowStream BuildShow(const std::vector<Frame>& frames, const std::vector<bool>& asMade,
                     const Settings& settings);

// One frame held, played round and round: the way back to its start, then its drawing; as
// made (`asMade`, unless `optimiseFiles`) or as Build draws it, as BuildShow would.
std::vector<Sample> Held(const Frame& frame, bool asMade, const Settings& settings);

// The samples of one frame's time, and of the whole show once round.
std::vector<Sample> Samples(const FrameTime& frame);
std::vector<Sample> Samples(const ShowStream& show);

}  // namespace model::stage
