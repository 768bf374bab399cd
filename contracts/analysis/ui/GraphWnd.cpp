#include "contracts/analysis/ui/GraphWnd.h"

#include "data/CIntDataArray.h"
#include "platform/Prompts.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace {

// Distinct on white, none of them the blue or red the lane graph uses for
// band areas and Gaussians.
constexpr std::array<COLORREF, GraphWnd::kPaletteSize> kPalette = {
    0x00000000, // black
    0x00008000, // green
    0x00C000C0, // magenta
    0x00808000, // teal
    0x000080FF, // orange
    0x00800080, // purple
    0x00004080, // brown
    0x00008080, // olive
    0x00FF8000, // azure
    0x000000A0, // dark red
    0x00808080, // grey
    0x0000C0C0, // dark yellow
    0x00FF0080, // violet
    0x0080C000, // sea green
    0x008080FF, // salmon
    0x00404040, // dark grey
};

// A tick step of 1, 2 or 5 times a power of ten giving about 'count' steps.
double tickStep(double span, int count)
{
    if (span <= 0)
        return 1.0;
    const double raw = span / std::max(count, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double fraction = raw / power;
    const double nice = fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10;
    return std::max(1.0, nice * power);
}

QRect toQRect(const CRect &r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

} // namespace

COLORREF GraphWnd::PaletteColour(int index)
{
    return kPalette[size_t(((index % kPaletteSize) + kPaletteSize) % kPaletteSize)];
}

GraphWnd::GraphWnd(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

GraphWnd::~GraphWnd() = default;

int GraphWnd::Create(QWidget *parent, const CRect &rect, int id)
{
    if (!parent)
        return 0;
    setParent(parent);
    setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    m_controlId = id;
    setObjectName(QString::number(id));
    show();
    return 1;
}

void GraphWnd::SetParameters(const GRAPHINFO *info)
{
    if (info)
        m_info = *info;
}

void GraphWnd::SetDataRange(int xMin, int xMax, int yMin, int yMax)
{
    m_info.xMin = xMin;
    m_info.xMax = xMax;
    m_info.yMin = yMin;
    m_info.yMax = yMax;
}

double GraphWnd::GetGraph2DataXfactor() const
{
    const double span = shownXMax() - shownXMin();
    return double(m_drawingRect.Width()) / (span > 0 ? span : 1.0);
}

double GraphWnd::GetGraph2DataYfactor() const
{
    const double span = shownYMax() - shownYMin();
    return double(m_drawingRect.Height()) / (span > 0 ? span : 1.0);
}

CPoint GraphWnd::GetZoomOffset() const
{
    return CPoint(int(shownXMin()), int(shownYMin()));
}

void GraphWnd::Data2Graph(CPoint &point) const
{
    const double x = (point.x - shownXMin()) * GetGraph2DataXfactor();
    const double y = (point.y - shownYMin()) * GetGraph2DataYfactor();
    point.x = m_drawingRect.left + int(x);
    point.y = m_drawingRect.bottom - int(y);
}

QPointF GraphWnd::Graph2Data(const QPointF &point) const
{
    return QPointF(shownXMin() + (point.x() - m_drawingRect.left) / GetGraph2DataXfactor(),
                   shownYMin() + (m_drawingRect.bottom - point.y()) / GetGraph2DataYfactor());
}

QFont GraphWnd::GraphFont(QPainter *painter, int pointSizeDelta, bool bold) const
{
    QFont font = painter->font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(std::max(6.0, font.pointSizeF() + pointSizeDelta));
    font.setBold(bold);
    return font;
}

void GraphWnd::ComputeDrawingRect(QPainter *painter, CRect *rect)
{
    const QFontMetrics metrics(GraphFont(painter), painter->device());
    const int line = metrics.height();
    const int labelWidth = metrics.horizontalAdvance(QStringLiteral("8888888"));
    *rect = m_windowRect;
    rect->left += line * 2 + labelWidth; // y title, tick labels
    rect->top += line * 3; // heading, value under the mouse
    rect->right -= line * 2;
    rect->bottom -= line * 3 + line / 2; // tick labels, x title
    if (rect->right <= rect->left)
        rect->right = rect->left + 1;
    if (rect->bottom <= rect->top)
        rect->bottom = rect->top + 1;
}

void GraphWnd::Draw(QPainter *painter)
{
    painter->save();
    painter->setFont(GraphFont(painter));
    m_lineHeight = QFontMetrics(painter->font(), painter->device()).height();
    ComputeDrawingRect(painter, &m_drawingRect);
    OnDraw(painter);
    painter->restore();
}

void GraphWnd::OnDraw(QPainter *painter)
{
    DrawAxis(painter);
    DrawTitles(painter);
    DrawHeading(painter);
}

void GraphWnd::DrawAxis(QPainter *painter)
{
    painter->save();
    const QRect plot = toQRect(m_drawingRect);
    const QFontMetrics metrics(painter->font(), painter->device());
    const int tick = std::max(3, metrics.height() / 3);
    QPen grid(QColor(225, 225, 225));
    grid.setWidth(0);
    QPen axis(Qt::black);
    axis.setWidth(0);

    // Ticks and their labels; a light grid helps reading values off.
    const double xStep = tickStep(shownXMax() - shownXMin(), 10);
    for (double v = std::ceil(shownXMin() / xStep) * xStep; v <= shownXMax() + 1e-9; v += xStep) {
        CPoint p(int(std::lround(v)), int(shownYMin()));
        Data2Graph(p);
        painter->setPen(grid);
        painter->drawLine(p.x, plot.top(), p.x, plot.bottom());
        painter->setPen(axis);
        painter->drawLine(p.x, plot.bottom(), p.x, plot.bottom() + tick);
        const QString label = QString::number(qint64(std::lround(v)));
        const int w = metrics.horizontalAdvance(label);
        painter->drawText(p.x - w / 2, plot.bottom() + tick + metrics.ascent(), label);
    }
    const double yStep = tickStep(shownYMax() - shownYMin(), 6);
    for (double v = std::ceil(shownYMin() / yStep) * yStep; v <= shownYMax() + 1e-9; v += yStep) {
        CPoint p(int(shownXMin()), int(std::lround(v)));
        Data2Graph(p);
        painter->setPen(grid);
        painter->drawLine(plot.left(), p.y, plot.right(), p.y);
        painter->setPen(axis);
        painter->drawLine(plot.left() - tick, p.y, plot.left(), p.y);
        const QString label = QString::number(qint64(std::lround(v)));
        const int w = metrics.horizontalAdvance(label);
        painter->drawText(plot.left() - tick - 2 - w, p.y + metrics.ascent() / 2 - 1, label);
    }
    painter->setPen(axis);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(plot);
    painter->restore();
}

void GraphWnd::DrawTitles(QPainter *painter)
{
    painter->save();
    painter->setPen(Qt::black);
    const QFontMetrics metrics(painter->font(), painter->device());
    const QRect plot = toQRect(m_drawingRect);
    const int line = metrics.height();
    const QRect xTitle(plot.left(), m_windowRect.bottom - line - line / 4, plot.width(), line);
    painter->drawText(xTitle, Qt::AlignCenter, m_info.xAxisTitle);
    painter->translate(m_windowRect.left + line / 4, plot.bottom());
    painter->rotate(-90);
    painter->drawText(QRect(0, 0, plot.height(), line), Qt::AlignCenter, m_info.yAxisTitle);
    painter->restore();
}

void GraphWnd::DrawHeading(QPainter *painter)
{
    painter->save();
    painter->setFont(GraphFont(painter, 2, true));
    painter->setPen(Qt::black);
    const QFontMetrics metrics(painter->font(), painter->device());
    const QRect heading(m_drawingRect.left, m_windowRect.top + metrics.height() / 4,
                        m_drawingRect.Width(), metrics.height());
    painter->drawText(heading, Qt::AlignCenter, m_header);
    painter->restore();
}

void GraphWnd::DrawDataPoints(QPainter *painter, const CIntDataArray *data, const QPen &pen)
{
    if (!data || data->GetSize() == 0)
        return;
    QPolygon line;
    line.reserve(data->GetSize());
    for (int i = 0; i < data->GetSize(); ++i) {
        CPoint p(i, (*data)[i]);
        Data2Graph(p);
        line << QPoint(p.x, p.y);
    }
    painter->save();
    painter->setClipRect(toQRect(m_drawingRect).adjusted(0, 0, 1, 1));
    painter->setPen(pen);
    painter->drawPolyline(line);
    painter->restore();
}

void GraphWnd::drawOnto(QPainter *painter, const QRect &rect)
{
    m_windowRect
        = CRect(rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height());
    painter->fillRect(rect, Qt::white);
    Draw(painter);
}

void GraphWnd::Print(QPainter *painter, const QRect &pageRect)
{
    const CRect window = m_windowRect;
    drawOnto(painter, pageRect);
    // The window goes on with its own rectangle (and repaints to get its
    // drawing rectangle back).
    m_windowRect = window;
    update();
}

QImage GraphWnd::Render(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font());
    drawOnto(&painter, QRect(QPoint(0, 0), size));
    return image;
}

bool GraphWnd::SaveAsPng(const QString &path, const QSize &size)
{
    return Render(size).save(path, "PNG");
}

bool GraphWnd::SaveAsSvg(const QString &path, const QSize &size)
{
    QSvgGenerator generator;
    generator.setFileName(path);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(m_header);
    QPainter painter;
    if (!painter.begin(&generator))
        return false;
    painter.setFont(font());
    drawOnto(&painter, QRect(QPoint(0, 0), size));
    return painter.end();
}

// Zoom --------------------------------------------------------------------------------

void GraphWnd::ZoomTo(double xMin, double xMax, double yMin, double yMax)
{
    if (xMin > xMax)
        std::swap(xMin, xMax);
    if (yMin > yMax)
        std::swap(yMin, yMax);
    if (xMax - xMin < 1 || yMax - yMin <= 0)
        return;
    m_zoomed = true;
    m_zoomXMin = xMin;
    m_zoomXMax = xMax;
    m_zoomYMin = yMin;
    m_zoomYMax = yMax;
    update();
}

void GraphWnd::ZoomOut()
{
    m_zoomed = false;
    update();
}

// Events -----------------------------------------------------------------------------

void GraphWnd::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_windowRect = CRect(0, 0, width(), height());
    painter.fillRect(rect(), Qt::white);
    Draw(&painter);

    if (m_dragging) {
        painter.setPen(QPen(Qt::darkGray, 0, Qt::DashLine));
        painter.setBrush(QColor(0, 0, 255, 30));
        painter.drawRect(QRect(m_dragStart, m_dragEnd).normalized());
    }
    if (m_mouseInside && m_drawingRect.PtInRect(CPoint(m_mouse.x(), m_mouse.y()))) {
        const QPointF value = Graph2Data(QPointF(m_mouse));
        const QString text = QStringLiteral("Position %1   Intensity %2")
                                 .arg(qRound(value.x()))
                                 .arg(qRound(value.y()));
        const QFontMetrics metrics(painter.font());
        painter.setPen(Qt::darkGray);
        painter.drawText(QRect(0, m_drawingRect.top - metrics.height() - 2, m_windowRect.right - 6,
                               metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, text);
    }
}

void GraphWnd::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton
        && m_drawingRect.PtInRect(CPoint(event->pos().x(), event->pos().y()))) {
        m_dragging = true;
        m_dragStart = m_dragEnd = event->pos();
    }
    QWidget::mousePressEvent(event);
}

