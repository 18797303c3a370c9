// The Ether Dream: first the test DAC is shown to answer as the real one by a sender nobody
// here wrote (the npm package @laser-dac/ether-dream, written against the hardware); then the
// editor's own sender comes back to it after a restart or a hang. Playing, following an edit
// and stopping are proven through the Лазер window (laser_window_test.cpp).
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <algorithm>
#include <functional>

#include "output/link.h"
#include "support/ether_dream_dac.h"
#include "support/laser_streams.h"
#include "support/wait.h"

using model::stage::Sample;
using testing_support::EtherDreamDac;
using testing_support::WaitUntil;
using testing_support::WorkedStream;

namespace {

// Point k of the npm script's cycle (tests/ether_dream/stream.js) as the npm sender puts it on
// the wire: it writes a negative coordinate as the number plus 65535, one less than its two's
// complement, and the DAC reads the bytes as they come.
qint16 AsNpmWrites(int v) {
    return qint16(v < 0 ? v - 1 : v);
}

EtherDreamDac::Point NpmPoint(int k) {
    return {0,
            AsNpmWrites(k * 600 - 30000),
            AsNpmWrites(20000 - k * 400),
            quint16((k * 2621) % 65536),
            quint16((k * 1000 + 7) % 65536),
            quint16(65535 - k * 600),
            65535,
            0,
            0};
}

output::Target Dac(const EtherDreamDac& dac) {
    return {output::Protocol::EtherDream, QStringLiteral("127.0.0.1"), dac.Port()};
}

}  // namespace

