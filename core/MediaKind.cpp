#include "core/MediaKind.h"

namespace {

using MediaKind::Kind;
using MediaKind::Shows;

// The seven kinds the player has always scanned folders for come first, in their long-standing order.
// A Windows Media video has always counted as sound for the video window (only its ASF container
// shows), while the newer video containers show their picture.
constexpr Kind Kinds[] = {
    {"dat", Shows::Picture, ""},
    {"avi", Shows::Picture, "video/x-msvideo"},
    {"mp3", Shows::Sound, "audio/mpeg"},
    {"mpg", Shows::Picture, "video/mpeg"},
    {"wav", Shows::Sound, "audio/x-wav audio/wav"},
    {"mpeg", Shows::Picture, "video/mpeg"},
    {"wma", Shows::Sound, "audio/x-ms-wma"},
    {"ogg", Shows::Sound, "audio/ogg audio/x-vorbis+ogg"},
    {"oga", Shows::Sound, "audio/ogg"},
    {"opus", Shows::Sound, "audio/x-opus+ogg"},
    {"flac", Shows::Sound, "audio/flac audio/x-flac"},
    {"m4a", Shows::Sound, "audio/mp4 audio/x-m4a"},
    {"aac", Shows::Sound, "audio/aac"},
    {"mid", Shows::Sound, "audio/midi audio/x-midi"},
    {"midi", Shows::Sound, "audio/midi"},
    {"rmi", Shows::Sound, ""},
    {"kar", Shows::Sound, "audio/midi"},
    {"vob", Shows::Picture, "video/mpeg"},
    {"asf", Shows::Picture, "application/vnd.ms-asf video/x-ms-asf"},
    {"wmv", Shows::Sound, "video/x-ms-wmv"},
    {"mkv", Shows::Picture, "video/x-matroska"},
    {"mp4", Shows::Picture, "video/mp4"},
    {"m4v", Shows::Picture, "video/mp4"},
    {"webm", Shows::Picture, "video/webm"},
    {"mov", Shows::Picture, "video/quicktime"},
    {"ogv", Shows::Picture, "video/ogg"},
    {"mp2", Shows::Sound, "audio/mp2"},
    {"aiff", Shows::Sound, "audio/x-aiff"},
    {"aif", Shows::Sound, "audio/x-aiff"},
    {"mka", Shows::Sound, "audio/x-matroska"},
};

// Offered besides the media kinds: the disc a file manager sees put in the drive, then M3U, M3U8 and
// PLS lists.
constexpr const char *OtherOfferedTypes =
    "x-content/video-vcd audio/x-mpegurl application/vnd.apple.mpegurl audio/x-scpls";

const QStringList AudioExtensions = {"MP3", "WAV", "MID", "RMI", "WMA", "OGG"};

// A name shorter than the ending matches nothing.
bool endsWithAny(const QString &fileName, const QStringList &endings)
{
    const QString upper = fileName.toUpper();
    for (const QString &ending : endings) {
        if (upper.size() >= ending.size() && upper.endsWith(ending))
            return true;
    }
    return false;
}

QStringList pictureEndings()
{
    QStringList endings;
    for (const Kind &kind : Kinds)
        if (kind.shows == Shows::Picture)
            endings.append(QString::fromLatin1(kind.ending).toUpper());
    return endings;
}

} // namespace

namespace MediaKind {

std::span<const Kind> kinds()
{
    return Kinds;
}

QStringList offeredMimeTypes()
{
    QStringList types;
    const auto add = [&types](const char *names) {
        for (const QString &name : QString::fromLatin1(names).split(u' ', Qt::SkipEmptyParts))
            if (!types.contains(name))
                types.append(name);
    };
    for (const Kind &kind : Kinds)
        add(kind.mimeTypes);
    add(OtherOfferedTypes);
    return types;
}

QString of(const QString &fileName)
{
    return fileName.right(3).toUpper();
}

bool isAudioExtension(const QString &fileName)
{
    return endsWithAny(fileName, AudioExtensions);
}

bool isVideoExtension(const QString &fileName)
{
    static const QStringList endings = pictureEndings();
    return endsWithAny(fileName, endings);
}

bool isAudioKind(const QString &fileName)
{
    static const QStringList AudioKinds = {"MP3", "WAV", "MID", "RMI"};
    return AudioKinds.contains(of(fileName));
}

} // namespace MediaKind
