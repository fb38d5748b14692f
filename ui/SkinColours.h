#pragma once

#include <QColor>
#include <QString>

// The skin's colours, each written once; every window, button and picture that wears one takes it
// from here. The fonts have their own table (Fonts.h).
namespace SkinColours {

// The device face: a blue-grey graphite, lighter at the top as if lit from above.
inline const QColor FaceTop(0x46, 0x4f, 0x5c);
inline const QColor FaceMiddle(0x33, 0x3a, 0x45);
inline const QColor FaceBottom(0x23, 0x28, 0x30);
inline const QColor Edge(0x09, 0x0b, 0x0e);
inline const QColor LabelText(0xdc, 0xe4, 0xec);
inline const QColor QuietText(0xa9, 0xb5, 0xc2);
// The lit green of the displays, the switches that are on and a pressed button.
inline const QColor Lit(0x7c, 0xfc, 0x7c);
// The displays behind the marquee and the time.
inline const QColor Display(Qt::black);
// The about box's blue, and the mark's glass.
inline const QColor AboutBlue(0x11, 0x7e, 0xd9);

// A colour as a style sheet names it.
inline QString css(const QColor &colour)
{
    return colour.name();
}

} // namespace SkinColours
