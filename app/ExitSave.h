#pragma once

#include <functional>

// When the display goes away under the player (the X server killed, the compositor crashing), Qt ends
// the process from inside its event handling: no window closes, so the shutdown sequence never runs,
// and what the user added or changed in this run would be lost. The playlist and the options are
// saved on the way out instead: when Qt warns that the connection broke, just before it ends the
// process (with _exit() on Wayland, which runs no handler), and by a handler of exit() for any other
// end of that kind.
namespace ExitSave {

// From the end of the main window's load, when the list has been read, until the process ends
// normally. The save runs on the UI thread only, at most once, and must touch no window: the
// display may be gone.
void arm(std::function<void()> save);
void disarm();

} // namespace ExitSave
