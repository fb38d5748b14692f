#pragma once

#include "app/ScreenSaverGuard.h"

#include <QDBusObjectPath>
#include <QObject>
#include <QTimer>

class QDBusPendingCall;

// Holds the screen saver off the way the desktop offers: the session bus's
// org.freedesktop.ScreenSaver, else the desktop portal's Inhibit, else (on X, or before the bus is
// joined) the X server's own screen-saver reset, repeated while held. Every bus call is made
// without waiting for its answer; a hold given back before the answer came is given back once it
// comes.
class DesktopScreenSaver : public QObject, public ScreenSaverGuard::Holder {
    Q_OBJECT
public:
    DesktopScreenSaver();
    ~DesktopScreenSaver() override;

    // The session bus has been joined (on a thread of its own): ask there from now on, also for a hold
    // the X server keeps meanwhile (a video given on the command line starts before the bus is there).
    void useSessionBus();

    void hold() override;
    void release() override;

private:
    enum class Way { None, ScreenSaver, Portal, XReset };

    void askScreenSaver();
    void askPortal();
    void holdWithXReset();
    void resetXScreenSaver();
    void whenAnswered(const QDBusPendingCall &call,
                      void (DesktopScreenSaver::*answered)(const QDBusPendingCall &));
    void screenSaverAnswered(const QDBusPendingCall &call);
    void portalAnswered(const QDBusPendingCall &call);
    void giveBack();

    bool m_busJoined = false;
    bool m_wanted = false;
    bool m_asking = false;
    Way m_way = Way::None;
    uint m_cookie = 0;
    QDBusObjectPath m_request;
    QTimer m_xReset;
};
