#include "analysis1d/ui/dialogs/Analysis1DDialog.h"

#include "analysis1d/engine/AnalysisViewSeam.h"

Analysis1DDialog::Analysis1DDialog(QWidget *parent, Analysis1DView *view, Analysis1D *analysis)
    : QDialog(parent), m_pView(view), m_analysis(analysis)
{
    setModal(false);
}

void Analysis1DDialog::AnalysisGone()
{
    m_analysis = nullptr;
    hide();
    deleteLater();
}

AnalysisViewSeam *Analysis1DDialog::viewSeam() const
{
    return AnalysisViewSeam::For(m_pView);
}

void Analysis1DDialog::repaintView() const
{
    if (AnalysisViewSeam *seam = viewSeam())
        seam->DeselectAllAndRepaint();
}
