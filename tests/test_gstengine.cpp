#include "MediaMaker.h"
#include "playback/GstMediaEngine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QtEndian>

#include <gst/gst.h>

#include <cmath>
#include <memory>

namespace {

constexpr double SampleSeconds = 2.0;

// Options for an engine that keeps real time without a sound card or a window.
GstEngineOptions headless()
{
    GstEngineOptions options;
    options.audioSink = QStringLiteral("fakeaudiosink");
    options.videoSink = QStringLiteral("fakevideosink");
    return options;
}

struct Levels {
    double left = 0.0;
    double right = 0.0;
    qsizetype frames = 0;
};

// RMS of each channel of a 16-bit stereo WAV file, leaving out the first and last tenth, where
// encoders fade in and out.
Levels channelLevels(const QString &wavFile)
{
    QFile file(wavFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return {};
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const auto size = static_cast<qsizetype>(qFromLittleEndian<quint32>(bytes.constData() + at + 4));
        if (id == "data") {
            const qsizetype available = std::min(size, bytes.size() - at - 8);
            const auto *samples = reinterpret_cast<const uchar *>(bytes.constData() + at + 8);
            const qsizetype frames = available / 4;
            double left = 0.0;
            double right = 0.0;
            qsizetype counted = 0;
            for (qsizetype i = frames / 10; i < frames - frames / 10; ++i) {
                const double l = qFromLittleEndian<qint16>(samples + 4 * i);
                const double r = qFromLittleEndian<qint16>(samples + 4 * i + 2);
                left += l * l;
                right += r * r;
                ++counted;
            }
            if (counted == 0)
                return {};
            return {std::sqrt(left / static_cast<double>(counted)),
                    std::sqrt(right / static_cast<double>(counted)), frames};
        }
        at += 8 + size + (size % 2);
    }
    return {};
}

double decibels(double level, double reference)
{
    return level <= 0.0 ? -200.0 : 20.0 * std::log10(level / reference);
}

} // namespace

