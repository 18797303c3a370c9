#include "editor/tools/point_tools.h"

#include <QCoreApplication>
#include <algorithm>

#include "editor/editor.h"

namespace editor::tools {

namespace {

// The last point whose x and y slots both lie in the buffer (point 2050 has no y slot).
constexpr int32_t kLastWholePoint = (model::kSlotCount - 2) / 2;
// The most points a contour may hold, as the pen's append keeps it.
constexpr int64_t kMaxPoints = int64_t(model::kAppendLimit) + 1;

bool Within(int32_t v, int centre) {
    return v >= centre - kPickReach && v <= centre + kPickReach;
}

QString DotText(int32_t index) {
    // Points are numbered from 1 for the user.
    return QCoreApplication::translate("editor::tools", "Dot:%1").arg(int64_t(index) + 1);
}

}  // namespace

// ---- The shared pick ----

int32_t PointTool::LastScanIndex() const {
    const int64_t last = int64_t(e_.contour().State.PointCount) + 2;
    return int32_t(std::min<int64_t>(last, kLastWholePoint));
}

void PointTool::SearchPoint(int x, int y) {
    model::Contour& c = e_.contour();
    const int32_t last = LastScanIndex();
    // Down: from the far end towards point 0, so the lowest index wins; up: the highest.
    const bool downward = e_.host().directHook();
    bool picked = false;
    for (int32_t k = 0; k <= last; ++k) {
        const int32_t i = downward ? last - k : k;
        e_.ReadFromBuffer(2 * i);
        const model::PixelPos r = c.ReadPos;
        if (!Within(r.x, x)) {
            continue;
        }
        // The eleven rows y - 5..y + 5 are looked at in turn: the point's own row picks it,
        // every other row arms the status timer. At least ten rows are not the point's row,
        // so a point within reach of x always arms the timer.
        e_.ArmStatusDot();
        if (Within(r.y, y)) {
            c.State.PickedIndex = i;
            picked = true;
        }
    }
    // The readout shows the winner: the last pick in scan order.
    if (picked) {
        e_.host().setStatusText(kPanelDot, DotText(c.State.PickedIndex));
    }
}

void PointTool::DropPick() {
    e_.state().PickedIndex = model::kNoPick;
    e_.host().setStatusText(kPanelDot, QString());
}

// ---- Edit point ----

void EditPointTool::EditModeDown(MouseButton button, int x, int y) {
    model::EditorState& st = e_.state();
    // Its own snapshot; the content equals the one the press has just taken.
    e_.ToUndo();
    if (button == MouseButton::Right) {
        // The right button turns the search direction around and does nothing else.
        e_.host().setDirectHook(!e_.host().directHook());
        return;
    }
    if (button != MouseButton::Left) {
        return;
    }
    SearchPoint(x, y);
    if (int64_t(st.PickedIndex) < int64_t(st.PointCount) + 2) {
        st.EditDrag = 1;
    }
}

void EditPointTool::EditModeMove(int x, int y) {
    model::Contour& c = e_.contour();
    model::EditorState& st = c.State;
    // Hover readout, button held or not: the scan runs from the far end down to point 0, so
    // the lowest index under the pointer is the one shown, whichever way the search runs.
    // It neither picks nor arms the timer.
    int32_t shown = -1;
    for (int32_t i = LastScanIndex(); i >= 0; --i) {
        e_.ReadFromBuffer(2 * i);
        if (Within(c.ReadPos.x, x) && Within(c.ReadPos.y, y)) {
            shown = i;
        }
    }
    if (shown >= 0) {
        e_.host().setStatusText(kPanelDot, DotText(shown));
    }
    // The drag: the point follows the pointer, and the contour is drawn over what is there,
    // so the lines through the point's earlier places stay until the release.
    if (st.EditDrag == 1 && int64_t(st.PickedIndex) < int64_t(st.PointCount) + 2) {
        e_.WriteToBuffer(2 * st.PickedIndex, x, y);
        e_.PaintPic(false, true);
    }
}

void EditPointTool::EditModeUp(MouseButton /*button*/, int /*x*/, int /*y*/) {
    DropPick();
    if (e_.state().EditDrag == 1) {
        e_.PaintPic(true, true);
    }
    e_.state().EditDrag = 0;
}

// ---- Eraser ----

void EraserTool::EraseModeDown(MouseButton /*button*/, int x, int y) {
    model::Contour& c = e_.contour();
    model::EditorState& st = c.State;
    // No snapshot of its own: the press has just taken one with the point still in place.
    SearchPoint(x, y);
    const int64_t p = st.PickedIndex;
    const int64_t n = st.PointCount;
    // An empty contour has no point to lose, whatever leftover position was picked.
    if (p < n + 2 && n > 0) {
        if (p <= n) {
            // Points p + 1..n and the x of point n + 1 move down one point, in ascending
            // order; a source past the buffer's end is never read.
            for (int64_t s = 2 * p; s <= 2 * n && s + 2 < model::kSlotCount; ++s) {
                c.CopySlot(s, s + 2);
            }
        }
        // A pick just past the end (n or n + 1) costs the contour its last point.
        st.PointCount = int32_t(n - 1);
    }
    e_.PaintPic(true, true);
}

void EraserTool::EraseModeUp(MouseButton /*button*/, int /*x*/, int /*y*/) {
    DropPick();
}

// ---- Knife ----

void KnifeTool::KnifeModeDown(MouseButton /*button*/, int x, int y) {
    model::Contour& c = e_.contour();
    model::EditorState& st = c.State;
    e_.ToUndo();
    SearchPoint(x, y);
    const int64_t p = st.PickedIndex;
    const int64_t n = st.PointCount;
    if (p > 0 && p < n) {
        if (n + p <= model::kSlotCount / 2) {
            // The points before the pick are copied past the end, then the whole run from
            // the pick is copied down to slot 0. The copies leave points 0..p - 1 (and the
            // x of point p, twice) in the slots past the end, where the search can find them.
            for (int64_t s = 0; s <= 2 * p; ++s) {
                c.CopySlot(2 * n + s, s);
            }
            for (int64_t s = 0; s <= 2 * n; ++s) {
                c.CopySlot(s, 2 * p + s);
            }
        } else {
            // The copy past the end would not fit: the same rotation in place, leaving the
            // slots past the end alone. Only points that lie wholly in the buffer move.
            const int64_t whole = std::min<int64_t>(n, kLastWholePoint + 1);
            if (p < whole) {
                auto begin = c.Buffer.begin();
                std::rotate(begin, begin + 2 * p, begin + 2 * whole);
                auto styles = c.Styles.begin();
                std::rotate(styles, styles + p, styles + whole);
            }
        }
    }
    e_.PaintPic(true, true);
}

void KnifeTool::KnifeModeUp(MouseButton /*button*/, int /*x*/, int /*y*/) {
    DropPick();
}

// ---- Hot point ----

void HotPointTool::HotDotModeDown(MouseButton /*button*/, int x, int y) {
    model::Contour& c = e_.contour();
    model::EditorState& st = c.State;
    const int64_t k = e_.settings().ScrollBarBrightHotDot;
    SearchPoint(x, y);
    const int64_t p = st.PickedIndex;
    const int64_t n = st.PointCount;
    // The move reaches slot 2n + 4k, and the contour must stay within what the pen may hold;
    // a hot point that does not fit is not made at all.
    const bool fits = k > 0 && 2 * n + 4 * k <= model::kSlotCount - 1 && n + k <= kMaxPoints;
    if (p > 0 && p < n && fits) {
        st.PointCount = int32_t(n + k);
        // Points p..n - 1 and the 2k + 1 slots after the end move up k points, highest slot
        // first so that nothing is overwritten before it has moved.
        for (int64_t s = 2 * n + 2 * k; s >= 2 * p; --s) {
            c.CopySlot(s + 2 * k, s);
        }
        // The picked point, still at p, fills the gap: k + 1 equal points in a row.
        for (int64_t j = p + k - 1; j >= p + 1; --j) {
            c.CopySlot(2 * j, 2 * p);
            c.CopySlot(2 * j + 1, 2 * p + 1);
        }
    }
    e_.PaintPic(false, true);
}

void HotPointTool::HotDotModeUp(MouseButton /*button*/, int /*x*/, int /*y*/) {
    DropPick();
}

}  // namespace editor::tools
