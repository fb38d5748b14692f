// Any bytes as an M3U or a PLS playlist (the first byte chooses): reading never fails, every entry is
// one whole name, and what the M3U and PLS writers make of the entries reads back as the same entries.
#include "Require.h"
#include "playlist/M3uList.h"
#include "playlist/PlsList.h"

#include <QByteArray>
#include <QStringList>

#include <cstddef>
#include <cstdint>

const QString ListFolder = QStringLiteral("/home/u/Listes");

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool pls = data[0] & 1;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QStringList entries = pls ? PlsList::decode(bytes, ListFolder) : M3uList::decode(bytes, ListFolder);
    QStringList kept;
    for (const QString &e : entries) {
        require(!e.isEmpty());
        require(!e.contains(QChar(0)) && !e.contains(u'\r') && !e.contains(u'\n'));
        // A relative name was taken from the list's folder; what is left is absolute or the break mark.
        require(e.startsWith(u'/') || e == QLatin1String("-") || (e.size() >= 3 && e.at(1) == u':') ||
                e.startsWith(QLatin1String("\\\\")));
        // Blanks around a line are not part of a name, so a name a URI gave with blanks at its ends
        // cannot come back through a text line; every other one must.
        if (e.trimmed() == e)
            kept.append(e);
    }
    require(M3uList::decode(M3uList::encode(kept), ListFolder) == kept);
    require(PlsList::decode(PlsList::encode(kept), ListFolder) == kept);
    return 0;
}
