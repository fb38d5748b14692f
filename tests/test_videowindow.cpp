#include "ProgramFixture.h"
#include "ui/Twips.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTest>

class TestVideoWindow : public QObject {
    Q_OBJECT

    // Shows the video window with a file loaded, as the transport does when an entry starts.
    static frmPlayer &showWith(ProgramFixture &f, const QString &path)
    {
        f.engine().setFileName(path);
        frmPlayer &player = f.program->videoWindow();
        player.show();
        return player;
    }

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void loadTakesTheDisplayModeFromTheFitOption()
    {
        for (const bool fit : {false, true}) {
            ProgramFixture f;
            f.program->mainWindow().mnuFit()->setChecked(fit);
            f.program->existingVideoWindow()->close();
            QTRY_VERIFY(!f.program->existingVideoWindow());
            QCOMPARE(f.engine().DisplaySize(), fit ? 4 : 0);
            QVERIFY(f.program->existingVideoWindow()->isHidden());
        }
    }

    void nonVideoFilesHideTheWindowAtItsFirstRepaint_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("staysVisible");
        QTest::newRow("wav") << "/m/son.wav" << false;
        QTest::newRow("windows media video") << "/m/clip.wmv" << false;
        QTest::newRow("ogg") << "/m/son.ogg" << false;
        QTest::newRow("mpeg in mixed case") << "/m/film.MpEg" << true;
        QTest::newRow("mpg") << "/m/film.mpg" << true;
        QTest::newRow("video CD track") << "/cd/MPEGAV/AVSEQ01.DAT" << true;
    }

    void nonVideoFilesHideTheWindowAtItsFirstRepaint()
    {
        QFETCH(QString, path);
        QFETCH(bool, staysVisible);
        ProgramFixture f;
        f.program->mainWindow();
        frmPlayer &player = showWith(f, path);
        QVERIFY(QTest::qWaitForWindowExposed(&player));
        player.repaint();
        QCoreApplication::processEvents();
        QCOMPARE(player.isVisible(), staysVisible);
    }

    void fullScreenMinimisesTheWindowAtTheNextRepaint()
    {
        ProgramFixture f;
        f.program->mainWindow();
        frmPlayer &player = showWith(f, QStringLiteral("/m/film.avi"));
        QVERIFY(QTest::qWaitForWindowExposed(&player));
        f.engine().setDisplaySize(MediaEngine::DisplayFullScreen);
        player.repaint();
        QTRY_VERIFY(player.isMinimized());
    }

    void resizeKeepsTheFitModeAndSizesTheEngineArea()
    {
        ProgramFixture f;
        f.program->mainWindow().mnuFit()->setChecked(true);
        frmPlayer &player = showWith(f, QStringLiteral("/m/film.avi"));
        FakeMediaEngine &engine = f.engine();

        engine.setDisplaySize(MediaEngine::DisplayNative);
        player.resize(600, 400);
        QCoreApplication::processEvents();
        QCOMPARE(engine.DisplaySize(), 4);
        // 20 twips narrower and lower than the inner area, whatever the screen's resolution.
        const double innerWidth = Twips::fromPixelsX(player.width(), &player);
        const double innerHeight = Twips::fromPixelsY(player.height(), &player);
        QCOMPARE(player.engineArea()->width(), Twips::toPixelsX(innerWidth - 20, &player));
        QCOMPARE(player.engineArea()->height(), Twips::toPixelsY(innerHeight - 20, &player));
        QCOMPARE(player.engineArea()->pos(), QPoint(0, 0));

        engine.setDisplaySize(MediaEngine::DisplayFullScreen);
        player.resize(500, 300);
        QCoreApplication::processEvents();
        QCOMPARE(engine.DisplaySize(), 3);

        f.program->mainWindow().mnuFit()->setChecked(false);
        engine.setDisplaySize(MediaEngine::DisplayNative);
        player.resize(640, 480);
        QCoreApplication::processEvents();
        QCOMPARE(engine.DisplaySize(), 0);
    }

    void engineAreaIsTwentyTwipsSmallerThanTheInnerArea()
    {
        // 300 x 200 twips of inner area give 280 x 180 twips of engine area at 15 twips a pixel.
        ProgramFixture f;
        f.program->mainWindow();
        frmPlayer &player = showWith(f, QStringLiteral("/m/film.avi"));
        QVERIFY(QTest::qWaitForWindowExposed(&player));
        if (Twips::perPixelX(&player) != 15.0 || Twips::perPixelY(&player) != 15.0)
            QSKIP("the screen is not at 96 dpi");
        player.resize(300, 200); // pixels: 4500 x 3000 twips
        QCoreApplication::processEvents();
        QCOMPARE(player.engineArea()->size(), QSize(299, 199));
        player.resize(20, 14);
        QCoreApplication::processEvents();
        QCOMPARE(player.engineArea()->size(), QSize(19, 13));
    }

    void closingEndsPlaybackAndTheNextUseMakesAFreshHiddenWindow()
    {
        ProgramFixture f;
        f.program->mainWindow();
        f.program->mainWindow().lstPlay()->addItems({QStringLiteral("/m/a.avi"), QStringLiteral("/m/b.avi")});
        frmPlayer &player = showWith(f, QStringLiteral("/m/b.avi"));
        QVERIFY(QTest::qWaitForWindowExposed(&player));
        QPointer<frmPlayer> old = &player;
        player.close();
        QTRY_VERIFY(!old);
        QCOMPARE(f.enginesMade, 1);
        QCOMPARE(f.engine().FileName(), QString());
        QCOMPARE(f.enginesMade, 2);
        QVERIFY(f.program->existingVideoWindow()->isHidden());
        QCOMPARE(f.program->existingVideoWindow()->windowTitle(), QString());
    }

    void captionFollowsTheLoadedFileWhenActivated()
    {
        ProgramFixture f;
        f.program->mainWindow();
        frmPlayer &player = showWith(f, QStringLiteral("/m/Films/été.avi"));
        QVERIFY(QTest::qWaitForWindowExposed(&player));
        player.activateWindow();
        QTRY_VERIFY(player.isActiveWindow());
        QCOMPARE(player.windowTitle(), QStringLiteral("/m/Films/été.avi"));
    }
};

QTEST_MAIN(TestVideoWindow)
#include "test_videowindow.moc"
