#include "ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace {

constexpr double TwipsPerInch = 1440.0;
constexpr double FallbackDpi = 96.0;

const QScreen *screenOf(const QWidget *widget)
{
    if (widget && widget->screen())
        return widget->screen();
    return QGuiApplication::primaryScreen();
}

double dpiX(const QWidget *widget)
{
    const QScreen *screen = screenOf(widget);
    const double dpi = screen ? screen->logicalDotsPerInchX() : FallbackDpi;
    return dpi > 0 ? dpi : FallbackDpi;
}

double dpiY(const QWidget *widget)
{
    const QScreen *screen = screenOf(widget);
    const double dpi = screen ? screen->logicalDotsPerInchY() : FallbackDpi;
    return dpi > 0 ? dpi : FallbackDpi;
}

} // namespace

namespace Twips {

double perPixelX(const QWidget *onScreenOf)
{
    return TwipsPerInch / dpiX(onScreenOf);
}

double perPixelY(const QWidget *onScreenOf)
{
    return TwipsPerInch / dpiY(onScreenOf);
}

int toPixelsX(double twips, const QWidget *onScreenOf)
{
    return static_cast<int>(std::lround(twips / perPixelX(onScreenOf)));
}

int toPixelsY(double twips, const QWidget *onScreenOf)
{
    return static_cast<int>(std::lround(twips / perPixelY(onScreenOf)));
}

double fromPixelsX(int pixels, const QWidget *onScreenOf)
{
    return pixels * perPixelX(onScreenOf);
}

double fromPixelsY(int pixels, const QWidget *onScreenOf)
{
    return pixels * perPixelY(onScreenOf);
}

QRect toPixels(int left, int top, int width, int height, const QWidget *onScreenOf)
{
    return {toPixelsX(left, onScreenOf), toPixelsY(top, onScreenOf), toPixelsX(width, onScreenOf),
            toPixelsY(height, onScreenOf)};
}

QSize toPixels(QSize twips, const QWidget *onScreenOf)
{
    return {toPixelsX(twips.width(), onScreenOf), toPixelsY(twips.height(), onScreenOf)};
}

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(toPixels(left, top, width, height, widget));
}

} // namespace Twips
