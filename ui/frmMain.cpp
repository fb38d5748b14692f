#include "ui/frmMain.h"
#include "ui/SkinColours.h"

#include "ui/AppIcon.h"
#include "ui/ButtonMenu.h"
#include "ui/ClickableLabel.h"
#include "ui/EntryDelegate.h"
#include "ui/Fonts.h"
#include "ui/GlyphButton.h"
#include "ui/Glyphs.h"
#include "ui/Marquee.h"
#include "ui/PictureToggle.h"
#include "ui/Skin.h"
#include "ui/Twips.h"
#include "ui/WindowShape.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace {

using Fonts::courierNew;
using Fonts::msSansSerif;
using Fonts::tahoma;
using Fonts::verdana;

// Design sizes in twips.
constexpr int OuterWidth = 5145;
constexpr int OuterHeightWithPlaylist = 5700;
constexpr int OuterHeightFolded = 1880;

template <typename W> W *named(W *widget, const char *name, const QString &accessibleName = {})
{
    widget->setObjectName(QLatin1String(name));
    if (!accessibleName.isEmpty())
        widget->setAccessibleName(accessibleName);
    return widget;
}

QSlider *slider(QWidget *parent, const char *name, int maximum, int value, const QString &accessibleName)
{
    auto *s = named(new QSlider(Qt::Horizontal, parent), name, accessibleName);
    s->setRange(0, maximum);
    s->setValue(value);
    s->setPageStep(1);
    return s;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QString &accessibleName)
{
    auto *b = named(new QPushButton(caption, parent), name, accessibleName);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

// The symbol-font buttons: their caption is a character that GlyphButton draws as a symbol.
QPushButton *glyphButton(QWidget *parent, const char *name, const QString &caption,
                         const QString &accessibleName)
{
    auto *b = named(new GlyphButton(caption, parent), name, accessibleName);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

PictureToggle *toggle(QWidget *parent, PictureToggle::Kind kind, const char *name, const QString &tooltip)
{
    auto *c = named(new PictureToggle(kind, parent), name, tooltip);
    c->setToolTip(tooltip);
    return c;
}

// Sliders whose click sets the value under the mouse at once (and goes on as a drag).
class JumpToClickStyle : public QProxyStyle {
public:
    explicit JumpToClickStyle(QObject *owner) : QProxyStyle(nullptr) { setParent(owner); }
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The playlist panel: a picture box with a background of its own.
class PanelPicture : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        Skin::paintPanel(painter, rect());
    }
    // The panel takes its own clicks: they neither drag the window nor open the window's menu.
    void mousePressEvent(QMouseEvent *event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent *event) override { event->accept(); }
};

QAction *menuItem(QMenu *menu, const char *name, const char *caption)
{
    QAction *action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QLatin1String(name));
    return action;
}

// The time display's colour: a green lit display on black.
const QColor &DisplayGreen = SkinColours::Lit;

// Text lit on the black display.
void lightUp(QWidget *label)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, DisplayGreen);
    label->setPalette(palette);
}

void showMark(ClickableLabel *label, Glyphs::Mark mark)
{
    label->setAlignment(Qt::AlignCenter);
    label->setPixmap(
        Glyphs::render(label->size(), label->devicePixelRatioF(), [mark](QPainter &p, const QRectF &box) {
            Glyphs::paintMark(p, box, mark, QColor(0x2b, 0x2f, 0x35));
        }));
}

} // namespace

frmMain::frmMain() : QWidget(nullptr)
{
    setObjectName(QStringLiteral("frmMain"));
    // The skin is the frame: the window draws its own title strip, minimise and close marks, and is
    // moved by its background. A frameless top-level window keeps its taskbar button.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    WindowShape::prepareRounded(this);
    setWindowIcon(AppIcon::mainWindow());
    setWindowTitle(QString());
    setAccessibleName(QStringLiteral("Qwelto Player"));
    setFixedSize(Twips::toPixels(QSize(OuterWidth, OuterHeightWithPlaylist), this));

    createTopArea();
    createPlaylistPanel();
    createMenus();
    Skin::apply(*this);

    // The heartbeat runs from the window's creation to its closing.
    m_tmrAnimate = new QTimer(this);
    m_tmrAnimate->setObjectName(QStringLiteral("tmrAnimate"));
    m_tmrAnimate->setInterval(TickInterval);
}

