#include "testsupport/ArchiveTestSupport.h"
#include "analysis1d/engine/Lane.h"
#include "analysis1d/engine/LaneProfileData.h"
#include "analysis1d/engine/LanesOptions.h"
#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/COffscreenDrawView.h"
#include "imaging/RasterImageGS16.h"
#include "platform/CArchive.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace {

CIntDataArray intArray(std::vector<int> values)
{
    CIntDataArray a;
    a.vector() = std::move(values);
    return a;
}

// Row y of every column holds column * 10 + y, so a strip mean tells which
// columns were averaged.
RasterImageGS16 columnRamp(int width, int height)
{
    RasterImageGS16 image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, x * 10 + y);
    return image;
}

Band makeBand(const CRect &rect, const CRect &area, double peakArea)
{
    Band band(rect, rect, area);
    band.getData()->m_centerOfGravity = rect.CenterPoint();
    band.getData()->m_peakArea = peakArea;
    band.getData()->m_intensity = peakArea * 2;
    band.getData()->m_valid = true;
    band.getData()->m_topBoundary.Add(CPoint(rect.left + 1, rect.top));
    return band;
}

// A lane with a bit of everything a copy or a file must keep.
Lane sampleLane()
{
    const CRect area(100, 50, 400, 250);
    Lane lane(CRect(10, 0, 40, 200), CRect(0, 0, 60, 200), area, intArray({25, 25, 26}),
              intArray({500, 900, 700}), intArray({100, 120, 110}));
    lane.InsertBand(makeBand(CRect(10, 20, 40, 30), area, 30.0), 0);
    lane.InsertBand(makeBand(CRect(10, 50, 40, 62), area, 10.0), 1);
    CGaussianArray gaussians;
    gaussians.Add(CGaussian(800, 25, 4));
    gaussians.Add(CGaussian(-3, 56, 7));
    lane.SetGaussians(gaussians);
    lane.SetReserved(-17);
    return lane;
}

void expectSameGaussians(const CGaussianArray &a, const CGaussianArray &b)
{
    ASSERT_EQ(a.GetSize(), b.GetSize());
    for (int i = 0; i < a.GetSize(); ++i) {
        EXPECT_EQ(a[i].GetAmplitude(), b[i].GetAmplitude()) << i;
        EXPECT_EQ(a[i].GetCenter(), b[i].GetCenter()) << i;
        EXPECT_EQ(a[i].GetWidth(), b[i].GetWidth()) << i;
    }
}

void expectSameLane(const Lane &a, const Lane &b)
{
    EXPECT_EQ(a.GetPosition(), b.GetPosition());
    EXPECT_EQ(a.GetBoundRect(), b.GetBoundRect());
    EXPECT_EQ(a.GetAnalysisArea(), b.GetAnalysisArea());
    EXPECT_EQ(a.m_lineColor, b.m_lineColor);
    EXPECT_EQ(a.GetCenterLine()->vector(), b.GetCenterLine()->vector());
    EXPECT_EQ(a.GetProfile()->vector(), b.GetProfile()->vector());
    EXPECT_EQ(a.GetBackground()->vector(), b.GetBackground()->vector());
    EXPECT_EQ(a.GetReserved(), b.GetReserved());
    expectSameGaussians(a.GetGaussians(), b.GetGaussians());
    ASSERT_EQ(a.GetNumberOfBands(), b.GetNumberOfBands());
    for (int i = 0; i < a.GetNumberOfBands(); ++i) {
        const Band &x = a.GetBand(i);
        const Band &y = b.GetBand(i);
        EXPECT_EQ(x.GetPosition(), y.GetPosition()) << i;
        EXPECT_EQ(x.GetAnalysisArea(), y.GetAnalysisArea()) << i;
        EXPECT_EQ(x.getData()->m_centerOfGravity, y.getData()->m_centerOfGravity) << i;
        EXPECT_EQ(x.getData()->m_peakArea, y.getData()->m_peakArea) << i;
        EXPECT_EQ(x.getData()->m_topBoundary.vector(), y.getData()->m_topBoundary.vector()) << i;
    }
}


} // namespace

// Profile and background ---------------------------------------------------------

