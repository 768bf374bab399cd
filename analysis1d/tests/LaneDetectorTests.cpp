#include "analysis1d/engine/LaneDetector.h"
#include "analysis1d/engine/X2YProjection.h"
#include "imaging/RasterImageGS16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

// A gel of 'lanes' bright lanes on a dark background, each lane 'laneWidth'
// columns wide with a few bands down it, lanes 'gap' columns apart. The
// analysis area starts and ends half a gap beyond the outer lanes, as users
// draw it.
struct SyntheticGel
{
    SyntheticGel(int lanes, int laneWidth, int gap, int height = 120)
        : laneWidth(laneWidth), gap(gap), margin(gap / 2)
    {
        const int width = 2 * margin + lanes * laneWidth + (lanes - 1) * gap;
        image = RasterImageGS16(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, 1200);
        for (int l = 0; l < lanes; ++l) {
            const int left = margin + l * (laneWidth + gap);
            firstColumns.push_back(left);
            // Bands at rows that differ from lane to lane.
            const int rows[] = {10 + 3 * l, 45 + 2 * l, 80 - l};
            for (int x = left; x < left + laneWidth; ++x) {
                // Lanes fade out over two columns at each side, as real lanes
                // do (a perfectly sharp edge puts the t maximum on a plateau).
                const int fromEdge = std::min(x - left, left + laneWidth - 1 - x);
                const double f = fromEdge == 0 ? 0.25 : fromEdge == 1 ? 0.6 : 1.0;
                auto level = [f](int v) { return 1200 + int(std::lround(f * (v - 1200))); };
                for (int y = 0; y < height; ++y)
                    image.setPixel(x, y, level(2500));
                for (const int top : rows)
                    for (int y = top; y < top + 8 && y < height; ++y)
                        image.setPixel(x, y, level(30000 + 1000 * l));
            }
        }
    }

    int laneWidth;
    int gap;
    int margin;
    RasterImageGS16 image;
    std::vector<int> firstColumns;
};

// A detector whose t series is set by hand, to exercise the border search.
struct HandMadeSeries
{
    explicit HandMadeSeries(int width) : image(width, 5), detector(&image) { }

    void set(const std::vector<std::pair<int, double>> &values)
    {
        std::vector<double> &t = detector.GetProjection()->GetTValues();
        std::fill(t.begin(), t.end(), 0.0);
        for (const auto &[x, v] : values)
            t[size_t(x)] = v;
    }

    RasterImageGS16 image;
    LaneDetector detector;
};

} // namespace

