#include "imaging/RasterImageGS16.h"
#include "imaging/RasterImageRGB.h"
#include "imaging/TVFImage.h"

#include "data/CIntDataArray.h"
#include "data/CPointArray.h"
#include "platform/Exceptions.h"

#include <FreeImage.h>
#include <gtest/gtest.h>
#include <opencv2/core/mat.hpp>

#include <QFile>

#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

struct BitmapDeleter
{
    void operator()(FIBITMAP *b) const { FreeImage_Unload(b); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// 8-bit bitmap given top row first (the bitmap itself keeps the bottom row first).
Bitmap grey8(int w, int h, const std::vector<int> &topDown)
{
    Bitmap b(FreeImage_Allocate(w, h, 8));
    for (int y = 0; y < h; ++y) {
        BYTE *line = FreeImage_GetScanLine(b.get(), h - 1 - y);
        for (int x = 0; x < w; ++x)
            line[x] = BYTE(topDown[size_t(y * w + x)]);
    }
    return b;
}

Bitmap grey16(int w, int h, const std::vector<int> &topDown)
{
    Bitmap b(FreeImage_AllocateT(FIT_UINT16, w, h, 16));
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<uint16_t *>(FreeImage_GetScanLine(b.get(), h - 1 - y));
        for (int x = 0; x < w; ++x)
            line[x] = uint16_t(topDown[size_t(y * w + x)]);
    }
    return b;
}

std::vector<int> rowOf(const RasterImageGS16 &r, int y)
{
    std::vector<int> v;
    for (int x = 0; x < r.getWidth(); ++x)
        v.push_back(r.getPixel(x, y));
    return v;
}

std::vector<int> valuesOf(const CIntDataArray &a)
{
    return a.vector();
}

} // namespace

TEST(RasterImage, LargestValueFollowsTheDepthAndWrapsAtThirtyTwoBits)
{
    EXPECT_EQ(RasterImage::maxValueForDepth(1), 1);
    EXPECT_EQ(RasterImage::maxValueForDepth(8), 255);
    EXPECT_EQ(RasterImage::maxValueForDepth(16), 65535);
    EXPECT_EQ(RasterImage::maxValueForDepth(24), 16777215);
    EXPECT_EQ(RasterImage::maxValueForDepth(32), 2147483647);
    EXPECT_EQ(RasterImage::maxValueForDepth(0), 0);

    const RasterImage base(7, 3, 16);
    EXPECT_EQ(base.getWidth(), 7);
    EXPECT_EQ(base.getHeight(), 3);
    EXPECT_EQ(base.getMaxPixelValue(), 65535);
    const RasterImage none;
    EXPECT_EQ(none.getBPP(), 0);
    EXPECT_EQ(none.getMaxPixelValue(), 0);

    // Run-time classes, creatable by name, and nothing stored.
    std::unique_ptr<CObject> made(CRuntimeClass::FromName("RasterImageGS16")->CreateObject());
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(RasterImage)));
    EXPECT_TRUE(RasterImageRGB::GetThisClass()->IsVersionable());
}

TEST(RasterImageGS16, EightBitBitmapIsTurnedTopDown)
{
    // Bottom scan line 1 2 3, top scan line 4 5 6.
    const Bitmap b = grey8(3, 2, {4, 5, 6, 1, 2, 3});
    const BYTE *bottom = FreeImage_GetScanLine(b.get(), 0);
    ASSERT_EQ(bottom[0], 1);

    const RasterImageGS16 r(b.get());
    EXPECT_EQ(r.getBPP(), 8);
    EXPECT_EQ(r.getMaxPixelValue(), 255);
    EXPECT_EQ(rowOf(r, 0), (std::vector<int> {4, 5, 6}));
    EXPECT_EQ(rowOf(r, 1), (std::vector<int> {1, 2, 3}));
    EXPECT_EQ(r.getMin(), 1);
    EXPECT_EQ(r.getMax(), 6);
    EXPECT_DOUBLE_EQ(r.getMean(), 3.5);

    // And back: an 8-bit standard bitmap with the same scan lines.
    const Bitmap back(r.convert2FIBitmap());
    ASSERT_TRUE(back);
    EXPECT_EQ(FreeImage_GetImageType(back.get()), FIT_BITMAP);
    EXPECT_EQ(FreeImage_GetBPP(back.get()), 8u);
    for (int line = 0; line < 2; ++line)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(FreeImage_GetScanLine(back.get(), line)[x],
                      FreeImage_GetScanLine(b.get(), line)[x]);

    // The same through a display image.
    std::unique_ptr<TVFImage> image = r.convert2TVFImage();
    ASSERT_TRUE(image);
    const RasterImageGS16 again(image.get());
    EXPECT_EQ(rowOf(again, 0), (std::vector<int> {4, 5, 6}));
    EXPECT_EQ(again.getBPP(), 8);
}

