#include "editor/show.h"

#include <algorithm>

namespace editor {

namespace {

// Default styles at a frame's end are not kept: a frame of default points carries none.
void Trim(model::Frame& f) {
    while (!f.styles.empty() && f.styles.back().IsDefault()) {
        f.styles.pop_back();
    }
}

}  // namespace

Show::Show(model::Contour& contour) : contour_(contour), frames_(1), fromFile_(1, false) {}

void Show::Keep() {
    model::Frame& f = frames_[std::size_t(current_)];
    f.points = contour_.Points();
    f.styles = contour_.PointStyles();
    Trim(f);
}

void Show::Load(int i) {
    current_ = i;
    const model::Frame& f = frames_[std::size_t(i)];
    contour_.SetPoints(f.points, f.styles);
}

model::Frame Show::frame(int i) const {
    if (i != current_) {
        return frames_[std::size_t(i)];
    }
    model::Frame f = frames_[std::size_t(i)];
    f.points = contour_.Points();
    f.styles = contour_.PointStyles();
    Trim(f);
    return f;
}

std::vector<model::Frame> Show::frames() const {
    std::vector<model::Frame> all = frames_;
    all[std::size_t(current_)] = frame(current_);
    return all;
}

void Show::Select(int i) {
    if (i < 0 || i >= count() || i == current_) {
        return;
    }
    Keep();
    Load(i);
}

void Show::Insert(int at, model::Frame frame) {
    at = std::clamp(at, 0, count());
    Keep();
    Trim(frame);
    frames_.insert(frames_.begin() + at, std::move(frame));
    fromFile_.insert(fromFile_.begin() + at, false);
    Load(at);
}

void Show::InsertAll(int at, std::vector<model::Frame> frames) {
    if (frames.empty()) {
        return;
    }
    at = std::clamp(at, 0, count());
    Keep();
    for (model::Frame& f : frames) {
        Trim(f);
    }
    const std::size_t n = frames.size();
    frames_.insert(frames_.begin() + at, std::make_move_iterator(frames.begin()),
                   std::make_move_iterator(frames.end()));
    fromFile_.insert(fromFile_.begin() + at, n, false);
    Load(at);
}

void Show::Remove(int i) {
    if (count() <= 1 || i < 0 || i >= count()) {
        return;
    }
    Keep();
    frames_.erase(frames_.begin() + i);
    fromFile_.erase(fromFile_.begin() + i);
    Load(std::min(i, count() - 1));
}

void Show::Move(int from, int to) {
    if (from < 0 || from >= count() || to < 0 || to >= count() || from == to) {
        return;
    }
    Keep();
    const bool movedCurrent = from == current_;
    model::Frame f = std::move(frames_[std::size_t(from)]);
    const bool file = fromFile_[std::size_t(from)];
    frames_.erase(frames_.begin() + from);
    fromFile_.erase(fromFile_.begin() + from);
    frames_.insert(frames_.begin() + to, std::move(f));
    fromFile_.insert(fromFile_.begin() + to, file);
    if (movedCurrent) {
        current_ = to;
    } else if (from < current_ && to >= current_) {
        --current_;
    } else if (from > current_ && to <= current_) {
        ++current_;
    }
}

void Show::Reset(std::vector<model::Frame> frames, int current, bool fromFile) {
    if (frames.empty()) {
        frames.emplace_back();
    }
    for (model::Frame& f : frames) {
        Trim(f);
    }
    frames_ = std::move(frames);
    fromFile_.assign(frames_.size(), fromFile);
    Load(std::clamp(current, 0, count() - 1));
}

void Show::Adopt(std::string name, bool fromFile) {
    frames_.assign(1, model::Frame{{}, {}, std::move(name)});
    fromFile_.assign(1, fromFile);
    current_ = 0;
}

bool Show::Holds(const std::vector<model::Frame>& frames) const {
    if (frames.size() != frames_.size()) {
        return false;
    }
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const model::Frame& want = frames[i];
        if (int(i) != current_) {
            if (frames_[i] != want) {
                return false;
            }
            continue;
        }
        // The current frame is in the contour: its points, then its styles, default past the
        // ones kept.
        const int32_t n = contour_.State.PointCount;
        if (want.name != frames_[i].name || int64_t(want.points.size()) != int64_t(n)) {
            return false;
        }
        for (int32_t k = 0; k < n; ++k) {
            const model::ContourPoint p{contour_.Slot(2 * int64_t(k)),
                                        contour_.Slot(2 * int64_t(k) + 1)};
            const model::PointStyle style = std::size_t(k) < want.styles.size()
                                                ? want.styles[std::size_t(k)]
                                                : model::PointStyle{};
            if (p != want.points[std::size_t(k)] || contour_.StyleAt(k) != style) {
                return false;
            }
        }
    }
    return true;
}

Show::State Show::Snapshot() const {
    return State{frames(), fromFile_, current_};
}

void Show::TakeUndo() {
    Keep();
    undo_ = State{frames_, fromFile_, current_};
}

void Show::Undo() {
    if (!undo_) {
        return;
    }
    State back = std::move(*undo_);
    undo_.reset();
    frames_ = std::move(back.frames);
    fromFile_ = std::move(back.fromFile);
    Load(back.current);
}

model::stage::ShowStream StreamOf(const Show& show, const model::stage::Settings& settings) {
    std::vector<bool> asMade;
    for (int i = 0; i < show.count(); ++i) {
        asMade.push_back(show.fromFile(i));
    }
    return model::stage::BuildShow(show.frames(), asMade, settings);
}

}  // namespace editor
