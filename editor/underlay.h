// The underlay picture that the user traces. It lies under the surface's drawing; a repaint
// draws it into the surface image while it is shown.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include "editor/canvas.h"
#include "pictures/picture_formats.h"

namespace editor {

class Underlay {
  public:
    bool visible() const { return visible_; }
    void setVisible(bool v) { visible_ = v; }
    // There is always a picture: the built-in drawing until a file is loaded.
    bool hasPicture() const { return true; }
    bool isBuiltIn() const { return picture_.isNull(); }

    // The picture, already fitted, and the surface rectangle it is drawn in.
    void setPicture(const QImage& picture, const QRect& area);
    const QImage& picture() const { return picture_; }
    QRect area() const { return area_; }

    // Loads a picture file fitted into an area of the given size and installs it, read as
    // `kind` when given, else by its extension. On failure returns the loader's message and
    // keeps the old picture.
    QString Load(const QString& fileName, QSize area,
                 std::optional<pictures::PictureKind> kind = std::nullopt);

    // The picture at its own resolution, at most kSourceMaxSide pixels on its long side, and
    // the surface rectangle it is drawn in: what tracing works on. A picture installed
    // without its file is its own source.
    struct Source {
        QImage image;
        QRect area;
    };
    static constexpr int kSourceMaxSide = pictures::kTracingMaxSide;
    Source SourcePicture(QSize surface) const;

    // Draws the picture into the canvas when shown, transparent parts left as they are;
    // does nothing otherwise.
    void Draw(Canvas& canvas) const;

  private:
    QImage picture_;
    QRect area_;
    pictures::PictureSource source_;  // the loaded file's bytes; empty for the built-in one
    mutable QImage sourceImage_;      // decoded at the first use
    bool visible_ = false;
    // The built-in drawing, made at its first showing for the canvas it is shown on.
    mutable QImage builtIn_;
    mutable QRect builtInArea_;
};

}  // namespace editor
