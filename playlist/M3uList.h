#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// M3U and M3U8 playlists, as other players write them: one path or file:// URI a line, comments and
// #EXTINF lines starting with "#". Reading takes UTF-8 (a byte-order mark dropped) or, failing that,
// Windows-1252, resolves relative paths against the list's folder, and skips whatever names no
// local file. Writing gives an extended M3U in UTF-8 with LF line ends.
namespace M3uList {

QStringList decode(const QByteArray &bytes, const QString &listFolder);
QByteArray encode(const QStringList &entries);

} // namespace M3uList
