#include "ProgramFixture.h"
#include "app/frmSplash.h"
#include "playlist/Playlist.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class TestStartup : public QObject {
    Q_OBJECT

    static int visibleTopLevels()
    {
        int n = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            n += w->isVisible() ? 1 : 0;
        return n;
    }

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void splashHandsOverOnItsFourteenthTick()
    {
        ProgramFixture f;
        f.program->start();
        frmSplash *splash = f.program->splash();
        QVERIFY(splash && splash->isVisible());
        QCOMPARE(splash->Timer1()->interval(), 200);
        QVERIFY(splash->Timer1()->isActive());
        QVERIFY(!splash->mask().isEmpty());

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
        QVERIFY(main);
        QVERIFY(main->isVisible());
        // The video window exists from the load on, hidden, with nothing loaded.
        QVERIFY(f.program->existingVideoWindow());
        QVERIFY(f.program->existingVideoWindow()->isHidden());
        QCOMPARE(f.engine().FileName(), QString());
    }

    void firstRunShowsAnEmptyPlaylistWithoutAnyMessage()
    {
        ProgramFixture f;
        frmMain &main = f.program->mainWindow();
        QVERIFY(main.isVisible());
        QCOMPARE(main.lstPlay()->count(), 0);
        QVERIFY(!main.mask().isEmpty());
        QCOMPARE(f.enginesMade, 1);
        QCOMPARE(visibleTopLevels(), 1);
    }

    void lastPlaylistIsReadAndWrittenBackByteForByte()
    {
        ProgramFixture f;
        const QByteArray saved(
            "\"/home/u/Musique/un, deux.mp3\"\r\n\"-\"\r\n\"/media/cdrom/MPEGAV/AVSEQ01.DAT\"\r\n");
        f.writeLastList(saved);
        frmMain &main = f.program->mainWindow();
        QCOMPARE(Playlist::entries(*main.lstPlay()),
                 (QStringList{QStringLiteral("/home/u/Musique/un, deux.mp3"), QStringLiteral("-"),
                              QStringLiteral("/media/cdrom/MPEGAV/AVSEQ01.DAT")}));

        f.writeLastList("changed on disk meanwhile");
        QSignalSpy finished(f.program.get(), &Program::finished);
        QVERIFY(main.close());
        QCOMPARE(f.readLastList(), saved);
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(f.program->existingMainWindow()->isHidden());
        QVERIFY(f.program->existingVideoWindow()->isHidden());
    }

    void everyWayOfClosingSavesTheSameData()
    {
        // The menu, the close glyph, the window manager (a close event) and a termination signal.
        const QByteArray saved("\"/m/a.ogg\"\r\n");
        for (int way = 0; way < 4; ++way) {
            ProgramFixture f;
            f.writeLastList(saved);
            frmMain &main = f.program->mainWindow();
            main.lstPlay()->addItem(QStringLiteral("/m/b.wav"));
            f.engine().setFileName(QStringLiteral("/m/a.ogg"));
            f.engine().advance(1.0);
            QSignalSpy finished(f.program.get(), &Program::finished);
            switch (way) {
            case 0:
                main.mnuExit_Click();
                break;
            case 1:
                main.Closed_Click();
                break;
            case 2: {
                QCloseEvent event;
                QApplication::sendEvent(&main, &event);
                main.hide();
                break;
            }
            default:
                f.program->requestClose();
            }
            QTRY_COMPARE(finished.count(), 1);
            QCOMPARE(f.readLastList(), QByteArray("\"/m/a.ogg\"\r\n\"/m/b.wav\"\r\n"));
            QVERIFY(f.program->existingVideoWindow()->isHidden());
        }
    }

    void shutdownStopsPlaybackAndClosesTheVideoWindow()
    {
        ProgramFixture f;
        f.program->mainWindow();
        FakeMediaEngine &engine = f.engine();
        engine.setFileName(QStringLiteral("/m/film.avi"));
        engine.advance(1.5);
        f.program->transport().cmdStop_Click();
        QCOMPARE(engine.state(), FakeMediaEngine::State::Stopped);
        QCOMPARE(engine.CurrentPosition(), 0.0);
        QCOMPARE(engine.FileName(), QStringLiteral("/m/film.avi"));

        engine.Play();
        frmPlayer *player = f.program->existingVideoWindow();
        player->show();
        f.program->existingMainWindow()->close();
        QVERIFY(player->isHidden());
        QCOMPARE(f.enginesMade, 1);
    }

    void aSignalWhileTheBreakBoxWaitsSavesAndEndsCleanly()
    {
        ProgramFixture f;
        f.writeLastList("\"/m/a.ogg\"\r\n\"-\"\r\n\"/m/c.ogg\"\r\n");
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
        QCOMPARE(f.readLastList(), QByteArray("\"/m/a.ogg\"\r\n\"-\"\r\n\"/m/c.ogg\"\r\n"));
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

    void selectionIsShownAboveTheList()
    {
        ProgramFixture f;
        f.writeLastList("\"/home/u/Musique/Album/titre.mp3\"\r\n");
        frmMain &main = f.program->mainWindow();
        main.lstPlay()->setCurrentRow(0);
        QCOMPARE(main.txtFN()->text(), QStringLiteral(" Chanson selectionnée :    titre.mp3"));
        QCOMPARE(main.txtFN()->toolTip(), QStringLiteral("/home/u/Musique/Album/titre.mp3"));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
