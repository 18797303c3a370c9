// The frames to an Ether Dream over TCP: one command at a time, each waiting for its answer;
// the DAC's buffer kept about 80 ms ahead (or full); the connection made again when the DAC comes
// back.
#pragma once

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
    void Send(const QByteArray& command);
    void Say(const QString& text);

    QTcpSocket* socket_ = nullptr;
    QTimer* retry_ = nullptr;
    QTimer* later_ = nullptr;
    QTimer* silence_ = nullptr;  // runs while an answer is awaited
    QByteArray in_;
    bool awaiting_ = false;
    bool finishing_ = false;
    bool begun_ = false;
    int rate_ = 0;
    ether_dream::Status status_;
    Playhead playhead_;
    QString said_;
};

}  // namespace output
