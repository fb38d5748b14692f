#pragma once

#include <QString>
#include <QStringList>

// The media files of one folder, as "add a folder" appends them: grouped by kind in the order of the
// table of media kinds, each group in natural order, plain visible files only, names matched whatever
// their case, sub-folders not searched.
namespace FolderScan {

// The folder, a separator unless it already ends with one, then the name.
QString join(const QString &folder, const QString &name);

// The names in the order a French reader expects: numbers by their value (2 before 10), case and
// accents set aside unless the names differ in nothing else.
void sortNaturally(QStringList &names);

// Full paths of the folder's media files. A folder that cannot be read gives what was found before
// the failure (nothing, here: the folder is listed once).
QStringList scan(const QString &folder);

} // namespace FolderScan
