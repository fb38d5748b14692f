#pragma once

#include <QString>

#include <optional>

// Local files as other programs name them: a path, or a file:// URI (what a file manager's "Open with",
// the desktop's media controls and other players' M3U and PLS lists give). Both the forms of a file
// URI are this machine's: file:///home/u/a.mp3 and file://localhost/home/u/a.mp3.
namespace FileUri {

// The local path a file: URI names; nothing for another host's file, or for a URI that decodes to a
// NUL or a line end, which no file name holds and which would split a list or a message.
std::optional<QString> toLocalPath(const QString &uri);

// A command-line item as an absolute, clean path, a relative path taken from workingFolder; empty for
// an empty item, one holding a NUL, and a URI the player cannot open as a file (another scheme, another
// host).
QString localPath(const QString &item, const QString &workingFolder);

} // namespace FileUri
