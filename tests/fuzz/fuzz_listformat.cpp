// Any bytes as a list saved under a name that tells nothing of its format, or under .lst (the first
// byte chooses): the format is told and the list read in it without fail, every entry one line, and
// what each writer makes of the entries is told as that writer's format again.
#include "Require.h"
#include "playlist/PlaylistFiles.h"

#include <cstddef>
#include <cstdint>

using PlaylistFiles::Format;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool lst = data[0] & 1;
    const QString name = lst ? QStringLiteral("/home/u/liste.LST") : QStringLiteral("/home/u/liste");
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    require(!lst || PlaylistFiles::formatOf(name, bytes) == Format::ListFile);
    const QStringList entries = PlaylistFiles::decode(name, bytes);
    for (const QString &e : entries)
        require(!e.contains(u'\r') && !e.contains(u'\n'));
    for (const Format written : {Format::ListFile, Format::M3u, Format::Pls}) {
        const QByteArray again = PlaylistFiles::encode(written, entries);
        require(PlaylistFiles::formatOf(name, again) == (lst ? Format::ListFile : written));
    }
    return 0;
}
