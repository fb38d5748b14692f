#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The files the user keeps (playlists, the options): read only when they are ordinary files of a size
// a real one has, and replaced only whole. Whatever goes wrong on the way (a full disk, a failing
// disk, a name that is a device or a named pipe), the file the user had stays as it was.
namespace UserFile {

// No playlist or settings file comes near this; a device that never ends (/dev/zero) or a runaway
// file would otherwise be read into memory until the machine gives out.
inline constexpr qint64 LargestRead = qint64(256) * 1024 * 1024;

// The file's bytes; nothing when it is missing or cannot be opened, when it is not a regular file
// (links followed) or when it is larger than LargestRead. A named pipe is seen for what it is without
// waiting for a writer. A read error part way keeps what arrived before it (nothing if nothing did).
std::optional<QByteArray> read(const QString &path);

// Replaces the file with these bytes: they go to a new file beside it, every write checked, the file
// synced to the disk and renamed over the old one, then the folder synced. A link is followed to the
// regular file it names, which keeps its permissions; a name that is anything else (a device, a pipe,
// a folder, a link to nothing) is left alone. False when any step failed: the new file is then gone
// and the old one untouched.
bool replace(const QString &path, const QByteArray &bytes);

} // namespace UserFile
