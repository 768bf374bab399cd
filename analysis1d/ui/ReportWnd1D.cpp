#include "analysis1d/ui/ReportWnd1D.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DOptions.h"
#include "analysis1d/engine/ReportOptions.h"

#include <QMenu>

ReportWnd1D::ReportWnd1D(Analysis1D *analysis, QWidget *parent)
    : ReportWnd(parent), MenuHandler1D(analysis)
{ }

ReportWnd1D::~ReportWnd1D() = default;

void ReportWnd1D::RebuildTable()
{
    DeleteAllItems();
    DeleteAllColumns();
    if (!m_pAnalysis) {
        m_table = ReportTable();
        return;
    }
    Analysis1D &analysis = *m_pAnalysis;
    const Analysis1DOptions *options = analysis.GetAnalysisOptions();
    const ReportOptions reportOptions = options ? options->m_ReportOptions : ReportOptions();
    const int laneCount = analysis.GetNumberOfLanes();

    switch (m_Mode) {
    case kModeSingle:
        if (m_SelectedLane == laneCount)
            m_table = ReportTable::build(analysis, reportOptions, ReportTable::Mode::UserDefined);
        else
            m_table = ReportTable::build(analysis, reportOptions, ReportTable::Mode::SingleLane,
                                         {m_SelectedLane});
        break;
    case kModeMultiple:
        m_table = ReportTable::build(analysis, reportOptions, ReportTable::Mode::MultipleLanes,
                                     FlaggedLanes());
        break;
    default:
        m_table = ReportTable::build(analysis, reportOptions, ReportTable::Mode::AllLanes);
        break;
    }

    for (int c = 0; c < m_table.columnCount(); ++c)
        AddColumn(m_table.heading(c), m_table.format(c), m_table.width(c));
    for (int r = 0; r < m_table.rowCount(); ++r) {
        const int row = AddRow();
        for (int c = 0; c < m_table.columnCount(); ++c)
            SetCellValue(row, c, m_table.cell(r, c));
    }
    AdjustReportWindow();
    update();
}

void ReportWnd1D::OnSelectionChanged()
{
    RebuildTable();
}

void ReportWnd1D::ShowLaneAndBand(int lane, int band)
{
    SetSingleLane(lane);
    RebuildTable();
    if (band > -1) {
        UnselectAllRows();
        SelectRow(m_table.rowOf(lane, band));
    }
    update();
}

void ReportWnd1D::BuildContextMenu(QMenu *menu) const
{
    const int laneCount = m_pAnalysis ? m_pAnalysis->GetNumberOfLanes() : 0;
    const bool userBands = m_pAnalysis && m_pAnalysis->HasUserDrawnBands();
    BuildLaneMenu(menu, m_SelectedLane, m_LaneFlags.get(), laneCount, false, userBands);
}

int ReportWnd1D::ShowContextMenu(QWidget *parent, int x, int y, int selectedLane, int *laneFlags,
                                 int laneCount, int hideMultiple)
{
    QMenu menu(parent);
    const bool userBands = m_pAnalysis && m_pAnalysis->HasUserDrawnBands();
    BuildLaneMenu(&menu, selectedLane, laneFlags, laneCount, hideMultiple != 0, userBands);
    const int id = execMenu(&menu, x, y);
    if (id)
        OnCommand(id);
    return id;
}

void ReportWnd1D::OnContextMenu(const QPoint &globalPos)
{
    const int laneCount = m_pAnalysis ? m_pAnalysis->GetNumberOfLanes() : 0;
    ShowContextMenu(this, globalPos.x(), globalPos.y(), m_SelectedLane, m_LaneFlags.get(),
                    laneCount, 0);
}
