#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QLabel;
class QListWidget;

// The playlist is the list box lstPlay itself: its items are the entries, in the order added.
namespace Playlist {

QStringList entries(const QListWidget &lstPlay);
void appendEntries(QListWidget &lstPlay, const QStringList &entries);

// Reads a list file into lstPlay. The list is emptied only once the file could be opened, so a
// missing file leaves the playlist as it was. Returns whether the file was read.
bool load(QListWidget &lstPlay, const QString &listFile);

// Writes lstPlay to a list file, replacing it atomically. Returns whether it was written.
bool save(const QListWidget &lstPlay, const QString &listFile);

// Entries are shown no longer than this. It is the longest path Linux opens (PATH_MAX), so a real
// entry is shown whole; a longer one comes from a damaged list file, and laying out megabytes of text
// at every repaint would freeze the window for seconds.
inline constexpr qsizetype LongestShownText = 4096;

// What the window shows of an entry or a name: itself, or its first LongestShownText characters and
// an ellipsis. The entry itself is kept whole, to be saved as it was read.
QString shownText(const QString &text);

// The file name part of an entry: what follows its last "\" or "/".
QString fileNameOf(const QString &entry);

// What txtFN shows for the selected entry; nothing for no selection, an empty entry or a break marker,
// in which case txtFN keeps what it showed.
std::optional<QString> selectionCaption(const QString &entry);

// Shows the selected entry in txtFN: its file name as the caption, the entry as the tooltip, both
// as shownText gives them.
void lstPlay_Click(const QListWidget &lstPlay, QLabel &txtFN);

} // namespace Playlist
