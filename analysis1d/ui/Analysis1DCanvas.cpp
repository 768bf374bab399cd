#include "analysis1d/ui/Analysis1DCanvas.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Lane.h"
#include "analysis1d/view/Analysis1DCommandIds.h"
#include "analysis1d/view/Analysis1DView.h"
#include "appbase/CommandRegistry.h"

#include <QMenu>
#include <QMouseEvent>

#include <cmath>
#include <memory>

Analysis1DCanvas::Analysis1DCanvas(Analysis1DView *view, CommandRegistry &registry, QWidget *parent)
    : CDensoraCanvas(view, parent), m_pAnalysisView(view), m_registry(registry)
{ }

QMenu *Analysis1DCanvas::PopupMenuAt(const QPoint &windowPoint)
{
    Analysis1D *analysis = m_pAnalysisView ? m_pAnalysisView->GetAnalysis() : nullptr;
    if (!analysis || analysis->GetNumberOfLanes() == 0)
        return nullptr;
    CPoint point(windowPoint.x(), windowPoint.y());
    m_pAnalysisView->Screen2Logical(point, true);
    int lane = -1;
    int band = -1;
    m_pAnalysisView->HitLaneAndBand(point, lane, band);
    if (lane < 0)
        return nullptr;

    QList<int> commands;
    Lane &hitLane = analysis->GetLane(lane);
    if (band >= 0) {
        m_pAnalysisView->SelectObject(&hitLane.GetBand(band));
        commands = {Analysis1DCmd::BandAssignKnownValues, Analysis1DCmd::BandDelete,
                    Analysis1DCmd::BandProperties};
    } else {
        m_pAnalysisView->SelectObject(&hitLane);
        commands = {Analysis1DCmd::LaneAssignLadder, Analysis1DCmd::LaneDelete,
                    Analysis1DCmd::LaneProperties};
    }
    m_pAnalysisView->InvalidateView();
    // The lane or band the user clicked is what the report shows too.
    analysis->OnLaneAndBandSelected(lane, band);

    auto *menu = new QMenu(this);
    menu->setObjectName(band >= 0 ? QStringLiteral("bandMenu") : QStringLiteral("laneMenu"));
    for (int id : commands) {
        if (!m_registry.contains(id))
            continue;
        m_registry.update(id);
        if (id == Analysis1DCmd::BandProperties || id == Analysis1DCmd::LaneProperties)
            menu->addSeparator();
        menu->addAction(m_registry.action(id));
    }
    return menu;
}

void Analysis1DCanvas::mousePressEvent(QMouseEvent *event)
{
    CDensoraCanvas::mousePressEvent(event);
    if (event->button() != Qt::RightButton)
        return;
    const QPoint at = event->position().toPoint();
    std::unique_ptr<QMenu> menu(PopupMenuAt(at));
    if (!menu || menu->isEmpty())
        return;
    // The command runs after the menu has closed, with the selection it had.
    QAction *chosen = menu->exec(viewport()->mapToGlobal(at));
    Q_UNUSED(chosen);
}
