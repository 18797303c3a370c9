#include "output/idn_sender.h"

#include <QHostInfo>
#include <algorithm>
#include <cmath>

#include "output/idn_packets.h"

namespace output {

using model::stage::Sample;

namespace {

// How often the sender looks at the clock, and how far behind it may fall before it starts
// the count afresh rather than sending a burst.
constexpr int kTickMs = 2;
constexpr qint64 kMostBehindNs = 100'000'000;
// The configuration goes again every this many messages, for a unit that starts listening late.
constexpr int kConfigureEvery = 50;

QString Device(const Target& t) {
    return TargetText(t);
}

}  // namespace

void IdnSender::Begin() {
    socket_ = new QUdpSocket(this);
    QHostAddress address(target_.host);
    if (address.isNull()) {
        // A name: looked up here, on the network thread.
        const QHostInfo info = QHostInfo::fromName(target_.host);
        if (!info.addresses().isEmpty()) {
            address = info.addresses().front();
        }
    }
    if (address.isNull()) {
        Q_EMIT Status(QStringLiteral("Лазер: адрес %1 не найден").arg(Device(target_)));
        return;
    }
    connect(socket_, &QUdpSocket::errorOccurred, this, [this] { Report(true); });
    socket_->connectToHost(address, target_.port);
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &IdnSender::Tick);
    timer_->start(kTickMs);
    clock_.start();
    Q_EMIT Status(QStringLiteral("Лазер: вывод на %1").arg(Device(target_)));
}

void IdnSender::Tick() {
    if (!playhead_.Update(*slot_)) {
        return;
    }
    const qint64 now = clock_.nsecsElapsed();
    if (playhead_.Rate() != rate_ ||
        now - epochNs_ > kMostBehindNs + (sent_ - epochSamples_) * 1'000'000'000 / rate_) {
        // A new rate, the first frame or a long stall: the count starts again from here.
        epochUs_ += rate_ > 0 ? (sent_ - epochSamples_) * 1'000'000 / rate_ : 0;
        epochNs_ = now;
        epochSamples_ = sent_;
        rate_ = playhead_.Rate();
    }
    qint64 due = (now - epochNs_) * rate_ / 1'000'000'000 - (sent_ - epochSamples_);
    while (due > 0) {
        playhead_.Update(*slot_);
        const auto samples = playhead_.Next(int(std::min<qint64>(due, idn::kMaxSamplesPerMessage)));
        if (samples.empty()) {
            break;
        }
        Send(samples);
        due -= qint64(samples.size());
    }
    if (failing_ && sinceError_.elapsed() > 1000) {
        Report(false);
    }
}

void IdnSender::Send(const std::vector<Sample>& samples) {
    const qint64 from = epochUs_ + (sent_ - epochSamples_) * 1'000'000 / rate_;
    const qint64 to =
        epochUs_ + (sent_ + qint64(samples.size()) - epochSamples_) * 1'000'000 / rate_;
    const bool configure = messages_ % kConfigureEvery == 0;
    socket_->write(
        idn::SampleMessage(sequence_++, quint32(from), quint32(to - from), samples, configure));
    sent_ += qint64(samples.size());
    ++messages_;
}

void IdnSender::Report(bool failing) {
    if (failing) {
        sinceError_.start();
    }
    if (failing == failing_ && reported_) {
        return;
    }
    failing_ = failing;
    reported_ = true;
    Q_EMIT Status(failing ? QStringLiteral("Лазер: %1 не отвечает").arg(Device(target_))
                          : QStringLiteral("Лазер: вывод на %1").arg(Device(target_)));
}

void IdnSender::Finish() {
    if (timer_ != nullptr) {
        timer_->stop();
    }
    if (socket_ != nullptr && socket_->state() == QAbstractSocket::ConnectedState) {
        // A dark frame where the beam is, long enough for the unit to show it, then the close.
        if (rate_ > 0) {
            const Frame dark = DarkFrame(playhead_.Last(), rate_, std::max(rate_ / 50, 20));
            for (size_t at = 0; at < dark.samples.size(); at += idn::kMaxSamplesPerMessage) {
                const size_t n =
                    std::min(dark.samples.size() - at, size_t(idn::kMaxSamplesPerMessage));
                Send({dark.samples.begin() + qsizetype(at),
                      dark.samples.begin() + qsizetype(at + n)});
            }
        }
        const qint64 now = epochUs_ + (rate_ > 0 ? (sent_ - epochSamples_) * 1'000'000 / rate_ : 0);
        socket_->write(idn::CloseMessage(sequence_++, quint32(now)));
        socket_->flush();
        socket_->close();
    }
    Q_EMIT Status(
        QStringLiteral("Лазер: вывод на %1 остановлен, луч погашен").arg(Device(target_)));
}

}  // namespace output
