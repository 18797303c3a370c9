// The picture readers on their own: fitting, JPEG, bitmap, icon and metafile files and those
// read through Qt (PNG, GIF, WebP, TIFF) made here or kept under tests/data.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <csetjmp>
#include <cstdio>
#include <functional>
#include <vector>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "pictures/bitmap_reader.h"
#include "pictures/bitmap_writer.h"
#include "pictures/jpeg_reader.h"
#include "pictures/metafile_player.h"
#include "pictures/picture_formats.h"
#include "pictures/qt_image_reader.h"
#include "support/picture_files.h"

using namespace pictures;
using testing_support::EncodeGif;
using testing_support::EncodeJpeg;
using testing_support::WmfFile;

namespace {

const QSize kArea(394, 386);

QByteArray ReadData(const QString& name) {
    QFile f(QStringLiteral(TEST_DATA_DIR "/") + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(name);
    return f.readAll();
}

QByteArray Encode(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format, quality));
    return bytes;
}

QString JpegError(int code) {
    return QStringLiteral("JPEG error #%1").arg(code);
}

}  // namespace

TEST(FitRect, KeepsAspectEnlargesCentresAndTruncates) {
    EXPECT_EQ(FitRect({800, 600}, kArea), QRect(0, 45, 394, 295));
    EXPECT_EQ(FitRect({100, 200}, kArea), QRect(100, 0, 193, 386));
    EXPECT_EQ(FitRect({50, 50}, kArea), QRect(4, 0, 386, 386));
    // Wide but not wide enough to fill the width: height bounds it, width truncates.
    EXPECT_EQ(FitRect({400, 395}, kArea), QRect(2, 0, 390, 386));
    // A zero side fills the whole area.
    EXPECT_EQ(FitRect({0, 10}, kArea), QRect(0, 0, 394, 386));
}

TEST(PictureFormats, FilterListsFormatsFromTheLastRegistered) {
    EXPECT_EQ(PictureFilter(),
              QStringLiteral("All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|"
                             "*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
                             "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|"
                             "Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|"
                             "Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|"
                             "Все картинки (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.png;*.gif;"
                             "*.webp;*.tif;*.tiff)|"
                             "*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.png;*.gif;*.webp;*.tif;*.tiff|"
                             "Картинки PNG (*.png)|*.png|Картинки GIF (*.gif)|*.gif|"
                             "Картинки WebP (*.webp)|*.webp|Картинки TIFF (*.tif)|*.tif|"
                             "Картинки TIFF (*.tiff)|*.tiff"));
}

TEST(PictureFormats, ExtensionDecidesTheReaderWithoutRegardToCase) {
    QTemporaryDir dir;
    QImage red(8, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QByteArray jpeg = EncodeJpeg(red, JCS_RGB, false);
    for (const char* name : {"a.JPG", "b.Jpeg", "c.jpg"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(jpeg);
        f.close();
        const PictureResult r = LoadPicture(f.fileName(), kArea);
        EXPECT_TRUE(r.ok()) << name << qPrintable(r.error);
        EXPECT_EQ(r.rect, QRect(0, 94, 394, 197)) << name;
    }
    // A PNG or GIF name takes its reader, whatever the bytes; other names none.
    const std::pair<const char*, const char*> refused[] = {
        {"x.png", "Картинка PNG не читается: она повреждена или это не PNG."},
        {"x.GIF", "Картинка GIF не читается: она повреждена или это не GIF."},
        {"x.xcf", "Unknown picture file extension (.xcf)"},
        {"noextension", "Unknown picture file extension (.)"},
    };
    for (const auto& [name, message] : refused) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(jpeg);
        f.close();
        EXPECT_EQ(LoadPicture(path, kArea).error, QString::fromUtf8(message));
    }
}

TEST(JpegReader, ScalesInTheDecoderThenToTheFittedSize) {
    // Left half red, right half blue, 800 by 600.
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, 400, 600, Qt::red);
    const QByteArray jpeg = EncodeJpeg(image, JCS_RGB, false);
    const PictureResult r = ReadJpeg(jpeg, kArea);
    ASSERT_TRUE(r.ok()) << qPrintable(r.error);
    EXPECT_EQ(r.rect, QRect(0, 45, 394, 295));
    EXPECT_EQ(r.image.size(), QSize(394, 295));
    const QColor left = r.image.pixelColor(50, 150);
    const QColor right = r.image.pixelColor(340, 150);
    EXPECT_GT(left.red(), 220);
    EXPECT_LT(left.blue(), 40);
    EXPECT_GT(right.blue(), 220);
    EXPECT_LT(right.red(), 40);
    EXPECT_EQ(r.image.pixelColor(10, 10).alpha(), 255);  // JPEG is opaque
}

