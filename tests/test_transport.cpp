#include "ProgramFixture.h"
#include "playback/RandomSource.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRandomGenerator>
#include <QSlider>
#include <QTest>

using namespace Qt::StringLiterals;
using St = FakeMediaEngine::State;

// Counts how often a window was shown, to tell "shown then hidden" from "never shown".
struct ShowCounter : QObject {
    int shows = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        shows += event->type() == QEvent::Show;
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

class TestTransport : public QObject {
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
        Rig f({"/m/0.ogg", "/m/1.ogg", "/m/2.ogg", "/m/3.ogg"});
        // A greyed repeat box counts as on.
        f.main().chkRepeat()->setCheckState(Qt::PartiallyChecked);
        f.start(3);
        f.t.cmdForward_Click();
        QCOMPARE(f.file(), u"/m/0.ogg"_s);
        QCOMPARE(f.s.CurrentIndex, 0);
        f.t.cmdBack_Click();
        QCOMPARE(f.file(), u"/m/3.ogg"_s);
        QCOMPARE(f.main().txtFN()->text(), u" Chanson selectionnée :    3.ogg"_s);
        delete f.main().lstPlay()->takeItem(3);
        delete f.main().lstPlay()->takeItem(2);
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

        Rig f({"/m/0.ogg", "/m/bad1.ogg", "/m/bad2.ogg", "/m/3.ogg", "/m/4.ogg"});
        // Unplayable entries are skipped in one call.
        f.engine().unplayable = {"/m/bad1.ogg", "/m/bad2.ogg"};
        f.start(0);
        f.t.cmdForward_Click();
        QCOMPARE(f.engine().opened, (QStringList{"/m/0.ogg", "/m/bad1.ogg", "/m/bad2.ogg", "/m/3.ogg"}));
        QCOMPARE(f.s.CurrentIndex, 3);
        QVERIFY(!f.t.gaveUp());

        f.engine().unplayable.clear();
        f.engine().opened.clear();
        f.main().chkSuffle()->setCheckState(Qt::Checked);
        f.random->draws = {0.875, 0.125, 0.6};
        f.start(4);
        f.t.cmdForward_Click();
        f.t.cmdForward_Click();
        f.t.cmdBack_Click();
        QCOMPARE(f.engine().opened, (QStringList{"/m/4.ogg", "/m/4.ogg", "/m/0.ogg", "/m/bad2.ogg"}));
        // Greyed is not on for shuffle.
        f.main().chkSuffle()->setCheckState(Qt::PartiallyChecked);
        QVERIFY(!f.s.ShuffleOn);
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
        f.main().chkSuffle()->setCheckState(Qt::Checked);
        f.random->draws = {0.9999999999};
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
        // Per file: how often the video window was shown, and whether it is still visible; sound-only kinds
        // other than mp3 show it and hide it again.
        QStringList seen;
        for (const char *path : {"/m/a.mp3", "/m/a.wav", "/m/a.mid", "/m/a.avi", "/cd/MPEGAV/AVSEQ01.DAT"}) {
            Rig f({path});
            ShowCounter counter;
            f.program->videoWindow().installEventFilter(&counter);
            f.start(0);
            seen.append(u"%1 %2"_s.arg(counter.shows).arg(f.program->videoWindow().isVisible()));
        }
        QCOMPARE(seen, (QStringList{"0 0", "1 0", "1 0", "1 1", "1 1"}));
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
};

QTEST_MAIN(TestTransport)
#include "test_transport.moc"