TEST(LaneProfileData, ProfileAveragesTheBeamStripAroundTheCentre)
{
    RasterImageGS16 image = columnRamp(20, 4);
    LaneProfileData data(&image);
    data.SetCenterLine(10);
    ASSERT_EQ(data.GetCenterLine().vector(), std::vector<int>({10, 10, 10, 10}));

    // Beam width 3: h = 2, columns 8..11, mean 95 + y.
    CIntDataArray out;
    out.Add(-1); // emptied first
    data.CalculateProfile(&image, 3, &out);
    EXPECT_EQ(out.vector(), std::vector<int>({95, 96, 97, 98}));
    EXPECT_EQ(data.GetProfile()->vector(), out.vector());

    // Beam width 2: h = 1, columns 9..10, mean 95 + y as well; width 1 gives the
    // same strip (h = floor(1.0) = 1).
    data.CalculateProfile(&image, 1);
    EXPECT_EQ(data.GetProfile()->vector(), std::vector<int>({95, 96, 97, 98}));

    // Means round half up: columns {0, 1} of a two-value image give 0.5 -> 1.
    RasterImageGS16 halves(2, 1);
    halves.setPixel(0, 0, 0);
    halves.setPixel(1, 0, 1);
    LaneProfileData half(&halves);
    half.SetCenterLine(1);
    half.CalculateProfile(&halves, 2);
    EXPECT_EQ(half.GetProfile()->vector(), std::vector<int>({1}));
}

TEST(LaneProfileData, StripIsClippedAtTheImageEdgesAndAnEmptyStripGivesZero)
{
    RasterImageGS16 image = columnRamp(20, 3);
    LaneProfileData data(&image);
    // Centre 1, h = 2: columns 0..2 only (mean 10 + y).
    data.SetCenterLine(1);
    data.CalculateProfile(&image, 3);
    EXPECT_EQ(data.GetProfile()->vector(), std::vector<int>({10, 11, 12}));
    // Centre 19, h = 2: columns 17..19 (mean 180 + y).
    data.SetCenterLine(19);
    data.CalculateProfile(&image, 3);
    EXPECT_EQ(data.GetProfile()->vector(), std::vector<int>({180, 181, 182}));

    // A centre line partly outside the image: rows whose strip misses it give 0.
    *data.GetCenterLineArray() = intArray({-2, -3, 22});
    data.CalculateProfile(&image, 3);
    EXPECT_EQ(data.GetProfile()->vector(), std::vector<int>({0, 0, 0}));
    *data.GetCenterLineArray() = intArray({-1, 21, 2147483647});
    data.CalculateProfile(&image, 3);
    EXPECT_EQ(data.GetProfile()->vector(), std::vector<int>({0, 191, 0}));

    // A row without a centre-line entry is an error.
    *data.GetCenterLineArray() = intArray({5, 5});
    EXPECT_THROW(data.CalculateProfile(&image, 3), CInvalidArgException);
}

TEST(LaneProfileData, BackgroundIsTheMovingMinimum)
{
    const CIntDataArray profile = intArray({5, 4, 3, 9, 9, 9, 9, 1, 9, 9});
    CIntDataArray out;
    out.Add(77);
    // Window 2: half-width 1.
    LaneProfileData::CalculateBackground(&profile, 2, &out);
    EXPECT_EQ(out.vector(), std::vector<int>({4, 3, 3, 3, 9, 9, 1, 1, 1, 9}));
    // Window 3 rounds to half-width 2: window 4 gives the same.
    CIntDataArray three;
    CIntDataArray four;
    LaneProfileData::CalculateBackground(&profile, 3, &three);
    LaneProfileData::CalculateBackground(&profile, 4, &four);
    EXPECT_EQ(three.vector(), std::vector<int>({3, 3, 3, 3, 3, 1, 1, 1, 9, 9}));
    EXPECT_EQ(four.vector(), three.vector());
    // Window 0 copies the profile.
    LaneProfileData::CalculateBackground(&profile, 0, &out);
    EXPECT_EQ(out.vector(), profile.vector());
    // A window reaching past both ends: the profile's minimum everywhere.
    LaneProfileData::CalculateBackground(&profile, 25, &out);
    EXPECT_EQ(out.vector(), std::vector<int>(10, 1));
    const CIntDataArray empty;
    LaneProfileData::CalculateBackground(&empty, 6, &out);
    EXPECT_TRUE(out.IsEmpty());
    // In place.
    CIntDataArray inPlace = profile;
    LaneProfileData::CalculateBackground(&inPlace, 2, &inPlace);
    EXPECT_EQ(inPlace.vector(), std::vector<int>({4, 3, 3, 3, 9, 9, 1, 1, 1, 9}));
}