TEST(RasterImageGS16, PalettisedEightBitReadsThePaletteIndex)
{
    Bitmap b = grey8(2, 1, {3, 200});
    RGBQUAD *palette = FreeImage_GetPalette(b.get());
    for (int i = 0; i < 256; ++i)
        palette[i] = RGBQUAD {BYTE(255 - i), 0, BYTE(i), 0}; // not grey at all
    const RasterImageGS16 r(b.get());
    EXPECT_EQ(rowOf(r, 0), (std::vector<int> {3, 200}));
}

TEST(RasterImageGS16, SixteenBitKeepsFullRangeAndOtherKindsReadZero)
{
    const Bitmap b = grey16(2, 2, {0, 65535, 300, 65535});
    const RasterImageGS16 r(b.get());
    EXPECT_EQ(r.getBPP(), 16);
    EXPECT_EQ(r.getMaxPixelValue(), 65535);
    EXPECT_EQ(rowOf(r, 0), (std::vector<int> {0, 65535}));
    EXPECT_EQ(rowOf(r, 1), (std::vector<int> {300, 65535}));

    CIntDataArray histogram;
    histogram.Add(42); // emptied first
    r.getHistogram(&histogram);
    ASSERT_EQ(histogram.GetSize(), 65536);
    EXPECT_EQ(histogram[0], 1);
    EXPECT_EQ(histogram[300], 1);
    EXPECT_EQ(histogram[65535], 2);

    const Bitmap back(r.convert2FIBitmap());
    EXPECT_EQ(FreeImage_GetImageType(back.get()), FIT_UINT16);
    EXPECT_EQ(reinterpret_cast<const uint16_t *>(FreeImage_GetScanLine(back.get(), 1))[1], 65535);

    // A colour bitmap has no grey values: zeros, but its own depth.
    const Bitmap colour(FreeImage_Allocate(3, 2, 24));
    RGBQUAD red {0, 0, 255, 0};
    FreeImage_SetPixelColor(colour.get(), 1, 1, &red);
    const RasterImageGS16 zero(colour.get());
    EXPECT_EQ(zero.getBPP(), 24);
    EXPECT_EQ(zero.getMax(), 0);
    EXPECT_EQ(zero.getMin(), 0);

    // A null bitmap gives an empty raster; a header without pixels a blank one.
    const RasterImageGS16 nothing(static_cast<FIBITMAP *>(nullptr));
    EXPECT_EQ(nothing.getWidth(), 0);
    FIMEMORY *memory = FreeImage_OpenMemory();
    const Bitmap full = grey16(4, 3, std::vector<int>(12, 500));
    ASSERT_TRUE(FreeImage_SaveToMemory(FIF_PNG, full.get(), memory));
    FreeImage_SeekMemory(memory, 0, SEEK_SET);
    const Bitmap header(FreeImage_LoadFromMemory(FIF_PNG, memory, FIF_LOAD_NOPIXELS));
    FreeImage_CloseMemory(memory);
    ASSERT_TRUE(header);
    ASSERT_FALSE(FreeImage_HasPixels(header.get()));
    const RasterImageGS16 blank(header.get());
    EXPECT_EQ(blank.getWidth(), 4);
    EXPECT_EQ(blank.getMax(), 0);
    const RasterImageRGB blankColour(header.get());
    EXPECT_EQ(blankColour.getPixel(3, 2)->rgbRed, 0);
}

