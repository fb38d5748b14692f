#pragma once

#include <QString>
#include <QStringList>

class TransportHost;

// The tracks of a Video CD: MPEGAV/AVSEQnn.DAT on the disc in the first CD-ROM drive (CdDrives),
// added to the playlist or played at once.
class VideoCd {
public:
    explicit VideoCd(TransportHost &host) : m_host(host) {}

    // The playlist entries of the disc under a drive root: its track files (avseq*.* in its mpegav
    // folder, names compared without regard to case: discs show them in either case). A drive's
    // device or a disc image is read as a disc, giving root + "/MPEGAV/" + name; a folder (a copied
    // disc) is listed as files; an empty root looks in the current folder. Empty when there is no
    // disc or it is not a Video CD.
    static QStringList tracks(const QString &driveRoot);

    // Appends the disc's tracks to the playlist; nothing else changes.
    void mnuAddVCD_Click();
    // Makes the disc's tracks the playlist and plays the first one; an empty drive changes nothing.
    void mnuAutoVCD_Click();

    static constexpr const char *MarqueePrefix = " - Qwelto Player 2.0 - ";
    static constexpr int MarqueeTrail = 45;

private:
    QString driveRoot() const;

    TransportHost &m_host;
};
