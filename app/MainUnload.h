#pragma once

class Program;

namespace MainUnload {

// The main window's shutdown sequence. Every step runs even when one before it failed, and nothing
// is reported: a playlist that cannot be written does not keep the rest from being saved.
void Form_Unload(Program &program);

} // namespace MainUnload
