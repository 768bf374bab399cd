#include "appbase/ui/CDensoraCanvas.h"

#include "appbase/CDensoraDoc.h"
#include "appbase/CDensoraView.h"
#include "appbase/ui/CDensoraPrinting.h"

#include "contracts/overlay/CDrawTool.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {
// Scroll step of the arrows and the wheel when the view gives none.
constexpr int kLineStep = 20;

unsigned keyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    unsigned flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

CDensoraCanvas::CursorProvider &cursorProvider()
{
    static CDensoraCanvas::CursorProvider provider;
    return provider;
}

CPoint toCPoint(const QPointF &p)
{
    return CPoint(int(std::floor(p.x())), int(std::floor(p.y())));
}
} // namespace

CDensoraCanvas::CDensoraCanvas(CDensoraView *view, QWidget *parent)
    : QAbstractScrollArea(parent), m_pView(view),
      m_emptyHint(QStringLiteral("Open a gel image to begin: File \u25B8 Open (Ctrl+O),\n"
                                 "or drop an image file here."))
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true); // the pixel read-out follows the mouse
    // Every paint covers what it exposes (white behind the picture).
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    CDensoraPrinting::Install();
    if (m_pView)
        m_pView->SetHost(this);
}

CDensoraCanvas::~CDensoraCanvas()
{
    if (m_pView)
        m_pView->SetHost(nullptr);
}

// --- host -------------------------------------------------------------------------

CPoint CDensoraCanvas::GetScrollPosition() const
{
    // A drawing narrower (or lower) than the window is centred: the offset is
    // a negative scroll position, so the view's conversions stay the same.
    const QSize vp = viewport()->size();
    const int x
        = m_total.cx < vp.width() ? -(vp.width() - m_total.cx) / 2 : horizontalScrollBar()->value();
    const int y
        = m_total.cy < vp.height() ? -(vp.height() - m_total.cy) / 2 : verticalScrollBar()->value();
    return CPoint(x, y);
}

void CDensoraCanvas::SetScrollPosition(CPoint position)
{
    horizontalScrollBar()->setValue(position.x);
    verticalScrollBar()->setValue(position.y);
}

CSize CDensoraCanvas::GetViewportSize() const
{
    // The room without scroll bars: fitting the drawing makes them go away.
    const QSize size = maximumViewportSize();
    return CSize(size.width(), size.height());
}

void CDensoraCanvas::SetScrollSizes(CSize total, CSize, CSize line)
{
    m_total = total;
    m_line = line;
    UpdateScrollBars();
    viewport()->update();
}

void CDensoraCanvas::InvalidateRect(const CRect &rect)
{
    CRect r = rect;
    r.NormalizeRect();
    // One pixel more each side: trackers and lines sit on the rectangle's edge.
    r.InflateRect(1, 1);
    viewport()->update(r.toQRect());
}

void CDensoraCanvas::InvalidateAll()
{
    viewport()->update();
}

void CDensoraCanvas::SetCursor(Qt::CursorShape shape)
{
    m_cursor = shape;
    m_bResourceCursor = false;
    ShowCursor();
}

void CDensoraCanvas::SetResourceCursor(int resourceId)
{
    if (!cursorProvider()) {
        SetCursor(Qt::ArrowCursor);
        return;
    }
    m_resourceCursor = cursorProvider()(resourceId);
    m_bResourceCursor = true;
    ShowCursor();
}

void CDensoraCanvas::SetToolTipText(const QString &text)
{
    viewport()->setToolTip(text);
}

QObject *CDensoraCanvas::DialogParent() const
{
    return window();
}

void CDensoraCanvas::SetCursorProvider(CursorProvider provider)
{
    cursorProvider() = std::move(provider);
}

qreal CDensoraCanvas::DevicePixelRatio() const
{
    return devicePixelRatioF();
}

void CDensoraCanvas::ViewDestroyed()
{
    m_pView = nullptr;
    viewport()->update();
}

void CDensoraCanvas::UpdateScrollBars()
{
    const QSize vp = viewport()->size();
    QScrollBar *h = horizontalScrollBar();
    QScrollBar *v = verticalScrollBar();
    h->setRange(0, std::max(0, m_total.cx - vp.width()));
    v->setRange(0, std::max(0, m_total.cy - vp.height()));
    h->setPageStep(std::max(1, vp.width()));
    v->setPageStep(std::max(1, vp.height()));
    h->setSingleStep(m_line.cx > 0 ? m_line.cx : kLineStep);
    v->setSingleStep(m_line.cy > 0 ? m_line.cy : kLineStep);
}

void CDensoraCanvas::ShowCursor()
{
    if (m_bPanning)
        viewport()->setCursor(Qt::ClosedHandCursor);
    else if (m_bSpaceDown)
        viewport()->setCursor(Qt::OpenHandCursor);
    else if (m_bResourceCursor)
        viewport()->setCursor(m_resourceCursor);
    else
        viewport()->setCursor(m_cursor);
}

// --- painting ------------------------------------------------------------------------

void CDensoraCanvas::SetEmptyHint(const QString &hint)
{
    m_emptyHint = hint;
    viewport()->update();
}

