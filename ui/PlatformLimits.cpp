#include "ui/PlatformLimits.h"

#include <QGuiApplication>

namespace PlatformLimits {

bool isWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool masksShapeOutput()
{
    return !isWayland() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace PlatformLimits
