// The underlay picture that the user traces. It lies under the surface's drawing; a repaint
// draws it into the surface image while it is shown.
#pragma once

#include <QImage>
#include <QRect>

#include "editor/canvas.h"

namespace editor {

class Underlay {
  public:
    bool visible() const { return visible_; }
    void setVisible(bool v) { visible_ = v; }
    bool hasPicture() const { return !picture_.isNull(); }

    // The picture, already fitted, and the surface rectangle it is drawn in.
    void setPicture(const QImage& picture, const QRect& area);

    // Draws the picture into the canvas when shown; does nothing otherwise.
    void Draw(Canvas& canvas) const;

  private:
    QImage picture_;
    QRect area_;
    bool visible_ = false;
};

}  // namespace editor
