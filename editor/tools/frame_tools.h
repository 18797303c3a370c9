// The selection frame, the move tool that drags it, and the rotation-centre marker. They work
// on the frame and marker fields of the editor state and never touch the contour.
#pragma once

#include "editor/tool.h"

namespace editor {
class Editor;
}

namespace editor::tools {

// Draws a new frame with a left drag, or resizes it by the edge under the pointer.
class KonturTool : public Tool {
  public:
    explicit KonturTool(Editor& editor) : e_(editor) {}

    void Down(MouseButton button, int x, int y) override { KonturModeDown(button, x, y); }
    void Move(int x, int y) override { KonturModeMove(x, y); }
    void Up(MouseButton button, int x, int y) override { KonturModeUp(button, x, y); }

    void KonturModeDown(MouseButton button, int x, int y);
    void KonturModeMove(int x, int y);
    void KonturModeUp(MouseButton button, int x, int y);

  private:
    Editor& e_;
};

// Drags the frame while the pointer is on it, with any button held.
class MoveTool : public Tool {
  public:
    explicit MoveTool(Editor& editor) : e_(editor) {}

    void Down(MouseButton button, int x, int y) override { MoveModeDown(button, x, y); }
    void Move(int x, int y) override { MoveModeMove(x, y); }
    void Up(MouseButton button, int x, int y) override { MoveModeUp(button, x, y); }

    void MoveModeDown(MouseButton button, int x, int y);
    void MoveModeMove(int x, int y);
    void MoveModeUp(MouseButton button, int x, int y);

  private:
    Editor& e_;
};

// Places the rotation-centre marker with a press of any button.
class CentrTool : public Tool {
  public:
    explicit CentrTool(Editor& editor) : e_(editor) {}

    void Down(MouseButton button, int x, int y) override { CentrModeDown(button, x, y); }

    void CentrModeDown(MouseButton button, int x, int y);

  private:
    Editor& e_;
};

}  // namespace editor::tools
