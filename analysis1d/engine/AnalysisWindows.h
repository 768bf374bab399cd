#pragma once

// The windows of an analysis: the set-up wizard, the detection dialog, the
// report and graph, and the dialogs the analysis view opens. The desktop
// program installs them (analysis1d/ui, Analysis1DWindows::Install); without
// them (the batch tool, engine tests) the analysis runs headless, opens
// nothing and loads no widget library.

#include <QString>
#include <QStringList>

class Analysis1D;
class Analysis1DView;
class BandData;
class CDoubleDataArray;
class QObject;

class AnalysisWindows
{
public:
    virtual ~AnalysisWindows();

    // The windows in use; null while none are installed.
    static AnalysisWindows *Installed();
    // Not owned; null goes back to headless.
    static void Install(AnalysisWindows *windows);

    virtual void StartSetupWizard(Analysis1D &analysis, Analysis1DView *view, int mode) = 0;
    virtual void StartDetectionWizard(Analysis1D &analysis, Analysis1DView *view) = 0;
    virtual void EnableWizardNext(Analysis1D &analysis) = 0;
    virtual void DestroyDialogs(Analysis1D &analysis) = 0;
    virtual void DestroyReportAndGraph(Analysis1D &analysis) = 0;
    // The lanes or their measurements changed.
    virtual void RefreshReportAndGraph(Analysis1D &analysis) = 0;
    virtual void ShowLaneAndBand(Analysis1D &analysis, int lane, int band) = 0;

    virtual bool EditKnownValues(QObject *parent, BandData &data) = 0;
    virtual void ShowCalibrationValues(QObject *parent, Analysis1D &analysis,
                                       Analysis1DView *view)
        = 0;
    virtual bool ChooseLadder(QObject *parent, CDoubleDataArray &values) = 0;
    virtual void ShowList(QObject *parent, const QString &title, const QStringList &lines) = 0;
};
