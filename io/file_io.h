// The thin file layer under the file commands: whole-file reads, prefix reads and atomic
// writes of raw bytes. Failures come back as the file layer's text for the window to show.
#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <cstdint>
#include <optional>

namespace io {

struct FileResult {
    bool ok = true;
    QString error;  // the file layer's text when !ok
};

// Opens the file and reports its size in bytes, without reading it.
FileResult FileSize(const QString& name, int64_t& size);
// Reads the whole file; refuses a file larger than maxBytes instead of reading it.
FileResult ReadWholeFile(const QString& name, int64_t maxBytes, QByteArray& bytes);
// Reads the first maxBytes bytes, or the whole file when it is shorter.
FileResult ReadFileStart(const QString& name, int64_t maxBytes, QByteArray& bytes);
// Reads exactly the first `count` bytes; a shorter file is a failure.
FileResult ReadFilePrefix(const QString& name, int64_t count, QByteArray& bytes);
// Writes the bytes as the whole file through a temporary file that replaces the old one only
// once everything is written, so a failure leaves any previous file exactly as it was.
FileResult WriteFileAtomically(const QString& name, const QByteArray& bytes);

// The text shown when a file ends before the bytes a command needs.
QString ReadBeyondEndText();

// Why the system refused the file's last open, read or write, in the program's language: the
// system's own text is in the language of its locale, which need not be the program's.
QString SystemReason(const QFileDevice& file);

}  // namespace io
