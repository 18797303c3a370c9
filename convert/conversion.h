// Conversion of a contour between the editor's file formats without a window: the contour
// file (.ilz), the legacy file (.plz), ILDA (.ild) and, for documentation and the web, an SVG
// picture (.svg). The files are read and written exactly as the editor's commands read and
// write them, and problems come back as the texts the editor shows for them.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "model/contour.h"
#include "model/ilda.h"

namespace convert {

enum class FileKind { Contour, Legacy, Ilda, Svg };

// The kind a file name's extension names (".ilz", ".plz", ".ild", ".svg", any case).
std::optional<FileKind> KindOfFile(const QString& name);

struct Options {
    model::ilda::Format ildaFormat = model::ilda::kTrueColor2D;
    int frame = 0;  // of an ILDA input, 0 the first
};

// Reads a contour as Open (.ilz), Import (.plz) or ILDA import (.ild) puts it into an editor
// that has just started. False, with the reason in `problems`, when nothing could be read.
bool ReadContour(const QString& name, FileKind kind, const Options& options,
                 model::Contour& contour, QStringList& problems);

// The SVG picture of the contour: one open path through its points in surface pixels, on a
// 384 by 384 view box, stroked in the line colour (#rrggbb).
QByteArray SvgImage(const model::Contour& contour, const QString& lineColor);

// Writes the contour atomically as Save, Export or ILDA export writes it. False, with the
// reason in `problems`, when the file could not be written; notes about a written file (points
// clamped, a flickering frame) are added to `problems` too.
bool WriteContour(const QString& name, FileKind kind, const Options& options,
                  model::Contour& contour, QStringList& problems);

// Converts one file. Each problem is one line "file: text". False when the input could not be
// read or the output not written; the output is never the input.
bool ConvertFile(const QString& in, const QString& out, const Options& options,
                 QStringList& problems);

}  // namespace convert
