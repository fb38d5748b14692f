#include "playlist/MediaArguments.h"

#include "core/FolderScan.h"
#include "playlist/PlaylistFiles.h"

#include <QFileInfo>

#include <algorithm>

namespace MediaArguments {

QStringList entries(const QStringList &localPaths)
{
    QStringList added;
    for (const QString &path : localPaths) {
        const QFileInfo info(path);
        if (path.isEmpty() || !info.exists())
            continue;
        if (info.isDir())
            added += FolderScan::scan(path);
        else if (PlaylistFiles::isPlaylistName(path))
            // The reader "Charger" uses, so a list opened from outside reads exactly as one loaded in the
            // window (M3U and PLS too), and a named pipe of that name as nothing.
            added += PlaylistFiles::read(path).value_or(QStringList());
        else
            added.append(path);
    }
    return added;
}

bool loadsAList(const QStringList &localPaths)
{
    return std::any_of(localPaths.cbegin(), localPaths.cend(), [](const QString &path) {
        return PlaylistFiles::isPlaylistName(path) && QFileInfo(path).isFile();
    });
}

} // namespace MediaArguments
