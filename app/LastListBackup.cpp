#include "app/LastListBackup.h"

#include "core/UserFile.h"
#include "playlist/ListFile.h"

#include <QFileInfo>

namespace LastListBackup {

namespace {

bool holdsEntries(const QByteArray &bytes)
{
    return !ListFile::decode(bytes).isEmpty();
}

// Backup number n, from 1.
QString nameOf(const QString &listPath, int n)
{
    return listPath + QStringLiteral(".bak") + (n == 1 ? QString() : u'.' + QString::number(n));
}

} // namespace

bool keep(const QString &listPath)
{
    if (!QFileInfo::exists(listPath))
        return true;
    const std::optional<QByteArray> list = UserFile::read(listPath);
    if (!list)
        return false;
    if (!holdsEntries(*list))
        return true;
    for (int n = 1; n <= MostBackups; ++n) {
        const QString name = nameOf(listPath, n);
        const std::optional<QByteArray> kept = UserFile::read(name);
        if (kept == list)
            return true;
        // An empty backup keeps nothing worth keeping (an earlier version could leave one).
        if (!QFileInfo::exists(name) || (kept && !holdsEntries(*kept)))
            return UserFile::replace(name, *list);
    }
    return false;
}

} // namespace LastListBackup
