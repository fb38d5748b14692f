#include "ui/Skin.h"
#include "ui/SkinColours.h"

#include "ui/ClickableLabel.h"
#include "ui/Glyphs.h"
#include "ui/Marquee.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QFontMetricsF>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace Skin {

namespace {

using namespace SkinColours;
// Layout units: the window is 343 pixels wide at 96 dpi, and the skin's own dimensions are given
// in those pixels and scaled with the window.
constexpr qreal DesignWidth = 343.0;
constexpr qreal TopAreaHeight = 120.0;
constexpr qreal CornerRadius = 7.5;

QColor withAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

qreal devicePixelRatioOf(const QPainter &painter)
{
    return painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
}

// A small fixed pseudo-random sequence: the brushed grain must look the same on every paint and
// every run, or the face would shimmer.
struct Grain {
    std::uint32_t state;
    int next(int range)
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 16) % static_cast<std::uint32_t>(range));
    }
};

// Horizontal brushing, one streak per device pixel row so that it stays a fine grain at 2x as well.
void brushed(QPainter &p, const QRectF &area, std::uint32_t seed, int strength)
{
    const qreal dpr = devicePixelRatioOf(p);
    const qreal row = 1.0 / dpr;
    Grain grain{seed};
    p.save();
    p.setClipRect(area, Qt::IntersectClip);
    for (qreal y = area.top() + row / 2; y < area.bottom(); y += row) {
        const int shade = grain.next(2 * strength + 1) - strength;
        const QColor colour = shade >= 0 ? QColor(255, 255, 255, shade) : QColor(0, 0, 0, -shade * 3 / 2);
        p.setPen(QPen(colour, row));
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        // A few shorter, brighter streaks break up the regularity of the full-width rows.
        if (grain.next(5) == 0) {
            const qreal start = area.left() + grain.next(std::max(1, int(area.width()))) - area.width() / 4;
            const qreal length = area.width() * (0.15 + grain.next(40) / 100.0);
            p.setPen(QPen(QColor(255, 255, 255, strength + grain.next(strength + 1)), row));
            p.drawLine(QPointF(start, y), QPointF(start + length, y));
        }
    }
    p.restore();
}

