#include "playlist/M3uList.h"

#include "playlist/ForeignListEntry.h"
#include "playlist/ListFile.h"

namespace M3uList {

QStringList decode(const QByteArray &bytes, const QString &listFolder)
{
    const QString text = ListFile::decodeText(bytes);
    QStringList entries;
    for (const QStringView line : ForeignListEntry::lines(text)) {
        if (line.startsWith(u'#'))
            continue;
        if (std::optional<QString> entry = ForeignListEntry::resolve(line.toString(), listFolder))
            entries.append(*entry);
    }
    return entries;
}

QByteArray encode(const QStringList &entries)
{
    QByteArray bytes("#EXTM3U\n");
    for (const QString &entry : entries) {
        // A line end cannot be written, and an empty entry or one that reads as a comment would not
        // come back as itself: such entries name no file anyway.
        if (entry.trimmed().isEmpty() || entry.trimmed().startsWith(u'#') || entry.contains(u'\r') ||
            entry.contains(u'\n'))
            continue;
        bytes += entry.toUtf8();
        bytes += '\n';
    }
    return bytes;
}

} // namespace M3uList