TEST(JpegReader, GrayscaleCmykAndProgressiveFiles) {
    QImage gray(64, 32, QImage::Format_RGB32);
    gray.fill(QColor(100, 100, 100));
    const PictureResult g = ReadJpeg(EncodeJpeg(gray, JCS_GRAYSCALE, false), kArea);
    ASSERT_TRUE(g.ok()) << qPrintable(g.error);
    const QColor gc = g.image.pixelColor(100, 50);
    EXPECT_NEAR(gc.red(), 100, 4);
    EXPECT_EQ(gc.red(), gc.blue());

    QImage green(64, 32, QImage::Format_RGB32);
    green.fill(QColor(0, 200, 0));
    for (bool progressive : {false, true}) {
        const PictureResult c = ReadJpeg(EncodeJpeg(green, JCS_CMYK, progressive), kArea);
        ASSERT_TRUE(c.ok()) << qPrintable(c.error);
        const QColor cc = c.image.pixelColor(100, 50);
        EXPECT_NEAR(cc.green(), 200, 8) << progressive;
        EXPECT_LT(cc.red(), 12) << progressive;
        EXPECT_LT(cc.blue(), 12) << progressive;
        const PictureResult p = ReadJpeg(EncodeJpeg(green, JCS_RGB, progressive), kArea);
        ASSERT_TRUE(p.ok());
        EXPECT_NEAR(p.image.pixelColor(100, 50).green(), 200, 8);
    }
}

TEST(JpegReader, ErrorsCarryTheDecoderNumber) {
    EXPECT_EQ(ReadJpeg(QByteArray("GIF89a not a jpeg at all"), kArea).error,
              JpegError(JERR_NO_SOI));
    EXPECT_EQ(ReadJpeg(QByteArray(), kArea).error, JpegError(JERR_INPUT_EMPTY));

    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QByteArray jpeg = EncodeJpeg(image, JCS_RGB, false);
    // Cut inside the scan: the picture would be incomplete.
    EXPECT_EQ(ReadJpeg(jpeg.left(jpeg.size() - 40), kArea).error, JpegError(JWRN_JPEG_EOF));
    // Cut inside the header.
    EXPECT_TRUE(ReadJpeg(jpeg.left(100), kArea).error.startsWith(QStringLiteral("JPEG error #")));

    // A header that claims 65000 by 65000 pixels is refused before anything is allocated.
    QByteArray huge = jpeg;
    const qsizetype sof = huge.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    qToBigEndian<quint16>(65000, huge.data() + sof + 5);
    qToBigEndian<quint16>(65000, huge.data() + sof + 7);
    EXPECT_EQ(ReadJpeg(huge, kArea).error, JpegError(JERR_IMAGE_TOO_BIG));

    // A progressive file keeps all its coefficients; one claiming 16000 by 16000 pixels
    // would need far more than the decoder may take, and is refused.
    QByteArray progressive = EncodeJpeg(image, JCS_RGB, true);
    const qsizetype sof2 = progressive.indexOf(QByteArray("\xFF\xC2", 2));
    ASSERT_GT(sof2, 0);
    qToBigEndian<quint16>(16000, progressive.data() + sof2 + 5);
    qToBigEndian<quint16>(16000, progressive.data() + sof2 + 7);
    EXPECT_EQ(ReadJpeg(progressive, kArea).error, JpegError(JERR_NO_BACKING_STORE));
}

