#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// An entry of a playlist made by another player (M3U, PLS) turned into a playlist entry: a file://
// URI becomes its local path, a relative path is taken from the list's own folder, an absolute path
// stays as it is. Nothing for what names no local file (a web address, an empty or broken line).
namespace ForeignListEntry {

std::optional<QString> resolve(const QString &text, const QString &listFolder);

// The lines of a list's text, trimmed, whatever its line ends (CR, LF or both); views into text.
QList<QStringView> lines(const QString &text);

} // namespace ForeignListEntry
