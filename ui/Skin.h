#pragma once

#include <QIcon>
#include <QPixmap>
#include <QRect>

class QPainter;
class QWidget;
class frmMain;

// The program's artwork, drawn in code so that it stays sharp at any pixel density. The windows
// place their controls; everything about how the skin looks is decided here.
namespace Skin {

// Gives the main window's controls the skin's colours, fonts' colours and slider look. Geometry,
// texts and behaviour are left as the window made them.
void apply(frmMain &window);

// The main window's background picture over its whole client rectangle.
void paintWindow(QPainter &painter, const QRect &rect);

// The playlist panel's own background picture.
void paintPanel(QPainter &painter, const QRect &rect);

// The about box's face inside its blue frame.
void paintAbout(QPainter &painter, const QRect &rect);

// The product logo shown in the about box, at a logical size.
QPixmap logo(QSize size, qreal devicePixelRatio);

// The small pictures beside menu items (16 x 16, transparent background).
enum class MenuPicture { Previous, Play, Pause, Stop, Next, Open, AddFile, AddFolder, AddVcd, Exit };
QIcon menuPicture(MenuPicture which);

} // namespace Skin
