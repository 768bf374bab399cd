// End-to-end accuracy of the detection and measurement on synthetic gels with
// a known truth (tools/gelsynth), and one run on a real scan. The gels are
// clean: well-separated lanes and bands, a correct example band (one lane wide,
// two band heights high around a band), no smile; two of them carry a little
// noise (0.5 % of full scale).
//
// Each run prints its figures ("[ figures  ]" lines): lanes found, the worst
// border and centre errors, and the dilution series' correlation.

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/ReportOptions.h"
#include "analysis1d/engine/ReportTable.h"
#include "imaging/CDrawImage.h"
#include "imaging/RasterImageGS16.h"
#include "imaging/TVFImage.h"
#include "platform/ProfileStore.h"
#include "platform/Prompts.h"
#include "tools/gelsynth/GelSynth.h"

#include <QFile>
#include <QFileInfo>
#include <QRegion>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// The rows of the bands of every lane; FWHM 8 rows, 70 rows apart.
const std::vector<double> kBandRows = {60.0, 130.0, 200.0, 270.0};
constexpr double kBandHeight = 8.0;
constexpr int kLaneWidth = 40;
constexpr int kLaneSpacing = 64;
constexpr int kLeftMargin = 30;

struct GelCase
{
    int bits;
    bool darkBands;
    int lanes;
    double noise = 0.0; // standard deviation, as a fraction of full scale
};

std::string describe(const GelCase &c)
{
    return std::to_string(c.bits) + "bit_" + (c.darkBands ? "dark" : "light") + "_"
        + std::to_string(c.lanes) + "lanes" + (c.noise > 0.0 ? "_noisy" : "");
}

// Printed by name, not as raw bytes (the padding after darkBands is never set).
void PrintTo(const GelCase &c, std::ostream *os)
{
    *os << describe(c);
}

std::string caseName(const testing::TestParamInfo<GelCase> &info)
{
    return describe(info.param);
}

// Background and peak heights as fractions of full scale; a band's peak lies
// about amount / 315 above or below the background for lanes 40 wide and FWHM 8.
GelDescription describeGel(const GelCase &c, int height)
{
    GelDescription d;
    d.bits = c.bits;
    d.darkBands = c.darkBands;
    const int lanes = c.lanes;
    d.width = kLeftMargin + lanes * kLaneSpacing;
    d.height = height;
    d.background = (c.darkBands ? 0.85 : 0.1) * d.fullScale();
    d.noise = c.noise * d.fullScale();
    d.laneWidth = kLaneWidth;
    d.laneSpacing = kLaneSpacing;
    d.leftMargin = kLeftMargin;
    d.seed = 7;
    return d;
}

// Amount whose peak is 'fraction' of full scale above (or below) the background.
double amountForPeak(const GelDescription &d, double fraction)
{
    return fraction * d.fullScale() * 315.0;
}

class GelRun
{
public:
    explicit GelRun(const GelDescription &description) : m_gel(description)
    {
        m_gel.render();
        m_doc = std::make_unique<Analysis1DDoc>();
        m_analysis = std::make_unique<Analysis1D>();
        m_analysis->SetAnalysisDocument(m_doc.get());
        auto *drawImage = new CDrawImage;
        drawImage->Create(8, 8, 8, nullptr);
        *drawImage->GetImage() = m_gel.toBitmap();
        drawImage->SizeToImage();
        m_doc->Add(drawImage);
        m_analysis->SetAnalysisImage(drawImage->GetImage());
    }

