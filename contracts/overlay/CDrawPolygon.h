#pragma once

// A closed polygon; its position is the bounding rectangle of its points and
// each point is a handle.

#include "contracts/overlay/CDrawObject.h"

#include <vector>

class CDrawPolygon : public CDrawObject
{
    DECLARE_SERIAL(CDrawPolygon)
public:
    CDrawPolygon();
    explicit CDrawPolygon(const CRect &position);
    CDrawPolygon(const CDrawPolygon &other);
    ~CDrawPolygon() override;
    CDrawPolygon &operator=(const CDrawPolygon &other);

    CDrawObject &operator=(const CDrawObject &other) override;
    bool operator==(const CDrawObject &other) const override;

    void Serialize(CArchive &ar) override;
    // Same size: the points move with the rectangle; another size: they are scaled
    // into it.
    void MoveTo(const CRect &position, CDrawView *pView) override;
    int GetHandleCount() const override;
    CPoint GetHandleCoordinate(int nHandle) const override;
    Qt::CursorShape GetHandleCursor(int nHandle) const override;
    void Draw(QPainter *pDC, CDrawView *pView) override;
    void Rotate(CPoint &centre, double angle) override;
    int HitTest(const CPoint &point, int bSelected, CDrawView *pView = nullptr) override;
    void MoveHandleTo(int nHandle, CPoint point, CDrawView *pView) override;
    CDrawObject *Clone(CDrawDocument *pDoc) override;

    // Appends a point and grows the position to hold it.
    void AddPoint(const CPoint &point, CDrawView *pView = nullptr);
    // Drops the last point (the polygon tool's rubber point) and shrinks the
    // position to the rest.
    void RemoveLastPoint(CDrawView *pView = nullptr);
    const std::vector<CPoint> &GetPoints() const { return m_points; }

protected:
    void RecalcBounds(CDrawView *pView);

    std::vector<CPoint> m_points;
};
