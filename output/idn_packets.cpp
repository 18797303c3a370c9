#include "output/idn_packets.h"

namespace output::idn {

namespace {

constexpr quint8 kChannelMessage = 0x80;  // CNL: always set
constexpr quint8 kConfigured = 0x40;      // CNL: a configuration header follows
constexpr quint8 kWaveSamples = 0x01;     // chunk type
constexpr quint8 kRouting = 0x01;         // configuration flags
constexpr quint8 kClose = 0x02;
constexpr quint8 kGraphicContinuous = 0x01;  // service mode
// X, 16-bit precision, Y, 16-bit precision, red, green, blue, and a void tag to fill the word.
constexpr quint16 kLayout[] = {0x4200, 0x4010, 0x4210, 0x4010, 0x527E, 0x5214, 0x51CC, 0x0000};

void Put16(QByteArray& out, quint16 v) {
    out.append(char(v >> 8));
    out.append(char(v & 0xFF));
}

void Put32(QByteArray& out, quint32 v) {
    Put16(out, quint16(v >> 16));
    Put16(out, quint16(v & 0xFFFF));
}

QByteArray Header(quint8 command, quint16 sequence) {
    QByteArray out;
    out.append(char(command));
    out.append(char(0));
    Put16(out, sequence);
    return out;
}

}  // namespace

QByteArray SampleMessage(quint16 sequence, quint32 timestamp, quint32 duration,
                         std::span<const model::stage::Sample> samples, bool configure) {
    QByteArray out = Header(kMessage, sequence);
    const int configSize = configure ? 4 + int(sizeof kLayout) : 0;
    const int total = 8 + configSize + 4 + 7 * int(samples.size());
    out.reserve(4 + total);
    // Channel message header: size, channel 0, chunk type, timestamp.
    Put16(out, quint16(total));
    out.append(char(kChannelMessage | (configure ? kConfigured : 0)));
    out.append(char(kWaveSamples));
    Put32(out, timestamp);
    if (configure) {
        out.append(char(sizeof kLayout / 4));  // 32-bit words of tags
        out.append(char(kRouting));
        out.append(char(0));  // service 0: the unit's default projector
        out.append(char(kGraphicContinuous));
        for (quint16 tag : kLayout) {
            Put16(out, tag);
        }
    }
    // Wave chunk header: flags, then the duration of these samples in 24 bits.
    Put32(out, duration & 0x00FF'FFFFu);
    for (const model::stage::Sample& s : samples) {
        Put16(out, quint16(s.x));
        Put16(out, quint16(s.y));
        out.append(char(s.r));
        out.append(char(s.g));
        out.append(char(s.b));
    }
    return out;
}

QByteArray CloseMessage(quint16 sequence, quint32 timestamp) {
    QByteArray out = Header(kMessageClose, sequence);
    Put16(out, 8 + 4);
    out.append(char(kChannelMessage | kConfigured));
    out.append(char(0));  // no chunk
    Put32(out, timestamp);
    out.append(char(0));  // no tags
    out.append(char(kClose));
    out.append(char(0));
    out.append(char(0));
    return out;
}

}  // namespace output::idn
