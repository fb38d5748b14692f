#pragma once

#include <QIcon>

// The program's icons, drawn in code so that they stay sharp at any scale.
namespace AppIcon {

QIcon mainWindow();
QIcon videoWindow();

} // namespace AppIcon
