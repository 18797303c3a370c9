#include "output/frame.h"

#include <QHostAddress>

namespace output {

Frame DarkFrame(model::stage::Sample at, int pointRate, int count) {
    at.r = at.g = at.b = 0;
    return Frame{std::vector<model::stage::Sample>(size_t(std::max(count, 1)), at), pointRate};
}

std::vector<Frame> ShowFrames(const model::stage::ShowStream& show,
                              const model::stage::Settings& settings) {
    const model::stage::Settings s = model::stage::Clamped(settings);
    std::vector<Frame> frames;
    for (size_t i = 0; i < show.frames.size(); ++i) {
        const model::stage::FrameTime& t = show.frames[i];
        const int number = int(i);
        frames.push_back({t.first, s.pointRate, 1, number, s.jumpStep});
        if (t.drawings > 1) {
            frames.push_back({t.again, s.pointRate, t.drawings - 1, number, s.jumpStep});
        }
        if (!t.onward.empty()) {
            frames.push_back({t.onward, s.pointRate, 1, number, s.jumpStep});
        }
    }
    return frames;
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
    QString host;
    if (rest.startsWith(u'[')) {
        // An IPv6 address in brackets, as in a URL, since its colons would read as a port's.
        const qsizetype close = rest.indexOf(u']');
        host = rest.mid(1, close - 1);
        if (close < 0 || QHostAddress(host).protocol() != QAbstractSocket::IPv6Protocol) {
            return std::nullopt;
        }
        rest = rest.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(u':')) {
            return std::nullopt;
        }
    } else {
        host = rest.section(u':', 0, 0);
        rest = rest.mid(host.size());
    }
    if (!rest.isEmpty()) {
        bool ok = false;
        const uint value = rest.mid(1).toUInt(&ok);
        if (!ok || value == 0 || value > 65535) {
            return std::nullopt;
        }
        t.port = quint16(value);
    }
    if (host.isEmpty() || host.contains(u' ')) {
        return std::nullopt;
    }
    t.host = host;
    return t;
}

QString TargetText(const Target& target) {
    const QString scheme =
        target.protocol == Protocol::Idn ? QStringLiteral("idn") : QStringLiteral("etherdream");
    const QString host = target.host.contains(u':') ? u'[' + target.host + u']' : target.host;
    return scheme + u':' + host + u':' + QString::number(target.port);
}

}  // namespace output
