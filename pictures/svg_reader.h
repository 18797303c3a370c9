// Vector art from SVG files: Qt SVG renders the drawing into a paint device of ours that
// records the geometry painted instead of pixels, so the file is parsed once, by Qt, with its
// groups, transforms, viewBox and use of styles. What comes out is the centre line of every
// shape painted, filled or stroked, flattened and placed on the contour's surface.
//
// Placement: the document's own area (its width and height, the viewBox inside it placed as
// preserveAspectRatio says) is fitted into the surface's pixels 0..383 like an underlay
// picture, its aspect kept and centred. Geometry beyond the document's area is kept on the
// surface's edge.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "model/path_join.h"

namespace pictures {

// Curves are flattened to within this many surface pixels of the true curve.
inline constexpr double kSvgFlatness = 0.25;
// An SVG file is read up to this size.
inline constexpr qint64 kMaxSvgFileBytes = qint64(64) * 1024 * 1024;
// More flattened points than this is not a drawing a contour can hold.
inline constexpr size_t kMaxSvgPoints = 1'000'000;

struct SvgDrawing {
    std::vector<model::Path> paths;  // in contour units, on the surface
    double lengthPixels = 0;         // the paths' total length
    int textLeftOut = 0;             // texts painted other than as glyph outlines
    QString error;                   // why the file gives no drawing
    bool ok() const { return error.isEmpty(); }
};

SvgDrawing ReadSvg(const QByteArray& bytes);

}  // namespace pictures
