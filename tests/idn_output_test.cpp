// IDN to a receiver on 127.0.0.1 that writes what arrives into a capture file, read back by
// tshark's IDN dissector: the samples, their configuration and their timestamps are taken from
// what tshark decodes, not from this program's own packet code.
#include <gtest/gtest.h>

#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>

#include "model/output_stage.h"
#include "output/idn_packets.h"
#include "output/link.h"
#include "support/idn_capture.h"
#include "support/laser_streams.h"
#include "support/wait.h"

using model::stage::Sample;
using testing_support::Arrival;
using testing_support::Decoded;
using testing_support::IdnReceiver;
using testing_support::WaitUntil;
using testing_support::WorkedStream;

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
             {"idn:localhost:7300", true, Protocol::Idn, "localhost", 7300},
             {"etherdream:127.0.0.1", true, Protocol::EtherDream, "127.0.0.1", 7765},
             {"EtherDream:127.0.0.1:9000", true, Protocol::EtherDream, "127.0.0.1", 9000},
             {"idn:[::1]", true, Protocol::Idn, "::1", 7255},
             {"etherdream:[::1]:7765", true, Protocol::EtherDream, "::1", 7765},
             {"idn:[fe80::1%lo]:7300", true, Protocol::Idn, "fe80::1%lo", 7300},
             {"idn:::1", false, Protocol::Idn, "", 0},
             {"idn:[::1", false, Protocol::Idn, "", 0},
             {"idn:[::1]7300", false, Protocol::Idn, "", 0},
             {"idn:[localhost]", false, Protocol::Idn, "", 0},
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
    IdnReceiver receiver;
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
    QString error;
    const std::vector<Decoded> messages =
        testing_support::Decode(receiver, dir.filePath(QStringLiteral("idn.pcap")), error);
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

// A unit that goes away once it has taken the stream: the messages the system then turns away
// are counted and told while the output goes on, and the count is in the last word.
TEST(IdnOutput, MessagesTurnedAwayAreCountedAndTold) {
    constexpr int kRate = 30'000;
    auto receiver = std::make_unique<IdnReceiver>();
    output::Link link({output::Protocol::Idn, QStringLiteral("127.0.0.1"), receiver->Port()});
    QStringList said;
    bool stopped = false;
    QObject::connect(&link, &output::Link::Status, [&](const QString& s) { said << s; });
    QObject::connect(&link, &output::Link::Stopped, [&] { stopped = true; });
    link.Show({WorkedStream(kRate), kRate});
    // A second and a half of the stream taken, then the port closes.
    ASSERT_TRUE(WaitUntil(
        [&] {
            qint64 samples = 0;
            for (const Arrival& a : receiver->Arrivals()) {
                samples += std::max<qint64>(a.bytes.size() - 36, 0) / 7;
            }
            return samples > kRate * 3 / 2;
        },
        5000));
    receiver.reset();
    ASSERT_TRUE(
        WaitUntil([&] { return !said.filter(QStringLiteral("не отправлено")).isEmpty(); }, 5000))
        << said.join(u'\n').toStdString();
    EXPECT_TRUE(link.Running());
    link.Stop();
    ASSERT_TRUE(WaitUntil([&] { return stopped; }, 5000));
    EXPECT_TRUE(said.back().contains(QStringLiteral("луч погашен; не отправлено пакетов: ")))
        << said.back().toStdString();
}
