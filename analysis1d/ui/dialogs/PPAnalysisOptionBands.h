#pragma once

#include "analysis1d/ui/dialogs/AnalysisOptionPage.h"

class BandsOptions;
class QComboBox;

// How bands are drawn, and the contour threshold chosen from 0, 5, ..., 30 %.
class PPAnalysisOptionBands : public AnalysisOptionPage
{
    Q_OBJECT
public:
    PPAnalysisOptionBands(BandsOptions *options, QWidget *parent = nullptr);

    void UpdateControls() override;
    QComboBox *PercentageList() const { return m_percentage; }

private:
    BandsOptions *m_options;
    QComboBox *m_percentage;
};
