#pragma once

// A window for a headless view in tests: a viewport size and a scroll
// position kept within the scroll sizes as a scroll area would, and a record
// of what the view asked for.

#include "appbase/CViewHost.h"

#include <QList>

#include <algorithm>

class TestViewHost : public CViewHost
{
public:
    explicit TestViewHost(CSize viewport = CSize(800, 600)) : m_viewport(viewport) { }

    CPoint GetScrollPosition() const override { return m_scroll; }
    void SetScrollPosition(CPoint position) override
    {
        m_scroll.x = std::clamp(position.x, 0, std::max(0, m_total.cx - m_viewport.cx));
        m_scroll.y = std::clamp(position.y, 0, std::max(0, m_total.cy - m_viewport.cy));
    }
    CSize GetViewportSize() const override { return m_viewport; }
    void SetScrollSizes(CSize total, CSize, CSize) override
    {
        m_total = total;
        SetScrollPosition(m_scroll);
    }
    void InvalidateRect(const CRect &rect) override { m_invalidated.append(rect); }
    void InvalidateAll() override { ++m_fullInvalidations; }
    void SetCursor(Qt::CursorShape shape) override { m_cursor = shape; }
    qreal DevicePixelRatio() const override { return 1.0; }
    void ViewDestroyed() override { m_viewGone = true; }

    void SetViewportSize(CSize viewport) { m_viewport = viewport; }
    CSize m_viewport;
    CSize m_total;
    CPoint m_scroll;
    QList<CRect> m_invalidated;
    int m_fullInvalidations = 0;
    Qt::CursorShape m_cursor = Qt::ArrowCursor;
    bool m_viewGone = false;
};
