#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The list-file format: one entry per line, written as "entry" followed by CR LF, nothing escaped.
// Reading is tolerant of files written by hand or on another system: fields are separated by commas
// and by line ends (CR LF, LF or CR), a quoted field may hold commas, a UTF-8 byte-order mark is
// ignored, and bytes that are not valid UTF-8 are taken as Windows-1252.
namespace ListFile {

QByteArray encode(const QStringList &entries);
QStringList decode(const QByteArray &bytes);

// Turns the file's bytes into text: UTF-8 when they are valid UTF-8 (a byte-order mark dropped),
// Windows-1252 otherwise.
QString decodeText(const QByteArray &bytes);

// Replaces the file atomically: until the new content is complete on disk, the old file stays as it
// was. Returns false, leaving any existing file untouched, when the file cannot be written.
bool write(const QString &path, const QStringList &entries);

// The same atomic replace, for bytes already encoded (a playlist of another format).
bool replace(const QString &path, const QByteArray &bytes);
// Copies the file byte for byte to copyPath, replacing that atomically. False when the file cannot
// be read or the copy cannot be written.
bool keepCopy(const QString &path, const QString &copyPath);

// Every entry of the file, or nothing when the file is missing or unreadable.
std::optional<QStringList> read(const QString &path);

// The file's bytes, or nothing when it is missing or unreadable; a read error part way keeps what
// arrived before it.
std::optional<QByteArray> readBytes(const QString &path);

} // namespace ListFile
