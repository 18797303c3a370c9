#include "editor/tools/pen.h"

#include <algorithm>
#include <cstdlib>

#include "editor/editor.h"

namespace editor::tools {

namespace {

int64_t Abs(int64_t v) {
    return v < 0 ? -v : v;
}

}  // namespace

void PenTool::PenModeDown(MouseButton button, int x, int y) {
    // The right button belongs to the popup menu.
    if (button == MouseButton::Right) {
        return;
    }
    model::Contour& c = e_.contour();
    model::EditorState& st = c.State;
    const int32_t s = e_.settings().ScrollBarFriqPoints;
    st.PenHeld = true;

    if (st.PointCount == 0) {
        e_.FillBuffer(x, y);
        e_.PointFirst(x, y, c.PenStyle);
        return;
    }
    // Near the position last written, strictly within the spacing on both axes.
    if (std::abs(c.LastWritePos.x - x) < s && std::abs(c.LastWritePos.y - y) < s) {
        e_.PaintDsp(x, y, c.PenStyle);
        e_.FillBuffer(x, y);
        return;
    }
    // Fill the gap from the last stored point in k + 1 equal steps of at most one spacing.
    // Stored values may lie anywhere in 32 bits after the transforms, so the differences are
    // taken in 64 bits; every fill point lies between two 32-bit values and fits again.
    const int64_t lastSlot = 2 * int64_t(st.PointCount - 1);
    const int64_t lx = c.Slot(lastSlot);
    const int64_t ly = c.Slot(lastSlot + 1);
    const int64_t px = (int64_t(x) - model::kCentrePixel) * model::kUnitsPerPixel;
    const int64_t py = (int64_t(y) - model::kCentrePixel) * model::kUnitsPerPixel;
    const int64_t step = int64_t(s) * model::kUnitsPerPixel;
    const int64_t dx = px - lx;
    const int64_t dy = py - ly;
    const int64_t k = std::max(Abs(dx / step), Abs(dy / step));
    const int64_t ix = dx / (k + 1);
    const int64_t iy = dy / (k + 1);

    e_.PaintDsp(model::UnitToPixel(int32_t(lx)), model::UnitToPixel(int32_t(ly)),
                c.StyleAt(st.PointCount - 1));
    int64_t fx = lx;
    int64_t fy = ly;
    // The jump to the press is drawn in the pen's style, or dark when jumps are blanked: the
    // fill points and the pressed point are all reached along it.
    const model::PointStyle pen = c.PenStyle;
    const model::PointStyle jump = c.BlankPenJumps ? model::PointStyle::Dark() : pen;
    // Fill points are stored while the contour has room under the append limit.
    for (int64_t i = 0; i < k && st.PointCount <= model::kAppendLimit; ++i) {
        fx += ix;
        fy += iy;
        const int64_t slot = 2 * int64_t(st.PointCount);
        c.SetSlot(slot, int32_t(fx));
        c.SetSlot(slot + 1, int32_t(fy));
        c.SetStyle(st.PointCount, jump);
        ++st.PointCount;
        e_.PaintDsp(model::UnitToPixel(int32_t(fx)), model::UnitToPixel(int32_t(fy)), jump);
    }
    c.PenStyle = jump;
    e_.FillBuffer(x, y);
    c.PenStyle = pen;
    e_.PaintDsp(x, y, jump);
    e_.PointLast(x, y, jump);
}

void PenTool::PenModeMove(int x, int y) {
    model::Contour& c = e_.contour();
    model::EditorState& st = c.State;
    if (st.PointCount >= model::kAppendLimit || !st.PenHeld) {
        return;
    }
    const int32_t s = e_.settings().ScrollBarFriqPoints;
    if (std::abs(c.LastWritePos.x - x) > s || std::abs(c.LastWritePos.y - y) > s) {
        e_.PaintDsp(x, y, c.PenStyle);
        e_.FillBuffer(x, y);
    }
}

void PenTool::PenModeUp(MouseButton /*button*/, int x, int y) {
    model::Contour& c = e_.contour();
    e_.ShowLength();
    c.LastWritePos = {x, y};
    c.State.PenHeld = false;
}

}  // namespace editor::tools
