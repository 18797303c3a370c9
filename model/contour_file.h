// The contour file: a fixed 8192-byte image of the first 4096 slots of the contour buffer,
// one little-endian offset-binary 16-bit word per slot, with the point count in the place of
// slot 4090. Pure functions on byte arrays; the file I/O lives with the commands.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "model/contour.h"

namespace model {

inline constexpr std::size_t kContourFileSize = 8192;
// Slots 0..4095 are stored, one word each.
inline constexpr int kFileSlots = 4096;
// Byte offset of the count word: the place of slot 4090's word.
inline constexpr std::size_t kCountWordOffset = 2 * std::size_t(kCountSlot);
// The largest count the buffer can hold whole: points 0..2049.
inline constexpr int32_t kMaxLoadableCount = kSlotCount / 2;

using ContourFileImage = std::array<uint8_t, kContourFileSize>;

// Slot value -> word: the value divided by 65,536 (truncating), offset by 32,768. Values below
// -2,140,000,000 are written as word 0.
uint16_t EncodeCoordinateWord(int32_t value);
// Word -> slot value: (w - 32,768) * 65,536.
int32_t DecodeCoordinateWord(uint16_t word);
// Count -> word, saturating at 0xFFFF and 0x0000.
uint16_t EncodeCountWord(int32_t count);
int32_t DecodeCountWord(uint16_t word);

// The file image of the buffer's slots 0..4095 with `count` in the count word. Every slot is
// written, the stale ones past the count included.
ContourFileImage EncodeContourFile(const ContourBuffer& buffer, int32_t count);

// What a file gives the buffer: slots 0..4095 (slot 4090 already holding the count) and the count.
struct DecodedContour {
    std::array<int32_t, kFileSlots> slots{};
    int32_t count = 0;
};

// Decodes a file's bytes. A file of 8192 or 8193 bytes (the last one ignored) whose count lies
// in 0..2050 is accepted; any other is refused with nullopt, so a count the buffer cannot hold
// never reaches the editor.
std::optional<DecodedContour> DecodeContourFile(std::span<const uint8_t> bytes);

// Whether a file of this size has the contour file's size (8192 or 8193 bytes).
constexpr bool ContourFileSizeAccepted(int64_t size) {
    return size >= 0 && size / 2 == kFileSlots;
}

// Puts a decoded file into the contour: slots 0..4095 and PointCount. Slots 4096..4100 and the
// undo snapshot are left alone.
void ApplyContourFile(const DecodedContour& file, Contour& contour);

}  // namespace model
