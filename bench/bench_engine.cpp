// How long the GStreamer engine makes the user wait: opening a file when the process has opened
// others before (warm), the very first open of a process (cold: plugins get loaded), and a seek.
// Run with QT_QPA_PLATFORM=offscreen (the default here); sinks are fake but keep real time.

#include "MediaMaker.h"
#include "engine/GstMediaEngine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {

GstEngineOptions headless()
{
    GstEngineOptions options;
    options.audioSink = QStringLiteral("fakeaudiosink");
    options.videoSink = QStringLiteral("fakevideosink");
    return options;
}

const char *const ColdOpenFlag = "--cold-open";

// Child process: one engine, one open, nothing loaded before.
int coldOpen(int argc, char **argv, const char *path)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    const double startMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    clock.restart();
    GstMediaEngine engine(nullptr, headless());
    const double engineMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    clock.restart();
    engine.setFileName(QString::fromLocal8Bit(path));
    const double openMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    std::printf("%.3f %.3f %.3f %ld\n", startMs, engineMs, openMs, engine.ErrorCode());
    return engine.ErrorCode() == 0 ? 0 : 1;
}

struct Media {
    QTemporaryDir dir;
    std::map<std::string, QString> shortFiles; // 2 s, for opening
    std::map<std::string, QString> longFiles;  // 8 s, seeks stay clear of the end
};

GstMediaEngine &sharedEngine()
{
    static GstMediaEngine engine(nullptr, headless());
    return engine;
}

void openWarm(benchmark::State &state, const QString &path)
{
    GstMediaEngine &engine = sharedEngine();
    engine.setFileName(path); // loads whatever this format needs before timing starts
    if (engine.ErrorCode() != 0) {
        state.SkipWithError(engine.ErrorDescription().toUtf8().constData());
        return;
    }
    for (auto _ : state) {
        engine.setFileName(path);
        benchmark::DoNotOptimize(engine.Duration());
    }
    if (engine.ErrorCode() != 0)
        state.SkipWithError(engine.ErrorDescription().toUtf8().constData());
    engine.setFileName(QString());
}

void openCold(benchmark::State &state, const QString &path)
{
    double engineMs = 0.0;
    double openMs = 0.0;
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(ColdOpenFlag), path});
        if (!child.waitForFinished(30000) || child.exitCode() != 0) {
            state.SkipWithError("the child process could not open the file");
            return;
        }
        const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
        if (fields.size() < 3) {
            state.SkipWithError("the child process printed nothing");
            return;
        }
        engineMs += fields.at(1).toDouble();
        const double open = fields.at(2).toDouble();
        openMs += open;
        state.SetIterationTime(open / 1000.0);
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["engine_ms"] = engineMs / runs;
    state.counters["open_ms"] = openMs / runs;
}

void seek(benchmark::State &state, const QString &path, const std::vector<double> &targets)
{
    GstMediaEngine &engine = sharedEngine();
    engine.setFileName(path);
    if (engine.ErrorCode() != 0) {
        state.SkipWithError(engine.ErrorDescription().toUtf8().constData());
        return;
    }
    std::size_t next = 0;
    double worstMiss = 0.0;
    for (auto _ : state) {
        const double target = targets[next++ % targets.size()];
        engine.setCurrentPosition(target);
        state.PauseTiming();
        worstMiss = std::max(worstMiss, std::abs(engine.CurrentPosition() - target));
        state.ResumeTiming();
    }
    state.counters["worst_miss_s"] = worstMiss;
    engine.setFileName(QString());
}

