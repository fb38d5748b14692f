#pragma once

#include <QByteArray>
#include <QString>

// Finding the Video CD: the first CD-ROM drive is the first mounted optical device (/dev/sr0,
// /dev/cdrom...) or the first iso9660 or udf file system of the mount table, in the table's order.
namespace CdDrive {

// The mount root of the first CD-ROM drive in a mount table (the text of /proc/self/mounts);
// empty when there is none.
QString firstIn(const QByteArray &mountTable);

// The same on this machine's own mount table.
QString FindCdDrive();

} // namespace CdDrive
