// The editor's colours and sizes. One record, edited by the settings window and read by the
// painters and tools at every use; nobody keeps a copy of a value.
#pragma once

#include <cstdint>

#include "editor/colors.h"
#include "model/contour.h"

namespace editor {

// The line colour a new editor starts with is the colour default points go out in without one.
static_assert(((clGreen & 0xFFu) << 16 | (clGreen & 0xFF00u) | (clGreen >> 16 & 0xFFu)) ==
              model::kDefaultLineColour);

struct IntRange {
    int32_t min;
    int32_t max;
    int32_t def;
};

inline constexpr IntRange kSizeFirstDotRange{1, 7, 3};
inline constexpr IntRange kSizeDefDotsRange{1, 3, 2};
inline constexpr IntRange kLastDotRange{1, 5, 2};
inline constexpr IntRange kSizeHotDotsRange{2, 5, 3};
inline constexpr IntRange kFriqPointsRange{model::kMinSpacing, model::kMaxSpacing,
                                           model::kDefaultSpacing};
inline constexpr IntRange kBrightHotDotRange{3, 30, 10};

// The language of the program's texts: the system's (Russian when it sets none), or one chosen
// in the settings window, which the next start takes.
enum class Language { System, Russian, English };

struct EditorSettings {
    ColorRef ColorBoxLine = clGreen;           // contour segments (model::kDefaultLineColour)
    ColorRef ColorBoxFirstDot = clOlive;       // first point's circle
    ColorRef ColorBoxDefDot = clMaroon;        // ordinary points
    ColorRef ColorBoxLastDot = clPurple;       // last point's circle
    ColorRef ColorBoxHotDot = clYellow;        // hot points
    ColorRef ColorBoxBase = clBtnFace;         // surface background
    ColorRef ColorBoxLineCoda = clMoneyGreen;  // dotted line from the last point to the first
    ColorRef ColorBoxLineSetka = clGray;       // grid
    int32_t ScrollBarSizeFirstDot = kSizeFirstDotRange.def;  // pixels
    int32_t ScrollBarSizeDefDots = kSizeDefDotsRange.def;    // radius, pixels
    int32_t ScrollBarLastDot = kLastDotRange.def;            // pixels
    int32_t ScrollBarSizeHotDots = kSizeHotDotsRange.def;    // radius, pixels
    int32_t ScrollBarFriqPoints = kFriqPointsRange.def;      // pen spacing, pixels
    int32_t ScrollBarBrightHotDot = kBrightHotDotRange.def;  // points a hot point adds
    Language language = Language::System;                    // kept between runs (settings_file.h)
};

}  // namespace editor
