#include "app/DesktopScreenSaver.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>

#if defined(QWELTO_HAVE_XCB) && QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#endif

namespace {

const QString ApplicationName = QStringLiteral("Qwelto Player");
const QString Reason = QStringLiteral("Lecture d'une vidéo");

const QString ScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString ScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
// The portal's Inhibit flag for the session going idle (screen saver, blanking).
constexpr uint PortalIdle = 8;

// The X server's screen saver starts after ten minutes by default; a reset at half the time it is set
// to, and at least every 20 s, keeps it off whatever it is set to.
constexpr int LongestXResetIntervalMs = 20000;

#if defined(QWELTO_HAVE_XCB) && QT_CONFIG(xcb)
xcb_connection_t *xConnection()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

int xResetIntervalMs(xcb_connection_t *connection)
{
    xcb_get_screen_saver_reply_t *reply =
        xcb_get_screen_saver_reply(connection, xcb_get_screen_saver(connection), nullptr);
    const int timeoutMs = reply ? reply->timeout * 1000 : 0;
    std::free(reply);
    return timeoutMs > 0 ? std::clamp(timeoutMs / 2, 1000, LongestXResetIntervalMs) : LongestXResetIntervalMs;
}
#endif

} // namespace

DesktopScreenSaver::DesktopScreenSaver()
{
    connect(&m_xReset, &QTimer::timeout, this, &DesktopScreenSaver::resetXScreenSaver);
}

DesktopScreenSaver::~DesktopScreenSaver()
{
    release();
}

void DesktopScreenSaver::useSessionBus()
{
    m_busJoined = true;
    if (m_way != Way::XReset)
        return;
    giveBack();
    askScreenSaver();
}

void DesktopScreenSaver::hold()
{
    m_wanted = true;
    if (m_asking || m_way != Way::None)
        return;
    if (m_busJoined)
        askScreenSaver();
    else
        holdWithXReset();
}

void DesktopScreenSaver::release()
{
    m_wanted = false;
    giveBack();
}

void DesktopScreenSaver::askScreenSaver()
{
    QDBusMessage call = QDBusMessage::createMethodCall(ScreenSaverService, ScreenSaverPath,
                                                       ScreenSaverService, QStringLiteral("Inhibit"));
    call << ApplicationName << Reason;
    whenAnswered(QDBusConnection::sessionBus().asyncCall(call), &DesktopScreenSaver::screenSaverAnswered);
}

void DesktopScreenSaver::askPortal()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        PortalService, QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    call << QString() << PortalIdle << QVariantMap{{QStringLiteral("reason"), Reason}};
    whenAnswered(QDBusConnection::sessionBus().asyncCall(call), &DesktopScreenSaver::portalAnswered);
}

void DesktopScreenSaver::whenAnswered(const QDBusPendingCall &call,
                                      void (DesktopScreenSaver::*answered)(const QDBusPendingCall &))
{
    m_asking = true;
    auto *watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, answered](QDBusPendingCallWatcher *done) {
                done->deleteLater();
                m_asking = false;
                (this->*answered)(*done);
            });
}

void DesktopScreenSaver::screenSaverAnswered(const QDBusPendingCall &call)
{
    const QDBusPendingReply<uint> reply = call;
    if (reply.isError()) {
        // No such service on this desktop (GNOME has only the portal).
        if (m_wanted)
            askPortal();
        return;
    }
    m_cookie = reply.value();
    m_way = Way::ScreenSaver;
    if (!m_wanted)
        giveBack();
}

void DesktopScreenSaver::portalAnswered(const QDBusPendingCall &call)
{
    const QDBusPendingReply<QDBusObjectPath> reply = call;
    if (reply.isError()) {
        if (m_wanted)
            holdWithXReset();
        return;
    }
    m_request = reply.value();
    m_way = Way::Portal;
    if (!m_wanted)
        giveBack();
}

void DesktopScreenSaver::holdWithXReset()
{
#if defined(QWELTO_HAVE_XCB) && QT_CONFIG(xcb)
    // Nothing to do elsewhere: Wayland has no such request.
    xcb_connection_t *connection = xConnection();
    if (!connection)
        return;
    m_way = Way::XReset;
    m_xReset.start(xResetIntervalMs(connection));
    resetXScreenSaver();
#endif
}

void DesktopScreenSaver::resetXScreenSaver()
{
#if defined(QWELTO_HAVE_XCB) && QT_CONFIG(xcb)
    if (xcb_connection_t *connection = xConnection()) {
        xcb_force_screen_saver(connection, XCB_SCREEN_SAVER_RESET);
        xcb_flush(connection);
    }
#endif
}

void DesktopScreenSaver::giveBack()
{
    switch (m_way) {
    case Way::ScreenSaver: {
        QDBusMessage call = QDBusMessage::createMethodCall(ScreenSaverService, ScreenSaverPath,
                                                           ScreenSaverService, QStringLiteral("UnInhibit"));
        call << m_cookie;
        QDBusConnection::sessionBus().send(call);
        break;
    }
    case Way::Portal:
        QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(
            PortalService, m_request.path(), QStringLiteral("org.freedesktop.portal.Request"),
            QStringLiteral("Close")));
        break;
    case Way::XReset:
        m_xReset.stop();
        break;
    case Way::None:
        break;
    }
    m_way = Way::None;
}
