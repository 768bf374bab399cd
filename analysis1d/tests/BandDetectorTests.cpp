#include "analysis1d/engine/BandDetector.h"
#include "analysis1d/engine/LaneProfileData.h"
#include "imaging/RasterImageGS16.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// A lane profile made by hand on a one-column 16-bit image (largest value 65535).
struct ProfileFixture
{
    explicit ProfileFixture(const std::vector<int> &values)
        : img(1, int(values.size())), data(&img)
    {
        for (const int v : values)
            data.GetProfile()->Add(v);
    }
    RasterImageGS16 img;
    LaneProfileData data;
};

// base everywhere, 'height' over rows first..last.
void plateau(std::vector<int> &p, int first, int last, int height)
{
    for (int y = first; y <= last; ++y)
        p[size_t(y)] = height;
}

int foundPeaks(const std::vector<int> &profile, double threshold)
{
    ProfileFixture f(profile);
    BandDetector detector(&f.data, &f.img);
    detector.FindPeaks(threshold);
    return detector.GetCandidateCount();
}

double gaussian(double amplitude, double centre, double width, double x)
{
    const double u = (x - centre) / width;
    return amplitude * std::exp(-u * u);
}

// Records what the decomposition hands to the fit; optionally fails one call.
struct FitCall
{
    int size;
    std::vector<CGaussian> seeds;
};
std::vector<FitCall> g_calls;
int g_failingCall = -1;

void recordingFitter(const CIntDataArray &segment, const CGaussianArray &initial,
                     CGaussianArray &fitted)
{
    const int call = int(g_calls.size());
    g_calls.push_back({segment.GetSize(), std::vector<CGaussian>(initial.begin(), initial.end())});
    if (call == g_failingCall)
        throw CTextException("Gaussian fitting falied.");
    fitted.RemoveAll();
    fitted.Append(initial);
}

// Returns every seed and, beside them, one Gaussian too wide and one too low.
void padding(const CIntDataArray &, const CGaussianArray &initial, CGaussianArray &fitted)
{
    fitted.RemoveAll();
    int maxW = 0;
    int minA = 999999;
    for (const CGaussian &g : initial) {
        maxW = std::max(maxW, g.GetWidth());
        minA = std::min(minA, g.GetAmplitude());
    }
    fitted.Append(initial);
    fitted.Add(CGaussian(minA, 3, 3 * maxW));
    fitted.Add(CGaussian(minA / 3, 4, 1));
}

// Two separated Gaussian bands on a background of 0, rows 0..199.
struct TwoBands
{
    TwoBands()
    {
        for (int x = 0; x < 200; ++x) {
            const double v = gaussian(1000, 40, 5, x) + gaussian(800, 120, 8, x);
            profile.Add(int(std::floor(v + 0.5)));
            background.Add(0);
        }
    }
    CIntDataArray profile;
    CIntDataArray background;
    std::vector<BandDetector::BandSpan> bands{{40, 25, 55}, {120, 100, 140}};
};

// A lane of bands on a 60 x 300 image: background 1000; across the lane each
// band is a smooth bump centred at column 30, down the lane a Gaussian.
RasterImageGS16 laneImage(bool bumpAcross)
{
    RasterImageGS16 img(60, 300);
    for (int y = 0; y < 300; ++y) {
        const double down = gaussian(20000, 80, 6, y) + gaussian(15000, 200, 9, y);
        for (int x = 0; x < 60; ++x) {
            const double across = bumpAcross ? gaussian(1.0, 30, 9, x) : double(x) / 59.0;
            img.setPixel(x, y, 1000 + int(std::floor(down * across + 0.5)));
        }
    }
    return img;
}

} // namespace

TEST(BandDetector, MinimumRiseOn16Bits)
{
    // 0.01 of 65535 is 655, 0.2 is 13107: a rise of exactly that is kept. The
    // rise is taken on the smoothed profile, whose truncating passes settle a
    // long plateau 3 below its raw height.
    for (const auto &[threshold, rise] : {std::pair{0.01, 655}, std::pair{0.2, 13107}}) {
        SCOPED_TRACE(rise);
        std::vector<int> p(200, 1000);
        plateau(p, 80, 119, 1000 + rise + 3);
        EXPECT_EQ(foundPeaks(p, threshold), 1);
        plateau(p, 80, 119, 1000 + rise + 2);
        EXPECT_EQ(foundPeaks(p, threshold), 0);
    }
}

