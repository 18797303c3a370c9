#include "model/ilda.h"

#include <algorithm>
#include <array>
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
            return 3;
        case kTrueColor3D:
            return 10;
        case kTrueColor2D:
            return 8;
        default:
            return 0;
    }
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

Export Encode(const Contour& contour, Format format, Rgb color, const std::string& frameName,
              const std::string& company) {
    Export result;
    const int count = std::clamp(contour.State.PointCount, 0, kSlotCount / 2);
    std::vector<uint8_t>& out = result.bytes;
    out.reserve(size_t(kHeaderSize * 2 + count * RecordSize(format)));
    PutHeader(out, format, frameName, company, count, 0, 1);
    const int paletteIndex = NearestPaletteIndex(color);
    for (int i = 0; i < count; ++i) {
        bool clamped = false;
        const int16_t x = ToIlda(contour.Slot(2 * int64_t(i)), false, clamped);
        const int16_t y = ToIlda(contour.Slot(2 * int64_t(i) + 1), true, clamped);
        result.clampedPoints += clamped ? 1 : 0;
        Put16(out, uint16_t(x));
        Put16(out, uint16_t(y));
        out.push_back(i == count - 1 ? 0x80 : 0x00);  // last point; never blanked
        if (format == kIndexed2D) {
            out.push_back(uint8_t(paletteIndex));
        } else {
            out.push_back(color.b);
            out.push_back(color.g);
            out.push_back(color.r);
        }
    }
    PutHeader(out, format, frameName, company, 0, 0, 1);
    return result;
}

Import Decode(std::span<const uint8_t> data) {
    Import result;
    size_t at = 0;
    bool sawHeader = false;
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
        if (format == kPalette) {
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
        // The status byte follows the coordinates: two of them in 2-D formats, three in 3-D.
        const size_t statusOffset = (format == kIndexed3D || format == kTrueColor3D) ? 6 : 4;
        result.points.reserve(size_t(records));
        for (int i = 0; i < records; ++i) {
            const auto r = data.subspan(at + size_t(i) * size_t(size), size_t(size));
            const auto x = int16_t(Get16(r, 0));
            const auto y = int16_t(Get16(r, 2));
            result.points.push_back({FromIlda(x, false), FromIlda(y, true)});
            result.blankedPoints += (r[statusOffset] & 0x40) ? 1 : 0;
        }
        return result;
    }
}

Import DecodeFrame(std::span<const uint8_t> data, int index) {
    // Step over the sections before the frame; anything unusual stops the walk, and reading
    // from there reports it.
    size_t at = 0;
    int skipped = 0;
    while (skipped < index && data.size() - at >= size_t(kHeaderSize)) {
        const auto h = data.subspan(at, kHeaderSize);
        const int size = RecordSize(h[7]);
        const int records = Get16(h, 24);
        if (h[0] != 'I' || h[1] != 'L' || h[2] != 'D' || h[3] != 'A' || size == 0 || records == 0) {
            break;
        }
        const size_t bytes = size_t(records) * size_t(size);
        if (data.size() - at - size_t(kHeaderSize) < bytes) {
            break;
        }
        at += size_t(kHeaderSize) + bytes;
        skipped += h[7] == kPalette ? 0 : 1;
    }
    Import result = Decode(data.subspan(at));
    if (at > 0 && result.error == ImportError::NotIlda) {
        // Past a header, what is missing is the rest of the file, not its magic.
        result.error =
            data.size() - at < size_t(kHeaderSize) ? ImportError::NoFrame : ImportError::Truncated;
    }
    return result;
}

}  // namespace model::ilda
