// From what an SVG drawing paints to the lines it shows: each painted shape's line is cut off at
// the page's edge and outside its clip paths and masks, placed on the surface, and, when only
// the visible lines are wanted, cut away where the opaque fill of a shape painted later covers
// it. (A stroke hides nothing: its line is its middle, and what lies at its edges shows as the
// stroke's edge.)
//
// What covers a line is found on a raster of the surface at twice its resolution, each pixel
// holding the last opaque fill painted over it: a point of a line is hidden when a later fill
// holds a pixel within one raster pixel (half a surface pixel) of it. So the outline of a shape
// that a later one touches or overlaps along it is left to the later shape's own line, and
// that line is drawn once.
#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <vector>

namespace pictures::svg {

// A shape as painted, in page pixels: the document's page fitted into the surface.
struct Shape {
    QPainterPath path;
    int region = -1;       // the innermost clip region it is painted in, or -1
    bool line = true;      // its line is drawn here (not by a later copy of it)
    bool closes = false;   // its fill shows: each subpath is a closed outline
    bool hides = false;    // its fill is opaque and hides what lies under it
    bool stroked = false;  // its outline is painted with a pen
    QRgb colour = 0;       // its stroke's colour, or its fill's when it has no stroke
};

// Where a clip path or a mask lets the shapes painted in it show: the union of its parts,
// within the region it lies in itself.
struct Region {
    std::vector<QPainterPath> parts;
    int parent = -1;
};

struct Painted {
    std::vector<Shape> shapes;  // in the order painted
    std::vector<Region> regions;
    QRectF page;
};

struct Line {
    std::vector<QPointF> points;  // surface pixels
    bool closed = false;          // the last point joins the first
    QRgb colour = 0;              // the colour of the shape it is a line of
};

enum class Complexity {
    Fine,
    TooManyPoints,     // more than maxPoints
    TooDetailedClips,  // cutting the lines at the clips would take too long
};

struct Lines {
    std::vector<Line> lines;
    QRectF page;  // the page on the surface
    Complexity complexity = Complexity::Fine;
};

// The lines on the surface. The drawing's bounds are fitted into the surface, or with
// `wholePage` the page is. A drawing of more than two million pixels of lines is left whole,
// hidden or not: no contour could hold it.
Lines DrawnLines(const Painted& painted, bool visibleOnly, bool wholePage, size_t maxPoints);

}  // namespace pictures::svg
