#include "app/Program.h"

#include "app/MainLoad.h"
#include "app/MainUnload.h"
#include "app/frmSplash.h"
#include "playlist/Playlist.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTimer>

Program::Program(ProgramEnvironment environment)
    : m_env(std::move(environment)), m_transport([this]() -> MediaEngine & { return engine(); })
{
}

Program::~Program()
{
    // Windows that outlive the event loop (tests) go with the program; the engine first, with its window.
    if (m_main)
        m_main->disconnect(this);
    delete m_player;
    delete m_main;
    delete m_splash;
}

void Program::start()
{
    m_splash = new frmSplash;
    m_splash->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_splash, &frmSplash::handOver, this, [this] { mainWindow().show(); });
    m_splash->Form_Load();
}

frmMain &Program::mainWindow()
{
    if (!m_main) {
        m_main = new frmMain;
        m_main->setAttribute(Qt::WA_DeleteOnClose);
        wireMainWindow(*m_main);
        MainLoad::Form_Load(*this);
    }
    return *m_main;
}

frmPlayer &Program::videoWindow()
{
    if (!m_player) {
        m_player = new frmPlayer(*this, m_env.makeEngine);
        m_player->Form_Load();
    }
    return *m_player;
}

QString Program::lastListPath() const
{
    return QDir(m_env.appFolder).filePath(QStringLiteral("lastlist.lst"));
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

void Program::wireMainWindow(frmMain &window)
{
    // Window to program.
    window.setUnloadHandler([this] { MainUnload::Form_Unload(*this); });
    connect(&window, &QObject::destroyed, this, &Program::onMainWindowClosed);

    // Playlist to its caption.
    QListWidget *lstPlay = window.lstPlay();
    QLabel *txtFN = window.txtFN();
    connect(lstPlay, &QListWidget::currentRowChanged, txtFN,
            [lstPlay, txtFN] { Playlist::lstPlay_Click(*lstPlay, *txtFN); });
    connect(lstPlay, &QListWidget::itemClicked, txtFN,
            [lstPlay, txtFN] { Playlist::lstPlay_Click(*lstPlay, *txtFN); });
}

void Program::onMainWindowClosed()
{
    // The unload closed every other window; with none left the program ends.
    Q_EMIT finished();
}
