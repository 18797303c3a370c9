#include "io/recovery_store.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUuid>
#include <algorithm>

#include "io/file_io.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace io {

namespace {

constexpr char kMagic[] = "QRNRCV01";
constexpr qsizetype kMagicSize = 8;
// Generous for two names, a time and a long show (a thousand frames of a thousand points take
// some 12 MB); a larger copy is not one of ours.
constexpr qint64 kMaxCopySize = qint64(1) << 30;

QString LockPath(const QString& copy) {
    return copy + QStringLiteral(".lock");
}

// A rename is only on disk once its folder is.
void SyncFolder(const QString& folder) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

std::unique_ptr<QLockFile> NewLock(const QString& copy) {
    auto lock = std::make_unique<QLockFile>(LockPath(copy));
    // Only a dead owner makes a lock stale, however long its editor has been running.
    lock->setStaleLockTime(0);
    return lock;
}

}  // namespace

QByteArray EncodeRecovery(const RecoveryRecord& record) {
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << record.fileName << record.captionFile << record.written << record.contour;
    // Each field only when it or one after it holds something, so that older copies read.
    const bool frames = !record.frames.isEmpty();
    const bool points = frames || !record.points.isEmpty();
    const bool frame = points || record.frame >= 0;
    if (frame || !record.styles.isEmpty()) {
        out << record.styles;
    }
    if (frame) {
        out << record.frame;
    }
    if (points) {
        out << record.points;
    }
    if (frames) {
        out << record.frames;
    }
    QByteArray bytes = QByteArray(kMagic, kMagicSize) + body;
    QDataStream tail(&bytes, QIODevice::Append);
    tail.setVersion(QDataStream::Qt_6_0);
    tail << quint32(body.size()) << quint16(qChecksum(body));
    return bytes;
}

std::optional<RecoveryRecord> DecodeRecovery(const QByteArray& bytes, qsizetype contourSize) {
    constexpr qsizetype kTail = 4 + 2;
    if (bytes.size() < kMagicSize + kTail ||
        !bytes.startsWith(QByteArrayView(kMagic, kMagicSize))) {
        return std::nullopt;
    }
    const QByteArray body = bytes.mid(kMagicSize, bytes.size() - kMagicSize - kTail);
    QDataStream tail(bytes.right(kTail));
    tail.setVersion(QDataStream::Qt_6_0);
    quint32 size = 0;
    quint16 checksum = 0;
    tail >> size >> checksum;
    if (size != quint32(body.size()) || checksum != qChecksum(body)) {
        return std::nullopt;
    }
    RecoveryRecord record;
    QDataStream in(body);
    in.setVersion(QDataStream::Qt_6_0);
    in >> record.fileName >> record.captionFile >> record.written >> record.contour;
    if (in.status() == QDataStream::Ok && !in.atEnd()) {
        in >> record.styles;
    }
    if (in.status() == QDataStream::Ok && !in.atEnd()) {
        in >> record.frame;
    }
    if (in.status() == QDataStream::Ok && !in.atEnd()) {
        in >> record.points;
    }
    if (in.status() == QDataStream::Ok && !in.atEnd()) {
        in >> record.frames;
    }
    if (in.status() != QDataStream::Ok || !in.atEnd() || record.contour.size() != contourSize ||
        record.frame < -1) {
        return std::nullopt;
    }
    return record;
}

RecoveryStore::RecoveryStore(QString folder) : folder_(std::move(folder)) {}

RecoveryStore::~RecoveryStore() = default;

bool RecoveryStore::open() {
    if (!QDir().mkpath(folder_)) {
        error_ = QCoreApplication::translate("io", "не удаётся создать папку %1").arg(folder_);
        return false;
    }
    const QString copy = QDir(folder_).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) +
                                                QLatin1String(kSuffix));
    auto lock = NewLock(copy);
    if (!lock->tryLock(0)) {
        error_ = lock->error() == QLockFile::PermissionError
                     ? QCoreApplication::translate("io", "в папку %1 нельзя писать").arg(folder_)
                     : QCoreApplication::translate("io", "не удаётся занять файл %1").arg(copy);
        return false;
    }
    copyPath_ = copy;
    lock_ = std::move(lock);
    return true;
}

bool RecoveryStore::write(const RecoveryRecord& record) {
    if (!lock_) {
        return false;
    }
    QSaveFile file(copyPath_);
    if (!file.open(QIODevice::WriteOnly)) {
        error_ = SystemReason(file);
        return false;
    }
    const QByteArray bytes = EncodeRecovery(record);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        error_ = SystemReason(file);
        return false;
    }
    SyncFolder(folder_);
    hasCopy_ = true;
    return true;
}

void RecoveryStore::remove() {
    if (hasCopy_) {
        QFile::remove(copyPath_);
        SyncFolder(folder_);
        hasCopy_ = false;
    }
}

std::vector<RecoveryOrphan> RecoveryStore::orphans(qsizetype contourSize) const {
    QDir dir(folder_);
    const QFileInfoList files =
        dir.entryInfoList({QStringLiteral("*") + QLatin1String(kSuffix)}, QDir::Files, QDir::Time);
    std::vector<RecoveryOrphan> found;
    for (const QFileInfo& info : files) {
        const QString path = info.absoluteFilePath();
        if (path == QFileInfo(copyPath_).absoluteFilePath()) {
            continue;
        }
        // An owner that still runs holds the lock; taking it means the owner is gone.
        auto probe = NewLock(path);
        if (!probe->tryLock(0)) {
            continue;
        }
        probe->unlock();
        RecoveryOrphan orphan{path, std::nullopt};
        QFile file(path);
        if (info.size() <= kMaxCopySize && file.open(QIODevice::ReadOnly)) {
            orphan.record = DecodeRecovery(file.readAll(), contourSize);
        }
        found.push_back(std::move(orphan));
    }
    // Locks of editors that are gone without leaving a copy are only clutter.
    const QString lockSuffix = QLatin1String(kSuffix) + QStringLiteral(".lock");
    for (const QString& lock : dir.entryList({QStringLiteral("*") + lockSuffix}, QDir::Files)) {
        const QString copy = dir.filePath(lock.chopped(5));
        if (!QFileInfo::exists(copy) && copy != copyPath_) {
            auto probe = NewLock(copy);
            if (probe->tryLock(0)) {
                probe->unlock();
            }
        }
    }
    return found;  // QDir::Time sorts newest first
}

void RecoveryStore::discard(const QString& path) {
    QFile::remove(path);
    SyncFolder(QFileInfo(path).absolutePath());
}

void RecoveryStore::setAside(const QString& path) {
    const QString aside = path + QStringLiteral(".damaged");
    QFile::remove(aside);
    QFile::rename(path, aside);
    SyncFolder(QFileInfo(path).absolutePath());
}

}  // namespace io