void GraphWnd::mouseMoveEvent(QMouseEvent *event)
{
    m_mouseInside = true;
    m_mouse = event->pos();
    if (m_dragging)
        m_dragEnd = event->pos();
    update();
}

void GraphWnd::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragging && event->button() == Qt::LeftButton) {
        m_dragging = false;
        const QRect r = QRect(m_dragStart, event->pos()).normalized();
        // A click is no zoom.
        if (r.width() > 4 && r.height() > 4) {
            const QPointF a = Graph2Data(QPointF(r.left(), r.bottom()));
            const QPointF b = Graph2Data(QPointF(r.right(), r.top()));
            ZoomTo(a.x(), b.x(), a.y(), b.y());
        }
        update();
    }
    QWidget::mouseReleaseEvent(event);
}

void GraphWnd::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_zoomed)
        ZoomOut();
}

void GraphWnd::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && (m_zoomed || m_dragging)) {
        m_dragging = false;
        ZoomOut();
        return;
    }
    QWidget::keyPressEvent(event);
}

void GraphWnd::leaveEvent(QEvent *)
{
    m_mouseInside = false;
    update();
}

void GraphWnd::AddGraphMenuItems(QMenu *menu)
{
    QAction *zoomOut = menu->addAction(QStringLiteral("Zoom Out"), this, [this] { ZoomOut(); });
    zoomOut->setEnabled(m_zoomed);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Save Graph as PNG..."), this, [this] {
        const QString path = Prompts::instance().AskSaveFile(QStringLiteral("Save Graph as PNG"),
                                                             QStringLiteral("PNG Images (*.png)"),
                                                             QStringLiteral("Graph.png"));
        if (!path.isEmpty() && !SaveAsPng(path, size()))
            Prompts::instance().MessageBox(
                QStringLiteral("The graph could not be saved to %1.").arg(path),
                MB_OK | MB_ICONERROR);
    });
    menu->addAction(QStringLiteral("Save Graph as SVG..."), this, [this] {
        const QString path = Prompts::instance().AskSaveFile(QStringLiteral("Save Graph as SVG"),
                                                             QStringLiteral("SVG Images (*.svg)"),
                                                             QStringLiteral("Graph.svg"));
        if (!path.isEmpty() && !SaveAsSvg(path, size()))
            Prompts::instance().MessageBox(
                QStringLiteral("The graph could not be saved to %1.").arg(path),
                MB_OK | MB_ICONERROR);
    });
}

void GraphWnd::OnContextMenu(const QPoint &globalPos)
{
    QMenu menu(this);
    AddGraphMenuItems(&menu);
    menu.exec(globalPos);
}

void GraphWnd::contextMenuEvent(QContextMenuEvent *event)
{
    OnContextMenu(event->globalPos());
}
