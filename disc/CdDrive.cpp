#include "disc/CdDrive.h"

#include "core/FolderScan.h"
#include "disc/CdioLog.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QRegularExpression>

#include <cdio/cdio.h>

namespace {

// The mount table writes blanks, tabs, newlines and backslashes in paths as octal escapes (\040).
QString unescape(const QByteArray &field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const QByteArray digits = field.mid(i + 1, 3);
            bool ok = false;
            const int code = digits.toInt(&ok, 8);
            if (ok && digits.size() == 3) {
                out += static_cast<char>(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return QString::fromUtf8(out);
}

bool isOpticalDevice(const QByteArray &device)
{
    static const QRegularExpression optical(
        QStringLiteral("^/dev/(sr[0-9]+|scd[0-9]+|cdrom[0-9]*|dvd[0-9]*|cdrw[0-9]*)$"));
    return optical.match(QString::fromUtf8(device)).hasMatch();
}

} // namespace

namespace CdDrive {

QString firstIn(const QByteArray &mountTable)
{
    for (const QByteArray &line : mountTable.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3)
            continue;
        const QByteArray &type = fields[2];
        if (isOpticalDevice(fields[0]) || type == "iso9660" || type == "udf")
            return unescape(fields[1]);
    }
    return {};
}

QString firstDrive(const QByteArray &cdromInfo, const QStringList &blockDevices,
                   const QStringList &libcdioDevices, const QByteArray &mountTable)
{
    static const QRegularExpression driveName(QStringLiteral("^sr[0-9]+$"));
    QStringList names;
    for (const QByteArray &line : cdromInfo.split('\n')) {
        // "drive name:" then the drives, the most recently found first.
        if (line.startsWith("drive name:"))
            names += QString::fromLatin1(line.mid(11))
                         .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    }
    names += blockDevices;
    names.removeIf([](const QString &name) { return !driveName.match(name).hasMatch(); });
    if (!names.isEmpty()) {
        FolderScan::sortNaturally(names);
        return QStringLiteral("/dev/") + names.front();
    }
    if (!libcdioDevices.isEmpty())
        return libcdioDevices.front();
    return firstIn(mountTable);
}

namespace {

// /proc files report no size: read until the end rather than by size.
QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList libcdioDevices()
{
    CdioLog::install();
    QStringList devices;
    char **list = cdio_get_devices(DRIVER_DEVICE);
    for (char **device = list; device && *device; ++device)
        devices.append(QFile::decodeName(*device));
    cdio_free_device_list(list);
    return devices;
}

} // namespace

QString deviceMountedAt(const QString &folder, const QByteArray &mountTable)
{
    const QString wanted = QDir::cleanPath(folder);
    for (const QByteArray &line : mountTable.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 2 && fields[0].startsWith("/dev/") && unescape(fields[1]) == wanted)
            return unescape(fields[0]);
    }
    return {};
}

QString deviceMountedAt(const QString &folder)
{
    return deviceMountedAt(folder, readAll(QStringLiteral("/proc/self/mounts")));
}

QString FindCdDrive()
{
    const QStringList blockDevices = QDir(QStringLiteral("/sys/block"))
                                         .entryList({QStringLiteral("sr*")}, QDir::AllEntries | QDir::System);
    return firstDrive(readAll(QStringLiteral("/proc/sys/dev/cdrom/info")), blockDevices, libcdioDevices(),
                      readAll(QStringLiteral("/proc/self/mounts")));
}

} // namespace CdDrive
