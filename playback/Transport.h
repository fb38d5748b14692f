#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <optional>
#include <vector>

class QSlider;
class TransportHost;

// The transport commands and the play order: Play, Pause, Stop, Next, Previous, the shuffle and
// repeat switches, and the one routine that starts a playlist entry.
//
// Skipping: an entry the engine cannot open is skipped with Next. A run of such entries is walked in
// a loop rather than by recursion, so a long list of missing files cannot exhaust the stack; once a
// whole pass over the list has started nothing, the player gives up and stays stopped until the user
// starts something again (otherwise, with repeat or shuffle on, every tick would walk the list anew).
// A pass is every entry of the list tried at least once, whatever the order: shuffle draws the same
// entry again and again, and counting draws gave up while a playable entry had not been drawn yet.
//
// A long run of dead entries (a list on a disk that is not there) is walked in slices: when a slice
// has taken its time, the walk goes on from the event loop, so the window still repaints, takes
// clicks and answers a close. A command of the user's replaces a walk still under way.
//
// The break box: while the modal "Break for changing CD" box is open, timer ticks still arrive. The
// tick asks breakBoxOpen() and leaves end-of-item handling alone meanwhile, so that it never opens a
// second box on top of the first.
//
// The next entry: while an entry plays, the entry Next would start is handed to the engine ahead of
// the end, so that it follows without a gap; when the engine goes on to it, the window follows as it
// does after Next. A break marker, or an entry the engine will not queue, waits for the end of the
// item, where Next runs as usual. In shuffle the draw that picks the queued entry is the one the next
// Next or Previous uses: whichever comes first, no draw is lost and none is made twice.
class Transport {
public:
    // Milliseconds from any fixed start; the walk measures its slices on it. Empty reads a steady
    // clock; tests pass one they move themselves.
    using Clock = std::function<qint64()>;

    explicit Transport(TransportHost &host, Clock clock = {});

    void cmdPlay_Click();
    void cmdPause_Click();
    // For controls that say which way they go (the full-screen bar, the desktop's media keys). They
    // go through the pause button's handler, so that its toggle follows whichever control was used;
    // Play leaves that toggle set after a pause, and a second press is then what the user would need
    // too.
    void pausePlayback();
    void resumePlayback();
    void cmdStop_Click();
    void cmdForward_Click();
    void cmdBack_Click();
    void lstPlay_DblClick();
    void chkSuffle_Click();
    void chkRepeat_Click();

    // Hands the engine the entry Next would start now; cheap when that has not changed.
    void queueNext();
    // The engine went on to the queued entry by itself.
    void followAdvance();
    // Whether Next would go to an entry rather than stop at the end of the list.
    bool nextMovesOn() { return nextIndex() >= 0; }
    // `ShuffleOn`, read from the switch that owns it (a greyed one is off).
    bool ShuffleOn();

    bool breakBoxOpen() const { return m_breakBoxOpen; }
    // True while a walk over unplayable entries goes on from the event loop.
    bool walking() const { return m_walkPending; }
    // True after a pass over the whole list found nothing playable; cleared by the next command.
    bool gaveUp() const { return m_gaveUp; }

    // A new item starts at 0:00: the seek bar goes to 0 and runs over the whole seconds of the
    // duration. Neither change is the user's, so neither seeks the engine.
    static void setSeekRange(QSlider &scrlTime, double duration);
    // The range alone follows a length learnt late; one beyond 16 bits keeps the old range.
    static void followDuration(QSlider &scrlTime, double duration);

    // The longest the UI thread walks dead entries before it lets the event loop run.
    static constexpr int SliceMs = 40;

    static constexpr const char *MarqueePrefix = "- Qwelto Player 2.0 -   ";

private:
    enum class Outcome { Nothing, Started, Failed, NextRequested };

    template <typename Step> void runChain(Step first);
    void walk(Outcome outcome);
    void noteTried(Outcome outcome);
    void cancelWalk();
    Outcome next();
    Outcome previous();
    Outcome step(bool forward);
    // The entry Next goes to, -1 at the end of the list.
    int nextIndex();
    double takeDraw();
    Outcome selectAndStart(int index);
    Outcome startSelected();
    Outcome startEntry(int selected, bool isSelected);
    void presentStarted(int selected, bool isSelected);
    void showEntry();
    void showOwedEntry();
    void hideVideoForAudioKind();

    TransportHost &m_host;
    // The shuffle draw made ahead of the next Next or Previous.
    std::optional<double> m_pendingDraw;
    // The entry the engine holds as its next file, -1 for none.
    int m_queuedIndex = -1;
    bool m_breakBoxOpen = false;
    bool m_gaveUp = false;
    // The walk over entries that started nothing: which entries it tried, how many distinct ones,
    // and how many tries in all (a bound for a generator that never reaches some entry).
    std::vector<bool> m_tried;
    int m_distinctTried = 0;
    long m_tries = 0;
    bool m_skipped = false;
    bool m_entryOwed = false;
    bool m_walkPending = false;
    unsigned m_walkId = 0;
    Clock m_clock;
    qint64 m_sliceStart = 0;
    // Owns the queued continuations: they die with the transport.
    QObject m_walkContext;
};
