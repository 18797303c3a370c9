#include <gtest/gtest.h>

#include <QPointF>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "model/ilda.h"
#include "support/geometry.h"

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

namespace {

// A section of `records` records of the format's size, coordinates from `coord(i)`.
Bytes Section(uint8_t format, int records, std::pair<int, int> (*coord)(int) = nullptr) {
    static const std::map<int, int> kSize{{0, 8}, {1, 6}, {2, 3}, {3, 3}, {4, 10}, {5, 8}};
    Bytes s = Header(format, records);
    for (int i = 0; i < records; ++i) {
        Bytes r(size_t(kSize.at(format)), 0);
        if (coord != nullptr) {
            const auto [x, y] = coord(i);
            r[0] = uint8_t(x >> 8), r[1] = uint8_t(x), r[2] = uint8_t(y >> 8), r[3] = uint8_t(y);
        }
        Append(s, r);
    }
    return s;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        Append(all, p);
    }
    return all;
}

// The points of a contour as plane points in contour units.
std::vector<QPointF> Plane(const std::vector<model::ContourPoint>& points) {
    std::vector<QPointF> plane;
    for (const model::ContourPoint& p : points) {
        plane.emplace_back(p.x, p.y);
    }
    return plane;
}

}  // namespace

// The walk lists frames, skips palettes, and stops at the end-of-file header, at the end of the
// data or at the first section it cannot take, keeping the frames before it.
TEST(IldaFrames, TheWalkListsCompleteFramesOnly) {
    Bytes unknownFormat = Header(9, 1);
    Append(unknownFormat, Bytes(16, 0));
    Bytes cut = Section(5, 4);
    cut.pop_back();
    Bytes notIlda = Section(5, 1);
    notIlda[0] = 'X';
    struct Row {
        const char* what;
        Bytes file;
        std::vector<size_t> offsets;
        std::vector<int> points;
        ImportError stop;
    };
    const std::vector<Row> rows{
        // Palette 32 + 9 bytes; frames of 32 + 24, 32 + 12 and 32 + 10 bytes.
        {"palette, three formats, end header, then junk",
         Join({Section(2, 3), Section(5, 3), Section(1, 2), Section(4, 1), Header(5, 0),
               Bytes(7, 'j')}),
         {41, 97, 141},
         {3, 2, 1},
         ImportError::None},
        // LaserBoy writes a table of 3-byte colours (format 3) before a frame: 32 + 6 bytes,
        // a frame of 32 + 12, a table of 32 + 9, a frame of 32 + 24.
        {"colour tables before frames",
         Join({Section(3, 2), Section(1, 2), Section(3, 3), Section(0, 3), Header(5, 0)}),
         {38, 123},
         {2, 3},
         ImportError::None},
        {"no end header", Join({Section(5, 3), Section(0, 2)}), {0, 56}, {3, 2}, ImportError::None},
        {"second frame cut", Join({Section(5, 3), cut}), {0}, {3}, ImportError::Truncated},
        {"unknown format after a frame",
         Join({Section(5, 3), unknownFormat}),
         {0},
         {3},
         ImportError::UnknownFormat},
        {"junk after a frame",
         Join({Section(5, 3), Bytes(40, 'j')}),
         {0},
         {3},
         ImportError::Truncated},
        {"header cut after a frame",
         Join({Section(5, 3), Bytes{'I', 'L', 'D', 'A'}}),
         {0},
         {3},
         ImportError::Truncated},
        {"not ILDA", notIlda, {}, {}, ImportError::NotIlda},
        {"a count far beyond the file", Header(5, 65535), {}, {}, ImportError::Truncated},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const FrameList list = ListFrames(r.file);
        EXPECT_EQ(list.stop, r.stop);
        ASSERT_EQ(list.frames.size(), r.offsets.size());
        for (size_t i = 0; i < r.offsets.size(); ++i) {
            EXPECT_EQ(list.frames[i].offset, r.offsets[i]);
            EXPECT_EQ(list.frames[i].points, r.points[i]);
            EXPECT_EQ(list.frames[i].name, "frame");
            // Every frame listed decodes, the first also as the file's first frame, and a frame
            // read past the data is refused.
            EXPECT_EQ(DecodeFrame(r.file, list.frames[i]).points.size(), size_t(r.points[i]));
            if (i == 0) {
                EXPECT_EQ(Decode(r.file).points.size(), size_t(r.points[i]));
            }
            FrameInfo beyond = list.frames[i];
            beyond.points = 70000;
            EXPECT_EQ(DecodeFrame(r.file, beyond).error, ImportError::Truncated);
            beyond.offset = r.file.size() - 4;
            EXPECT_EQ(DecodeFrame(r.file, beyond).error, ImportError::NotIlda);
        }
    }
}

