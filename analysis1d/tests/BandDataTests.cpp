#include "testsupport/ArchiveTestSupport.h"
#include "analysis1d/engine/BandData.h"
#include "platform/CArchive.h"

#include <QBuffer>
#include <QByteArray>
#include <QRegion>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

// The new-class tag the archive writes before a record of the given schema.
void writeClassTag(CArchive &ar, uint16_t schema)
{
    ar << uint16_t(0xFFFF) << schema << uint16_t(8);
    ar.Write("BandData", 8);
}

void writeHead(CArchive &ar)
{
    ar << CPoint(11, 22) << CRect(1, 2, 30, 40) << int32_t(3) << int32_t(4567) << 2.5 << 0.75
       << true;
}

// The older forms' body up to the point list: 6 + 3 doubles, an ignored byte and
// double, the relative migration and two points.
void writeOldBody(CArchive &ar)
{
    ar << 100.0 << 10.0 << 20.0 << 3000.0 << 0.6 << 5000.0;
    ar << 7.0 << 8.0 << 9.0;
    ar << uint8_t(1) << 123.0;
    ar << 0.42;
    ar << int32_t(2) << CPoint(5, 6) << CPoint(7, 8);
}

void expectHead(const BandData &d)
{
    EXPECT_EQ(d.m_centerOfGravity, CPoint(11, 22));
    EXPECT_EQ(d.m_detectedRect, CRect(1, 2, 30, 40));
    EXPECT_EQ(d.m_intensityClass, 3);
    EXPECT_EQ(d.m_centerValue, 4567);
    EXPECT_EQ(d.m_peakWidth, 2.5);
    EXPECT_EQ(d.m_gaussianFit, 0.75);
    EXPECT_TRUE(d.m_valid);
}

void expectOldBody(const BandData &d)
{
    EXPECT_EQ(d.m_peakAmplitude, 100.0);
    EXPECT_EQ(d.m_lowerEdgeHeight, 10.0);
    EXPECT_EQ(d.m_upperEdgeHeight, 20.0);
    EXPECT_EQ(d.m_peakArea, 3000.0);
    EXPECT_EQ(d.m_peakAreaFraction, 0.6);
    EXPECT_EQ(d.m_intensity, 5000.0);
    EXPECT_EQ(d.m_calibratedIntensity, 7.0);
    EXPECT_EQ(d.m_calibratedIntensityPercentage, 8.0);
    EXPECT_EQ(d.m_calibratedMW, 9.0);
    EXPECT_EQ(d.m_relativeMigration, 0.42);
    ASSERT_EQ(d.m_topBoundary.GetSize(), 2);
    EXPECT_EQ(d.m_topBoundary[0], CPoint(5, 6));
    EXPECT_EQ(d.m_topBoundary[1], CPoint(7, 8));
    EXPECT_EQ(d.m_bottomBoundary.GetSize(), 0);
}

BandData everyField()
{
    BandData d;
    d.m_centerOfGravity = CPoint(12, 34);
    d.m_detectedRect = CRect(-1, 5, 40, 60);
    d.m_intensityClass = 4;
    d.m_centerValue = -77;
    d.m_peakWidth = 6.5;
    d.m_gaussianFit = 0.93;
    d.m_valid = true;
    d.m_peakAmplitude = 1.5;
    d.m_lowerEdgeHeight = 2.5;
    d.m_upperEdgeHeight = 3.5;
    d.m_peakArea = 4.5;
    d.m_peakAreaFraction = 0.125;
    d.m_intensity = 5.5;
    d.m_intensityFraction = 0.25;
    d.m_calibratedIntensity = 6.5;
    d.m_calibratedIntensityPercentage = 7.5;
    d.m_calibratedMW = 8.5;
    d.m_relativeMigration = 0.375;
    d.m_hasKnownMW = true;
    d.m_hasKnownIntensity = false;
    d.m_knownMW = 9.5;
    d.m_knownIntensity = 10.5;
    d.m_topBoundary.Add(CPoint(1, 2));
    d.m_topBoundary.Add(CPoint(3, 4));
    d.m_bottomBoundary.Add(CPoint(5, 6));
    d.m_leftBoundary.Add(CPoint(7, 8));
    d.m_rightBoundary.Add(CPoint(9, 10));
    d.m_surfaceArea = 321;
    d.m_intensityPerSurfaceArea = 11.5;
    return d;
}

