#include "model/ilda.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace model::ilda {

namespace {

constexpr int64_t kHalfSpan = 960'000'000;  // contour units from the centre to pixel 0
constexpr int64_t kIldaMax = 32767;

// Rounds num / den to the nearest integer, halves away from zero (den > 0).
int64_t RoundDiv(int64_t num, int64_t den) {
    return num >= 0 ? (num + den / 2) / den : -((-num + den / 2) / den);
}

int RecordSize(uint8_t format) {
    switch (format) {
        case kIndexed3D:
            return 8;
        case kIndexed2D:
            return 6;
        case kPalette:
        case kColorTable:
            return 3;
        case kTrueColor3D:
            return 10;
        case kTrueColor2D:
            return 8;
        default:
            return 0;
    }
}

// A section of colours only, which the walk passes over.
bool IsColorSection(uint8_t format) {
    return format == kPalette || format == kColorTable;
}

void Put16(std::vector<uint8_t>& out, int v) {
    out.push_back(uint8_t((v >> 8) & 0xFF));
    out.push_back(uint8_t(v & 0xFF));
}

int Get16(std::span<const uint8_t> d, size_t at) {
    return (d[at] << 8) | d[at + 1];
}

void PutName(std::vector<uint8_t>& out, const std::string& name) {
    for (size_t i = 0; i < 8; ++i) {
        const char c = i < name.size() ? name[i] : '\0';
        // Names are plain ASCII; anything else becomes '_'.
        out.push_back(uint8_t((c & 0x80) ? '_' : c));
    }
}

void PutHeader(std::vector<uint8_t>& out, Format format, const std::string& name,
               const std::string& company, int records, int frameNumber, int totalFrames) {
    for (char c : {'I', 'L', 'D', 'A'}) {
        out.push_back(uint8_t(c));
    }
    out.insert(out.end(), 3, 0);
    out.push_back(format);
    PutName(out, name);
    PutName(out, company);
    Put16(out, records);
    Put16(out, frameNumber);
    Put16(out, totalFrames);
    out.push_back(0);  // projector
    out.push_back(0);  // reserved
}

// The colours an indexed frame's records name: a palette section's bytes (r, g, b each), or
// empty for the standard palette.
using PaletteBytes = std::span<const uint8_t>;

bool Is3D(uint8_t format) {
    return format == kIndexed3D || format == kTrueColor3D;
}

uint32_t Pack(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}

}  // namespace

const std::array<Rgb, 64>& DefaultPalette();

namespace {

PointStyle StyleOfRecord(std::span<const uint8_t> r, uint8_t format, PaletteBytes palette) {
    // The status byte follows the coordinates: two of them in 2-D formats, three in 3-D; the
    // colour follows it.
    const size_t status = Is3D(format) ? 6 : 4;
    PointStyle style;
    style.blanked = (r[status] & 0x40) != 0;
    if (format == kTrueColor2D || format == kTrueColor3D) {
        style.coloured = true;
        style.rgb = Pack(r[status + 3], r[status + 2], r[status + 1]);
        return style;
    }
    const size_t index = r[status + 1];
    if (!palette.empty()) {
        if (index < palette.size() / 3) {
            style.coloured = true;
            style.rgb = Pack(palette[3 * index], palette[3 * index + 1], palette[3 * index + 2]);
        }
    } else if (index < DefaultPalette().size()) {
        const Rgb c = DefaultPalette()[index];
        style.coloured = true;
        style.rgb = Pack(c.r, c.g, c.b);
    }
    return style;
}

// Appends `records` records of `format` from `at` (all within the data) to the import.
void ReadRecords(std::span<const uint8_t> data, size_t at, uint8_t format, size_t records,
                 PaletteBytes palette, Import& result) {
    const size_t size = size_t(RecordSize(format));
    result.points.reserve(records);
    result.styles.reserve(records);
    for (size_t i = 0; i < records; ++i) {
        const auto r = data.subspan(at + i * size, size);
        result.points.push_back(
            {FromIlda(int16_t(Get16(r, 0)), false), FromIlda(int16_t(Get16(r, 2)), true)});
        result.styles.push_back(StyleOfRecord(r, format, palette));
        result.blankedPoints += result.styles.back().blanked ? 1 : 0;
    }
}

}  // namespace

