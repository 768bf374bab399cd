#pragma once

// The "Graph" tab: the intensity profiles of the selected lanes against the
// position from the top of the analysis area. For a lane shown alone it adds
// the hatched band areas with their numbers, the fitted Gaussians with their
// half-height lines and the background; with several lanes a legend. Lanes
// are chosen from the same context menu as the report's (without "User
// Defined"); a selection change only repaints, everything is computed while
// drawing. The menu also exports the plotted profiles.

#include "analysis1d/ui/MenuHandler1D.h"
#include "contracts/analysis/ui/GraphWnd.h"

#include <QList>

class CGaussian;
class ExportProgress;
class CIntDataArray;

class GraphWnd1D : public GraphWnd, public MenuHandler1D
{
    Q_OBJECT

public:
    // Colours of the single-lane overlays (0x00BBGGRR).
    static constexpr COLORREF kBandAreaColour = 0x00FF0000; // blue
    static constexpr COLORREF kGaussianColour = 0x000000FF; // red
    static constexpr COLORREF kBackgroundColour = 0x00FF0000; // blue

    explicit GraphWnd1D(Analysis1D *analysis, QWidget *parent = nullptr);
    ~GraphWnd1D() override;

    Analysis1D *GetAnalysis() const { return m_pAnalysis; }
    // Takes the graph parameters from the analysis (axis titles, data range).
    void SetUp();

    void Draw(QPainter *painter) override;
    void ComputeDrawingRect(QPainter *painter, CRect *rect) override;

    // The heading the current selection gives ("Lane 3", "4 Lanes", "All Lanes").
    QString HeadingText() const;
    // The lanes drawn last, in drawing order, with their colours.
    struct DrawnLane
    {
        int lane;
        COLORREF colour;
        QRect legendSwatch; // empty without a legend
    };
    const QList<DrawnLane> &GetDrawnLanes() const { return m_drawnLanes; }
    // The vertical range's upper end used last.
    int GetVerticalMaximum() const { return m_verticalMaximum; }

    // Ends of a Gaussian's half-height line over the background, in positions,
    // and its level: the first crossings of the curve within three widths of
    // the centre, else center -/+ sqrt(ln 2) * width.
    static void HalfHeightLine(const CGaussian &gaussian, const CIntDataArray &background,
                               int positions, int *left, int *right, int *level);

    // The exports without asking for the file; false with *error when the
    // file could not be written. Progress and cancelling as in the menu's.
    bool ExportProfilesToExcel(const QString &path, QString *error);
    bool ExportProfilesToText(const QString &path, QString *error);

protected:
    void OnContextMenu(const QPoint &globalPos) override;
    void OnSelectionChanged() override { update(); }
    void ExportToExcel() override;
    void ExportToText() override;

private:
    void drawSingleLaneOverlays(QPainter *painter, int lane);
    void drawLegend(QPainter *painter);
    // Window point of a data value, optionally rounded (+0.5) before truncation.
    QPoint toWindow(double position, double value, bool rounded = false) const;
    // A step callback for the exports: advances the progress, asks on cancel.
    bool stepExport(ExportProgress *progress);

    QList<DrawnLane> m_drawnLanes;
    int m_verticalMaximum = 0;
    // Kept at 0; room for selection state the graph does not use yet.
    int m_Reserved[4] = {0, 0, 0, 0};
};
