#pragma once

#include "analysis1d/ui/dialogs/AnalysisWizardPage.h"

// Page 3: the user places (or moves) the loading wells and the dye front on the gel behind the
// wizard.
class DyeFrontDlg : public AnalysisWizardPage
{
    Q_OBJECT
public:
    explicit DyeFrontDlg(QWidget *parent = nullptr);
};
