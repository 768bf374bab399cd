#include "analysis1d/engine/AnalysisShapes.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawObject.h"
#include "contracts/overlay/CDrawView.h"

#include <algorithm>
#include <cmath>

namespace AnalysisShapes {

namespace {
float zoomOf(const CDrawObject &obj, CDrawView *pView)
{
    if (!pView && obj.GetDocument())
        pView = obj.GetDocument()->GetFirstView();
    const float zoom = pView ? pView->GetZoomFactor() : 1.0f;
    return zoom > 0.0f ? zoom : 1.0f;
}
} // namespace

CRect LabelExtent(const CDrawObject &obj, const QString &text, CPoint at, CDrawView *pView)
{
    const double zoom = zoomOf(obj, pView);
    // The pixel size CDrawObject::DrawText paints with.
    const double pixels = obj.m_nTextZooms
        ? std::max(1.0, std::floor(double(obj.m_nTextHeight) * zoom + 0.5))
        : std::max(1, obj.m_nTextScreenHeight);
    // A line of text is about 1.2 pixel sizes high and a character rarely wider
    // than 0.7 of it; both are taken larger to be safe.
    const int height = int(std::ceil(1.5 * pixels / zoom)) + 1;
    const int width = int(std::ceil(0.8 * pixels * double(text.size()) / zoom)) + 1;
    return CRect(at.x, at.y, at.x + width, at.y + height);
}

CRect KeepHorizontalExtent(const CRect &current, const CRect &requested)
{
    return CRect(current.left, requested.top, current.right, requested.bottom);
}

CRect StripAreaToBeRepainted(const CDrawObject &obj, int labelOffsetY, CDrawView *pView)
{
    CRect r = obj.GetPosition();
    r.NormalizeRect();
    const int m = obj.GetTrackerMargin(pView);
    r.InflateRect(m, std::max(m, 2 * labelOffsetY));
    return r;
}

void ReferenceLineMoved(CDrawView *pView)
{
    auto *doc = pView ? dynamic_cast<Analysis1DDoc *>(pView->GetDocument()) : nullptr;
    if (!doc)
        return;
    Analysis1D *analysis = doc->GetAnalysis();
    if (!analysis || analysis->IsWizardRunning())
        return;
    doc->StoreReferenceLineDistances();
    if (analysis->GetNumberOfLanes() > 0)
        analysis->UpdateReportAndGraph();
}

} // namespace AnalysisShapes
