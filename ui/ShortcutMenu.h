#pragma once

class MediaAdder;
class Transport;

// The right-click menu's six transport items: each does exactly what its button does.
class ShortcutMenu {
public:
    ShortcutMenu(Transport &transport, MediaAdder &adder) : m_transport(transport), m_adder(adder) {}

    // The items by their index in mnuShortcut.
    enum Item { Previous = 0, Play = 1, Pause = 2, Stop = 3, Next = 4, Open = 5 };
    // Any other index does nothing.
    void mnuShortcut_Click(int index);

private:
    Transport &m_transport;
    MediaAdder &m_adder;
};
