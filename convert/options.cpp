#include "convert/options.h"

#include <QCoreApplication>
#include <algorithm>

#include "formats/kinds.h"

namespace convert {

Parser::Parser() {
    parser.setApplicationDescription(QStringLiteral(
        "Quorinimage, the laser-show contour editor.\n"
        "\n"
        "With FILE the editor opens it at start: a contour file (.ilz) is opened, a legacy\n"
        "file (.plz), an ILDA file (.ild) or an SVG drawing (.svg) imported, a picture\n"
        "(.bmp, .ico, .wmf, .emf, .jpg, .png, .gif, .webp, .tif) becomes the underlay.\n"
        "\n"
        "Conversion, without a window or a display:\n"
        "  quorinimage --convert IN OUT [--ilda-format 1|5] [--frame N] [--spacing N]\n"
        "      [--all-lines] [--whole-page]\n"
        "  quorinimage --convert PICTURE OUT --trace [outline|edges|centre]\n"
        "      [--threshold N] [--invert] [--min-length N] [--tolerance X]\n"
        "  quorinimage --convert --text TEXT OUT [--font NAME] [--height N] [--spacing N]\n"
        "  quorinimage --convert IN... --to DIR --as ilz|plz|ild|svg\n"
        "  quorinimage --convert IN... --show OUT.ild [the options above]\n"
        "The kinds are chosen by the extension (a file of none by its first bytes): IN any\n"
        "the editor opens, OUT .ilz, .plz, .ild or .svg. An input is never overwritten.\n"
        "An ILDA show goes whole to .ild; to a kind of one frame, the --frame one (the first\n"
        "by default), or with --to DIR each frame to a file of its own (SHOW_001.ilz, ...).\n"
        "--show gathers the inputs into one show, a frame for each in order, each converted\n"
        "as above: every frame of an ILDA input (the --frame one alone when given) and of an\n"
        "animated GIF traced.\n"
        "Exit status: 0 done, 1 a file could not be read or written (or an SVG or traced\n"
        "picture needs a wider --spacing, which is named), 2 a usage error.\n"
        "\n"
        "Live output, without a window: every frame of an ILDA show in turn, --fps a\n"
        "second (default 25), each drawn point for point as in the file (--optimise:\n"
        "with corner dwells and dark jumps) and again while its time lasts, looping,\n"
        "until --seconds are up or Ctrl+C, which blank the beam before the end:\n"
        "  quorinimage --play SHOW.ild --to idn:HOST[:PORT]|etherdream:HOST[:PORT]\n"
        "      [--pps N] [--fps N] [--optimise] [--seconds S] [--zone SIZE[,X,Y]]\n"
        "Exit status as for --convert."));
    parser.addOptions({convert,   to,        as,        show,     ildaFormat, frame,
                       spacing,   allLines,  wholePage, trace,    threshold,  invert,
                       minLength, tolerance, smoothing, text,     font,       height,
                       play,      pps,       fps,       optimise, seconds,    zone});
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("The file to open; with --convert, the files to convert."),
        QStringLiteral("[FILE...]"));
}

QString Parse(Parser& p, const QStringList& given) {
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
    return p.parser.parse(arguments) ? QString() : p.parser.errorText();
}

int UsageError(QTextStream& err, const QString& text) {
    err << "quorinimage: " << text << '\n'
        << QCoreApplication::translate("convert", "Подробности выводит «quorinimage --help».")
        << '\n';
    return kExitUsage;
}

void Print(QTextStream& err, const QStringList& problems) {
    for (const QString& problem : problems) {
        err << problem << '\n';
    }
}

QString WritableList(const QString& prefix) {
    QStringList names;
    for (const formats::KindInfo& kind : formats::Kinds()) {
        if (kind.contourOut()) {
            names << prefix + kind.extensions.front();
        }
    }
    const QString last = names.takeLast();
    return QCoreApplication::translate("convert", "%1 или %2")
        .arg(names.join(QStringLiteral(", ")), last);
}

namespace {

// The tracing options, into options.trace when --trace is given; a usage problem otherwise.
QString TraceOptions(const Parser& p, Options& options) {
    const QCommandLineOption* tracing[] = {&p.threshold, &p.invert, &p.minLength, &p.tolerance,
                                           &p.smoothing};
    if (!p.parser.isSet(p.trace)) {
        for (const QCommandLineOption* o : tracing) {
            if (p.parser.isSet(*o)) {
                return QCoreApplication::translate("convert", "--%1 задаётся вместе с --trace")
                    .arg(o->names().front());
            }
        }
        return {};
    }
    tracing::Options t;
    const QString mode = p.parser.value(p.trace);
    const auto* named = std::find_if(std::begin(kTraceModes), std::end(kTraceModes),
                                     [&mode](const char* m) { return mode == QLatin1String(m); });
    if (named == std::end(kTraceModes)) {
        return QCoreApplication::translate("convert",
                                           "--trace принимает outline, edges или centre, а не «%1»")
            .arg(mode);
    }
    t.mode = tracing::Mode(named - std::begin(kTraceModes));
    bool number = true;
    if (p.parser.isSet(p.threshold)) {
        t.threshold = p.parser.value(p.threshold).toInt(&number);
        if (!number || t.threshold < 0 || t.threshold > 255) {
            return QCoreApplication::translate("convert",
                                               "--threshold принимает от 0 до 255, а не «%1»")
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
            return QCoreApplication::translate("convert",
                                               "--%1 принимает от 0 до %2 пикс., а не «%3»")
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

QString ConversionOptions(const Parser& p, Options& options) {
    options.svg.visibleOnly = !p.parser.isSet(p.allLines);
    options.svg.wholePage = p.parser.isSet(p.wholePage);
    const QString format = p.parser.value(p.ildaFormat);
    if (format == QLatin1String("1")) {
        options.ildaFormat = model::ilda::kIndexed2D;
    } else if (format != QLatin1String("5")) {
        return QCoreApplication::translate("convert", "--ilda-format принимает 1 или 5, а не «%1»")
            .arg(format);
    }
    bool number = false;
    const int frame = p.parser.value(p.frame).toInt(&number);
    if (!number || frame < 1) {
        return QCoreApplication::translate("convert",
                                           "--frame принимает номер кадра от 1, а не «%1»")
            .arg(p.parser.value(p.frame));
    }
    options.frame = frame - 1;
    options.frameGiven = p.parser.isSet(p.frame);
    if (p.parser.isSet(p.spacing)) {
        options.spacing = p.parser.value(p.spacing).toInt(&number);
        if (!number || options.spacing < model::kMinSpacing ||
            options.spacing > model::kMaxSpacing) {
            return QCoreApplication::translate("convert",
                                               "--spacing принимает от %1 до %2 пикс., а не «%3»")
                .arg(model::kMinSpacing)
                .arg(model::kMaxSpacing)
                .arg(p.parser.value(p.spacing));
        }
    }
    return TraceOptions(p, options);
}

}  // namespace convert