TEST(BandDetector, OneRisingSideIsEnough)
{
    // Rises 700 above its upper foot but only 300 above its lower one.
    std::vector<int> p(200, 1000);
    plateau(p, 60, 99, 1700);
    plateau(p, 100, 199, 1400);
    EXPECT_EQ(foundPeaks(p, 0.01), 1);
    EXPECT_EQ(foundPeaks(p, 0.011), 0); // 720 needed on one side
}

TEST(BandDetector, CandidatesAndIntensityClasses)
{
    std::vector<int> p(400, 1000);
    const int heights[] = {10000, 20000, 40000, 50000, 64000};
    for (int i = 0; i < 5; ++i)
        plateau(p, 40 + 70 * i, 69 + 70 * i, heights[i]);
    ProfileFixture f(p);
    BandDetector detector(&f.data, &f.img);
    detector.FindPeaks(0.01);
    ASSERT_EQ(detector.GetCandidateCount(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const BandData c = detector.GetCandidate(i);
        // Quarters of the full scale give classes 1..4; above 95 % it is 5.
        EXPECT_EQ(c.m_intensityClass, i + 1);
        const int centre = c.m_centerOfGravity.y;
        EXPECT_GE(centre, 40 + 70 * i);
        EXPECT_LE(centre, 69 + 70 * i);
        EXPECT_EQ(c.m_centerValue, heights[i]);
        // The feet lie around the plateau, back at the base.
        EXPECT_LT(c.m_detectedRect.top, 40 + 70 * i);
        EXPECT_GT(c.m_detectedRect.bottom, 69 + 70 * i);
        EXPECT_EQ(p[size_t(c.m_detectedRect.top)], 1000);
        EXPECT_EQ(p[size_t(c.m_detectedRect.bottom)], 1000);
    }
    EXPECT_THROW(detector.GetCandidate(5), CInvalidArgException);
    EXPECT_THROW(detector.GetCandidate(-1), CInvalidArgException);
}

TEST(BandDetector, EdgesAndFlatProfilesGiveNoCandidates)
{
    std::vector<int> flat(100, 3000);
    EXPECT_EQ(foundPeaks(flat, 0.01), 0);

    std::vector<int> top(100, 1000);
    plateau(top, 0, 20, 9000);
    EXPECT_EQ(foundPeaks(top, 0.01), 0);

    std::vector<int> bottom(100, 1000);
    plateau(bottom, 80, 99, 9000);
    EXPECT_EQ(foundPeaks(bottom, 0.01), 0);

    // A flat lane's background is its profile.
    ProfileFixture f(flat);
    BandDetector detector(&f.data, &f.img);
    detector.FindCandidates(0.01);
    EXPECT_EQ(detector.GetCandidateCount(), 0);
    EXPECT_EQ(f.data.GetBackground()->vector(), f.data.GetProfile()->vector());
    EXPECT_EQ(detector.GetGaussians().GetSize(), 0);
}

TEST(BandDetector, BackgroundUnderAPeakIsTheBaseLevel)
{
    std::vector<int> p(200, 1000);
    for (int y = 0; y < 200; ++y)
        p[size_t(y)] += int(gaussian(8000, 100, 10, y));
    ProfileFixture f(p);
    BandDetector detector(&f.data, &f.img);
    detector.ComputeBackground();
    const CIntDataArray &bg = *f.data.GetBackground();
    ASSERT_EQ(bg.GetSize(), 200);
    EXPECT_LE(bg[100], 1010);
    EXPECT_EQ(bg[10], 1000);
    for (int y = 0; y < 200; ++y)
        EXPECT_LE(bg[y], p[size_t(y)]);
}

TEST(BandDetector, FitGaussiansRecoversWidths)
{
    CIntDataArray segment;
    for (int x = 0; x < 120; ++x)
        segment.Add(int(std::floor(gaussian(1000, 30, 6.5, x) + gaussian(800, 80, 10.5, x) + 0.5)));
    CGaussianArray seeds;
    seeds.Add(CGaussian(1000, 30, 4));
    seeds.Add(CGaussian(800, 80, 14));
    CGaussianArray fitted;
    fitted.Add(CGaussian(1, 2, 3));
    BandDetector::FitGaussians(segment, seeds, fitted);
    ASSERT_EQ(fitted.GetSize(), 2);
    // Amplitudes and centres are held; only the widths move.
    EXPECT_EQ(fitted[0].GetAmplitude(), 1000);
    EXPECT_EQ(fitted[0].GetCenter(), 30);
    EXPECT_EQ(fitted[0].GetWidth(), 6);
    EXPECT_EQ(fitted[1].GetAmplitude(), 800);
    EXPECT_EQ(fitted[1].GetCenter(), 80);
    EXPECT_EQ(fitted[1].GetWidth(), 10);
}

TEST(BandDetector, FitGaussiansWithoutSeedsOrFailing)
{
    CIntDataArray segment;
    for (int x = 0; x < 50; ++x)
        segment.Add(int(gaussian(500, 25, 5, x)));
    CGaussianArray fitted;
    fitted.Add(CGaussian(7, 8, 9));

    BandDetector::FitGaussians(segment, CGaussianArray(), fitted);
    ASSERT_EQ(fitted.GetSize(), 1);
    EXPECT_EQ(fitted[0].GetAmplitude(), 7);

    // A width of 0 makes the model undefined at its centre: the fit fails.
    CGaussianArray broken;
    broken.Add(CGaussian(500, 25, 0));
    try {
        BandDetector::FitGaussians(segment, broken, fitted);
        FAIL() << "a fit with a zero width succeeded";
    } catch (const CTextException &e) {
        EXPECT_EQ(std::string(e.what()), "Gaussian fitting falied.");
    }
    ASSERT_EQ(fitted.GetSize(), 1);
    EXPECT_EQ(fitted[0].GetAmplitude(), 7);

    // The failed fit left nothing behind: the next one runs normally.
    CGaussianArray seeds;
    seeds.Add(CGaussian(500, 25, 3));
    BandDetector::FitGaussians(segment, seeds, fitted);
    ASSERT_EQ(fitted.GetSize(), 1);
    EXPECT_NEAR(fitted[0].GetWidth(), 5, 1);
}

TEST(BandDetector, DecompositionFitsEachGroup)
{
    TwoBands t;
    CGaussianArray out;
    out.Add(CGaussian(1, 1, 1));
    BandDetector::DecomposeProfile(t.profile, t.background, t.bands, out);
    ASSERT_EQ(out.GetSize(), 2);
    EXPECT_EQ(out[0].GetCenter(), 40);
    EXPECT_NEAR(out[0].GetWidth(), 5, 1);
    EXPECT_EQ(out[0].GetAmplitude(), 1000);
    // The second segment starts at row 77: centres are back in profile rows.
    EXPECT_EQ(out[1].GetCenter(), 120);
    EXPECT_NEAR(out[1].GetWidth(), 8, 1);

    BandDetector::DecomposeProfile(t.profile, t.background, {}, out);
    EXPECT_EQ(out.GetSize(), 0);
}

TEST(BandDetector, DecompositionSegments)
{
    TwoBands t;
    CGaussianArray out;
    g_calls.clear();
    g_failingCall = -1;
    BandDetector::DecomposeProfile(t.profile, t.background, t.bands, out, &recordingFitter);
    ASSERT_EQ(g_calls.size(), 2u);
    // The first band's foot is at the background: its segment ends halfway to
    // the next band's start, (100 + 55) / 2 = 77; the last runs to row 199 and
    // shares row 77 with the first.
    EXPECT_EQ(g_calls[0].size, 78);
    EXPECT_EQ(g_calls[1].size, 123);
    ASSERT_EQ(g_calls[0].seeds.size(), 1u);
    // d = 15: W = trunc(sqrt(2) * 5) = 7.
    EXPECT_EQ(g_calls[0].seeds[0].GetWidth(), 7);
    EXPECT_EQ(g_calls[0].seeds[0].GetCenter(), 40);
    EXPECT_EQ(g_calls[1].seeds[0].GetCenter(), 120 - 77);
    ASSERT_EQ(out.GetSize(), 2);
    EXPECT_EQ(out[1].GetCenter(), 120);

    // Bands whose feet stay above the background form one group.
    CIntDataArray raised = t.profile;
    for (int i = 0; i < raised.GetSize(); ++i)
        raised[i] += 50;
    g_calls.clear();
    BandDetector::DecomposeProfile(raised, t.background, t.bands, out, &recordingFitter);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].size, 200);
    EXPECT_EQ(g_calls[0].seeds.size(), 2u);
}

