#include "engine/PipelineTasks.h"

#include <gst/gst.h>

namespace {

gboolean padRunsTask(GstElement *, GstPad *pad, gpointer found)
{
    GST_OBJECT_LOCK(pad);
    GstTask *task = GST_PAD_TASK(pad);
    if (task && gst_task_get_state(task) == GST_TASK_STARTED)
        *static_cast<bool *>(found) = true;
    GST_OBJECT_UNLOCK(pad);
    return !*static_cast<bool *>(found);
}

} // namespace

bool PipelineTasks::anyRunning(GstElement *pipeline)
{
    bool found = false;
    GstIterator *elements = gst_bin_iterate_recurse(GST_BIN(pipeline));
    GValue item = G_VALUE_INIT;
    bool more = true;
    while (more && !found) {
        switch (gst_iterator_next(elements, &item)) {
        case GST_ITERATOR_OK:
            gst_element_foreach_pad(GST_ELEMENT(g_value_get_object(&item)), &padRunsTask, &found);
            g_value_reset(&item);
            break;
        case GST_ITERATOR_RESYNC:
            gst_iterator_resync(elements);
            break;
        default:
            more = false;
            break;
        }
    }
    g_value_unset(&item);
    gst_iterator_free(elements);
    return found;
}
