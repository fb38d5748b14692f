#include "app/SplashPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

void SplashPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();

    // Night-blue background with a soft green glow behind the title.
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(0x0c, 0x1a, 0x2e));
    sky.setColorAt(1, QColor(0x02, 0x06, 0x10));
    p.fillRect(r, sky);
    QRadialGradient glow(r.width() * 0.32, r.height() * 0.36, r.width() * 0.45);
    glow.setColorAt(0, QColor(0x3c, 0xd0, 0x70, 110));
    glow.setColorAt(1, QColor(0x3c, 0xd0, 0x70, 0));
    p.fillRect(r, glow);

    // A sound wave running across the lower half.
    QPainterPath wave;
    const double baseline = r.height() * 0.66;
    wave.moveTo(0, baseline);
    for (int x = 0; x <= r.width(); x += 3) {
        const double t = x / r.width();
        const double amplitude = r.height() * 0.08 * (0.3 + 0.7 * std::sin(t * 3.14159));
        wave.lineTo(x, baseline + amplitude * std::sin(t * 34.0));
    }
    p.setPen(QPen(QColor(0x9c, 0xf5, 0xb8, 150), 1.4));
    p.drawPath(wave);

    // Two quavers in front of the title.
    const double s = r.height() / 228.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3c, 0xd0, 0x70));
    p.drawEllipse(QRectF(34 * s, 88 * s, 16 * s, 12 * s));
    p.drawEllipse(QRectF(62 * s, 80 * s, 16 * s, 12 * s));
    p.drawRect(QRectF(46 * s, 44 * s, 4 * s, 50 * s));
    p.drawRect(QRectF(74 * s, 36 * s, 4 * s, 50 * s));
    QPainterPath beam;
    beam.moveTo(46 * s, 44 * s);
    beam.lineTo(78 * s, 36 * s);
    beam.lineTo(78 * s, 46 * s);
    beam.lineTo(46 * s, 54 * s);
    beam.closeSubpath();
    p.drawPath(beam);

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(static_cast<int>(34 * s));
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0xe8, 0xff, 0xee));
    p.drawText(QRectF(96 * s, 40 * s, r.width() - 100 * s, 44 * s), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Qwelto"));
    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setPixelSize(static_cast<int>(15 * s));
    p.setFont(subtitle);
    p.setPen(QColor(0x9c, 0xf5, 0xb8));
    p.drawText(QRectF(98 * s, 82 * s, r.width() - 100 * s, 22 * s), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Player 2.0"));
}
