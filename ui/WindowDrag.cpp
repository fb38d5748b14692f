#include "ui/WindowDrag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

WindowDrag::WindowDrag(QWidget *window) : QObject(window), m_window(window) {}

void WindowDrag::addHandle(QWidget *handle)
{
    handle->installEventFilter(this);
}

bool WindowDrag::begin(Qt::MouseButton button, QPoint globalPosition)
{
    if (button != Qt::LeftButton || !m_window)
        return false;
    QWindow *handle = m_window->windowHandle();
    if (handle && handle->startSystemMove())
        return true;
    m_following = true;
    m_grabOffset = globalPosition - m_window->pos();
    return true;
}

bool WindowDrag::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        // A press on the window's background arrives here only when no control took it.
        if (begin(mouse->button(), mouse->globalPosition().toPoint()))
            return true;
        break;
    }
    case QEvent::MouseMove:
        if (m_following && m_window) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            m_window->move(mouse->globalPosition().toPoint() - m_grabOffset);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (m_following && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_following = false;
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
