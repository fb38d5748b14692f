#pragma once

#include <QString>

#include <functional>

class MediaEngine;
class TransportHost;
class Transport;

// The main window's 500 ms heartbeat: detects the end of the current item and moves on, moves the
// seek bar, shows the time, scrolls the marquee, keeps the on-top state and reseeds shuffle.
class ProgressTick {
public:
    // keepOnTop applies a change of the always-on-top state, once per tick.
    ProgressTick(TransportHost &host, Transport &transport, std::function<void()> keepOnTop);

    void tmrAnimate_Timer();
    // The end of the item: Stop and Next, when the item in the engine is over and nothing holds the
    // player back. The tick runs it, and so does the engine the moment it reaches the end. True
    // when it moved on.
    bool endOfItem();
    // Switches between elapsed and remaining time; the time itself follows at the next tick.
    void lblTime_Click();
    // The seek bar moved: a move by the user seeks, the tick's own writes do not.
    void scrlTime_Change();

    // "True" while a change of the seek bar is the user's, "False" while the tick writes it; empty
    // until the first tick.
    const QString &seekFlag() const { return m_seekFlag; }

    // Whether the item in the engine is over: an empty engine and a file that failed count as ended.
    static bool itemEnded(const MediaEngine &engine);

private:
    TransportHost &m_host;
    Transport &m_transport;
    std::function<void()> m_keepOnTop;
    QString m_seekFlag;
};