TEST(LaneProfileData, SerializeRoundTripsTheFiveArrays)
{
    LaneProfileData data;
    *data.GetCenterLineArray() = intArray({1, 2});
    *data.GetBackground() = intArray({3});
    *data.GetProfile() = intArray({4, 5, 6});
    data.GetFirstSeries()->Add(0.25);
    data.GetSecondSeries()->Add(-1.5);
    const QByteArray bytes = storeBytes([&](CArchive &ar) { data.Serialize(ar); });
    EXPECT_EQ(bytes.size(), 5 * 4 + 6 * 4 + 2 * 8);
    LaneProfileData read;
    *read.GetProfile() = intArray({99}); // replaced, not appended to
    loadBytes(bytes, [&](CArchive &ar) { read.Serialize(ar); });
    EXPECT_EQ(read.GetCenterLine().vector(), std::vector<int>({1, 2}));
    EXPECT_EQ(read.GetBackground()->vector(), std::vector<int>({3}));
    EXPECT_EQ(read.GetProfile()->vector(), std::vector<int>({4, 5, 6}));
    EXPECT_EQ(read.GetFirstSeries()->vector(), std::vector<double>({0.25}));
    EXPECT_EQ(read.GetSecondSeries()->vector(), std::vector<double>({-1.5}));
}

// Lane copies --------------------------------------------------------------------

TEST(Lane, ConstructionDefaults)
{
    const Lane empty;
    EXPECT_EQ(empty.m_lineColor, COLORREF(255));
    EXPECT_TRUE(empty.IsEditable());
    EXPECT_EQ(empty.GetNumberOfBands(), 0);
    const Lane built = sampleLane();
    EXPECT_EQ(built.m_lineColor, COLORREF(255));
    EXPECT_TRUE(built.IsEditable());
    EXPECT_EQ(built.GetCenterLine()->vector(), std::vector<int>({25, 25, 26}));
    EXPECT_EQ(built.GetProfile()->vector(), std::vector<int>({500, 900, 700}));
    EXPECT_EQ(built.GetBackground()->vector(), std::vector<int>({100, 120, 110}));
}

TEST(Lane, EveryCopyKeepsBandsProfilesAndGaussians)
{
    const Lane original = sampleLane();

    const Lane copied(original);
    expectSameLane(copied, original);

    Lane assigned;
    assigned = original;
    expectSameLane(assigned, original);

    Lane viaBase;
    static_cast<CDrawObject &>(viaBase) = static_cast<const CDrawObject &>(original);
    expectSameLane(viaBase, original);

    Lane data;
    data.InsertBand(makeBand(CRect(0, 0, 5, 5), CRect(), 1.0), 0);
    data.CopyLaneData(original);
    EXPECT_EQ(data.GetNumberOfBands(), 2);
    expectSameGaussians(data.GetGaussians(), original.GetGaussians());
    EXPECT_EQ(data.GetProfile()->vector(), original.GetProfile()->vector());

    CDrawDocument doc;
    Lane *clone = dynamic_cast<Lane *>(const_cast<Lane &>(original).Clone(&doc));
    ASSERT_NE(clone, nullptr);
    expectSameLane(*clone, original);
    EXPECT_EQ(clone->GetDocument(), &doc);
    EXPECT_TRUE(doc.GetObjects().contains(clone));

    CArray<Lane> lanes;
    lanes.Add(original);
    lanes.InsertAt(0, Lane());
    lanes.InsertAt(1, original);
    expectSameLane(lanes[1], original);
    expectSameLane(lanes[2], original);

    // Copies are independent.
    Lane changed(original);
    changed.getGaussians()->RemoveAll();
    changed.GetBand(0).getData()->m_peakArea = 1234;
    EXPECT_EQ(original.GetGaussians().GetSize(), 2);
    EXPECT_EQ(original.GetBand(0).getData()->m_peakArea, 30.0);
}

// Bands of a lane ----------------------------------------------------------------