// A sunken lip around a control: the upper edge in shadow, the lower edge catching the light.
void recess(QPainter &p, const QRectF &inner, qreal lip, qreal radius)
{
    p.save();
    const QRectF outer = inner.adjusted(-lip, -lip, lip, lip);
    QLinearGradient ring(outer.topLeft(), outer.bottomLeft());
    ring.setColorAt(0, QColor(0x0b, 0x0d, 0x11));
    ring.setColorAt(0.5, QColor(0x16, 0x1a, 0x20));
    ring.setColorAt(1, QColor(0x3c, 0x44, 0x50));
    p.setPen(Qt::NoPen);
    p.setBrush(ring);
    p.drawRoundedRect(outer, radius + lip, radius + lip);
    // The bevel's light edge on the face just below the hole.
    QPainterPath light;
    light.addRoundedRect(outer.adjusted(-0.5, -0.5, 0.5, 0.5), radius + lip + 0.5, radius + lip + 0.5);
    const qreal lower = std::min(outer.height() / 2, radius + lip + 1);
    p.setClipRect(QRectF(outer.left() - 2, outer.bottom() - lower, outer.width() + 4, lower + 2));
    p.setPen(QPen(QColor(255, 255, 255, 46), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(light);
    p.setClipping(false);
    p.setPen(QPen(QColor(0, 0, 0, 110), 1));
    p.drawRoundedRect(inner.adjusted(-0.5, -0.5, 0.5, 0.5), radius + 0.5, radius + 0.5);
    p.restore();
}

// A shallow tray pressed into the face behind a group of controls.
void tray(QPainter &p, const QRectF &area, qreal radius)
{
    p.save();
    QLinearGradient fill(area.topLeft(), area.bottomLeft());
    fill.setColorAt(0, QColor(0, 0, 0, 70));
    fill.setColorAt(1, QColor(0, 0, 0, 25));
    p.setPen(QPen(QColor(0, 0, 0, 90), 1));
    p.setBrush(fill);
    p.drawRoundedRect(area.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    const qreal lower = std::min(area.height() / 2, radius + 2);
    p.setClipRect(QRectF(area.left() - 1, area.bottom() - lower, area.width() + 2, lower + 2));
    p.setPen(QPen(QColor(255, 255, 255, 34), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(area.adjusted(-0.5, -0.5, 0.5, 0.5), radius + 1, radius + 1);
    p.restore();
}

// The window's rounded edge: a dark outline where the shape is cut and a light bevel inside it.
void rim(QPainter &p, const QRectF &window, qreal scale)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal radius = CornerRadius * scale;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Edge, 1));
    p.drawRoundedRect(window.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
    QLinearGradient bevel(window.topLeft(), window.bottomLeft());
    bevel.setColorAt(0, QColor(255, 255, 255, 70));
    bevel.setColorAt(std::min(1.0, 24 / window.height()), QColor(255, 255, 255, 22));
    bevel.setColorAt(1, QColor(255, 255, 255, 10));
    p.setPen(QPen(QBrush(bevel), 1));
    p.drawRoundedRect(window.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1.5, radius - 1.5);
    p.restore();
}

void face(QPainter &p, const QRectF &area, qreal top, qreal bottom, std::uint32_t seed)
{
    QLinearGradient fill(0, top, 0, bottom);
    fill.setColorAt(0, FaceTop);
    fill.setColorAt(0.45, FaceMiddle);
    fill.setColorAt(1, FaceBottom);
    p.fillRect(area, fill);
    brushed(p, area, seed, 5);
}

QRectF geometryOf(const QWidget *widget)
{
    return widget ? QRectF(widget->geometry()) : QRectF();
}

// Cached backgrounds: the face is grained row by row, far too much work for every marquee step.
struct Cache {
    QPixmap pixmap;
    QSize size;
    qreal dpr = 0;
};

template <typename Draw> void paintCached(QPainter &painter, const QRect &rect, Cache &cache, Draw draw)
{
    const qreal dpr = devicePixelRatioOf(painter);
    if (cache.pixmap.isNull() || cache.size != rect.size() || cache.dpr != dpr) {
        cache.pixmap =
            Glyphs::render(rect.size(), dpr, [&](QPainter &p, const QRectF &box) { draw(p, box); });
        cache.size = rect.size();
        cache.dpr = dpr;
    }
    painter.drawPixmap(rect.topLeft(), cache.pixmap);
}

void drawWindow(QPainter &p, const QRectF &box, const frmMain *window)
{
    const qreal s = box.width() / DesignWidth;
    const qreal topArea = TopAreaHeight * s;
    face(p, box, 0, topArea, 0x51ce);

    // The title strip: a darker band with an engraved line under it.
    const qreal stripBottom = 17.5 * s;
    QLinearGradient strip(0, 0, 0, stripBottom);
    strip.setColorAt(0, QColor(0x20, 0x25, 0x2d, 235));
    strip.setColorAt(1, QColor(0x2a, 0x30, 0x3a, 235));
    p.fillRect(QRectF(0, 0, box.width(), stripBottom), strip);
    brushed(p, QRectF(0, 0, box.width(), stripBottom), 0x7a11e, 3);
    p.fillRect(QRectF(0, stripBottom, box.width(), 1), QColor(0, 0, 0, 120));
    p.fillRect(QRectF(0, stripBottom + 1, box.width(), 1), QColor(255, 255, 255, 28));

    if (window) {
        // Grip ridges from the end of the title to the window's marks, as on a title bar.
        const QLabel *title = window->Label3();
        const QRectF titleBox = geometryOf(title);
        const qreal textEnd =
            titleBox.left() + QFontMetricsF(title->font()).horizontalAdvance(title->text()) + 8 * s;
        const qreal gripEnd = geometryOf(window->Minimised()).left() - 6 * s;
        if (gripEnd - textEnd > 10 * s) {
            const qreal middle = titleBox.center().y();
            for (const qreal dy : {-2.0, 1.0}) {
                const qreal y = std::round((middle + dy * s) * p.device()->devicePixelRatioF()) /
                                p.device()->devicePixelRatioF();
                p.fillRect(QRectF(textEnd, y, gripEnd - textEnd, 1), QColor(0, 0, 0, 130));
                p.fillRect(QRectF(textEnd, y + 1, gripEnd - textEnd, 1), QColor(255, 255, 255, 26));
            }
        }

        // The displays sit in the face behind bevelled lips.
        recess(p, geometryOf(window->Shape1()), 2.5 * s, 6);
        recess(p, geometryOf(window->txtTitle()), 2 * s, 3);

        // The sound group: volume and balance, with their labels.
        const QRectF sound = geometryOf(window->LabVol())
                                 .united(geometryOf(window->scrlVol()))
                                 .united(geometryOf(window->scrlBal()))
                                 .united(geometryOf(window->LabBal()));
        tray(p, sound.adjusted(-4 * s, -1 * s, 4 * s, 3 * s), 4 * s);

        // The transport deck and the mode toggles each in a tray of their own.
        QRectF transport = geometryOf(window->cmdBack()).united(geometryOf(window->cmdOpen()));
        tray(p, transport.adjusted(-3 * s, -3 * s, 3 * s, 3 * s), 5 * s);
        QRectF modes = geometryOf(window->chkRepeat()).united(geometryOf(window->chkPlay()));
        tray(p, modes.adjusted(-3 * s, -3 * s, 3 * s, 3 * s), 5 * s);
    }

    // Below the top area (seen when the playlist is folded): the face darkens to the bottom edge.
    if (box.height() > topArea) {
        QLinearGradient below(0, topArea, 0, box.height());
        below.setColorAt(0, FaceBottom);
        below.setColorAt(1, FaceBottom.darker(120));
        p.fillRect(QRectF(0, topArea, box.width(), box.height() - topArea), below);
        brushed(p, QRectF(0, topArea, box.width(), box.height() - topArea), 0xb0770, 4);
    }
    rim(p, box, s);
}

void drawPanel(QPainter &p, const QRectF &box, const QWidget *panel, const frmMain *window)
{
    const qreal s = window ? window->width() / DesignWidth : box.width() / 344.0;
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0, QColor(0x2c, 0x33, 0x3d));
    fill.setColorAt(0.5, QColor(0x27, 0x2d, 0x36));
    fill.setColorAt(1, QColor(0x1e, 0x23, 0x2a));
    p.fillRect(box, fill);
    brushed(p, box, 0x9a11e, 5);

    // The seam with the top area: a shadow cast by the face above and a lit edge on the panel.
    p.fillRect(QRectF(0, 0, box.width(), 1), QColor(0, 0, 0, 170));
    p.fillRect(QRectF(0, 1, box.width(), 1), QColor(255, 255, 255, 30));
    QLinearGradient shadow(0, 2, 0, 8 * s);
    shadow.setColorAt(0, QColor(0, 0, 0, 70));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(0, 2, box.width(), 8 * s), shadow);

    if (window) {
        // The list lies in a deep well whose dark upper edge is the display of the selected song.
        const QRectF song = geometryOf(window->txtFN());
        const QRectF list = geometryOf(window->lstPlay());
        const QRectF well(QPointF(std::min(song.left(), list.left()), song.top() - 1 * s),
                          QPointF(std::max(song.right(), list.right()), list.bottom()));
        recess(p, well, 2.5 * s, 3);
        p.setPen(Qt::NoPen);
        QLinearGradient display(well.topLeft(), QPointF(well.left(), list.top()));
        display.setColorAt(0, QColor(0x02, 0x03, 0x04));
        display.setColorAt(1, QColor(0x0b, 0x0e, 0x12));
        p.setBrush(display);
        p.drawRoundedRect(well, 3, 3);
    }

    // The window's edge continues down the panel: the rim is drawn where the window's shape lies.
    if (panel && window) {
        const QRectF windowBox(QPointF(-panel->x(), -panel->y()), QSizeF(window->size()));
        p.save();
        p.setClipRect(box);
        rim(p, windowBox, s);
        p.restore();
    }
}

void lightText(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QString sliderSheet()
{
    return QStringLiteral(
        "QSlider { background: transparent; }"
        "QSlider::groove:horizontal { height: 3px; border-radius: 2px;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #06080a, stop:1 #1b2028);"
        " border: 1px solid #07090c; border-bottom-color: #4a5460; }"
        "QSlider::sub-page:horizontal { border-radius: 2px; border: 1px solid #1c4a26;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #a6ffb0, stop:0.5 #5fd46e,"
        " stop:1 #2f8a3d); }"
        "QSlider::add-page:horizontal { background: transparent; }"
        "QSlider::handle:horizontal { width: 7px; margin: -3px 0; border-radius: 4px;"
        " border: 1px solid #0a0c0f;"
        " background: qradialgradient(cx:0.5, cy:0.5, radius:0.7, fx:0.35, fy:0.3, stop:0 #ffffff,"
        " stop:0.5 #c9d1da, stop:1 #6d7885); }"
        "QSlider::handle:horizontal:hover { background: qradialgradient(cx:0.5, cy:0.5, radius:0.7,"
        " fx:0.35, fy:0.3, stop:0 #ffffff, stop:0.5 #e4f5e6, stop:1 #7fa886); }"
        "QSlider::handle:horizontal:disabled { background: #59626d; }"
        "QSlider:focus { outline: none; }");
}

// The panel's buttons wear the same graphite as the symbol buttons of the top area.
QString panelButtonSheet()
{
    return QStringLiteral(
               "QPushButton { color: #e3e9ef; border: 1px solid #090b0e; border-radius: 3px; padding: 0 3px;"
               " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5a6472, stop:0.48 #424a57,"
               " stop:0.52 #3a424e, stop:1 #272d36); }"
               "QPushButton:hover { color: #ffffff;"
               " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #6c7786, stop:0.48 #515b69,"
               " stop:0.52 #48515e, stop:1 #313843); }"
               "QPushButton:pressed { color: ") +
           css(Lit) +
           QStringLiteral(
               "; padding-top: 1px;"
               " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #171a1f, stop:1 #2e343d); }"
               "QPushButton:focus { border-color: #3f8f4c; }"
               "QPushButton:disabled { color: #7d8590; }");
}

// The about button is a small silver badge in the corner, its question mark in blue.
QString aboutButtonSheet()
{
    return QStringLiteral(
               "QPushButton#cmdAbt { color: #0000e0; font-weight: bold; padding: 0;"
               " border: 1px solid #0a0c0f; border-radius: 3px;"
               " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfcfd, stop:0.5 #dde3e9,"
               " stop:0.52 #cdd4dc, stop:1 #a4aeb9); }"
               "QPushButton#cmdAbt:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
               " stop:0 #ffffff, stop:0.5 #eaf3fb, stop:0.52 #d9e6f2, stop:1 #b3c3d3); }"
               "QPushButton#cmdAbt:pressed { padding-top: 1px; background: qlineargradient(x1:0, y1:0, x2:0,"
               " y2:1, stop:0 #9aa4af, stop:1 #d6dce2); }"
               "QPushButton#cmdAbt:focus { border-color: ") +
           css(AboutBlue) + QStringLiteral("; }");
}

} // namespace

void apply(frmMain &window)
{
    lightText(window.Label3(), LabelText);
    lightText(window.Label2(), LabelText);
    lightText(window.LabVol(), QuietText);
    lightText(window.LabBal(), QuietText);
    // The selected song is shown on a small display, lit like the time display.
    lightText(window.txtFN(), Lit);
    for (QSlider *slider : {window.scrlVol(), window.scrlBal(), window.scrlTime()})
        slider->setStyleSheet(sliderSheet());
    for (int i = 0; i < frmMain::PlaylistButtonCount; ++i)
        window.cmdAPlayList(i)->setStyleSheet(panelButtonSheet());
    window.cmdAbt()->setStyleSheet(aboutButtonSheet());
    // The display's frame is given by the lip drawn around it; its own border only needs to close it.
    window.Shape1()->setStyleSheet(QStringLiteral(
        "QFrame#Shape1 { background-color: black; border: 1px solid #000000; border-radius: 6px; }"));
    window.lstPlay()->setStyleSheet(
        QStringLiteral("QListWidget#lstPlay { background-color: #DEF7FF; border: 1px solid #07090c; }"));
}

void paintWindow(QPainter &painter, const QRect &rect)
{
    static Cache cache;
    const auto *window = qobject_cast<const frmMain *>(dynamic_cast<QWidget *>(painter.device()));
    paintCached(painter, rect, cache,
                [window](QPainter &p, const QRectF &box) { drawWindow(p, box, window); });
}

void paintPanel(QPainter &painter, const QRect &rect)
{
    static Cache cache;
    const QWidget *panel = dynamic_cast<QWidget *>(painter.device());
    const auto *window = panel ? qobject_cast<const frmMain *>(panel->window()) : nullptr;
    paintCached(painter, rect, cache,
                [panel, window](QPainter &p, const QRectF &box) { drawPanel(p, box, panel, window); });
}

void paintAbout(QPainter &painter, const QRect &rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(rect);
    // A light satin face, like a system button face with a little more life in it.
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0, QColor(0xf7, 0xf9, 0xfb));
    fill.setColorAt(0.5, QColor(0xec, 0xef, 0xf3));
    fill.setColorAt(1, QColor(0xdc, 0xe2, 0xe9));
    painter.fillRect(box, fill);
    painter.setClipRect(box);
    brushed(painter, box, 0xab0, 3);
    // A soft sheen across the upper left, where the light comes from.
    QRadialGradient sheen(box.topLeft() + QPointF(box.width() * 0.2, 0), box.width() * 0.6);
    sheen.setColorAt(0, QColor(255, 255, 255, 120));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillRect(box, sheen);
    // A thin blue line along the foot ties the face to its frame.
    painter.fillRect(QRectF(box.left(), box.bottom() - 2, box.width(), 2), withAlpha(AboutBlue, 90));
    // The raised edge: light above and to the left, shadow below and to the right.
    painter.setClipping(false);
    const QRectF edge = box.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(QColor(255, 255, 255), 1));
    painter.drawLine(edge.topLeft(), edge.topRight());
    painter.drawLine(edge.topLeft(), edge.bottomLeft());
    painter.setPen(QPen(QColor(0x8a, 0x96, 0xa4), 1));
    painter.drawLine(edge.bottomLeft(), edge.bottomRight());
    painter.drawLine(edge.topRight(), edge.bottomRight());
    painter.restore();
}