void frmMain::createTopArea()
{
    m_Label3 = named(new QLabel(QStringLiteral("Qwelto Player 2.0"), this), "Label3");
    m_Label3->setFont(verdana(6.75));
    Twips::place(m_Label3, 900, 45, 3615, 180);

    m_cmdAbt = button(this, "cmdAbt", QStringLiteral("?"), QStringLiteral("À propos"));
    m_cmdAbt->setFont(msSansSerif(8.25, true));
    QPalette about = m_cmdAbt->palette();
    about.setColor(QPalette::ButtonText, QColor(0x00, 0x00, 0xe0));
    m_cmdAbt->setPalette(about);
    Twips::place(m_cmdAbt, 120, 75, 255, 255);

    m_Minimised = named(new ClickableLabel(this), "Minimised", QStringLiteral("Réduire"));
    m_Minimised->setToolTip(QStringLiteral("Réduire"));
    Twips::place(m_Minimised, 4680, 75, 135, 135);
    showMark(m_Minimised, Glyphs::Mark::Minimise);
    m_Closed = named(new ClickableLabel(this), "Closed", QStringLiteral("Fermer"));
    m_Closed->setToolTip(QStringLiteral("Fermer"));
    Twips::place(m_Closed, 4875, 75, 135, 135);
    showMark(m_Closed, Glyphs::Mark::Close);

    m_txtTitle = named(new Marquee(this), "txtTitle", QStringLiteral("Titre en cours"));
    m_txtTitle->setFont(verdana(6.75));
    lightUp(m_txtTitle);
    m_txtTitle->setText(QStringLiteral("Qwelto Player 2.0 - le petit lecteur de listes de lecture -   "));
    // The marquee is part of the skin: a right click there opens the window's own menu and a drag
    // moves the window.
    m_txtTitle->setAttribute(Qt::WA_TransparentForMouseEvents);
    Twips::place(m_txtTitle, 1545, 270, 3345, 210);

    m_Shape1 = named(new QFrame(this), "Shape1");
    m_Shape1->setStyleSheet(QStringLiteral(
        "QFrame#Shape1 { background-color: black; border: 1px solid #3a3f45; border-radius: 6px; }"));
    Twips::place(m_Shape1, 60, 480, 1410, 495);

    m_lblpls = named(new QLabel(QStringLiteral("+"), this), "lblpls");
    m_lblpls->setAlignment(Qt::AlignCenter);
    lightUp(m_lblpls);
    Twips::place(m_lblpls, 75, 450, 105, 195);

    m_lblTime = named(new ClickableLabel(QStringLiteral("00:00:00"), this), "lblTime",
                      QStringLiteral("Temps écoulé ou restant"));
    m_lblTime->setFont(courierNew(14.25, true));
    m_lblTime->setAlignment(Qt::AlignCenter);
    lightUp(m_lblTime);
    Twips::place(m_lblTime, 120, 525, 1335, 330);
    // It lies wholly on the black display: filled, it is opaque, and a new time repaints the label
    // alone, not the display and the skin behind it. The sign overlaps its corner and must show
    // through: a widget above an opaque one would have it repainted from the window down again.
    QPalette time = m_lblTime->palette();
    time.setColor(QPalette::Window, SkinColours::Display);
    m_lblTime->setPalette(time);
    m_lblTime->setAutoFillBackground(true);
    m_lblTime->setMask(QRegion(m_lblTime->rect()) - m_lblpls->geometry().translated(-m_lblTime->pos()));

    m_lblDuration =
        named(new QLabel(QStringLiteral("00:00:00"), this), "lblDuration", QStringLiteral("Durée"));
    m_lblDuration->setFont(courierNew(8.25));
    lightUp(m_lblDuration);
    Twips::place(m_lblDuration, 480, 735, 840, 210);

    m_LabVol = named(new QLabel(QStringLiteral("Volume : 10"), this), "LabVol");
    m_LabVol->setFont(verdana(6.75));
    Twips::place(m_LabVol, 1800, 540, 930, 180);
    m_scrlVol = slider(this, "scrlVol", 10, 10, QStringLiteral("Volume"));
    Twips::place(m_scrlVol, 1560, 720, 1455, 135);

    m_LabBal = named(new QLabel(QStringLiteral("Balance"), this), "LabBal");
    m_LabBal->setFont(verdana(6.75));
    m_LabBal->setAlignment(Qt::AlignCenter);
    Twips::place(m_LabBal, 3360, 540, 600, 180);
    m_scrlBal = slider(this, "scrlBal", 20, 10, QStringLiteral("Balance"));
    Twips::place(m_scrlBal, 3120, 720, 975, 135);

    m_Check1 = glyphButton(this, "Check1", QStringLiteral("U"), QStringLiteral("Couper le son"));
    Twips::place(m_Check1, 4200, 600, 330, 330);
    m_cmdFull = glyphButton(this, "cmdFull", QStringLiteral("¾"), QStringLiteral("Zoom"));
    Twips::place(m_cmdFull, 4545, 600, 330, 330);

    m_scrlTime = slider(this, "scrlTime", 50, 0, QStringLiteral("Position dans le morceau"));
    // A click on the bar goes to the place clicked, as users expect of a seek bar, not one step.
    m_scrlTime->setStyle(new JumpToClickStyle(m_scrlTime));
    Twips::place(m_scrlTime, 75, 1080, 4785, 135);

    struct Transport {
        QPushButton *&button;
        const char *name;
        const char *caption;
        const char *accessibleName;
        int left;
    };
    const Transport transport[] = {
        {m_cmdBack, "cmdBack", "9", "Précédent", 690},
        {m_cmdPlay, "cmdPlay", "4", "Lire", 1110},
        {m_cmdPause, "cmdPause", ";", "Pause", 1515},
        {m_cmdStop, "cmdStop", "<", "Arrêter", 1920},
        {m_cmdForward, "cmdForward", ":", "Suivant", 2340},
        {m_cmdOpen, "cmdOpen", "1", "Ouvrir un fichier", 2760},
    };
    for (const Transport &t : transport) {
        t.button = glyphButton(this, t.name, QLatin1String(t.caption), QString::fromUtf8(t.accessibleName));
        t.button->setToolTip(QString::fromUtf8(t.accessibleName));
        Twips::place(t.button, t.left, 1320, 420, 300);
    }

    m_chkRepeat =
        toggle(this, PictureToggle::Kind::Repeat, "chkRepeat", QStringLiteral("Répeter la liste de lecture"));
    Twips::place(m_chkRepeat, 3360, 1440, 765, 225);
    PictureToggle *shuffle =
        toggle(this, PictureToggle::Kind::Shuffle, "chkSuffle", QStringLiteral("Lecture aleatoire"));
    m_chkSuffle = shuffle;
    Twips::place(m_chkSuffle, 4140, 1440, 390, 225);
    m_chkPlay = toggle(this, PictureToggle::Kind::Playlist, "chkPlay",
                       QStringLiteral("Afficher/masquer la liste de lecture"));
    Twips::place(m_chkPlay, 4515, 1440, 330, 225);
    // The panel is shown as designed; the toggle says so until the stored option is applied.
    m_chkPlay->setCheckState(Qt::Checked);

    for (int i = 0; i < 2; ++i) {
        QLabel *picture = named(new QLabel(this), i == 0 ? "imgSuff0" : "imgSuff1");
        Twips::place(picture, 4080, i == 0 ? 4590 : 4830, 360, 195);
        // Drawn at the toggle's size, where they are shown, so that showing one changes nothing but
        // the lit state.
        picture->setPixmap(shuffle->drawnPicture(i == 0 ? Qt::Unchecked : Qt::Checked));
        picture->hide();
        m_imgSuff.at(static_cast<std::size_t>(i)) = picture;
    }
}

