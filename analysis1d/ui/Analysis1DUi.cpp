// The members of Analysis1D that open or talk to windows: the set-up wizard,
// the detection dialog, the report and graph windows and the ribbon category.
// They live here so the engine builds and runs headless. What still waits for
// the analysis view (the ribbon category) is marked ">>>".

#include "analysis1d/engine/Analysis1D.h"

#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisViewSeam.h"
#include "analysis1d/ui/dialogs/AnalysisWizardDlg.h"
#include "analysis1d/ui/dialogs/DetectionDlg.h"
#include "analysis1d/ui/GraphWnd1D.h"
#include "analysis1d/ui/ReportWnd1D.h"
#include "contracts/overlay/CDrawView.h"

#include <QTabWidget>

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

namespace {

// The tab control's client area, where the result windows go.
CRect tabClientRect(QTabWidget *tabs)
{
    const QRect r = tabs->contentsRect();
    return CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

} // namespace

void Analysis1D::CreateReportWnd(QTabWidget *pTabs)
{
    if (!pTabs)
        return;
    // The tab control owns the window; a window of an earlier call goes
    // first, and the new one takes its tab's place.
    int index = -1;
    if (!m_pReportWnd.isNull()) {
        index = pTabs->indexOf(m_pReportWnd.data());
        delete m_pReportWnd.data();
    }
    auto *report = new ReportWnd1D(this);
    if (!report->Create(pTabs, tabClientRect(pTabs), kReportWindowId)) {
        delete report;
        return;
    }
    m_pReportWnd = report;
    pTabs->insertTab(index, report, QStringLiteral("Report"));
    report->SelectAllLanes();
}

void Analysis1D::CreateGraphWnd(QTabWidget *pTabs)
{
    if (!pTabs || GetNumberOfLanes() == 0)
        return;
    int index = -1;
    if (!m_pGraphWnd.isNull()) {
        index = pTabs->indexOf(m_pGraphWnd.data());
        delete m_pGraphWnd.data();
    }
    auto *graph = new GraphWnd1D(this);
    if (!graph->Create(pTabs, tabClientRect(pTabs), kGraphWindowId)) {
        delete graph;
        return;
    }
    m_pGraphWnd = graph;
    pTabs->insertTab(index, graph, QStringLiteral("Graph"));
    graph->SetUp();
}

void Analysis1D::DestroyReportAndGraph()
{
    // A window its tab control has deleted already is null here; deleting a
    // page also removes its tab.
    if (!m_pReportWnd.isNull())
        delete m_pReportWnd.data();
    if (!m_pGraphWnd.isNull())
        delete m_pGraphWnd.data();
    m_pReportWnd.clear();
    m_pGraphWnd.clear();
}

void Analysis1D::UpdateReportAndGraph()
{
    CalculateAnalysisData();
    if (!m_pReportWnd.isNull())
        m_pReportWnd->RebuildTable();
    if (!m_pGraphWnd.isNull()) {
        // The analysis image may have changed with the lanes.
        m_pGraphWnd->SetUp();
        m_pGraphWnd->update();
    }
}

void Analysis1D::OnLaneAndBandSelected(int lane, int band)
{
    // A click beside every lane keeps what the windows show rather than
    // emptying them.
    if (lane < 0 || lane >= GetNumberOfLanes())
        return;
    if (!m_pReportWnd.isNull())
        m_pReportWnd->ShowLaneAndBand(lane, band);
    if (!m_pGraphWnd.isNull()) {
        m_pGraphWnd->SetSingleLane(lane);
        m_pGraphWnd->update();
    }
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
