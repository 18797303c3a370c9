#include "convert/command_line.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cstring>

#include "convert/conversion.h"
#include "convert/play.h"
#include "editor/settings.h"
#include "formats/kinds.h"
#include "formats/text.h"

namespace convert {

namespace {

constexpr const char* kWindowlessOptions[] = {
    "--convert",   "--to",         "--as",       "--ilda-format", "--frame",  "--spacing",
    "--all-lines", "--whole-page", "--trace",    "--threshold",   "--invert", "--min-length",
    "--tolerance", "--smoothing",  "--text",     "--font",        "--height", "--help",
    "-h",          "-?",           "--help-all", "--version",     "-v",       "--play",
    "--pps",       "--seconds",    "--zone"};

// The tracing modes by their names on the command line, in the dialog's order.
constexpr const char* kTraceModes[] = {"outline", "edges", "centre"};

// The extensions of the kinds a contour is written in: "ilz, plz, ild or svg".
QString WritableList(const QString& prefix) {
    QStringList names;
    for (const formats::KindInfo& kind : formats::Kinds()) {
        if (kind.contourOut()) {
            names << prefix + kind.extensions.front();
        }
    }
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

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
    const QCommandLineOption spacing{
        QStringLiteral("spacing"),
        QStringLiteral("Spacing of the points of an SVG or traced input, 1 to 30 pixels "
                       "(default the pen's, %1).")
            .arg(editor::EditorSettings{}.ScrollBarFriqPoints),
        QStringLiteral("n")};
    const QCommandLineOption allLines{
        QStringLiteral("all-lines"),
        QStringLiteral("Of an SVG input, also the lines hidden under shapes painted after them "
                       "(the window's \"Только видимые линии\" off).")};
    const QCommandLineOption wholePage{
        QStringLiteral("whole-page"),
        QStringLiteral("Of an SVG input, the page fills the surface, not the drawing (the "
                       "window's \"Вся страница\").")};
    const QCommandLineOption trace{
        QStringLiteral("trace"),
        QStringLiteral("Trace a picture input: outline (default), edges or centre."),
        QStringLiteral("mode")};
    const QCommandLineOption threshold{
        QStringLiteral("threshold"),
        QStringLiteral("Brightness threshold of the trace, 0 to 255 (default: found from the "
                       "picture)."),
        QStringLiteral("n")};
    const QCommandLineOption invert{
        QStringLiteral("invert"), QStringLiteral("Trace the regions lighter than the threshold.")};
    const QCommandLineOption minLength{
        QStringLiteral("min-length"),
        QStringLiteral("Shorter traced lines are left out, pixels of the picture (default 8)."),
        QStringLiteral("n")};
    const QCommandLineOption tolerance{
        QStringLiteral("tolerance"),
        QStringLiteral("How far a simplified traced line may leave the traced one, surface "
                       "pixels (default 0.5)."),
        QStringLiteral("x")};
    const QCommandLineOption smoothing{QStringLiteral("smoothing"),
                                       QStringLiteral("Blur before tracing, pixels (default 0)."),
                                       QStringLiteral("x")};
    const QCommandLineOption text{
        QStringLiteral("text"),
        QStringLiteral("Write this text as laser lines to OUT, centred; \\n starts a line."),
        QStringLiteral("text")};
    const QCommandLineOption font{
        QStringLiteral("font"),
        QStringLiteral("Font of --text: a Hershey font (futural, cyrillic, ...) or a system font "
                       "(default %1).")
            .arg(QString::fromLatin1(formats::kDefaultTextFont)),
        QStringLiteral("name")};
    const QCommandLineOption height{
        QStringLiteral("height"),
        QStringLiteral("Height of the capitals of --text, 4 to 384 pixels (default %1).")
            .arg(formats::TextOptions{}.height),
        QStringLiteral("n")};

    const QCommandLineOption play{
        QStringLiteral("play"),
        QStringLiteral("Stream an ILDA show to a laser: --to idn:HOST[:PORT] or "
                       "etherdream:HOST[:PORT]."),
        QStringLiteral("show")};
    const QCommandLineOption pps{
        QStringLiteral("pps"),
        QStringLiteral("Points per second of --play, %1 to %2 (default %3).")
            .arg(model::stage::kMinPointRate)
            .arg(model::stage::kMaxPointRate)
            .arg(model::stage::Settings{}.pointRate),
        QStringLiteral("n")};
    const QCommandLineOption seconds{
        QStringLiteral("seconds"),
        QStringLiteral("Stop --play after this many seconds (default: at Ctrl+C)."),
        QStringLiteral("s")};
    const QCommandLineOption zone{
        QStringLiteral("zone"),
        QStringLiteral("Output zone of --play: its size in percent, and its centre's offsets in "
                       "percent (default 100,0,0)."),
        QStringLiteral("size[,x,y]")};

    Parser() {
        parser.setApplicationDescription(QStringLiteral(
            "Quorinimage, the laser-show contour editor.\n"
            "\n"
            "With FILE the editor opens it at start: a contour file (.ilz) is opened, a legacy\n"
            "file (.plz), an ILDA file (.ild) or an SVG drawing (.svg) imported, a picture\n"
            "(.bmp, .ico, .wmf, .emf, .jpg) becomes the underlay.\n"
            "\n"
            "Conversion, without a window or a display:\n"
            "  quorinimage --convert IN OUT [--ilda-format 1|5] [--frame N] [--spacing N]\n"
            "      [--all-lines] [--whole-page]\n"
            "  quorinimage --convert PICTURE OUT --trace [outline|edges|centre]\n"
            "      [--threshold N] [--invert] [--min-length N] [--tolerance X]\n"
            "  quorinimage --convert --text TEXT OUT [--font NAME] [--height N] [--spacing N]\n"
            "  quorinimage --convert IN... --to DIR --as ilz|plz|ild|svg\n"
            "The kinds are chosen by the extension (a file of none by its first bytes): IN any\n"
            "the editor opens, OUT .ilz, .plz, .ild or .svg. An input is never overwritten.\n"
            "Exit status: 0 done, 1 a file could not be read or written (or an SVG or traced\n"
            "picture needs a wider --spacing, which is named), 2 a usage error.\n"
            "\n"
            "Live output, without a window: every frame of an ILDA show in turn, looping,\n"
            "until --seconds are up or Ctrl+C, which blank the beam before the end:\n"
            "  quorinimage --play SHOW.ild --to idn:HOST[:PORT]|etherdream:HOST[:PORT]\n"
            "      [--pps N] [--seconds S] [--zone SIZE[,X,Y]]\n"
            "Exit status as for --convert."));
        parser.addOptions({convert,   to,    as,        ildaFormat, frame,     spacing,   allLines,
                           wholePage, trace, threshold, invert,     minLength, tolerance, smoothing,
                           text,      font,  height,    play,       pps,       seconds,   zone});
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

int PlayOption(const Parser& p, QTextStream& err) {
    if (p.parser.isSet(p.convert)) {
        return UsageError(err, QStringLiteral("--play and --convert are one at a time"));
    }
    if (!p.parser.positionalArguments().isEmpty()) {
        return UsageError(err, QStringLiteral("--play takes one show, given to it"));
    }
    PlayOptions options;
    options.file = p.parser.value(p.play);
    const auto target = output::ParseTarget(p.parser.value(p.to));
    if (!target) {
        return UsageError(err, QStringLiteral("--play needs --to idn:HOST[:PORT] or "
                                              "etherdream:HOST[:PORT], not '%1'")
                                   .arg(p.parser.value(p.to)));
    }
    options.target = *target;
    bool number = true;
    if (p.parser.isSet(p.pps)) {
        options.pointRate = p.parser.value(p.pps).toInt(&number);
        if (!number || options.pointRate < model::stage::kMinPointRate ||
            options.pointRate > model::stage::kMaxPointRate) {
            return UsageError(err, QStringLiteral("--pps takes %1 to %2, not '%3'")
                                       .arg(model::stage::kMinPointRate)
                                       .arg(model::stage::kMaxPointRate)
                                       .arg(p.parser.value(p.pps)));
        }
    }
    if (p.parser.isSet(p.seconds)) {
        options.seconds = p.parser.value(p.seconds).toDouble(&number);
        if (!number || !(options.seconds > 0) || options.seconds > 1e6) {
            return UsageError(err, QStringLiteral("--seconds takes a time above 0, not '%1'")
                                       .arg(p.parser.value(p.seconds)));
        }
    }
    if (p.parser.isSet(p.zone)) {
        const auto zone = ParseZone(p.parser.value(p.zone));
        if (!zone) {
            return UsageError(err, QStringLiteral("--zone takes SIZE[,X,Y] in percent (1 to 100, "
                                                  "-100 to 100), not '%1'")
                                       .arg(p.parser.value(p.zone)));
        }
        options.zone = *zone;
    }
    return Play(options, err);
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

// --convert --text TEXT OUT: the text as a contour of its own.
int ConvertTextOption(const Parser& p, const Options& options, QTextStream& err) {
    const QStringList files = p.parser.positionalArguments();
    if (p.parser.isSet(p.to) || p.parser.isSet(p.trace) || files.size() != 1) {
        return UsageError(err, QStringLiteral("--text writes one OUT file: --convert --text TEXT "
                                              "OUT"));
    }
    const formats::KindInfo* to = formats::KindOfName(files[0]);
    if (to == nullptr || !to->contourOut()) {
        return UsageError(err, QStringLiteral("cannot write '%1': the output must end in %2")
                                   .arg(files[0], WritableList(QStringLiteral("."))));
    }
    formats::TextOptions text;
    // "\n" in the argument starts a new line, as a shell cannot easily pass one.
    text.text = p.parser.value(p.text).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    const QString fontName = p.parser.isSet(p.font)
                                 ? p.parser.value(p.font)
                                 : QString::fromLatin1(formats::kDefaultTextFont);
    const std::optional<formats::TextFont> font = formats::FindTextFont(fontName);
    if (!font) {
        return UsageError(err, QStringLiteral("--font: no font '%1' (a Hershey font such as "
                                              "futural or cyrillic, or a system font)")
                                   .arg(fontName));
    }
    text.font = *font;
    if (p.parser.isSet(p.height)) {
        bool number = false;
        text.height = p.parser.value(p.height).toDouble(&number);
        if (!number || !(text.height >= 4 && text.height <= 384)) {
            return UsageError(err, QStringLiteral("--height takes 4 to 384 pixels, not '%1'")
                                       .arg(p.parser.value(p.height)));
        }
    }
    QStringList problems;
    const bool done = ConvertText(text, files[0], options, problems);
    Print(err, problems);
    return done ? kExitDone : kExitFileProblem;
}

// The tracing options, into options.trace when --trace is given; a usage problem otherwise.
QString TraceOptions(const Parser& p, Options& options) {
    const QCommandLineOption* tracing[] = {&p.threshold, &p.invert, &p.minLength, &p.tolerance,
                                           &p.smoothing};
    if (!p.parser.isSet(p.trace)) {
        for (const QCommandLineOption* o : tracing) {
            if (p.parser.isSet(*o)) {
                return QStringLiteral("--%1 goes with --trace").arg(o->names().front());
            }
        }
        return {};
    }
    tracing::Options t;
    const QString mode = p.parser.value(p.trace);
    const auto* named = std::find_if(std::begin(kTraceModes), std::end(kTraceModes),
                                     [&mode](const char* m) { return mode == QLatin1String(m); });
    if (named == std::end(kTraceModes)) {
        return QStringLiteral("--trace takes outline, edges or centre, not '%1'").arg(mode);
    }
    t.mode = tracing::Mode(named - std::begin(kTraceModes));
    bool number = true;
    if (p.parser.isSet(p.threshold)) {
        t.threshold = p.parser.value(p.threshold).toInt(&number);
        if (!number || t.threshold < 0 || t.threshold > 255) {
            return QStringLiteral("--threshold takes 0 to 255, not '%1'")
                .arg(p.parser.value(p.threshold));
        }
        options.autoThreshold = false;
    }
    t.invert = p.parser.isSet(p.invert);
    // Distances in pixels, as the dialog's fields take them.
    const std::pair<const QCommandLineOption*, double*> distances[] = {
        {&p.minLength, &t.minLength}, {&p.tolerance, &t.tolerance}, {&p.smoothing, &t.smoothing}};
    for (const auto& [option, value] : distances) {
        if (!p.parser.isSet(*option)) {
            continue;
        }
        const double limit = option == &p.minLength ? 1000 : 10;
        const double v = p.parser.value(*option).toDouble(&number);
        if (!number || !(v >= 0 && v <= limit)) {
            return QStringLiteral("--%1 takes 0 to %2 pixels, not '%3'")
                .arg(option->names().front())
                .arg(limit)
                .arg(p.parser.value(*option));
        }
        *value = v;
    }
    options.trace = t;
    return {};
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

int RunCommandLine(const QStringList& given, QTextStream& out, QTextStream& err) {
    // "--trace" may stand alone or be followed by its mode; the parser wants a value always.
    QStringList arguments;
    for (qsizetype i = 0; i < given.size(); ++i) {
        if (given[i] == QLatin1String("--trace")) {
            const QString next = given.value(i + 1);
            const bool mode =
                std::any_of(std::begin(kTraceModes), std::end(kTraceModes),
                            [&next](const char* m) { return next == QLatin1String(m); });
            arguments << QStringLiteral("--trace=") + (mode ? next : QStringLiteral("outline"));
            i += mode ? 1 : 0;
        } else {
            arguments << given[i];
        }
    }
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
    if (p.parser.isSet(p.play)) {
        return PlayOption(p, err);
    }
    for (const QCommandLineOption* o : {&p.pps, &p.seconds, &p.zone}) {
        if (p.parser.isSet(*o)) {
            return UsageError(err, QStringLiteral("--%1 goes with --play").arg(o->names().front()));
        }
    }
    if (!p.parser.isSet(p.convert)) {
        return UsageError(err, QStringLiteral("--to, --as, --ilda-format and --frame go with "
                                              "--convert, as do --spacing and the SVG and "
                                              "tracing options"));
    }
    Options options;
    options.svg.visibleOnly = !p.parser.isSet(p.allLines);
    options.svg.wholePage = p.parser.isSet(p.wholePage);
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
    if (p.parser.isSet(p.spacing)) {
        options.spacing = p.parser.value(p.spacing).toInt(&number);
        const editor::IntRange range = editor::kFriqPointsRange;
        if (!number || options.spacing < range.min || options.spacing > range.max) {
            return UsageError(err, QStringLiteral("--spacing takes %1 to %2 pixels, not '%3'")
                                       .arg(range.min)
                                       .arg(range.max)
                                       .arg(p.parser.value(p.spacing)));
        }
    }
    if (const QString problem = TraceOptions(p, options); !problem.isEmpty()) {
        return UsageError(err, problem);
    }
    if (p.parser.isSet(p.text)) {
        return ConvertTextOption(p, options, err);
    }
    for (const QCommandLineOption* o : {&p.font, &p.height}) {
        if (p.parser.isSet(*o)) {
            return UsageError(err, QStringLiteral("--%1 goes with --text").arg(o->names().front()));
        }
    }
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
