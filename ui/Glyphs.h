#pragma once

#include <QColor>
#include <QPixmap>
#include <QRectF>
#include <QString>

#include <functional>

class QPainter;

// The button captions are characters of symbol fonts (Webdings, Wingdings) that a free system does
// not have. The logic keeps reading and writing those characters, so they stay the captions; only
// their drawing is replaced by vector symbols drawn here.
namespace Glyphs {

// True when the caption is one of the symbol characters drawn as a picture.
bool hasGlyph(const QString &caption);

// Draws the caption's symbol, as large as fits and centred in box, in one colour. A caption without
// a symbol is drawn as text in the painter's font, so a button never shows nothing.
void paint(QPainter &painter, const QRectF &box, const QString &caption, const QColor &colour);

// The window's own title bar marks.
enum class Mark { Minimise, Close };
void paintMark(QPainter &painter, const QRectF &box, Mark mark, const QColor &colour);

// A transparent pixmap of a logical size, drawn antialiased at a device pixel ratio so that it stays
// sharp on a high-density screen.
QPixmap render(QSize size, qreal devicePixelRatio,
               const std::function<void(QPainter &, const QRectF &)> &draw);

} // namespace Glyphs
