// Any bytes as a list file: reading never fails, never yields an entry spanning lines, and what the
// program writes it reads back.
#include "Require.h"
#include "playlist/ListFile.h"

#include <QByteArray>
#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace {

bool hasLineEnd(const QString &s)
{
    return s.contains(u'\r') || s.contains(u'\n');
}

// The writer escapes nothing, so an entry holding a quote or a line end cannot come back whole; any
// other entry, blanks and commas included, must.
bool writable(const QString &s)
{
    return !s.contains(u'"') && !hasLineEnd(s);
}

void checkText(const QByteArray &bytes, const QString &text)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    const QByteArray utf8 = text.toUtf8();
    // Read as the UTF-8 it is; a second byte-order mark straight after the first goes too, rather than
    // start the first entry with an invisible character.
    if (utf8 == view || (view.startsWith("\xEF\xBB\xBF") && utf8 == view.sliced(3)))
        return;
    // Otherwise every byte became one character of the Windows code page: nothing is lost or
    // invented, and no half of a surrogate pair can appear.
    require(text.size() == view.size());
    for (const QChar c : text)
        require(!c.isSurrogate());
}

void checkRoundTrip(const QStringList &entries)
{
    QStringList kept;
    for (const QString &e : entries) {
        if (writable(e))
            kept.append(e);
    }
    require(ListFile::decode(ListFile::encode(kept)) == kept);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    const QString text = ListFile::decodeText(bytes);
    checkText(bytes, text);

    const QStringList entries = ListFile::decode(bytes);
    for (const QString &e : entries)
        require(!hasLineEnd(e));
    checkRoundTrip(entries);

    // The same text taken line by line as entries, with their blanks, commas and odd characters, as
    // the playlist box may hold them.
    checkRoundTrip(text.split(u'\n'));
    return 0;
}