const std::array<Rgb, 64>& DefaultPalette() {
    static const std::array<Rgb, 64> palette = [] {
        std::array<Rgb, 64> p{};
        // Red to yellow, yellow to green, green to cyan, cyan to blue, blue to magenta,
        // magenta to white, white back to red.
        for (int i = 0; i <= 16; ++i) {
            p[size_t(i)] = {255, uint8_t(std::min(255, i * 16)), 0};
        }
        for (int i = 1; i <= 8; ++i) {
            p[size_t(16 + i)] = {uint8_t(256 - i * 32 - (i == 0 ? 1 : 0)), 255, 0};
        }
        p[24] = {0, 255, 0};
        const uint8_t greenToCyan[] = {36, 73, 109, 146, 182, 219, 255};
        for (int i = 0; i < 7; ++i) {
            p[size_t(25 + i)] = {0, 255, greenToCyan[i]};
        }
        const uint8_t cyanToBlue[] = {227, 198, 170, 142, 113, 85, 56, 28, 0};
        for (int i = 0; i < 9; ++i) {
            p[size_t(32 + i)] = {0, cyanToBlue[i], 255};
        }
        for (int i = 1; i <= 8; ++i) {
            p[size_t(40 + i)] = {uint8_t(std::min(255, i * 32)), 0, 255};
        }
        for (int i = 1; i <= 8; ++i) {
            p[size_t(48 + i)] = {255, uint8_t(std::min(255, i * 32)), 255};
        }
        for (int i = 1; i <= 7; ++i) {
            const auto v = uint8_t(256 - i * 32);
            p[size_t(56 + i)] = {255, v, v};
        }
        return p;
    }();
    return palette;
}

