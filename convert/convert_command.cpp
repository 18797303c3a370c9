// --convert IN OUT, and a batch of inputs with --to DIR --as FORMAT: each file read and written as
// the editor's commands do, through conversion.h; an ILDA show whole, or a file for each of its
// frames in a batch of a kind that holds one.
#include <QCoreApplication>
#include <QDir>
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
        return UsageError(err,
                          QCoreApplication::translate("convert", "--as принимает %1, а не «%2»")
                              .arg(WritableList(QString()), p.parser.value(p.as)));
    }
    if (inputs.isEmpty()) {
        return UsageError(err, QCoreApplication::translate(
                                   "convert", "--convert нужен хотя бы один входной файл"));
    }
    const QDir folder(p.parser.value(p.to));
    if (!folder.mkpath(QStringLiteral("."))) {
        err << folder.path() << ": "
            << QCoreApplication::translate("convert", "Не удаётся создать папку") << "\n";
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
    out << QCoreApplication::translate("convert", "Преобразовано файлов: %1 из %2, в %3.")
               .arg(converted)
               .arg(inputs.size())
               .arg(QDir::toNativeSeparators(folder.path()))
        << "\n";
    return converted == inputs.size() ? kExitDone : kExitFileProblem;
}

int ConvertOne(const Parser& p, const Options& options, QTextStream& err) {
    const QStringList files = p.parser.positionalArguments();
    if (p.parser.isSet(p.as)) {
        return UsageError(
            err, QCoreApplication::translate("convert", "--as задаётся вместе с --to DIR"));
    }
    if (files.size() != 2) {
        return UsageError(
            err,
            QCoreApplication::translate(
                "convert",
                "--convert нужны IN и OUT или несколько входных файлов с --to DIR --as FORMAT"));
    }
    const QString& in = files[0];
    const QString& out = files[1];
    if (const QString problem = ReadingProblem(in, options); !problem.isEmpty()) {
        return UsageError(err, problem);
    }
    const formats::KindInfo* to = formats::KindOfName(out);
    if (to == nullptr || !to->contourOut()) {
        return UsageError(
            err, QCoreApplication::translate(
                     "convert",
                     "не удаётся записать «%1»: имя выходного файла должно оканчиваться на %2")
                     .arg(out, WritableList(QStringLiteral("."))));
    }
    if (SameFile(in, out)) {
        return UsageError(err,
                          QCoreApplication::translate("convert", "IN и OUT — один и тот же файл"));
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
