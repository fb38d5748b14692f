// A new user's first run, with the real GStreamer engine: a saved playlist plays through by itself.
#include "MediaMaker.h"
#include "MemorySettings.h"
#include "app/Program.h"
#include "playback/GstMediaEngine.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// The real engine, with every open written down.
class RecordingEngine : public MediaEngine {
public:
    RecordingEngine(QWidget *area, QStringList &opens)
        : m_engine(area, GstEngineOptions{QStringLiteral("fakeaudiosink"), QStringLiteral("fakevideosink")}),
          m_opens(opens)
    {
    }
    QString FileName() const override { return m_engine.FileName(); }
    void setFileName(const QString &path) override
    {
        if (!path.isEmpty())
            m_opens.append(QFileInfo(path).fileName());
        m_engine.setFileName(path);
    }
    double CurrentPosition() const override { return m_engine.CurrentPosition(); }
    void setCurrentPosition(double s) override { m_engine.setCurrentPosition(s); }
    double Duration() const override { return m_engine.Duration(); }
    bool EndOfStream() const override { return m_engine.EndOfStream(); }
    void Play() override { m_engine.Play(); }
    void Pause() override { m_engine.Pause(); }
    void Stop() override { m_engine.Stop(); }
    int DisplaySize() const override { return m_engine.DisplaySize(); }
    void setDisplaySize(int mode) override { m_engine.setDisplaySize(mode); }
    long Volume() const override { return m_engine.Volume(); }
    void setVolume(long v) override { m_engine.setVolume(v); }
    long Balance() const override { return m_engine.Balance(); }
    void setBalance(long b) override { m_engine.setBalance(b); }
    bool Mute() const override { return m_engine.Mute(); }
    void setMute(bool on) override { m_engine.setMute(on); }
    long ErrorCode() const override { return m_engine.ErrorCode(); }
    QString ErrorDescription() const override { return m_engine.ErrorDescription(); }
    void setFullScreenControls(bool on) override { m_engine.setFullScreenControls(on); }
    bool FullScreenControls() const override { return m_engine.FullScreenControls(); }
    QSize NativeVideoSize() const override { return m_engine.NativeVideoSize(); }
    Status PlayStatus() const override { return m_engine.PlayStatus(); }
    Tags FileTags() const override { return m_engine.FileTags(); }
    void setFullScreenLeftHandler(std::function<void()> handler) override
    {
        m_engine.setFullScreenLeftHandler(std::move(handler));
    }

private:
    GstMediaEngine m_engine;
    QStringList &m_opens;
};

struct Run {
    QTemporaryDir folder;
    QStringList opens;
    std::unique_ptr<Program> program;

    void writeList(const QStringList &paths)
    {
        QByteArray bytes;
        for (const QString &p : paths)
            bytes += "\"" + p.toUtf8() + "\"\r\n";
        QFile f(folder.filePath(QStringLiteral("lastlist.lst")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    void start()
    {
        ProgramEnvironment env;
        env.appFolder = folder.path();
        env.makeEngine = [this](QWidget *area) { return std::make_unique<RecordingEngine>(area, opens); };
        env.settings = std::make_shared<MemorySettings>();
        program = std::make_unique<Program>(std::move(env));
        program->mainWindow();
    }
};

} // namespace

class TestPlaythrough : public QObject {
    Q_OBJECT

    QTemporaryDir m_media;
    QStringList m_clips;

private Q_SLOTS:
    void initTestCase()
    {
        if (!MediaMaker::haveFfmpeg())
            QSKIP("ffmpeg is needed to make the clips");
        QApplication::setQuitOnLastWindowClosed(false);
        MediaMaker maker(m_media.path());
        m_clips = {maker.make(QStringLiteral("wav"), 1.0, QStringLiteral("one")),
                   maker.make(QStringLiteral("ogg"), 1.0, QStringLiteral("two")),
                   maker.make(QStringLiteral("mp3"), 1.0, QStringLiteral("three"))};
        for (const QString &clip : m_clips)
            QVERIFY2(!clip.isEmpty(), qPrintable(maker.lastError()));
    }

    void theListPlaysThroughAndStops()
    {
        Run run;
        run.writeList(m_clips);
        run.start();
        // Start-up plays the second entry by itself, then the third, then stops.
        QTRY_COMPARE_WITH_TIMEOUT(run.opens, (QStringList{"two.ogg", "three.mp3"}), 6000);
        QTRY_VERIFY_WITH_TIMEOUT(run.program->engine().CurrentPosition() == 0.0, 4000);
        QTest::qWait(1500);
        QCOMPARE(run.opens, (QStringList{"two.ogg", "three.mp3"}));
        QCOMPARE(run.program->engine().FileName(), m_clips[2]);
        QCOMPARE(run.program->engine().CurrentPosition(), 0.0);
    }

    void withRepeatItWrapsToTheFirst()
    {
        Run run;
        run.writeList(m_clips);
        run.start();
        run.program->mainWindow().chkRepeat()->setCheckState(Qt::Checked);
        QTRY_VERIFY_WITH_TIMEOUT(run.opens.size() >= 3, 8000);
        QCOMPARE(run.opens.mid(0, 3), (QStringList{"two.ogg", "three.mp3", "one.wav"}));
    }

    // Next at 0:02 of a long item opens a 1 s item at its start, not where the old one was.
    void aNewItemStartsAtZeroWhateverTheOldPosition()
    {
        Run run;
        run.writeList({m_clips[0], MediaMaker(m_media.path()).make(QStringLiteral("ogg"), 4.0), m_clips[2]});
        run.start();
        QTRY_VERIFY_WITH_TIMEOUT(run.program->mainWindow().scrlTime()->value() >= 2, 8000);
        run.program->mainWindow().cmdForward()->click();
        QVERIFY(run.program->engine().FileName() == m_clips[2] &&
                run.program->engine().CurrentPosition() < 0.5);
    }

    void aListOfUnplayableFilesWithRepeatDoesNotHang()
    {
        MediaMaker maker(m_media.path());
        const QStringList bad = {
            maker.missing(QStringLiteral("gone.mp3")), maker.emptyFile(QStringLiteral("empty.ogg")),
            maker.randomBytes(QStringLiteral("noise.avi")), maker.directory(QStringLiteral("folder.wav"))};
        Run run;
        run.writeList(bad);
        run.start();
        run.program->mainWindow().chkRepeat()->setCheckState(Qt::Checked);

        // The window keeps answering: a 50 ms timer never waits long for its turn.
        QElapsedTimer sinceLast;
        qint64 longestGap = 0;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout,
                         [&] { longestGap = std::max(longestGap, sinceLast.restart()); });
        sinceLast.start();
        probe.start(50);
        QTest::qWait(3000);
        probe.stop();
        QVERIFY2(longestGap < 1500, qPrintable(QStringLiteral("longest wait %1 ms").arg(longestGap)));
        QVERIFY(run.program->transport().gaveUp());
        // One pass, then nothing more.
        QVERIFY(run.opens.size() <= bad.size() + 1);
        QVERIFY(run.program->engine().ErrorCode() != 0);
    }
};

QTEST_MAIN(TestPlaythrough)
#include "test_playthrough.moc"
