// A Video CD read the way a disc in the drive is, from a BIN/CUE image made here with ffmpeg and
// vcdimager: found, listed, played to its end and sought, with the real engine.
#include "MemorySettings.h"
#include "app/Program.h"
#include "playback/GstMediaEngine.h"
#include "playlist/Playlist.h"
#include "playlist/VideoCd.h"

#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestVideoCdImage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aDiscImagePlaysLikeTheDiscInTheDrive()
    {
        QTemporaryDir folder;
        QProcess maker;
        maker.setWorkingDirectory(folder.path());
        const QString clip =
            "ffmpeg -loglevel error -f lavfi -i testsrc=size=352x288:rate=25 -f lavfi -i sine"
            " -target pal-vcd -t %1 %2.mpg && ";
        maker.start("sh", {"-c", clip.arg(4).arg('a') + clip.arg(3).arg('b') +
                                     "vcdimager -t vcd2 --cue-file=v.cue --bin-file=v.bin a.mpg b.mpg"});
        QVERIFY(maker.waitForFinished(120000) && maker.exitCode() == 0);
        const QString drive = folder.filePath(QStringLiteral("v.cue"));
        const QStringList tracks = {drive + "/MPEGAV/AVSEQ01.DAT", drive + "/MPEGAV/AVSEQ02.DAT"};
        QCOMPARE(VideoCd::tracks(drive), tracks);

        ProgramEnvironment env;
        env.appFolder = folder.path();
        env.makeEngine = [](QWidget *area) {
            return std::make_unique<GstMediaEngine>(
                area, GstEngineOptions{.audioSink = "fakeaudiosink", .videoSink = "fakevideosink"});
        };
        env.settings = std::make_shared<MemorySettings>();
        env.findCdDrive = [drive] { return drive; };
        env.showError = [](const QString &text) { QFAIL(qPrintable(text)); };
        Program program(std::move(env));
        program.mainWindow().tmrAnimate()->stop();

        program.videoCd().mnuAutoVCD_Click();
        QCOMPARE(Playlist::entries(*program.mainWindow().lstPlay()), tracks);
        MediaEngine &engine = program.engine();
        QCOMPARE(engine.FileName(), tracks[0]);
        QVERIFY2(std::abs(engine.Duration() - 4.0) < 0.5, qPrintable(QString::number(engine.Duration())));
        QCOMPARE(engine.NativeVideoSize().height(), 288);

        engine.setCurrentPosition(3.0);
        QVERIFY2(std::abs(engine.CurrentPosition() - 3.0) < 0.5,
                 qPrintable(QString::number(engine.CurrentPosition())));
        QTRY_VERIFY_WITH_TIMEOUT(engine.CurrentPosition() >= engine.Duration(), 10000);
        // At the end the tick moves on to the second track, read from the disc the same way.
        program.tick().tmrAnimate_Timer();
        QCOMPARE(program.engine().FileName(), tracks[1]);
        QCOMPARE(program.engine().ErrorCode(), 0L);
        QVERIFY(std::abs(program.engine().Duration() - 3.0) < 0.5);

        // A track the disc does not hold fails like a missing file, at once.
        program.engine().setFileName(drive + "/MPEGAV/AVSEQ09.DAT");
        QVERIFY(program.engine().ErrorCode() != 0);
    }
};

QTEST_MAIN(TestVideoCdImage)
#include "test_videocd_image.moc"
