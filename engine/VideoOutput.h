#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <memory>

class FullScreenWindow;
class WaylandPictureSurface;

// Where the picture goes: a native child window inside the engine area, sized for the display
// mode, or a full-screen window of its own with an optional control bar. On Wayland the target is
// one surface of the program's own, hung over that place in whichever window holds it. It knows nothing of
// the pipeline; the engine follows target() and targetSize() whenever targetChanged() fires.
class VideoOutput : public QObject {
    Q_OBJECT
public:
    explicit VideoOutput(QWidget *area);
    ~VideoOutput() override;

    // Display size of the loaded picture (pixel aspect applied); empty when there is none.
    void setPictureSize(const QSize &size);
    // One of MediaEngine::DisplayMode. Native also gives the area the picture's own size.
    void setMode(int mode);
    void setControlsVisible(bool on);
    void setPlaying(bool playing);

    // Native window the picture must be drawn into (created on first use); 0 once the area is gone.
    // On Wayland a wl_surface, the same for the output's whole life.
    WId target();
    // Qt's wl_display on Wayland, null elsewhere.
    void *waylandDisplay() const;
    // Size of that window in device pixels, empty while no picture is shown.
    QSize targetSize() const;

    QWidget *fullScreenWindow() const;
    // Device pixels per unit of the surface the sink draws on (its render rectangle's units).
    qreal pixelsPerSurfaceUnit() const;

signals:
    void targetChanged();
    void exposeNeeded();
    // The engine area is being destroyed with our window in it: drawing must stop now.
    void areaLost();
    void leaveFullScreenRequested();
    void playPauseRequested();
    void stopRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *activeSurface() const;
    void layout();
    void layoutFullScreen();
    void enterFullScreen();

    QPointer<QWidget> m_area;
    std::unique_ptr<WaylandPictureSurface> m_wayland;
    QPointer<QWidget> m_surface;
    FullScreenWindow *m_fullScreen = nullptr;
    QSize m_picture;
    int m_mode = 0;
    bool m_controls = false;
    bool m_playing = false;
    WId m_lastTarget = 0;
    QSize m_lastSize;
};
