#include "analysis1d/calibration/CalibrationManager.h"
#include "analysis1d/calibration/CalibrationQuality.h"
#include "analysis1d/calibration/MWLadder.h"
#include "analysis1d/calibration/MWManager.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Lane.h"
#include "analysis1d/engine/ReportOptions.h"
#include "analysis1d/engine/ReportTable.h"
#include "data/CDoubleDataArray.h"
#include "platform/CArchive.h"

#include <QBuffer>
#include <QByteArray>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

struct BandSpec
{
    double intensity = 0.0;
    int row = 0;
    double knownAmount = -1.0; // < 0: none
    double knownMW = -1.0;     // < 0: none
};

Lane makeLane(const std::vector<BandSpec> &bands)
{
    Lane lane;
    for (const BandSpec &wanted : bands) {
        Band band;
        BandData *d = band.getData();
        d->m_intensity = wanted.intensity;
        d->m_centerOfGravity = CPoint(5, wanted.row);
        if (wanted.knownAmount >= 0) {
            d->m_hasKnownIntensity = true;
            d->m_knownIntensity = wanted.knownAmount;
        }
        if (wanted.knownMW >= 0) {
            d->m_hasKnownMW = true;
            d->m_knownMW = wanted.knownMW;
        }
        lane.InsertBand(band, lane.GetNumberOfBands());
    }
    return lane;
}

const BandData &data(const CArray<Lane> &lanes, int lane, int band)
{
    return *lanes[lane].GetBand(band).getData();
}

// Gives every band calibrated values, so a test sees them being cleared.
void dirty(CArray<Lane> &lanes)
{
    for (Lane &lane : lanes) {
        for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
            lane.GetBand(b).getData()->m_calibratedIntensity = 7;
            lane.GetBand(b).getData()->m_calibratedIntensityPercentage = 7;
            lane.GetBand(b).getData()->m_calibratedMW = 7;
        }
    }
}

QByteArray store(CalibrationManager &manager)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CArchive ar(&buffer, CArchive::store);
    ar.WriteObject(&manager);
    return buffer.data();
}

std::unique_ptr<CalibrationManager> load(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    return std::unique_ptr<CalibrationManager>(ar.ReadObjectAs<CalibrationManager>());
}

void appendTag(QByteArray &out, const char *className, uint16_t schema)
{
    const uint16_t tag = 0xFFFF;
    const uint16_t len = uint16_t(strlen(className));
    out.append(reinterpret_cast<const char *>(&tag), 2);
    out.append(reinterpret_cast<const char *>(&schema), 2);
    out.append(reinterpret_cast<const char *>(&len), 2);
    out.append(className, len);
}

template<typename T>
void appendRaw(QByteArray &out, T value)
{
    out.append(reinterpret_cast<const char *>(&value), sizeof(T));
}

} // namespace

// Intensity calibration -------------------------------------------------------------

TEST(CalibrationManagerTest, NewManagerUsesLinearCurvesAndOwnsALadderManager)
{
    CalibrationManager manager;
    EXPECT_EQ(manager.GetIntensityCurveType(), CalibrationManager::CurveLinear);
    EXPECT_EQ(manager.GetMWCurveType(), CalibrationManager::CurveLinear);
    EXPECT_EQ(manager.GetAnalysis(), nullptr);
    ASSERT_NE(manager.GetMWManager(), nullptr);
    EXPECT_EQ(manager.GetMWManager()->GetAnalysis(), nullptr);
}

TEST(CalibrationManagerTest, OneKnownAmountUnderALinearCurveCalibratesNothing)
{
    CArray<Lane> lanes;
    lanes.Add(makeLane({{100, 10, 5.0}, {200, 20}}));
    lanes.Add(makeLane({{300, 15}}));
    dirty(lanes);
    CalibrationManager manager;
    CDoubleDataArray coefficients;
    coefficients.Add(1.0);
    EXPECT_EQ(manager.FitIntensityCurve(lanes, coefficients), 0);
    EXPECT_EQ(coefficients.GetSize(), 0);
    manager.CalibrateIntensities(lanes);
    for (int l = 0; l < 2; ++l) {
        for (int b = 0; b < lanes[l].GetNumberOfBands(); ++b) {
            EXPECT_EQ(data(lanes, l, b).m_calibratedIntensity, 0.0);
            EXPECT_EQ(data(lanes, l, b).m_calibratedIntensityPercentage, 0.0);
        }
    }
}

