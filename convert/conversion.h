// Conversion of files without a window: any kind the editor takes in (a contour file, a legacy
// file, an ILDA frame or show, an SVG drawing, a picture traced) to any kind a contour is
// written in, and inputs gathered into a show.
// Files are read and written by the same code as the editor's commands, and problems come
// back as the texts the editor shows for them.
#pragma once

#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "formats/kinds.h"
#include "formats/text.h"
#include "model/ilda.h"
#include "model/show.h"
#include "pictures/svg_reader.h"
#include "tracing/tracer.h"

namespace convert {

struct Options {
    model::ilda::Format ildaFormat = model::ilda::kTrueColor2D;
    int frame = 0;             // of an ILDA input, 0 the first
    bool frameGiven = false;   // --frame was given: that frame alone, not the whole show
    int spacing = 0;           // of an SVG or traced input, surface pixels; 0 the pen's default
    pictures::SvgOptions svg;  // of an SVG input
    // A picture input is traced with these; without them a picture is refused.
    std::optional<tracing::Options> trace;
    bool autoThreshold = true;  // Otsu's threshold in place of trace->threshold
};

// Converts one file. Each problem is one line "file: text". False when the input could not be
// read or the output not written; the output is never the input. A show of several frames goes
// whole to a kind that holds a show (unless options.frameGiven); to another, frame
// options.frame alone.
bool ConvertFile(const QString& in, const QString& out, const Options& options,
                 QStringList& problems);

// The frames one input gives, each converted as ConvertFile converts a file: every frame of an
// ILDA show (the frame of options.frame alone when options.frameGiven) with its name, every
// frame of an animated GIF traced, or the one contour of any other input, named after the file.
// Appended to `frames`; false, with the problems, when the input gives nothing.
bool ReadFrames(const QString& in, const Options& options, std::vector<model::Frame>& frames,
                QStringList& problems);

// The frames written to `out`, of a kind that holds a show; false, with the problems, when it
// was not written.
bool WriteShow(const std::vector<model::Frame>& frames, const QString& out, const Options& options,
               QStringList& problems);

// A one-frame kind's file for each frame, named `stem` + "_001." + the kind's extension and on
// (more digits for a show of more than 999 frames); the names written go to `written`, and a
// name already there is not written again. False when any frame was not written.
bool WriteEachFrame(const std::vector<model::Frame>& frames, const QString& stem,
                    const formats::KindInfo& kind, const Options& options, QSet<QString>& written,
                    QStringList& problems);

// One input of a batch into `folder` as `kind`, under its base name: a show of several frames
// to a kind that holds one as a file for each frame (WriteEachFrame), any other input as
// ConvertFile converts it. The names written go to `written`, and a name already there is not
// written again. False when anything was not written.
bool ConvertInto(const QString& in, const QString& folder, const formats::KindInfo& kind,
                 const Options& options, QSet<QString>& written, QStringList& problems);

// Writes a text as a contour of its own (centred on the surface) to `out`. Each problem is
// one line, "--text: text" for the text and "file: text" for the output.
bool ConvertText(const formats::TextOptions& text, const QString& out, const Options& options,
                 QStringList& problems);

}  // namespace convert
