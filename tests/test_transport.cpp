#include "ProgramFixture.h"
#include "playback/RandomSource.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTest>

namespace {

// Counts how often a window was shown, to tell "shown then hidden" from "never shown".
struct ShowCounter : QObject {
    int shows = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

} // namespace

class TestTransport : public QObject {
    Q_OBJECT

    static void fill(ProgramFixture &f, const QStringList &entries) { f.main().lstPlay()->addItems(entries); }

    static void start(ProgramFixture &f, int row)
    {
        f.main().lstPlay()->setCurrentRow(row);
        f.program->transport().lstPlay_DblClick();
    }

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void emptyListDoesNothingButShowTheDuration()
    {
        ProgramFixture f;
        Transport &t = f.program->transport();
        f.main();
        QCOMPARE(f.main().lblDuration()->text(), QStringLiteral("00:00:00"));
        t.cmdForward_Click();
        t.cmdBack_Click();
        t.cmdPlay_Click();
        QVERIFY(f.engine().opened.isEmpty());
        QCOMPARE(f.main().lblDuration()->text(), QStringLiteral("0:00:00"));
        QCOMPARE(f.program->sharedState().CurrentIndex, 0);
    }

    void oneEntryEndsOrRestartsByRepeat()
    {
        ProgramFixture f;
        Transport &t = f.program->transport();
        fill(f, {QStringLiteral("/m/a.avi")});
        start(f, 0);
        f.engine().setDisplaySize(MediaEngine::DisplayFullScreen);
        t.cmdForward_Click();
        QCOMPARE(f.engine().opened.size(), 1);
        QCOMPARE(f.engine().DisplaySize(), 0);
        f.engine().setDisplaySize(MediaEngine::DisplayFit);
        t.cmdBack_Click();
        QCOMPARE(f.engine().opened.size(), 1);
        QCOMPARE(f.engine().DisplaySize(), 4);

        f.main().chkRepeat()->setCheckState(Qt::Checked);
        QVERIFY(f.program->sharedState().RepeatOn);
        t.cmdForward_Click();
        t.cmdBack_Click();
        QCOMPARE(f.engine().opened, (QStringList{"/m/a.avi", "/m/a.avi", "/m/a.avi"}));
    }

    void repeatWrapsAtBothEnds()
    {
        ProgramFixture f;
        Transport &t = f.program->transport();
        fill(f, {QStringLiteral("/m/0.ogg"), QStringLiteral("/m/1.ogg"), QStringLiteral("/m/2.ogg")});
        // A greyed repeat box counts as on.
        f.main().chkRepeat()->setCheckState(Qt::PartiallyChecked);
        QVERIFY(f.program->sharedState().RepeatOn);
        start(f, 2);
        t.cmdForward_Click();
        QCOMPARE(f.engine().FileName(), QStringLiteral("/m/0.ogg"));
        QCOMPARE(f.main().lstPlay()->currentRow(), 0);
        QCOMPARE(f.program->sharedState().CurrentIndex, 0);
        t.cmdBack_Click();
        QCOMPARE(f.engine().FileName(), QStringLiteral("/m/2.ogg"));
        QCOMPARE(f.main().txtFN()->text(), QStringLiteral(" Chanson selectionnée :    2.ogg"));
    }

    void previousStaysInsideAShortenedList()
    {
        ProgramFixture f;
        fill(f, {QStringLiteral("/m/0.ogg"), QStringLiteral("/m/1.ogg"), QStringLiteral("/m/2.ogg"),
                 QStringLiteral("/m/3.ogg")});
        start(f, 3);
        delete f.main().lstPlay()->takeItem(3);
        delete f.main().lstPlay()->takeItem(2);
        f.program->transport().cmdBack_Click();
        QCOMPARE(f.engine().FileName(), QStringLiteral("/m/1.ogg"));
    }

    void shuffleRoundsHalfToEven_data()
    {
        QTest::addColumn<double>("r");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("index");
        QTest::newRow("two entries, 0.5 goes to 0") << 0.5 << 1 << 0;
        QTest::newRow("two entries, above 0.5") << 0.5000001 << 1 << 1;
        QTest::newRow("five entries, 0.125 goes to 0") << 0.125 << 4 << 0;
        QTest::newRow("five entries, just above 0.125") << 0.1250001 << 4 << 1;
        QTest::newRow("five entries, 0.875 goes to 4") << 0.875 << 4 << 4;
        QTest::newRow("five entries, 0.375 goes to 2") << 0.375 << 4 << 2;
        QTest::newRow("one entry") << 0.9999 << 0 << 0;
        QTest::newRow("near one") << 0.9999 << 4 << 4;
    }