TEST(CalibrationManagerTest, CurveTypeNoneClearsAndFitsNothing)
{
    CArray<Lane> lanes;
    lanes.Add(makeLane({{1, 10, 1.0, 100}, {2, 20, 2.0, 50}, {3, 30, 3.0, 25}}));
    dirty(lanes);
    CalibrationManager manager;
    manager.SetIntensityCurveType(CalibrationManager::CurveNone);
    manager.SetMWCurveType(CalibrationManager::CurveNone);
    CDoubleDataArray coefficients;
    EXPECT_EQ(manager.FitIntensityCurve(lanes, coefficients), 0);
    EXPECT_EQ(manager.FitMWCurve(lanes, coefficients), 0);
    manager.CalibrateIntensities(lanes);
    manager.CalibrateMolecularWeights(lanes);
    for (int b = 0; b < 3; ++b) {
        EXPECT_EQ(data(lanes, 0, b).m_calibratedIntensity, 0.0);
        EXPECT_EQ(data(lanes, 0, b).m_calibratedIntensityPercentage, 0.0);
        EXPECT_EQ(data(lanes, 0, b).m_calibratedMW, 0.0);
    }
}

TEST(CalibrationManagerTest, ThreeKnownAmountsNeedASecondOrderCurveNotAThirdOrderOne)
{
    CArray<Lane> lanes;
    // Known amounts on y = 1 + x^2 at x = 1, 2, 3; a fourth band without one.
    lanes.Add(makeLane({{1, 0, 2.0}, {2, 0, 5.0}, {3, 0, 10.0}, {4, 0}}));
    CalibrationManager manager;
    manager.SetIntensityCurveType(CalibrationManager::CurveThirdOrder);
    CDoubleDataArray coefficients;
    EXPECT_EQ(manager.FitIntensityCurve(lanes, coefficients), 0);
    manager.CalibrateIntensities(lanes);
    EXPECT_EQ(data(lanes, 0, 3).m_calibratedIntensity, 0.0);

    manager.SetIntensityCurveType(CalibrationManager::CurveSecondOrder);
    ASSERT_EQ(manager.FitIntensityCurve(lanes, coefficients), 1);
    ASSERT_EQ(coefficients.GetSize(), 4); // c0, c1, c2, r
    EXPECT_NEAR(coefficients[0], 1.0, 1e-9);
    EXPECT_NEAR(coefficients[1], 0.0, 1e-9);
    EXPECT_NEAR(coefficients[2], 1.0, 1e-9);
    EXPECT_NEAR(coefficients[3], 1.0, 1e-9);
    manager.CalibrateIntensities(lanes);
    // The band without a known amount is calibrated too.
    EXPECT_NEAR(data(lanes, 0, 3).m_calibratedIntensity, 17.0, 1e-9);
    EXPECT_NEAR(data(lanes, 0, 1).m_calibratedIntensity, 5.0, 1e-9);
}

TEST(CalibrationManagerTest, PercentagesAreSharesOfEachLanesTotalTimesHundred)
{
    CArray<Lane> lanes;
    // Lane 0 carries the known amounts (an identity line); lanes 1 and 2 have none.
    lanes.Add(makeLane({{3, 0, 3.0}, {1, 0, 1.0}}));
    lanes.Add(makeLane({{0.456, 0}, {99.544, 0}}));
    lanes.Add(makeLane({{45.678, 0}, {54.322, 0}}));
    CalibrationManager manager;
    manager.CalibrateIntensities(lanes);

    EXPECT_DOUBLE_EQ(data(lanes, 0, 0).m_calibratedIntensity, 3.0);
    EXPECT_DOUBLE_EQ(data(lanes, 0, 1).m_calibratedIntensity, 1.0);
    EXPECT_DOUBLE_EQ(data(lanes, 0, 0).m_calibratedIntensityPercentage, 75.0);
    EXPECT_DOUBLE_EQ(data(lanes, 0, 1).m_calibratedIntensityPercentage, 25.0);
    // Values up to 1 are rounded to two decimals, larger ones are kept.
    EXPECT_DOUBLE_EQ(data(lanes, 1, 0).m_calibratedIntensityPercentage, 0.46);
    EXPECT_NEAR(data(lanes, 1, 1).m_calibratedIntensityPercentage, 99.544, 1e-9);
    EXPECT_NEAR(data(lanes, 2, 0).m_calibratedIntensityPercentage, 45.678, 1e-9);
    EXPECT_NE(data(lanes, 2, 0).m_calibratedIntensityPercentage, 45.68);
}

