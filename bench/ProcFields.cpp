#include "ProcFields.h"

#include <QDir>
#include <QFile>
#include <QString>

namespace ProcFields {

QByteArray read(qint64 pid, const char *name)
{
    // Read in one go: these files are generated on open and have no size.
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 number(const QByteArray &text, const QByteArray &field)
{
    const QByteArray lines = '\n' + text;
    const QByteArray key = '\n' + field + ':';
    const qsizetype at = lines.indexOf(key);
    if (at < 0)
        return -1;
    const qsizetype start = at + key.size();
    const qsizetype end = lines.indexOf('\n', start);
    bool ok = false;
    const qint64 value =
        lines.mid(start, end < 0 ? -1 : end - start).trimmed().split(' ').value(0).toLongLong(&ok);
    return ok ? value : -1;
}

double cpuSeconds(qint64 pid)
{
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly))
            total += stat.readAll().split(' ').value(0).toDouble() / 1e9;
    }
    return total;
}

} // namespace ProcFields