class TestGstEngine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<MediaMaker> m_maker;
    QHash<QString, QString> m_media;
    QString m_stereoTone;
    Levels m_reference;
    std::unique_ptr<GstMediaEngine> m_engine;

    QString media(const QString &format) const { return m_media.value(format); }

    void openOk(const QString &path)
    {
        m_engine->setFileName(path);
        QVERIFY2(m_engine->ErrorCode() == 0,
                 qPrintable(path + QStringLiteral(": ") + m_engine->ErrorDescription()));
        QVERIFY(m_engine->Duration() > 0.0);
    }

    // Plays the stereo tone to its end through an engine whose sink records what it is given, after a
    // first open of another file (settings must outlive it), and returns the recorded levels.
    Levels capture(long volume, long balance, bool mute)
    {
        const QString out =
            m_dir.filePath(QStringLiteral("capture-%1-%2-%3.wav").arg(volume).arg(balance).arg(mute));
        GstEngineOptions options;
        options.audioSink =
            QStringLiteral(
                "audioconvert ! audio/x-raw,format=S16LE,channels=2 ! wavenc ! filesink location=\"%1\"")
                .arg(out);
        options.videoSink = QStringLiteral("fakevideosink");
        GstMediaEngine engine(nullptr, options);
        engine.setFileName(media(QStringLiteral("ogg")));
        engine.setVolume(volume);
        engine.setBalance(balance);
        engine.setMute(mute);
        QSignalSpy ended(&engine, &GstMediaEngine::endOfStream);
        engine.setFileName(m_stereoTone);
        if (engine.ErrorCode() != 0 || !ended.wait(10000))
            return {};
        // Unloading finalises the file.
        engine.setFileName(QString());
        return channelLevels(out);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!MediaMaker::haveFfmpeg())
            QSKIP("ffmpeg is not installed: the engine tests make their media with it");
        QVERIFY(m_dir.isValid());
        m_maker = std::make_unique<MediaMaker>(m_dir.path());
        for (const QString &format : MediaMaker::formats()) {
            const QString path = m_maker->make(format, SampleSeconds);
            QVERIFY2(!path.isEmpty(), qPrintable(m_maker->lastError()));
            m_media.insert(format, path);
        }
        m_media.insert(QStringLiteral("non-ASCII"),
                       m_maker->tone(QStringLiteral("Été à l'Haÿ — ♪.mp3"), SampleSeconds));
        m_stereoTone = m_maker->tone(QStringLiteral("stereo-tone.wav"), 1.0, 2, 1000);
        QVERIFY2(!m_stereoTone.isEmpty(), qPrintable(m_maker->lastError()));
        m_engine = std::make_unique<GstMediaEngine>(nullptr, headless());
    }

    void cleanupTestCase() { m_engine.reset(); }

    void opensEveryFormatWithItsDuration_data()
    {
        QTest::addColumn<QString>("format");
        for (const QString &format : MediaMaker::formats())
            QTest::newRow(qPrintable(format)) << format;
        QTest::newRow("non-ASCII file name") << QStringLiteral("non-ASCII");
    }
    void opensEveryFormatWithItsDuration()
    {
        QFETCH(QString, format);
        const QString path = media(format);
        QElapsedTimer opening;
        opening.start();
        m_engine->setFileName(path);
        const qint64 took = opening.elapsed();
        QCOMPARE(m_engine->ErrorCode(), 0L);
        QCOMPARE(m_engine->ErrorDescription(), QString());
        QCOMPARE(m_engine->FileName(), path);
        QVERIFY2(std::abs(m_engine->Duration() - SampleSeconds) <= 0.25,
                 qPrintable(QStringLiteral("duration %1").arg(m_engine->Duration())));
        // Pixel aspect applied. MPEG-1 only has a table of approximate pixel shapes, and players
        // differ on the 4:3 PAL entry by a few percent.
        const QSize picture = m_engine->NativeVideoSize();
        const QSize expected = MediaMaker::pictureSize(format);
        QCOMPARE(picture.height(), expected.height());
        QVERIFY2(std::abs(picture.width() - expected.width()) <= expected.width() * 3 / 100,
                 qPrintable(QStringLiteral("%1x%2").arg(picture.width()).arg(picture.height())));
        // The open returns with the file playing from its start.
        QVERIFY2(m_engine->CurrentPosition() < 0.25,
                 qPrintable(QString::number(m_engine->CurrentPosition())));
        QVERIFY2(took < 3000, qPrintable(QStringLiteral("open took %1 ms").arg(took)));
    }

    void positionFollowsRealTime_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("wav") << QStringLiteral("wav");
        // Program streams whose clock starts near half a second still read from 0.
        QTest::newRow("mpg") << QStringLiteral("mpg");
    }
    void positionFollowsRealTime()
    {
        QFETCH(QString, format);
        openOk(media(format));
        const double start = m_engine->CurrentPosition();
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(500);
        const double moved = m_engine->CurrentPosition() - start;
        const double elapsed = static_cast<double>(clock.elapsed()) / 1000.0;
        QVERIFY2(std::abs(moved - elapsed) < 0.15,
                 qPrintable(QStringLiteral("moved %1 s in %2 s").arg(moved).arg(elapsed)));
    }

    void seekLandsOnTarget_data()
    {
        QTest::addColumn<QString>("format");
        for (const char *format : {"mp3", "ogg", "wma", "mid", "avi", "mpg", "vob", "cdxa"})
            QTest::newRow(format) << QString::fromLatin1(format);
    }
    void seekLandsOnTarget()
    {
        QFETCH(QString, format);
        openOk(media(format));
        for (double target : {1.2, 0.4}) {
            m_engine->setCurrentPosition(target);
            const double now = m_engine->CurrentPosition();
            QVERIFY2(std::abs(now - target) < 0.1,
                     qPrintable(QStringLiteral("asked %1, at %2").arg(target).arg(now)));
        }
        // Playing goes on from there.
        QTest::qWait(300);
        const double later = m_engine->CurrentPosition();
        QVERIFY2(later > 0.55 && later < 0.95, qPrintable(QString::number(later)));
    }

    void pauseHoldsPositionAndPlayResumes()
    {
        openOk(media(QStringLiteral("ogg")));
        QTest::qWait(300);
        m_engine->Pause();
        const double paused = m_engine->CurrentPosition();
        QVERIFY(paused > 0.15);
        QTest::qWait(300);
        QVERIFY(std::abs(m_engine->CurrentPosition() - paused) < 0.02);
        m_engine->Play();
        QTest::qWait(300);
        const double resumed = m_engine->CurrentPosition();
        QVERIFY2(resumed > paused + 0.15 && resumed < paused + 0.5, qPrintable(QString::number(resumed)));
    }

    void stopRewindsAndKeepsTheFile_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("mp3") << QStringLiteral("mp3");
        QTest::newRow("vob") << QStringLiteral("vob");
    }
    void stopRewindsAndKeepsTheFile()
    {
        QFETCH(QString, format);
        openOk(media(format));
        const double duration = m_engine->Duration();
        QTest::qWait(400);
        m_engine->Stop();
        QCOMPARE(m_engine->CurrentPosition(), 0.0);
        QCOMPARE(m_engine->Duration(), duration);
        QCOMPARE(m_engine->FileName(), media(format));
        QTest::qWait(300);
        QCOMPARE(m_engine->CurrentPosition(), 0.0);
        m_engine->Play();
        QTest::qWait(300);
        const double playing = m_engine->CurrentPosition();
        QVERIFY2(playing > 0.15 && playing < 0.5, qPrintable(QString::number(playing)));
    }

    void endOfStreamReadsAsTheEnd_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("wav") << QStringLiteral("wav");
        QTest::newRow("mpg") << QStringLiteral("mpg");
        QTest::newRow("mid") << QStringLiteral("mid");
        QTest::newRow("video CD") << QStringLiteral("dat");
        // The one where the position query stops a hair short of the duration at the end.
        QTest::newRow("mp3") << QStringLiteral("mp3");
    }
    void endOfStreamReadsAsTheEnd()
    {
        QFETCH(QString, format);
        openOk(media(format));
        QSignalSpy ended(m_engine.get(), &GstMediaEngine::endOfStream);
        const double duration = m_engine->Duration();
        m_engine->setCurrentPosition(duration - 0.3);
        QVERIFY(m_engine->CurrentPosition() < duration);
        QVERIFY(ended.wait(3000));
        QVERIFY2(m_engine->CurrentPosition() >= duration,
                 qPrintable(QStringLiteral("%1 < %2").arg(m_engine->CurrentPosition()).arg(duration)));
        // It stays at the end until something moves it.
        QTest::qWait(200);
        QVERIFY(m_engine->CurrentPosition() >= duration);
        m_engine->setCurrentPosition(0.5);
        QVERIFY(std::abs(m_engine->CurrentPosition() - 0.5) < 0.1);
        QTest::qWait(200);
        QVERIFY(m_engine->CurrentPosition() < duration);

        // Stop after the end rewinds too, and the file plays again.
        m_engine->setCurrentPosition(duration - 0.2);
        QVERIFY(ended.wait(3000));
        m_engine->Stop();
        QCOMPARE(m_engine->CurrentPosition(), 0.0);
        m_engine->Play();
        QTest::qWait(200);
        QVERIFY(m_engine->CurrentPosition() > 0.05 && m_engine->CurrentPosition() < duration);
    }

    void emptyNameUnloads()
    {
        openOk(media(QStringLiteral("avi")));
        m_engine->setFileName(QString());
        QCOMPARE(m_engine->FileName(), QString());
        QCOMPARE(m_engine->Duration(), 0.0);
        QCOMPARE(m_engine->CurrentPosition(), 0.0);
        QCOMPARE(m_engine->ErrorCode(), 0L);
        QCOMPARE(m_engine->NativeVideoSize(), QSize());
        // Transport calls on an empty engine are harmless.
        m_engine->Play();
        m_engine->setCurrentPosition(1.0);
        m_engine->Stop();
        QCOMPARE(m_engine->CurrentPosition(), 0.0);
    }

    void badInputFailsAndTheNextFilePlays_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("0-byte file") << m_maker->emptyFile(QStringLiteral("empty.mp3"));
        QTest::newRow("random bytes") << m_maker->randomBytes(QStringLiteral("noise.mp3"));
        QTest::newRow("directory") << m_maker->directory(QStringLiteral("folder.avi"));
        QTest::newRow("missing file") << m_maker->missing(QStringLiteral("absent.wav"));
        QTest::newRow("text named .wma") << m_maker->textFile(QStringLiteral("notes.wma"));
        QTest::newRow("codec nobody decodes")
            << m_maker->unknownCodecAvi(QStringLiteral("unknown-codec.avi"));
    }
    void badInputFailsAndTheNextFilePlays()
    {
        QFETCH(QString, path);
        QVERIFY2(!path.isEmpty(), qPrintable(m_maker->lastError()));
        openOk(media(QStringLiteral("mp3")));

        QElapsedTimer clock;
        clock.start();
        m_engine->setFileName(path);
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QStringLiteral("took %1 ms").arg(clock.elapsed())));
        QVERIFY(m_engine->ErrorCode() != 0);
        QVERIFY(!m_engine->ErrorDescription().trimmed().isEmpty());
        QCOMPARE(m_engine->FileName(), path);
        QCOMPARE(m_engine->Duration(), 0.0);
        QCOMPARE(m_engine->CurrentPosition(), 0.0);
        m_engine->Play();
        QCOMPARE(m_engine->CurrentPosition(), 0.0);

        m_engine->setFileName(media(QStringLiteral("wav")));
        QCOMPARE(m_engine->ErrorCode(), 0L);
        QCOMPARE(m_engine->ErrorDescription(), QString());
        QVERIFY(std::abs(m_engine->Duration() - SampleSeconds) <= 0.25);
    }

    void theFirstErrorIsKept()
    {
        // A missing file makes filesrc complain twice and then the pipeline adds a vaguer "state
        // change failed"; the reason the user sees is the first one.
        m_engine->setFileName(m_maker->missing(QStringLiteral("gone.mp3")));
        QCOMPARE(m_engine->ErrorCode(), static_cast<long>(GST_RESOURCE_ERROR_NOT_FOUND));
        QTest::qWait(100);
        QCOMPARE(m_engine->ErrorCode(), static_cast<long>(GST_RESOURCE_ERROR_NOT_FOUND));
    }

    void volumeAndBalanceReadBackAsWritten()
    {
        GstMediaEngine engine(nullptr, headless());
        QCOMPARE(engine.Volume(), 0L);
        QCOMPARE(engine.Balance(), 0L);
        QCOMPARE(engine.Mute(), false);
        for (long volume : {-1L, -600L, -2345L, -9640L, 0L}) {
            engine.setVolume(volume);
            QCOMPARE(engine.Volume(), volume);
        }
        for (long balance : {600L, -600L, 9640L, -9640L, 1L, 0L}) {
            engine.setBalance(balance);
            QCOMPARE(engine.Balance(), balance);
        }
        engine.setVolume(-1234);
        engine.setBalance(-777);
        engine.setMute(true);
        engine.setFileName(media(QStringLiteral("mp3")));
        engine.setFileName(media(QStringLiteral("avi")));
        QCOMPARE(engine.Volume(), -1234L);
        QCOMPARE(engine.Balance(), -777L);
        QCOMPARE(engine.Mute(), true);
        // Out of range is held at the limits.
        engine.setVolume(-20000);
        QCOMPARE(engine.Volume(), -9640L);
        engine.setVolume(300);
        QCOMPARE(engine.Volume(), 0L);
        engine.setBalance(12000);
        QCOMPARE(engine.Balance(), 9640L);
    }

    void outputLevelsFollowVolumeBalanceAndMute_data()
    {
        QTest::addColumn<long>("volume");
        QTest::addColumn<long>("balance");
        QTest::addColumn<bool>("mute");
        QTest::addColumn<double>("leftDb");
        QTest::addColumn<double>("rightDb");
        QTest::newRow("volume -6 dB") << -600L << 0L << false << -6.0 << -6.0;
        QTest::newRow("balance to the right") << 0L << 600L << false << -6.0 << 0.0;
        QTest::newRow("balance to the left") << 0L << -600L << false << 0.0 << -6.0;
        QTest::newRow("volume and balance add up") << -300L << 1200L << false << -15.0 << -3.0;
        QTest::newRow("mute") << 0L << 0L << true << -200.0 << -200.0;
    }
    void outputLevelsFollowVolumeBalanceAndMute()
    {
        QFETCH(long, volume);
        QFETCH(long, balance);
        QFETCH(bool, mute);
        QFETCH(double, leftDb);
        QFETCH(double, rightDb);
        if (m_reference.frames == 0) {
            m_reference = capture(0, 0, false);
            QVERIFY2(m_reference.frames > 40000, "the reference recording is missing or short");
            // Both channels carry the same tone.
            QVERIFY(std::abs(decibels(m_reference.left, m_reference.right)) < 0.1);
        }
        const Levels got = capture(volume, balance, mute);
        QVERIFY2(got.frames > 40000, "the recording is missing or short");
        const double left = decibels(got.left, m_reference.left);
        const double right = decibels(got.right, m_reference.right);
        const QByteArray seen = QStringLiteral("left %1 dB, right %2 dB").arg(left).arg(right).toUtf8();
        if (mute) {
            QVERIFY2(left < -80.0 && right < -80.0, seen.constData());
        } else {
            QVERIFY2(std::abs(left - leftDb) <= 0.5, seen.constData());
            QVERIFY2(std::abs(right - rightDb) <= 0.5, seen.constData());
        }
    }

    void displayModesPlaceThePicture()
    {
        QWidget window;
        window.resize(420, 320);
        auto *area = new QWidget(&window);
        area->setObjectName(QStringLiteral("MediaPlayer1"));
        area->setGeometry(10, 10, 400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        GstEngineOptions options;
        options.audioSink = QStringLiteral("fakeaudiosink");
        auto engine = std::make_unique<GstMediaEngine>(area, options);
        QSignalSpy modeChanges(engine.get(), &GstMediaEngine::displaySizeChanged);
        engine->setFileName(media(QStringLiteral("avi")));
        QCOMPARE(engine->ErrorCode(), 0L);
        auto *surface = area->findChild<QWidget *>(QStringLiteral("qweltoVideoSurface"));
        QVERIFY(surface);

        engine->setDisplaySize(MediaEngine::DisplayNative);
        QVERIFY(surface->isVisible());
        QCOMPARE(surface->geometry(), QRect(40, 30, 320, 240));
        engine->setDisplaySize(MediaEngine::DisplayFit);
        QCOMPARE(surface->geometry(), area->rect());
        area->resize(200, 100);
        QCOMPARE(surface->geometry(), area->rect());
        engine->setDisplaySize(MediaEngine::DisplayNative);
        // Too big for the area: shrunk, keeping its shape.
        QCOMPARE(surface->geometry(), QRect(33, 0, 133, 100));
        area->resize(400, 300);

        engine->setFullScreenControls(true);
        engine->setDisplaySize(MediaEngine::DisplayFit);
        engine->setDisplaySize(MediaEngine::DisplayFullScreen);
        QCOMPARE(engine->DisplaySize(), int(MediaEngine::DisplayFullScreen));
        QWidget *full = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("qweltoFullScreen"))
                full = w;
        QVERIFY(full);
        QVERIFY(full->isVisible());
        QVERIFY(full->isFullScreen());
        auto *controls = full->findChild<QWidget *>(QStringLiteral("qweltoFullScreenControls"));
        QVERIFY(controls && controls->isVisible());
        auto *fullSurface = full->findChild<QWidget *>(QStringLiteral("qweltoVideoSurface"));
        QVERIFY(fullSurface && fullSurface->isVisible());
        // Fills the screen's height or width, keeping the 4:3 shape.
        const QRect picture = fullSurface->geometry();
        QVERIFY(picture.width() == full->width() || picture.height() == full->height());
        QVERIFY(std::abs(picture.width() * 3 - picture.height() * 4) <= 4);

        // The bar's buttons drive the engine.
        auto *stop = controls->findChild<QToolButton *>(QStringLiteral("stop"));
        auto *playPause = controls->findChild<QToolButton *>(QStringLiteral("playPause"));
        QVERIFY(stop && playPause);
        QTest::qWait(300);
        stop->click();
        QCOMPARE(engine->CurrentPosition(), 0.0);
        playPause->click();
        QTest::qWait(300);
        QVERIFY(engine->CurrentPosition() > 0.1);
        playPause->click();
        const double paused = engine->CurrentPosition();
        QTest::qWait(200);
        QVERIFY(std::abs(engine->CurrentPosition() - paused) < 0.02);
        engine->Play();

        // Escape goes back to the mode before full screen.
        QTest::keyClick(full, Qt::Key_Escape);
        QCOMPARE(engine->DisplaySize(), int(MediaEngine::DisplayFit));
        QVERIFY(!full->isVisible());
        QCOMPARE(modeChanges.count(), 1);
        QCOMPARE(modeChanges.takeFirst().at(0).toInt(), int(MediaEngine::DisplayFit));

        // So does a double-click, this time without a bar.
        engine->setFullScreenControls(false);
        engine->setDisplaySize(MediaEngine::DisplayNative);
        engine->setDisplaySize(MediaEngine::DisplayFullScreen);
        QVERIFY(full->isVisible());
        QVERIFY(!controls->isVisible());
        QTest::mouseDClick(full, Qt::LeftButton);
        QCOMPARE(engine->DisplaySize(), int(MediaEngine::DisplayNative));
        QVERIFY(!full->isVisible());
        QCOMPARE(surface->geometry(), QRect(40, 30, 320, 240));

        // Sound only: no picture anywhere.
        engine->setFileName(media(QStringLiteral("mp3")));
        QVERIFY(!surface->isVisible());
        QCOMPARE(engine->NativeVideoSize(), QSize());

        // The engine leaves the area as it found it.
        engine.reset();
        QVERIFY(!area->findChild<QWidget *>(QStringLiteral("qweltoVideoSurface")));
        bool fullScreenLeft = false;
        for (QWidget *w : QApplication::topLevelWidgets())
            fullScreenLeft = fullScreenLeft || w->objectName() == QLatin1String("qweltoFullScreen");
        QVERIFY(!fullScreenLeft);
    }

    void closingTheWindowMidPlaybackIsClean()
    {
        // The engine goes first, while a video plays, then a new one plays in a new window.
        for (int round = 0; round < 2; ++round) {
            auto window = std::make_unique<QWidget>();
            auto *area = new QWidget(window.get());
            area->setGeometry(0, 0, 320, 240);
            window->show();
            GstEngineOptions options;
            options.audioSink = QStringLiteral("fakeaudiosink");
            auto engine = std::make_unique<GstMediaEngine>(area, options);
            engine->setFileName(media(round == 0 ? QStringLiteral("avi") : QStringLiteral("vob")));
            QCOMPARE(engine->ErrorCode(), 0L);
            QTest::qWait(200);
            engine.reset();
            window.reset();
        }
        // The area dies first, under a playing engine: it stops, and can still be used for sound.
        auto window = std::make_unique<QWidget>();
        auto *area = new QWidget(window.get());
        window->show();
        GstEngineOptions options;
        options.audioSink = QStringLiteral("fakeaudiosink");
        GstMediaEngine engine(area, options);
        engine.setFileName(media(QStringLiteral("mpg")));
        QCOMPARE(engine.ErrorCode(), 0L);
        QTest::qWait(200);
        window.reset();
        engine.setFileName(media(QStringLiteral("wav")));
        QCOMPARE(engine.ErrorCode(), 0L);
        QTest::qWait(200);
        QVERIFY(engine.CurrentPosition() > 0.1);
    }

    void pictureReachesTheScreenOnX11()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display (run under xvfb-run with QT_QPA_PLATFORM=xcb)");
        QWidget window;
        // Wider than 4:3, so that a fitted picture has to be stretched.
        window.resize(480, 300);
        QPalette black = window.palette();
        black.setColor(QPalette::Window, Qt::black);
        window.setPalette(black);
        window.setAutoFillBackground(true);
        auto *area = new QWidget(&window);
        area->setGeometry(window.rect());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        GstEngineOptions options;
        options.audioSink = QStringLiteral("fakeaudiosink");
        GstMediaEngine engine(area, options); // default video sink: ximagesink
        engine.setDisplaySize(MediaEngine::DisplayNative);
        engine.setFileName(media(QStringLiteral("avi")));
        QCOMPARE(engine.ErrorCode(), 0L);
        QCOMPARE(engine.NativeVideoSize(), QSize(320, 240));
        engine.Pause();
        QTest::qWait(200);

        // testsrc is colourful; the area around a picture shown at its own size stays black.
        const auto colours = [](const QImage &image) {
            QSet<QRgb> seen;
            for (int y = 0; y < image.height(); y += 4)
                for (int x = 0; x < image.width(); x += 4)
                    seen.insert(image.pixel(x, y) & 0xFFFFFF);
            return seen.size();
        };
        QScreen *screen = window.screen();
        QImage shot = screen->grabWindow(window.winId()).toImage();
        QVERIFY2(colours(shot.copy(80, 30, 320, 240)) > 8, "no picture where it should be");
        QCOMPARE(shot.pixel(10, 10) & 0xFFFFFF, 0u);

        engine.setDisplaySize(MediaEngine::DisplayFit);
        QTest::qWait(300);
        shot = screen->grabWindow(window.winId()).toImage();
        QVERIFY2(colours(shot.copy(0, 0, 40, 300)) > 3,
                 "the fitted picture is not stretched to the left edge");

        // Full screen: the picture moves to a window of its own, as large as its shape allows.
        engine.Play();
        engine.setDisplaySize(MediaEngine::DisplayFullScreen);
        QTest::qWait(500);
        QWidget *full = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("qweltoFullScreen"))
                full = w;
        QVERIFY(full && full->isVisible());
        shot = screen->grabWindow(full->winId()).toImage();
        QRect picture(QPoint(0, 0), QSize(4, 3).scaled(full->size(), Qt::KeepAspectRatio));
        picture.moveCenter(full->rect().center());
        QVERIFY2(colours(shot.copy(picture.left(), picture.top(), picture.width() / 6, picture.height())) > 3,
                 "the full-screen picture does not reach the side of the screen");

        engine.setDisplaySize(MediaEngine::DisplayNative);
        QTest::qWait(300);
        QVERIFY(!full->isVisible());
        shot = screen->grabWindow(window.winId()).toImage();
        QVERIFY2(colours(shot.copy(80, 30, 320, 240)) > 8, "the picture did not come back from full screen");
        QCOMPARE(engine.ErrorCode(), 0L);
        QVERIFY(engine.CurrentPosition() > 0.3);
    }
};

QTEST_MAIN(TestGstEngine)
#include "test_gstengine.moc"
