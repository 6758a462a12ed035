// The cost of one frame of the wait window, which repaints ten times a
// second: the whole off-screen picture (white, three texts, the bar).
#include "common/misc/wait/CommWaitWindow.h"

#include <benchmark/benchmark.h>

static void BM_WaitWindowFrame(benchmark::State& state) {
    CxCommWaitWindow window;
    window.OnCreate();
    window.SetText("Loading Outlook Contacts...");
    HDC hdc = CreateCompatibleDC(nullptr);
    HBITMAP hBitmap = CreateCompatibleBitmap(hdc, 478, 148);
    HGDIOBJ hOld = SelectObject(hdc, hBitmap);
    for (auto _ : state) {
        window.m_nTicks = 17;  // the longest bar
        window.PaintContents(hdc, RECT{0, 0, 478, 148});
        benchmark::DoNotOptimize(GetPixel(hdc, 20, 100));
    }
    SelectObject(hdc, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hdc);
}
BENCHMARK(BM_WaitWindowFrame)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
