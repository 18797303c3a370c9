// Colour values as the editor stores them: 0x00BBGGRR, or a system colour with the top bit
// set and its index in the low byte.
#pragma once

#include <QRgb>
#include <cstdint>

namespace editor {

using ColorRef = uint32_t;

inline constexpr ColorRef kSystemColorFlag = 0x80000000u;
inline constexpr ColorRef clBtnFace = 0x8000000Fu;
inline constexpr ColorRef clWhite = 0x00FFFFFFu;
inline constexpr ColorRef clYellow = 0x0000FFFFu;
inline constexpr ColorRef clRed = 0x000000FFu;
inline constexpr ColorRef clOlive = 0x00008080u;
inline constexpr ColorRef clMaroon = 0x00000080u;
inline constexpr ColorRef clGreen = 0x00008000u;
inline constexpr ColorRef clPurple = 0x00800080u;
inline constexpr ColorRef clGray = 0x00808080u;
inline constexpr ColorRef clMoneyGreen = 0x00C0DCC0u;

// Number of system colours known (indices 0..30).
inline constexpr int kSystemColorCount = 31;

// The RGB value a colour stands for. System colours resolve to the desktop's classic
// defaults (button face is 240, 240, 240), so the surface looks the same everywhere.
QRgb ResolveColor(ColorRef c);

}  // namespace editor
