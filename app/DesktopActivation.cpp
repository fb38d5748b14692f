#include "app/DesktopActivation.h"

#include <QGuiApplication>

#if defined(QWELTO_HAVE_XCB) && QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#endif

namespace DesktopActivation {

namespace {

#if defined(QWELTO_HAVE_XCB) && QT_CONFIG(xcb)

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return found;
}

// The freedesktop.org start-up notification: a text sent to the root window in pieces of 20 bytes,
// its end marked by a NUL. A value with blanks, quotes or backslashes goes in quotes, escaped.
void endStartupNotification(const QByteArray &startupId)
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    QByteArray id = startupId;
    if (id.contains(' ') || id.contains('"') || id.contains('\\'))
        id = '"' + id.replace('\\', "\\\\").replace('"', "\\\"") + '"';
    const QByteArray text = "remove: ID=" + id + '\0';
    const xcb_atom_t begin = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(connection, "_NET_STARTUP_INFO");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    if (begin == XCB_ATOM_NONE || more == XCB_ATOM_NONE)
        return;
    constexpr qsizetype Piece = 20;
    for (qsizetype sent = 0; sent < text.size(); sent += Piece) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = root;
        event.type = sent == 0 ? begin : more;
        std::memcpy(event.data.data8, text.constData() + sent,
                    static_cast<std::size_t>(std::min(Piece, text.size() - sent)));
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char *>(&event));
    }
    xcb_flush(connection);
}

#else

void endStartupNotification(const QByteArray &) {}

#endif

} // namespace

void prepare(const QByteArray &startupId, const QByteArray &activationToken)
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb") && !startupId.isEmpty())
        endStartupNotification(startupId);
    if (platform.startsWith(QLatin1String("wayland")) && !activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
}

} // namespace DesktopActivation
