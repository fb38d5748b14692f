#include "app/Program.h"

#include "app/LastListLocation.h"
#include "app/MainLoad.h"
#include "app/MainUnload.h"
#include "disc/CdDrive.h"
#include "playlist/Playlist.h"
#include "ui/BreakBox.h"
#include "ui/ClickableLabel.h"
#include "ui/ErrorBox.h"
#include "ui/FileDrops.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>

#include <utility>

namespace {

ProgramEnvironment withPlatformDefaults(ProgramEnvironment env)
{
    if (!env.random)
        env.random = std::make_shared<ClockSeededRandom>();
    if (!env.setTopMost)
        env.setTopMost = OnTopRule::windowFlagSetter();
    if (!env.dialogs)
        env.dialogs = &FileDialogBackend::platform();
    if (!env.settings)
        env.settings = SettingsStore::perUser();
    if (!env.findCdDrive)
        env.findCdDrive = CdDrive::FindCdDrive;
    if (env.dataFolder.isEmpty())
        env.dataFolder = LastListLocation::userDataFolder();
    return env;
}

} // namespace

Program::Program(ProgramEnvironment environment)
    : m_env(withPlatformDefaults(std::move(environment))), m_onTop(m_state, m_env.setTopMost),
      m_dialogs(*m_env.dialogs, *m_env.settings), m_transport(*this),
      m_tick(*this, m_transport, [this] { m_onTop.applyChangeOnly(mainWindow()); }),
      m_audio(*this, m_env.pause), m_panel(*this, m_transport, m_dialogs),
      m_adder(*this, m_transport, m_dialogs), m_vcd(*this), m_zoom(*this), m_shortcuts(m_transport, m_adder),
      m_about(m_state)
{
}

Program::~Program()
{
    // Windows that outlive the event loop (tests) go with the program; the engine first, with its window.
    delete m_player;
    delete m_main;
    delete m_splash;
}

void Program::start()
{
    m_splash = new frmSplash;
    m_splash->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_splash, &frmSplash::handOver, this, [this] {
        mainWindow().show();
        if (!m_pendingPaths.isEmpty())
            m_adder.openPaths(std::exchange(m_pendingPaths, {}));
        Q_EMIT mainWindowShown();
    });
    m_splash->Form_Load();
}

frmMain &Program::mainWindow()
{
    if (!m_main) {
        // Kept after it closes, until the program object goes: a handler that was waiting in a modal
        // box when the window closed (a termination signal can do that) returns to live objects.
        m_main = new frmMain;
        wireMainWindow(*m_main);
        m_main->tmrAnimate()->start();
        MainLoad::Form_Load(*this);
        Q_EMIT mainWindowLoaded();
    }
    return *m_main;
}

frmPlayer &Program::videoWindow()
{
    if (!m_player) {
        m_player = new frmPlayer(*this, m_env.makeEngine);
        // The full-screen bar's buttons are the window's Pause and Stop, so the pause toggle, the
        // desktop's media controls and the bar always agree.
        m_player->MediaPlayer1().setBarCommandHandler([this](MediaEngine::BarCommand command) {
            if (m_closing)
                return;
            if (command == MediaEngine::BarCommand::Stop)
                m_transport.cmdStop_Click();
            else if (engine().PlayStatus() == MediaEngine::Status::Playing)
                m_transport.pausePlayback();
            else
                m_transport.resumePlayback();
        });
        // The engine made after the user closed the video window starts at the levels the controls
        // show, before anything plays in it. (At start-up they show the engine's own defaults.)
        if (m_main)
            AudioControls::giveLevelsTo(*m_main, m_player->MediaPlayer1());
        // What the engine does by itself at the end of an item reaches the transport at once, not at
        // the next tick.
        m_player->MediaPlayer1().setEventHandler([this](MediaEngine::Event event) {
            if (!m_main || m_closing)
                return;
            if (event == MediaEngine::Event::Advanced)
                m_transport.followAdvance();
            else
                m_tick.endOfItem();
        });
        m_player->Form_Load();
    }
    return *m_player;
}

