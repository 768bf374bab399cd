// Speed of a whole analysis on a large gel: lane and band detection with the
// measurements and calibration that follow it, and the background images.
// The gel is synthetic, 16-bit, 4000 x 3000 pixels with 24 lanes of 15 bands
// (dark bands on a light background, a little noise), made once.
//
//   build/bin/AnalysisBench

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/Lane.h"
#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"
#include "platform/ProfileStore.h"
#include "platform/Prompts.h"
#include "tools/gelsynth/GelSynth.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kLanes = 24;
constexpr int kBandsPerLane = 15;
constexpr int kLaneWidth = 110;
constexpr double kBandHeight = 20.0;

GelDescription largeGel()
{
    GelDescription d;
    d.width = 4000;
    d.height = 3000;
    d.bits = 16;
    d.darkBands = true;
    d.background = 52000.0;
    d.noise = 150.0;
    d.laneWidth = kLaneWidth;
    d.laneSpacing = 160;
    d.leftMargin = 80;
    d.seed = 11;
    for (int lane = 0; lane < kLanes; ++lane) {
        GelLane gelLane;
        for (int band = 0; band < kBandsPerLane; ++band) {
            // Peaks of 10 % to 50 % of full scale below the background.
            const double peak = (0.1 + 0.1 * ((lane + band) % 5)) * 65535.0;
            const double amount = peak * (kLaneWidth - 3) * kBandHeight / 2.3548 * 2.5066;
            gelLane.bands.push_back({150.0 + 180.0 * band, kBandHeight, amount, 0.0});
        }
        d.lanes.push_back(gelLane);
    }
    return d;
}

// One analysis set up on the large gel, shared by the benchmarks.
struct LargeGelAnalysis
{
    LargeGelAnalysis()
    {
        ProfileStore::install(std::make_unique<MemoryProfileStore>());
        Prompts::install(std::make_unique<ScriptedPrompts>());
        GelSynth gel(largeGel());
        gel.render();
        auto *drawImage = new CDrawImage;
        drawImage->Create(8, 8, 8, nullptr);
        *drawImage->GetImage() = gel.toBitmap();
        drawImage->SizeToImage();
        doc.Add(drawImage);
        analysis.SetAnalysisDocument(&doc);
        analysis.SetAnalysisImage(drawImage->GetImage());
        area = CRect(10, 10, gel.width() - 10, gel.height() - 10);
        doc.Add(new AnalysisArea(area, CRect(0, 0, gel.width(), gel.height())));
        const GelTruthLane &lane = gel.truth().lanes.front();
        const int top = int(std::lround(gel.truth().bands.front().centre - kBandHeight));
        exampleBand = CRect(lane.left, top, lane.right, top + 2 * int(kBandHeight));
        doc.Add(new ExampleBand(exampleBand, area));
        analysis.WhiteOnBlackSet(1); // darker bands
        analysis.FinalizeAnalysisArea();
    }

    Analysis1DDoc doc;
    Analysis1D analysis;
    CRect area;
    CRect exampleBand;
};

LargeGelAnalysis &largeGelAnalysis()
{
    static LargeGelAnalysis instance;
    return instance;
}

void BM_DetectLanesAndBandsAndCalculate(benchmark::State &state)
{
    Analysis1D &analysis = largeGelAnalysis().analysis;
    for (auto _ : state) {
        analysis.DetectLanesAndBands(0.03);
        analysis.CalculateAnalysisData();
    }
    int bands = 0;
    for (int i = 0; i < analysis.GetNumberOfLanes(); ++i)
        bands += analysis.GetLane(i).GetNumberOfBands();
    state.counters["lanes"] = analysis.GetNumberOfLanes();
    state.counters["bands"] = bands;
}
BENCHMARK(BM_DetectLanesAndBandsAndCalculate)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CalculateAnalysisData(benchmark::State &state)
{
    Analysis1D &analysis = largeGelAnalysis().analysis;
    if (analysis.GetNumberOfLanes() == 0)
        analysis.DetectLanesAndBands(0.03);
    for (auto _ : state)
        analysis.CalculateAnalysisData();
}
BENCHMARK(BM_CalculateAnalysisData)->Unit(benchmark::kMillisecond);

// What the desktop runs after every drag of a band: the band's outline is
// traced again where it now lies, then the whole analysis is recalculated.
void BM_CalculateAnalysisDataAfterBandEdit(benchmark::State &state)
{
    LargeGelAnalysis &setup = largeGelAnalysis();
    Analysis1D &analysis = setup.analysis;
    if (analysis.GetNumberOfLanes() == 0)
        analysis.DetectLanesAndBands(0.03);
    Band &band = (*analysis.GetLanes())[analysis.GetNumberOfLanes() / 2].GetBands()->ElementAt(7);
    int step = 1;
    for (auto _ : state) {
        band.m_position.OffsetRect(0, step);
        step = -step;
        band.FindBroundryPoints(analysis.GetAnalysisRasterImage(), 30, 1, 1, 0, 0);
        analysis.CalculateAnalysisData();
    }
}
BENCHMARK(BM_CalculateAnalysisDataAfterBandEdit)->Unit(benchmark::kMillisecond);

// Re-measuring the one lane that changed, as the selection tool does.
void BM_RemeasureOneLane(benchmark::State &state)
{
    Analysis1D &analysis = largeGelAnalysis().analysis;
    if (analysis.GetNumberOfLanes() == 0)
        analysis.DetectLanesAndBands(0.03);
    Lane &lane = (*analysis.GetLanes())[analysis.GetNumberOfLanes() / 2];
    for (auto _ : state)
        lane.CalculateBandsData(analysis.GetAnalysisRasterImage(), analysis.getWellCenterY(),
                                analysis.getDyeFrontCenterY());
}
BENCHMARK(BM_RemeasureOneLane)->Unit(benchmark::kMicrosecond);

void BM_CreateBGImage(benchmark::State &state)
{
    LargeGelAnalysis &setup = largeGelAnalysis();
    for (auto _ : state)
        setup.analysis.CreateBGImage(setup.exampleBand);
}
BENCHMARK(BM_CreateBGImage)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
