// A picture file as the underlay command loads it: the reader of its kind (chosen by the
// file name's extension in the editor; fixed per harness here), the picture fitted into the
// surface, installed as the underlay, shown and drawn by a full repaint under the contour;
// then a bitmap export of the surface, as the export command encodes it.
// QUORINIMAGE_PICTURE_KIND names the reader: Bitmap, Icon, Jpeg, Metafile, EnhancedMetafile,
// Png, Gif, WebP or Tiff.
#include <QByteArray>

#include "fuzz/fuzz_support.h"
#include "pictures/bitmap_writer.h"
#include "pictures/picture_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The editor reads at most kMaxPictureFileBytes; fuzz inputs are far below that.
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    fuzzing::Session s;
    editor::Editor& e = s.editor;
    const QSize area = e.canvas().image().size();
    const pictures::PictureResult r =
        pictures::ReadPicture(bytes, pictures::PictureKind::QUORINIMAGE_PICTURE_KIND, area);
    if (!r.ok()) {
        fuzzing::Require(!r.error.isEmpty(), "a refused picture says why");
        return 0;
    }
    // What the underlay's Load installs.
    fuzzing::Require(r.image.isNull() || QRect(QPoint(0, 0), area).contains(r.rect),
                     "a fitted picture lies inside the surface");
    QImage picture = r.image;
    if (picture.isNull()) {
        picture = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
    }
    e.underlay().setPicture(picture, r.rect);
    e.underlay().setVisible(true);
    // A contour over it, as when tracing.
    e.state().PointCount = 0;
    e.FillBuffer(10, 10);
    e.FillBuffer(370, 200);
    e.FillBuffer(100, 370);
    s.host.grid = true;
    e.PaintPic(true, true);
    const QByteArray exported = pictures::EncodeBitmap24(e.canvas().image());
    fuzzing::Require(exported.size() > 54, "the export has a header and pixels");
    return 0;
}