TEST(CalibrationManagerTest, PointsComeFromEveryLaneInOrder)
{
    CArray<Lane> lanes;
    lanes.Add(makeLane({{10, 5, 1.0, 900}, {20, 6}}));
    lanes.Add(makeLane({{30, 7}}));
    lanes.Add(makeLane({{40, 8, 4.0}, {50, 9, -1, 300}, {60, 11, 6.0}}));
    CDoubleDataArray x;
    CDoubleDataArray y;
    x.Add(99);
    CalibrationManager::GetIntensityCalibrationPoints(lanes, x, y);
    EXPECT_EQ(x.vector(), (std::vector<double>{10, 40, 60}));
    EXPECT_EQ(y.vector(), (std::vector<double>{1, 4, 6}));
    CalibrationManager::GetMWCalibrationPoints(lanes, x, y);
    EXPECT_EQ(x.vector(), (std::vector<double>{5, 9}));
    EXPECT_EQ(y.vector(), (std::vector<double>{900, 300}));

    // Lane 1 has no known value of its own and is still calibrated.
    CalibrationManager manager;
    manager.CalibrateIntensities(lanes);
    EXPECT_NE(data(lanes, 1, 0).m_calibratedIntensity, 0.0);
    EXPECT_DOUBLE_EQ(data(lanes, 1, 0).m_calibratedIntensityPercentage, 100.0);
}

TEST(CalibrationManagerTest, ZeroLaneTotalGivesZeroPercentages)
{
    CArray<Lane> lanes;
    // y = x - 10: the second lane's bands calibrate to -5 and +5.
    lanes.Add(makeLane({{10, 0, 0.0}, {20, 0, 10.0}}));
    lanes.Add(makeLane({{5, 0}, {15, 0}}));
    CalibrationManager manager;
    manager.CalibrateIntensities(lanes);
    EXPECT_DOUBLE_EQ(data(lanes, 1, 0).m_calibratedIntensity, -5.0);
    EXPECT_EQ(data(lanes, 1, 0).m_calibratedIntensityPercentage, 0.0);
    EXPECT_EQ(data(lanes, 1, 1).m_calibratedIntensityPercentage, 0.0);
}

TEST(CalibrationManagerTest, LogarithmicCurveAtZeroIsNotFinite)
{
    CArray<Lane> lanes;
    lanes.Add(makeLane({{1, 0, 1.0}, {std::exp(1.0), 0, 2.0}, {0, 0}}));
    CalibrationManager manager;
    manager.SetIntensityCurveType(CalibrationManager::CurveLogarithmic);
    manager.CalibrateIntensities(lanes);
    EXPECT_NEAR(data(lanes, 0, 1).m_calibratedIntensity, 2.0, 1e-12);
    EXPECT_FALSE(std::isfinite(data(lanes, 0, 2).m_calibratedIntensity));
}

// Molecular-weight calibration -----------------------------------------------------

TEST(CalibrationManagerTest, MolecularWeightIsFittedAgainstTheAbsoluteCentreRow)
{
    CArray<Lane> lanes;
    // MW = 1000 - 10 * row.
    lanes.Add(makeLane({{0, 10, -1, 900}, {0, 50, -1, 500}}));
    lanes.Add(makeLane({{0, 30}, {0, 70}}));
    for (Lane &lane : lanes) {
        for (int b = 0; b < lane.GetNumberOfBands(); ++b)
            lane.GetBand(b).getData()->m_relativeMigration = 0.123 * (b + 1);
    }
    dirty(lanes);
    CalibrationManager manager;
    CDoubleDataArray coefficients;
    ASSERT_EQ(manager.FitMWCurve(lanes, coefficients), 1);
    EXPECT_NEAR(coefficients[0], 1000.0, 1e-9);
    EXPECT_NEAR(coefficients[1], -10.0, 1e-9);
    manager.CalibrateMolecularWeights(lanes);
    EXPECT_NEAR(data(lanes, 1, 0).m_calibratedMW, 700.0, 1e-9);
    EXPECT_NEAR(data(lanes, 1, 1).m_calibratedMW, 300.0, 1e-9);
    EXPECT_NEAR(data(lanes, 0, 0).m_calibratedMW, 900.0, 1e-9);
    // The intensity side is left alone.
    EXPECT_EQ(data(lanes, 0, 0).m_calibratedIntensity, 7.0);

    // Too few points: every calibrated weight is cleared.
    lanes[0].GetBand(1).getData()->m_hasKnownMW = false;
    manager.CalibrateMolecularWeights(lanes);
    EXPECT_EQ(data(lanes, 1, 0).m_calibratedMW, 0.0);
}

