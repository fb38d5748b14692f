// The player as the desktop meets it, run under dbus-run-session for a session bus of the test's own:
// files on the command line, a second start handing its files over, the MPRIS interface the media keys
// and sound menus use, and files dropped on the window.
#include "MediaMaker.h"
#include "PlayerProcess.h"
#include "ProgramFixture.h"
#include "playlist/ListFile.h"
#include "ui/FileDrops.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QFrame>
#include <QListWidget>
#include <QMimeData>
#include <QSettings>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <csignal>
#include <limits>
#include <vector>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString Service = QStringLiteral("org.mpris.MediaPlayer2.qwelto");
const QString ObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

QDBusMessage call(const QString &interface, const QString &method, const QVariantList &arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(Service, ObjectPath, interface, method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, 10000);
}

QVariant busProperty(const QString &name)
{
    const QDBusMessage reply = call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                    {PlayerInterface, name});
    if (reply.type() != QDBusMessage::ReplyMessage)
        return {};
    const QVariant value = reply.arguments().value(0).value<QDBusVariant>().variant();
    return value.canConvert<QDBusArgument>() ? QVariant(qdbus_cast<QVariantMap>(value)) : value;
}

void setBusProperty(const QString &name, const QVariant &value)
{
    call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
         {PlayerInterface, name, QVariant::fromValue(QDBusVariant(value))});
}

QString playing()
{
    return busProperty(QStringLiteral("Metadata")).toMap().value(QStringLiteral("xesam:url")).toString();
}

QString urlOf(const QString &path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

// What the player announces on the bus.
class Announcements : public QObject {
    Q_OBJECT
public:
    QStringList changed;
    QList<qlonglong> seeks;

    Announcements()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.connect(Service, ObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                    QStringLiteral("PropertiesChanged"), this,
                    SLOT(onChanged(QString, QVariantMap, QStringList)));
        bus.connect(Service, ObjectPath, PlayerInterface, QStringLiteral("Seeked"), this,
                    SLOT(onSeeked(qlonglong)));
    }

public Q_SLOTS:
    void onChanged(const QString &, const QVariantMap &properties, const QStringList &)
    {
        changed += properties.keys();
    }
    void onSeeked(qlonglong position) { seeks.append(position); }
};

// The desktop's screen-saver service, as KDE and others offer it: the holds the player keeps, each
// one's cookie the count of holds so far.
class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QList<uint> held;
    uint inhibits = 0;

public Q_SLOTS:
    uint Inhibit(const QString &, const QString &) { return held.emplaceBack(++inhibits); }
    void UnInhibit(uint cookie) { held.removeOne(cookie); }
};

} // namespace

