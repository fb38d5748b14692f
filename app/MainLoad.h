#pragma once

class Program;

namespace MainLoad {

// The main window's start-up sequence. The first step that fails ends it silently: what was done
// stays, the rest is skipped, and no message is shown. Returns whether every step ran.
bool Form_Load(Program &program);

} // namespace MainLoad
