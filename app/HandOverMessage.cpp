#include "app/HandOverMessage.h"

#include <algorithm>

namespace HandOver {

namespace {

constexpr QByteArrayView Mark("qwelto hand-over 1");
constexpr qsizetype LongestId = 1024;

// Ids and tokens are short printable ASCII: the player puts them in an X message and its environment.
bool carriesId(QByteArrayView id)
{
    return !id.isEmpty() && id.size() <= LongestId &&
           std::all_of(id.begin(), id.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
}

bool carriesPath(const QByteArray &path)
{
    return path.startsWith('/') && !path.contains('\0');
}

void append(QByteArray &bytes, char kind, QByteArrayView value)
{
    bytes += kind;
    bytes += value;
    bytes += '\0';
}

} // namespace

QByteArray encode(const Message &message)
{
    QByteArray bytes = Mark.toByteArray() + '\0';
    if (carriesId(message.startupId))
        append(bytes, 'S', message.startupId);
    if (carriesId(message.activationToken))
        append(bytes, 'T', message.activationToken);
    for (const QString &path : message.paths) {
        const QByteArray utf8 = path.toUtf8();
        if (carriesPath(utf8))
            append(bytes, 'P', utf8);
    }
    return bytes;
}

std::optional<Message> decode(QByteArrayView bytes)
{
    if (bytes.size() > LongestMessage || !bytes.startsWith(Mark) || bytes.size() == Mark.size() ||
        bytes.at(Mark.size()) != '\0' || !bytes.endsWith('\0'))
        return std::nullopt;
    Message message;
    // Each kind after those before it: one form for one message.
    const QByteArrayView order("STP");
    qsizetype last = -1;
    qsizetype start = Mark.size() + 1;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\0', start);
        const QByteArrayView item = bytes.sliced(start, end - start);
        start = end + 1;
        const qsizetype kind = item.isEmpty() ? -1 : order.indexOf(item.front());
        if (kind < 0 || kind < last || (kind == last && kind != 2))
            return std::nullopt;
        last = kind;
        const QByteArrayView value = item.sliced(1);
        if (kind == 2) {
            // Valid UTF-8 only: a path is read back as the very bytes that were sent.
            const QString path = QString::fromUtf8(value);
            if (!value.startsWith('/') || path.toUtf8() != value)
                return std::nullopt;
            message.paths.append(path);
        } else if (!carriesId(value)) {
            return std::nullopt;
        } else {
            (kind == 0 ? message.startupId : message.activationToken) = value.toByteArray();
        }
    }
    return message;
}

} // namespace HandOver
