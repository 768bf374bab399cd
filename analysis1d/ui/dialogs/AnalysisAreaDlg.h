#pragma once

#include "analysis1d/ui/dialogs/AnalysisWizardPage.h"

// Page 1: the user draws the analysis area on the gel behind the wizard.
class AnalysisAreaDlg : public AnalysisWizardPage
{
    Q_OBJECT
public:
    explicit AnalysisAreaDlg(QWidget *parent = nullptr);
};
