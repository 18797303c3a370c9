// The frames to an Ether Dream over TCP: one command at a time, each waiting for its answer;
// the DAC's buffer kept about 80 ms ahead (or full), never sent more than it is taken to hold,
// and after a NAK-full left to play before it is asked again. A DAC that has played is
// connected to again when it comes back; one that never played ends the output, saying why.
#pragma once

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>

#include "output/ether_dream.h"
#include "output/link.h"
#include "output/playhead.h"

namespace output {

class EtherDreamSender : public Sender {
    Q_OBJECT
  public:
    using Sender::Sender;

    void Begin() override;
    void Finish() override;

  private:
    void Connect();
    void Read();
    void Handle(const ether_dream::Response& response);
    // Sends what the DAC's state calls for, or waits for it to play some of its buffer.
    void Next();
    // The data command, or the begin, for a buffer with `room` for more points.
    void Feed(int room);
    // The points for the next data command: those a NAK-full sent back, the frames', then, at
    // the end of a limited run, the dark ones that hold the beam until the stop.
    std::vector<model::stage::Sample> Take(int count);
    // A limited run has sent its last point, the dark hold's too.
    bool AllSent() const { return holding_ && tail_ == 0 && held_.empty(); }
    // The bytes written that the DAC has not yet taken.
    qint64 Pending() const;
    void Send(const QByteArray& command);
    void Say(const QString& text);
    // Whether the bytes on their way to the DAC have moved since the last look.
    bool Progressed();
    // The connection lost or never made: a DAC that never played ends the output.
    void Lost(const QString& text);

    QTcpSocket* socket_ = nullptr;
    QTimer* retry_ = nullptr;
    QTimer* later_ = nullptr;
    QTimer* watch_ = nullptr;  // runs while an answer or the connection is awaited
    QElapsedTimer quiet_;      // since the bytes to the DAC last moved
    qint64 pending_ = 0;       // bytes not yet taken by the DAC at the last look
    QByteArray in_;
    bool awaiting_ = false;
    bool finishing_ = false;
    bool begun_ = false;
    bool played_ = false;  // the DAC has played points on this link
    bool done_ = false;    // a limited run has played, and been stopped
    int rate_ = 0;
    int capacity_ = ether_dream::kSmallestBuffer - 1;  // what the DAC is taken to hold
    std::vector<model::stage::Sample> inFlight_;       // the data command awaiting its answer
    std::vector<model::stage::Sample> held_;           // points a NAK-full sent back
    bool holding_ = false;  // a limited run's frames have given their last point
    int hold_ = 0;          // dark points after them
    int tail_ = 0;          // of those, still to send
    ether_dream::Status status_;
    Playhead playhead_;
    QString said_;
};

}  // namespace output
