#pragma once

#include "playback/AudioView.h"
#include "playback/PlaylistView.h"
#include "playback/TickView.h"
#include "playback/TransportView.h"
#include "ui/ClickableLabel.h"

#include <QWidget>

#include <array>
#include <functional>

class Marquee;
class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QSlider;
class QTimer;

// The main window: layout only. What its controls do lives with each subsystem and is wired by the
// program object. Every control keeps the object name it is known by, and its design text until the
// program first changes it. Each handler reaches it through the one view of the few controls it acts on.
class frmMain : public QWidget, public TransportView, public TickView, public AudioView, public PlaylistView {
    Q_OBJECT
public:
    frmMain();

    // Top area.
    QLabel *Label3() const { return m_Label3; }
    QPushButton *cmdAbt() const { return m_cmdAbt; }
    ClickableLabel *Minimised() const { return m_Minimised; }
    ClickableLabel *Closed() const { return m_Closed; }
    Marquee *txtTitle() const { return m_txtTitle; }
    QFrame *Shape1() const { return m_Shape1; }
    QLabel *lblpls() const override { return m_lblpls; }
    ClickableLabel *lblTime() const override { return m_lblTime; }
    QLabel *lblDuration() const override { return m_lblDuration; }
    QLabel *LabVol() const override { return m_LabVol; }
    QSlider *scrlVol() const override { return m_scrlVol; }
    QLabel *LabBal() const override { return m_LabBal; }
    QSlider *scrlBal() const override { return m_scrlBal; }
    QPushButton *Check1() const override { return m_Check1; }
    QPushButton *cmdFull() const { return m_cmdFull; }
    QSlider *scrlTime() const override { return m_scrlTime; }
    QPushButton *cmdBack() const { return m_cmdBack; }
    QPushButton *cmdPlay() const { return m_cmdPlay; }
    QPushButton *cmdPause() const { return m_cmdPause; }
    QPushButton *cmdStop() const { return m_cmdStop; }
    QPushButton *cmdForward() const { return m_cmdForward; }
    QPushButton *cmdOpen() const { return m_cmdOpen; }
    QCheckBox *chkRepeat() const override { return m_chkRepeat; }
    QCheckBox *chkSuffle() const override { return m_chkSuffle; }
    QCheckBox *chkPlay() const { return m_chkPlay; }
    // The shuffle pictures: 0 off, 1 on. Hidden; the shuffle toggle shows one of them.
    QLabel *imgSuff(int index) const override { return m_imgSuff.at(static_cast<std::size_t>(index)); }
    QTimer *tmrAnimate() const { return m_tmrAnimate; }

    // Playlist panel.
    QWidget *picPlayList() const { return m_picPlayList; }
    QLabel *Label2() const { return m_Label2; }
    QLabel *txtFN() const override { return m_txtFN; }
    QListWidget *lstPlay() const override { return m_lstPlay; }
    // The panel's buttons, by PlaylistPanel::Button: 0 add, 1 remove, 2 save, 3 load, 4 empty.
    QPushButton *cmdAPlayList(int index) const { return m_cmdAPlayList.at(static_cast<std::size_t>(index)); }
    static constexpr int PlaylistButtonCount = 5;

    // The add menu of the panel's first button, and its items.
    QMenu *mnuMain() const { return m_mnuMain; }
    QAction *mnuFile() const { return m_mnuFile; }
    QAction *mnuAddDir() const { return m_mnuAddDir; }

    QAction *mnuAddVCD() const { return m_mnuAddVCD; }

    // The right-click menu: the six transport items (by ShortcutMenu::Item, 0 previous ... 5 open), then
    // the window's options.
    QMenu *mnuBar() const { return m_mnuBar; }
    QAction *mnuShortcut(int index) const { return m_mnuShortcut.at(static_cast<std::size_t>(index)); }
    static constexpr int ShortcutCount = 6;
    // The always-on-top option's check mark.
    QAction *mnuOnTop() const { return m_mnuOnTop; }
    QAction *mnuAutoVCD() const { return m_mnuAutoVCD; }
    QAction *mnuHide() const { return m_mnuHide; }
    QAction *mnuExit() const { return m_mnuExit; }

