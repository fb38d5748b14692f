#pragma once

typedef struct _GstElement GstElement; // NOLINT(bugprone-reserved-identifier): GStreamer's own name

// The MIDI parser answers a seek by playing the song again from its start, every event stamped with
// its own time, and the synthesiser renders sound for all of it before the sink throws away what
// lies before the target: five minutes into a file cost seconds of rendering, the window frozen
// meanwhile and then silence. This keeps, of what comes before the target, only the events that
// set a channel up (instruments, controllers, pitch bend, system exclusive), handed over at the
// target itself, so the synthesiser starts rendering there. Notes struck before the target and
// still sounding at it are not heard.
namespace MidiSeek {

// Watches what reaches the synthesiser `fluiddec` from then on.
void startAtSeekTargets(GstElement *synthesiser);

} // namespace MidiSeek
