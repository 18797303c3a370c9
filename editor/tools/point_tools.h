// The point tools: edit point, eraser, knife and hot point. Each picks its point with the one
// shared search, which may also find the leftover points just past the contour's end.
#pragma once

#include <cstdint>

#include "editor/tool.h"

namespace editor {
class Editor;
}

namespace editor::tools {

// Half the side of the pick square: a point is under the pointer within 5 pixels on each axis.
inline constexpr int kPickReach = 5;

// The pick shared by the point tools: the search and the release that forgets the pick.
class PointTool : public Tool {
  public:
    explicit PointTool(Editor& editor) : e_(editor) {}

    // Scans the points 0..PointCount + 2 (three past the end) in the direction chosen by the
    // direct-hook toggle; the last point in scan order inside the 11-by-11 square around
    // (x, y) becomes PickedIndex and is shown as "Dot:" + number. Any scanned point within
    // 5 pixels of x arms the status timer, whatever its y.
    void SearchPoint(int x, int y);

  protected:
    // What every release of a point tool does: no pick, an empty point readout.
    void DropPick();
    // The highest point index the search may read: PointCount + 2, but never a point whose
    // slots do not both lie inside the buffer.
    int32_t LastScanIndex() const;

    Editor& e_;
};

class EditPointTool : public PointTool {
  public:
    using PointTool::PointTool;

    void Down(MouseButton button, int x, int y) override { EditModeDown(button, x, y); }
    void Move(int x, int y) override { EditModeMove(x, y); }
    void Up(MouseButton button, int x, int y) override { EditModeUp(button, x, y); }

    void EditModeDown(MouseButton button, int x, int y);
    void EditModeMove(int x, int y);
    void EditModeUp(MouseButton button, int x, int y);
};

class EraserTool : public PointTool {
  public:
    using PointTool::PointTool;

    void Down(MouseButton button, int x, int y) override { EraseModeDown(button, x, y); }
    void Up(MouseButton button, int x, int y) override { EraseModeUp(button, x, y); }

    void EraseModeDown(MouseButton button, int x, int y);
    void EraseModeUp(MouseButton button, int x, int y);
};

class KnifeTool : public PointTool {
  public:
    using PointTool::PointTool;

    void Down(MouseButton button, int x, int y) override { KnifeModeDown(button, x, y); }
    void Up(MouseButton button, int x, int y) override { KnifeModeUp(button, x, y); }

    void KnifeModeDown(MouseButton button, int x, int y);
    void KnifeModeUp(MouseButton button, int x, int y);
};

class HotPointTool : public PointTool {
  public:
    using PointTool::PointTool;

    void Down(MouseButton button, int x, int y) override { HotDotModeDown(button, x, y); }
    void Up(MouseButton button, int x, int y) override { HotDotModeUp(button, x, y); }

    void HotDotModeDown(MouseButton button, int x, int y);
    void HotDotModeUp(MouseButton button, int x, int y);
};

}  // namespace editor::tools
