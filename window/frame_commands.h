// The frame commands of the "Кадр" menu: a new empty frame after the current one, a copy of
// it, its removal, the next, previous, first and last frame, and a frame dragged to another
// place in the strip; the onion skin, the neighbouring frames drawn faint under the current one.
// Each command that changes the frames can be undone, as a contour edit is (one level).
#pragma once

#include <QString>

#include "window/command_window.h"

namespace window {

class FrameCommands {
  public:
    explicit FrameCommands(CommandWindow& window);

    void ItemFrameNewClick();
    void ItemFrameDuplicateClick();
    void ItemFrameDeleteClick();
    void ItemFrameNextClick() { Go(show().current() + 1); }
    void ItemFramePreviousClick() { Go(show().current() - 1); }
    void ItemFrameFirstClick() { Go(0); }
    void ItemFrameLastClick() { Go(show().count() - 1); }
    // Frame i becomes the one edited.
    void Go(int i);
    // Frame `from` moved to index `to`.
    void Move(int from, int to);
    // Undo of the last frame command; false when the last undoable step was not one.
    bool Undo();
    // The onion skin on or off.
    void ShowNeighbours(bool shown);
    bool neighboursShown() const { return neighbours_; }
    // What the window shows of the frames after any change of them: the onion skin, the
    // status bar's "Кадр i/n" and the undo control.
    void Refresh();

  private:
    editor::Show& show() { return window_.editor().document().show(); }
    // After a command that changed the frames: announced, drawn, and undoable.
    void Changed(bool undoable);

    CommandWindow& window_;
    bool neighbours_ = false;
};

}  // namespace window