    void shuffleRoundsHalfToEven()
    {
        QFETCH(double, r);
        QFETCH(int, last);
        QFETCH(int, index);
        QCOMPARE(ShuffleIndex(r, last), index);
    }

    void shuffleDrawsForNextAndPreviousAndIgnoresRepeat()
    {
        ProgramFixture f;
        Transport &t = f.program->transport();
        fill(f, {"/m/0.ogg", "/m/1.ogg", "/m/2.ogg", "/m/3.ogg", "/m/4.ogg"});
        f.main().chkSuffle()->setCheckState(Qt::Checked);
        QVERIFY(f.program->sharedState().ShuffleOn);
        f.random->draws = {0.875, 0.125, 0.6};
        start(f, 4);
        t.cmdForward_Click();
        t.cmdForward_Click();
        t.cmdBack_Click();
        QCOMPARE(f.engine().opened, (QStringList{"/m/4.ogg", "/m/4.ogg", "/m/0.ogg", "/m/2.ogg"}));
        // Greyed is not on for shuffle.
        f.main().chkSuffle()->setCheckState(Qt::PartiallyChecked);
        QVERIFY(!f.program->sharedState().ShuffleOn);
    }

    void breakMarkerAsksAndGoesOnOrStops()
    {
        for (const bool ok : {true, false}) {
            ProgramFixture f;
            f.breakAnswer = [ok] { return ok; };
            fill(f, {QStringLiteral("/m/A.mp3"), QStringLiteral("-"), QStringLiteral("/m/B.mp3")});
            start(f, 0);
            f.engine().finish();
            f.tick();
            QCOMPARE(f.breakBoxes, 1);
            if (ok) {
                QCOMPARE(f.engine().FileName(), QStringLiteral("/m/B.mp3"));
                QCOMPARE(f.program->sharedState().CurrentIndex, 2);
            } else {
                QCOMPARE(f.engine().FileName(), QStringLiteral("/m/A.mp3"));
                QCOMPARE(f.engine().state(), FakeMediaEngine::State::Stopped);
                QCOMPARE(f.engine().CurrentPosition(), 0.0);
            }
        }
    }

    void ticksWhileTheBreakBoxIsOpenOpenNoSecondBox()
    {
        ProgramFixture f;
        fill(f, {QStringLiteral("/m/A.mp3"), QStringLiteral("-"), QStringLiteral("/m/B.mp3")});
        start(f, 0);
        f.breakAnswer = [&f] {
            // The box is modal but timer ticks still arrive while it is open.
            f.tick();
            f.tick();
            return true;
        };
        f.engine().finish();
        f.tick();
        QCOMPARE(f.breakBoxes, 1);
        QCOMPARE(f.engine().FileName(), QStringLiteral("/m/B.mp3"));
    }

    void unplayableEntriesAreSkippedInOneCall()
    {
        ProgramFixture f;
        fill(f, {"/m/ok0.ogg", "/m/bad1.ogg", "/m/bad2.ogg", "/m/ok3.ogg"});
        f.engine().unplayable = {"/m/bad1.ogg", "/m/bad2.ogg"};
        start(f, 0);
        f.program->transport().cmdForward_Click();
        QCOMPARE(f.engine().opened, (QStringList{"/m/ok0.ogg", "/m/bad1.ogg", "/m/bad2.ogg", "/m/ok3.ogg"}));
        QCOMPARE(f.program->sharedState().CurrentIndex, 3);
        QVERIFY(!f.program->transport().gaveUp());
    }

    void aListWithNothingPlayableIsGivenUpAfterOnePass()
    {
        for (const bool shuffle : {false, true}) {
            ProgramFixture f;
            QStringList entries;
            for (int i = 0; i < 50; ++i)
                entries.append(QStringLiteral("/m/missing%1.mp3").arg(i));
            fill(f, entries);
            f.engine().unplayable = QSet<QString>(entries.begin(), entries.end());
            f.main().chkRepeat()->setCheckState(Qt::Checked);
            f.main().chkSuffle()->setCheckState(shuffle ? Qt::Checked : Qt::Unchecked);
            // Start-up: the empty engine counts as ended, so the first tick starts the list.
            f.tick();
            QVERIFY(f.program->transport().gaveUp());
            QVERIFY(f.engine().opened.size() <= entries.size() + 1);
            QVERIFY(f.engine().state() != FakeMediaEngine::State::Playing);
            // Later ticks leave it alone until the user acts.
            const qsizetype opens = f.engine().opened.size();
            for (int i = 0; i < 5; ++i)
                f.tick();
            QCOMPARE(f.engine().opened.size(), opens);
            f.engine().unplayable.remove(QStringLiteral("/m/missing7.mp3"));
            start(f, 7);
            QCOMPARE(f.engine().FileName(), QStringLiteral("/m/missing7.mp3"));
            QCOMPARE(f.engine().state(), FakeMediaEngine::State::Playing);
            QVERIFY(!f.program->transport().gaveUp());
        }
    }

