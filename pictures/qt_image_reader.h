// PNG, GIF, WebP and TIFF pictures, decoded by Qt's image readers (WebP and TIFF through the
// plugins of Debian's qt6-image-formats-plugins). Only the reader of the kind asked for reads
// the bytes, never one that the content would choose, and only once the size its header gives
// is known and within the bitmap reader's limit: a file that claims more pixels is refused
// before anything is allocated for it.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>

#include "pictures/bitmap_reader.h"
#include "pictures/picture_formats.h"

namespace pictures {

// The file's first picture (a GIF's first frame, a TIFF's first page) at its own size,
// premultiplied, transparent where the file says so. Fails with "Картинка PNG не читается: она
// повреждена или это не PNG.", "Картинка PNG слишком велика: W × H пикселей." or, when Qt has
// no reader for the kind, "Картинки WebP не читаются: нет модуля Qt для них
// (qt6-image-formats-plugins).".
ImageResult ReadQtImage(const QByteArray& data, PictureKind kind);

// Every picture of the file in order (an animated GIF's frames, each as the animation shows it
// at that moment), at most `most` of them, each handed to `frame` as ReadQtImage gives the
// first. The message of ReadQtImage when the first cannot be read, else empty; the pictures
// after one that cannot be read are left out.
QString ReadQtFrames(const QByteArray& data, PictureKind kind, int most,
                     const std::function<void(const QImage&)>& frame);

}  // namespace pictures
