#pragma once

// A rectangle-family shape: rectangle, rounded rectangle, ellipse or a line from
// the top-left to the bottom-right corner of its position.

#include "contracts/overlay/CDrawObject.h"

class CDrawRectangle : public CDrawObject
{
    DECLARE_SERIAL(CDrawRectangle)
public:
    enum Shape { rectangle = 0, roundRectangle = 1, ellipse = 2, line = 3 };

    CDrawRectangle();
    explicit CDrawRectangle(const CRect &position, Shape shape = rectangle);
    CDrawRectangle(const CDrawRectangle &other);
    ~CDrawRectangle() override;
    CDrawRectangle &operator=(const CDrawRectangle &other);

    CDrawObject &operator=(const CDrawObject &other) override;
    bool operator==(const CDrawObject &other) const override;

    void Serialize(CArchive &ar) override;
    void Draw(QPainter *pDC, CDrawView *pView) override;
    int HitTest(const CPoint &point, int bSelected, CDrawView *pView = nullptr) override;
    CDrawObject *Clone(CDrawDocument *pDoc) override;

    Shape GetShape() const { return m_nShape; }
    void SetShape(Shape shape) { m_nShape = shape; }

protected:
    // Draws the shape with the object's attributes over the logical rectangle
    // 'rect' (which need not be m_position: objects kept in another frame pass
    // their logical rectangle). A rectangle's outline lies inside the rectangle.
    void DrawShape(QPainter *pDC, CDrawView *pView, const CRect &rect);
    // Whether 'point' lies on the shape drawn over the logical rectangle 'rect'.
    bool ShapeContains(const CRect &rect, const CPoint &point) const;

    Shape m_nShape = rectangle;
};
