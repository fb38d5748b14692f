#include "ui/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap canvas(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A round green disc carrying a pair of quavers: the player's mark.
QPixmap drawMainIcon(int size)
{
    QPixmap pixmap = canvas(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    QLinearGradient disc(0, 0, 32, 32);
    disc.setColorAt(0, QColor(0x3c, 0xd0, 0x70));
    disc.setColorAt(1, QColor(0x0a, 0x5c, 0x2e));
    p.setPen(QPen(QColor(0x06, 0x30, 0x18), 1.2));
    p.setBrush(disc);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(8, 19, 6, 4.5));
    p.drawEllipse(QRectF(17, 17, 6, 4.5));
    p.drawRect(QRectF(12.6, 9, 1.6, 12));
    p.drawRect(QRectF(21.6, 7, 1.6, 12));
    QPainterPath beam;
    beam.moveTo(12.6, 9);
    beam.lineTo(23.2, 7);
    beam.lineTo(23.2, 10);
    beam.lineTo(12.6, 12);
    beam.closeSubpath();
    p.drawPath(beam);
    return pixmap;
}

// A film frame with a play triangle.
QPixmap drawVideoIcon(int size)
{
    QPixmap pixmap = canvas(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    p.setBrush(QColor(0x30, 0x36, 0x40));
    p.drawRoundedRect(QRectF(2, 5, 28, 22), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe8, 0xe8, 0xe8));
    for (int i = 0; i < 6; ++i) {
        p.drawRect(QRectF(4 + i * 4.4, 6.5, 2.4, 2));
        p.drawRect(QRectF(4 + i * 4.4, 23.5, 2.4, 2));
    }
    p.setBrush(QColor(0x3c, 0xd0, 0x70));
    const QPointF play[] = {{12, 11}, {12, 21}, {21, 16}};
    p.drawPolygon(play, 3);
    return pixmap;
}

QIcon iconOf(QPixmap (*draw)(int))
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(draw(size));
    return icon;
}

} // namespace

namespace AppIcon {

QIcon mainWindow()
{
    return iconOf(drawMainIcon);
}

QIcon videoWindow()
{
    return iconOf(drawVideoIcon);
}

} // namespace AppIcon
