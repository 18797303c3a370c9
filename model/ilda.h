// The laser industry's interchange format (ILDA image data transfer format, revision 011):
// writing the contour as one frame and reading the first frame of a file back. Pure
// functions on byte arrays.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/contour.h"

namespace model::ilda {

inline constexpr int kHeaderSize = 32;
// Points at 30,000 points per second give 20 frames per second at this length.
inline constexpr int kFlickerFreeLimit = 1500;
// The largest contour the editor holds as appended points.
inline constexpr int kMaxImportPoints = kAppendLimit + 1;

enum Format : uint8_t {
    kIndexed3D = 0,
    kIndexed2D = 1,
    kPalette = 2,
    kTrueColor3D = 4,
    kTrueColor2D = 5,
};

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The standard 64-colour palette of indexed frames.
const std::array<Rgb, 64>& DefaultPalette();
int NearestPaletteIndex(Rgb c);

// Contour units <-> ILDA coordinates: the surface centre is 0 and pixel 0 is -32767; ILDA's
// y axis points up. Out-of-range results are clamped and reported through `clamped`.
int16_t ToIlda(int32_t unit, bool flip, bool& clamped);
int32_t FromIlda(int16_t v, bool flip);

struct Export {
    std::vector<uint8_t> bytes;
    int clampedPoints = 0;
};

// Points 0..count-1 of the contour as one frame of the given format (kTrueColor2D or
// kIndexed2D) followed by the end-of-file header. The frame name is cut to 8 bytes.
Export Encode(const Contour& contour, Format format, Rgb color, const std::string& frameName,
              const std::string& company);

enum class ImportError { None, NotIlda, Truncated, NoFrame, TooManyPoints, UnknownFormat };

struct Import {
    ImportError error = ImportError::None;
    std::vector<ContourPoint> points;  // in contour units, clamped to the surface's range
    int blankedPoints = 0;
    int frameLength = 0;  // the record count of the first frame, also when refused
    std::string frameName;
};

// Reads the first frame (format 0, 1, 4 or 5) of a file, skipping palette sections.
Import Decode(std::span<const uint8_t> data);
// Reads frame `index` (0 is the first) the same way, counting only frames with points and
// skipping palettes. A file with fewer frames gives NoFrame; the walk stops at the end-of-file
// header or the end of the data, whichever comes first.
Import DecodeFrame(std::span<const uint8_t> data, int index);

}  // namespace model::ilda
