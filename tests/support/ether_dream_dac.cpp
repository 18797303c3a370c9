#include "support/ether_dream_dac.h"

#include <utility>

namespace testing_support {

namespace ed = output::ether_dream;

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

EtherDreamDac::EtherDreamDac() {
    status_.protocol = 0;
    server_.listen(QHostAddress::LocalHost, 0);
    port_ = server_.serverPort();
    connect(&server_, &QTcpServer::newConnection, this, &EtherDreamDac::Accept);
    clock_.start();
    clock_tick_.setTimerType(Qt::PreciseTimer);
    connect(&clock_tick_, &QTimer::timeout, this, &EtherDreamDac::Play);
    clock_tick_.start(1);
}

EtherDreamDac::~EtherDreamDac() {
    // The client goes with the server, after the rest of this: it must not call back here.
    if (client_ != nullptr) {
        client_->disconnect(this);
    }
}

void EtherDreamDac::PowerOff() {
    Play();
    if (QTcpSocket* client = std::exchange(client_, nullptr)) {
        client->abort();
        client->deleteLater();
    }
    server_.close();
    status_ = {};
    buffer_.clear();
}

bool EtherDreamDac::Restart() {
    return server_.listen(QHostAddress::LocalHost, port_);
}

int EtherDreamDac::LastIndexOf(char command) const {
    for (int i = int(commands_.size()) - 1; i >= 0; --i) {
        if (commands_[size_t(i)] == command) {
            return i;
        }
    }
    return -1;
}

void EtherDreamDac::Accept() {
    while (QTcpSocket* next = server_.nextPendingConnection()) {
        if (client_ != nullptr) {
            // One host at a time: another is turned away.
            next->abort();
            next->deleteLater();
            continue;
        }
        ++connections_;
        client_ = next;
        in_.clear();
        connect(client_, &QTcpSocket::readyRead, this, &EtherDreamDac::Read);
        connect(client_, &QTcpSocket::disconnected, this, [this, next] {
            if (client_ == next) {
                // The host is gone: the DAC stops playing.
                Play();
                client_->deleteLater();
                client_ = nullptr;
                status_.playback = ed::kIdle;
                status_.playbackFlags &= quint16(~ed::kShutterOpen);
                buffer_.clear();
            }
        });
        // A new host is greeted with the status, as if it had pinged.
        Answer('a', '?');
    }
}

void EtherDreamDac::Play() {
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

void EtherDreamDac::Answer(char answer, char command) {
    if (answer != 'a') {
        ++naks_;
    }
    status_.bufferFullness = quint16(buffer_.size());
    if (client_ != nullptr) {
        client_->write(ed::EncodeResponse({answer, command, status_}));
    }
}

void EtherDreamDac::Read() {
    in_.append(client_->readAll());
    Play();
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
                if (buffer_.size() + n > size_t(kCapacity)) {
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

}  // namespace testing_support
