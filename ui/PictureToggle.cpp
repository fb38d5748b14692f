#include "ui/PictureToggle.h"
#include "ui/SkinColours.h"

#include "ui/Glyphs.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

using SkinColours::Lit;
const QColor Dim(0x74, 0x7e, 0x8a);

QPen stroke(const QColor &colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Each icon is drawn in its own design grid, in one colour; widen thickens every line, which is how
// the lit look gets its glow: the same icon, wider and faint, under the sharp one.
void arrowHead(QPainter &p, const QColor &c, qreal widen, QPointF a, QPointF tip, QPointF b)
{
    p.setPen(stroke(c, 0.8 + widen));
    p.setBrush(c);
    p.drawPolygon(QPolygonF(QList<QPointF>{a, tip, b}));
}

void drawRepeat(QPainter &p, const QColor &c, qreal widen)
{
    QPainterPath upper;
    upper.moveTo(2.6, 7.0);
    upper.lineTo(2.6, 5.6);
    upper.quadTo(2.6, 2.8, 5.4, 2.8);
    upper.lineTo(14.6, 2.8);
    QPainterPath lower;
    lower.moveTo(17.4, 5.0);
    lower.lineTo(17.4, 6.4);
    lower.quadTo(17.4, 9.2, 14.6, 9.2);
    lower.lineTo(5.4, 9.2);
    p.setPen(stroke(c, 1.5 + widen));
    p.setBrush(Qt::NoBrush);
    p.drawPath(upper);
    p.drawPath(lower);
    arrowHead(p, c, widen, {14.3, 0.8}, {17.6, 2.8}, {14.3, 4.8});
    arrowHead(p, c, widen, {5.7, 7.2}, {2.4, 9.2}, {5.7, 11.2});
}

void drawShuffle(QPainter &p, const QColor &c, qreal widen)
{
    QPainterPath down;
    down.moveTo(1.4, 3.0);
    down.lineTo(4.6, 3.0);
    down.cubicTo(8.6, 3.0, 10.0, 9.0, 14.0, 9.0);
    down.lineTo(15.2, 9.0);
    QPainterPath up;
    up.moveTo(1.4, 9.0);
    up.lineTo(4.6, 9.0);
    up.cubicTo(8.6, 9.0, 10.0, 3.0, 14.0, 3.0);
    up.lineTo(15.2, 3.0);
    p.setPen(stroke(c, 1.4 + widen));
    p.setBrush(Qt::NoBrush);
    p.drawPath(down);
    p.drawPath(up);
    arrowHead(p, c, widen, {15.0, 7.0}, {18.6, 9.0}, {15.0, 11.0});
    arrowHead(p, c, widen, {15.0, 1.0}, {18.6, 3.0}, {15.0, 5.0});
}

void drawPlaylist(QPainter &p, const QColor &c, qreal widen)
{
    for (const qreal y : {2.4, 6.0, 9.6}) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(QPointF(2.0, y), 1.0 + widen / 2, 1.0 + widen / 2);
        p.setPen(stroke(c, 1.5 + widen));
        p.drawLine(QPointF(4.9, y), QPointF(12.8, y));
    }
}

struct Icon {
    qreal width;
    qreal height;
    void (*draw)(QPainter &, const QColor &, qreal);
};

Icon iconOf(PictureToggle::Kind kind)
{
    switch (kind) {
    case PictureToggle::Kind::Repeat:
        return {20, 12, drawRepeat};
    case PictureToggle::Kind::Shuffle:
        return {20, 12, drawShuffle};
    case PictureToggle::Kind::Playlist:
        return {14.6, 12, drawPlaylist};
    }
    return {20, 12, drawRepeat};
}

qreal plateRadius(const QRectF &box)
{
    return std::min(3.5, std::min(box.width(), box.height()) * 0.25);
}

// A partly checked toggle (value 2) shows its lit picture, faded.
void paintState(QPainter &p, const QRectF &box, PictureToggle::Kind kind, Qt::CheckState state)
{
    p.save();
    if (state == Qt::PartiallyChecked)
        p.setOpacity(0.5);
    PictureToggle::paintPicture(p, box, kind, state != Qt::Unchecked);
    p.restore();
}

} // namespace

