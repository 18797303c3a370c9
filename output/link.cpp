#include "output/link.h"

#include <QCoreApplication>

#include "output/ether_dream_sender.h"
#include "output/idn_sender.h"

namespace output {

void FrameSlot::Put(std::vector<Frame> frames, qint64 limit, bool goOn) {
    QMutexLocker lock(&mutex_);
    frames_ = std::move(frames);
    limit_ = limit;
    goOn_ = goOn;
    ++generation_;
}

bool FrameSlot::TakeNewer(quint64& generation, std::vector<Frame>& into, qint64& limit,
                          bool& goOn) {
    QMutexLocker lock(&mutex_);
    if (generation_ == generation) {
        return false;
    }
    generation = generation_;
    into = frames_;
    limit = limit_;
    goOn = goOn_;
    return true;
}

QString FailureText(Failure why) {
    switch (why) {
        case Failure::AddressNotFound:
            return QCoreApplication::translate("output", "адрес не найден");
        case Failure::ConnectionRefused:
            return QCoreApplication::translate("output", "соединение отклонено");
        case Failure::NoAnswer:
            return QCoreApplication::translate("output", "устройство не отвечает");
        case Failure::NothingPlayed:
            return QCoreApplication::translate("output", "не показано ни одной точки");
    }
    return {};
}

Sender::Sender(Target target, std::shared_ptr<FrameSlot> slot)
    : target_(std::move(target)), slot_(std::move(slot)) {}

namespace {

Sender* MakeSender(const Target& target, std::shared_ptr<FrameSlot> slot) {
    switch (target.protocol) {
        case Protocol::Idn:
            return new IdnSender(target, std::move(slot));
        case Protocol::EtherDream:
            return new EtherDreamSender(target, std::move(slot));
    }
    return nullptr;
}

}  // namespace

void Sender::Fail(Failure why) {
    if (failed_) {
        return;
    }
    failed_ = true;
    Q_EMIT Status(QCoreApplication::translate("output", "Лазер: %1: %2")
                      .arg(TargetText(target_), FailureText(why)));
    Q_EMIT Failed(why);
}

Link::Link(const Target& target, QObject* parent) : QObject(parent), target_(target) {
    sender_ = MakeSender(target, slot_);
    if (sender_ == nullptr) {
        return;
    }
    sender_->moveToThread(&thread_);
    connect(&thread_, &QThread::started, sender_, &Sender::Begin);
    connect(&thread_, &QThread::finished, sender_, &QObject::deleteLater);
    connect(&thread_, &QThread::finished, this, &Link::Stopped);
    connect(sender_, &Sender::Status, this, &Link::Status);
    // Both come here through the queue, on the thread that owns the link, which alone ends the
    // network thread.
    connect(sender_, &Sender::Failed, this, [this](Failure why) {
        Q_EMIT Failed(why);
        Stop();
    });
    connect(sender_, &Sender::Done, this, &Link::Stop);
    thread_.setObjectName(QStringLiteral("laser output"));
    thread_.start();
}

Link::~Link() {
    Stop();
    thread_.wait();
}

void Link::Show(Frame frame) {
    slot_->Put({std::move(frame)});
}

void Link::Play(std::vector<Frame> frames, qint64 samples) {
    slot_->Put(std::move(frames), samples);
}

void Link::Continue(std::vector<Frame> frames) {
    slot_->Put(std::move(frames), 0, true);
}

void Link::Stop() {
    if (stopping_ || sender_ == nullptr) {
        return;
    }
    stopping_ = true;
    // Runs on the network thread after whatever it is doing, then ends that thread.
    QThread* thread = &thread_;
    QMetaObject::invokeMethod(sender_, [sender = sender_, thread] {
        sender->Finish();
        thread->quit();
    });
}

}  // namespace output
