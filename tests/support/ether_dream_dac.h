// An Ether Dream for the tests, written from its maker's protocol description: one client at a
// time on 127.0.0.1, the light engine and playback state machines, a buffer of 1799 points
// played at the point rate by the clock, ACK and the three NAKs. It never broadcasts.
#pragma once

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <deque>
#include <vector>

#include "output/ether_dream.h"

namespace testing_support {

class EtherDreamDac : public QObject {
  public:
    struct Point {
        quint16 control = 0;
        qint16 x = 0;
        qint16 y = 0;
        quint16 r = 0, g = 0, b = 0, i = 0, u1 = 0, u2 = 0;
        friend bool operator==(const Point&, const Point&) = default;
    };
    static constexpr int kCapacity = 1799;

    EtherDreamDac();
    ~EtherDreamDac() override;
    quint16 Port() const { return server_.serverPort(); }
    // Drops the client and stops listening, as a DAC that is switched off; Restart listens on
    // the same port again.
    void PowerOff();
    bool Restart();

    // What happened so far.
    const std::vector<char>& Commands() const { return commands_; }
    // The answer each of them had: 'a', 'F', 'I' or '!'.
    const std::vector<char>& Answers() const { return answers_; }
    int Naks() const { return naks_; }
    int Underflows() const { return underflows_; }
    int Connections() const { return connections_; }
    const std::vector<Point>& Played() const { return played_; }
    output::ether_dream::Status State() const { return status_; }
    // Where in `Commands()` a command came last; -1 if it never did.
    int LastIndexOf(char command) const;

  private:
    void Accept();
    void Read();
    // Plays what the clock says has been played since the last look.
    void Play();
    void Answer(char answer, char command);

    QTcpServer server_;
    QTcpSocket* client_ = nullptr;
    QByteArray in_;
    QTimer clock_tick_;
    QElapsedTimer clock_;
    qint64 playedByClock_ = 0;  // points due since playback began
    qint64 startedNs_ = 0;
    output::ether_dream::Status status_;
    std::deque<Point> buffer_;
    std::deque<quint32> rates_;
    std::vector<char> commands_;
    std::vector<char> answers_;
    std::vector<Point> played_;
    int naks_ = 0;
    int underflows_ = 0;
    int connections_ = 0;
    quint16 port_ = 0;
};

}  // namespace testing_support
