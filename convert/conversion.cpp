#include "convert/conversion.h"

#include <QFileInfo>
#include <functional>
#include <memory>

#include "formats/kinds.h"

namespace convert {

namespace {

model::ilda::Rgb LineRgb() {
    const uint32_t line = model::kDefaultLineColour;
    return {uint8_t(line >> 16), uint8_t(line >> 8), uint8_t(line)};
}

// Takes what an import gives, answering its question as nobody can be asked: an offer the
// user has an option for is refused with the option named, any other is taken and said. The
// points' styles come with them, as in the window: an ILDA frame's colours and blanking, an SVG
// drawing's colours and the dark jumps of every join reach an ILDA file; the contour and
// legacy files keep positions only.
bool Take(formats::Import in, model::Contour& contour, QStringList& problems) {
    if (!in.error.isEmpty()) {
        problems << in.error;
        return false;
    }
    if (!in.question.isEmpty()) {
        if (!in.refusal.isEmpty()) {
            problems << in.refusal;
            return false;
        }
        problems << in.taken;
    }
    if (in.applyTo) {
        if (!in.applyTo(contour)) {
            return false;
        }
    } else {
        contour.SetPoints(in.points, in.styles);
    }
    problems << in.notes;
    return true;
}

int Spacing(const Options& options) {
    return options.spacing > 0 ? options.spacing : model::kDefaultSpacing;
}

// Reports each text as a line "name: text".
void Report(QStringList& problems, const QString& name, const QStringList& texts) {
    for (const QString& text : texts) {
        problems << name + QStringLiteral(": ") + text;
    }
}

bool Read(const QString& name, const Options& options, model::Contour& contour,
          QStringList& problems) {
    // A file of no kind is tried as a contour file, as the editor's Open tries any file.
    const formats::KindInfo& kind = formats::ReadAs(name);
    formats::ReadOptions read;
    read.spacing = Spacing(options);
    read.svg = options.svg;
    read.frame = size_t(options.frame);
    read.trace = options.trace;
    read.autoThreshold = options.autoThreshold;
    return Take(kind.read(kind, name, read), contour, problems);
}

bool Write(const QString& name, const formats::KindInfo& kind, const Options& options,
           model::Contour& contour, QStringList& problems) {
    formats::WriteOptions write;
    write.ildaFormat = options.ildaFormat;
    write.lineColor = LineRgb();
    const formats::Written written = kind.write(name, contour, write);
    if (!written.ok) {
        problems << written.error;
    }
    problems << written.notes;
    return written.ok;
}

// Reads into a fresh contour, as an editor that has just started holds it, and writes it:
// the problems of the read under `source`'s name, those of the write under the output's.
bool ReadAndWrite(const QString& source,
                  const std::function<bool(model::Contour&, QStringList&)>& read,
                  const QString& out, const formats::KindInfo& kind, const Options& options,
                  QStringList& problems) {
    auto contour = std::make_unique<model::Contour>();
    contour->Reset();
    QStringList texts;
    const bool ok = read(*contour, texts);
    Report(problems, source, texts);
    if (!ok) {
        return false;
    }
    texts.clear();
    const bool written = Write(out, kind, options, *contour, texts);
    Report(problems, out, texts);
    return written;
}

}  // namespace

bool ConvertFile(const QString& in, const QString& out, const Options& options,
                 QStringList& problems) {
    const formats::KindInfo* to = formats::KindOfName(out);
    if (to == nullptr || !to->contourOut()) {
        Report(problems, out, {formats::OtherFormatText()});
        return false;
    }
    const QFileInfo inInfo(in);
    const QFileInfo outInfo(out);
    if (inInfo.exists() && outInfo.exists() &&
        inInfo.canonicalFilePath() == outInfo.canonicalFilePath()) {
        Report(problems, out, {QStringLiteral("Это исходный файл: он не перезаписывается.")});
        return false;
    }
    return ReadAndWrite(
        in,
        [&](model::Contour& contour, QStringList& texts) {
            return Read(in, options, contour, texts);
        },
        out, *to, options, problems);
}

bool ConvertText(const formats::TextOptions& text, const QString& out, const Options& options,
                 QStringList& problems) {
    const formats::KindInfo* to = formats::KindOfName(out);
    if (to == nullptr || !to->contourOut()) {
        Report(problems, out, {formats::OtherFormatText()});
        return false;
    }
    return ReadAndWrite(
        QStringLiteral("--text"),
        [&](model::Contour& contour, QStringList& texts) {
            return Take(formats::ImportText(text, Spacing(options)), contour, texts);
        },
        out, *to, options, problems);
}

}  // namespace convert
