#pragma once

#include <QIcon>
#include <QImage>

// The program's icons, drawn in code so that they stay sharp at any scale.
namespace AppIcon {

QIcon mainWindow();
// The main icon alone at one size, painted without a display: the build renders the installed PNG
// sizes from it.
QImage mainImage(int size);
QIcon videoWindow();

} // namespace AppIcon
