#include "engine/WaylandPictureSurface.h"

#if defined(QWELTO_HAVE_WAYLAND)

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <private/qhighdpiscaling_p.h>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

struct WaylandPictureGlobals {
    wl_display *display = nullptr;
    wl_event_queue *queue = nullptr;
    wl_display *wrapper = nullptr;
    wl_registry *registry = nullptr;
    wl_compositor *compositor = nullptr;
    wl_subcompositor *subcompositor = nullptr;
    wl_shm *shm = nullptr;
    wl_buffer *buffer = nullptr;
    wl_surface *surface = nullptr;
    wl_subsurface *subsurface = nullptr;

    ~WaylandPictureGlobals()
    {
        if (subsurface)
            wl_subsurface_destroy(subsurface);
        if (surface)
            wl_surface_destroy(surface);
        if (buffer)
            wl_buffer_destroy(buffer);
        if (shm)
            wl_shm_destroy(shm);
        if (subcompositor)
            wl_subcompositor_destroy(subcompositor);
        if (compositor)
            wl_compositor_destroy(compositor);
        if (registry)
            wl_registry_destroy(registry);
        if (wrapper)
            wl_proxy_wrapper_destroy(wrapper);
        if (display) {
            wl_display_flush(display);
            if (queue)
                wl_event_queue_destroy(queue);
        }
    }

    static void global(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
    {
        auto *self = static_cast<WaylandPictureGlobals *>(data);
        if (std::strcmp(interface, wl_compositor_interface.name) == 0)
            self->compositor =
                static_cast<wl_compositor *>(wl_registry_bind(registry, name, &wl_compositor_interface, 1));
        else if (std::strcmp(interface, wl_subcompositor_interface.name) == 0)
            self->subcompositor = static_cast<wl_subcompositor *>(
                wl_registry_bind(registry, name, &wl_subcompositor_interface, 1));
        else if (std::strcmp(interface, wl_shm_interface.name) == 0)
            self->shm = static_cast<wl_shm *>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    }
    static void globalRemove(void *, wl_registry *, uint32_t) {}

    // One transparent pixel: a sub-surface shows (and so do the sink's own below it) only with a buffer.
    bool makeClearPixel()
    {
        const int fd = memfd_create("qwelto-picture", MFD_CLOEXEC);
        if (fd < 0)
            return false;
        bool ok = ftruncate(fd, 4) == 0;
        if (ok) {
            wl_shm_pool *pool = wl_shm_create_pool(shm, fd, 4);
            buffer = wl_shm_pool_create_buffer(pool, 0, 1, 1, 4, WL_SHM_FORMAT_ARGB8888);
            wl_shm_pool_destroy(pool);
        }
        close(fd);
        return ok && buffer;
    }
};

namespace {

const wl_registry_listener RegistryListener = {&WaylandPictureGlobals::global,
                                               &WaylandPictureGlobals::globalRemove};

QPlatformNativeInterface *native()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"))
               ? QGuiApplication::platformNativeInterface()
               : nullptr;
}

} // namespace

std::unique_ptr<WaylandPictureSurface> WaylandPictureSurface::create()
{
    QPlatformNativeInterface *qt = native();
    auto *display = qt ? static_cast<wl_display *>(qt->nativeResourceForIntegration("wl_display")) : nullptr;
    if (!display)
        return nullptr;
    auto wl = std::make_unique<WaylandPictureGlobals>();
    wl->display = display;
    // A queue of our own: Qt's event thread never dispatches our replies, nor we its events.
    wl->queue = wl_display_create_queue(display);
    wl->wrapper = static_cast<wl_display *>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(wl->wrapper), wl->queue);
    wl->registry = wl_display_get_registry(wl->wrapper);
    wl_registry_add_listener(wl->registry, &RegistryListener, wl.get());
    if (wl_display_roundtrip_queue(display, wl->queue) < 0 || !wl->compositor || !wl->subcompositor ||
        !wl->shm || !wl->makeClearPixel())
        return nullptr;

    wl->surface = wl_compositor_create_surface(wl->compositor);
    // The clicks go to the window below: the picture takes none.
    wl_region *nothing = wl_compositor_create_region(wl->compositor);
    wl_surface_set_input_region(wl->surface, nothing);
    wl_region_destroy(nothing);
    wl_surface_attach(wl->surface, wl->buffer, 0, 0);
    wl_surface_damage(wl->surface, 0, 0, 1, 1);
    wl_surface_commit(wl->surface);
    wl_display_flush(display);

    std::unique_ptr<WaylandPictureSurface> picture(new WaylandPictureSurface);
    picture->m_wl = std::move(wl);
    return picture;
}

