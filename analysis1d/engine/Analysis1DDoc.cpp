#include "analysis1d/engine/Analysis1DDoc.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/BackgroundArea.h"
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/DyeFront.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/Lane.h"
#include "analysis1d/engine/LoadingWells.h"
#include "analysis1d/engine/UserDrawnBand.h"

IMPLEMENT_DYNCREATE(Analysis1DDoc, CDensoraDoc)

Analysis1DDoc::Analysis1DDoc() = default;

Analysis1DDoc::~Analysis1DDoc()
{
    DestroyAnalysis();
}

void Analysis1DDoc::DestroyAnalysis()
{
    // The views may hold its lanes and bands selected.
    if (m_pAnalysis)
        m_pAnalysis->ForgetLanesInViews();
    m_pAnalysis.reset();
}

void Analysis1DDoc::SetAnalysis(std::unique_ptr<Analysis1D> pAnalysis)
{
    DestroyAnalysis();
    m_pAnalysis = std::move(pAnalysis);
}

Analysis1D *Analysis1DDoc::CreateAnalysis()
{
    auto analysis = std::make_unique<Analysis1D>();
    analysis->SetAnalysisDocument(this);
    analysis->SetAnalysisImage(GetImage());
    SetAnalysis(std::move(analysis));
    return m_pAnalysis.get();
}

template<typename T> T *Analysis1DDoc::FindLast() const
{
    const CDrawObjList &objects = GetObjects();
    for (auto it = objects.crbegin(); it != objects.crend(); ++it) {
        if ((*it)->IsKindOf(RUNTIME_CLASS(T)))
            return static_cast<T *>(*it);
    }
    return nullptr;
}

AnalysisArea *Analysis1DDoc::GetAnalysisArea() const
{
    return FindLast<AnalysisArea>();
}

BackgroundArea *Analysis1DDoc::GetBackgroundArea() const
{
    return FindLast<BackgroundArea>();
}

DyeFront *Analysis1DDoc::GetDyeFront() const
{
    return FindLast<DyeFront>();
}

LoadingWells *Analysis1DDoc::GetLoadingWells() const
{
    return FindLast<LoadingWells>();
}

ExampleBand *Analysis1DDoc::GetExampleBand() const
{
    return FindLast<ExampleBand>();
}

UserDrawnBand *Analysis1DDoc::GetLastUserDrawBand() const
{
    return FindLast<UserDrawnBand>();
}

QList<UserDrawnBand *> Analysis1DDoc::GetAllUserDrawBands() const
{
    QList<UserDrawnBand *> bands;
    for (CDrawObject *obj : GetObjects()) {
        if (obj->IsKindOf(RUNTIME_CLASS(UserDrawnBand)))
            bands.append(static_cast<UserDrawnBand *>(obj));
    }
    return bands;
}

void Analysis1DDoc::RemoveAndDestroy(CDrawObject *pObj)
{
    if (!pObj)
        return;
    Remove(pObj);
    delete pObj;
}

void Analysis1DDoc::RemoveAnlaysisArea()
{
    RemoveAndDestroy(GetAnalysisArea());
}

void Analysis1DDoc::RemoveBackgroundArea()
{
    RemoveAndDestroy(GetBackgroundArea());
}

void Analysis1DDoc::RemoveExampleBand()
{
    RemoveAndDestroy(GetExampleBand());
}

void Analysis1DDoc::RemoveDyeFront()
{
    RemoveAndDestroy(GetDyeFront());
}

void Analysis1DDoc::RemoveLoadingWells()
{
    RemoveAndDestroy(GetLoadingWells());
}

void Analysis1DDoc::DeleteAllUserDrawnBands()
{
    const QList<UserDrawnBand *> bands = GetAllUserDrawBands();
    for (UserDrawnBand *band : bands)
        RemoveAndDestroy(band);
}

// Lanes and bands of the analysis are drawn over the overlay objects, bands
// over their lanes, so they are hit first.
CDrawObject *Analysis1DDoc::ObjectAt(const CPoint &point)
{
    if (m_pAnalysis) {
        CRect probe(point, CSize(1, 1));
        CArray<Lane> &lanes = *m_pAnalysis->GetLanes();
        for (Lane &lane : lanes) {
            for (Band &band : *lane.GetBands()) {
                if (band.CanBeSelected() && band.Intersects(probe))
                    return &band;
            }
        }
        for (Lane &lane : lanes) {
            if (lane.CanBeSelected() && lane.Intersects(probe))
                return &lane;
        }
    }
    return CDensoraDoc::ObjectAt(point);
}

// The analysis's coordinates start at the analysis area's corner. While the
// area is being drawn again (its command removes the old one first) the lanes
// keep the corner of the rectangle their image was cut from.
CPoint Analysis1DDoc::AnalysisOrigin() const
{
    if (const AnalysisArea *area = GetAnalysisArea())
        return area->m_position.TopLeft();
    if (m_pAnalysis && m_pAnalysis->GetAnalysisRasterImage())
        return m_pAnalysis->GetAnalysisImageRect().TopLeft();
    return CPoint(0, 0);
}

void Analysis1DDoc::Logical2Analysis(CPoint &point) const
{
    const CPoint origin = AnalysisOrigin();
    point.Offset(-origin.x, -origin.y);
}

void Analysis1DDoc::Logical2Analysis(CRect &rect) const
{
    const CPoint origin = AnalysisOrigin();
    rect.OffsetRect(-origin.x, -origin.y);
}

void Analysis1DDoc::Analysis2Logical(CPoint &point) const
{
    const CPoint origin = AnalysisOrigin();
    point.Offset(origin.x, origin.y);
}

void Analysis1DDoc::Analysis2Logical(CRect &rect) const
{
    const CPoint origin = AnalysisOrigin();
    rect.OffsetRect(origin.x, origin.y);
}

int Analysis1DDoc::GetDyeFrontDistance() const
{
    return m_AnalysisOptions.m_GeneralOptions.m_DyeFrontOffsetFromBottom;
}

void Analysis1DDoc::SetDyeFrontDistance(int nDistance)
{
    m_AnalysisOptions.m_GeneralOptions.m_DyeFrontOffsetFromBottom = nDistance;
}

int Analysis1DDoc::GetWellDistance() const
{
    return m_AnalysisOptions.m_GeneralOptions.m_WellOffsetFromTop;
}

void Analysis1DDoc::SetWellDistance(int nDistance)
{
    m_AnalysisOptions.m_GeneralOptions.m_WellOffsetFromTop = nDistance;
}

void Analysis1DDoc::StoreReferenceLineDistances()
{
    const AnalysisArea *area = GetAnalysisArea();
    if (!area)
        return;
    const CRect &a = area->m_position;
    if (const DyeFront *dyeFront = GetDyeFront()) {
        const CRect &d = dyeFront->m_position;
        SetDyeFrontDistance(a.bottom - (d.top + d.bottom) / 2);
    }
    if (const LoadingWells *wells = GetLoadingWells()) {
        const CRect &w = wells->m_position;
        SetWellDistance((w.top + w.bottom) / 2 - a.top);
    }
}