    // The zoom button's menu.
    QMenu *mnuZoom() const { return m_mnuZoom; }
    QAction *mnuHalf() const { return m_mnuHalf; }
    QAction *mnuOriginal() const { return m_mnuOriginal; }
    QAction *mnuDouble() const { return m_mnuDouble; }
    QAction *mnuFullCtrl() const { return m_mnuFullCtrl; }
    QAction *mnuFull() const { return m_mnuFull; }
    // The fit-to-window option; its check mark is the live option.
    QAction *mnuFit() const { return m_mnuFit; }

    void setTitle(const QString &text) override;
    void minimiseWindow() override { showMinimized(); }
    void scrollTitle() override;
    void captionFromTitle() override;
    QWidget *dialogOwner() override { return this; }
    void popUpAddMenu() override;

    // Shows or folds the playlist panel, the window's height following.
    void chkPlay_Click();

    // Runs the shutdown sequence once when the window closes, by whatever means. Closing is never refused.
    void setUnloadHandler(std::function<void()> handler) { m_unload = std::move(handler); }

    // Called on every resize, before the window is reshaped (the on-top rule).
    void setResizeHandler(std::function<void()> handler) { m_resize = std::move(handler); }

    // Corner ellipse of the rounded window shape, in pixels.
    static constexpr int CornerEllipse = 15;
    static constexpr int TickInterval = 500;

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Activate();
    void Form_Paint();
    void Form_Resize();
    void createTopArea();
    void createPlaylistPanel();
    void createMenus();

    QLabel *m_Label3 = nullptr;
    QPushButton *m_cmdAbt = nullptr;
    ClickableLabel *m_Minimised = nullptr;
    ClickableLabel *m_Closed = nullptr;
    Marquee *m_txtTitle = nullptr;
    QFrame *m_Shape1 = nullptr;
    QLabel *m_lblpls = nullptr;
    ClickableLabel *m_lblTime = nullptr;
    QLabel *m_lblDuration = nullptr;
    QLabel *m_LabVol = nullptr;
    QSlider *m_scrlVol = nullptr;
    QLabel *m_LabBal = nullptr;
    QSlider *m_scrlBal = nullptr;
    QPushButton *m_Check1 = nullptr;
    QPushButton *m_cmdFull = nullptr;
    QSlider *m_scrlTime = nullptr;
    QPushButton *m_cmdBack = nullptr;
    QPushButton *m_cmdPlay = nullptr;
    QPushButton *m_cmdPause = nullptr;
    QPushButton *m_cmdStop = nullptr;
    QPushButton *m_cmdForward = nullptr;
    QPushButton *m_cmdOpen = nullptr;
    QCheckBox *m_chkRepeat = nullptr;
    QCheckBox *m_chkSuffle = nullptr;
    QCheckBox *m_chkPlay = nullptr;
    std::array<QLabel *, 2> m_imgSuff = {};
    QTimer *m_tmrAnimate = nullptr;

    QWidget *m_picPlayList = nullptr;
    QLabel *m_Label2 = nullptr;
    QLabel *m_txtFN = nullptr;
    QListWidget *m_lstPlay = nullptr;
    std::array<QPushButton *, PlaylistButtonCount> m_cmdAPlayList = {};
    QMenu *m_mnuMain = nullptr;
    QAction *m_mnuFile = nullptr;
    QAction *m_mnuAddDir = nullptr;
    QAction *m_mnuAddVCD = nullptr;
    QMenu *m_mnuBar = nullptr;
    std::array<QAction *, ShortcutCount> m_mnuShortcut = {};
    QAction *m_mnuOnTop = nullptr;
    QAction *m_mnuAutoVCD = nullptr;
    QAction *m_mnuHide = nullptr;
    QAction *m_mnuExit = nullptr;
    QMenu *m_mnuZoom = nullptr;
    QAction *m_mnuHalf = nullptr;
    QAction *m_mnuOriginal = nullptr;
    QAction *m_mnuDouble = nullptr;
    QAction *m_mnuFullCtrl = nullptr;
    QAction *m_mnuFull = nullptr;
    QAction *m_mnuFit = nullptr;

    std::function<void()> m_unload;
    std::function<void()> m_resize;
    bool m_unloaded = false;
};
