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
        QVERIFY(splash && splash->isVisible());
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
        QVERIFY(main && main->isVisible());
        QVERIFY(!main->mask().isEmpty());
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

    void lastListIsReadAndEveryWayOfClosingSavesItStopsAndHidesTheVideoWindow()
    {
        // The menu, the close glyph, the window manager (a close event) and a termination signal.
        const QByteArray saved(
            "\"/home/u/Musique/un, deux.mp3\"\r\n\"-\"\r\n\"/media/cdrom/MPEGAV/AVSEQ01.DAT\"\r\n");
        for (int way = 0; way < 4; ++way) {
            ProgramFixture f;
            f.writeLastList(saved);
            frmMain &main = f.program->mainWindow();
            QCOMPARE(Playlist::entries(*main.lstPlay()),
                     (QStringList{"/home/u/Musique/un, deux.mp3", "-", "/media/cdrom/MPEGAV/AVSEQ01.DAT"}));
            main.lstPlay()->setCurrentRow(0);
            QCOMPARE(main.txtFN()->text(), u" Chanson selectionnée :    un, deux.mp3"_s);
            QCOMPARE(main.txtFN()->toolTip(), u"/home/u/Musique/un, deux.mp3"_s);

            f.writeLastList("changed on disk meanwhile");
            main.lstPlay()->addItem(u"/m/b.wav"_s);
            f.engine().setFileName(u"/m/film.avi"_s);
            f.engine().Play();
            f.program->videoWindow().show();
            QSignalSpy finished(f.program.get(), &Program::finished);
            switch (way) {
            case 0:
                f.program->frame().mnuExit_Click();
                break;
            case 1:
                f.program->frame().Closed_Click();
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
            QCOMPARE(f.readLastList(), saved + "\"/m/b.wav\"\r\n");
            QVERIFY(main.isHidden());
            QVERIFY(f.program->existingVideoWindow()->isHidden());
            QCOMPARE(f.engine().state(), FakeMediaEngine::State::Stopped);
            QCOMPARE(f.enginesMade, 1);
        }
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
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