void expectSame(const BandData &a, const BandData &b)
{
    EXPECT_EQ(a.m_centerOfGravity, b.m_centerOfGravity);
    EXPECT_EQ(a.m_detectedRect, b.m_detectedRect);
    EXPECT_EQ(a.m_intensityClass, b.m_intensityClass);
    EXPECT_EQ(a.m_centerValue, b.m_centerValue);
    EXPECT_EQ(a.m_peakWidth, b.m_peakWidth);
    EXPECT_EQ(a.m_gaussianFit, b.m_gaussianFit);
    EXPECT_EQ(a.m_valid, b.m_valid);
    EXPECT_EQ(a.m_peakAmplitude, b.m_peakAmplitude);
    EXPECT_EQ(a.m_lowerEdgeHeight, b.m_lowerEdgeHeight);
    EXPECT_EQ(a.m_upperEdgeHeight, b.m_upperEdgeHeight);
    EXPECT_EQ(a.m_peakArea, b.m_peakArea);
    EXPECT_EQ(a.m_peakAreaFraction, b.m_peakAreaFraction);
    EXPECT_EQ(a.m_intensity, b.m_intensity);
    EXPECT_EQ(a.m_intensityFraction, b.m_intensityFraction);
    EXPECT_EQ(a.m_calibratedIntensity, b.m_calibratedIntensity);
    EXPECT_EQ(a.m_calibratedIntensityPercentage, b.m_calibratedIntensityPercentage);
    EXPECT_EQ(a.m_calibratedMW, b.m_calibratedMW);
    EXPECT_EQ(a.m_relativeMigration, b.m_relativeMigration);
    EXPECT_EQ(a.m_hasKnownMW, b.m_hasKnownMW);
    EXPECT_EQ(a.m_hasKnownIntensity, b.m_hasKnownIntensity);
    EXPECT_EQ(a.m_knownMW, b.m_knownMW);
    EXPECT_EQ(a.m_knownIntensity, b.m_knownIntensity);
    EXPECT_EQ(a.m_topBoundary.vector(), b.m_topBoundary.vector());
    EXPECT_EQ(a.m_bottomBoundary.vector(), b.m_bottomBoundary.vector());
    EXPECT_EQ(a.m_leftBoundary.vector(), b.m_leftBoundary.vector());
    EXPECT_EQ(a.m_rightBoundary.vector(), b.m_rightBoundary.vector());
    EXPECT_EQ(a.m_surfaceArea, b.m_surfaceArea);
    EXPECT_EQ(a.m_intensityPerSurfaceArea, b.m_intensityPerSurfaceArea);
}

} // namespace

TEST(BandData, NewRecordIsEmpty)
{
    const BandData d;
    expectSame(d, BandData());
    EXPECT_EQ(d.m_centerOfGravity, CPoint(0, 0));
    EXPECT_FALSE(d.m_valid);
    EXPECT_EQ(d.m_intensity, 0.0);
    EXPECT_EQ(d.m_topBoundary.GetSize(), 0);
}

TEST(BandData, Schema3RoundTripsEveryField)
{
    const BandData original = everyField();
    const QByteArray bytes = storeBytes([&](CArchive &ar) { ar.WriteObject(&original); });
    // Tag: 0xFFFF, schema 3, name length 8, "BandData".
    ASSERT_GE(bytes.size(), 14);
    EXPECT_EQ(uint8_t(bytes[2]), 3);
    EXPECT_EQ(bytes.mid(6, 8), QByteArray("BandData"));
    // 49 head + 10 doubles + int + 2 doubles + 2 flags + 2 doubles, then four
    // point lists holding 2, 1, 1, 1 points.
    EXPECT_EQ(bytes.size(), 14 + 183 + 5 * 8);

    std::unique_ptr<BandData> read;
    loadBytes(bytes, [&](CArchive &ar) { read.reset(ar.ReadObjectAs<BandData>()); });
    ASSERT_TRUE(read);
    expectSame(*read, original);
}

TEST(BandData, Schema3LaysOutFieldsInStoredOrder)
{
    BandData d;
    d.m_surfaceArea = 0x01020304;
    d.m_intensityFraction = 0.5;
    d.m_hasKnownIntensity = true;
    const QByteArray bytes = storeBytes([&](CArchive &ar) { d.Serialize(ar); });
    ASSERT_EQ(bytes.size(), 183);
    // After the 49-byte head and 10 doubles: surface area, intensity per area,
    // intensity fraction, the two flags.
    const int at = 49 + 80;
    EXPECT_EQ(uint8_t(bytes[at]), 0x04);
    EXPECT_EQ(uint8_t(bytes[at + 3]), 0x01);
    double fraction = 0.0;
    memcpy(&fraction, bytes.constData() + at + 12, 8);
    EXPECT_EQ(fraction, 0.5);
    EXPECT_EQ(uint8_t(bytes[at + 20]), 0);
    EXPECT_EQ(uint8_t(bytes[at + 21]), 1);
}

