#include "output/ether_dream.h"

#include <algorithm>

namespace output::ether_dream {

namespace {

void Put16(QByteArray& out, quint16 v) {
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

void Put32(QByteArray& out, quint32 v) {
    Put16(out, quint16(v & 0xFFFF));
    Put16(out, quint16(v >> 16));
}

quint16 Get16(const QByteArray& b, int at) {
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

quint32 Get32(const QByteArray& b, int at) {
    return quint32(Get16(b, at)) | quint32(Get16(b, at + 2)) << 16;
}

}  // namespace

QByteArray EncodeResponse(const Response& r) {
    QByteArray out;
    out.append(r.answer);
    out.append(r.command);
    const Status& s = r.status;
    out.append(char(s.protocol));
    out.append(char(s.lightEngine));
    out.append(char(s.playback));
    out.append(char(s.source));
    Put16(out, s.lightEngineFlags);
    Put16(out, s.playbackFlags);
    Put16(out, s.sourceFlags);
    Put16(out, s.bufferFullness);
    Put32(out, s.pointRate);
    Put32(out, s.pointCount);
    return out;
}

std::optional<Response> DecodeResponse(const QByteArray& b) {
    if (b.size() < kResponseSize) {
        return std::nullopt;
    }
    Response r;
    r.answer = b[0];
    r.command = b[1];
    Status& s = r.status;
    s.protocol = quint8(b[2]);
    s.lightEngine = quint8(b[3]);
    s.playback = quint8(b[4]);
    s.source = quint8(b[5]);
    s.lightEngineFlags = Get16(b, 6);
    s.playbackFlags = Get16(b, 8);
    s.sourceFlags = Get16(b, 10);
    s.bufferFullness = Get16(b, 12);
    s.pointRate = Get32(b, 14);
    s.pointCount = Get32(b, 18);
    return r;
}

int Room(int capacity, int fullness, int rate, int aheadMs) {
    const qint64 ahead =
        std::max<qint64>(kLeastData * 2, qint64(std::max(rate, 0)) * aheadMs / 1000);
    const qint64 room = std::min<qint64>(capacity, ahead) - fullness;
    return room >= kLeastData ? int(room) : 0;
}

int CapacityAfterFull(int capacity, int fullness, int points) {
    return std::clamp(fullness + points / 2, kLeastData, std::max(capacity, kLeastData));
}

int PlayMs(int points, int rate) {
    return int(std::clamp<qint64>(qint64(points) * 1000 / std::max(rate, 1), 1, 60'000));
}

QByteArray Prepare() {
    return QByteArray(1, 'p');
}

QByteArray Begin(quint16 lowWaterMark, quint32 pointRate) {
    QByteArray out(1, 'b');
    Put16(out, lowWaterMark);
    Put32(out, pointRate);
    return out;
}

QByteArray Stop() {
    return QByteArray(1, 's');
}

QByteArray Ping() {
    return QByteArray(1, '?');
}

QByteArray Data(std::span<const model::stage::Sample> samples) {
    QByteArray out(1, 'd');
    out.reserve(3 + kPointSize * qsizetype(samples.size()));
    Put16(out, quint16(samples.size()));
    for (const model::stage::Sample& s : samples) {
        Put16(out, 0);  // control: no rate change
        Put16(out, quint16(s.x));
        Put16(out, quint16(s.y));
        Put16(out, quint16(s.r * 257));
        Put16(out, quint16(s.g * 257));
        Put16(out, quint16(s.b * 257));
        Put16(out, quint16(std::max({s.r, s.g, s.b}) * 257));
        Put16(out, 0);
        Put16(out, 0);
    }
    return out;
}

}  // namespace output::ether_dream
