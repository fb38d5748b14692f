#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QDropEvent;
class QFrame;
class QListWidget;
class QMimeData;
class QPoint;
class QWidget;

// Files, folders and list files dragged from the desktop onto the main window. Dropped on the
// playlist they are inserted where a line between the entries shows while dragging; dropped anywhere
// else on the window they are added and played, as files opened with the player are. What the paths
// become is the adder's to decide; this only reads the drag.
class FileDrops : public QObject {
    Q_OBJECT
public:
    using Open = std::function<void(const QStringList &localPaths)>;
    using Insert = std::function<void(const QStringList &localPaths, int row)>;

    FileDrops(QWidget &window, QListWidget &list, Open open, Insert insert);

    // The local files a drag carries; a drag without any is refused.
    static QStringList localPaths(const QMimeData *data);
    // The row a drop at this point of the list's viewport goes to: before the entry whose upper half
    // it is over, after one whose lower half, at the end below the last.
    static int dropRow(const QListWidget &list, const QPoint &viewportPoint);

    // The line that shows where a drop on the list goes.
    QFrame *indicator() const { return m_indicator; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showIndicator(int row);

    QWidget &m_window;
    QListWidget &m_list;
    Open m_open;
    Insert m_insert;
    QFrame *m_indicator;
};
