#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// PLS playlists: an INI-like text whose FileN=... keys hold the entries, in the order of N whatever
// the order of the lines. Titles, lengths and the other keys are ignored; paths and file:// URIs are
// taken as in an M3U, and a key without a usable number or value is skipped.
namespace PlsList {

QStringList decode(const QByteArray &bytes, const QString &listFolder);
// A PLS version 2 in UTF-8, LF line ends, numbered from File1; entries a line cannot hold (empty, blank,
// with a line end) are left out, as they name no file.
QByteArray encode(const QStringList &entries);

} // namespace PlsList
