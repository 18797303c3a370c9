// Conversion of files without a window: any kind the editor takes in (a contour file, a legacy
// file, an ILDA frame, an SVG drawing, a picture traced) to any kind a contour is written in.
// Files are read and written by the same code as the editor's commands, and problems come
// back as the texts the editor shows for them.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

#include "formats/text.h"
#include "model/ilda.h"
#include "pictures/svg_reader.h"
#include "tracing/tracer.h"

namespace convert {

struct Options {
    model::ilda::Format ildaFormat = model::ilda::kTrueColor2D;
    int frame = 0;             // of an ILDA input, 0 the first
    int spacing = 0;           // of an SVG or traced input, surface pixels; 0 the pen's default
    pictures::SvgOptions svg;  // of an SVG input
    // A picture input is traced with these; without them a picture is refused.
    std::optional<tracing::Options> trace;
    bool autoThreshold = true;  // Otsu's threshold in place of trace->threshold
};

// Converts one file. Each problem is one line "file: text". False when the input could not be
// read or the output not written; the output is never the input.
bool ConvertFile(const QString& in, const QString& out, const Options& options,
                 QStringList& problems);

// Writes a text as a contour of its own (centred on the surface) to `out`. Each problem is
// one line, "--text: text" for the text and "file: text" for the output.
bool ConvertText(const formats::TextOptions& text, const QString& out, const Options& options,
                 QStringList& problems);

}  // namespace convert
