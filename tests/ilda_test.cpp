#include <gtest/gtest.h>

#include <vector>

#include "model/ilda.h"

using namespace model::ilda;
using Bytes = std::vector<uint8_t>;

namespace {

model::Contour ContourOf(std::initializer_list<std::pair<int32_t, int32_t>> units) {
    model::Contour c;
    int i = 0;
    for (const auto& [x, y] : units) {
        c.Buffer[size_t(2 * i)] = x;
        c.Buffer[size_t(2 * i + 1)] = y;
        ++i;
    }
    c.State.PointCount = i;
    return c;
}

Bytes Header(uint8_t format, int records) {
    Bytes h = {'I',
               'L',
               'D',
               'A',
               0,
               0,
               0,
               format,
               'f',
               'r',
               'a',
               'm',
               'e',
               0,
               0,
               0,
               'c',
               'o',
               0,
               0,
               0,
               0,
               0,
               0,
               uint8_t(records >> 8),
               uint8_t(records),
               0,
               0,
               0,
               1,
               0,
               0};
    return h;
}

void Append(Bytes& to, const Bytes& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// A separate, plain reading of the standard layout: format 5 records after a 32-byte header.
std::vector<std::pair<int, int>> IndependentRead(const Bytes& f) {
    std::vector<std::pair<int, int>> pts;
    const int n = (f[24] << 8) | f[25];
    for (int i = 0; i < n; ++i) {
        const size_t at = 32 + size_t(i) * 8;
        pts.emplace_back(int16_t((f[at] << 8) | f[at + 1]), int16_t((f[at + 2] << 8) | f[at + 3]));
    }
    return pts;
}

}  // namespace

TEST(IldaExport, TrueColourFrameByteForByte) {
    // Centre, pixel 0 (left, top) and pixel 383 (right, bottom).
    const auto c = ContourOf({{0, 0}, {-960'000'000, -960'000'000}, {955'000'000, 955'000'000}});
    const Export e = Encode(c, kTrueColor2D, {0x10, 0x20, 0x30}, "User1", "Quorinim");
    const Bytes expected = {
        // header
        'I', 'L', 'D', 'A', 0, 0, 0, 5, 'U', 's', 'e', 'r', '1', 0, 0, 0, 'Q', 'u', 'o', 'r', 'i',
        'n', 'i', 'm', 0, 3, 0, 0, 0, 1, 0, 0,
        // x, y, status, blue, green, red
        0x00, 0x00, 0x00, 0x00, 0x00, 0x30, 0x20, 0x10,  //
        0x80, 0x01, 0x7F, 0xFF, 0x00, 0x30, 0x20, 0x10,  // (-32767, +32767)
        0x7F, 0x54, 0x80, 0xAC, 0x80, 0x30, 0x20, 0x10,  // (32596, -32596), last point
        // end of file
        'I', 'L', 'D', 'A', 0, 0, 0, 5, 'U', 's', 'e', 'r', '1', 0, 0, 0, 'Q', 'u', 'o', 'r', 'i',
        'n', 'i', 'm', 0, 0, 0, 0, 0, 1, 0, 0};
    EXPECT_EQ(e.bytes, expected);
    EXPECT_EQ(e.clampedPoints, 0);
}

TEST(IldaExport, IndexedFrameUsesTheNearestPaletteColour) {
    const auto c = ContourOf({{0, 0}, {5'000'000, 0}});
    const Export e = Encode(c, kIndexed2D, {0, 128, 0}, "a-long-frame-name", "x");
    ASSERT_EQ(e.bytes.size(), 32u + 2 * 6 + 32);
    EXPECT_EQ(e.bytes[7], 1);
    EXPECT_EQ(Bytes(e.bytes.begin() + 8, e.bytes.begin() + 16),
              Bytes({'a', '-', 'l', 'o', 'n', 'g', '-', 'f'}));
    // Records: x, y, status, index; green is palette entry 24.
    EXPECT_EQ(Bytes(e.bytes.begin() + 32, e.bytes.begin() + 44),
              Bytes({0, 0, 0, 0, 0x00, 24, 0x00, 0xAB, 0, 0, 0x80, 24}));
    EXPECT_EQ(NearestPaletteIndex({255, 0, 0}), 0);
    EXPECT_EQ(NearestPaletteIndex({255, 255, 255}), 56);
    EXPECT_EQ(DefaultPalette()[16], (Rgb{255, 255, 0}));
    EXPECT_EQ(DefaultPalette()[40], (Rgb{0, 0, 255}));
    EXPECT_EQ(DefaultPalette()[63], (Rgb{255, 32, 32}));
}

TEST(IldaExport, OutOfRangePointsAreClampedAndCounted) {
    const auto c = ContourOf({{2'000'000'000, 0}, {0, 0}, {0, -2'147'483'647 - 1}});
    const Export e = Encode(c, kTrueColor2D, {}, "f", "c");
    EXPECT_EQ(e.clampedPoints, 2);
    const auto pts = IndependentRead(e.bytes);
    EXPECT_EQ(pts[0].first, 32767);
    EXPECT_EQ(pts[2].second, 32767);  // y turned: the top of the surface is up
    // The last-point bit is on the last record only.
    EXPECT_EQ(e.bytes[32 + 4], 0x00);
    EXPECT_EQ(e.bytes[40 + 4], 0x00);
    EXPECT_EQ(e.bytes[48 + 4], 0x80);
}

TEST(IldaRoundTrip, EveryPointComesBackWithinOnePixel) {
    model::Contour c;
    for (int i = 0; i < 2041; ++i) {
        c.WriteToBuffer(2 * i, (i * 37) % 384, (i * 91) % 384);
    }
    c.State.PointCount = 2041;
    const Export e = Encode(c, kTrueColor2D, {1, 2, 3}, "rt", "co");
    const Import back = Decode(e.bytes);
    ASSERT_EQ(back.error, ImportError::None);
    ASSERT_EQ(back.points.size(), 2041u);
    const auto indep = IndependentRead(e.bytes);
    for (int i = 0; i < 2041; ++i) {
        const model::PixelPos p = c.PointPixel(i);
        EXPECT_LE(std::abs(model::UnitToPixel(back.points[size_t(i)].x) - p.x), 1) << i;
        EXPECT_LE(std::abs(model::UnitToPixel(back.points[size_t(i)].y) - p.y), 1) << i;
        // The independent reader sees the same coordinates as ours.
        EXPECT_EQ(FromIlda(int16_t(indep[size_t(i)].first), false), back.points[size_t(i)].x);
    }
    EXPECT_EQ(back.frameName, "rt");
}

TEST(IldaImport, ReadsEveryPointFormatAndSkipsPalettes) {
    // Format 0 (3-D indexed): x, y, z, status, index; a blanked point.
    Bytes f0 = Header(0, 2);
    Append(f0, {0x40, 0x00, 0xC0, 0x00, 0x12, 0x34, 0x40, 7, 0, 0, 0, 0, 0, 0, 0x80, 7});
    Append(f0, Header(0, 0));
    Import r = Decode(f0);
    ASSERT_EQ(r.error, ImportError::None);
    ASSERT_EQ(r.points.size(), 2u);
    EXPECT_EQ(r.points[0].x, FromIlda(0x4000, false));
    EXPECT_EQ(r.points[0].y, FromIlda(int16_t(0xC000), true));
    EXPECT_GT(r.points[0].y, 0);  // ILDA's down is the surface's down
    EXPECT_EQ(r.blankedPoints, 1);
    EXPECT_EQ(r.frameName, "frame");

    // A palette section first, then format 4 (3-D true colour).
    Bytes f4 = Header(2, 2);
    Append(f4, {255, 0, 0, 0, 255, 0});
    Append(f4, Header(4, 1));
    Append(f4, {0x01, 0x00, 0x02, 0x00, 0x7F, 0xFF, 0x80, 1, 2, 3});
    Append(f4, Header(4, 0));
    r = Decode(f4);
    ASSERT_EQ(r.error, ImportError::None);
    ASSERT_EQ(r.points.size(), 1u);
    EXPECT_EQ(r.points[0].x, FromIlda(0x0100, false));
    EXPECT_EQ(r.blankedPoints, 0);

    // Reserved bytes are not checked.
    Bytes reserved = Header(5, 1);
    reserved[4] = 0xAA;
    reserved[31] = 0x55;
    Append(reserved, {0, 0, 0, 0, 0x80, 0, 0, 0});
    EXPECT_EQ(Decode(reserved).error, ImportError::None);
}

TEST(IldaImport, DamagedFilesAreRefusedWithoutReadingPastTheData) {
    EXPECT_EQ(Decode(Bytes{}).error, ImportError::NotIlda);
    EXPECT_EQ(Decode(Bytes{'I', 'L', 'D'}).error, ImportError::NotIlda);
    Bytes notIlda = Header(5, 1);
    notIlda[0] = 'X';
    EXPECT_EQ(Decode(notIlda).error, ImportError::NotIlda);
    // A record list cut short, and a count far beyond the file.
    Bytes cut = Header(5, 3);
    Append(cut, {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1});
    EXPECT_EQ(Decode(cut).error, ImportError::Truncated);
    Bytes huge = Header(5, 65535);
    EXPECT_EQ(Decode(huge).error, ImportError::Truncated);
    // Only an end-of-file header, or palettes and then nothing.
    EXPECT_EQ(Decode(Header(5, 0)).error, ImportError::NoFrame);
    Bytes palOnly = Header(2, 1);
    Append(palOnly, {1, 2, 3});
    EXPECT_EQ(Decode(palOnly).error, ImportError::NoFrame);
    Bytes unknown = Header(9, 1);
    Append(unknown, Bytes(16, 0));
    EXPECT_EQ(Decode(unknown).error, ImportError::UnknownFormat);
}

TEST(IldaImport, FramesLongerThanTheContourAreRefused) {
    Bytes f = Header(1, 2042);
    Append(f, Bytes(2042 * 6, 0));
    const Import r = Decode(f);
    EXPECT_EQ(r.error, ImportError::TooManyPoints);
    EXPECT_EQ(r.frameLength, 2042);
    EXPECT_TRUE(r.points.empty());
    // Coordinates come back clamped to the surface's range like any written point.
    EXPECT_EQ(FromIlda(32767, false), 955'000'000);
    EXPECT_EQ(FromIlda(-32768, false), -960'000'000);
    EXPECT_EQ(FromIlda(-32767, false), -960'000'000);
}

TEST(IldaImport, FrameNIsCountedPastPalettesAndNeverReadBeyondTheData) {
    // A palette, frame 0 with one point, another palette, frame 1 with two points, the end.
    Bytes f = Header(2, 1);
    Append(f, {1, 2, 3});
    Append(f, Header(5, 1));
    Append(f, {0x01, 0x00, 0, 0, 0x80, 0, 0, 0});
    Append(f, Header(2, 1));
    Append(f, {4, 5, 6});
    Append(f, Header(1, 2));
    Append(f, {0x02, 0x00, 0, 0, 0, 7, 0x03, 0x00, 0, 0, 0x80, 7});
    Bytes ended = f;
    Append(ended, Header(1, 0));

    EXPECT_EQ(DecodeFrame(ended, 0).points.size(), 1u);
    const Import second = DecodeFrame(ended, 1);
    ASSERT_EQ(second.error, ImportError::None);
    ASSERT_EQ(second.points.size(), 2u);
    EXPECT_EQ(second.points[1].x, FromIlda(0x0300, false));

    struct Case {
        const char* what;
        Bytes data;
        int index;
        ImportError error;
    };
    Bytes badMagic = f;
    Append(badMagic, Header(5, 1));
    badMagic[badMagic.size() - 32] = 'X';
    Bytes cut = Header(5, 1);
    Append(cut, {0, 0, 0, 0, 0x80, 0, 0, 0});
    Append(cut, Header(5, 2));
    Append(cut, {0, 0, 0, 0, 0, 0, 0, 0});  // one record of two
    const Case cases[] = {
        {"past the end-of-file header", ended, 2, ImportError::NoFrame},
        {"past the end of data without an end header", f, 2, ImportError::NoFrame},
        {"a header without its magic after a frame", badMagic, 2, ImportError::Truncated},
        {"the frame asked for is cut short", cut, 1, ImportError::Truncated},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeFrame(c.data, c.index).error, c.error) << c.what;
    }
}
