// What the skinned windows cost: making the main window and drawing it the first time (part of the
// start-up the user waits for), drawing its background fresh (after a fold) and from the cache (each
// marquee step repaints over it), and making the about box. Offscreen, so it runs anywhere:
//   build/bench/bench_windows
#include "ui/Skin.h"
#include "ui/frmAbout.h"
#include "ui/frmMain.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

void BM_MainWindowMadeAndDrawn(benchmark::State &state)
{
    for (auto _ : state) {
        frmMain window;
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_MainWindowMadeAndDrawn)->Unit(benchmark::kMillisecond);

void BM_BackgroundDrawnFresh(benchmark::State &state)
{
    QImage image(343, 380, QImage::Format_ARGB32_Premultiplied);
    bool folded = false;
    for (auto _ : state) {
        // Alternating heights, as folding the panel does, so that nothing comes from the cache.
        QPainter painter(&image);
        Skin::paintWindow(painter, QRect(0, 0, 343, folded ? 125 : 380));
        folded = !folded;
    }
}
BENCHMARK(BM_BackgroundDrawnFresh)->Unit(benchmark::kMillisecond);

void BM_BackgroundFromCache(benchmark::State &state)
{
    QImage image(343, 380, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        Skin::paintWindow(painter, QRect(0, 0, 343, 380));
    }
}
BENCHMARK(BM_BackgroundFromCache)->Unit(benchmark::kMicrosecond);

void BM_AboutBoxMadeAndDrawn(benchmark::State &state)
{
    for (auto _ : state) {
        frmAbout box;
        benchmark::DoNotOptimize(box.grab());
    }
}
BENCHMARK(BM_AboutBoxMadeAndDrawn)->Unit(benchmark::kMillisecond);

} // namespace
