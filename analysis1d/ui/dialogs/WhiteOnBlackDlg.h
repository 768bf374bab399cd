#pragma once

#include "analysis1d/ui/dialogs/AnalysisWizardPage.h"

class QRadioButton;

// Page 0: are the bands lighter or darker than the background?
class WhiteOnBlackDlg : public AnalysisWizardPage
{
    Q_OBJECT
public:
    explicit WhiteOnBlackDlg(QWidget *parent = nullptr);

    bool ReadBack() override;
    // 0 "Objects are lighter than background", 1 "Objects are darker than background".
    int GetChoice() const { return m_choice; }
    void SetChoice(int choice);

    QRadioButton *LighterButton() const { return m_lighter; }
    QRadioButton *DarkerButton() const { return m_darker; }

private:
    QRadioButton *m_lighter;
    QRadioButton *m_darker;
    int m_choice = 0;
};
