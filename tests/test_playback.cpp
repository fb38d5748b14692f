// Playback on a fake engine: the transport buttons and the play order, the video window following the
// kind of file, the volume, balance and mute controls, and the 500 ms tick with its time format.
#include "ProgramFixture.h"
#include "core/RandomSource.h"
#include "core/SharedState.h"
#include "playback/TimeFormat.h"
#include "ui/ClickableLabel.h"
#include "ui/Marquee.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QTest>

using namespace Qt::StringLiterals;
using St = FakeMediaEngine::State;

// Counts the events of one kind that each watched object gets: how often a window was shown, to tell
// "shown then hidden" from "never shown", or which widgets a change repainted.
struct EventCounter : QObject {
    QEvent::Type type;
    QHash<QObject *, int> seen;
    EventCounter(QEvent::Type kind, const QList<QObject *> &watched) : type(kind)
    {
        for (QObject *object : watched)
            object->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        seen[watched] += event->type() == type;
        return false;
    }
};

struct Rig : ProgramFixture {
    Transport &t = program->transport();
    SharedState &s = program->sharedState();
    explicit Rig(const QStringList &entries = {}) { main().lstPlay()->addItems(entries); }
    void start(int row)
    {
        main().lstPlay()->setCurrentRow(row);
        t.lstPlay_DblClick();
    }
    QString file() { return engine().FileName(); }
};

// The transport alone, on widgets that are never shown and a clock that moves by step at each reading:
// the play order and the walk over dead entries, without a window.
struct BareTransport : TransportHost, TransportView {
    FakeMediaEngine fake;
    SharedState state;
    SequenceRandom draws;
    QWidget video;
    QListWidget list;
    QLabel caption, length, pictures[2];
    QSlider seek;
    QCheckBox shuffle, repeat;
    qint64 now = 0, step = 0;
    Transport t{*this, [this] { return now += step; }};

    explicit BareTransport(const QStringList &entries)
    {
        list.addItems(entries);
        // As the main window wires them.
        QObject::connect(&repeat, &QCheckBox::stateChanged, [this] { t.chkRepeat_Click(); });
        QObject::connect(&shuffle, &QCheckBox::stateChanged, [this] { t.chkSuffle_Click(); });
    }
    void start(int row)
    {
        list.setCurrentRow(row);
        t.lstPlay_DblClick();
    }
    QString file() { return fake.FileName(); }

    MediaEngine &engine() override { return fake; }
    TransportView &transportView() override { return *this; }
    [[noreturn]] TickView &tickView() override { qFatal("the transport has no tick"); }
    [[noreturn]] AudioView &audioView() override { qFatal("the transport has no levels"); }
    [[noreturn]] PlaylistView &playlistView() override { qFatal("the transport fills no list"); }
    QWidget &videoWindowWidget() override { return video; }
    SharedState &sharedState() override { return state; }
    RandomSource &random() override { return draws; }
    bool askBreakForChangingCd() override { return true; }
    void showEngineError(const QString &) override {}
    bool closing() const override { return false; }
    QListWidget *lstPlay() const override { return const_cast<QListWidget *>(&list); }
    QLabel *txtFN() const override { return const_cast<QLabel *>(&caption); }
    QSlider *scrlTime() const override { return const_cast<QSlider *>(&seek); }
    QLabel *lblDuration() const override { return const_cast<QLabel *>(&length); }
    QCheckBox *chkSuffle() const override { return const_cast<QCheckBox *>(&shuffle); }
    QCheckBox *chkRepeat() const override { return const_cast<QCheckBox *>(&repeat); }
    QLabel *imgSuff(int index) const override { return const_cast<QLabel *>(&pictures[index]); }
    void setTitle(const QString &) override {}
    void minimiseWindow() override {}
};

