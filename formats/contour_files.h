// The files a contour is kept in: the contour file, the legacy file, an ILDA frame or show and
// the SVG picture of it. Each is read and written here, through the file layer's bounded reads and
// atomic writes, with the texts the user is shown about it; the window adds only its dialogs
// and questions, the command line only its options.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <span>
#include <vector>

#include "model/contour.h"
#include "model/contour_file.h"
#include "model/ilda.h"
#include "model/show.h"

namespace formats {

// The text for a file that is not of the kind its command reads.
QString OtherFormatText();

// ---- The contour file ----

struct ContourFileRead {
    enum class Outcome { Read, Refused, Failed };
    Outcome outcome = Outcome::Failed;
    model::DecodedContour file;       // when Read
    model::ContourFileImage image{};  // its bytes, when Read
    QString error;  // why not: the file layer's text (Failed) or OtherFormatText() (Refused)
};
// A file of any size but the contour file's is refused without being read.
ContourFileRead ReadContourFile(const QString& name);

// ---- The legacy file ----

struct LegacyFileRead {
    QByteArray bytes;  // its first 2048 bytes, when error is empty
    QString error;
};
LegacyFileRead ReadLegacyFile(const QString& name);

// ---- ILDA ----

// A show read for choosing a frame: its first bytes and the frames found in them.
struct IldaShow {
    QString name;
    QByteArray data;
    model::ilda::FrameList list;
    bool cutShort = false;  // the file goes on past what was read
    QString error;          // the file could not be read

    std::span<const uint8_t> bytes() const;
    // For a show of several frames: the question that asks for one, and each frame's caption
    // (n from 1).
    QString ChoiceText() const;
    // What to know of a show that was not read to its end (cut short, truncated or damaged):
    // empty for a whole show.
    QString EndNote() const;
    QString Caption(int n) const;
};
IldaShow ReadIldaShow(const QString& name);

// The frame name written for a file: its base name, at most 8 plain characters.
std::string IldaFrameName(const QString& fileName);

// ---- Writing ----

struct WriteOptions {
    model::ilda::Format ildaFormat = model::ilda::kTrueColor2D;
    model::ilda::Rgb lineColor{};  // of ILDA frames and the SVG picture
};

struct Written {
    bool ok = false;
    QString error;      // why the file was not written
    QStringList notes;  // what a reader of the written file should know
};

// The contour file image of the contour, and its write.
model::ContourFileImage ContourImage(const model::Contour& contour);
Written WriteContourFile(const QString& name, const model::ContourFileImage& image);
// Points 0..255 of the buffer, whatever the count; the export leaves its last read in ReadPos.
Written WriteLegacyFile(const QString& name, model::Contour& contour);
// One frame; an empty contour is not written.
Written WriteIldaFile(const QString& name, const model::Contour& contour,
                      const WriteOptions& options);
// Frame `index` of a show (0 the first, as the walk lists them) replaced by the contour as one
// frame, the show's other sections kept byte for byte; refused for a frame the walk did not find
// and for a show read only in part.
Written WriteIldaFrameOfShow(const QString& name, const IldaShow& show, size_t index,
                             const model::Contour& contour, const WriteOptions& options);
// A show's frames in order, each with its name, and the end-of-file header: one frame is
// written as WriteIldaFile writes the contour (named after the file); an empty show and one of
// more than kMaxShowFrames frames are not written.
Written WriteIldaShow(const QString& name, const std::vector<model::Frame>& frames,
                      const WriteOptions& options);
// One open path through the points in surface pixels, on a 384 by 384 view box.
QByteArray SvgImage(const model::Contour& contour, model::ilda::Rgb lineColor);
Written WriteSvgFile(const QString& name, const model::Contour& contour,
                     const WriteOptions& options);

}  // namespace formats
