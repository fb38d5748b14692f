#pragma once

#include "core/MediaKind.h"

#include <QString>

// The filters the playlist commands give the file dialog, "description|patterns|...".

// Media files, for opening and adding a file. The first description names *.wma but not *.asf,
// while its patterns hold both: that is how users have always seen it.
inline constexpr const char *MediaFilter =
    "Tous les fichiers Qwelto (*.dat, *.mp3, *.mpeg, *.mpg, *.avi, *.wav, *.cda, *.mid, *.wma )|"
    "*.dat;*.mp3;*.mpeg;*.mpg;*.avi;*.wma;*.wav;*.cda;*.mid;*.asf|Video CD (*.dat) |*.dat| AVI Video (*.avi) "
    "|*.avi|"
    "Fichiers MP3|*.mp3|Tous les fichiers (*.*) |*.*";

// The media filter, then one more pair for every kind the player plays, the newer ones included, so
// that an .ogg or a .flac can be chosen without "all files". The five long-standing pairs come first.
inline QString mediaDialogFilter()
{
    QStringList patterns = QString::fromLatin1(MediaFilter).section(u'|', 1, 1).split(u';');
    for (const MediaKind::Kind &kind : MediaKind::kinds()) {
        const QString pattern = QStringLiteral("*.") + QLatin1String(kind.ending);
        if (!patterns.contains(pattern))
            patterns.append(pattern);
    }
    return QString::fromUtf8(MediaFilter) + QStringLiteral("|Tous les fichiers multimédia|") +
           patterns.join(u';');
}

// List files, for saving and loading a playlist: our own format first, then those of other players
// that we read or write.
inline constexpr const char *ListLoadFilter =
    "List (*.lst) |*.lst|M3U (*.m3u, *.m3u8) |*.m3u;*.m3u8|PLS (*.pls) |*.pls| All files (*.*) |*.*";
inline constexpr const char *ListSaveFilter =
    "List (*.lst) |*.lst|M3U8 (*.m3u8, *.m3u) |*.m3u8;*.m3u|PLS (*.pls) |*.pls| All files (*.*) |*.*";
