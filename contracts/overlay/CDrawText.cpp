#include "contracts/overlay/CDrawText.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawView.h"

#include "platform/CArchive.h"
#include "platform/Exceptions.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

IMPLEMENT_SERIAL(CDrawText, CDrawRectangle, VERSIONABLE_SCHEMA | 0)

namespace {
constexpr uint16_t kTextLayout = 1;
constexpr int kMargin = 2; // logical units between frame and text at zoom 1

CDrawText::TextEntryHandler &textEntryHandler()
{
    static CDrawText::TextEntryHandler handler;
    return handler;
}

QFont fontOfHeight(int pixels)
{
    QFont font;
    font.setPixelSize(std::max(1, pixels));
    return font;
}
} // namespace

CDrawText::CDrawText()
{
    m_bLineEnabled = false;
}

CDrawText::CDrawText(const CRect &position, const QString &text)
    : CDrawRectangle(position, rectangle), m_strText(text)
{
    m_bLineEnabled = false;
}

CDrawText::CDrawText(const CDrawText &other) : CDrawRectangle(other), m_strText(other.m_strText) { }

CDrawText::~CDrawText() = default;

CDrawText &CDrawText::operator=(const CDrawText &other)
{
    CDrawRectangle::operator=(other);
    m_strText = other.m_strText;
    return *this;
}

CDrawObject &CDrawText::operator=(const CDrawObject &other)
{
    if (const auto *t = dynamic_cast<const CDrawText *>(&other))
        return CDrawText::operator=(*t);
    return CDrawRectangle::operator=(other);
}

bool CDrawText::operator==(const CDrawObject &other) const
{
    const auto *t = dynamic_cast<const CDrawText *>(&other);
    return t && t->m_strText == m_strText && t->m_nTextHeight == m_nTextHeight
        && CDrawRectangle::operator==(other);
}

// Stored text part, after the rectangle part:
//   WORD    layout version, 1
//   string  the text
//   int32   text height (logical units)
//   int32   background transparent (1) or filled (0)
// Another layout version is refused (badSchema).
void CDrawText::Serialize(CArchive &ar)
{
    CDrawRectangle::Serialize(ar);
    if (ar.IsStoring()) {
        ar << kTextLayout << m_strText << int32_t(m_nTextHeight) << int32_t(m_nTextTransparent);
        return;
    }
    uint16_t layout = 0;
    ar >> layout;
    if (layout != kTextLayout)
        throw CArchiveException(CArchiveException::badSchema);
    int32_t height = 0;
    int32_t transparent = 0;
    ar >> m_strText >> height >> transparent;
    m_nTextHeight = std::max(1, int(height));
    m_nTextTransparent = transparent ? 1 : 0;
}

void CDrawText::SetText(const QString &text)
{
    if (text == m_strText)
        return;
    Invalidate();
    m_strText = text;
    Invalidate();
}

CSize CDrawText::TextExtent() const
{
    const QFontMetrics metrics(fontOfHeight(m_nTextHeight));
    const QRect box = metrics.boundingRect(QRect(0, 0, 100000, 100000),
                                           Qt::AlignLeft | Qt::AlignTop, m_strText);
    const int margin = std::max(kMargin, m_nTextHeight / 8);
    return CSize(box.width() + 2 * margin + 1,
                 std::max(box.height(), metrics.height()) + 2 * margin);
}

int CDrawText::TextHeightForZoom(int screenPixels, float zoom)
{
    if (zoom <= 0.0f)
        zoom = 1.0f;
    return std::max(1, int(std::floor(double(screenPixels) / double(zoom) + 0.5)));
}

void CDrawText::Draw(QPainter *pDC, CDrawView *pView)
{
    DrawShape(pDC, pView, m_position);
    CRect r = m_position;
    r.NormalizeRect();
    pView->Logical2Screen(r, false);
    const float zoom = pView->GetZoomFactor();
    const int pixels = std::max(1, int(std::floor(double(m_nTextHeight) * double(zoom) + 0.5)));
    const int margin = std::max(1, int(std::floor(std::max(kMargin, m_nTextHeight / 8) * zoom)));
    QRect box(r.left, r.top, r.Width(), r.Height());
    box.adjust(margin, margin, -margin, -margin);
    pDC->save();
    pDC->setFont(fontOfHeight(pixels));
    pDC->setPen(toQColor(m_lineColor));
    pDC->setClipRect(QRect(r.left, r.top, r.Width(), r.Height()), Qt::IntersectClip);
    pDC->drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_strText);
    pDC->restore();
}

int CDrawText::HitTest(const CPoint &point, int bSelected, CDrawView *pView)
{
    if (bSelected)
        return CDrawObject::HitTest(point, bSelected, pView);
    CRect r = m_position;
    r.NormalizeRect();
    return r.PtInRect(point) ? 1 : 0;
}

void CDrawText::OnOpen(CDrawView *)
{
    QString text = m_strText;
    if (!AskText(QStringLiteral("Text"), text) || text == m_strText)
        return;
    if (m_pDocument) {
        m_pDocument->SaveActionStartEnd(QStringLiteral("CDrawText::OnOpen"));
        m_pDocument->SetModifiedFlag();
    }
    SetText(text);
}

CDrawObject *CDrawText::Clone(CDrawDocument *pDoc)
{
    auto *clone = new CDrawText(*this);
    if (pDoc)
        pDoc->Add(clone, false);
    return clone;
}

void CDrawText::SetTextEntryHandler(TextEntryHandler handler)
{
    textEntryHandler() = std::move(handler);
}

bool CDrawText::AskText(const QString &title, QString &text)
{
    if (const TextEntryHandler &handler = textEntryHandler())
        return handler(title, text);
    return true;
}
