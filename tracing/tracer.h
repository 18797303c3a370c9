// Tracing a picture into paths: the outlines of its dark (or light) regions, its edges, or
// the centre lines of its strokes. The paths are in contour units, placed where the picture
// is drawn on the surface, ready to be joined into one contour. An outline runs where the
// brightness, interpolated between pixel centres, crosses the threshold; every path is then
// simplified to straight runs fitted to it, meeting at the corners.
#pragma once

#include <QImage>
#include <QRect>
#include <memory>
#include <vector>

#include "model/path_join.h"

namespace tracing {

enum class Mode {
    Outline,     // the borders of the regions on the dark side of the threshold
    Edges,       // where the brightness changes sharply
    CentreLine,  // the middle of the strokes on the dark side of the threshold
};

struct Options {
    Mode mode = Mode::Outline;
    int threshold = 128;  // 0..255; a pixel darker than this is drawn (lighter with invert)
    bool invert = false;
    double smoothing = 0.0;  // blur before tracing, surface pixels
    // Shorter paths are specks: pixels of the picture as traced (its own, or the surface's when
    // it is enlarged to its rectangle). Specks are flaws of the picture, a few of its pixels
    // whatever size it is shown at; counted in surface pixels, a large picture would lose
    // dots that show on the surface.
    double minLength = 8.0;
    // The most a simplified path may leave the traced one, surface pixels: the contour is
    // drawn on the surface, and finer detail only costs points of the contour.
    double tolerance = 0.5;
};

// A picture made ready for tracing once; each Trace is then cheap enough for a live preview.
class Picture {
  public:
    // `area` is the surface rectangle the picture is drawn in. The picture is worked on at its
    // own resolution, enlarged to the area's size when it is smaller. Transparent pixels are
    // background.
    Picture(const QImage& image, const QRect& area);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // The threshold that best splits the opaque pixels' brightness in two (Otsu's method),
    // found once when the picture is made ready.
    int AutoThreshold() const;
    std::vector<model::Path> Trace(const Options& options) const;

    QSize workingSize() const;

  private:
    struct Data;
    std::unique_ptr<Data> d_;
};

}  // namespace tracing
