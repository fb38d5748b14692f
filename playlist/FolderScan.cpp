#include "playlist/FolderScan.h"

#include <QDir>
#include <QDirIterator>

#include <vector>

namespace FolderScan {

QString join(const QString &folder, const QString &name)
{
    const QChar separator = QDir::separator();
    return folder.endsWith(separator) || folder.endsWith(u'/') ? folder + name : folder + separator + name;
}

QStringList scan(const QString &folder)
{
    // The folder is listed once and the names are then sorted into the pattern groups: seven
    // listings of a folder of ten thousand files would cost seven times as much.
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        names.append(it.fileName());
    }

    // Every pattern is "*." and an extension: a name belongs to the first group whose extension
    // ends it, which a suffix comparison decides without a regular expression per name.
    std::vector<QString> suffixes;
    for (const QString &pattern : Patterns)
        suffixes.push_back(pattern.mid(1));
    std::vector<QStringList> groups(suffixes.size());
    for (const QString &name : names) {
        for (std::size_t g = 0; g < suffixes.size(); ++g) {
            if (name.size() > suffixes[g].size() && name.endsWith(suffixes[g], Qt::CaseInsensitive)) {
                groups[g].append(join(folder, name));
                break;
            }
        }
    }
    QStringList paths;
    paths.reserve(names.size());
    for (const QStringList &group : groups)
        paths += group;
    return paths;
}

} // namespace FolderScan