TEST(Lane, InsertAndRemoveBandsCheckTheirIndex)
{
    Lane lane = sampleLane();
    EXPECT_THROW(lane.InsertBand(Band(), 3), CInvalidArgException);
    EXPECT_THROW(lane.InsertBand(Band(), -1), CInvalidArgException);
    EXPECT_EQ(lane.GetNumberOfBands(), 2);
    lane.InsertBand(makeBand(CRect(10, 80, 40, 90), CRect(), 5.0), 2);
    EXPECT_EQ(lane.GetBand(2).GetPosition(), CRect(10, 80, 40, 90));
    EXPECT_THROW(lane.GetBand(3), CInvalidArgException);
    EXPECT_THROW(lane.RemoveBand(3), CInvalidArgException);
    lane.RemoveBand(0);
    EXPECT_EQ(lane.GetBand(0).GetPosition(), CRect(10, 50, 40, 62));
}

TEST(Lane, BandBoundariesReachToTheNeighbours)
{
    Lane lane(CRect(10, 0, 40, 200), CRect(5, 0, 60, 200), CRect(), {}, {}, {});
    lane.setBandBoundaries(); // no band: nothing to do

    lane.InsertBand(makeBand(CRect(10, 20, 40, 30), CRect(), 1), 0);
    lane.setBandBoundaries();
    EXPECT_EQ(lane.GetBand(0).GetBoundRect(), CRect(5, 0, 60, 200));

    lane.InsertBand(makeBand(CRect(10, 50, 40, 60), CRect(), 1), 1);
    lane.InsertBand(makeBand(CRect(10, 90, 40, 95), CRect(), 1), 2);
    lane.setBandBoundaries();
    EXPECT_EQ(lane.GetBand(0).GetBoundRect(), CRect(5, 0, 60, 50));
    EXPECT_EQ(lane.GetBand(1).GetBoundRect(), CRect(5, 30, 60, 90));
    EXPECT_EQ(lane.GetBand(2).GetBoundRect(), CRect(5, 60, 60, 200));
}

TEST(Lane, WhereABandMayBeAdded)
{
    const CRect area(100, 50, 400, 250);
    Lane lane(CRect(10, 0, 40, 200), CRect(), area, {}, {}, {});
    EXPECT_EQ(lane.GetBandIndexForAddition(0, 0), 0);

    lane.InsertBand(makeBand(CRect(10, 20, 40, 30), area, 1), 0);
    // One band: below it 1, anywhere else 0, on it -1 (points in gel pixels).
    EXPECT_EQ(lane.GetBandIndexForAddition(120, 50 + 31), 1);
    EXPECT_EQ(lane.GetBandIndexForAddition(120, 50 + 10), 0);
    EXPECT_EQ(lane.GetBandIndexForAddition(120, 50 + 25), -1);

    lane.InsertBand(makeBand(CRect(10, 50, 40, 60), area, 1), 1);
    EXPECT_EQ(lane.GetBandIndexForAddition(120, 50 + 10), 0);
    EXPECT_EQ(lane.GetBandIndexForAddition(120, 50 + 40), 1);
    EXPECT_EQ(lane.GetBandIndexForAddition(120, 50 + 70), 2);
    EXPECT_EQ(lane.GetBandIndexForAddition(120, 50 + 55), -1);
    // On the bottom edge of the first band (not part of it): not strictly between.
    EXPECT_EQ(lane.GetBandIndexForAddition(120, 50 + 30), -1);
}

