#pragma once

// The analysis's windows in the desktop program: the set-up wizard, the
// detection dialog, the report and graph and the view's dialogs. Install()
// puts them in place of the headless defaults, before the first analysis
// opens a window (the application object and the window tests do it).

#include "analysis1d/engine/AnalysisWindows.h"

class Analysis1DWindows final : public AnalysisWindows
{
public:
    static void Install();

    void StartSetupWizard(Analysis1D &analysis, Analysis1DView *view, int mode) override;
    void StartDetectionWizard(Analysis1D &analysis, Analysis1DView *view) override;
    void EnableWizardNext(Analysis1D &analysis) override;
    void DestroyDialogs(Analysis1D &analysis) override;
    void DestroyReportAndGraph(Analysis1D &analysis) override;
    void RefreshReportAndGraph(Analysis1D &analysis) override;
    void ShowLaneAndBand(Analysis1D &analysis, int lane, int band) override;

    bool EditKnownValues(QObject *parent, BandData &data) override;
    void ShowCalibrationValues(QObject *parent, Analysis1D &analysis,
                               Analysis1DView *view) override;
    bool ChooseLadder(QObject *parent, CDoubleDataArray &values) override;
    void ShowList(QObject *parent, const QString &title, const QStringList &lines) override;
};
