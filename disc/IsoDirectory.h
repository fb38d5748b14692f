#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The little of an ISO 9660 file system a Video CD is found by: the primary volume descriptor and
// the records of a folder, read from bytes that may be damaged. Every length in them is checked
// against the bytes there are, and a record that does not fit is left out. libcdio's own directory
// reader hands out NULL entries for such records and then follows them itself into a crash.
namespace IsoDirectory {

inline constexpr int BlockSize = 2048;
inline constexpr std::int32_t DescriptorSector = 16;

struct Record {
    QString name; // without its ";1" version
    bool folder = false;
    std::uint32_t lsn = 0;
    std::uint32_t size = 0; // in bytes; a Video CD track counts 2048 of them per sector all the same

    std::uint32_t blocks() const { return size / BlockSize + (size % BlockSize != 0 ? 1 : 0); }
};

// The root folder named by a primary volume descriptor; nothing when the block is not one.
std::optional<Record> rootOf(QByteArrayView descriptor);

// The records held in a folder's blocks, in the disc's order, without "." and "..".
std::vector<Record> records(QByteArrayView blocks);

} // namespace IsoDirectory