    // Area inset a little from the picture's edges; the example band around the
    // first band of lane 1, as wide as the lane and two band heights high.
    void analyse(double threshold)
    {
        const GelDescription &d = m_gel.description();
        m_area = CRect(4, 6, d.width - 4, d.height - 6);
        m_doc->Add(new AnalysisArea(m_area, CRect(0, 0, d.width, d.height)));
        const GelTruthBand &example = m_gel.truth().bands.front();
        const GelTruthLane &lane = m_gel.truth().lanes.front();
        const int top = int(std::lround(example.centre - kBandHeight));
        m_doc->Add(
            new ExampleBand(CRect(lane.left, top, lane.right, top + 2 * int(kBandHeight)), m_area));
        m_analysis->WhiteOnBlackSet(d.darkBands ? 1 : 0);
        m_analysis->FinalizeAnalysisArea();
        ASSERT_NE(m_analysis->GetAnalysisRasterImage(), nullptr);
        m_analysis->DetectLanesAndBands(threshold);
        m_analysis->CalculateAnalysisData();
    }

    // The found lane nearest the truth lane's centre (gel pixels), or null.
    const Lane *laneFor(const GelTruthLane &truth) const
    {
        const Lane *best = nullptr;
        double bestDistance = 1e9;
        for (int i = 0; i < m_analysis->GetNumberOfLanes(); ++i) {
            const Lane &lane = m_analysis->GetLane(i);
            const double centre
                = (lane.m_position.left + lane.m_position.right) / 2.0 + m_area.left;
            const double distance = std::abs(centre - (truth.left + truth.right) / 2.0);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = &lane;
            }
        }
        return best;
    }

    // The band of the lane whose centre of gravity is nearest the row (gel pixels).
    const Band *bandFor(const Lane &lane, double row, double *distance) const
    {
        const Band *best = nullptr;
        *distance = 1e9;
        for (int i = 0; i < lane.GetNumberOfBands(); ++i) {
            const double y = lane.GetBand(i).getData()->m_centerOfGravity.y + m_area.top;
            if (std::abs(y - row) < *distance) {
                *distance = std::abs(y - row);
                best = &lane.GetBand(i);
            }
        }
        return best;
    }

    const GelSynth &gel() const { return m_gel; }
    Analysis1D &analysis() { return *m_analysis; }

private:
    GelSynth m_gel;
    std::unique_ptr<Analysis1DDoc> m_doc;
    std::unique_ptr<Analysis1D> m_analysis;
    CRect m_area;
};

double correlation(const std::vector<double> &x, const std::vector<double> &y)
{
    const double n = double(x.size());
    double mx = 0.0;
    double my = 0.0;
    for (size_t i = 0; i < x.size(); ++i) {
        mx += x[i];
        my += y[i];
    }
    mx /= n;
    my /= n;
    double sxy = 0.0;
    double sxx = 0.0;
    double syy = 0.0;
    for (size_t i = 0; i < x.size(); ++i) {
        sxy += (x[i] - mx) * (y[i] - my);
        sxx += (x[i] - mx) * (x[i] - mx);
        syy += (y[i] - my) * (y[i] - my);
    }
    return sxy / std::sqrt(sxx * syy);
}

// The documents read and write their options: give them a store of their own.
class ScopedMemoryStore
{
public:
    ScopedMemoryStore() : m_previous(ProfileStore::install(std::make_unique<MemoryProfileStore>()))
    { }
    ~ScopedMemoryStore() { ProfileStore::install(std::move(m_previous)); }

private:
    std::unique_ptr<ProfileStore> m_previous;
};

class SyntheticGelAccuracy : public testing::TestWithParam<GelCase>
{
protected:
    ScopedMemoryStore m_store;
    ScopedScriptedPrompts m_prompts;
};

