#pragma once

#include "app/SharedState.h"
#include "app/frmSplash.h"
#include "playback/EngineFactory.h"
#include "playback/Transport.h"
#include "ui/frmMain.h"
#include "ui/frmPlayer.h"

#include <QObject>
#include <QPointer>
#include <QString>

// What the program takes from the platform; tests give their own.
struct ProgramEnvironment {
    // The folder of the program's own executable, where lastlist.lst lives.
    QString appFolder;
    EngineFactory makeEngine;
};

// The one place that creates the windows and wires them. Each window exists at most once and is
// reached through its accessor, which creates it on first use; the video window (with the engine in
// it) is created again after the user closes it.
class Program : public QObject, public VideoWindowHost {
    Q_OBJECT
public:
    explicit Program(ProgramEnvironment environment);
    ~Program() override;

    // Program start: the splash opens and hands over to the main window when its bar is full.
    void start();

    // The first reference loads the main window (its whole start-up sequence).
    frmMain &mainWindow();
    frmPlayer &videoWindow();
    MediaEngine &engine() { return videoWindow().MediaPlayer1(); }

    frmSplash *splash() const { return m_splash; }
    frmMain *existingMainWindow() const { return m_main; }
    frmPlayer *existingVideoWindow() const { return m_player; }

    Transport &transport() { return m_transport; }
    QString lastListPath() const;

    // A request from outside to end the program (a termination signal): closes the main window the
    // way the user would, or, still during the splash, ends at once without saving anything.
    void requestClose();

    SharedState &sharedState() override { return m_state; }
    int playlistSelectedIndex() const override;
    bool fitChecked() const override;

Q_SIGNALS:
    // No window is left: the process is to end.
    void finished();

private:
    void wireMainWindow(frmMain &window);
    void onMainWindowClosed();

    ProgramEnvironment m_env;
    SharedState m_state;
    Transport m_transport;
    QPointer<frmSplash> m_splash;
    QPointer<frmMain> m_main;
    QPointer<frmPlayer> m_player;
};
