#pragma once

#include <QString>

// A GStreamer source of our own for the tracks of a Video CD, read sector by sector through libcdio
// (Debian's GStreamer has no Video CD source). Registered in this process only, it answers URIs of
// the form qweltovcd://<entry>, where the entry is the playlist's own: the disc source, "/MPEGAV/"
// and the track's name. It reads pull or push, and seeks, over the track's MPEG data.
namespace VideoCdSource {

inline constexpr const char *Protocol = "qweltovcd";
inline constexpr const char *ElementName = "qweltovcdsrc";

// Makes the element known to GStreamer; call after gst_init. Safe to call again.
void registerElement();

// The URI playbin is given for a track entry.
QString uriFor(const QString &entry);

} // namespace VideoCdSource