// PNG, GIF, WebP and TIFF through Qt's readers keep each pixel's colour, and are transparent
// where the file says so (WebP at quality 100 is lossless).
TEST(QtImageReader, KeepsColoursAndTransparency) {
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(QColor(10, 200, 30));
    image.setPixelColor(1, 1, Qt::red);
    image.setPixelColor(3, 0, Qt::blue);
    image.setPixelColor(0, 2, Qt::transparent);
    const std::pair<PictureKind, QByteArray> files[] = {
        {PictureKind::Png, Encode(image, "PNG")},
        {PictureKind::Gif, EncodeGif(image)},
        {PictureKind::WebP, Encode(image, "WEBP", 100)},
        {PictureKind::Tiff, Encode(image, "TIFF")},
    };
    for (const auto& [kind, bytes] : files) {
        SCOPED_TRACE(int(kind));
        const ImageResult r = ReadQtImage(bytes, kind);
        ASSERT_TRUE(r.ok()) << qPrintable(r.error);
        ASSERT_EQ(r.image.size(), QSize(4, 3));
        EXPECT_EQ(r.image.pixel(1, 1), qRgb(255, 0, 0));
        EXPECT_EQ(r.image.pixel(3, 0), qRgb(0, 0, 255));
        EXPECT_EQ(r.image.pixel(2, 2), qRgb(10, 200, 30));
        EXPECT_EQ(qAlpha(r.image.pixel(0, 2)), 0);
    }
}

// A header that claims more pixels than the bitmap reader takes (2^26) is refused by its size
// before a pixel is decoded, not by Qt's own limit on what it allocates.
TEST(QtImageReader, ASizeTooLargeIsRefusedBeforeDecoding) {
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    EXPECT_TRUE(ReadQtImage(EncodeGif(image), PictureKind::Gif).ok());
    // 2^26 pixels are within the limit: what Qt makes of them is its own affair.
    EXPECT_FALSE(ReadQtImage(EncodeGif(image, QSize(8192, 8192)), PictureKind::Gif)
                     .error.contains(QStringLiteral("велика")));
    EXPECT_EQ(ReadQtImage(EncodeGif(image, QSize(8193, 8192)), PictureKind::Gif).error,
              QStringLiteral("Картинка GIF слишком велика: 8193 × 8192 пикселей."));
}

namespace {

// A 32-bit bitmap with a version 4 header that declares an alpha mask (0xFF000000), every
// pixel written with the given alpha.
QByteArray Bitmap32WithAlphaMask(const QImage& image, quint8 alpha) {
    QByteArray bmp(14 + 108, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian<quint32>(14 + 108, bmp.data() + 10);
    qToLittleEndian<quint32>(108, bmp.data() + 14);
    qToLittleEndian<qint32>(image.width(), bmp.data() + 18);
    qToLittleEndian<qint32>(image.height(), bmp.data() + 22);
    qToLittleEndian<quint16>(1, bmp.data() + 26);
    qToLittleEndian<quint16>(32, bmp.data() + 28);
    qToLittleEndian<quint32>(3, bmp.data() + 30);  // BI_BITFIELDS
    const quint32 masks[] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    for (int i = 0; i < 4; ++i) {
        qToLittleEndian<quint32>(masks[i], bmp.data() + 54 + 4 * i);
    }
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const char bgra[4] = {char(qBlue(p)), char(qGreen(p)), char(qRed(p)), char(alpha)};
            bmp.append(bgra, 4);
        }
    }
    qToLittleEndian<quint32>(quint32(bmp.size()), bmp.data() + 2);
    return bmp;
}

}  // namespace

TEST(BitmapReader, LeavesOutTheBottomLeftColourAndNothingElse) {
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    image.setPixelColor(1, 1, Qt::red);
    image.setPixelColor(3, 0, Qt::blue);
    // An alpha channel in the file is not used: a bitmap is opaque but for its key colour.
    int row = 0;
    for (const QByteArray& bmp : {Encode(image, "BMP"), Bitmap32WithAlphaMask(image, 0),
                                  Bitmap32WithAlphaMask(image, 0x80)}) {
        SCOPED_TRACE(row++);
        const ImageResult r = ReadBitmap(bmp);
        ASSERT_TRUE(r.ok());
        ASSERT_EQ(r.image.size(), QSize(4, 3));
        EXPECT_EQ(qAlpha(r.image.pixel(0, 2)), 0);
        EXPECT_EQ(qAlpha(r.image.pixel(2, 0)), 0);
        EXPECT_EQ(r.image.pixel(1, 1), qRgb(255, 0, 0));
        EXPECT_EQ(r.image.pixel(3, 0), qRgb(0, 0, 255));
    }
}

