#include "analysis1d/ui/ReportWnd1D.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DOptions.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/Lane.h"
#include "analysis1d/engine/ReportOptions.h"
#include "contracts/overlay/CDrawView.h"

#include <QMenu>
#include <QTableView>

ReportWnd1D::ReportWnd1D(Analysis1D *analysis, QWidget *parent)
    : ReportWnd(parent), MenuHandler1D(analysis)
{
    // A row the user clicks selects its band on the gel (only the user's
    // clicks: the gel's own selection selects rows without coming back).
    connect(GetTableView(), &QTableView::clicked, this,
            [this](const QModelIndex &index) { SelectBandOfRow(index.row()); });
}

ReportWnd1D::~ReportWnd1D() = default;

void ReportWnd1D::RebuildTable()
{
    DeleteAllItems();
    DeleteAllColumns();
    if (!m_pAnalysis) {
        m_table = ReportTable();
        SetFootnotes({});
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
    SetFootnotes(m_table.footnotes());
    AdjustReportWindow();
    update();
}

void ReportWnd1D::OnSelectionChanged()
{
    RebuildTable();
}

void ReportWnd1D::SelectBandOfRow(int row)
{
    if (!m_pAnalysis || row < 0 || row >= m_table.rowCount())
        return;
    const int lane = m_table.rowLane(row);
    const int band = m_table.rowBand(row);
    if (lane < 0 || lane >= m_pAnalysis->GetNumberOfLanes()
        || band < 0 || band >= m_pAnalysis->GetLane(lane).GetNumberOfBands())
        return;
    Analysis1DDoc *doc = m_pAnalysis->GetAnalysisDocument();
    if (!doc)
        return;
    Band *target = &m_pAnalysis->GetLane(lane).GetBand(band);
    for (CDrawView *view : doc->GetViews()) {
        view->SelectObject(target);
        view->InvalidateView();
    }
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
