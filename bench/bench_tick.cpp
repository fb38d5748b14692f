// The cost of one progress tick with a 10,000-entry playlist, on the fake engine so that only the
// program's own work is measured: a tick while an item plays, and a tick that ends an item and starts
// the next one. And the time format the tick writes twice per tick. And, on the real engine, a
// whole pass over a list whose files are all missing (a disk that is not there).
#include "FakeMediaEngine.h"
#include "app/Program.h"
#include "engine/GstMediaEngine.h"
#include "playback/TimeFormat.h"

#include <QElapsedTimer>

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

struct TickSetup {
    QTemporaryDir folder;
    std::unique_ptr<Program> program;
    FakeMediaEngine *engine() { return static_cast<FakeMediaEngine *>(&program->engine()); }

    explicit TickSetup(int entries, bool realEngine = false)
    {
        ProgramEnvironment env;
        env.appFolder = folder.path();
        env.makeEngine = [realEngine](QWidget *area) -> std::unique_ptr<MediaEngine> {
            if (realEngine)
                return std::make_unique<GstMediaEngine>(
                    area, GstEngineOptions{QStringLiteral("fakeaudiosink"), QStringLiteral("fakevideosink")});
            auto engine = std::make_unique<FakeMediaEngine>();
            engine->durationOfEachFile = 1e6;
            return engine;
        };
        env.askBreak = [] { return true; };
        env.pause = [](int, const std::function<void()> &done) { done(); };
        env.setTopMost = [](QWidget &, bool, QPoint) {};
        program = std::make_unique<Program>(std::move(env));
        frmMain &window = program->mainWindow();
        window.tmrAnimate()->stop();
        QStringList list;
        for (int i = 0; i < entries; ++i)
            list.append(QStringLiteral("/home/u/Musique/Album %1/piste %2.mp3").arg(i / 12).arg(i));
        window.lstPlay()->addItems(list);
    }
};

void BM_TickWhilePlaying(benchmark::State &state)
{
    TickSetup setup(static_cast<int>(state.range(0)));
    setup.program->tick().tmrAnimate_Timer(); // starts an entry
    for (auto _ : state) {
        setup.engine()->advance(0.5);
        setup.program->tick().tmrAnimate_Timer();
    }
}

void BM_TickEndingAnItem(benchmark::State &state)
{
    TickSetup setup(static_cast<int>(state.range(0)));
    setup.program->mainWindow().chkRepeat()->setCheckState(Qt::Checked);
    for (auto _ : state) {
        setup.engine()->finish();
        setup.program->tick().tmrAnimate_Timer();
    }
}

// The same tick with the repaint it causes, as the running player pays for it.
void BM_TickWithRepaint(benchmark::State &state)
{
    TickSetup setup(static_cast<int>(state.range(0)));
    setup.program->tick().tmrAnimate_Timer();
    QApplication::processEvents();
    for (auto _ : state) {
        setup.engine()->advance(0.5);
        setup.program->tick().tmrAnimate_Timer();
        QApplication::processEvents();
    }
}

// From the tick that starts a list of missing files (repeat on) to the player giving up, with the
// event loop running between the slices of the walk as in the player. The longest slice is how long
// the window went without answering.
void BM_DeadListPass(benchmark::State &state)
{
    TickSetup setup(static_cast<int>(state.range(0)), true);
    setup.program->mainWindow().chkRepeat()->setCheckState(Qt::Checked);
    qint64 longestSlice = 0;
    for (auto _ : state) {
        setup.program->engine().setFileName(QString());
        QElapsedTimer slice;
        slice.start();
        setup.program->transport().cmdPlay_Click();
        longestSlice = std::max(longestSlice, slice.elapsed());
        while (!setup.program->transport().gaveUp()) {
            slice.restart();
            QApplication::processEvents();
            longestSlice = std::max(longestSlice, slice.elapsed());
        }
    }
    state.counters["longest_slice_ms"] = static_cast<double>(longestSlice);
}

// Elapsed and remaining times over a long film, one per second.
void BM_FormatTime(benchmark::State &state)
{
    long seconds = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatTime(seconds));
        seconds = (seconds + 1) % 36000;
    }
}

} // namespace

BENCHMARK(BM_FormatTime)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_TickWithRepaint)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickWhilePlaying)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickEndingAnItem)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeadListPass)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);
