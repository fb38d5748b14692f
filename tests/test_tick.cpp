#include "ProgramFixture.h"
#include "playback/TimeFormat.h"
#include "ui/ClickableLabel.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTest>

class TestTick : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void formatTime_data()
    {
        QTest::addColumn<long>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0L << "0:00:00";
        QTest::newRow("5") << 5L << "0:00:05";
        QTest::newRow("59") << 59L << "0:00:59";
        QTest::newRow("60") << 60L << "0:01:00";
        QTest::newRow("754") << 754L << "0:12:34";
        QTest::newRow("3599") << 3599L << "0:59:59";
        QTest::newRow("3600") << 3600L << "1:00:00";
        QTest::newRow("3725") << 3725L << "1:02:05";
        QTest::newRow("32767") << 32767L << "9:06:07";
        QTest::newRow("7384") << 7384L << "2:03:04";
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

    void closingTheVideoWindowMovesOnToTheNextEntry()
    {
        ProgramFixture f;
        f.writeLastList("\"/m/a.avi\"\r\n\"/m/b.avi\"\r\n\"/m/c.avi\"\r\n");
        f.main();
        f.tick();
        QCOMPARE(f.engine().FileName(), QStringLiteral("/m/b.avi"));
        QPointer<frmPlayer> player = f.program->existingVideoWindow();
        player->close();
        QTRY_VERIFY(!player);
        f.tick();
        QCOMPARE(f.enginesMade, 2);
        QCOMPARE(f.engine().FileName(), QStringLiteral("/m/c.avi"));
    }

    void theSeekBarSeeksOnlyForTheUser()
    {
        ProgramFixture f;
        f.writeLastList("\"/m/a.ogg\"\r\n\"/m/b.ogg\"\r\n");
        f.engine().durationOfEachFile = 300;
        frmMain &main = f.main();
        // Before the first tick the flag is empty: a move seeks nothing.
        main.scrlTime()->setValue(20);
        QCOMPARE(f.engine().CurrentPosition(), 0.0);
        f.tick();
        f.engine().advance(10.5);
        f.tick();
        QCOMPARE(f.engine().CurrentPosition(), 10.5);
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

    void remainingTimeAndTheSign()
    {
        ProgramFixture f;
        f.writeLastList("\"/m/a.ogg\"\r\n\"/m/b.ogg\"\r\n");
        f.engine().durationOfEachFile = 200.9;
        frmMain &main = f.main();
        f.tick();
        f.program->tick().lblTime_Click();
        QCOMPARE(main.lblpls()->text(), QStringLiteral("-"));
        QVERIFY(!f.program->sharedState().TimeMode);
        f.tick();
        QCOMPARE(main.lblTime()->text(), QStringLiteral("0:00:00")); // position 0
        f.engine().advance(10.5);
        f.tick();
        QCOMPARE(main.lblTime()->text(), QStringLiteral("0:03:10"));
        f.program->tick().lblTime_Click();
        QCOMPARE(main.lblpls()->text(), QStringLiteral("+"));
        QCOMPARE(main.lblTime()->text(), QStringLiteral("0:03:10")); // follows at the next tick
        f.tick();
        QCOMPARE(main.lblTime()->text(), QStringLiteral("0:00:10"));

        // A clickable label: the user's click goes to the same handler.
        QTest::mouseClick(main.lblTime(), Qt::LeftButton);
        QCOMPARE(main.lblpls()->text(), QStringLiteral("-"));
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

QTEST_MAIN(TestTick)
#include "test_tick.moc"