TEST(BandData, ReadsSchema2And1)
{
    for (const uint16_t schema : {uint16_t(2), uint16_t(1)}) {
        SCOPED_TRACE(schema);
        const QByteArray bytes = storeBytes([&](CArchive &ar) {
            writeClassTag(ar, schema);
            writeHead(ar);
            writeOldBody(ar);
            ar << int32_t(99) << 12.25;
            if (schema == 2)
                ar << 0.3;
        });
        std::unique_ptr<BandData> read;
        loadBytes(bytes, [&](CArchive &ar) { read.reset(ar.ReadObjectAs<BandData>()); });
        ASSERT_TRUE(read);
        expectHead(*read);
        expectOldBody(*read);
        EXPECT_EQ(read->m_surfaceArea, 99);
        EXPECT_EQ(read->m_intensityPerSurfaceArea, 12.25);
        EXPECT_EQ(read->m_intensityFraction, schema == 2 ? 0.3 : 0.0);
        EXPECT_FALSE(read->m_hasKnownMW);
    }
}

TEST(BandData, ReadsOldestForm)
{
    const QByteArray bytes = storeBytes([&](CArchive &ar) {
        writeHead(ar);
        writeOldBody(ar);
        ar << int32_t(0x7777); // what follows the record belongs to the lane
    });
    BandData d;
    int32_t next = 0;
    loadBytes(bytes, [&](CArchive &ar) {
        d.ReadV2AndBelow(ar);
        ar >> next;
    });
    expectHead(d);
    expectOldBody(d);
    EXPECT_EQ(next, 0x7777);
}

TEST(BandData, TruncatedInputRaisesAndLeavesTheRecord)
{
    BandData original = everyField();
    const QByteArray full = storeBytes([&](CArchive &ar) { original.Serialize(ar); });
    const QByteArray oldest = storeBytes([&](CArchive &ar) {
        writeHead(ar);
        writeOldBody(ar);
    });
    for (int n = 0; n < full.size(); ++n) {
        BandData d;
        d.m_peakArea = 42.0;
        EXPECT_THROW(loadBytes(full.left(n), [&](CArchive &ar) { d.Serialize(ar); }), CArchiveException)
            << "length " << n;
        EXPECT_EQ(d.m_peakArea, 42.0);
        EXPECT_EQ(d.m_topBoundary.GetSize(), 0);
    }
    for (int n = 0; n < oldest.size(); ++n) {
        BandData d;
        EXPECT_THROW(loadBytes(oldest.left(n), [&](CArchive &ar) { d.ReadV2AndBelow(ar); }),
                     CArchiveException)
            << "length " << n;
    }
}

TEST(BandData, DamagedInputIsRefused)
{
    // A point count far beyond the input.
    const QByteArray huge = storeBytes([&](CArchive &ar) {
        writeHead(ar);
        ar << 1.0 << 2.0 << 3.0 << 4.0 << 5.0 << 6.0 << 7.0 << 8.0 << 9.0;
        ar << uint8_t(0) << 0.0 << 0.1 << int32_t(100000000);
    });
    BandData d;
    EXPECT_THROW(loadBytes(huge, [&](CArchive &ar) { d.ReadV2AndBelow(ar); }), CArchiveException);

    // An unknown schema is refused rather than misread.
    const QByteArray schema9 = storeBytes([&](CArchive &ar) {
        writeClassTag(ar, 9);
        writeHead(ar);
        writeOldBody(ar);
    });
    try {
        loadBytes(schema9, [&](CArchive &ar) { delete ar.ReadObjectAs<BandData>(); });
        FAIL() << "schema 9 was read";
    } catch (const CArchiveException &e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badSchema);
    }
}

