#pragma once

#include <QObject>
#include <QVariantMap>

class MprisPlayer;
class Program;
class QThread;
class QTimer;

// The player on the session bus as org.mpris.MediaPlayer2.qwelto (Mpris.h), for the desktop's media
// keys and sound menu. Changes are announced from the signals of the window's own controls and of its
// tick, once the handlers connected before have run, so whatever changed the state (a button, a key,
// the bus, the end of a file) the bus hears of it.
//
// Joining the bus is done on a thread of its own, after the main window shows: it takes tens of
// milliseconds, and without a bus the player simply is not there, with nothing shown.
class DesktopBus : public QObject {
    Q_OBJECT
public:
    explicit DesktopBus(Program &program);
    ~DesktopBus() override;

    void start();

Q_SIGNALS:
    // The session bus is there; other users of it may ask it without waiting to join.
    void joined();

private:
    void offer();
    void watchWindow();
    void announceChanges();

    Program &m_program;
    QThread *m_joining = nullptr;
    QObject *m_object = nullptr;
    MprisPlayer *m_player = nullptr;
    QTimer *m_announce;
    QVariantMap m_announced;
};
