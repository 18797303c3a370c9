// The headless player, run as a user runs it, to an IDN receiver on 127.0.0.1: every frame of a
// show written here byte by byte goes out in turn for its time, round and round, and the
// end (the time up, or Ctrl+C) is a dark frame and the channel's close. Its usage errors and
// the styles the ILDA reader gives each point.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <map>

#include "model/ilda.h"
#include "model/show_stream.h"
#include "support/ether_dream_dac.h"
#include "support/idn_capture.h"
#include "support/program.h"
#include "support/wait.h"

using model::PointStyle;
using model::stage::Sample;
using testing_support::Decoded;
using testing_support::IdnReceiver;
using testing_support::WaitUntil;

namespace {

struct Record {
    int16_t x, y;
    bool blanked;
    uint8_t r, g, b;  // format 5; format 1 takes `r` as the palette index
};

// One ILDA section: "ILDA", three zero bytes, the format, name and company (8 each), the
// record count, the frame number, the frame count, the projector and a reserved byte, then the
// records (big-endian coordinates, the status with 0x40 for blanked and 0x80 on the last).
QByteArray Section(uint8_t format, const std::vector<Record>& records, int number, int total) {
    QByteArray out("ILDA\0\0\0", 7);
    out.append(char(format));
    out.append(QByteArray("frame").leftJustified(8, '\0'));
    out.append(QByteArray("test").leftJustified(8, '\0'));
    auto be16 = [&out](int v) { out.append(char((v >> 8) & 0xFF)).append(char(v & 0xFF)); };
    be16(int(records.size()));
    be16(number);
    be16(total);
    out.append(2, '\0');
    for (size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        be16(uint16_t(r.x));
        be16(uint16_t(r.y));
        out.append(char((r.blanked ? 0x40 : 0) | (i + 1 == records.size() ? 0x80 : 0)));
        if (format == 5) {
            out.append(char(r.b)).append(char(r.g)).append(char(r.r));
        } else {
            out.append(char(r.r));
        }
    }
    return out;
}

const std::vector<Record> kFirst{{-20000, 10000, false, 255, 0, 0},
                                 {0, 20000, true, 0, 0, 0},
                                 {15000, -5000, false, 0, 255, 128}};
const std::vector<Record> kSecond{{5000, 5000, false, 0, 0, 0}, {-5000, -12000, false, 0, 0, 0}};

QByteArray Show() {
    return Section(5, kFirst, 0, 2) + Section(1, kSecond, 1, 2) + Section(5, {}, 0, 0);
}

// Two triangles of lit points 40,000 units apart, each within 2,300 of its centre.
QByteArray Apart() {
    const std::vector<Record> left{{-21000, -1000, false, 0, 255, 0},
                                   {-19000, -1000, false, 0, 255, 0},
                                   {-20000, 1000, false, 0, 255, 0}};
    std::vector<Record> right = left;
    for (Record& r : right) {
        r.x = int16_t(r.x + 40000);
    }
    return Section(5, left, 0, 2) + Section(5, right, 1, 2) + Section(5, {}, 0, 0);
}

// What the player sends of the show at the given settings: the show in time, once round, every
// frame as made.
std::vector<std::vector<Sample>> Streams(const QByteArray& show, int rate, model::stage::Zone zone,
                                         int fps = 25) {
    const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(show.constData()),
                                        size_t(show.size()));
    model::stage::Settings s;
    s.pointRate = rate;
    s.zone = zone;
    s.framesPerSecond = fps;
    std::vector<model::Frame> frames;
    for (const auto& info : model::ilda::ListFrames(data).frames) {
        const auto frame = model::ilda::DecodeFrame(data, info);
        frames.push_back({frame.points, frame.styles, {}});
    }
    return {model::stage::Samples(
        model::stage::BuildShow(frames, std::vector<bool>(frames.size(), true), s))};
}

// The samples of the data messages in order, whether the last message closes the channel, and
// how many samples at the end are dark.
struct Heard {
    std::vector<Sample> samples;
    bool closed = false;
    size_t darkAtEnd = 0;
};

// Whether every sample from `from` on is dark.
bool DarkFrom(const std::vector<Sample>& samples, size_t from) {
    return std::all_of(samples.begin() + qsizetype(from), samples.end(),
                       [](const Sample& s) { return s.Dark(); });
}

