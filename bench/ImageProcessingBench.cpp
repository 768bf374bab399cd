// The background and smoothing filters at the sizes the analysis uses, beside
// the plain window scans on a smaller picture so the ratio can be read.

#include "imaging/ImageProcessing.h"
#include "imaging/RasterImageGS16.h"
#include "imaging/tests/ImageProcessingReference.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

// Background windows and smoothing of the lane analysis.
constexpr int kRx = 75;
constexpr int kRy = 15;
constexpr int kN = 3;

RasterImageGS16 gel(int w, int h)
{
    RasterImageGS16 r(w, h);
    uint64_t s = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 6364136223846793005ull + 1442695040888963407ull;
            r.setPixel(x, y, int((s >> 33) & 0xFFFF));
        }
    return r;
}

void MinFilterFast(benchmark::State &state)
{
    const RasterImageGS16 src = gel(int(state.range(0)), int(state.range(1)));
    RasterImageGS16 dst(src.getWidth(), src.getHeight());
    for (auto _ : state) {
        ImageProcessing::generateBGViaMinFilter(&src, &dst, kRx, kRy);
        benchmark::DoNotOptimize(dst.getPixels());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

void MinFilterPlain(benchmark::State &state)
{
    const RasterImageGS16 src = gel(int(state.range(0)), int(state.range(1)));
    RasterImageGS16 dst(src.getWidth(), src.getHeight());
    for (auto _ : state) {
        reference::minFilter(src, dst, kRx, kRy);
        benchmark::DoNotOptimize(dst.getPixels());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

void AverageFast(benchmark::State &state)
{
    const RasterImageGS16 src = gel(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        state.PauseTiming();
        RasterImageGS16 img(src);
        state.ResumeTiming();
        ImageProcessing::smoothenViaAverageFilter(&img, kN);
        benchmark::DoNotOptimize(img.getPixels());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

void AveragePlain(benchmark::State &state)
{
    const RasterImageGS16 src = gel(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        state.PauseTiming();
        RasterImageGS16 img(src);
        state.ResumeTiming();
        reference::averageFilter(img, kN);
        benchmark::DoNotOptimize(img.getPixels());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

} // namespace

BENCHMARK(MinFilterFast)->Args({4000, 3000})->Args({400, 300})->Unit(benchmark::kMillisecond);
BENCHMARK(MinFilterPlain)->Args({400, 300})->Unit(benchmark::kMillisecond);
BENCHMARK(AverageFast)->Args({4000, 3000})->Args({400, 300})->Unit(benchmark::kMillisecond);
BENCHMARK(AveragePlain)->Args({4000, 3000})->Args({400, 300})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