// A square of 800 pixels' perimeter in 2989 points, with a hot point of 12 repeats: 3000 points.
TEST(IldaFrames, ALongFrameThinnedKeepsItsPathCornersAndHotPoints) {
    const int32_t h = 500'000'000;
    const model::ContourPoint corners[] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}, {-h, -h}};
    std::vector<model::ContourPoint> frame;
    for (int i = 0; i <= 4 * 747; ++i) {
        const int side = std::min(i / 747, 3);
        const int64_t t = i - side * 747;
        const model::ContourPoint a = corners[side];
        const model::ContourPoint b = corners[side + 1];
        const model::ContourPoint p{int32_t(a.x + (int64_t(b.x) - a.x) * t / 747),
                                    int32_t(a.y + (int64_t(b.y) - a.y) * t / 747)};
        frame.insert(frame.end(), i == 1500 ? 12 : 1, p);
    }
    ASSERT_EQ(frame.size(), 3000u);
    const model::ContourPoint hot = frame[1500];

    const std::vector<model::ContourPoint> thin = Thin(frame, 2041);
    ASSERT_LE(thin.size(), 2041u);
    EXPECT_GE(thin.size(), 2035u);  // the longest that fits, give or take a run's rounding
    const auto same = [](const model::ContourPoint& a, const model::ContourPoint& b) {
        return a.x == b.x && a.y == b.y;
    };
    for (const model::ContourPoint& c : corners) {
        EXPECT_TRUE(std::any_of(thin.begin(), thin.end(), [&](auto p) { return same(p, c); }));
    }
    const auto first = std::find_if(thin.begin(), thin.end(), [&](auto p) { return same(p, hot); });
    ASSERT_LE(first + 12, thin.end());
    EXPECT_TRUE(std::all_of(first, first + 12, [&](auto p) { return same(p, hot); }));
    EXPECT_FALSE(same(first[12], hot));

    // Within one spacing of the original path, both ways.
    double spacing = 0;
    for (size_t i = 1; i < thin.size(); ++i) {
        spacing = std::max(spacing, std::hypot(double(thin[i].x) - thin[i - 1].x,
                                               double(thin[i].y) - thin[i - 1].y));
    }
    EXPECT_LT(spacing, 800.0 / 2000 * 5e6 * 1.05);
    const std::vector<QPointF> frameLine = Plane(frame);
    const std::vector<QPointF> thinLine = Plane(thin);
    for (const QPointF& p : thinLine) {
        ASSERT_LE(testing_support::PolylineDistance(p, frameLine), 2.0);
    }
    for (const QPointF& p : frameLine) {
        ASSERT_LE(testing_support::PolylineDistance(p, thinLine), spacing);
    }
}

namespace {

// A record of the format at (x, y) = (0, 0): its status byte and its colour (an index, or the
// blue, green and red bytes of a true-colour record).
Bytes Record(uint8_t format, uint8_t status, std::initializer_list<uint8_t> colour) {
    Bytes r = {0, 0, 0, 0};
    if (format == kIndexed3D || format == kTrueColor3D) {
        Append(r, {0, 0});  // z
    }
    r.push_back(status);
    Append(r, colour);
    return r;
}

model::PointStyle Lit(uint32_t rgb) {
    return model::PointStyle::Colour(rgb);
}

model::PointStyle Dark(uint32_t rgb) {
    return {rgb, true, true};
}

}  // namespace

