// An IDN receiver on 127.0.0.1 (or ::1) for the tests: it keeps what arrives and writes it as a
// capture file, which tshark's IDN dissector reads back; the samples, configuration and timestamps
// are then taken from what tshark decodes, not from this program's own packet code.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QUdpSocket>
#include <vector>

#include "model/output_stage.h"
#include "output/idn_packets.h"

namespace testing_support {

using model::stage::Sample;

// Datagrams as they arrive, with the time they came.
struct Arrival {
    QByteArray bytes;
    qint64 us = 0;
};

class IdnReceiver {
  public:
    explicit IdnReceiver(const QHostAddress& address = QHostAddress(QHostAddress::LocalHost)) {
        socket_.bind(address, 0);
        QObject::connect(&socket_, &QUdpSocket::readyRead, [this] {
            while (socket_.hasPendingDatagrams()) {
                QByteArray d(socket_.pendingDatagramSize(), '\0');
                senderPort_ = 0;
                socket_.readDatagram(d.data(), d.size(), nullptr, &senderPort_);
                arrivals_.push_back({d, QDateTime::currentMSecsSinceEpoch() * 1000});
            }
        });
    }
    quint16 Port() const { return socket_.localPort(); }
    const std::vector<Arrival>& Arrivals() const { return arrivals_; }
    // Samples so far, counted from the message sizes (7 bytes each after the headers).
    bool Closed() const {
        return !arrivals_.empty() &&
               quint8(arrivals_.back().bytes[0]) == output::idn::kMessageClose;
    }

    // A capture file of raw IPv4 packets (link type 101), UDP from the sender's port to ours.
    QByteArray Pcap() const {
        QByteArray out;
        auto le32 = [&](quint32 v) {
            for (int i = 0; i < 4; ++i)
                out.append(char(v >> (8 * i)));
        };
        auto le16 = [&](quint16 v) { out.append(char(v)).append(char(v >> 8)); };
        le32(0xa1b2c3d4);
        le16(2);
        le16(4);
        le32(0);
        le32(0);
        le32(65535);
        le32(101);
        for (const Arrival& a : arrivals_) {
            QByteArray ip;
            auto be16 = [&](quint16 v) { ip.append(char(v >> 8)).append(char(v)); };
            const int udpLength = 8 + int(a.bytes.size());
            ip.append(char(0x45)).append(char(0));
            be16(quint16(20 + udpLength));
            be16(0);
            be16(0);
            ip.append(char(64)).append(char(17));
            be16(0);
            ip.append("\x7f\x00\x00\x01\x7f\x00\x00\x01", 8);
            be16(senderPort_);
            be16(Port());
            be16(quint16(udpLength));
            be16(0);
            ip.append(a.bytes);
            le32(quint32(a.us / 1'000'000));
            le32(quint32(a.us % 1'000'000));
            le32(quint32(ip.size()));
            le32(quint32(ip.size()));
            out.append(ip);
        }
        return out;
    }

  private:
    QUdpSocket socket_;
    std::vector<Arrival> arrivals_;
    quint16 senderPort_ = 0;
};

// One IDN message as tshark shows it.
struct Decoded {
    QString command;
    bool configured = false;
    bool configBeforeSamples = false;
    bool closes = false;
    QString layout;
    qint64 timestamp = -1;
    qint64 duration = -1;
    std::vector<Sample> samples;
};

inline std::vector<Decoded> Tshark(const QString& capture, quint16 port, QString& error) {
    QProcess p;
    p.start(QStringLiteral("tshark"),
            {QStringLiteral("-r"), capture, QStringLiteral("-V"), QStringLiteral("-d"),
             QStringLiteral("udp.port==%1,idn").arg(port)});
    if (!p.waitForFinished(60'000) || p.exitCode() != 0) {
        error = QStringLiteral("tshark: ") + QString::fromUtf8(p.readAllStandardError());
        return {};
    }
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n');
    static const QRegularExpression command(QStringLiteral(R"(^\s+Command code: (\w+))"));
    static const QRegularExpression timestamp(QStringLiteral(R"(^\s+Timestamp: (\d+))"));
    static const QRegularExpression duration(QStringLiteral(R"(^\s+Duration: (\d+))"));
    static const QRegularExpression close(QStringLiteral(R"(^\s+\.\.\.\. \.\.1\. = Close: 1)"));
    static const QRegularExpression layout(QStringLiteral(R"(^\s+Samples (\(.*\))$)"));
    static const QRegularExpression sample(
        QStringLiteral(R"(^\s+Sample\s+\d+:\s+(\d+)\s+(\d+)\s+(\d+)\s+(\d+)\s+(\d+)\s*$)"));
    std::vector<Decoded> out;
    for (const QString& line : lines) {
        QRegularExpressionMatch m;
        if ((m = command.match(line)).hasMatch()) {
            Decoded d;
            d.command = m.captured(1);
            out.push_back(d);
        } else if (out.empty()) {
            continue;
        } else if (line.contains(QStringLiteral("Channel Configuration Header"))) {
            out.back().configured = true;
            out.back().configBeforeSamples = out.back().samples.empty();
        } else if ((m = close.match(line)).hasMatch()) {
            out.back().closes = true;
        } else if ((m = timestamp.match(line)).hasMatch()) {
            out.back().timestamp = m.captured(1).toLongLong();
        } else if ((m = duration.match(line)).hasMatch()) {
            out.back().duration = m.captured(1).toLongLong();
        } else if ((m = layout.match(line)).hasMatch()) {
            out.back().layout = m.captured(1);
        } else if ((m = sample.match(line)).hasMatch()) {
            // 16-bit fields are shown unsigned.
            out.back().samples.push_back(
                {int16_t(quint16(m.captured(1).toUInt())), int16_t(quint16(m.captured(2).toUInt())),
                 uint8_t(m.captured(3).toUInt()), uint8_t(m.captured(4).toUInt()),
                 uint8_t(m.captured(5).toUInt())});
        }
    }
    return out;
}

// Writes the capture and reads it back through tshark; empty with `error` set when tshark
// cannot.
inline std::vector<Decoded> Decode(const IdnReceiver& receiver, const QString& capture,
                                   QString& error) {
    QFile file(capture);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("cannot write ") + capture;
        return {};
    }
    file.write(receiver.Pcap());
    file.close();
    return Tshark(capture, receiver.Port(), error);
}

}  // namespace testing_support
