#include "disc/IsoDirectory.h"

#include <algorithm>

namespace IsoDirectory {

namespace {

// A directory record: its length, the extent and the size (little-endian halves of both-endian
// fields), the flags, then the name's length and the name.
constexpr qsizetype FixedPart = 33;
constexpr qsizetype ExtentAt = 2;
constexpr qsizetype SizeAt = 10;
constexpr qsizetype FlagsAt = 25;
constexpr qsizetype NameLengthAt = 32;
constexpr char FolderFlag = 0x02;
constexpr qsizetype RootRecordAt = 156;
constexpr qsizetype RootRecordSize = 34;

std::uint32_t le32(QByteArrayView bytes, qsizetype at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

// The record in exactly these bytes; the name as given, "\0" and "\1" standing for "." and "..".
std::optional<Record> recordIn(QByteArrayView bytes)
{
    if (bytes.size() < FixedPart)
        return std::nullopt;
    const auto nameLength = static_cast<std::uint8_t>(bytes[NameLengthAt]);
    if (nameLength == 0 || FixedPart + nameLength > bytes.size())
        return std::nullopt;
    Record record;
    record.folder = (bytes[FlagsAt] & FolderFlag) != 0;
    record.lsn = le32(bytes, ExtentAt);
    record.size = le32(bytes, SizeAt);
    record.name = QString::fromLatin1(bytes.sliced(FixedPart, nameLength));
    return record;
}

// A name a playlist entry can carry: version and empty extension gone; nothing for "." and "..",
// and for names that hold what no file name on a disc does.
std::optional<QString> usableName(QString name)
{
    const qsizetype semicolon = name.indexOf(u';');
    if (semicolon >= 0)
        name.truncate(semicolon);
    if (name.endsWith(u'.'))
        name.chop(1);
    if (name.isEmpty())
        return std::nullopt;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c == u'/')
            return std::nullopt;
    }
    return name;
}

} // namespace

std::optional<Record> rootOf(QByteArrayView descriptor)
{
    if (descriptor.size() < RootRecordAt + RootRecordSize || !descriptor.startsWith("\x01"
                                                                                    "CD001"))
        return std::nullopt;
    const QByteArrayView bytes = descriptor.sliced(RootRecordAt, RootRecordSize);
    std::optional<Record> root = recordIn(bytes);
    if (!root || static_cast<std::uint8_t>(bytes[0]) != RootRecordSize || !root->folder)
        return std::nullopt;
    return root;
}

std::vector<Record> records(QByteArrayView blocks)
{
    std::vector<Record> found;
    for (qsizetype block = 0; block < blocks.size(); block += BlockSize) {
        const qsizetype end = std::min(blocks.size(), block + BlockSize);
        qsizetype at = block;
        // A record never crosses into the next block: a zero length ends the block's records, and one
        // that would run past its end is damage that ends them too.
        while (at < end) {
            const auto length = static_cast<std::uint8_t>(blocks[at]);
            if (length == 0 || at + length > end)
                break;
            const std::optional<Record> record = recordIn(blocks.sliced(at, length));
            at += length;
            if (!record)
                continue;
            if (std::optional<QString> name = usableName(record->name)) {
                found.push_back(*record);
                found.back().name = *name;
            }
        }
    }
    return found;
}

} // namespace IsoDirectory
