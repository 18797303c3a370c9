// An Ether Dream for the tests, written from its maker's protocol description: one client at a
// time on 127.0.0.1 (or ::1), the light engine and playback state machines, a buffer of 1799
// points played at the point rate by the clock, ACK and the three NAKs. It announces itself to
// no one. It can also hold fewer points, or read its connection slowly, as a DAC that keeps
// answering NAK-full or sits behind a slow link.
// Like a device of its own it runs on its own thread, so that a test that blocks (a window that
// waits for its beam to be blanked) does not stop it; what it saw is read through copies.
#pragma once

#include <QHostAddress>
#include <QThread>
#include <vector>

#include "output/ether_dream.h"

namespace testing_support {

class EtherDreamDac {
  public:
    struct Point {
        quint16 control = 0;
        qint16 x = 0;
        qint16 y = 0;
        quint16 r = 0, g = 0, b = 0, i = 0, u1 = 0, u2 = 0;
        friend bool operator==(const Point&, const Point&) = default;
    };
    static constexpr int kCapacity = 1799;

    explicit EtherDreamDac(const QHostAddress& address = QHostAddress(QHostAddress::LocalHost));
    ~EtherDreamDac();
    quint16 Port() const { return port_; }
    // Drops the client and stops listening, as a DAC that is switched off; Restart listens on
    // the same port again.
    void PowerOff();
    bool Restart();
    // A DAC that hangs: it still plays its buffer but reads and answers nothing.
    void Freeze(bool frozen);
    // A buffer of this many points (0: every data command is answered NAK-full).
    void SetCapacity(int points);
    // Reads at most this many bytes a second from the host, through small receive buffers, so
    // that the host sees its data go out as slowly; 0 reads at once. Set before the host comes.
    void ReadSlowly(int bytesPerSecond);

    // What happened so far.
    std::vector<char> Commands() const;
    // The answer each of them had: 'a', 'F', 'I' or '!'.
    std::vector<char> Answers() const;
    int Naks() const;
    int Underflows() const;
    int Connections() const;
    qint64 BytesRead() const;
    std::vector<Point> Played() const;
    size_t PlayedCount() const;
    output::ether_dream::Status State() const;
    // Where in `Commands()` a command came last; -1 if it never did.
    int LastIndexOf(char command) const;

  private:
    class Device;
    QThread thread_;
    QObject* anchor_ = nullptr;  // on the thread: where the calls to the device run
    Device* device_ = nullptr;
    quint16 port_ = 0;
};

}  // namespace testing_support
