#include "imaging/ImageProcessing.h"
#include "imaging/RasterImageGS16.h"
#include "imaging/tests/ImageProcessingReference.h"

#include "data/CPointArray.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>
#include <opencv2/core/mat.hpp>

#include <climits>
#include <random>
#include <sstream>
#include <tuple>
#include <string>

namespace {

RasterImageGS16 rasterOf(int w, int h, std::initializer_list<int> values)
{
    RasterImageGS16 r(w, h);
    int i = 0;
    for (const int v : values) {
        r.setPixel(i % w, i / w, v);
        ++i;
    }
    return r;
}

std::string firstDifference(const RasterImageGS16 &a, const RasterImageGS16 &b)
{
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixel(x, y) != b.getPixel(x, y)) {
                std::ostringstream s;
                s << "(" << x << ", " << y << "): " << a.getPixel(x, y) << " vs "
                  << b.getPixel(x, y);
                return s.str();
            }
    return {};
}

RasterImageGS16 randomRaster(std::mt19937 &rng, int w, int h, int lo, int hi)
{
    std::uniform_int_distribution<int> value(lo, hi);
    RasterImageGS16 r(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            r.setPixel(x, y, value(rng));
    return r;
}

} // namespace

TEST(ImageProcessingMinFilter, WindowsAreAsymmetricWithExclusiveUpperEnds)
{
    // 4 x 3 raster, values distinct so every window's minimum is identifiable.
    const RasterImageGS16 src = rasterOf(4, 3,
                                         {50, 40, 30, 20, //
                                          45, 35, 25, 15, //
                                          5, 6, 7, 8});
    RasterImageGS16 dst(4, 3);
    ImageProcessing::generateBGViaMinFilter(&src, &dst, 1, 1);
    // (0,0): columns 0..0, rows 0..0 -> the pixel itself.
    EXPECT_EQ(dst.getPixel(0, 0), 50);
    // (1,1): columns 0..1, rows 0..1.
    EXPECT_EQ(dst.getPixel(1, 1), 35);
    // (3,1): columns 2..2 (column 3 is never inside), rows 0..1.
    EXPECT_EQ(dst.getPixel(3, 1), 25);
    // (2,2): rows 1..1 -- the last row is never inside either.
    EXPECT_EQ(dst.getPixel(2, 2), 25);
}

TEST(ImageProcessingMinFilter, StartsFromTheTargetsLargestValue)
{
    const RasterImageGS16 src = rasterOf(3, 3, {300, 400, 500, 600, 700, 800, 900, 1000, 1100});
    // An 8-bit target (largest value 255) caps every minimum at 255.
    cv::Mat eight(3, 3, CV_8UC1, cv::Scalar(0));
    RasterImageGS16 dst(eight);
    ASSERT_EQ(dst.getMaxPixelValue(), 255);
    ImageProcessing::generateBGViaMinFilter(&src, &dst, 2, 2);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(dst.getPixel(x, y), 255);

    // Radius 0 gives only empty windows: the largest value everywhere.
    RasterImageGS16 wide(3, 3);
    ImageProcessing::generateBGViaMinFilter(&src, &wide, 0, 3);
    EXPECT_EQ(wide.getPixel(1, 1), 65535);
    // A single-row image has no usable row at all.
    const RasterImageGS16 line = rasterOf(5, 1, {1, 2, 3, 4, 5});
    RasterImageGS16 lineDst(5, 1);
    ImageProcessing::generateBGViaMinFilter(&line, &lineDst, 3, 3);
    EXPECT_EQ(lineDst.getPixel(2, 0), 65535);
}

TEST(ImageProcessingMinFilter, RefusesASmallerTargetAndWorksInPlace)
{
    const RasterImageGS16 src = rasterOf(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    RasterImageGS16 small(2, 3);
    EXPECT_THROW(ImageProcessing::generateBGViaMinFilter(&src, &small, 1, 1), CInvalidArgException);

    std::mt19937 rng(7);
    // A larger target: only the source's extent is written.
    const RasterImageGS16 part = randomRaster(rng, 70, 5, 0, 65535);
    RasterImageGS16 larger(75, 9);
    larger.setPixel(72, 2, 17);
    larger.setPixel(3, 7, 18);
    RasterImageGS16 expectedPart(70, 5);
    reference::minFilter(part, expectedPart, 4, 2);
    ImageProcessing::generateBGViaMinFilter(&part, &larger, 4, 2);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 70; ++x)
            ASSERT_EQ(larger.getPixel(x, y), expectedPart.getPixel(x, y)) << x << ", " << y;
    EXPECT_EQ(larger.getPixel(72, 2), 17);
    EXPECT_EQ(larger.getPixel(3, 7), 18);

    RasterImageGS16 img = randomRaster(rng, 17, 11, 0, 65535);
    RasterImageGS16 expected(img.getWidth(), img.getHeight());
    reference::minFilter(img, expected, 3, 2);
    ImageProcessing::generateBGViaMinFilter(&img, &img, 3, 2);
    EXPECT_EQ(firstDifference(img, expected), "");
}

