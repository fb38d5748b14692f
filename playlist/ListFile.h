#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The list-file format: one entry per line, written as "entry" followed by CR LF, nothing escaped.
// Reading is tolerant of files written by hand or on another system: fields are separated by commas
// and by line ends (CR LF, LF or CR), a quoted field may hold commas, a UTF-8 byte-order mark is
// ignored, and each entry is UTF-8 when its bytes are valid UTF-8 and Windows-1252 otherwise, so that
// one name from another system leaves the others as they are.
namespace ListFile {

QByteArray encode(const QStringList &entries);
QStringList decode(const QByteArray &bytes);

// One entry's bytes as text: UTF-8 when they are valid UTF-8, Windows-1252 otherwise.
QString decodeEntry(QByteArrayView bytes);

// A whole text of lines, each decoded on its own as decodeEntry does; a byte-order mark at the
// start is dropped, the line ends are kept.
QString decodeText(const QByteArray &bytes);

// Replaces the file atomically (UserFile::replace). False, leaving any existing file untouched, when
// the file cannot be written.
bool write(const QString &path, const QStringList &entries);

// Every entry of the file, or nothing when it is missing, unreadable or no regular file.
std::optional<QStringList> read(const QString &path);

} // namespace ListFile
