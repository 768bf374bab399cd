#include "analysis1d/ui/dialogs/PPAnalysisOptionReport.h"

#include "analysis1d/engine/ReportOptions.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QVBoxLayout>

PPAnalysisOptionReport::PPAnalysisOptionReport(ReportOptions *options, QWidget *parent)
    : AnalysisOptionPage(parent)
{
    // Labelled with the report columns they show, in the report's column order.
    const struct
    {
        const char *label;
        int *field;
    } flags[] = {
        {"Lane and Band numbers", &options->m_LaneBand},
        {"Position", &options->m_Position},
        {"Baseline", &options->m_Baseline},
        {"Peak Amplitude", &options->m_Amplitude},
        {"Peak Area", &options->m_Area},
        {"% Peak Area", &options->m_PrecentageArea},
        {"Total Intensity", &options->m_Volume},
        {"SurfaceArea", &options->m_SurfaceArea},
        {"Intensity/SurfaceArea", &options->m_VolumePerSurfaceArea},
        {"Conc.", &options->m_Concentration},
        {"% Conc.", &options->m_PrecentageConcentration},
        {"MW", &options->m_MW},
        {"Rel. Mig. Dist.", &options->m_RelMigrationDist},
        {"Peak Width", &options->m_PeakWidth},
        {"Gaussian Fitting", &options->m_GaussianFitCorrelation},
        {"Saturated", &options->m_Saturated},
    };
    // Two columns of boxes keep the page as short as the others.
    auto *grid = new QGridLayout;
    int i = 0;
    for (const auto &flag : flags) {
        QCheckBox *box = addFlag(QString::fromLatin1(flag.label), flag.field);
        pageLayout()->removeWidget(box);
        grid->addWidget(box, i % 8, i / 8);
        ++i;
    }
    pageLayout()->addLayout(grid);
    pageLayout()->addStretch();
}
