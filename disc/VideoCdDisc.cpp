#include "disc/VideoCdDisc.h"

#include "core/FolderScan.h"
#include "disc/CdDrive.h"
#include "disc/CdioLog.h"
#include "disc/IsoDirectory.h"

#include <QFile>
#include <QFileInfo>

#include <cdio/cdio.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace VideoCdDisc {

namespace {

constexpr int SubheaderSize = 8;
static_assert(RawSectorSize == M2RAW_SECTOR_SIZE);
// Read at most this many sectors at a time: about 75 KB, a third of a second of a Video CD.
constexpr std::uint32_t SectorsPerRead = 32;
// A Video CD's folders fit in a block or two (98 tracks at most); a larger size is damage, and
// reading it whole would mean allocating up to 4 GB.
constexpr std::uint32_t MaxFolderBlocks = 16;

struct Disc {
    CdIo_t *cdio = nullptr;
    std::uint32_t sectors = 0; // the disc's end: sectors at and past it do not exist

    explicit Disc(const QString &source)
    {
        CdioLog::install();
        cdio = cdio_open(QFile::encodeName(source).constData(), DRIVER_UNKNOWN);
        const lsn_t end = cdio ? cdio_get_disc_last_lsn(cdio) : CDIO_INVALID_LSN;
        if (end > 0)
            sectors = static_cast<std::uint32_t>(end);
    }
    ~Disc()
    {
        if (cdio)
            cdio_destroy(cdio);
    }
    Disc(const Disc &) = delete;
    Disc &operator=(const Disc &) = delete;
    bool isOpen() const { return cdio && sectors > 0; }
    CdIo_t *release() { return std::exchange(cdio, nullptr); }

    // Blocks of the file system, as many of count as the disc holds and a folder may take; empty
    // when they cannot be read.
    QByteArray blocks(std::uint32_t lsn, std::uint32_t count) const
    {
        if (lsn >= sectors)
            return {};
        count = std::min({count, MaxFolderBlocks, sectors - lsn});
        QByteArray bytes(qsizetype(count) * IsoDirectory::BlockSize, '\0');
        if (cdio_read_data_sectors(cdio, bytes.data(), static_cast<lsn_t>(lsn), IsoDirectory::BlockSize,
                                   count) != DRIVER_OP_SUCCESS)
            return {};
        return bytes;
    }
    std::vector<IsoDirectory::Record> folder(const IsoDirectory::Record &record) const
    {
        return IsoDirectory::records(blocks(record.lsn, record.blocks()));
    }

    // The records of the track folder, whatever its case.
    std::vector<IsoDirectory::Record> trackFolder() const
    {
        const std::optional<IsoDirectory::Record> root =
            IsoDirectory::rootOf(blocks(IsoDirectory::DescriptorSector, 1));
        if (!root)
            return {};
        const QString wanted = QString::fromLatin1(TrackFolder).chopped(1);
        for (const IsoDirectory::Record &record : folder(*root)) {
            if (record.folder && record.name.compare(wanted, Qt::CaseInsensitive) == 0)
                return folder(record);
        }
        return {};
    }
};

bool isTrackName(const QString &name)
{
    return name.startsWith(QLatin1String("avseq"), Qt::CaseInsensitive);
}

SectorRead readerOf(CdIo_t *cdio)
{
    return [cdio](std::int32_t first, std::uint32_t count, std::uint8_t *out) {
        return cdio_read_mode2_sectors(cdio, out, first, true, count) == DRIVER_OP_SUCCESS;
    };
}

} // namespace

bool isDiscSource(const QString &path)
{
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISBLK(info.st_mode) || S_ISREG(info.st_mode);
}

QStringList trackNames(const QString &source)
{
    if (!isDiscSource(source))
        return {};
    const Disc disc(source);
    if (!disc.isOpen())
        return {};
    QStringList names;
    for (const IsoDirectory::Record &record : disc.trackFolder()) {
        if (!record.folder && isTrackName(record.name))
            names.append(record.name);
    }
    FolderScan::sortNaturally(names);
    return names;
}

