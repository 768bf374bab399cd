#pragma once

// The lane selection shared in form by the report and the lane graph: one
// lane, several lanes or all lanes, and the context menu that chooses them.
// Menu items carry their command identifier as their action's data.
//
// Identifiers: 13100 "All Lanes"; 13200 + i toggles lane i in "Multiple
// Lanes"; 13300 + i shows lane i alone (13300 + lane count: the user-drawn
// bands, report only); 12501 "Export to Excel"; 12502 "Export to Text File".
// Ranges are matched 13300-13400 first, then 13200-13300, then 13100, so
// 13300 always shows lane 1. Only the first 100 lanes fit the ranges; the
// menu lists later lanes disabled.

#include <QList>

#include <memory>

class Analysis1D;
class QMenu;
class QWidget;

class MenuHandler1D
{
public:
    static constexpr int kAllLanesId = 13100;
    static constexpr int kToggleLaneId = 13200;
    static constexpr int kSelectLaneId = 13300;
    static constexpr int kRangeEnd = 13400;
    static constexpr int kExportToExcelId = 12501;
    static constexpr int kExportToTextId = 12502;
    static constexpr int kLanesPerSubmenu = 20;
    static constexpr int kMaxLanes = 1000;
    // Lanes the identifier ranges can name.
    static constexpr int kLanesInRange = 100;

    // Selected lane in multiple-lane and all-lanes mode.
    static constexpr int kMultipleLanes = -1;
    static constexpr int kAllLanes = -2;
    // Modes.
    static constexpr int kModeSingle = 0;
    static constexpr int kModeMultiple = 1;
    static constexpr int kModeAll = 2;

    explicit MenuHandler1D(Analysis1D *analysis = nullptr);
    virtual ~MenuHandler1D();
    MenuHandler1D(const MenuHandler1D &) = delete;
    MenuHandler1D &operator=(const MenuHandler1D &) = delete;

    Analysis1D *GetAnalysis() const { return m_pAnalysis; }
    void SetAnalysis(Analysis1D *analysis) { m_pAnalysis = analysis; }
    int GetSelectedLane() const { return m_SelectedLane; }
    int GetMode() const { return m_Mode; }
    int *GetLaneFlags() { return m_LaneFlags.get(); }
    const int *GetLaneFlags() const { return m_LaneFlags.get(); }
    // A lane shown alone; used when the user picks a lane on the gel.
    void SetSingleLane(int lane);

    // Fills 'menu' with the lane items, "All Lanes" and "Multiple Lanes"
    // (unless hideMultiple) and the two exports. With userDefined (only when
    // at most 20 lanes) "User Defined" follows the lanes.
    static void BuildLaneMenu(QMenu *menu, int selectedLane, const int *laneFlags, int laneCount,
                              bool hideMultiple, bool userDefined);
    // Shows the lane menu at a screen point and carries out the chosen
    // command. Returns its identifier, 0 when nothing was chosen.
    virtual int ShowContextMenu(QWidget *parent, int x, int y, int selectedLane, int *laneFlags,
                                int laneCount, int hideMultiple);

    // Carries out a command identifier; false when it is none of the above.
    bool OnCommand(int id);
    virtual void SelectAllLanes();
    virtual void SelectLane(int id);
    virtual void ToggleLane(int id);

    // The lanes the current selection lists or draws, in lane order (the
    // selected lane; the flagged lanes; every lane), limited to the lanes
    // that exist.
    QList<int> FlaggedLanes() const;

protected:
    // After every selection change: the report rebuilds, the graph repaints.
    virtual void OnSelectionChanged() { }
    virtual void ExportToExcel() { }
    virtual void ExportToText() { }
    // Runs a built menu at the point and returns the chosen identifier.
    static int execMenu(QMenu *menu, int x, int y);

    Analysis1D *m_pAnalysis = nullptr; // not owned
    int m_SelectedLane = 0;
    std::unique_ptr<int[]> m_LaneFlags;
    int m_Mode = kModeAll;
};
