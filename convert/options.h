// The options of every subcommand, declared and parsed in one place, and what the subcommands'
// runners share: the usage error, the problem lines, the conversion options of --convert and
// --text. Private to convert/: the program's own entry points are in command_line.h.
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include "convert/command_line.h"
#include "convert/conversion.h"
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
    const QCommandLineOption convert{QStringLiteral("convert"),
                                     QStringLiteral("Convert files without opening a window.")};
    const QCommandLineOption to{QStringLiteral("to"),
                                QStringLiteral("Folder for the files of a batch conversion."),
                                QStringLiteral("dir")};
    const QCommandLineOption as{
        QStringLiteral("as"), QStringLiteral("Format of a batch conversion: ilz, plz, ild or svg."),
        QStringLiteral("format")};
    const QCommandLineOption show{
        QStringLiteral("show"),
        QStringLiteral("Gather the inputs into one ILDA show, a frame for each (every frame of an "
                       "ILDA input) in order."),
        QStringLiteral("out.ild")};
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
            .arg(model::kDefaultSpacing),
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
        QStringLiteral("Height of the capitals of --text, %1 to %2 pixels (default %3); the "
                       "text must lie on the surface.")
            .arg(formats::kMinTextHeight)
            .arg(formats::kMaxTextHeight)
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
    const QCommandLineOption fps{
        QStringLiteral("fps"),
        QStringLiteral("Frames per second of --play, %1 to %2 (default %3): each frame is drawn "
                       "again until its time is up.")
            .arg(model::stage::kMinFramesPerSecond)
            .arg(model::stage::kMaxFramesPerSecond)
            .arg(model::stage::Settings{}.framesPerSecond),
        QStringLiteral("n")};
    const QCommandLineOption optimise{
        QStringLiteral("optimise"),
        QStringLiteral("Draw the frames of --play as the editor draws its own, with corner dwells "
                       "and dark jumps added, instead of point for point as in the file.")};

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
// The extensions of the kinds a contour is written in: "ilz, plz, ild or svg".
QString WritableList(const QString& prefix);

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
