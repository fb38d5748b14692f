#include "engine/VideoCdSource.h"

#include "disc/VideoCdDisc.h"

#include <QUrl>

#include <gst/base/gstbasesrc.h>
#include <gst/gst.h>

#include <memory>
#include <mutex>

namespace {

// The element's instance: the URI it was given and, between start and stop, the open track.
struct QweltoVcdSrc {
    GstBaseSrc parent;
    gchar *uri;
    VideoCdDisc::Track *track;
};

struct QweltoVcdSrcClass {
    GstBaseSrcClass parent_class;
};

GType qwelto_vcd_src_get_type();
void qwelto_vcd_src_uri_handler_init(gpointer iface, gpointer);

// Expanded by hand from G_DEFINE_TYPE_WITH_CODE: the macro's casts do not build warning-free as C++.
gpointer parentClass = nullptr;

QweltoVcdSrc *self(gpointer object)
{
    return reinterpret_cast<QweltoVcdSrc *>(object);
}

QString entryOf(const gchar *uri)
{
    const QByteArray prefix = QByteArray(VideoCdSource::Protocol) + "://";
    const QByteArray text(uri ? uri : "");
    if (!text.startsWith(prefix))
        return {};
    return QUrl::fromPercentEncoding(text.mid(prefix.size()));
}

gboolean start(GstBaseSrc *base)
{
    QweltoVcdSrc *src = self(base);
    const QString entry = entryOf(src->uri);
    const std::optional<VideoCdDisc::TrackRef> ref = VideoCdDisc::parseEntry(entry);
    std::unique_ptr<VideoCdDisc::Track> track = ref ? VideoCdDisc::Track::open(*ref) : nullptr;
    if (!track) {
        // Shown as is in the automatic command's box: the entry as the playlist has it, not the URI.
        GST_ELEMENT_ERROR(base, RESOURCE, NOT_FOUND,
                          ("Piste de Video CD introuvable ou illisible : %s", entry.toUtf8().constData()),
                          (nullptr));
        return FALSE;
    }
    src->track = track.release();
    return TRUE;
}

gboolean stop(GstBaseSrc *base)
{
    QweltoVcdSrc *src = self(base);
    delete src->track;
    src->track = nullptr;
    return TRUE;
}

gboolean getSize(GstBaseSrc *base, guint64 *size)
{
    QweltoVcdSrc *src = self(base);
    if (!src->track)
        return FALSE;
    *size = src->track->size();
    return TRUE;
}

gboolean isSeekable(GstBaseSrc *)
{
    return TRUE;
}

GstFlowReturn fill(GstBaseSrc *base, guint64 offset, guint length, GstBuffer *buffer)
{
    QweltoVcdSrc *src = self(base);
    if (!src->track || offset >= src->track->size())
        return GST_FLOW_EOS;
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_WRITE))
        return GST_FLOW_ERROR;
    // Bad sectors come back as zeros: the demuxer finds the next pack past them, and the rest plays.
    const guint64 got = src->track->read(offset, map.data, std::min<guint64>(length, map.size));
    gst_buffer_unmap(buffer, &map);
    gst_buffer_resize(buffer, 0, gssize(got));
    GST_BUFFER_OFFSET(buffer) = offset;
    GST_BUFFER_OFFSET_END(buffer) = offset + got;
    return GST_FLOW_OK;
}

void finalize(GObject *object)
{
    QweltoVcdSrc *src = self(object);
    delete src->track;
    g_free(src->uri);
    G_OBJECT_CLASS(parentClass)->finalize(object);
}

void classInit(gpointer klass, gpointer)
{
    parentClass = g_type_class_peek_parent(klass);
    G_OBJECT_CLASS(klass)->finalize = finalize;
    auto *element = GST_ELEMENT_CLASS(klass);
    gst_element_class_set_static_metadata(element, "Qwelto Video CD source", "Source/File",
                                          "Reads a Video CD track through libcdio", "Qwelto Player");
    static GstStaticPadTemplate srcTemplate =
        GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);
    gst_element_class_add_static_pad_template(element, &srcTemplate);
    auto *baseClass = reinterpret_cast<GstBaseSrcClass *>(klass);
    baseClass->start = start;
    baseClass->stop = stop;
    baseClass->get_size = getSize;
    baseClass->is_seekable = isSeekable;
    baseClass->fill = fill;
}

void instanceInit(GTypeInstance *instance, gpointer)
{
    QweltoVcdSrc *src = self(instance);
    src->uri = nullptr;
    src->track = nullptr;
    // About a third of a second of a Video CD per buffer: few reads, quick seeks.
    gst_base_src_set_blocksize(&src->parent, 32 * VideoCdDisc::Track::PayloadSize);
}

GstURIType uriType(GType)
{
    return GST_URI_SRC;
}

const gchar *const *protocols(GType)
{
    static const gchar *const list[] = {VideoCdSource::Protocol, nullptr};
    return list;
}

gchar *getUri(GstURIHandler *handler)
{
    return g_strdup(self(handler)->uri);
}

gboolean setUri(GstURIHandler *handler, const gchar *uri, GError **error)
{
    QweltoVcdSrc *src = self(handler);
    if (GST_STATE(GST_ELEMENT(handler)) > GST_STATE_READY) {
        g_set_error(error, GST_URI_ERROR, GST_URI_ERROR_BAD_STATE, "The track cannot change while playing");
        return FALSE;
    }
    if (entryOf(uri).isEmpty()) {
        g_set_error(error, GST_URI_ERROR, GST_URI_ERROR_BAD_URI, "Not a Video CD track: %s", uri);
        return FALSE;
    }
    g_free(src->uri);
    src->uri = g_strdup(uri);
    return TRUE;
}

void qwelto_vcd_src_uri_handler_init(gpointer iface, gpointer)
{
    auto *handler = static_cast<GstURIHandlerInterface *>(iface);
    handler->get_type = uriType;
    handler->get_protocols = protocols;
    handler->get_uri = getUri;
    handler->set_uri = setUri;
}

GType qwelto_vcd_src_get_type()
{
    static GType type = 0;
    static std::once_flag once;
    std::call_once(once, [] {
        const GTypeInfo info = {sizeof(QweltoVcdSrcClass), nullptr, nullptr,      classInit, nullptr, nullptr,
                                sizeof(QweltoVcdSrc),      0,       instanceInit, nullptr};
        type = g_type_register_static(GST_TYPE_BASE_SRC, "QweltoVcdSrc", &info, GTypeFlags(0));
        const GInterfaceInfo uriHandler = {qwelto_vcd_src_uri_handler_init, nullptr, nullptr};
        g_type_add_interface_static(type, GST_TYPE_URI_HANDLER, &uriHandler);
    });
    return type;
}

} // namespace

namespace VideoCdSource {

void registerElement()
{
    static std::once_flag once;
    std::call_once(once, [] {
        gst_element_register(nullptr, ElementName, GST_RANK_PRIMARY, qwelto_vcd_src_get_type());
    });
}

QString uriFor(const QString &entry)
{
    return QLatin1String(Protocol) + QLatin1String("://") +
           QString::fromLatin1(QUrl::toPercentEncoding(entry, "/"));
}

} // namespace VideoCdSource
