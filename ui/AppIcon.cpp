#include "ui/AppIcon.h"
#include "ui/SkinColours.h"

#include <QImage>
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

// The player's face in small: the brushed blue-grey graphite of the skin, its lit green display with
// a play mark, and a seek bar. desktop/org.qwelto.Player.svg is the same figure, drawn by hand.
QImage drawMainImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    QLinearGradient face(0, 1.5, 0, 30.5);
    face.setColorAt(0, QColor(0x5a, 0x64, 0x73));
    face.setColorAt(0.45, QColor(0x33, 0x3a, 0x45));
    face.setColorAt(1, QColor(0x23, 0x28, 0x2f));
    p.setPen(QPen(QColor(0x09, 0x0b, 0x0e), 1));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 5.5, 5.5);
    // A few streaks of the brushing.
    const struct {
        qreal y;
        int alpha;
    } streaks[] = {{4.25, 26}, {5.75, 13}, {22.75, 15}, {28.25, 13}};
    for (const auto &streak : streaks) {
        p.setPen(QPen(QColor(255, 255, 255, streak.alpha), 0.5));
        p.drawLine(QPointF(3, streak.y), QPointF(29, streak.y));
    }
    QLinearGradient bevel(0, 2.5, 0, 29.5);
    bevel.setColorAt(0, QColor(255, 255, 255, 89));
    bevel.setColorAt(1, QColor(255, 255, 255, 13));
    p.setPen(QPen(QBrush(bevel), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(2.5, 2.5, 27, 27), 4.5, 4.5);

    QLinearGradient display(0, 7.5, 0, 21.5);
    display.setColorAt(0, QColor(0x0b, 0x0d, 0x11));
    display.setColorAt(1, QColor(0x16, 0x1a, 0x20));
    p.setPen(QPen(QColor(0, 0, 0, 153), 1));
    p.setBrush(display);
    p.drawRoundedRect(QRectF(5.5, 7.5, 21, 14), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(SkinColours::Lit);
    const QPointF play[] = {{12, 10.5}, {12, 18.5}, {20.5, 14.5}};
    p.drawPolygon(play, 3);

    p.setPen(QPen(QColor(0x0b, 0x0d, 0x11), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 25.5), QPointF(25, 25.5));
    p.setPen(QPen(QColor(0x3c, 0xd0, 0x70), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 25.5), QPointF(16, 25.5));
    QLinearGradient knob(0, 23.5, 0, 27.5);
    knob.setColorAt(0, QColor(0xdc, 0xe4, 0xec));
    knob.setColorAt(1, QColor(0x8a, 0x96, 0xa3));
    p.setPen(QPen(QColor(0x09, 0x0b, 0x0e), 0.5));
    p.setBrush(knob);
    p.drawEllipse(QPointF(16, 25.5), 2, 2);
    return image;
}

QPixmap drawMainIcon(int size)
{
    return QPixmap::fromImage(drawMainImage(size));
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

QImage mainImage(int size)
{
    return drawMainImage(size);
}

QIcon mainWindow()
{
    return iconOf(drawMainIcon);
}

QIcon videoWindow()
{
    return iconOf(drawVideoIcon);
}

} // namespace AppIcon
