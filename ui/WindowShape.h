#pragma once

class QWidget;

namespace WindowShape {

// Cuts a window to a rounded rectangle over its client rectangle, the corners cut by an ellipse of
// the given size in pixels. Called again whenever the window's size changes.
void applyRounded(QWidget *window, int cornerEllipse);

} // namespace WindowShape
