#include "FileBytes.h"
#include "MediaMaker.h"
#include "MemorySettings.h"
#include "RunFor.h"
#include "app/Program.h"
#include "engine/GstMediaEngine.h"
#include "playback/ProgressTick.h"
#include "playlist/Playlist.h"
#include "playlist/VideoCd.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <gst/gst.h>

#include <cmath>
#include <functional>
#include <memory>
#include <mutex>
#include <tuple>

namespace {

constexpr double SampleSeconds = 2.0;

// An engine that keeps real time without a sound card; with a picture, the default video sink.
GstEngineOptions options(bool withPicture = false)
{
    return {.audioSink = QStringLiteral("fakeaudiosink"),
            .videoSink = withPicture ? QString() : QStringLiteral("fakevideosink")};
}

struct Levels {
    double left = 0.0, right = 0.0;
    qsizetype frames = 0;
};

// RMS of each channel of the recorded 16-bit stereo samples, leaving out the first and last tenth,
// where encoders fade in and out.
Levels channelLevels(const QString &rawFile)
{
    QFile file(rawFile);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const qsizetype frames = bytes.size() / 4;
    const qsizetype skip = frames / 10;
    const auto rms = [&](int channel) {
        double sum = 0.0;
        for (qsizetype i = skip; i < frames - skip; ++i)
            sum += std::pow(qFromLittleEndian<qint16>(bytes.constData() + 4 * i + 2 * channel), 2);
        return std::sqrt(sum / static_cast<double>(std::max<qsizetype>(1, frames - 2 * skip)));
    };
    return {rms(0), rms(1), frames};
}

// The elements alive, by factory: each one added to any bin, until it is finalised.
class ElementCensus {
public:
    ElementCensus()
        : m_signal(g_signal_lookup("element-added", GST_TYPE_BIN)),
          m_hook(g_signal_add_emission_hook(m_signal, 0, &ElementCensus::added, this, nullptr))
    {
    }
    ~ElementCensus()
    {
        g_signal_remove_emission_hook(m_signal, m_hook);
        std::lock_guard lock(m_mutex);
        for (auto it = m_alive.cbegin(); it != m_alive.cend(); ++it)
            g_object_weak_unref(it.key(), &ElementCensus::gone, this);
    }
    ElementCensus(const ElementCensus &) = delete;
    ElementCensus &operator=(const ElementCensus &) = delete;

    // The factory of each element still alive.
    QStringList alive() const
    {
        std::lock_guard lock(m_mutex);
        QStringList names = m_alive.values();
        names.sort();
        return names;
    }

private:
    // Elements are added from streaming threads too, and may be finalised on any thread.
    static gboolean added(GSignalInvocationHint *, guint, const GValue *params, gpointer data)
    {
        auto *self = static_cast<ElementCensus *>(data);
        auto *element = GST_ELEMENT(g_value_get_object(&params[1]));
        GstElementFactory *factory = gst_element_get_factory(element);
        std::lock_guard lock(self->m_mutex);
        if (!self->m_alive.contains(G_OBJECT(element))) {
            self->m_alive.insert(G_OBJECT(element), QString::fromUtf8(factory ? GST_OBJECT_NAME(factory)
                                                                              : G_OBJECT_TYPE_NAME(element)));
            g_object_weak_ref(G_OBJECT(element), &ElementCensus::gone, self);
        }
        return TRUE;
    }
    static void gone(gpointer data, GObject *element)
    {
        auto *self = static_cast<ElementCensus *>(data);
        std::lock_guard lock(self->m_mutex);
        self->m_alive.remove(element);
    }

    mutable std::mutex m_mutex;
    QHash<GObject *, QString> m_alive;
    guint m_signal;
    gulong m_hook;
};

// A PulseAudio of the test's own, on a socket of its own, playing into a null sink whose monitor the
// test records: a sink that keeps a volume for each stream, as on most desktops.
class SoundServer {
public:
    explicit SoundServer(const QString &folder) : m_folder(folder) {}
    ~SoundServer()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
        for (const char *name : {"PULSE_SERVER", "PULSE_CLIENTCONFIG", "PULSE_LATENCY_MSEC"})
            qunsetenv(name);
    }

