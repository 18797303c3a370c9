// The packets of IDN (ILDA Digital Network) this program sends and reads: IDN-Hello's header
// around IDN-Stream channel messages of wave samples (X and Y at 16 bits, red 638 nm, green
// 532 nm and blue 460 nm at 8 bits), the message that closes the channel.
// Everything on the wire is big-endian.
#pragma once

#include <QByteArray>
#include <span>

#include "model/output_stage.h"

namespace output::idn {

// IDN-Hello commands.
inline constexpr quint8 kMessage = 0x40;
inline constexpr quint8 kMessageClose = 0x44;

// A sample takes 7 bytes; this many keep a packet under an Ethernet frame.
inline constexpr int kMaxSamplesPerMessage = 200;

// A channel message of wave samples, `timestamp` and `duration` in microseconds; with
// `configure` it carries the channel configuration (the sample layout) first.
QByteArray SampleMessage(quint16 sequence, quint32 timestamp, quint32 duration,
                         std::span<const model::stage::Sample> samples, bool configure);
// The message that closes the channel, after which the projector no longer shows it.
QByteArray CloseMessage(quint16 sequence, quint32 timestamp);

}  // namespace output::idn
