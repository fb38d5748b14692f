#pragma once

#include <functional>

class TransportHost;

// The volume and balance sliders and the mute button.
class AudioControls {
public:
    // pause(ms) blocks the UI thread after a balance change, so that dragging the balance advances
    // in steps a listener can follow; tests pass one that only records.
    using Pause = std::function<void(int milliseconds)>;

    AudioControls(TransportHost &host, Pause pause);

    void scrlVol_Change();
    void scrlBal_Change();
    // Decided by the button's caption alone: "U" mutes, "V" restores the sound.
    void Check1_Click();

    static constexpr int BalancePauseMs = 250;

private:
    TransportHost &m_host;
    Pause m_pause;
};
