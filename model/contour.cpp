#include "model/contour.h"

#include <algorithm>

namespace model {

int32_t PixelToUnit(int32_t pixel) {
    // Computed wide so that a position far outside the surface clamps instead of wrapping.
    const int64_t unit = (int64_t(pixel) - kCentrePixel) * kUnitsPerPixel;
    return int32_t(std::clamp<int64_t>(unit, kMinUnit, kMaxUnit));
}

void Contour::WriteToBuffer(int32_t s, int32_t x, int32_t y) {
    LastWritePos = {x, y};
    SetSlot(s, PixelToUnit(x));
    SetSlot(int64_t(s) + 1, PixelToUnit(y));
}

void Contour::ReadFromBuffer(int32_t s) {
    ReadPos = {UnitToPixel(Slot(s)), UnitToPixel(Slot(int64_t(s) + 1))};
}

PixelPos Contour::PointPixel(int32_t i) const {
    const int64_t s = int64_t(i) * 2;
    return {UnitToPixel(Slot(s)), UnitToPixel(Slot(s + 1))};
}

bool Contour::FillBuffer(int32_t x, int32_t y) {
    if (State.PointCount > kAppendLimit) {
        return false;
    }
    WriteToBuffer(2 * State.PointCount, x, y);
    SetStyle(State.PointCount, PenStyle);
    ++State.PointCount;
    return true;
}

void Contour::SetPoints(const std::vector<ContourPoint>& points,
                        const std::vector<PointStyle>& styles) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        SetSlot(int64_t(2 * i), points[i].x);
        SetSlot(int64_t(2 * i + 1), points[i].y);
        SetStyle(int64_t(i), i < styles.size() ? styles[i] : PointStyle{});
    }
    State.PointCount = int32_t(points.size());
}

std::vector<ContourPoint> Contour::Points() const {
    std::vector<ContourPoint> points;
    for (int64_t i = 0; i < State.PointCount && ValidSlot(2 * i + 1); ++i) {
        points.push_back({Slot(2 * i), Slot(2 * i + 1)});
    }
    return points;
}

std::vector<PointStyle> Contour::PointStyles() const {
    std::vector<PointStyle> styles;
    for (int64_t i = 0; i < State.PointCount && ValidSlot(2 * i + 1); ++i) {
        styles.push_back(StyleAt(i));
    }
    return styles;
}

bool Contour::Styled() const {
    for (int64_t i = 0; i < State.PointCount && ValidPoint(i); ++i) {
        if (!StyleAt(i).IsDefault()) {
            return true;
        }
    }
    return false;
}

void Contour::ToUndo() {
    State.UndoCount = State.PointCount;
    std::copy_n(Buffer.begin(), kUndoSlots, Undo.begin());
    UndoStyles = Styles;
}

void Contour::RestoreUndo() {
    State.PointCount = State.UndoCount;
    std::copy_n(Undo.begin(), kUndoSlots, Buffer.begin());
    Styles = UndoStyles;
}

void Contour::Reset() {
    Buffer.fill(0);
    Undo.fill(0);
    Styles.fill({});
    UndoStyles.fill({});
    PenStyle = {};
    BlankPenJumps = false;
    State = EditorState{};
    ReadPos = {};
    LastWritePos = {};
}

}  // namespace model
