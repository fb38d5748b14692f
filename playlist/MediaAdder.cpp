#include "playlist/MediaAdder.h"

#include "core/FolderScan.h"
#include "core/SharedState.h"
#include "dialogs/DPDlg.h"
#include "dialogs/cDlgcom.h"
#include "engine/MediaEngine.h"
#include "playback/PlaylistView.h"
#include "playback/Transport.h"
#include "playback/TransportHost.h"
#include "playlist/DialogFilters.h"
#include "playlist/MediaArguments.h"
#include "playlist/Playlist.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QTimer>

#include <algorithm>
#include <cstdint>

MediaAdder::MediaAdder(TransportHost &host, Transport &transport, FileDialogBackend &dialogs)
    : m_host(host), m_transport(transport), m_dialogs(dialogs)
{
}

void MediaAdder::OpenMediaFile()
{
    cDlgcom dialog(m_dialogs);
    // Stopped before the dialog, whatever the user then chooses.
    m_host.engine().Stop();
    dialog.setFileName(QString());
    dialog.setFilter(mediaDialogFilter());
    dialog.ShowOpen();
    if (m_host.closing())
        return;
    QListWidget *lstPlay = m_host.playlistView().lstPlay();
    if (!dialog.FileName().isEmpty()) {
        lstPlay->clear();
        lstPlay->addItem(dialog.FileName());
        // The list was replaced: no entry of it is current yet, so Next starts the chosen file
        // rather than the Play after it resuming the file that was stopped.
        m_host.sharedState().CurrentIndex = -1;
    }
    m_host.videoWindowWidget().show();
    m_transport.cmdForward_Click();
    m_transport.cmdPlay_Click();
}

void MediaAdder::mnuFile_Click()
{
    cDlgcom dialog(m_dialogs);
    dialog.setFileName(QString());
    dialog.setFilter(mediaDialogFilter());
    dialog.ShowOpen();
    if (m_host.closing())
        return;
    if (!dialog.FileName().isEmpty())
        m_host.playlistView().lstPlay()->addItem(dialog.FileName());
    m_host.videoWindowWidget().show();
}

void MediaAdder::mnuAddDir_Click()
{
    PlaylistView &window = m_host.playlistView();
    DPDlg chooser(m_dialogs);
    chooser.setHWnd(window.dialogOwner());
    chooser.Show();
    if (m_host.closing() || chooser.Result().isEmpty())
        return;
    Playlist::appendEntries(*window.lstPlay(), FolderScan::scan(chooser.Path()));
}

void MediaAdder::openPaths(const QStringList &localPaths)
{
    if (localPaths.isEmpty() || m_host.closing())
        return;
    m_openings.push_back({localPaths, 0, MediaArguments::loadsAList(localPaths)});
    if (m_openings.size() == 1)
        openSlice();
}

void MediaAdder::openSlice()
{
    QElapsedTimer slice;
    slice.start();
    while (!m_openings.empty() && !m_host.closing()) {
        Opening &opening = m_openings.front();
        QListWidget *lstPlay = m_host.playlistView().lstPlay();
        if (!opening.started && opening.replacesList) {
            // A playlist opened from the file manager is loaded as "Charger" loads one; the files
            // opened with it follow its entries.
            lstPlay->clear();
            m_host.playlistView().txtFN()->setText(QString());
        }
        opening.started = true;
        QStringList added;
        while (opening.next < opening.paths.size() && slice.elapsed() < Transport::SliceMs)
            added += MediaArguments::entries({opening.paths.at(opening.next++)});
        const int first = lstPlay->count();
        Playlist::appendEntries(*lstPlay, added);
        if (!added.isEmpty() && !opening.played) {
            opening.played = true;
            // Started as a double-click on the first of them starts it.
            lstPlay->setCurrentRow(first);
            m_transport.lstPlay_DblClick();
        }
        if (opening.next == opening.paths.size())
            m_openings.pop_front();
        if (slice.elapsed() >= Transport::SliceMs && !m_openings.empty()) {
            QTimer::singleShot(0, &m_sliceContext, [this] { openSlice(); });
            return;
        }
    }
    if (m_host.closing())
        m_openings.clear();
}

void MediaAdder::insertPaths(const QStringList &localPaths, int row)
{
    const QStringList added = MediaArguments::entries(localPaths);
    if (added.isEmpty() || m_host.closing())
        return;
    QListWidget *lstPlay = m_host.playlistView().lstPlay();
    row = std::clamp(row, 0, lstPlay->count());
    lstPlay->insertItems(row, added);
    // The entry Next counts from moved down with the rest.
    int &current = m_host.sharedState().CurrentIndex;
    if (current >= row)
        current += static_cast<int>(added.size());
}
