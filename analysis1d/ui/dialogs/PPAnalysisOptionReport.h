#pragma once

#include "analysis1d/ui/dialogs/AnalysisOptionPage.h"

class ReportOptions;

// Which columns the report shows; a column switched off keeps its place with
// width 0.
class PPAnalysisOptionReport : public AnalysisOptionPage
{
    Q_OBJECT
public:
    PPAnalysisOptionReport(ReportOptions *options, QWidget *parent = nullptr);
};
