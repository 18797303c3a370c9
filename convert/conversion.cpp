#include "convert/conversion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
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

formats::ReadOptions ReadOptionsOf(const Options& options) {
    formats::ReadOptions read;
    read.spacing = Spacing(options);
    read.svg = options.svg;
    read.frame = size_t(options.frame);
    read.trace = options.trace;
    read.autoThreshold = options.autoThreshold;
    return read;
}

bool Read(const QString& name, const Options& options, model::Contour& contour,
          QStringList& problems) {
    // A file of no kind is tried as a contour file, as the editor's Open tries any file.
    const formats::KindInfo& kind = formats::ReadAs(name);
    return Take(kind.read(kind, name, ReadOptionsOf(options)), contour, problems);
}

// Every frame of a file of several, each taken as Take takes an import; the texts of a frame
// of several name it.
bool ReadShowOf(const QString& name, const formats::KindInfo& kind, const Options& options,
                std::vector<model::Frame>& frames, QStringList& texts) {
    formats::ShowImport show = kind.readShow(kind, name, ReadOptionsOf(options));
    if (!show.error.isEmpty()) {
        texts << show.error;
        return false;
    }
    const size_t start = frames.size();
    for (size_t i = 0; i < show.frames.size(); ++i) {
        formats::Import& in = show.frames[i];
        const QString which = show.frames.size() > 1
                                  ? QCoreApplication::translate("convert", "кадр %1: ").arg(i + 1)
                                  : QString();
        if (!in.question.isEmpty()) {
            if (!in.refusal.isEmpty()) {
                texts << which + in.refusal;
                frames.resize(start);
                return false;
            }
            texts << which + in.taken;
        }
        model::Frame f = formats::FrameOf(in);
        if (f.name.empty()) {
            f.name = formats::IldaFrameName(name);
        }
        frames.push_back(std::move(f));
    }
    texts << show.notes;
    return true;
}

// The frames of a file that holds a show, when it holds several; false when it holds one or
// cannot be read as a show (then it is read as one frame, with that read's own texts).
bool SeveralFrames(const QString& in, const formats::KindInfo& from, const Options& options,
                   std::vector<model::Frame>& frames, QStringList& texts) {
    if (!from.holdsShow() || options.frameGiven) {
        return false;
    }
    QStringList said;
    std::vector<model::Frame> read;
    if (!ReadShowOf(in, from, options, read, said) || read.size() < 2) {
        return false;
    }
    frames = std::move(read);
    texts << said;
    return true;
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
        Report(
            problems, out,
            {QCoreApplication::translate("convert", "Это исходный файл: он не перезаписывается.")});
        return false;
    }
    // A show of several frames to a kind that holds one: every frame.
    std::vector<model::Frame> frames;
    QStringList texts;
    if (to->holdsShow() && SeveralFrames(in, formats::ReadAs(in), options, frames, texts)) {
        Report(problems, in, texts);
        return WriteShow(frames, out, options, problems);
    }
    return ReadAndWrite(
        in,
        [&](model::Contour& contour, QStringList& texts) {
            return Read(in, options, contour, texts);
        },
        out, *to, options, problems);
}

bool ReadFrames(const QString& in, const Options& options, std::vector<model::Frame>& frames,
                QStringList& problems) {
    const formats::KindInfo& kind = formats::ReadAs(in);
    QStringList texts;
    bool ok = true;
    if (kind.readShow != nullptr && !(kind.holdsShow() && options.frameGiven)) {
        ok = ReadShowOf(in, kind, options, frames, texts);
    } else {
        auto contour = std::make_unique<model::Contour>();
        contour->Reset();
        ok = Read(in, options, *contour, texts);
        if (ok) {
            frames.push_back(
                {contour->Points(), contour->PointStyles(), formats::IldaFrameName(in)});
        }
    }
    Report(problems, in, texts);
    return ok;
}

bool WriteShow(const std::vector<model::Frame>& frames, const QString& out, const Options& options,
               QStringList& problems) {
    const formats::KindInfo* to = formats::KindOfName(out);
    if (to == nullptr || !to->holdsShow()) {
        Report(problems, out, {formats::OtherFormatText()});
        return false;
    }
    formats::WriteOptions write;
    write.ildaFormat = options.ildaFormat;
    write.lineColor = LineRgb();
    const formats::Written written = to->writeShow(out, frames, write);
    QStringList texts;
    if (!written.ok) {
        texts << written.error;
    }
    texts << written.notes;
    Report(problems, out, texts);
    return written.ok;
}

bool WriteEachFrame(const std::vector<model::Frame>& frames, const QString& stem,
                    const formats::KindInfo& kind, const Options& options, QSet<QString>& written,
                    QStringList& problems) {
    const int digits = std::max(3, int(QString::number(frames.size()).size()));
    bool all = true;
    for (size_t i = 0; i < frames.size(); ++i) {
        const QString name = QStringLiteral("%1_%2.%3")
                                 .arg(stem)
                                 .arg(i + 1, digits, 10, QLatin1Char('0'))
                                 .arg(kind.extensions.front());
        const QString absolute = QFileInfo(name).absoluteFilePath();
        if (written.contains(absolute)) {
            Report(problems, name,
                   {QCoreApplication::translate(
                       "convert", "Этот файл уже записан из другого исходного файла.")});
            all = false;
            continue;
        }
        auto contour = std::make_unique<model::Contour>();
        contour->Reset();
        contour->SetPoints(frames[i].points, frames[i].styles);
        QStringList texts;
        if (Write(name, kind, options, *contour, texts)) {
            written.insert(absolute);
        } else {
            all = false;
        }
        Report(problems, name, texts);
    }
    return all;
}

bool ConvertInto(const QString& in, const QString& folder, const formats::KindInfo& kind,
                 const Options& options, QSet<QString>& written, QStringList& problems) {
    const QString stem = QDir(folder).filePath(QFileInfo(in).completeBaseName());
    std::vector<model::Frame> frames;
    QStringList texts;
    if (!kind.holdsShow() && SeveralFrames(in, formats::ReadAs(in), options, frames, texts)) {
        Report(problems, in, texts);
        return WriteEachFrame(frames, stem, kind, options, written, problems);
    }
    const QString name = stem + QLatin1Char('.') + kind.extensions.front();
    if (written.contains(QFileInfo(name).absoluteFilePath())) {
        Report(problems, name,
               {QCoreApplication::translate("convert",
                                            "Этот файл уже записан из другого исходного файла.")});
        return false;
    }
    if (!ConvertFile(in, name, options, problems)) {
        return false;
    }
    written.insert(QFileInfo(name).absoluteFilePath());
    return true;
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