    bool start()
    {
        const QString socket = m_folder + QStringLiteral("/pulse.sock");
        const QString config = m_folder + QStringLiteral("/client.conf");
        m_daemon.setEnvironment(QProcess::systemEnvironment()
                                << "HOME=" + m_folder << "XDG_RUNTIME_DIR=" + m_folder);
        m_daemon.start(QStringLiteral("pulseaudio"),
                       {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                        "--disable-shm=yes", "--log-level=error", "-L", "module-null-sink sink_name=rec",
                        "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + socket});
        // Without the latency the null sink holds two seconds of sound.
        qputenv("PULSE_SERVER", "unix:" + socket.toUtf8());
        qputenv("PULSE_CLIENTCONFIG", QFile::encodeName(config));
        qputenv("PULSE_LATENCY_MSEC", "30");
        return writeBytes(config, "autospawn = no\n") && m_daemon.waitForStarted() &&
               QTest::qWaitFor([&] { return QFileInfo::exists(socket); }, 20000);
    }

    // What the server plays until `done`; -1 frames when `done` never came. A stream that carries
    // only silence may send nothing at all.
    Levels record(const std::function<bool()> &done)
    {
        const QString out = m_folder + QStringLiteral("/heard.raw");
        GstElement *recorder = gst_parse_launch(
            qPrintable(QStringLiteral("pulsesrc device=rec.monitor ! audio/x-raw,format=S16LE,channels=2,"
                                      "rate=44100 ! filesink location=\"%1\"")
                           .arg(out)),
            nullptr);
        if (!recorder)
            return {.frames = -1};
        gst_element_set_state(recorder, GST_STATE_PLAYING);
        const bool finished = QTest::qWaitFor(done, 20000);
        gst_element_set_state(recorder, GST_STATE_NULL);
        gst_object_unref(recorder);
        return finished ? channelLevels(out) : Levels{.frames = -1};
    }

private:
    QString m_folder;
    QProcess m_daemon;
};

// Anything under -80 dB counts as silence.
double decibels(double level, double reference)
{
    return level <= 0.0 ? -80.0 : std::max(-80.0, 20.0 * std::log10(level / reference));
}

// When the samples reaching the end of the audio chain are due, stream by stream: an element named
// "qwelto-junction" in the audio sink description is watched from the moment the engine makes it.
// A stream's stretch restarts at a flush, where the running time starts again.
class Junction {
public:
    struct Stretch {
        GstClockTime start = GST_CLOCK_TIME_NONE, end = GST_CLOCK_TIME_NONE;
    };

    Junction()
        : m_signal(g_signal_lookup("element-added", GST_TYPE_BIN)),
          m_hook(g_signal_add_emission_hook(m_signal, 0, &Junction::added, this, nullptr))
    {
    }
    ~Junction() { g_signal_remove_emission_hook(m_signal, m_hook); }
    Junction(const Junction &) = delete;
    Junction &operator=(const Junction &) = delete;

    QList<Stretch> stretches() const
    {
        std::lock_guard lock(m_mutex);
        return m_stretches;
    }

private:
    static gboolean added(GSignalInvocationHint *, guint, const GValue *params, gpointer data)
    {
        GstElement *element = GST_ELEMENT(g_value_get_object(&params[1]));
        if (g_strcmp0(GST_OBJECT_NAME(element), "qwelto-junction") == 0) {
            GstPad *pad = gst_element_get_static_pad(element, "sink");
            gst_pad_add_probe(pad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_BOTH),
                              &Junction::passing, data, nullptr);
            gst_object_unref(pad);
        }
        return TRUE;
    }
    static GstPadProbeReturn passing(GstPad *pad, GstPadProbeInfo *info, gpointer data)
    {
        auto *self = static_cast<Junction *>(data);
        std::lock_guard lock(self->m_mutex);
        if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
            GstBuffer *buffer = GST_PAD_PROBE_INFO_BUFFER(info);
            GstEvent *sticky = gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0);
            const GstSegment *segment = nullptr;
            if (sticky)
                gst_event_parse_segment(sticky, &segment);
            if (segment && !self->m_stretches.isEmpty()) {
                Stretch &now = self->m_stretches.last();
                const GstClockTime pts = GST_BUFFER_PTS(buffer);
                if (now.start == GST_CLOCK_TIME_NONE)
                    now.start = gst_segment_to_running_time(segment, GST_FORMAT_TIME, pts);
                now.end =
                    gst_segment_to_running_time(segment, GST_FORMAT_TIME, pts + GST_BUFFER_DURATION(buffer));
            }
            if (sticky)
                gst_event_unref(sticky);
        } else {
            const GstEventType type = GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info));
            if (type == GST_EVENT_STREAM_START || type == GST_EVENT_FLUSH_STOP)
                self->m_stretches.append(Stretch());
        }
        return GST_PAD_PROBE_OK;
    }

    mutable std::mutex m_mutex;
    QList<Stretch> m_stretches;
    guint m_signal;
    gulong m_hook;
};

} // namespace

