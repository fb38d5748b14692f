#include "playlist/CdDrive.h"

#include <QFile>
#include <QList>
#include <QRegularExpression>

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

QString FindCdDrive()
{
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (!mounts.open(QIODevice::ReadOnly))
        return {};
    // /proc files report no size: read until the end rather than by size.
    return firstIn(mounts.readAll());
}

} // namespace CdDrive
