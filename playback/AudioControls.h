#pragma once

#include <QObject>

#include <functional>

class MediaEngine;
class TransportHost;
class AudioView;

// The volume and balance sliders and the mute button.
//
// A balance change settles for a quarter of a second before the next one is applied, so that a drag
// advances in steps a listener can follow. The settling never blocks the UI thread: positions the
// slider passes meanwhile are not applied, but the last one is, when the pause is over.
class AudioControls {
public:
    // settle(ms, done) calls done once ms have passed; empty waits on a timer. Tests pass one that
    // records the pause and decides when it ends.
    using Pause = std::function<void(int milliseconds, std::function<void()> done)>;

    AudioControls(TransportHost &host, Pause pause);

    void scrlVol_Change();
    void scrlBal_Change();
    // Decided by the button's caption alone: "U" mutes, "V" restores the sound.
    void Check1_Click();

    // A new engine (the user closed the video window) takes the levels the controls show, so that
    // what the user hears, and what is saved at the end, stays what they set.
    static void giveLevelsTo(const AudioView &window, MediaEngine &engine);
    // The volume and mute such an engine would be given.
    static long volumeShown(const AudioView &window);
    static bool muteShown(const AudioView &window);
    // The mute button's glyph (and its value with it) shows the engine's state.
    static void showMute(AudioView &window, bool muted);

    static constexpr int BalancePauseMs = 250;

private:
    void applyBalance();

    TransportHost &m_host;
    Pause m_pause;
    bool m_settling = false;
    bool m_balancePending = false;
    // Owns the timers of the default pause: they die with the controls.
    QObject m_timerContext;
};