Heard Hear(const IdnReceiver& receiver, const QTemporaryDir& dir, QString& error) {
    const std::vector<Decoded> messages =
        testing_support::Decode(receiver, dir.filePath(QStringLiteral("play.pcap")), error);
    Heard h;
    for (const Decoded& m : messages) {
        h.samples.insert(h.samples.end(), m.samples.begin(), m.samples.end());
    }
    h.closed = !messages.empty() && messages.back().command == QStringLiteral("MESSAGE_CLOSE");
    while (h.darkAtEnd < h.samples.size() && h.samples[h.samples.size() - 1 - h.darkAtEnd].Dark()) {
        ++h.darkAtEnd;
    }
    return h;
}

// How many samples from the start follow the frames in turn, round and round.
size_t InTurn(const std::vector<Sample>& heard, const std::vector<std::vector<Sample>>& frames) {
    size_t at = 0;
    for (size_t f = 0;; f = (f + 1) % frames.size()) {
        for (const Sample& s : frames[f]) {
            if (at == heard.size() || heard[at] != s) {
                return at;
            }
            ++at;
        }
    }
}

}  // namespace

TEST(Play, TheIldaReaderGivesEachPointItsStyle) {
    const QByteArray show = Show();
    const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(show.constData()),
                                        size_t(show.size()));
    const auto list = model::ilda::ListFrames(data);
    ASSERT_EQ(list.frames.size(), 2u);
    // Index 0 of the standard palette is red; a blanked point keeps its record's colour, black.
    const PointStyle darkBlack{0x000000, true, true};
    const std::vector<std::vector<PointStyle>> expected{
        {PointStyle::Colour(0xFF0000), darkBlack, PointStyle::Colour(0x00FF80)},
        {PointStyle::Colour(0xFF0000), PointStyle::Colour(0xFF0000)}};
    for (size_t f = 0; f < 2; ++f) {
        EXPECT_EQ(model::ilda::DecodeFrame(data, list.frames[f]).styles, expected[f]) << f;
    }
}

