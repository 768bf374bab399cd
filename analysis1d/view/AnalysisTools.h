#pragma once

// The mouse tools of the analysis view. The selection family (select, click
// tools, band pickers) builds on the overlay's selection tool; the drawing
// family (analysis area, background, example band, user-drawn band, lane)
// on its rectangle tool. Every change a tool makes to the document or the
// analysis is one undo step.
//
// Points arrive in logical units (gel pixels); lanes and bands are kept in
// analysis coordinates (gel pixels minus the analysis area's top left).

#include "contracts/overlay/CRectTool.h"
#include "contracts/overlay/CSelectTool.h"

#include "platform/Colors.h"
#include "platform/Geometry.h"

class Analysis1D;
class Analysis1DDoc;
class Analysis1DView;
class CDrawDocument;
class CDrawView;

// Select, move and size objects; a press tells the analysis which lane and
// band it hit, and a band whose edge was dragged is measured again at once.
class AnalysisSelectTool : public CSelectTool
{
public:
    explicit AnalysisSelectTool(ToolType type = toolSelect);

    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    void OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;

    // After a move or size of bands: each band's outline traced again on the
    // analysis image, its lane measured between the well line and the dye-front
    // line, the analysis recalculated, report and graph refreshed, and the lane
    // boundaries recomputed.
    static void RemeasureMovedBands(Analysis1DView *pView);

protected:
    // The cursor while the mouse moves without a button (click tools show
    // their own); the base does the handles of the one selected object.
    virtual void UpdateCursor(Analysis1DView *pView, const CPoint &point);
    static Analysis1DView *view(CDrawView *pView);
    static Analysis1DDoc *doc(CDrawDocument *pDoc);
};

// A click adds a lane where one may go (inside the analysis area, between lanes).
class LaneAddTool : public AnalysisSelectTool
{
public:
    LaneAddTool();
    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    // Where a lane may be added at the point: its index, -1 when not.
    static int IndexForAddition(Analysis1DView *pView, const CPoint &point);

protected:
    void UpdateCursor(Analysis1DView *pView, const CPoint &point) override;
};

// A click on a lane deletes it.
class LaneDeleteTool : public AnalysisSelectTool
{
public:
    LaneDeleteTool();
    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;

protected:
    void UpdateCursor(Analysis1DView *pView, const CPoint &point) override;
};

// A click on a lane, off its bands, adds a band there.
class BandAddTool : public AnalysisSelectTool
{
public:
    BandAddTool();
    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    // The lane and the band index for a band added at the point; false when
    // none may be added there.
    static bool PlaceForAddition(Analysis1DView *pView, const CPoint &point, int &lane,
                                 int &index);

protected:
    void UpdateCursor(Analysis1DView *pView, const CPoint &point) override;
};

// A click on a band deletes it; a user-drawn band under the click goes too.
class BandDeleteTool : public AnalysisSelectTool
{
public:
    BandDeleteTool();
    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    // Deletes what lies at the point as one undo step; true when anything went.
    static bool DeleteAt(Analysis1DView *pView, const CPoint &point);

protected:
    void UpdateCursor(Analysis1DView *pView, const CPoint &point) override;
};

// Selects and drags bands (and the other objects) without creating any.
class BandEditTool : public AnalysisSelectTool
{
public:
    BandEditTool();
};

// A click picks a band: it is selected, and the derived tools act on it.
class BandSelectTool : public AnalysisSelectTool
{
public:
    explicit BandSelectTool(ToolType type);
    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;

protected:
    // What the tool does with the band it picked (selected by then).
    virtual void BandPicked(Analysis1DView *pView) = 0;
    void UpdateCursor(Analysis1DView *pView, const CPoint &point) override;
};

// Picks a band, then its known amounts and the calibration values.
class BandSelectToolOD : public BandSelectTool
{
public:
    BandSelectToolOD();

protected:
    void BandPicked(Analysis1DView *pView) override;
};

// Picks a band for molecular-weight work: the band is selected and reported.
class BandSelectToolMW : public BandSelectTool
{
public:
    BandSelectToolMW();

protected:
    void BandPicked(Analysis1DView *pView) override;
};

// A rectangle drawn on the gel, kept within a limit rectangle, in the
// analysis colours. Drawings under 5 pixels both ways are discarded and the
// click goes to the selection tool.
class AnalysisDrawTool : public CRectTool
{
public:
    explicit AnalysisDrawTool(ToolType type);

    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    void OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;

    // Line colours while drawn and once placed (COLORREF 0x00BBGGRR).
    COLORREF GetDrawingColor() const { return m_drawingColor; }
    COLORREF GetPlacedColor() const { return m_placedColor; }

protected:
    // Where the drawing may go: the analysis area (the picture for the area
    // tool). Empty: nowhere.
    virtual CRect LimitRect(Analysis1DDoc *pDoc) const;
    // Whether the press must lie inside the analysis area.
    virtual bool NeedsPressInArea() const { return true; }
    // The drawing was kept (at least 5 pixels one way); the object is in the
    // document, normalised. Returns whether it stays in the document.
    virtual bool Placed(Analysis1DDoc *pDoc, Analysis1DView *pView, CDrawObject *obj,
                        const CPoint &release);
    // Colours of the new object; the area tool's depend on the tone.
    virtual void SetDrawingColors(Analysis1DDoc *pDoc);

    COLORREF m_drawingColor = RGB(255, 255, 0);
    COLORREF m_placedColor = RGB(255, 255, 0);
    int m_nPenWidth = 1;
};

// The analysis area, anywhere on the picture; the old area, example band and
// dye front were removed by the command that made this tool current.
class AnalysisAreaTool : public AnalysisDrawTool
{
public:
    AnalysisAreaTool();

protected:
    CDrawObject *CreateDrawObject(const CRect &rect) override;
    CRect LimitRect(Analysis1DDoc *pDoc) const override;
    bool NeedsPressInArea() const override { return false; }
    bool Placed(Analysis1DDoc *pDoc, Analysis1DView *pView, CDrawObject *obj,
                const CPoint &release) override;
    void SetDrawingColors(Analysis1DDoc *pDoc) override;
};

// The background area, within the analysis area; one undo step.
class BackgourndAreaTool : public AnalysisDrawTool
{
public:
    BackgourndAreaTool();

protected:
    CDrawObject *CreateDrawObject(const CRect &rect) override;
    bool NeedsPressInArea() const override { return false; }
};

// The example band, within the analysis area.
class BandExampleTool : public AnalysisDrawTool
{
public:
    BandExampleTool();

protected:
    CDrawObject *CreateDrawObject(const CRect &rect) override;
    bool Placed(Analysis1DDoc *pDoc, Analysis1DView *pView, CDrawObject *obj,
                const CPoint &release) override;
};

// A user-drawn band, within the analysis area; one undo step each, and the
// tool stays current for the next.
class BandDrawTool : public AnalysisDrawTool
{
public:
    BandDrawTool();

protected:
    CDrawObject *CreateDrawObject(const CRect &rect) override;
    bool Placed(Analysis1DDoc *pDoc, Analysis1DView *pView, CDrawObject *obj,
                const CPoint &release) override;
};

// A lane drawn as a rectangle: a lane is added at the rectangle's centre
// where one may go; the rectangle itself is not kept.
class LaneDrawTool : public AnalysisDrawTool
{
public:
    LaneDrawTool();

protected:
    bool Placed(Analysis1DDoc *pDoc, Analysis1DView *pView, CDrawObject *obj,
                const CPoint &release) override;
};