int NearestPaletteIndex(Rgb c) {
    const auto& p = DefaultPalette();
    int best = 0;
    int bestDist = std::numeric_limits<int>::max();
    for (int i = 0; i < int(p.size()); ++i) {
        const int dr = int(p[size_t(i)].r) - c.r;
        const int dg = int(p[size_t(i)].g) - c.g;
        const int db = int(p[size_t(i)].b) - c.b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

int16_t ToIlda(int32_t unit, bool flip, bool& clamped) {
    const int64_t u = flip ? -int64_t(unit) : int64_t(unit);
    const int64_t v = RoundDiv(u * kIldaMax, kHalfSpan);
    const int64_t c = std::clamp<int64_t>(v, -32768, 32767);
    clamped = clamped || c != v;
    return int16_t(c);
}

int32_t FromIlda(int16_t v, bool flip) {
    const int64_t u = RoundDiv(int64_t(v) * kHalfSpan, kIldaMax);
    return int32_t(std::clamp<int64_t>(flip ? -u : u, kMinUnit, kMaxUnit));
}

namespace {

// Points 0..count-1 as records of `format`, the last one marked; `at(i)` gives point i in
// contour units and `style(i)` its style. Clamped points are counted into `clamped`.
template <typename PointAt, typename StyleAt>
void PutRecords(std::vector<uint8_t>& out, int count, Format format, Rgb color, PointAt at,
                StyleAt style, int& clampedPoints) {
    const int defaultIndex = NearestPaletteIndex(color);
    for (int i = 0; i < count; ++i) {
        bool clamped = false;
        const ContourPoint p = at(i);
        const int16_t x = ToIlda(p.x, false, clamped);
        const int16_t y = ToIlda(p.y, true, clamped);
        clampedPoints += clamped ? 1 : 0;
        Put16(out, uint16_t(x));
        Put16(out, uint16_t(y));
        const PointStyle s = style(i);
        out.push_back(uint8_t((i == count - 1 ? 0x80 : 0x00) | (s.blanked ? 0x40 : 0x00)));
        const Rgb c =
            s.coloured ? Rgb{uint8_t(s.rgb >> 16), uint8_t(s.rgb >> 8), uint8_t(s.rgb)} : color;
        if (format == kIndexed2D) {
            out.push_back(uint8_t(s.coloured ? NearestPaletteIndex(c) : defaultIndex));
        } else {
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
    }
}

}  // namespace

Export Encode(const Contour& contour, Format format, Rgb color, const std::string& frameName,
              const std::string& company) {
    Export result;
    const int count = std::clamp(contour.State.PointCount, 0, kSlotCount / 2);
    std::vector<uint8_t>& out = result.bytes;
    out.reserve(size_t(kHeaderSize * 2 + count * RecordSize(format)));
    PutHeader(out, format, frameName, company, count, 0, 1);
    PutRecords(
        out, count, format, color,
        [&contour](int i) {
            return ContourPoint{contour.Slot(2 * int64_t(i)), contour.Slot(2 * int64_t(i) + 1)};
        },
        [&contour](int i) { return contour.StyleAt(i); }, result.clampedPoints);
    PutHeader(out, format, frameName, company, 0, 0, 1);
    return result;
}

Export EncodeShow(std::span<const Frame> frames, Format format, Rgb color,
                  const std::string& company) {
    Export result;
    const int total = int(std::min(frames.size(), size_t(kMaxShowFrames)));
    size_t records = 0;
    for (int n = 0; n < total; ++n) {
        records += std::max<size_t>(1, std::min(frames[size_t(n)].points.size(), size_t(0xFFFF)));
    }
    std::vector<uint8_t>& out = result.bytes;
    out.reserve(size_t(kHeaderSize) * size_t(total + 1) + records * size_t(RecordSize(format)));
    // An empty frame would read as the end of the file: it is one dark point at the centre.
    static const std::vector<ContourPoint> kDarkCentre = {{0, 0}};
    static const std::vector<PointStyle> kDark = {PointStyle::Dark()};
    for (int n = 0; n < total; ++n) {
        const Frame& f = frames[size_t(n)];
        const bool empty = f.points.empty();
        const std::vector<ContourPoint>& points = empty ? kDarkCentre : f.points;
        const std::vector<PointStyle>& styles = empty ? kDark : f.styles;
        const int count = int(std::min(points.size(), size_t(0xFFFF)));
        result.emptyFrames += empty ? 1 : 0;
        result.longFrames += count > kFlickerFreeLimit ? 1 : 0;
        PutHeader(out, format, f.name, company, count, n, total);
        PutRecords(
            out, count, format, color, [&points](int i) { return points[size_t(i)]; },
            [&styles](int i) {
                return size_t(i) < styles.size() ? styles[size_t(i)] : PointStyle{};
            },
            result.clampedPoints);
    }
    // The end-of-file header numbered as the frame after the last, of the same total.
    PutHeader(out, format, {}, company, 0, total, total);
    return result;
}

Import Decode(std::span<const uint8_t> data) {
    Import result;
    size_t at = 0;
    bool sawHeader = false;
    PaletteBytes palette;
    while (true) {
        if (data.size() - at < size_t(kHeaderSize)) {
            result.error = sawHeader ? ImportError::NoFrame : ImportError::NotIlda;
            return result;
        }
        const auto h = data.subspan(at, kHeaderSize);
        if (h[0] != 'I' || h[1] != 'L' || h[2] != 'D' || h[3] != 'A') {
            result.error = sawHeader ? ImportError::Truncated : ImportError::NotIlda;
            return result;
        }
        sawHeader = true;
        const uint8_t format = h[7];
        const int records = Get16(h, 24);
        const int size = RecordSize(format);
        at += kHeaderSize;
        if (size == 0) {
            result.error = ImportError::UnknownFormat;
            return result;
        }
        if (records == 0) {
            // The end-of-file header before any frame.
            result.error = ImportError::NoFrame;
            return result;
        }
        const size_t bytes = size_t(records) * size_t(size);
        if (data.size() - at < bytes) {
            result.error = ImportError::Truncated;
            return result;
        }
        if (IsColorSection(format)) {
            if (format == kPalette) {
                palette = data.subspan(at, bytes);
            }
            at += bytes;
            continue;
        }
        result.frameLength = records;
        result.frameName.clear();
        for (size_t i = 8; i < 16 && h[i] != 0; ++i) {
            result.frameName.push_back(char(h[i]));
        }
        if (records > kMaxImportPoints) {
            result.error = ImportError::TooManyPoints;
            return result;
        }
        ReadRecords(data, at, format, size_t(records), palette, result);
        return result;
    }
}

namespace {

std::string NameOf(std::span<const uint8_t> header) {
    std::string name;
    for (size_t i = 8; i < 16 && header[i] != 0; ++i) {
        name.push_back(char(header[i]));
    }
    return name;
}

bool IsIldaHeader(std::span<const uint8_t> h) {
    return h[0] == 'I' && h[1] == 'L' && h[2] == 'D' && h[3] == 'A';
}

}  // namespace

FrameList ListFrames(std::span<const uint8_t> data) {
    FrameList result;
    size_t at = 0;
    bool sawHeader = false;
    size_t palette = 0;
    int paletteColours = 0;
    while (at < data.size()) {
        if (data.size() - at < size_t(kHeaderSize)) {
            result.stop = sawHeader ? ImportError::Truncated : ImportError::NotIlda;
            return result;
        }
        const auto h = data.subspan(at, kHeaderSize);
        if (!IsIldaHeader(h)) {
            result.stop = sawHeader ? ImportError::Truncated : ImportError::NotIlda;
            return result;
        }
        sawHeader = true;
        const uint8_t format = h[7];
        const int records = Get16(h, 24);
        const int size = RecordSize(format);
        if (size == 0) {
            result.stop = ImportError::UnknownFormat;
            return result;
        }
        if (records == 0) {
            return result;  // the end-of-file header
        }
        const size_t bytes = size_t(records) * size_t(size);
        if (data.size() - at - size_t(kHeaderSize) < bytes) {
            result.stop = ImportError::Truncated;
            return result;
        }
        if (format == kPalette) {
            palette = at + size_t(kHeaderSize);
            paletteColours = records;
        } else if (!IsColorSection(format)) {
            result.frames.push_back({at, format, records, NameOf(h), palette, paletteColours});
        }
        at += size_t(kHeaderSize) + bytes;
    }
    return result;
}

Import DecodeFrame(std::span<const uint8_t> data, const FrameInfo& frame) {
    Import result;
    const int size = RecordSize(frame.format);
    if (frame.offset > data.size() || data.size() - frame.offset < size_t(kHeaderSize) ||
        !IsIldaHeader(data.subspan(frame.offset, kHeaderSize))) {
        result.error = ImportError::NotIlda;
        return result;
    }
    if (size == 0 || IsColorSection(frame.format)) {
        result.error = ImportError::UnknownFormat;
        return result;
    }
    const size_t at = frame.offset + size_t(kHeaderSize);
    const size_t records = size_t(std::max(0, frame.points));
    if ((data.size() - at) / size_t(size) < records) {
        result.error = ImportError::Truncated;
        return result;
    }
    result.frameLength = frame.points;
    result.frameName = frame.name;
    // A palette that does not lie whole within the data is no palette: the standard one holds.
    PaletteBytes palette;
    const size_t colours = size_t(std::max(0, frame.paletteColours));
    if (colours > 0 && frame.palette <= data.size() &&
        (data.size() - frame.palette) / 3 >= colours) {
        palette = data.subspan(frame.palette, colours * 3);
    }
    ReadRecords(data, at, frame.format, records, palette, result);
    return result;
}

std::vector<uint8_t> ReplaceFrame(std::span<const uint8_t> show, const FrameInfo& frame,
                                  std::span<const uint8_t> section) {
    const size_t size = size_t(RecordSize(frame.format));
    const size_t records = size_t(std::max(0, frame.points));
    if (size == 0 || IsColorSection(frame.format) || section.size() < size_t(kHeaderSize) ||
        frame.offset > show.size() || show.size() - frame.offset < size_t(kHeaderSize) ||
        !IsIldaHeader(show.subspan(frame.offset, kHeaderSize)) ||
        (show.size() - frame.offset - size_t(kHeaderSize)) / size < records) {
        return {};
    }
    const size_t end = frame.offset + size_t(kHeaderSize) + records * size;
    std::vector<uint8_t> out(show.begin(), show.begin() + ptrdiff_t(frame.offset + kHeaderSize));
    out.reserve(show.size() - (end - frame.offset) + section.size());
    uint8_t* header = out.data() + frame.offset;
    header[7] = section[7];    // the format
    header[24] = section[24];  // the record count
    header[25] = section[25];
    out.insert(out.end(), section.begin() + kHeaderSize, section.end());
    out.insert(out.end(), show.begin() + ptrdiff_t(end), show.end());
    return out;
}

namespace {

// A point of a frame with the number of times it stands there in a row.
struct Stop {
    ContourPoint p;
    size_t repeat = 1;
    bool anchor = false;  // kept where it is: an end, a hot point or a sharp corner
    size_t first = 0;     // the index in the frame of its first repeat
};

double Gap(const ContourPoint& a, const ContourPoint& b) {
    return std::hypot(double(b.x) - a.x, double(b.y) - a.y);
}

bool SharpTurn(const ContourPoint& a, const ContourPoint& b, const ContourPoint& c) {
    const double ax = double(b.x) - a.x;
    const double ay = double(b.y) - a.y;
    const double bx = double(c.x) - b.x;
    const double by = double(c.y) - b.y;
    const double l = std::hypot(ax, ay) * std::hypot(bx, by);
    // A turn of more than 40 degrees, as the joining of paths keeps.
    return l > 0 && (ax * bx + ay * by) / l < 0.766;
}

// The points between two anchors at `spacing`: how many go strictly between them.
size_t Between(double length, double spacing) {
    const double pieces = std::ceil(length / spacing - 1e-9);
    return pieces > 1 ? size_t(pieces) - 1 : 0;
}

}  // namespace

std::vector<ContourPoint> Thin(const std::vector<ContourPoint>& points, size_t limit) {
    return Thin(points, {}, limit).points;
}

Thinned Thin(const std::vector<ContourPoint>& points, const std::vector<PointStyle>& styles,
             size_t limit) {
    const auto styleOf = [&styles](size_t i) {
        return i < styles.size() ? styles[i] : PointStyle{};
    };
    if (points.size() <= limit || limit < 2) {
        const size_t n = std::min(points.size(), limit);
        Thinned cut{{points.begin(), points.begin() + ptrdiff_t(n)}, {}};
        for (size_t i = 0; i < n; ++i) {
            cut.styles.push_back(styleOf(i));
        }
        return cut;
    }
    std::vector<Stop> stops;
    for (size_t i = 0; i < points.size(); ++i) {
        const ContourPoint& p = points[i];
        if (!stops.empty() && stops.back().p.x == p.x && stops.back().p.y == p.y) {
            ++stops.back().repeat;
        } else {
            stops.push_back({p, 1, false, i});
        }
    }
    // Anchors and what they cost; corners only while they leave room for the path between,
    // then hot points with fewer repeats, then the two ends alone.
    const auto mark = [&](bool corners, size_t maxRepeat) {
        size_t fixed = 0;
        for (size_t i = 0; i < stops.size(); ++i) {
            Stop& s = stops[i];
            s.anchor = i == 0 || i + 1 == stops.size() || (maxRepeat > 1 && s.repeat > 1) ||
                       (corners && SharpTurn(stops[i - 1].p, s.p, stops[i + 1].p));
            fixed += s.anchor ? std::min(s.repeat, maxRepeat) : 0;
        }
        return fixed;
    };
    size_t maxRepeat = std::numeric_limits<size_t>::max();
    size_t fixed = mark(true, maxRepeat);
    if (fixed > limit / 2) {
        fixed = mark(false, maxRepeat);
    }
    if (fixed > limit) {
        maxRepeat = 2;
        fixed = mark(false, maxRepeat);
    }
    if (fixed > limit) {
        maxRepeat = 1;
        fixed = mark(false, maxRepeat);
    }
    // The length of each run between neighbouring anchors.
    std::vector<double> runs;
    double run = 0;
    for (size_t i = 1; i < stops.size(); ++i) {
        run += Gap(stops[i - 1].p, stops[i].p);
        if (stops[i].anchor) {
            runs.push_back(run);
            run = 0;
        }
    }
    const auto count = [&](double spacing) {
        size_t n = fixed;
        for (double l : runs) {
            n += Between(l, spacing);
        }
        return n;
    };
    // The smallest spacing that fits: the count only falls as the spacing grows, and at the
    // longest run's length only the anchors are left.
    double lo = 0;
    double hi = 1;
    for (double l : runs) {
        hi = std::max(hi, l);
    }
    for (int i = 0; i < 80; ++i) {
        const double mid = (lo + hi) / 2;
        if (count(mid) <= limit) {
            hi = mid;
        } else {
            lo = mid;
        }
    }
    const double spacing = hi;

    Thinned thinned;
    std::vector<ContourPoint>& out = thinned.points;
    out.reserve(count(spacing));
    thinned.styles.reserve(out.capacity());
    // The first point of the frame not yet stood for by a point kept.
    size_t next = 0;
    // Keeps a point that stands for the frame's points up to `last` (those after the previous
    // one kept), in `own` colour: dark when `own` is or any point it stands for is.
    const auto keep = [&](const ContourPoint& p, size_t last, PointStyle own) {
        for (; next <= last; ++next) {
            own.blanked = own.blanked || styleOf(next).blanked;
        }
        out.push_back(p);
        thinned.styles.push_back(own);
    };
    size_t runStart = 0;
    size_t runIndex = 0;
    const auto emitAnchor = [&](const Stop& s) {
        // Copies but the last are the first repeats; the last stands for the rest.
        const size_t copies = std::min(s.repeat, maxRepeat);
        const size_t last = s.first + s.repeat - 1;
        for (size_t j = 0; j < copies; ++j) {
            const bool isLast = j + 1 == copies;
            const size_t own = isLast && copies > 1 ? last : s.first + j;
            keep(s.p, isLast ? last : s.first + j, styleOf(own));
        }
    };
    emitAnchor(stops[0]);
    for (size_t i = 1; i < stops.size(); ++i) {
        if (!stops[i].anchor) {
            continue;
        }
        const double length = runs[runIndex++];
        const size_t k = Between(length, spacing);
        // Walk the run from anchor runStart to anchor i, dropping a point every length/(k+1).
        size_t seg = runStart;
        double segStart = 0;
        for (size_t j = 1; j <= k; ++j) {
            const double at = length * double(j) / double(k + 1);
            while (seg + 1 < i && segStart + Gap(stops[seg].p, stops[seg + 1].p) < at) {
                segStart += Gap(stops[seg].p, stops[seg + 1].p);
                ++seg;
            }
            const ContourPoint& a = stops[seg].p;
            const ContourPoint& b = stops[seg + 1].p;
            const double g = Gap(a, b);
            const double t = g > 0 ? std::clamp((at - segStart) / g, 0.0, 1.0) : 0.0;
            // On the segment to stops[seg + 1], in its colour, past stops[seg]'s repeats (and
            // at the end of the segment, past its end point's arrival too).
            keep({int32_t(std::llround(a.x + (double(b.x) - a.x) * t)),
                  int32_t(std::llround(a.y + (double(b.y) - a.y) * t))},
                 t >= 1 ? stops[seg + 1].first : stops[seg].first + stops[seg].repeat - 1,
                 styleOf(stops[seg + 1].first));
        }
        emitAnchor(stops[i]);
        runStart = i;
    }
    return thinned;
}

Import DecodeFrame(std::span<const uint8_t> data, int index) {
    const FrameList list = ListFrames(data);
    if (index >= 0 && size_t(index) < list.frames.size()) {
        const FrameInfo& frame = list.frames[size_t(index)];
        if (frame.points > kMaxImportPoints) {
            Import result;
            result.error = ImportError::TooManyPoints;
            result.frameLength = frame.points;
            result.frameName = frame.name;
            return result;
        }
        return DecodeFrame(data, frame);
    }
    Import result;
    // Either the walk stopped at a section it could not take before reaching the frame, or
    // the file simply has fewer frames.
    result.error = list.stop == ImportError::None ? ImportError::NoFrame : list.stop;
    return result;
}

}  // namespace model::ilda
