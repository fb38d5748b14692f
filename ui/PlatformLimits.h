#pragma once

// What the windowing system the program ended up on lets a window do. X does all of it; a Wayland
// client cannot read or choose its own position, cannot keep itself above other windows, and its
// mask only shapes where it takes the mouse.
namespace PlatformLimits {

bool isWayland();
inline bool canPlaceWindows()
{
    return !isWayland();
}
inline bool canKeepOnTop()
{
    return !isWayland();
}
// Whether the mask alone cuts a window's corners away on the screen. Under a Wayland session the X
// server is Xwayland, and a compositor may draw its windows unshaped (weston does).
bool masksShapeOutput();

} // namespace PlatformLimits