TEST(CalibrationManagerTest, CurveHelpers)
{
    EXPECT_EQ(CalibrationManager::MinimumPoints(1), 2);
    EXPECT_EQ(CalibrationManager::MinimumPoints(2), 3);
    EXPECT_EQ(CalibrationManager::MinimumPoints(3), 4);
    EXPECT_EQ(CalibrationManager::MinimumPoints(4), 2);
    EXPECT_EQ(CalibrationManager::MinimumPoints(0), 0);
    EXPECT_EQ(CalibrationManager::CurveLabel(2), QStringLiteral("Second Order Polynomial"));
    EXPECT_EQ(CalibrationManager::CurveLabel(4), QStringLiteral("Logarithmic"));
    CDoubleDataArray x;
    CDoubleDataArray y;
    CDoubleDataArray c;
    x.Add(1);
    y.Add(1);
    c.Add(5);
    EXPECT_EQ(CalibrationManager::Fit(9, x, y, c), 0);
    EXPECT_EQ(c.GetSize(), 0);
    EXPECT_THROW(CalibrationManager::Evaluate(3, c, 1.0), CInvalidArgException);
}

// The analysis's own lanes -----------------------------------------------------------

TEST(CalibrationManagerTest, WorksOnTheOwningAnalysisLanes)
{
    Analysis1D analysis;
    CalibrationManager *manager = analysis.GetCalibrationManager();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->GetAnalysis(), &analysis);
    EXPECT_EQ(manager->GetMWManager()->GetAnalysis(), &analysis);
    analysis.GetLanes()->Add(makeLane({{3, 10, 3.0, 200}, {1, 20, 1.0, 100}}));
    manager->CalibrateIntensities();
    manager->CalibrateMolecularWeights();
    EXPECT_DOUBLE_EQ(data(*analysis.GetLanes(), 0, 0).m_calibratedIntensityPercentage, 75.0);
    EXPECT_NEAR(data(*analysis.GetLanes(), 0, 1).m_calibratedMW, 100.0, 1e-9);
    CDoubleDataArray x;
    CDoubleDataArray y;
    manager->GetMWCalibrationPoints(x, y);
    EXPECT_EQ(x.vector(), (std::vector<double>{10, 20}));

    // Without an analysis there is nothing to fit or calibrate.
    CalibrationManager lone;
    CDoubleDataArray c;
    EXPECT_EQ(lone.FitIntensityCurve(c), 0);
    lone.CalibrateIntensities();
}

// Stored form ---------------------------------------------------------------------------

TEST(CalibrationManagerTest, StoredBytesAndRoundTrip)
{
    CalibrationManager manager;
    manager.SetIntensityCurveType(2);
    manager.SetMWCurveType(4);
    const QByteArray bytes = store(manager);

    QByteArray expected;
    appendTag(expected, "CalibrationManager", 0);
    appendTag(expected, "MWManager", 1);
    appendRaw<int32_t>(expected, 2);
    appendRaw<int32_t>(expected, 4);
    EXPECT_EQ(bytes.toHex(), expected.toHex());

    const auto loaded = load(bytes);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetIntensityCurveType(), 2);
    EXPECT_EQ(loaded->GetMWCurveType(), 4);
    EXPECT_NE(loaded->GetMWManager(), nullptr);
}

TEST(CalibrationManagerTest, StoredCurveTypeOutsideOneToFourReadsAsNone)
{
    for (const auto &[stored, expected] :
         std::vector<std::pair<int32_t, int>>{{7, 0}, {-1, 0}, {0, 0}, {5, 0}, {3, 3}}) {
        QByteArray bytes;
        appendTag(bytes, "CalibrationManager", 0);
        appendTag(bytes, "MWManager", 1);
        appendRaw<int32_t>(bytes, stored);
        appendRaw<int32_t>(bytes, stored);
        const auto loaded = load(bytes);
        EXPECT_EQ(loaded->GetIntensityCurveType(), expected) << stored;
        EXPECT_EQ(loaded->GetMWCurveType(), expected) << stored;
    }
}

