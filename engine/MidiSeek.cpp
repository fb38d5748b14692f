#include "engine/MidiSeek.h"

#include <gst/gst.h>

namespace {

// Serialised events and buffers reach a pad one at a time, under its stream lock.
struct SegmentStart {
    GstClockTime start = 0;
};

// Channel set-up the notes after the target depend on. Notes on and off, key pressure and the
// parser's 10 ms clock ticks before the target matter to nothing after it.
bool setsUpAChannel(guint8 status)
{
    switch (status & 0xF0) {
    case 0xB0: // controller
    case 0xC0: // instrument
    case 0xD0: // channel pressure
    case 0xE0: // pitch bend
        return true;
    default:
        return status == 0xF0 || status == 0xF7 || status == 0xFF; // system exclusive, reset
    }
}

GstPadProbeReturn onData(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *segment = static_cast<SegmentStart *>(data);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent *event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
            const GstSegment *received = nullptr;
            gst_event_parse_segment(event, &received);
            segment->start = received->format == GST_FORMAT_TIME ? received->start : 0;
        }
        return GST_PAD_PROBE_OK;
    }
    GstBuffer *buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    const GstClockTime start = segment->start;
    const GstClockTime pts = GST_BUFFER_PTS(buffer);
    if (!GST_CLOCK_TIME_IS_VALID(pts) || pts >= start)
        return GST_PAD_PROBE_OK;
    guint8 status = 0;
    if (gst_buffer_extract(buffer, 0, &status, 1) != 1 || !setsUpAChannel(status))
        return GST_PAD_PROBE_DROP;
    // The synthesiser renders from the first time stamp it sees after a flush.
    buffer = gst_buffer_make_writable(buffer);
    GST_BUFFER_PTS(buffer) = start;
    GST_BUFFER_DTS(buffer) = start;
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    return GST_PAD_PROBE_OK;
}

} // namespace

void MidiSeek::startAtSeekTargets(GstElement *synthesiser)
{
    GstPad *pad = gst_element_get_static_pad(synthesiser, "sink");
    if (!pad)
        return;
    gst_pad_add_probe(
        pad, static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
        &onData, new SegmentStart, [](gpointer data) { delete static_cast<SegmentStart *>(data); });
    gst_object_unref(pad);
}
