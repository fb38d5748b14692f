#pragma once

#include <QString>

class FileDialogBackend;
class Transport;
class TransportHost;

// The five buttons under the playlist (add, remove, save, load, empty) and the list's two command keys.
// None of them stops playback or moves CurrentIndex: the file in the engine plays on (but for the
// pause around the save and load dialogs) even when its entry goes.
class PlaylistPanel {
public:
    PlaylistPanel(TransportHost &host, Transport &transport, FileDialogBackend &dialogs);

    enum Button { Add = 0, Remove = 1, Save = 2, Load = 3, Empty = 4 };
    void cmdAPlayList_Click(int Index);
    // "." removes the selected entry, Enter plays it. The key still reaches the list afterwards.
    void lstPlay_KeyPress(int KeyAscii);

    // What "Charger" does with the file chosen: the list becomes the entries of that list file, of
    // any format PlaylistFiles reads (empty when it cannot be read), and the caption above it is
    // cleared. Playback goes on.
    void loadListFile(const QString &path);

private:
    void remove();
    void saveOrLoad(bool save);

    TransportHost &m_host;
    Transport &m_transport;
    FileDialogBackend &m_dialogs;
};
