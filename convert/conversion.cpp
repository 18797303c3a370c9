#include "convert/conversion.h"

#include <QFileInfo>
#include <functional>
#include <memory>

#include "editor/editor.h"
#include "editor/settings.h"
#include "formats/contour_files.h"
#include "formats/imports.h"
#include "formats/kinds.h"
#include "model/legacy_file.h"

namespace convert {

namespace {

using formats::Kind;

model::ilda::Rgb LineRgb() {
    const QRgb line = editor::ResolveColor(editor::EditorSettings{}.ColorBoxLine);
    return {uint8_t(qRed(line)), uint8_t(qGreen(line)), uint8_t(qBlue(line))};
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
    contour.SetPoints(in.points, in.styles);
    problems << in.notes;
    return true;
}

int Spacing(const Options& options) {
    return options.spacing > 0 ? options.spacing : editor::EditorSettings{}.ScrollBarFriqPoints;
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
    const formats::KindInfo* kind = formats::KindOfFile(name);
    const int spacing = Spacing(options);
    switch (kind != nullptr ? kind->kind : Kind::Contour) {
        case Kind::Contour: {
            const formats::ContourFileRead read = formats::ReadContourFile(name);
            if (read.outcome != formats::ContourFileRead::Outcome::Read) {
                problems << read.error;
                return false;
            }
            model::ApplyContourFile(read.file, contour);
            return true;
        }
        case Kind::Legacy: {
            const formats::LegacyFileRead read = formats::ReadLegacyFile(name);
            if (!read.error.isEmpty()) {
                problems << read.error;
                return false;
            }
            return model::DecodeLegacyFile(
                {reinterpret_cast<const uint8_t*>(read.bytes.constData()),
                 size_t(read.bytes.size())},
                contour);
        }
        case Kind::Ilda:
            return Take(
                formats::ImportIldaFrame(formats::ReadIldaShow(name), size_t(options.frame)),
                contour, problems);
        case Kind::Svg:
            return Take(formats::ImportSvgFile(name, spacing, options.svg), contour, problems);
        default:
            // A picture: traced as the tracing dialog traces the underlay.
            if (!options.trace) {
                problems << QStringLiteral(
                    "Картинка становится контуром только трассировкой (--trace).");
                return false;
            }
            return Take(
                formats::ImportTracedPicture(name, kind->picture,
                                             QSize(editor::kSurfaceWidth, editor::kSurfaceHeight),
                                             *options.trace, options.autoThreshold, spacing),
                contour, problems);
    }
}

bool Write(const QString& name, Kind kind, const Options& options, model::Contour& contour,
           QStringList& problems) {
    formats::WriteOptions write;
    write.ildaFormat = options.ildaFormat;
    write.lineColor = LineRgb();
    formats::Written written;
    switch (kind) {
        case Kind::Contour:
            written = formats::WriteContourFile(name, formats::ContourImage(contour));
            break;
        case Kind::Legacy:
            written = formats::WriteLegacyFile(name, contour);
            break;
        case Kind::Ilda:
            written = formats::WriteIldaFile(name, contour, write);
            break;
        case Kind::Svg:
            written = formats::WriteSvgFile(name, contour, write);
            break;
        default:
            written.error = formats::OtherFormatText();
            break;
    }
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
                  const QString& out, Kind kind, const Options& options, QStringList& problems) {
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
    if (to == nullptr || !to->contourOut) {
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
        out, to->kind, options, problems);
}

bool ConvertText(const formats::TextOptions& text, const QString& out, const Options& options,
                 QStringList& problems) {
    const formats::KindInfo* to = formats::KindOfName(out);
    if (to == nullptr || !to->contourOut) {
        Report(problems, out, {formats::OtherFormatText()});
        return false;
    }
    return ReadAndWrite(
        QStringLiteral("--text"),
        [&](model::Contour& contour, QStringList& texts) {
            return Take(formats::ImportText(text, Spacing(options)), contour, texts);
        },
        out, to->kind, options, problems);
}

}  // namespace convert
