#include "playlist/ForeignListEntry.h"

#include "playlist/FileUri.h"

#include <QDir>

namespace ForeignListEntry {

namespace {

// A path never holds a NUL or a line end: a line that would give one is damage, not a name.
bool isBroken(const QString &name)
{
    return name.isEmpty() || name.contains(QChar(0)) || name.contains(u'\r') || name.contains(u'\n');
}

// "scheme://..." with a scheme of letters, digits, "+", "-" or "."; a Windows path such as "C:\a.mp3"
// has no "//" and is not taken for one.
bool isUri(const QString &text)
{
    const qsizetype colon = text.indexOf(QLatin1String("://"));
    if (colon <= 0 || !text.at(0).isLetter())
        return false;
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = text.at(i);
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != u'+' && c != u'-' && c != u'.')
            return false;
    }
    return true;
}

bool isWindowsAbsolute(const QString &text)
{
    return text.size() >= 3 && text.at(0).unicode() < 0x80 && text.at(0).isLetter() && text.at(1) == u':' &&
           (text.at(2) == u'\\' || text.at(2) == u'/');
}

} // namespace

std::optional<QString> resolve(const QString &text, const QString &listFolder)
{
    const QString entry = text.trimmed();
    if (isBroken(entry))
        return std::nullopt;
    // The break marker of our own lists survives a round trip through M3U.
    if (entry == QLatin1String("-"))
        return entry;
    if (isUri(entry)) {
        if (!entry.startsWith(QLatin1String("file://"), Qt::CaseInsensitive))
            return std::nullopt;
        return FileUri::toLocalPath(entry);
    }
    // An absolute path from the player's first platform keeps its form; it names nothing here to
    // resolve against, and is skipped at play time like any missing file.
    if (entry.startsWith(u'/') || isWindowsAbsolute(entry) || entry.startsWith(QLatin1String("\\\\")))
        return entry;
    // Joined by hand: QDir would take a name starting with ":" for one of Qt's resources.
    return QDir::cleanPath(listFolder + u'/' + entry);
}

QList<QStringView> lines(const QString &text)
{
    QList<QStringView> result;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        result.append(QStringView(text).sliced(start, end - start).trimmed());
        start = end + 1;
    }
    return result;
}

} // namespace ForeignListEntry