void frmMain::createPlaylistPanel()
{
    m_picPlayList = named(new PanelPicture(this), "picPlayList");
    Twips::place(m_picPlayList, 0, 1800, 5160, 3870);

    m_Label2 =
        named(new QLabel(QStringLiteral("Qwelto Player        Liste de lecture :"), m_picPlayList), "Label2");
    Twips::place(m_Label2, 290, 75, 3465, 180);

    m_txtFN = named(new QLabel(m_picPlayList), "txtFN", QStringLiteral("Chanson sélectionnée"));
    m_txtFN->setTextFormat(Qt::PlainText);
    // The list overlaps the caption's lower part, leaving a strip of 180 twips: the text sits at its
    // top, in the small face of the other lit displays, so that it shows whole.
    m_txtFN->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_txtFN->setFont(verdana(6.75));
    Twips::place(m_txtFN, 360, 360, 4455, 255);

    m_lstPlay = named(new QListWidget(m_picPlayList), "lstPlay", QStringLiteral("Liste de lecture"));
    m_lstPlay->setSelectionMode(QAbstractItemView::SingleSelection);
    // All rows have one height; the view then lays out a long playlist without measuring each row.
    m_lstPlay->setUniformItemSizes(true);
    m_lstPlay->setItemDelegate(new EntryDelegate(m_lstPlay));
    m_lstPlay->setStyleSheet(QStringLiteral("QListWidget#lstPlay { background-color: #DEF7FF; }"));
    Twips::place(m_lstPlay, 240, 540, 4605, 2790);

    struct PanelButton {
        const char *caption;
        int left;
        int width;
        const char *accessibleName;
    };
    const PanelButton buttons[PlaylistButtonCount] = {
        {"&Ajouter", 280, 855, "Ajouter à la liste"},
        {"&Supprimer", 1170, 975, "Supprimer l'entrée sélectionnée"},
        {"&Sauvgarder", 2180, 975, "Sauvegarder la liste"},
        {"&Charger", 3180, 855, "Charger une liste"},
        {"&Vider", 4080, 735, "Vider la liste"},
    };
    for (int i = 0; i < PlaylistButtonCount; ++i) {
        const PanelButton &b = buttons[i];
        QPushButton *button = new QPushButton(QString::fromUtf8(b.caption), m_picPlayList);
        button->setObjectName(QStringLiteral("cmdAPlayList%1").arg(i));
        button->setAccessibleName(QString::fromUtf8(b.accessibleName));
        button->setFont(msSansSerif(6.75));
        Twips::place(button, b.left, 3370, b.width, 340);
        m_cmdAPlayList.at(static_cast<std::size_t>(i)) = button;
    }
}

