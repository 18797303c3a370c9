// --convert IN OUT, and a batch of inputs with --to DIR --as FORMAT: each file read and written as
// the editor's commands do, through conversion.h; an ILDA show whole, or a file for each of its
// frames in a batch of a kind that holds one.
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "convert/options.h"
#include "formats/kinds.h"

namespace convert {

namespace {

int ConvertBatch(const Parser& p, const Options& options, QTextStream& out, QTextStream& err) {
    const QStringList inputs = p.parser.positionalArguments();
    QString format = p.parser.value(p.as).toLower();
    if (format.startsWith(QLatin1Char('.'))) {
        format.remove(0, 1);
    }
    const formats::KindInfo* kind = formats::KindOfName(QStringLiteral("x.") + format);
    if (kind == nullptr || !kind->contourOut()) {
        return UsageError(err, QStringLiteral("--as takes %1, not '%2'")
                                   .arg(WritableList(QString()), p.parser.value(p.as)));
    }
    if (inputs.isEmpty()) {
        return UsageError(err, QStringLiteral("--convert needs at least one input file"));
    }
    const QDir folder(p.parser.value(p.to));
    if (!folder.mkpath(QStringLiteral("."))) {
        err << folder.path() << ": Cannot create folder\n";
        return kExitFileProblem;
    }
    int converted = 0;
    QSet<QString> written;
    for (const QString& in : inputs) {
        // A show of several frames as a file for each frame when the kind holds one.
        QStringList problems;
        if (ConvertInto(in, folder.path(), *kind, options, written, problems)) {
            ++converted;
        }
        Print(err, problems);
        err.flush();
    }
    out << "Converted " << converted << " of " << inputs.size() << " files into "
        << QDir::toNativeSeparators(folder.path()) << ".\n";
    return converted == inputs.size() ? kExitDone : kExitFileProblem;
}

int ConvertOne(const Parser& p, const Options& options, QTextStream& err) {
    const QStringList files = p.parser.positionalArguments();
    if (p.parser.isSet(p.as)) {
        return UsageError(err, QStringLiteral("--as goes with --to DIR"));
    }
    if (files.size() != 2) {
        return UsageError(err, QStringLiteral("--convert needs IN and OUT, or several inputs "
                                              "with --to DIR --as FORMAT"));
    }
    const QString& in = files[0];
    const QString& out = files[1];
    const formats::KindInfo* from = formats::KindOfName(in);
    if (from != nullptr && from->use == formats::Use::Underlay && !options.trace) {
        return UsageError(
            err, QStringLiteral("cannot read '%1': a picture becomes a contour only with --trace")
                     .arg(in));
    }
    const formats::KindInfo* to = formats::KindOfName(out);
    if (to == nullptr || !to->contourOut()) {
        return UsageError(err, QStringLiteral("cannot write '%1': the output must end in %2")
                                   .arg(out, WritableList(QStringLiteral("."))));
    }
    const QFileInfo inInfo(in);
    const QFileInfo outInfo(out);
    if (inInfo.absoluteFilePath() == outInfo.absoluteFilePath() ||
        (outInfo.exists() && inInfo.canonicalFilePath() == outInfo.canonicalFilePath())) {
        return UsageError(err, QStringLiteral("IN and OUT are the same file"));
    }
    QStringList problems;
    const bool done = ConvertFile(in, out, options, problems);
    Print(err, problems);
    return done ? kExitDone : kExitFileProblem;
}

}  // namespace

int RunConvert(const Parser& p, const Options& options, QTextStream& out, QTextStream& err) {
    if (p.parser.isSet(p.show)) {
        return RunShow(p, options, err);
    }
    return p.parser.isSet(p.to) ? ConvertBatch(p, options, out, err) : ConvertOne(p, options, err);
}

}  // namespace convert
