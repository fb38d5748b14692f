#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Window layouts are given in twips (1/1440 inch). They become pixels through the screen's logical
// resolution, so a layout keeps its physical size on any screen; on a 2x screen Qt scales the
// logical pixels once more.
namespace Twips {

double perPixelX(const QWidget *onScreenOf = nullptr);
double perPixelY(const QWidget *onScreenOf = nullptr);

int toPixelsX(double twips, const QWidget *onScreenOf = nullptr);
int toPixelsY(double twips, const QWidget *onScreenOf = nullptr);
double fromPixelsX(int pixels, const QWidget *onScreenOf = nullptr);
double fromPixelsY(int pixels, const QWidget *onScreenOf = nullptr);

QRect toPixels(int left, int top, int width, int height, const QWidget *onScreenOf = nullptr);
QSize toPixels(QSize twips, const QWidget *onScreenOf = nullptr);

// Places a child widget at a position and size given in twips.
void place(QWidget *widget, int left, int top, int width, int height);

} // namespace Twips
