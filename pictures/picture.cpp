#include "pictures/picture.h"

namespace pictures {

QRect FitRect(QSize picture, QSize area) {
    const int w = picture.width();
    const int h = picture.height();
    const int cw = area.width();
    const int ch = area.height();
    int fw = cw;
    int fh = ch;
    if (w > 0 && h > 0) {
        const double q = double(w) / double(h);
        if (w > h) {
            fw = cw;
            fh = int(cw / q);
            if (fh > ch) {
                fh = ch;
                fw = int(q * ch);
            }
        } else {
            fh = ch;
            fw = int(q * ch);
            if (fw > cw) {
                fw = cw;
                fh = int(cw / q);
            }
        }
    }
    return QRect((cw - fw) / 2, (ch - fh) / 2, fw, fh);
}

PictureResult Fitted(const QImage& picture, QSize area) {
    PictureResult r;
    r.rect = FitRect(picture.size(), area);
    if (r.rect.isEmpty()) {
        return r;  // nothing to draw, which is not an error
    }
    r.image = picture.size() == r.rect.size()
                  ? picture
                  : picture.scaled(r.rect.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return r;
}

}  // namespace pictures
