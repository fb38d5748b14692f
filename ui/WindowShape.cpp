#include "ui/WindowShape.h"

#include "ui/PlatformLimits.h"

#include <QBitmap>
#include <QPainter>
#include <QWidget>

namespace WindowShape {

namespace {

QBitmap roundedMask(QSize size, int cornerEllipse)
{
    // A bitmap mask rather than a polygon region: the corners are then cut pixel for pixel the way
    // an ellipse of that size would cut them, with no anti-aliasing fringe.
    QBitmap mask(size);
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawRoundedRect(QRect(QPoint(0, 0), size), cornerEllipse / 2.0, cornerEllipse / 2.0);
    painter.end();
    return mask;
}

// Sits over one corner of a translucent window, above every control, and wipes to transparent what
// the window and its controls painted outside the rounded shape. It takes no mouse.
class CornerEraser final : public QWidget {
public:
    explicit CornerEraser(QWidget *window) : QWidget(window)
    {
        setObjectName(QStringLiteral("qweltoCornerEraser"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }
    // The part of the corner outside the shape, in this widget's coordinates.
    QRegion outside;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        for (const QRect &r : outside)
            painter.fillRect(r, Qt::transparent);
    }
};

} // namespace

void prepareRounded(QWidget *window)
{
    if (!PlatformLimits::masksShapeOutput())
        window->setAttribute(Qt::WA_TranslucentBackground);
}

void applyRounded(QWidget *window, int cornerEllipse)
{
    const QSize size = window->size();
    if (size.isEmpty())
        return;
    const QBitmap mask = roundedMask(size, cornerEllipse);
    const bool translucent = window->testAttribute(Qt::WA_TranslucentBackground);
    // On X a mask also clips what the window paints, the erasers' work included; on Wayland it only
    // shapes where the window takes the mouse.
    if (!translucent || PlatformLimits::isWayland())
        window->setMask(mask);
    if (translucent) {
        const QRegion outside = QRegion(QRect(QPoint(0, 0), size)) - QRegion(mask);
        QList<CornerEraser *> erasers;
        for (QObject *child : window->children())
            if (auto *eraser = dynamic_cast<CornerEraser *>(child))
                erasers << eraser;
        while (erasers.size() < 4)
            erasers << new CornerEraser(window);
        const int side = cornerEllipse / 2 + 1;
        const QPoint corners[] = {{0, 0},
                                  {size.width() - side, 0},
                                  {0, size.height() - side},
                                  {size.width() - side, size.height() - side}};
        for (int i = 0; i < 4; ++i) {
            CornerEraser *eraser = erasers.at(i);
            const QRect box(corners[i], QSize(side, side));
            eraser->setGeometry(box);
            eraser->outside = (outside & box).translated(-box.topLeft());
            eraser->show();
            eraser->raise();
            eraser->update();
        }
    }
    window->update();
}

} // namespace WindowShape
