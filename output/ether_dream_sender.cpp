#include "output/ether_dream_sender.h"

#include <sys/ioctl.h>
#include <QCoreApplication>
#include <algorithm>

namespace output {

namespace ed = ether_dream;

namespace {

// How far ahead the DAC's buffer is kept.
constexpr int kAheadMs = 80;
constexpr int kRetryMs = 1000;
// A DAC whose connection moves no byte this long while an answer is awaited is taken as lost;
// a connection not made in this long (the name looked up with it), too.
constexpr int kSilenceMs = 1000;
constexpr int kConnectMs = 5000;
constexpr int kWatchMs = 50;
// After a NAK-full the DAC plays at least this long before it is asked again.
constexpr int kFullWaitMs = kAheadMs / 4;
// A limited run ends with the beam held dark this long (at most half the buffer), so that the
// stop finds it dark and the DAC still playing.
constexpr int kHoldMs = 50;

Failure FailureOf(QAbstractSocket::SocketError error) {
    switch (error) {
        case QAbstractSocket::HostNotFoundError:
            return Failure::AddressNotFound;
        case QAbstractSocket::ConnectionRefusedError:
            return Failure::ConnectionRefused;
        default:
            return Failure::NoAnswer;
    }
}

}  // namespace

void EtherDreamSender::Begin() {
    socket_ = new QTcpSocket(this);
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    retry_ = new QTimer(this);
    retry_->setSingleShot(true);
    later_ = new QTimer(this);
    later_->setSingleShot(true);
    later_->setTimerType(Qt::PreciseTimer);
    watch_ = new QTimer(this);
    watch_->setInterval(kWatchMs);
    connect(watch_, &QTimer::timeout, this, [this] {
        const bool connected = socket_->state() == QAbstractSocket::ConnectedState;
        if (Progressed() || quiet_.elapsed() < (connected ? kSilenceMs : kConnectMs)) {
            return;
        }
        watch_->stop();
        if (connected) {
            // Lost without the connection closing: a stop, in case it still listens, then the
            // connection is dropped (which says it is lost) and made again.
            socket_->write(ed::Stop());
            socket_->flush();
            socket_->abort();
        } else {
            socket_->abort();
            Lost(QCoreApplication::translate("output", "Лазер: %1 не отвечает, новая попытка…"));
        }
    });
    connect(retry_, &QTimer::timeout, this, &EtherDreamSender::Connect);
    // After a wait the DAC is asked for its state; its answer leads to the next command.
    connect(later_, &QTimer::timeout, this, [this] {
        if (!awaiting_ && !finishing_ && socket_->state() == QAbstractSocket::ConnectedState) {
            Send(ed::Ping());
        }
    });
    connect(socket_, &QTcpSocket::readyRead, this, &EtherDreamSender::Read);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        // The DAC greets with its status, as if answering a ping.
        awaiting_ = true;
        quiet_.start();
        pending_ = 0;
        begun_ = false;
        Say(QCoreApplication::translate("output", "Лазер: вывод на %1").arg(TargetText(target_)));
    });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        Lost(QCoreApplication::translate("output", "Лазер: связь с %1 потеряна, новая попытка…"));
    });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (finishing_ || failed_) {
            return;
        }
        if (!played_) {
            // Never played: what went wrong is the answer to the start.
            watch_->stop();
            Fail(FailureOf(e));
        } else if (socket_->state() == QAbstractSocket::UnconnectedState) {
            Lost(QCoreApplication::translate("output", "Лазер: %1 не отвечает, новая попытка…"));
        }
    });
    Connect();
}

void EtherDreamSender::Connect() {
    in_.clear();
    held_.clear();
    awaiting_ = false;
    socket_->abort();
    socket_->connectToHost(target_.host, target_.port);
    quiet_.start();
    pending_ = 0;
    watch_->start();
}

void EtherDreamSender::Lost(const QString& text) {
    if (finishing_ || failed_) {
        return;
    }
    later_->stop();
    watch_->stop();
    awaiting_ = false;
    if (!played_) {
        Fail(Failure::NoAnswer);
        return;
    }
    Say(text.arg(TargetText(target_)));
    retry_->start(kRetryMs);
}

qint64 EtherDreamSender::Pending() const {
    qint64 pending = socket_->bytesToWrite();
    // What the system holds of it: not yet sent, or sent and not yet acknowledged.
    int queued = 0;
    if (socket_->state() == QAbstractSocket::ConnectedState &&
        ::ioctl(int(socket_->socketDescriptor()), TIOCOUTQ, &queued) == 0) {
        pending += queued;
    }
    return pending;
}

bool EtherDreamSender::Progressed() {
    const qint64 pending = Pending();
    const bool moved = pending < pending_;
    pending_ = pending;
    if (moved) {
        quiet_.start();
    }
    return moved;
}

void EtherDreamSender::Read() {
    const QByteArray bytes = socket_->readAll();
    if (!bytes.isEmpty()) {
        quiet_.start();
    }
    in_.append(bytes);
    while (in_.size() >= ed::kResponseSize) {
        const auto response = ed::DecodeResponse(in_.left(ed::kResponseSize));
        in_.remove(0, ed::kResponseSize);
        Handle(*response);
    }
}

