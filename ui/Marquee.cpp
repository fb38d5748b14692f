#include "ui/Marquee.h"

#include "ui/ServerStrip.h"
#include "ui/SkinColours.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Between the frame's edge and the strip that scrolls: the border and the round of the corners
// across, the border alone down.
constexpr int InsetX = 3;
constexpr int InsetY = 1;
// Between the strip's edge and the text.
constexpr qreal TextMargin = 2;
// How much of the line a piece holds beyond what shows: a new piece is drawn every few dozen steps.
constexpr qreal PieceSlack = 512;

const QColor Lip(0x3a, 0x3f, 0x45);

} // namespace

// Opaque, so that a step repaints this strip alone and not what lies behind it.
class MarqueeStrip : public QWidget {
public:
    explicit MarqueeStrip(Marquee *marquee) : QWidget(marquee), m_marquee(marquee)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        // On X the strip is a window of its own that the server fills from the line it keeps.
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            setAttribute(Qt::WA_DontCreateNativeAncestors);
            setAttribute(Qt::WA_NativeWindow);
            setAttribute(Qt::WA_PaintOnScreen);
        }
    }

    bool onServer() const { return testAttribute(Qt::WA_PaintOnScreen); }
    // Where the server cannot keep the line, the strip paints as any widget.
    void paintHere()
    {
        setAttribute(Qt::WA_PaintOnScreen, false);
        update();
    }

    QPaintEngine *paintEngine() const override { return onServer() ? nullptr : QWidget::paintEngine(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        // A grab draws into a picture of its own, through Qt.
        if (onServer() && !redirected(nullptr)) {
            m_marquee->showOnServer();
            return;
        }
        QPainter painter(this);
        m_marquee->paintStrip(painter, size());
    }

private:
    Marquee *m_marquee;
};

Marquee::Marquee(QWidget *parent) : QWidget(parent), m_strip(new MarqueeStrip(this)) {}

Marquee::~Marquee() = default;

QString Marquee::text() const
{
    return m_text.mid(m_offset) + m_text.left(m_offset);
}

void Marquee::setText(const QString &text)
{
    m_text = text;
    m_offset = 0;
    forgetDrawing();
}

void Marquee::scrollOneCharacter()
{
    if (m_text.size() < 2)
        return;
    m_offset = (m_offset + 1) % m_text.size();
    if (m_strip->onServer() && m_strip->isVisible())
        showOnServer();
    else
        m_strip->update();
}

void Marquee::forgetDrawing()
{
    m_layout.reset();
    m_piece = QPixmap();
    m_lineOnServer = false;
    m_strip->update();
}

const QTextLine Marquee::line()
{
    if (!m_layout) {
        m_layout = std::make_unique<QTextLayout>(m_text + m_text, font());
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        m_layout->setTextOption(option);
        m_layout->setCacheEnabled(true);
        m_layout->beginLayout();
        m_layout->createLine().setLineWidth(std::numeric_limits<int>::max() / 4);
        m_layout->endLayout();
    }
    return m_layout->lineAt(0);
}

qreal Marquee::textTop(const QSize &size) const
{
    // Centred down the strip as a line edit centres its line.
    return std::floor((size.height() - QFontMetricsF(font()).height() + 1) / 2);
}

void Marquee::showOnServer()
{
    if (m_server && m_server->window() != m_strip->internalWinId()) {
        m_server.reset();
        m_lineOnServer = false;
    }
    if (!m_server)
        m_server = ServerStrip::create(m_strip);
    if (!m_server) {
        m_strip->paintHere();
        return;
    }
    const qreal ratio = m_strip->devicePixelRatioF();
    const QSize size = m_strip->size();
    if (m_text.isEmpty()) {
        m_server->show(0, 0, 0);
        return;
    }
    const QTextLine text = line();
    if (!m_lineOnServer) {
        // The text twice over, so that every rotation of it is one run of the line.
        QImage image(static_cast<int>(std::ceil(text.naturalTextWidth() * ratio)) + 1,
                     qRound(size.height() * ratio), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(SkinColours::Display);
        QPainter painter(&image);
        painter.setPen(palette().color(QPalette::WindowText));
        m_layout->draw(&painter, QPointF(0, textTop(size)));
        painter.end();
        m_lineOnServer = m_server->setLine(image);
        if (!m_lineOnServer) {
            m_server.reset();
            m_strip->paintHere();
            return;
        }
    }
    const qreal from = text.cursorToX(static_cast<int>(m_offset));
    const qreal width = std::min(size.width() - TextMargin, text.cursorToX(static_cast<int>(m_text.size())));
    m_server->show(static_cast<int>(std::round(from * ratio)), static_cast<int>(std::round(width * ratio)),
                   static_cast<int>(std::round(TextMargin * ratio)));
}

void Marquee::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        forgetDrawing();
    QWidget::changeEvent(event);
}

void Marquee::resizeEvent(QResizeEvent *)
{
    m_strip->setGeometry(rect().adjusted(InsetX, InsetY, -InsetX, -InsetY));
    m_lineOnServer = false;
}

void Marquee::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Lip, 1));
    painter.setBrush(SkinColours::Display);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
}

void Marquee::paintStrip(QPainter &painter, const QSize &size)
{
    painter.fillRect(QRect(QPoint(), size), SkinColours::Display);
    if (m_text.isEmpty())
        return;
    const QTextLine text = line();
    const qreal from = text.cursorToX(static_cast<int>(m_offset));
    // Never more than one copy: a short text shows once, as it reads.
    const qreal width = std::min(size.width() - TextMargin, text.cursorToX(static_cast<int>(m_text.size())));
    if (width <= 0)
        return;
    const qreal ratio = painter.device()->devicePixelRatioF();
    const qreal pieceWidth = static_cast<qreal>(m_piece.width()) / ratio;
    if (m_piece.isNull() || m_piece.devicePixelRatioF() != ratio ||
        m_piece.height() != qRound(size.height() * ratio) || from < m_pieceFrom ||
        from + width > m_pieceFrom + pieceWidth)
        drawPiece(from, width, size, ratio);
    const qreal source = std::round((from - m_pieceFrom) * ratio);
    painter.drawPixmap(QPointF(TextMargin, 0), m_piece,
                       QRectF(source, 0, std::round(width * ratio), m_piece.height()));
}

void Marquee::drawPiece(qreal from, qreal width, const QSize &size, qreal ratio)
{
    m_pieceFrom = from;
    m_piece =
        QPixmap(static_cast<int>(std::ceil((width + PieceSlack) * ratio)), qRound(size.height() * ratio));
    m_piece.setDevicePixelRatio(ratio);
    m_piece.fill(SkinColours::Display);
    QPainter painter(&m_piece);
    painter.setPen(palette().color(QPalette::WindowText));
    m_layout->draw(&painter, QPointF(-from, textTop(size)));
}
