#include "ui/GlyphButton.h"
#include "ui/SkinColours.h"

#include "ui/Glyphs.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

using SkinColours::Lit;

struct Look {
    QColor top;
    QColor bottom;
    QColor glyph;
};

QColor mix(const QColor &a, const QColor &b, float t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

} // namespace

GlyphButton::GlyphButton(QWidget *parent) : GlyphButton(QString(), parent) {}

GlyphButton::GlyphButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    // Hover is drawn here, whatever the style: the style never sees these buttons.
    setAttribute(Qt::WA_Hover);
}

void GlyphButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const bool down = isDown() || isChecked();
    const bool hover = isEnabled() && underMouse();
    Look look{QColor(0x5a, 0x64, 0x72), QColor(0x27, 0x2d, 0x36), QColor(0xe4, 0xe9, 0xee)};
    if (!isEnabled())
        look = {QColor(0x55, 0x5b, 0x63), QColor(0x3b, 0x40, 0x47), QColor(0x86, 0x8d, 0x96)};
    else if (down)
        look = {QColor(0x17, 0x1a, 0x1f), QColor(0x2e, 0x34, 0x3d), Lit};
    else if (hover)
        look = {QColor(0x6c, 0x77, 0x86), QColor(0x31, 0x38, 0x43), QColor(0xff, 0xff, 0xff)};

    // Half-pixel inset: a one-pixel outline on a whole-pixel rectangle would straddle two pixels.
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = std::min(4.0, std::min(frame.width(), frame.height()) * 0.22);
    QLinearGradient fill(frame.topLeft(), frame.bottomLeft());
    fill.setColorAt(0, look.top);
    if (!down) {
        // A soft break across the middle, as on turned metal caught by a light from above.
        fill.setColorAt(0.48, mix(look.top, look.bottom, 0.42f));
        fill.setColorAt(0.52, mix(look.top, look.bottom, 0.56f));
    }
    fill.setColorAt(1, look.bottom);
    p.setPen(QPen(QColor(0x09, 0x0b, 0x0e), 1));
    p.setBrush(fill);
    p.drawRoundedRect(frame, radius, radius);

    const QRectF inner = frame.adjusted(1, 1, -1, -1);
    const qreal innerRadius = std::max(0.0, radius - 1);
    if (!down) {
        // A faint light along the upper edge gives the button its relief.
        p.setPen(QPen(QColor(255, 255, 255, hover ? 60 : 38), 1));
        p.setBrush(Qt::NoBrush);
        p.setClipRect(QRectF(inner.left(), inner.top(), inner.width(), inner.height() / 2));
        p.drawRoundedRect(inner, innerRadius, innerRadius);
        p.setClipping(false);
    }
    if (hasFocus()) {
        p.setPen(QPen(QColor(Lit.red(), Lit.green(), Lit.blue(), 210), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(inner, innerRadius, innerRadius);
    }

    // The symbol takes a little over half the height, leaving the button room to look like one.
    const qreal glyphHeight = std::max(6.0, std::round(height() * 0.56));
    const qreal glyphWidth = std::max(6.0, width() - std::max(6.0, height() * 0.3));
    QRectF glyphBox(0, 0, glyphWidth, glyphHeight);
    glyphBox.moveCenter(QRectF(rect()).center());
    if (down)
        glyphBox.translate(0, 1);
    p.setFont(font());
    Glyphs::paint(p, glyphBox, text(), look.glyph);
}
