#pragma once

#include <QMenu>
#include <QWidget>

// A button's menu drops from the button itself, however the button was pressed: a key press has no
// mouse position, and on Wayland the program cannot learn where the mouse is on the screen.
inline void popUpUnder(QMenu &menu, const QWidget &button)
{
    menu.popup(button.mapToGlobal(QPoint(0, button.height())));
}
