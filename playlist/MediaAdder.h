#pragma once

#include <QObject>
#include <QStringList>

#include <deque>

class FileDialogBackend;
class Transport;
class TransportHost;

// Bringing media into the playlist: open one file in place of the list, add a file, add every media
// file of a folder; and what comes from outside the window (the command line, a second start, a drop,
// the desktop's media controls), as local paths that MediaArguments turns into entries.
class MediaAdder {
public:
    MediaAdder(TransportHost &host, Transport &transport, FileDialogBackend &dialogs);

    void cmdOpen_Click() { OpenMediaFile(); }
    void mnuFile_Click();
    void mnuAddDir_Click();

    // Appends the entries the paths give and plays the first of them, skipping those that cannot
    // be played as the transport skips any bad entry; a list file among them first empties the
    // playlist, as "Charger" does. Many paths (a hundred thousand folders handed over) are read in
    // slices, as the transport walks dead entries, the window answering in between; paths that come
    // meanwhile follow them.
    void openPaths(const QStringList &localPaths);
    // Inserts the entries the paths give before the row (the end for a row past it), leaving
    // playback alone: Next still goes on from the entry that plays.
    void insertPaths(const QStringList &localPaths, int row);

private:
    struct Opening {
        QStringList paths;
        qsizetype next = 0;
        bool replacesList = false;
        bool started = false;
        bool played = false;
    };

    void OpenMediaFile();
    void openSlice();

    TransportHost &m_host;
    Transport &m_transport;
    FileDialogBackend &m_dialogs;
    std::deque<Opening> m_openings;
    // Owns the queued slices: they die with the adder.
    QObject m_sliceContext;
};
