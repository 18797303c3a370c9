// The frames of the document. The editor's contour is the frame being edited; the others wait
// here. Tools, the undo buffer and the painters see only the contour and never learn that other
// frames exist: frame commands, the frame strip and the onion skin sit above them and go through
// this class. A new document is a show of one frame.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/contour.h"
#include "model/show.h"
#include "model/show_stream.h"

namespace editor {

class Show {
  public:
    explicit Show(model::Contour& contour);

    int count() const { return int(frames_.size()); }
    int current() const { return current_; }
    // Frame i, from 0; the current one as the contour holds it now.
    model::Frame frame(int i) const;
    // Every frame, the current one as the contour holds it.
    std::vector<model::Frame> frames() const;
    const std::string& name(int i) const { return frames_[std::size_t(i)].name; }
    void setName(int i, std::string name) { frames_[std::size_t(i)].name = std::move(name); }
    // Whether frame i came from a file and has not been edited since: it is sent to a laser
    // point for point, as its author made it.
    bool fromFile(int i) const { return fromFile_[std::size_t(i)]; }
    void setFromFile(int i, bool fromFile) { fromFile_[std::size_t(i)] = fromFile; }

    // Keeps the current frame and puts frame i in the contour. Out of range: nothing.
    void Select(int i);
    // Inserts a frame before index `at` (count() appends) and makes it the current one.
    void Insert(int at, model::Frame frame);
    // Inserts frames before index `at`, in order; the first of them becomes the current one.
    // Nothing when there are none.
    void InsertAll(int at, std::vector<model::Frame> frames);
    // Removes frame i; the last frame is never removed. The current frame becomes the one after
    // it, or the new last.
    void Remove(int i);
    // Moves frame `from` to index `to`; the current frame stays the same frame.
    void Move(int from, int to);
    // A show in place of this one, frame `current` in the contour.
    void Reset(std::vector<model::Frame> frames, int current = 0, bool fromFile = false);
    // A show of one frame in place of this one: the contour as it holds it now, under `name`.
    void Adopt(std::string name, bool fromFile);
    // Whether the frames are `frames`, the current one as the contour holds it (its trailing
    // default styles aside), without a copy of the show.
    bool Holds(const std::vector<model::Frame>& frames) const;

    // The whole show, as an undo brings it back.
    struct State {
        std::vector<model::Frame> frames;
        std::vector<bool> fromFile;
        int current = 0;
    };
    State Snapshot() const;

    // One level of undo for the frame commands: the show as it is now, then back to it.
    void TakeUndo();
    // The same with a show kept before the step that changed it.
    void TakeUndo(State before) { undo_ = std::move(before); }
    bool canUndo() const { return undo_.has_value(); }
    void DropUndo() { undo_.reset(); }
    void Undo();

  private:
    // The contour's points and styles into the current frame's place.
    void Keep();
    void Load(int i);

    model::Contour& contour_;
    std::vector<model::Frame> frames_;
    std::vector<bool> fromFile_;
    int current_ = 0;
    std::optional<State> undo_;
};

// The show in time as a laser gets it (model/show_stream.h): every frame, the current one as
// the contour holds it, those from a file as their author made them.
model::stage::ShowStream StreamOf(const Show& show, const model::stage::Settings& settings);

}  // namespace editor