// Every lane is found with its borders within a quarter lane width of the
// truth, and every band of moderate amount within 2 rows of its true centre.
TEST_P(SyntheticGelAccuracy, FindsEveryLaneAndBand)
{
    const GelCase c = GetParam();
    GelDescription d = describeGel(c, 330);
    for (int lane = 0; lane < c.lanes; ++lane) {
        GelLane gelLane;
        for (size_t b = 0; b < kBandRows.size(); ++b) {
            // Peaks between 25 % and 55 % of full scale, varying over the gel.
            const double fraction = 0.25 + 0.1 * double((lane + b) % 4);
            gelLane.bands.push_back({kBandRows[b], kBandHeight, amountForPeak(d, fraction), 0.0});
        }
        d.lanes.push_back(gelLane);
    }
    GelRun run(d);
    run.analyse(0.02);

    const auto &truth = run.gel().truth();
    EXPECT_EQ(run.analysis().GetNumberOfLanes(), c.lanes);
    double worstBorder = 0.0;
    double worstRow = 0.0;
    int missedBands = 0;
    for (const GelTruthLane &truthLane : truth.lanes) {
        SCOPED_TRACE(truthLane.lane);
        const Lane *lane = run.laneFor(truthLane);
        ASSERT_NE(lane, nullptr);
        // Gel pixels; the lane rectangle's right edge is exclusive, like the truth's.
        const int left = lane->m_position.left + 4;
        const int right = lane->m_position.right + 4;
        worstBorder = std::max({worstBorder, double(std::abs(left - truthLane.left)),
                                double(std::abs(right - truthLane.right))});
        EXPECT_LE(std::abs(left - truthLane.left), kLaneWidth / 4);
        EXPECT_LE(std::abs(right - truthLane.right), kLaneWidth / 4);
        for (const GelTruthBand &truthBand : truth.bands) {
            if (truthBand.lane != truthLane.lane)
                continue;
            double distance = 0.0;
            const Band *band = run.bandFor(*lane, truthBand.centre, &distance);
            if (!band || distance > 2.0)
                ++missedBands;
            else
                worstRow = std::max(worstRow, distance);
            EXPECT_LE(distance, 2.0) << "band at row " << truthBand.centre;
        }
        EXPECT_EQ(lane->GetNumberOfBands(), int(kBandRows.size()));
    }
    std::printf("[ figures  ] %s: %d of %d lanes found, worst border error %.0f px; "
                "%d bands missed, worst centre error %.1f rows\n",
                caseName(testing::TestParamInfo<GelCase>(c, 0)).c_str(),
                run.analysis().GetNumberOfLanes(), c.lanes, worstBorder, missedBands, worstRow);
}

// The intensities of a dilution series in one lane grow linearly with the
// amounts over a 20-fold range below saturation.
//
// In 8-bit gels the weakest band of the series (about 9 grey levels above the
// background) is lost: the search across the lane fits the slope of the
// band's row at every column and rounds those slopes to whole grey levels per
// column before it looks for their zero crossing, so a band less than about
// 10 grey levels high leaves only zero slopes and is dropped. There the
// series is checked over the bands of at least 12 grey levels (a 13-fold range).
TEST_P(SyntheticGelAccuracy, DilutionSeriesIsLinear)
{
    const GelCase c = GetParam();
    const std::vector<double> dilution = {1.0, 1.5, 2.3, 3.5, 5.3, 8.0, 12.0, 20.0};
    GelDescription d = describeGel(c, 420);
    // The strongest band peaks at 70 % of full scale above (or below) the
    // background, well clear of saturation; the weakest at 3.5 %.
    const double strongest = 0.7;
    const double unit = amountForPeak(d, strongest) / dilution.back();
    for (int lane = 0; lane < c.lanes; ++lane) {
        GelLane gelLane;
        for (size_t b = 0; b < dilution.size(); ++b) {
            const double amount = lane == 1 ? unit * dilution[b] : amountForPeak(d, 0.4);
            gelLane.bands.push_back({50.0 + 45.0 * double(b), kBandHeight, amount, 0.0});
        }
        d.lanes.push_back(gelLane);
    }
    GelRun run(d);
    run.analyse(0.02);

    const Lane *lane = run.laneFor(run.gel().truth().lanes[1]);
    ASSERT_NE(lane, nullptr);
    std::vector<double> amounts;
    std::vector<double> intensities;
    int missed = 0;
    for (const GelTruthBand &truthBand : run.gel().truth().bands) {
        if (truthBand.lane != 2)
            continue;
        const double peakLevels = strongest * d.fullScale() * truthBand.amount / (unit * 20.0);
        double distance = 0.0;
        const Band *band = run.bandFor(*lane, truthBand.centre, &distance);
        if (!band || distance > 2.0) {
            ++missed;
            EXPECT_LT(peakLevels, 12.0) << "amount " << truthBand.amount;
            continue;
        }
        amounts.push_back(truthBand.amount);
        intensities.push_back(band->getData()->m_intensity);
    }
    if (c.bits == 16) {
        EXPECT_EQ(missed, 0);
    }
    ASSERT_GE(amounts.size(), 7u);
    const double r = correlation(amounts, intensities);
    std::printf("[ figures  ] %s: dilution %.0f-fold measured (%d of %d bands lost), r = %.5f, "
                "intensity/amount %.3f (weakest) to %.3f (strongest)\n",
                caseName(testing::TestParamInfo<GelCase>(c, 0)).c_str(),
                amounts.back() / amounts.front(), missed, int(dilution.size()), r,
                intensities.front() / amounts.front(), intensities.back() / amounts.back());
    EXPECT_GE(r, 0.99);
}