TEST(X2YProjection, ColumnSpreadIsTheSampleDeviationOfPaddedColumns)
{
    // Columns: 0 = {0, 2, 4, 6}, 1 = {1, 1, 1, 1}, 2 = {10, 0, 10, 0}.
    RasterImageGS16 image(3, 4);
    const int values[4][3] = {{0, 1, 10}, {2, 1, 0}, {4, 1, 10}, {6, 1, 0}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            image.setPixel(x, y, values[y][x]);
    const X2YProjection projection(&image);
    const std::vector<double> &s = projection.GetColumnSpread();
    ASSERT_EQ(s.size(), 203u);
    auto deviation = [](std::vector<double> v) {
        double mean = 0;
        for (double x : v)
            mean += x;
        mean /= double(v.size());
        double q = 0;
        for (double x : v)
            q += (x - mean) * (x - mean);
        return std::sqrt(q / double(v.size() - 1));
    };
    EXPECT_DOUBLE_EQ(s[100], deviation({0, 2, 4, 6}));
    EXPECT_DOUBLE_EQ(s[101], 0.0);
    EXPECT_DOUBLE_EQ(s[102], deviation({10, 0, 10, 0}));
    // Left padding: rounded mean of the first two columns {1, 2, 3, 4} (0.5 rounds up).
    EXPECT_DOUBLE_EQ(s[0], deviation({1, 2, 3, 4}));
    EXPECT_DOUBLE_EQ(s[99], s[0]);
    // Right padding: rounded mean of the last two columns {6, 1, 6, 1}.
    EXPECT_DOUBLE_EQ(s[103], deviation({6, 1, 6, 1}));
    EXPECT_DOUBLE_EQ(s[202], s[103]);

    // Slope: zero at both ends, elsewhere below the threshold only as 0.
    const std::vector<double> &d = projection.GetSlope();
    EXPECT_EQ(d.front(), 0.0);
    EXPECT_EQ(d.back(), 0.0);
    for (size_t p = 1; p + 1 < d.size(); ++p)
        EXPECT_TRUE(d[p] == 0.0 || std::fabs(d[p]) >= 5.0) << p;
    EXPECT_DOUBLE_EQ(d[100], (s[101] - s[99]) * 20.0);
}

// The spread taken row by row is the column walk's, bit for bit: each
// column adds its values in the same order. The walk is kept here as the
// reference.
TEST(X2YProjection, ColumnSpreadRowByRowIsTheColumnWalks)
{
    std::mt19937 random(3);
    for (const auto &[w, h] : {std::pair {37, 53}, std::pair {1, 9}, std::pair {2, 2}}) {
        RasterImageGS16 image(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, int(random() % 65536));
        const X2YProjection projection(&image);
        const std::vector<double> &s = projection.GetColumnSpread();
        const auto padded = [&](int p, int y) {
            if (p < X2YProjection::kPadding)
                return int(std::floor(
                    (image.getPixel(0, y) + image.getPixel(std::min(1, w - 1), y)) * 0.5 + 0.5));
            if (p > w + X2YProjection::kPadding - 1)
                return int(std::floor(
                    (image.getPixel(w - 1, y) + image.getPixel(std::max(w - 2, 0), y)) * 0.5
                    + 0.5));
            return image.getPixel(p - X2YProjection::kPadding, y);
        };
        ASSERT_EQ(s.size(), size_t(w + 2 * X2YProjection::kPadding));
        for (int p = 0; p < int(s.size()); ++p) {
            double sum = 0.0;
            for (int y = 0; y < h; ++y)
                sum += padded(p, y);
            const double mean = sum / h;
            double squares = 0.0;
            for (int y = 0; y < h; ++y) {
                const double d = padded(p, y) - mean;
                squares += d * d;
            }
            ASSERT_EQ(s[size_t(p)], std::sqrt(squares / (h - 1))) << w << " x " << h << ", " << p;
        }
    }
}

TEST(X2YProjection, DegenerateImagesGiveNoSpreadAndNoCrash)
{
    RasterImageGS16 oneRow(10, 1);
    for (int x = 0; x < 10; ++x)
        oneRow.setPixel(x, 0, x * 100);
    const X2YProjection flat(&oneRow);
    for (double v : flat.GetColumnSpread())
        EXPECT_EQ(v, 0.0);

    RasterImageGS16 oneColumn(1, 6);
    for (int y = 0; y < 6; ++y)
        oneColumn.setPixel(0, y, y * 7);
    LaneDetector detector(&oneColumn);
    detector.detect(4);
    ASSERT_EQ(detector.GetNumberOfLanes(), 1);
    EXPECT_EQ(detector.GetLane(0), HorizontalBoundary(0, 0));

    // A lane width too small for the t statistic finds nothing, so the whole
    // image is one lane.
    SyntheticGel gel(3, 20, 20);
    LaneDetector tiny(&gel.image);
    tiny.detect(0);
    ASSERT_EQ(tiny.GetNumberOfLanes(), 1);
    EXPECT_EQ(tiny.GetLane(0), HorizontalBoundary(0, gel.image.getWidth() - 1));
}

TEST(LaneDetector, EqualColumnsGiveTheWholeAreaAsOneLane)
{
    // Every column alike (a vertical gradient): no column varies more than another.
    RasterImageGS16 image(80, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            image.setPixel(x, y, 1000 + 37 * y);
    LaneDetector detector(&image);
    detector.detect(16, QStringLiteral("ignored title"));
    EXPECT_TRUE(detector.GetPeaksAndValleys().empty());
    ASSERT_EQ(detector.GetNumberOfLanes(), 1);
    EXPECT_EQ(detector.GetLane(0), HorizontalBoundary(0, 79));
    EXPECT_THROW(detector.GetLane(1), CInvalidArgException);
}

TEST(LaneDetector, PeaksAndValleysAreStrictExtremaAndAValleyMayFollowAPeakDirectly)
{
    HandMadeSeries series(12);
    // 1: peak, 2: valley right after it; 5-6: a plateau (nothing); 9: valley.
    series.set({{1, 5.0}, {2, -5.0}, {5, 3.0}, {6, 3.0}, {9, -2.0}});
    series.detector.findPreliminaryLaneBordersFromt_Values(10.0);
    const auto &records = series.detector.GetPeaksAndValleys();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].position, 1);
    EXPECT_EQ(records[0].kind, +1);
    EXPECT_EQ(records[1].position, 2);
    EXPECT_EQ(records[1].kind, -1);
    EXPECT_EQ(records[2].position, 9);
    EXPECT_EQ(records[2].kind, -1);
    EXPECT_DOUBLE_EQ(records[2].value, -2.0);
    for (const auto &r : records)
        EXPECT_EQ(r.used, 1);
}