TEST(ImageProcessingMinFilter, MatchesThePlainScanOnRandomRasters)
{
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> size(1, 37);
    std::uniform_int_distribution<int> radius(-2, 45);
    for (int round = 0; round < 300; ++round) {
        const int w = size(rng);
        const int h = size(rng);
        const int rx = radius(rng);
        const int ry = radius(rng);
        const RasterImageGS16 src = randomRaster(rng, w, h, -1000, 70000);
        RasterImageGS16 fast(w, h);
        RasterImageGS16 slow(w, h);
        ImageProcessing::generateBGViaMinFilter(&src, &fast, rx, ry);
        reference::minFilter(src, slow, rx, ry);
        ASSERT_EQ(firstDifference(fast, slow), "")
            << "w " << w << " h " << h << " rx " << rx << " ry " << ry;
    }
    // Wider rasters: the column pass works in strips of columns.
    std::uniform_int_distribution<int> wide(60, 200);
    std::uniform_int_distribution<int> shortSide(1, 24);
    std::uniform_int_distribution<int> smallRadius(0, 12);
    for (int round = 0; round < 25; ++round) {
        const int w = wide(rng);
        const int h = shortSide(rng);
        const int rx = smallRadius(rng);
        const int ry = smallRadius(rng);
        const RasterImageGS16 src = randomRaster(rng, w, h, 0, 65535);
        RasterImageGS16 fast(w, h);
        RasterImageGS16 slow(w, h);
        ImageProcessing::generateBGViaMinFilter(&src, &fast, rx, ry);
        reference::minFilter(src, slow, rx, ry);
        ASSERT_EQ(firstDifference(fast, slow), "")
            << "w " << w << " h " << h << " rx " << rx << " ry " << ry;
    }
    // Radii far beyond the image (the window arithmetic must not overflow).
    const RasterImageGS16 src = randomRaster(rng, 9, 7, 0, 100);
    RasterImageGS16 fast(9, 7);
    RasterImageGS16 slow(9, 7);
    ImageProcessing::generateBGViaMinFilter(&src, &fast, INT_MAX, INT_MAX - 1);
    reference::minFilter(src, slow, INT_MAX, INT_MAX - 1);
    EXPECT_EQ(firstDifference(fast, slow), "");
}

// Pictures of a megapixel and more are filtered by several threads, each
// taking its own rows and strips of columns: the result is still the plain
// scan's, also when the filter works in place.
TEST(ImageProcessingMinFilter, LargePicturesSplitAcrossThreadsGiveThePlainScan)
{
    std::mt19937 rng(31);
    const int w = 1031;
    const int h = 1030;
    const RasterImageGS16 src = randomRaster(rng, w, h, 0, 65535);
    for (const auto &[rx, ry] : {std::pair {3, 2}, std::pair {0, 5}}) {
        RasterImageGS16 fast(w, h);
        RasterImageGS16 slow(w, h);
        ImageProcessing::generateBGViaMinFilter(&src, &fast, rx, ry);
        reference::minFilter(src, slow, rx, ry);
        ASSERT_EQ(firstDifference(fast, slow), "") << "rx " << rx << " ry " << ry;
        RasterImageGS16 inPlace = src;
        ImageProcessing::generateBGViaMinFilter(&inPlace, &inPlace, rx, ry);
        ASSERT_EQ(firstDifference(inPlace, slow), "") << "in place, rx " << rx << " ry " << ry;
    }
}

// A megapixel picture is smoothed in bands of rows, one per thread, each
// reading its neighbours' rows as they were: the plain scan's result.
TEST(ImageProcessingAverageFilter, LargePicturesSplitAcrossThreadsGiveThePlainScan)
{
    std::mt19937 rng(47);
    for (const auto &[w, h, n] : {std::tuple {1031, 1030, 3}, std::tuple {1100, 960, 1}}) {
        const RasterImageGS16 src = randomRaster(rng, w, h, -5000, 70000);
        RasterImageGS16 fast = src;
        RasterImageGS16 slow = src;
        ImageProcessing::smoothenViaAverageFilter(&fast, n);
        reference::averageFilter(slow, n);
        ASSERT_EQ(firstDifference(fast, slow), "") << w << " x " << h << ", n " << n;
    }
}

