// What MediaEngine.h promises, held against the GStreamer engine and against the fake that the logic
// tests play on: a promise the fake stops keeping would let those tests pass on behaviour the real
// engine does not have. Each test runs once for each engine.
#include "FakeMediaEngine.h"
#include "MediaMaker.h"
#include "RunFor.h"
#include "engine/GstMediaEngine.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cmath>
#include <memory>
#include <tuple>

namespace {

constexpr double Seconds = 2.0; // every playable file's length

} // namespace

class TestEngineContract : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_tone, m_other, m_video, m_missing, m_damaged;
    QWidget m_area;
    std::unique_ptr<MediaEngine> m_engine;
    FakeMediaEngine *m_fake = nullptr; // the engine under test, when it is the fake
    QList<MediaEngine::Event> m_events;

    // Lets the engine play for at least `seconds` and says how long it did: the fake's clock moves
    // when told to.
    double pass(double seconds)
    {
        if (m_fake)
            m_fake->advance(seconds);
        return m_fake ? seconds : runFor(static_cast<int>(seconds * 1000));
    }
    // Plays on until an event has come; the bound is a failure only.
    bool untilAnEvent()
    {
        for (int step = 0; step < 400 && m_fake && m_events.isEmpty(); ++step)
            m_fake->advance(0.05);
        return QTest::qWaitFor([&] { return !m_events.isEmpty(); }, 20000);
    }
    double offBy(double expected) const { return std::abs(m_engine->CurrentPosition() - expected); }

