// --help and --version: what the program is and takes, on standard output.
#include "convert/options.h"

namespace convert {

int RunHelp(const Parser& p, QTextStream& out) {
    if (p.parser.isSet(p.help) || p.parser.isSet(QStringLiteral("help-all"))) {
        out << p.parser.helpText();
    } else {
        out << "quorinimage " << QUORINIMAGE_VERSION << '\n';
    }
    return kExitDone;
}

}  // namespace convert