std::optional<TrackRef> parseEntry(const QString &entry)
{
    const QString marker = u'/' + QString::fromLatin1(TrackFolder);
    const qsizetype at = entry.lastIndexOf(marker, -1, Qt::CaseInsensitive);
    if (at <= 0)
        return std::nullopt;
    TrackRef ref{entry.left(at), entry.mid(at + marker.size())};
    if (ref.name.isEmpty() || ref.name.contains(u'/'))
        return std::nullopt;
    // A disc mounted by the desktop lists its tracks as files that then fail to read: the drive
    // behind the mount is read instead.
    if (QFileInfo(ref.source).isDir())
        ref.source = CdDrive::deviceMountedAt(ref.source);
    if (!isDiscSource(ref.source))
        return std::nullopt;
    return ref;
}

std::uint32_t readSkippingBad(const SectorRead &read, std::int32_t first, std::uint32_t count,
                              std::uint8_t *out)
{
    if (read(first, count, out))
        return 0;
    std::uint32_t unread = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t *sector = out + std::size_t(i) * RawSectorSize;
        const std::int32_t at = first + std::int32_t(i);
        if (!read(at, 1, sector) && !read(at, 1, sector)) {
            std::memset(sector, 0, RawSectorSize);
            ++unread;
        }
    }
    return unread;
}

std::unique_ptr<Track> Track::open(const TrackRef &ref)
{
    Disc disc(ref.source);
    if (!disc.isOpen())
        return nullptr;
    for (const IsoDirectory::Record &record : disc.trackFolder()) {
        if (record.folder || record.name.compare(ref.name, Qt::CaseInsensitive) != 0)
            continue;
        if (record.lsn >= disc.sectors)
            return nullptr;
        const std::uint32_t sectors = std::min(record.blocks(), disc.sectors - record.lsn);
        std::vector<std::uint8_t> first(RawSectorSize);
        if (sectors == 0 ||
            readSkippingBad(readerOf(disc.cdio), std::int32_t(record.lsn), 1, first.data()) != 0)
            return nullptr;
        std::unique_ptr<Track> track(new Track);
        track->m_firstSector = std::int32_t(record.lsn);
        track->m_sectors = sectors;
        track->m_cdio = disc.release();
        return track;
    }
    return nullptr;
}

Track::~Track()
{
    if (m_cdio)
        cdio_destroy(static_cast<CdIo_t *>(m_cdio));
}

std::uint64_t Track::read(std::uint64_t offset, std::uint8_t *out, std::uint64_t length)
{
    if (offset >= size() || length == 0)
        return 0;
    length = std::min(length, size() - offset);
    const SectorRead reader = readerOf(static_cast<CdIo_t *>(m_cdio));
    std::vector<std::uint8_t> raw;
    std::uint64_t done = 0;
    while (done < length) {
        const std::uint64_t at = offset + done;
        const auto sector = static_cast<std::uint32_t>(at / PayloadSize);
        const auto skip = static_cast<std::size_t>(at % PayloadSize);
        const std::uint64_t wanted = length - done;
        const std::uint32_t count =
            std::min({SectorsPerRead, m_sectors - sector,
                      static_cast<std::uint32_t>((skip + wanted + PayloadSize - 1) / PayloadSize)});
        raw.resize(std::size_t(count) * RawSectorSize);
        readSkippingBad(reader, m_firstSector + std::int32_t(sector), count, raw.data());
        for (std::uint32_t i = 0; i < count && done < length; ++i) {
            const std::size_t from = i == 0 ? skip : 0;
            const std::size_t n = std::min<std::uint64_t>(PayloadSize - from, length - done);
            std::copy_n(raw.data() + std::size_t(i) * RawSectorSize + SubheaderSize + from, n, out + done);
            done += n;
        }
    }
    return done;
}

} // namespace VideoCdDisc
