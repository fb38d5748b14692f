#pragma once

#include <QFont>

// The fonts the layouts name, each followed by the free fonts closest to it, so that a machine
// without the named one shows text of the same size and kind.
namespace Fonts {

QFont verdana(double points, bool bold = false);
QFont courierNew(double points, bool bold = false);
QFont msSansSerif(double points, bool bold = false);
QFont tahoma(double points);

} // namespace Fonts
