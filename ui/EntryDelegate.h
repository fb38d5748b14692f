#pragma once

#include <QStyledItemDelegate>

// Draws and measures lstPlay's rows from what is shown of each entry (Playlist::shownText), not
// from the entry itself, so one absurdly long entry cannot stall every repaint of the list.
class EntryDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