TEST(CalibrationManagerTest, ShortInputRaisesTheArchiveError)
{
    CalibrationManager manager;
    const QByteArray bytes = store(manager);
    for (int n = 0; n < bytes.size(); ++n)
        EXPECT_THROW(load(bytes.left(n)), CArchiveException) << n;
}

TEST(CalibrationManagerTest, LoadedManagerPassesItsAnalysisToItsLadderManager)
{
    CalibrationManager manager;
    const auto loaded = load(store(manager));
    Analysis1D analysis;
    loaded->SetAnalysis(&analysis);
    EXPECT_EQ(loaded->GetAnalysis(), &analysis);
    EXPECT_EQ(loaded->GetMWManager()->GetAnalysis(), &analysis);
}

// Oldest form: the ladder manager in place, then the intensity type and five doubles.
TEST(CalibrationManagerTest, ReadOldVersionTurnsLaddersIntoKnownWeights)
{
    Analysis1D analysis;
    analysis.GetLanes()->Add(makeLane({{0, 1}, {0, 2}}));
    analysis.GetLanes()->Add(makeLane({{0, 1}, {0, 2}, {0, 3}}));

    MWLadder ladder;
    ladder.m_Name = QStringLiteral("Marker");
    ladder.SetLaneIndex(1);
    for (double w : {250.0, 150.0}) {
        MWMarker marker;
        marker.SetMolecularWeight(w);
        ladder.AddMarker(marker);
    }
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        CArchive ar(&buffer, CArchive::store);
        ar << int32_t(1);
        ladder.Serialize(ar, 0);
        ar << int32_t(3);
        for (int i = 0; i < 5; ++i)
            ar << double(i);
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    CalibrationManager *manager = analysis.GetCalibrationManager();
    manager->SetMWCurveType(2);
    manager->ReadOldVersion(ar);
    EXPECT_EQ(buffer.bytesAvailable(), 0);
    EXPECT_EQ(manager->GetIntensityCurveType(), 3);
    EXPECT_EQ(manager->GetMWCurveType(), 2);
    ASSERT_EQ(manager->GetMWManager()->GetNumberOfLadders(), 1);
    EXPECT_EQ(manager->GetMWManager()->GetLadder(0).m_Name, QStringLiteral("Marker"));

    const CArray<Lane> &lanes = *analysis.GetLanes();
    EXPECT_FALSE(data(lanes, 0, 0).m_hasKnownMW);
    EXPECT_TRUE(data(lanes, 1, 0).m_hasKnownMW);
    EXPECT_EQ(data(lanes, 1, 0).m_knownMW, 250.0);
    EXPECT_EQ(data(lanes, 1, 1).m_knownMW, 150.0);
    EXPECT_FALSE(data(lanes, 1, 2).m_hasKnownMW);
}

// Calibration quality ----------------------------------------------------------------

namespace {

// Least-squares polynomial of the given degree through (x, y), worked out here
// on x centred and scaled to about -1..1 (the same curve, better conditioned)
// by the normal equations and Gaussian elimination; its value at 'at'.
double polynomialFitAt(const std::vector<double> &x, const std::vector<double> &y, int degree,
                       double at)
{
    const int n = degree + 1;
    double lo = x.front();
    double hi = x.front();
    for (double v : x) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    const double mid = (lo + hi) / 2.0;
    const double half = (hi - lo) / 2.0;
    std::vector<std::vector<double>> a(size_t(n), std::vector<double>(size_t(n) + 1, 0.0));
    for (size_t k = 0; k < x.size(); ++k) {
        const double t = (x[k] - mid) / half;
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j)
                a[size_t(i)][size_t(j)] += std::pow(t, i + j);
            a[size_t(i)][size_t(n)] += std::pow(t, i) * y[k];
        }
    }
    for (int c = 0; c < n; ++c) {
        int pivot = c;
        for (int r = c + 1; r < n; ++r) {
            if (std::fabs(a[size_t(r)][size_t(c)]) > std::fabs(a[size_t(pivot)][size_t(c)]))
                pivot = r;
        }
        std::swap(a[size_t(c)], a[size_t(pivot)]);
        for (int r = 0; r < n; ++r) {
            if (r == c)
                continue;
            const double f = a[size_t(r)][size_t(c)] / a[size_t(c)][size_t(c)];
            for (int j = c; j <= n; ++j)
                a[size_t(r)][size_t(j)] -= f * a[size_t(c)][size_t(j)];
        }
    }
    const double t = (at - mid) / half;
    double value = 0.0;
    for (int i = 0; i < n; ++i)
        value += a[size_t(i)][size_t(n)] / a[size_t(i)][size_t(i)] * std::pow(t, i);
    return value;
}

} // namespace

