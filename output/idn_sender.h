// IDN-Stream to one unit over UDP: the frame's samples at its point rate in real time, with
// the configuration in the first message and now and then after it. A send that fails is
// counted and reported: before the unit has taken a second of the stream it ends the output
// (nothing listens there, or nothing can be reached), after that the output goes on, as a unit
// that restarts comes back.
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTimer>
#include <QUdpSocket>

#include "output/link.h"
#include "output/playhead.h"

namespace output {

class IdnSender : public Sender {
    Q_OBJECT
  public:
    using Sender::Sender;

    void Begin() override;
    void Finish() override;

  private:
    void Tick();
    void Send(const std::vector<model::stage::Sample>& samples);
    void Write(const QByteArray& message);
    void Report(bool failing);
    // The messages that went out and were not turned away (each refusal stands for one).
    qint64 Delivered() const { return messages_ - failedSends_ - refusals_; }

    QUdpSocket* socket_ = nullptr;
    QTimer* timer_ = nullptr;
    Playhead playhead_;
    QElapsedTimer clock_;
    // The clock and the stream at the last change of rate: what is due is counted from there.
    qint64 epochNs_ = 0;
    qint64 epochSamples_ = 0;
    qint64 epochUs_ = 0;
    int rate_ = 0;
    qint64 sent_ = 0;
    quint16 sequence_ = 0;
    qint64 messages_ = 0;     // written, whether or not the system sent them
    qint64 failedSends_ = 0;  // of those, the ones the system did not send
    qint64 refusals_ = 0;     // of those, the ones that said the unit turned a message away
    bool reached_ = false;    // the unit has taken a second of the stream without a failure
    bool failing_ = false;
    bool reported_ = false;
    bool done_ = false;
    QElapsedTimer sinceError_;
    QElapsedTimer sinceReport_;
};

}  // namespace output
