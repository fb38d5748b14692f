#include "ui/WindowShape.h"

#include <QBitmap>
#include <QPainter>
#include <QWidget>

namespace WindowShape {

void applyRounded(QWidget *window, int cornerEllipse)
{
    // A bitmap mask rather than a polygon region: the corners are then cut pixel for pixel the way
    // an ellipse of that size would cut them, with no anti-aliasing fringe.
    const QSize size = window->size();
    if (size.isEmpty())
        return;
    QBitmap mask(size);
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawRoundedRect(QRect(QPoint(0, 0), size), cornerEllipse / 2.0, cornerEllipse / 2.0);
    painter.end();
    window->setMask(mask);
    window->update();
}

} // namespace WindowShape
