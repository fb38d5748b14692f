#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

class QWidget;

// Moves a window while the left button is held on one of its handles. The windowing system does the
// moving where it can (it then snaps and constrains the window as with any title bar); where it
// cannot (no window manager), the window follows the mouse itself. Other buttons do nothing.
class WindowDrag : public QObject {
    Q_OBJECT
public:
    explicit WindowDrag(QWidget *window);

    // Starts a drag of the window from a left-button press at a global position; false for any other
    // button.
    bool begin(Qt::MouseButton button, QPoint globalPosition);

    // Lets presses on a widget (the window's background, a title label) drag the window.
    void addHandle(QWidget *handle);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    bool m_following = false;
    QPoint m_grabOffset;
};
