#include "ui/EntryDelegate.h"

#include "playlist/Playlist.h"

void EntryDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = Playlist::shownText(option->text);
}
