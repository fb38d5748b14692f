#pragma once

#include "app/frmSplash.h"
#include "core/RandomSource.h"
#include "core/SettingsStore.h"
#include "core/SharedState.h"
#include "dialogs/FileDialogBackend.h"
#include "dialogs/RememberedFolder.h"
#include "engine/EngineFactory.h"
#include "playback/AudioControls.h"
#include "playback/ProgressTick.h"
#include "playback/Transport.h"
#include "playback/TransportHost.h"
#include "playlist/MediaAdder.h"
#include "playlist/PlaylistPanel.h"
#include "playlist/VideoCd.h"
#include "ui/AboutBox.h"
#include "ui/MainFrame.h"
#include "ui/OnTopRule.h"
#include "ui/ShortcutMenu.h"
#include "ui/ZoomCommands.h"
#include "ui/frmMain.h"
#include "ui/frmPlayer.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// What the program takes from the platform. Tests give their own; what they leave empty gets the
// real thing.
struct ProgramEnvironment {
    // The folder of the program's own executable, where lastlist.lst lives when it may be written there.
    QString appFolder;
    EngineFactory makeEngine;
    std::shared_ptr<RandomSource> random = {};
    // The answer to the break box; empty shows the real box.
    std::function<bool()> askBreak = {};
    // The settling pause after a balance change; empty waits on a timer.
    AudioControls::Pause pause = {};
    OnTopRule::SetTopMost setTopMost = {};
    // The file and folder dialogs; empty gets Qt's.
    FileDialogBackend *dialogs = nullptr;
    // The root of the first CD-ROM drive; empty looks in this machine's mount table.
    std::function<QString()> findCdDrive = {};
    // Where the options are kept between runs; empty gets the per-user store.
    std::shared_ptr<SettingsStore> settings = {};
    // The "Error" box of a Video CD track that cannot be opened; empty shows the real box.
    std::function<void(const QString &)> showError = {};
    // The user's data folder, which takes lastlist.lst (in qwelto/) when the program's folder cannot;
    // empty gets $XDG_DATA_HOME or ~/.local/share.
    QString dataFolder = {};
};

// The one place that creates the windows and wires them. Each window exists at most once and is
// reached through its accessor, which creates it on first use; the video window (with the engine in
// it) is created again after the user closes it.
class Program : public QObject, public VideoWindowHost, public TransportHost, public ZoomHost {
    Q_OBJECT
public:
    explicit Program(ProgramEnvironment environment);
    ~Program() override;

    // Program start: the splash opens and hands over to the main window when its bar is full.
    void start();

    // The first reference loads the main window (its whole start-up sequence).
    frmMain &mainWindow() override;
    TransportView &transportView() override { return mainWindow(); }
    TickView &tickView() override { return mainWindow(); }
    AudioView &audioView() override { return mainWindow(); }
    PlaylistView &playlistView() override { return mainWindow(); }
    frmPlayer &videoWindow() override;
    MediaEngine &engine() override { return videoWindow().MediaPlayer1(); }

    frmSplash *splash() const { return m_splash; }
    frmMain *existingMainWindow() const { return m_main; }
    frmPlayer *existingVideoWindow() const { return m_player; }

    Transport &transport() { return m_transport; }
    ProgressTick &tick() { return m_tick; }
    AudioControls &audio() { return m_audio; }
    PlaylistPanel &panel() { return m_panel; }
    MediaAdder &adder() { return m_adder; }
    VideoCd &videoCd() { return m_vcd; }
    ZoomCommands &zoom() { return m_zoom; }
    ShortcutMenu &shortcuts() { return m_shortcuts; }
    AboutBox &about() { return m_about; }
    OnTopRule &onTopRule() { return m_onTop; }
    // The main window's frame handlers (creates the window on first use).
    MainFrame &frame() { return (mainWindow(), *m_frame); }
    // Where lastlist.lst is read at start and written at close, as the program's folder allows now.
    QString lastListReadPath() const;
    QString lastListWritePath() const;
    // Whether this run read lastlist.lst at start-up.
    bool lastListRead() const { return m_lastListRead; }
    void setLastListRead(bool read) { m_lastListRead = read; }
    SettingsStore &settings() { return *m_env.settings; }
    QString FindCdDrive() const { return m_env.findCdDrive(); }

    // Paths from outside the window: the command line, a second start, the desktop's media controls.
    // Their entries are added to the playlist (a list file among them replaces it) and the first of
    // them plays (MediaAdder::openPaths); the
    // main window comes to the front. Until the splash has handed over they wait, to follow the
    // playlist of the last run.
    void openFromOutside(const QStringList &localPaths);
    // Brings the main window to the front, out of the task bar if it was minimised.
    void raiseMainWindow();

    // A request from outside to end the program (a termination signal): closes the main window the
    // way the user would, or, still during the splash, ends at once without saving anything.
    void requestClose();

    SharedState &sharedState() override { return m_state; }
    int playlistSelectedIndex() const override;
    bool fitChecked() const override;
    QRect videoWindowArea() const override;
    QWidget &videoWindowWidget() override { return videoWindow(); }
    RandomSource &random() override { return *m_env.random; }
    bool askBreakForChangingCd() override;
    void showEngineError(const QString &description) override;
    bool closing() const override { return m_closing; }

protected:
    // The list's own keys, seen before the list handles them.
    bool eventFilter(QObject *watched, QEvent *event) override;

Q_SIGNALS:
    // No window is left: the process is to end.
    void finished();
    // The main window's load has run (the list read, unless the load was abandoned before it).
    void mainWindowLoaded();
    // The splash has handed over and the main window shows, loaded.
    void mainWindowShown();

private:
    void wireMainWindow(frmMain &window);

    ProgramEnvironment m_env;
    SharedState m_state;
    OnTopRule m_onTop;
    RememberedFolder m_dialogs;
    Transport m_transport;
    ProgressTick m_tick;
    AudioControls m_audio;
    PlaylistPanel m_panel;
    MediaAdder m_adder;
    VideoCd m_vcd;
    ZoomCommands m_zoom;
    ShortcutMenu m_shortcuts;
    AboutBox m_about;
    QPointer<frmSplash> m_splash;
    QPointer<frmMain> m_main;
    QPointer<MainFrame> m_frame;
    QPointer<frmPlayer> m_player;
    bool m_closing = false;
    bool m_lastListRead = false;
    QStringList m_pendingPaths;
};
