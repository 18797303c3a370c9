// The one contour the editor works on: the fixed point buffer in contour units, its undo
// snapshot and the editor state record that every tool shares.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace model {

// Contour units: pixel p of the drawing surface is (p - 192) * 5,000,000.
inline constexpr int32_t kUnitsPerPixel = 5'000'000;
inline constexpr int32_t kCentrePixel = 192;
inline constexpr int32_t kMinUnit = -960'000'000;  // pixel 0
inline constexpr int32_t kMaxUnit = 955'000'000;   // pixel 383

// The drawing surface the editor shows, in pixels; the used area is its top-left 384 by 384.
// Pictures are fitted into it, in the window and on the command line alike.
inline constexpr int32_t kSurfaceWidth = 394;
inline constexpr int32_t kSurfaceHeight = 386;

// The pen's point spacing, in surface pixels: its range and the value a new editor starts with,
// also the spacing of a drawing, a traced picture or a text joined where nobody is asked.
inline constexpr int32_t kMinSpacing = 1;
inline constexpr int32_t kMaxSpacing = 30;
inline constexpr int32_t kDefaultSpacing = 15;

// The colour a default point goes out in (0xRRGGBB) where no editor's settings say otherwise:
// the line colour a new editor starts with.
inline constexpr uint32_t kDefaultLineColour = 0x008000;

// 4101 slots: point i at slots 2i (x) and 2i + 1 (y); slot 4100 is the x of a point 2050
// that has no y slot.
inline constexpr int kSlotCount = 4101;
// The undo snapshot covers slots 0..4096.
inline constexpr int kUndoSlots = 4097;
// The slot that a saved file fills with the point count.
inline constexpr int kCountSlot = 4090;
// Appending stops once the count is above this, so a contour holds at most 2041 appended points.
inline constexpr int32_t kAppendLimit = 2040;
// PickedIndex value meaning "no point picked".
inline constexpr int32_t kNoPick = 20000;

enum ToolModeValue : int32_t {
    tmKontur = 1,
    tmMove = 2,
    tmPen = 3,
    tmEditPoint = 4,
    tmHotPoint = 5,
    tmPrimitiv = 6,
    tmKnife = 7,
    tmEraser = 8,
    tmCentr = 9,
    tmBlank = 10,        // blanking: a click toggles a segment dark, a drag darkens
    tmColourBrush = 11,  // the beam colour painted on the points passed
};

// How the beam reaches a point: along the segment from the point before, lit or dark, in a
// colour of its own or in the line colour of the settings ("default").
struct PointStyle {
    uint32_t rgb = 0;       // 0xRRGGBB when coloured
    bool coloured = false;  // false: the settings' line colour
    bool blanked = false;   // reached with the beam dark
    friend bool operator==(const PointStyle&, const PointStyle&) = default;
    bool IsDefault() const { return !coloured && !blanked; }
    static constexpr PointStyle Colour(uint32_t rgb) { return {rgb & 0xFFFFFFu, true, false}; }
    static constexpr PointStyle Dark() { return {0, false, true}; }
};

struct ContourPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const ContourPoint&, const ContourPoint&) = default;
};

// A position in surface pixels.
struct PixelPos {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const PixelPos&, const PixelPos&) = default;
};

struct FrameRectangle {
    int32_t x1 = 1;
    int32_t y1 = 1;
    int32_t x2 = 1;
    int32_t y2 = 1;
    friend bool operator==(const FrameRectangle&, const FrameRectangle&) = default;
};

using ContourBuffer = std::array<int32_t, kSlotCount>;
// One style per point whose x has a slot: points 0..2050.
inline constexpr int kStylePoints = (kSlotCount + 1) / 2;
using StyleBuffer = std::array<PointStyle, kStylePoints>;
using UndoBuffer = std::array<int32_t, kSlotCount>;

