#include "ui/MainFrame.h"

#include "core/SharedState.h"
#include "ui/ClickableLabel.h"
#include "ui/PlatformLimits.h"
#include "ui/WindowDrag.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

MainFrame::MainFrame(frmMain &window, SharedState &state)
    : QObject(&window), m_window(window), m_state(state), m_drag(new WindowDrag(&window))
{
    // The drag filter sees presses first; this one sees the releases for the menus.
    m_drag->addHandle(&window);
    m_drag->addHandle(window.Label3());
    window.installEventFilter(this);
    window.picPlayList()->installEventFilter(this);

    connect(window.Minimised(), &ClickableLabel::clicked, this, &MainFrame::Minimised_Click);
    connect(window.Closed(), &ClickableLabel::clicked, this, &MainFrame::Closed_Click);
    connect(window.mnuExit(), &QAction::triggered, this, &MainFrame::mnuExit_Click);
    connect(window.mnuOnTop(), &QAction::triggered, this, &MainFrame::mnuOnTop_Click);
    // Greyed where no window can stay above the others: the choice stored for X stays as it was.
    window.mnuOnTop()->setEnabled(PlatformLimits::canKeepOnTop());
    connect(window.mnuHide(), &QAction::triggered, this, &MainFrame::mnuHide_Click);
}

bool MainFrame::Form_MouseDown(Qt::MouseButton button, QPoint globalPosition)
{
    return m_drag->begin(button, globalPosition);
}

void MainFrame::Form_MouseUp(Qt::MouseButton button, QPoint globalPosition)
{
    if (button == Qt::RightButton)
        popUpMenu(globalPosition, true);
}

void MainFrame::picPlayList_MouseUp(Qt::MouseButton button, QPoint globalPosition)
{
    if (button == Qt::RightButton)
        popUpMenu(globalPosition, false);
}

void MainFrame::popUpMenu(QPoint globalPosition, bool withDefault)
{
    QMenu *menu = m_window.mnuBar();
    menu->setDefaultAction(withDefault ? m_window.mnuShortcut(1) : nullptr);
    menu->popup(globalPosition);
}

void MainFrame::Minimised_Click()
{
    m_window.showMinimized();
}

void MainFrame::Closed_Click()
{
    // Closing is the shutdown.
    m_window.close();
}

void MainFrame::mnuOnTop_Click()
{
    m_state.OnTop = !m_state.OnTop;
    m_window.mnuOnTop()->setChecked(m_state.OnTop);
}

void MainFrame::mnuHide_Click()
{
    // "Afficher/réduire": the option flipped is the window's minimised state. Chosen from the window's
    // own menu it minimises the window; the taskbar button brings it back.
    m_window.setWindowState(m_window.windowState() ^ Qt::WindowMinimized);
}

bool MainFrame::eventFilter(QObject *watched, QEvent *event)
{
    // The menu key (or Shift+F10) opens the menu too, so that it is reachable from the keyboard; the
    // mouse opens it on the right button's release, below.
    if (event->type() == QEvent::ContextMenu && watched == &m_window &&
        static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        popUpMenu(m_window.mapToGlobal(m_window.rect().center()), true);
        return true;
    }
    if (event->type() != QEvent::MouseButtonRelease)
        return QObject::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint at = mouse->globalPosition().toPoint();
    if (watched == &m_window)
        Form_MouseUp(mouse->button(), at);
    else if (watched == m_window.picPlayList())
        picPlayList_MouseUp(mouse->button(), at);
    return QObject::eventFilter(watched, event);
}
