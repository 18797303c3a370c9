#include "output/ether_dream_sender.h"

#include <algorithm>

namespace output {

namespace ed = ether_dream;

namespace {

// How far ahead the DAC's buffer is kept, and its size on every model.
constexpr int kAheadMs = 80;
constexpr int kSmallestBuffer = 1799;
// A send of fewer points than this waits for the DAC to play more first.
constexpr int kLeastData = 64;
constexpr int kRetryMs = 1000;
// A DAC that leaves a command unanswered this long is taken as lost.
constexpr int kSilenceMs = 1000;

}  // namespace

void EtherDreamSender::Begin() {
    socket_ = new QTcpSocket(this);
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    retry_ = new QTimer(this);
    retry_->setSingleShot(true);
    later_ = new QTimer(this);
    later_->setSingleShot(true);
    later_->setTimerType(Qt::PreciseTimer);
    silence_ = new QTimer(this);
    silence_->setSingleShot(true);
    connect(silence_, &QTimer::timeout, this, [this] {
        // Lost without the connection closing: a stop, in case it still listens, then the
        // connection is dropped and made again.
        socket_->write(ed::Stop());
        socket_->flush();
        socket_->abort();
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
        silence_->start(kSilenceMs);
        begun_ = false;
        Say(QStringLiteral("Лазер: вывод на %1").arg(TargetText(target_)));
    });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        if (!finishing_) {
            later_->stop();
            Say(QStringLiteral("Лазер: связь с %1 потеряна, новая попытка…")
                    .arg(TargetText(target_)));
            retry_->start(kRetryMs);
        }
    });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this] {
        if (!finishing_ && socket_->state() == QAbstractSocket::UnconnectedState) {
            Say(QStringLiteral("Лазер: %1 не отвечает, новая попытка…").arg(TargetText(target_)));
            retry_->start(kRetryMs);
        }
    });
    Connect();
}

void EtherDreamSender::Connect() {
    in_.clear();
    awaiting_ = false;
    socket_->abort();
    socket_->connectToHost(target_.host, target_.port);
}

void EtherDreamSender::Read() {
    in_.append(socket_->readAll());
    while (in_.size() >= ed::kResponseSize) {
        const auto response = ed::DecodeResponse(in_.left(ed::kResponseSize));
        in_.remove(0, ed::kResponseSize);
        Handle(*response);
    }
}

void EtherDreamSender::Handle(const ed::Response& r) {
    awaiting_ = false;
    silence_->stop();
    const bool wasPlaying = status_.playback == ed::kPlaying;
    status_ = r.status;
    if (finishing_) {
        return;
    }
    if (r.answer == '!' || status_.lightEngine == ed::kEmergencyStop) {
        Say(QStringLiteral("Лазер: %1 в аварийной остановке").arg(TargetText(target_)));
    } else if (wasPlaying && status_.playback == ed::kIdle &&
               (status_.playbackFlags & ed::kUnderflow) != 0) {
        Say(QStringLiteral("Лазер: %1 не успел получить точки").arg(TargetText(target_)));
    }
    if (status_.playback != ed::kPlaying) {
        begun_ = status_.playback == ed::kPrepared && begun_;
    }
    Next();
}

void EtherDreamSender::Next() {
    if (awaiting_ || finishing_ || socket_->state() != QAbstractSocket::ConnectedState) {
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
        rate_ = playhead_.Rate();
        begun_ = false;
        Send(ed::Prepare());
        return;
    }
    const int target =
        std::min(kSmallestBuffer - 1, std::max(kLeastData * 2, rate_ * kAheadMs / 1000));
    const int room = target - int(status_.bufferFullness);
    if (room >= kLeastData) {
        std::vector<model::stage::Sample> points;
        while (int(points.size()) < room) {
            const auto more = playhead_.Next(room - int(points.size()));
            if (more.empty()) {
                break;
            }
            points.insert(points.end(), more.begin(), more.end());
        }
        Send(ed::Data(points));
        return;
    }
    if (!begun_) {
        begun_ = true;
        Send(ed::Begin(0, quint32(rate_)));
        return;
    }
    // Wait until the DAC has played about a quarter of what it holds, then ask again.
    later_->start(std::max(1, int(status_.bufferFullness) * 1000 / 4 / std::max(rate_, 1)));
}

void EtherDreamSender::Send(const QByteArray& command) {
    awaiting_ = true;
    if (!finishing_) {
        silence_->start(kSilenceMs);
    }
    socket_->write(command);
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
        silence_->stop();
    }
    if (socket_ != nullptr && socket_->state() == QAbstractSocket::ConnectedState) {
        // The answer to what is on its way first, then the stop, which blanks the DAC's output.
        for (int i = 0; i < 10 && awaiting_ && socket_->waitForReadyRead(50); ++i) {
            Read();
        }
        Send(ed::Stop());
        socket_->waitForBytesWritten(200);
        for (int i = 0; i < 10 && awaiting_ && socket_->waitForReadyRead(50); ++i) {
            Read();
        }
        socket_->disconnectFromHost();
        if (socket_->state() != QAbstractSocket::UnconnectedState) {
            socket_->waitForDisconnected(200);
        }
    }
    Q_EMIT Status(
        QStringLiteral("Лазер: вывод на %1 остановлен, луч погашен").arg(TargetText(target_)));
}

}  // namespace output
