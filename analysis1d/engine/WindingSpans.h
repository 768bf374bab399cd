#pragma once

// The pixels of a closed polygon filled with the winding rule, held as runs
// of columns row by row. It holds exactly the pixels that a winding-fill
// QRegion of the same polygon contains: a pixel (x, y) is inside when the
// polygon winds around the point (x, y) nudged right and down, so pixels on a
// left or top edge are in and those on a right or bottom edge are out. One
// scan-line pass builds it, where asking the region about every pixel of a
// band's rectangle would cost a search per pixel.

#include "platform/Geometry.h"

#include <vector>

class CPointArray;

class WindingSpans
{
public:
    struct Span
    {
        int left; // first column inside
        int right; // first column after the run
    };

    WindingSpans() = default;
    // The polygon closes from its last point back to the first; fewer than
    // three points enclose nothing.
    explicit WindingSpans(const std::vector<CPoint> &polygon);
    // The contour lists in their order (left, top, right, bottom), as
    // BandData::getRegion joins them.
    static WindingSpans fromContour(const CPointArray &left, const CPointArray &top,
                                    const CPointArray &right, const CPointArray &bottom);

    bool isEmpty() const { return m_spans.empty(); }
    // Rows top()..bottom() - 1 may hold runs.
    int top() const { return m_top; }
    int bottom() const { return m_top + int(m_rowStart.size()) - 1; }
    // The runs of row y, left to right, neither touching nor overlapping;
    // empty outside top()..bottom() - 1.
    const Span *rowBegin(int y) const;
    const Span *rowEnd(int y) const;
    bool contains(int x, int y) const;
    // Smallest rectangle holding every pixel inside, right and bottom
    // exclusive; empty when nothing is inside.
    CRect boundingRect() const;

private:
    int m_top = 0;
    std::vector<int> m_rowStart; // runs of row m_top + i: m_rowStart[i] .. m_rowStart[i + 1] - 1
    std::vector<Span> m_spans;
};
