#include "analysis1d/engine/WindingSpans.h"

#include "data/CPointArray.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

struct Edge
{
    int yTop; // first row crossed
    int yBottom; // first row no longer crossed
    int64_t x0; // x at yTop
    int64_t dx; // x change over dy rows
    int64_t dy; // yBottom - yTop, > 0
    int winding; // +1 running down, -1 running up
};

// Smallest integer >= num / den, den > 0.
int64_t ceilDiv(int64_t num, int64_t den)
{
    const int64_t q = num / den;
    return q + ((num % den) > 0 ? 1 : 0);
}

struct Crossing
{
    int64_t x; // first pixel column at or right of the edge on this row
    int winding;
};

} // namespace

WindingSpans::WindingSpans(const std::vector<CPoint> &polygon)
{
    const size_t n = polygon.size();
    if (n < 3)
        return;
    std::vector<Edge> edges;
    edges.reserve(n);
    int yMin = INT_MAX;
    int yMax = INT_MIN;
    for (size_t i = 0; i < n; ++i) {
        const CPoint a = polygon[i];
        const CPoint b = polygon[(i + 1) % n];
        // Horizontal edges bound no row: the rows above and below them are
        // decided by the edges that meet them.
        if (a.y == b.y)
            continue;
        const bool down = a.y < b.y;
        const CPoint &upper = down ? a : b;
        const CPoint &lower = down ? b : a;
        edges.push_back({upper.y, lower.y, upper.x, int64_t(lower.x) - upper.x,
                         int64_t(lower.y) - upper.y, down ? 1 : -1});
        yMin = std::min(yMin, upper.y);
        yMax = std::max(yMax, lower.y);
    }
    if (edges.empty())
        return;
    std::sort(edges.begin(), edges.end(),
              [](const Edge &l, const Edge &r) { return l.yTop < r.yTop; });

    m_top = yMin;
    m_rowStart.reserve(size_t(yMax - yMin) + 1);
    std::vector<const Edge *> active;
    std::vector<Crossing> crossings;
    size_t next = 0;
    for (int y = yMin; y < yMax; ++y) {
        m_rowStart.push_back(int(m_spans.size()));
        while (next < edges.size() && edges[next].yTop == y)
            active.push_back(&edges[next++]);
        active.erase(std::remove_if(active.begin(), active.end(),
                                    [y](const Edge *e) { return e->yBottom <= y; }),
                     active.end());
        crossings.clear();
        for (const Edge *e : active)
            crossings.push_back({e->x0 + ceilDiv(int64_t(y - e->yTop) * e->dx, e->dy), e->winding});
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing &l, const Crossing &r) { return l.x < r.x; });
        // Sweep left to right; crossings at one column take effect together.
        int winding = 0;
        int64_t start = 0;
        for (size_t i = 0; i < crossings.size();) {
            const int64_t x = crossings[i].x;
            const int before = winding;
            while (i < crossings.size() && crossings[i].x == x)
                winding += crossings[i++].winding;
            if (before == 0 && winding != 0)
                start = x;
            else if (before != 0 && winding == 0 && x > start)
                m_spans.push_back({int(start), int(x)});
        }
    }
    m_rowStart.push_back(int(m_spans.size()));
    if (m_spans.empty()) {
        m_rowStart.clear();
        m_top = 0;
    }
}

WindingSpans WindingSpans::fromContour(const CPointArray &left, const CPointArray &top,
                                       const CPointArray &right, const CPointArray &bottom)
{
    std::vector<CPoint> polygon;
    polygon.reserve(size_t(left.GetSize() + top.GetSize() + right.GetSize() + bottom.GetSize()));
    for (const CPointArray *list : {&left, &top, &right, &bottom})
        for (const CPoint &p : *list)
            polygon.push_back(p);
    return WindingSpans(polygon);
}

const WindingSpans::Span *WindingSpans::rowBegin(int y) const
{
    if (y < m_top || y >= bottom())
        return m_spans.data();
    return m_spans.data() + m_rowStart[size_t(y - m_top)];
}

const WindingSpans::Span *WindingSpans::rowEnd(int y) const
{
    if (y < m_top || y >= bottom())
        return m_spans.data();
    return m_spans.data() + m_rowStart[size_t(y - m_top) + 1];
}

bool WindingSpans::contains(int x, int y) const
{
    for (const Span *s = rowBegin(y); s != rowEnd(y); ++s) {
        if (x < s->left)
            return false;
        if (x < s->right)
            return true;
    }
    return false;
}

CRect WindingSpans::boundingRect() const
{
    if (m_spans.empty())
        return CRect();
    int left = INT_MAX;
    int right = INT_MIN;
    int first = INT_MAX;
    int last = INT_MIN;
    for (int y = m_top; y < bottom(); ++y) {
        if (rowBegin(y) == rowEnd(y))
            continue;
        first = std::min(first, y);
        last = y;
        left = std::min(left, rowBegin(y)->left);
        right = std::max(right, (rowEnd(y) - 1)->right);
    }
    return CRect(left, first, right, last + 1);
}
