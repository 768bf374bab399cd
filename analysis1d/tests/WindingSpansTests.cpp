#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/WindingSpans.h"
#include "data/CIntDataArray.h"
#include "imaging/RasterImageGS16.h"

#include <QPolygon>
#include <QRegion>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

// The reference: a winding-fill polygon region asked about every pixel.
void expectSameAsRegion(const std::vector<CPoint> &polygon)
{
    QPolygon qPolygon;
    for (const CPoint &p : polygon)
        qPolygon.append(p.toQPoint());
    const QRegion region(qPolygon, Qt::WindingFill);
    const WindingSpans spans(polygon);
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const CPoint &p : polygon) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    int differing = 0;
    for (int y = minY - 2; y <= maxY + 2; ++y)
        for (int x = minX - 2; x <= maxX + 2; ++x)
            differing += region.contains(QPoint(x, y)) != spans.contains(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(spans.boundingRect(),
              region.isEmpty() ? CRect() : CRect::fromQRect(region.boundingRect()));
    EXPECT_EQ(spans.isEmpty(), region.isEmpty());
}

} // namespace

// Random polygons on a small grid, so that vertices, edges and crossings
// coincide often: self-intersecting, self-touching, doubled-back and
// degenerate ones among them.
TEST(WindingSpans, HoldsWhatTheWindingRegionHolds)
{
    std::mt19937 random(20261209);
    for (int trial = 0; trial < 3000; ++trial) {
        SCOPED_TRACE(trial);
        const int count = 3 + int(random() % 12);
        const int size = 3 + int(random() % 20);
        std::vector<CPoint> polygon;
        for (int i = 0; i < count; ++i)
            polygon.push_back(CPoint(int(random() % size) - 4, int(random() % size) - 3));
        expectSameAsRegion(polygon);
        if (HasFailure())
            break;
    }
}

// Band contours as the boundary search leaves them: one left point, a top
// edge left to right, one right point, a bottom edge right to left; edges
// that touch and cross each other and the side points.
TEST(WindingSpans, HoldsWhatTheRegionOfABandContourHolds)
{
    std::mt19937 random(7);
    for (int trial = 0; trial < 2000; ++trial) {
        SCOPED_TRACE(trial);
        const int width = 2 + int(random() % 40);
        const int height = 2 + int(random() % 30);
        const int centre = int(random() % unsigned(height));
        std::vector<CPoint> polygon;
        polygon.push_back(CPoint(0, centre));
        for (int x = 1; x < width; ++x)
            polygon.push_back(CPoint(x, int(random() % unsigned(height))));
        polygon.push_back(CPoint(width, int(random() % unsigned(height))));
        for (int x = width - 1; x >= 1; --x)
            polygon.push_back(CPoint(x, int(random() % unsigned(height))));
        expectSameAsRegion(polygon);
        if (HasFailure())
            break;
    }
}

TEST(WindingSpans, RunsOfARectangleAndOfNothing)
{
    const WindingSpans rect({CPoint(2, 3), CPoint(7, 3), CPoint(7, 6), CPoint(2, 6)});
    EXPECT_EQ(rect.boundingRect(), CRect(2, 3, 7, 6));
    ASSERT_EQ(rect.rowEnd(4) - rect.rowBegin(4), 1);
    EXPECT_EQ(rect.rowBegin(4)->left, 2);
    EXPECT_EQ(rect.rowBegin(4)->right, 7);
    EXPECT_EQ(rect.rowBegin(6), rect.rowEnd(6));
    EXPECT_TRUE(WindingSpans({CPoint(0, 0), CPoint(5, 5)}).isEmpty());
    EXPECT_TRUE(WindingSpans({CPoint(0, 0), CPoint(5, 0), CPoint(9, 0)}).isEmpty());
}

// The band's intensity and surface area over its contour: the runs give
// exactly what asking the contour's region about every pixel of the band's
// rectangle gives, on random pictures and random, often self-touching,
// contours reaching past the rectangle and the picture.
TEST(WindingSpans, BandVolumeSameAsTheRegionPerPixelSum)
{
    std::mt19937 random(99);
    RasterImageGS16 img(60, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x)
            img.setPixel(x, y, int(random() % 65536));
    CIntDataArray background;
    CIntDataArray profile;
    for (int y = 0; y < 50; ++y) {
        background.Add(int(random() % 3000));
        profile.Add(70000);
    }
    for (int trial = 0; trial < 500; ++trial) {
        SCOPED_TRACE(trial);
        const int left = int(random() % 50) - 5;
        const int top = int(random() % 40) - 3;
        const CRect rect(left, top, left + 2 + int(random() % 30), top + 2 + int(random() % 20));
        Band band(rect, rect, CRect());
        BandData &d = *band.getData();
        const auto point = [&] {
            return CPoint(rect.left - 3 + int(random() % unsigned(rect.Width() + 6)),
                          rect.top - 3 + int(random() % unsigned(rect.Height() + 6)));
        };
        d.m_leftBoundary.Add(point());
        for (int i = int(random() % 12); i > 0; --i)
            d.m_topBoundary.Add(point());
        if (trial % 5 != 0)
            d.m_rightBoundary.Add(point());
        for (int i = int(random() % 12); i > 0; --i)
            d.m_bottomBoundary.Add(point());

        // The reference: the winding-fill region asked about every pixel of
        // the rectangle (clipped to the picture), the whole rectangle without
        // a region.
        const CRect clipped(std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, 59),
                            std::min(rect.bottom, 49));
        const float baseline = float((double(background[std::clamp(rect.top, 0, 49)])
                                      + double(background[std::clamp(rect.bottom, 0, 49)]))
                                     * 0.5);
        QRegion region;
        const bool haveRegion = d.getRegion(&region);
        double intensity = 0.0;
        int surface = 0;
        for (int y = clipped.top; y <= clipped.bottom; ++y)
            for (int x = clipped.left; x <= clipped.right; ++x) {
                if (haveRegion && !region.contains(QPoint(x, y)))
                    continue;
                intensity += double(img.getPixel(x, y)) - double(baseline);
                ++surface;
            }

        if (rect.top < 0 || rect.bottom > 49)
            continue; // the profiles refuse rows outside the lane
        // A centre value above the baseline, so that the volume is measured.
        band.CalculateData(&img, &background, &profile, 0, 49);
        if (d.m_peakAmplitude < 0.0)
            continue;
        ASSERT_EQ(d.m_surfaceArea, surface);
        ASSERT_EQ(d.m_intensity, intensity); // bit for bit: the same sum in the same order
    }
}
