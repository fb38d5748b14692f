#include "playlist/PlsList.h"

#include "playlist/ForeignListEntry.h"
#include "playlist/ListFile.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace PlsList {

QStringList decode(const QByteArray &bytes, const QString &listFolder)
{
    const QString text = ListFile::decodeText(bytes);
    std::vector<std::pair<qulonglong, QString>> numbered;
    for (const QStringView line : ForeignListEntry::lines(text)) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const QStringView key = line.first(equals).trimmed();
        if (!key.startsWith(QLatin1String("file"), Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const qulonglong number = key.sliced(4).toULongLong(&ok);
        if (!ok || key.size() == 4 || !key.at(4).isDigit())
            continue;
        if (std::optional<QString> entry =
                ForeignListEntry::resolve(line.sliced(equals + 1).toString(), listFolder))
            numbered.emplace_back(number, *entry);
    }
    // Two lines of the same number both stay, in file order.
    std::stable_sort(numbered.begin(), numbered.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList entries;
    entries.reserve(qsizetype(numbered.size()));
    for (auto &[number, entry] : numbered)
        entries.append(std::move(entry));
    return entries;
}

QByteArray encode(const QStringList &entries)
{
    QByteArray bytes("[playlist]\n");
    int count = 0;
    for (const QString &entry : entries) {
        if (entry.trimmed().isEmpty() || entry.contains(u'\r') || entry.contains(u'\n'))
            continue;
        bytes += "File" + QByteArray::number(++count) + '=' + entry.toUtf8() + '\n';
    }
    bytes += "NumberOfEntries=" + QByteArray::number(count) + "\nVersion=2\n";
    return bytes;
}

} // namespace PlsList
