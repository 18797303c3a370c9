#include "model/legacy_file.h"

#include <algorithm>

namespace model {

namespace {

int32_t LegacyByteToUnit(int32_t b) {
    // Wide, so that no argument can overflow before the clamp.
    const int64_t unit = (int64_t(b) - kLegacyCentreByte) * kUnitsPerLegacyByte;
    return int32_t(std::clamp<int64_t>(unit, kMinUnit, kMaxUnit));
}

uint8_t ToByte(int32_t v) {
    return uint8_t(std::clamp<int32_t>(v, 0, 255));
}

}  // namespace

void WriteExport(Contour& contour, int32_t s, int32_t bx, int32_t by) {
    contour.LastWritePos = {bx, by};
    contour.SetSlot(s, LegacyByteToUnit(bx));
    contour.SetSlot(int64_t(s) + 1, LegacyByteToUnit(by));
}

void ReadImport(Contour& contour, int32_t s) {
    contour.ReadPos = {contour.Slot(s) / kUnitsPerLegacyByte + kLegacyCentreByte,
                       contour.Slot(int64_t(s) + 1) / kUnitsPerLegacyByte + kLegacyCentreByte};
}

LegacyFileImage EncodeLegacyFile(Contour& contour) {
    LegacyFileImage image;
    image.fill(kLegacyFiller);
    for (int i = 0; i < kLegacyPoints; ++i) {
        ReadImport(contour, 2 * i);
        image[std::size_t(i)] = ToByte(contour.ReadPos.x);
        image[kLegacyYOffset + std::size_t(i)] = ToByte(contour.ReadPos.y);
    }
    return image;
}

bool DecodeLegacyFile(std::span<const uint8_t> bytes, Contour& contour) {
    if (bytes.size() < kLegacyFileSize) {
        return false;
    }
    for (int i = 0; i < kLegacyPoints; ++i) {
        WriteExport(contour, 2 * i, bytes[std::size_t(i)], bytes[kLegacyYOffset + std::size_t(i)]);
        contour.SetStyle(i, {});  // the file holds positions only
    }
    contour.State.PointCount = kLegacyImportCount;
    return true;
}

}  // namespace model
