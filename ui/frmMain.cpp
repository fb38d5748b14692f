#include "ui/frmMain.h"

#include "ui/AppIcon.h"
#include "ui/Twips.h"
#include "ui/WindowShape.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>

namespace {

// Design sizes in twips.
constexpr int OuterWidth = 5145;
constexpr int OuterHeightWithPlaylist = 5700;

} // namespace

frmMain::frmMain()
    : QWidget(nullptr), m_picPlayList(new QWidget(this)), m_label2(new QLabel(m_picPlayList)),
      m_txtFN(new QLabel(m_picPlayList)), m_lstPlay(new QListWidget(m_picPlayList)),
      m_mnuFit(new QAction(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(AppIcon::mainWindow());
    setWindowTitle(QString());
    setAccessibleName(QStringLiteral("Qwelto Player"));
    setFixedSize(Twips::toPixels(QSize(OuterWidth, OuterHeightWithPlaylist), this));

    m_picPlayList->setObjectName(QStringLiteral("picPlayList"));
    Twips::place(m_picPlayList, 0, 1800, 5160, 3870);

    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setText(QStringLiteral("Qwelto Player        Liste de lecture :"));
    Twips::place(m_label2, 290, 75, 3465, 180);

    m_txtFN->setObjectName(QStringLiteral("txtFN"));
    m_txtFN->setTextFormat(Qt::PlainText);
    m_txtFN->setAccessibleName(QStringLiteral("Chanson sélectionnée"));
    Twips::place(m_txtFN, 360, 360, 4455, 255);

    m_lstPlay->setObjectName(QStringLiteral("lstPlay"));
    m_lstPlay->setAccessibleName(QStringLiteral("Liste de lecture"));
    m_lstPlay->setSelectionMode(QAbstractItemView::SingleSelection);
    // All rows have one height; the view then lays out a long playlist without measuring each row.
    m_lstPlay->setUniformItemSizes(true);
    m_lstPlay->setStyleSheet(QStringLiteral("QListWidget#lstPlay { background-color: #DEF7FF; }"));
    Twips::place(m_lstPlay, 240, 540, 4605, 2790);

    m_mnuFit->setObjectName(QStringLiteral("mnuFit"));
    m_mnuFit->setCheckable(true);
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
        if (m_unload)
            m_unload();
    }
    event->accept();
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    WindowShape::applyRounded(this, CornerEllipse);
}
