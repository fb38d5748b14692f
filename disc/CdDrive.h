#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Finding the Video CD drive: the first optical drive, whether or not a disc is in it (an empty
// drive has no mount), named by its device; a disc put in later is read there by each Video CD
// command. Without a drive, the first iso9660 or udf file system of the mount table (a disc image
// mounted from a loop device) stands in for it.
namespace CdDrive {

// The mount root of the first CD-ROM drive in a mount table (the text of /proc/self/mounts);
// empty when there is none.
QString firstIn(const QByteArray &mountTable);

// The first optical drive's device: the lowest-numbered drive of the kernel's CD-ROM table
// (/proc/sys/dev/cdrom/info) or of the block devices named sr<n>, else the first device libcdio
// knows; without any, the mount root firstIn gives. Empty when there is none.
QString firstDrive(const QByteArray &cdromInfo, const QStringList &blockDevices,
                   const QStringList &libcdioDevices, const QByteArray &mountTable);

// The same on this machine.
QString FindCdDrive();

// The device mounted at a folder in a mount table, when it is a block device (/dev/...); empty
// otherwise. The same on this machine's own table without the table.
QString deviceMountedAt(const QString &folder, const QByteArray &mountTable);
QString deviceMountedAt(const QString &folder);

} // namespace CdDrive
