#include "playlist/MediaArguments.h"

#include "playlist/FolderScan.h"
#include "playlist/PlaylistFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

namespace MediaArguments {

QString localPath(const QString &item, const QString &workingFolder)
{
    if (item.isEmpty())
        return {};
    QString path = item;
    if (item.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(item);
        if (!url.isLocalFile())
            return {};
        path = url.toLocalFile();
    } else if (item.contains(QLatin1String("://"))) {
        // http:// and the like: the engine opens files only.
        return {};
    }
    return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(path));
}

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
