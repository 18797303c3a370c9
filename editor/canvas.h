// A small raster canvas with the drawing rules the editor's painters are written for:
// lines leave out their end pixel, boxes leave out their right and bottom edges, and a
// dotted pen fills its gaps with the brush colour. A sparse pen draws every third pixel of a
// line and leaves the others as they are (outlines take it as solid). Everything is clipped
// to the image.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>

namespace editor {

enum class PenStyle { Solid, Dotted, Sparse };

class Canvas {
  public:
    explicit Canvas(QSize size);

    // The surface image. Drawing on it by other means (a QPainter, setPixel) is fine: the
    // canvas takes the image's current pixels again before each of its own operations.
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

    // Drawing state, kept from one call to the next.
    void setPenColor(QRgb c) { penColor_ = c; }
    void setPenStyle(PenStyle s) { penStyle_ = s; }
    void setBrushColor(QRgb c) { brushColor_ = c; }
    QRgb penColor() const { return penColor_; }
    PenStyle penStyle() const { return penStyle_; }
    QRgb brushColor() const { return brushColor_; }
    QPoint currentPos() const { return pos_; }

    void moveTo(int x, int y) { pos_ = {x, y}; }
    // Line from the current position to (x, y) without its end pixel; (x, y) becomes current.
    void lineTo(int x, int y);
    // Ellipse inscribed in the box (x1, y1)..(x2, y2), right and bottom edges exclusive:
    // outlined with the pen, filled with the brush. The current position stays.
    void ellipse(int x1, int y1, int x2, int y2);
    // Rectangle in the same kind of box, outlined with the pen and filled with the brush.
    void rectangle(int x1, int y1, int x2, int y2);
    // Fills the box with the brush, no outline.
    void fillRect(int x1, int y1, int x2, int y2);

    // Records that something else drew into rect of the image.
    void touch(const QRect& rect) {
        markDirty(rect.left(), rect.top(), rect.right(), rect.bottom());
    }

    // Area changed since the last call, for the widget's partial update.
    QRect takeDirtyRect();
    QRect dirtyRect() const { return dirty_; }

  private:
    // Takes the image's pixels for writing. A copy of the image made elsewhere shares them
    // until one side writes; asking for them here gives the canvas pixels of its own.
    void sync() { bits_ = reinterpret_cast<QRgb*>(image_.bits()); }
    void plot(int x, int y, QRgb c) {
        if (unsigned(x) < unsigned(width_) && unsigned(y) < unsigned(height_)) {
            bits_[size_t(y) * size_t(stride_) + size_t(x)] = c;
        }
    }
    // Colour of the n-th pixel of a pen stroke: dotted pens alternate pen and brush.
    QRgb strokeColor(int n) const {
        return (penStyle_ == PenStyle::Dotted && (n & 1)) ? brushColor_ : penColor_;
    }
    void hspan(int x1, int x2, int y, QRgb c);       // inclusive, clipped
    void markDirty(int x1, int y1, int x2, int y2);  // inclusive corners

    QImage image_;
    QRgb* bits_;
    int stride_;  // in pixels
    int width_;
    int height_;
    QRgb penColor_ = qRgb(0, 0, 0);
    PenStyle penStyle_ = PenStyle::Solid;
    QRgb brushColor_ = qRgb(255, 255, 255);
    QPoint pos_{0, 0};
    QRect dirty_;
};

}  // namespace editor