TEST(BitmapReader, TwoColourBitmapLeavesOutWhite) {
    QImage mono(16, 2, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mono.fill(1);            // black, so bottom-left is black
    mono.setPixel(5, 0, 0);  // one white pixel
    const QByteArray bmp = Encode(mono, "BMP");
    ASSERT_EQ(qFromLittleEndian<quint16>(bmp.constData() + 28), 1);
    const ImageResult r = ReadBitmap(bmp);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(qAlpha(r.image.pixel(5, 0)), 0);
    EXPECT_EQ(r.image.pixel(0, 1), qRgb(0, 0, 0));
}

TEST(BitmapReader, BrokenFilesFailInsteadOfShowingMadeUpPixels) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    const QByteArray bmp = Encode(image, "BMP");
    const QString error = QStringLiteral("Bitmap image is not valid");
    EXPECT_TRUE(ReadBitmap(bmp).ok());
    EXPECT_EQ(ReadBitmap(bmp.left(bmp.size() - 1)).error, error);
    EXPECT_EQ(ReadBitmap(bmp.left(20)).error, error);
    EXPECT_EQ(ReadBitmap(QByteArray("BM")).error, error);
    // The bad files of the bitmap suite: refused, or read whole.
    const QDir bad(QStringLiteral(TEST_DATA_DIR "/bmp_bad"));
    int refused = 0;
    for (const QString& name : bad.entryList({QStringLiteral("*.bmp")})) {
        const ImageResult r = ReadBitmap(ReadData(QStringLiteral("bmp_bad/") + name));
        if (!r.ok()) {
            EXPECT_EQ(r.error, error) << qPrintable(name);
            ++refused;
        } else {
            EXPECT_FALSE(r.image.isNull()) << qPrintable(name);
        }
    }
    EXPECT_GE(refused, 12);
    for (const char* name :
         {"shortfile.bmp", "badrle.bmp", "reallybig.bmp", "badbitcount.bmp", "badheadersize.bmp"}) {
        EXPECT_EQ(
            ReadBitmap(ReadData(QStringLiteral("bmp_bad/") + QString::fromLatin1(name))).error,
            error)
            << name;
    }
}

TEST(IconReader, UsesTheLargestImageAndItsMask) {
    // Qt writes one image per file; put two together by hand.
    QImage small(16, 16, QImage::Format_ARGB32);
    small.fill(Qt::blue);
    QImage large(32, 32, QImage::Format_ARGB32);
    large.fill(Qt::transparent);
    QPainter(&large).fillRect(16, 0, 16, 32, Qt::red);  // left half masked out
    const QByteArray a = Encode(small, "ICO");
    const QByteArray b = Encode(large, "ICO");
    QByteArray ico = a.left(6);
    qToLittleEndian<quint16>(2, ico.data() + 4);
    QByteArray entryA = a.mid(6, 16);
    QByteArray entryB = b.mid(6, 16);
    const QByteArray dataA = a.mid(22);
    const QByteArray dataB = b.mid(22);
    qToLittleEndian<quint32>(6 + 32, entryA.data() + 12);
    qToLittleEndian<quint32>(quint32(6 + 32 + dataA.size()), entryB.data() + 12);
    ico += entryA + entryB + dataA + dataB;

    const ImageResult r = ReadIcon(ico);
    ASSERT_TRUE(r.ok()) << qPrintable(r.error);
    EXPECT_EQ(r.image.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(r.image.pixel(4, 10)), 0);
    EXPECT_EQ(r.image.pixel(24, 10), qRgb(255, 0, 0));

    const QString error = QStringLiteral("Icon image is not valid");
    EXPECT_EQ(ReadIcon(ico.left(ico.size() - 10)).error, error);
    EXPECT_EQ(ReadIcon(ico.left(30)).error, error);
    EXPECT_EQ(ReadIcon(QByteArray(64, '\0')).error, error);
}

