// The real player as a separate process, as the desktop session runs it: started where it cannot show
// a window, where it says why and stops; ended by the session's signals; fed what a user's disk really
// holds (media that cannot be played among media that can, list files that are damaged or were never
// list files, options that do not convert), where it must not crash or hang, must play what it can and
// keep what it was given; left without its display, where it must save on the way out; and killed while
// it saves, where the next run must find either the old file or the new one, whole, never a cut one.
#include "MediaMaker.h"
#include "PlayerProcess.h"
#include "core/OptionConversions.h"
#include "playlist/ListFile.h"
#include "ui/Marquee.h"
#include "ui/OnTopRule.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QSettings>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <csignal>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Folders nested until the path is `length` characters long, each name within the 255-byte limit.
QString deepFolder(const QString &root, int length)
{
    QString path = root;
    int n = 0;
    while (path.size() < length)
        path += QStringLiteral("/dossier %1 ").arg(++n) + QString(100, QChar(u'é'));
    QDir().mkpath(path);
    return path;
}

// A list in a form only a hand would write: once the program has saved it, it reads differently.
const QByteArray HandWrittenList("/m/a.mp3,/m/b.ogg\n/m/c d.wav\n");

// All ten options, in a form the program does not write (lower-case booleans).
const QByteArray EarlierOptions("[Options]\nVol=-790\nsuff=1\ntimemode=true\nmute=false\nrepeat=true\n"
                                "top=1500\nleft=1500\nplay=1\nOntop=false\nFitToSize=true\n");

// Preloads the helper that strikes at saving files under those folders (":" between them).
void strikeWhileSaving(PlayerProcess &player, const QString &folders, const QString &step,
                       const QString &fault)
{
    // Under the sanitizers, scripts/test-sanitizers.sh turns off the runtime's load-order check for it.
    player.setEnvironment(QStringLiteral("LD_PRELOAD"), QStringLiteral(SAVE_FAULTS));
    player.setEnvironment(QStringLiteral("QWELTO_FAULT_UNDER"), folders);
    player.setEnvironment(QStringLiteral("QWELTO_FAULT_AT"), step);
    player.setEnvironment(QStringLiteral("QWELTO_FAULT"), fault);
}

// The player's top-level windows the X server shows, topmost first: what a user sees, whatever Qt
// believes.
QList<QRect> mappedWindows(const QProcess &player)
{
    QProcess tool;
    tool.start(u"xdotool"_s,
               {u"search"_s, u"--onlyvisible"_s, u"--pid"_s, QString::number(player.processId())});
    tool.waitForFinished(10000);
    const QList<QByteArray> ours = tool.readAllStandardOutput().split('\n');
    tool.start(u"xwininfo"_s, {u"-root"_s, u"-children"_s});
    tool.waitForFinished(10000);
    // '     0x200015 "Qwelto Player": ("qwelto" "qwelto")  283x239+498+392  +498+392'
    static const QRegularExpression line(uR"(^\s+(0x\w+) .* (\d+)x(\d+)\S*\s+\+(-?\d+)\+(-?\d+)$)"_s);
    QList<QRect> windows;
    for (const QString &text : QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n')) {
        const QRegularExpressionMatch m = line.match(text);
        if (m.hasMatch() && ours.contains(QByteArray::number(m.captured(1).toULongLong(nullptr, 16))))
            windows.append(
                {m.captured(4).toInt(), m.captured(5).toInt(), m.captured(2).toInt(), m.captured(3).toInt()});
    }
    return windows;
}

} // namespace

