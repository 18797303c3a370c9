#include "convert/options.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>

#include "formats/kinds.h"

namespace convert {

Parser::Parser() {
    parser.setApplicationDescription(QCoreApplication::translate(
        "convert",
        "Quorinimage — редактор контуров для лазерных шоу.\n"
        "\n"
        "С файлом FILE редактор открывает его при запуске: файл контура (.ilz)\n"
        "открывается, старый файл (.plz), файл ILDA (.ild) или рисунок SVG (.svg)\n"
        "импортируется, картинка (.bmp, .ico, .wmf, .emf, .jpg, .png, .gif, .webp, .tif)\n"
        "становится подложкой.\n"
        "\n"
        "Преобразование, без окна и без дисплея:\n"
        "  quorinimage --convert IN OUT [--ilda-format 1|5] [--frame N] [--spacing N]\n"
        "      [--all-lines] [--whole-page]\n"
        "  quorinimage --convert PICTURE OUT --trace [outline|edges|centre]\n"
        "      [--threshold N] [--invert] [--min-length N] [--tolerance X]\n"
        "  quorinimage --convert --text TEXT OUT [--font NAME] [--height N] [--spacing N]\n"
        "  quorinimage --convert IN... --to DIR --as ilz|plz|ild|svg\n"
        "  quorinimage --convert IN... --show OUT.ild [параметры выше]\n"
        "Виды файлов выбираются по расширению (файл без него — по первым байтам):\n"
        "IN — любой, который открывает редактор, OUT — .ilz, .plz, .ild или .svg.\n"
        "Входной файл никогда не перезаписывается.\n"
        "Показ ILDA записывается в .ild целиком; в вид с одним кадром — кадр --frame (по\n"
        "умолчанию первый), а с --to DIR — каждый кадр в свой файл (SHOW_001.ilz, ...).\n"
        "--show собирает входные файлы в один показ, по кадру на каждый по порядку,\n"
        "каждый преобразован как выше: все кадры входного файла ILDA (только кадр\n"
        "--frame, если он задан) и трассированного анимированного GIF.\n"
        "Код завершения: 0 — готово, 1 — файл не удалось прочитать или записать (или\n"
        "рисунку SVG или трассируемой картинке нужен больший --spacing, он называется),\n"
        "2 — ошибка в параметрах.\n"
        "\n"
        "Вывод на лазер, без окна: все кадры показа ILDA по очереди, --fps в секунду (по\n"
        "умолчанию 25), каждый рисуется точка в точку как в файле (--optimise:\n"
        "с задержками в углах и тёмными переходами) и повторяется, пока длится его\n"
        "время, по кругу, пока не пройдут --seconds или не нажато Ctrl+C, которые гасят\n"
        "луч перед концом:\n"
        "  quorinimage --play SHOW.ild --to idn:HOST[:PORT]|etherdream:HOST[:PORT]\n"
        "      [--pps N] [--fps N] [--optimise] [--seconds S] [--zone SIZE[,X,Y]]\n"
        "Код завершения — как у --convert."));
    parser.addOptions({convert,   to,        as,        show,     ildaFormat, frame,
                       spacing,   allLines,  wholePage, trace,    threshold,  invert,
                       minLength, tolerance, smoothing, text,     font,       height,
                       play,      pps,       fps,       optimise, seconds,    zone});
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QCoreApplication::translate("convert",
                                    "Открываемый файл; с --convert — преобразуемые файлы."),
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

bool SameFile(const QString& in, const QString& out) {
    const QFileInfo inInfo(in);
    const QFileInfo outInfo(out);
    return inInfo.absoluteFilePath() == outInfo.absoluteFilePath() ||
           (outInfo.exists() && inInfo.canonicalFilePath() == outInfo.canonicalFilePath());
}

QString ReadingProblem(const QString& in, const Options& options) {
    const formats::KindInfo* from = formats::KindOfName(in);
    if (from != nullptr && from->use == formats::Use::Underlay && !options.trace) {
        return QCoreApplication::translate(
                   "convert",
                   "не удаётся прочитать «%1»: картинка становится контуром только с --trace")
            .arg(in);
    }
    return {};
}

QString KindList(const QString& prefix, bool (formats::KindInfo::*has)() const) {
    QStringList names;
    for (const formats::KindInfo& kind : formats::Kinds()) {
        if ((kind.*has)()) {
            names << prefix + kind.extensions.front();
        }
    }
    if (names.size() <= 1) {
        return names.join(QString());
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
