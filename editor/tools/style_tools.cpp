#include "editor/tools/style_tools.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "editor/editor.h"
#include "editor/tools/point_tools.h"

namespace editor::tools {

bool NearSegment(model::PixelPos p, model::PixelPos a, model::PixelPos b, int reach) {
    // The larger of the two axis distances from p to the place a + t (b - a) is a convex
    // function of t, linear between the places where one axis distance is zero or both are
    // equal; its least value on [0, 1] is at one of those places or at an end.
    const double u0 = double(a.x) - p.x;
    const double v0 = double(a.y) - p.y;
    const double du = double(b.x) - a.x;
    const double dv = double(b.y) - a.y;
    const auto farther = [&](double t) {
        t = std::clamp(t, 0.0, 1.0);
        return std::max(std::abs(u0 + t * du), std::abs(v0 + t * dv));
    };
    double best = std::min(farther(0), farther(1));
    if (du != 0) {
        best = std::min(best, farther(-u0 / du));
    }
    if (dv != 0) {
        best = std::min(best, farther(-v0 / dv));
    }
    if (du != dv) {
        best = std::min(best, farther((v0 - u0) / (du - dv)));
    }
    if (du != -dv) {
        best = std::min(best, farther(-(v0 + u0) / (du + dv)));
    }
    return best <= reach + 1e-9;
}

bool StyleTool::RestyleNear(model::PixelPos a, model::PixelPos b,
                            const std::function<model::PointStyle(model::PointStyle)>& restyle) {
    model::Contour& c = e_.contour();
    const int32_t n = std::clamp<int32_t>(c.State.PointCount, 0, model::kStylePoints);
    bool changed = false;
    for (int32_t i = 0; i < n; ++i) {
        if (!NearSegment(c.PointPixel(i), a, b, kPickReach)) {
            continue;
        }
        const model::PointStyle before = c.StyleAt(i);
        const model::PointStyle after = restyle(before);
        if (!(after == before)) {
            c.SetStyle(i, after);
            changed = true;
        }
    }
    return changed;
}

int32_t StyleTool::Nearest(model::PixelPos p) const {
    const model::Contour& c = e_.contour();
    const int32_t n = std::clamp<int32_t>(c.State.PointCount, 0, model::kStylePoints);
    int32_t best = -1;
    int64_t bestDistance = 0;
    for (int32_t i = 0; i < n; ++i) {
        const model::PixelPos q = c.PointPixel(i);
        const int64_t dx = int64_t(q.x) - p.x;
        const int64_t dy = int64_t(q.y) - p.y;
        if (std::llabs(dx) > kPickReach || std::llabs(dy) > kPickReach) {
            continue;
        }
        const int64_t d = dx * dx + dy * dy;
        if (best < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

// ---- Blanking ----

bool BlankTool::Blank(model::PixelPos a, model::PixelPos b) {
    return RestyleNear(a, b, [](model::PointStyle s) {
        s.blanked = true;
        return s;
    });
}

void BlankTool::Down(MouseButton button, int x, int y) {
    // The right button belongs to the popup menu.
    if (button != MouseButton::Left) {
        return;
    }
    held_ = true;
    dragging_ = false;
    press_ = last_ = {x, y};
}

void BlankTool::Move(int x, int y) {
    if (!held_) {
        return;
    }
    if (!dragging_ && std::abs(x - press_.x) <= kClickSlack &&
        std::abs(y - press_.y) <= kClickSlack) {
        return;
    }
    // From the press on: the drag takes the points near where it started too.
    dragging_ = true;
    const bool changed = Blank(last_, {x, y});
    last_ = {x, y};
    if (changed) {
        e_.PaintPic(true, true);
    }
}

void BlankTool::Up(MouseButton button, int x, int y) {
    if (!held_ || button != MouseButton::Left) {
        return;
    }
    held_ = false;
    bool changed = false;
    if (dragging_) {
        changed = Blank(last_, {x, y});
    } else if (const int32_t i = Nearest(press_); i >= 0) {
        model::Contour& c = e_.contour();
        model::PointStyle s = c.StyleAt(i);
        s.blanked = !s.blanked;
        c.SetStyle(i, s);
        changed = true;
    }
    dragging_ = false;
    if (changed) {
        e_.PaintPic(true, true);
    }
}

// ---- Colour brush ----

bool ColourBrushTool::Paint(model::PixelPos a, model::PixelPos b) {
    const model::PointStyle pen = e_.contour().PenStyle;
    return RestyleNear(a, b, [pen](model::PointStyle s) {
        s.coloured = pen.coloured;
        s.rgb = pen.coloured ? pen.rgb : 0;
        return s;
    });
}

void ColourBrushTool::Down(MouseButton button, int x, int y) {
    if (button != MouseButton::Left) {
        return;
    }
    held_ = true;
    last_ = {x, y};
    if (Paint(last_, last_)) {
        e_.PaintPic(true, true);
    }
}

void ColourBrushTool::Move(int x, int y) {
    if (!held_) {
        return;
    }
    const bool changed = Paint(last_, {x, y});
    last_ = {x, y};
    if (changed) {
        e_.PaintPic(true, true);
    }
}

void ColourBrushTool::Up(MouseButton /*button*/, int /*x*/, int /*y*/) {
    held_ = false;
}

}  // namespace editor::tools
