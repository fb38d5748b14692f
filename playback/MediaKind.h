#pragma once

#include <QString>

// A media file's kind is read from the end of its name, as the user sees it, never from its content:
// the video window and the transport decide on it before or without asking the engine.
namespace MediaKind {

// The last three characters of the name, upper-cased (the whole name when it is shorter).
QString of(const QString &fileName);

// Endings that make the video window hide itself as soon as it is created.
bool isAudioExtension(const QString &fileName);

// Endings for which the video window stays visible; "MPEG" is compared with the last four characters.
bool isVideoExtension(const QString &fileName);

// Sound-only kinds for the transport: the video window is hidden for them as soon as they start.
bool isAudioKind(const QString &fileName);

} // namespace MediaKind
