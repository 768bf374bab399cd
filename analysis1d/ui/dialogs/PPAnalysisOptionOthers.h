#pragma once

#include "analysis1d/ui/dialogs/AnalysisOptionPage.h"

class QLineEdit;

// Shows where the legacy molecular-weight standards file is; display only.
class PPAnalysisOptionOthers : public AnalysisOptionPage
{
    Q_OBJECT
public:
    explicit PPAnalysisOptionOthers(QWidget *parent = nullptr);

    // The path the page shows, from the settings store.
    static QString StandardsFilePath();
    QLineEdit *PathField() const { return m_path; }

private:
    QLineEdit *m_path;
};
