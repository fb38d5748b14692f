#pragma once

class QSlider;
class TransportHost;

// The transport commands and the play order: Play, Pause, Stop, Next, Previous, the shuffle and
// repeat switches, and the one routine that starts a playlist entry.
//
// Skipping: an entry the engine cannot open is skipped with Next. A run of such entries is walked in
// a loop rather than by recursion, so a long list of missing files cannot exhaust the stack; once a
// whole pass over the list has started nothing, the player gives up and stays stopped until the user
// starts something again (otherwise, with repeat or shuffle on, every tick would walk the list anew).
//
// The break box: while the modal "Break for changing CD" box is open, timer ticks still arrive. The
// tick asks breakBoxOpen() and leaves end-of-item handling alone meanwhile, so that it never opens a
// second box on top of the first.
class Transport {
public:
    explicit Transport(TransportHost &host);

    void cmdPlay_Click();
    void cmdPause_Click();
    void cmdStop_Click();
    void cmdForward_Click();
    void cmdBack_Click();
    void lstPlay_DblClick();
    void chkSuffle_Click();
    void chkRepeat_Click();

    bool breakBoxOpen() const { return m_breakBoxOpen; }
    // True after a pass over the whole list found nothing playable; cleared by the next command.
    bool gaveUp() const { return m_gaveUp; }

    // The seek bar runs over the whole seconds of a duration; one beyond 16 bits keeps the old range.
    static void setSeekRange(QSlider &scrlTime, double duration);

    static constexpr const char *MarqueePrefix = "- Qwelto Player 2.0 -   ";

private:
    enum class Outcome { Nothing, Started, Failed, NextRequested };

    template <typename Step> void runChain(Step first);
    Outcome next();
    Outcome previous();
    Outcome step(bool forward);
    Outcome selectAndStart(int index);
    Outcome startSelected();
    void hideVideoForAudioKind();

    TransportHost &m_host;
    bool m_breakBoxOpen = false;
    bool m_gaveUp = false;
};
