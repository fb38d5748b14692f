#include "ui/FileDrops.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFrame>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

FileDrops::FileDrops(QWidget &window, QListWidget &list, Open open, Insert insert)
    : QObject(&window), m_window(window), m_list(list), m_open(std::move(open)), m_insert(std::move(insert)),
      m_indicator(new QFrame(list.viewport()))
{
    m_indicator->setObjectName(QStringLiteral("dropIndicator"));
    m_indicator->setStyleSheet(QStringLiteral("QFrame#dropIndicator { background-color: #1c3f73; }"));
    m_indicator->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_indicator->hide();
    window.setAcceptDrops(true);
    list.viewport()->setAcceptDrops(true);
    window.installEventFilter(this);
    list.viewport()->installEventFilter(this);
}

QStringList FileDrops::localPaths(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.append(url.toLocalFile());
    }
    return paths;
}

int FileDrops::dropRow(const QListWidget &list, const QPoint &viewportPoint)
{
    const QModelIndex index = list.indexAt(viewportPoint);
    if (!index.isValid())
        return list.count();
    const QRect rect = list.visualRect(index);
    return viewportPoint.y() < rect.center().y() ? index.row() : index.row() + 1;
}

void FileDrops::showIndicator(int row)
{
    const int count = m_list.count();
    int y = 0;
    if (row < count)
        y = m_list.visualRect(m_list.model()->index(row, 0)).top();
    else if (count > 0)
        y = m_list.visualRect(m_list.model()->index(count - 1, 0)).bottom() + 1;
    m_indicator->setGeometry(0, std::max(0, y - 1), m_list.viewport()->width(), 2);
    m_indicator->show();
    m_indicator->raise();
}

bool FileDrops::eventFilter(QObject *watched, QEvent *event)
{
    // The event's type first: the viewport also reports its end while the list is being destroyed,
    // when the list can no longer be asked for it.
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::DragLeave &&
        type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    const bool onList = watched == m_list.viewport();
    if (!onList && watched != &m_window)
        return QObject::eventFilter(watched, event);
    switch (type) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (localPaths(drag->mimeData()).isEmpty()) {
            drag->ignore();
            return true;
        }
        // A copy, whatever the source offers: a move would let a file manager delete the files.
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        if (onList)
            showIndicator(dropRow(m_list, drag->position().toPoint()));
        return true;
    }
    case QEvent::DragLeave:
        m_indicator->hide();
        return onList;
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        m_indicator->hide();
        const QStringList paths = localPaths(drop->mimeData());
        if (paths.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // Added once the drop is over: the program the files came from waits for its end, and opening
        // a file may take a moment.
        const int row = onList ? dropRow(m_list, drop->position().toPoint()) : -1;
        QMetaObject::invokeMethod(
            this,
            [this, paths, row] {
                if (row >= 0)
                    m_insert(paths, row);
                else
                    m_open(paths);
            },
            Qt::QueuedConnection);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
