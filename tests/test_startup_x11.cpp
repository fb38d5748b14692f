// The program as a user meets it: on a real X display (Xvfb), with the real media engine, and as a
// separate process ended by the desktop session.
#include "MemorySettings.h"
#include "PlayerProcess.h"
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
#include <QTimer>
#include <QWindow>

#include <csignal>

namespace {

QByteArray readBytes(const QString &path)
{
    return PlayerProcess::readBytes(path);
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    return PlayerProcess::writeBytes(path, bytes);
}

// Starts the player, lets the splash hand over and the load finish, then ends it with a signal.
int runThenSignal(PlayerProcess &player, int signalNumber)
{
    if (!player.start())
        return -1;
    QTest::qWait(4500);
    return player.signalAndWait(signalNumber);
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
        // What is looked at here is the state at the handover. The first tick, 500 ms on, starts the list
        // from its second entry, the break marker, whose box waits for an answer; a slow or busy machine
        // (a sanitizer build) can take longer than that to expose the window.
        program.existingMainWindow()->tmrAnimate()->stop();
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
        PlayerProcess player;
        // Unquoted and comma separated: only a save by the program turns it into the written form.
        QVERIFY(writeBytes(player.listPath(), "/m/a.mp3,/m/b.ogg\n"));
        // Options of an earlier run, in the per-user store under the program's name.
        const QString options = player.settingsPath();
        QVERIFY(writeBytes(options, "[Options]\nVol=-790\nrepeat=True\nplay=0\nsuff=2\n"));
        QCOMPARE(runThenSignal(player, signalNumber), 0);
        QCOMPARE(readBytes(player.listPath()), QByteArray("\"/m/a.mp3\"\r\n\"/m/b.ogg\"\r\n"));
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
        PlayerProcess player;
        const QByteArray saved("/m/a.mp3,/m/b.ogg\n");
        QVERIFY(writeBytes(player.listPath(), saved));
        player.runAsOrdinaryUser();
        const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                                  QFileDevice::ReadOther | QFileDevice::ExeOther;
        QVERIFY(QFile::setPermissions(player.folder(), readOnly));
        QCOMPARE(runThenSignal(player, SIGTERM), 0);
        QFile::setPermissions(player.folder(), readOnly | QFileDevice::WriteOwner);
        QCOMPARE(readBytes(player.listPath()), saved);
        // No half-written file is left beside it.
        QCOMPARE(QDir(player.folder()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("lastlist.lst"), QStringLiteral("qwelto")}));
        QVERIFY2(!player.process().readAllStandardError().contains("rror"), "no error shown");
        // The list went to the user's data folder, made for it, and is read from there next time.
        QCOMPARE(readBytes(player.dataListPath()), QByteArray("\"/m/a.mp3\"\r\n\"/m/b.ogg\"\r\n"));
        QVERIFY(writeBytes(player.dataListPath(), "/m/c.wav\n"));
        QFile::setPermissions(player.folder(), readOnly);
        QCOMPARE(runThenSignal(player, SIGTERM), 0);
        QFile::setPermissions(player.folder(), readOnly | QFileDevice::WriteOwner);
        QCOMPARE(readBytes(player.dataListPath()), QByteArray("\"/m/c.wav\"\r\n"));
    }
};

QTEST_MAIN(TestStartupX11)
#include "test_startup_x11.moc"
