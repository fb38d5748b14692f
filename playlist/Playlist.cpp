#include "playlist/Playlist.h"

#include "playlist/ListFile.h"

#include <QLabel>
#include <QListWidget>

namespace Playlist {

QStringList entries(const QListWidget &lstPlay)
{
    QStringList list;
    const int count = lstPlay.count();
    list.reserve(count);
    for (int i = 0; i < count; ++i)
        list.append(lstPlay.item(i)->text());
    return list;
}

void appendEntries(QListWidget &lstPlay, const QStringList &newEntries)
{
    lstPlay.addItems(newEntries);
}

bool load(QListWidget &lstPlay, const QString &listFile)
{
    const std::optional<QStringList> read = ListFile::read(listFile);
    if (!read)
        return false;
    lstPlay.clear();
    appendEntries(lstPlay, *read);
    return true;
}

bool save(const QListWidget &lstPlay, const QString &listFile)
{
    return ListFile::write(listFile, entries(lstPlay));
}

QString shownText(const QString &text)
{
    if (text.size() <= LongestShownText)
        return text;
    return text.left(LongestShownText) + QChar(0x2026);
}

QString fileNameOf(const QString &entry)
{
    const qsizetype cut = std::max(entry.lastIndexOf(u'\\'), entry.lastIndexOf(u'/'));
    return entry.mid(cut + 1);
}

std::optional<QString> selectionCaption(const QString &entry)
{
    if (entry.isEmpty() || entry == QLatin1String("-"))
        return std::nullopt;
    return QStringLiteral(" Chanson selectionnée :    ") + shownText(fileNameOf(entry));
}

void lstPlay_Click(const QListWidget &lstPlay, QLabel &txtFN)
{
    const QListWidgetItem *selected =
        lstPlay.currentRow() >= 0 ? lstPlay.item(lstPlay.currentRow()) : nullptr;
    const QString entry = selected ? selected->text() : QString();
    const std::optional<QString> caption = selectionCaption(entry);
    if (!caption)
        return;
    txtFN.setText(*caption);
    txtFN.setToolTip(shownText(entry));
}

} // namespace Playlist