PictureToggle::PictureToggle(Kind kind, QWidget *parent) : QCheckBox(parent), m_kind(kind)
{
    setAttribute(Qt::WA_Hover);
}

void PictureToggle::setPicture(const QPixmap &picture)
{
    setIcon(picture.isNull() ? QIcon() : QIcon(picture));
}

bool PictureToggle::hasPicture() const
{
    return !icon().isNull();
}

QPixmap PictureToggle::drawnPicture(Qt::CheckState state) const
{
    return Glyphs::render(size(), devicePixelRatioF(), [this, state](QPainter &p, const QRectF &box) {
        paintState(p, box, m_kind, state);
    });
}

void PictureToggle::paintPicture(QPainter &painter, const QRectF &box, Kind kind, bool lit)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    // The plate: a small dark display on which the icon is lit or not.
    const QRectF plate = box.adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = plateRadius(plate);
    QLinearGradient fill(plate.topLeft(), plate.bottomLeft());
    fill.setColorAt(0, lit ? QColor(0x1a, 0x33, 0x22) : QColor(0x2b, 0x31, 0x3a));
    fill.setColorAt(1, lit ? QColor(0x0a, 0x16, 0x0f) : QColor(0x14, 0x18, 0x1d));
    painter.setPen(QPen(lit ? QColor(0x2f, 0x6b, 0x3b) : QColor(0x09, 0x0b, 0x0e), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(plate, radius, radius);

    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const Icon icon = iconOf(kind);
    const qreal iconHeight = std::max(5.0, std::round(box.height() * 0.64));
    const qreal scale = std::min((box.width() - 4) / icon.width, iconHeight / icon.height);
    const QSizeF size(icon.width * scale, icon.height * scale);
    QPointF origin(box.center().x() - size.width() / 2, box.center().y() - size.height() / 2);

    // A wide toggle also carries an indicator light at its left end, the icon moving over to keep
    // clear of it.
    const qreal led = box.height() * 0.16;
    const QPointF ledCentre(box.left() + box.height() * 0.55, box.center().y());
    const bool withLed = box.width() >= 2.5 * box.height();
    if (withLed)
        origin.rx() += box.height() * 0.35;
    origin = QPointF(std::round(origin.x() * dpr) / dpr, std::round(origin.y() * dpr) / dpr);

    if (withLed) {
        painter.setPen(Qt::NoPen);
        if (lit) {
            QRadialGradient glow(ledCentre, led * 2.6);
            glow.setColorAt(0, QColor(Lit.red(), Lit.green(), Lit.blue(), 150));
            glow.setColorAt(1, QColor(Lit.red(), Lit.green(), Lit.blue(), 0));
            painter.setBrush(glow);
            painter.drawEllipse(ledCentre, led * 2.6, led * 2.6);
        }
        painter.setBrush(lit ? Lit : QColor(0x45, 0x4b, 0x52));
        painter.drawEllipse(ledCentre, led, led);
    }

    painter.translate(origin);
    painter.scale(scale, scale);
    if (lit)
        icon.draw(painter, QColor(Lit.red(), Lit.green(), Lit.blue(), 60), 1.6);
    icon.draw(painter, lit ? Lit : Dim, 0);
    painter.restore();
}

bool PictureToggle::hitButton(const QPoint &pos) const
{
    // The whole picture is the button, not just where the style would put a check mark.
    return rect().contains(pos);
}

void PictureToggle::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF box(rect());
    if (hasPicture()) {
        icon().paint(&p, rect(), Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled,
                     isChecked() ? QIcon::On : QIcon::Off);
    } else {
        if (!isEnabled())
            p.setOpacity(0.5);
        paintState(p, box, m_kind, checkState());
        p.setOpacity(1);
    }

    const QRectF inner = box.adjusted(1.5, 1.5, -1.5, -1.5);
    const qreal radius = std::max(0.0, plateRadius(box) - 1);
    p.setBrush(Qt::NoBrush);
    if (isEnabled() && (underMouse() || isDown())) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, isDown() ? 14 : 26));
        p.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), radius + 1, radius + 1);
        p.setBrush(Qt::NoBrush);
    }
    if (hasFocus()) {
        p.setPen(QPen(QColor(Lit.red(), Lit.green(), Lit.blue(), 210), 1));
        p.drawRoundedRect(inner, radius, radius);
    }
}
