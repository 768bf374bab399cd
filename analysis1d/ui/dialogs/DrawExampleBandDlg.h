#pragma once

#include "analysis1d/ui/dialogs/AnalysisWizardPage.h"

// Page 2: the user draws the example band on the gel behind the wizard.
class DrawExampleBandDlg : public AnalysisWizardPage
{
    Q_OBJECT
public:
    explicit DrawExampleBandDlg(QWidget *parent = nullptr);
};
