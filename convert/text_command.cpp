// --convert --text TEXT OUT: the text as a contour of its own, in a Hershey or system font.
#include <QCoreApplication>

#include "convert/options.h"
#include "formats/kinds.h"

namespace convert {

int RunText(const Parser& p, const Options& options, QTextStream& err) {
    const QStringList files = p.parser.positionalArguments();
    if (p.parser.isSet(p.to) || p.parser.isSet(p.show) || p.parser.isSet(p.trace) ||
        files.size() != 1) {
        return UsageError(
            err, QCoreApplication::translate(
                     "convert", "--text записывает один файл OUT: --convert --text TEXT OUT"));
    }
    const formats::KindInfo* to = formats::KindOfName(files[0]);
    if (to == nullptr || !to->contourOut()) {
        return UsageError(
            err, QCoreApplication::translate("convert",
                                             "не удаётся записать «%1»: имя выходного файла должно "
                                             "оканчиваться на %2")
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
        return UsageError(err, QCoreApplication::translate(
                                   "convert",
                                   "--font: нет шрифта «%1» (нужен шрифт Hershey, например "
                                   "futural или cyrillic, или шрифт системы)")
                                   .arg(fontName));
    }
    text.font = *font;
    if (p.parser.isSet(p.height)) {
        bool number = false;
        text.height = p.parser.value(p.height).toDouble(&number);
        if (!number ||
            !(text.height >= formats::kMinTextHeight && text.height <= formats::kMaxTextHeight)) {
            return UsageError(err, QCoreApplication::translate(
                                       "convert", "--height принимает от %1 до %2 пикс., а не «%3»")
                                       .arg(formats::kMinTextHeight)
                                       .arg(formats::kMaxTextHeight)
                                       .arg(p.parser.value(p.height)));
        }
    }
    QStringList problems;
    const bool done = ConvertText(text, files[0], options, problems);
    Print(err, problems);
    return done ? kExitDone : kExitFileProblem;
}

}  // namespace convert
