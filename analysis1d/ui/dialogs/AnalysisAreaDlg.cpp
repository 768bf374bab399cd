#include "analysis1d/ui/dialogs/AnalysisAreaDlg.h"

#include <QVBoxLayout>

AnalysisAreaDlg::AnalysisAreaDlg(QWidget *parent)
    : AnalysisWizardPage(QStringLiteral("Analysis area "),
                         {QStringLiteral("Please specify the area you wish to analyze."),
                          QStringLiteral(" Click next when you are done")},
                         parent)
{
    pageLayout()->addStretch();
}
