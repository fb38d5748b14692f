#include "playlist/VideoCd.h"

#include "core/FolderScan.h"
#include "core/SharedState.h"
#include "disc/VideoCdDisc.h"
#include "engine/MediaEngine.h"
#include "playback/TimeFormat.h"
#include "playback/Transport.h"
#include "playback/TransportHost.h"
#include "playback/TransportView.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>

QStringList VideoCd::tracks(const QString &driveRoot)
{
    // A drive (or a disc image) is read through libcdio, whatever is mounted: the disc in it now.
    if (VideoCdDisc::isDiscSource(driveRoot)) {
        QStringList entries;
        for (const QString &name : VideoCdDisc::trackNames(driveRoot))
            entries.append(FolderScan::join(driveRoot, QLatin1String(VideoCdDisc::TrackFolder) + name));
        return entries;
    }
    const QDir root = driveRoot.isEmpty() ? QDir::current() : QDir(driveRoot);
    // Name filters compare without regard to case unless told otherwise, so MPEGAV and mpegav match
    // alike; the entry keeps the folder's own spelling so that the path opens on this file system.
    const QStringList folders =
        root.entryList({QStringLiteral("mpegav")}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    if (folders.isEmpty())
        return {};
    const QString &folder = folders.front();
    // A disc lists its tracks in name order; sorting keeps that order on any file system.
    const QStringList names =
        QDir(root.filePath(folder))
            .entryList({QStringLiteral("avseq*.*")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    QStringList entries;
    entries.reserve(names.size());
    for (const QString &name : names)
        entries.append(driveRoot.isEmpty() ? folder + u'/' + name : root.filePath(folder + u'/' + name));
    return entries;
}

QString VideoCd::driveRoot() const
{
    return m_host.sharedState().CdDrives.trimmed();
}

void VideoCd::mnuAddVCD_Click()
{
    m_host.transportView().lstPlay()->addItems(tracks(driveRoot()));
}

void VideoCd::mnuAutoVCD_Click()
{
    const QStringList entries = tracks(driveRoot());
    if (entries.isEmpty())
        return;
    TransportView &window = m_host.transportView();
    QListWidget *lstPlay = window.lstPlay();
    lstPlay->clear();
    lstPlay->addItems(entries);

    MediaEngine &engine = m_host.engine();
    engine.setFileName(lstPlay->item(0)->text());
    Transport::setSeekRange(*window.scrlTime(), engine.Duration());
    // The file-name caption is left as it was, so the marquee still carries the name shown before.
    window.setTitle(QLatin1String(MarqueePrefix) + window.txtFN()->text() + QString(MarqueeTrail, u' '));
    if (engine.ErrorCode() != 0) {
        m_host.showEngineError(engine.ErrorDescription());
        if (m_host.closing())
            return;
    }
    // Reached afresh: while the box was open the user may have closed the video window, engine and all.
    ShowDuration(m_host.engine(), *window.lblDuration());
    m_host.videoWindowWidget().show();
    m_host.engine().Play();
}
