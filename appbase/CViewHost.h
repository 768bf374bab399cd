#pragma once

// The window a headless view lives in. The canvas widget implements it; tests
// implement it with a plain object, so the view runs without any widget.
// All coordinates are the window's device-independent pixels.

#include "appbase/FrameServices.h"

#include "platform/Geometry.h"

#include <QString>
#include <Qt>

class QObject;

class CViewHost
{
public:
    virtual ~CViewHost() = default;

    // Top left of the visible part in scrolled screen pixels. Negative when the
    // drawing is smaller than the window and shown centred in it.
    virtual CPoint GetScrollPosition() const = 0;
    // Asks the window to scroll there; it keeps the position within range.
    virtual void SetScrollPosition(CPoint position) = 0;
    // The visible (client) area.
    virtual CSize GetViewportSize() const = 0;
    // The scrollable size changed: the whole drawing at the current zoom, with
    // the page and line steps of the scroll bars (0 = the window's default).
    virtual void SetScrollSizes(CSize total, CSize page, CSize line) = 0;
    // Repaints a rectangle in window coordinates (scroll applied), or all.
    virtual void InvalidateRect(const CRect &rect) = 0;
    virtual void InvalidateAll() = 0;
    virtual void SetCursor(Qt::CursorShape shape) = 0;
    // Device pixels per window pixel (2 on a high-DPI screen).
    virtual qreal DevicePixelRatio() const = 0;
    // The view is being destroyed; the host must forget it.
    virtual void ViewDestroyed() = 0;

    // A cursor of the program's own images by its resource number (the
    // analysis tools' 12092-12095). A host without them shows the arrow.
    virtual void SetResourceCursor(int resourceId)
    {
        Q_UNUSED(resourceId);
        SetCursor(Qt::ArrowCursor);
    }
    // What the user is asked to do now (a tool's instruction); empty clears
    // it. The frame's status bar unless the host shows it elsewhere.
    virtual void SetStatusText(const QString &text)
    {
        if (FrameServices *frame = FrameServices::instance())
            frame->DisplayStatusBarText(text);
    }
    // The window the view's dialogs open over; null when there is none.
    virtual QObject *DialogParent() const { return nullptr; }
    // A tooltip for what lies under the mouse; empty: none.
    virtual void SetToolTipText(const QString &text) { Q_UNUSED(text); }
};
