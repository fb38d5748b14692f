#pragma once

class MediaAdder;
class Transport;

// The right-click menu's six transport items: each does exactly what its button does.
class ShortcutMenu {
public:
    ShortcutMenu(Transport &transport, MediaAdder &adder) : m_transport(transport), m_adder(adder) {}

    // 0 previous, 1 play, 2 pause, 3 stop, 4 next, 5 open; any other index does nothing.
    void mnuShortcut_Click(int index);

private:
    Transport &m_transport;
    MediaAdder &m_adder;
};