INSTANTIATE_TEST_SUITE_P(CleanGels, SyntheticGelAccuracy,
                         testing::Values(GelCase {8, false, 6}, GelCase {8, true, 12},
                                         GelCase {16, false, 12}, GelCase {16, true, 6},
                                         GelCase {16, true, 9}, GelCase {16, false, 8, 0.005},
                                         GelCase {8, true, 8, 0.005}),
                         caseName);

// Saturation ----------------------------------------------------------------------

namespace {

constexpr double kClippedRow = 80.0;
constexpr double kNearFullRow = 200.0;

// Two lanes; lane 1 holds a band driven far past full scale and one whose
// extreme pixel is one grey level short of it, lane 2 two moderate bands.
// nearFullAmount is the amount of that second band.
GelDescription saturationGel(const GelCase &c, double nearFullAmount)
{
    GelDescription d = describeGel(c, 300);
    GelLane first;
    first.bands.push_back({kClippedRow, kBandHeight, amountForPeak(d, 1.6), 0.0});
    first.bands.push_back({kNearFullRow, kBandHeight, nearFullAmount, 0.0});
    GelLane second;
    second.bands.push_back({kClippedRow, kBandHeight, amountForPeak(d, 0.4), 0.0});
    second.bands.push_back({kNearFullRow, kBandHeight, amountForPeak(d, 0.4), 0.0});
    d.lanes = {first, second};
    return d;
}

// The extreme pixel of lane 1 around a row: the largest for light bands, the
// smallest for dark ones.
int extremeAt(const GelSynth &gel, double row)
{
    const GelDescription &d = gel.description();
    int extreme = d.darkBands ? d.fullScale() : 0;
    for (int y = int(row) - 10; y <= int(row) + 10; ++y) {
        for (int x = d.laneLeft(0); x < d.laneRight(0); ++x)
            extreme = d.darkBands ? std::min(extreme, gel.pixel(x, y))
                                  : std::max(extreme, gel.pixel(x, y));
    }
    return extreme;
}

// Pixels of the picture inside the band's contour (Qt's own winding-fill
// region of it, or the rectangle without one) that stand at full scale, or
// at 0 for dark bands.
int clippedPixelsOf(const GelSynth &gel, const Band &band, const CRect &area)
{
    const GelDescription &d = gel.description();
    const int clipped = d.darkBands ? 0 : d.fullScale();
    QRegion region;
    const bool haveRegion = band.getData()->getRegion(&region);
    CRect r = band.m_position;
    int count = 0;
    for (int y = std::max(r.top, 0); y <= r.bottom; ++y) {
        for (int x = std::max(r.left, 0); x <= r.right; ++x) {
            if (haveRegion && !region.contains(QPoint(x, y)))
                continue;
            const int gx = x + area.left;
            const int gy = y + area.top;
            if (gx < d.width && gy < d.height && gel.pixel(gx, gy) == clipped)
                ++count;
        }
    }
    return count;
}

} // namespace

