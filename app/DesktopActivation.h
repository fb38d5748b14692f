#pragma once

#include <QByteArray>

// What lets the window a later start raises take the focus, and ends the busy cursor or task-bar
// entry the desktop showed for that start. The start itself never shows a window, which is when Qt
// would do both; the running player does them for it, with what the desktop gave that start.
namespace DesktopActivation {

// Before the main window is raised: on X the start-up notification of the start that handed over is
// ended ("remove"); on Wayland the compositor gives the focus to the window that shows the activation
// token the launcher made for that start, which Qt takes from the environment when it activates one.
void prepare(const QByteArray &startupId, const QByteArray &activationToken);

} // namespace DesktopActivation
