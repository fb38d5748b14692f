#pragma once

#include <gst/gst.h>

// GStreamer 1.22's playbin switches to a queued file from the thread of the loaded file's stream that
// ends last, and on the way waits for the threads of its other streams. Those are parked in playsink
// with the end of their own stream, waiting for the last one: a film queued behind a film hangs for
// good. While a file is queued, the end of every stream but the last is held back before playbin sees
// it, so those threads are free when the switch comes; the last stream's end still reaches playbin and
// starts the switch. With nothing queued every end passes, and the loaded file ends as usual.
namespace StreamEndHold {

// Asked on a streaming thread when a stream ends before the others: true when a file is queued and
// will follow. From then on the queued file must not be taken back, or the streams held would never end.
using CommitNext = bool (*)(void *data);

void watch(GstElement *playbin, CommitNext commitNext, void *data);

} // namespace StreamEndHold