class SaturationOnSyntheticGels : public testing::TestWithParam<GelCase>
{
protected:
    ScopedMemoryStore m_store;
    ScopedScriptedPrompts m_prompts;
};

// Exactly the clipped band is saturated, with as many pixels as its region
// holds at full scale (black for dark bands); the band one grey level short
// of full scale is not. The report lists the count in a "Saturated" column
// after the sixteen others, which a gel without saturation does not get.
TEST_P(SaturationOnSyntheticGels, OnlyTheClippedBandIsFlagged)
{
    const GelCase c = GetParam();
    // The amount whose extreme pixel lies one grey level inside full scale
    // (or above black), found by halving: the extreme moves with the amount.
    const GelDescription plain = saturationGel(c, 0.0);
    const int target = c.darkBands ? 1 : plain.fullScale() - 1;
    double low = amountForPeak(plain, 0.3);
    double high = amountForPeak(plain, 1.5);
    GelDescription wanted = plain;
    for (int step = 0; step < 60; ++step) {
        const double amount = (low + high) / 2.0;
        wanted = saturationGel(c, amount);
        GelSynth trial(wanted);
        trial.render();
        const int extreme = extremeAt(trial, kNearFullRow);
        if (extreme == target)
            break;
        const bool tooFar = c.darkBands ? extreme < target : extreme > target;
        (tooFar ? high : low) = amount;
    }

    GelRun run(wanted);
    const int nearFull = extremeAt(run.gel(), kNearFullRow);
    ASSERT_EQ(nearFull, c.darkBands ? 1 : wanted.fullScale() - 1);
    ASSERT_EQ(extremeAt(run.gel(), kClippedRow), c.darkBands ? 0 : wanted.fullScale());
    run.analyse(0.02);

    Analysis1D &analysis = run.analysis();
    ASSERT_EQ(analysis.GetNumberOfLanes(), 2);
    const CRect area = analysis.GetAnalysisArea()->m_position;
    const Lane *lane = run.laneFor(run.gel().truth().lanes[0]);
    ASSERT_NE(lane, nullptr);
    double distance = 0.0;
    const Band *clipped = run.bandFor(*lane, kClippedRow, &distance);
    ASSERT_NE(clipped, nullptr);
    ASSERT_LE(distance, 3.0);
    const Band *justBelow = run.bandFor(*lane, kNearFullRow, &distance);
    ASSERT_NE(justBelow, nullptr);
    ASSERT_LE(distance, 3.0);

    const int expected = clippedPixelsOf(run.gel(), *clipped, area);
    EXPECT_GT(expected, 10);
    EXPECT_EQ(clipped->GetSaturatedPixels(), expected);
    EXPECT_TRUE(clipped->IsSaturated());
    EXPECT_EQ(justBelow->GetSaturatedPixels(), 0);
    EXPECT_EQ(analysis.CountSaturatedBands(), 1);

    // Counting again on the same picture (as after loading) gives the same.
    analysis.CountSaturatedPixels();
    EXPECT_EQ(clipped->GetSaturatedPixels(), expected);
    EXPECT_EQ(analysis.CountSaturatedBands(), 1);

    ReportOptions options;
    ReportTable table = ReportTable::build(analysis, options, ReportTable::Mode::AllLanes);
    ASSERT_TRUE(table.hasSaturatedColumn());
    ASSERT_EQ(table.columnCount(), ReportTable::ColumnCount + 1);
    EXPECT_EQ(table.heading(ReportTable::ColSaturated), QStringLiteral("Saturated"));
    EXPECT_GT(table.width(ReportTable::ColSaturated), 0);
    EXPECT_EQ(table.saturatedRowCount(), 1);
    for (int row = 0; row < table.rowCount(); ++row) {
        const Band &band = analysis.GetLane(table.rowLane(row)).GetBand(table.rowBand(row));
        EXPECT_EQ(table.cell(row, ReportTable::ColSaturated),
                  &band == clipped ? QString::number(expected) : QString());
    }
    EXPECT_TRUE(table.toTsv().section(u'\n', 0, 0).endsWith(QStringLiteral("\tSaturated")));
    // Its own option hides it like any column.
    options.m_Saturated = 0;
    table = ReportTable::build(analysis, options, ReportTable::Mode::AllLanes);
    EXPECT_EQ(table.width(ReportTable::ColSaturated), 0);
    EXPECT_FALSE(table.toTsv().contains(QStringLiteral("Saturated")));

    // Without the clipped band nothing is saturated and the table is the classic one.
    for (Lane &l : *analysis.GetLanes()) {
        for (Band &b : *l.GetBands())
            b.getData()->m_saturatedPixels = 0;
    }
    table = ReportTable::build(analysis, ReportOptions(), ReportTable::Mode::AllLanes);
    EXPECT_FALSE(table.hasSaturatedColumn());
    EXPECT_EQ(table.columnCount(), ReportTable::ColumnCount);
}

