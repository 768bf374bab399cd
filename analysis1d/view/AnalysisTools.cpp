#include "analysis1d/view/AnalysisTools.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/BackgroundArea.h"
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/Lane.h"
#include "analysis1d/engine/UserDrawnBand.h"
#include "analysis1d/view/Analysis1DCommandIds.h"
#include "analysis1d/view/Analysis1DView.h"
#include "contracts/overlay/CDrawRectangleBound.h"
#include "imaging/RasterImageGS16.h"
#include "imaging/TVFImage.h"

#include <algorithm>

namespace {

// The band outline's contour percentage when the document has no options.
constexpr int kDefaultContour = 30;

// Captions of the drawing tools' undo steps (the caption of the press names
// the step).
const QString kDrawDownCaption = QStringLiteral("BandDrawTool::OnLButtonDown");
const QString kDrawUpCaption = QStringLiteral("AnalysisDrawTool::OnLButtonUp");

CRect normalized(CRect r)
{
    r.NormalizeRect();
    return r;
}

CPoint clampInto(const CPoint &point, const CRect &rect)
{
    return CPoint(std::clamp(point.x, int(rect.left), int(rect.right)),
                  std::clamp(point.y, int(rect.top), int(rect.bottom)));
}

// The analysis when it may be edited with the mouse: set up, no wizard running.
Analysis1D *editableAnalysis(Analysis1DDoc *doc)
{
    Analysis1D *analysis = doc ? doc->GetAnalysis() : nullptr;
    if (!analysis || analysis->IsWizardRunning() || !doc->GetAnalysisArea())
        return nullptr;
    return analysis;
}

} // namespace

// --- selection family ------------------------------------------------------------------

AnalysisSelectTool::AnalysisSelectTool(ToolType type) : CSelectTool(type) { }

Analysis1DView *AnalysisSelectTool::view(CDrawView *pView)
{
    return dynamic_cast<Analysis1DView *>(pView);
}

Analysis1DDoc *AnalysisSelectTool::doc(CDrawDocument *pDoc)
{
    return dynamic_cast<Analysis1DDoc *>(pDoc);
}

void AnalysisSelectTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                       const CPoint &point)
{
    CSelectTool::OnLButtonDown(pDoc, pView, nFlags, point);
    Analysis1DView *v = view(pView);
    Analysis1DDoc *d = doc(pDoc);
    Analysis1D *analysis = d ? d->GetAnalysis() : nullptr;
    if (!v || !analysis || !d->GetAnalysisArea())
        return;
    int lane = -1;
    int band = -1;
    v->HitLaneAndBand(point, lane, band);
    analysis->OnLaneAndBandSelected(lane, band);
}

void AnalysisSelectTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                     const CPoint &point)
{
    // Measured again before the base closes the drag's undo step, so the step
    // holds the measurements as they were.
    const SelectMode mode = GetSelectMode();
    if ((mode == move || mode == size) && HasChanged())
        RemeasureMovedBands(view(pView));
    CSelectTool::OnLButtonUp(pDoc, pView, nFlags, point);
}

void AnalysisSelectTool::RemeasureMovedBands(Analysis1DView *pView)
{
    Analysis1DDoc *d = pView ? pView->GetAnalysisDoc() : nullptr;
    Analysis1D *analysis = d ? d->GetAnalysis() : nullptr;
    RasterImageGS16 *image = analysis ? analysis->GetAnalysisRasterImage() : nullptr;
    if (!image || analysis->IsWizardRunning())
        return;
    const int contour = d->GetAnalysisOptions().m_BandsOptions.m_BoundryPercentage;
    const int wellY = analysis->getWellCenterY();
    const int dyeFrontY = analysis->getDyeFrontCenterY();
    QList<int> lanes;
    for (CDrawObject *obj : std::as_const(pView->GetSelectedObjects())) {
        int lane = -1;
        int band = -1;
        if (!pView->BandIndexOf(obj, lane, band))
            continue;
        // The outline is traced within the rectangle the user left; the
        // rectangle itself stays where it was dragged.
        analysis->GetLane(lane).GetBand(band).FindBroundryPoints(
            image, contour > 0 ? contour : kDefaultContour, 1, 1, 0, 0);
        if (!lanes.contains(lane))
            lanes.append(lane);
    }
    if (lanes.isEmpty())
        return;
    for (int lane : std::as_const(lanes))
        analysis->GetLane(lane).CalculateBandsData(image, wellY, dyeFrontY);
    analysis->setLaneBoundries();
    analysis->UpdateReportAndGraph();
    d->UpdateAllViews(nullptr);
}

