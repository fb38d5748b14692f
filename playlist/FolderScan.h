#pragma once

#include <QString>
#include <QStringList>

// The media files of one folder, as "add a folder" appends them: grouped by pattern in the order
// below, each group in the order the file system lists the folder, plain visible files only, names
// matched whatever their case, sub-folders not searched.
namespace FolderScan {

inline const QStringList Patterns = {
    QStringLiteral("*.dat"), QStringLiteral("*.avi"),  QStringLiteral("*.mp3"), QStringLiteral("*.mpg"),
    QStringLiteral("*.wav"), QStringLiteral("*.mpeg"), QStringLiteral("*.wma")};

// The folder, a separator unless it already ends with one, then the name.
QString join(const QString &folder, const QString &name);

// Full paths of the folder's media files. A folder that cannot be read gives what was found before
// the failure (nothing, here: the folder is listed once).
QStringList scan(const QString &folder);

} // namespace FolderScan
