#include <gtest/gtest.h>

#include <vector>

#include "model/legacy_file.h"

using model::PixelPos;

TEST(LegacyFile, WriteExportScalesClampsAndKeepsTheRawBytes) {
    model::Contour c;
    model::WriteExport(c, 0, 0, 255);
    EXPECT_EQ(c.Buffer[0], -952'500'000);
    EXPECT_EQ(c.Buffer[1], 955'000'000);  // 960,000,000 clamped
    EXPECT_EQ(c.LastWritePos, (PixelPos{0, 255}));
    EXPECT_EQ(c.PointPixel(0), (PixelPos{2, 383}));
    model::WriteExport(c, 2, 128, 127);
    EXPECT_EQ(c.Buffer[2], 7'500'000);
    EXPECT_EQ(c.Buffer[3], 0);
    EXPECT_EQ(c.PointPixel(1), (PixelPos{193, 192}));
    // Out-of-range arguments clamp instead of wrapping; slots outside the buffer are refused.
    model::WriteExport(c, 4, -1'000'000, 1'000'000);
    EXPECT_EQ(c.Buffer[4], model::kMinUnit);
    EXPECT_EQ(c.Buffer[5], model::kMaxUnit);
    model::WriteExport(c, 4100, 0, 0);
    EXPECT_EQ(c.Buffer[4100], -952'500'000);
}

TEST(LegacyFile, ReadImportGivesFullValues) {
    model::Contour c;
    c.WriteToBuffer(0, 1, 383);
    model::ReadImport(c, 0);
    EXPECT_EQ(c.ReadPos, (PixelPos{0, 254}));
    c.WriteToBuffer(0, 191, 193);
    model::ReadImport(c, 0);
    EXPECT_EQ(c.ReadPos, (PixelPos{127, 127}));
    c.WriteToBuffer(0, 0, 192);
    model::ReadImport(c, 0);
    EXPECT_EQ(c.ReadPos, (PixelPos{-1, 127}));  // not yet reduced to a byte
}

TEST(LegacyFile, ExportClampsWhatNoByteCanHold) {
    model::Contour c;
    c.WriteToBuffer(0, 0, 192);  // -960,000,000 gives -1
    c.Buffer[2] = 967'500'000;   // gives 256
    c.Buffer[3] = INT32_MIN;
    const model::LegacyFileImage image = model::EncodeLegacyFile(c);
    EXPECT_EQ(image[0], 0);
    EXPECT_EQ(image[1024], 127);
    EXPECT_EQ(image[1], 255);
    EXPECT_EQ(image[1025], 0);
}

TEST(LegacyFile, ExportOfAFreshContourIsAll127) {
    model::Contour c;
    const model::LegacyFileImage image = model::EncodeLegacyFile(c);
    for (std::size_t i = 0; i < image.size(); ++i) {
        ASSERT_EQ(image[i], 127) << i;
    }
}

TEST(LegacyFile, ImportThenExportKeepsBytesUpTo254) {
    std::vector<uint8_t> file(2100);
    for (std::size_t i = 0; i < file.size(); ++i) {
        file[i] = uint8_t(i * 7 + 3);  // filler too, which the export replaces
    }
    for (std::size_t i = 0; i < 256; ++i) {
        file[i] = uint8_t(i);
        file[1024 + i] = uint8_t(255 - i);
    }
    model::Contour c;
    c.State.PointCount = 17;
    ASSERT_TRUE(model::DecodeLegacyFile(file, c));
    EXPECT_EQ(c.State.PointCount, 255);
    EXPECT_EQ(c.LastWritePos, (PixelPos{255, 0}));  // raw bytes of point 255
    const model::LegacyFileImage out = model::EncodeLegacyFile(c);
    for (std::size_t i = 0; i < 2048; ++i) {
        uint8_t expected = 127;
        if (i < 256) {
            expected = uint8_t(std::min<std::size_t>(i, 254));
        } else if (i >= 1024 && i < 1280) {
            expected = uint8_t(std::min<std::size_t>(255 - (i - 1024), 254));
        }
        ASSERT_EQ(out[i], expected) << i;
    }
}

TEST(LegacyFile, AllFillerImportsAtTheCentreAndShortImagesAreRefused) {
    std::vector<uint8_t> file(2048, 127);
    model::Contour c;
    ASSERT_TRUE(model::DecodeLegacyFile(file, c));
    EXPECT_EQ(c.State.PointCount, 255);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(c.PointPixel(i), (PixelPos{192, 192})) << i;
    }
    model::Contour untouched;
    untouched.Buffer.fill(9);
    const model::ContourBuffer before = untouched.Buffer;
    EXPECT_FALSE(model::DecodeLegacyFile({file.data(), 2047}, untouched));
    EXPECT_EQ(untouched.Buffer, before);
    EXPECT_EQ(untouched.State.PointCount, 0);
}