void AnalysisSelectTool::OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                     const CPoint &point)
{
    CSelectTool::OnMouseMove(pDoc, pView, nFlags, point);
    if (GetSelectMode() == none)
        if (Analysis1DView *v = view(pView))
            UpdateCursor(v, point);
}

void AnalysisSelectTool::UpdateCursor(Analysis1DView *, const CPoint &) { }

// --- lane add --------------------------------------------------------------------------------

LaneAddTool::LaneAddTool() : AnalysisSelectTool(Analysis1DView::toolLaneAdd) { }

int LaneAddTool::IndexForAddition(Analysis1DView *pView, const CPoint &point)
{
    Analysis1D *analysis = editableAnalysis(pView ? pView->GetAnalysisDoc() : nullptr);
    if (!analysis || !analysis->GetAnalysisRasterImage() || !pView->IsInsideAnalysisArea(point))
        return -1;
    return analysis->GetLaneIndexForAddition(point);
}

void LaneAddTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                const CPoint &point)
{
    CDrawTool::OnLButtonDown(pDoc, pView, nFlags, point);
    Analysis1DView *v = view(pView);
    const int index = IndexForAddition(v, point);
    if (index < 0)
        return;
    Analysis1DDoc *d = v->GetAnalysisDoc();
    Analysis1D *analysis = d->GetAnalysis();
    d->SaveActionStartEnd(QStringLiteral("Add Lane"));
    v->DeselectAllObjects();
    analysis->AddLaneViaTool(point, index);
    analysis->setLaneBoundries();
    v->InvalidateView();
}

void LaneAddTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                              const CPoint &point)
{
    CDrawTool::OnLButtonUp(pDoc, pView, nFlags, point);
}

void LaneAddTool::UpdateCursor(Analysis1DView *pView, const CPoint &point)
{
    if (IndexForAddition(pView, point) >= 0)
        pView->SetResourceCursor(Analysis1DCmd::CursorAddLane);
    else
        pView->SetViewCursor(Qt::ArrowCursor);
}

// --- lane delete -------------------------------------------------------------------------------

LaneDeleteTool::LaneDeleteTool() : AnalysisSelectTool(Analysis1DView::toolLaneDelete) { }

void LaneDeleteTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                   const CPoint &point)
{
    CDrawTool::OnLButtonDown(pDoc, pView, nFlags, point);
    Analysis1DView *v = view(pView);
    Analysis1D *analysis = editableAnalysis(doc(pDoc));
    if (!v || !analysis)
        return;
    int lane = -1;
    int band = -1;
    v->HitLaneAndBand(point, lane, band);
    if (lane < 0)
        return;
    doc(pDoc)->SaveActionStartEnd(QStringLiteral("Delete Lane"));
    v->DeselectAllObjects();
    analysis->DeleteLaneViaTool(lane);
    v->InvalidateView();
}

void LaneDeleteTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                 const CPoint &point)
{
    CDrawTool::OnLButtonUp(pDoc, pView, nFlags, point);
}

void LaneDeleteTool::UpdateCursor(Analysis1DView *pView, const CPoint &point)
{
    int lane = -1;
    int band = -1;
    pView->HitLaneAndBand(point, lane, band);
    if (lane >= 0)
        pView->SetResourceCursor(Analysis1DCmd::CursorDeleteLane);
    else
        pView->SetViewCursor(Qt::ArrowCursor);
}

