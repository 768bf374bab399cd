#pragma once

// The "Report" tab: one row per band with its measurements, for one lane,
// several lanes, all lanes or the user-drawn bands, chosen from the context
// menu. The table's content comes from ReportTable; this window only shows
// it and routes the export commands to its base.

#include "analysis1d/engine/ReportTable.h"
#include "analysis1d/ui/MenuHandler1D.h"
#include "contracts/analysis/ui/ReportWnd.h"

class QMenu;

class ReportWnd1D : public ReportWnd, public MenuHandler1D
{
    Q_OBJECT

public:
    explicit ReportWnd1D(Analysis1D *analysis, QWidget *parent = nullptr);
    ~ReportWnd1D() override;

    Analysis1D *GetAnalysis() const { return m_pAnalysis; }

    // Rebuilds the table from the analysis and the current selection.
    void RebuildTable();
    // What the table shows (rows in table order).
    const ReportTable &GetTable() const { return m_table; }

    // The report's own lane menu: the lane items with "User Defined" when the
    // analysis has user-drawn bands, then the common items.
    void BuildContextMenu(QMenu *menu) const;
    int ShowContextMenu(QWidget *parent, int x, int y, int selectedLane, int *laneFlags,
                        int laneCount, int hideMultiple) override;

    // The band of a table row selected on the gel, alone (user-drawn bands'
    // rows select nothing).
    void SelectBandOfRow(int row);
    // The gel selection: lane shown alone, band's row selected (band -1: none).
    void ShowLaneAndBand(int lane, int band);

protected:
    void OnContextMenu(const QPoint &globalPos) override;
    void OnSelectionChanged() override;
    void ExportToExcel() override { OnExportToExcel(); }
    void ExportToText() override { OnExportToAscii(); }

private:
    ReportTable m_table;
};
