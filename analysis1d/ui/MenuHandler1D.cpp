#include "analysis1d/ui/MenuHandler1D.h"

#include "analysis1d/engine/Analysis1D.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

MenuHandler1D::MenuHandler1D(Analysis1D *analysis)
    : m_pAnalysis(analysis), m_LaneFlags(std::make_unique<int[]>(kMaxLanes))
{ }

MenuHandler1D::~MenuHandler1D() = default;

void MenuHandler1D::SetSingleLane(int lane)
{
    m_SelectedLane = lane;
    m_Mode = kModeSingle;
}

namespace {

QAction *addCommand(QMenu *menu, const QString &text, int id, bool checked, bool enabled = true)
{
    QAction *action = menu->addAction(text);
    action->setData(id);
    // Only the chosen items carry a mark, as in the lane menus users know.
    action->setCheckable(checked);
    action->setChecked(checked);
    action->setEnabled(enabled);
    return action;
}

} // namespace

void MenuHandler1D::BuildLaneMenu(QMenu *menu, int selectedLane, const int *laneFlags,
                                  int laneCount, bool hideMultiple, bool userDefined)
{
    laneCount = std::clamp(laneCount, 0, kMaxLanes);
    auto laneItem = [&](QMenu *into, int lane) {
        addCommand(into, QStringLiteral("Lane %1").arg(lane + 1), kSelectLaneId + lane,
                   selectedLane == lane, lane < kLanesInRange);
    };
    if (laneCount <= kLanesPerSubmenu) {
        for (int lane = 0; lane < laneCount; ++lane)
            laneItem(menu, lane);
        if (userDefined)
            addCommand(menu, QStringLiteral("User Defined"), kSelectLaneId + laneCount,
                       selectedLane == laneCount);
    } else {
        for (int first = 0; first < laneCount; first += kLanesPerSubmenu) {
            const int last = std::min(first + kLanesPerSubmenu, laneCount) - 1;
            QMenu *group = menu->addMenu(QStringLiteral("Lane %1-%2").arg(first + 1).arg(last + 1));
            for (int lane = first; lane <= last; ++lane)
                laneItem(group, lane);
        }
    }
    if (!hideMultiple) {
        menu->addSeparator();
        addCommand(menu, QStringLiteral("All Lanes"), kAllLanesId, selectedLane == kAllLanes);
        QMenu *multiple = menu->addMenu(QStringLiteral("Multiple Lanes"));
        for (int lane = 0; lane < laneCount; ++lane)
            addCommand(multiple, QStringLiteral("Lane %1").arg(lane + 1), kToggleLaneId + lane,
                       selectedLane == kMultipleLanes && laneFlags && laneFlags[lane] != 0,
                       lane < kLanesInRange);
        menu->addSeparator();
    }
    menu->addSeparator();
    QAction *excel = menu->addAction(QStringLiteral("Export to Excel"));
    excel->setData(kExportToExcelId);
    QAction *text = menu->addAction(QStringLiteral("Export to Text File"));
    text->setData(kExportToTextId);
}

int MenuHandler1D::execMenu(QMenu *menu, int x, int y)
{
    QAction *chosen = menu->exec(QPoint(x, y));
    return chosen ? chosen->data().toInt() : 0;
}

int MenuHandler1D::ShowContextMenu(QWidget *parent, int x, int y, int selectedLane, int *laneFlags,
                                   int laneCount, int hideMultiple)
{
    QMenu menu(parent);
    BuildLaneMenu(&menu, selectedLane, laneFlags, laneCount, hideMultiple != 0, false);
    const int id = execMenu(&menu, x, y);
    if (id)
        OnCommand(id);
    return id;
}

bool MenuHandler1D::OnCommand(int id)
{
    if (id >= kSelectLaneId && id <= kRangeEnd) {
        SelectLane(id);
    } else if (id >= kToggleLaneId && id <= kSelectLaneId) {
        ToggleLane(id);
    } else if (id == kAllLanesId) {
        SelectAllLanes();
    } else if (id == kExportToExcelId) {
        ExportToExcel();
    } else if (id == kExportToTextId) {
        ExportToText();
    } else {
        return false;
    }
    return true;
}

void MenuHandler1D::SelectAllLanes()
{
    m_SelectedLane = kAllLanes;
    m_Mode = kModeAll;
    OnSelectionChanged();
}

void MenuHandler1D::SelectLane(int id)
{
    m_Mode = kModeSingle;
    m_SelectedLane = id - kSelectLaneId;
    OnSelectionChanged();
}

void MenuHandler1D::ToggleLane(int id)
{
    const int lane = id - kToggleLaneId;
    if (lane < 0 || lane >= kMaxLanes)
        return;
    m_LaneFlags[lane] = m_LaneFlags[lane] ? 0 : 1;
    m_SelectedLane = kMultipleLanes;
    m_Mode = kModeMultiple;
    // At least one lane stays selected.
    if (std::none_of(m_LaneFlags.get(), m_LaneFlags.get() + kMaxLanes,
                     [](int flag) { return flag != 0; }))
        m_LaneFlags[lane] = 1;
    OnSelectionChanged();
}

QList<int> MenuHandler1D::FlaggedLanes() const
{
    QList<int> lanes;
    const int count = m_pAnalysis ? std::min(m_pAnalysis->GetNumberOfLanes(), kMaxLanes) : 0;
    switch (m_Mode) {
    case kModeSingle:
        if (m_SelectedLane >= 0 && m_SelectedLane < count)
            lanes << m_SelectedLane;
        break;
    case kModeMultiple:
        for (int lane = 0; lane < count; ++lane) {
            if (m_LaneFlags[lane])
                lanes << lane;
        }
        break;
    default:
        for (int lane = 0; lane < count; ++lane)
            lanes << lane;
        break;
    }
    return lanes;
}
