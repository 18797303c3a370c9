#include "editor/tools/frame_tools.h"

#include <utility>

#include "editor/editor.h"

namespace editor::tools {

namespace {

// How near, strictly, the pointer must come to an edge to take hold of it.
constexpr int kReach = 5;

enum FrameEdgeValue : int32_t {
    kEdgeNone = 0,
    kEdgeLeft = 1,
    kEdgeRight = 2,
    kEdgeTop = 3,
    kEdgeBottom = 4,
};
constexpr int32_t kNewFrame = 0;
constexpr int32_t kNoDrag = -1;
constexpr int32_t kMoveDragging = 0;

bool Near(int v, int edge) {
    return edge - kReach < v && v < edge + kReach;
}

// Puts the corners in order, x1 <= x2 and y1 <= y2, at the start of every pointer move.
void Normalise(model::FrameRectangle& f) {
    if (f.x1 > f.x2) {
        std::swap(f.x1, f.x2);
    }
    if (f.y1 > f.y2) {
        std::swap(f.y1, f.y2);
    }
}

// Strictly inside the frame widened by the reach on every side.
bool WithinReach(const model::FrameRectangle& f, int x, int y) {
    return f.x1 - kReach < x && x < f.x2 + kReach && f.y1 - kReach < y && y < f.y2 + kReach;
}

}  // namespace

void KonturTool::KonturModeDown(MouseButton button, int x, int y) {
    if (button != MouseButton::Left) {
        return;
    }
    model::EditorState& st = e_.state();
    // An edge under the pointer is taken; before the first move FrameEdge is -1 and the press
    // takes nothing.
    if (st.FrameEdge != kEdgeNone) {
        st.FrameDrag = st.FrameEdge;
        return;
    }
    st.FrameDrag = kNewFrame;
    st.FrameRect = {x - 1, y - 1, x + 1, y + 1};
}

void KonturTool::KonturModeMove(int x, int y) {
    model::EditorState& st = e_.state();
    model::FrameRectangle& f = st.FrameRect;
    // 1.-2. Forget the edge, order the corners.
    st.FrameEdge = kEdgeNone;
    Normalise(f);
    // 3. Later hits win: bottom over top over right over left.
    if (WithinReach(f, x, y)) {
        if (Near(x, f.x1)) {
            st.FrameEdge = kEdgeLeft;
        }
        if (Near(x, f.x2)) {
            st.FrameEdge = kEdgeRight;
        }
        if (Near(y, f.y1)) {
            st.FrameEdge = kEdgeTop;
        }
        if (Near(y, f.y2)) {
            st.FrameEdge = kEdgeBottom;
        }
    }
    // 4. The cursor shows what a press would take, during a drag too.
    switch (st.FrameEdge) {
        case kEdgeLeft:
        case kEdgeRight:
            e_.host().setCursorShape(CursorShape::SizeWE);
            break;
        case kEdgeTop:
        case kEdgeBottom:
            e_.host().setCursorShape(CursorShape::SizeNS);
            break;
        default:
            e_.host().setCursorShape(CursorShape::Arrow);
            break;
    }
    // 5. A drag redraws only the frame: erase the old one, change, draw the new one.
    if (st.FrameDrag < kNewFrame || st.FrameDrag > kEdgeBottom) {
        return;
    }
    e_.KonturPaint(kFrameErase);
    switch (st.FrameDrag) {
        case kNewFrame:
            f.x2 = x;
            f.y2 = y;
            break;
        case kEdgeLeft:
            f.x1 = x;
            break;
        case kEdgeRight:
            f.x2 = x;
            break;
        case kEdgeTop:
            f.y1 = y;
            break;
        default:
            f.y2 = y;
            break;
    }
    e_.KonturPaint(kFrameKontur);
}

void KonturTool::KonturModeUp(MouseButton /*button*/, int /*x*/, int /*y*/) {
    e_.state().FrameDrag = kNoDrag;
    e_.host().setCursorShape(CursorShape::Arrow);
    // The repaint restores what the drag's erasing wiped.
    e_.PaintPic(true, true);
    e_.KonturPaint(kFrameKontur);
}

void MoveTool::MoveModeDown(MouseButton /*button*/, int x, int y) {
    model::EditorState& st = e_.state();
    st.MoveAnchor = {x, y};
    st.MoveDrag = kMoveDragging;
    e_.host().setCursorShape(CursorShape::SizeAll);
    e_.PaintPic(true, true);
}

void MoveTool::MoveModeMove(int x, int y) {
    model::EditorState& st = e_.state();
    model::FrameRectangle& f = st.FrameRect;
    Normalise(f);
    // The anchor stays at the press until the pointer reaches the frame, so the first step
    // may jump by the whole way from the press.
    if (!WithinReach(f, x, y) || st.MoveDrag != kMoveDragging) {
        return;
    }
    const int dx = x - st.MoveAnchor.x;
    const int dy = y - st.MoveAnchor.y;
    st.MoveAnchor = {x, y};
    e_.KonturPaint(kFrameErase);
    f.x1 += dx;
    f.y1 += dy;
    f.x2 += dx;
    f.y2 += dy;
    e_.KonturPaint(kFrameMove);
}

void MoveTool::MoveModeUp(MouseButton /*button*/, int /*x*/, int /*y*/) {
    e_.state().MoveDrag = kNoDrag;
    e_.host().setCursorShape(CursorShape::Arrow);
    e_.PaintPic(true, true);
}

void CentrTool::CentrModeDown(MouseButton /*button*/, int x, int y) {
    model::EditorState& st = e_.state();
    // Erased only where this tool drew it last; a repaint may have drawn it elsewhere since.
    e_.cUCLE(st.PrevCentreMark.x, st.PrevCentreMark.y, 0);
    st.PrevCentreMark = {x, y};
    st.CentreMark = {x, y};
    e_.cUCLE(x, y, 1);
}

}  // namespace editor::tools