TEST(Lane, AddBandKeepsItsAreaClearOfTheNeighbours)
{
    // A lane 4 columns wide: the outline search leaves so narrow a band as it is,
    // so the band's rectangle is exactly the area it was given.
    RasterImageGS16 image(50, 100);
    CDrawDocument doc;
    Lane lane(CRect(10, 0, 14, 100), CRect(0, 0, 50, 100), CRect(), {}, {}, {});
    lane.m_pDocument = &doc;

    // First band 3 rows below the new band's area: unchanged.
    lane.InsertBand(makeBand(CRect(10, 30, 14, 40), CRect(), 1), 0);
    // Height 10 at y 20: rows 15..25, grown by floor(0.2 * 10 + 0.5) = 2 rows.
    lane.AddBand(0, 10, &image, 30, 12, 20);
    ASSERT_EQ(lane.GetNumberOfBands(), 2);
    const Band &added = lane.GetBand(0);
    EXPECT_EQ(added.GetPosition(), CRect(10, 13, 14, 27));
    EXPECT_EQ(added.getData()->m_centerOfGravity, CPoint(12, 20));
    EXPECT_TRUE(added.getData()->m_valid);
    EXPECT_EQ(added.m_lineColor, COLORREF(0x00FF00));
    EXPECT_EQ(added.m_fillColor, COLORREF(0x00FF00));
    EXPECT_EQ(added.GetDocument(), &doc);
    // Boundaries updated.
    EXPECT_EQ(lane.GetBand(0).GetBoundRect(), CRect(0, 0, 50, 30));
    EXPECT_EQ(lane.GetBand(1).GetBoundRect(), CRect(0, 27, 50, 100));

    // One that would overlap the band below ends one row above it.
    Lane overlapping(CRect(10, 0, 14, 100), CRect(0, 0, 50, 100), CRect(), {}, {}, {});
    overlapping.InsertBand(makeBand(CRect(10, 25, 14, 40), CRect(), 1), 0);
    overlapping.AddBand(0, 10, &image, 30, 12, 20);
    EXPECT_EQ(overlapping.GetBand(0).GetPosition(), CRect(10, 13, 14, 24));

    // Between two bands, the top is kept below the band above; the index counts.
    Lane between(CRect(10, 0, 14, 100), CRect(0, 0, 50, 100), CRect(), {}, {}, {});
    between.InsertBand(makeBand(CRect(10, 10, 14, 20), CRect(), 1), 0);
    between.InsertBand(makeBand(CRect(10, 60, 14, 70), CRect(), 1), 1);
    between.AddBand(1, 10, &image, 30, 12, 24);
    ASSERT_EQ(between.GetNumberOfBands(), 3);
    EXPECT_EQ(between.GetBand(1).GetPosition(), CRect(10, 21, 14, 31));
    EXPECT_THROW(between.AddBand(4, 10, &image, 30, 12, 90), CInvalidArgException);
    EXPECT_THROW(between.AddBand(-1, 10, &image, 30, 12, 5), CInvalidArgException);
    EXPECT_EQ(between.GetNumberOfBands(), 3);

    // With one band, any index but 0 adds after it (and only one band).
    Lane single(CRect(10, 0, 14, 100), CRect(0, 0, 50, 100), CRect(), {}, {}, {});
    single.InsertBand(makeBand(CRect(10, 10, 14, 20), CRect(), 1), 0);
    single.AddBand(7, 10, &image, 30, 12, 60);
    ASSERT_EQ(single.GetNumberOfBands(), 2);
    EXPECT_EQ(single.GetBand(1).getData()->m_centerOfGravity, CPoint(12, 60));
    // Without bands any index adds the first band.
    Lane none(CRect(10, 0, 14, 100), CRect(0, 0, 50, 100), CRect(), {}, {}, {});
    none.AddBand(3, 10, &image, 30, 12, 60);
    EXPECT_EQ(none.GetNumberOfBands(), 1);
}

TEST(Lane, BandSharesOfTheLaneAddUpToOne)
{
    RasterImageGS16 image(30, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 30; ++x)
            image.setPixel(x, y,
                           100 + ((y >= 5 && y < 10) ? 900 : 0) + ((y >= 20 && y < 28) ? 400 : 0));
    Lane lane(CRect(5, 0, 25, 40), CRect(0, 0, 30, 40), CRect(), intArray(std::vector<int>(40, 15)),
              intArray(std::vector<int>(40, 300)), intArray(std::vector<int>(40, 100)));
    lane.InsertBand(makeBand(CRect(5, 4, 25, 11), CRect(), 0), 0);
    lane.InsertBand(makeBand(CRect(5, 19, 25, 29), CRect(), 0), 1);
    lane.CalculateBandsData(&image, 0, 39);
    const BandData *a = lane.GetBand(0).getData();
    const BandData *b = lane.GetBand(1).getData();
    ASSERT_GT(a->m_peakArea, 0.0);
    ASSERT_GT(b->m_peakArea, 0.0);
    EXPECT_DOUBLE_EQ(a->m_peakAreaFraction + b->m_peakAreaFraction, 1.0);
    EXPECT_DOUBLE_EQ(a->m_peakAreaFraction, a->m_peakArea / (a->m_peakArea + b->m_peakArea));
    EXPECT_DOUBLE_EQ(a->m_intensityFraction + b->m_intensityFraction, 1.0);
}

// Stored form ----------------------------------------------------------------------

