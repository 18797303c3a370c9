// What a file gives the contour as a list of points: a frame of an ILDA show, an SVG drawing
// joined at a spacing, a picture traced and joined; and what a file of several frames gives a
// show (every frame of an ILDA show, every frame of an animated picture traced). When the points do
// not fit as they came, the import carries the way that makes them fit and the question that offers
// it: the window asks it, the command line takes it or says what to change.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "formats/contour_files.h"
#include "model/path_join.h"
#include "model/show.h"
#include "pictures/picture_formats.h"
#include "pictures/svg_reader.h"
#include "tracing/tracer.h"

namespace formats {

struct Import {
    // For a file that is an image of the contour's buffer (a contour file, a legacy file): puts
    // it in place of the contour as the file commands do, the slots past its count included,
    // in place of `points`. False when the image could not be put there.
    std::function<bool(model::Contour&)> applyTo;
    std::vector<model::ContourPoint> points;
    std::vector<model::PointStyle> styles;  // one per point, or empty when all are default
    QString error;                          // nothing comes in; the points are empty
    // Non-empty when `points` are not what came in but the way to make it fit, which the user
    // agrees to first.
    QString question;
    // Where nobody can be asked (the command line): refuse with this text, which names the
    // option to change; or, when it is empty, take the offer and say so with `taken`.
    QString refusal;
    QString taken;
    QStringList notes;  // about what came in, shown once it has
    // The two spare status panels' report, when the import gives one.
    bool reports = false;
    QString spare;
    QString dot;
    std::string name;  // the frame's name, where the file gives one (an ILDA frame's)
};

// The frame an import gives: its points (as offered, when it asks), styles and name.
model::Frame FrameOf(const Import& in);

// What a file of several frames gives, one import for each frame in order.
struct ShowImport {
    std::vector<Import> frames;  // none when there is an error
    QString error;               // nothing comes in
    QStringList notes;           // about what came in, said once for the whole show
};

// The offer of the smallest spacing at which a drawing fits, joined by `joinAt`; the refusal
// `noneFits` when no spacing does (`smallest` is 0).
Import SpacingOffer(const std::function<model::JoinedContour(int)>& joinAt, int spacing,
                    int smallest, const QString& noneFits);

// Frame `index` (from 0) of a show; a frame too long for the contour comes thinned, offered.
Import ImportIldaFrame(const IldaShow& show, size_t index);

// Every frame of a show, in order, at most kMaxShowFrames of them, as Open takes them: each
// with its name, colours and blanking; a frame too long for the contour thinned without a
// question (model::ilda::Thin), and how many were is said once in the notes, as is a show that
// ends early.
ShowImport ImportIldaShow(const IldaShow& show);

// An SVG file read with the options and joined at the spacing (surface pixels); a drawing
// that needs more points is offered at the smallest spacing that fits.
Import ImportSvgFile(const QString& name, int spacing, const pictures::SvgOptions& options = {});

// One trace and its join at a spacing, with the smallest spacing that fits when it does not.
struct TraceResult {
    std::vector<model::Path> paths;
    model::JoinedContour contour;
    int fittingSpacing = 0;  // when the contour does not fit; 0 if no spacing up to 30 does
};
// The traced lines are drawn in `style` (the beam colour chosen), the jumps dark.
TraceResult TraceAndJoin(const tracing::Picture& picture, const tracing::Options& options,
                         int spacing, model::PointStyle style = {});

// The warning of a trace that gives nothing or does not fit; empty when it fits.
QString TraceWarning(const TraceResult& r);

// A picture file traced as the tracing dialog traces the underlay: fitted into a surface of
// the given size as the underlay is, with Otsu's threshold unless one is given.
Import ImportTracedPicture(const QString& name, pictures::PictureKind kind, QSize surface,
                           tracing::Options options, bool autoThreshold, int spacing);
// Every frame of an animated picture (a GIF), each traced as ImportTracedPicture traces a
// picture, at most kMaxShowFrames of them; a frame in which nothing is found is an empty frame,
// and how many were is said in the notes.
ShowImport ImportTracedFrames(const QString& name, pictures::PictureKind kind, QSize surface,
                              const tracing::Options& options, bool autoThreshold, int spacing);

}  // namespace formats
