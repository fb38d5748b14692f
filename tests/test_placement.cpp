// Where the windows go: the rules on made-up monitor layouts, then the windows on the test's screen.
#include "ProgramFixture.h"
#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

using Screens = QList<QRect>;

class TestPlacement : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aRestoredPositionStaysReachable_data()
    {
        QTest::addColumn<QPoint>("saved");
        QTest::addColumn<Screens>("screens");
        QTest::addColumn<QPoint>("placed");
        const QRect wide(0, 0, 1920, 1080), right(1920, 0, 1280, 1024), left(-1280, 0, 1280, 1024);
        QTest::newRow("second screen") << QPoint(2000, 100) << Screens{wide, right} << QPoint(2000, 100);
        QTest::newRow("it is gone") << QPoint(2000, 100) << Screens{wide} << QPoint(1577, 100);
        QTest::newRow("smaller now") << QPoint(1500, 900) << Screens{QRect(0, 0, 1024, 768)}
                                     << QPoint(681, 388);
        QTest::newRow("strip above") << QPoint(100, -10) << Screens{wide} << QPoint(100, 0);
        QTest::newRow("strip still whole") << QPoint(-50, 100) << Screens{wide} << QPoint(-50, 100);
        QTest::newRow("far off") << QPoint(-5000, 300) << Screens{wide, right} << QPoint(0, 300);
        QTest::newRow("screen on the left")
            << QPoint(-1500, 200) << Screens{left, wide} << QPoint(-1280, 200);
        QTest::newRow("screen too small") << QPoint(50, 50) << Screens{QRect(0, 0, 300, 200)} << QPoint(0, 0);
    }

    void aRestoredPositionStaysReachable()
    {
        QFETCH(QPoint, saved);
        QFETCH(Screens, screens);
        QFETCH(QPoint, placed);
        // The main window's size and title strip at 96 dpi.
        QCOMPARE(WindowPlacement::reachable(saved, QSize(343, 380), QRect(60, 3, 241, 12), screens), placed);
    }

    void aFirstRunCentresTheWindowAndTheVideoWindowFollowsIt()
    {
        QCOMPARE(WindowPlacement::centred(QRect(1920, 0, 1280, 1024), QSize(343, 380)), QPoint(2388, 322));
        ProgramFixture f;
        frmMain &main = f.main();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(main.pos(), WindowPlacement::centred(area, main.size()));

        // The video window opens in the middle of the main window's screen; then it stays where it is put.
        frmPlayer &video = f.program->videoWindow();
        video.show();
        QCOMPARE(video.frameGeometry().center(), area.center());
        video.hide();
        video.move(5, 5);
        video.show();
        QCOMPARE(video.pos(), QPoint(5, 5));
    }
};

QTEST_MAIN(TestPlacement)
#include "test_placement.moc"