// --- band add ------------------------------------------------------------------------------------

BandAddTool::BandAddTool() : AnalysisSelectTool(Analysis1DView::toolBandAdd) { }

bool BandAddTool::PlaceForAddition(Analysis1DView *pView, const CPoint &point, int &lane,
                                   int &index)
{
    lane = -1;
    index = -1;
    Analysis1D *analysis = editableAnalysis(pView ? pView->GetAnalysisDoc() : nullptr);
    if (!analysis || !analysis->GetAnalysisRasterImage() || !pView->IsInsideAnalysisArea(point))
        return false;
    int band = -1;
    pView->HitLaneAndBand(point, lane, band);
    if (lane < 0 || band >= 0)
        return false;
    index = analysis->GetLane(lane).GetBandIndexForAddition(point.x, point.y);
    return index >= 0;
}

void BandAddTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                const CPoint &point)
{
    CDrawTool::OnLButtonDown(pDoc, pView, nFlags, point);
    Analysis1DView *v = view(pView);
    int lane = -1;
    int index = -1;
    if (!PlaceForAddition(v, point, lane, index))
        return;
    Analysis1DDoc *d = v->GetAnalysisDoc();
    Analysis1D *analysis = d->GetAnalysis();
    d->SaveActionStartEnd(QStringLiteral("Add Band"));
    v->DeselectAllObjects();
    analysis->AddBandViaTool(point, lane, index);
    v->SelectObject(&analysis->GetLane(lane));
    v->InvalidateView();
}

void BandAddTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                              const CPoint &point)
{
    CDrawTool::OnLButtonUp(pDoc, pView, nFlags, point);
}

void BandAddTool::UpdateCursor(Analysis1DView *pView, const CPoint &point)
{
    int lane = -1;
    int index = -1;
    if (PlaceForAddition(pView, point, lane, index))
        pView->SetResourceCursor(Analysis1DCmd::CursorAddBand);
    else
        pView->SetViewCursor(Qt::ArrowCursor);
}

// --- band delete -----------------------------------------------------------------------------------

BandDeleteTool::BandDeleteTool() : AnalysisSelectTool(Analysis1DView::toolBandDelete) { }

namespace {

UserDrawnBand *userDrawnBandAt(Analysis1DDoc *doc, const CPoint &point)
{
    if (!doc)
        return nullptr;
    const QList<UserDrawnBand *> drawn = doc->GetAllUserDrawBands();
    // The topmost (last drawn) first.
    for (auto it = drawn.crbegin(); it != drawn.crend(); ++it) {
        if (normalized((*it)->m_position).PtInRect(point))
            return *it;
    }
    return nullptr;
}

} // namespace

bool BandDeleteTool::DeleteAt(Analysis1DView *pView, const CPoint &point)
{
    Analysis1DDoc *d = pView ? pView->GetAnalysisDoc() : nullptr;
    Analysis1D *analysis = editableAnalysis(d);
    if (!analysis)
        return false;
    int lane = -1;
    int band = -1;
    pView->HitLaneAndBand(point, lane, band);
    UserDrawnBand *drawn = userDrawnBandAt(d, point);
    if (band < 0 && !drawn)
        return false;
    d->SaveActionStartEnd(QStringLiteral("Delete Band"));
    pView->DeselectAllObjects();
    if (drawn) {
        d->Remove(drawn);
        delete drawn;
    }
    if (band >= 0)
        analysis->DeleteBandViaTool(lane, band);
    else
        analysis->UpdateReportAndGraph();
    pView->InvalidateView();
    return true;
}

void BandDeleteTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                   const CPoint &point)
{
    CDrawTool::OnLButtonDown(pDoc, pView, nFlags, point);
    DeleteAt(view(pView), point);
}

void BandDeleteTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                 const CPoint &point)
{
    CDrawTool::OnLButtonUp(pDoc, pView, nFlags, point);
}

