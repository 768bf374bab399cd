#pragma once

// A drawing view without a window: a zoom factor and a scroll position, painting
// into a QImage. Used to render documents off screen and to drive tools in tests;
// it records what it was asked to repaint.

#include "contracts/overlay/CDrawView.h"

#include <QImage>
#include <QList>
#include <QSize>

class COffscreenDrawView : public CDrawView
{
    DECLARE_DYNAMIC(COffscreenDrawView)
public:
    explicit COffscreenDrawView(CDrawDocument *pDoc = nullptr, float zoom = 1.0f,
                                CPoint scroll = CPoint());
    ~COffscreenDrawView() override;

    float GetZoomFactor() const override { return m_fZoom; }
    void SetZoomFactor(float zoom) { m_fZoom = zoom > 0.0f ? zoom : 1.0f; }
    CPoint GetScrollPosition() const override { return m_scroll; }
    void SetScrollPosition(CPoint scroll) { m_scroll = scroll; }

    void InvalidateScreenRect(const CRect &rect) override;
    void InvalidateView() override;
    void SetViewCursor(Qt::CursorShape shape) override { m_cursor = shape; }

    // The visible part (size in screen pixels) on white: every object, then the
    // trackers of the selection.
    QImage Render(QSize size);

    // Repaint requests since the last ClearInvalidated: screen rectangles, and how
    // often the whole view was asked for.
    const QList<CRect> &GetInvalidatedRects() const { return m_invalidated; }
    int GetFullInvalidations() const { return m_nFullInvalidations; }
    void ClearInvalidated();
    Qt::CursorShape GetViewCursor() const { return m_cursor; }

private:
    float m_fZoom;
    CPoint m_scroll;
    QList<CRect> m_invalidated;
    int m_nFullInvalidations = 0;
    Qt::CursorShape m_cursor = Qt::ArrowCursor;
};