QString Program::lastListReadPath() const
{
    return LastListLocation::readPath(m_env.appFolder, m_env.dataFolder,
                                      LastListLocation::programFolderTakesTheList(m_env.appFolder));
}

QString Program::lastListWritePath() const
{
    return LastListLocation::writePath(m_env.appFolder, m_env.dataFolder,
                                       LastListLocation::programFolderTakesTheList(m_env.appFolder));
}

void Program::openFromOutside(const QStringList &localPaths)
{
    if (m_closing)
        return;
    if (!m_main || !m_main->isVisible()) {
        m_pendingPaths += localPaths;
        return;
    }
    raiseMainWindow();
    m_adder.openPaths(localPaths);
}

void Program::raiseMainWindow()
{
    if (!m_main || m_closing)
        return;
    if (m_main->isMinimized())
        m_main->showNormal();
    m_main->show();
    m_main->raise();
    m_main->activateWindow();
}

void Program::requestClose()
{
    if (m_main) {
        m_main->close();
        return;
    }
    if (m_splash) {
        m_splash->Timer1()->stop();
        m_splash->close();
    }
    Q_EMIT finished();
}

int Program::playlistSelectedIndex() const
{
    return m_main ? m_main->lstPlay()->currentRow() : -1;
}

bool Program::fitChecked() const
{
    return m_main && m_main->mnuFit()->isChecked();
}

QRect Program::videoWindowArea() const
{
    if (!m_main)
        return {};
    // The screen that holds the middle of the main window: the user is looking there.
    const QScreen *screen = QGuiApplication::screenAt(m_main->geometry().center());
    if (!screen)
        screen = m_main->screen();
    return screen ? screen->availableGeometry() : QRect();
}

bool Program::askBreakForChangingCd()
{
    if (m_env.askBreak)
        return m_env.askBreak();
    return ::askBreakForChangingCd(m_main);
}

void Program::showEngineError(const QString &description)
{
    if (m_env.showError)
        m_env.showError(description);
    else
        ::showEngineError(m_main, description);
}