class TestGstEngine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<MediaMaker> m_maker;
    QHash<QString, QString> m_media;
    Levels m_reference;
    std::unique_ptr<GstMediaEngine> m_engine;

    QString media(const QString &format) const { return m_media.value(format); }

    void openOk(const QString &format)
    {
        m_engine->setFileName(media(format));
        QVERIFY2(m_engine->ErrorCode() == 0, qPrintable(m_engine->ErrorDescription()));
    }

    double offBy(double expected) const { return offBy(*m_engine, expected); }
    static double offBy(const MediaEngine &engine, double expected)
    {
        return std::abs(engine.CurrentPosition() - expected);
    }
    static double toSeconds(GstClockTime t)
    {
        return static_cast<double>(t) / static_cast<double>(GST_SECOND);
    }

    // Plays the stereo wav to its end through a sink that records what it is given, with the
    // settings made before another file was opened, since they must survive it.
    void capture(long volume, long balance, bool mute, Levels &levels)
    {
        // Bare samples, no wavenc: when its first buffer meets a file being switched, wavenc's header
        // push fails and it returns without releasing that buffer, which the leak checker reports.
        // filesink starts the file afresh each time the engine opens one.
        const QString out = m_dir.filePath(QStringLiteral("capture.raw"));
        GstEngineOptions recording = options();
        recording.audioSink =
            QStringLiteral("audioconvert ! audio/x-raw,format=S16LE,channels=2 ! filesink location=\"%1\"")
                .arg(out);
        GstMediaEngine engine(nullptr, recording);
        engine.setVolume(volume);
        engine.setBalance(balance);
        engine.setMute(mute);
        engine.setFileName(media(QStringLiteral("ogg")));
        QSignalSpy ended(&engine, &GstMediaEngine::endOfStream);
        engine.setFileName(media(QStringLiteral("wav")));
        QCOMPARE(std::tuple(engine.Volume(), engine.Balance(), engine.Mute()),
                 std::tuple(volume, balance, mute));
        QVERIFY(ended.wait(10000));
        engine.setFileName(QString()); // finalises the file
        levels = channelLevels(out);
        // All of the wav (44.1 kHz) and nothing of the ogg before it.
        QCOMPARE(levels.frames, qsizetype(SampleSeconds * 44100));
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_maker = std::make_unique<MediaMaker>(m_dir.path());
        for (const QString &format : MediaMaker::formats())
            m_media.insert(format, m_maker->make(format, SampleSeconds));
        m_media.insert(QStringLiteral("non-ASCII"),
                       m_maker->tone(QStringLiteral("Été à l'Haÿ — ♪.mp3"), SampleSeconds));
        for (const QString &path : std::as_const(m_media))
            QVERIFY2(!path.isEmpty(), qPrintable(m_maker->lastError()));
        m_engine = std::make_unique<GstMediaEngine>(nullptr, options());
    }

    void everyFormatOpensAndFollowsTheTransport_data()
    {
        QTest::addColumn<QString>("format");
        // mpg, mpeg, vob and the video CD are program streams whose clock starts near half a second;
        // at the end of an mp3 the position query stops a hair short of the duration.
        for (const QString &format : MediaMaker::formats())
            QTest::newRow(qPrintable(format)) << format;
        QTest::newRow("non-ASCII file name") << QStringLiteral("non-ASCII");
    }
    void everyFormatOpensAndFollowsTheTransport()
    {
        QFETCH(QString, format);
        openOk(format);
        const double duration = m_engine->Duration();
        QCOMPARE_LE(std::abs(duration - SampleSeconds), 0.25);
        // MPEG-1 only has a table of approximate pixel shapes, and players differ on the 4:3 PAL
        // entry by a few percent.
        const QSize picture = m_engine->NativeVideoSize();
        const QSize expected = MediaMaker::pictureSize(format);
        QCOMPARE(picture.height(), expected.height());
        QCOMPARE_LE(std::abs(picture.width() - expected.width()), expected.width() * 3 / 100);

        // Plays from the start, in real time.
        const double start = m_engine->CurrentPosition();
        QCOMPARE_LT(start, 0.25);
        QCOMPARE_LE(offBy(start + runFor(500)), 0.15);

        // Read straight after each seek, before the pipeline may have answered.
        for (const double target : {1.2, 0.4, 1.5, 0.2, 1.2, 0.4}) {
            m_engine->setCurrentPosition(target);
            QCOMPARE_LE(offBy(target), 0.1);
        }
        QCOMPARE_LE(offBy(0.45 + runFor(300)), 0.2);

        m_engine->Pause();
        const double paused = m_engine->CurrentPosition();
        runFor(300);
        QCOMPARE_LE(offBy(paused), 0.02);
        m_engine->Play();
        QCOMPARE_LE(offBy(paused + runFor(300)), 0.15);

        // At the end the position reads the end; Stop there rewinds and keeps the file (what the
        // contract suite holds for one file of each kind, here for every format).
        QSignalSpy ended(m_engine.get(), &GstMediaEngine::endOfStream);
        m_engine->setCurrentPosition(duration - 0.3);
        QVERIFY(ended.wait(20000));
        runFor(200);
        QCOMPARE_GE(m_engine->CurrentPosition(), duration);
        m_engine->Stop();
        QCOMPARE(std::tuple(m_engine->CurrentPosition(), m_engine->Duration(), m_engine->FileName()),
                 std::tuple(0.0, duration, media(format)));
        m_engine->Play();
        QCOMPARE_LE(offBy(runFor(300)), 0.15);
    }

    // A VBR MP3 without its length header may read a duration of 0 while it starts: it still plays to
    // its own end, and the length it learns is the file's.
    void aFileWithoutALengthHeaderPlaysToItsEnd()
    {
        const QString mp3 = m_maker->runFfmpeg(
            QStringLiteral("novbr.mp3"),
            QStringLiteral("-f lavfi -i sine=d=%1 -c:a libmp3lame -q:a 4 -write_xing 0").arg(SampleSeconds));
        QVERIFY2(!mp3.isEmpty(), qPrintable(m_maker->lastError()));
        GstMediaEngine engine(nullptr, options());
        QSignalSpy ended(&engine, &GstMediaEngine::endOfStream);
        engine.setFileName(mp3);
        QCOMPARE(engine.ErrorCode(), 0);
        QElapsedTimer clock;
        clock.start();
        while (ended.isEmpty() && clock.elapsed() < 10000) {
            QVERIFY2(!ProgressTick::itemEnded(engine), qPrintable(QString::number(engine.CurrentPosition())));
            ended.wait(50);
        }
        QVERIFY(ProgressTick::itemEnded(engine));
        QCOMPARE_LE(std::abs(engine.Duration() - SampleSeconds), 0.25);
    }

    void badInputFailsAndTheNextFilePlays_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<long>("code"); // 0: any nonzero code
        QTest::newRow("0-byte file") << m_maker->emptyFile(QStringLiteral("empty.mp3")) << 0L;
        QTest::newRow("random bytes") << m_maker->randomBytes(QStringLiteral("noise.mp3")) << 0L;
        QTest::newRow("directory") << m_maker->directory(QStringLiteral("folder.avi")) << 0L;
        // Reading one would wait for a writer, and the open waits with it.
        QTest::newRow("named pipe") << m_maker->namedPipe(QStringLiteral("pipe.mp3"))
                                    << GstMediaEngine::ErrorNotAFile;
        QTest::newRow("no decoder") << m_maker->unknownCodecAvi(QStringLiteral("unknown-codec.avi")) << 0L;
        // filesrc complains twice, then the pipeline adds a vaguer "state change failed": the user
        // must see the first reason.
        QTest::newRow("missing file") << m_maker->missing(QStringLiteral("absent.wav"))
                                      << static_cast<long>(GST_RESOURCE_ERROR_NOT_FOUND);
        // After a video the demuxer's complaint stays inside the decoding bin.
        QTest::newRow("truncated MP4") << m_maker->truncatedMp4(QStringLiteral("cut.mp4")) << 0L;
    }
    void badInputFailsAndTheNextFilePlays()
    {
        QFETCH(QString, path);
        QFETCH(long, code);
        QVERIFY2(!path.isEmpty(), qPrintable(m_maker->lastError()));
        // Refused for what it is, not given up on after the open timeout: after a picture (where it went
        // wrong some of the times) as after sound.
        for (int attempt = 0; attempt < 3; ++attempt) {
            openOk(QStringLiteral("avi"));
            m_engine->setFileName(path);
            QVERIFY(m_engine->ErrorCode() != 0 && m_engine->ErrorCode() != GstMediaEngine::ErrorTimeout);
        }
        openOk(QStringLiteral("mp3"));
        m_engine->setFileName(path);
        QVERIFY(m_engine->ErrorCode() != 0);
        QCOMPARE_NE(m_engine->ErrorCode(), GstMediaEngine::ErrorTimeout);
        QVERIFY(!m_engine->ErrorDescription().trimmed().isEmpty());
        QCOMPARE(m_engine->FileName(), path);
        QCOMPARE(m_engine->Duration(), 0.0);
        m_engine->Play();
        runFor(100);
        QCOMPARE(m_engine->CurrentPosition(), 0.0);
        if (code != 0)
            QCOMPARE(m_engine->ErrorCode(), code);

        openOk(QStringLiteral("wav"));
        QCOMPARE(m_engine->ErrorDescription(), QString());
        QCOMPARE_LE(std::abs(m_engine->Duration() - SampleSeconds), 0.25);
        m_engine->setFileName(QString());
        QCOMPARE(m_engine->FileName(), QString());
        QCOMPARE(m_engine->Duration(), 0.0);
        m_engine->Play();
        QCOMPARE(m_engine->CurrentPosition(), 0.0);
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
        QTest::newRow("mute") << -1234L << -777L << true << -80.0 << -80.0;
    }
    void outputLevelsFollowVolumeBalanceAndMute()
    {
        QFETCH(long, volume);
        QFETCH(long, balance);
        QFETCH(bool, mute);
        QFETCH(double, leftDb);
        QFETCH(double, rightDb);
        if (m_reference.frames == 0)
            capture(0, 0, false, m_reference);
        Levels got;
        capture(volume, balance, mute, got);
        if (QTest::currentTestFailed())
            return;
        // Both channels of the tone are alike.
        QCOMPARE_LT(std::abs(decibels(m_reference.left, m_reference.right)), 0.1);
        QCOMPARE_LE(std::abs(decibels(got.left, m_reference.left) - leftDb), 0.5);
        QCOMPARE_LE(std::abs(decibels(got.right, m_reference.right) - rightDb), 0.5);
    }

    void aQueuedFileFollowsWithoutAGap_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("sound") << QStringLiteral("wav");
        // A film's streams end one after the other; playbin once hung for good there.
        QTest::newRow("film") << QStringLiteral("avi");
    }

    // A file queued behind another follows it without a gap: its samples are due the moment the first
    // file's last ones are done. A seek back in the last moments before the end, when the engine has
    // prepared the next file already, stays in the first file.
    void aQueuedFileFollowsWithoutAGap()
    {
        QFETCH(QString, format);
        Junction junction;
        GstMediaEngine engine(nullptr,
                              {.audioSink = QStringLiteral("identity name=qwelto-junction ! fakeaudiosink"),
                               .videoSink = QStringLiteral("fakevideosink")});
        QList<MediaEngine::Event> events;
        // The window follows the switch when it is heard, not when the next file has played on: the
        // second file's 1.5 s lie between the two events.
        QElapsedTimer clock;
        clock.start();
        qint64 advancedAt = -1;
        qint64 endedAt = -1;
        engine.setEventHandler([&](MediaEngine::Event event) {
            events.append(event);
            (event == MediaEngine::Event::Advanced ? advancedAt : endedAt) = clock.elapsed();
        });
        const QString first = media(format);
        const QString second = format == QLatin1String("wav")
                                   ? m_maker->tone(QStringLiteral("second.wav"), 1.5, 2, 660)
                                   : m_maker->make(format, 1.5, QStringLiteral("second"));
        engine.setFileName(first);
        QVERIFY(engine.setNextFileName(second));
        QTRY_VERIFY(engine.CurrentPosition() > 1.3);
        engine.setCurrentPosition(0.5);
        QCOMPARE(engine.FileName(), first);
        QCOMPARE_LE(offBy(engine, 0.5), 0.1);
        QCOMPARE(engine.NextFileName(), second);

        // What the events and the names say meanwhile, the contract suite checks.
        QTRY_VERIFY_WITH_TIMEOUT(events.size() == 2, 20000);
        QCOMPARE_GE(endedAt - advancedAt, 1000);

        const QList<Junction::Stretch> stretches = junction.stretches();
        QVERIFY(stretches.size() >= 2);
        const Junction::Stretch &before = stretches[stretches.size() - 2];
        const Junction::Stretch &after = stretches.last();
        // One stretch from the seek to the end of the first file, then all of the second, due in one
        // run. (The last block of the first file may pass after the second's start marker.)
        QCOMPARE_LE(std::abs(GstClockTimeDiff(after.start) - GstClockTimeDiff(before.end)),
                    GstClockTimeDiff(GST_MSECOND));
        // (The sound of a film is MP3, with its encoder's padding in it.)
        if (format == QLatin1String("wav"))
            QCOMPARE_LE(std::abs(toSeconds(after.end - before.start) - (1.5 + 1.5)), 0.005);
    }

    // A sound server gives each file a stream of its own, with a volume of its own that a new stream
    // does not inherit: the level set while one file plays must reach the next one all the same.
    void levelsCarryOverToTheNextFileUnderASoundServer()
    {
        SoundServer server(m_dir.filePath(QStringLiteral("pulse")));
        QVERIFY(server.start());
        const QString tone = m_maker->tone(QStringLiteral("long tone.wav"), 4);
        GstMediaEngine engine(nullptr, {.audioSink = "pulsesink", .videoSink = "fakevideosink"});
        const auto playAndRecord = [&] {
            engine.setFileName(tone);
            return server.record([&] { return engine.CurrentPosition() >= 1.5; });
        };
        const Levels full = playAndRecord();
        engine.setVolume(-600);
        const Levels lowered = playAndRecord();
        engine.setMute(true);
        const Levels muted = playAndRecord();
        QVERIFY(full.frames > 0 && lowered.frames > 0 && muted.frames >= 0);
        QCOMPARE_LE(std::abs(decibels(lowered.left, full.left) + 6.0), 1.0);
        QCOMPARE(decibels(muted.left, full.left), -80.0);
    }

    // Every element that playing files makes must be gone with the engine: a reference kept past
    // its file keeps that file's whole chain (source, demuxer, decoders, converters), about 200 kB
    // for an MP3 and a whole soundfont for a MIDI file, for every file played. The sink has no
    // volume of its own, like alsasink, so that playbin's own volume path is taken as well.
    void playedFilesLeaveNoElementsBehind()
    {
        ElementCensus census;
        {
            GstMediaEngine engine(nullptr, {.audioSink = QStringLiteral("fakesink sync=false"),
                                            .videoSink = QStringLiteral("fakevideosink")});
            for (int round = 0; round < 2; ++round) {
                for (const char *format : {"mp3", "mid", "avi", "wav"}) {
                    engine.setFileName(media(QLatin1String(format)));
                    QVERIFY2(engine.ErrorCode() == 0, qPrintable(engine.ErrorDescription()));
                    QTRY_VERIFY_WITH_TIMEOUT(engine.CurrentPosition() > 0.0, 20000);
                }
            }
        }
        const QStringList left = census.alive();
        QVERIFY2(left.isEmpty(),
                 qPrintable(QStringLiteral("still alive: ") + left.join(QStringLiteral(", "))));
    }

    // A Video CD read the way a disc in the drive is, from a BIN/CUE image made here with ffmpeg and
    // vcdimager: found, listed, played to its end and sought; damaged copies of it never end the player.
    void aDiscImagePlaysLikeTheDiscInTheDrive()
    {
        QProcess maker;
        maker.setWorkingDirectory(m_dir.path());
        const QString clip =
            "ffmpeg -loglevel error -f lavfi -i testsrc=size=352x288:rate=25 -f lavfi -i sine"
            " -target pal-vcd -t %1 %2.mpg && ";
        maker.start("sh", {"-c", clip.arg(4).arg('a') + clip.arg(3).arg('b') +
                                     "vcdimager -t vcd2 --cue-file=v.cue --bin-file=v.bin a.mpg b.mpg"});
        QVERIFY(maker.waitForFinished(120000) && maker.exitCode() == 0);
        const QString drive = m_dir.filePath(QStringLiteral("v.cue"));
        const QStringList tracks = {drive + "/MPEGAV/AVSEQ01.DAT", drive + "/MPEGAV/AVSEQ02.DAT"};
        QCOMPARE(VideoCd::tracks(drive), tracks);

        ProgramEnvironment env;
        env.appFolder = m_dir.path();
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

        // What cannot be read is a track that cannot be opened (an engine error, the automatic command's
        // box); the rest plays to its end. A directory record starts 33 bytes before its name.
        const QByteArray whole = readBytes(m_dir.filePath("v.bin"));
        const qsizetype record = whole.indexOf("AVSEQ01.DAT") - 33;
        const std::tuple<int, bool, bool> damages[] = {
            {0, false, false}, // a folder record cut short
            {1, true, false},  // a track past the end of the disc
            {2, false, false}, // a .bin without its .cue
            {3, true, true},   // an image cut 100 sectors into the track
        };
        for (const auto &[damage, listed, plays] : damages) {
            QByteArray image = whole;
            if (damage == 0)
                image[image.indexOf("MPEGAV") - 33] = 20;
            if (damage == 1)
                qToLittleEndian<quint32>(0xffffffu, image.data() + record + 2); // the extent
            if (damage == 3)
                image.truncate((qFromLittleEndian<quint32>(image.constData() + record + 2) + 100) * 2352);
            const QString disc =
                m_dir.filePath(QStringLiteral("abîmé %1/v.").arg(damage)) + (damage == 2 ? "bin" : "cue");
            QVERIFY(writeBytes(disc.chopped(3) + "bin", image) && (damage == 2 || QFile::copy(drive, disc)));
            const QString entry = disc + "/MPEGAV/AVSEQ01.DAT";
            QCOMPARE(VideoCd::tracks(disc).value(0), listed ? entry : QString());
            program.engine().setFileName(entry);
            QTRY_VERIFY_WITH_TIMEOUT(
                !plays || program.engine().CurrentPosition() >= program.engine().Duration(), 10000);
            QVERIFY2((program.engine().ErrorCode() == 0) == plays, qPrintable(entry));
        }
    }
    void displayModesAndClosingAreClean()
    {
        QWidget window;
        window.resize(400, 300);
        auto *area = new QWidget(&window);
        area->setGeometry(window.rect());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto engine = std::make_unique<GstMediaEngine>(area, options(true));
        int leftFullScreen = 0;
        engine->setFullScreenLeftHandler([&] { ++leftFullScreen; });
        engine->setFileName(media(QStringLiteral("avi")));
        QCOMPARE(engine->ErrorCode(), 0L);
        auto *surface = area->findChild<QWidget *>(QStringLiteral("qweltoVideoSurface"));
        QVERIFY(surface && surface->isVisible());
        engine->setDisplaySize(MediaEngine::DisplayFit);
        QCOMPARE(surface->geometry(), area->rect());

        engine->setDisplaySize(MediaEngine::DisplayFullScreen);
        QPointer<QWidget> full;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("qweltoFullScreen"))
                full = w;
        QVERIFY(full && full->isVisible() && full->isFullScreen());
        // Escape goes back to the mode before full screen, and says so.
        QTest::keyClick(full, Qt::Key_Escape);
        QCOMPARE(engine->DisplaySize(), int(MediaEngine::DisplayFit));
        QVERIFY(!full->isVisible());
        QCOMPARE(leftFullScreen, 1);
        engine->setDisplaySize(MediaEngine::DisplayFullScreen);
        engine->setDisplaySize(MediaEngine::DisplayNative);
        QVERIFY(!full->isVisible() && surface->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(engine->CurrentPosition() > 0.1, 20000);

        engine->setFileName(media(QStringLiteral("mp3")));
        QVERIFY(!surface->isVisible());
        // The area dies under a playing video: the engine stops drawing, and still plays sound.
        engine->setFileName(media(QStringLiteral("vob")));
        QTRY_VERIFY_WITH_TIMEOUT(engine->CurrentPosition() > 0.1, 20000);
        delete area;
        engine->setFileName(media(QStringLiteral("wav")));
        QTRY_VERIFY_WITH_TIMEOUT(engine->CurrentPosition() > 0.1, 20000);
        engine.reset();
        QVERIFY(!full);
    }

    void pictureReachesTheScreenOnX11()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display (run under xvfb-run with QT_QPA_PLATFORM=xcb)");
        QWidget window;
        window.resize(480, 300);
        window.setStyleSheet(QStringLiteral("background: black"));
        auto *area = new QWidget(&window);
        area->setGeometry(window.rect());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        GstMediaEngine engine(area, options(true));
        // Opening waits for the X server but never runs the event loop: a tick or a click handled in
        // there would start another open inside this one.
        bool opening = true;
        bool handledWhileOpening = false;
        QMetaObject::invokeMethod(
            &window, [&] { handledWhileOpening = opening; }, Qt::QueuedConnection);
        // A second open too: the sink, taken down between files, must be given the window again.
        engine.setFileName(media(QStringLiteral("mpg")));
        engine.setFileName(media(QStringLiteral("avi")));
        opening = false;
        QVERIFY(!handledWhileOpening);
        QCOMPARE(engine.ErrorCode(), 0L);
        engine.Pause();
        // testsrc is colourful; the area around a picture shown at its own size stays black.
        const auto colours = [&window](const QRect &part) {
            const QImage image = window.screen()->grabWindow(window.winId()).toImage().copy(part);
            QSet<QRgb> seen;
            for (int y = 0; y < image.height(); y += 4)
                for (int x = 0; x < image.width(); x += 4)
                    seen.insert(image.pixel(x, y) & 0xFFFFFF);
            return seen.size();
        };
        QTRY_VERIFY2_WITH_TIMEOUT(colours({80, 30, 320, 240}) > 8, "no picture where it should be", 20000);
        QCOMPARE(colours({0, 0, 60, 300}), 1);
    }
};

QTEST_MAIN(TestGstEngine)
#include "test_gstengine.moc"
