// Any bytes over the directory blocks of a vcdimager Video CD image (root folder, track folder,
// descriptor): nothing crashes or ends the process; a track that opens lies within the disc, reads whole.
#include "Require.h"
#include "disc/VideoCdDisc.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <vector>

static QTemporaryDir folder;
static QFile bin(folder.filePath(QStringLiteral("videocd.bin")));
static QByteArray pristine;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    require(
        std::system("cd " + QFile::encodeName(folder.path()) +
                    " && ffmpeg -nostdin -loglevel error -f lavfi -i testsrc -f lavfi -i sine -target pal-vcd"
                    " -t 1 a.mpg && vcdimager -t vcd2 a.mpg >/dev/null") == 0 &&
        bin.open(QIODevice::ReadWrite));
    pristine = bin.readAll();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A block is the 2048 bytes of a 2352-byte sector after its sync, header and subheader.
    const int sectors[] = {18, 20, 16};
    for (std::size_t i = 0; i < 3; ++i) {
        const qsizetype at = sectors[i] * qsizetype(2352) + 24;
        QByteArray block = pristine.mid(at, 2048);
        const std::size_t from = std::min(size, i * 2048);
        std::copy(data + from, data + std::min(size, from + 2048), block.data());
        require(bin.seek(at) && bin.write(block) == 2048 && bin.flush());
    }
    const QString cue = folder.filePath(QStringLiteral("videocd.cue"));
    for (const QString &name : VideoCdDisc::trackNames(cue)) {
        if (const std::unique_ptr<VideoCdDisc::Track> track = VideoCdDisc::Track::open({cue, name})) {
            std::vector<std::uint8_t> bytes(track->size() + 1);
            require(track->size() <=
                        std::uint64_t(pristine.size() / 2352) * VideoCdDisc::Track::PayloadSize &&
                    track->read(0, bytes.data(), bytes.size()) == track->size());
        }
    }
    return 0;
}
