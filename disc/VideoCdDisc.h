#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// A Video CD read through libcdio rather than the file system: on most drives the track files
// (Mode 2 Form 2 sectors) give an input/output error when read as files, mounted or not. A disc
// source is an optical drive's device or a disc image (a .cue sheet with its .bin, and the other
// images libcdio opens), so the same code reads a real disc and a test image.
namespace VideoCdDisc {

// The folder of the track files on the disc, as playlist entries spell it after the drive root.
inline constexpr const char *TrackFolder = "MPEGAV/";

// Whether a path names a disc source (a block device or an image file) rather than a folder.
bool isDiscSource(const QString &path);

// The names of the track files (AVSEQnn.DAT) on the disc, in name order, without the ISO 9660
// version suffix; empty when there is no disc, it cannot be read, or it is not a Video CD. A damaged
// directory gives the names that can still be read.
QStringList trackNames(const QString &source);

// A playlist entry that names a track on a disc: the disc source (or the folder a drive's disc is
// mounted at), then "/MPEGAV/" and the name (any case). Nothing for any other path.
struct TrackRef {
    QString source;
    QString name;
};
std::optional<TrackRef> parseEntry(const QString &entry);

// A raw Mode 2 sector as libcdio hands it: an 8-byte subheader, the payload, 4 check bytes.
inline constexpr int RawSectorSize = 2336;

// Reads count raw sectors from first into out, which holds count * RawSectorSize bytes, through read
// (which reads a run of sectors, true when it could). A run that fails is read again sector by sector,
// each sector tried twice; one that still fails is left as zeros, past which the MPEG demuxer finds
// the next pack. The number of sectors left as zeros.
using SectorRead = std::function<bool(std::int32_t first, std::uint32_t count, std::uint8_t *out)>;
std::uint32_t readSkippingBad(const SectorRead &read, std::int32_t first, std::uint32_t count,
                              std::uint8_t *out);

// One track opened for reading: its MPEG data is the 2324 payload bytes of each of its sectors.
class Track {
public:
    static constexpr int PayloadSize = 2324;

    // Nothing when the disc or the track cannot be opened: not on the disc, or its first sector
    // unreadable. A track the directory says runs past the end of the disc (a cut image) ends there.
    static std::unique_ptr<Track> open(const TrackRef &ref);
    ~Track();
    Track(const Track &) = delete;
    Track &operator=(const Track &) = delete;

    // Size in bytes of the track's MPEG data.
    std::uint64_t size() const { return std::uint64_t(m_sectors) * PayloadSize; }
    // Reads up to length bytes from offset; the count read. What bad sectors held comes back as zeros.
    std::uint64_t read(std::uint64_t offset, std::uint8_t *out, std::uint64_t length);

private:
    Track() = default;

    void *m_cdio = nullptr; // CdIo_t, kept out of this header
    std::int32_t m_firstSector = 0;
    std::uint32_t m_sectors = 0;
};

} // namespace VideoCdDisc
