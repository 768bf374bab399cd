#pragma once

// The one widget of the image view: a scroll area that hosts a headless
// CDensoraView. It turns Qt's mouse, key and wheel events into the view's
// calls, keeps the scroll bars on the view's scroll sizes and paints the
// exposed part through the view. Beyond that it only does what a desktop
// image tool is expected to: Ctrl+wheel zooms about the cursor, a middle-button
// or space-bar drag pans, a drawing smaller than the window is shown centred.
//
// The canvas does not own the view; whoever made both destroys the canvas
// first (a view destroyed first tells the canvas, which then shows nothing).

#include "appbase/CViewHost.h"

#include <QAbstractScrollArea>
#include <QCursor>
#include <QPoint>
#include <QString>

#include <functional>

class CDensoraView;
class QPainter;

class CDensoraCanvas : public QAbstractScrollArea, public CViewHost
{
    Q_OBJECT
public:
    explicit CDensoraCanvas(CDensoraView *view, QWidget *parent = nullptr);
    ~CDensoraCanvas() override;

    CDensoraView *GetView() const { return m_pView; }

    // What an empty window says (centred, in the look's colours): where to
    // start. Shown while the view's document holds no objects.
    QString GetEmptyHint() const { return m_emptyHint; }
    void SetEmptyHint(const QString &hint);
    bool IsShowingEmptyHint() const;

    // CViewHost
    CPoint GetScrollPosition() const override;
    void SetScrollPosition(CPoint position) override;
    CSize GetViewportSize() const override;
    void SetScrollSizes(CSize total, CSize page, CSize line) override;
    void InvalidateRect(const CRect &rect) override;
    void InvalidateAll() override;
    void SetCursor(Qt::CursorShape shape) override;
    // The picture of the program's cursor of that number, from the provider
    // the window layer installed; the arrow without one.
    void SetResourceCursor(int resourceId) override;
    // The window the canvas is in.
    QObject *DialogParent() const override;
    void SetToolTipText(const QString &text) override;
    qreal DevicePixelRatio() const override;
    void ViewDestroyed() override;

    // Where the program's own cursors come from (a null cursor: the arrow).
    using CursorProvider = std::function<QCursor(int resourceId)>;
    static void SetCursorProvider(CursorProvider provider);

    // The view's key code (VK_...) of a Qt key; 0 for keys the tools ignore.
    static unsigned VirtualKey(int qtKey);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void PaintEmptyHint(QPainter &painter, const QRect &exposed);
    void UpdateScrollBars();
    void EndPanning();
    void ShowCursor();

    CDensoraView *m_pView; // not owned
    QString m_emptyHint;
    CSize m_total;
    CSize m_line;
    Qt::CursorShape m_cursor = Qt::ArrowCursor;
    QCursor m_resourceCursor;
    bool m_bResourceCursor = false;
    bool m_bSpaceDown = false;
    bool m_bPanning = false;
    QPoint m_panStart;
    QPoint m_panScrollStart;
};
