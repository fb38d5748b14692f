#include "playback/MediaKind.h"

#include <QStringList>

namespace {

const QStringList AudioExtensions = {"MP3", "WAV", "MID", "RMI", "WMA", "OGG"};
const QStringList VideoExtensions = {"AVI", "ASF", "DAT", "MPG", "MPEG", "VOB"};

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

} // namespace

namespace MediaKind {

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
    return endsWithAny(fileName, VideoExtensions);
}

bool isAudioKind(const QString &fileName)
{
    static const QStringList AudioKinds = {"MP3", "WAV", "MID", "RMI"};
    return AudioKinds.contains(of(fileName));
}

} // namespace MediaKind
