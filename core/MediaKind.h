#pragma once

#include <QString>
#include <QStringList>

#include <span>

// A media file's kind is read from the end of its name, as the user sees it, never from its content:
// the video window and the transport decide on it before or without asking the engine.
namespace MediaKind {

// What the video window does for a kind: it stays up for a picture and hides itself for sound.
enum class Shows { Sound, Picture };

struct Kind {
    const char *ending; // lower case, without the dot
    Shows shows;
    // The desktop's names for such files (shared-mime-info), space separated; a name the desktop
    // does not know (a Video CD track) has none.
    const char *mimeTypes;
};

// Every kind the player takes from a folder and offers in its dialogs and to the desktop, in the order
// "add a folder" groups them.
std::span<const Kind> kinds();

// The types the desktop may hand the player: every kind's, a Video CD put in the drive, and the
// playlists of other players.
QStringList offeredMimeTypes();

// The last three characters of the name, upper-cased (the whole name when it is shorter).
QString of(const QString &fileName);

// Endings that make the video window hide itself as soon as it is created.
bool isAudioExtension(const QString &fileName);

// Endings for which the video window stays visible: the name, whatever its case, ends in the ending
// of a kind that shows a picture.
bool isVideoExtension(const QString &fileName);

// Sound-only kinds for the transport: the video window is hidden for them as soon as they start.
bool isAudioKind(const QString &fileName);

} // namespace MediaKind
