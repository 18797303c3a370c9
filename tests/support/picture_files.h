// Picture files made in code for the reader and command tests.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <initializer_list>
#include <vector>
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

namespace testing_support {

// A JPEG of the image through libjpeg's compressor: RGB, grayscale or Adobe CMYK.
QByteArray EncodeJpeg(const QImage& image, J_COLOR_SPACE space, bool progressive);

// A GIF of the image, written plainly: its colours in one table of 256 after the transparent
// entry (any past the table drawn transparent), every pixel a nine-bit code with a clear code
// every 200 so that the codes never grow. With `claimed` the header and the picture say that
// size, whatever the pixels written.
// Several frames make an animated GIF, each replacing the one before.
QByteArray EncodeGif(const QList<QImage>& frames, QSize claimed = QSize());
inline QByteArray EncodeGif(const QImage& image, QSize claimed = QSize()) {
    return EncodeGif(QList<QImage>{image}, claimed);
}

// A Windows metafile written record by record. Objects are numbered in creation order.
class WmfFile {
  public:
    void record(quint16 function, std::initializer_list<int> params);
    void window(int x, int y, int w, int h);  // SETWINDOWORG and SETWINDOWEXT
    void solidBrush(quint32 colorRef);
    void pen(int style, int width, quint32 colorRef);
    void font(int height);
    void select(int object);
    void text(int x, int y, const char* latin1);
    // STRETCHDIB of a 32-bit DIB; colours 0x00BBGGRR, bottom row first.
    void stretchDib(int x, int y, int w, int h, int sw, int sh, const std::vector<quint32>& px);
    // The file, placeable with a 0..w by 0..h box in 1440 units per inch, or plain.
    QByteArray bytes(int w, int h, bool placeable = true) const;

  private:
    void put16(int v);
    void put32(quint32 v);
    QByteArray body_;
};

}  // namespace testing_support