TEST(RasterImageGS16, StatisticsStartUnsetAndCopiesDifferInWhetherTheyRecompute)
{
    const RasterImageGS16 none;
    EXPECT_EQ(none.getMin(), INT_MIN);
    EXPECT_EQ(none.getMax(), INT_MAX);
    EXPECT_EQ(none.getMean(), 0.0);

    RasterImageGS16 r(3, 1);
    EXPECT_EQ(r.getBPP(), 16);
    EXPECT_EQ(r.getMin(), INT_MIN);
    r.setPixel(0, 0, 10);
    r.setPixel(1, 0, 20);
    r.setPixel(2, 0, 60);
    EXPECT_EQ(r.getMax(), INT_MAX); // setPixel leaves them stale

    const RasterImageGS16 asItStands(r);
    EXPECT_EQ(asItStands.getMax(), INT_MAX);
    EXPECT_EQ(asItStands.getPixel(2, 0), 60);
    const RasterImageGS16 recomputed(&r);
    EXPECT_EQ(recomputed.getMin(), 10);
    EXPECT_EQ(recomputed.getMax(), 60);
    EXPECT_DOUBLE_EQ(recomputed.getMean(), 30.0);

    // Deep copies: changing the copy leaves the source.
    RasterImageGS16 assigned;
    assigned = recomputed;
    assigned.setPixel(0, 0, 99);
    EXPECT_EQ(recomputed.getPixel(0, 0), 10);
    EXPECT_EQ(assigned.getMean(), 30.0);
    // Assigned again at the same size (its buffer is refilled): the source's
    // values and statistics, and still a copy of its own.
    assigned.setPixel(1, 0, 77);
    assigned = recomputed;
    EXPECT_EQ(assigned.getPixel(0, 0), 10);
    EXPECT_EQ(assigned.getPixel(1, 0), 20);
    EXPECT_EQ(assigned.getMax(), 60);
    assigned.setPixel(2, 0, 5);
    EXPECT_EQ(recomputed.getPixel(2, 0), 60);

    // No pixels: the computing start values and 0 / 0.
    RasterImageGS16 empty(0, 0);
    empty.calculateStatistics();
    EXPECT_EQ(empty.getMin(), INT_MAX);
    EXPECT_EQ(empty.getMax(), INT_MIN);
    EXPECT_TRUE(std::isnan(empty.getMean()));
    CIntDataArray out;
    empty.copyTo(&out);
    EXPECT_EQ(out.GetSize(), 0);
    empty.getHistogram(&out);
    EXPECT_EQ(out.GetSize(), 65536);
    EXPECT_EQ(out.GetSum(), 0);
}

