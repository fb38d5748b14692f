#include "ui/ShortcutMenu.h"

#include "playback/Transport.h"
#include "playlist/MediaAdder.h"

void ShortcutMenu::mnuShortcut_Click(int index)
{
    switch (index) {
    case Previous:
        m_transport.cmdBack_Click();
        break;
    case Play:
        m_transport.cmdPlay_Click();
        break;
    case Pause:
        m_transport.cmdPause_Click();
        break;
    case Stop:
        m_transport.cmdStop_Click();
        break;
    case Next:
        m_transport.cmdForward_Click();
        break;
    case Open:
        m_adder.cmdOpen_Click();
        break;
    default:
        break;
    }
}
