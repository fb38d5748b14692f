#include "playlist/VideoCdDisc.h"

#include "playlist/CdDrive.h"
#include "playlist/FolderScan.h"

#include <QFile>
#include <QFileInfo>

#include <cdio/cdio.h>
#include <cdio/iso9660.h>
#include <cdio/logging.h>

#include <sys/stat.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace VideoCdDisc {

namespace {

// The raw Mode 2 sector as libcdio hands it: an 8-byte subheader, the payload, 4 check bytes.
constexpr int SubheaderSize = 8;
constexpr int RawSectorSize = M2RAW_SECTOR_SIZE;
// Read at most this many sectors at a time: about 75 KB, a third of a second of a Video CD.
constexpr std::uint32_t SectorsPerRead = 32;

// libcdio prints its warnings (an empty drive, a disc without ISO 9660) on stderr; they are expected
// answers here.
void quietLibcdio()
{
    static std::once_flag once;
    std::call_once(once, [] { cdio_loglevel_default = CDIO_LOG_ERROR; });
}

QString withoutVersion(const char *isoName)
{
    QString name = QString::fromLatin1(isoName);
    const qsizetype semicolon = name.indexOf(u';');
    if (semicolon >= 0)
        name.truncate(semicolon);
    if (name.endsWith(u'.'))
        name.chop(1);
    return name;
}

struct Disc {
    CdIo_t *cdio = nullptr;
    explicit Disc(const QString &source)
    {
        quietLibcdio();
        cdio = cdio_open(QFile::encodeName(source).constData(), DRIVER_UNKNOWN);
    }
    ~Disc()
    {
        if (cdio)
            cdio_destroy(cdio);
    }
    Disc(const Disc &) = delete;
    Disc &operator=(const Disc &) = delete;
    CdIo_t *release() { return std::exchange(cdio, nullptr); }
};

// The directory entries of a folder of the disc, as (name without version, extent, size in sectors).
struct Entry {
    QString name;
    bool folder;
    std::int32_t lsn;
    std::uint32_t sectors;
};

std::vector<Entry> listFolder(CdIo_t *cdio, const QByteArray &path)
{
    std::vector<Entry> entries;
    CdioISO9660FileList_t *list = iso9660_fs_readdir(cdio, path.constData());
    if (!list)
        return entries;
    CdioListNode_t *node = nullptr;
    _CDIO_LIST_FOREACH(node, list)
    {
        const auto *stat = static_cast<const iso9660_stat_t *>(_cdio_list_node_data(node));
        const QString name = withoutVersion(stat->filename);
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        entries.push_back({name, stat->type == iso9660_stat_s::_STAT_DIR, stat->lsn, stat->secsize});
    }
    iso9660_filelist_free(list);
    return entries;
}

// The track folder of the disc, whatever its case.
std::optional<QByteArray> trackFolder(CdIo_t *cdio)
{
    const QString wanted = QString::fromLatin1(TrackFolder).chopped(1);
    for (const Entry &entry : listFolder(cdio, "/")) {
        if (entry.folder && entry.name.compare(wanted, Qt::CaseInsensitive) == 0)
            return "/" + entry.name.toLatin1();
    }
    return std::nullopt;
}

bool isTrackName(const QString &name)
{
    return name.startsWith(QLatin1String("avseq"), Qt::CaseInsensitive);
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
    Disc disc(source);
    if (!disc.cdio)
        return {};
    const std::optional<QByteArray> folder = trackFolder(disc.cdio);
    if (!folder)
        return {};
    QStringList names;
    for (const Entry &entry : listFolder(disc.cdio, *folder)) {
        if (!entry.folder && isTrackName(entry.name))
            names.append(entry.name);
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

std::unique_ptr<Track> Track::open(const TrackRef &ref)
{
    Disc disc(ref.source);
    if (!disc.cdio)
        return nullptr;
    const std::optional<QByteArray> folder = trackFolder(disc.cdio);
    if (!folder)
        return nullptr;
    for (const Entry &entry : listFolder(disc.cdio, *folder)) {
        if (entry.folder || entry.name.compare(ref.name, Qt::CaseInsensitive) != 0)
            continue;
        std::unique_ptr<Track> track(new Track);
        track->m_firstSector = entry.lsn;
        track->m_sectors = entry.sectors;
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

std::int64_t Track::read(std::uint64_t offset, std::uint8_t *out, std::uint64_t length)
{
    if (offset >= size() || length == 0)
        return 0;
    length = std::min(length, size() - offset);
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
        if (cdio_read_mode2_sectors(static_cast<CdIo_t *>(m_cdio), raw.data(),
                                    static_cast<lsn_t>(m_firstSector + std::int32_t(sector)), true,
                                    count) != DRIVER_OP_SUCCESS)
            return -1;
        for (std::uint32_t i = 0; i < count && done < length; ++i) {
            const std::size_t from = i == 0 ? skip : 0;
            const std::size_t n = std::min<std::uint64_t>(PayloadSize - from, length - done);
            std::copy_n(raw.data() + std::size_t(i) * RawSectorSize + SubheaderSize + from, n, out + done);
            done += n;
        }
    }
    return static_cast<std::int64_t>(done);
}

} // namespace VideoCdDisc
