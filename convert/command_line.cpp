#include "convert/command_line.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <cstring>

#include "convert/conversion.h"

namespace convert {

namespace {

constexpr const char* kWindowlessOptions[] = {"--convert",  "--to",      "--as", "--ilda-format",
                                              "--frame",    "--help",    "-h",   "-?",
                                              "--help-all", "--version", "-v"};

class Parser {
  public:
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption convert{QStringLiteral("convert"),
                                     QStringLiteral("Convert files without opening a window.")};
    const QCommandLineOption to{QStringLiteral("to"),
                                QStringLiteral("Folder for the files of a batch conversion."),
                                QStringLiteral("dir")};
    const QCommandLineOption as{
        QStringLiteral("as"), QStringLiteral("Format of a batch conversion: ilz, plz, ild or svg."),
        QStringLiteral("format")};
    const QCommandLineOption ildaFormat{
        QStringLiteral("ilda-format"),
        QStringLiteral("ILDA points written: 5 true colour (default), 1 indexed colours for "
                       "older players."),
        QStringLiteral("1|5"), QStringLiteral("5")};
    const QCommandLineOption frame{
        QStringLiteral("frame"),
        QStringLiteral("Frame of an ILDA input to read, counted from 1 (default 1)."),
        QStringLiteral("n"), QStringLiteral("1")};

    Parser() {
        parser.setApplicationDescription(QStringLiteral(
            "Quorinimage, the laser-show contour editor.\n"
            "\n"
            "With FILE the editor opens it at start: a contour file (.ilz) is opened, a legacy\n"
            "file (.plz) or an ILDA file (.ild) imported, a picture (.bmp, .ico, .wmf, .emf,\n"
            ".jpg) becomes the underlay.\n"
            "\n"
            "Conversion, without a window or a display:\n"
            "  quorinimage --convert IN OUT [--ilda-format 1|5] [--frame N]\n"
            "  quorinimage --convert IN... --to DIR --as ilz|plz|ild|svg\n"
            "The format is chosen by the extension: .ilz, .plz, .ild, or .svg (output only).\n"
            "An input is never overwritten. Exit status: 0 done, 1 a file could not be read or\n"
            "written, 2 a usage error."));
        parser.addOptions({convert, to, as, ildaFormat, frame});
        parser.addPositionalArgument(
            QStringLiteral("file"),
            QStringLiteral("The file to open; with --convert, the files to convert."),
            QStringLiteral("[FILE...]"));
    }
};

int UsageError(QTextStream& err, const QString& text) {
    err << "quorinimage: " << text << "\nTry 'quorinimage --help' for more information.\n";
    return kExitUsage;
}

void Print(QTextStream& err, const QStringList& problems) {
    for (const QString& problem : problems) {
        err << problem << '\n';
    }
}

int ConvertBatch(const Parser& p, const Options& options, QTextStream& out, QTextStream& err) {
    const QStringList inputs = p.parser.positionalArguments();
    QString format = p.parser.value(p.as).toLower();
    if (format.startsWith(QLatin1Char('.'))) {
        format.remove(0, 1);
    }
    if (!KindOfFile(QStringLiteral("x.") + format)) {
        return UsageError(
            err,
            QStringLiteral("--as takes ilz, plz, ild or svg, not '%1'").arg(p.parser.value(p.as)));
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
        const QString name =
            folder.filePath(QFileInfo(in).completeBaseName() + QLatin1Char('.') + format);
        QStringList problems;
        if (written.contains(QFileInfo(name).absoluteFilePath())) {
            problems << name +
                            QStringLiteral(": Этот файл уже записан из другого исходного файла.");
        } else if (ConvertFile(in, name, options, problems)) {
            written.insert(QFileInfo(name).absoluteFilePath());
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
    const std::optional<FileKind> from = KindOfFile(in);
    if (!from || *from == FileKind::Svg) {
        return UsageError(err, QStringLiteral("cannot read '%1': the input must end in .ilz, "
                                              ".plz or .ild")
                                   .arg(in));
    }
    if (!KindOfFile(out)) {
        return UsageError(
            err,
            QStringLiteral("cannot write '%1': the output must end in .ilz, .plz, .ild or .svg")
                .arg(out));
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

int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    Parser p;
    if (!p.parser.parse(arguments)) {
        return UsageError(err, p.parser.errorText());
    }
    if (p.parser.isSet(p.help) || p.parser.isSet(QStringLiteral("help-all"))) {
        out << p.parser.helpText();
        return kExitDone;
    }
    if (p.parser.isSet(p.version)) {
        out << "quorinimage " << QUORINIMAGE_VERSION << '\n';
        return kExitDone;
    }
    if (!p.parser.isSet(p.convert)) {
        return UsageError(err, QStringLiteral("--to, --as, --ilda-format and --frame go with "
                                              "--convert"));
    }
    Options options;
    const QString format = p.parser.value(p.ildaFormat);
    if (format == QLatin1String("1")) {
        options.ildaFormat = model::ilda::kIndexed2D;
    } else if (format != QLatin1String("5")) {
        return UsageError(err, QStringLiteral("--ilda-format takes 1 or 5, not '%1'").arg(format));
    }
    bool number = false;
    const int frame = p.parser.value(p.frame).toInt(&number);
    if (!number || frame < 1) {
        return UsageError(err, QStringLiteral("--frame takes a frame number from 1, not '%1'")
                                   .arg(p.parser.value(p.frame)));
    }
    options.frame = frame - 1;
    return p.parser.isSet(p.to) ? ConvertBatch(p, options, out, err) : ConvertOne(p, options, err);
}

WindowArguments ParseWindowArguments(const QStringList& arguments) {
    Parser p;
    if (!p.parser.parse(arguments)) {
        return {{}, p.parser.errorText()};
    }
    const QStringList files = p.parser.positionalArguments();
    if (files.size() > 1) {
        return {{}, QStringLiteral("the editor opens one file at a time")};
    }
    return {files.value(0), {}};
}

}  // namespace convert
