#include "ui/Skin.h"

#include "ui/Glyphs.h"
#include "ui/frmMain.h"

#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSlider>

namespace Skin {

namespace {

const QColor Face(0x3a, 0x40, 0x48);
const QColor FaceDark(0x22, 0x26, 0x2c);
const QColor LabelText(0xd8, 0xde, 0xe4);
const QColor Lit(0x7c, 0xfc, 0x7c);

void lightText(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, LabelText);
    widget->setPalette(palette);
}

QString sliderSheet()
{
    return QStringLiteral(
        "QSlider::groove:horizontal { height: 4px; border-radius: 2px; background: #15181c;"
        " border: 1px solid #0d0f12; }"
        "QSlider::sub-page:horizontal { border-radius: 2px; background: #4f9a5a; }"
        "QSlider::handle:horizontal { width: 9px; margin: -4px 0; border-radius: 4px;"
        " border: 1px solid #0d0f12;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e8edf2, stop:1 #8d959e); }"
        "QSlider::handle:horizontal:hover { background: #ffffff; }"
        "QSlider:focus { outline: none; }");
}

} // namespace

void apply(frmMain &window)
{
    for (QLabel *label : {window.Label3(), window.LabVol(), window.LabBal(), window.Label2(), window.txtFN()})
        lightText(label);
    for (QSlider *slider : {window.scrlVol(), window.scrlBal(), window.scrlTime()})
        slider->setStyleSheet(sliderSheet());
}

void paintWindow(QPainter &painter, const QRect &rect)
{
    painter.save();
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0, Face);
    fill.setColorAt(1, FaceDark);
    painter.fillRect(rect, fill);
    painter.restore();
}

void paintPanel(QPainter &painter, const QRect &rect)
{
    painter.save();
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0, FaceDark);
    fill.setColorAt(1, Face);
    painter.fillRect(rect, fill);
    painter.restore();
}

void paintAbout(QPainter &painter, const QRect &rect)
{
    painter.fillRect(rect, QColor(0xf0, 0xf0, 0xf0));
}

QPixmap logo(QSize size, qreal devicePixelRatio)
{
    return Glyphs::render(size, devicePixelRatio, [](QPainter &p, const QRectF &box) {
        p.setPen(Qt::NoPen);
        p.setBrush(FaceDark);
        p.drawRoundedRect(box, 6, 6);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        font.setPixelSize(static_cast<int>(box.height() * 0.5));
        p.setFont(font);
        p.setPen(Lit);
        p.drawText(box, Qt::AlignCenter, QStringLiteral("Qwelto Player"));
    });
}

QIcon menuPicture(MenuPicture which)
{
    static const char *const captions[] = {"9", "4", ";", "<", ":", "1", "1", "1", "1", "r"};
    const QString caption = QLatin1String(captions[static_cast<int>(which)]);
    QIcon icon;
    for (const qreal dpr : {1.0, 2.0})
        icon.addPixmap(Glyphs::render(QSize(16, 16), dpr, [&](QPainter &p, const QRectF &box) {
            Glyphs::paint(p, box.adjusted(2, 3, -2, -3), caption, QColor(0x2b, 0x2f, 0x35));
        }));
    return icon;
}

} // namespace Skin
