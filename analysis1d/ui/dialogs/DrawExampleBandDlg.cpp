#include "analysis1d/ui/dialogs/DrawExampleBandDlg.h"

#include <QVBoxLayout>

DrawExampleBandDlg::DrawExampleBandDlg(QWidget *parent)
    : AnalysisWizardPage(QStringLiteral("Band example"),
                         {QStringLiteral("Using the mouse, please draw a rectangle around a band "
                                         "that best represents your objects."),
                          QStringLiteral(" Click Next after you are done.")},
                         parent)
{
    pageLayout()->addStretch();
}
