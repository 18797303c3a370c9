#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "model/contour_file.h"

using model::ContourFileImage;
using model::DecodeContourFile;
using model::EncodeContourFile;

namespace {

std::pair<uint8_t, uint8_t> Bytes(uint16_t word) {
    return {uint8_t(word & 0xFF), uint8_t(word >> 8)};
}

std::pair<uint8_t, uint8_t> BytesAt(const ContourFileImage& image, std::size_t offset) {
    return {image[offset], image[offset + 1]};
}

using P = std::pair<uint8_t, uint8_t>;

std::span<const uint8_t> Span(const ContourFileImage& image, std::size_t size) {
    return {image.data(), size};
}

}  // namespace

TEST(ContourFile, CoordinateWordsOfTheWorkedPixels) {
    struct Case {
        int pixel;
        P bytes;
        int32_t readBack;
        int shownAt;
    };
    const Case cases[] = {{0, {0xC8, 0x46}, -959'971'328, 1},
                          {1, {0x14, 0x47}, -954'990'592, 2},
                          {192, {0x00, 0x80}, 0, 192},
                          {193, {0x4C, 0x80}, 4'980'736, 192},
                          {383, {0xEC, 0xB8}, 954'990'592, 382}};
    for (const Case& c : cases) {
        const uint16_t word = model::EncodeCoordinateWord(model::PixelToUnit(c.pixel));
        EXPECT_EQ(Bytes(word), c.bytes) << c.pixel;
        const int32_t back = model::DecodeCoordinateWord(word);
        EXPECT_EQ(back, c.readBack) << c.pixel;
        EXPECT_EQ(model::UnitToPixel(back), c.shownAt) << c.pixel;
        // A second save of the value read back writes the same word.
        EXPECT_EQ(model::EncodeCoordinateWord(back), word) << c.pixel;
    }
}

