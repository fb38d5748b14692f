#pragma once

#include <QObject>
#include <QPoint>

class WindowDrag;
class frmMain;
struct SharedState;

// The main window's frame: it is moved by its background and its title strip, minimised and closed
// by its own marks, opens the right-click menu, and carries the always-on-top and show/minimise
// options. It lives as long as the window.
class MainFrame : public QObject {
    Q_OBJECT
public:
    MainFrame(frmMain &window, SharedState &state);

    // Left button on the window's background or on its title strip: the window follows the mouse.
    // Returns whether a drag started.
    bool Form_MouseDown(Qt::MouseButton button, QPoint globalPosition);
    // Right button over the window's background: the menu, "Lire" as its default item.
    void Form_MouseUp(Qt::MouseButton button, QPoint globalPosition);
    // Right button over the playlist panel's background: the menu, no default item.
    void picPlayList_MouseUp(Qt::MouseButton button, QPoint globalPosition);
    void Minimised_Click();
    void Closed_Click();
    void mnuExit_Click() { Closed_Click(); }
    // Flips the user's choice; the window follows at the next resize or tick.
    void mnuOnTop_Click();
    void mnuHide_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void popUpMenu(QPoint globalPosition, bool withDefault);

    frmMain &m_window;
    SharedState &m_state;
    WindowDrag *m_drag;
};