private Q_SLOTS:
    void initTestCase_data()
    {
        QTest::addColumn<bool>("fake");
        QTest::newRow("GStreamer") << false;
        QTest::newRow("fake") << true;
    }
    void initTestCase()
    {
        MediaMaker maker(m_dir.path());
        m_tone = maker.tone(QStringLiteral("tone.wav"), Seconds);
        m_other = maker.tone(QStringLiteral("other.ogg"), Seconds);
        m_video = maker.make(QStringLiteral("avi"), Seconds);
        m_missing = maker.missing(QStringLiteral("absent.mp3"));
        m_damaged = maker.randomBytes(QStringLiteral("noise.mp3"));
        QVERIFY2(!m_tone.isEmpty() && !m_other.isEmpty() && !m_video.isEmpty(),
                 qPrintable(maker.lastError()));
    }

    void init()
    {
        QFETCH_GLOBAL(bool, fake);
        if (fake) {
            auto engine = std::make_unique<FakeMediaEngine>(&m_area);
            engine->durationOfEachFile = Seconds;
            // The fake plays any path: what cannot be played is declared.
            engine->unplayable = {m_missing, m_damaged};
            m_fake = engine.get();
            m_engine = std::move(engine);
        } else {
            m_fake = nullptr;
            m_engine = std::make_unique<GstMediaEngine>(
                &m_area, GstEngineOptions{.audioSink = QStringLiteral("fakeaudiosink"),
                                          .videoSink = QStringLiteral("fakevideosink")});
        }
        m_events.clear();
        m_engine->setEventHandler([this](MediaEngine::Event event) { m_events.append(event); });
    }
    void cleanup() { m_engine.reset(); }

    void anOpenPlaysAndTheTransportMovesIt()
    {
        QCOMPARE(m_engine->FileName(), QString());
        QCOMPARE(m_engine->PlayStatus(), MediaEngine::Status::Stopped);
        m_engine->setFileName(m_tone);
        QCOMPARE(std::tuple(m_engine->FileName(), m_engine->ErrorCode(), m_engine->ErrorDescription()),
                 std::tuple(m_tone, 0L, QString()));
        QCOMPARE_LE(std::abs(m_engine->Duration() - Seconds), 0.25);
        QCOMPARE(m_engine->PlayStatus(), MediaEngine::Status::Playing);
        QVERIFY(m_engine->NativeVideoSize().isEmpty());
        QCOMPARE_LE(offBy(pass(0.3)), 0.15);

        m_engine->setCurrentPosition(1.0);
        QCOMPARE_LE(offBy(1.0), 0.1);
        m_engine->Pause();
        const double paused = m_engine->CurrentPosition();
        pass(0.3);
        QCOMPARE_LE(offBy(paused), 0.02);
        QCOMPARE(m_engine->PlayStatus(), MediaEngine::Status::Paused);
        m_engine->Play();
        QCOMPARE(m_engine->PlayStatus(), MediaEngine::Status::Playing);
        QCOMPARE_LE(offBy(paused + pass(0.3)), 0.15);

        // Stop rewinds and keeps the file; Play starts it again from there.
        const double duration = m_engine->Duration();
        m_engine->Stop();
        QCOMPARE(std::tuple(m_engine->CurrentPosition(), m_engine->Duration(), m_engine->FileName(),
                            m_engine->PlayStatus()),
                 std::tuple(0.0, duration, m_tone, MediaEngine::Status::Stopped));
        m_engine->Play();
        QCOMPARE_LE(offBy(pass(0.3)), 0.15);

        m_engine->setFileName(QString());
        QCOMPARE(std::tuple(m_engine->FileName(), m_engine->Duration(), m_engine->PlayStatus()),
                 std::tuple(QString(), 0.0, MediaEngine::Status::Stopped));
        QVERIFY(m_events.isEmpty());
    }

    void aFileThatCannotPlayFailsAndStaysNamed()
    {
        for (const QString &bad : {m_missing, m_damaged}) {
            m_engine->setFileName(m_tone);
            m_engine->setFileName(bad);
            QCOMPARE(std::tuple(m_engine->FileName(), m_engine->Duration(), m_engine->PlayStatus()),
                     std::tuple(bad, 0.0, MediaEngine::Status::Stopped));
            QVERIFY(m_engine->ErrorCode() != 0 && !m_engine->ErrorDescription().trimmed().isEmpty());
            m_engine->Play();
            pass(0.1);
            QCOMPARE(m_engine->CurrentPosition(), 0.0);
            QVERIFY(!m_engine->setNextFileName(m_tone));
        }
    }

    // Written levels read back as written and outlive the file they were set on.
    void levelsReadBackAndSurviveAnOpen()
    {
        for (const auto &[volume, balance, mute] :
             {std::tuple(-9640L, 9640L, true), std::tuple(-600L, -2500L, false), std::tuple(0L, 0L, false)}) {
            m_engine->setFileName(m_tone);
            m_engine->setVolume(volume);
            m_engine->setBalance(balance);
            m_engine->setMute(mute);
            m_engine->setFileName(m_other);
            QCOMPARE(std::tuple(m_engine->Volume(), m_engine->Balance(), m_engine->Mute()),
                     std::tuple(volume, balance, mute));
        }
    }

    // The end is told from the event loop, never from inside a call; a queued file follows without
    // a gap, and without one the end reads as the end until something moves the position.
    void theEndAndTheFileQueuedToFollow()
    {
        QVERIFY(!m_engine->setNextFileName(m_tone)); // an empty engine
        m_engine->setFileName(m_tone);
        QVERIFY(!m_engine->setNextFileName(m_missing));
        QVERIFY(!m_engine->setNextFileName(m_video)); // a picture after sound
        QVERIFY(m_engine->setNextFileName(m_other));
        m_engine->Pause();
        m_engine->Play();
        QCOMPARE(m_engine->NextFileName(), m_other);
        m_engine->setCurrentPosition(m_engine->Duration() - 0.3);
        QVERIFY(m_events.isEmpty());
        QVERIFY(untilAnEvent());
        QCOMPARE(m_events, QList{MediaEngine::Event::Advanced});
        QCOMPARE(std::tuple(m_engine->FileName(), m_engine->NextFileName()), std::tuple(m_other, QString()));
        QCOMPARE_LE(std::abs(m_engine->Duration() - Seconds), 0.25);

        // An open forgets what was queued, even the file it opens.
        QVERIFY(m_engine->setNextFileName(m_tone));
        m_engine->setFileName(m_tone);
        QCOMPARE(m_engine->NextFileName(), QString());

        m_events.clear();
        m_engine->setCurrentPosition(m_engine->Duration() - 0.3);
        QVERIFY(untilAnEvent());
        QCOMPARE(m_events, QList{MediaEngine::Event::Ended});
        QVERIFY(m_engine->EndOfStream());
        QCOMPARE_GE(m_engine->CurrentPosition(), m_engine->Duration());
        QCOMPARE(m_engine->PlayStatus(), MediaEngine::Status::Playing);
        m_engine->setCurrentPosition(0.5);
        QVERIFY(!m_engine->EndOfStream());
        QCOMPARE_LE(offBy(0.5), 0.1);
    }
};

QTEST_MAIN(TestEngineContract)
#include "test_enginecontract.moc"
