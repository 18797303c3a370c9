// The options of every subcommand, declared and parsed in one place, and what the subcommands'
// runners share: the usage error, the problem lines, the conversion options of --convert and
// --text. Private to convert/: the program's own entry points are in command_line.h.
#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include "convert/command_line.h"
#include "convert/conversion.h"
#include "formats/kinds.h"
#include "formats/text.h"
#include "model/contour.h"
#include "model/output_stage.h"

namespace convert {

// Every option the program takes, each with its help text.
class Parser {
  public:
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption convert{
        QStringLiteral("convert"),
        QCoreApplication::translate("convert", "Преобразовать файлы, не открывая окна.")};
    const QCommandLineOption to{
        QStringLiteral("to"),
        QCoreApplication::translate("convert", "Папка для файлов пакетного преобразования."),
        QStringLiteral("dir")};
    const QCommandLineOption as{
        QStringLiteral("as"),
        QCoreApplication::translate("convert",
                                    "Формат пакетного преобразования: ilz, plz, ild или svg."),
        QStringLiteral("format")};
    const QCommandLineOption show{
        QStringLiteral("show"),
        QCoreApplication::translate(
            "convert",
            "Собрать входные файлы по порядку в один показ ILDA, по кадру на "
            "каждый (из входного файла ILDA — все его кадры)."),
        QStringLiteral("out.ild")};
    const QCommandLineOption ildaFormat{
        QStringLiteral("ilda-format"),
        QCoreApplication::translate("convert",
                                    "Записываемые точки ILDA: 5 — полноцветные (по умолчанию), 1 — "
                                    "с индексами цветов для старых проигрывателей."),
        QStringLiteral("1|5"), QStringLiteral("5")};
    const QCommandLineOption frame{
        QStringLiteral("frame"),
        QCoreApplication::translate(
            "convert", "Читаемый кадр входного файла ILDA, считая с 1 (по умолчанию 1)."),
        QStringLiteral("n"), QStringLiteral("1")};
    const QCommandLineOption spacing{
        QStringLiteral("spacing"),
        QCoreApplication::translate("convert",
                                    "Шаг точек входного файла SVG или трассируемой картинки, от 1 "
                                    "до 30 пикс. (по умолчанию шаг пера, %1).")
            .arg(model::kDefaultSpacing),
        QStringLiteral("n")};
    const QCommandLineOption allLines{
        QStringLiteral("all-lines"),
        QCoreApplication::translate(
            "convert",
            "Из входного файла SVG также линии, скрытые под фигурами, нарисованными после них (как "
            "со снятым флажком окна «Только видимые линии»).")};
    const QCommandLineOption wholePage{
        QStringLiteral("whole-page"),
        QCoreApplication::translate("convert",
                                    "Во входном файле SVG поверхность заполняет страница, а не "
                                    "рисунок (как флажок окна «Вся страница»).")};
    const QCommandLineOption trace{
        QStringLiteral("trace"),
        QCoreApplication::translate(
            "convert", "Трассировать входную картинку: outline (по умолчанию), edges или centre."),
        QStringLiteral("mode")};
    const QCommandLineOption threshold{
        QStringLiteral("threshold"),
        QCoreApplication::translate(
            "convert",
            "Порог яркости трассировки, от 0 до 255 (по умолчанию находится по картинке)."),
        QStringLiteral("n")};
    const QCommandLineOption invert{
        QStringLiteral("invert"),
        QCoreApplication::translate("convert", "Трассировать области светлее порога.")};
    const QCommandLineOption minLength{
        QStringLiteral("min-length"),
        QCoreApplication::translate(
            "convert",
            "Более короткие трассированные линии отбрасываются, пикс. картинки (по умолчанию 8)."),
        QStringLiteral("n")};
    const QCommandLineOption tolerance{
        QStringLiteral("tolerance"),
        QCoreApplication::translate("convert",
                                    "Насколько упрощённая линия может отходить от трассированной, "
                                    "пикс. поверхности (по умолчанию 0.5)."),
        QStringLiteral("x")};
    const QCommandLineOption smoothing{
        QStringLiteral("smoothing"),
        QCoreApplication::translate("convert",
                                    "Размытие перед трассировкой, пикс. (по умолчанию 0)."),
        QStringLiteral("x")};
    const QCommandLineOption text{
        QStringLiteral("text"),
        QCoreApplication::translate(
            "convert",
            "Записать этот текст лазерными линиями в OUT по центру; \\n начинает новую строку."),
        QStringLiteral("text")};
    const QCommandLineOption font{
        QStringLiteral("font"),
        QCoreApplication::translate("convert",
                                    "Шрифт --text: шрифт Hershey (futural, cyrillic, ...) или "
                                    "шрифт системы (по умолчанию %1).")
            .arg(QString::fromLatin1(formats::kDefaultTextFont)),
        QStringLiteral("name")};
    const QCommandLineOption height{
        QStringLiteral("height"),
        QCoreApplication::translate("convert",
                                    "Высота прописных букв --text, от %1 до %2 пикс. (по умолчанию "
                                    "%3); текст должен помещаться на поверхности.")
            .arg(formats::kMinTextHeight)
            .arg(formats::kMaxTextHeight)
            .arg(formats::TextOptions{}.height),
        QStringLiteral("n")};

