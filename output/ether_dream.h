// The Ether Dream's protocol as its maker publishes it: commands over TCP (port 7765), each
// answered with the DAC's status; points of 18 bytes, little-endian.
#pragma once

#include <QByteArray>
#include <optional>
#include <span>

#include "model/output_stage.h"

namespace output::ether_dream {

inline constexpr int kResponseSize = 22;
inline constexpr int kPointSize = 18;

enum PlaybackState : quint8 { kIdle = 0, kPrepared = 1, kPlaying = 2 };
enum LightEngineState : quint8 { kReady = 0, kWarmup = 1, kCooldown = 2, kEmergencyStop = 3 };
// playback_flags
inline constexpr quint16 kShutterOpen = 0x01;
inline constexpr quint16 kUnderflow = 0x02;
inline constexpr quint16 kStoppedByEmergency = 0x04;

struct Status {
    quint8 protocol = 0;
    quint8 lightEngine = kReady;
    quint8 playback = kIdle;
    quint8 source = 0;
    quint16 lightEngineFlags = 0;
    quint16 playbackFlags = 0;
    quint16 sourceFlags = 0;
    quint16 bufferFullness = 0;
    quint32 pointRate = 0;
    quint32 pointCount = 0;
};

// The answer to every command: 'a' (ACK), 'F' (buffer full), 'I' (invalid) or '!' (stopped),
// the command it answers and the status after it.
struct Response {
    char answer = 'a';
    char command = '?';
    Status status;
};

QByteArray EncodeResponse(const Response& response);
// The first kResponseSize bytes as an answer; nothing when there are fewer. Every field is the
// DAC's word, read from the network, and may say anything.
std::optional<Response> DecodeResponse(const QByteArray& bytes);

// The flow of points, worked from what the DAC's answers say (and never trusting them to be
// sane): how many points go in the next data command, and how long to wait before asking again.
// The buffer every model holds at least, kept less one point; a data command of fewer points
// than kLeastData waits for the DAC to play more first.
inline constexpr int kSmallestBuffer = 1799;
inline constexpr int kLeastData = 64;
// How many points to send to a buffer of `capacity` that holds `fullness`, to keep it `aheadMs`
// ahead at `rate` (or full): never more than fits, 0 when fewer than kLeastData would go.
int Room(int capacity, int fullness, int rate, int aheadMs);
// What the buffer is taken to hold after a data command of `points` found it at `fullness`
// and was answered NAK-full: less than both together, so half the points over what it held (the
// DAC may have held fewer than it said); at least kLeastData, at most what was thought before.
int CapacityAfterFull(int capacity, int fullness, int points);
// How long a buffer holding `points` takes to play them at `rate`, in milliseconds, at least 1.
int PlayMs(int points, int rate);

QByteArray Prepare();
QByteArray Begin(quint16 lowWaterMark, quint32 pointRate);
QByteArray Stop();
QByteArray Ping();
// 'd' with the samples as points: colours to 16 bits, the intensity their brightest.
QByteArray Data(std::span<const model::stage::Sample> samples);

}  // namespace output::ether_dream
