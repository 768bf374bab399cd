#pragma once

// A drawing object of an analysis (lane, band, ladder, marker). Its position and
// bounding rectangles are in analysis coordinates: gel pixels relative to the top
// left corner of the analysis area, which the object keeps a copy of. Drawing,
// hit-testing, sizing by handle and repainting convert to gel pixels (the
// document's logical units), so the shape appears and is picked at its place on
// the gel; moving by a delta needs no conversion.

#include "contracts/overlay/CDrawRectangleBound.h"

class AnalysisOverlay : public CDrawRectangleBound
{
    DECLARE_SERIAL(AnalysisOverlay)
public:
    AnalysisOverlay();
    AnalysisOverlay(const AnalysisOverlay &other);
    // position and bound in analysis coordinates, analysisArea in gel pixels.
    AnalysisOverlay(const CRect &position, const CRect &bound, const CRect &analysisArea);
    ~AnalysisOverlay() override;
    AnalysisOverlay &operator=(const AnalysisOverlay &other);

    CDrawObject &operator=(const CDrawObject &other) override;
    bool operator==(const CDrawObject &other) const override;

    // Stores the overlay part; the same layout serves every schema of the derived
    // classes, which pass theirs as 'version'.
    void Serialize(CArchive &ar) override;
    void Serialize(CArchive &ar, int version);

    void Draw(QPainter *pDC, CDrawView *pView) override;
    void DrawTracker(QPainter *pDC, CDrawView *pView) override;
    // The point is in gel pixels.
    int HitTest(const CPoint &point, int bSelected, CDrawView *pView = nullptr) override;
    // The rectangle is in gel pixels.
    bool Intersects(CRect &rect) override;
    bool IsInside(CRect &rect) override;
    // The point is in gel pixels.
    void MoveHandleTo(int nHandle, CPoint point, CDrawView *pView) override;
    CDrawObject *Clone(CDrawDocument *pDoc) override;
    // In gel pixels.
    CRect GetAreaToBeRepainted(CDrawView *pView = nullptr) const override;

    // Gel pixels to analysis coordinates: subtracts the analysis area's top left.
    virtual void Logical2Analysis(CRect &rect) const;
    virtual void Logical2Analysis(CPoint &point) const;
    // Analysis coordinates to gel pixels: adds the analysis area's top left.
    virtual void Analysis2Logical(CPoint &point) const;
    virtual void Analysis2Logical(CRect &rect) const;

    const CRect &GetAnalysisArea() const { return m_analysisArea; }
    void SetAnalysisArea(const CRect &area) { m_analysisArea = area; }
    // The position in gel pixels.
    CRect GetLogicalPosition() const;

    CRect m_analysisArea; // gel pixels
};