// A ladder of twelve markers whose weights fall exponentially with the row
// (log-linear), read with a second-order curve; one marker in the middle was
// given a weight 10 % too high. Its leave-one-out error is the one that
// stands out, at the value a fit of the other markers gives. Bands above the
// top marker and below the bottom one are extrapolated, those between are not.
TEST(CalibrationQualityTest, LeaveOneOutSinglesOutTheMisassignedMarker)
{
    std::vector<int> rows;
    for (int i = 0; i < 12; ++i)
        rows.push_back(40 + 210 * i / 11);
    const size_t moved = 5;
    std::vector<BandSpec> ladder;
    std::vector<double> xs;
    std::vector<double> ys;
    for (size_t i = 0; i < rows.size(); ++i) {
        double mw = 250.0 * std::exp(-0.004 * rows[i]);
        if (i == moved)
            mw *= 1.10;
        ladder.push_back({0, rows[i], -1, mw});
        xs.push_back(rows[i]);
        ys.push_back(mw);
    }
    CArray<Lane> lanes;
    lanes.Add(makeLane(ladder));
    lanes.Add(makeLane({{0, 20}, {0, 145}, {0, 280}}));

    const CalibrationQuality q = CalibrationQuality::Measure(
        lanes, CalibrationManager::CurveSecondOrder, CalibrationQuality::Kind::MolecularWeight);
    ASSERT_TRUE(q.isFitted());
    ASSERT_EQ(q.knownBands().size(), rows.size());
    EXPECT_EQ(q.minimumX(), 40.0);
    EXPECT_EQ(q.maximumX(), 250.0);

    double otherWorst = 0.0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const CalibrationQuality::KnownBand &k = q.knownBands()[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(k.lane, 0);
        EXPECT_EQ(k.band, int(i));
        ASSERT_TRUE(k.hasLeaveOneOut);
        std::vector<double> otherX = xs;
        std::vector<double> otherY = ys;
        otherX.erase(otherX.begin() + long(i));
        otherY.erase(otherY.begin() + long(i));
        const double expected = polynomialFitAt(otherX, otherY, 2, xs[i]);
        EXPECT_NEAR(k.leaveOneOut, expected, 1e-7 * std::fabs(expected));
        EXPECT_NEAR(k.leaveOneOutErrorPercent, (expected - ys[i]) / ys[i] * 100.0, 1e-6);
        EXPECT_NEAR(k.fitted, polynomialFitAt(xs, ys, 2, xs[i]), 1e-7 * ys[i]);
        if (i != moved)
            otherWorst = std::max(otherWorst, std::fabs(k.leaveOneOutErrorPercent));
    }
    const double movedError = q.knownBands()[moved].leaveOneOutErrorPercent;
    // The others put the marker near its true weight, 1/1.1 of the one assigned.
    EXPECT_LT(movedError, -8.0);
    EXPECT_GT(std::fabs(movedError), 3.0 * otherWorst);
    EXPECT_EQ(q.worstKnownBand(), int(moved));

    const BandData &above = data(lanes, 1, 0);
    EXPECT_TRUE(q.isExtrapolated(above));
    EXPECT_FALSE(q.isExtrapolated(data(lanes, 1, 1)));
    EXPECT_TRUE(q.isExtrapolated(data(lanes, 1, 2)));
    // The ladder's own end markers lie on the range's edges.
    EXPECT_FALSE(q.isExtrapolated(data(lanes, 0, 0)));
    EXPECT_FALSE(q.isExtrapolated(data(lanes, 0, rows.size() - 1)));
    EXPECT_EQ(q.countExtrapolated(lanes), 2);
}

