#include "contracts/overlay/COffscreenDrawView.h"

#include <QPainter>

IMPLEMENT_DYNAMIC(COffscreenDrawView, CDrawView)

COffscreenDrawView::COffscreenDrawView(CDrawDocument *pDoc, float zoom, CPoint scroll)
    : m_fZoom(zoom > 0.0f ? zoom : 1.0f), m_scroll(scroll)
{
    SetDocument(pDoc);
}

COffscreenDrawView::~COffscreenDrawView() = default;

void COffscreenDrawView::InvalidateScreenRect(const CRect &rect)
{
    m_invalidated.append(rect);
}

void COffscreenDrawView::InvalidateView()
{
    ++m_nFullInvalidations;
}

void COffscreenDrawView::ClearInvalidated()
{
    m_invalidated.clear();
    m_nFullInvalidations = 0;
}

QImage COffscreenDrawView::Render(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    // Objects draw at their unscrolled screen position; the scroll shifts the canvas.
    painter.translate(-m_scroll.x, -m_scroll.y);
    OnDraw(&painter);
    painter.end();
    return image;
}
