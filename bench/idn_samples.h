// What the benchmarks of the live output read from the IDN packets they receive on 127.0.0.1.
#pragma once

#include <QByteArray>
#include <QUdpSocket>
#include <vector>

#include "model/output_stage.h"

namespace bench {

// The samples of an IDN wave message: after the headers and, when the channel-configuration
// bit is set, the configuration and its tags.
inline std::vector<model::stage::Sample> SamplesOf(const QByteArray& d) {
    if (d.size() < 16 || quint8(d[0]) != 0x40) {
        return {};
    }
    qsizetype at = 4 + 8;
    if ((quint8(d[6]) & 0x40) != 0) {
        at += 4 + 4 * qsizetype(quint8(d[12]));
    }
    at += 4;
    std::vector<model::stage::Sample> out;
    for (; at + 7 <= d.size(); at += 7) {
        out.push_back({int16_t(quint8(d[at]) << 8 | quint8(d[at + 1])),
                       int16_t(quint8(d[at + 2]) << 8 | quint8(d[at + 3])), quint8(d[at + 4]),
                       quint8(d[at + 5]), quint8(d[at + 6])});
    }
    return out;
}

// Hands each datagram waiting on the socket to `each`.
template <typename Each>
void Receive(QUdpSocket& socket, Each each) {
    while (socket.hasPendingDatagrams()) {
        QByteArray d(socket.pendingDatagramSize(), '\0');
        socket.readDatagram(d.data(), d.size());
        each(d);
    }
}

}  // namespace bench
