// What goes to a laser over the network: one frame of the output stage's stream, played round
// and round at its point rate until the next one replaces it, and the device it goes to.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "model/output_stage.h"

namespace output {

struct Frame {
    std::vector<model::stage::Sample> samples;
    int pointRate = 30'000;
};

// A frame that only holds the beam dark where it is.
Frame DarkFrame(model::stage::Sample at, int pointRate, int count);

enum class Protocol { Idn, EtherDream };

inline constexpr quint16 kIdnPort = 7255;
inline constexpr quint16 kEtherDreamPort = 7765;
inline constexpr quint16 kEtherDreamBroadcastPort = 7654;

// A device: the protocol, a host (an address or a name) and its port.
struct Target {
    Protocol protocol = Protocol::Idn;
    QString host;
    quint16 port = kIdnPort;
    friend bool operator==(const Target&, const Target&) = default;
};

// "idn:HOST[:PORT]" or "etherdream:HOST[:PORT]", an IPv6 address in brackets ("idn:[::1]");
// nothing for anything else.
std::optional<Target> ParseTarget(const QString& text);
// The same text back, for the status bar and the device list.
QString TargetText(const Target& target);

}  // namespace output