QPixmap logo(QSize size, qreal devicePixelRatio)
{
    return Glyphs::render(size, devicePixelRatio, [](QPainter &p, const QRectF &box) {
        const qreal h = box.height();
        // The mark: a blue glass tile with a green play sign set in a ring, the ring's tail making
        // the Q of the name.
        const QRectF tile(box.left() + 1, box.top() + 1, h - 2, h - 2);
        const qreal corner = tile.height() * 0.22;
        QLinearGradient glass(tile.topLeft(), tile.bottomLeft());
        glass.setColorAt(0, QColor(0x3d, 0xa6, 0xf5));
        glass.setColorAt(0.55, AboutBlue);
        glass.setColorAt(1, QColor(0x0a, 0x4f, 0x94));
        p.setPen(QPen(QColor(0x08, 0x3e, 0x75), 1));
        p.setBrush(glass);
        p.drawRoundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), corner, corner);

        const QPointF centre = tile.center() + QPointF(-tile.width() * 0.06, -tile.height() * 0.07);
        const qreal ring = tile.height() * 0.30;
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255), tile.height() * 0.085, Qt::SolidLine, Qt::RoundCap));
        p.drawEllipse(centre, ring, ring);
        // The Q's tail: a tapered swash leaving the ring at its foot and running off to the right.
        const auto at = [&](qreal x, qreal y) { return centre + QPointF(x * ring, y * ring); };
        QPainterPath tail;
        tail.moveTo(at(0.10, 0.80));
        tail.cubicTo(at(0.55, 0.98), at(0.90, 1.22), at(1.38, 1.16));
        tail.lineTo(at(1.30, 1.40));
        tail.cubicTo(at(0.80, 1.50), at(0.40, 1.20), at(-0.02, 0.98));
        tail.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255));
        p.drawPath(tail);
        QPainterPath play;
        const qreal t = ring * 0.55;
        play.moveTo(centre + QPointF(-t * 0.55, -t));
        play.lineTo(centre + QPointF(t * 1.05, 0));
        play.lineTo(centre + QPointF(-t * 0.55, t));
        play.closeSubpath();
        p.setPen(QPen(Lit, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Lit);
        p.drawPath(play);

        // The glass's gloss over its upper half.
        QPainterPath gloss;
        gloss.addRoundedRect(tile.adjusted(1.5, 1.5, -1.5, -tile.height() * 0.5), corner - 1, corner - 1);
        QLinearGradient shine(tile.topLeft(), QPointF(tile.left(), tile.center().y()));
        shine.setColorAt(0, QColor(255, 255, 255, 110));
        shine.setColorAt(1, QColor(255, 255, 255, 10));
        p.setPen(Qt::NoPen);
        p.setBrush(shine);
        p.drawPath(gloss);

        // The name: "Qwelto" heavy and dark, "Player" light in the frame's blue.
        const qreal textLeft = tile.right() + h * 0.22;
        const qreal room = box.right() - textLeft - 2;
        QFont heavy(QStringLiteral("DejaVu Sans"));
        heavy.setBold(true);
        QFont light(QStringLiteral("DejaVu Sans"));
        light.setWeight(QFont::Light);
        qreal pixels = h * 0.62;
        const QString first = QStringLiteral("Qwelto");
        const QString second = QStringLiteral(" Player");
        for (;;) {
            heavy.setPixelSize(std::max(6, int(pixels)));
            light.setPixelSize(std::max(6, int(pixels)));
            const qreal width = QFontMetricsF(heavy).horizontalAdvance(first) +
                                QFontMetricsF(light).horizontalAdvance(second);
            if (width <= room || pixels <= 6)
                break;
            pixels -= 1;
        }
        const QFontMetricsF metrics(heavy);
        const qreal baseline = box.center().y() + (metrics.ascent() - metrics.descent()) / 2 - h * 0.04;
        p.setFont(heavy);
        p.setPen(QColor(0x1c, 0x26, 0x33));
        p.drawText(QPointF(textLeft, baseline), first);
        const qreal firstWidth = metrics.horizontalAdvance(first);
        p.setFont(light);
        p.setPen(AboutBlue);
        p.drawText(QPointF(textLeft + firstWidth, baseline), second);

        // An underline that fades out to the right, from the mark under the name.
        const qreal lineY = std::min(box.bottom() - 1.5, baseline + metrics.descent() + h * 0.06);
        QLinearGradient fade(QPointF(textLeft, 0), QPointF(box.right(), 0));
        fade.setColorAt(0, withAlpha(AboutBlue, 200));
        fade.setColorAt(1, withAlpha(AboutBlue, 0));
        p.fillRect(QRectF(textLeft, lineY, box.right() - textLeft, std::max(1.0, h * 0.035)), fade);
    });
}

