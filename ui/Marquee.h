#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

#include <memory>

class MarqueeStrip;
class QTextLayout;
class QTextLine;
class ServerStrip;

// The scrolling title: a lit line on a small black display with a rounded lip. It scrolls by one
// character a tick for as long as the player runs, so a step must cost next to nothing: the text is
// laid out once when it changes and drawn in pieces wider than the display, and a step only moves
// which part of that piece shows. The steps repaint an opaque strip inside the frame, so nothing
// behind the display (the skin, the frame itself) is drawn again. On X even that is left to the
// server, which keeps the drawn line and copies the part that shows.
class Marquee : public QWidget {
    Q_OBJECT
public:
    explicit Marquee(QWidget *parent = nullptr);
    ~Marquee() override;

    // The text as it reads now, from its first visible character.
    QString text() const;
    void setText(const QString &text);
    // Moves the first character to the end: the line scrolls left by one character.
    void scrollOneCharacter();

protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class MarqueeStrip;
    const QTextLine line();
    qreal textTop(const QSize &size) const;
    void paintStrip(QPainter &painter, const QSize &size);
    void showOnServer();
    void drawPiece(qreal from, qreal width, const QSize &size, qreal devicePixelRatio);
    void forgetDrawing();

    MarqueeStrip *m_strip;
    QString m_text;
    // The first visible character of m_text.
    qsizetype m_offset = 0;
    // The text twice over on one line: any rotation of it reads from some point on.
    std::unique_ptr<QTextLayout> m_layout;
    // A piece of that line as drawn, from m_pieceFrom (in the line's own units) on.
    QPixmap m_piece;
    qreal m_pieceFrom = 0;
    // On X: the server keeps the whole line, and a step is a copy inside the server.
    std::unique_ptr<ServerStrip> m_server;
    bool m_lineOnServer = false;
};
