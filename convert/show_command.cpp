// --convert IN... --show OUT.ild: the inputs gathered into one ILDA show, a frame for each in
// order (every frame of an ILDA show or of an animated GIF), each converted as --convert
// converts a file.
#include <QFileInfo>

#include "convert/options.h"
#include "formats/kinds.h"

namespace convert {

namespace {

// ".ild": the extensions of the kinds that hold a show.
QString ShowKinds() {
    QStringList names;
    for (const formats::KindInfo& kind : formats::Kinds()) {
        if (kind.holdsShow()) {
            names << QStringLiteral(".") + kind.extensions.front();
        }
    }
    return names.join(QStringLiteral(" or "));
}

}  // namespace

int RunShow(const Parser& p, const Options& options, QTextStream& err) {
    if (p.parser.isSet(p.to) || p.parser.isSet(p.as)) {
        return UsageError(err, QStringLiteral("--show writes one file: --convert IN... --show OUT; "
                                              "--to and --as go without it"));
    }
    const QStringList inputs = p.parser.positionalArguments();
    if (inputs.isEmpty()) {
        return UsageError(err, QStringLiteral("--show needs at least one input file"));
    }
    const QString out = p.parser.value(p.show);
    const formats::KindInfo* to = formats::KindOfName(out);
    if (to == nullptr || !to->holdsShow()) {
        return UsageError(
            err,
            QStringLiteral("cannot write '%1': a show is written to %2").arg(out, ShowKinds()));
    }
    const QFileInfo outInfo(out);
    for (const QString& in : inputs) {
        const QFileInfo inInfo(in);
        if (inInfo.absoluteFilePath() == outInfo.absoluteFilePath() ||
            (outInfo.exists() && inInfo.canonicalFilePath() == outInfo.canonicalFilePath())) {
            return UsageError(err, QStringLiteral("IN and OUT are the same file: %1").arg(in));
        }
        const formats::KindInfo* from = formats::KindOfName(in);
        if (from != nullptr && from->use == formats::Use::Underlay && !options.trace) {
            return UsageError(
                err,
                QStringLiteral("cannot read '%1': a picture becomes a contour only with --trace")
                    .arg(in));
        }
    }
    // Every input first: a show with a frame missing is not written.
    std::vector<model::Frame> frames;
    QStringList problems;
    bool read = true;
    for (const QString& in : inputs) {
        read = ReadFrames(in, options, frames, problems) && read;
    }
    if (!read) {
        problems << out + QStringLiteral(": Показ не записан: не все входные файлы прочитаны.");
        Print(err, problems);
        return kExitFileProblem;
    }
    const bool written = WriteShow(frames, out, options, problems);
    Print(err, problems);
    return written ? kExitDone : kExitFileProblem;
}

}  // namespace convert