void frmMain::createMenus()
{
    m_mnuMain = named(new QMenu(this), "mnuMain");
    m_mnuFile = menuItem(m_mnuMain, "mnuFile", "Ajouter un &fichier");
    m_mnuMain->addSeparator();
    m_mnuAddDir = menuItem(m_mnuMain, "mnuAddDir", "Ajouter un &répertoir");
    m_mnuAddVCD = menuItem(m_mnuMain, "mnuAddVCD", "Ajouter un &VCD");
    m_mnuFile->setIcon(Skin::menuPicture(Skin::MenuPicture::AddFile));
    m_mnuAddDir->setIcon(Skin::menuPicture(Skin::MenuPicture::AddFolder));
    m_mnuAddVCD->setIcon(Skin::menuPicture(Skin::MenuPicture::AddVcd));

    m_mnuBar = named(new QMenu(QStringLiteral("HI"), this), "mnuBar");
    struct Shortcut {
        const char *caption;
        Qt::Key key;
        Skin::MenuPicture picture;
    };
    const Shortcut shortcuts[ShortcutCount] = {
        {"Précédent", Qt::Key_B, Skin::MenuPicture::Previous},
        {"Lire", Qt::Key_P, Skin::MenuPicture::Play},
        {"Pause", Qt::Key_A, Skin::MenuPicture::Pause},
        {"Arrêter", Qt::Key_S, Skin::MenuPicture::Stop},
        {"Suivant", Qt::Key_N, Skin::MenuPicture::Next},
        {"Ouvrir", Qt::Key_O, Skin::MenuPicture::Open},
    };
    for (int i = 0; i < ShortcutCount; ++i) {
        QAction *item = m_mnuBar->addAction(QString::fromUtf8(shortcuts[i].caption));
        item->setObjectName(QStringLiteral("mnuShortcut%1").arg(i));
        item->setShortcut(QKeySequence(Qt::CTRL | shortcuts[i].key));
        item->setIcon(Skin::menuPicture(shortcuts[i].picture));
        m_mnuShortcut.at(static_cast<std::size_t>(i)) = item;
    }
    m_mnuOnTop = menuItem(m_mnuBar, "mnuOnTop", "P&remier plan");
    m_mnuOnTop->setCheckable(true);
    m_mnuOnTop->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    m_mnuAutoVCD = menuItem(m_mnuBar, "mnuAutoVCD", "Lecture auto &VCD");
    m_mnuHide = menuItem(m_mnuBar, "mnuHide", "&Afficher/réduire Qwelto Player");
    m_mnuExit = menuItem(m_mnuBar, "mnuExit", "&Quitter");
    m_mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_mnuExit->setIcon(Skin::menuPicture(Skin::MenuPicture::Exit));
    // The keys act while the menu is closed too: the items belong to the window as well.
    addActions(m_mnuBar->actions());

    m_mnuZoom = named(new QMenu(QStringLiteral("mnu&Zoom"), this), "mnuZoom");
    m_mnuHalf = menuItem(m_mnuZoom, "mnuHalf", "&Demi taille");
    m_mnuOriginal = menuItem(m_mnuZoom, "mnuOriginal", "Taille &originale");
    m_mnuDouble = menuItem(m_mnuZoom, "mnuDouble", "&Double Taile");
    m_mnuZoom->addSeparator()->setObjectName(QStringLiteral("mnudumm"));
    m_mnuFullCtrl = menuItem(m_mnuZoom, "mnuFullCtrl", "&Activer plein écran");
    m_mnuFullCtrl->setCheckable(true);
    m_mnuFull = menuItem(m_mnuZoom, "mnuFull", "&Plein écran");
    m_mnuFit = menuItem(m_mnuZoom, "mnuFit", "Fit to &Size");
    m_mnuFit->setCheckable(true);

    for (QMenu *menu : {m_mnuMain, m_mnuBar, m_mnuZoom})
        menu->setFont(tahoma(8.25));
}

