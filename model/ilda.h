// The laser industry's interchange format (ILDA image data transfer format, revision 011):
// writing the contour as one frame or a show's frames, reading the first frame of a file back,
// listing the frames of a show and reading any one of them. Pure functions on byte arrays.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/contour.h"
#include "model/show.h"

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
    // Not of revision 011: LaserBoy's table of 24-bit colours, one per point of the frame after
    // it. Shows written by LaserBoy carry it; like a palette it is a section without points.
    kColorTable = 3,
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
    // Of a show: the frames without points, each written as one dark point at the centre, and
    // those longer than kFlickerFreeLimit.
    int emptyFrames = 0;
    int longFrames = 0;
};

// Points 0..count-1 of the contour as one frame of the given format (kTrueColor2D or
// kIndexed2D) followed by the end-of-file header. The frame name is cut to 8 bytes. Each point
// is written in its own colour (an indexed frame takes the standard palette's nearest), a
// default point in `color`; a blanked point carries the blanking bit.
Export Encode(const Contour& contour, Format format, Rgb color, const std::string& frameName,
              const std::string& company);

// The frames of a show in order, as Encode writes a frame: frame n (from 0) numbered n of
// frames.size() in its header, with its own name cut to 8 bytes; then the end-of-file header,
// numbered as many as there are frames. A frame without points, which would read as the end,
// is one dark point at the centre; a show has at most kMaxShowFrames frames and a frame at most
// 65535 points, the rest are not written.
Export EncodeShow(std::span<const Frame> frames, Format format, Rgb color,
                  const std::string& company);

enum class ImportError { None, NotIlda, Truncated, NoFrame, TooManyPoints, UnknownFormat };

struct Import {
    ImportError error = ImportError::None;
    std::vector<ContourPoint> points;  // in contour units, clamped to the surface's range
    // One per point: blanked as its record says, coloured in its record's colour. An index past
    // the palette in force gives no colour (a default point).
    std::vector<PointStyle> styles;
    int blankedPoints = 0;
    int frameLength = 0;  // the record count of the first frame, also when refused
    std::string frameName;
};

// Reads the first frame (format 0, 1, 4 or 5) of a file, skipping palettes and colour tables;
// an indexed frame takes its colours from the last palette before it.
Import Decode(std::span<const uint8_t> data);
// Reads frame `index` (0 is the first) the same way, counting only frames with points and
// skipping palettes and colour tables. A file with fewer frames gives NoFrame; the walk stops at
// the end-of-file header or the end of the data, whichever comes first.
Import DecodeFrame(std::span<const uint8_t> data, int index);

// One frame section of a file, as the walk over the sections finds it.
struct FrameInfo {
    size_t offset = 0;  // of its header
    uint8_t format = 0;
    int points = 0;
    std::string name;
    // The palette (format 2) in force for an indexed frame: the offset of its first colour and
    // how many it holds; none (0 colours) means the standard palette. A palette holds from its
    // section on until the next one.
    size_t palette = 0;
    int paletteColours = 0;
};

struct FrameList {
    std::vector<FrameInfo> frames;  // every complete frame, in file order
    // Why the walk stopped before the end-of-file header: None when it reached it or the data
    // ended cleanly between sections; otherwise the error of the first section it could not
    // take (Truncated, UnknownFormat, NotIlda for bytes that are not a header at all).
    ImportError stop = ImportError::None;
};

// Walks the sections from the start, skipping palettes and colour tables, up to the end-of-file
// header or the end of the data, never past it. Reads headers only.
FrameList ListFrames(std::span<const uint8_t> data);

// All the points of a frame the walk found, in contour units; also when there are more than
// the contour holds. The frame must come from ListFrames of the same data.
Import DecodeFrame(std::span<const uint8_t> data, const FrameInfo& frame);

// The show with one of its frames (as ListFrames found it) replaced by `section`, a frame section
// (header and records) as Encode writes it before its end-of-file header. The new frame keeps
// the old header's name, company, number, total and projector; every other byte of the show
// stays as it was. Empty when the frame does not lie whole within the show.
std::vector<uint8_t> ReplaceFrame(std::span<const uint8_t> show, const FrameInfo& frame,
                                  std::span<const uint8_t> section);

// A frame too long for the contour brought down to at most `limit` points with its shape kept:
// the path between hot points (a point repeated in place) is resampled at the smallest even
// spacing that fits, so every point kept lies on the frame's path; hot points stay where they
// are with their repeats. Shorter frames come back unchanged.
std::vector<ContourPoint> Thin(const std::vector<ContourPoint>& points, size_t limit);

// The same with the points' styles (default where `styles` is shorter). Every point of the
// frame is stood for by the first point kept at or after it along the path, so a run of points
// left out that held a blanked one leaves the line that crosses it dark: a kept point is
// blanked when it is, or when any point it stands for is, or when it lies on a dark segment.
// Its colour is its own where it is a point of the frame (a hot point's repeats keep the first
// ones' and the last one's), else that of the segment it lies on (the colour of the segment's
// end point).
struct Thinned {
    std::vector<ContourPoint> points;
    std::vector<PointStyle> styles;
};
Thinned Thin(const std::vector<ContourPoint>& points, const std::vector<PointStyle>& styles,
             size_t limit);

}  // namespace model::ilda
