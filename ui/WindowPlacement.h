#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where a window goes so that the user can reach it: decided from screen rectangles alone, so that
// any arrangement of monitors can be tried without having it.
namespace WindowPlacement {

// The top-left corner that centres a window of this size on an area (a screen's usable part).
QPoint centred(const QRect &area, QSize window);

// A restored position, kept when the window's title strip (given relative to the window) lies whole
// on one of the screens; otherwise the window is moved onto the nearest screen, whole where it fits.
// Screens are their usable parts; with none the position is kept.
QPoint reachable(QPoint position, QSize window, const QRect &titleStrip, const QList<QRect> &screens);

} // namespace WindowPlacement
