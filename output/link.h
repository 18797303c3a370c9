// A live output: one device, fed frames from the window's thread and played on a thread of its
// own, so that nothing here ever makes the window wait on the network. Stopping blanks the beam
// before the connection closes; so does destroying the link (which waits for that). A link that
// cannot play says why and stops by itself; so does one given a number of samples, once they
// have played.
#pragma once

#include <QMutex>
#include <QObject>
#include <QThread>
#include <memory>

#include "output/frame.h"

namespace output {

// Why a link could not play.
enum class Failure {
    AddressNotFound,    // the host's name does not resolve
    ConnectionRefused,  // nothing listens on the device's port
    NoAnswer,           // the device does not answer
    NothingPlayed,      // the output ended without a point played
};

// The failure as a message names it, after the device: "соединение отклонено".
QString FailureText(Failure why);

// The newest frames, handed from the window's thread to the network thread: one frame played
// round and round, or a show's frames played in order, looping.
class FrameSlot {
  public:
    // `limit`: how many samples are played from these frames on before the output ends; 0 for
    // no end. `goOn`: they go on from the frame of the show playing, as far into it as it is.
    void Put(std::vector<Frame> frames, qint64 limit = 0, bool goOn = false);
    // Copies the newest frames, their limit and whether they go on when they are newer than
    // `generation`.
    bool TakeNewer(quint64& generation, std::vector<Frame>& into, qint64& limit, bool& goOn);

  private:
    QMutex mutex_;
    std::vector<Frame> frames_;
    qint64 limit_ = 0;
    bool goOn_ = false;
    quint64 generation_ = 0;
};

// The sending side of a link, which lives on the network thread; one kind per protocol.
class Sender : public QObject {
    Q_OBJECT
  public:
    Sender(Target target, std::shared_ptr<FrameSlot> slot);

    // Opens the connection and plays the frames as they come.
    virtual void Begin() = 0;
    // Blanks the beam and closes the connection, before it returns.
    virtual void Finish() = 0;

  Q_SIGNALS:
    // What happened, in the words of the status bar.
    void Status(const QString& text);
    // The device cannot be played to (the status has said why); the link stops.
    void Failed(output::Failure why);
    // The samples of a limited run have played; the link stops.
    void Done();

  protected:
    // Says why in the status and signals the failure, once; a sender that failed sends no more.
    void Fail(Failure why);

    const Target target_;
    const std::shared_ptr<FrameSlot> slot_;
    bool failed_ = false;
};

class Link : public QObject {
    Q_OBJECT
  public:
    explicit Link(const Target& target, QObject* parent = nullptr);
    // Stops, and waits until the beam is blanked and the connection closed.
    ~Link() override;

    // The frame to play from now on; it replaces the one playing at once (the beam goes to its
    // start dark).
    void Show(Frame frame);
    // The frames of a show, each played once in turn, round and round; they replace what is
    // playing at once, as Show does. With `samples` above 0 the link stops by itself once that
    // many have played.
    void Play(std::vector<Frame> frames, qint64 samples = 0);
    // A show's new frames (ShowFrames) in place of those playing: they go on from the same frame
    // of the show (by its number), as far into its time as it had played, so that an edit or
    // a setting changed while a show plays does not start it again.
    void Continue(std::vector<Frame> frames);
    // Blanks the beam and closes the connection; `Stopped` says when that is done.
    void Stop();
    bool Running() const { return thread_.isRunning(); }
    const Target& Device() const { return target_; }

  Q_SIGNALS:
    void Status(const QString& text);
    // The device cannot be played to; the link stops by itself, and Stopped follows.
    void Failed(output::Failure why);
    void Stopped();

  private:
    const Target target_;
    const std::shared_ptr<FrameSlot> slot_ = std::make_shared<FrameSlot>();
    QThread thread_;
    Sender* sender_ = nullptr;
    bool stopping_ = false;
};

}  // namespace output
