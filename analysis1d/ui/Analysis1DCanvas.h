#pragma once

// The image canvas of the analysis view: the canvas of the image view, and
// the lane and band menus on the right button. A right click on a band
// selects it and offers "Assign known values", "Delete" and "Properties";
// on a lane, outside its bands, it selects the lane and offers "Assign MW
// Ladder", "Delete" and "Properties". The entries are the view's own
// commands (the command registry's actions), so the menus, the ribbon and the
// tests run the same code.

#include "appbase/ui/CDensoraCanvas.h"

class Analysis1DView;
class CommandRegistry;
class QMenu;

class Analysis1DCanvas : public CDensoraCanvas
{
    Q_OBJECT
public:
    Analysis1DCanvas(Analysis1DView *view, CommandRegistry &registry, QWidget *parent = nullptr);

    // The menu for a window point (viewport coordinates), with the lane or
    // band under it selected; null where neither is. The caller owns it.
    QMenu *PopupMenuAt(const QPoint &windowPoint);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    Analysis1DView *m_pAnalysisView;
    CommandRegistry &m_registry;
};
