#include "testsupport/ArchiveTestSupport.h"
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/BandsOptions.h"
#include "analysis1d/engine/UserDrawnBand.h"
#include "contracts/overlay/COffscreenDrawView.h"
#include "data/CIntDataArray.h"
#include "imaging/RasterImageGS16.h"
#include "platform/CArchive.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

void fill(RasterImageGS16 &img, CRect inclusive, int value)
{
    for (int y = inclusive.top; y <= inclusive.bottom; ++y)
        for (int x = inclusive.left; x <= inclusive.right; ++x)
            img.setPixel(x, y, value);
}

CIntDataArray constant(int size, int value)
{
    CIntDataArray a;
    for (int i = 0; i < size; ++i)
        a.Add(value);
    return a;
}

// A 30 x 300 image, 0 everywhere but a block of 1000 over columns 10..20 and
// rows 95..105 (centre 15, 100).
struct BlockImage
{
    RasterImageGS16 img{30, 300};
    BlockImage() { fill(img, CRect(10, 95, 20, 105), 1000); }
};

} // namespace

TEST(Band, ConstructionAndCopies)
{
    const Band plain;
    EXPECT_EQ(plain.m_lineColor, COLORREF(0x0000FF00));
    EXPECT_EQ(plain.m_fillColor, COLORREF(0x0000FF00));

    BandData data;
    data.m_detectedRect = CRect(3, 40, 25, 52);
    data.m_peakArea = 7.0;
    Band detected(data, CRect(100, 200, 400, 500));
    EXPECT_EQ(detected.GetPosition(), data.m_detectedRect);
    EXPECT_EQ(detected.GetBoundRect(), data.m_detectedRect);
    EXPECT_EQ(detected.GetAnalysisArea(), CRect(100, 200, 400, 500));
    EXPECT_EQ(detected.getData()->m_peakArea, 7.0);
    EXPECT_EQ(detected.m_lineColor, COLORREF(0x0000FF00));

    Band other(CRect(0, 0, 5, 5), CRect(0, 0, 9, 9), CRect(1, 1, 2, 2));
    other.copy(detected);
    EXPECT_EQ(other.getData()->m_peakArea, 7.0);
    EXPECT_EQ(other.GetPosition(), CRect(0, 0, 5, 5)); // copy takes only the record

    other = detected;
    EXPECT_EQ(other.GetPosition(), data.m_detectedRect);
    EXPECT_EQ(other.GetAnalysisArea(), CRect(100, 200, 400, 500));

    std::unique_ptr<CDrawObject> clone(detected.Clone(nullptr));
    auto *band = dynamic_cast<Band *>(clone.get());
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->GetPosition(), data.m_detectedRect);
    EXPECT_EQ(band->getData()->m_peakArea, 7.0);
}

TEST(Band, AdoptsADrawnBand)
{
    const UserDrawnBand drawn(CRect(110, 220, 131, 241), CRect(100, 200, 400, 500));
    const Band band(drawn);
    EXPECT_EQ(band.GetPosition(), CRect(10, 20, 31, 41));
    EXPECT_EQ(band.GetBoundRect(), CRect(0, 0, 300, 300));
    EXPECT_EQ(band.GetAnalysisArea(), CRect(100, 200, 400, 500));
    EXPECT_EQ(band.getData()->m_centerOfGravity, CPoint(20, 30));
    EXPECT_TRUE(band.getData()->m_valid);
    EXPECT_EQ(band.m_lineColor, COLORREF(0x0000FF00));
}

TEST(Band, MeasuresAFlatImageAtBackgroundLevel)
{
    RasterImageGS16 img(40, 60);
    fill(img, CRect(0, 0, 39, 59), 100);
    CIntDataArray profile = constant(60, 100);
    CIntDataArray background = constant(60, 100);
    Band band(CRect(5, 10, 25, 20), CRect(), CRect());
    band.CalculateData(&img, &background, &profile, 0, 59);
    const BandData &d = *band.getData();
    EXPECT_EQ(d.m_centerOfGravity, CPoint(15, 15));
    EXPECT_EQ(d.m_centerValue, 100);
    EXPECT_EQ(d.m_peakAmplitude, 0.0);
    // Raw values of one column, rows 10..20 inclusive.
    EXPECT_EQ(d.m_peakArea, 11 * 100.0);
    // Background-corrected over the whole rectangle (no contour yet).
    EXPECT_EQ(d.m_intensity, 0.0);
    EXPECT_EQ(d.m_surfaceArea, 21 * 11);
    EXPECT_EQ(d.m_intensityPerSurfaceArea, 0.0);
    EXPECT_DOUBLE_EQ(d.m_relativeMigration, 15.0 / 59.0);
}

