#include "ui/ZoomCommands.h"

#include "engine/MediaEngine.h"
#include "ui/ButtonMenu.h"
#include "ui/Twips.h"
#include "ui/frmMain.h"
#include "ui/frmPlayer.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

#include <cmath>

namespace {

QSize twipsOf(const QWidget &widget)
{
    return {static_cast<int>(std::lround(Twips::fromPixelsX(widget.width(), &widget))),
            static_cast<int>(std::lround(Twips::fromPixelsY(widget.height(), &widget)))};
}

void resizeInTwips(QWidget &widget, QSize twips)
{
    widget.resize(Twips::toPixels(twips, &widget));
}

} // namespace

QSize ZoomCommands::halfOf(QSize windowTwips)
{
    return {windowTwips.width() / 2, windowTwips.height() / 2};
}

QSize ZoomCommands::doubleOf(QSize engineAreaTwips)
{
    constexpr int margin = frmPlayer::EngineAreaMargin;
    return {(engineAreaTwips.width() + margin) * 2, (engineAreaTwips.height() + margin) * 2};
}

void ZoomCommands::cmdFull_Click()
{
    frmMain &window = m_host.mainWindow();
    window.mnuZoom()->setDefaultAction(nullptr);
    popUpUnder(*window.mnuZoom(), *window.cmdFull());
}

void ZoomCommands::mnuHalf_Click()
{
    frmPlayer &player = m_host.videoWindow();
    player.hide();
    resizeInTwips(player, halfOf(twipsOf(player)));
    player.MediaPlayer1().setDisplaySize(MediaEngine::DisplayFit);
    // Showing runs the window's repaint rule, which hides it again unless a video is loaded.
    player.show();
}

void ZoomCommands::mnuOriginal_Click()
{
    frmPlayer &player = m_host.videoWindow();
    player.MediaPlayer1().setDisplaySize(MediaEngine::DisplayNative);
    player.hide();
    player.show();
}

void ZoomCommands::mnuDouble_Click()
{
    frmPlayer &player = m_host.videoWindow();
    player.hide();
    // At native size the engine area takes the picture's own size; the window is built around it.
    player.MediaPlayer1().setDisplaySize(MediaEngine::DisplayNative);
    resizeInTwips(player, doubleOf(twipsOf(*player.engineArea())));
    // Chosen a second time the window is already at that size and gets no resize: without this the
    // picture would stay at its native size in the window's corner.
    player.applySize();
    player.MediaPlayer1().setDisplaySize(MediaEngine::DisplayFit);
    player.show();
    player.activateWindow();
}

void ZoomCommands::mnuFull_Click()
{
    frmPlayer &player = m_host.videoWindow();
    MediaEngine &engine = player.MediaPlayer1();
    if (engine.DisplaySize() == MediaEngine::DisplayFullScreen) {
        // Leaving full screen this way always lands in fit mode.
        engine.setDisplaySize(MediaEngine::DisplayFit);
        player.returnFromFullScreen();
    } else {
        engine.setDisplaySize(MediaEngine::DisplayFullScreen);
    }
}

void ZoomCommands::mnuFullCtrl_Click()
{
    const bool checked = m_host.mainWindow().mnuFullCtrl()->isChecked();
    m_host.videoWindow().MediaPlayer1().setFullScreenControls(!checked);
}
