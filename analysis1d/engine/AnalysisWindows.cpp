// The members of Analysis1D and the view's dialog seams that reach windows:
// each hands over to the installed windows, and does nothing headless.

#include "analysis1d/engine/AnalysisWindows.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisViewSeam.h"
#include "analysis1d/view/Analysis1DView.h"
#include "contracts/overlay/CDrawView.h"

namespace {
AnalysisWindows *g_windows = nullptr;
} // namespace

AnalysisWindows::~AnalysisWindows() = default;

AnalysisWindows *AnalysisWindows::Installed()
{
    return g_windows;
}

void AnalysisWindows::Install(AnalysisWindows *windows)
{
    g_windows = windows;
}

void Analysis1D::StartSetupWizard(Analysis1DView *pView, int nMode)
{
    if (g_windows)
        g_windows->StartSetupWizard(*this, pView, nMode);
}

void Analysis1D::StartDetectionWizard(Analysis1DView *pView)
{
    // Everything found before goes at once, before the user detects again.
    ClearDetectionData();
    if (m_pDocument) {
        for (CDrawView *view : m_pDocument->GetViews())
            view->InvalidateView();
    }
    if (g_windows)
        g_windows->StartDetectionWizard(*this, pView);
}

void Analysis1D::enableWizardNext()
{
    if (g_windows)
        g_windows->EnableWizardNext(*this);
}

void Analysis1D::destroyDialogs()
{
    if (g_windows)
        g_windows->DestroyDialogs(*this);
}

void Analysis1D::DestroyReportAndGraph()
{
    if (g_windows)
        g_windows->DestroyReportAndGraph(*this);
}

void Analysis1D::UpdateReportAndGraph()
{
    CalculateAnalysisData();
    if (g_windows)
        g_windows->RefreshReportAndGraph(*this);
}

void Analysis1D::OnLaneAndBandSelected(int lane, int band)
{
    if (g_windows)
        g_windows->ShowLaneAndBand(*this, lane, band);
}

bool AnalysisDialogSeams::EditKnownValues(QObject *parent, BandData &data)
{
    return g_windows && g_windows->EditKnownValues(parent, data);
}

void AnalysisDialogSeams::ShowCalibrationValues(QObject *parent, Analysis1D &analysis,
                                                Analysis1DView *view)
{
    if (g_windows)
        g_windows->ShowCalibrationValues(parent, analysis, view);
}

bool AnalysisDialogSeams::ChooseLadder(QObject *parent, CDoubleDataArray &values)
{
    return g_windows && g_windows->ChooseLadder(parent, values);
}

void AnalysisDialogSeams::ShowList(QObject *parent, const QString &title, const QStringList &lines)
{
    if (g_windows)
        g_windows->ShowList(parent, title, lines);
}

QObject *AnalysisDialogSeams::ParentOf(CDrawView *view)
{
    const auto *analysisView = dynamic_cast<Analysis1DView *>(view);
    return analysisView ? analysisView->DialogParent() : nullptr;
}
