// What goes to a laser over the network: one frame of the output stage's stream, played round
// and round at its point rate until the next one replaces it, and the device it goes to.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "model/output_stage.h"
#include "model/show_stream.h"

namespace output {

struct Frame {
    std::vector<model::stage::Sample> samples;
    int pointRate = 30'000;
    // How many times the samples are played in a row before the next frame of a list.
    int times = 1;
    // Which frame of a show the samples belong to: a show's new stream goes on from the same
    // frame (Link::Continue).
    int showFrame = 0;
    // The longest step of the dark move into these samples when they replace others; 0 for a
    // move of a few steps, however long.
    int jumpStep = 0;
};

// A frame that only holds the beam dark where it is.
Frame DarkFrame(model::stage::Sample at, int pointRate, int count);

// A show's stream as the frames of a list played in turn: each frame of the show drawn once,
// its drawings again, its way to the next, all marked with its number.
std::vector<Frame> ShowFrames(const model::stage::ShowStream& show,
                              const model::stage::Settings& settings);

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
