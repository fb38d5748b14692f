#pragma once

#include <QImage>
#include <QRect>

#include <memory>

class QWidget;

// A strip that scrolls through one long drawn line, kept by the X server. The line is sent once when
// it changes; a step is then one copy request inside the server, with no painting and no pixels on
// the wire: what an idle player pays twice a second comes down to a timer and a few bytes. Elsewhere
// (Wayland, an X server without the needed depth) there is no such strip, and the widget paints.
class ServerStrip {
public:
    // For a native widget that Qt does not paint; null where the server cannot keep the line.
    static std::unique_ptr<ServerStrip> create(QWidget *strip);
    virtual ~ServerStrip() = default;

    // The window it draws into: a change of the window's flags gives the widget a new one.
    virtual quintptr window() const = 0;
    // The line, in device pixels, as high as the strip.
    virtual bool setLine(const QImage &line) = 0;
    // Shows width pixels of the line from x on at left in the strip, and black everywhere else.
    virtual void show(int x, int width, int left) = 0;
};