    const QCommandLineOption play{
        QStringLiteral("play"),
        QCoreApplication::translate(
            "convert",
            "Передать показ ILDA на лазер: --to idn:HOST[:PORT] или etherdream:HOST[:PORT]."),
        QStringLiteral("show")};
    const QCommandLineOption pps{
        QStringLiteral("pps"),
        QCoreApplication::translate("convert",
                                    "Точек в секунду для --play, от %1 до %2 (по умолчанию %3).")
            .arg(model::stage::kMinPointRate)
            .arg(model::stage::kMaxPointRate)
            .arg(model::stage::Settings{}.pointRate),
        QStringLiteral("n")};
    const QCommandLineOption seconds{
        QStringLiteral("seconds"),
        QCoreApplication::translate(
            "convert", "Остановить --play через столько секунд (по умолчанию — по Ctrl+C)."),
        QStringLiteral("s")};
    const QCommandLineOption zone{
        QStringLiteral("zone"),
        QCoreApplication::translate("convert",
                                    "Зона вывода --play: её размер в процентах и смещения её "
                                    "центра в процентах (по умолчанию 100,0,0)."),
        QStringLiteral("size[,x,y]")};
    const QCommandLineOption fps{
        QStringLiteral("fps"),
        QCoreApplication::translate("convert",
                                    "Кадров в секунду для --play, от %1 до %2 (по умолчанию %3): "
                                    "каждый кадр рисуется снова, пока не выйдет его время.")
            .arg(model::stage::kMinFramesPerSecond)
            .arg(model::stage::kMaxFramesPerSecond)
            .arg(model::stage::Settings{}.framesPerSecond),
        QStringLiteral("n")};
    const QCommandLineOption optimise{
        QStringLiteral("optimise"),
        QCoreApplication::translate(
            "convert",
            "Рисовать кадры --play так, как редактор рисует свои, с задержками в углах и тёмными "
            "переходами, а не точка в точку как в файле.")};

    Parser();
};

// The tracing modes by their names on the command line, in the dialog's order.
inline constexpr const char* kTraceModes[] = {"outline", "edges", "centre"};

// Parses the arguments (arguments[0] is the program) into `p`; the parser's error text when
// they are not the program's options.
QString Parse(Parser& p, const QStringList& arguments);

// The line of a usage error on `err`, and the exit status that goes with it.
int UsageError(QTextStream& err, const QString& text);
// One line per problem on `err`.
void Print(QTextStream& err, const QStringList& problems);
// The extensions of the kinds that have `has`, each after `prefix`: "ilz, plz, ild or svg" for
// the kinds a contour is written in.
QString KindList(const QString& prefix, bool (formats::KindInfo::*has)() const);
inline QString WritableList(const QString& prefix) {
    return KindList(prefix, &formats::KindInfo::contourOut);
}

// Whether IN and OUT name the same file, by their paths or, when OUT exists, through links.
bool SameFile(const QString& in, const QString& out);
// The usage problem of reading `in`: a picture without --trace; empty when there is none.
QString ReadingProblem(const QString& in, const Options& options);

// The options a conversion of files and of text share (ILDA format, frame, spacing, SVG and
// tracing options) into `options`; the usage problem when one is wrong.
QString ConversionOptions(const Parser& p, Options& options);

// The runners of the subcommands, each in a file of its own; each returns the exit status.
// --help and --version (help_command.cpp).
int RunHelp(const Parser& p, QTextStream& out);
// --convert IN OUT, and a batch with --to DIR --as FORMAT (convert_command.cpp).
int RunConvert(const Parser& p, const Options& options, QTextStream& out, QTextStream& err);
// --convert IN... --show OUT.ild (show_command.cpp).
int RunShow(const Parser& p, const Options& options, QTextStream& err);
// --convert --text TEXT OUT (text_command.cpp).
int RunText(const Parser& p, const Options& options, QTextStream& err);
// --play SHOW --to DEVICE (play_command.cpp).
int RunPlay(const Parser& p, QTextStream& err);

}  // namespace convert
