#include "ui/frmPlayer.h"

#include "core/MediaKind.h"
#include "core/SharedState.h"
#include "ui/AppIcon.h"
#include "ui/Twips.h"
#include "ui/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QShowEvent>

namespace {

// Design sizes in twips.
constexpr int ClientWidth = 4245;
constexpr int ClientHeight = 3585;
constexpr int EngineAreaWidth = 4335;
constexpr int EngineAreaHeight = 3675;

} // namespace

frmPlayer::frmPlayer(VideoWindowHost &host, const EngineFactory &makeEngine)
    : QWidget(nullptr), m_host(host), m_engineArea(new QWidget(this))
{
    setObjectName(QStringLiteral("frmPlayer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    setWindowIcon(AppIcon::videoWindow());
    setAccessibleName(QStringLiteral("Fenêtre vidéo"));
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    m_engineArea->setObjectName(QStringLiteral("MediaPlayer1"));
    m_engineArea->setAccessibleName(QStringLiteral("Image de la vidéo"));
    m_engineArea->setGeometry(Twips::toPixels(0, 0, EngineAreaWidth, EngineAreaHeight, this));
    resize(Twips::toPixels(QSize(ClientWidth, ClientHeight), this));

    m_engine = makeEngine(m_engineArea);
    m_engine->setFullScreenLeftHandler([this] { returnFromFullScreen(); });
    Form_Initialize();
}

frmPlayer::~frmPlayer()
{
    // The engine goes first: it may still draw into the engine area, which dies with the window.
    m_engine.reset();
}

void frmPlayer::Form_Initialize()
{
    if (MediaKind::isAudioExtension(m_engine->FileName()))
        hide();
}

void frmPlayer::Form_Load()
{
    m_engine->setDisplaySize(m_host.fitChecked() ? MediaEngine::DisplayFit : MediaEngine::DisplayNative);
    const QString fileName = m_engine->FileName();
    if (fileName.isEmpty())
        return;
    if (MediaKind::of(fileName) != QLatin1String("MP3"))
        show();
    m_host.sharedState().CurrentIndex = m_host.playlistSelectedIndex();
    setWindowTitle(fileName);
}

void frmPlayer::Form_GotFocus()
{
    setWindowTitle(m_engine->FileName());
}

bool frmPlayer::keepsHidden() const
{
    return !MediaKind::isVideoExtension(m_engine->FileName());
}

void frmPlayer::Form_Paint()
{
    if (keepsHidden()) {
        // Hiding from inside a paint would cut the paint short; do it right after.
        QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
    }
    if (m_engine->DisplaySize() == MediaEngine::DisplayFullScreen && !isMinimized())
        QMetaObject::invokeMethod(this, &QWidget::showMinimized, Qt::QueuedConnection);
}

void frmPlayer::setVisible(bool visible)
{
    if (visible && m_engine && keepsHidden()) {
        QWidget::setVisible(false);
        return;
    }
    QWidget::setVisible(visible);
    if (visible && m_engine && m_engine->DisplaySize() == MediaEngine::DisplayFullScreen && !isMinimized())
        showMinimized();
}

void frmPlayer::returnFromFullScreen()
{
    // The window minimised itself for full screen.
    if (isMinimized())
        showNormal();
    if (isVisible() && QGuiApplication::platformName() != QLatin1String("offscreen"))
        raise();
}

void frmPlayer::Form_Resize()
{
    const int mode = m_engine->DisplaySize();
    if (m_host.fitChecked() && mode != MediaEngine::DisplayFit && mode != MediaEngine::DisplayFullScreen)
        m_engine->setDisplaySize(MediaEngine::DisplayFit);
    const double areaWidth = Twips::fromPixelsX(width(), this) - EngineAreaMargin;
    const double areaHeight = Twips::fromPixelsY(height(), this) - EngineAreaMargin;
    m_engineArea->setGeometry(0, 0, std::max(0, Twips::toPixelsX(areaWidth, this)),
                              std::max(0, Twips::toPixelsY(areaHeight, this)));
}

void frmPlayer::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_GotFocus();
    QWidget::changeEvent(event);
}

void frmPlayer::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    Form_Paint();
}

void frmPlayer::showEvent(QShowEvent *event)
{
    // Placed before it is mapped, so it never appears elsewhere first; later shows keep where the user
    // put it.
    if (!m_shownBefore && !event->spontaneous()) {
        m_shownBefore = true;
        const QRect area = m_host.videoWindowArea();
        if (area.isValid())
            move(WindowPlacement::centred(area, frameGeometry().size()));
    }
    QWidget::showEvent(event);
}

void frmPlayer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}