// A file that cannot be played, opened right after a video: how long until the engine says so.
void failAfterVideo(benchmark::State &state, const QString &video, const QString &bad)
{
    GstMediaEngine &engine = sharedEngine();
    for (auto _ : state) {
        state.PauseTiming();
        engine.setFileName(video);
        state.ResumeTiming();
        engine.setFileName(bad);
    }
    if (engine.ErrorCode() == 0 || engine.ErrorCode() == GstMediaEngine::ErrorTimeout)
        state.SkipWithError("the bad file was not refused for what it is");
    engine.setFileName(QString());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], ColdOpenFlag) == 0)
        return coldOpen(argc, argv, argv[2]);

    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!MediaMaker::haveFfmpeg()) {
        std::fprintf(stderr, "bench_engine: ffmpeg is needed to make the media\n");
        return 1;
    }

    Media media;
    MediaMaker maker(media.dir.path());
    // Every format the player promises; "dat" is a plain MPEG-1 track, "cdxa" one as a Video CD holds it.
    const char *openFormats[] = {"mp3", "wav",  "ogg", "wma", "mid", "avi",
                                 "mpg", "mpeg", "asf", "vob", "dat", "cdxa"};
    for (const char *format : openFormats) {
        const QString path = maker.make(QString::fromLatin1(format), 2.0);
        if (path.isEmpty()) {
            std::fprintf(stderr, "bench_engine: %s\n", qPrintable(maker.lastError()));
            return 1;
        }
        media.shortFiles[format] = path;
    }
    for (const char *format : openFormats) {
        const QString path = maker.make(QString::fromLatin1(format), 8.0, QStringLiteral("long-") + format);
        if (path.isEmpty()) {
            std::fprintf(stderr, "bench_engine: %s\n", qPrintable(maker.lastError()));
            return 1;
        }
        media.longFiles[format] = path;
    }

    // Ten minutes of MIDI: the synthesiser makes the sound, and a seek far in is where that shows.
    media.longFiles["mid10min"] = maker.make(QStringLiteral("mid"), 600.0, QStringLiteral("ten-minutes"));
    const QString truncated = maker.truncatedMp4(QStringLiteral("cut.mp4"));
    if (media.longFiles["mid10min"].isEmpty() || truncated.isEmpty()) {
        std::fprintf(stderr, "bench_engine: %s\n", qPrintable(maker.lastError()));
        return 1;
    }

    // A Video CD read as from the drive: a BIN/CUE image of a short and a long track, which libcdio
    // opens like a disc, played through the player's own Video CD source.
    QProcess vcdimager;
    vcdimager.setWorkingDirectory(media.dir.path());
    const QString track = QStringLiteral("ffmpeg -loglevel error -y -i %1 -target pal-vcd %2.mpg && ");
    vcdimager.start(QStringLiteral("sh"),
                    {QStringLiteral("-c"), track.arg(media.shortFiles["mpg"], QStringLiteral("short")) +
                                               track.arg(media.longFiles["mpg"], QStringLiteral("long")) +
                                               QStringLiteral("vcdimager -t vcd2 --cue-file=v.cue "
                                                              "--bin-file=v.bin short.mpg long.mpg")});
    if (!vcdimager.waitForFinished(120000) || vcdimager.exitCode() != 0) {
        std::fprintf(stderr, "bench_engine: vcdimager could not make the Video CD image\n");
        return 1;
    }
    media.shortFiles["vcd"] = media.dir.filePath(QStringLiteral("v.cue/MPEGAV/AVSEQ01.DAT"));
    media.longFiles["vcd"] = media.dir.filePath(QStringLiteral("v.cue/MPEGAV/AVSEQ02.DAT"));
    const char *engineFormats[] = {"mp3",  "wav", "ogg", "wma", "mid",  "avi", "mpg",
                                   "mpeg", "asf", "vob", "dat", "cdxa", "vcd"};

    // Cold first: every child is a fresh process, so the order does not matter for them, but it
    // keeps the output in the order of the table below.
    for (const char *format : {"mp3", "mid", "avi", "vob"})
        benchmark::RegisterBenchmark((std::string("ColdFirstOpen/") + format).c_str(), openCold,
                                     media.shortFiles[format])
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(5);
    for (const char *format : engineFormats)
        benchmark::RegisterBenchmark((std::string("WarmOpen/") + format).c_str(), openWarm,
                                     media.shortFiles[format])
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(1.0);
    for (const char *format : engineFormats)
        benchmark::RegisterBenchmark((std::string("Seek/") + format).c_str(), seek, media.longFiles[format],
                                     std::vector<double>{1.5, 5.0, 3.0, 0.5})
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(1.0);
    benchmark::RegisterBenchmark("WarmOpen/mid10min", openWarm, media.longFiles["mid10min"])
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(1.0);
    benchmark::RegisterBenchmark("Seek/mid10min", seek, media.longFiles["mid10min"],
                                 std::vector<double>{300.0, 150.0, 450.0, 60.0})
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(1.0);
    benchmark::RegisterBenchmark("FailAfterVideo/mp4", failAfterVideo, media.shortFiles["avi"], truncated)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(10);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
