#pragma once

// libcdio's own log handler prints its warnings on stderr and ends the process on an error: exit()
// for a .bin without its .cue, abort() when one of its internal checks fails on a damaged disc. A
// disc is input like any file, so its damage must never end the player.
namespace CdioLog {

// Puts a handler in place that drops every message; libcdio reports each failure by its results as
// well, and those are what the callers act on. Call before any other libcdio call; safe to call from
// any thread, any number of times.
void install();

} // namespace CdioLog
