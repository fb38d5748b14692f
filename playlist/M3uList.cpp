#include "playlist/M3uList.h"

#include "playlist/ForeignListEntry.h"
#include "playlist/ListFile.h"

namespace M3uList {

QStringList decode(const QByteArray &bytes, const QString &listFolder)
{
    const QString text = ListFile::decodeText(bytes);
    QStringList entries;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QString line = text.mid(start, end - start).trimmed();
        if (!line.startsWith(u'#')) {
            if (std::optional<QString> entry = ForeignListEntry::resolve(line, listFolder))
                entries.append(*entry);
        }
        start = end + 1;
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