namespace {

const QColor MenuInk(0x2b, 0x34, 0x40);
const QColor Outline(0x4a, 0x55, 0x63);
const QColor PlusGreen(0x2e, 0x9e, 0x45);
const QColor FolderBack(0xd9, 0x9a, 0x2b);
const QColor FolderFront(0xf6, 0xc8, 0x5a);

QPen thin(const QColor &colour, qreal width = 1)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A green round badge with a white plus, in the lower right corner of an "add" picture.
void plusBadge(QPainter &p)
{
    const QPointF centre(11.5, 11.5);
    p.setPen(thin(PlusGreen.darker(140)));
    QRadialGradient fill(centre - QPointF(1, 1), 4.5);
    fill.setColorAt(0, PlusGreen.lighter(135));
    fill.setColorAt(1, PlusGreen);
    p.setBrush(fill);
    p.drawEllipse(centre, 4.0, 4.0);
    p.setPen(thin(Qt::white, 1.4));
    p.drawLine(centre + QPointF(-2, 0), centre + QPointF(2, 0));
    p.drawLine(centre + QPointF(0, -2), centre + QPointF(0, 2));
}

void drawDocument(QPainter &p)
{
    QPainterPath page;
    page.moveTo(2.5, 1.5);
    page.lineTo(8.5, 1.5);
    page.lineTo(11.5, 4.5);
    page.lineTo(11.5, 14.5);
    page.lineTo(2.5, 14.5);
    page.closeSubpath();
    QLinearGradient paper(QPointF(2, 1), QPointF(12, 15));
    paper.setColorAt(0, Qt::white);
    paper.setColorAt(1, QColor(0xdd, 0xe3, 0xea));
    p.setPen(thin(Outline));
    p.setBrush(paper);
    p.drawPath(page);
    p.setBrush(QColor(0xc4, 0xcc, 0xd6));
    p.drawPolygon(QPolygonF(QList<QPointF>{{8.5, 1.5}, {8.5, 4.5}, {11.5, 4.5}}));
    p.setPen(thin(QColor(0x9a, 0xa5, 0xb2)));
    for (const qreal y : {6.5, 8.5, 10.5})
        p.drawLine(QPointF(4.5, y), QPointF(y < 10 ? 9.5 : 7.0, y));
}

void drawFolder(QPainter &p, bool open)
{
    QPainterPath back;
    back.moveTo(1.5, 13.5);
    back.lineTo(1.5, 3.0);
    back.lineTo(5.5, 3.0);
    back.lineTo(7.0, 4.5);
    back.lineTo(13.5, 4.5);
    back.lineTo(13.5, 13.5);
    back.closeSubpath();
    p.setPen(thin(FolderBack.darker(160)));
    p.setBrush(FolderBack);
    p.drawPath(back);
    QPainterPath front;
    if (open) {
        front.moveTo(1.5, 13.5);
        front.lineTo(3.8, 7.0);
        front.lineTo(15.0, 7.0);
        front.lineTo(13.5, 13.5);
    } else {
        front.moveTo(1.5, 13.5);
        front.lineTo(1.5, 6.5);
        front.lineTo(13.5, 6.5);
        front.lineTo(13.5, 13.5);
    }
    front.closeSubpath();
    QLinearGradient fill(QPointF(0, 6.5), QPointF(0, 13.5));
    fill.setColorAt(0, FolderFront.lighter(108));
    fill.setColorAt(1, FolderFront.darker(108));
    p.setBrush(fill);
    p.drawPath(front);
}

void drawDisc(QPainter &p)
{
    const QPointF centre(8, 8);
    QConicalGradient sheen(centre, 30);
    sheen.setColorAt(0.0, QColor(0xe8, 0xee, 0xf4));
    sheen.setColorAt(0.12, QColor(0xb8, 0xe0, 0xff));
    sheen.setColorAt(0.25, QColor(0xf4, 0xd9, 0xf2));
    sheen.setColorAt(0.4, QColor(0xc9, 0xd1, 0xda));
    sheen.setColorAt(0.5, QColor(0xf2, 0xf5, 0xf8));
    sheen.setColorAt(0.62, QColor(0xfc, 0xf0, 0xc0));
    sheen.setColorAt(0.75, QColor(0xc2, 0xf0, 0xd6));
    sheen.setColorAt(0.9, QColor(0xc9, 0xd1, 0xda));
    sheen.setColorAt(1.0, QColor(0xe8, 0xee, 0xf4));
    p.setPen(thin(Outline));
    p.setBrush(sheen);
    p.drawEllipse(centre, 6.8, 6.8);
    p.setPen(thin(QColor(0x9a, 0xa5, 0xb2)));
    p.setBrush(QColor(0xe4, 0xe9, 0xee));
    p.drawEllipse(centre, 2.6, 2.6);
    p.setPen(thin(Outline));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, 1.1, 1.1);
}

