#include "engine/VideoOutput.h"

#include "engine/MediaEngine.h"
#include "engine/WaylandPictureSurface.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include <functional>

namespace {

// On X the sink draws straight into this window. Qt must neither fill its background nor flush a
// backing store over it, or the picture would flicker; a repaint request becomes a redraw of the
// last frame by the sink instead. On Wayland it stays an ordinary black widget that only marks the
// place the picture's own surface is hung over.
class VideoSurface final : public QWidget {
public:
    VideoSurface(QWidget *parent, bool native) : QWidget(parent), m_native(native)
    {
        setObjectName(QStringLiteral("qweltoVideoSurface"));
        if (native) {
            setAttribute(Qt::WA_DontCreateNativeAncestors);
            setAttribute(Qt::WA_NativeWindow);
            setAttribute(Qt::WA_PaintOnScreen);
            setAttribute(Qt::WA_NoSystemBackground);
            setAttribute(Qt::WA_OpaquePaintEvent);
        } else {
            QPalette black = palette();
            black.setColor(QPalette::Window, Qt::black);
            setPalette(black);
            setAutoFillBackground(true);
        }
        hide();
    }
    ~VideoSurface() override
    {
        // Runs before QWidget destroys the native window, while the sink may still be drawing in it.
        if (beforeDestroy)
            beforeDestroy();
    }

    QPaintEngine *paintEngine() const override { return m_native ? nullptr : QWidget::paintEngine(); }

    std::function<void()> onExpose;
    std::function<void()> beforeDestroy;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        if (!m_native)
            return QWidget::paintEvent(event);
        if (onExpose)
            onExpose();
    }

private:
    bool m_native;
};

QRect fittedKeepingAspect(const QSize &picture, const QRect &bounds)
{
    if (picture.isEmpty() || bounds.isEmpty())
        return {};
    const QSize size = picture.scaled(bounds.size(), Qt::KeepAspectRatio);
    QRect r(QPoint(0, 0), size);
    r.moveCenter(bounds.center());
    return r;
}

// Restacking windows means nothing to the offscreen platform, which only warns about it.
bool canRestack()
{
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}

QToolButton *makeButton(QWidget *parent, const char *name, QStyle::StandardPixmap icon, const QString &tip)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    // Keys stay with the window, so Escape always leaves full screen.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

class FullScreenWindow final : public QWidget {
public:
    explicit FullScreenWindow(bool nativeSurface) : QWidget(nullptr, Qt::Window)
    {
        setObjectName(QStringLiteral("qweltoFullScreen"));
        setWindowTitle(QStringLiteral("Plein écran"));
        setAttribute(Qt::WA_QuitOnClose, false);
        QPalette black = palette();
        black.setColor(QPalette::Window, Qt::black);
        setPalette(black);
        setAutoFillBackground(true);
        setFocusPolicy(Qt::StrongFocus);

        surface = new VideoSurface(this, nativeSurface);

        // Native, like the surface, so that it stacks above the picture instead of under it.
        bar = new QWidget(this);
        bar->setObjectName(QStringLiteral("qweltoFullScreenControls"));
        bar->setAttribute(Qt::WA_DontCreateNativeAncestors);
        bar->setAttribute(Qt::WA_NativeWindow);
        // The ordinary light palette, not the black one of the window, so the icons show.
        const QPalette standard = bar->style()->standardPalette();
        QPalette light = bar->palette();
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                light.setColor(group, static_cast<QPalette::ColorRole>(role),
                               standard.color(group, static_cast<QPalette::ColorRole>(role)));
        bar->setPalette(light);
        bar->setAutoFillBackground(true);
        auto *row = new QHBoxLayout(bar);
        row->setContentsMargins(6, 4, 6, 4);
        playPause = makeButton(bar, "playPause", QStyle::SP_MediaPause, QStringLiteral("Pause"));
        stop = makeButton(bar, "stop", QStyle::SP_MediaStop, QStringLiteral("Arrêt"));
        leave = makeButton(bar, "leaveFullScreen", QStyle::SP_TitleBarNormalButton,
                           QStringLiteral("Quitter le plein écran"));
        row->addWidget(playPause);
        row->addWidget(stop);
        row->addWidget(leave);
        bar->hide();
    }

