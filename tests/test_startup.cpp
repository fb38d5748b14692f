// The splash, the load and every way of closing, and the options kept between runs: converted from
// their stored text, restored at start-up, saved at shutdown.
#include "ProgramFixture.h"
#include "app/LastListLocation.h"
#include "app/PlatformChoice.h"
#include "app/StoredOptions.h"
#include "app/frmSplash.h"
#include "playlist/Playlist.h"
#include "ui/Twips.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void splashHandsOverOnItsFourteenthTickToAnEmptyListWithoutAnyMessage()
    {
        ProgramFixture f;
        f.program->start();
        frmSplash *splash = f.program->splash();
        QVERIFY(splash && splash->isVisible() && !splash->mask().isEmpty());
        // Drive the ticks by hand: the hand-over is decided by the count, not by the wall clock.
        splash->Timer1()->stop();
        for (int tick = 1; tick <= 13; ++tick) {
            splash->Timer1_Timer();
            QCOMPARE(splash->barValue(), 8 * tick);
            QVERIFY(!f.program->existingMainWindow());
        }
        QCOMPARE(splash->Bar()->value(), 100);
        splash->Timer1_Timer();
        QVERIFY(splash->isHidden());
        frmMain *main = f.program->existingMainWindow();
        QVERIFY(main && main->isVisible() && !main->mask().isEmpty());
        QCOMPARE(main->lstPlay()->count(), 0);
        // The video window exists from the load on, hidden, with nothing loaded; no message box is up.
        QVERIFY(f.program->existingVideoWindow()->isHidden());
        QCOMPARE(f.engine().FileName(), QString());
        QCOMPARE(f.enginesMade, 1);
        int shown = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            shown += w->isVisible() ? 1 : 0;
        QCOMPARE(shown, 1);
    }

    void lastListIsReadAndEveryWayOfClosingSavesItStopsAndHidesTheVideoWindow_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("the menu") << 0;
        QTest::newRow("the close mark") << 1;
        QTest::newRow("the window manager") << 2;
        QTest::newRow("a termination signal") << 3;
    }
    void lastListIsReadAndEveryWayOfClosingSavesItStopsAndHidesTheVideoWindow()
    {
        QFETCH(int, way);
        const QByteArray saved(
            "\"/home/u/Musique/un, deux.mp3\"\r\n\"-\"\r\n\"/media/cdrom/MPEGAV/AVSEQ01.DAT\"\r\n");
        ProgramFixture f;
        f.writeLastList(saved);
        frmMain &main = f.program->mainWindow();
        QCOMPARE(Playlist::entries(*main.lstPlay()),
                 (QStringList{"/home/u/Musique/un, deux.mp3", "-", "/media/cdrom/MPEGAV/AVSEQ01.DAT"}));
        f.writeLastList("changed on disk meanwhile");
        main.lstPlay()->addItem(u"/m/b.wav"_s);
        f.engine().setFileName(u"/m/film.avi"_s);
        f.program->videoWindow().show();
        QSignalSpy finished(f.program.get(), &Program::finished);
        QCloseEvent event;
        switch (way) {
        case 0:
            f.program->frame().mnuExit_Click();
            break;
        case 1:
            f.program->frame().Closed_Click();
            break;
        case 2:
            QApplication::sendEvent(&main, &event);
            main.hide();
            break;
        default:
            f.program->requestClose();
        }
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(f.readLastList(), saved + "\"/m/b.wav\"\r\n");
        QVERIFY(main.isHidden() && f.program->existingVideoWindow()->isHidden());
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Stopped);
        QCOMPARE(f.enginesMade, 1);
    }

    void aSignalWhileTheBreakBoxWaitsSavesAndEndsCleanly()
    {
        ProgramFixture f;
        const QByteArray saved("\"/m/a.ogg\"\r\n\"-\"\r\n\"/m/c.ogg\"\r\n");
        f.writeLastList(saved);
        f.main();
        QSignalSpy finished(f.program.get(), &Program::finished);
        f.breakAnswer = [&f] {
            f.program->requestClose();
            return true;
        };
        f.tick(); // the empty engine ends: Next reaches the marker
        QCOMPARE(f.breakBoxes, 1);
        QTRY_COMPARE(finished.count(), 1);
        // Nothing went on after the box: c was never opened, and the list was saved as it stood.
        QVERIFY(f.engine().opened.isEmpty());
        QCOMPARE(f.readLastList(), saved);
        QVERIFY(f.program->existingMainWindow()->isHidden());
    }

    void aSignalDuringTheSplashEndsWithoutSaving()
    {
        ProgramFixture f;
        f.program->start();
        QSignalSpy finished(f.program.get(), &Program::finished);
        f.program->requestClose();
        QCOMPARE(finished.count(), 1);
        QVERIFY(!f.program->existingMainWindow());
        QCOMPARE(f.readLastList(), QByteArray("<missing>"));
    }

    // Window positions are read as singles: a number rounds to the nearest one, and only a number past
    // the largest single fails to convert, not the largest single's own 9-digit text.
    void storedTextConverts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("boolean");  // -1: does not convert
        QTest::addColumn<int>("integer");  // INT_MIN: does not convert
        QTest::addColumn<float>("single"); // NaN: does not convert
        const float no = std::numeric_limits<float>::quiet_NaN();
        QTest::newRow("True") << "True" << 1 << INT_MIN << no;
        QTest::newRow("false, any case") << "false" << 0 << INT_MIN << no;
        QTest::newRow("zero") << "0" << 0 << 0 << 0.0f;
        QTest::newRow("minus one") << "-1" << 1 << -1 << -1.0f;
        QTest::newRow("half rounds to even") << "2.5" << 1 << 2 << 2.5f;
        QTest::newRow("three and a half") << "3.5" << 1 << 4 << 3.5f;
        QTest::newRow("beyond 16 bits") << "32768" << 1 << INT_MIN << 32768.0f;
        QTest::newRow("words") << "oui" << -1 << INT_MIN << no;
        QTest::newRow("empty") << "" << -1 << INT_MIN << no;
        QTest::newRow("largest single as written")
            << "3.40282347e+38" << 1 << INT_MIN << std::numeric_limits<float>::max();
        QTest::newRow("lowest single as written")
            << "-3.40282347e+38" << 1 << INT_MIN << std::numeric_limits<float>::lowest();
        QTest::newRow("past the largest single") << "3.4028236e+38" << 1 << INT_MIN << no;
        QTest::newRow("not finite") << "inf" << -1 << INT_MIN << no;
    }
    void storedTextConverts()
    {
        QFETCH(QString, text);
        QFETCH(float, single);
        const std::optional<bool> b = StoredOptions::toBoolean(text);
        QTEST(b.has_value() ? int(*b) : -1, "boolean");
        QTEST(StoredOptions::toInteger16(text).value_or(INT_MIN), "integer");
        const std::optional<float> s = StoredOptions::toSingle(text);
        QCOMPARE(s.has_value(), !std::isnan(single));
        if (s)
            QCOMPARE(*s, single);
    }

    void storedOptionsAreApplied()
    {
        ProgramFixture f;
        f.settings->store("Vol", "-790");
        f.settings->store("suff", "2");
        f.settings->store("timemode", "False");
        f.settings->store("mute", "True");
        f.settings->store("repeat", "1");
        f.settings->store("play", "0");
        f.settings->store("Ontop", "True");
        f.settings->store("FitToSize", "True");
        frmMain &main = f.main();
        const SharedState &state = f.program->sharedState();
        QCOMPARE(f.engine().Volume(), -790L);
        QCOMPARE(main.scrlVol()->value(), 4);
        QCOMPARE(main.chkSuffle()->checkState(), Qt::Checked);
        QVERIFY(f.program->transport().ShuffleOn());
        QVERIFY(!state.TimeMode);
        QCOMPARE(main.lblpls()->text(), QStringLiteral("+")); // until the time is clicked
        QVERIFY(f.engine().Mute());
        QCOMPARE(main.Check1()->property("Value").toInt(), 1);
        QCOMPARE(main.Check1()->text(), QStringLiteral("V")); // the glyph shows the restored mute
        QVERIFY(state.RepeatOn);
        // Folded as stored, then unfolded: the rounded shape follows, corners cut, the bottom edge's middle
        // kept.
        for (const bool open : {false, true}) {
            main.chkPlay()->setChecked(open);
            QCOMPARE(main.picPlayList()->isVisible(), open);
            QCOMPARE(main.height(), Twips::toPixelsY(open ? 5700 : 1880, &main));
            QCOMPARE(main.mask().boundingRect(), main.rect());
            QVERIFY(!main.mask().contains(QPoint(0, main.height() - 1)));
            QVERIFY(main.mask().contains(QPoint(main.width() / 2, main.height() - 1)));
        }
        QVERIFY(state.OnTop && state.TopMostApplied);
        QVERIFY(!f.topMostCalls.isEmpty() && f.topMostCalls.last().topMost);
        QVERIFY(main.mnuFit()->isChecked() && state.FitToSize);
    }

    // A value that does not convert ends the load: the keys before it are applied, the rest of the options
    // and of the load are not, and the list that was never read is kept as lastlist.lst.bak before the
    // run writes its own. The runs after it, the value still there (a settings file the user cannot
    // write), keep that backup; a list made in between gets a backup of its own.
    void aValueThatDoesNotConvertEndsTheLoad()
    {
        ProgramFixture f;
        const QByteArray a("\"/m/a.ogg\"\r\n"), b("\"/m/b.ogg\"\r\n");
        f.writeLastList(a);
        f.settings->store("timemode", "False");
        f.settings->store("mute", "peut-être");
        f.settings->store("repeat", "True");
        f.settings->refused = {QStringLiteral("mute")};
        frmMain &main = f.main();
        QVERIFY(!f.program->sharedState().TimeMode);
        QVERIFY(!f.program->sharedState().RepeatOn);
        QCOMPARE(main.lstPlay()->count(), 0);
        QVERIFY(f.dialogs.fileRequests.isEmpty());
        main.close();
        const QString backup = f.lastList() + QStringLiteral(".bak");
        QCOMPARE(readBytes(backup), a);
        for (const QByteArray &list : {QByteArray(), b, b}) {
            f.writeLastList(list);
            f.restart();
            f.main().close();
        }
        QCOMPARE(readBytes(backup), a);
        QCOMPARE(readBytes(backup + QStringLiteral(".2")), b);
        QVERIFY(!QFileInfo::exists(backup + QStringLiteral(".3")));
    }

    // The settings file is the one Qt's own settings read and write: a text from either comes back as
    // itself from the other. Written by hand, top=615,5 is one value, not a list.
    void theSettingsFileIsQtsOwn()
    {
        QTemporaryDir dir;
        const QString ours = dir.filePath(u"ours.conf"_s), qts = dir.filePath(u"qt.conf"_s);
        for (const char *text : {"-790", "True", "615,5", "  blanks around  ", "a;b=c", "say \"hi\" \\ there",
                                 "@at", "tab\tline\nend",
                                 "\x01"
                                 "f",
                                 "/home/zoé/Musique/été 日本 😀"}) {
            const QString value = QString::fromUtf8(text);
            QVERIFY(SettingsStore::inFile(ours)->write(u"Options"_s, u"key"_s, value));
            QCOMPARE(QSettings(ours, QSettings::IniFormat).value(u"Options/key"_s).toString(), value);
            QSettings(qts, QSettings::IniFormat).setValue(u"Options/key"_s, value);
            QCOMPARE(SettingsStore::inFile(qts)->read(u"Options"_s, u"key"_s, {}), value);
        }
        QVERIFY(writeBytes(ours, "[Options]\ntop=615,5\n"));
        QCOMPARE(SettingsStore::inFile(ours)->read(u"Options"_s, u"top"_s, {}), u"615,5"_s);
    }

    // Installed under a prefix, even the user's own (~/.local), the player keeps its list in the data
    // folder rather than among the programs in bin/; a copy of it anywhere else keeps it beside itself.
    void anInstalledPlayerKeepsItsListOutOfBin()
    {
        QTemporaryDir prefix;
        const QString bin = prefix.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(LastListLocation::programFolderTakesTheList(bin));
        QVERIFY(
            writeBytes(prefix.filePath(QStringLiteral("share/applications/org.qwelto.Player.desktop")), ""));
        QVERIFY(!LastListLocation::programFolderTakesTheList(bin));
    }

    // The test screen is 800 x 600: a window stored far off its right edge comes back onto it.
    void aWindowOffTheScreenComesBackOntoIt()
    {
        ProgramFixture f;
        f.settings->store("left", "60000");
        f.settings->store("top", "300");
        // A volume between the table's steps sets the engine and leaves the slider where it was.
        f.settings->store("Vol", "-650");
        QCOMPARE(f.main().pos(), QPoint(457, 20));
        QCOMPARE(f.main().scrlVol()->value(), 10);
        QCOMPARE(f.engine().Volume(), -650L);
    }

    void shutdownSavesTheTenKeysInOrderAndSkipsOneThatFails()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        main.move(Twips::toPixelsX(900, &main), Twips::toPixelsY(615, &main));
        main.scrlVol()->setValue(5);
        main.chkRepeat()->setCheckState(Qt::PartiallyChecked);
        main.chkSuffle()->setCheckState(Qt::Checked);
        main.chkPlay()->setCheckState(Qt::Unchecked);
        main.mnuOnTop()->setChecked(true);
        f.program->tick().lblTime_Click();
        f.settings->refused = {QStringLiteral("mute")};
        main.close();
        QCOMPARE(f.settings->writtenKeys, (QStringList{"Vol", "suff", "timemode", "repeat", "top", "left",
                                                       "play", "Ontop", "FitToSize"}));
        const QStringList expected = {"-600", "1", "False", "True", "615", "900", "0", "True", "False"};
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(f.settings->stored(f.settings->writtenKeys[i]), expected[i]);
    }

    void decide_data()
    {
        // QT_QPA_PLATFORM|-platform|DISPLAY|WAYLAND_DISPLAY|plugins[|servers that answer, else all]
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("expected"); // the outcome, then the platform forced
        const auto row = [](const char *name, const char *setting, const char *expected) {
            QTest::newRow(name) << QString::fromLatin1(setting) << QString::fromLatin1(expected);
        };
        row("X and Wayland: X", "||:0|w-0|xcb;wayland", "Run xcb");
        row("Wayland only", "|||w-0|xcb;wayland", "Run wayland");
        row("-platform honoured", "|wayland|:0|w-0|xcb;wayland", "Run ");
        row("nothing", "|||||xcb;wayland", "NoDisplay ");
        row("explicit wayland, no plugin", "wayland||:0|w-0|xcb", "MissingPlugin ");
        row("Wayland only, no plugin", "|||w-0|xcb", "MissingPlugin ");
        row("no xcb plugin: Wayland", "||:0|w-0|wayland", "Run wayland");
        row("a list falls back", "wayland;xcb||:0|w-0|xcb", "Run ");
        row("X not there: Wayland", "||:9|w-0|xcb;wayland|wayland", "Run wayland");
        row("X only, not there", "||:9||xcb;wayland|", "NoAnswer ");
        row("explicit X, not there", "xcb||:9|w-0|xcb;wayland|wayland", "NoAnswer ");
    }
    void decide()
    {
        QFETCH(QString, setting);
        QFETCH(QString, expected);
        const QList<QByteArray> in = setting.toLatin1().split('|');
        const QList<QByteArray> plugins = in.at(4).split(';');
        const QList<QByteArray> answering = in.value(5, "xcb;wayland").split(';');
        const PlatformChoice choice =
            PlatformChoice::decide({in.at(0), in.at(2), in.at(3), in.at(1),
                                    [&](const QByteArray &name) { return plugins.contains(name); },
                                    [&](const QByteArray &name) { return answering.contains(name); }});
        const char *outcomes[] = {"Run", "NoDisplay", "MissingPlugin", "NoAnswer"};
        QCOMPARE(QString::fromLatin1(outcomes[int(choice.outcome)]) + QLatin1Char(' ') +
                     QString::fromLatin1(choice.platform),
                 expected);
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
