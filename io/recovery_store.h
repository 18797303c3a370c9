// Recovery copies of unsaved work. Each running editor keeps at most one copy in a folder
// shared by all editors of the user, and owns it through a lock file for as long as it runs.
// A copy whose owner is gone (a crash, a kill, a power cut) is an orphan, offered back at the
// next start. Copies are written whole through a temporary file, then the folder is synced,
// so a copy on disk is always one complete write.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace io {

struct RecoveryRecord {
    QString fileName;     // the file the work belongs to; empty when it has none
    QString captionFile;  // the caption's file part at the time of the write
    QDateTime written;    // when the copy was written
    QByteArray contour;   // the contour file image
    // The points' styles as the window encodes them; empty when all are default. A copy
    // without them is written as copies were before there were styles, and such copies read.
    QByteArray styles;
    // The frame of an ILDA show the work came from (0 the first), or -1. Written after the
    // styles, and only when there is one.
    qint32 frame = -1;
    // The points' exact positions, as the window encodes them, when the contour file image
    // rounds them (a contour opened from ILDA lies between the image's steps); empty when
    // the image holds them exactly. Written after the frame, and only when there are some.
    QByteArray points;
    // A show of several frames, every one of them and which is edited, as the window encodes
    // them; empty for one frame. Written after the points, and only when there are several.
    QByteArray frames;
};

// The bytes of a copy, and back. decode refuses anything that is not one whole copy.
QByteArray EncodeRecovery(const RecoveryRecord& record);
std::optional<RecoveryRecord> DecodeRecovery(const QByteArray& bytes, qsizetype contourSize);

struct RecoveryOrphan {
    QString path;
    std::optional<RecoveryRecord> record;  // empty when the copy is damaged
};

class RecoveryStore {
  public:
    explicit RecoveryStore(QString folder);
    ~RecoveryStore();  // gives the lock up; the copy stays if it was not removed

    // Creates the folder and takes a lock of this editor's own; false when the folder cannot
    // be written, and the reason in error().
    bool open();
    bool isOpen() const { return lock_ != nullptr; }
    // Writes this editor's copy; false, with the reason in error(), when it could not.
    bool write(const RecoveryRecord& record);
    // Removes this editor's copy, if there is one.
    void remove();
    bool hasCopy() const { return hasCopy_; }
    QString copyPath() const { return copyPath_; }
    QString error() const { return error_; }

    // The copies in the folder whose editors no longer run, newest first; contourSize is the
    // size a copy's contour must have. This editor's own copy is never among them.
    std::vector<RecoveryOrphan> orphans(qsizetype contourSize) const;
    // Deletes an orphan for good.
    static void discard(const QString& path);
    // Renames a damaged orphan so that it is kept for inspection but never offered again.
    static void setAside(const QString& path);

    static constexpr const char* kSuffix = ".qrc";

  private:
    QString folder_;
    QString copyPath_;
    std::unique_ptr<QLockFile> lock_;
    bool hasCopy_ = false;
    QString error_;
};

}  // namespace io
