// The program as a user meets it: on a real X display (Xvfb), with the real media engine, and as a
// separate process ended by the desktop session.
#include "MemorySettings.h"
#include "app/Program.h"
#include "playback/GstMediaEngine.h"
#include "playlist/Playlist.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <csignal>
#include <unistd.h>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A copy of the player in a folder of its own: that folder is its application folder.
QString installPlayerIn(const QTemporaryDir &dir)
{
    const QString copy = dir.filePath(QStringLiteral("qwelto"));
    QFile::copy(QStringLiteral(QWELTO_BINARY), copy);
    return copy;
}

// Starts the player, lets the splash hand over and the load finish, then ends it with a signal.
int runThenSignal(QProcess &player, int signalNumber)
{
    player.start();
    if (!player.waitForStarted(5000))
        return -1;
    QTest::qWait(4500);
    ::kill(static_cast<pid_t>(player.processId()), signalNumber);
    if (!player.waitForFinished(10000)) {
        player.kill();
        return -2;
    }
    return player.exitStatus() == QProcess::NormalExit ? player.exitCode() : -3;
}

} // namespace

class TestStartupX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display: run under xvfb-run");
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void splashThenMainWindowWithTheLastPlaylist()
    {
        QTemporaryDir appFolder;
        const QString lastList = appFolder.filePath(QStringLiteral("lastlist.lst"));
        const QByteArray saved(
            "\"/home/u/Musique/Été, 1998/piste 01.mp3\"\r\n\"-\"\r\n\"/home/u/Vidéos/film.avi\"\r\n");
        QVERIFY(writeBytes(lastList, saved));

        Program program(
            {appFolder.path(), [](QWidget *area) { return std::make_unique<GstMediaEngine>(area); }});
        program.start();
        QVERIFY(program.splash());
        QVERIFY(QTest::qWaitForWindowExposed(program.splash()));
        QVERIFY(!program.splash()->mask().isEmpty());
        QVERIFY(!program.existingMainWindow());

        // The real 200 ms timer: the main window comes after about 2.8 s.
        QTRY_VERIFY_WITH_TIMEOUT(program.existingMainWindow() && program.existingMainWindow()->isVisible(),
                                 6000);
        QVERIFY(!program.splash() || program.splash()->isHidden());
        frmMain *main = program.existingMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        QCOMPARE(Playlist::entries(*main->lstPlay()),
                 (QStringList{QStringLiteral("/home/u/Musique/Été, 1998/piste 01.mp3"), QStringLiteral("-"),
                              QStringLiteral("/home/u/Vidéos/film.avi")}));
        QVERIFY(program.existingVideoWindow()->isHidden());
        QCOMPARE(program.engine().FileName(), QString());

        QVERIFY(writeBytes(lastList, "overwritten meanwhile"));
        main->close();
        QCOMPARE(readBytes(lastList), saved);
    }

    void onTopChangesTheRealWindowFlagAndKeepsTheWindowShown()
    {
        QWidget window;
        window.resize(200, 100);
        window.move(120, 80);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const OnTopRule::SetTopMost setTopMost = OnTopRule::windowFlagSetter();
        setTopMost(window, true, window.pos());
        QVERIFY(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
        setTopMost(window, false, window.pos());
        QVERIFY(!window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
    }

    void theDesktopEndingTheProgramSavesThePlaylist_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void theDesktopEndingTheProgramSavesThePlaylist()
    {
        QFETCH(int, signalNumber);
        QTemporaryDir dir;
        const QString binary = installPlayerIn(dir);
        // Unquoted and comma separated: only a save by the program turns it into the written form.
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("lastlist.lst")), "/m/a.mp3,/m/b.ogg\n"));
        QProcess player;
        player.setProgram(binary);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        player.setProcessEnvironment(env);
        // Options of an earlier run, in the per-user store under the program's name.
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("config"))));
        const QString options = dir.filePath(QStringLiteral("config/qwelto.conf"));
        QVERIFY(writeBytes(options, "[Options]\nVol=-790\nrepeat=True\nplay=0\nsuff=2\n"));
        QCOMPARE(runThenSignal(player, signalNumber), 0);
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("lastlist.lst"))),
                 QByteArray("\"/m/a.mp3\"\r\n\"/m/b.ogg\"\r\n"));
        // Restored, then saved back as they stood, with the defaults of the other keys.
        QSettings saved(options, QSettings::IniFormat);
        saved.beginGroup(QStringLiteral("Options"));
        QCOMPARE(saved.childKeys().size(), 10);
        QCOMPARE(saved.value(QStringLiteral("Vol")).toString(), QStringLiteral("-790"));
        QCOMPARE(saved.value(QStringLiteral("repeat")).toString(), QStringLiteral("True"));
        QCOMPARE(saved.value(QStringLiteral("play")).toString(), QStringLiteral("0"));
        QCOMPARE(saved.value(QStringLiteral("suff")).toString(), QStringLiteral("1"));
        QCOMPARE(saved.value(QStringLiteral("mute")).toString(), QStringLiteral("False"));
    }

    void aReadOnlyProgramFolderLosesNothing()
    {
        QTemporaryDir dir;
        const QString binary = installPlayerIn(dir);
        const QByteArray saved("/m/a.mp3,/m/b.ogg\n");
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("lastlist.lst")), saved));
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                      QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                                      QFileDevice::ReadOther | QFileDevice::ExeOther));
        QProcess player;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        QTemporaryDir config;
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        if (::geteuid() == 0) {
            // Root writes anywhere; the player runs as an ordinary user, on the offscreen platform
            // because that user may not reach this test's X server.
            player.setProgram(QStringLiteral("setpriv"));
            player.setArguments({QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                 QStringLiteral("--clear-groups"), binary});
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            env.insert(QStringLiteral("HOME"), QStringLiteral("/tmp"));
            QFile::setPermissions(config.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                     QFileDevice::WriteOther | QFileDevice::ExeOther);
            env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        } else {
            player.setProgram(binary);
        }
        player.setProcessEnvironment(env);
        QCOMPARE(runThenSignal(player, SIGTERM), 0);
        QFile::setPermissions(dir.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("lastlist.lst"))), saved);
        // No half-written file is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("lastlist.lst"), QStringLiteral("qwelto")}));
        QVERIFY2(!player.readAllStandardError().contains("rror"), "no error shown");
    }
};

QTEST_MAIN(TestStartupX11)
#include "test_startup_x11.moc"