TEST(ContourFile, ExtremeCoordinatesTruncateOrBecomeWordZero) {
    EXPECT_EQ(model::EncodeCoordinateWord(-65'535), 0x8000);  // truncates toward zero
    EXPECT_EQ(model::EncodeCoordinateWord(-65'536), 0x7FFF);
    EXPECT_EQ(model::EncodeCoordinateWord(INT32_MAX), 0xFFFF);
    EXPECT_EQ(model::EncodeCoordinateWord(-2'140'000'000), 32'768 - 32'653);
    EXPECT_EQ(model::EncodeCoordinateWord(-2'140'000'001), 0);
    EXPECT_EQ(model::EncodeCoordinateWord(INT32_MIN), 0);
    EXPECT_EQ(model::DecodeCoordinateWord(0), INT32_MIN);
    EXPECT_EQ(model::DecodeCoordinateWord(0xFFFF), 32'767 * 65'536);
}

TEST(ContourFile, CountWordsSaturate) {
    EXPECT_EQ(Bytes(model::EncodeCountWord(0)), (P{0x00, 0x80}));
    EXPECT_EQ(Bytes(model::EncodeCountWord(255)), (P{0xFF, 0x80}));
    EXPECT_EQ(Bytes(model::EncodeCountWord(2041)), (P{0xF9, 0x87}));
    EXPECT_EQ(Bytes(model::EncodeCountWord(40'000)), (P{0xFF, 0xFF}));
    EXPECT_EQ(Bytes(model::EncodeCountWord(32'767)), (P{0xFF, 0xFF}));
    EXPECT_EQ(Bytes(model::EncodeCountWord(32'766)), (P{0xFE, 0xFF}));
    EXPECT_EQ(Bytes(model::EncodeCountWord(-32'767)), (P{0x00, 0x00}));
    EXPECT_EQ(model::DecodeCountWord(0xFFFF), 32'767);
    EXPECT_EQ(model::DecodeCountWord(0x87F9), 2041);
    EXPECT_EQ(model::DecodeCountWord(0x0000), -32'768);
}

TEST(ContourFile, EveryWordIsWrittenAndTheCountTakesSlot4090) {
    model::ContourBuffer buffer{};
    for (std::size_t k = 0; k < buffer.size(); ++k) {
        buffer[k] = model::PixelToUnit(int(k % 384));
    }
    const model::ContourBuffer before = buffer;
    const ContourFileImage image = EncodeContourFile(buffer, 3);
    EXPECT_EQ(buffer, before);  // encoding leaves the buffer alone
    // The stale slots past the count are written like the live ones.
    for (int k = 0; k < model::kFileSlots; ++k) {
        if (k == model::kCountSlot) {
            continue;
        }
        ASSERT_EQ(BytesAt(image, 2 * std::size_t(k)),
                  Bytes(model::EncodeCoordinateWord(buffer[std::size_t(k)])))
            << k;
    }
    EXPECT_EQ(BytesAt(image, 8180), (P{0x03, 0x80}));
}

TEST(ContourFile, OnlyFilesOf8192Or8193BytesWithAHoldableCountLoad) {
    model::ContourBuffer buffer{};
    buffer[0] = 123 * 65'536;
    buffer[4095] = -7 * 65'536;
    const ContourFileImage image = EncodeContourFile(buffer, 2);
    std::vector<uint8_t> longer(image.begin(), image.end());
    longer.push_back(0xAB);
    for (std::size_t size : {std::size_t(8192), std::size_t(8193)}) {
        const auto file = DecodeContourFile({longer.data(), size});
        ASSERT_TRUE(file.has_value()) << size;
        EXPECT_EQ(file->count, 2);
        EXPECT_EQ(file->slots[0], 123 * 65'536);
        EXPECT_EQ(file->slots[4095], -7 * 65'536);
        EXPECT_EQ(file->slots[4090], 2);
    }
    longer.push_back(0);
    for (std::size_t size :
         {std::size_t(0), std::size_t(1), std::size_t(8191), std::size_t(8194)}) {
        EXPECT_FALSE(DecodeContourFile({longer.data(), size}).has_value()) << size;
    }
    // Counts the buffer cannot hold are refused; 2050 points still fit its 4101 slots.
    for (int32_t count : {-1, 2051, 32'767, -32'768}) {
        ContourFileImage bad = image;
        const uint16_t w = uint16_t(count + 32'768);
        bad[8180] = uint8_t(w & 0xFF);
        bad[8181] = uint8_t(w >> 8);
        EXPECT_FALSE(DecodeContourFile(Span(bad, bad.size())).has_value()) << count;
    }
    const ContourFileImage full = EncodeContourFile(buffer, 2050);
    ASSERT_TRUE(DecodeContourFile(Span(full, full.size())).has_value());
    EXPECT_EQ(DecodeContourFile(Span(full, full.size()))->count, 2050);
}

TEST(ContourFile, ApplyLeavesTheSlotsPastTheFileAndTheUndoAlone) {
    model::Contour c;
    c.Buffer.fill(77);
    c.Undo.fill(55);
    model::DecodedContour file;
    file.slots.fill(65'536);
    file.count = 9;
    file.slots[4090] = 9;
    model::ApplyContourFile(file, c);
    EXPECT_EQ(c.State.PointCount, 9);
    EXPECT_EQ(c.Buffer[0], 65'536);
    EXPECT_EQ(c.Buffer[4090], 9);
    EXPECT_EQ(c.Buffer[4095], 65'536);
    for (std::size_t k = 4096; k < 4101; ++k) {
        EXPECT_EQ(c.Buffer[k], 77) << k;
    }
    EXPECT_EQ(c.Undo[0], 55);
}

TEST(ContourFile, SaveLoadSaveIsByteIdentical) {
    std::mt19937 rng(4);
    std::uniform_int_distribution<int32_t> unit(INT32_MIN, INT32_MAX);
    model::Contour c;
    for (auto& slot : c.Buffer) {
        slot = unit(rng);
    }
    c.State.PointCount = 1234;
    const ContourFileImage first = EncodeContourFile(c.Buffer, c.State.PointCount);
    model::Contour loaded;
    const auto file = DecodeContourFile(Span(first, first.size()));
    ASSERT_TRUE(file.has_value());
    model::ApplyContourFile(*file, loaded);
    EXPECT_EQ(loaded.State.PointCount, 1234);
    EXPECT_EQ(EncodeContourFile(loaded.Buffer, loaded.State.PointCount), first);
    // Reloading loses at most the low 16 bits of each value, toward zero.
    for (int k = 0; k < model::kFileSlots; ++k) {
        const int64_t v = c.Buffer[std::size_t(k)];
        if (k == model::kCountSlot || v < -2'140'000'000) {
            continue;
        }
        const int64_t back = loaded.Buffer[std::size_t(k)];
        ASSERT_LT(std::abs(v - back), 65'536) << k;
        ASSERT_LE(std::abs(back), std::abs(v)) << k;
    }
}
