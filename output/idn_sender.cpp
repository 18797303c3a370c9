#include "output/idn_sender.h"

#include <QCoreApplication>
#include <QHostInfo>
#include <algorithm>
#include <cerrno>
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
// A unit that has taken this long a stretch of the stream without a failed send is reached.
constexpr qint64 kReachedMs = 1000;

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
        Fail(Failure::AddressNotFound);
        return;
    }
    socket_->connectToHost(address, target_.port);
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &IdnSender::Tick);
    timer_->start(kTickMs);
    clock_.start();
    Q_EMIT Status(QCoreApplication::translate("output", "Лазер: вывод на %1").arg(Device(target_)));
}

void IdnSender::Tick() {
    if (!playhead_.Update(*slot_) || failed_) {
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
        // A message is filled across the ends of frames: a short frame played many times in a
        // row (a show's frame of a few points) goes out in full messages, not one each time.
        const size_t want = size_t(std::min<qint64>(due, idn::kMaxSamplesPerMessage));
        std::vector<Sample> samples;
        while (samples.size() < want) {
            playhead_.Update(*slot_);
            const auto more = playhead_.Next(int(want - samples.size()));
            if (more.empty()) {
                break;
            }
            samples.insert(samples.end(), more.begin(), more.end());
        }
        if (samples.empty()) {
            break;
        }
        Send(samples);
        if (failed_) {
            return;
        }
        due -= qint64(samples.size());
    }
    reached_ = reached_ || (failedSends_ == 0 && clock_.elapsed() >= kReachedMs);
    if (failing_ && sinceError_.elapsed() > 1000) {
        Report(false);
    }
    if (playhead_.Ended() && !done_) {
        // The last message went out when it was due: the run has played.
        done_ = true;
        Q_EMIT Done();
    }
}

void IdnSender::Send(const std::vector<Sample>& samples) {
    const qint64 from = epochUs_ + (sent_ - epochSamples_) * 1'000'000 / rate_;
    const qint64 to =
        epochUs_ + (sent_ + qint64(samples.size()) - epochSamples_) * 1'000'000 / rate_;
    const bool configure = messages_ % kConfigureEvery == 0;
    Write(idn::SampleMessage(sequence_++, quint32(from), quint32(to - from), samples, configure));
    sent_ += qint64(samples.size());
}

void IdnSender::Write(const QByteArray& message) {
    ++messages_;
    errno = 0;
    if (socket_->write(message) >= 0) {
        return;
    }
    // Qt calls a datagram the system would not send an unknown error; the system's reason is
    // still in errno. A refusal passes on the unit's answer to an earlier message (ICMP "port
    // unreachable"), which was then lost too; this one was not sent either.
    ++failedSends_;
    const bool refused = errno == ECONNREFUSED;
    refusals_ += refused ? 1 : 0;
    if (!reached_) {
        timer_->stop();
        Fail(refused ? Failure::ConnectionRefused : Failure::NoAnswer);
        return;
    }
    Report(true);
}

void IdnSender::Report(bool failing) {
    if (failing) {
        sinceError_.start();
    }
    // While sends fail the count is told again once a second.
    if (failing == failing_ && reported_ && (!failing || sinceReport_.elapsed() < 1000)) {
        return;
    }
    failing_ = failing;
    reported_ = true;
    sinceReport_.start();
    Q_EMIT Status(
        failing ? QCoreApplication::translate(
                      "output", "Лазер: %1 не принимает пакеты: не отправлено %2 из %3")
                      .arg(Device(target_))
                      .arg(failedSends_)
                      .arg(messages_)
                : QCoreApplication::translate("output", "Лазер: вывод на %1").arg(Device(target_)));
}

void IdnSender::Finish() {
    if (timer_ != nullptr) {
        timer_->stop();
    }
    if (failed_ || socket_ == nullptr) {
        return;
    }
    if (Delivered() <= 0) {
        // Nothing lit: no blanking to send.
        Fail(Failure::NothingPlayed);
        return;
    }
    const qint64 failed = failedSends_;
    const qint64 messages = messages_;
    // A dark frame where the beam is, long enough for the unit to show it, then the close.
    const Frame dark = DarkFrame(playhead_.Last(), rate_, std::max(rate_ / 50, 20));
    for (size_t at = 0; at < dark.samples.size(); at += idn::kMaxSamplesPerMessage) {
        const size_t n = std::min(dark.samples.size() - at, size_t(idn::kMaxSamplesPerMessage));
        Send({dark.samples.begin() + qsizetype(at), dark.samples.begin() + qsizetype(at + n)});
    }
    const qint64 now = epochUs_ + (sent_ - epochSamples_) * 1'000'000 / rate_;
    Write(idn::CloseMessage(sequence_++, quint32(now)));
    socket_->flush();
    socket_->close();
    QString text =
        QCoreApplication::translate("output", "Лазер: вывод на %1 остановлен, луч погашен")
            .arg(Device(target_));
    if (failed > 0) {
        text += QCoreApplication::translate("output", "; не отправлено пакетов: %1 из %2")
                    .arg(failed)
                    .arg(messages);
    }
    Q_EMIT Status(text);
}

}  // namespace output