TEST(IconReader, DepthsWithoutAlphaUseTheMask) {
    // A 4 by 2 red icon whose AND mask hides its left half.
    const auto icon = [](int bitCount, quint8 alpha) {
        const int bytes = bitCount / 8;
        QByteArray ico(6 + 16 + 40, '\0');
        qToLittleEndian<quint16>(1, ico.data() + 2);
        qToLittleEndian<quint16>(1, ico.data() + 4);
        ico[6] = 4;
        ico[7] = 2;
        qToLittleEndian<quint16>(1, ico.data() + 10);
        qToLittleEndian<quint16>(quint16(bitCount), ico.data() + 12);
        qToLittleEndian<quint32>(quint32(40 + 2 * 4 * bytes + 2 * 4), ico.data() + 14);
        qToLittleEndian<quint32>(22, ico.data() + 18);
        qToLittleEndian<quint32>(40, ico.data() + 22);
        qToLittleEndian<qint32>(4, ico.data() + 26);
        qToLittleEndian<qint32>(4, ico.data() + 30);  // colour and mask rows
        qToLittleEndian<quint16>(1, ico.data() + 34);
        qToLittleEndian<quint16>(quint16(bitCount), ico.data() + 36);
        for (int i = 0; i < 8; ++i) {
            const char bgra[4] = {0, 0, char(0xFF), char(alpha)};
            ico.append(bgra, bytes);
        }
        for (int y = 0; y < 2; ++y) {
            ico.append("\xC0\0\0\0", 4);
        }
        return ico;
    };
    struct Case {
        int bitCount;
        quint8 alpha;
        int leftAlpha;  // the masked-out half
    };
    for (const Case& c : {Case{24, 0, 0}, Case{32, 0, 0}, Case{32, 0xFF, 0xFF}}) {
        const ImageResult r = ReadIcon(icon(c.bitCount, c.alpha));
        ASSERT_TRUE(r.ok()) << c.bitCount << qPrintable(r.error);
        for (int y = 0; y < 2; ++y) {
            EXPECT_EQ(qAlpha(r.image.pixel(1, y)), c.leftAlpha)
                << c.bitCount << " " << int(c.alpha);
            EXPECT_EQ(r.image.pixel(2, y), qRgb(255, 0, 0)) << c.bitCount << " " << int(c.alpha);
        }
    }
}

TEST(BitmapWriter, Writes24BitRowsBottomUp) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(0, 0, qRgb(1, 2, 3));
    image.setPixel(2, 1, qRgb(200, 100, 50));
    const QByteArray bmp = EncodeBitmap24(image);
    EXPECT_EQ(qFromLittleEndian<quint16>(bmp.constData() + 28), 24);
    EXPECT_EQ(bmp.size(), 54 + 2 * 12);  // rows of 9 bytes padded to 12
    // Bottom row first: (2,1) is the third pixel of the first row, blue green red.
    EXPECT_EQ(quint8(bmp[54 + 6]), 50);
    EXPECT_EQ(quint8(bmp[54 + 8]), 200);
    const QImage back = QImage::fromData(bmp, "BMP");
    ASSERT_EQ(back.size(), image.size());
    EXPECT_EQ(back.pixel(0, 0), qRgb(1, 2, 3));
}

// ---- metafiles ----

namespace {

// Pixel of a rendering of a 100 by 100 frame at 1:1.
QRgb At(const PictureResult& r, int x, int y) {
    return r.image.pixel(x, y);
}

bool IsColour(QRgb p, QRgb c) {
    return qAlpha(p) == 255 && qAbs(qRed(p) - qRed(c)) < 8 && qAbs(qGreen(p) - qGreen(c)) < 8 &&
           qAbs(qBlue(p) - qBlue(c)) < 8;
}

}  // namespace

