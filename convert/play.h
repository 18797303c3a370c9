// The headless player: an ILDA show streamed to a laser over the network, every frame in turn
// for its share of a second (model/show_stream.h), round and round, until the time is up or
// Ctrl+C; either way the beam is blanked before the program ends.
#pragma once

#include <QString>
#include <QTextStream>

#include "model/output_stage.h"
#include "output/frame.h"

namespace convert {

struct PlayOptions {
    QString file;
    output::Target target;
    int pointRate = model::stage::Settings{}.pointRate;
    double seconds = 0;  // 0: until Ctrl+C
    model::stage::Zone zone;
    int framesPerSecond = model::stage::Settings{}.framesPerSecond;
    // The frames drawn as the editor draws its own (corner dwells, jumps), not point for point.
    bool optimise = false;
};

// "SIZE[,X,Y]": the zone's size and the offsets of its centre, in percent; nothing when the
// text is not that or out of range.
std::optional<model::stage::Zone> ParseZone(const QString& text);

// Plays the show; runs the event loop of the application that exists. With `seconds`, as many
// points as they last at the rate are played. The exit status is --convert's: 0 played (and
// stopped), 1 the file could not be read or has no frame, or the device could not be played to
// (the cause named: address not found, connection refused, the device does not answer, no
// point was played). A show that ends early plays its whole frames, with a note.
int Play(const PlayOptions& options, QTextStream& err);

}  // namespace convert