WaylandPictureSurface::~WaylandPictureSurface() = default;

wl_surface *WaylandPictureSurface::surface() const
{
    return m_wl->surface;
}

wl_display *WaylandPictureSurface::display() const
{
    return m_wl->display;
}

void WaylandPictureSurface::takeDown()
{
    if (m_wl->subsurface) {
        wl_subsurface_destroy(m_wl->subsurface);
        m_wl->subsurface = nullptr;
        wl_display_flush(m_wl->display);
    }
    m_parent = nullptr;
}

void WaylandPictureSurface::placeOver(QWidget *widget)
{
    QWidget *top = widget ? widget->window() : nullptr;
    if (top != m_top) {
        if (m_top)
            m_top->removeEventFilter(this);
        takeDown();
        m_top = top;
        if (top)
            top->installEventFilter(this);
    }
    m_widget = widget;
    QWindow *window = top ? top->windowHandle() : nullptr;
    if (window != m_window) {
        if (m_window)
            m_window->removeEventFilter(this);
        takeDown();
        m_window = window;
        if (window)
            window->installEventFilter(this);
    }
    QPlatformNativeInterface *qt = native();
    auto *parent = widget && widget->isVisible() && window && window->isVisible() && qt
                       ? static_cast<wl_surface *>(qt->nativeResourceForWindow("surface", window))
                       : nullptr;
    if (!parent) {
        takeDown();
        return;
    }
    // Qt draws its window decorations inside its own surface, left and above the widgets. The place is
    // in the surface's units, which Qt's own scaling multiplies.
    const QPoint position = QHighDpi::toNativeLocalPosition(
        widget->mapTo(top, QPoint(0, 0)) +
            QPoint(window->frameMargins().left(), window->frameMargins().top()),
        window);
    if (parent == m_parent && position == m_position)
        return;
    if (parent != m_parent) {
        takeDown();
        m_wl->subsurface = wl_subcompositor_get_subsurface(m_wl->subcompositor, m_wl->surface, parent);
        wl_subsurface_set_desync(m_wl->subsurface);
        m_parent = parent;
        m_position = position;
        wl_subsurface_set_position(m_wl->subsurface, position.x(), position.y());
        // The compositor maps a sub-surface at a commit made once it is one.
        wl_surface_attach(m_wl->surface, m_wl->buffer, 0, 0);
        wl_surface_damage(m_wl->surface, 0, 0, 1, 1);
        wl_surface_commit(m_wl->surface);
    }
    m_position = position;
    wl_subsurface_set_position(m_wl->subsurface, position.x(), position.y());
    wl_display_flush(m_wl->display);
    // A sub-surface's place changes when its parent next commits.
    top->update(QRect(0, 0, 1, 1));
}

qreal WaylandPictureSurface::pixelsPerUnit(const QWidget *widget)
{
    const QWindow *window = widget->window()->windowHandle();
    return window ? widget->devicePixelRatio() / QHighDpiScaling::factor(window) : widget->devicePixelRatio();
}

bool WaylandPictureSurface::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    // Hidden, a window loses its surface (a later one may even get the same address): let go of it
    // before. Shown again, moved inside, or with decorations come or gone, it gets the picture back.
    if (watched == m_window && type == QEvent::Hide)
        takeDown();
    if ((watched == m_window && (type == QEvent::Expose || type == QEvent::Resize)) ||
        (watched == m_top && (type == QEvent::Show || type == QEvent::Resize)))
        QMetaObject::invokeMethod(
            this, [this] { placeOver(m_widget); }, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

#else

#include <QWidget>

struct WaylandPictureGlobals {};

std::unique_ptr<WaylandPictureSurface> WaylandPictureSurface::create()
{
    return nullptr;
}
WaylandPictureSurface::~WaylandPictureSurface() = default;
wl_surface *WaylandPictureSurface::surface() const
{
    return nullptr;
}
wl_display *WaylandPictureSurface::display() const
{
    return nullptr;
}
void WaylandPictureSurface::takeDown() {}
qreal WaylandPictureSurface::pixelsPerUnit(const QWidget *widget)
{
    return widget->devicePixelRatio();
}
void WaylandPictureSurface::placeOver(QWidget *) {}
bool WaylandPictureSurface::eventFilter(QObject *watched, QEvent *event)
{
    return QObject::eventFilter(watched, event);
}

#endif
