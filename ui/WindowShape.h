#pragma once

class QWidget;

namespace WindowShape {

// Called in the constructor of a window that will be rounded, before its native window exists: where
// the mask cannot hide the corners, the window gets an alpha channel to show them through.
void prepareRounded(QWidget *window);

// Cuts a window to a rounded rectangle over its client rectangle, the corners cut by an ellipse of
// the given size in pixels. Called again whenever the window's size changes.
void applyRounded(QWidget *window, int cornerEllipse);

} // namespace WindowShape