    void showPlaying(bool playing)
    {
        playPause->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
        const QString tip = playing ? QStringLiteral("Pause") : QStringLiteral("Lecture");
        playPause->setToolTip(tip);
        playPause->setAccessibleName(tip);
    }

    VideoSurface *surface;
    QWidget *bar;
    QToolButton *playPause;
    QToolButton *stop;
    QToolButton *leave;
    std::function<void()> onLeave;
    std::function<void()> onResize;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape) {
            onLeave();
            return;
        }
        QWidget::keyPressEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent *) override { onLeave(); }
    void closeEvent(QCloseEvent *event) override
    {
        // Closing the full-screen window means going back to the video window, not losing it.
        event->ignore();
        onLeave();
    }
    void resizeEvent(QResizeEvent *) override { onResize(); }
};

VideoOutput::VideoOutput(QWidget *area) : m_area(area)
{
    if (!area)
        return;
    m_wayland = WaylandPictureSurface::create();
    auto *surface = new VideoSurface(area, !m_wayland);
    surface->onExpose = [this] { emit exposeNeeded(); };
    surface->beforeDestroy = [this] {
        // Forget the dying window before anyone lays it out again.
        m_surface = nullptr;
        m_lastTarget = 0;
        emit areaLost();
    };
    m_surface = surface;
    area->installEventFilter(this);
}

VideoOutput::~VideoOutput()
{
    if (m_wayland)
        m_wayland->placeOver(nullptr);
    if (m_surface) {
        static_cast<VideoSurface *>(m_surface.data())->beforeDestroy = nullptr;
        delete m_surface.data();
    }
    delete m_fullScreen;
}

void VideoOutput::setPictureSize(const QSize &size)
{
    m_picture = size;
    layout();
}

void VideoOutput::setMode(int mode)
{
    const int before = m_mode;
    m_mode = mode;
    if (mode == MediaEngine::DisplayFullScreen && before != mode)
        enterFullScreen();
    else if (before == MediaEngine::DisplayFullScreen && mode != before && m_fullScreen)
        m_fullScreen->hide();
    // Back from full screen the area keeps the size it had before, whatever the mode it returns to.
    if (mode == MediaEngine::DisplayNative && before != MediaEngine::DisplayFullScreen && m_area &&
        !m_picture.isEmpty())
        m_area->resize(m_picture);
    layout();
}

void VideoOutput::setControlsVisible(bool on)
{
    m_controls = on;
    layout();
}

void VideoOutput::setPlaying(bool playing)
{
    m_playing = playing;
    if (m_fullScreen)
        m_fullScreen->showPlaying(playing);
}

QWidget *VideoOutput::activeSurface() const
{
    if (m_mode == MediaEngine::DisplayFullScreen && m_fullScreen)
        return m_fullScreen->surface;
    return m_surface;
}

WId VideoOutput::target()
{
    if (m_wayland)
        return reinterpret_cast<WId>(m_wayland->surface());
    QWidget *surface = activeSurface();
    if (!surface)
        return 0;
    // The top level first, as showing it would: asked first, the native surface's creation creates the
    // top level, which creates the surface again from inside, and Qt loses one of its two windows.
    surface->window()->winId();
    return surface->winId();
}

QSize VideoOutput::targetSize() const
{
    const QWidget *surface = activeSurface();
    if (!surface || !surface->isVisibleTo(surface->window()) || m_picture.isEmpty())
        return {};
    return surface->size() * surface->devicePixelRatio();
}

void *VideoOutput::waylandDisplay() const
{
    return m_wayland ? m_wayland->display() : nullptr;
}

qreal VideoOutput::pixelsPerSurfaceUnit() const
{
    const QWidget *surface = activeSurface();
    if (!surface)
        return 1.0;
    return m_wayland ? WaylandPictureSurface::pixelsPerUnit(surface) : surface->devicePixelRatio();
}

