#include "core/FolderScan.h"

#include "core/MediaKind.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>

#include <algorithm>
#include <vector>

namespace FolderScan {

QString join(const QString &folder, const QString &name)
{
    const QChar separator = QDir::separator();
    return folder.endsWith(separator) || folder.endsWith(u'/') ? folder + name : folder + separator + name;
}

void sortNaturally(QStringList &names)
{
    QCollator collator{QLocale(QLocale::French, QLocale::France)};
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // One key per name, compared as bytes: a folder of ten thousand names would otherwise run the
    // collation rules some hundred thousand times.
    struct Keyed {
        QCollatorSortKey key;
        QString name;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(static_cast<std::size_t>(names.size()));
    for (const QString &name : std::as_const(names))
        keyed.push_back({collator.sortKey(name), name});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        const int order = a.key.compare(b.key);
        // Names the rules hold equal still come in one fixed order, whatever the file system's.
        return order != 0 ? order < 0 : a.name < b.name;
    });
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[static_cast<std::size_t>(i)].name);
}

QStringList scan(const QString &folder)
{
    // The folder is listed once and the names are then sorted into the pattern groups: a listing per
    // pattern of a folder of ten thousand files would cost that many times as much.
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        names.append(it.fileName());
    }
    sortNaturally(names);

    // A name belongs to the first group whose ending ends it, which a suffix comparison decides
    // without a pattern match per name.
    std::vector<QString> suffixes;
    for (const MediaKind::Kind &kind : MediaKind::kinds())
        suffixes.push_back(u'.' + QString::fromLatin1(kind.ending));
    std::vector<QStringList> groups(suffixes.size());
    for (const QString &name : std::as_const(names)) {
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
