#include "ui/Fonts.h"

#include <QStringList>

namespace Fonts {

namespace {

QFont fontOf(const QStringList &families, double points, bool bold)
{
    QFont font(families.front());
    font.setFamilies(families);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

QFont verdana(double points, bool bold)
{
    return fontOf({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")}, points, bold);
}

QFont courierNew(double points, bool bold)
{
    return fontOf({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                   QStringLiteral("DejaVu Sans Mono")},
                  points, bold);
}

QFont msSansSerif(double points, bool bold)
{
    return fontOf({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("DejaVu Sans")},
                  points, bold);
}

QFont tahoma(double points)
{
    return fontOf({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")}, points, false);
}

} // namespace Fonts
