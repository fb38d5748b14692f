// Any bytes as a list file: reading never fails, never yields an entry spanning lines, and what the
// program writes it reads back.
#include "Require.h"
#include "playlist/ListFile.h"

#include <QByteArray>
#include <QRegularExpression>
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

// Each line is read on its own: as the UTF-8 it is, or every byte one character of the Windows code
// page, nothing lost or invented and no half of a surrogate pair. The line ends stay where they were.
void checkText(const QByteArray &bytes, const QString &text)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    qsizetype at = 0;
    for (const QString &line : text.split(QRegularExpression(QStringLiteral("[\r\n]")))) {
        qsizetype end = at;
        while (end < view.size() && view[end] != '\r' && view[end] != '\n')
            ++end;
        const QByteArrayView lineBytes = view.sliced(at, end - at);
        at = end + 1;
        if (line.toUtf8() == lineBytes)
            continue;
        require(line.size() == lineBytes.size());
        for (const QChar c : line)
            require(!c.isSurrogate());
    }
    require(at == view.size() + 1);
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