QWidget *VideoOutput::fullScreenWindow() const
{
    return m_fullScreen;
}

bool VideoOutput::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_area && event->type() == QEvent::Resize)
        layout();
    return QObject::eventFilter(watched, event);
}

void VideoOutput::enterFullScreen()
{
    if (!m_fullScreen) {
        m_fullScreen = new FullScreenWindow(!m_wayland);
        m_fullScreen->surface->onExpose = [this] { emit exposeNeeded(); };
        m_fullScreen->onLeave = [this] { emit leaveFullScreenRequested(); };
        m_fullScreen->onResize = [this] { layout(); };
        QObject::connect(m_fullScreen->playPause, &QToolButton::clicked, this,
                         [this] { emit playPauseRequested(); });
        QObject::connect(m_fullScreen->stop, &QToolButton::clicked, this, [this] { emit stopRequested(); });
        QObject::connect(m_fullScreen->leave, &QToolButton::clicked, this,
                         [this] { emit leaveFullScreenRequested(); });
    }
    m_fullScreen->showPlaying(m_playing);
    // Full screen on the screen the video window is on.
    QScreen *screen = m_area ? m_area->screen() : QGuiApplication::primaryScreen();
    if (screen)
        m_fullScreen->setGeometry(screen->geometry());
    m_fullScreen->showFullScreen();
    if (canRestack())
        m_fullScreen->raise();
    m_fullScreen->activateWindow();
    m_fullScreen->setFocus();
}

void VideoOutput::layoutFullScreen()
{
    if (!m_fullScreen)
        return;
    QRect bounds = m_fullScreen->rect();
    QWidget *bar = m_fullScreen->bar;
    if (m_controls) {
        bar->adjustSize();
        const QSize size = bar->sizeHint();
        bar->setGeometry(bounds.center().x() - size.width() / 2, bounds.bottom() - size.height() - 24,
                         size.width(), size.height());
        bar->show();
        if (canRestack())
            bar->raise();
        // On Wayland the picture's surface lies above everything the window draws: it keeps above the bar.
        if (m_wayland)
            bounds.setBottom(bar->geometry().top() - 8);
    } else {
        bar->hide();
    }
    const QRect picture = fittedKeepingAspect(m_picture, bounds);
    m_fullScreen->surface->setGeometry(picture);
    m_fullScreen->surface->setVisible(!picture.isEmpty());
}

void VideoOutput::layout()
{
    if (m_surface && m_area) {
        // The picture keeps to the part of the area the window shows: an area larger than the window
        // (native size in a smaller window) would otherwise show a corner of it on X, and on Wayland,
        // where a sub-surface is not clipped by its window, spill over the window's edges.
        const QRect bounds =
            m_area->rect() & QRect(m_area->mapFrom(m_area->window(), QPoint(0, 0)), m_area->window()->size());
        QRect r;
        if (m_mode == MediaEngine::DisplayNative) {
            // At its own size, centred; shrunk (keeping its shape) only when the area is smaller.
            QSize size = m_picture;
            if (size.width() > bounds.width() || size.height() > bounds.height())
                size = size.scaled(bounds.size(), Qt::KeepAspectRatio);
            r = QRect(QPoint(0, 0), size);
            r.moveCenter(bounds.center());
        } else {
            r = bounds;
        }
        m_surface->setGeometry(r);
        m_surface->setVisible(!m_picture.isEmpty() && !r.isEmpty());
    }
    if (m_mode == MediaEngine::DisplayFullScreen)
        layoutFullScreen();

    QWidget *surface = activeSurface();
    if (m_wayland)
        m_wayland->placeOver(surface);
    const WId target = m_wayland ? reinterpret_cast<WId>(m_wayland->surface())
                       : surface && surface->testAttribute(Qt::WA_WState_Created) ? surface->winId()
                                                                                  : 0;
    const QSize size = targetSize();
    if (target != m_lastTarget || size != m_lastSize) {
        m_lastTarget = target;
        m_lastSize = size;
        emit targetChanged();
    }
}
