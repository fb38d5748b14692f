#include "ui/ShortcutMenu.h"

#include "playback/Transport.h"
#include "playlist/MediaAdder.h"

void ShortcutMenu::mnuShortcut_Click(int index)
{
    switch (index) {
    case 0:
        m_transport.cmdBack_Click();
        break;
    case 1:
        m_transport.cmdPlay_Click();
        break;
    case 2:
        m_transport.cmdPause_Click();
        break;
    case 3:
        m_transport.cmdStop_Click();
        break;
    case 4:
        m_transport.cmdForward_Click();
        break;
    case 5:
        m_adder.cmdOpen_Click();
        break;
    default:
        break;
    }
}