TEST(RasterImageGS16, RowAndColumnRunsStopTwoShortGoingBackwards)
{
    RasterImageGS16 r(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            r.setPixel(x, y, 10 * y + x);
    CIntDataArray out;
    r.getHorizontalPixels(&out, 5, 2, 3);
    EXPECT_EQ(valuesOf(out), (std::vector<int> {35, 34}));
    r.getHorizontalPixels(&out, 2, 5, 3); // appends
    EXPECT_EQ(valuesOf(out), (std::vector<int> {35, 34, 32, 33, 34}));
    r.getHorizontalPixels(&out, 4, 4, 3);
    EXPECT_EQ(out.GetSize(), 5);

    out.RemoveAll();
    r.getVerticalPixels(&out, 6, 1, 2);
    EXPECT_EQ(valuesOf(out), (std::vector<int> {62, 52, 42, 32}));
    out.RemoveAll();
    r.getVerticalPixels(&out, 0, 3, 7);
    EXPECT_EQ(valuesOf(out), (std::vector<int> {7, 17, 27}));
    // Runs off the raster are refused instead of reading outside it.
    EXPECT_THROW(r.getVerticalPixels(&out, 6, 9, 0), CInvalidArgException);
    EXPECT_THROW(r.getHorizontalPixels(&out, 0, 3, 8), CInvalidArgException);

    // A rectangle column by column; a point list in list order.
    r.getPixelsFor(CRect(0, 0, 2, 2), &out);
    EXPECT_EQ(valuesOf(out), (std::vector<int> {0, 10, 1, 11}));
    CPointArray points;
    points.Add(CPoint(7, 7));
    points.Add(CPoint(0, 1));
    r.getPixelsFor(&points, &out);
    EXPECT_EQ(valuesOf(out), (std::vector<int> {77, 10}));
    points.Add(CPoint(8, 0));
    EXPECT_THROW(r.getPixelsFor(&points, &out), CInvalidArgException);

    r.copyTo(&out);
    ASSERT_EQ(out.GetSize(), 64);
    EXPECT_EQ(out[9], 11);

    // Vertical beam: rounded mean of columns 2..3 (given backwards) per row.
    out.RemoveAll();
    r.getxAveregedVertricalBeamProfile(&out, 3, 2);
    ASSERT_EQ(out.GetSize(), 8);
    EXPECT_EQ(out[0], 3); // 2.5 rounds up
    EXPECT_EQ(out[7], 73);
}

TEST(RasterImageGS16, PolarPixelsAndSubtraction)
{
    RasterImageGS16 r(20, 20);
    r.setPixel(5, 15, 123);
    r.setPixel(15, 5, 77);
    EXPECT_EQ(r.getPolarPixel(CPoint(5, 5), 10.0f, 90.0f), 123);
    EXPECT_EQ(r.getPolarPixel(CPoint(5, 5), 10.0f, 0.0f), 77);
    r.setPixel(0, 5, 9);
    EXPECT_EQ(r.getPolarPixel(CPoint(5, 5), 5.0f, 180.0f), 9);
    EXPECT_EQ(r.getPolarPixel(CPoint(5, 5), 6.0f, 180.0f), 0); // x = -1
    EXPECT_EQ(r.getPolarPixel(CPoint(5, 5), 15.0f, 90.0f), 0); // y = 20

    RasterImageGS16 a(2, 2);
    RasterImageGS16 b(3, 3);
    a.setPixel(0, 0, 100);
    a.setPixel(1, 0, 5);
    a.setPixel(0, 1, 40);
    b.setPixel(0, 0, 30);
    b.setPixel(1, 0, 50);
    b.setPixel(0, 1, 40);
    a.subtractImage(&b);
    EXPECT_EQ(rowOf(a, 0), (std::vector<int> {70, 0}));
    EXPECT_EQ(rowOf(a, 1), (std::vector<int> {0, 0}));
    EXPECT_EQ(a.getMax(), 70);
    EXPECT_EQ(a.getMin(), 0);
    EXPECT_DOUBLE_EQ(a.getMean(), 17.5);
    EXPECT_THROW(b.subtractImage(&a), CInvalidArgException);

    // The difference into a third raster (fresh, or reused with stale pixels),
    // and in place, equals copy-then-subtract, statistics included; a smaller
    // subtrahend is refused as before.
    RasterImageGS16 wide(3, 3);
    for (int i = 0; i < 9; ++i)
        wide.setPixel(i % 3, i / 3, (i * 37) % 11 - 2);
    RasterImageGS16 expected(wide);
    expected.subtractImage(&b);
    RasterImageGS16 reused(3, 3);
    reused.setPixel(2, 2, 999);
    RasterImageGS16 fresh;
    for (RasterImageGS16 *target : {&reused, &fresh, &wide}) { // in place last
        target->setDifference(wide, b);
        for (int y = 0; y < 3; ++y)
            EXPECT_EQ(rowOf(*target, y), rowOf(expected, y));
        EXPECT_EQ(target->getMin(), expected.getMin());
        EXPECT_EQ(target->getMax(), expected.getMax());
        EXPECT_DOUBLE_EQ(target->getMean(), expected.getMean());
    }
    EXPECT_THROW(wide.setDifference(wide, a), CInvalidArgException);

    // Values outside 0 .. largest value cannot be counted.
    a.setPixel(1, 1, -1);
    CIntDataArray histogram;
    EXPECT_THROW(a.getHistogram(&histogram), CInvalidArgException);
}

TEST(RasterImageGS16, OpenCVMatricesUseTheirRowStepAndType)
{
    // A 3 x 2 window of a larger matrix: rows are not contiguous.
    cv::Mat big(4, 5, CV_16UC1, cv::Scalar(0));
    big.at<uint16_t>(1, 1) = 65535;
    big.at<uint16_t>(2, 3) = 7;
    const cv::Mat part = big(cv::Rect(1, 1, 3, 2));
    ASSERT_FALSE(part.isContinuous());
    const RasterImageGS16 r(part);
    EXPECT_EQ(r.getWidth(), 3);
    EXPECT_EQ(r.getHeight(), 2);
    EXPECT_EQ(r.getBPP(), 16);
    EXPECT_EQ(rowOf(r, 0), (std::vector<int> {65535, 0, 0}));
    EXPECT_EQ(rowOf(r, 1), (std::vector<int> {0, 0, 7}));
    EXPECT_EQ(r.getMax(), INT_MAX); // statistics unset

    cv::Mat bytes(1, 2, CV_8UC1);
    bytes.at<uchar>(0, 1) = 250;
    const RasterImageGS16 eight(bytes);
    EXPECT_EQ(eight.getBPP(), 8);
    EXPECT_EQ(eight.getPixel(1, 0), 250);

    const cv::Mat floats(2, 2, CV_32FC1, cv::Scalar(3.0));
    const RasterImageGS16 other(floats);
    EXPECT_EQ(other.getBPP(), 1);
    EXPECT_EQ(other.getMaxPixelValue(), 1);
    EXPECT_EQ(other.getPixel(1, 1), 0);
}

TEST(RasterImageRGB, QuadsCarryBlueGreenRedAndChannelsSplit)
{
    const Bitmap b(FreeImage_Allocate(3, 2, 24));
    // Top-left pixel (x 0, raster row 0 = scan line 1).
    RGBQUAD c {10, 20, 30, 0};
    FreeImage_SetPixelColor(b.get(), 0, 1, &c);
    RGBQUAD d {1, 2, 250, 0};
    FreeImage_SetPixelColor(b.get(), 2, 0, &d);

    RasterImageRGB r(b.get());
    EXPECT_EQ(r.getBPP(), 24);
    const auto *bytes = reinterpret_cast<const unsigned char *>(r.getPixel(0, 0));
    EXPECT_EQ(bytes[0], 10); // memory order blue, green, red, reserved
    EXPECT_EQ(bytes[1], 20);
    EXPECT_EQ(bytes[2], 30);
    EXPECT_EQ(r.getPixel(2, 1)->rgbRed, 250);

    const auto red = r.getRedChannelCVMatrix();
    EXPECT_EQ(red->type(), CV_8UC1);
    EXPECT_EQ(red->rows, 2);
    EXPECT_EQ(red->cols, 3);
    EXPECT_EQ(red->at<uchar>(0, 0), 30);
    EXPECT_EQ(red->at<uchar>(1, 2), 250);
    EXPECT_EQ(r.getGreenChannelCVMatrix()->at<uchar>(0, 0), 20);
    EXPECT_EQ(r.getBlueChannelCVMatrix()->at<uchar>(1, 2), 1);
    const auto bgr = r.getRGBCVMatrix();
    EXPECT_EQ(bgr->type(), CV_8UC3);
    EXPECT_EQ((*bgr)(0, 0), cv::Vec3b(10, 20, 30));

    // Back to a bitmap: the same colours at the same scan lines.
    const Bitmap back(r.convert2FIBitmap());
    RGBQUAD q {};
    ASSERT_TRUE(FreeImage_GetPixelColor(back.get(), 2, 0, &q));
    EXPECT_EQ(q.rgbRed, 250);
    EXPECT_EQ(q.rgbBlue, 1);

    // Through a display image and back.
    const std::unique_ptr<TVFImage> image = r.convert2TVFImage();
    const RasterImageRGB again(image.get());
    EXPECT_EQ(again.getBPP(), 24);
    EXPECT_EQ(again.getPixel(0, 0)->rgbGreen, 20);
    EXPECT_EQ(again.getPixel(2, 1)->rgbRed, 250);

    // Deep copy, polar access.
    RasterImageRGB copy(r);
    copy.setPixel(0, 0, RGBQUAD {0, 0, 0, 0});
    EXPECT_EQ(r.getPixel(0, 0)->rgbRed, 30);
    EXPECT_EQ(r.getPolarPixel(CPoint(0, 0), 2.0f, 0.0f), r.getPixel(2, 0));
    EXPECT_EQ(r.getPolarPixel(CPoint(0, 0), 3.0f, 0.0f), nullptr);
    EXPECT_EQ(r.getPolarPixel(CPoint(0, 0), 1.0f, 270.0f), nullptr);

    // The blank constructor: 24 bits of zeros.
    const RasterImageRGB blank(2, 2);
    EXPECT_EQ(blank.getMaxPixelValue(), 16777215);
    EXPECT_EQ(blank.getPixel(1, 1)->rgbGreen, 0);
}

TEST(RasterImageRGB, ThirtyTwoBitKeepsItsDepthAndEightBitStaysZero)
{
    const Bitmap b(FreeImage_Allocate(2, 1, 32));
    RGBQUAD c {5, 6, 7, 200};
    FreeImage_SetPixelColor(b.get(), 1, 0, &c);
    const RasterImageRGB r(b.get());
    EXPECT_EQ(r.getBPP(), 32);
    EXPECT_EQ(r.getPixel(1, 0)->rgbRed, 7);
    EXPECT_EQ(r.getPixel(1, 0)->rgbReserved, 200);

    const Bitmap grey = grey8(2, 1, {9, 9});
    const RasterImageRGB none(grey.get());
    EXPECT_EQ(none.getPixel(0, 0)->rgbRed, 0);
    EXPECT_EQ(none.getPixel(0, 0)->rgbBlue, 0);
}

TEST(RasterImageGS16, RealSixteenBitScanHasSaneStatistics)
{
    const QString path = "../shared/gels/09b_biorad1sc_test4_ref_16bit_BlackIsZero.tif";
    if (!QFile::exists(path))
        GTEST_SKIP() << "real gel scan not available";
    const QByteArray name = path.toLocal8Bit();
    // Detection by contents takes this TIFF for a camera raw file (LibRaw reads
    // TIFF containers and demosaics them), so the format is given.
    const Bitmap b(FreeImage_Load(FIF_TIFF, name.constData()));
    ASSERT_TRUE(b);
    ASSERT_EQ(FreeImage_GetImageType(b.get()), FIT_UINT16);

    const RasterImageGS16 r(b.get());
    EXPECT_EQ(r.getWidth(), 696);
    EXPECT_EQ(r.getHeight(), 520);
    EXPECT_EQ(r.getMaxPixelValue(), 65535);
    EXPECT_LE(0, r.getMin());
    EXPECT_LT(r.getMin(), r.getMean());
    EXPECT_LT(r.getMean(), r.getMax());
    EXPECT_LE(r.getMax(), 65535);
    // A gel has contrast: bands and background are far apart.
    EXPECT_GT(r.getMax() - r.getMin(), 1000);

    // Top raster row is the last scan line; the histogram counts every pixel.
    const auto *top = reinterpret_cast<const uint16_t *>(FreeImage_GetScanLine(b.get(), 519));
    EXPECT_EQ(r.getPixel(100, 0), top[100]);
    CIntDataArray histogram;
    r.getHistogram(&histogram);
    int64_t total = 0;
    double weighted = 0.0;
    for (int v = 0; v < histogram.GetSize(); ++v) {
        total += histogram[v];
        weighted += double(histogram[v]) * v;
    }
    EXPECT_EQ(total, 696 * 520);
    EXPECT_NEAR(weighted / double(total), r.getMean(), 1e-6);
}