// A power sign: the way out of the program.
void drawPower(QPainter &p)
{
    const QColor red(0xc8, 0x2e, 0x2e);
    const QPointF centre(8, 8.6);
    p.setBrush(Qt::NoBrush);
    p.setPen(thin(red, 1.9));
    p.drawArc(QRectF(centre.x() - 5.5, centre.y() - 5.5, 11, 11), 125 * 16, 290 * 16);
    p.drawLine(QPointF(8, 1.6), QPointF(8, 7.6));
}

} // namespace

QIcon menuPicture(MenuPicture which)
{
    static const char *const captions[] = {"9", "4", ";", "<", ":"};
    QIcon icon;
    for (const qreal dpr : {1.0, 2.0})
        icon.addPixmap(Glyphs::render(QSize(16, 16), dpr, [which](QPainter &p, const QRectF &box) {
            switch (which) {
            case MenuPicture::Previous:
            case MenuPicture::Play:
            case MenuPicture::Pause:
            case MenuPicture::Stop:
            case MenuPicture::Next:
                Glyphs::paint(p, box.adjusted(1.5, 3, -1.5, -3),
                              QLatin1String(captions[static_cast<int>(which)]), MenuInk);
                break;
            case MenuPicture::Open:
                drawFolder(p, true);
                break;
            case MenuPicture::AddFile:
                drawDocument(p);
                plusBadge(p);
                break;
            case MenuPicture::AddFolder:
                drawFolder(p, false);
                plusBadge(p);
                break;
            case MenuPicture::AddVcd:
                drawDisc(p);
                break;
            case MenuPicture::Exit:
                drawPower(p);
                break;
            }
        }));
    return icon;
}

} // namespace Skin