TEST(BandDetector, FailedGroupContributesNothing)
{
    TwoBands t;
    CGaussianArray out;
    g_calls.clear();
    g_failingCall = 0;
    BandDetector::DecomposeProfile(t.profile, t.background, t.bands, out, &recordingFitter);
    g_failingCall = -1;
    EXPECT_EQ(g_calls.size(), 2u);
    ASSERT_EQ(out.GetSize(), 1);
    EXPECT_EQ(out[0].GetCenter(), 120);
}

TEST(BandDetector, DecompositionSeedsAndFilters)
{
    TwoBands t;
    CGaussianArray out;
    // A band reaching only 2 rows from its peak gets no seed (W = 0).
    g_calls.clear();
    std::vector<BandDetector::BandSpan> narrow{{40, 38, 42}};
    BandDetector::DecomposeProfile(t.profile, t.background, narrow, out, &recordingFitter);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_TRUE(g_calls[0].seeds.empty());
    EXPECT_EQ(out.GetSize(), 0);

    // Fitted Gaussians three times the widest seed, or not above a third of
    // the lowest seed, are dropped.
    BandDetector::DecomposeProfile(t.profile, t.background, t.bands, out, &padding);
    ASSERT_EQ(out.GetSize(), 2);
    EXPECT_EQ(out[0].GetCenter(), 40);
    EXPECT_EQ(out[1].GetCenter(), 120);

    // Rows outside the profile are not swallowed.
    std::vector<BandDetector::BandSpan> outside{{40, 25, 250}};
    EXPECT_THROW(BandDetector::DecomposeProfile(t.profile, t.background, outside, out),
                 CInvalidArgException);
}

