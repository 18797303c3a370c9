#include "convert/command_line.h"

#include <QCoreApplication>
#include <cstring>

#include "convert/options.h"

namespace convert {

namespace {

constexpr const char* kWindowlessOptions[] = {
    "--convert",   "--to",         "--as",       "--ilda-format", "--frame",    "--spacing",
    "--all-lines", "--whole-page", "--trace",    "--threshold",   "--invert",   "--min-length",
    "--tolerance", "--smoothing",  "--text",     "--font",        "--height",   "--help",
    "-h",          "-?",           "--help-all", "--version",     "-v",         "--play",
    "--pps",       "--seconds",    "--zone",     "--fps",         "--optimise", "--show"};

}  // namespace

bool RunsWithoutWindow(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--") == 0) {
            break;
        }
        const size_t length = std::strcspn(arg, "=");
        for (const char* option : kWindowlessOptions) {
            if (std::strlen(option) == length && std::strncmp(arg, option, length) == 0) {
                return true;
            }
        }
    }
    return false;
}

bool Converts(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            break;
        }
        if (std::strcmp(argv[i], "--convert") == 0) {
            return true;
        }
    }
    return false;
}

int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    Parser p;
    if (const QString error = Parse(p, arguments); !error.isEmpty()) {
        return UsageError(err, error);
    }
    if (p.parser.isSet(p.help) || p.parser.isSet(QStringLiteral("help-all")) ||
        p.parser.isSet(p.version)) {
        return RunHelp(p, out);
    }
    if (p.parser.isSet(p.play)) {
        return RunPlay(p, err);
    }
    for (const QCommandLineOption* o : {&p.pps, &p.fps, &p.optimise, &p.seconds, &p.zone}) {
        if (p.parser.isSet(*o)) {
            return UsageError(
                err, QCoreApplication::translate("convert", "--%1 задаётся только вместе с --play")
                         .arg(o->names().front()));
        }
    }
    if (!p.parser.isSet(p.convert)) {
        return UsageError(err, QCoreApplication::translate(
                                   "convert",
                                   "--to, --as, --ilda-format и --frame задаются только вместе с "
                                   "--convert, как и --spacing и параметры SVG и трассировки"));
    }
    Options options;
    if (const QString problem = ConversionOptions(p, options); !problem.isEmpty()) {
        return UsageError(err, problem);
    }
    if (p.parser.isSet(p.text)) {
        return RunText(p, options, err);
    }
    for (const QCommandLineOption* o : {&p.font, &p.height}) {
        if (p.parser.isSet(*o)) {
            return UsageError(
                err, QCoreApplication::translate("convert", "--%1 задаётся только вместе с --text")
                         .arg(o->names().front()));
        }
    }
    return RunConvert(p, options, out, err);
}

WindowArguments ParseWindowArguments(const QStringList& arguments) {
    Parser p;
    if (!p.parser.parse(arguments)) {
        return {{}, p.parser.errorText()};
    }
    const QStringList files = p.parser.positionalArguments();
    if (files.size() > 1) {
        return {
            {},
            QCoreApplication::translate("convert", "редактор открывает только один файл за раз")};
    }
    return {files.value(0), {}};
}

int RefuseWithoutDisplay(const QStringList& arguments, QTextStream& err) {
    const WindowArguments window = ParseWindowArguments(arguments);
    if (!window.error.isEmpty()) {
        return UsageError(err, window.error);
    }
    if (window.file.isEmpty()) {
        return UsageError(err, QCoreApplication::translate(
                                   "convert",
                                   "нет дисплея, на котором открыть редактор; --convert и --play "
                                   "работают без него"));
    }
    return UsageError(err, QCoreApplication::translate(
                               "convert",
                               "нет дисплея, на котором открыть редактор; преобразовать %1 без "
                               "него: quorinimage --convert %1 OUT")
                               .arg(window.file));
}

}  // namespace convert