TEST(LaneDetector, PairingRules)
{
    const double h = 10.0; // lanes need at least 0.3 * 2h = 6 columns
    {
        // Two peaks in a row: the first is skipped, the second pairs.
        HandMadeSeries series(60);
        series.set({{5, 10.0}, {9, 8.0}, {20, -10.0}, {40, -1.0}});
        series.detector.findPreliminaryLaneBordersFromt_Values(h);
        ASSERT_EQ(series.detector.GetNumberOfLanes(), 1);
        EXPECT_EQ(series.detector.GetLane(0), HorizontalBoundary(9, 20));
    }
    {
        // A valley too close to its peak is no lane; the scan goes on with the
        // valley and its successor, and a later pair still counts. Exactly 6
        // columns is wide enough.
        HandMadeSeries series(60);
        series.set({{5, 10.0}, {7, -10.0}, {12, 9.0}, {18, -9.0}, {30, 9.0}, {40, -9.0}});
        series.detector.findPreliminaryLaneBordersFromt_Values(h);
        ASSERT_EQ(series.detector.GetNumberOfLanes(), 2);
        EXPECT_EQ(series.detector.GetLane(0), HorizontalBoundary(12, 18));
        EXPECT_EQ(series.detector.GetLane(1), HorizontalBoundary(30, 40));
    }
    {
        // The last two records are a lane as well (the rightmost lane's borders).
        HandMadeSeries series(60);
        series.set({{10, 10.0}, {25, -10.0}, {35, 10.0}, {50, -10.0}});
        series.detector.findPreliminaryLaneBordersFromt_Values(h);
        ASSERT_EQ(series.detector.GetNumberOfLanes(), 2);
        EXPECT_EQ(series.detector.GetLane(1), HorizontalBoundary(35, 50));
    }
    {
        // Nothing pairs (valley before peak, too close): the fallback lane.
        HandMadeSeries series(60);
        series.set({{10, -10.0}, {25, 10.0}, {28, -10.0}});
        series.detector.findPreliminaryLaneBordersFromt_Values(h);
        ASSERT_EQ(series.detector.GetNumberOfLanes(), 1);
        EXPECT_EQ(series.detector.GetLane(0), HorizontalBoundary(0, 59));
    }
    {
        // A second search replaces the lanes of the first.
        HandMadeSeries series(60);
        series.set({{10, 10.0}, {25, -10.0}});
        series.detector.findPreliminaryLaneBordersFromt_Values(h);
        series.detector.findPreliminaryLaneBordersFromt_Values(h);
        EXPECT_EQ(series.detector.GetNumberOfLanes(), 1);
    }
}

TEST(LaneDetector, FindsEveryLaneOfASyntheticGelIncludingTheRightmost)
{
    struct Case
    {
        int lanes, laneWidth, gap;
    };
    const Case cases[] = {{3, 20, 20}, {5, 16, 12}, {6, 24, 18}, {4, 30, 14}, {2, 18, 22}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.lanes << " lanes of " << c.laneWidth << ", gap " << c.gap);
        SyntheticGel gel(c.lanes, c.laneWidth, c.gap);
        const int width = gel.image.getWidth();
        LaneDetector detector(&gel.image);
        detector.detect(c.laneWidth);
        ASSERT_EQ(detector.GetNumberOfLanes(), c.lanes);
        for (int l = 0; l < c.lanes; ++l) {
            const HorizontalBoundary &lane = detector.GetLane(l);
            const int first = gel.firstColumns[size_t(l)];
            const int last = first + c.laneWidth - 1;
            // Borders lie at the lane's edges, within a few columns (the t
            // windows are wider than a narrow gap, which pulls them inwards).
            const int tolerance = std::max(3, c.laneWidth / 6);
            EXPECT_NEAR(lane.GetLeft(), first, tolerance) << "lane " << l;
            EXPECT_NEAR(lane.GetRight(), last, tolerance) << "lane " << l;
            EXPECT_GE(lane.GetRight() - lane.GetLeft(), 1);
            EXPECT_GE(lane.GetLeft(), 1);
            EXPECT_LE(lane.GetRight(), width - 2);
        }
        // The rightmost lane's borders are the last two records of the search:
        // the pair a search that stops before the last pair would never see.
        const auto &records = detector.GetPeaksAndValleys();
        ASSERT_GE(records.size(), 2u);
        EXPECT_EQ(records[records.size() - 2].kind, +1);
        EXPECT_EQ(records.back().kind, -1);
        EXPECT_EQ(records.back().position, detector.GetLane(c.lanes - 1).GetRight());
    }
}