TEST(MetafilePlayer, EachRecordFamilyDrawsInItsPlace) {
    WmfFile f;
    f.window(0, 0, 100, 100);
    f.solidBrush(0x0000FF);  // object 0: red brush
    f.pen(5, 0, 0);          // object 1: null pen
    f.select(0);
    f.select(1);
    f.record(0x041B, {20, 20, 0, 0});  // rectangle (0,0)-(20,20)
    f.solidBrush(0x00FF00);            // object 2: green
    f.select(2);
    f.record(0x0418, {50, 50, 30, 30});           // ellipse (30,30)-(50,50)
    f.record(0x0324, {3, 60, 0, 90, 0, 90, 30});  // triangle (60,0) (90,0) (90,30)
    f.record(0x001E, {});                         // save DC
    f.pen(0, 3, 0xFF0000);                        // object 3: blue pen 3 wide
    f.select(3);
    f.record(0x0214, {70, 0});   // moveto (0,70)
    f.record(0x0213, {70, 40});  // lineto (40,70)
    f.record(0x0127, {-1});      // restore: the null pen again
    f.record(0x0214, {80, 0});
    f.record(0x0213, {80, 40});   // draws nothing
    f.record(0x0999, {1, 2, 3});  // an unknown record is skipped
    // Pie in the box (60,60)-(100,100), counter-clockwise from east to north.
    f.record(0x081A, {60, 80, 80, 100, 100, 100, 60, 60});
    // A 2 by 2 bitmap stretched over (10,85)-(30,95): bottom row blue, top row yellow.
    f.stretchDib(10, 85, 20, 10, 2, 2, {0xFF0000, 0xFF0000, 0x00FFFF, 0x00FFFF});
    const PictureResult r = RenderMetafile(f.bytes(100, 100), QSize(100, 100));
    ASSERT_TRUE(r.ok()) << qPrintable(r.error);
    EXPECT_TRUE(IsColour(At(r, 10, 10), qRgb(255, 0, 0)));
    EXPECT_TRUE(IsColour(At(r, 40, 40), qRgb(0, 255, 0)));
    EXPECT_EQ(qAlpha(At(r, 31, 31)), 0);  // corner of the ellipse's box
    EXPECT_TRUE(IsColour(At(r, 85, 5), qRgb(0, 255, 0)));
    EXPECT_EQ(qAlpha(At(r, 65, 25)), 0);  // outside the triangle
    EXPECT_TRUE(IsColour(At(r, 20, 70), qRgb(0, 0, 255)));
    EXPECT_EQ(qAlpha(At(r, 20, 80)), 0);
    EXPECT_TRUE(IsColour(At(r, 90, 70), qRgb(0, 255, 0)));  // inside the pie's quarter
    EXPECT_EQ(qAlpha(At(r, 70, 90)), 0);                    // outside it
    EXPECT_TRUE(IsColour(At(r, 20, 87), qRgb(255, 255, 0)));
    EXPECT_TRUE(IsColour(At(r, 20, 93), qRgb(0, 0, 255)));
    EXPECT_EQ(qAlpha(At(r, 50, 10)), 0);  // transparent where nothing is drawn
}

TEST(MetafilePlayer, WindowMapsOntoTheFrameAndTextIsDrawnAtItsPoint) {
    WmfFile f;
    f.record(0x0103, {8});  // anisotropic
    f.window(0, 0, 1000, 1000);
    f.solidBrush(0x000000);
    f.select(0);
    f.record(0x041B, {1000, 1000, 500, 500});  // lower right quarter
    f.record(0x0209, {0x00FF, 0});             // text colour red
    f.record(0x0102, {1});                     // transparent background
    f.font(-200);                              // object 1
    f.select(1);
    f.text(50, 50, "WW");
    const PictureResult r = RenderMetafile(f.bytes(100, 100), QSize(100, 100));
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(IsColour(At(r, 75, 75), qRgb(0, 0, 0)));
    EXPECT_EQ(qAlpha(At(r, 25, 75)), 0);
    int red = 0;
    for (int y = 5; y < 26; ++y) {
        for (int x = 5; x < 40; ++x) {
            red += qRed(At(r, x, y)) > 150 && qGreen(At(r, x, y)) < 100;
        }
    }
    EXPECT_GT(red, 20);
}

TEST(MetafilePlayer, PlainMetafileTakesItsWindowAsFrame) {
    WmfFile f;
    f.window(0, 0, 200, 100);
    f.solidBrush(0xFF0000);
    f.select(0);
    f.record(0x041B, {100, 200, 0, 100});  // right half
    const QByteArray plain = f.bytes(0, 0, false);
    const MetafileInfo info = InspectMetafile(plain);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.size, QSize(200, 100));
    const PictureResult r = PlayMetafile(plain, QSize(394, 386));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.rect, QRect(0, 94, 394, 197));
    EXPECT_TRUE(IsColour(r.image.pixel(300, 100), qRgb(0, 0, 255)));
    EXPECT_EQ(qAlpha(r.image.pixel(100, 100)), 0);
}