TEST(ImageProcessingAverageFilter, ThreeByThreeChangesOnlyTheCentre)
{
    RasterImageGS16 img = rasterOf(3, 3, {1, 2, 100, 4, 6, 100, 100, 100, 100});
    ImageProcessing::smoothenViaAverageFilter(&img, 1);
    // Centre: truncated mean of the 2 x 2 block at the upper left, (1+2+4+6)/4.
    EXPECT_EQ(img.getPixel(1, 1), 3);
    EXPECT_EQ(img.getPixel(0, 0), 1);
    EXPECT_EQ(img.getPixel(2, 1), 100);
    EXPECT_EQ(img.getPixel(1, 2), 100);
}

TEST(ImageProcessingAverageFilter, LeavesSmallImagesAndEmptyWindowsAlone)
{
    std::mt19937 rng(3);
    const RasterImageGS16 original = randomRaster(rng, 6, 9, 0, 1000);
    for (const int n : {-1, 0, 3, 4}) { // 0 and below: no window; w <= 2n: no interior
        RasterImageGS16 img(original);
        ImageProcessing::smoothenViaAverageFilter(&img, n);
        EXPECT_EQ(firstDifference(img, original), "") << "n = " << n;
    }
    // The statistics are left as they were.
    RasterImageGS16 img(&original);
    const double mean = img.getMean();
    ImageProcessing::smoothenViaAverageFilter(&img, 2);
    EXPECT_EQ(img.getMean(), mean);
    EXPECT_NE(firstDifference(img, original), "");
}

TEST(ImageProcessingAverageFilter, MatchesThePlainScanOnRandomRasters)
{
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> size(1, 41);
    std::uniform_int_distribution<int> window(-1, 22);
    for (int round = 0; round < 300; ++round) {
        const int w = size(rng);
        const int h = size(rng);
        const int n = window(rng);
        // Negative values check that the mean truncates toward zero.
        RasterImageGS16 fast = randomRaster(rng, w, h, -70000, 70000);
        RasterImageGS16 slow(fast);
        ImageProcessing::smoothenViaAverageFilter(&fast, n);
        reference::averageFilter(slow, n);
        ASSERT_EQ(firstDifference(fast, slow), "") << "w " << w << " h " << h << " n " << n;
    }
    // Sums that overflow 32 bits.
    RasterImageGS16 fast = randomRaster(rng, 70, 70, INT_MAX - 100, INT_MAX);
    RasterImageGS16 slow(fast);
    ImageProcessing::smoothenViaAverageFilter(&fast, 30);
    reference::averageFilter(slow, 30);
    EXPECT_EQ(firstDifference(fast, slow), "");
}

TEST(ImageProcessingCentreOfMass, WeightsByIntensityWithinTheClippedRectangle)
{
    RasterImageGS16 img(10, 8);
    img.setPixel(6, 3, 500);
    EXPECT_EQ(ImageProcessing::findCenterOfMass3D(&img, CRect(0, 0, 9, 7)), CPoint(6, 3));
    // Normalised and clipped: the same rectangle given backwards and oversized.
    EXPECT_EQ(ImageProcessing::findCenterOfMass3D(&img, CRect(40, 30, -5, -5)), CPoint(6, 3));

    img.setPixel(2, 3, 1500); // three times the weight at x = 2
    EXPECT_EQ(ImageProcessing::findCenterOfMass3D(&img, CRect(0, 0, 9, 7)), CPoint(3, 3));
    // The rectangle's last column is outside.
    EXPECT_EQ(ImageProcessing::findCenterOfMass3D(&img, CRect(0, 0, 6, 7)), CPoint(2, 3));
    // Nothing to weigh: the rectangle's centre instead of a division by zero.
    EXPECT_EQ(ImageProcessing::findCenterOfMass3D(&img, CRect(4, 4, 8, 7)), CPoint(6, 5));
}

TEST(ImageProcessingMinValue, LowersOnlyWhenSmallerAndStaysOnTheRaster)
{
    const RasterImageGS16 img = rasterOf(3, 2, {9, 8, 7, 6, 5, 1});
    int min = 100;
    ImageProcessing::getMinValue(&img, 0, 0, 2, 2, min); // column 2 excluded
    EXPECT_EQ(min, 5);
    min = 3;
    ImageProcessing::getMinValue(&img, 0, 0, 2, 2, min);
    EXPECT_EQ(min, 3);
    min = 100;
    ImageProcessing::getMinValue(&img, -4, -4, 50, 50, min);
    EXPECT_EQ(min, 1);
}

namespace {

// A bright disc of radius 6 at (20, 15) on a dark ground.
RasterImageGS16 discImage()
{
    RasterImageGS16 img(41, 31);
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 41; ++x) {
            const int dx = x - 20;
            const int dy = y - 15;
            img.setPixel(x, y, dx * dx + dy * dy <= 36 ? 1000 : 100);
        }
    return img;
}

} // namespace

