#include "ui/frmAbout.h"
#include "ui/SkinColours.h"

#include "ui/AppIcon.h"
#include "ui/Fonts.h"
#include "ui/Skin.h"
#include "ui/Twips.h"
#include "ui/WindowShape.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {

// Design size of the client area, in twips.
constexpr int ClientWidth = 6390;
constexpr int ClientHeight = 3735;

// The box's blue: its background, and the frame's border and text.
const QColor &Blue = SkinColours::AboutBlue;

// Height of the blue band that carries the heading, in twips.
constexpr int HeadingBand = 285;

// The frame over the whole box: a blue border, wider at the top where the heading is written on it,
// around the skin's face.
class BlueFrame : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Blue);
        Skin::paintAbout(painter, rect().adjusted(3, Twips::toPixelsY(HeadingBand, this), -3, -3));
    }
};

QLabel *label(QWidget *parent, const char *name, const QString &text, const QFont &font)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setFont(font);
    return l;
}

const char *const Heading = "Qwelto Software \u00a9 2004 \u2014 A Propos de Qwelto Player 2.0";

const char *const Presentation =
    "Qwelto Player est un lecteur multimédia gratuit et léger. Il lit la plupart des formats "
    "courants \u2014 mp3, dvix, dvd, vcd, asf, avi \u2014 et intègre un module d'effets sonores et "
    "visuels pour régler le son et l'image à votre goût.";

const char *const Credits = "Société et auteur : Qwelto Software, 2004\n"
                            "Conçu et écrit par l'équipe Qwelto Player\n"
                            "Site : qwelto.example\n"
                            "Qwelto Player est une marque de Qwelto Software.";

} // namespace

frmAbout::frmAbout() : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    WindowShape::prepareRounded(this);
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(AppIcon::mainWindow());
    setAccessibleName(QStringLiteral("À propos de Qwelto Player"));
    QPalette blue = palette();
    blue.setColor(QPalette::Window, Blue);
    setPalette(blue);
    setAutoFillBackground(true);
    setFixedSize(Twips::toPixels(QSize(ClientWidth, ClientHeight), this));

    m_QweltoFrm1 = new BlueFrame(this);
    m_QweltoFrm1->setObjectName(QStringLiteral("QweltoFrm1"));
    Twips::place(m_QweltoFrm1, 0, 0, 6375, 3735);

    // The shadow first, so that the white heading is drawn over it.
    for (int i : {0, 1}) {
        QLabel *heading =
            label(this, i == 0 ? "Label4_0" : "Label4_1", QString::fromUtf8(Heading), Fonts::verdana(8.25));
        QPalette palette = heading->palette();
        palette.setColor(QPalette::WindowText, i == 0 ? QColor(0x20, 0x24, 0x2a) : QColor(Qt::white));
        heading->setPalette(palette);
        Twips::place(heading, 480, i == 0 ? 45 : 15, 4890, 195);
        m_Label4.at(static_cast<std::size_t>(i)) = heading;
    }
    m_Label4[0]->setAccessibleName(QStringLiteral("Titre"));

    m_Shape1 = new QFrame(this);
    m_Shape1->setObjectName(QStringLiteral("Shape1"));
    m_Shape1->setStyleSheet(QStringLiteral("QFrame#Shape1 { border: 1px solid ") + SkinColours::css(Blue) +
                            QStringLiteral("; border-radius: 6px; background: transparent; }"));
    Twips::place(m_Shape1, 1190, 350, 4520, 690);

    m_imgIcon = label(this, "imgIcon", QString(), font());
    m_imgIcon->setAccessibleName(QStringLiteral("Logo de Qwelto Player"));
    Twips::place(m_imgIcon, 1200, 360, 4485, 660);
    m_imgIcon->setPixmap(Skin::logo(m_imgIcon->size(), devicePixelRatioF()));

    m_Label1 = label(this, "Label1", QStringLiteral("Version : 2.0"), Fonts::verdana(6.75));
    Twips::place(m_Label1, 4680, 1080, 990, 180);

    m_Label2 = label(this, "Label2", QString::fromUtf8(Presentation), Fonts::verdana(7.5));
    m_Label2->setWordWrap(true);
    Twips::place(m_Label2, 120, 1440, 6255, 975);

    m_Label3 = label(this, "Label3", QString::fromUtf8(Credits), Fonts::verdana(6.75));
    m_Label3->setWordWrap(true);
    Twips::place(m_Label3, 120, 2450, 6375, 855);

    m_cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    m_cmdOk->setObjectName(QStringLiteral("cmdOk"));
    m_cmdOk->setAccessibleName(QStringLiteral("Fermer la fenêtre À propos"));
    m_cmdOk->setFont(Fonts::verdana(6.75));
    m_cmdOk->setDefault(true);
    Twips::place(m_cmdOk, 2760, 3240, 1215, 375);
}

void frmAbout::Form_Load()
{
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect centred(QPoint(0, 0), size());
        centred.moveCenter(screen->availableGeometry().center());
        move(centred.topLeft());
    }
    show();
    WindowShape::applyRounded(this, CornerEllipse);
}