TEST(BandDetector, FindsMeasuresAndLocatesBands)
{
    RasterImageGS16 img = laneImage(true);
    LaneProfileData data(&img);
    data.SetCenterLine(28);
    data.CalculateProfile(&img, 4);
    BandDetector detector(&data, &img);
    detector.FindCandidates(0.05);
    ASSERT_EQ(detector.GetCandidateCount(), 2);
    EXPECT_EQ(data.GetBackground()->GetSize(), 300);
    ASSERT_EQ(detector.GetGaussians().GetSize(), 2);
    EXPECT_NEAR(detector.GetGaussians()[0].GetCenter(), 80, 1);
    EXPECT_NEAR(detector.GetGaussians()[1].GetCenter(), 200, 1);

    const double halfHeight = 2.0 * std::sqrt(std::log(2.0));
    const int rows[] = {80, 200};
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        const BandData c = detector.GetCandidate(k);
        EXPECT_NEAR(c.m_centerOfGravity.y, rows[k], 1);
        EXPECT_DOUBLE_EQ(c.m_peakWidth,
                         halfHeight * detector.GetGaussians()[k].GetWidth());
        EXPECT_GT(c.m_gaussianFit, 0.9);
        EXPECT_LE(c.m_gaussianFit, 1.0);
        EXPECT_FALSE(c.m_valid);
    }
    EXPECT_NEAR(detector.GetGaussians()[0].GetWidth(), 6, 1);
    EXPECT_NEAR(detector.GetGaussians()[1].GetWidth(), 9, 1);

    detector.LocateAllAcross(20.0);
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        const BandData c = detector.GetCandidate(k);
        EXPECT_TRUE(c.m_valid);
        EXPECT_NEAR(c.m_centerOfGravity.x, 30, 1);
        EXPECT_EQ(c.m_detectedRect.left, c.m_centerOfGravity.x - 10);
        EXPECT_EQ(c.m_detectedRect.right, c.m_centerOfGravity.x + 10);
    }
}

TEST(BandDetector, RowWithoutALateralMaximumIsDropped)
{
    RasterImageGS16 img = laneImage(false);
    LaneProfileData data(&img);
    data.SetCenterLine(30);
    data.CalculateProfile(&img, 4);
    BandDetector detector(&data, &img);
    detector.FindCandidates(0.05);
    ASSERT_GE(detector.GetCandidateCount(), 1);
    detector.LocateAllAcross(20.0);
    for (int k = 0; k < detector.GetCandidateCount(); ++k)
        EXPECT_FALSE(detector.GetCandidate(k).m_valid);
}

// A lane whose centre line came out 6 columns right of its bands (E = 20):
// the row's maximum lies well inside the search span, though far from the
// middle of the slope series, and the band is kept at its own column. With
// the line 11 columns off the maximum lies before the first slope position
// and the band is dropped.
TEST(BandDetector, LateralMaximumAnywhereInTheSpanIsKept)
{
    RasterImageGS16 img = laneImage(true);
    for (const int offset : {6, 11}) {
        SCOPED_TRACE(offset);
        LaneProfileData data(&img);
        data.SetCenterLine(30 + offset);
        data.CalculateProfile(&img, 4);
        BandDetector detector(&data, &img);
        detector.FindCandidates(0.05);
        ASSERT_EQ(detector.GetCandidateCount(), 2);
        detector.LocateAllAcross(20.0);
        for (int k = 0; k < 2; ++k) {
            const BandData c = detector.GetCandidate(k);
            EXPECT_EQ(c.m_valid, offset < 10);
            if (c.m_valid) {
                EXPECT_NEAR(c.m_centerOfGravity.x, 30, 1);
            }
        }
    }
}