class TestPlayback : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void anEmptyListDoesNothingAndOneEntryEndsOrRestartsByRepeatOrGoesFullScreen()
    {
        Rig f;
        for (auto click : {&Transport::cmdForward_Click, &Transport::cmdBack_Click, &Transport::cmdPlay_Click,
                           &Transport::cmdPause_Click})
            (f.t.*click)();
        QVERIFY(f.engine().opened.isEmpty());
        QVERIFY(!f.s.IsPaused);
        QCOMPARE(f.main().lblDuration()->text(), u"0:00:00"_s);

        f.main().lstPlay()->addItem(u"/m/a.avi"_s);
        f.start(0);
        f.engine().setDisplaySize(MediaEngine::DisplayFullScreen);
        f.t.cmdForward_Click();
        QCOMPARE(f.engine().DisplaySize(), 0);
        f.engine().setDisplaySize(MediaEngine::DisplayFit);
        f.t.cmdBack_Click();
        QCOMPARE(f.engine().opened.size(), 1);
        QCOMPARE(f.engine().DisplaySize(), 4);
        f.main().chkRepeat()->setCheckState(Qt::Checked);
        f.t.cmdForward_Click();
        f.t.cmdBack_Click();
        QCOMPARE(f.engine().opened, QStringList(3, u"/m/a.avi"_s));

        // Starting in full screen minimises the video window, and the main window unless it is on top.
        f.s.OnTop = true;
        f.engine().setDisplaySize(MediaEngine::DisplayFullScreen);
        f.start(0);
        QVERIFY(f.program->videoWindow().isMinimized());
        QVERIFY(!f.main().isMinimized());
        f.s.OnTop = false;
        f.start(0);
        QVERIFY(f.main().isMinimized());
    }

    void repeatWrapsAtBothEndsAndPreviousStaysInsideAShortenedList()
    {
        BareTransport f({"/m/0.ogg", "/m/1.ogg", "/m/2.ogg", "/m/3.ogg"});
        // A greyed repeat box counts as on.
        f.repeat.setCheckState(Qt::PartiallyChecked);
        f.start(3);
        f.t.cmdForward_Click();
        QCOMPARE(f.file(), u"/m/0.ogg"_s);
        QCOMPARE(f.state.CurrentIndex, 0);
        f.t.cmdBack_Click();
        QCOMPARE(f.file(), u"/m/3.ogg"_s);
        delete f.list.takeItem(3);
        delete f.list.takeItem(2);
        f.t.cmdBack_Click();
        QCOMPARE(f.file(), u"/m/1.ogg"_s);
    }

    void unplayableEntriesAreSkippedAndShuffleRoundsHalfToEvenAndIgnoresRepeat()
    {
        // Draw and last index per row: the ties go to the even index.
        const QList<std::pair<double, int>> draws = {{0.5, 1},   {0.5000001, 1}, {0.125, 4},  {0.1250001, 4},
                                                     {0.875, 4}, {0.375, 4},     {0.9999, 0}, {0.9999, 4}};
        QList<int> picked;
        for (const auto &[r, last] : draws)
            picked.append(ShuffleIndex(r, last));
        QCOMPARE(picked, (QList<int>{0, 1, 0, 1, 4, 2, 0, 4}));

        BareTransport f({"/m/0.ogg", "/m/bad1.ogg", "/m/bad2.ogg", "/m/3.ogg", "/m/4.ogg"});
        // Unplayable entries are skipped in one call.
        f.fake.unplayable = {"/m/bad1.ogg", "/m/bad2.ogg"};
        f.start(0);
        f.t.cmdForward_Click();
        QCOMPARE(f.fake.opened, (QStringList{"/m/0.ogg", "/m/bad1.ogg", "/m/bad2.ogg", "/m/3.ogg"}));
        QCOMPARE(f.state.CurrentIndex, 3);
        QVERIFY(!f.t.gaveUp());

        f.fake.unplayable.clear();
        f.fake.opened.clear();
        // The draw for the next entry is made as soon as that entry is decided: here, when shuffle is
        // switched on while an entry plays.
        f.draws.draws = {0.875, 0.125, 0.6};
        f.shuffle.setCheckState(Qt::Checked);
        f.start(4);
        f.t.cmdForward_Click();
        f.t.cmdForward_Click();
        f.t.cmdBack_Click();
        QCOMPARE(f.fake.opened, (QStringList{"/m/4.ogg", "/m/4.ogg", "/m/0.ogg", "/m/bad2.ogg"}));
        // Greyed is not on for shuffle.
        f.shuffle.setCheckState(Qt::PartiallyChecked);
        QVERIFY(!f.t.ShuffleOn());
    }

    // While an entry plays, the engine holds the entry Next would start; at the end it follows without
    // a gap (or, where nothing could be queued, Next runs at once), and the window follows as after Next.
    // In shuffle the draw made for the queue is the one the end or the user's Next uses.
    void theQueuedEntryIsTheOneNextWouldStart_data()
    {
        QTest::addColumn<QStringList>("entries");
        // The mode, how the entry ends (its end or Next), what is queued while it plays, what plays
        // then, and what is queued behind that.
        QTest::addColumn<QStringList>("run");
        const QStringList abc = {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"};
        const QStringList five = {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3", "/m/d.mp3", "/m/e.mp3"};
        QTest::newRow("in order") << abc << QStringList{"", "end", "/m/b.mp3", "/m/b.mp3", "/m/c.mp3"};
        QTest::newRow("last entry") << abc.mid(1) << QStringList{"", "end", "/m/c.mp3", "/m/c.mp3", ""};
        QTest::newRow("repeat wraps")
            << abc.mid(1) << QStringList{"repeat", "end", "/m/c.mp3", "/m/c.mp3", "/m/b.mp3"};
        // 0.875 of 4 is 3.5, which goes to the even 4; then 0.3 of 4 rounds to 1.
        QTest::newRow("shuffle") << five << QStringList{"shuffle", "end", "/m/e.mp3", "/m/e.mp3", "/m/b.mp3"};
        QTest::newRow("shuffle, Next pressed")
            << five << QStringList{"shuffle", "next", "/m/e.mp3", "/m/e.mp3", "/m/b.mp3"};
        QTest::newRow("break marker")
            << QStringList{"/m/a.mp3", "-", "/m/b.mp3"} << QStringList{"", "end", "", "/m/b.mp3", ""};
        QTest::newRow("dead entry") << QStringList{"/m/a.mp3", "/m/dead.mp3", "/m/c.mp3"}
                                    << QStringList{"", "end", "", "/m/c.mp3", ""};
    }
    void theQueuedEntryIsTheOneNextWouldStart()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, run);
        const QString &mode = run[0];
        Rig f(entries);
        f.engine().unplayable = {u"/m/dead.mp3"_s};
        f.random->draws = {0.875, 0.3};
        f.main().chkRepeat()->setCheckState(mode == u"repeat" ? Qt::Checked : Qt::Unchecked);
        f.main().chkSuffle()->setCheckState(mode == u"shuffle" ? Qt::Checked : Qt::Unchecked);
        f.start(0);
        QCOMPARE(f.engine().NextFileName(), run[2]);
        if (run[1] == u"next")
            f.t.cmdForward_Click();
        else
            f.engine().finish();
        QCOMPARE(std::tuple(f.file(), f.engine().NextFileName()), std::tuple(run[3], run[4]));
        QCOMPARE(f.breakBoxes, entries.contains(u"-"_s) ? 1 : 0);
        const int row = static_cast<int>(entries.indexOf(f.file()));
        QCOMPARE(f.s.CurrentIndex, row);
        QCOMPARE(f.main().lstPlay()->currentRow(), row);
        QCOMPARE(f.main().txtFN()->text(), u" Chanson selectionnée :    "_s + QFileInfo(f.file()).fileName());
        QVERIFY(f.main().txtTitle()->text().contains(f.main().txtFN()->text()));
        QCOMPARE(f.main().lblDuration()->text(), u"0:00:03"_s);
    }

    // Ten dead entries before a good one, each reading of the clock 15 ms later: the walk stops after
    // each 40 ms to let the event loop run, then goes on from there; a command ends a walk under way.
    void deadEntriesAreWalkedInSlicesThatACommandCancels()
    {
        QStringList entries;
        for (int i = 0; i < 12; ++i)
            entries.append(u"/m/%1.ogg"_s.arg(i));
        for (const bool stop : {false, true}) {
            BareTransport f(entries);
            for (int i = 0; i < 11; ++i)
                f.fake.unplayable.insert(entries[i]);
            f.step = 15;
            f.t.cmdForward_Click();
            QVERIFY(f.t.walking());
            QCOMPARE(f.fake.opened.size(), 3);
            if (stop) {
                f.t.cmdStop_Click();
                QVERIFY(!f.t.walking());
                QCoreApplication::processEvents();
                QCOMPARE(f.fake.opened.size(), 3);
                continue;
            }
            QTRY_VERIFY_WITH_TIMEOUT(!f.t.walking(), 10000);
            QCOMPARE(f.file(), entries[11]);
            QCOMPARE(f.fake.opened.size(), 11);
            QCOMPARE(f.state.CurrentIndex, 11);
            QCOMPARE(f.list.currentRow(), 11);
        }
    }

    void breakMarkerAsksOnceThenGoesOnOrStops()
    {
        for (const bool ok : {true, false}) {
            Rig f({"/m/A.mp3", "-", "/m/B.mp3"});
            f.start(0);
            f.breakAnswer = [&f, ok] {
                // The box is modal but timer ticks still arrive while it is open.
                f.tick();
                f.tick();
                return ok;
            };
            f.engine().finish();
            f.tick();
            QCOMPARE(f.breakBoxes, 1);
            QCOMPARE(f.file(), ok ? u"/m/B.mp3"_s : u"/m/A.mp3"_s);
            QCOMPARE(f.engine().state(), ok ? St::Playing : St::Stopped);
            QCOMPARE(f.s.CurrentIndex, ok ? 2 : 0);
        }
    }

    void aListWithNothingPlayableIsGivenUpAfterOnePass()
    {
        QStringList entries;
        for (int i = 0; i < 50; ++i)
            entries.append(u"/m/missing%1.mp3"_s.arg(i));
        for (const bool shuffle : {false, true}) {
            Rig f(entries);
            f.engine().unplayable = QSet<QString>(entries.begin(), entries.end());
            f.main().chkRepeat()->setCheckState(Qt::Checked);
            f.main().chkSuffle()->setCheckState(shuffle ? Qt::Checked : Qt::Unchecked);
            for (int i = 0; i < 50; ++i) // shuffle gives up once every entry was drawn
                f.random->draws.append(i / 49.0);
            // Start-up: the empty engine counts as ended, so the first tick starts the list.
            f.tick();
            QVERIFY(f.t.gaveUp());
            QVERIFY(f.engine().opened.size() <= entries.size() + 1);
            // Later ticks leave it alone until the user acts.
            const qsizetype opens = f.engine().opened.size();
            for (int i = 0; i < 5; ++i)
                f.tick();
            QCOMPARE(f.engine().opened.size(), opens);
            f.engine().unplayable.remove(u"/m/missing7.mp3"_s);
            f.start(7);
            QCOMPARE(f.file(), u"/m/missing7.mp3"_s);
            QCOMPARE(f.engine().state(), St::Playing);
            QVERIFY(!f.t.gaveUp());
        }
    }

    // Past entry 32,767 of 100,000: Next, Previous, the end of an item and shuffle.
    void everyPositionOfALongListIsReached()
    {
        QStringList entries;
        for (int i = 0; i < 100000; ++i)
            entries.append(u"/m/%1.ogg"_s.arg(i));
        Rig f(entries);
        f.start(40000);
        f.t.cmdForward_Click();
        f.t.cmdBack_Click();
        f.engine().finish();
        f.tick();
        f.random->draws = {0.9999999999};
        f.main().chkSuffle()->setCheckState(Qt::Checked);
        f.t.cmdForward_Click();
        QCOMPARE(f.engine().opened, (QStringList{"/m/40000.ogg", "/m/40001.ogg", "/m/40000.ogg",
                                                 "/m/40001.ogg", "/m/99999.ogg"}));
    }

    // One playable entry among ten, shuffle on: Next always finds it, however the draws fall.
    void shuffleNeverGivesUpWhileAnEntryPlays()
    {
        Rig f({"/m/0", "/m/1", "/m/2", "/m/3", "/m/4", "/m/5", "/m/ok", "/m/7", "/m/8", "/m/9"});
        f.engine().unplayable = {"/m/0", "/m/1", "/m/2", "/m/3", "/m/4", "/m/5", "/m/7", "/m/8", "/m/9"};
        f.main().chkSuffle()->setCheckState(Qt::Checked);
        QRandomGenerator draws(2026);
        for (int press = 0; press < 2000; ++press) {
            while (f.random->draws.size() < 500)
                f.random->draws.append(draws.generateDouble());
            f.t.cmdForward_Click();
            QVERIFY(!f.t.gaveUp() && f.file() == u"/m/ok"_s);
        }
    }

    void videoWindowFollowsTheMediaKind()
    {
        // Each file started after a video, with no paint to run the video window's rule: the window stays
        // up for what has a picture, whatever the case of its ending, and goes for sound, Windows Media
        // Video among it.
        const std::pair<const char *, bool> files[] = {
            {"/m/a.mp3", false},    {"/m/a.wav", false},
            {"/m/a.mid", false},    {"/m/a.wma", false},
            {"/m/a.flac", false},   {"/m/clip.wmv", false},
            {"/m/a.avi", true},     {"/cd/MPEGAV/AVSEQ01.DAT", true},
            {"/m/film.MpEg", true}, {"/m/film.mkv", true},
            {"/m/film.MP4", true},  {"/m/film.webm", true}};
        for (const auto &[path, shown] : files) {
            Rig f({"/m/before.avi", path});
            f.start(0);
            f.start(1);
            QVERIFY2(f.program->videoWindow().isVisible() == shown, path);
        }
    }

    void startingSetsSeekRangeAndMarqueeThenPauseAndStopThenPlay()
    {
        Rig f({"/m/Album/long.ogg", "/m/Album/very long.ogg"});
        f.engine().durationOfEachFile = 200.9;
        f.start(0);
        QCOMPARE(f.main().scrlTime()->maximum(), 200);
        QCOMPARE(f.main().lblDuration()->text(), u"0:03:20"_s);
        QCOMPARE(f.main().txtTitle()->text(),
                 u"- Qwelto Player 2.0 -    Chanson selectionnée :    long.ogg"_s + QString(49, u' '));
        // Beyond 16-bit seconds the range stays as it was.
        f.engine().durationOfEachFile = 40000.0;
        f.start(1);
        QCOMPARE(f.main().scrlTime()->maximum(), 200);
        QCOMPARE(f.main().lblDuration()->text(), u"11:06:40"_s);

        const auto pause = [&f] {
            f.t.cmdPause_Click();
            return std::pair(f.engine().state(), f.s.IsPaused);
        };
        QCOMPARE(pause(), std::pair(St::Paused, true));
        QCOMPARE(pause(), std::pair(St::Playing, false));
        QCOMPARE(pause(), std::pair(St::Paused, true));
        f.t.cmdPlay_Click();
        QCOMPARE(f.engine().state(), St::Playing);
        // Only clears the toggle: playback goes on.
        QCOMPARE(pause(), std::pair(St::Playing, false));
        QCOMPARE(pause(), std::pair(St::Paused, true));

        f.engine().advance(2.0);
        f.t.cmdStop_Click();
        QCOMPARE(f.engine().state(), St::Stopped);
        f.main().lstPlay()->setCurrentRow(-1);
        f.main().lblDuration()->clear();
        f.t.cmdPlay_Click();
        QCOMPARE(f.engine().state(), St::Playing);
        QCOMPARE(f.file(), u"/m/Album/very long.ogg"_s);
        QCOMPARE(f.s.CurrentIndex, 0);
        QCOMPARE(f.main().lblDuration()->text(), u"11:06:40"_s);
    }

    // "Centre" comes from what the engine took: an engine that takes no balance shows it too.
    void slidersSetTheEngineAndTheirCaptions_data()
    {
        QTest::addColumn<bool>("balance");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<long>("level");
        QTest::addColumn<QString>("caption");
        QTest::newRow("volume 5") << false << 5 << false << -600L << "Volume : 5";
        QTest::newRow("volume 0") << false << 0 << false << -9640L << "Volume : 0";
        QTest::newRow("volume 7") << false << 7 << false << -300L << "Volume : 7";
        QTest::newRow("volume 1") << false << 1 << false << -2000L << "Volume : 1";
        QTest::newRow("balance 11") << true << 11 << false << 90L << "10% Droit";
        QTest::newRow("balance 9") << true << 9 << false << -90L << "10% Gauche";
        QTest::newRow("balance 0") << true << 0 << false << -9640L << "100% Gauche";
        QTest::newRow("balance 15") << true << 15 << false << 600L << "50% Droit";
        QTest::newRow("balance 20") << true << 20 << false << 9640L << "100% Droit";
        QTest::newRow("balance 3") << true << 3 << false << -1040L << "70% Gauche";
        QTest::newRow("balance refused") << true << 15 << true << 0L << "Centre";
    }
    void slidersSetTheEngineAndTheirCaptions()
    {
        QFETCH(bool, balance);
        QFETCH(int, position);
        ProgramFixture f;
        frmMain &main = f.main();
        QFETCH(bool, refused);
        f.engine().refusesBalance = refused;
        (balance ? main.scrlBal() : main.scrlVol())->setValue(position);
        QTEST(balance ? f.engine().Balance() : f.engine().Volume(), "level");
        QTEST((balance ? main.LabBal() : main.LabVol())->text(), "caption");
        // Every change of balance ends with the quarter-second pause.
        QCOMPARE(f.pauses, balance ? QList<int>{250} : QList<int>{});
    }

    // A balance drag applies its last position once the settling pause is over; the engine made
    // after the user closed the video window takes the levels the controls show.
    void theUsersLevelsSurviveADragAndANewEngine()
    {
        ProgramFixture f;
        f.holdPauses = true;
        frmMain &main = f.main();
        for (int p : {11, 12, 15})
            main.scrlBal()->setValue(p);
        QCOMPARE(f.engine().Balance(), 90L);
        f.heldPause();
        QCOMPARE(main.LabBal()->text(), QStringLiteral("50% Droit"));
        main.scrlVol()->setValue(4);
        main.Check1()->click();
        QPointer<frmPlayer> player = f.program->existingVideoWindow();
        player->close();
        QTRY_VERIFY(!player);
        QCOMPARE(std::tuple(f.engine().Volume(), f.engine().Balance(), f.engine().Mute()),
                 std::tuple(-790L, 600L, true));
    }

    void muteIsDecidedByTheCaption()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        main.scrlVol()->setValue(4);
        QCOMPARE(main.Check1()->text(), QStringLiteral("U"));
        QTest::mouseClick(main.Check1(), Qt::LeftButton);
        QCOMPARE(main.Check1()->text(), QStringLiteral("V"));
        QVERIFY(f.engine().Mute());
        QCOMPARE(f.engine().Volume(), -790); // muting keeps the volume
        main.scrlVol()->setValue(8);
        QVERIFY(f.engine().Mute());
        QTest::mouseClick(main.Check1(), Qt::LeftButton);
        QCOMPARE(main.Check1()->text(), QStringLiteral("U"));
        QVERIFY(!f.engine().Mute());
        QCOMPARE(f.engine().Volume(), -190);

        // Any other caption does nothing.
        main.Check1()->setText(QStringLiteral("X"));
        f.program->audio().Check1_Click();
        QVERIFY(!f.engine().Mute());
        QCOMPARE(main.Check1()->text(), QStringLiteral("X"));
    }

    void formatTime_data()
    {
        QTest::addColumn<long>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0L << "0:00:00";
        QTest::newRow("59") << 59L << "0:00:59";
        QTest::newRow("60") << 60L << "0:01:00";
        QTest::newRow("3599") << 3599L << "0:59:59";
        QTest::newRow("3600") << 3600L << "1:00:00";
        QTest::newRow("32767") << 32767L << "9:06:07";
        QTest::newRow("40 hours") << 144000L << "40:00:00";
        QTest::newRow("negative") << -3L << "0:00:00";
    }

    void formatTime()
    {
        QFETCH(long, seconds);
        QFETCH(QString, text);
        QCOMPARE(FormatTime(seconds), text);
    }

    void firstTicksStartTheListByThemselves()
    {
        ProgramFixture f;
        f.writeLastList("\"/m/a.ogg\"\r\n\"/m/b.ogg\"\r\n\"/m/c.ogg\"\r\n");
        frmMain &main = f.main();
        // Design texts until the first tick and the first start.
        QCOMPARE(main.lblTime()->text(), QStringLiteral("00:00:00"));
        QCOMPARE(main.lblDuration()->text(), QStringLiteral("00:00:00"));
        QCOMPARE(f.program->tick().seekFlag(), QString());

        // The empty engine counts as an ended item: Stop and Next start the second entry.
        f.tick();
        QCOMPARE(f.engine().opened, QStringList{QStringLiteral("/m/b.ogg")});
        QCOMPARE(main.lblTime()->text(), QStringLiteral("0:00:00"));
        QCOMPARE(main.lblDuration()->text(), QStringLiteral("0:00:03"));

        f.engine().advance(1.2);
        f.tick();
        QCOMPARE(main.scrlTime()->value(), 1);
        QCOMPARE(main.lblTime()->text(), QStringLiteral("0:00:01"));
        QCOMPARE(f.engine().CurrentPosition(), 1.2); // the tick's own write did not seek

        // The end of b: the bar and the time of the same tick show c.
        f.engine().finish();
        f.tick();
        QCOMPARE(f.engine().FileName(), QStringLiteral("/m/c.ogg"));
        QCOMPARE(main.scrlTime()->value(), 0);
        QCOMPARE(main.lstPlay()->currentRow(), 2);

        // The end of the list without repeat: c stays loaded, stopped at 0, and later ticks change nothing.
        f.engine().finish();
        f.tick();
        f.tick();
        QCOMPARE(f.engine().opened, (QStringList{"/m/b.ogg", "/m/c.ogg"}));
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Stopped);
        QCOMPARE(f.engine().CurrentPosition(), 0.0);
        QCOMPARE(f.random->seeds, 1 + 5); // once at load, once a tick
    }

    void theSeekBarSeeksOnlyForTheUserAndTheTimeCountsDown()
    {
        ProgramFixture f;
        f.writeLastList("\"/m/a.ogg\"\r\n\"/m/b.ogg\"\r\n");
        f.engine().durationOfEachFile = 200.9;
        frmMain &main = f.main();
        // Before the first tick the flag is empty: a move seeks nothing.
        main.scrlTime()->setValue(20);
        QCOMPARE(f.engine().CurrentPosition(), 0.0);
        f.tick();
        f.program->tick().lblTime_Click();
        QCOMPARE(main.lblpls()->text(), QStringLiteral("-"));
        f.tick();
        QCOMPARE(main.lblTime()->text(), QStringLiteral("0:00:00")); // position 0
        f.engine().advance(10.5);
        f.tick();
        QCOMPARE(f.engine().CurrentPosition(), 10.5);
        QCOMPARE(main.lblTime()->text(), QStringLiteral("0:03:10"));
        // The user's click goes to the same handler; the time follows at the next tick.
        QTest::mouseClick(main.lblTime(), Qt::LeftButton);
        QCOMPARE(main.lblpls()->text(), QStringLiteral("+"));
        QCOMPARE(main.lblTime()->text(), QStringLiteral("0:03:10"));
        f.tick();
        QCOMPARE(main.lblTime()->text(), QStringLiteral("0:00:10"));
        QCOMPARE(f.program->tick().seekFlag(), QStringLiteral("True"));
        main.scrlTime()->setValue(75); // a drag between two ticks
        QCOMPARE(f.engine().CurrentPosition(), 75.0);
    }

    // A length learnt after the open: the file is not ended meanwhile, and the duration label and the
    // seek bar follow the length once known.
    void aLengthLearntLateIsFollowed()
    {
        ProgramFixture f;
        f.writeLastList("\"/m/a.mp3\"\r\n\"/m/vbr.mp3\"\r\n");
        f.engine().lengthLate = QStringLiteral("/m/vbr.mp3");
        frmMain &main = f.main();
        f.tick();
        f.engine().advance(0.2);
        f.tick();
        f.engine().advance(0.5);
        f.tick();
        QCOMPARE(f.engine().opened, QStringList(QStringLiteral("/m/vbr.mp3")));
        QCOMPARE(main.lblDuration()->text(), QStringLiteral("0:00:03"));
        QCOMPARE(main.scrlTime()->maximum(), 3);
    }

    void marqueeScrollsAndFeedsTheTaskbarWhileMinimised()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        main.txtTitle()->setText(QStringLiteral("ABC"));
        f.tick();
        QCOMPARE(main.txtTitle()->text(), QStringLiteral("BCA"));
        f.tick();
        QCOMPARE(main.txtTitle()->text(), QStringLiteral("CAB"));
        QCOMPARE(main.windowTitle(), QString());
        main.showMinimized();
        QTRY_VERIFY(main.isMinimized());
        f.tick();
        QCOMPARE(main.txtTitle()->text(), QStringLiteral("ABC"));
        QCOMPARE(main.windowTitle(), QStringLiteral("CAB"));
        f.tick();
        QCOMPARE(main.windowTitle(), QStringLiteral("ABC"));
    }

    // A tick repaints what it changed on the displays, the marquee's strip and the time, and never the
    // skin or the displays' frames behind them: the marquee steps twice a second for as long as the
    // player runs.
    void aTickRepaintsOnlyTheMarqueeAndTheTime()
    {
        // An mp3 leaves the video window alone, and with it the main window's activation.
        Rig f({"/m/a.mp3"});
        frmMain &main = f.main();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QWidget *strip = main.txtTitle()->findChild<QWidget *>();
        EventCounter paints(QEvent::Paint,
                            {&main, main.Shape1(), main.txtTitle(), strip, main.lblTime(), main.lblpls()});
        f.start(0);
        f.engine().advance(1.0);
        f.tick();
        // Remaining time: at the next tick the time changes and the seek bar stays where it is.
        f.program->tick().lblTime_Click();
        QTRY_VERIFY(paints.seen[main.lblpls()] > 0);
        paints.seen.clear();
        f.tick();
        QTRY_VERIFY(paints.seen[strip] > 0 && paints.seen[main.lblTime()] > 0);
        QCOMPARE(paints.seen[&main] + paints.seen[main.Shape1()] + paints.seen[main.txtTitle()], 0);
    }

    void onTopIsAppliedOnlyOnChange()
    {
        ProgramFixture f;
        frmMain &main = f.main();
        SharedState &state = f.program->sharedState();
        main.move(150, 90);
        // The restored choice (not on top) is applied by the first tick, once.
        f.tick();
        f.tick();
        QCOMPARE(f.topMostCalls.size(), 1);
        QVERIFY(!f.topMostCalls[0].topMost);

        state.OnTop = true;
        f.tick();
        f.tick();
        QCOMPARE(f.topMostCalls.size(), 2);
        QVERIFY(f.topMostCalls[1].topMost);
        QCOMPARE(f.topMostCalls[1].position, main.pos());
        QVERIFY(state.TopMostApplied);

        // Minimised: never put on top, but taken out.
        main.showMinimized();
        QTRY_VERIFY(main.isMinimized());
        state.TopMostApplied = false;
        f.tick();
        QCOMPARE(f.topMostCalls.size(), 2);
        state.TopMostApplied = true;
        state.OnTop = false;
        f.tick();
        QCOMPARE(f.topMostCalls.size(), 3);
        QVERIFY(!f.topMostCalls[2].topMost);
        QVERIFY(!state.TopMostApplied);

        // The resize form applies the choice whatever was applied, except on top while minimised.
        f.program->onTopRule().applyUnconditional(main);
        QCOMPARE(f.topMostCalls.size(), 4);
        state.OnTop = true;
        f.program->onTopRule().applyUnconditional(main);
        QCOMPARE(f.topMostCalls.size(), 4);
    }
};

QTEST_MAIN(TestPlayback)
#include "test_playback.moc"
