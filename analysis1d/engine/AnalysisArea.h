#pragma once

// The rectangle of the gel that is analysed. The analysis image is cut from it,
// and its top-left corner is the origin of every analysis coordinate (lanes,
// bands, profile rows). While it is drawn or adjusted it is editable; once the
// user finalises it the flag is cleared, because the analysis image depends on
// its shape.

#include "contracts/overlay/CDrawRectangleBound.h"

class AnalysisArea : public CDrawRectangleBound
{
    DECLARE_SERIAL(AnalysisArea)
public:
    AnalysisArea();
    AnalysisArea(const AnalysisArea &other);
    // position: the area in gel pixels; bound: where it may go (the image).
    AnalysisArea(const CRect &position, const CRect &bound);
    ~AnalysisArea() override;

    // Stored form: exactly the CDrawRectangleBound part. The drawing defaults
    // are set again after reading.
    void Serialize(CArchive &ar) override;

    // The label "Analysis Area" above the top-left corner, then the rectangle.
    void Draw(QPainter *pDC, CDrawView *pView) override;
    // A copy with its drawing defaults set again; added to pDoc when given.
    CDrawObject *Clone(CDrawDocument *pDoc) override;
    // Room for the handles around the area and for the label above it.
    CRect GetAreaToBeRepainted(CDrawView *pView = nullptr) const override;

    static constexpr COLORREF c_lineColor = 0x0000FFFF; // yellow
    static constexpr int c_lineWeight = 2;

private:
    void Init();
    CPoint LabelPosition() const;
};