// Field order and start values are those of the editor's shared state record.
struct EditorState {
    int32_t PickedIndex = kNoPick;
    int32_t PointCount = 0;
    int32_t UndoCount = 0;
    int32_t ToolMode = tmKontur;
    long double RotateScale = 1.0L;
    bool PenHeld = false;
    int32_t MoveDrag = -1;
    int32_t FrameDrag = -1;
    int32_t FrameEdge = -1;
    int32_t EditDrag = -1;
    FrameRectangle FrameRect;
    PixelPos MoveAnchor{1, 1};
    PixelPos CentreMark{192, 192};
    PixelPos PrevCentreMark{192, 192};
};

// Surface pixel -> contour units, kept within the images of pixels 0 and 383.
int32_t PixelToUnit(int32_t pixel);
// Contour units -> surface pixel, truncating toward zero; the result is not clamped.
constexpr int32_t UnitToPixel(int32_t unit) {
    return unit / kUnitsPerPixel + kCentrePixel;
}

// The contour record. Slot accesses outside 0..4100 are refused (reads give 0, writes are
// dropped), so no state, however damaged, can reach memory outside the buffers.
class Contour {
  public:
    ContourBuffer Buffer{};
    UndoBuffer Undo{};
    EditorState State;
    PixelPos ReadPos;       // result of the last point read
    PixelPos LastWritePos;  // the last position passed to a point write, unconverted
    // The style of each point, beside the buffer: it moves wherever the point's x slot moves.
    StyleBuffer Styles{};
    StyleBuffer UndoStyles{};
    // What a point the pen stores gets: the beam colour chosen, lit.
    PointStyle PenStyle;
    // Whether the fill of a pen press far from the contour's end is drawn dark.
    bool BlankPenJumps = false;

    static constexpr bool ValidSlot(int64_t slot) { return slot >= 0 && slot < kSlotCount; }
    int32_t Slot(int64_t slot) const { return ValidSlot(slot) ? Buffer[std::size_t(slot)] : 0; }
    void SetSlot(int64_t slot, int32_t value) {
        if (ValidSlot(slot)) {
            Buffer[std::size_t(slot)] = value;
        }
    }

    static constexpr bool ValidPoint(int64_t i) { return i >= 0 && i < kStylePoints; }
    PointStyle StyleAt(int64_t i) const {
        return ValidPoint(i) ? Styles[std::size_t(i)] : PointStyle{};
    }
    void SetStyle(int64_t i, PointStyle style) {
        if (ValidPoint(i)) {
            Styles[std::size_t(i)] = style;
        }
    }
    // Copies slot `from` to slot `to`; when both are x slots the point's style goes with it.
    void CopySlot(int64_t to, int64_t from) {
        SetSlot(to, Slot(from));
        if (to % 2 == 0 && from % 2 == 0) {
            SetStyle(to / 2, StyleAt(from / 2));
        }
    }

    // Stores surface position (x, y) as the point whose x is at slot s, clamped to the
    // surface's unit range. Sets LastWritePos; leaves PointCount alone.
    void WriteToBuffer(int32_t s, int32_t x, int32_t y);
    // Converts the point whose x is at slot s to surface pixels into ReadPos.
    void ReadFromBuffer(int32_t s);
    // Appends (x, y) as point PointCount, in PenStyle, while PointCount <= 2040; returns
    // whether it did.
    bool FillBuffer(int32_t x, int32_t y);
    // Makes the points the whole contour: points 0..n-1 with their styles (default where
    // `styles` is shorter) and the count; the slots past the new end keep what they hold.
    // Points past the buffer are dropped.
    void SetPoints(const std::vector<ContourPoint>& points,
                   const std::vector<PointStyle>& styles = {});
    // Points 0..PointCount-1 and their styles.
    std::vector<ContourPoint> Points() const;
    std::vector<PointStyle> PointStyles() const;
    // Whether any of points 0..PointCount-1 is coloured or blanked.
    bool Styled() const;
    // Surface position of point i without touching ReadPos.
    PixelPos PointPixel(int32_t i) const;

    // One-level undo: the snapshot copies slots 0..4096, the styles and the count.
    void ToUndo();
    void RestoreUndo();

    // What the start of the program leaves: zeroed buffers and the start state.
    void Reset();
};

}  // namespace model
