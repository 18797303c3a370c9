// The frame commands of the "Кадр" menu: a new empty frame after the current one, a copy of
// it, its removal, the in-betweens from it to the next, the next, previous, first and last
// frame, and a frame dragged to another place in the strip; the onion skin, the neighbouring
// frames drawn faint under the current one. Each command that changes the frames can be undone,
// as a contour edit is (one level).
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
    // "Промежуточные кадры…": asks how many, then InBetween.
    void ItemFrameInBetweenClick();
    // n frames between the current one and the next, each point on its way from the one to the
    // other (model::InBetween), inserted after the current one, the first of them becoming the
    // current one. Refused with a message when there is no next frame, when the two have
    // different numbers of points, or when the show would hold more than it can; false then.
    bool InBetween(int n);
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
    // After a command that changed the frames: announced and drawn; Undo enabled when it takes
    // the command back, else the frames' undo dropped and Undo disabled.
    void Changed(bool undoable);

  private:
    editor::Show& show() { return window_.editor().document().show(); }

    CommandWindow& window_;
    bool neighbours_ = false;
};

}  // namespace window
