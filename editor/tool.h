// A mouse tool: the press, move and release handlers that the surface dispatch calls for the
// active tool mode. Positions arrive already clamped to the surface's used area.
#pragma once

namespace editor {

enum class MouseButton { Left, Right, Middle };

class Tool {
  public:
    virtual ~Tool() = default;
    virtual void Down(MouseButton /*button*/, int /*x*/, int /*y*/) {}
    virtual void Move(int /*x*/, int /*y*/) {}
    virtual void Up(MouseButton /*button*/, int /*x*/, int /*y*/) {}
};

}  // namespace editor