TEST(Band, MeasuresABlock)
{
    BlockImage b;
    CIntDataArray profile = constant(300, 0);
    CIntDataArray background = constant(300, 0);
    profile[110] = 40;
    background[110] = 10;
    profile[90] = 25;
    Band band(CRect(8, 90, 22, 110), CRect(), CRect());
    band.CalculateData(&b.img, &background, &profile, 20, 220);
    const BandData &d = *band.getData();
    EXPECT_EQ(d.m_centerOfGravity, CPoint(15, 100));
    EXPECT_EQ(d.m_lowerEdgeHeight, 30.0);
    EXPECT_EQ(d.m_upperEdgeHeight, 25.0);
    EXPECT_EQ(d.m_centerValue, 1000);
    EXPECT_EQ(d.m_peakAmplitude, 1000.0 - 5.0); // baseline (0 + 10) / 2
    EXPECT_EQ(d.m_peakArea, 11 * 1000.0);
    EXPECT_EQ(d.m_surfaceArea, 15 * 21);
    EXPECT_DOUBLE_EQ(d.m_intensity, 121 * 1000.0 - 15 * 21 * 5.0);
    EXPECT_DOUBLE_EQ(d.m_intensityPerSurfaceArea, d.m_intensity / (15 * 21));
    // The centre row is not reduced by the well row: 100 / (220 - 20).
    EXPECT_DOUBLE_EQ(d.m_relativeMigration, 0.5);
    EXPECT_DOUBLE_EQ(d.m_calibratedMW, std::exp(0.5));

    // Without a distance between wells and dye front there is no migration.
    band.CalculateData(&b.img, &background, &profile, 50, 50);
    EXPECT_EQ(band.getData()->m_relativeMigration, 0.0);
    EXPECT_EQ(band.getData()->m_calibratedMW, 1.0);
}

TEST(Band, BandBelowItsBaselineIsNotMeasured)
{
    BlockImage b;
    CIntDataArray profile = constant(300, 0);
    CIntDataArray background = constant(300, 2000);
    Band band(CRect(8, 90, 22, 110), CRect(), CRect());
    band.getData()->m_relativeMigration = 0.9;
    band.getData()->m_calibratedMW = 77.0;
    band.getData()->m_surfaceArea = 12;
    band.getData()->m_peakArea = 5.0;
    band.getData()->m_intensity = 6.0;
    band.CalculateData(&b.img, &background, &profile, 0, 299);
    const BandData &d = *band.getData();
    EXPECT_EQ(d.m_peakAmplitude, -1000.0);
    EXPECT_EQ(d.m_peakArea, 0.0);
    EXPECT_EQ(d.m_intensity, 0.0);
    EXPECT_EQ(d.m_relativeMigration, 0.9);
    EXPECT_EQ(d.m_calibratedMW, 77.0);
    EXPECT_EQ(d.m_surfaceArea, 12);
}

// A stained 16-bit gel: background 13,700 under a band of 6,000 at row 60,
// and a rectangle whose outline search reached far above the band (rows
// 20..66). Weighted by the raw values the background would put the centre
// near the rectangle's middle, on background, and the band would measure
// nothing; weighted by what rises above the baseline it sits on the band.
// Where nothing rises above the baseline the raw centre of mass stands.
TEST(Band, CentreOfGravityIsTakenAboveTheBaseline)
{
    RasterImageGS16 img(30, 100);
    fill(img, CRect(0, 0, 29, 99), 13700);
    for (int y = 50; y <= 70; ++y) {
        const double u = (y - 60.0) / 4.8;
        fill(img, CRect(5, y, 25, y), 13700 + int(std::floor(6000.0 * std::exp(-u * u) + 0.5)));
    }
    CIntDataArray background = constant(100, 13700);
    CIntDataArray profile = constant(100, 13700);
    Band band(CRect(5, 20, 25, 66), CRect(), CRect());
    band.CalculateData(&img, &background, &profile, 0, 99);
    const BandData &d = *band.getData();
    EXPECT_EQ(d.m_centerOfGravity, CPoint(15, 60));
    EXPECT_EQ(d.m_centerValue, 19700);
    EXPECT_EQ(d.m_peakAmplitude, 6000.0);
    EXPECT_GT(d.m_peakArea, 47 * 13700.0);
    EXPECT_GT(d.m_intensity, 21 * 6000.0);

    // Everything below the baseline: the raw centre of mass, the rectangle's
    // middle on a flat image.
    RasterImageGS16 flat(30, 100);
    fill(flat, CRect(0, 0, 29, 99), 500);
    band.CalculateData(&flat, &background, &profile, 0, 99);
    EXPECT_EQ(band.getData()->m_centerOfGravity, CPoint(15, 43));
    EXPECT_EQ(band.getData()->m_peakAmplitude, 500.0 - 13700.0);
}

