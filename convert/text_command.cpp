// --convert --text TEXT OUT: the text as a contour of its own, in a Hershey or system font.
#include "convert/options.h"
#include "formats/kinds.h"

namespace convert {

int RunText(const Parser& p, const Options& options, QTextStream& err) {
    const QStringList files = p.parser.positionalArguments();
    if (p.parser.isSet(p.to) || p.parser.isSet(p.show) || p.parser.isSet(p.trace) ||
        files.size() != 1) {
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
        if (!number ||
            !(text.height >= formats::kMinTextHeight && text.height <= formats::kMaxTextHeight)) {
            return UsageError(err, QStringLiteral("--height takes %1 to %2 pixels, not '%3'")
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