TEST(Lane, SerializeRoundTripsTheWholeLane)
{
    const Lane original = sampleLane();
    const QByteArray bytes = storeBytes([&](CArchive &ar) { ar.WriteObject(&original); });
    // The lane ends with its reserved value and the Gaussians in array form.
    const QByteArray tail = QByteArray::fromHex("efffffff" // reserved -17
                                                "0200" // two Gaussians
                                                "200300001900000004000000"
                                                "fdffffff3800000007000000");
    EXPECT_TRUE(bytes.endsWith(tail));

    std::unique_ptr<Lane> read;
    loadBytes(bytes, [&](CArchive &ar) { read.reset(ar.ReadObjectAs<Lane>()); });
    ASSERT_NE(read, nullptr);
    expectSameLane(*read, original);
    EXPECT_EQ(read->GetBand(1).getData()->m_intensity, 20.0);

    // Schema 1 lanes are read the same way; other schemas are refused.
    QByteArray schemaOne = bytes;
    ASSERT_EQ(schemaOne.mid(0, 4), QByteArray::fromHex("ffff0200"));
    schemaOne[2] = 1;
    loadBytes(schemaOne, [&](CArchive &ar) { read.reset(ar.ReadObjectAs<Lane>()); });
    expectSameLane(*read, original);
    QByteArray schemaThree = bytes;
    schemaThree[2] = 3;
    EXPECT_THROW(loadBytes(schemaThree, [&](CArchive &ar) { read.reset(ar.ReadObjectAs<Lane>()); }),
                 CArchiveException);
}

TEST(Lane, DamagedInputRaisesArchiveExceptions)
{
    const Lane original = sampleLane();
    const QByteArray bytes = storeBytes([&](CArchive &ar) { ar.WriteObject(&original); });
    for (int cut = 0; cut < bytes.size(); ++cut) {
        EXPECT_THROW(
            loadBytes(bytes.left(cut), [](CArchive &ar) { delete ar.ReadObjectAs<Lane>(); }),
            CArchiveException)
            << "cut at " << cut;
    }

    // The stored form up to the band count, written in place.
    auto head = [](CArchive &ar, const Lane &lane) {
        const_cast<Lane &>(lane).AnalysisOverlay::Serialize(ar, 2);
        const_cast<Lane &>(lane).GetCenterLine()->Serialize(ar);
        const_cast<Lane &>(lane).GetBackground()->Serialize(ar);
        const_cast<Lane &>(lane).GetProfile()->Serialize(ar);
    };
    const Lane plain;
    // A null band slot.
    const QByteArray nullBand = storeBytes([&](CArchive &ar) {
        head(ar, plain);
        ar << int32_t(1);
        ar.WriteObject(nullptr);
        ar << int32_t(0) << uint16_t(0);
    });
    Lane target;
    EXPECT_THROW(loadBytes(nullBand, [&](CArchive &ar) { target.Serialize(ar); }),
                 CArchiveException);
    // The same band listed twice (a reference back to the first).
    const Band band = makeBand(CRect(1, 2, 30, 40), CRect(), 3);
    const QByteArray twice = storeBytes([&](CArchive &ar) {
        head(ar, plain);
        ar << int32_t(2);
        ar.WriteObject(&band);
        ar.WriteObject(&band);
        ar << int32_t(0) << uint16_t(0);
    });
    EXPECT_THROW(loadBytes(twice, [&](CArchive &ar) { target.Serialize(ar); }), CArchiveException);
    // A band count the input cannot hold, and a negative one.
    for (const int32_t count : {1000000, -1}) {
        const QByteArray huge = storeBytes([&](CArchive &ar) {
            head(ar, plain);
            ar << count;
        });
        EXPECT_THROW(loadBytes(huge, [&](CArchive &ar) { target.Serialize(ar); }),
                     CArchiveException);
    }
    // A Gaussian count larger than the rest of the input.
    const QByteArray gaussians = storeBytes([&](CArchive &ar) {
        head(ar, plain);
        ar << int32_t(0) << int32_t(0);
        ar.WriteCount(70000);
    });
    EXPECT_THROW(loadBytes(gaussians, [&](CArchive &ar) { target.Serialize(ar); }),
                 CArchiveException);
}

