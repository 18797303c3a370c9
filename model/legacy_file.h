// The legacy exchange file: 256 points at byte precision. 2048 bytes: the x bytes of points
// 0..255 at 0..255, their y bytes at 1024..1279, filler 127 elsewhere. Byte b stands for the
// contour unit (b - 127) * 7,500,000.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/contour.h"

namespace model {

inline constexpr std::size_t kLegacyFileSize = 2048;
inline constexpr int kLegacyPoints = 256;
inline constexpr std::size_t kLegacyYOffset = 1024;
inline constexpr uint8_t kLegacyFiller = 127;
inline constexpr int32_t kLegacyCentreByte = 127;
inline constexpr int32_t kUnitsPerLegacyByte = 7'500'000;
// An import stores all 256 points but counts one fewer.
inline constexpr int32_t kLegacyImportCount = 255;

using LegacyFileImage = std::array<uint8_t, kLegacyFileSize>;

// Stores legacy bytes (bx, by) as the point whose x is at slot s, in contour units clamped to
// the surface's range, and sets LastWritePos to the raw bytes.
void WriteExport(Contour& contour, int32_t s, int32_t bx, int32_t by);
// Converts the point whose x is at slot s to legacy values into ReadPos, not reduced to a byte.
void ReadImport(Contour& contour, int32_t s);

// The file image of points 0..255 of the buffer, whatever the point count. A value outside
// 0..255 is written as 0 or 255.
LegacyFileImage EncodeLegacyFile(Contour& contour);
// Stores the 256 points of a file image (at least 2048 bytes; the rest is ignored) and sets
// the point count to 255. Returns false, changing nothing, for a shorter image.
bool DecodeLegacyFile(std::span<const uint8_t> bytes, Contour& contour);

}  // namespace model