TEST(MetafilePlayer, MalformedFilesFailAndTruncatedOnesToo) {
    const QString error = QStringLiteral("Metafile is not valid");
    WmfFile f;
    f.window(0, 0, 100, 100);
    f.record(0x0325, {2, 0, 0, 50, 50});
    const QByteArray good = f.bytes(100, 100);
    EXPECT_TRUE(RenderMetafile(good, QSize(10, 10)).ok());
    // A polyline that claims more points than its record holds.
    WmfFile g;
    g.record(0x0325, {200, 0, 0, 50, 50});
    EXPECT_EQ(RenderMetafile(g.bytes(100, 100), QSize(10, 10)).error, error);
    // The same in a metafile too thin to be drawn at all.
    g.window(0, 0, 15, 6000);
    EXPECT_EQ(PlayMetafile(g.bytes(0, 0, false), QSize(394, 386)).error, error);
    // A record longer than the file.
    QByteArray longer = good;
    qToLittleEndian<quint32>(100000, longer.data() + 22 + 18);
    EXPECT_EQ(RenderMetafile(longer, QSize(10, 10)).error, error);
    for (qsizetype cut : {qsizetype(10), qsizetype(30), good.size() - 6, good.size() - 1}) {
        EXPECT_EQ(PlayMetafile(good.left(cut), QSize(394, 386)).error, error) << cut;
    }
    EXPECT_EQ(PlayMetafile(QByteArray(300, 'x'), QSize(394, 386)).error, error);

    for (const char* name : {"wmf_fulltest.wmf", "emf_fulltest.emf"}) {
        const QByteArray data = ReadData(QString::fromLatin1(name));
        for (qsizetype cut : {data.size() / 3, data.size() - 4}) {
            EXPECT_EQ(PlayMetafile(data.left(cut), QSize(394, 386)).error, error) << name;
        }
        // Corrupt record sizes in the middle.
        QByteArray corrupt = data;
        for (qsizetype i = data.size() / 2; i < data.size() / 2 + 64; ++i) {
            corrupt[i] = char(0xFF);
        }
        const PictureResult r = PlayMetafile(corrupt, QSize(394, 386));
        EXPECT_TRUE(r.ok() || r.error == error) << name;
    }
}