INSTANTIATE_TEST_SUITE_P(ClippedGels, SaturationOnSyntheticGels,
                         testing::Values(GelCase {16, false, 2}, GelCase {8, false, 2},
                                         GelCase {16, true, 2}, GelCase {8, true, 2}),
                         caseName);

// A real RNA gel (dark bands on light, first lane a size marker): the lanes are
// found across it.
TEST(RealGelScan, LanesAreFoundAcrossTheGel)
{
    const QString path = QStringLiteral("../shared/gels/10_ornelles_rna_gel.tif");
    if (!QFileInfo::exists(path))
        GTEST_SKIP() << "no real scans beside the repository";
    ScopedMemoryStore store;
    ScopedScriptedPrompts prompts;
    {
        Analysis1DDoc doc;
        QFile file(path);
        ASSERT_GT(doc.CreateImageObject(&file), 0);
        Analysis1D analysis;
        analysis.SetAnalysisDocument(&doc);
        analysis.SetAnalysisImage(doc.GetImage());
        const CRect area(60, 140, 1290, 560);
        doc.Add(new AnalysisArea(area, CRect(0, 0, 1312, 628)));
        doc.Add(new ExampleBand(CRect(320, 298, 415, 322), area));
        analysis.WhiteOnBlackSet(1);
        analysis.FinalizeAnalysisArea();
        analysis.DetectLanesAndBands(0.05);
        analysis.CalculateAnalysisData();
        std::printf("[ figures  ] real RNA gel: %d lanes found:", analysis.GetNumberOfLanes());
        for (int i = 0; i < analysis.GetNumberOfLanes(); ++i) {
            const Lane &lane = analysis.GetLane(i);
            std::printf(" %d-%d (%d bands)", lane.m_position.left + area.left,
                        lane.m_position.right + area.left, lane.GetNumberOfBands());
        }
        std::printf("\n");
        // The marker lane, the two sample lanes beside it and the last lane
        // carry clear bands; each is covered by a lane found.
        for (const int centre : {127, 368, 492, 1203}) {
            SCOPED_TRACE(centre);
            bool covered = false;
            for (int i = 0; i < analysis.GetNumberOfLanes(); ++i) {
                const Lane &lane = analysis.GetLane(i);
                if (lane.m_position.left + area.left <= centre
                    && centre < lane.m_position.right + area.left) {
                    covered = true;
                    EXPECT_GE(lane.GetNumberOfBands(), 2);
                }
            }
            EXPECT_TRUE(covered);
        }
    }
}

} // namespace
