// IDN to a receiver on 127.0.0.1 that writes what arrives into a capture file, read back by
// tshark's IDN dissector: the samples, their configuration and their timestamps are taken from
// what tshark decodes, not from this program's own packet code.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <cmath>

#include "model/output_stage.h"
#include "output/idn_packets.h"
#include "output/link.h"
#include "support/laser_streams.h"
#include "support/wait.h"

using model::stage::Sample;
using testing_support::WaitUntil;
using testing_support::WorkedStream;

namespace {

// Datagrams as they arrive, with the time they came.
struct Arrival {
    QByteArray bytes;
    qint64 us = 0;
};

class Receiver {
  public:
    Receiver() {
        socket_.bind(QHostAddress::LocalHost, 0);
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

std::vector<Decoded> Tshark(const QString& capture, quint16 port, QString& error) {
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

}  // namespace

TEST(IdnOutput, TargetsAreReadFromTheirText) {
    using output::Protocol;
    struct Row {
        const char* text;
        bool ok;
        Protocol protocol;
        const char* host;
        quint16 port;
    };
    for (const Row& r : std::vector<Row>{
             {"idn:127.0.0.1", true, Protocol::Idn, "127.0.0.1", 7255},
             {"idn:laser.local:7300", true, Protocol::Idn, "laser.local", 7300},
             {"etherdream:10.0.0.5", true, Protocol::EtherDream, "10.0.0.5", 7765},
             {"EtherDream:10.0.0.5:9000", true, Protocol::EtherDream, "10.0.0.5", 9000},
             {"idn:", false, Protocol::Idn, "", 0},
             {"idn:host:0", false, Protocol::Idn, "", 0},
             {"idn:host:70000", false, Protocol::Idn, "", 0},
             {"dmx:host", false, Protocol::Idn, "", 0},
             {"127.0.0.1", false, Protocol::Idn, "", 0},
         }) {
        SCOPED_TRACE(r.text);
        const auto t = output::ParseTarget(QString::fromUtf8(r.text));
        ASSERT_EQ(t.has_value(), r.ok);
        if (r.ok) {
            EXPECT_EQ(t->protocol, r.protocol);
            EXPECT_EQ(t->host, QString::fromUtf8(r.host));
            EXPECT_EQ(t->port, r.port);
            EXPECT_EQ(output::ParseTarget(output::TargetText(*t)), t);
        }
    }
}

TEST(IdnOutput, TsharkReadsTheStagesStreamAtTheSetRateThenADarkFrameAndTheClose) {
    const QString tshark = QStandardPaths::findExecutable(QStringLiteral("tshark"));
    ASSERT_FALSE(tshark.isEmpty()) << "tshark is needed (scripts/install-deps.sh installs it)";
    constexpr int kRate = 30'000;
    const std::vector<Sample> stream = WorkedStream(kRate);
    const size_t n = stream.size();
    Receiver receiver;
    ASSERT_NE(receiver.Port(), 0);
    size_t received = 0;
    {
        output::Link link({output::Protocol::Idn, QStringLiteral("127.0.0.1"), receiver.Port()});
        bool stopped = false;
        QObject::connect(&link, &output::Link::Stopped, [&] { stopped = true; });
        link.Show({stream, kRate});
        ASSERT_TRUE(WaitUntil(
            [&] {
                received = 0;
                for (const Arrival& a : receiver.Arrivals()) {
                    received += size_t(std::max<qsizetype>(a.bytes.size() - 36, 0)) / 7;
                }
                return received > 4 * n;
            },
            5000));
        link.Stop();
        ASSERT_TRUE(WaitUntil([&] { return stopped && receiver.Closed(); }, 5000));
    }
    QTemporaryDir dir;
    const QString capture = dir.filePath(QStringLiteral("idn.pcap"));
    QFile file(capture);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(receiver.Pcap());
    file.close();
    QString error;
    const std::vector<Decoded> messages = Tshark(capture, receiver.Port(), error);
    ASSERT_FALSE(messages.empty()) << error.toStdString();
    ASSERT_EQ(messages.size(), receiver.Arrivals().size());

    // 1. The first message configures the channel before its samples: X, Y, R, G, B.
    EXPECT_EQ(messages.front().command, QStringLiteral("MESSAGE"));
    EXPECT_TRUE(messages.front().configured);
    EXPECT_TRUE(messages.front().configBeforeSamples);
    EXPECT_EQ(messages.front().layout, QStringLiteral("( X Y R G B )"));

    // 2. The samples are the stage's stream round and round, then dark where the beam was.
    std::vector<Sample> samples;
    for (size_t i = 0; i + 1 < messages.size(); ++i) {
        EXPECT_EQ(messages[i].command, QStringLiteral("MESSAGE"));
        samples.insert(samples.end(), messages[i].samples.begin(), messages[i].samples.end());
    }
    size_t played = 0;
    while (played < samples.size() && samples[played] == stream[played % n]) {
        ++played;
    }
    EXPECT_GE(played, 4 * n);
    ASSERT_GE(samples.size() - played, 20u) << "no dark frame after the stream";
    for (size_t i = played; i < samples.size(); ++i) {
        ASSERT_TRUE(samples[i].Dark()) << "sample " << i << " of " << samples.size();
        EXPECT_EQ(samples[i].x, samples[played - 1].x);
        EXPECT_EQ(samples[i].y, samples[played - 1].y);
    }

    // 3. Then the channel is closed.
    EXPECT_EQ(messages.back().command, QStringLiteral("MESSAGE_CLOSE"));
    EXPECT_TRUE(messages.back().closes);

    // 4. Each message lasts its samples at the set rate and the next starts where it ends.
    qint64 total = 0;
    for (size_t i = 0; i + 1 < messages.size(); ++i) {
        const Decoded& m = messages[i];
        const double expected = double(m.samples.size()) * 1e6 / kRate;
        EXPECT_LE(std::abs(double(m.duration) - expected), 1.0) << "message " << i;
        if (i + 2 < messages.size()) {
            EXPECT_EQ(messages[i + 1].timestamp, m.timestamp + m.duration) << "message " << i;
        }
        total += qint64(m.samples.size());
    }
    const Decoded& last = messages[messages.size() - 2];
    const double span = double(last.timestamp + last.duration - messages.front().timestamp);
    EXPECT_LE(std::abs(span - double(total) * 1e6 / kRate), 1.0);
}
