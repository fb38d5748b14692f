#pragma once

class Program;

namespace MainUnload {

// The main window's shutdown sequence. Every step runs even when one before it failed, and nothing
// is reported: a playlist that cannot be written does not keep the rest from being saved.
void Form_Unload(Program &program);

// Its first two steps: the playlist written, the options saved. Nothing in them touches a window
// system, so they also run when the display has gone (ExitSave).
void saveSession(Program &program);

} // namespace MainUnload
