#include "model/contour_file.h"

#include <algorithm>

namespace model {

namespace {

constexpr int32_t kWordScale = 65'536;
constexpr int32_t kWordOffset = 32'768;
// Below this a value would not fit the word once divided; it is written as word 0.
constexpr int32_t kLowestWritable = -2'140'000'000;

void PutWord(ContourFileImage& image, std::size_t offset, uint16_t word) {
    image[offset] = uint8_t(word & 0xFF);
    image[offset + 1] = uint8_t(word >> 8);
}

uint16_t GetWord(std::span<const uint8_t> bytes, std::size_t offset) {
    return uint16_t(bytes[offset] | (bytes[offset + 1] << 8));
}

}  // namespace

uint16_t EncodeCoordinateWord(int32_t value) {
    if (value < kLowestWritable) {
        return 0;
    }
    const int32_t high = value / kWordScale;  // truncates toward zero: -32,655..32,767
    return uint16_t(high + kWordOffset);
}

int32_t DecodeCoordinateWord(uint16_t word) {
    return int32_t((int64_t(word) - kWordOffset) * kWordScale);
}

uint16_t EncodeCountWord(int32_t count) {
    if (count >= 32'767) {
        return 0xFFFF;
    }
    if (count <= -32'767) {
        return 0x0000;
    }
    return uint16_t(count + kWordOffset);
}

int32_t DecodeCountWord(uint16_t word) {
    return int32_t(word) - kWordOffset;
}

ContourFileImage EncodeContourFile(const ContourBuffer& buffer, int32_t count) {
    ContourFileImage image{};
    for (int k = 0; k < kFileSlots; ++k) {
        PutWord(image, 2 * std::size_t(k), EncodeCoordinateWord(buffer[std::size_t(k)]));
    }
    // The count word takes the place of slot 4090's word.
    PutWord(image, kCountWordOffset, EncodeCountWord(count));
    return image;
}

std::optional<DecodedContour> DecodeContourFile(std::span<const uint8_t> bytes) {
    if (!ContourFileSizeAccepted(int64_t(bytes.size()))) {
        return std::nullopt;
    }
    DecodedContour file;
    for (int k = 0; k < kFileSlots; ++k) {
        file.slots[std::size_t(k)] = DecodeCoordinateWord(GetWord(bytes, 2 * std::size_t(k)));
    }
    file.count = DecodeCountWord(GetWord(bytes, kCountWordOffset));
    if (file.count < 0 || file.count > kMaxLoadableCount) {
        return std::nullopt;
    }
    file.slots[std::size_t(kCountSlot)] = file.count;
    return file;
}

void ApplyContourFile(const DecodedContour& file, Contour& contour) {
    std::copy(file.slots.begin(), file.slots.end(), contour.Buffer.begin());
    // The file holds positions only: every point it fills is drawn as a default point.
    std::fill_n(contour.Styles.begin(), kFileSlots / 2, PointStyle{});
    contour.State.PointCount = file.count;
}

}  // namespace model