// Each point comes in blanked as its status byte says and in its record's colour: an index
// through the last palette before the frame, or the standard palette without one; an index past
// the palette in force gives a default point. The colours expected are the standard palette's
// as the ILDA format's table lists them and the palettes' bytes as written here. A frame is
// read the same through Decode, by its number and by its place in the list.
TEST(IldaImport, ColoursAndBlankingThroughThePaletteInForce) {
    struct Row {
        const char* what;
        Bytes file;
        std::vector<model::PointStyle> styles;
    };
    const auto frame = [](uint8_t format, std::initializer_list<Bytes> records) {
        Bytes f = Header(format, int(records.size()));
        for (const Bytes& r : records) {
            Append(f, r);
        }
        return f;
    };
    Bytes twoColours = Header(kPalette, 2);
    Append(twoColours, {10, 20, 30, 200, 100, 50});
    Bytes oneColour = Header(kPalette, 1);
    Append(oneColour, {1, 2, 3});
    const std::vector<Row> rows{
        {"format 1, standard palette: red, yellow, blue, the last pink, one past the palette",
         frame(kIndexed2D, {Record(1, 0x00, {0}), Record(1, 0x40, {16}), Record(1, 0x00, {40}),
                            Record(1, 0x00, {64}), Record(1, 0xC0, {63})}),
         {Lit(0xFF0000), Dark(0xFFFF00), Lit(0x0000FF), {}, Dark(0xFF2020)}},
        {"format 0, standard palette: green, white",
         frame(kIndexed3D, {Record(0, 0x00, {24}), Record(0, 0xC0, {56})}),
         {Lit(0x00FF00), Dark(0xFFFFFF)}},
        {"format 0 after a palette of two: its colours, then one past it",
         Join({twoColours, frame(kIndexed3D, {Record(0, 0x00, {1}), Record(0, 0x40, {0}),
                                              Record(0, 0x80, {2})})}),
         {Lit(0xC86432), Dark(0x0A141E), {}}},
        {"format 1 after two palettes: the second holds",
         Join({twoColours, oneColour,
               frame(kIndexed2D, {Record(1, 0x00, {0}), Record(1, 0x80, {1})})}),
         {Lit(0x010203), {}}},
        {"format 4: blue, green, red bytes",
         frame(kTrueColor3D, {Record(4, 0x00, {1, 2, 3}), Record(4, 0xC0, {0, 0, 0})}),
         {Lit(0x030201), Dark(0x000000)}},
        {"format 5 after a palette, which it does not use",
         Join({oneColour, frame(kTrueColor2D, {Record(5, 0x40, {0x30, 0x20, 0x10}),
                                               Record(5, 0x80, {0xFF, 0, 0x80})})}),
         {Dark(0x102030), Lit(0x8000FF)}},
        // Status bits other than these two (LaserBoy sets 0x20) change nothing.
        {"other status bits",
         frame(kTrueColor2D, {Record(5, 0x20, {9, 8, 7}), Record(5, 0xE0, {9, 8, 7})}),
         {Lit(0x070809), Dark(0x070809)}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const FrameList list = ListFrames(r.file);
        ASSERT_EQ(list.frames.size(), 1u);
        for (const Import& in :
             {Decode(r.file), DecodeFrame(r.file, 0), DecodeFrame(r.file, list.frames[0])}) {
            ASSERT_EQ(in.error, ImportError::None);
            ASSERT_EQ(in.points.size(), r.styles.size());
            EXPECT_EQ(in.styles, r.styles);
            EXPECT_EQ(in.blankedPoints, std::count_if(r.styles.begin(), r.styles.end(),
                                                      [](auto s) { return s.blanked; }));
        }
    }
    // A palette said to lie past the data is no palette: the standard one holds.
    const Bytes f = Join({twoColours, frame(kIndexed2D, {Record(1, 0x80, {1})})});
    FrameInfo info = ListFrames(f).frames[0];
    info.paletteColours = 60000;
    EXPECT_EQ(DecodeFrame(f, info).styles, std::vector<model::PointStyle>{Lit(0xFF1000)});
}

// Each point is written in its own colour, a default one in the export's; a blanked point with
// the blanking bit beside the last point's. Indexed frames take the standard palette's nearest.
TEST(IldaExport, EachPointInItsOwnColourAndBlanking) {
    auto c = ContourOf({{0, 0}, {0, 0}, {0, 0}, {0, 0}});
    c.SetStyle(0, model::PointStyle::Colour(0xFF1000));  // palette entry 1 exactly
    c.SetStyle(1, model::PointStyle::Dark());            // default colour, blanked
    c.SetStyle(2, {0x0000FE, true, false});              // nearest: entry 40, blue
    c.SetStyle(3, {0x20FF00, true, true});               // entry 23, blanked and last
    const Export t = Encode(c, kTrueColor2D, {0x10, 0x20, 0x30}, "s", "c");
    // Records from byte 32: x, y, status, blue, green, red.
    EXPECT_EQ(Bytes(t.bytes.begin() + 32, t.bytes.begin() + 64),
              Bytes({0, 0, 0, 0, 0x00, 0x00, 0x10, 0xFF,  //
                     0, 0, 0, 0, 0x40, 0x30, 0x20, 0x10,  //
                     0, 0, 0, 0, 0x00, 0xFE, 0x00, 0x00,  //
                     0, 0, 0, 0, 0xC0, 0x00, 0xFF, 0x20}));
    const Export i = Encode(c, kIndexed2D, {0, 128, 0}, "s", "c");
    // x, y, status, index; the default colour, green, is entry 24.
    EXPECT_EQ(Bytes(i.bytes.begin() + 32, i.bytes.begin() + 56), Bytes({0, 0, 0, 0, 0x00, 1,   //
                                                                        0, 0, 0, 0, 0x40, 24,  //
                                                                        0, 0, 0, 0, 0x00, 40,  //
                                                                        0, 0, 0, 0, 0xC0, 23}));
}

// Ten points 1000 units apart on a line, point i in colour i, thinned to four: the ends and the
// points at 3000 and 6000 (each at the end of the segment that reaches the frame's point there,
// in its colour). The point at 3000 stands for points 1..3, the one at 6000 for 4..6, the last
// end for 7..9: a blanked point among those makes the line that crosses it dark.
TEST(IldaFrames, AThinnedFrameKeepsTheDarkOfThePointsLeftOut) {
    std::vector<model::ContourPoint> line;
    std::vector<model::PointStyle> styles;
    for (int i = 0; i < 10; ++i) {
        line.push_back({i * 1000, 0});
        styles.push_back(model::PointStyle::Colour(uint32_t(i)));
    }
    struct Row {
        int blanked;  // the frame's blanked point
        std::vector<bool> dark;
    };
    const Row rows[] = {{-1, {false, false, false, false}}, {0, {true, false, false, false}},
                        {1, {false, true, false, false}},   {3, {false, true, false, false}},
                        {4, {false, false, true, false}},   {6, {false, false, true, false}},
                        {7, {false, false, false, true}},   {9, {false, false, false, true}}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.blanked);
        std::vector<model::PointStyle> s = styles;
        if (r.blanked >= 0) {
            s[size_t(r.blanked)].blanked = true;
        }
        const Thinned thin = Thin(line, s, 4);
        ASSERT_EQ(thin.points.size(), 4u);
        EXPECT_EQ(thin.points, Thin(line, 4));
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(thin.points[k].x, int32_t(k * 3000));
            EXPECT_EQ(thin.styles[k], (model::PointStyle{uint32_t(k * 3), true, r.dark[k]})) << k;
        }
    }
    // Without styles every point kept is default; a frame cut (a limit under two) keeps its own.
    EXPECT_EQ(Thin(line, {}, 4).styles, std::vector<model::PointStyle>(4));
    EXPECT_EQ(Thin(line, styles, 1).styles, std::vector<model::PointStyle>{styles[0]});
}
