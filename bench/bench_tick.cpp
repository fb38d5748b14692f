// The cost of one progress tick with a 10,000-entry playlist, on the fake engine so that only the
// program's own work is measured: a tick while an item plays, and a tick that ends an item and starts
// the next one. And the time format the tick writes twice per tick.
#include "FakeMediaEngine.h"
#include "app/Program.h"
#include "playback/TimeFormat.h"

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

    explicit TickSetup(int entries)
    {
        ProgramEnvironment env;
        env.appFolder = folder.path();
        env.makeEngine = [](QWidget *) {
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