// The two ways a play to an IDN unit ends: its time up, or Ctrl+C once packets arrive. Either
// way the frames went out in turn, then dark, and the channel was closed. A time up sends the
// seconds' samples at the rate exactly, then the dark frame (a fiftieth of a second's worth).
TEST(Play, TheShowGoesOutFrameByFrameUntilTheTimeIsUpOrCtrlCThenDark) {
    struct Row {
        const char* what;
        QStringList extra;
        bool interrupt;
        int rate;
        model::stage::Zone zone;
        size_t leastInTurn;
        size_t heard;  // every sample, the dark frame's too; 0 for Ctrl+C
        QHostAddress address = QHostAddress(QHostAddress::LocalHost);
        const char* host = "127.0.0.1";
    };
    const std::vector<Row> rows{
        // Half a second at 20,000 points/s: the frames in turn many times over.
        {"half a second, rate and zone set",
         {QStringLiteral("--pps"), QStringLiteral("20000"), QStringLiteral("--seconds"),
          QStringLiteral("0.5"), QStringLiteral("--zone"), QStringLiteral("50,10,-20")},
         false,
         20'000,
         {50, 10, -20},
         5000,
         10'000 + 400},
        {"Ctrl+C", {}, true, model::stage::Settings{}.pointRate, {}, 0, 0},
        {"to ::1",
         {QStringLiteral("--seconds"), QStringLiteral("0.3")},
         false,
         model::stage::Settings{}.pointRate,
         {},
         5000,
         9000 + 600,
         QHostAddress(QHostAddress::LocalHostIPv6),
         "[::1]"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        QTemporaryDir dir;
        const QString show = dir.filePath(QStringLiteral("show.ild"));
        testing_support::WriteFile(show, Show());
        IdnReceiver receiver(r.address);
        QProcess p;
        p.start(
            testing_support::ProgramPath(),
            QStringList{
                QStringLiteral("--play"), show, QStringLiteral("--to"),
                QStringLiteral("idn:%1:%2").arg(QString::fromUtf8(r.host)).arg(receiver.Port())} +
                r.extra);
        if (r.interrupt) {
            ASSERT_TRUE(WaitUntil([&] { return receiver.Arrivals().size() > 20; }, 10'000));
            ::kill(pid_t(p.processId()), SIGINT);
        }
        ASSERT_TRUE(WaitUntil([&] { return p.state() == QProcess::NotRunning; }, 15'000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        ASSERT_TRUE(WaitUntil([&] { return receiver.Closed(); }, 2000));
        QString error;
        const Heard h = Hear(receiver, dir, error);
        ASSERT_FALSE(h.samples.empty()) << error.toStdString();
        const auto frames = Streams(Show(), r.rate, r.zone);
        EXPECT_GE(InTurn(h.samples, frames), r.leastInTurn);
        EXPECT_TRUE(DarkFrom(h.samples, InTurn(h.samples, frames)));
        EXPECT_GE(h.darkAtEnd, 20u);
        EXPECT_TRUE(h.closed);
        if (r.heard > 0) {
            EXPECT_EQ(h.samples.size(), r.heard);
        }
    }
}

// To an Ether Dream: the show in time from its first frame, the seconds' points at the rate
// exactly (the points the DAC played, counted by the test DAC), then dark, then its stop,
// without a NAK or an underrun. Two frames far apart at 10 frames a second: 20 frames in two
// seconds, the beam never moved further than the jump step (4000) from one point to the next.
TEST(Play, TheShowToAnEtherDreamPlaysInTurnForItsSecondsAndEndsWithItsStop) {
    struct Row {
        const char* what;
        double seconds;
        QHostAddress address = QHostAddress(QHostAddress::LocalHost);
        const char* host = "127.0.0.1";
        QByteArray bytes = Show();
        int fps = 25;
        int frames = 0;      // lit runs played, one side to the other; 0: not counted
        double largest = 0;  // the longest step played; 0: not measured
    };
    const int rate = model::stage::Settings{}.pointRate;
    const QHostAddress local(QHostAddress::LocalHost);
    for (const Row& r : {Row{"half a second", 0.5}, Row{"two seconds", 2},
                         Row{"to ::1", 0.5, QHostAddress(QHostAddress::LocalHostIPv6), "[::1]"},
                         Row{"frames apart", 2, local, "127.0.0.1", Apart(), 10, 20, 4000}}) {
        SCOPED_TRACE(r.what);
        QTemporaryDir dir;
        const QString show = dir.filePath(QStringLiteral("show.ild"));
        testing_support::WriteFile(show, r.bytes);
        testing_support::EtherDreamDac dac(r.address);
        QProcess p;
        p.start(testing_support::ProgramPath(),
                {QStringLiteral("--play"), show, QStringLiteral("--to"),
                 QStringLiteral("etherdream:%1:%2").arg(QString::fromUtf8(r.host)).arg(dac.Port()),
                 QStringLiteral("--seconds"), QString::number(r.seconds), QStringLiteral("--fps"),
                 QString::number(r.fps)});
        ASSERT_TRUE(WaitUntil([&] { return p.state() == QProcess::NotRunning; }, 15'000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        const auto commands = dac.Commands();
        ASSERT_FALSE(commands.empty());
        EXPECT_EQ(commands.back(), 's');
        EXPECT_EQ(dac.Naks(), 0);
        EXPECT_EQ(dac.Underflows(), 0);
        std::vector<Sample> played;
        for (const auto& point : dac.Played()) {
            played.push_back({point.x, point.y, uint8_t(point.r / 257), uint8_t(point.g / 257),
                              uint8_t(point.b / 257)});
        }
        const auto frames = Streams(r.bytes, rate, {}, r.fps);
        EXPECT_EQ(InTurn(played, frames), size_t(std::lround(r.seconds * rate)));
        EXPECT_TRUE(DarkFrom(played, InTurn(played, frames)));
        int runs = 0;
        int side = 0;
        double largest = 0;
        for (size_t i = 0; i < played.size(); ++i) {
            const Sample p = played[i], q = played[i > 0 ? i - 1 : 0];
            largest = std::max(largest, std::hypot(double(p.x) - q.x, double(p.y) - q.y));
            if (!p.Dark() && (p.x < 0 ? -1 : 1) != side) {
                side = p.x < 0 ? -1 : 1;
                ++runs;
            }
        }
        if (r.frames > 0) {
            EXPECT_EQ(runs, r.frames);
            EXPECT_LE(largest, r.largest);
        }
    }
}

// Usage errors, files that cannot be played and devices that cannot be played to each end the
// program with their status and name the cause; a show cut short plays its whole frames.
TEST(Play, UsageErrorsAndFilesAndDevicesThatCannotBePlayed) {
    QTemporaryDir dir;
    const QString show = dir.filePath(QStringLiteral("show.ild"));
    testing_support::WriteFile(show, Show());
    const QString notIlda = dir.filePath(QStringLiteral("text.ild"));
    testing_support::WriteFile(notIlda, "not a show");
    // The show's two frames, then a frame of three 8-byte records cut after the first.
    const QString cut = dir.filePath(QStringLiteral("cut.ild"));
    testing_support::WriteFile(
        cut, (Section(5, kFirst, 0, 3) + Section(1, kSecond, 1, 3) + Section(5, kFirst, 2, 3))
                 .chopped(2 * 8));
    // Ports on 127.0.0.1 that nothing listens on: taken, then given back.
    QUdpSocket udp;
    ASSERT_TRUE(udp.bind(QHostAddress::LocalHost, 0));
    const quint16 closedUdp = udp.localPort();
    udp.close();
    QTcpServer tcp;
    ASSERT_TRUE(tcp.listen(QHostAddress::LocalHost, 0));
    const quint16 closedTcp = tcp.serverPort();
    tcp.close();
    IdnReceiver listening;
    testing_support::EtherDreamDac nakFull;
    nakFull.SetCapacity(0);
    testing_support::EtherDreamDac frozen;
    frozen.Freeze(true);
    const std::map<QString, QString> names{
        {QStringLiteral("SHOW"), show},
        {QStringLiteral("TEXT"), notIlda},
        {QStringLiteral("NONE"), dir.filePath(QStringLiteral("none.ild"))},
        {QStringLiteral("CUT"), cut},
        // A device that is never reached.
        {QStringLiteral("TO"), QStringLiteral("idn:127.0.0.1:9")},
        {QStringLiteral("IDN_CLOSED"), QStringLiteral("idn:127.0.0.1:%1").arg(closedUdp)},
        {QStringLiteral("IDN"), QStringLiteral("idn:127.0.0.1:%1").arg(listening.Port())},
        {QStringLiteral("ED_CLOSED"), QStringLiteral("etherdream:127.0.0.1:%1").arg(closedTcp)},
        {QStringLiteral("ED_FULL"), QStringLiteral("etherdream:127.0.0.1:%1").arg(nakFull.Port())},
        {QStringLiteral("ED_FROZEN"), QStringLiteral("etherdream:127.0.0.1:%1").arg(frozen.Port())},
    };
    struct Row {
        std::vector<const char*> arguments;
        int exit;
        const char* says;
    };
    const std::vector<Row> rows{
        {{"--play", "SHOW"}, 2, "--play needs --to"},
        {{"--play", "SHOW", "--to", "dmx:127.0.0.1"}, 2, "not 'dmx:127.0.0.1'"},
        {{"--play", "SHOW", "--to", "TO", "--pps", "5000"}, 2, "--pps takes 12000 to 100000"},
        {{"--play", "SHOW", "--to", "TO", "--seconds", "0"}, 2, "--seconds takes a time above 0"},
        {{"--play", "SHOW", "--to", "TO", "--fps", "0"}, 2, "--fps takes 1 to 100"},
        {{"--play", "SHOW", "--to", "TO", "--zone", "0"}, 2, "--zone takes SIZE[,X,Y]"},
        {{"--play", "SHOW", "--to", "TO", "--zone", "50,200,0"}, 2, "--zone takes SIZE[,X,Y]"},
        {{"--play", "SHOW", "--to", "TO", "--convert"}, 2, "one at a time"},
        {{"--pps", "30000", "--convert", "SHOW", "x.ilz"}, 2, "--pps goes with --play"},
        {{"--play", "NONE", "--to", "TO"}, 1, "none.ild: "},
        {{"--play", "TEXT", "--to", "TO"}, 1, "No ILDA frame to play"},
        {{"--play", "CUT", "--to", "IDN", "--seconds", "0.2"}, 0, "cut.ild: the file ends early"},
        // A name the resolver refuses without asking the network (an empty label).
        {{"--play", "SHOW", "--to", "idn:no-such-host..invalid"}, 1, "address not found"},
        {{"--play", "SHOW", "--to", "etherdream:no-such-host..invalid"}, 1, "address not found"},
        {{"--play", "SHOW", "--to", "IDN_CLOSED", "--seconds", "3"}, 1, "connection refused"},
        {{"--play", "SHOW", "--to", "ED_CLOSED", "--seconds", "3"}, 1, "connection refused"},
        {{"--play", "SHOW", "--to", "ED_FROZEN", "--seconds", "3"}, 1, "does not answer"},
        {{"--play", "SHOW", "--to", "ED_FULL", "--seconds", "0.5"}, 1, "no point was played"},
    };
    for (const Row& r : rows) {
        QStringList arguments;
        for (const char* a : r.arguments) {
            const QString given = QString::fromUtf8(a);
            const auto named = names.find(given);
            arguments << (named != names.end() ? named->second : given);
        }
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        // The command line's messages as they read in English.
        const auto run = testing_support::RunProgram(arguments, dir.path(), false,
                                                     testing_support::Texts::English);
        EXPECT_EQ(run.exitCode, r.exit);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(r.says))) << run.err.toStdString();
    }
}
