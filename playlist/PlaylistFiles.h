#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Every kind of list file "Charger" opens and "Sauvgarder" writes, told apart by the name's ending:
// .m3u and .m3u8 are M3U, .pls is PLS, anything else our own list-file format. A name with no
// telling ending (a list saved under "All files") is recognised by its first line.
namespace PlaylistFiles {

enum class Format { ListFile, M3u, Pls };

// The format a name asks for, by its ending alone.
Format formatOfName(const QString &path);

// Whether the name is that of a playlist rather than of a media file: .lst, .m3u, .m3u8 or .pls.
bool isPlaylistName(const QString &path);

// The format of a file of that name holding these bytes: its ending decides, and for a name whose
// ending tells nothing (not even .lst), the first line.
Format formatOf(const QString &path, const QByteArray &bytes);

// Every entry of these bytes, read as a file of that name. Lines that name no file are skipped; a
// damaged file gives what can be read of it.
QStringList decode(const QString &path, const QByteArray &bytes);

// Every entry of the file in its own format, or nothing when it cannot be opened or is no regular
// file.
std::optional<QStringList> read(const QString &path);

// The name a save goes to: the chosen one, with ".lst" added when it has no extension.
QString saveName(const QString &chosen);

// The bytes of the entries in the given format.
QByteArray encode(Format format, const QStringList &entries);

// Writes the entries in the format the name asks for (M3U8 for .m3u8 and .m3u, PLS for .pls, the
// list-file format otherwise); the file is replaced atomically. Returns whether it was written.
bool write(const QString &path, const QStringList &entries);

} // namespace PlaylistFiles
