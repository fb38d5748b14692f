#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <memory>

class QWidget;
class QWindow;
struct wl_display;
struct wl_surface;
struct WaylandPictureGlobals;

// On Wayland, a surface of the program's own for the video sink to draw into. A sink keeps the
// surface it is given for its whole life, while Qt makes a new surface each time a window is shown
// again, and full screen is another window. So the sink gets this one surface, and this surface is
// hung as a sub-surface of whichever window shows the picture, over the widget that holds it.
// Being the compositor's to draw, the picture keeps moving while the UI thread is busy.
class WaylandPictureSurface : public QObject {
    Q_OBJECT
public:
    // Null off Wayland, or when the compositor lacks sub-surfaces or shared memory.
    static std::unique_ptr<WaylandPictureSurface> create();
    ~WaylandPictureSurface() override;

    wl_surface *surface() const;
    // Qt's own connection: the sink must use it to be allowed into Qt's windows.
    wl_display *display() const;

    // Device pixels per unit of the surface of the widget's window: the compositor's own scale, not
    // Qt's (QT_SCALE_FACTOR), which the compositor never hears of.
    static qreal pixelsPerUnit(const QWidget *widget);

    // Hangs the surface at the top left corner of the widget; null (or a hidden widget) takes it down.
    // Called again whenever the widget may have moved.
    void placeOver(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WaylandPictureSurface() = default;
    void takeDown();

    std::unique_ptr<WaylandPictureGlobals> m_wl;
    QPointer<QWidget> m_widget;
    QPointer<QWidget> m_top;
    QPointer<QWindow> m_window;
    wl_surface *m_parent = nullptr;
    QPoint m_position;
};
