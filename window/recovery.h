// Automatic recovery of unsaved work. While the contour (every frame of a show of several)
// differs from the file last opened or saved (the comparison the closing question makes), a
// copy of it is kept on disk, written at
// most one interval after a change and at most once an interval. The editing paths are not
// touched: the document's announcement of a change arms the write. At start, the copies left
// by editors that did not close are offered back.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "io/recovery_store.h"
#include "model/contour_file.h"
#include "model/show.h"
#include "window/dialogs.h"

namespace window {

class FileCommands;

// What the keeper needs of the window: the dialogs for its questions, the caption's file part
// to keep with a copy, and a quiet place for its one notice.
class RecoveryWindow {
  public:
    virtual ~RecoveryWindow() = default;
    virtual Dialogs& dialogs() = 0;
    virtual QString captionFile() const = 0;
    // The status bar's notice, with a longer explanation as its hint.
    virtual void showNotice(const QString& text, const QString& hint) = 0;
};

class RecoveryKeeper : public QObject {
    Q_OBJECT
  public:
    // A change is on disk within this and the time to write it: at most a second of work is
    // lost.
    static constexpr int kIntervalMs = 1000;

    RecoveryKeeper(FileCommands& files, RecoveryWindow& window,
                   std::unique_ptr<io::RecoveryStore> store, int intervalMs = kIntervalMs);
    ~RecoveryKeeper() override;

    // Asks about each orphan, newest first, until one is restored; damaged ones are reported
    // once and set aside. Then starts keeping this editor's copy.
    void Start();
    // One comparison: writes the copy when the contour changed since the last write, removes
    // it when the contour equals the saved file again. The copy is written on a thread of its
    // own, so that a long show's does not hold the window up; Wait::Yes returns once it is on
    // disk. With Wait::No, a tick while a copy is being written comes again an interval later.
    enum class Wait { Yes, No };
    void Tick(Wait wait = Wait::Yes);
    // The editor closes normally: its copy is no longer needed.
    void Finish();

    io::RecoveryStore& store() { return *store_; }

  private:
    // The write in progress, if any, waited for and its outcome taken.
    void AwaitWrite();
    void WriteEnded();
    void ReportUnwritable();
    bool OfferOrphans();

    FileCommands& files_;
    RecoveryWindow& window_;
    std::unique_ptr<io::RecoveryStore> store_;
    QTimer timer_;
    // What was last written: the contour's file image and its points' styles.
    // What the copy on disk holds.
    struct Work {
        model::ContourFileImage image;
        std::vector<model::PointStyle> styles;
        QByteArray points;
        QByteArray frames;
        friend bool operator==(const Work&, const Work&) = default;
    };
    std::optional<Work> written_;
    // What the write in progress puts on disk, until its outcome is taken.
    std::optional<Work> writing_;
    QFutureWatcher<bool> write_;
    // One thread: the copies are written in turn.
    QThreadPool writer_;
    bool reported_ = false;
    bool started_ = false;
    bool finished_ = false;
};

// The points' styles as a recovery copy keeps them, four bytes each (red, green, blue, and 1 for
// coloured plus 2 for blanked), and back; empty when all are default. Reading stops at the
// contour's most points and ignores a byte count that is not whole points.
QByteArray EncodeStyles(const std::vector<model::PointStyle>& styles);
std::vector<model::PointStyle> DecodeStyles(const QByteArray& bytes);
// The points' exact positions as a recovery copy keeps them, x and y as 32-bit little-endian
// values, when the contour file image would round any of them; empty when it holds them all
// exactly. Reading stops at the buffer's points and ignores a byte count not whole points.
QByteArray EncodeExactPoints(const std::vector<model::ContourPoint>& points);
std::vector<model::ContourPoint> DecodeExactPoints(const QByteArray& bytes);

// A show of several frames as a recovery copy keeps it: which frame is edited, then each
// frame's name, exact points and styles (as EncodeStyles keeps them); empty for one frame. Read
// back, nothing for bytes that are not such a show (more frames than a show holds, a frame of
// more points than the contour's buffer, the edited frame not among them).
QByteArray EncodeFrames(const std::vector<model::Frame>& frames, int current);
struct KeptFrames {
    std::vector<model::Frame> frames;
    int current = 0;
};
std::optional<KeptFrames> DecodeFrames(const QByteArray& bytes);

// The recovery folder of this user: the application's data folder, then "recovery".
QString DefaultRecoveryFolder();

}  // namespace window
