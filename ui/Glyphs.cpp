#include "ui/Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

QPen stroke(const QColor &colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A thin pen of the fill colour rounds the corners of a filled shape: at ten pixels a mathematically
// sharp triangle point looks like a rendering fault rather than a design.
void fillSoft(QPainter &p, const QColor &colour, std::initializer_list<QPointF> points)
{
    p.setPen(stroke(colour, 0.9));
    p.setBrush(colour);
    p.drawPolygon(QPolygonF(QList<QPointF>(points)));
}

void fillSoftRect(QPainter &p, const QColor &colour, const QRectF &rect, qreal radius)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(rect, radius, radius);
}

// Every symbol is drawn in its own small design grid (units below), scaled to the box it is given.

// Webdings "9": |◀◀
void drawPrevious(QPainter &p, const QColor &c)
{
    fillSoftRect(p, c, QRectF(0.8, 1.3, 1.8, 9.4), 0.5);
    fillSoft(p, c, {{3.6, 6.0}, {9.2, 1.7}, {9.2, 10.3}});
    fillSoft(p, c, {{9.2, 6.0}, {14.8, 1.7}, {14.8, 10.3}});
}

// Webdings ":": ▶▶| — the same shape facing the other way, so the pair always matches.
void drawNext(QPainter &p, const QColor &c)
{
    p.translate(15.6, 0);
    p.scale(-1, 1);
    drawPrevious(p, c);
}

// Webdings "4": ▶
void drawPlay(QPainter &p, const QColor &c)
{
    fillSoft(p, c, {{2.4, 1.2}, {2.4, 10.8}, {10.6, 6.0}});
}

// Webdings ";": ❚❚
void drawPause(QPainter &p, const QColor &c)
{
    fillSoftRect(p, c, QRectF(2.0, 1.3, 3.1, 9.4), 0.7);
    fillSoftRect(p, c, QRectF(6.9, 1.3, 3.1, 9.4), 0.7);
}

// Webdings "<": ■, a little smaller than the triangle so that both look the same weight.
void drawStop(QPainter &p, const QColor &c)
{
    fillSoftRect(p, c, QRectF(1.7, 1.7, 8.6, 8.6), 1.2);
}

void drawSpeakerBody(QPainter &p, const QColor &c)
{
    fillSoft(p, c, {{1.0, 4.3}, {3.7, 4.3}, {7.3, 1.2}, {7.3, 10.8}, {3.7, 7.7}, {1.0, 7.7}});
}

// Webdings "U": a speaker with sound waves.
void drawSoundOn(QPainter &p, const QColor &c)
{
    drawSpeakerBody(p, c);
    p.setPen(stroke(c, 1.3));
    p.setBrush(Qt::NoBrush);
    const QPointF centre(7.6, 6.0);
    for (const qreal radius : {3.0, 5.6}) {
        const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        p.drawArc(circle, -48 * 16, 96 * 16);
    }
}

// Webdings "V": the speaker silenced by a cross.
void drawSoundOff(QPainter &p, const QColor &c)
{
    drawSpeakerBody(p, c);
    p.setPen(stroke(c, 1.45));
    p.drawLine(QPointF(9.9, 3.9), QPointF(14.0, 8.1));
    p.drawLine(QPointF(9.9, 8.1), QPointF(14.0, 3.9));
}

// Webdings "¾", the zoom menu: a magnifying glass.
void drawZoom(QPainter &p, const QColor &c)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(stroke(c, 1.4));
    p.drawEllipse(QPointF(5.0, 5.0), 3.7, 3.7);
    p.setPen(stroke(c, 1.1));
    p.drawLine(QPointF(3.2, 5.0), QPointF(6.8, 5.0));
    p.drawLine(QPointF(5.0, 3.2), QPointF(5.0, 6.8));
    p.setPen(stroke(c, 2.3));
    p.drawLine(QPointF(8.0, 8.0), QPointF(10.9, 10.9));
}

