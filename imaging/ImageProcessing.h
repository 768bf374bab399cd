#pragma once

// Pixel algorithms on grey rasters used by the analysis engine: background by
// a moving minimum, average smoothing, centre of mass and boundary search.
// The two filters cost O(width x height) whatever the window, and give
// exactly what a plain scan of each window gives.

#include "platform/CObject.h"
#include "platform/Geometry.h"

class RasterImageGS16;
class CPointArray;

class ImageProcessing : public CObject
{
    DECLARE_DYNCREATE(ImageProcessing)

public:
    ImageProcessing();
    ~ImageProcessing() override;

    // Lowers min to the smallest value in columns x0..x1-1, rows y0..y1-1
    // (clipped to the raster); min must be set by the caller.
    static void getMinValue(const RasterImageGS16 *img, int x0, int y0, int x1, int y1, int &min);

    // dst(x, y) = min(dst's largest value, minimum of src over columns
    // max(0, x-rx) .. min(w-1, x+rx)-1 and rows max(0, y-ry) .. min(h-1, y+ry)-1);
    // an empty window leaves the largest value. dst must be at least as large
    // as src (CInvalidArgException otherwise); dst may be src.
    static void generateBGViaMinFilter(const RasterImageGS16 *src, RasterImageGS16 *dst, int rx,
                                       int ry);

    // Every pixel with n <= x < w-n and n <= y < h-n becomes the truncated mean
    // of the 2n x 2n block at columns x-n..x+n-1, rows y-n..y+n-1 of the
    // original; the border of width n keeps its values. n <= 0 changes nothing.
    // Statistics are not recomputed.
    static void smoothenViaAverageFilter(RasterImageGS16 *img, int n);

    // Intensity-weighted centre of the rectangle (clipped to the raster).
    static CPoint findCenterOfMass3D(const RasterImageGS16 *img, CRect rect);

    // The same pixels weighted by what rises above base, max(0, v - base), so
    // that a high background cannot pull the centre towards the rectangle's
    // middle; findCenterOfMass3D's answer where nothing rises above base.
    static CPoint findCenterOfMassAbove(const RasterImageGS16 *img, CRect rect, double base);

    // 360 points, one per degree: on each ray from centre, the first pixel
    // darker than base + fraction * (centre - base), where base is the smallest
    // corner value of the rectangle; else the point where the ray left the
    // rectangle or ended.
    static void findBroundryPoints(const RasterImageGS16 *img, CRect rect, CPoint centre,
                                   float fraction, CPointArray *out);

    // The same threshold, searched along columns: the band's extent is found on
    // the centre row, then every column in it is walked up and down from the
    // centre row. Appends the upper outline left to right, then the lower
    // outline right to left (a closed outline); nothing when the centre is
    // outside the rectangle or already below the threshold.
    static void findBroundryPointsUpDown(const RasterImageGS16 *img, CRect rect, CPoint centre,
                                         float fraction, CPointArray *out);

    // The rectangle limited to the raster (every edge kept within 0..w-1 and
    // 0..h-1), then normalised.
    static CRect clipToImage(const RasterImageGS16 *img, CRect rect);
};
