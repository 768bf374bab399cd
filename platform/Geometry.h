#pragma once

// Points, sizes and rectangles with the integer semantics the stored files and
// the geometry code rely on: a rectangle is left/top/right/bottom, its width is
// right - left, and right/bottom lie outside it. QRect is used only when painting.

#include <QPoint>
#include <QRect>
#include <QSize>

struct CSize
{
    int cx = 0;
    int cy = 0;

    constexpr CSize() = default;
    constexpr CSize(int x, int y) : cx(x), cy(y) { }

    constexpr bool operator==(const CSize &) const = default;
    constexpr CSize operator+(CSize s) const { return {cx + s.cx, cy + s.cy}; }
    constexpr CSize operator-(CSize s) const { return {cx - s.cx, cy - s.cy}; }
    constexpr CSize operator-() const { return {-cx, -cy}; }
};

struct CPoint
{
    int x = 0;
    int y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(int px, int py) : x(px), y(py) { }

    constexpr bool operator==(const CPoint &) const = default;
    constexpr void Offset(int dx, int dy) { x += dx; y += dy; }
    constexpr void Offset(CSize s) { Offset(s.cx, s.cy); }
    constexpr void SetPoint(int px, int py) { x = px; y = py; }

    constexpr CPoint operator+(CSize s) const { return {x + s.cx, y + s.cy}; }
    constexpr CPoint operator-(CSize s) const { return {x - s.cx, y - s.cy}; }
    constexpr CPoint operator+(CPoint p) const { return {x + p.x, y + p.y}; }
    // Difference of two points is a size, as in the original framework.
    constexpr CSize operator-(CPoint p) const { return {x - p.x, y - p.y}; }
    constexpr CPoint operator-() const { return {-x, -y}; }
    constexpr CPoint &operator+=(CSize s) { Offset(s); return *this; }
    constexpr CPoint &operator-=(CSize s) { Offset(-s.cx, -s.cy); return *this; }

    QPoint toQPoint() const { return {x, y}; }
    static CPoint fromQPoint(QPoint p) { return {p.x(), p.y()}; }
};

struct CRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) { }
    constexpr CRect(CPoint topLeft, CPoint bottomRight)
        : left(topLeft.x), top(topLeft.y), right(bottomRight.x), bottom(bottomRight.y) { }
    constexpr CRect(CPoint topLeft, CSize size)
        : left(topLeft.x), top(topLeft.y), right(topLeft.x + size.cx), bottom(topLeft.y + size.cy) { }

    constexpr bool operator==(const CRect &) const = default;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CSize Size() const { return {Width(), Height()}; }
    constexpr CPoint TopLeft() const { return {left, top}; }
    constexpr CPoint BottomRight() const { return {right, bottom}; }
    constexpr CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }

    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    // right and bottom are outside the rectangle
    constexpr bool PtInRect(CPoint p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }

    constexpr void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    constexpr void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    constexpr void NormalizeRect()
    {
        if (left > right) { const int t = left; left = right; right = t; }
        if (top > bottom) { const int t = top; top = bottom; bottom = t; }
    }
    constexpr void InflateRect(int dx, int dy) { left -= dx; top -= dy; right += dx; bottom += dy; }
    constexpr void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    constexpr void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    constexpr void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    constexpr void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    constexpr void OffsetRect(CSize s) { OffsetRect(s.cx, s.cy); }
    constexpr void OffsetRect(CPoint p) { OffsetRect(p.x, p.y); }
    constexpr void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }

    // Both return false and leave an empty (all zero) rectangle when the result is empty.
    constexpr bool IntersectRect(const CRect &a, const CRect &b)
    {
        CRect r(a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom);
        if (r.IsRectEmpty()) {
            SetRectEmpty();
            return false;
        }
        *this = r;
        return true;
    }
    constexpr bool UnionRect(const CRect &a, const CRect &b)
    {
        if (a.IsRectEmpty()) {
            *this = b;
        } else if (b.IsRectEmpty()) {
            *this = a;
        } else {
            *this = CRect(a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                          a.right > b.right ? a.right : b.right,
                          a.bottom > b.bottom ? a.bottom : b.bottom);
        }
        if (IsRectEmpty()) {
            SetRectEmpty();
            return false;
        }
        return true;
    }

    constexpr CRect operator+(CPoint p) const { CRect r(*this); r.OffsetRect(p); return r; }
    constexpr CRect operator-(CPoint p) const { CRect r(*this); r.OffsetRect(-p.x, -p.y); return r; }
    constexpr CRect &operator+=(CPoint p) { OffsetRect(p); return *this; }
    constexpr CRect &operator-=(CPoint p) { OffsetRect(-p.x, -p.y); return *this; }

    // Painting boundary only: QRect's right() is left + width - 1.
    QRect toQRect() const { return QRect(QPoint(left, top), QSize(Width(), Height())); }
    static CRect fromQRect(const QRect &r)
    {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
};
