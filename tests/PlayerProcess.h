#pragma once

#include "FileBytes.h"

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The real player as a separate process, installed in a folder of its own (its application folder,
// where lastlist.lst lives) with a per-user settings folder of its own. Seen from outside only:
// what it has open, whether it is alive, what it leaves on disk.
class PlayerProcess {
public:
    PlayerProcess();
    ~PlayerProcess();
    PlayerProcess(const PlayerProcess &) = delete;
    PlayerProcess &operator=(const PlayerProcess &) = delete;

    QString folder() const { return m_dir.path(); }
    QString listPath() const;
    QString dataListPath() const; // qwelto/lastlist.lst in the user's data folder
    QString settingsPath() const; // qwelto.conf in the settings folder
    QProcess &process() { return m_process; }

    // Runs the player as an ordinary user when the test runs as root, so that file permissions
    // count; it then draws offscreen, as that user may not reach the test's X server.
    void runAsOrdinaryUser();
    // Extra environment for the player (LD_PRELOAD, say).
    void setEnvironment(const QString &name, const QString &value);

    bool start();
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    // Whether the splash has handed over and the main window has read the list and the options. The
    // bound is a failure only: a sanitizer build on a loaded machine is many times slower.
    bool waitUntilLoaded(int boundMs = 60000);
    // Sends a signal and waits for the end: the exit code, -2 on a hang (then killed), -3 on a crash.
    int signalAndWait(int signalNumber, int boundMs = 30000);
    // Starts the player, waits for its load, then ends it with a signal: the exit code, -1 when it did
    // not start or ended by itself, else as signalAndWait says.
    int runThenSignal(int signalNumber);
    // The regular files the player has open right now.
    QStringList openFiles() const;

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_config;
    QProcess m_process;
    QProcessEnvironment m_env;
};
