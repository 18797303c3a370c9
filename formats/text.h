// Text as laser lines. A single-stroke Hershey font gives each letter as its strokes (open
// paths, drawn once); an outline font of the system gives its glyphs' outlines (closed paths,
// flattened to a quarter pixel). The letters come in reading order, left to right and line by
// line, and are joined in that order, so that the beam draws the text the way people read it.
#pragma once

#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "formats/imports.h"
#include "model/path_join.h"

namespace formats {

struct TextFont {
    QString name;  // a Hershey font's name (its .jhf file's), or an outline font's family
    bool outline = false;
    QString title;  // what the dialog lists it as: the name is the command line's
    friend bool operator==(const TextFont&, const TextFont&) = default;
};

// The Hershey fonts installed, those for Russian first, then the system's outline fonts.
std::vector<TextFont> TextFonts();
// A font by its name: a Hershey font first, then an outline family (any case).
std::optional<TextFont> FindTextFont(const QString& name);
// A word to show a font by, drawn in it: Russian in the Cyrillic Hershey fonts, else Latin.
QString TextSample(const TextFont& font);
// The font the dialog starts with and --convert --text uses without --font: Russian letters,
// digits and punctuation.
inline constexpr const char* kDefaultTextFont = "cyrillic";

enum class TextAlign { Left, Centre, Right };

// The heights a text is written at, surface pixels: a capital of 4 is still a letter; one of
// 384 fills the surface.
inline constexpr int kMinTextHeight = 4;
inline constexpr int kMaxTextHeight = 384;

struct TextOptions {
    QString text;  // several lines, split at '\n'
    TextFont font;
    double height = 40;        // of a capital letter, surface pixels
    double letterSpacing = 0;  // added between letters, surface pixels
    double lineSpacing = 1.5;  // from baseline to baseline, in heights
    TextAlign align = TextAlign::Left;
    // Where the first line's baseline starts (left aligned), is centred (centred) or ends
    // (right aligned), in surface pixels; without it the text is centred on the surface.
    std::optional<QPointF> at;
};

struct TextLayout {
    std::vector<model::Path> paths;  // contour units, in reading order
    QString missing;                 // the characters the font has no glyph for, each once
    QString error;                   // the font cannot be read; no paths
};

TextLayout LayOutText(const TextOptions& options);

// The largest whole height from kMinTextHeight to kMaxTextHeight at which every point of the
// text, laid out with the other options as they are, lies on the surface; 0 when none does.
int LargestFittingHeight(const TextOptions& options);

// A text that runs off the surface at its place: the height asked and the largest at which it
// lies on the surface (0 when none does).
struct OffSurface {
    double height = 0;
    int fittingHeight = 0;
};

// The text laid out and joined in reading order after the points `before` (empty to replace
// the contour), with the smallest spacing that fits when it does not. A text that runs off the
// surface is not joined: the join would move its points to the edges.
struct TextResult {
    TextLayout layout;
    model::JoinedContour contour;
    int fittingSpacing = 0;  // when the contour does not fit; 0 if no spacing up to 30 does
    std::optional<OffSurface> offSurface;
};
// The points before keep `beforeStyles`; the text is drawn in `style`, its jumps dark.
TextResult TextAndJoin(const TextOptions& options, int spacing,
                       const std::vector<model::ContourPoint>& before = {},
                       const std::vector<model::PointStyle>& beforeStyles = {},
                       model::PointStyle style = {});

// What the dialog says about a result: the characters left out, and why it does not fit (on
// the surface or in the contour).
QString TextWarning(const TextResult& r);

// The text as a contour of its own, for the command line: a character the font cannot draw
// is refused, as is a text that needs a wider spacing or a smaller height (which is named).
Import ImportText(const TextOptions& options, int spacing);

}  // namespace formats
