#include "ui/ServerStrip.h"
#include "ui/SkinColours.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef QWELTO_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>

namespace {

class XServerStrip final : public ServerStrip {
public:
    XServerStrip(xcb_connection_t *connection, xcb_window_t window, quint8 depth, QWidget *strip)
        : m_connection(connection), m_window(window), m_depth(depth), m_strip(strip),
          m_gc(xcb_generate_id(connection))
    {
        // RGB32 is the pixel layout of the 24- and 32-bit visuals the strip is made for.
        const uint32_t values[] = {SkinColours::Display.rgb() & 0xffffffu, 0};
        xcb_create_gc(m_connection, m_gc, m_window, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
    }
    ~XServerStrip() override
    {
        dropLine();
        xcb_free_gc(m_connection, m_gc);
        xcb_flush(m_connection);
    }
    XServerStrip(const XServerStrip &) = delete;
    XServerStrip &operator=(const XServerStrip &) = delete;

    quintptr window() const override { return m_window; }

    bool setLine(const QImage &line) override
    {
        dropLine();
        if (line.isNull() || line.width() > 32767 || line.height() > 32767)
            return false;
        // 24- and 32-bit visuals store a pixel as Qt's RGB32 does, little-endian, four bytes.
        const QImage pixels = line.convertToFormat(QImage::Format_RGB32);
        m_pixmap = xcb_generate_id(m_connection);
        xcb_create_pixmap(m_connection, m_depth, m_pixmap, m_window, static_cast<uint16_t>(pixels.width()),
                          static_cast<uint16_t>(pixels.height()));
        // Sent in bands that fit one request whatever the server's limit.
        const qsizetype maxBytes =
            static_cast<qsizetype>(xcb_get_maximum_request_length(m_connection)) * 4 - 64;
        const int rowsPerBand = std::max<int>(1, static_cast<int>(maxBytes / pixels.bytesPerLine()));
        for (int top = 0; top < pixels.height(); top += rowsPerBand) {
            const int rows = std::min(rowsPerBand, pixels.height() - top);
            xcb_put_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_pixmap, m_gc,
                          static_cast<uint16_t>(pixels.width()), static_cast<uint16_t>(rows), 0,
                          static_cast<int16_t>(top), 0, m_depth,
                          static_cast<uint32_t>(pixels.bytesPerLine() * rows), pixels.constScanLine(top));
        }
        m_lineSize = pixels.size();
        return true;
    }

    void show(int x, int width, int left) override
    {
        const QSize size = m_strip->size() * m_strip->devicePixelRatio();
        const auto w = static_cast<int16_t>(size.width());
        const auto h = static_cast<uint16_t>(size.height());
        width =
            m_pixmap ? std::clamp(width, 0, std::min<int>(m_lineSize.width() - x, size.width() - left)) : 0;
        const xcb_rectangle_t black[] = {
            {0, 0, static_cast<uint16_t>(left), h},
            {static_cast<int16_t>(left + width), 0, static_cast<uint16_t>(std::max(0, w - left - width)), h}};
        xcb_poly_fill_rectangle(m_connection, m_window, m_gc, 2, black);
        if (width > 0)
            xcb_copy_area(m_connection, m_pixmap, m_window, m_gc, static_cast<int16_t>(x), 0,
                          static_cast<int16_t>(left), 0, static_cast<uint16_t>(width),
                          static_cast<uint16_t>(std::min<int>(h, m_lineSize.height())));
        xcb_flush(m_connection);
    }

private:
    void dropLine()
    {
        if (m_pixmap)
            xcb_free_pixmap(m_connection, m_pixmap);
        m_pixmap = 0;
        m_lineSize = QSize();
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_window;
    quint8 m_depth;
    QWidget *m_strip;
    xcb_gcontext_t m_gc;
    xcb_pixmap_t m_pixmap = 0;
    QSize m_lineSize;
};

} // namespace
#endif

std::unique_ptr<ServerStrip> ServerStrip::create(QWidget *strip)
{
#ifdef QWELTO_HAVE_XCB
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection() || !strip->testAttribute(Qt::WA_NativeWindow))
        return nullptr;
    xcb_connection_t *connection = x11->connection();
    const auto window = static_cast<xcb_window_t>(strip->winId());
    xcb_get_geometry_reply_t *geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    const quint8 depth = geometry ? geometry->depth : 0;
    std::free(geometry);
    if (depth != 24 && depth != 32)
        return nullptr;
    return std::make_unique<XServerStrip>(connection, window, depth, strip);
#else
    (void)strip;
    return nullptr;
#endif
}