void EtherDreamSender::Handle(const ed::Response& r) {
    awaiting_ = false;
    watch_->stop();
    const bool wasPlaying = status_.playback == ed::kPlaying;
    status_ = r.status;
    // Playing, the DAC has taken points and begun to show them.
    played_ = played_ || status_.playback == ed::kPlaying;
    if (finishing_) {
        return;
    }
    if (done_) {
        if (r.command == 's') {
            Q_EMIT Done();
        }
        return;
    }
    if (r.answer == '!' || status_.lightEngine == ed::kEmergencyStop) {
        Say(QCoreApplication::translate("output", "Лазер: %1 в аварийной остановке")
                .arg(TargetText(target_)));
    } else if (wasPlaying && status_.playback == ed::kIdle &&
               (status_.playbackFlags & ed::kUnderflow) != 0) {
        Say(QCoreApplication::translate("output", "Лазер: %1 не успел получить точки")
                .arg(TargetText(target_)));
    }
    if (status_.playback != ed::kPlaying) {
        begun_ = status_.playback == ed::kPrepared && begun_;
    }
    if (r.answer == 'F' && r.command == 'd') {
        // The points did not fit: the DAC holds less than it was taken to. They go again, as
        // many as then fit, once it has played about as many.
        capacity_ = ed::CapacityAfterFull(capacity_, status_.bufferFullness, int(inFlight_.size()));
        held_.insert(held_.begin(), inFlight_.begin(), inFlight_.end());
        inFlight_.clear();
        later_->start(std::max(kFullWaitMs, ed::PlayMs(int(held_.size()), rate_)));
        return;
    }
    inFlight_.clear();
    Next();
}

void EtherDreamSender::Next() {
    if (awaiting_ || finishing_ || failed_ || done_ ||
        socket_->state() != QAbstractSocket::ConnectedState) {
        return;
    }
    if (status_.lightEngine != ed::kReady) {
        // Never cleared from here: whoever stopped it clears it at the DAC.
        later_->start(500);
        return;
    }
    if (!playhead_.Update(*slot_)) {
        later_->start(5);
        return;
    }
    if (status_.playback != ed::kIdle && playhead_.Rate() != rate_ && rate_ != 0) {
        // A new rate: stop, then prepare and begin again at it.
        rate_ = 0;
        Send(ed::Stop());
        return;
    }
    if (status_.playback == ed::kIdle) {
        if (AllSent()) {
            // The DAC ran out at the end of a limited run: nothing is left to play.
            done_ = true;
            Q_EMIT Done();
            return;
        }
        rate_ = playhead_.Rate();
        begun_ = false;
        Send(ed::Prepare());
        return;
    }
    Feed(ed::Room(capacity_, status_.bufferFullness, rate_, kAheadMs));
}

void EtherDreamSender::Feed(int room) {
    if (room > 0) {
        inFlight_ = Take(room);
        if (!inFlight_.empty()) {
            Send(ed::Data(inFlight_));
            return;
        }
    }
    const int fullness = status_.bufferFullness;
    if (!begun_ && fullness > 0) {
        begun_ = true;
        Send(ed::Begin(0, quint32(rate_)));
        return;
    }
    if (AllSent()) {
        // The run's last point has played once no more than the dark hold is left: the stop
        // goes from here at once, while the DAC still plays the hold.
        if (fullness <= hold_) {
            done_ = true;
            Send(ed::Stop());
        } else {
            later_->start(ed::PlayMs(fullness - hold_, rate_));
        }
        return;
    }
    // Wait until the DAC has played about a quarter of what it holds, then ask again.
    later_->start(ed::PlayMs(fullness / 4, rate_));
}

std::vector<model::stage::Sample> EtherDreamSender::Take(int count) {
    const auto n = std::min(held_.size(), size_t(count));
    std::vector<model::stage::Sample> points(held_.begin(), held_.begin() + qsizetype(n));
    held_.erase(held_.begin(), held_.begin() + qsizetype(n));
    while (int(points.size()) < count) {
        const auto more = playhead_.Next(count - int(points.size()));
        if (more.empty()) {
            break;
        }
        points.insert(points.end(), more.begin(), more.end());
    }
    if (playhead_.Ended()) {
        if (!holding_) {
            holding_ = true;
            hold_ = tail_ = std::min(rate_ * kHoldMs / 1000, capacity_ / 2);
        }
        const int dark = std::min(tail_, count - int(points.size()));
        if (dark > 0) {
            const Frame hold = DarkFrame(playhead_.Last(), rate_, dark);
            points.insert(points.end(), hold.samples.begin(), hold.samples.end());
            tail_ -= dark;
        }
    }
    return points;
}

void EtherDreamSender::Send(const QByteArray& command) {
    awaiting_ = true;
    socket_->write(command);
    if (!finishing_) {
        quiet_.start();
        pending_ = Pending();
        watch_->start();
    }
}

void EtherDreamSender::Say(const QString& text) {
    if (text != said_) {
        said_ = text;
        Q_EMIT Status(text);
    }
}

void EtherDreamSender::Finish() {
    finishing_ = true;
    if (retry_ != nullptr) {
        retry_->stop();
        later_->stop();
        watch_->stop();
    }
    if (socket_ != nullptr && socket_->state() == QAbstractSocket::ConnectedState) {
        // The answer to what is on its way first, then the stop, which blanks the DAC's output.
        for (int i = 0; i < 10 && awaiting_ && socket_->waitForReadyRead(50); ++i) {
            Read();
        }
        if (!done_ || status_.playback != ed::kIdle) {
            Send(ed::Stop());
            socket_->waitForBytesWritten(200);
            for (int i = 0; i < 10 && awaiting_ && socket_->waitForReadyRead(50); ++i) {
                Read();
            }
        }
        socket_->disconnectFromHost();
        if (socket_->state() != QAbstractSocket::UnconnectedState) {
            socket_->waitForDisconnected(200);
        }
    }
    if (failed_) {
        return;
    }
    if (!played_) {
        Fail(Failure::NothingPlayed);
        return;
    }
    Q_EMIT Status(
        QCoreApplication::translate("output", "Лазер: вывод на %1 остановлен, луч погашен")
            .arg(TargetText(target_)));
}

}  // namespace output