void BandDeleteTool::UpdateCursor(Analysis1DView *pView, const CPoint &point)
{
    int lane = -1;
    int band = -1;
    pView->HitLaneAndBand(point, lane, band);
    if (band >= 0 || userDrawnBandAt(pView->GetAnalysisDoc(), point))
        pView->SetResourceCursor(Analysis1DCmd::CursorDeleteBand);
    else
        pView->SetViewCursor(Qt::ArrowCursor);
}

// --- band edit and the band pickers ---------------------------------------------------------------

BandEditTool::BandEditTool() : AnalysisSelectTool(Analysis1DView::toolBandEdit) { }

BandSelectTool::BandSelectTool(ToolType type) : AnalysisSelectTool(type) { }

void BandSelectTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                   const CPoint &point)
{
    CDrawTool::OnLButtonDown(pDoc, pView, nFlags, point);
    Analysis1DView *v = view(pView);
    Analysis1D *analysis = editableAnalysis(doc(pDoc));
    if (!v || !analysis)
        return;
    int lane = -1;
    int band = -1;
    v->HitLaneAndBand(point, lane, band);
    if (band < 0)
        return;
    v->SelectObject(&analysis->GetLane(lane).GetBand(band));
    analysis->OnLaneAndBandSelected(lane, band);
}

// The picked band is acted on at the release, so a dialog it opens does not
// take the mouse in the middle of a click.
void BandSelectTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                 const CPoint &point)
{
    CDrawTool::OnLButtonUp(pDoc, pView, nFlags, point);
    Analysis1DView *v = view(pView);
    if (v && v->getSelectedBand())
        BandPicked(v);
}

void BandSelectTool::UpdateCursor(Analysis1DView *pView, const CPoint &point)
{
    int lane = -1;
    int band = -1;
    pView->HitLaneAndBand(point, lane, band);
    if (band >= 0)
        pView->SetResourceCursor(Analysis1DCmd::CursorAddBand);
    else
        pView->SetViewCursor(Qt::ArrowCursor);
}

BandSelectToolOD::BandSelectToolOD() : BandSelectTool(Analysis1DView::toolBandSelectOD) { }

void BandSelectToolOD::BandPicked(Analysis1DView *pView)
{
    // One pick per command: the selection tool comes back before the dialogs.
    pView->SetToDefaultTool();
    pView->OnButtonAnalysisAssignKnownAmounts();
    pView->OnButtonAssignAnalysisAmount();
}

BandSelectToolMW::BandSelectToolMW() : BandSelectTool(Analysis1DView::toolBandSelectMW) { }

void BandSelectToolMW::BandPicked(Analysis1DView *pView)
{
    // The band stays selected for the molecular-weight command that follows.
    pView->SetToDefaultTool();
}

// --- drawing family ------------------------------------------------------------------------------

AnalysisDrawTool::AnalysisDrawTool(ToolType type) : CRectTool(type)
{
    m_bUndoable = false;
    m_strDownCaption = kDrawDownCaption;
    m_strUpCaption = kDrawUpCaption;
}

CRect AnalysisDrawTool::LimitRect(Analysis1DDoc *pDoc) const
{
    const AnalysisArea *area = pDoc ? pDoc->GetAnalysisArea() : nullptr;
    return area ? normalized(area->m_position) : CRect();
}

void AnalysisDrawTool::SetDrawingColors(Analysis1DDoc *) { }

void AnalysisDrawTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                     const CPoint &point)
{
    CDrawTool::OnLButtonDown(pDoc, pView, nFlags, point);
    Analysis1DDoc *d = dynamic_cast<Analysis1DDoc *>(pDoc);
    Analysis1DView *v = dynamic_cast<Analysis1DView *>(pView);
    if (!d || !v || m_pNewObject)
        return;
    const CRect limit = LimitRect(d);
    if (limit.IsRectEmpty())
        return;
    if (NeedsPressInArea() && !v->IsInsideAnalysisArea(point))
        return;
    const CPoint start = clampInto(point, limit);
    v->DeselectAllObjects();
    // The colours and whether the drawing is an undo step follow the
    // analysis as it is now.
    SetDrawingColors(d);
    if (m_bUndoable) {
        pDoc->SaveActionStart(m_strDownCaption);
        pDoc->SaveActionGroup(m_strDownCaption);
    }
    m_pDoc = pDoc;
    m_pNewObject = CreateDrawObject(CRect(start, start));
    if (auto *bound = dynamic_cast<CDrawRectangleBound *>(m_pNewObject))
        bound->SetBoundRect(limit);
    m_pNewObject->m_bLineEnabled = true;
    m_pNewObject->m_lineColor = m_drawingColor;
    m_pNewObject->m_nLineWeight = m_nPenWidth;
    // The analysis colours, not the ribbon's line colour.
    pDoc->Add(m_pNewObject, false);
    v->SelectObject(m_pNewObject);
    v->SetViewCursor(Qt::CrossCursor);
}

void AnalysisDrawTool::OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                   const CPoint &point)
{
    CRectTool::OnMouseMove(pDoc, pView, nFlags, point);
}

void AnalysisDrawTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                   const CPoint &point)
{
    CDrawTool::OnLButtonUp(pDoc, pView, nFlags, point);
    Analysis1DDoc *d = dynamic_cast<Analysis1DDoc *>(pDoc);
    Analysis1DView *v = dynamic_cast<Analysis1DView *>(pView);
    if (!m_pNewObject || !d || !v)
        return;
    CDrawObject *obj = m_pNewObject;
    m_pNewObject = nullptr;
    m_pDoc = nullptr;
    const CRect r = normalized(obj->m_position);
    if (r.Width() < c_nMinimumSize && r.Height() < c_nMinimumSize) {
        // Too small to be meant: discarded, and the click selects.
        v->DeselectObject(obj);
        obj->Remove();
        if (m_bUndoable)
            pDoc->SaveActionCancel(m_strUpCaption);
        if (CDrawTool *select = v->FindTool(toolSelect); select && select != this) {
            select->OnLButtonDown(pDoc, pView, nFlags, point);
            select->OnLButtonUp(pDoc, pView, nFlags, point);
        }
        v->InvalidateView();
        return;
    }
    obj->MoveTo(r, pView);
    obj->m_lineColor = m_placedColor;
    const bool kept = Placed(d, v, obj, point);
    if (!kept) {
        v->DeselectObject(obj);
        obj->Remove();
    }
    if (m_bUndoable)
        pDoc->SaveActionEnd(m_strUpCaption);
    if (kept)
        pDoc->SetModifiedFlag();
    v->InvalidateView();
}

bool AnalysisDrawTool::Placed(Analysis1DDoc *, Analysis1DView *, CDrawObject *, const CPoint &)
{
    return true;
}

// --- analysis area -----------------------------------------------------------------------------

AnalysisAreaTool::AnalysisAreaTool() : AnalysisDrawTool(Analysis1DView::toolAnalysisArea)
{
    m_nPenWidth = 2;
}

CDrawObject *AnalysisAreaTool::CreateDrawObject(const CRect &rect)
{
    return new AnalysisArea(rect, CRect());
}

CRect AnalysisAreaTool::LimitRect(Analysis1DDoc *pDoc) const
{
    const TVFImage *image = pDoc ? pDoc->GetImage() : nullptr;
    if (!image || !image->isValid())
        return CRect();
    return CRect(0, 0, int(image->getWidth()), int(image->getHeight()));
}

void AnalysisAreaTool::SetDrawingColors(Analysis1DDoc *pDoc)
{
    const Analysis1D *analysis = pDoc ? pDoc->GetAnalysis() : nullptr;
    const bool lighter = !analysis || analysis->GetWhiteOnBlack() == 1;
    m_drawingColor = m_placedColor = lighter ? COLORREF(0x00FFFF) : COLORREF(0x0080FF);
    // Outside the set-up the new area replaces the analysis's lanes: an edit
    // the user can undo.
    m_bUndoable = analysis && !analysis->IsWizardRunning();
}

