// --convert IN... --show OUT.ild: the inputs gathered into one ILDA show, a frame for each in
// order (every frame of an ILDA show or of an animated GIF), each converted as --convert
// converts a file.
#include <QCoreApplication>

#include "convert/options.h"
#include "formats/kinds.h"

namespace convert {

int RunShow(const Parser& p, const Options& options, QTextStream& err) {
    if (p.parser.isSet(p.to) || p.parser.isSet(p.as)) {
        return UsageError(err,
                          QCoreApplication::translate("convert",
                                                      "--show пишет один файл: --convert IN... "
                                                      "--show OUT; --to и --as без него"));
    }
    const QStringList inputs = p.parser.positionalArguments();
    if (inputs.isEmpty()) {
        return UsageError(
            err, QCoreApplication::translate("convert", "--show нужен хотя бы один входной файл"));
    }
    const QString out = p.parser.value(p.show);
    const formats::KindInfo* to = formats::KindOfName(out);
    if (to == nullptr || !to->holdsShow()) {
        return UsageError(
            err, QCoreApplication::translate("convert",
                                             "не удаётся записать «%1»: показ пишется в файл %2")
                     .arg(out, KindList(QStringLiteral("."), &formats::KindInfo::holdsShow)));
    }
    for (const QString& in : inputs) {
        if (SameFile(in, out)) {
            return UsageError(
                err, QCoreApplication::translate("convert", "IN и OUT — один и тот же файл: %1")
                         .arg(in));
        }
        if (const QString problem = ReadingProblem(in, options); !problem.isEmpty()) {
            return UsageError(err, problem);
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
        problems << out + QStringLiteral(": ") +
                        QCoreApplication::translate(
                            "convert", "Показ не записан: не все входные файлы прочитаны.");
        Print(err, problems);
        return kExitFileProblem;
    }
    const bool written = WriteShow(frames, out, options, problems);
    Print(err, problems);
    return written ? kExitDone : kExitFileProblem;
}

}  // namespace convert
