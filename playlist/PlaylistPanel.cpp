#include "playlist/PlaylistPanel.h"

#include "dialogs/cDlgcom.h"
#include "engine/MediaEngine.h"
#include "playback/PlaylistView.h"
#include "playback/Transport.h"
#include "playback/TransportHost.h"
#include "playlist/DialogFilters.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistFiles.h"

#include <QLabel>
#include <QListWidget>

PlaylistPanel::PlaylistPanel(TransportHost &host, Transport &transport, FileDialogBackend &dialogs)
    : m_host(host), m_transport(transport), m_dialogs(dialogs)
{
}

void PlaylistPanel::cmdAPlayList_Click(int Index)
{
    PlaylistView &window = m_host.playlistView();
    switch (Index) {
    case Add:
        window.popUpAddMenu();
        break;
    case Remove:
        remove();
        break;
    case Save:
        saveOrLoad(true);
        break;
    case Load:
        saveOrLoad(false);
        break;
    case Empty:
        window.lstPlay()->clear();
        window.txtFN()->setText(QString());
        break;
    default:
        break;
    }
}

void PlaylistPanel::lstPlay_KeyPress(int KeyAscii)
{
    if (KeyAscii == '.')
        cmdAPlayList_Click(Remove);
    if (KeyAscii == '\r')
        m_transport.lstPlay_DblClick();
}

void PlaylistPanel::remove()
{
    PlaylistView &window = m_host.playlistView();
    window.txtFN()->setText(QString());
    QListWidget *lstPlay = window.lstPlay();
    const int selected = lstPlay->currentRow();
    if (selected < 0)
        return;
    // Nothing is selected afterwards; clearing first keeps the list from selecting a neighbour,
    // which would show that entry above the list.
    lstPlay->setCurrentRow(-1);
    delete lstPlay->takeItem(selected);
}

void PlaylistPanel::saveOrLoad(bool save)
{
    PlaylistView &window = m_host.playlistView();
    cDlgcom dialog(m_dialogs);
    dialog.setFilter(QString::fromUtf8(save ? ListSaveFilter : ListLoadFilter));
    dialog.setFileName(QString());
    m_host.videoWindowWidget().hide();
    // Whatever was playing waits while the user chooses; it is not resumed afterwards.
    m_host.engine().Pause();
    if (save)
        dialog.ShowSave();
    else
        dialog.ShowOpen();
    if (m_host.closing())
        return;
    // Shown again whatever it was before: its own repaint hides it unless a video is loaded.
    m_host.videoWindowWidget().show();
    const QString chosen = dialog.FileName();
    if (chosen.isEmpty())
        return;
    if (!save) {
        loadListFile(chosen);
        return;
    }
    PlaylistFiles::write(PlaylistFiles::saveName(chosen), Playlist::entries(*window.lstPlay()));
    window.txtFN()->setText(QString());
}

void PlaylistPanel::loadListFile(const QString &path)
{
    PlaylistView &window = m_host.playlistView();
    QListWidget *lstPlay = window.lstPlay();
    // A file that cannot be read still empties the list.
    const std::optional<QStringList> entries = PlaylistFiles::read(path);
    lstPlay->clear();
    if (entries)
        Playlist::appendEntries(*lstPlay, *entries);
    window.txtFN()->setText(QString());
}