bool AnalysisAreaTool::Placed(Analysis1DDoc *pDoc, Analysis1DView *, CDrawObject *,
                              const CPoint &)
{
    Analysis1D *analysis = pDoc->GetAnalysis();
    if (!analysis)
        return true;
    analysis->AnalysisAreaDrawn();
    if (!analysis->IsWizardRunning()) {
        // The lanes were found on the old area: they go, and the analysis image
        // is cut from the new one.
        analysis->ClearDetectionData();
        analysis->FinalizeAnalysisArea();
        analysis->UpdateReportAndGraph();
    }
    return true;
}

// --- background area ------------------------------------------------------------------------------

BackgourndAreaTool::BackgourndAreaTool() : AnalysisDrawTool(Analysis1DView::toolBackgroundArea)
{
    m_bUndoable = true;
    m_drawingColor = 0x0000FF;
    m_placedColor = 0xFFFF00;
}

CDrawObject *BackgourndAreaTool::CreateDrawObject(const CRect &rect)
{
    return new BackgroundArea(rect, CRect());
}

// --- example band ----------------------------------------------------------------------------------

BandExampleTool::BandExampleTool() : AnalysisDrawTool(Analysis1DView::toolExampleBand)
{
    m_drawingColor = m_placedColor = 0xFFFF00;
}

CDrawObject *BandExampleTool::CreateDrawObject(const CRect &rect)
{
    return new ExampleBand(rect, CRect());
}

bool BandExampleTool::Placed(Analysis1DDoc *pDoc, Analysis1DView *pView, CDrawObject *,
                             const CPoint &release)
{
    Analysis1D *analysis = pDoc->GetAnalysis();
    if (analysis && pView->IsInsideAnalysisArea(release))
        analysis->ExampleBandDrawn();
    return true;
}

// --- user-drawn band ---------------------------------------------------------------------------------

BandDrawTool::BandDrawTool() : AnalysisDrawTool(Analysis1DView::toolBandDraw)
{
    m_bUndoable = true;
    m_drawingColor = 0xFFFF00;
    m_placedColor = 0x80FF00;
}

CDrawObject *BandDrawTool::CreateDrawObject(const CRect &rect)
{
    return new UserDrawnBand(rect, CRect());
}

bool BandDrawTool::Placed(Analysis1DDoc *pDoc, Analysis1DView *pView, CDrawObject *obj,
                          const CPoint &release)
{
    if (!pView->IsInsideAnalysisArea(release)) {
        // Not finished: it keeps the colour of a band being drawn.
        obj->m_lineColor = m_drawingColor;
        return true;
    }
    // The report lists the drawn bands with their measurements.
    if (Analysis1D *analysis = editableAnalysis(pDoc))
        analysis->UpdateReportAndGraph();
    return true;
}

// --- lane drawn as a rectangle ----------------------------------------------------------------------

LaneDrawTool::LaneDrawTool() : AnalysisDrawTool(Analysis1DView::toolLaneDraw)
{
    m_drawingColor = m_placedColor = Lane::kLaneColor;
}

bool LaneDrawTool::Placed(Analysis1DDoc *pDoc, Analysis1DView *pView, CDrawObject *obj,
                          const CPoint &)
{
    const CPoint centre = normalized(obj->m_position).CenterPoint();
    const int index = LaneAddTool::IndexForAddition(pView, centre);
    if (index >= 0) {
        // The rectangle goes first, so the step does not hold it.
        pView->DeselectObject(obj);
        pDoc->Remove(obj);
        delete obj;
        pDoc->SaveActionStartEnd(QStringLiteral("Draw Lane"));
        Analysis1D *analysis = pDoc->GetAnalysis();
        analysis->AddLaneViaTool(centre, index);
        analysis->setLaneBoundries();
        // Already gone.
        return true;
    }
    return false;
}