class TestProgramX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void onTopChangesTheRealWindowFlagAndKeepsTheWindowShown()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display: run under xvfb-run");
        QWidget window;
        window.resize(200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const OnTopRule::SetTopMost setTopMost = OnTopRule::windowFlagSetter();
        for (const bool onTop : {true, false}) {
            setTopMost(window, onTop, window.pos());
            QCOMPARE(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), onTop);
            QVERIFY(window.isVisible());
        }
    }

    // Idle, the marquee still scrolls on the screen: the X server draws its strip from the line it
    // keeps, the text lit on black.
    void theMarqueeScrollsOnTheScreen()
    {
        PlayerProcess player;
        QVERIFY(player.start());
        const frmMain layout;
        const QRect strip = layout.txtTitle()->geometry().adjusted(4, 2, -4, -2);
        QScreen &screen = *QGuiApplication::primaryScreen();
        QRect main;
        QTRY_VERIFY_WITH_TIMEOUT(std::ranges::any_of(mappedWindows(player.process()),
                                                     [&](const QRect &w) {
                                                         main = w;
                                                         return w.size() == layout.size();
                                                     }),
                                 30000);
        const auto shown = [&] {
            const QRect r = strip.translated(main.topLeft());
            return screen.grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
        };
        const auto lit = [](const QImage &image) {
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    count += qGreen(image.pixel(x, y)) > 128;
            return count;
        };
        QImage first;
        QTRY_VERIFY_WITH_TIMEOUT(lit(first = shown()) > 20, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(shown() != first && lit(shown()) > 20, 10000);
    }

    // The video window as the X server shows it, with no window manager: the picture's opaque surface
    // keeps every paint event from it. Full screen left with Escape gives the window back where it was,
    // the whole picture in it, over the main window; the WMA that follows takes the window away.
    void theVideoWindowOnTheScreen()
    {
        PlayerProcess player;
        MediaMaker maker(player.folder());
        const QString bars =
            maker.runFfmpeg(u"bars.avi"_s, u"-f lavfi -i smptebars=s=640x480 -t 30 -q:v 2"_s);
        const QString song = maker.tone(u"song.wma"_s, 20);
        // The tick plays the second entry first. The film lasts long enough for the clicks below on a
        // loaded machine.
        QVERIFY(!bars.isEmpty() && !song.isEmpty() && ListFile::write(player.listPath(), {bars, bars, song}));
        QVERIFY(player.start());
        const frmMain layout; // where the player's controls are
        QScreen &screen = *QGuiApplication::primaryScreen();
        const auto windows = [&] { return mappedWindows(player.process()); };
        // The main window, told by its size, or the video window, of any other but full screen's.
        const auto window = [&](bool main) {
            for (const QRect &w : windows())
                if ((w.size() == layout.size()) == main && w != screen.geometry() && w.width() > 8)
                    return w;
            return QRect();
        };
        const auto shown = [&] {
            const QRect w = window(false);
            return screen.grabWindow(0, w.x(), w.y(), w.width(), w.height()).toImage();
        };
        const auto xdotool = [](const QString &arguments) {
            QProcess::execute(u"xdotool"_s, arguments.split(u' '));
        };
        // The whole bars in the window (the frames scaled to it arrive a little after the first): the last
        // one, blue, at its right edge.
        const auto barsWhole = [&] {
            const QImage now = shown();
            if (now.isNull())
                return false;
            const QRgb last = now.pixel(now.width() - now.width() / 14, now.height() / 3);
            return qBlue(last) > 150 && qRed(last) < 60 && qGreen(last) < 60;
        };
        // The splash has given way to the main window, and the video plays.
        QTRY_VERIFY_WITH_TIMEOUT(window(true).isValid() && window(false).isValid() && barsWhole(), 20000);
        const QRect before = window(false);

        const QPoint zoom = window(true).topLeft() + layout.cmdFull()->geometry().center();
        const qsizetype count = windows().size();
        xdotool(u"mousemove %1 %2 click 1"_s.arg(zoom.x()).arg(zoom.y()));
        QTRY_COMPARE(windows().size(), count + 1); // the zoom menu
        xdotool(u"key p"_s);                       // "&Plein écran"
        QTRY_VERIFY(windows().contains(screen.geometry()));
        xdotool(u"key Escape"_s);
        QTRY_VERIFY(!windows().contains(screen.geometry()));
        QTRY_VERIFY_WITH_TIMEOUT(barsWhole(), 10000);
        QCOMPARE(window(false), before);
        QVERIFY(windows().indexOf(before) < windows().indexOf(window(true)));

        QTRY_VERIFY_WITH_TIMEOUT(player.openFiles().contains(song), 60000);
        QTRY_VERIFY(!window(false).isValid());
        QCOMPARE(player.signalAndWait(SIGTERM), 0);
    }

    // Qt aborts when told to use a platform it cannot load, or a display that is not there; the player
    // says why and stops cleanly. Asked for help or its version, it answers without any display.
    void messagesInsteadOfAWindow_data()
    {
        QTest::addColumn<QString>("setting"); // QT_QPA_PLATFORM|DISPLAY|WAYLAND_DISPLAY|what the player says
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("plugin missing")
            << u"wayland-absent||nowhere|\"wayland-absent\" platform plugin is not installed"_s
            << QStringList() << 2;
        QTest::newRow("no X server there")
            << u"|:987||the display \":987\" (DISPLAY) does not answer"_s << QStringList() << 2;
        QTest::newRow("no compositor there")
            << u"||qwelto-nowhere|\"qwelto-nowhere\" (WAYLAND_DISPLAY) does not answer"_s << QStringList()
            << 2;
        QTest::newRow("help") << u"wayland-absent||nowhere|Utilisation : qwelto"_s
                              << QStringList{u"a.mp3"_s, u"--help"_s} << 0;
        QTest::newRow("help, English")
            << u"wayland-absent||nowhere|\nUsage: qwelto"_s << QStringList{u"-h"_s} << 0;
        QTest::newRow("version") << u"wayland-absent||nowhere|Qwelto Player 2.0\n"_s
                                 << QStringList{u"--version"_s} << 0;
    }
    void messagesInsteadOfAWindow()
    {
        QFETCH(QString, setting);
        QFETCH(QStringList, arguments);
        const QStringList in = setting.split(u'|');
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString names[] = {u"QT_QPA_PLATFORM"_s, u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s};
        for (int i = 0; i < 3; ++i)
            in[i].isEmpty() ? env.remove(names[i]) : env.insert(names[i], in[i]);
        QProcess player;
        player.setProcessEnvironment(env);
        player.start(QStringLiteral(QWELTO_BINARY), arguments);
        QVERIFY(player.waitForFinished(30000));
        QTEST(player.exitCode(), "exitCode");
        const QByteArray said = player.readAllStandardOutput() + player.readAllStandardError();
        QVERIFY2(said.contains(in[3].toUtf8()), said.constData());
    }

    // Options of an earlier run are restored, then saved back as they stood with the defaults of the other
    // keys; options that do not convert end the restore, and with it the list's load, where they stand:
    // the rest keep their defaults and the list goes to lastlist.lst.bak.
    void theDesktopEndingTheProgramSavesThePlaylist_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("saved"); // Vol repeat play suff mute timemode
        const QByteArray read("\"/m/a.mp3\"\r\n\"/m/b.ogg\"\r\n");
        const QByteArray earlier("[Options]\nVol=-790\nrepeat=True\nplay=0\nsuff=2\n");
        QTest::newRow("SIGTERM") << int(SIGTERM) << earlier << read << "-790 True 0 1 False True";
        QTest::newRow("SIGHUP") << int(SIGHUP) << earlier << read << "-790 True 0 1 False True";
        QTest::newRow("SIGINT, options that do not convert")
            << int(SIGINT)
            << QByteArray("[Options]\nVol=beaucoup\nsuff=1e400\ntimemode=peut-\xEAtre\nmute=\nrepeat=2\n"
                          "top=-99999999999\nleft=NaN\nplay=7\n")
            << QByteArray() << "0 False 1 0 False True";
    }
    void theDesktopEndingTheProgramSavesThePlaylist()
    {
        QFETCH(int, signalNumber);
        QFETCH(QByteArray, options);
        PlayerProcess player;
        // Unquoted and comma separated: only a save by the program turns it into the written form.
        QVERIFY(writeBytes(player.listPath(), "/m/a.mp3,/m/b.ogg\n"));
        QVERIFY(writeBytes(player.settingsPath(), options));
        QCOMPARE(player.runThenSignal(signalNumber), 0);
        QTEST(readBytes(player.listPath()), "list");
        QSettings saved(player.settingsPath(), QSettings::IniFormat);
        saved.beginGroup(QStringLiteral("Options"));
        QCOMPARE(saved.childKeys().size(), 10);
        QStringList values;
        for (const char *key : {"Vol", "repeat", "play", "suff", "mute", "timemode"})
            values << saved.value(QLatin1String(key)).toString();
        QTEST(values.join(u' '), "saved");
        for (const char *key : {"top", "left"})
            QVERIFY2(StoredOptions::toSingle(saved.value(QLatin1String(key)).toString()), key);
    }

    // The X server or the compositor dies under the player: Qt ends it at once, with exit code 1, and the
    // list, with the file added in this run, and the options are saved on the way out.
    void theDisplayGoingAwayKeepsTheSession_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::newRow("X") << QStringLiteral("xcb");
        QTest::newRow("Wayland") << QStringLiteral("wayland");
    }
    void theDisplayGoingAwayKeepsTheSession()
    {
        QFETCH(QString, platform);
        PlayerProcess player;
        QTemporaryDir runtime;
        QProcess display;
        if (platform == QLatin1String("xcb")) {
            display.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-nolisten", "tcp"});
            QTRY_VERIFY_WITH_TIMEOUT(display.canReadLine(), 20000);
            player.setEnvironment(QStringLiteral("DISPLAY"), u':' + display.readLine().trimmed());
        } else {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
            display.setProcessEnvironment(env);
            display.start(QStringLiteral("weston"), {"--backend=headless-backend.so", "--use-pixman",
                                                     "--socket=dying", "--idle-time=0"});
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(runtime.filePath(QStringLiteral("dying"))), 20000);
            player.setEnvironment(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("dying"));
        }
        player.setEnvironment(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        player.setEnvironment(QStringLiteral("QT_QPA_PLATFORM"), platform);
        const QString added = MediaMaker(player.folder()).tone(QStringLiteral("added.wav"), 30);
        QVERIFY(writeBytes(player.listPath(), "\"/m/old.mp3\"\r\n"));
        player.process().setArguments({added});
        QVERIFY(player.start());
        // Playing it: the main window is loaded, the list read.
        std::ignore =
            QTest::qWaitFor([&] { return !player.isRunning() || player.openFiles().contains(added); }, 60000);
        QVERIFY2(player.openFiles().contains(added),
                 player.isRunning() ? "running, not playing" : player.process().readAllStandardError());
        display.kill();
        display.waitForFinished();
        QVERIFY(player.process().waitForFinished(20000));
        QCOMPARE(player.process().exitCode(), 1);
        QCOMPARE(readBytes(player.listPath()), ListFile::encode({QStringLiteral("/m/old.mp3"), added}));
        QVERIFY(QSettings(player.settingsPath(), QSettings::IniFormat)
                    .contains(QStringLiteral("Options/FitToSize")));
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
        // The data folder full at first: no list is made there, which would hide this one from then on.
        strikeWhileSaving(player, QFileInfo(player.dataListPath()).path() + u'/', QStringLiteral("write"),
                          QStringLiteral("ENOSPC"));
        QCOMPARE(player.runThenSignal(SIGTERM), 0);
        QVERIFY(!QFileInfo::exists(player.dataListPath()));
        player.setEnvironment(QStringLiteral("QWELTO_FAULT_AT"), QString());
        QCOMPARE(player.runThenSignal(SIGTERM), 0);
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
        QCOMPARE(player.runThenSignal(SIGTERM), 0);
        QFile::setPermissions(player.folder(), readOnly | QFileDevice::WriteOwner);
        QCOMPARE(readBytes(player.dataListPath()), QByteArray("\"/m/c.wav\"\r\n"));
    }

    // Every kind of file that cannot be played, between files that can: the player skips the first
    // and plays the second, to the end of the list, and saves the list as it was.
    void unplayableMediaIsSkippedAndTheRestPlays()
    {
        PlayerProcess player;
        const QString mediaDir = QDir(player.folder()).filePath(QStringLiteral("media"));
        QDir().mkpath(mediaDir);
        MediaMaker maker(mediaDir);

        const QString deep = deepFolder(mediaDir, 1500) + QStringLiteral("/au fond.wav");
        QVERIFY(QFile::copy(maker.tone(QStringLiteral("court.wav"), 0.6), deep));
        const QStringList playable = {
            maker.tone(QStringLiteral("日本語の歌.mp3"), 0.6), maker.tone(QStringLiteral("Песня.ogg"), 0.6),
            maker.make(QStringLiteral("avi"), 0.6, QStringLiteral("فيلم قصير")),
            deep, // longer than any path Windows allowed, well within what Linux allows
        };
        for (const QString &path : playable)
            QVERIFY2(!path.isEmpty(), qPrintable(maker.lastError()));

        // The first third of a film: its index and most of its frames are missing.
        QFile whole(maker.make(QStringLiteral("avi"), 2.0, QStringLiteral("entier")));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        const QString truncated = QDir(mediaDir).filePath(QStringLiteral("tronqué.avi"));
        QVERIFY(writeBytes(truncated, whole.read(whole.size() / 3)));
        const QString unreadable = maker.tone(QStringLiteral("interdit.wav"), 0.6);
        const QString fifo = maker.namedPipe(QStringLiteral("tube.mp3"));

        const QStringList entries = {
            maker.emptyFile(QStringLiteral("vide.mp3")),
            playable.at(0),
            maker.randomBytes(QStringLiteral("hasard.avi")),
            truncated,
            maker.directory(QStringLiteral("dossier.mp3")),
            playable.at(1),
            maker.missing(QStringLiteral("absent.ogg")),
            unreadable,
            fifo,
            mediaDir + QLatin1Char('/') + QString(5000, QLatin1Char('x')) + QStringLiteral(".mp3"),
            playable.at(2),
            playable.at(3),
        };
        QVERIFY(ListFile::write(player.listPath(), entries));
        player.runAsOrdinaryUser();
        // Everything readable by the player, whoever it runs as, but the one file that must not be.
        QDirIterator all(mediaDir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                         QDirIterator::Subdirectories);
        while (all.hasNext()) {
            const QString path = all.next();
            ::chmod(QFile::encodeName(path).constData(), QFileInfo(path).isDir() ? 0777 : 0666);
        }
        QVERIFY(QFile::setPermissions(unreadable, QFileDevice::Permissions()));

        QVERIFY(player.start());
        QSet<QString> played;
        std::ignore = QTest::qWaitFor(
            [&] {
                for (const QString &open : player.openFiles()) {
                    if (playable.contains(open))
                        played.insert(open);
                }
                return played.size() == playable.size() || !player.isRunning();
            },
            60000);
        QVERIFY2(player.isRunning(), "the player ended by itself");
        for (const QString &path : playable)
            QVERIFY2(played.contains(path), qPrintable(QStringLiteral("never played: ") + path.left(200)));
        // A file is also opened for a moment ahead of its turn, while the one before it plays. The last
        // one open after the film let go is the list's end: it stays loaded, rewound, and the player
        // waits for the user, still answering.
        QTRY_VERIFY_WITH_TIMEOUT(player.openFiles().contains(playable.last()) &&
                                     !player.openFiles().contains(playable.at(2)),
                                 20000);
        QVERIFY2(player.isRunning(), "the player ended by itself");
        QCOMPARE(player.signalAndWait(SIGTERM), 0);
        QCOMPARE(ListFile::read(player.listPath()).value_or(QStringList()), entries);
    }

    // A list on a disk that is not there: walking it, the player still answers SIGTERM (generous
    // bound: it took minutes), and saves the list back as it was.
    void aListOfMissingFilesKeepsThePlayerAnswering()
    {
        PlayerProcess player;
        QByteArray bytes;
        for (int i = 0; i < 100000; ++i)
            bytes += "\"/media/absent/piste " + QByteArray::number(i) + ".avi\"\r\n";
        QVERIFY(writeBytes(player.listPath(), bytes) && player.start() && player.waitUntilLoaded());
        QCOMPARE(player.signalAndWait(SIGTERM), 0);
        QVERIFY(readBytes(player.listPath()) == bytes);
    }

    void damagedListFilesLoadWhatTheyCan_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        // What stands at the list's name ($L) or the options' ($O) instead of a regular file.
        QTest::addColumn<QString>("odd");
        QByteArray garbage(256 * 1024, '\0');
        QRandomGenerator random(77u);
        for (char &b : garbage)
            b = static_cast<char>(random.bounded(256));
        QTest::newRow("binary garbage") << garbage << QString();
        QTest::newRow("a 10 MB line") << QByteArray("\"/m/a.mp3\"\r\n") + QByteArray(10 * 1024 * 1024, 'z') +
                                             QByteArray("\r\n\"/m/b.mp3\"\r\n")
                                      << QString();
        for (const char *odd :
             {"mkfifo $L", "ln -s /dev/zero $L", "mknod -m 666 $L c 1 3", "mkfifo $O", "ln -s /dev/zero $O"})
            QTest::newRow(odd) << QByteArray() << QString::fromLatin1(odd);
    }

    // The list comes back as the program read it: whatever the reader could make of the file is
    // written back, in the program's own form, and nothing of it is lost. A name that is no regular
    // file counts as missing, without waiting on a pipe or reading a device without end, and stays what
    // it was.
    void damagedListFilesLoadWhatTheyCan()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, odd);
        PlayerProcess player;
        if (odd.isEmpty()) {
            QVERIFY(writeBytes(player.listPath(), bytes));
            QCOMPARE(player.runThenSignal(SIGTERM), 0);
            const QStringList loaded = ListFile::decode(bytes);
            const QByteArray saved = readBytes(player.listPath());
            QCOMPARE(saved.size(), ListFile::encode(loaded).size());
            QVERIFY(saved == ListFile::encode(loaded));
            return;
        }
        if (odd.startsWith(QLatin1String("mknod")) && ::geteuid() != 0)
            QSKIP("a device node of its own needs root");
        QProcess make;
        make.setEnvironment(QProcess::systemEnvironment() +
                            QStringList{u"L="_s + player.listPath(), u"O="_s + player.settingsPath()});
        make.start(u"sh"_s, {u"-c"_s, odd});
        QVERIFY(make.waitForFinished() && make.exitCode() == 0);
        const QByteArray name =
            QFile::encodeName(odd.endsWith(u'O') ? player.settingsPath() : player.listPath());
        struct stat before;
        QCOMPARE(::lstat(name, &before), 0);
        // Run as root, a player that took the link for the file would replace /dev/zero itself.
        player.runAsOrdinaryUser();
        QCOMPARE(player.runThenSignal(SIGTERM), 0);
        struct stat after;
        QCOMPARE(::lstat(name, &after), 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_ino, before.st_ino);
    }

    // Killed at a moment of saving one file, or every step of saving failing for both as a full or
    // failing disk makes it fail: the next run finds the old file or the new one, whole.
    void aSaveThatFailsOrIsKilledKeepsTheOldFiles_data()
    {
        QTest::addColumn<QString>("struck"); // whose folder: the list's, the options' or both
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("skip");
        for (const char *struck : {"list", "options"}) {
            for (const char *step : {"write", "sync"})
                QTest::addRow("%s, killed at %s", struck, step) << struck << step << "kill" << 0;
        }
        // Where the ten options are written one by one, there is a second one to strike.
        QTest::newRow("options, killed at a second sync") << "options"
                                                          << "sync"
                                                          << "kill" << 1;
        for (const char *step : {"write", "sync", "rename"}) {
            for (const char *fault : {"ENOSPC", "EIO"})
                QTest::addRow("%s at %s", fault, step) << "both" << step << fault << 0;
        }
    }

    void aSaveThatFailsOrIsKilledKeepsTheOldFiles()
    {
        QFETCH(QString, struck);
        QFETCH(QString, step);
        QFETCH(QString, fault);
        QFETCH(int, skip);
        PlayerProcess player;
        QVERIFY(writeBytes(player.listPath(), HandWrittenList));
        QVERIFY(writeBytes(player.settingsPath(), EarlierOptions));
        const QString optionsFolder = QFileInfo(player.settingsPath()).path();
        QStringList folders;
        if (struck != QLatin1String("options"))
            folders << player.folder() + u'/';
        if (struck != QLatin1String("list"))
            folders << optionsFolder + u'/';
        strikeWhileSaving(player, folders.join(u':'), step, fault);
        player.setEnvironment(u"QWELTO_FAULT_SKIP"_s, QString::number(skip));

        // The session ends the player; it saves, and dies in the middle or goes on to its end.
        const int exit = player.runThenSignal(SIGTERM);
        if (fault == QLatin1String("kill")) {
            QVERIFY2(exit == -3 || (skip > 0 && exit == 0), qPrintable(QString::number(exit)));
            QVERIFY(exit == 0 || player.process().exitCode() == int(SIGKILL));
        } else {
            QCOMPARE(exit, 0);
        }

        if (struck == QLatin1String("options"))
            QCOMPARE(ListFile::read(player.listPath()).value_or(QStringList()),
                     ListFile::decode(HandWrittenList));
        else
            QCOMPARE(readBytes(player.listPath()), HandWrittenList);
        // The ten options go together, all new or all old: the earlier ones have lower-case booleans.
        const QByteArray options = readBytes(player.settingsPath());
        if (skip == 0)
            QCOMPARE(options, EarlierOptions);
        else
            QVERIFY2(options == EarlierOptions || !options.contains("=true"), options.constData());
        // A player that lives on takes away what it had half written; a killed one cannot.
        if (fault == QLatin1String("kill"))
            return;
        QCOMPARE(QDir(player.folder()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("lastlist.lst"), QStringLiteral("qwelto")}));
        QCOMPARE(QDir(optionsFolder).entryList(QDir::Files | QDir::Hidden), QStringList{"qwelto.conf"});
    }
};

QTEST_MAIN(TestProgramX11)
#include "test_program_x11.moc"
