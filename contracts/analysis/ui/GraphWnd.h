#pragma once

// The graph window of the analysis frame: a child window that plots integer
// data series against their index, with axes and ticks, axis titles and a
// heading above the plot. Derived windows draw their series in Draw after the
// base has drawn the frame.
//
// Mapping: x = left + trunc((x - x0) * xFactor), y = bottom - trunc((y - y0)
// * yFactor), where x0, y0 are the lower ends of the range shown (the zoom
// offset when zoomed in) and the factors are window units per data unit.
//
// Dragging a rectangle with the left button zooms into it; "Zoom Out" in the
// context menu, a double click or Escape goes back. The value under the
// mouse (position and intensity) is shown in the top right corner. The
// context menu saves the graph as PNG or SVG.

#include "platform/Colors.h"
#include "platform/Geometry.h"

#include <QImage>
#include <QPen>
#include <QString>
#include <QWidget>

#include <array>

class CIntDataArray;
class QMenu;
class QPainter;

// The graph's texts and data range.
struct GRAPHINFO
{
    QString title; // what exports write in their first cell
    QString xAxisTitle;
    QString yAxisTitle;
    int xMin = 0;
    int xMax = 100;
    int yMin = 0;
    int yMax = 100;
};

class GraphWnd : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kPaletteSize = 16;
    // Colour i of the line palette, repeating after 16.
    static COLORREF PaletteColour(int index);

    explicit GraphWnd(QWidget *parent = nullptr);
    ~GraphWnd() override;

    // Places the window as a visible child of parent over rect, with the
    // control identifier id. Nonzero on success.
    virtual int Create(QWidget *parent, const CRect &rect, int id);
    int GetControlId() const { return m_controlId; }

    virtual void SetParameters(const GRAPHINFO *info);
    virtual void SetDataRange(int xMin, int xMax, int yMin, int yMax);
    void SetHeader(const QString &header) { m_header = header; }
    const QString &GetHeader() const { return m_header; }
    const GRAPHINFO &GetParameters() const { return m_info; }

    // Draws the graph into the window rectangle: computes the drawing
    // rectangle, then axes, titles and heading (OnDraw).
    virtual void Draw(QPainter *painter);
    // The same drawing into a page rectangle of a printer (or any device).
    virtual void Print(QPainter *painter, const QRect &pageRect);
    // Renders the graph at a size into an image, as the window shows it.
    QImage Render(const QSize &size);
    bool SaveAsPng(const QString &path, const QSize &size);
    bool SaveAsSvg(const QString &path, const QSize &size);

    // One series: the points (i, data[i]) joined, clipped to the plot.
    void DrawDataPoints(QPainter *painter, const CIntDataArray *data, const QPen &pen);
    // Data point to window coordinates, in place.
    void Data2Graph(CPoint &point) const;
    // Window point to data (inverse mapping), for the value under the mouse.
    QPointF Graph2Data(const QPointF &point) const;
    double GetGraph2DataXfactor() const;
    double GetGraph2DataYfactor() const;
    // The plotting rectangle inside the window rectangle, leaving room for the
    // heading, the tick labels and the axis titles.
    virtual void ComputeDrawingRect(QPainter *painter, CRect *rect);
    const CRect &GetDrawingRect() const { return m_drawingRect; }
    const CRect &GetWindowRect() const { return m_windowRect; }
    // Height of a line of the graph's text.
    int GetTextLineHeight() const { return m_lineHeight; }

    // Zoom ------------------------------------------------------------------------------
    bool IsZoomed() const { return m_zoomed; }
    // The lower ends of the range shown.
    CPoint GetZoomOffset() const;
    // Shows only the given data range (normalised; an empty one is ignored).
    void ZoomTo(double xMin, double xMax, double yMin, double yMax);
    void ZoomOut();

protected:
    // The frame: axes with ticks, titles and heading.
    virtual void OnDraw(QPainter *painter);
    virtual void DrawAxis(QPainter *painter);
    virtual void DrawTitles(QPainter *painter);
    virtual void DrawHeading(QPainter *painter);
    QFont GraphFont(QPainter *painter, int pointSizeDelta = 0, bool bold = false) const;

    // The base's items of the context menu: zoom out, save as PNG / SVG.
    void AddGraphMenuItems(QMenu *menu);
    // Right button at a screen point: the base's items alone.
    virtual void OnContextMenu(const QPoint &globalPos);

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // The range shown: the zoomed one or the data range.
    double shownXMin() const { return m_zoomed ? m_zoomXMin : m_info.xMin; }
    double shownXMax() const { return m_zoomed ? m_zoomXMax : m_info.xMax; }
    double shownYMin() const { return m_zoomed ? m_zoomYMin : m_info.yMin; }
    double shownYMax() const { return m_zoomed ? m_zoomYMax : m_info.yMax; }
    void drawOnto(QPainter *painter, const QRect &rect);

    GRAPHINFO m_info;
    QString m_header;
    CRect m_windowRect;
    CRect m_drawingRect;
    int m_lineHeight = 12;
    int m_controlId = 0;

    bool m_zoomed = false;
    double m_zoomXMin = 0, m_zoomXMax = 0, m_zoomYMin = 0, m_zoomYMax = 0;
    bool m_dragging = false;
    QPoint m_dragStart;
    QPoint m_dragEnd;
    bool m_mouseInside = false;
    QPoint m_mouse;
};
