// Vector art from SVG files: Qt SVG renders the drawing into a paint device of ours that
// records the shapes painted instead of pixels, so the file is parsed once, by Qt, with its
// groups, transforms, viewBox and use of styles. Before Qt sees the file, every reference to
// another file and every picture is taken out, clip paths and masks are turned into marks
// the recording device understands, and a pattern that paints anything is given a colour Qt
// SVG paints (svg_document.h).
//
// What comes in is what the picture shows: the line of every shape whose fill or stroke can be
// seen (not fully transparent), once however often it is painted (a fill and a stroke of the
// same outline are one line), inside its clip paths and masks and the document's page. A
// filled shape's line is its outline, closed; a stroked one's is its path. A shape filled with
// a pattern gives its outline in the line colour and hides nothing under it. With `visibleOnly`,
// a line is also cut away where a shape painted later hides it (svg_lines.h). Curves are
// flattened, and no path has fewer than two distinct points. Each path is drawn in its shape's
// stroke colour, or its fill colour when it has no stroke; a colour too dark for a laser to
// show (black line art) leaves the path in the default line colour.
//
// Placement: the bounds of what is drawn are fitted into the surface's pixels 0..383 like an
// underlay picture, aspect kept and centred; with `wholePage` the document's own area is (its
// width and height, the viewBox inside it placed as preserveAspectRatio says).
#pragma once

#include <QByteArray>
#include <QRectF>
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

struct SvgOptions {
    bool visibleOnly = true;  // lines hidden under shapes painted later are cut away
    bool wholePage = false;   // the document's page fills the surface, not the drawing
};

struct SvgDrawing {
    std::vector<model::Path> paths;  // in contour units, on the surface
    double lengthPixels = 0;         // the paths' total length
    QRectF page;                     // where the document's area lies on the surface, pixels
    int textLeftOut = 0;             // texts painted other than as glyph outlines
    QString error;                   // why the file gives no drawing
    bool ok() const { return error.isEmpty(); }
};

SvgDrawing ReadSvg(const QByteArray& bytes, const SvgOptions& options = {});

}  // namespace pictures
