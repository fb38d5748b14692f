#include "playlist/PlaylistFiles.h"

#include "core/UserFile.h"
#include "playlist/ListFile.h"
#include "playlist/M3uList.h"
#include "playlist/PlsList.h"

#include <QFileInfo>

namespace PlaylistFiles {

namespace {

// The first line of a playlist saved under a name of no known ending tells its format.
std::optional<Format> formatOfContent(const QByteArray &bytes)
{
    QByteArrayView head(bytes);
    if (head.startsWith("\xEF\xBB\xBF"))
        head = head.sliced(3);
    head = head.trimmed();
    if (head.startsWith("#EXTM3U"))
        return Format::M3u;
    if (head.size() >= 10 && QByteArrayView(head.first(10)).compare("[playlist]", Qt::CaseInsensitive) == 0)
        return Format::Pls;
    return std::nullopt;
}

} // namespace

Format formatOfName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("m3u") || suffix == QLatin1String("m3u8"))
        return Format::M3u;
    if (suffix == QLatin1String("pls"))
        return Format::Pls;
    return Format::ListFile;
}

bool isPlaylistName(const QString &path)
{
    return formatOfName(path) != Format::ListFile ||
           QFileInfo(path).suffix().compare(QLatin1String("lst"), Qt::CaseInsensitive) == 0;
}

Format formatOf(const QString &path, const QByteArray &bytes)
{
    const Format format = formatOfName(path);
    if (format != Format::ListFile ||
        QFileInfo(path).suffix().compare(QLatin1String("lst"), Qt::CaseInsensitive) == 0)
        return format;
    return formatOfContent(bytes).value_or(Format::ListFile);
}

QStringList decode(const QString &path, const QByteArray &bytes)
{
    const QString folder = QFileInfo(path).absolutePath();
    switch (formatOf(path, bytes)) {
    case Format::M3u:
        return M3uList::decode(bytes, folder);
    case Format::Pls:
        return PlsList::decode(bytes, folder);
    case Format::ListFile:
        break;
    }
    return ListFile::decode(bytes);
}

std::optional<QStringList> read(const QString &path)
{
    const std::optional<QByteArray> bytes = UserFile::read(path);
    if (!bytes)
        return std::nullopt;
    return decode(path, *bytes);
}

QString saveName(const QString &chosen)
{
    if (chosen.isEmpty() || QFileInfo(chosen).fileName().contains(u'.'))
        return chosen;
    return chosen + QStringLiteral(".lst");
}

QByteArray encode(Format format, const QStringList &entries)
{
    switch (format) {
    case Format::M3u:
        return M3uList::encode(entries);
    case Format::Pls:
        return PlsList::encode(entries);
    case Format::ListFile:
        break;
    }
    return ListFile::encode(entries);
}

bool write(const QString &path, const QStringList &entries)
{
    return UserFile::replace(path, encode(formatOfName(path), entries));
}

} // namespace PlaylistFiles
