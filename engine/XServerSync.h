#pragma once

// Waits until the X server has handled every request this program's own connection has sent, such as
// the creation of a native window, without running the event loop: the caller may be in the middle of
// opening a file, and a timer or a click handled there would start another open inside it.
// Does nothing off X, or in a build without xcb.
void syncWithXServer();