TEST(ImageProcessingBoundary, RadialSearchStopsAtTheThresholdOnEveryRay)
{
    const RasterImageGS16 img = discImage();
    CPointArray out;
    ImageProcessing::findBroundryPoints(&img, CRect(0, 0, 41, 31), CPoint(20, 15), 0.5f, &out);
    ASSERT_EQ(out.GetSize(), 360);
    for (int a = 0; a < 360; ++a) {
        const CPoint p = out[a];
        const int d2 = (p.x - 20) * (p.x - 20) + (p.y - 15) * (p.y - 15);
        EXPECT_GT(d2, 36) << "angle " << a; // first pixel outside the disc
        EXPECT_LE(d2, 64) << "angle " << a;
        EXPECT_EQ(img.getPixel(p), 100);
    }
    EXPECT_EQ(out[0], CPoint(27, 15));
    EXPECT_EQ(out[90], CPoint(20, 22));
    EXPECT_EQ(out[180], CPoint(13, 15));
}

TEST(ImageProcessingBoundary, RadialSearchAlwaysGivesThreeHundredSixtyPoints)
{
    const RasterImageGS16 img = discImage();
    // Walks leave a small rectangle before finding the edge: the leaving point.
    CPointArray out;
    ImageProcessing::findBroundryPoints(&img, CRect(16, 12, 24, 18), CPoint(20, 15), 0.5f, &out);
    ASSERT_EQ(out.GetSize(), 360);
    EXPECT_EQ(out[0], CPoint(24, 15)); // right edge is outside
    EXPECT_EQ(out[180], CPoint(15, 15));

    // No radius at all (empty rectangle): (0, 0) each time.
    out.RemoveAll();
    ImageProcessing::findBroundryPoints(&img, CRect(5, 5, 5, 9), CPoint(5, 6), 0.5f, &out);
    ASSERT_EQ(out.GetSize(), 360);
    EXPECT_EQ(out[77], CPoint(0, 0));

    // Centre off the rectangle: every walk stops at once, on the centre.
    out.RemoveAll();
    ImageProcessing::findBroundryPoints(&img, CRect(0, 0, 10, 10), CPoint(20, 15), 0.5f, &out);
    ASSERT_EQ(out.GetSize(), 360);
    EXPECT_EQ(out[200], CPoint(20, 15));

    // A rectangle entirely off the raster and an empty raster do not read outside.
    out.RemoveAll();
    ImageProcessing::findBroundryPoints(&img, CRect(500, 500, 900, 900), CPoint(600, 600), 0.5f,
                                        &out);
    EXPECT_EQ(out.GetSize(), 360);
    const RasterImageGS16 empty;
    out.RemoveAll();
    ImageProcessing::findBroundryPoints(&empty, CRect(0, 0, 10, 10), CPoint(2, 2), 0.5f, &out);
    EXPECT_EQ(out.GetSize(), 360);
}

TEST(ImageProcessingBoundary, UpDownSearchOutlinesABlockAlongItsColumns)
{
    // Bright block, columns 5..9, rows 4..6, on a dark ground.
    RasterImageGS16 img(16, 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            img.setPixel(x, y, (x >= 5 && x <= 9 && y >= 4 && y <= 6) ? 900 : 50);
    CPointArray out;
    ImageProcessing::findBroundryPointsUpDown(&img, CRect(0, 0, 16, 12), CPoint(7, 5), 0.5f, &out);
    ASSERT_EQ(out.GetSize(), 10);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(out[i], CPoint(5 + i, 3)); // upper outline, left to right
        EXPECT_EQ(out[9 - i], CPoint(5 + i, 7)); // lower outline, right to left
    }

    // Centre outside the rectangle, or darker than its threshold: nothing.
    out.RemoveAll();
    ImageProcessing::findBroundryPointsUpDown(&img, CRect(0, 0, 4, 4), CPoint(7, 5), 0.5f, &out);
    EXPECT_EQ(out.GetSize(), 0);
    img.setPixel(3, 3, 40); // below the ground of 50: threshold 45
    ImageProcessing::findBroundryPointsUpDown(&img, CRect(0, 0, 16, 12), CPoint(3, 3), 0.5f, &out);
    EXPECT_EQ(out.GetSize(), 0);

    // A block reaching the rectangle's edges ends on the edges.
    ImageProcessing::findBroundryPointsUpDown(&img, CRect(6, 5, 9, 6), CPoint(7, 5), 0.5f, &out);
    ASSERT_EQ(out.GetSize(), 6);
    EXPECT_EQ(out[0], CPoint(6, 5));
    EXPECT_EQ(out[3], CPoint(8, 5));
}