TEST(Band, RowOutsideTheProfilesIsRefused)
{
    BlockImage b;
    CIntDataArray shortProfile = constant(100, 0);
    CIntDataArray background = constant(300, 0);
    Band band(CRect(8, 90, 22, 110), CRect(), CRect());
    EXPECT_THROW(band.CalculateData(&b.img, &background, &shortProfile, 0, 299),
                 CInvalidArgException);
}

TEST(Band, TracesTheContourOfABlock)
{
    BlockImage b;
    Band band(CRect(5, 88, 25, 112), CRect(), CRect());
    band.getData()->m_centerOfGravity = CPoint(15, 100);
    band.FindBroundryPoints(&b.img, 30, 1, 1, 0, 0);
    const BandData &d = *band.getData();
    ASSERT_EQ(d.m_leftBoundary.GetSize(), 1);
    ASSERT_EQ(d.m_rightBoundary.GetSize(), 1);
    EXPECT_EQ(d.m_leftBoundary[0], CPoint(10, 100));
    EXPECT_EQ(d.m_rightBoundary[0], CPoint(20, 100));
    // Top: columns 11..19 left to right at the block's first row.
    ASSERT_EQ(d.m_topBoundary.GetSize(), 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(d.m_topBoundary[i], CPoint(11 + i, 95));
    // Bottom: right to left, at the block's last row.
    ASSERT_EQ(d.m_bottomBoundary.GetSize(), 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(d.m_bottomBoundary[i], CPoint(19 - i, 105));
    EXPECT_EQ(band.GetPosition(), CRect(5, 88, 25, 112)); // no fitting asked

    // Measured over the contour now: only pixels of the block, and fewer than
    // the rectangle holds.
    CIntDataArray zero = constant(300, 0);
    band.CalculateData(&b.img, &zero, &zero, 0, 200);
    // Polygon fill leaves out the contour's right and bottom edges: 10 x 10
    // inside the block, less the corners cut by the side points.
    EXPECT_EQ(band.getData()->m_surfaceArea, 90);
    EXPECT_DOUBLE_EQ(band.getData()->m_intensity, 1000.0 * band.getData()->m_surfaceArea);
}

TEST(Band, FitsItsRectangleToTheContour)
{
    BlockImage b;
    Band vertical(CRect(5, 88, 25, 112), CRect(), CRect());
    vertical.getData()->m_centerOfGravity = CPoint(15, 100);
    vertical.FindBroundryPoints(&b.img, 30, 1, 1, 1, 0);
    EXPECT_EQ(vertical.GetPosition().left, 5);
    EXPECT_EQ(vertical.GetPosition().right, 25);
    // The box of the polygon region leaves out its right and bottom edges.
    EXPECT_EQ(vertical.GetPosition().top, 95);
    EXPECT_EQ(vertical.GetPosition().bottom, 105);

    Band both(CRect(5, 88, 25, 112), CRect(), CRect());
    both.getData()->m_centerOfGravity = CPoint(15, 100);
    both.FindBroundryPoints(&b.img, 30, 1, 1, 1, 1);
    EXPECT_EQ(both.GetPosition(), CRect(10, 95, 20, 105));
}

TEST(Band, ContourWhereNothingExceedsTheThreshold)
{
    // Bright rows above the centre row, the centre row itself dark.
    RasterImageGS16 img(30, 300);
    fill(img, CRect(0, 90, 29, 95), 1000);
    Band band(CRect(5, 88, 25, 112), CRect(), CRect());
    band.getData()->m_centerOfGravity = CPoint(15, 100);
    band.FindBroundryPoints(&img, 30, 0, 0, 0, 0);
    EXPECT_EQ(band.getData()->m_leftBoundary[0], CPoint(5, 100));
    EXPECT_EQ(band.getData()->m_rightBoundary[0], CPoint(25, 100));

    // A rectangle reaching past the image is clipped first: the right edge
    // becomes the last column.
    Band wide(CRect(5, 88, 60, 112), CRect(), CRect());
    wide.getData()->m_centerOfGravity = CPoint(15, 100);
    wide.FindBroundryPoints(&img, 30, 0, 0, 0, 0);
    EXPECT_EQ(wide.getData()->m_rightBoundary[0], CPoint(29, 100));
    EXPECT_EQ(wide.GetPosition(), CRect(5, 88, 60, 112));
}

TEST(Band, ContourKeepsWhatItCannotTrace)
{
    BlockImage b;
    // Narrower than 5 columns, lower than 4 rows: nothing changes.
    for (const CRect r : {CRect(12, 88, 16, 112), CRect(5, 98, 25, 101)}) {
        Band band(r, CRect(), CRect());
        band.getData()->m_centerOfGravity = CPoint(14, 100);
        band.getData()->m_topBoundary.Add(CPoint(1, 1));
        band.FindBroundryPoints(&b.img, 30, 1, 1, 1, 1);
        EXPECT_EQ(band.GetPosition(), r);
        EXPECT_EQ(band.getData()->m_topBoundary.GetSize(), 1);
        EXPECT_EQ(band.getData()->m_leftBoundary.GetSize(), 0);
    }
    // Without doTop the previous top edge stays.
    Band band(CRect(5, 88, 25, 112), CRect(), CRect());
    band.getData()->m_centerOfGravity = CPoint(15, 100);
    band.getData()->m_topBoundary.Add(CPoint(1, 1));
    band.FindBroundryPoints(&b.img, 30, 0, 1, 0, 0);
    ASSERT_EQ(band.getData()->m_topBoundary.GetSize(), 1);
    EXPECT_EQ(band.getData()->m_topBoundary[0], CPoint(1, 1));
    EXPECT_EQ(band.getData()->m_bottomBoundary.GetSize(), 9);
}

TEST(Band, ColumnWalksStopAtTheColumnThreshold)
{
    // Columns rising 0, 100, ..., 900 towards the middle: with 30 % the column
    // threshold is 270, so the walk from the top passes 0, 100, 200.
    RasterImageGS16 img(10, 40);
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y)
            img.setPixel(x, 10 + y, 100 * y);
    CPointArray top;
    Band::FindTopBroundryPoints(&img, CRect(2, 10, 5, 30), CPoint(3, 20), 0.3f, &top);
    // Columns 3 and 4; rows 10..19.
    ASSERT_EQ(top.GetSize(), 2);
    EXPECT_EQ(top[0], CPoint(3, 13));
    EXPECT_EQ(top[1], CPoint(4, 13));

    // From the bottom (rows 30 down to 22) every value is 0: the walk runs
    // through all nine.
    CPointArray bottom;
    Band::FindBottomBroundryPoints(&img, CRect(2, 10, 5, 30), CPoint(3, 20), 0.3f, &bottom);
    ASSERT_EQ(bottom.GetSize(), 2);
    EXPECT_EQ(bottom[0], CPoint(4, 21));
    EXPECT_EQ(bottom[1], CPoint(3, 21));
}

TEST(Band, StoredFormRoundTrips)
{
    Band band(CRect(1, 2, 30, 40), CRect(0, 0, 50, 60), CRect(100, 200, 150, 260));
    band.getData()->m_peakArea = 123.5;
    band.getData()->m_topBoundary.Add(CPoint(4, 5));
    const QByteArray bytes = storeBytes([&](CArchive &ar) { ar.WriteObject(&band); });
    EXPECT_EQ(uint8_t(bytes[2]), 2); // Band's schema

    std::unique_ptr<Band> read;
    loadBytes(bytes, [&](CArchive &ar) { read.reset(ar.ReadObjectAs<Band>()); });
    ASSERT_TRUE(read);
    EXPECT_TRUE(*read == band);
    EXPECT_EQ(read->getData()->m_peakArea, 123.5);
    EXPECT_EQ(read->getData()->m_topBoundary.vector(), band.getData()->m_topBoundary.vector());

    for (int n = 0; n < bytes.size(); ++n) {
        EXPECT_THROW(loadBytes(bytes.left(n), [&](CArchive &ar) { delete ar.ReadObjectAs<Band>(); }),
                     CArchiveException)
            << "length " << n;
    }
}

TEST(Band, ReadsTheOldestForm)
{
    Band original(CRect(1, 2, 30, 40), CRect(0, 0, 50, 60), CRect(100, 200, 150, 260));
    const QByteArray bytes = storeBytes([&](CArchive &ar) {
        original.AnalysisOverlay::Serialize(ar, 0);
        ar << CPoint(11, 22) << CRect(1, 2, 30, 40) << int32_t(3) << int32_t(4567) << 2.5 << 0.75
           << true;
        for (int i = 0; i < 9; ++i)
            ar << double(i);
        ar << uint8_t(0) << 0.0 << 0.25 << int32_t(1) << CPoint(8, 9);
    });
    Band read;
    loadBytes(bytes, [&](CArchive &ar) { read.ReadV2AndBelow(ar); });
    EXPECT_EQ(read.GetPosition(), CRect(1, 2, 30, 40));
    EXPECT_EQ(read.GetAnalysisArea(), CRect(100, 200, 150, 260));
    EXPECT_EQ(read.getData()->m_centerValue, 4567);
    EXPECT_EQ(read.getData()->m_calibratedMW, 8.0);
    EXPECT_EQ(read.getData()->m_relativeMigration, 0.25);
    ASSERT_EQ(read.getData()->m_topBoundary.GetSize(), 1);
    EXPECT_EQ(read.getData()->m_topBoundary[0], CPoint(8, 9));
}

TEST(Band, DrawsWhatTheOptionsAsk)
{
    Band band(CRect(10, 10, 30, 20), CRect(), CRect(5, 5, 100, 100));
    band.getData()->m_centerOfGravity = CPoint(20, 15);
    COffscreenDrawView view(nullptr, 1.0f);
    BandsOptions options;
    options.m_Show_Number = 0;
    auto render = [&](int bracket) {
        options.m_Show_Bracket = bracket;
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        band.Draw(&painter, &view, 0, &options);
        painter.end();
        return image;
    };
    const QRgb green = qRgb(0, 255, 0);

    const QImage dotOnly = render(0);
    // The 3 x 3 centre dot at the centre in gel pixels (20 + 5, 15 + 5).
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            EXPECT_EQ(dotOnly.pixel(25 + dx, 20 + dy), green);
    EXPECT_EQ(dotOnly.pixel(15, 15), qRgb(255, 255, 255));
    EXPECT_EQ(dotOnly.pixel(25, 22), qRgb(255, 255, 255));

    const QImage bracket = render(1);
    EXPECT_EQ(bracket.pixel(15, 15), green); // top left corner of the rectangle

    // The contour in green, in gel pixels.
    band.getData()->m_leftBoundary.Add(CPoint(12, 15));
    band.getData()->m_topBoundary.Add(CPoint(20, 11));
    band.getData()->m_rightBoundary.Add(CPoint(28, 15));
    band.getData()->m_bottomBoundary.Add(CPoint(20, 19));
    options.m_Show_Boundary_Contour = 1;
    const QImage contour = render(0);
    EXPECT_EQ(contour.pixel(25, 16), green);
    EXPECT_EQ(contour.pixel(17, 20), green);
    EXPECT_EQ(contour.pixel(15, 15), qRgb(255, 255, 255));
}

TEST(Band, WritesKnownValuesBesideTheBand)
{
    // Text needs the GUI application another part of this program sets up.
    if (!QGuiApplication::instance())
        GTEST_SKIP() << "no GUI application for fonts";
    Band band(CRect(10, 10, 30, 20), CRect(), CRect());
    band.getData()->m_centerOfGravity = CPoint(20, 15);
    COffscreenDrawView view(nullptr, 1.0f);
    BandsOptions options;
    options.m_Show_Bracket = 0;
    auto inkBeside = [&] {
        QImage image(120, 60, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        band.Draw(&painter, &view, 4, &options);
        painter.end();
        int ink = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 32; x < 120; ++x)
                ink += image.pixel(x, y) != qRgb(255, 255, 255);
        return ink;
    };
    EXPECT_EQ(inkBeside(), 0);
    band.getData()->m_hasKnownMW = true;
    band.getData()->m_knownMW = 1500.0;
    EXPECT_GT(inkBeside(), 0);
    options.m_Show_Number = 0;
    EXPECT_EQ(inkBeside(), 0);
}
