// The freehand pen: presses and drags append points to the end of the contour, at least one
// point spacing apart; a press away from the contour's end first fills the gap evenly.
#pragma once

#include "editor/tool.h"

namespace editor {
class Editor;
}

namespace editor::tools {

class PenTool : public Tool {
  public:
    explicit PenTool(Editor& editor) : e_(editor) {}

    void Down(MouseButton button, int x, int y) override { PenModeDown(button, x, y); }
    void Move(int x, int y) override { PenModeMove(x, y); }
    void Up(MouseButton button, int x, int y) override { PenModeUp(button, x, y); }

    void PenModeDown(MouseButton button, int x, int y);
    void PenModeMove(int x, int y);
    void PenModeUp(MouseButton button, int x, int y);

  private:
    Editor& e_;
};

}  // namespace editor::tools