// Wingdings "1": an open folder, its back drawn as an outline so the open flap reads in one colour.
void drawOpenFolder(QPainter &p, const QColor &c)
{
    QPainterPath back;
    back.moveTo(1.2, 10.3);
    back.lineTo(1.2, 2.0);
    back.lineTo(5.0, 2.0);
    back.lineTo(6.4, 3.4);
    back.lineTo(12.6, 3.4);
    back.lineTo(12.6, 5.4);
    p.setPen(stroke(c, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(back);
    fillSoft(p, c, {{3.9, 5.8}, {15.0, 5.8}, {12.6, 10.5}, {1.2, 10.5}});
}

struct Glyph {
    char16_t caption;
    qreal width;
    qreal height;
    void (*draw)(QPainter &, const QColor &);
};

constexpr Glyph glyphs[] = {
    {u'9', 15.6, 12, drawPrevious}, {u'4', 12, 12, drawPlay},      {u';', 12, 12, drawPause},
    {u'<', 12, 12, drawStop},       {u':', 15.6, 12, drawNext},    {u'U', 15, 12, drawSoundOn},
    {u'V', 15, 12, drawSoundOff},   {u'\u00BE', 12, 12, drawZoom}, {u'1', 16, 12, drawOpenFolder},
};

const Glyph *find(const QString &caption)
{
    if (caption.size() != 1)
        return nullptr;
    const char16_t ch = caption.at(0).unicode();
    const auto it =
        std::find_if(std::begin(glyphs), std::end(glyphs), [ch](const Glyph &g) { return g.caption == ch; });
    return it == std::end(glyphs) ? nullptr : it;
}

qreal devicePixelRatioOf(const QPainter &painter)
{
    return painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
}

// Rounds a logical coordinate to the nearest device pixel edge.
qreal snap(qreal value, qreal dpr)
{
    return std::round(value * dpr) / dpr;
}

} // namespace

namespace Glyphs {

bool hasGlyph(const QString &caption)
{
    return find(caption) != nullptr;
}

void paint(QPainter &painter, const QRectF &box, const QString &caption, const QColor &colour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (const Glyph *glyph = find(caption)) {
        const qreal scale = std::min(box.width() / glyph->width, box.height() / glyph->height);
        const QSizeF size(glyph->width * scale, glyph->height * scale);
        // Starting the design grid on a pixel edge keeps the straight edges of bars and squares as
        // sharp as the scale allows.
        const qreal dpr = devicePixelRatioOf(painter);
        const QPointF origin(snap(box.center().x() - size.width() / 2, dpr),
                             snap(box.center().y() - size.height() / 2, dpr));
        painter.translate(origin);
        painter.scale(scale, scale);
        glyph->draw(painter, colour);
    } else {
        painter.setPen(colour);
        painter.drawText(box, Qt::AlignCenter, caption);
    }
    painter.restore();
}

void paintMark(QPainter &painter, const QRectF &box, Mark mark, const QColor &colour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal dpr = devicePixelRatioOf(painter);
    const qreal side = std::min(box.width(), box.height());

    // The marks sit on small silver buttons: a dark mark alone would vanish into a dark title strip.
    const QPointF centre = box.center();
    const qreal radius = side / 2 - 0.5;
    QRadialGradient metal(centre - QPointF(side * 0.18, side * 0.22), side * 0.75);
    metal.setColorAt(0, QColor(0xff, 0xff, 0xff));
    metal.setColorAt(0.5, QColor(0xdc, 0xe2, 0xe9));
    metal.setColorAt(1, QColor(0x9c, 0xa7, 0xb3));
    painter.setPen(QPen(QColor(0x0a, 0x0c, 0x0f), 1));
    painter.setBrush(metal);
    painter.drawEllipse(centre, radius, radius);

    // A mark of whole pixels about the centre: at nine pixels a cross off the pixel grid is a smudge.
    const qreal half = std::max(1.0, std::round(side * 0.22 * dpr) / dpr);
    const QRectF area(centre.x() - half, centre.y() - half, 2 * half, 2 * half);
    switch (mark) {
    case Mark::Minimise: {
        // A bar on whole pixels, low in the button, where a minimised window goes.
        const qreal thickness = std::max(1.0, snap(side * 0.14, dpr));
        const qreal bottom = snap(area.bottom() - side * 0.06, dpr);
        const QRectF bar(QPointF(snap(area.left(), dpr), bottom - thickness),
                         QPointF(snap(area.right(), dpr), bottom));
        painter.fillRect(bar, colour);
        break;
    }
    case Mark::Close:
        painter.setPen(stroke(colour, dpr < 1.5 ? 1.1 : std::max(1.25, side * 0.13)));
        painter.drawLine(area.topLeft(), area.bottomRight());
        painter.drawLine(area.bottomLeft(), area.topRight());
        break;
    }
    painter.restore();
}

QPixmap render(QSize size, qreal devicePixelRatio,
               const std::function<void(QPainter &, const QRectF &)> &draw)
{
    const QSize pixels(static_cast<int>(std::ceil(size.width() * devicePixelRatio)),
                       static_cast<int>(std::ceil(size.height() * devicePixelRatio)));
    QPixmap pixmap(pixels);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

} // namespace Glyphs
