#pragma once

#include <QString>
#include <QStringList>

// What the player is asked to open from outside the window: the command line, a second start handing
// over its arguments, files dropped on the window, the desktop's "open this". Each item, a local path
// once FileUri has read it, becomes playlist entries the way the window's own commands would make them:
// a folder gives what "Ajouter un répertoir" adds, a list file what "Charger" reads, a file itself.
namespace MediaArguments {

// The entries the items add, in their order. An item that names nothing on disk, a list file that
// cannot be read and a folder without media add nothing; a file is added whatever it holds, and the
// transport skips it at play time if the engine cannot open it, as it skips any bad entry.
QStringList entries(const QStringList &localPaths);

// Whether one of the items is a list file that can be read: opened from outside it takes the place of
// the playlist, as "Charger" loads one.
bool loadsAList(const QStringList &localPaths);

} // namespace MediaArguments
