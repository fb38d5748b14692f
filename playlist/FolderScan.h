#pragma once

#include <QString>
#include <QStringList>

// The media files of one folder, as "add a folder" appends them: grouped by pattern in the order
// below (the seven long-standing kinds, then the other kinds the engine plays), each group in natural
// order, plain visible files only, names matched whatever their case, sub-folders not searched.
namespace FolderScan {

inline const QStringList Patterns = {
    QStringLiteral("*.dat"), QStringLiteral("*.avi"),  QStringLiteral("*.mp3"), QStringLiteral("*.mpg"),
    QStringLiteral("*.wav"), QStringLiteral("*.mpeg"), QStringLiteral("*.wma")};

// The other kinds the engine plays, each a group of its own after the seven above.
inline const QStringList ExtraPatterns = {
    QStringLiteral("*.ogg"),  QStringLiteral("*.oga"), QStringLiteral("*.opus"), QStringLiteral("*.flac"),
    QStringLiteral("*.m4a"),  QStringLiteral("*.aac"), QStringLiteral("*.mid"),  QStringLiteral("*.midi"),
    QStringLiteral("*.rmi"),  QStringLiteral("*.kar"), QStringLiteral("*.vob"),  QStringLiteral("*.asf"),
    QStringLiteral("*.wmv"),  QStringLiteral("*.mkv"), QStringLiteral("*.mp4"),  QStringLiteral("*.m4v"),
    QStringLiteral("*.webm"), QStringLiteral("*.mov"), QStringLiteral("*.mp2"),  QStringLiteral("*.aiff"),
    QStringLiteral("*.aif"),  QStringLiteral("*.mka")};

// The folder, a separator unless it already ends with one, then the name.
QString join(const QString &folder, const QString &name);

// The names in the order a French reader expects: numbers by their value (2 before 10), case and
// accents set aside unless the names differ in nothing else.
void sortNaturally(QStringList &names);

// Full paths of the folder's media files. A folder that cannot be read gives what was found before
// the failure (nothing, here: the folder is listed once).
QStringList scan(const QString &folder);

} // namespace FolderScan
