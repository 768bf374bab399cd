#include "analysis1d/ui/dialogs/DyeFrontDlg.h"

#include <QVBoxLayout>

DyeFrontDlg::DyeFrontDlg(QWidget *parent)
    : AnalysisWizardPage(QStringLiteral("Dye Front and Loading well fronts"),
                         {QStringLiteral("Please set Loading Well and Dye migration front."),
                          QStringLiteral("Click next when you are done")},
                         parent)
{
    pageLayout()->addStretch();
}