void frmMain::chkPlay_Click()
{
    const bool open = m_chkPlay->checkState() != Qt::Unchecked;
    m_picPlayList->setVisible(open);
    setFixedHeight(Twips::toPixelsY(open ? OuterHeightWithPlaylist : OuterHeightFolded, this));
}

void frmMain::Form_Paint()
{
    // Every marquee step repaints part of the window: only a real change reaches the window system.
    if (!windowTitle().isEmpty())
        setWindowTitle(QString());
    const int width = Twips::toPixelsX(OuterWidth, this);
    if (minimumWidth() != width || maximumWidth() != width)
        setFixedWidth(width);
}

void frmMain::Form_Resize()
{
    if (m_resize)
        m_resize();
    WindowShape::applyRounded(this, CornerEllipse);
}

void frmMain::Form_Activate()
{
    setWindowTitle(QString());
}

void frmMain::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
    QWidget::changeEvent(event);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // The window manager, the close glyph, the menu and a termination signal all arrive here, so
    // every way of closing saves exactly the same data.
    if (!m_unloaded) {
        m_unloaded = true;
        m_tmrAnimate->stop();
        if (m_unload)
            m_unload();
    }
    event->accept();
}

void frmMain::paintEvent(QPaintEvent *)
{
    Form_Paint();
    QPainter painter(this);
    Skin::paintWindow(painter, rect());
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMain::setTitle(const QString &text)
{
    m_txtTitle->setText(text);
}

void frmMain::scrollTitle()
{
    m_txtTitle->scrollOneCharacter();
}

void frmMain::captionFromTitle()
{
    if (isMinimized())
        setWindowTitle(m_txtTitle->text());
}

void frmMain::popUpAddMenu()
{
    // The add button is the first of the panel (PlaylistPanel::Add).
    popUpUnder(*m_mnuMain, *m_cmdAPlayList.front());
}
