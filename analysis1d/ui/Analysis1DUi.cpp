// The members of Analysis1D that open or talk to windows: the set-up wizard,
// the detection dialog, the report and graph windows and the ribbon category.
// They live here so the engine builds and runs headless. The dialog and window
// classes (AnalysisWizardDlg, DetectionDlg, ReportWnd1D, GraphWnd1D) come with
// the analysis user interface; until then every step that belongs to the
// engine runs (lane clearing, repaints, recalculation, the running flag) and
// the window parts, marked ">>>", do nothing.

#include "analysis1d/engine/Analysis1D.h"

#include "analysis1d/engine/Analysis1DDoc.h"
#include "contracts/overlay/CDrawView.h"

// ---------------------------------------------------------------------------
// Set-up wizard and detection dialog

void Analysis1D::StartSetupWizard(Analysis1DView *pView, int nMode)
{
    Q_UNUSED(pView);
    Q_UNUSED(nMode);
    // >>> An open wizard is closed and deleted, then AnalysisWizardDlg(pView,
    // >>> nMode) is created modelessly from resource kSetupWizardResource as a
    // >>> child of the view's window and shown.
    m_WizardRunning = 1;
}

void Analysis1D::StartDetectionWizard(Analysis1DView *pView)
{
    Q_UNUSED(pView);
    // Everything found before goes at once, before the user detects again.
    ClearDetectionData();
    if (m_pDocument) {
        for (CDrawView *view : m_pDocument->GetViews())
            view->InvalidateView();
    }
    // >>> The previous detection dialog is deleted; DetectionDlg(pView) is
    // >>> pointed at this analysis, created modelessly from resource
    // >>> kDetectionDialogResource and shown.
    m_WizardRunning = 1;
}

void Analysis1D::WhiteOnBlackSet()
{
    if (m_pWizardDlg.isNull())
        return;
    // >>> WhiteOnBlackSet(the choice of the wizard's tone page).
}

void Analysis1D::enableWizardNext()
{
    if (m_pWizardDlg.isNull())
        return;
    // >>> Enables the wizard's "next" button (control 1).
}

void Analysis1D::destroyDialogs()
{
    // >>> The set-up wizard and the detection dialog, where their parent has
    // >>> not deleted them already, are closed and deleted.
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
