#include "playback/MediaKind.h"

#include <QTest>

class TestMediaKind : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void kindIsTheUpperCasedEnding()
    {
        QCOMPARE(MediaKind::of(QStringLiteral("/m/Chanson.Mp3")), QStringLiteral("MP3"));
        QCOMPARE(MediaKind::of(QStringLiteral("/m/film.mpeg")), QStringLiteral("PEG"));
        QCOMPARE(MediaKind::of(QStringLiteral("ab")), QStringLiteral("AB"));
        QCOMPARE(MediaKind::of(QString()), QString());
    }

    void endingsDecideAudioAndVideo_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("audio");
        QTest::addColumn<bool>("video");
        QTest::newRow("mp3") << "/m/a.mp3" << true << false;
        QTest::newRow("midi in upper case") << "/m/A.MID" << true << false;
        QTest::newRow("rmi") << "/m/a.rmi" << true << false;
        QTest::newRow("wma") << "/m/a.Wma" << true << false;
        QTest::newRow("ogg") << "/m/a.ogg" << true << false;
        QTest::newRow("wav") << "/m/a.wav" << true << false;
        QTest::newRow("mpeg, any case") << "/m/film.MpEg" << false << true;
        QTest::newRow("mpg") << "/m/film.mpg" << false << true;
        QTest::newRow("video CD track") << "/cdrom/MPEGAV/AVSEQ01.DAT" << false << true;
        QTest::newRow("vob") << "/dvd/VTS_01_1.VOB" << false << true;
        QTest::newRow("asf") << "/m/clip.asf" << false << true;
        QTest::newRow("avi") << "/m/clip.avi" << false << true;
        // A Windows Media video counts as audio for the video window: it is not in either list.
        QTest::newRow("wmv") << "/m/clip.wmv" << false << false;
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("shorter than MPEG") << "PEG" << false << false;
        QTest::newRow("name is the ending") << "AVI" << false << true;
    }

    void endingsDecideAudioAndVideo()
    {
        QFETCH(QString, name);
        QFETCH(bool, audio);
        QFETCH(bool, video);
        QCOMPARE(MediaKind::isAudioExtension(name), audio);
        QCOMPARE(MediaKind::isVideoExtension(name), video);
    }
};

QTEST_MAIN(TestMediaKind)
#include "test_mediakind.moc"
