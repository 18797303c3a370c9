#include "output/frame.h"

namespace output {

Frame DarkFrame(model::stage::Sample at, int pointRate, int count) {
    at.r = at.g = at.b = 0;
    return Frame{std::vector<model::stage::Sample>(size_t(std::max(count, 1)), at), pointRate};
}

std::optional<Target> ParseTarget(const QString& text) {
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0) {
        return std::nullopt;
    }
    const QString scheme = text.left(colon).toLower();
    Target t;
    if (scheme == u"idn") {
        t = {Protocol::Idn, {}, kIdnPort};
    } else if (scheme == u"etherdream") {
        t = {Protocol::EtherDream, {}, kEtherDreamPort};
    } else {
        return std::nullopt;
    }
    QString rest = text.mid(colon + 1);
    const qsizetype port = rest.lastIndexOf(u':');
    if (port >= 0) {
        bool ok = false;
        const uint value = rest.mid(port + 1).toUInt(&ok);
        if (!ok || value == 0 || value > 65535) {
            return std::nullopt;
        }
        t.port = quint16(value);
        rest = rest.left(port);
    }
    if (rest.isEmpty() || rest.contains(u' ')) {
        return std::nullopt;
    }
    t.host = rest;
    return t;
}

QString TargetText(const Target& target) {
    const QString scheme =
        target.protocol == Protocol::Idn ? QStringLiteral("idn") : QStringLiteral("etherdream");
    return scheme + u':' + target.host + u':' + QString::number(target.port);
}

}  // namespace output
