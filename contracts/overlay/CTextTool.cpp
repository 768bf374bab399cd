#include "contracts/overlay/CTextTool.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawText.h"
#include "contracts/overlay/CDrawView.h"

CTextTool::CTextTool(ToolType type) : CRectTool(type)
{
    m_strDownCaption = QStringLiteral("CTextTool::OnLButtonDown");
    m_strUpCaption = QStringLiteral("CTextTool::OnLButtonUp");
}

CTextTool::~CTextTool() = default;

CDrawObject *CTextTool::CreateDrawObject(const CRect &rect)
{
    auto *text = new CDrawText(rect, QStringLiteral("Text"));
    text->m_nTextHeight = CDrawText::TextHeightForZoom(c_nScreenTextHeight, m_fZoom);
    return text;
}

void CTextTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                              const CPoint &point)
{
    m_fZoom = pView ? pView->GetZoomFactor() : 1.0f;
    CRectTool::OnLButtonDown(pDoc, pView, nFlags, point);
}

void CTextTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                            const CPoint &point)
{
    auto *drawn = dynamic_cast<CDrawText *>(m_pNewObject);
    CRectTool::OnLButtonUp(pDoc, pView, nFlags, point);
    // The rectangle tool drops a box too small to write in.
    if (!drawn || !pDoc || !pDoc->GetObjects().contains(drawn))
        return;
    // Frame style gave the text its colour; a text box has no frame of its own.
    drawn->EnableLine(false, false);
    QString text = drawn->GetText();
    if (CDrawText::AskText(QStringLiteral("Text"), text))
        drawn->SetText(text);
    if (pView)
        pView->SetCurrentToolType(toolSelect);
}