class TestDesktopX11 : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;
    QString m_tagged;
    QString m_tone;
    QString m_video;
    FakeScreenSaver m_screenSaver;

    bool startPlayer(PlayerProcess &player, const QStringList &arguments)
    {
        player.process().setArguments(arguments);
        if (!player.start())
            return false;
        // The splash takes three seconds; the bus is joined after it.
        QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
        return QTest::qWaitFor([bus] { return bus->isServiceRegistered(Service).value(); }, 60000);
    }

    // Another start of the same player (its program, settings and runtime folder), with these arguments.
    static void startBeside(PlayerProcess &player, QProcess &start, const QStringList &arguments)
    {
        start.setProcessEnvironment(player.process().processEnvironment());
        start.start(player.process().program(), arguments);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a session bus: run under dbus-run-session");
        MediaMaker maker(m_media.path());
        m_tone = maker.tone(QStringLiteral("tone.wav"), 30);
        m_tagged = maker.runFfmpeg(
            QStringLiteral("été tagged.mp3"),
            "-i " + maker.tone(QStringLiteral("plain.mp3"), 30) +
                " -metadata title=Chanson -metadata artist=Quelqu'un -metadata album=Disque -c copy");
        m_video = maker.make(QStringLiteral("avi"), 60);
        QVERIFY2(!m_tone.isEmpty() && !m_tagged.isEmpty() && !m_video.isEmpty(),
                 qPrintable(maker.lastError()));
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &m_screenSaver,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    }

    // A list file among the files replaces the last run's list, as "Charger" would; the first file plays; a
    // second start hands its own over and ends; everything is in the list saved at the end.
    void commandLineAndSecondStart()
    {
        PlayerProcess player;
        QVERIFY(writeBytes(player.listPath(), "\"" + m_tone.toUtf8() + "\"\r\n"));
        QTemporaryDir folder;
        QVERIFY(QFile::copy(m_tone, folder.filePath(QStringLiteral("in folder.wav"))));
        const QString list = folder.filePath(QStringLiteral("list.lst"));
        QVERIFY(writeBytes(list, "\"/listed/x.mp3\"\r\n"));
        QVERIFY(startPlayer(player,
                            {urlOf(m_tagged).replace("file://", "file://localhost"),
                             m_media.filePath(QStringLiteral("missing.mp3")),
                             QStringLiteral("http://example.org/x.mp3"), QString(), folder.path(), list}));

        QCOMPARE(playing(), urlOf(m_tagged));
        const QVariantMap metadata = busProperty(QStringLiteral("Metadata")).toMap();
        QCOMPARE(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Chanson"));
        QCOMPARE(metadata.value(QStringLiteral("xesam:artist")).toStringList(), QStringList{"Quelqu'un"});
        QCOMPARE(metadata.value(QStringLiteral("xesam:album")).toString(), QStringLiteral("Disque"));
        QVERIFY(metadata.value(QStringLiteral("mpris:length")).toLongLong() > 29'000'000);
        QCOMPARE(busProperty(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Playing"));

        Announcements heard;
        QProcess second;
        second.setProcessEnvironment(player.process().processEnvironment());
        second.setWorkingDirectory(m_media.path());
        second.start(player.process().program(), {QStringLiteral("tone.wav")});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(playing(), urlOf(m_tone), 10000);
        QTRY_VERIFY(heard.changed.contains(QStringLiteral("Metadata")));

        QCOMPARE(call(QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Quit")).type(),
                 QDBusMessage::ReplyMessage);
        QVERIFY(player.process().waitForFinished(30000));
        QCOMPARE(player.process().exitCode(), 0);
        QCOMPARE(readBytes(player.listPath()),
                 ListFile::encode({m_tagged, folder.filePath(QStringLiteral("in folder.wav")),
                                   QStringLiteral("/listed/x.mp3"), m_tone}));
    }

    // Four starts at the same moment, each with a file: one player, which ends up with all four.
    void startsAtTheSameMomentMakeOnePlayer()
    {
        PlayerProcess player;
        QVERIFY(writeBytes(player.listPath(), "\"/old.mp3\"\r\n"));
        QStringList expected{QStringLiteral("/old.mp3")};
        for (int i = 0; i < 4; ++i) {
            expected.append(m_media.filePath(QStringLiteral("at once %1.mp3").arg(i)));
            QVERIFY(writeBytes(expected.last(), "x"));
        }
        player.process().setArguments({expected.at(1)});
        QVERIFY(player.start());
        QProcess others[3];
        for (int i = 0; i < 3; ++i)
            startBeside(player, others[i], {expected.at(i + 2)});
        const QList<QProcess *> starts{&player.process(), &others[0], &others[1], &others[2]};
        const auto ended = [&] {
            return std::count_if(starts.cbegin(), starts.cend(),
                                 [](QProcess *p) { return p->state() == QProcess::NotRunning; });
        };
        QTRY_COMPARE_WITH_TIMEOUT(ended(), 3, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(Service),
                                 20000);
        QCOMPARE(ended(), 3);
        for (QProcess *p : starts)
            QVERIFY(p->state() == QProcess::Running || p->exitCode() == 0);
        call(QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Quit"));
        QTRY_COMPARE_WITH_TIMEOUT(ended(), 4, 10000);
        QStringList saved = ListFile::decode(readBytes(player.listPath()));
        saved.sort();
        expected.sort();
        QCOMPARE(saved, expected);
    }

    // A stopped player is waited for a few seconds, then the start says so and ends, rather than become a
    // second player; a flood of idle connections holds a handful of its descriptors; a hundred thousand
    // folders handed over (a million entries) are read in slices, so that the player still closes at
    // once, saving what it has.
    void aStoppedOrFloodedPlayerStaysTheOne()
    {
        PlayerProcess player;
        QTemporaryDir runtime;
        player.setEnvironment(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        QVERIFY(startPlayer(player, {}));
        const auto pid = static_cast<pid_t>(player.process().processId());
        QTemporaryDir folder;
        for (int i = 0; i < 10; ++i)
            QVERIFY(writeBytes(folder.filePath(QStringLiteral("d/%1.mp3").arg(i)), "x"));
        QProcess refused;
        ::kill(pid, SIGSTOP);
        startBeside(player, refused, {m_tone});
        QVERIFY(refused.waitForFinished(20000));
        ::kill(pid, SIGCONT);
        QCOMPARE(refused.exitCode(), 1);
        QVERIFY(QString::fromUtf8(refused.readAllStandardError()).contains(u"ne répond pas"));

        const QStringList sockets =
            QDir(runtime.path()).entryList({QStringLiteral("*.socket")}, QDir::Files | QDir::System);
        QCOMPARE(sockets.size(), 1);
        sockaddr_un address{AF_UNIX, {}};
        qstrcpy(address.sun_path, QFile::encodeName(runtime.filePath(sockets.first())).constData());
        const rlimit most{1100, 1100};
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &most), 0);
        std::vector<int> idle;
        QElapsedTimer flooding;
        flooding.start();
        // As many as get in within a second: a player that took them all would be out of descriptors.
        while (idle.size() < 1019 && flooding.elapsed() < 1000) {
            const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            if (::connect(s, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
                idle.push_back(s);
            else
                ::close(s);
        }
        QVERIFY(QDir(QStringLiteral("/proc/%1/fd").arg(pid))
                    .entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)
                    .size() < 100);
        for (const int s : idle)
            ::close(s);

        QProcess later;
        startBeside(player, later, {m_tagged});
        QVERIFY(later.waitForFinished(20000));
        QCOMPARE(later.exitCode(), 0);
        QProcess many;
        many.setWorkingDirectory(folder.path());
        startBeside(player, many, QStringList(100000, QStringLiteral("d")));
        QVERIFY(many.waitForFinished(20000));
        QCOMPARE(many.exitCode(), 0);
        QCOMPARE(player.signalAndWait(SIGTERM, 5000), 0);
        const QStringList saved = ListFile::decode(readBytes(player.listPath()));
        QCOMPARE(saved.value(0), m_tagged);
        QCOMPARE(saved.value(1), folder.filePath(QStringLiteral("d/0.mp3")));
    }

    // Each method runs the window's own handler, so the window saves what the bus set.
    void mediaControls()
    {
        PlayerProcess player;
        const QString second = MediaMaker(m_media.path()).tone(QStringLiteral("second.wav"), 2);
        QVERIFY(startPlayer(player, {m_tone, second}));
        Announcements heard;
        const auto status = [] { return busProperty(QStringLiteral("PlaybackStatus")).toString(); };
        QCOMPARE(status(), QStringLiteral("Playing"));
        QCOMPARE(busProperty(QStringLiteral("CanGoNext")).toBool(), true);

        call(PlayerInterface, QStringLiteral("PlayPause"));
        QCOMPARE(status(), QStringLiteral("Paused"));
        call(PlayerInterface, QStringLiteral("PlayPause"));
        QCOMPARE(status(), QStringLiteral("Playing"));
        // Close to the end: the file ends by itself and the tick moves on, which is no seek.
        call(PlayerInterface, QStringLiteral("Seek"), {qlonglong(28'500'000)});
        QVERIFY(busProperty(QStringLiteral("Position")).toLongLong() >= 28'500'000);
        QTRY_COMPARE(heard.seeks.size(), 1);
        heard.changed.clear();
        QTRY_VERIFY_WITH_TIMEOUT(heard.changed.contains(QStringLiteral("Metadata")), 10000);
        // The next item starts at its start, not where the old one was (past the end of this one).
        QCOMPARE(playing(), urlOf(second));
        QVERIFY(busProperty(QStringLiteral("Position")).toLongLong() < 1'000'000);
        QCOMPARE(busProperty(QStringLiteral("CanGoNext")).toBool(), false);
        call(PlayerInterface, QStringLiteral("Previous"));
        QCOMPARE(playing(), urlOf(m_tone));
        // Past the end is the next item, as Next is: no seek.
        call(PlayerInterface, QStringLiteral("Seek"), {std::numeric_limits<qlonglong>::max()});
        QCOMPARE(playing(), urlOf(second));
        QCOMPARE(heard.seeks.size(), 1);

        call(PlayerInterface, QStringLiteral("Stop"));
        QCOMPARE(status(), QStringLiteral("Stopped"));

        // The volume slider has ten steps: 0.34 is its third.
        setBusProperty(QStringLiteral("Volume"), 0.34);
        QCOMPARE(busProperty(QStringLiteral("Volume")).toDouble(), 0.3);
        setBusProperty(QStringLiteral("LoopStatus"), QStringLiteral("Playlist"));
        QCOMPARE(busProperty(QStringLiteral("LoopStatus")).toString(), QStringLiteral("Playlist"));
        setBusProperty(QStringLiteral("Shuffle"), true);
        QTRY_VERIFY(heard.changed.contains(QStringLiteral("Volume")) &&
                    heard.changed.contains(QStringLiteral("PlaybackStatus")) &&
                    heard.changed.contains(QStringLiteral("Shuffle")));

        call(QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Quit"));
        QVERIFY(player.process().waitForFinished(30000));
        QCOMPARE(player.process().exitCode(), 0);
        const QSettings saved(player.settingsPath(), QSettings::IniFormat);
        QCOMPARE(saved.value(QStringLiteral("Options/Vol")).toString(), QStringLiteral("-1040"));
        QCOMPARE(saved.value(QStringLiteral("Options/repeat")).toString(), QStringLiteral("True"));
        QCOMPARE(saved.value(QStringLiteral("Options/suff")).toString(), QStringLiteral("1"));
    }

    // While a video plays the desktop's screen saver is held off; pausing, stopping, a sound file and
    // the player's end give it back.
    void theScreenSaverWaitsWhileAVideoPlays()
    {
        PlayerProcess player;
        QVERIFY(startPlayer(player, {m_video, m_tone}));
        const auto held = [this] { return m_screenSaver.held.size(); };
        QTRY_COMPARE_WITH_TIMEOUT(held(), 1, 20000);
        for (const char *command : {"Pause", "Play", "Stop", "Play", "Next", "Previous"}) {
            call(PlayerInterface, QLatin1String(command));
            const int holds = qstrcmp(command, "Play") == 0 || qstrcmp(command, "Previous") == 0 ? 1 : 0;
            QTRY_COMPARE_WITH_TIMEOUT(held(), holds, 20000);
        }
        call(QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Quit"));
        QVERIFY(player.process().waitForFinished(20000));
        QTRY_COMPARE_WITH_TIMEOUT(held(), 0, 20000);
        // The tone that played between them held nothing, nor did the other tests' sound files.
        QCOMPARE(m_screenSaver.inhibits, 4u);
    }

    // On the list: inserted where the line shows, playback left alone. Elsewhere: added and played.
    void drops()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a.mp3"));
        const QString list = dir.filePath(QStringLiteral("l.m3u"));
        QVERIFY(writeBytes(a, "x") && writeBytes(list, "#EXTM3U\n/l/1.wav\n"));
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(dir.filePath(QStringLiteral("gone.mp3"))),
                       QUrl::fromLocalFile(list), QUrl(QStringLiteral("https://example.org/b.mp3"))});
        QMimeData web;
        web.setUrls({QUrl(QStringLiteral("https://example.org/b.mp3"))});

        ProgramFixture f;
        frmMain &window = f.main();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QListWidget &lstPlay = *window.lstPlay();
        lstPlay.addItems(
            {QStringLiteral("/p/0.mp3"), QStringLiteral("/p/1.mp3"), QStringLiteral("/p/2.mp3")});
        lstPlay.setCurrentRow(2);
        f.program->transport().lstPlay_DblClick();
        QWidget *viewport = lstPlay.viewport();
        const QPoint upperHalfOfRow1 =
            lstPlay.visualRect(lstPlay.model()->index(1, 0)).topLeft() + QPoint(4, 2);

        QDragEnterEvent refused(upperHalfOfRow1, Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &refused);
        QVERIFY(!refused.isAccepted());
        QDragEnterEvent enter(upperHalfOfRow1, Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QFrame *line = viewport->findChild<QFrame *>(QStringLiteral("dropIndicator"));
        QVERIFY(line && line->isVisible());
        QVERIFY(qAbs(line->geometry().center().y() -
                     lstPlay.visualRect(lstPlay.model()->index(1, 0)).top()) <= 1);
        QDropEvent drop(upperHalfOfRow1, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &drop);
        QVERIFY(!line->isVisible());
        QTRY_COMPARE(f.entries(), (QStringList{"/p/0.mp3", a, "/l/1.wav", "/p/1.mp3", "/p/2.mp3"}));
        // The entry that plays moved down, and Next goes on from it.
        QCOMPARE(f.engine().opened, QStringList{"/p/2.mp3"});
        QCOMPARE(f.program->sharedState().CurrentIndex, 4);

        // A drop reaches the widget that took the drag.
        QDragEnterEvent enterWindow(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &enterWindow);
        QDropEvent onWindow(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &onWindow);
        // The list file among them is loaded in place of the playlist, as "Charger" would.
        QTRY_COMPARE(f.entries(), (QStringList{a, "/l/1.wav"}));
        QCOMPARE(f.engine().opened.last(), a);
    }
};

QTEST_MAIN(TestDesktopX11)
#include "test_desktop_x11.moc"