bool CDensoraCanvas::IsShowingEmptyHint() const
{
    const CDensoraDoc *doc = m_pView ? m_pView->GetDensoraDoc() : nullptr;
    return m_pView && !m_emptyHint.isEmpty() && (!doc || doc->GetObjects().isEmpty());
}

void CDensoraCanvas::PaintEmptyHint(QPainter &painter, const QRect &exposed)
{
    // In the look's own colours, not the drawing's white: readable in a dark
    // look as in a light one.
    const QPalette &colours = palette();
    painter.fillRect(exposed, colours.color(QPalette::Base));
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 1.25);
    painter.setFont(font);
    painter.setPen(colours.color(QPalette::Text));
    painter.drawText(viewport()->rect().adjusted(24, 24, -24, -24),
                     Qt::AlignCenter | Qt::TextWordWrap, m_emptyHint);
}

void CDensoraCanvas::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    if (IsShowingEmptyHint()) {
        PaintEmptyHint(painter, event->rect());
        return;
    }
    if (!m_pView) {
        painter.fillRect(event->rect(), palette().window());
        return;
    }
    // The painter works in window pixels; on a high-DPI screen it draws into
    // the device pixels beneath, so the picture is sampled at full resolution.
    m_pView->PaintVisible(&painter, event->rect());
}

void CDensoraCanvas::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CDensoraCanvas::scrollContentsBy(int dx, int dy)
{
    // Centred drawings do not move with the bars; a full repaint is cheap.
    const QSize vp = viewport()->size();
    if (m_total.cx < vp.width() || m_total.cy < vp.height())
        viewport()->update();
    else
        viewport()->scroll(dx, dy);
}

// --- mouse and keys ----------------------------------------------------------------------

void CDensoraCanvas::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::MiddleButton
        || (event->button() == Qt::LeftButton && m_bSpaceDown)) {
        m_bPanning = true;
        m_panStart = event->position().toPoint();
        m_panScrollStart = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
        ShowCursor();
        event->accept();
        return;
    }
    if (!m_pView)
        return;
    const unsigned flags = keyFlags(event->buttons(), event->modifiers());
    const CPoint point = toCPoint(event->position());
    if (event->button() == Qt::LeftButton)
        m_pView->OnLButtonDown(flags, point);
    else if (event->button() == Qt::RightButton)
        m_pView->OnRButtonDown(flags, point);
    event->accept();
}

void CDensoraCanvas::mouseMoveEvent(QMouseEvent *event)
{
    if (m_bPanning) {
        const QPoint delta = event->position().toPoint() - m_panStart;
        horizontalScrollBar()->setValue(m_panScrollStart.x() - delta.x());
        verticalScrollBar()->setValue(m_panScrollStart.y() - delta.y());
        event->accept();
        return;
    }
    if (m_pView)
        m_pView->OnMouseMove(keyFlags(event->buttons(), event->modifiers()),
                             toCPoint(event->position()));
    event->accept();
}

void CDensoraCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_bPanning) {
        if (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton)
            EndPanning();
        event->accept();
        return;
    }
    if (m_pView && event->button() == Qt::LeftButton)
        m_pView->OnLButtonUp(keyFlags(event->buttons(), event->modifiers()),
                             toCPoint(event->position()));
    event->accept();
}

void CDensoraCanvas::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_pView && event->button() == Qt::LeftButton && !m_bSpaceDown)
        m_pView->OnLButtonDblClk(keyFlags(event->buttons(), event->modifiers()),
                                 toCPoint(event->position()));
    event->accept();
}

void CDensoraCanvas::wheelEvent(QWheelEvent *event)
{
    if (m_pView && (event->modifiers() & Qt::ControlModifier)) {
        // One notch (120) is one zoom step; touchpads send fractions of it.
        const double notches = event->angleDelta().y() / 120.0;
        if (notches != 0.0) {
            const float z = m_pView->GetZoomFactor()
                * float(std::pow(double(CDensoraView::c_fZoomStep), notches));
            m_pView->ZoomAbout(z, toCPoint(event->position()));
        }
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

unsigned CDensoraCanvas::VirtualKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Tab:
        return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_Delete:
        return 0x2E;
    default:
        break;
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return unsigned(qtKey); // the same codes as the letters and digits
    return 0;
}

void CDensoraCanvas::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) {
            m_bSpaceDown = true;
            ShowCursor();
        }
        event->accept();
        return;
    }
    const unsigned vk = VirtualKey(event->key());
    if (m_pView && vk != 0) {
        m_pView->OnKeyDown(vk, unsigned(event->isAutoRepeat() ? 2 : 1), 0);
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CDensoraCanvas::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        m_bSpaceDown = false;
        if (!(QGuiApplication::mouseButtons() & Qt::LeftButton))
            m_bPanning = false;
        ShowCursor();
        event->accept();
        return;
    }
    QAbstractScrollArea::keyReleaseEvent(event);
}

void CDensoraCanvas::focusOutEvent(QFocusEvent *event)
{
    // A space released elsewhere never reaches us.
    m_bSpaceDown = false;
    EndPanning();
    QAbstractScrollArea::focusOutEvent(event);
}

void CDensoraCanvas::EndPanning()
{
    m_bPanning = false;
    ShowCursor();
}
