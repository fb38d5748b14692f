#include "engine/StreamEndHold.h"

#include <cstring>
#include <mutex>

namespace {

struct Watch {
    StreamEndHold::CommitNext commitNext;
    void *data;
};

// Marks a source pad of uridecodebin whose stream has ended, until it is flushed or starts again.
GQuark endedMark()
{
    static const GQuark quark = g_quark_from_static_string("qwelto-stream-ended");
    return quark;
}

bool othersEnded(GstElement *decoder, GstPad *self)
{
    bool ended = true;
    GstIterator *pads = gst_element_iterate_src_pads(decoder);
    GValue item = G_VALUE_INIT;
    bool done = false;
    while (!done) {
        switch (gst_iterator_next(pads, &item)) {
        case GST_ITERATOR_OK: {
            auto *pad = static_cast<GstPad *>(g_value_get_object(&item));
            if (pad != self && !g_object_get_qdata(G_OBJECT(pad), endedMark()))
                ended = false;
            g_value_reset(&item);
            break;
        }
        case GST_ITERATOR_RESYNC:
            ended = true;
            gst_iterator_resync(pads);
            break;
        default:
            done = true;
            break;
        }
    }
    g_value_unset(&item);
    gst_iterator_free(pads);
    return ended;
}

GstPadProbeReturn onStreamEvent(GstPad *pad, GstPadProbeInfo *info, gpointer data)
{
    GstEvent *event = GST_PAD_PROBE_INFO_EVENT(info);
    switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_FLUSH_STOP:
    case GST_EVENT_STREAM_START:
        g_object_set_qdata(G_OBJECT(pad), endedMark(), nullptr);
        break;
    case GST_EVENT_EOS: {
        // Streams may end at once on their threads: exactly one of them must count as the last.
        static std::mutex endings;
        bool last = true;
        {
            std::lock_guard lock(endings);
            g_object_set_qdata(G_OBJECT(pad), endedMark(), GINT_TO_POINTER(1));
            if (GstElement *decoder = gst_pad_get_parent_element(pad)) {
                last = othersEnded(decoder, pad);
                gst_object_unref(decoder);
            }
        }
        const auto *watch = static_cast<const Watch *>(data);
        if (!last && watch->commitNext(watch->data))
            return GST_PAD_PROBE_DROP;
        break;
    }
    default:
        break;
    }
    return GST_PAD_PROBE_OK;
}

void onPadAdded(GstElement *, GstPad *pad, gpointer data)
{
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &onStreamEvent, data, nullptr);
}

void onElementAdded(GstBin *, GstElement *element, gpointer data)
{
    GstElementFactory *factory = gst_element_get_factory(element);
    if (factory && std::strcmp(GST_OBJECT_NAME(factory), "uridecodebin") == 0)
        g_signal_connect(element, "pad-added", G_CALLBACK(&onPadAdded), data);
}

} // namespace

void StreamEndHold::watch(GstElement *playbin, CommitNext commitNext, void *data)
{
    g_signal_connect_data(
        playbin, "element-added", G_CALLBACK(&onElementAdded), new Watch{commitNext, data},
        [](gpointer watch, GClosure *) { delete static_cast<Watch *>(watch); }, GConnectFlags{});
}
