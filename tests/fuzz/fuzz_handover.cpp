// Any bytes as a later start's message: reading never fails, and a message it takes is exactly the
// one the writer makes of it; a message built from the bytes comes back with what it can carry.
#include "Require.h"
#include "app/HandOverMessage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (const std::optional<HandOver::Message> message = HandOver::decode(bytes))
        require(HandOver::encode(*message) == bytes);

    // The same bytes as a start's own ids and paths, line by line.
    const QList<QByteArray> lines = bytes.toByteArray().split('\n');
    HandOver::Message made{{}, lines.value(0), lines.value(1)};
    QStringList carried;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        made.paths.append(QString::fromUtf8(lines.at(i)));
        if (made.paths.last().startsWith(u'/') && !made.paths.last().contains(QChar(0)))
            carried.append(made.paths.last());
    }
    const std::optional<HandOver::Message> read = HandOver::decode(HandOver::encode(made));
    require(read && read->paths == carried);
    require(read->startupId.isEmpty() || read->startupId == made.startupId);
    require(read->activationToken.isEmpty() || read->activationToken == made.activationToken);
    return 0;
}
