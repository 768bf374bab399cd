// The members of Analysis1D that open or talk to windows: the set-up wizard,
// the detection dialog, the report and graph windows and the ribbon category.
// They live here so the engine builds and runs headless. The dialog and window
// classes (AnalysisWizardDlg, DetectionDlg, ReportWnd1D, GraphWnd1D) come with
// the analysis user interface; until then every step that belongs to the
// engine runs (lane clearing, repaints, recalculation, the running flag) and
// the window parts, marked ">>>", do nothing.

#include "analysis1d/engine/Analysis1D.h"

#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisViewSeam.h"
#include "analysis1d/ui/dialogs/AnalysisWizardDlg.h"
#include "analysis1d/ui/dialogs/DetectionDlg.h"
#include "contracts/overlay/CDrawView.h"

// ---------------------------------------------------------------------------
// Set-up wizard and detection dialog

void Analysis1D::StartSetupWizard(Analysis1DView *pView, int nMode)
{
    if (m_pWizardDlg)
        m_pWizardDlg->AnalysisGone();
    AnalysisViewSeam *seam = AnalysisViewSeam::For(pView);
    QWidget *parent = seam ? qobject_cast<QWidget *>(seam->DialogParent()) : nullptr;
    // Owned by the view's window; without one, destroyDialogs deletes it.
    m_pWizardDlg = new AnalysisWizardDlg(parent, pView, nMode, this);
    m_WizardRunning = 1;
    m_pWizardDlg->show();
}

void Analysis1D::StartDetectionWizard(Analysis1DView *pView)
{
    // Everything found before goes at once, before the user detects again.
    ClearDetectionData();
    if (m_pDocument) {
        for (CDrawView *view : m_pDocument->GetViews())
            view->InvalidateView();
    }
    if (m_pDetectionDlg)
        m_pDetectionDlg->AnalysisGone();
    AnalysisViewSeam *seam = AnalysisViewSeam::For(pView);
    QWidget *parent = seam ? qobject_cast<QWidget *>(seam->DialogParent()) : nullptr;
    m_pDetectionDlg = new DetectionDlg(parent, pView, this);
    m_WizardRunning = 1;
    m_pDetectionDlg->show();
}

void Analysis1D::WhiteOnBlackSet()
{
    if (m_pWizardDlg.isNull())
        return;
    WhiteOnBlackSet(m_pWizardDlg->GetToneChoice());
}

void Analysis1D::enableWizardNext()
{
    if (m_pWizardDlg.isNull())
        return;
    m_pWizardDlg->EnableNext(true);
}

// The dialogs may be in the middle of their own handler (a cancelled wizard
// removes the analysis), so they are let go and deleted later, not at once.
void Analysis1D::destroyDialogs()
{
    if (m_pWizardDlg)
        m_pWizardDlg->AnalysisGone();
    if (m_pDetectionDlg)
        m_pDetectionDlg->AnalysisGone();
    m_pWizardDlg.clear();
    m_pDetectionDlg.clear();
}

// ---------------------------------------------------------------------------
// Result windows

void Analysis1D::CreateReportWnd(QTabWidget *pTabs)
{
    Q_UNUSED(pTabs);
    // >>> ReportWnd1D bound to this analysis (made when absent, its old window
    // >>> destroyed), created as a visible child filling the tab control (which
    // >>> owns it), id
    // >>> kReportWindowId, added as the detachable tab "Report" and filled.
}

void Analysis1D::CreateGraphWnd(QTabWidget *pTabs)
{
    Q_UNUSED(pTabs);
    if (GetNumberOfLanes() == 0)
        return;
    // >>> GraphWnd1D bound to this analysis (made when absent, its old window
    // >>> destroyed), created as a visible child filling the tab control (which
    // >>> owns it), id
    // >>> kGraphWindowId, added as the detachable tab "Graph" and set up.
}

void Analysis1D::DestroyReportAndGraph()
{
    // >>> Report, then graph: a window the tab control has not deleted already
    // >>> is deleted (its tab goes with it).
    m_pReportWnd.clear();
    m_pGraphWnd.clear();
}

void Analysis1D::UpdateReportAndGraph()
{
    CalculateAnalysisData();
    // >>> The report refills its table and repaints (when it has a window);
    // >>> the graph repaints (when it has a window).
}

void Analysis1D::OnLaneAndBandSelected(int lane, int band)
{
    Q_UNUSED(lane);
    Q_UNUSED(band);
    // >>> Report: current lane := lane, its band selection reset, table
    // >>> refilled, row 'band' selected when band > -1, repainted. Graph:
    // >>> current lane := lane, its selection reset, repainted.
}

// ---------------------------------------------------------------------------
// Ribbon

void Analysis1D::AddMenu(QTabWidget *pRibbon)
{
    Q_UNUSED(pRibbon);
    // >>> The category "1D Gel Analysis" (images 12012 small, 12011 large) with
    // >>> the panels "Start" (Start 12001), "Lanes and Bands" (Draw Band 12090,
    // >>> Auto Detect 12003, Add Lane 12004, Delete Lane 12006, Add Band 12005,
    // >>> Delete Band 12007), "Calibration" (View Calibration Values 12009) and
    // >>> "Data" (Analysis Data 12010).
}