TEST(Lane, ReadsTheOldestLaneForm)
{
    const CRect area(100, 50, 400, 250);
    const Lane shape(CRect(10, 0, 40, 200), CRect(0, 0, 60, 200), area, intArray({25}),
                     intArray({900}), intArray({100}));
    Band oldBand(CRect(12, 20, 38, 30), CRect(12, 20, 38, 30), area);
    const QByteArray bytes = storeBytes([&](CArchive &ar) {
        const_cast<Lane &>(shape).AnalysisOverlay::Serialize(ar, 0);
        const_cast<Lane &>(shape).GetCenterLine()->Serialize(ar);
        const_cast<Lane &>(shape).GetBackground()->Serialize(ar);
        const_cast<Lane &>(shape).GetProfile()->Serialize(ar);
        ar << int32_t(1);
        // The band: its overlay part, then its record in the oldest form.
        oldBand.AnalysisOverlay::Serialize(ar, 0);
        ar << CPoint(25, 26) << CRect(12, 20, 38, 30) << int32_t(0) << int32_t(4000);
        ar << 2.5 << 0.75 << true;
        for (double v : {1000.0, 10.0, 12.0, 5000.0, 0.5, 7000.0})
            ar << v;
        for (double v : {1.0, 2.0, 3.0})
            ar << v;
        ar << uint8_t(1) << 9.0 << 0.125;
        ar << int32_t(1) << CPoint(13, 21);
        ar << int32_t(42); // reserved
        ar.WriteCount(1); // one Gaussian
        ar << int32_t(990) << int32_t(25) << int32_t(3);
    });
    Lane lane;
    loadBytes(bytes, [&](CArchive &ar) { lane.ReadOldVersion(ar, 0); });
    EXPECT_EQ(lane.GetPosition(), CRect(10, 0, 40, 200));
    EXPECT_EQ(lane.GetAnalysisArea(), area);
    EXPECT_EQ(lane.GetProfile()->vector(), std::vector<int>({900}));
    ASSERT_EQ(lane.GetNumberOfBands(), 1);
    const BandData *data = lane.GetBand(0).getData();
    EXPECT_EQ(lane.GetBand(0).GetPosition(), CRect(12, 20, 38, 30));
    EXPECT_EQ(data->m_centerOfGravity, CPoint(25, 26));
    EXPECT_EQ(data->m_peakArea, 5000.0);
    EXPECT_EQ(data->m_relativeMigration, 0.125);
    EXPECT_EQ(lane.GetReserved(), 42);
    ASSERT_EQ(lane.GetGaussians().GetSize(), 1);
    EXPECT_EQ(lane.GetGaussians()[0].GetAmplitude(), 990);

    for (int cut = 0; cut < bytes.size(); ++cut) {
        Lane partial;
        EXPECT_THROW(loadBytes(bytes.left(cut), [&](CArchive &ar) { partial.ReadOldVersion(ar); }),
                     CArchiveException)
            << "cut at " << cut;
    }
}

// Drawing ------------------------------------------------------------------------

TEST(Lane, DrawingFollowsTheLaneOptions)
{
    // Analysis area at (10, 5): the lane's columns 20..40 are gel columns 30..50.
    Lane lane(CRect(20, 0, 40, 60), CRect(), CRect(10, 5, 90, 65), {}, {}, {});
    COffscreenDrawView view(nullptr, 1.0f);
    auto render = [&](int show, int number) {
        QImage image(100, 80, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        LanesOptions options;
        options.m_Show = show;
        options.m_Show_Number = number;
        lane.Draw(&painter, &view, 4, &options, nullptr);
        painter.end();
        return image;
    };
    auto redIn = [](const QImage &image, int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += image.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
        return n;
    };
    const QImage outline = render(1, 0);
    EXPECT_EQ(outline.pixel(30, 40), qRgb(255, 0, 0)); // left edge, gel coordinates
    EXPECT_EQ(outline.pixel(49, 40), qRgb(255, 0, 0)); // right edge (inside the rectangle)
    EXPECT_EQ(outline.pixel(40, 40), qRgb(255, 255, 255));
    EXPECT_EQ(outline.pixel(20, 40), qRgb(255, 255, 255));

    const QImage hidden = render(0, 0);
    EXPECT_EQ(redIn(hidden, 0, 0, 100, 80), 0);

    // The number alone: something red near the top of the lane, no outline.
    const QImage numbered = render(0, 1);
    EXPECT_GT(redIn(numbered, 31, 6, 49, 30), 0);
    EXPECT_EQ(numbered.pixel(30, 50), qRgb(255, 255, 255));
}