TEST(EtherDreamOutput, TheNpmSenderStreamsToTheTestDacAsToTheRealOne) {
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    ASSERT_FALSE(node.isEmpty()) << "node is needed";
    const QString folder = QStringLiteral(TEST_DATA_DIR "/../ether_dream");
    ASSERT_TRUE(QFile::exists(folder + QStringLiteral("/node_modules/@laser-dac/ether-dream")))
        << "run scripts/install-deps.sh: it installs the npm sender";
    constexpr int kRate = 20'000;
    EtherDreamDac dac;
    QProcess sender;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ETHER_ADDRESS"), QStringLiteral("127.0.0.1:%1").arg(dac.Port()));
    sender.setProcessEnvironment(env);
    sender.setWorkingDirectory(folder);
    sender.start(node,
                 {QStringLiteral("stream.js"), QString::number(kRate), QStringLiteral("1.5")});
    ASSERT_TRUE(WaitUntil([&] { return sender.state() == QProcess::NotRunning; }, 30'000));
    ASSERT_EQ(sender.exitCode(), 0) << sender.readAllStandardError().toStdString();

    // 1. It stops first (refused: nothing plays yet), prepares, sends points, begins, and is
    // answered with ACK from there to its own stop at the end.
    const auto& commands = dac.Commands();
    const auto& answers = dac.Answers();
    ASSERT_GE(commands.size(), 5u);
    EXPECT_EQ(commands[0], 's');
    EXPECT_EQ(answers[0], 'I');
    EXPECT_EQ(commands[1], 'p');
    EXPECT_EQ(commands[2], 'd');
    EXPECT_EQ(commands[3], 'b');
    const int stop = dac.LastIndexOf('s');
    ASSERT_GT(stop, 3);
    for (int i = 1; i <= stop; ++i) {
        EXPECT_EQ(answers[size_t(i)], 'a') << "command " << i << " '" << commands[size_t(i)] << "'";
    }
    // 2. What it sent was played in order at its rate, without running dry, and its stop left
    // the DAC idle with the light engine ready.
    EXPECT_EQ(dac.Underflows(), 0);
    const auto& played = dac.Played();
    ASSERT_GT(played.size(), size_t(kRate));
    for (size_t j = 0; j < played.size(); ++j) {
        ASSERT_EQ(played[j], NpmPoint(int(j % 100))) << "point " << j;
    }
    EXPECT_EQ(dac.State().playback, output::ether_dream::kIdle);
    EXPECT_EQ(dac.State().lightEngine, output::ether_dream::kReady);
}

// A DAC that goes away, restarted or no longer answering, is found again: the link says the
// connection was lost, connects a second time and plays on without a NAK.
TEST(EtherDreamOutput, TheSenderComesBackToADacThatWentAway) {
    constexpr int kRate = 30'000;
    const std::vector<Sample> stream = WorkedStream(kRate);
    struct Row {
        const char* how;
        std::function<void(EtherDreamDac&)> lose;
        std::function<void(EtherDreamDac&)> back;
    };
    for (const Row& r : std::vector<Row>{
             {"restarted", [](EtherDreamDac& d) { d.PowerOff(); },
              [](EtherDreamDac& d) { ASSERT_TRUE(d.Restart()); }},
             {"not answering", [](EtherDreamDac& d) { d.Freeze(true); },
              [](EtherDreamDac& d) { d.Freeze(false); }},
         }) {
        SCOPED_TRACE(r.how);
        EtherDreamDac dac;
        QStringList said;
        output::Link link(Dac(dac));
        QObject::connect(&link, &output::Link::Status, [&](const QString& s) { said << s; });
        link.Show({stream, kRate});
        ASSERT_TRUE(WaitUntil([&] { return dac.PlayedCount() > 3 * stream.size(); }, 5000));
        r.lose(dac);
        ASSERT_TRUE(
            WaitUntil([&] { return !said.filter(QStringLiteral("потеряна")).isEmpty(); }, 5000));
        const size_t before = dac.PlayedCount();
        r.back(dac);
        ASSERT_TRUE(WaitUntil(
            [&] {
                return dac.Connections() == 2 && dac.PlayedCount() > before + 3 * stream.size();
            },
            10'000));
        EXPECT_EQ(dac.Naks(), 0);
    }
}

// A DAC that holds fewer points than the sender first offers, one that answers every data
// command NAK-full and one that reads its connection slowly (20 kB/s, far below the stream):
// after a NAK-full the sender asks for the status before it sends again, the points not taken
// go again, and it plays on its first connection wherever the DAC can play at all.
TEST(EtherDreamOutput, AFullOrSlowDacIsFedWhatItTakesOnOneConnection) {
    constexpr int kRate = 30'000;
    const std::vector<Sample> stream = WorkedStream(kRate);
    struct Row {
        const char* what;
        int capacity;
        int bytesPerSecond;
        bool plays;
    };
    for (const Row& r : std::vector<Row>{
             {"holds 500 points", 500, 0, true},
             {"answers NAK-full", 0, 0, false},
             {"reads 20 kB/s", EtherDreamDac::kCapacity, 20'000, true},
         }) {
        SCOPED_TRACE(r.what);
        EtherDreamDac dac;
        dac.SetCapacity(r.capacity);
        dac.ReadSlowly(r.bytesPerSecond);
        output::Link link(Dac(dac));
        link.Show({stream, kRate});
        const auto naks = [&] {
            const auto answers = dac.Answers();
            return std::count(answers.begin(), answers.end(), 'F');
        };
        if (r.plays) {
            ASSERT_TRUE(WaitUntil([&] { return dac.PlayedCount() > 2 * stream.size(); }, 15'000));
            EXPECT_LE(naks(), 2);
            // Points not taken went again: the stream in turn from its start, none left out.
            const auto played = dac.Played();
            for (size_t j = 0; j < played.size(); ++j) {
                const Sample& s = stream[j % stream.size()];
                ASSERT_TRUE(played[j].x == s.x && played[j].y == s.y && played[j].r == s.r * 257)
                    << "point " << j;
            }
        } else {
            ASSERT_TRUE(WaitUntil([&] { return naks() >= 5; }, 15'000));
            EXPECT_EQ(dac.PlayedCount(), 0u);
        }
        EXPECT_EQ(dac.Connections(), 1);
        const auto commands = dac.Commands();
        const auto answers = dac.Answers();
        for (size_t i = 0; i + 1 < commands.size(); ++i) {
            if (answers[i] == 'F') {
                EXPECT_EQ(commands[i + 1], '?') << "after NAK-full " << i;
            }
        }
    }
}
