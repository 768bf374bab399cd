#include "analysis1d/ui/dialogs/PPAnalysisOptionGraph.h"

#include "analysis1d/engine/GraphOptions.h"

#include <QVBoxLayout>

PPAnalysisOptionGraph::PPAnalysisOptionGraph(GraphOptions *options, QWidget *parent)
    : AnalysisOptionPage(parent)
{
    addFlag(tr("Show Background"), &options->m_ShowBackground);
    addFlag(tr("Show Gaussians"), &options->m_ShowGaussians);
    addFlag(tr("Show Peak Numbers"), &options->m_ShowPeakNumbers);
    addFlag(tr("Show Width"), &options->m_ShowWidth);
    addFlag(tr("Show Baselines"), &options->m_ShowBaselines);
    addFlag(tr("Automatic Scale"), &options->m_autoScale);
    pageLayout()->addStretch();
}