TEST(MetafilePlayer, SampleMetafilesLookLikeTheirReferenceRenderings) {
    for (const char* base : {"wmf_fulltest", "emf_fulltest"}) {
        const QString name = QString::fromLatin1(base);
        const QByteArray file =
            ReadData(name + (name.startsWith(QLatin1Char('w')) ? QStringLiteral(".wmf")
                                                               : QStringLiteral(".emf")));
        const QImage reference(QStringLiteral(TEST_DATA_DIR "/") + name + QStringLiteral(".png"));
        ASSERT_FALSE(reference.isNull());
        const MetafileInfo info = InspectMetafile(file);
        ASSERT_TRUE(info.ok()) << base;
        EXPECT_NEAR(info.size.width(), reference.width(), 2) << base;
        EXPECT_NEAR(info.size.height(), reference.height(), 4) << base;
        const PictureResult r = RenderMetafile(file, reference.size());
        ASSERT_TRUE(r.ok()) << base;
        // Both over white, compared in 16 by 16 blocks: nearly all blocks agree.
        QImage mine(reference.size(), QImage::Format_RGB32);
        mine.fill(Qt::white);
        QPainter(&mine).drawImage(0, 0, r.image);
        QImage ref(reference.size(), QImage::Format_RGB32);
        ref.fill(Qt::white);
        QPainter(&ref).drawImage(0, 0, reference);
        const QSize blocks(reference.width() / 16, reference.height() / 16);
        const QImage a = mine.scaled(blocks, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage b = ref.scaled(blocks, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        int differing = 0;
        for (int y = 0; y < blocks.height(); ++y) {
            for (int x = 0; x < blocks.width(); ++x) {
                const QRgb p = a.pixel(x, y);
                const QRgb q = b.pixel(x, y);
                const int d = qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) +
                              qAbs(qBlue(p) - qBlue(q));
                differing += d > 90;
            }
        }
        EXPECT_LT(differing, blocks.width() * blocks.height() / 10) << base;
        // The title's first letters sit where the reference has them.
        int dark = 0;
        for (int y = 30; y < 45; ++y) {
            for (int x = 20; x < 60; ++x) {
                dark += qGray(mine.pixel(x, y)) < 100;
            }
        }
        EXPECT_GT(dark, 40) << base;
    }
}

TEST(PictureReaders, DamagedSamplesFailCleanlyOrDrawWhole) {
    // Bytes overwritten at spread-out places: every reader either refuses the file with its
    // own message or returns a whole picture; none may crash or read outside the file.
    QImage photo(96, 64, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        for (int x = 0; x < photo.width(); ++x) {
            photo.setPixel(x, y, qRgb(x * 2, y * 3, (x ^ y) & 0xFF));
        }
    }
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(QColor(200, 10, 10, 128));
    struct Sample {
        QByteArray bytes;
        std::function<QString(const QByteArray&)> read;
        QString prefix;
    };
    const Sample samples[] = {
        {EncodeJpeg(photo, JCS_RGB, false),
         [](const QByteArray& d) { return ReadJpeg(d, kArea).error; },
         QStringLiteral("JPEG error #")},
        {EncodeJpeg(photo, JCS_RGB, true),
         [](const QByteArray& d) { return ReadJpeg(d, kArea).error; },
         QStringLiteral("JPEG error #")},
        {Encode(photo, "BMP"), [](const QByteArray& d) { return ReadBitmap(d).error; },
         QStringLiteral("Bitmap image is not valid")},
        {Encode(icon, "ICO"), [](const QByteArray& d) { return ReadIcon(d).error; },
         QStringLiteral("Icon image is not valid")},
        {ReadData(QStringLiteral("wmf_fulltest.wmf")),
         [](const QByteArray& d) { return PlayMetafile(d, QSize(120, 100)).error; },
         QStringLiteral("Metafile is not valid")},
        {Encode(photo, "PNG"),
         [](const QByteArray& d) { return ReadQtImage(d, PictureKind::Png).error; },
         QStringLiteral("Картинка PNG ")},
        {EncodeGif(photo),
         [](const QByteArray& d) { return ReadQtImage(d, PictureKind::Gif).error; },
         QStringLiteral("Картинка GIF ")},
        {Encode(photo, "WEBP"),
         [](const QByteArray& d) { return ReadQtImage(d, PictureKind::WebP).error; },
         QStringLiteral("Картинка WebP ")},
        {Encode(photo, "TIFF"),
         [](const QByteArray& d) { return ReadQtImage(d, PictureKind::Tiff).error; },
         QStringLiteral("Картинка TIFF ")},
        {ReadData(QStringLiteral("emf_fulltest.emf")),
         [](const QByteArray& d) { return PlayMetafile(d, QSize(120, 100)).error; },
         QStringLiteral("Metafile is not valid")},
    };
    quint32 seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (const Sample& s : samples) {
        int refused = 0;
        for (int round = 0; round < 60; ++round) {
            QByteArray damaged = s.bytes;
            const int hits = 1 + int(next() % 4);
            for (int i = 0; i < hits; ++i) {
                damaged[qsizetype(next() % quint32(damaged.size()))] = char(next());
            }
            const QString error = s.read(damaged);
            if (!error.isEmpty()) {
                EXPECT_TRUE(error.startsWith(s.prefix)) << qPrintable(error);
                ++refused;
            }
        }
        EXPECT_TRUE(s.read(s.bytes).isEmpty()) << qPrintable(s.prefix);
    }
}

TEST(BitmapReader, PixelsAnRleStreamSkipsAreTheFirstPaletteColour) {
    // 4 by 2, 8-bit RLE: bottom row one pixel of colour 1 then the end of the line; the
    // top row two pixels of colour 1. Everything skipped shows colour 0 (green).
    QByteArray bmp("BM", 2);
    const QByteArray rle("\x01\x01\x00\x00\x02\x01\x00\x01", 8);
    auto put32 = [&bmp](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        bmp.append(b, 4);
    };
    auto put16 = [&bmp](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        bmp.append(b, 2);
    };
    put32(quint32(14 + 40 + 8 + rle.size()));
    put32(0);
    put32(14 + 40 + 8);
    put32(40);
    put32(4);
    put32(2);
    put16(1);
    put16(8);
    put32(1);  // BI_RLE8
    put32(quint32(rle.size()));
    put32(0);
    put32(0);
    put32(2);
    put32(0);
    put32(0x0000FF00);  // colour 0: green
    put32(0x000000FF);  // colour 1: blue
    bmp.append(rle);
    const ImageResult r = ReadBitmap(bmp);
    ASSERT_TRUE(r.ok()) << qPrintable(r.error);
    // Bottom-left is colour 1 (blue), the key: left out; skipped pixels are opaque green.
    EXPECT_EQ(qAlpha(r.image.pixel(0, 1)), 0);
    EXPECT_EQ(r.image.pixel(3, 1), qRgb(0, 255, 0));
    EXPECT_EQ(r.image.pixel(3, 0), qRgb(0, 255, 0));
    EXPECT_EQ(qAlpha(r.image.pixel(1, 0)), 0);
    // Cut before its end-of-bitmap mark, it is refused.
    EXPECT_EQ(ReadBitmap(bmp.left(bmp.size() - 2)).error,
              QStringLiteral("Bitmap image is not valid"));
}
