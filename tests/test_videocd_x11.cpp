// A new user plays a Video CD: a disc folder of real VCD tracks, found through the drive seam, played
// with the GStreamer engine into the real video window on an X display.
#include "MediaMaker.h"
#include "MemorySettings.h"
#include "app/Program.h"
#include "playback/GstMediaEngine.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestVideoCdX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void autoPlayPlaysTheDiscTrackAfterTrack()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display: run under xvfb-run");
        if (!MediaMaker::haveFfmpeg())
            QSKIP("ffmpeg is needed to make the tracks");
        QApplication::setQuitOnLastWindowClosed(false);

        // Discs show their names in capitals.
        QTemporaryDir disc;
        QVERIFY(QDir(disc.path()).mkpath(u"MPEGAV"_s));
        MediaMaker maker(disc.filePath(u"MPEGAV"_s));
        for (const QString &name : {u"AVSEQ01"_s, u"AVSEQ02"_s}) {
            const QString made = maker.make(u"dat"_s, 1.5, name);
            QVERIFY2(!made.isEmpty(), qPrintable(maker.lastError()));
            QVERIFY(QFile::rename(made, disc.filePath(u"MPEGAV/"_s + name + u".DAT"_s)));
        }

        QTemporaryDir appFolder;
        ProgramEnvironment env;
        env.appFolder = appFolder.path();
        env.makeEngine = [](QWidget *area) {
            return std::make_unique<GstMediaEngine>(area, GstEngineOptions{u"fakeaudiosink"_s, {}});
        };
        env.settings = std::make_shared<MemorySettings>();
        env.findCdDrive = [&disc] { return disc.path(); };
        Program program(std::move(env));
        frmMain &main = program.mainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&main));

        main.mnuAutoVCD()->trigger();
        QCOMPARE(program.engine().ErrorCode(), 0L);
        QCOMPARE(program.engine().FileName(), disc.filePath(u"MPEGAV/AVSEQ01.DAT"_s));
        QCOMPARE(main.lstPlay()->count(), 2);
        frmPlayer &video = program.videoWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&video));

        // The picture is in the video window: the test card has many colours.
        QTest::qWait(400);
        const QImage shot = video.screen()->grabWindow(video.winId()).toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < shot.height(); y += 4)
            for (int x = 0; x < shot.width(); x += 4)
                colours.insert(shot.pixel(x, y) & 0xFFFFFF);
        QVERIFY2(colours.size() > 8, "no picture in the video window");

        // At the end of the first track the player goes on to the second.
        QTRY_COMPARE_WITH_TIMEOUT(program.engine().FileName(), disc.filePath(u"MPEGAV/AVSEQ02.DAT"_s), 8000);
        QCOMPARE(program.engine().ErrorCode(), 0L);
        main.close();
    }
};

QTEST_MAIN(TestVideoCdX11)
#include "test_videocd_x11.moc"
