#pragma once

class FileDialogBackend;
class Transport;
class TransportHost;

// Bringing media into the playlist: open one file in place of the list, add a file, add every media
// file of a folder.
class MediaAdder {
public:
    MediaAdder(TransportHost &host, Transport &transport, FileDialogBackend &dialogs);

    void cmdOpen_Click() { OpenMediaFile(); }
    void mnuFile_Click();
    void mnuAddDir_Click();

private:
    void OpenMediaFile();

    TransportHost &m_host;
    Transport &m_transport;
    FileDialogBackend &m_dialogs;
};
