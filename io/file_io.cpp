#include "io/file_io.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace io {

namespace {

FileResult Failure(const QString& text) {
    return {false, text};
}

// Opens for reading. Only regular files are read: a directory would open on this platform,
// and opening a pipe would wait for a writer forever.
FileResult OpenForReading(QFile& file) {
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile()) {
        return Failure(
            QCoreApplication::translate("io", "Доступ к файлу запрещён: %1 — не обычный файл")
                .arg(file.fileName()));
    }
    if (!file.open(QIODevice::ReadOnly)) {
        // Named, as every message of this layer names its file: the system's text does not.
        return Failure(QCoreApplication::translate("io", "Не удаётся открыть файл %1: %2")
                           .arg(file.fileName(), SystemReason(file)));
    }
    return {};
}

}  // namespace

QString SystemReason(const QFileDevice& file) {
    // Qt keeps only the system's text of the error; it is matched against the texts of the
    // errors a user meets, the rest pass as the system gives them.
    struct Reason {
        int error;
        const char* text;
    };
    static const Reason reasons[] = {
        {ENOENT, QT_TRANSLATE_NOOP("io", "нет такого файла или папки")},
        {EACCES, QT_TRANSLATE_NOOP("io", "доступ запрещён")},
        {EPERM, QT_TRANSLATE_NOOP("io", "доступ запрещён")},
        {EROFS, QT_TRANSLATE_NOOP("io", "диск только для чтения")},
        {ENOSPC, QT_TRANSLATE_NOOP("io", "на диске нет места")},
        {EDQUOT, QT_TRANSLATE_NOOP("io", "превышена квота на диске")},
        {EISDIR, QT_TRANSLATE_NOOP("io", "это папка")},
        {ENOTDIR, QT_TRANSLATE_NOOP("io", "часть пути — не папка")},
        {ENAMETOOLONG, QT_TRANSLATE_NOOP("io", "слишком длинное имя файла")},
        {EIO, QT_TRANSLATE_NOOP("io", "ошибка ввода-вывода")},
    };
    const QString text = file.errorString();
    for (const Reason& r : reasons) {
        if (text == qt_error_string(r.error)) {
            return QCoreApplication::translate("io", r.text);
        }
    }
    return text;
}

QString ReadBeyondEndText() {
    return QCoreApplication::translate("io", "Чтение за концом файла");
}

FileResult FileSize(const QString& name, int64_t& size) {
    QFile file(name);
    if (FileResult r = OpenForReading(file); !r.ok) {
        return r;
    }
    size = file.size();
    return {};
}

FileResult ReadWholeFile(const QString& name, int64_t maxBytes, QByteArray& bytes) {
    QFile file(name);
    if (FileResult r = OpenForReading(file); !r.ok) {
        return r;
    }
    const int64_t size = file.size();
    if (size > maxBytes) {
        return Failure(QCoreApplication::translate("io", "Файл слишком велик: %1").arg(name));
    }
    bytes = file.read(size);
    if (file.error() != QFileDevice::NoError) {
        return Failure(SystemReason(file));
    }
    if (bytes.size() != size) {
        return Failure(ReadBeyondEndText());
    }
    return {};
}

FileResult ReadFileStart(const QString& name, int64_t maxBytes, QByteArray& bytes) {
    QFile file(name);
    if (FileResult r = OpenForReading(file); !r.ok) {
        return r;
    }
    bytes = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        return Failure(SystemReason(file));
    }
    return {};
}

FileResult ReadFilePrefix(const QString& name, int64_t count, QByteArray& bytes) {
    QFile file(name);
    if (FileResult r = OpenForReading(file); !r.ok) {
        return r;
    }
    bytes = file.read(count);
    if (file.error() != QFileDevice::NoError) {
        return Failure(SystemReason(file));
    }
    if (bytes.size() < count) {
        return Failure(ReadBeyondEndText());
    }
    return {};
}

FileResult WriteFileAtomically(const QString& name, const QByteArray& bytes) {
    if (QFileInfo(name).isDir()) {
        return Failure(
            QCoreApplication::translate("io", "Доступ к файлу запрещён: %1 — это папка").arg(name));
    }
    QSaveFile file(name);
    // Unbuffered, so that a short write (a full disk) is seen here: a buffered write that
    // stops half way is flushed at commit without any error.
    const auto failed = [&name, &file] {
        return Failure(QCoreApplication::translate("io", "Не удаётся создать файл %1: %2")
                           .arg(name, SystemReason(file)));
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return failed();
    }
    if (file.write(bytes) != bytes.size()) {
        const FileResult text =
            file.error() != QFileDevice::NoError
                ? failed()
                : Failure(QCoreApplication::translate("io", "Диск заполнен: %1").arg(name));
        file.cancelWriting();
        return text;
    }
    if (!file.commit()) {
        return failed();
    }
    return {};
}

}  // namespace io
