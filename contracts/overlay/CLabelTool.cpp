#include "contracts/overlay/CLabelTool.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawText.h"
#include "contracts/overlay/CDrawView.h"

#include <memory>

CLabelTool::CLabelTool(ToolType type) : CDrawTool(type) { }

CLabelTool::~CLabelTool() = default;

void CLabelTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                               const CPoint &point)
{
    CDrawTool::OnLButtonDown(pDoc, pView, nFlags, point);
    m_bPressed = true;
}

void CLabelTool::OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                             const CPoint &point)
{
    CDrawTool::OnMouseMove(pDoc, pView, nFlags, point);
    if (pView)
        pView->SetViewCursor(Qt::IBeamCursor);
}

void CLabelTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                             const CPoint &point)
{
    CDrawTool::OnLButtonUp(pDoc, pView, nFlags, point);
    if (!m_bPressed || !pDoc || !pView)
        return;
    m_bPressed = false;
    const CPoint at = c_pntDown;
    QString text = QStringLiteral("Label");
    if (!CDrawText::AskText(QStringLiteral("Label"), text) || text.trimmed().isEmpty()) {
        pView->SetCurrentToolType(toolSelect);
        return;
    }
    auto label = std::make_unique<CDrawText>(CRect(at, at), text);
    label->m_nTextHeight
        = CDrawText::TextHeightForZoom(c_nScreenTextHeight, pView->GetZoomFactor());
    const CSize extent = label->TextExtent();
    label->m_position = CRect(at.x, at.y, at.x + extent.cx, at.y + extent.cy);

    pDoc->SaveActionStartEnd(QStringLiteral("CLabelTool::OnLButtonUp"));
    CDrawText *added = label.release();
    pDoc->Add(added, true);
    // Frame style gave the text its colour; a label has no frame.
    added->EnableLine(false, false);
    pDoc->SetModifiedFlag();
    pView->SelectObject(added);
    pView->InvalObject(added);
    pView->SetCurrentToolType(toolSelect);
}
