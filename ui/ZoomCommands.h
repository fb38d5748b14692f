#pragma once

#include <QSize>

class frmMain;
class frmPlayer;

// Where the zoom commands act: the video window (made on first use, with its engine) and the main
// window that holds the menu.
class ZoomHost {
public:
    virtual ~ZoomHost() = default;
    virtual frmPlayer &videoWindow() = 0;
    virtual frmMain &mainWindow() = 0;
};

// The zoom button's menu: half, native and double size of the video window, full screen, the fit
// option and the full-screen control bar.
class ZoomCommands {
public:
    explicit ZoomCommands(ZoomHost &host) : m_host(host) {}

    // Sizes in twips. Half keeps the integer parts of the halves; double adds the video window's
    // margin around the engine area, then doubles.
    static QSize halfOf(QSize windowTwips);
    static QSize doubleOf(QSize engineAreaTwips);

    void cmdFull_Click();
    void mnuHalf_Click();
    void mnuOriginal_Click();
    void mnuDouble_Click();
    void mnuFull_Click();
    // The fit option needs no handler of its own: triggering the item flips its check mark, and the
    // video window reads the mark at its next resize.
    // Runs after triggering the item has flipped its check mark: a checked item hides the bar.
    void mnuFullCtrl_Click();

private:
    ZoomHost &m_host;
};
