#pragma once

#include <QString>

// Where lastlist.lst lives. Beside the program when its folder takes it (a build tree, a copy in the
// user's own folder), otherwise in the user's data folder, qwelto/lastlist.lst under $XDG_DATA_HOME
// (~/.local/share): an installed player may sit in a folder only the administrator can write.
namespace LastListLocation {

inline constexpr const char *FileName = "lastlist.lst";

// Whether lastlist.lst can be replaced in the program's folder: the folder is writable, and so is the
// file if there is one already (the atomic replace refuses a file the user may not write). The bin/
// folder of an install prefix never does, even the user's own (~/.local/bin): it holds programs, and
// our desktop entry in the prefix's share/applications tells that the player was installed there.
bool programFolderTakesTheList(const QString &programFolder);

// The list read at start: beside the program when its folder takes it; otherwise the one in the data
// folder, or, before there is one, the list the program's folder still holds from the days it was
// writable, so that it carries over rather than being lost. A list in the data folder, even an empty
// one, is the user's: a write that failed never leaves one behind (UserFile::replace).
QString readPath(const QString &programFolder, const QString &dataFolder, bool programFolderWritable);

// The list written at close; the caller makes the data folder's qwelto/ when it is the one chosen.
QString writePath(const QString &programFolder, const QString &dataFolder, bool programFolderWritable);

// The user's data folder: $XDG_DATA_HOME, or ~/.local/share when that is unset.
QString userDataFolder();

} // namespace LastListLocation