TEST(BandData, InfoLines)
{
    BandData d;
    d.m_centerOfGravity = CPoint(17, 250);
    d.m_peakAmplitude = 12345.6;
    d.m_lowerEdgeHeight = 1000.0;
    d.m_upperEdgeHeight = 2001.0;
    d.m_peakArea = 1234567.891;
    d.m_peakAreaFraction = 0.75;
    d.m_intensity = 98765.4321;
    d.m_intensityFraction = 0.25;
    d.m_knownIntensity = 5.0;
    d.m_calibratedIntensity = 4.999;
    d.m_knownMW = 1500.0;
    d.m_calibratedMW = 1498.256;
    d.m_surfaceArea = 1234;
    d.m_intensityPerSurfaceArea = 80.0368;
    d.m_relativeMigration = 0.5;

    QStringList lines{QStringLiteral("kept")};
    d.fillInInfo(lines);
    const QStringList expected{
        QStringLiteral("kept"),
        QStringLiteral("Center of Gravity|xy=(17,250)"),
        QStringLiteral("Peak Amplitude (z)|12,346"),
        QStringLiteral("Baseline (z)|1,501"),
        QStringLiteral("Peak Area (z)|1,234,567.89"),
        QStringLiteral("Percentage Peak Area|0.75"),
        QStringLiteral("Intensity (z)|98,765.43"),
        QStringLiteral("Percentage Intensity in a lane|0.25"),
        QStringLiteral("Known intensity|5.00"),
        QStringLiteral("Calibrated intensity|5.00"),
        QStringLiteral("Known Molecular Weight|1,500.00"),
        QStringLiteral("Calibrated Molecular Weight|1,498.26"),
        QStringLiteral("SurfaceArea (xy)|1,234.00"),
        QStringLiteral("Intensity/SurfaceArea|80.04"),
        QStringLiteral("Relative migration|0.50"),
    };
    EXPECT_EQ(lines, expected);
    EXPECT_DOUBLE_EQ(d.getAverageBaseLine(), 1500.5);
}

TEST(BandData, ContourRegionAndPerimeter)
{
    BandData d;
    QRegion region;
    CRect box(1, 1, 1, 1);
    EXPECT_FALSE(d.getRegion(&region));
    EXPECT_TRUE(region.isEmpty());
    EXPECT_FALSE(d.getRecRegion(&box));
    EXPECT_TRUE(box.IsRectNull());

    // A 10 x 6 box: left point, top edge left to right, right point, bottom edge
    // right to left.
    d.m_leftBoundary.Add(CPoint(10, 23));
    for (int x = 11; x <= 19; ++x)
        d.m_topBoundary.Add(CPoint(x, 20));
    d.m_rightBoundary.Add(CPoint(20, 23));
    for (int x = 19; x >= 11; --x)
        d.m_bottomBoundary.Add(CPoint(x, 26));

    CPointArray perimeter;
    perimeter.Add(CPoint(-5, -5));
    d.getPerimeterPoints(perimeter);
    ASSERT_EQ(perimeter.GetSize(), 20);
    EXPECT_EQ(perimeter[0], CPoint(10, 23));
    EXPECT_EQ(perimeter[1], CPoint(11, 20));
    EXPECT_EQ(perimeter[10], CPoint(20, 23));
    EXPECT_EQ(perimeter[11], CPoint(19, 26));

    ASSERT_TRUE(d.getRegion(&region));
    EXPECT_TRUE(region.contains(QPoint(15, 23)));
    EXPECT_FALSE(region.contains(QPoint(15, 27)));
    EXPECT_FALSE(region.contains(QPoint(5, 23)));
    ASSERT_TRUE(d.getRecRegion(&box));
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 20);
    EXPECT_LE(box.right, 21);
    EXPECT_GE(box.right, 20);
    EXPECT_LE(box.bottom, 27);
    EXPECT_GE(box.bottom, 26);

    // Two points enclose nothing.
    BandData line;
    line.m_leftBoundary.Add(CPoint(0, 0));
    line.m_rightBoundary.Add(CPoint(9, 0));
    EXPECT_FALSE(line.getRegion(&region));
}

TEST(BandData, LaneFractions)
{
    BandData a;
    BandData b;
    a.m_peakArea = 30.0;
    b.m_peakArea = 10.0;
    a.m_intensity = 1.0;
    b.m_intensity = 3.0;
    BandData::setLaneFractions({&a, &b});
    EXPECT_DOUBLE_EQ(a.m_peakAreaFraction, 0.75);
    EXPECT_DOUBLE_EQ(b.m_peakAreaFraction, 0.25);
    EXPECT_DOUBLE_EQ(a.m_intensityFraction, 0.25);
    EXPECT_DOUBLE_EQ(b.m_intensityFraction, 0.75);

    // A lane with nothing measured has shares of 0, not NaN.
    a.m_peakArea = b.m_peakArea = 0.0;
    a.m_intensity = 5.0;
    b.m_intensity = -5.0;
    BandData::setLaneFractions({&a, &b});
    EXPECT_EQ(a.m_peakAreaFraction, 0.0);
    EXPECT_EQ(b.m_peakAreaFraction, 0.0);
    EXPECT_EQ(a.m_intensityFraction, 0.0);
    EXPECT_EQ(b.m_intensityFraction, 0.0);
    EXPECT_EQ(BandData::laneFraction(1.0, std::nan("")), 0.0);
}
