// The SVG document as Qt SVG is given it. Left alone, Qt SVG opens the files a drawing names
// (pictures, style sheets) and paints the shapes of clip paths and masks as if they were part
// of the drawing, while the shapes they clip come whole; it paints nothing for a pattern, so a
// shape filled with one shows no line. One pass over the XML before Qt sees it removes every
// reference to another file and every picture, turns each use of a clip path or a mask into
// marks the SVG reader's recording device understands, and puts a colour Qt SVG paints in
// place of each pattern that paints anything.
//
// A part of the drawing with a clip path or a mask becomes a group: a mark, the part itself,
// a second mark, the clip path's (or mask's) shapes in the part's own user space, and a last
// mark. Each mark is a path of two points at x = kMarkX whose y values are its kind and the
// clip's number.
#pragma once

#include <QByteArray>
#include <QSizeF>
#include <vector>

namespace pictures::svg {

inline constexpr double kMarkX = 918'273'645;

enum class Mark { Clipped = 1, Clip = 2, End = 3 };

// One use of a clip path or a mask, by its number in the marks.
struct ClipUse {
    bool mask = false;         // its painted shapes are where the part shows
    bool boundingBox = false;  // its shapes are in fractions of the clipped part's bounds
};

// The root element's preserveAspectRatio: where the viewBox goes in the document's area.
struct AspectRatio {
    bool none = false;
    bool slice = false;
    double alignX = 0.5;  // 0 min, 0.5 mid, 1 max
    double alignY = 0.5;
};

struct Document {
    QByteArray bytes;  // what Qt SVG reads: the file itself when nothing had to change
    bool ok = false;   // false when the XML is broken
    // The root's width and height in CSS pixels (96 to the inch), when both are lengths;
    // Qt SVG counts 90 to the inch.
    QSizeF size;
    bool viewBox = false;  // the root has one; without it the user unit is the CSS pixel
    AspectRatio aspect;
    std::vector<ClipUse> clips;
};

Document Prepare(const QByteArray& file);

}  // namespace pictures::svg