    void videoWindowFollowsTheMediaKind_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("shows");
        QTest::addColumn<bool>("visibleAfter");
        QTest::newRow("mp3 never shows it") << "/m/a.mp3" << 0 << false;
        QTest::newRow("wav shows and hides it") << "/m/a.wav" << 1 << false;
        QTest::newRow("midi shows and hides it") << "/m/a.mid" << 1 << false;
        QTest::newRow("avi leaves it shown") << "/m/a.avi" << 1 << true;
        QTest::newRow("video CD track") << "/cd/MPEGAV/AVSEQ01.DAT" << 1 << true;
    }

    void videoWindowFollowsTheMediaKind()
    {
        QFETCH(QString, path);
        QFETCH(int, shows);
        QFETCH(bool, visibleAfter);
        ProgramFixture f;
        fill(f, {path});
        ShowCounter counter;
        f.program->videoWindow().installEventFilter(&counter);
        start(f, 0);
        QCOMPARE(counter.shows, shows);
        QCOMPARE(f.program->videoWindow().isVisible(), visibleAfter);
    }

    void pauseTogglesAndPlayDoesNotClearIt()
    {
        ProgramFixture f;
        Transport &t = f.program->transport();
        bool &paused = f.program->sharedState().IsPaused;
        t.cmdPause_Click(); // nothing loaded: no effect
        QVERIFY(!paused);
        fill(f, {QStringLiteral("/m/a.ogg")});
        start(f, 0);
        t.cmdPause_Click();
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Paused);
        QVERIFY(paused);
        t.cmdPause_Click();
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Playing);
        QVERIFY(!paused);

        t.cmdPause_Click();
        t.cmdPlay_Click();
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Playing);
        t.cmdPause_Click(); // only clears the toggle: playback goes on
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Playing);
        QVERIFY(!paused);
        t.cmdPause_Click();
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Paused);
    }

    void stopRewindsAndPlayStartsAgainFromTheBeginning()
    {
        ProgramFixture f;
        Transport &t = f.program->transport();
        fill(f, {QStringLiteral("/m/a.ogg"), QStringLiteral("/m/b.ogg")});
        start(f, 1);
        f.engine().advance(2.0);
        t.cmdStop_Click();
        QCOMPARE(f.engine().CurrentPosition(), 0.0);
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Stopped);
        f.main().lstPlay()->setCurrentRow(-1);
        t.cmdPlay_Click();
        QCOMPARE(f.engine().state(), FakeMediaEngine::State::Playing);
        QCOMPARE(f.engine().FileName(), QStringLiteral("/m/b.ogg"));
        QCOMPARE(f.program->sharedState().CurrentIndex, 0);
        QCOMPARE(f.main().lblDuration()->text(), QStringLiteral("0:00:03"));
    }

    void startingAnEntryInFullScreenMinimisesTheWindows()
    {
        for (const bool onTop : {false, true}) {
            ProgramFixture f;
            fill(f, {QStringLiteral("/m/a.avi")});
            f.program->sharedState().OnTop = onTop;
            f.engine().setDisplaySize(MediaEngine::DisplayFullScreen);
            start(f, 0);
            QVERIFY(f.program->videoWindow().isMinimized());
            QCOMPARE(f.main().isMinimized(), !onTop);
        }
    }

    void startingAnEntrySetsTheSeekRangeAndTheMarquee()
    {
        ProgramFixture f;
        fill(f, {QStringLiteral("/m/Album/long.ogg"), QStringLiteral("/m/Album/very long.ogg")});
        f.engine().durationOfEachFile = 200.9;
        start(f, 0);
        QCOMPARE(f.main().scrlTime()->maximum(), 200);
        QCOMPARE(f.main().lblDuration()->text(), QStringLiteral("0:03:20"));
        QCOMPARE(f.main().txtTitle()->text(),
                 QStringLiteral("- Qwelto Player 2.0 -    Chanson selectionnée :    long.ogg") +
                     QString(49, u' '));
        // Beyond 16-bit seconds the range stays as it was.
        f.engine().durationOfEachFile = 40000.0;
        start(f, 1);
        QCOMPARE(f.main().scrlTime()->maximum(), 200);
        QCOMPARE(f.main().lblDuration()->text(), QStringLiteral("11:06:40"));
    }
};

QTEST_MAIN(TestTransport)
#include "test_transport.moc"
