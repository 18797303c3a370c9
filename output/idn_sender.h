// IDN-Stream to one unit over UDP: the frame's samples at its point rate in real time, with
// the configuration in the first message and now and then after it.
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
    void Report(bool failing);

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
    int messages_ = 0;
    bool failing_ = false;
    bool reported_ = false;
    QElapsedTimer sinceError_;
};

}  // namespace output