// Amounts on an exact line: every leave-one-out error vanishes. Too few
// points for a curve without one band: no leave-one-out value at all, and
// without a fit nothing counts as extrapolated.
TEST(CalibrationQualityTest, AmountsAndTooFewPoints)
{
    CArray<Lane> lanes;
    lanes.Add(makeLane({{100, 10, 12}, {200, 20, 22}, {400, 30, 42}, {0, 40}, {900, 50}}));
    CalibrationQuality q = CalibrationQuality::Measure(lanes, CalibrationManager::CurveLinear,
                                                       CalibrationQuality::Kind::Intensity);
    ASSERT_TRUE(q.isFitted());
    ASSERT_EQ(q.knownBands().size(), 3u);
    for (const CalibrationQuality::KnownBand &k : q.knownBands()) {
        ASSERT_TRUE(k.hasLeaveOneOut);
        EXPECT_NEAR(k.leaveOneOutErrorPercent, 0.0, 1e-9);
    }
    EXPECT_NEAR(q.correlation(), 1.0, 1e-12);
    EXPECT_TRUE(q.isExtrapolated(data(lanes, 0, 3))); // intensity 0, below 100
    EXPECT_TRUE(q.isExtrapolated(data(lanes, 0, 4))); // 900, above 400
    EXPECT_FALSE(q.isExtrapolated(data(lanes, 0, 1)));

    // Two known amounts: a line through both, none through one.
    lanes[0].GetBand(2).getData()->m_hasKnownIntensity = false;
    q = CalibrationQuality::Measure(lanes, CalibrationManager::CurveLinear,
                                    CalibrationQuality::Kind::Intensity);
    ASSERT_TRUE(q.isFitted());
    for (const CalibrationQuality::KnownBand &k : q.knownBands())
        EXPECT_FALSE(k.hasLeaveOneOut);
    EXPECT_EQ(q.worstKnownBand(), -1);

    q = CalibrationQuality::Measure(lanes, CalibrationManager::CurveSecondOrder,
                                    CalibrationQuality::Kind::Intensity);
    EXPECT_FALSE(q.isFitted());
    EXPECT_FALSE(q.isExtrapolated(data(lanes, 0, 4)));
}

// The report marks extrapolated "MW" and "Conc." cells with "*" and explains
// the mark under its exports; built without marks it shows plain numbers.
TEST(CalibrationQualityTest, ReportMarksExtrapolatedValues)
{
    Analysis1D analysis;
    // MW = 250 - 1.25 x row, amount = intensity / 10.
    analysis.GetLanes()->Add(
        makeLane({{100, 40, 10, 200}, {200, 80, 20, 150}, {300, 120, 30, 100}}));
    analysis.GetLanes()->Add(makeLane({{150, 20}, {250, 100}, {500, 140}}));
    analysis.GetCalibrationManager()->SetMWCurveType(CalibrationManager::CurveLinear);
    analysis.GetCalibrationManager()->CalibrateIntensities();
    analysis.GetCalibrationManager()->CalibrateMolecularWeights();
    ReportOptions options;
    options.m_MW = 1;

    const ReportTable table
        = ReportTable::build(analysis, CArray<Band>(), options, ReportTable::Mode::AllLanes);
    ASSERT_EQ(table.rowCount(), 6);
    EXPECT_EQ(table.cell(0, ReportTable::ColMW), QStringLiteral("200.00"));
    EXPECT_EQ(table.cell(3, ReportTable::ColMW), QStringLiteral("225.00*"));
    EXPECT_EQ(table.cell(4, ReportTable::ColMW), QStringLiteral("125.00"));
    EXPECT_EQ(table.cell(5, ReportTable::ColMW), QStringLiteral("75.00*"));
    EXPECT_EQ(table.cell(3, ReportTable::ColConcentration), QStringLiteral("15.00"));
    EXPECT_EQ(table.cell(5, ReportTable::ColConcentration), QStringLiteral("50.00*"));
    EXPECT_EQ(table.extrapolatedRowCount(), 2);
    EXPECT_EQ(table.footnotes(), QStringList {ReportTable::extrapolatedFootnote()});
    EXPECT_TRUE(table.toTsv().endsWith(QStringLiteral("\n") + ReportTable::extrapolatedFootnote()
                                       + QStringLiteral("\n")));
    EXPECT_TRUE(table.toCsv().endsWith(ReportTable::extrapolatedFootnote() + "\r\n"));

    const ReportTable plain
        = ReportTable::build(analysis, CArray<Band>(), options, ReportTable::Mode::AllLanes, {},
                             false, ReportTable::Marks::None);
    EXPECT_EQ(plain.cell(3, ReportTable::ColMW), QStringLiteral("225.00"));
    EXPECT_TRUE(plain.footnotes().isEmpty());
    EXPECT_FALSE(plain.toTsv().contains(u'*'));
}