void Program::wireMainWindow(frmMain &window)
{
    m_frame = new MainFrame(window, m_state);

    // Window to program.
    window.setResizeHandler([this, &window] { m_onTop.applyUnconditional(window); });
    window.setUnloadHandler([this] {
        m_closing = true;
        MainUnload::Form_Unload(*this);
        // The unload closed every other window; with none left the program ends.
        QMetaObject::invokeMethod(this, &Program::finished, Qt::QueuedConnection);
    });
    connect(window.tmrAnimate(), &QTimer::timeout, this, [this] { m_tick.tmrAnimate_Timer(); });

    // Transport buttons and switches to the play order.
    connect(window.cmdPlay(), &QPushButton::clicked, this, [this] { m_transport.cmdPlay_Click(); });
    connect(window.cmdPause(), &QPushButton::clicked, this, [this] { m_transport.cmdPause_Click(); });
    connect(window.cmdStop(), &QPushButton::clicked, this, [this] { m_transport.cmdStop_Click(); });
    connect(window.cmdForward(), &QPushButton::clicked, this, [this] { m_transport.cmdForward_Click(); });
    connect(window.cmdBack(), &QPushButton::clicked, this, [this] { m_transport.cmdBack_Click(); });
    // Setting a switch's value in code runs its handler too, when the value changes.
    connect(window.chkSuffle(), &QCheckBox::stateChanged, this, [this] { m_transport.chkSuffle_Click(); });
    connect(window.chkRepeat(), &QCheckBox::stateChanged, this, [this] { m_transport.chkRepeat_Click(); });
    connect(window.chkPlay(), &QCheckBox::stateChanged, &window, &frmMain::chkPlay_Click);

    // Playlist box to its caption and to playback.
    QListWidget *lstPlay = window.lstPlay();
    QLabel *txtFN = window.txtFN();
    connect(lstPlay, &QListWidget::currentRowChanged, txtFN,
            [lstPlay, txtFN] { Playlist::lstPlay_Click(*lstPlay, *txtFN); });
    connect(lstPlay, &QListWidget::itemClicked, txtFN,
            [lstPlay, txtFN] { Playlist::lstPlay_Click(*lstPlay, *txtFN); });
    connect(lstPlay, &QListWidget::itemDoubleClicked, this, [this] { m_transport.lstPlay_DblClick(); });
    lstPlay->installEventFilter(this);
    // Files dragged from the desktop: on the list inserted where dropped, elsewhere opened.
    new FileDrops(
        window, *lstPlay, [this](const QStringList &paths) { openFromOutside(paths); },
        [this](const QStringList &paths, int row) { m_adder.insertPaths(paths, row); });

    // Panel buttons, the add menu and the open button to the playlist commands.
    for (int i = 0; i < frmMain::PlaylistButtonCount; ++i)
        connect(window.cmdAPlayList(i), &QPushButton::clicked, this,
                [this, i] { m_panel.cmdAPlayList_Click(i); });
    connect(window.mnuFile(), &QAction::triggered, this, [this] { m_adder.mnuFile_Click(); });
    connect(window.mnuAddDir(), &QAction::triggered, this, [this] { m_adder.mnuAddDir_Click(); });
    connect(window.cmdOpen(), &QPushButton::clicked, this, [this] { m_adder.cmdOpen_Click(); });
    connect(window.mnuAddVCD(), &QAction::triggered, this, [this] { m_vcd.mnuAddVCD_Click(); });

    // The right-click menu to the commands it repeats; the window's own items are the frame's.
    for (int i = 0; i < frmMain::ShortcutCount; ++i)
        connect(window.mnuShortcut(i), &QAction::triggered, this,
                [this, i] { m_shortcuts.mnuShortcut_Click(i); });
    connect(window.mnuAutoVCD(), &QAction::triggered, this, [this] { m_vcd.mnuAutoVCD_Click(); });
    connect(window.cmdAbt(), &QPushButton::clicked, this, [this] { m_about.cmdAbt_Click(); });

    // Zoom button and its menu to the video window.
    connect(window.cmdFull(), &QPushButton::clicked, this, [this] { m_zoom.cmdFull_Click(); });
    connect(window.mnuHalf(), &QAction::triggered, this, [this] { m_zoom.mnuHalf_Click(); });
    connect(window.mnuOriginal(), &QAction::triggered, this, [this] { m_zoom.mnuOriginal_Click(); });
    connect(window.mnuDouble(), &QAction::triggered, this, [this] { m_zoom.mnuDouble_Click(); });
    connect(window.mnuFull(), &QAction::triggered, this, [this] { m_zoom.mnuFull_Click(); });
    connect(window.mnuFullCtrl(), &QAction::triggered, this, [this] { m_zoom.mnuFullCtrl_Click(); });

    // Time display and seek bar to the tick's handlers.
    connect(window.lblTime(), &ClickableLabel::clicked, this, [this] { m_tick.lblTime_Click(); });
    connect(window.scrlTime(), &QSlider::valueChanged, this, [this] { m_tick.scrlTime_Change(); });

    // Audio controls to the engine.
    connect(window.scrlVol(), &QSlider::valueChanged, this, [this] { m_audio.scrlVol_Change(); });
    connect(window.scrlBal(), &QSlider::valueChanged, this, [this] { m_audio.scrlBal_Change(); });
    connect(window.Check1(), &QPushButton::clicked, this, [this] { m_audio.Check1_Click(); });
}

bool Program::eventFilter(QObject *watched, QEvent *event)
{
    // The event's type first: the list also reports its hiding while the main window is being
    // destroyed, when that object is no longer a frmMain to ask for its list.
    if (event->type() == QEvent::KeyPress && m_main && watched == m_main->lstPlay()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->text() == QLatin1String("."))
            m_panel.lstPlay_KeyPress('.');
        else if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            m_panel.lstPlay_KeyPress('\r');
    }
    // The list still handles the key itself.
    return QObject::eventFilter(watched, event);
}
