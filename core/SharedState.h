#pragma once

#include <QString>

#include <cstdint>

// The few values the whole program shares. They live for the whole run, owned by the program object,
// and every part reads and writes them directly, as the handlers that use them expect.
struct SharedState {
    // The playlist position from which Next and Previous count. As wide as the list: a list holds
    // 100,000 entries and more.
    int CurrentIndex = 0;
    // What Next and Previous read; chkRepeat's click sets it, and so does the options load, before
    // it sets the switch (a load that stops in between leaves the two apart).
    bool RepeatOn = false;
    // The pause button's toggle state.
    bool IsPaused = false;
    // True shows the elapsed time, False the remaining time.
    bool TimeMode = true;
    // The user's always-on-top choice, and whether the main window carries it as far as we know.
    bool OnTop = false;
    bool TopMostApplied = false;
    // On-top switched off while the about box is open.
    bool OnTopSuspended = false;
    // The fit-to-window option as restored; the live option is the check mark of mnuFit.
    bool FitToSize = false;
    // The first optical drive (its device, /dev/sr0, named whether or not a disc is in it), or a
    // folder standing in for it; empty when there is none.
    QString CdDrives;
};
