#include "app/frmSplash.h"

#include "app/SplashPicture.h"
#include "ui/Twips.h"
#include "ui/WindowShape.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int ClientWidth = 5175;
constexpr int ClientHeight = 3420;
constexpr int CornerEllipse = 20;

// Verdana is seldom installed on Linux; DejaVu Sans was drawn from the same family of wide screen faces.
QFont verdana(double points)
{
    QFont font(QStringLiteral("Verdana"));
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(points);
    return font;
}

} // namespace

frmSplash::frmSplash()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), m_image(new SplashPicture(this)),
      m_label1(new QLabel(this)), m_bar(new QProgressBar(this)), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("frmSplash"));
    WindowShape::prepareRounded(this);
    setAccessibleName(QStringLiteral("Qwelto Player démarre"));
    setFixedSize(Twips::toPixels(QSize(ClientWidth, ClientHeight), this));

    m_image->setObjectName(QStringLiteral("Image1"));
    Twips::place(m_image, -20, 0, 5250, 3480);

    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setText(QStringLiteral("Chargement en cours ..."));
    m_label1->setFont(verdana(6.75));
    m_label1->setStyleSheet(QStringLiteral("color: #d8f5e0; background: transparent;"));
    Twips::place(m_label1, 1560, 1920, 1785, 180);

    m_bar->setObjectName(QStringLiteral("Bar"));
    m_bar->setAccessibleName(QStringLiteral("Chargement"));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setFont(verdana(8.25));
    m_bar->setStyleSheet(QStringLiteral("QProgressBar { background: white; border: 1px solid #0a5c2e; }"
                                        "QProgressBar::chunk { background: #3cd070; }"));
    Twips::place(m_bar, 720, 2160, 3255, 255);

    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(TickInterval);
    connect(m_timer, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
}

void frmSplash::Form_Load()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    WindowShape::applyRounded(this, CornerEllipse);
    m_timer->start();
}

void frmSplash::Timer1_Timer()
{
    if (m_barValue < 100) {
        m_barValue += Step;
        m_bar->setValue(std::min(m_barValue, 100));
        return;
    }
    m_timer->stop();
    close();
    Q_EMIT handOver();
}
