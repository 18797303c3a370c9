#include "support/ether_dream_dac.h"

#include <sys/socket.h>
#include <QElapsedTimer>
#include <QMutex>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <utility>

namespace testing_support {

namespace ed = output::ether_dream;

// The DAC itself, on the thread of the one above.
class EtherDreamDac::Device : public QObject {
  public:
    explicit Device(const QHostAddress& address);
    ~Device() override;
    void PowerOff();
    bool Restart();
    quint16 Port() const { return port_; }
    bool frozen_ = false;
    int capacity_ = kCapacity;
    void ReadSlowly(int bytesPerSecond);

    mutable QMutex mutex_;  // guards the state the test reads

  private:
    void Accept();
    void Read();
    // Plays what the clock says has been played since the last look.
    void Play();
    void Answer(char answer, char command);

    // What may be read now, in the slow mode.
    qint64 Allowed() const;

    QTcpServer server_;
    QHostAddress address_;
    QTcpSocket* client_ = nullptr;
    int slowBytesPerSecond_ = 0;
    qint64 slowSinceNs_ = 0;
    qint64 slowTaken_ = 0;
    QTimer slowTick_;
    qint64 bytesRead_ = 0;
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
    friend class EtherDreamDac;
};

namespace {

quint16 Get16(const QByteArray& b, qsizetype at) {
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

quint32 Get32(const QByteArray& b, qsizetype at) {
    return quint32(Get16(b, at)) | quint32(Get16(b, at + 2)) << 16;
}

// Played points kept for the checks; a long run keeps only its start.
constexpr size_t kKeepPlayed = 2'000'000;

}  // namespace

EtherDreamDac::Device::Device(const QHostAddress& address) : address_(address) {
    status_.protocol = 0;
    server_.listen(address_, 0);
    port_ = server_.serverPort();
    connect(&server_, &QTcpServer::newConnection, this, &Device::Accept);
    clock_.start();
    clock_tick_.setTimerType(Qt::PreciseTimer);
    connect(&clock_tick_, &QTimer::timeout, this, &Device::Play);
    clock_tick_.start(1);
    connect(&slowTick_, &QTimer::timeout, this, &Device::Read);
}

EtherDreamDac::Device::~Device() {
    // The client goes with the server, after the rest of this: it must not call back here.
    if (client_ != nullptr) {
        client_->disconnect(this);
    }
}

void EtherDreamDac::Device::PowerOff() {
    Play();
    if (QTcpSocket* client = std::exchange(client_, nullptr)) {
        client->abort();
        client->deleteLater();
    }
    server_.close();
    QMutexLocker lock(&mutex_);
    status_ = {};
    buffer_.clear();
}

bool EtherDreamDac::Device::Restart() {
    return server_.listen(address_, port_);
}

void EtherDreamDac::Device::ReadSlowly(int bytesPerSecond) {
    slowBytesPerSecond_ = bytesPerSecond;
    if (bytesPerSecond == 0) {
        return;
    }
    // The smallest receive buffer the system gives, set where the connection is accepted so
    // that the window offered to the host is small from its first segment.
    const int size = 1024;
    ::setsockopt(int(server_.socketDescriptor()), SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    slowTick_.start(10);
}

qint64 EtherDreamDac::Device::Allowed() const {
    if (slowBytesPerSecond_ == 0) {
        return client_->bytesAvailable();
    }
    return (clock_.nsecsElapsed() - slowSinceNs_) * slowBytesPerSecond_ / 1'000'000'000 -
           slowTaken_;
}

int EtherDreamDac::LastIndexOf(char command) const {
    const std::vector<char> commands_ = Commands();
    for (int i = int(commands_.size()) - 1; i >= 0; --i) {
        if (commands_[size_t(i)] == command) {
            return i;
        }
    }
    return -1;
}

void EtherDreamDac::Device::Accept() {
    while (QTcpSocket* next = server_.nextPendingConnection()) {
        if (client_ != nullptr) {
            // One host at a time: another is turned away.
            next->abort();
            next->deleteLater();
            continue;
        }
        QMutexLocker lock(&mutex_);
        ++connections_;
        client_ = next;
        in_.clear();
        if (slowBytesPerSecond_ > 0) {
            client_->setReadBufferSize(256);
            slowSinceNs_ = clock_.nsecsElapsed();
            slowTaken_ = 0;
        }
        connect(client_, &QTcpSocket::readyRead, this, &Device::Read);
        connect(client_, &QTcpSocket::disconnected, this, [this, next] {
            if (client_ == next) {
                // The host is gone: the DAC stops playing.
                Play();
                QMutexLocker lock(&mutex_);
                client_->deleteLater();
                client_ = nullptr;
                status_.playback = ed::kIdle;
                status_.playbackFlags &= quint16(~ed::kShutterOpen);
                buffer_.clear();
            }
        });
        // A new host is greeted with the status, as if it had pinged.
        Answer('a', '?');
        lock.unlock();
    }
}

void EtherDreamDac::Device::Play() {
    QMutexLocker lock(&mutex_);
    if (status_.playback != ed::kPlaying) {
        return;
    }
    const qint64 due = (clock_.nsecsElapsed() - startedNs_) * status_.pointRate / 1'000'000'000;
    while (playedByClock_ < due) {
        if (buffer_.empty()) {
            // Underflow: playback ends and says why.
            ++underflows_;
            status_.playback = ed::kIdle;
            status_.playbackFlags =
                quint16((status_.playbackFlags & ~ed::kShutterOpen) | ed::kUnderflow);
            return;
        }
        const Point p = buffer_.front();
        buffer_.pop_front();
        if ((p.control & 0x8000) != 0 && !rates_.empty()) {
            // A point with the rate-change bit takes the next queued rate from here on.
            startedNs_ = clock_.nsecsElapsed();
            playedByClock_ = 0;
            status_.pointRate = rates_.front();
            rates_.pop_front();
        } else {
            ++playedByClock_;
        }
        ++status_.pointCount;
        if (played_.size() < kKeepPlayed) {
            played_.push_back(p);
        }
    }
}

void EtherDreamDac::Device::Answer(char answer, char command) {
    if (answer != 'a') {
        ++naks_;
    }
    status_.bufferFullness = quint16(buffer_.size());
    if (client_ != nullptr) {
        client_->write(ed::EncodeResponse({answer, command, status_}));
    }
}

void EtherDreamDac::Device::Read() {
    if (frozen_ || client_ == nullptr) {
        return;
    }
    const QByteArray got = client_->read(std::max<qint64>(Allowed(), 0));
    slowTaken_ += got.size();
    in_.append(got);
    Play();
    QMutexLocker lock(&mutex_);
    bytesRead_ += got.size();
    while (!in_.isEmpty() && client_ != nullptr) {
        const char c = in_[0];
        const bool streaming = status_.playback != ed::kIdle;
        qsizetype used = 1;
        char answer = 'a';
        switch (c) {
            case 'p':  // prepare
                if (status_.playback != ed::kIdle || status_.lightEngine != ed::kReady) {
                    answer = 'I';
                    break;
                }
                status_.playback = ed::kPrepared;
                status_.playbackFlags &= quint16(~ed::kUnderflow);
                status_.pointCount = 0;
                buffer_.clear();
                rates_.clear();
                break;
            case 'b':  // begin: low water mark, point rate
                used = 7;
                if (in_.size() < used) {
                    return;
                }
                if (status_.playback != ed::kPrepared || status_.lightEngine != ed::kReady) {
                    answer = 'I';
                    break;
                }
                status_.playback = ed::kPlaying;
                status_.playbackFlags |= ed::kShutterOpen;
                status_.pointRate = Get32(in_, 3);
                startedNs_ = clock_.nsecsElapsed();
                playedByClock_ = 0;
                break;
            case 'q':  // queue a rate change
                used = 5;
                if (in_.size() < used) {
                    return;
                }
                if (!streaming) {
                    answer = 'I';
                    break;
                }
                rates_.push_back(Get32(in_, 1));
                break;
            case 'd': {  // data
                if (in_.size() < 3) {
                    return;
                }
                const quint16 n = Get16(in_, 1);
                used = 3 + qsizetype(n) * ed::kPointSize;
                if (in_.size() < used) {
                    return;
                }
                if (!streaming || status_.lightEngine != ed::kReady) {
                    answer = status_.lightEngine == ed::kEmergencyStop ? '!' : 'I';
                    break;
                }
                if (buffer_.size() + n > size_t(capacity_)) {
                    answer = 'F';
                    break;
                }
                for (quint16 k = 0; k < n; ++k) {
                    const qsizetype at = 3 + qsizetype(k) * ed::kPointSize;
                    buffer_.push_back({Get16(in_, at), qint16(Get16(in_, at + 2)),
                                       qint16(Get16(in_, at + 4)), Get16(in_, at + 6),
                                       Get16(in_, at + 8), Get16(in_, at + 10), Get16(in_, at + 12),
                                       Get16(in_, at + 14), Get16(in_, at + 16)});
                }
                break;
            }
            case 's':  // stop
                if (!streaming) {
                    answer = 'I';
                    break;
                }
                status_.playback = ed::kIdle;
                status_.playbackFlags &= quint16(~ed::kShutterOpen);
                buffer_.clear();
                break;
            case '\0':
            case '\xFF':  // emergency stop
                status_.lightEngine = ed::kEmergencyStop;
                status_.playback = ed::kIdle;
                status_.playbackFlags =
                    quint16((status_.playbackFlags & ~ed::kShutterOpen) | ed::kStoppedByEmergency);
                buffer_.clear();
                break;
            case 'c':  // clear the emergency stop
                if (status_.lightEngine == ed::kEmergencyStop) {
                    status_.lightEngine = ed::kReady;
                    status_.playbackFlags &= quint16(~ed::kStoppedByEmergency);
                }
                break;
            case '?':  // ping
                break;
            default:
                answer = 'I';
                break;
        }
        commands_.push_back(c);
        answers_.push_back(answer);
        in_.remove(0, used);
        Answer(answer, c);
    }
}

EtherDreamDac::EtherDreamDac(const QHostAddress& address) {
    anchor_ = new QObject;
    anchor_->moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(
        anchor_,
        [this, address] {
            device_ = new Device(address);
            port_ = device_->Port();
        },
        Qt::BlockingQueuedConnection);
}

EtherDreamDac::~EtherDreamDac() {
    QMetaObject::invokeMethod(
        anchor_,
        [this] {
            delete device_;
            delete anchor_;
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void EtherDreamDac::PowerOff() {
    QMetaObject::invokeMethod(
        device_, [this] { device_->PowerOff(); }, Qt::BlockingQueuedConnection);
}

bool EtherDreamDac::Restart() {
    bool ok = false;
    QMetaObject::invokeMethod(
        device_, [this, &ok] { ok = device_->Restart(); }, Qt::BlockingQueuedConnection);
    return ok;
}

void EtherDreamDac::Freeze(bool frozen) {
    QMetaObject::invokeMethod(
        device_, [this, frozen] { device_->frozen_ = frozen; }, Qt::BlockingQueuedConnection);
}

void EtherDreamDac::SetCapacity(int points) {
    QMetaObject::invokeMethod(
        device_, [this, points] { device_->capacity_ = points; }, Qt::BlockingQueuedConnection);
}

void EtherDreamDac::ReadSlowly(int bytesPerSecond) {
    QMetaObject::invokeMethod(
        device_, [this, bytesPerSecond] { device_->ReadSlowly(bytesPerSecond); },
        Qt::BlockingQueuedConnection);
}

#define READ_UNDER_LOCK(type, name, what)    \
    type EtherDreamDac::name() const {       \
        QMutexLocker lock(&device_->mutex_); \
        return device_->what;                \
    }
READ_UNDER_LOCK(std::vector<char>, Commands, commands_)
READ_UNDER_LOCK(std::vector<char>, Answers, answers_)
READ_UNDER_LOCK(int, Naks, naks_)
READ_UNDER_LOCK(int, Underflows, underflows_)
READ_UNDER_LOCK(int, Connections, connections_)
READ_UNDER_LOCK(qint64, BytesRead, bytesRead_)
READ_UNDER_LOCK(std::vector<EtherDreamDac::Point>, Played, played_)
READ_UNDER_LOCK(size_t, PlayedCount, played_.size())
READ_UNDER_LOCK(output::ether_dream::Status, State, status_)
#undef READ_UNDER_LOCK

}  // namespace testing_support
