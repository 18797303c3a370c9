#include "model/show_stream.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace model::stage {

namespace {

double Distance(Sample a, Sample b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

// One frame drawn once (`body`, never empty) and the way from its end back to its start.
struct Drawing {
    std::vector<Sample> body;
    std::vector<Sample> back;
    bool asMade = false;
};

// The frame's points as they are, each in its place, lit in its colour or dark.
Drawing AsMade(const Frame& frame, const Settings& s) {
    Drawing d;
    d.asMade = true;
    for (size_t i = 0; i < frame.points.size(); ++i) {
        const PointStyle style = i < frame.styles.size() ? frame.styles[i] : PointStyle{};
        Sample p = Place(frame.points[i], s.zone);
        if (!style.blanked) {
            const uint32_t sent =
                SentColour(style.coloured ? style.rgb : s.defaultColour, s.brightnessPercent);
            p.r = uint8_t(sent >> 16);
            p.g = uint8_t(sent >> 8);
            p.b = uint8_t(sent);
        }
        d.body.push_back(p);
    }
    if (d.body.empty()) {
        // As the stage sends an empty contour: one dark point at the zone's centre.
        const ZoneBounds b = Bounds(s.zone);
        d.body.push_back({int16_t((b.left + b.right) / 2), int16_t((b.bottom + b.top) / 2)});
    }
    if (Distance(d.body.back(), d.body.front()) > s.jumpStep) {
        d.back = DarkJump(d.body.back(), d.body.front(), s);
    }
    return d;
}

// The frame as the stage draws it, its loop's return split off.
Drawing Drawn(const Frame& frame, const Settings& s) {
    Loop loop = BuildLoop(frame.points, frame.styles, s.defaultColour, s);
    Drawing d;
    d.back.assign(loop.samples.begin(), loop.samples.begin() + std::ptrdiff_t(loop.back));
    d.body.assign(loop.samples.begin() + std::ptrdiff_t(loop.back), loop.samples.end());
    if (d.body.empty()) {
        // Nothing lit after the return (one blanked point): the return is the whole drawing.
        std::swap(d.body, d.back);
    }
    return d;
}

// The dark way from the end of `from` to the start of `to`, `extra` samples longer than it
// must be. A frame drawn here leaves and is entered through a jump, as its own loop is; two
// frames as made need one only where the step is longer than the jump step, and then spend
// the time left waiting dark: first where the beam is, as long as a jump would, the rest at
// the next frame's start.
std::vector<Sample> Onward(const Drawing& from, const Drawing& to, size_t extra,
                           const Settings& s) {
    const Sample a = from.body.back();
    const Sample b = to.body.front();
    std::vector<Sample> way;
    if (!from.asMade || !to.asMade || Distance(a, b) > s.jumpStep) {
        way = DarkJump(a, b, s);
    } else {
        const size_t before = std::min(extra, size_t(s.jumpDwellBefore));
        way.assign(before, Sample{a.x, a.y});
        extra -= before;
    }
    way.insert(way.end(), extra, Sample{b.x, b.y});
    if (!from.asMade) {
        // The colours the blanking shift carries past the drawing's end, as into its return.
        const size_t carried = std::min({size_t(s.blankingShift), way.size(), from.back.size()});
        for (size_t k = 0; k < carried; ++k) {
            way[k].r = from.back[k].r;
            way[k].g = from.back[k].g;
            way[k].b = from.back[k].b;
        }
    }
    return way;
}

}  // namespace

size_t ShowStream::Length() const {
    size_t length = 0;
    for (const FrameTime& f : frames) {
        length += f.Length();
    }
    return length;
}

ShowStream BuildShow(const std::vector<Frame>& frames, const std::vector<bool>& asMade,
                     const Settings& settings) {
    const Settings s = Clamped(settings);
    ShowStream show;
    const size_t n = frames.size();
    if (n == 0) {
        return show;
    }
    std::vector<Drawing> drawings;
    drawings.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const bool made = i < asMade.size() && asMade[i] && !s.optimiseFiles;
        drawings.push_back(made ? AsMade(frames[i], s) : Drawn(frames[i], s));
    }
    // Frame i's time ends at sample (i + 1) * rate / fps, rounded down: the fractions add up
    // over the show instead of being lost frame by frame.
    const int64_t rate = s.pointRate;
    const int64_t fps = s.framesPerSecond;
    for (size_t i = 0; i < n; ++i) {
        const Drawing& d = drawings[i];
        const Drawing& next = drawings[(i + 1) % n];
        const size_t budget = size_t((int64_t(i + 1) * rate) / fps - (int64_t(i) * rate) / fps);
        const size_t least = Onward(d, next, 0, s).size();
        const size_t again = d.back.size() + d.body.size();
        FrameTime t;
        size_t extra = 0;
        if (d.body.size() + least > budget) {
            show.slow = true;
        } else {
            const size_t spare = budget - d.body.size() - least;
            t.drawings = 1 + int(spare / again);
            extra = spare % again;
        }
        t.first = d.body;
        t.again = d.back;
        t.again.insert(t.again.end(), d.body.begin(), d.body.end());
        t.onward = Onward(d, next, extra, s);
        show.frames.push_back(std::move(t));
    }
    show.framesPerSecond = double(n) * double(rate) / double(show.Length());
    return show;
}

std::vector<Sample> Held(const Frame& frame, bool asMade, const Settings& settings) {
    const Settings s = Clamped(settings);
    Drawing d = asMade && !s.optimiseFiles ? AsMade(frame, s) : Drawn(frame, s);
    d.back.insert(d.back.end(), d.body.begin(), d.body.end());
    return d.back;
}

std::vector<Sample> Samples(const FrameTime& frame) {
    std::vector<Sample> out;
    out.reserve(frame.Length());
    out.insert(out.end(), frame.first.begin(), frame.first.end());
    for (int k = 1; k < frame.drawings; ++k) {
        out.insert(out.end(), frame.again.begin(), frame.again.end());
    }
    out.insert(out.end(), frame.onward.begin(), frame.onward.end());
    return out;
}

std::vector<Sample> Samples(const ShowStream& show) {
    std::vector<Sample> out;
    out.reserve(show.Length());
    for (const FrameTime& f : show.frames) {
        const std::vector<Sample> samples = Samples(f);
        out.insert(out.end(), samples.begin(), samples.end());
    }
    return out;
}

}  // namespace model::stage
