#pragma once

// Straightforward window scans, written the plain way, against which the
// fast filters of ImageProcessing are checked.

class RasterImageGS16;

namespace reference {

// Every window scanned pixel by pixel, starting from dst's largest value.
void minFilter(const RasterImageGS16 &src, RasterImageGS16 &dst, int rx, int ry);

// Every 2n x 2n window summed pixel by pixel into a working copy, whose
// interior is then copied back (n <= 0 leaves the raster alone).
void averageFilter(RasterImageGS16 &img, int n);

} // namespace reference
