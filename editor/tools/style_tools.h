// The tools that change how the beam reaches the points rather than where they are: blanking
// and the colour brush. Both take the points of the contour (0..PointCount - 1) that lie within
// the point tools' pick reach of the pointer; a drag takes the points near the whole way the
// pointer went, not only near the places the events arrived at.
#pragma once

#include <cstdint>
#include <functional>

#include "editor/tool.h"
#include "model/contour.h"

namespace editor {
class Editor;
}

namespace editor::tools {

// Whether p lies within `reach` pixels on both axes of some place on the segment a-b.
bool NearSegment(model::PixelPos p, model::PixelPos a, model::PixelPos b, int reach);

// What both tools share: the held button and the pointer's last place.
class StyleTool : public Tool {
  public:
    explicit StyleTool(Editor& editor) : e_(editor) {}

  protected:
    // Gives every point of the contour near the segment a-b to `restyle`, which returns the
    // point's new style; returns whether any style changed.
    bool RestyleNear(model::PixelPos a, model::PixelPos b,
                     const std::function<model::PointStyle(model::PointStyle)>& restyle);
    // The point of the contour nearest to p within the pick reach (the lowest index of equally
    // near ones); -1 when there is none.
    int32_t Nearest(model::PixelPos p) const;

    Editor& e_;
    bool held_ = false;
    model::PixelPos last_;
};

// "Гашение": a click toggles the point nearest to it between lit and blanked (the segment into
// it goes dark or lights again); a drag blanks every point it passes near. A press becomes a
// drag once the pointer is more than kClickSlack pixels away from it on an axis.
class BlankTool : public StyleTool {
  public:
    using StyleTool::StyleTool;
    static constexpr int kClickSlack = 2;

    void Down(MouseButton button, int x, int y) override;
    void Move(int x, int y) override;
    void Up(MouseButton button, int x, int y) override;

  private:
    bool Blank(model::PixelPos a, model::PixelPos b);

    bool dragging_ = false;
    model::PixelPos press_;
};

// "Кисть цвета": the press and every move while the button is held paint the pen's beam colour
// (or the default) on the points they pass near; each point keeps its blanked flag.
class ColourBrushTool : public StyleTool {
  public:
    using StyleTool::StyleTool;

    void Down(MouseButton button, int x, int y) override;
    void Move(int x, int y) override;
    void Up(MouseButton button, int x, int y) override;

  private:
    bool Paint(model::PixelPos a, model::PixelPos b);
};

}  // namespace editor::tools
