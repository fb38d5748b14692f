#include "playlist/FileUri.h"

#include <QDir>
#include <QUrl>

namespace FileUri {

std::optional<QString> toLocalPath(const QString &uri)
{
    QUrl url(uri);
    if (!url.isValid() || !url.isLocalFile())
        return std::nullopt;
    // Qt turns a host into a network path (//localhost/...), which names nothing here.
    if (url.host() == QLatin1String("localhost"))
        url.setHost(QString());
    else if (!url.host().isEmpty())
        return std::nullopt;
    const QString path = url.toLocalFile();
    if (path.isEmpty() || path.contains(QChar(0)) || path.contains(u'\r') || path.contains(u'\n'))
        return std::nullopt;
    return path;
}

QString localPath(const QString &item, const QString &workingFolder)
{
    // No file name holds a NUL (a command line cannot pass one; the media controls' text can).
    if (item.isEmpty() || item.contains(QChar(0)))
        return {};
    QString path = item;
    if (item.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        path = toLocalPath(item).value_or(QString());
        if (path.isEmpty())
            return {};
    } else if (item.contains(QLatin1String("://"))) {
        // http:// and the like: the engine opens files only.
        return {};
    }
    // Joined by hand: QDir would take a name starting with ":" for one of Qt's resources.
    return QDir::cleanPath(path.startsWith(u'/') ? path : workingFolder + u'/' + path);
}

} // namespace FileUri
