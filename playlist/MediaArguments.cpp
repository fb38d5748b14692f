#include "playlist/MediaArguments.h"

#include "playlist/FolderScan.h"
#include "playlist/ListFile.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

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

bool isListFile(const QString &path)
{
    static const QStringList suffixes = {QStringLiteral("lst"), QStringLiteral("m3u"), QStringLiteral("m3u8"),
                                         QStringLiteral("pls")};
    return suffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
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
        else if (isListFile(path))
            // The reader "Charger" uses, so a list opened from outside reads exactly as one loaded in the
            // window. Only a plain file: reading a named pipe would wait for a writer forever.
            added += info.isFile() ? ListFile::read(path).value_or(QStringList()) : QStringList();
        else
            added.append(path);
    }
    return added;
}

} // namespace MediaArguments
