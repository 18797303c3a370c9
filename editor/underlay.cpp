#include "editor/underlay.h"

#include <QPainter>

namespace editor {

void Underlay::setPicture(const QImage& picture, const QRect& area) {
    picture_ = picture;
    area_ = area;
}

void Underlay::Draw(Canvas& canvas) const {
    if (!visible_ || picture_.isNull()) {
        return;
    }
    QPainter p(&canvas.image());
    p.drawImage(area_, picture_);
}

}  // namespace editor
