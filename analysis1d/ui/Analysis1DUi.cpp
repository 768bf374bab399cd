// The analysis's windows (Analysis1DWindows: the set-up wizard, the detection
// dialog, the report and graph) and the members of Analysis1D that make
// windows (result windows, ribbon category). They live here so the engine
// builds and runs headless.

#include "analysis1d/ui/Analysis1DWindows.h"

#include "analysis1d/engine/Analysis1D.h"

#include "analysis1d/engine/AnalysisViewSeam.h"
#include "analysis1d/ui/GraphWnd1D.h"
#include "analysis1d/ui/ReportWnd1D.h"
#include "analysis1d/ui/dialogs/AnalysisWizardDlg.h"
#include "analysis1d/ui/dialogs/DetectionDlg.h"
#include "appbase/ui/CDSRBaseFrame.h"
#include "appbase/ui/CRibbonPanel.h"

#include <QShortcut>
#include <QTabWidget>

// ---------------------------------------------------------------------------
// Set-up wizard and detection dialog

void Analysis1DWindows::Install()
{
    // Never destroyed: an analysis that outlives the program's statics still
    // finds its windows.
    static Analysis1DWindows *const windows = new Analysis1DWindows;
    AnalysisWindows::Install(windows);
}

void Analysis1DWindows::StartSetupWizard(Analysis1D &analysis, Analysis1DView *pView, int nMode)
{
    if (analysis.m_pWizardDlg)
        analysis.m_pWizardDlg->AnalysisGone();
    AnalysisViewSeam *seam = AnalysisViewSeam::For(pView);
    QWidget *parent = seam ? qobject_cast<QWidget *>(seam->DialogParent()) : nullptr;
    // Owned by the view's window; without one, DestroyDialogs deletes it.
    analysis.m_pWizardDlg = new AnalysisWizardDlg(parent, pView, nMode, &analysis);
    analysis.m_WizardRunning = 1;
    analysis.m_pWizardDlg->show();
}

void Analysis1DWindows::StartDetectionWizard(Analysis1D &analysis, Analysis1DView *pView)
{
    if (analysis.m_pDetectionDlg)
        analysis.m_pDetectionDlg->AnalysisGone();
    AnalysisViewSeam *seam = AnalysisViewSeam::For(pView);
    QWidget *parent = seam ? qobject_cast<QWidget *>(seam->DialogParent()) : nullptr;
    analysis.m_pDetectionDlg = new DetectionDlg(parent, pView, &analysis);
    analysis.m_WizardRunning = 1;
    analysis.m_pDetectionDlg->show();
}

void Analysis1D::WhiteOnBlackSet()
{
    if (m_pWizardDlg.isNull())
        return;
    WhiteOnBlackSet(m_pWizardDlg->GetToneChoice());
}

void Analysis1DWindows::EnableWizardNext(Analysis1D &analysis)
{
    if (analysis.m_pWizardDlg.isNull())
        return;
    analysis.m_pWizardDlg->EnableNext(true);
}

// The dialogs may be in the middle of their own handler (a cancelled wizard
// removes the analysis), so they are let go and deleted later, not at once.
void Analysis1DWindows::DestroyDialogs(Analysis1D &analysis)
{
    if (analysis.m_pWizardDlg)
        analysis.m_pWizardDlg->AnalysisGone();
    if (analysis.m_pDetectionDlg)
        analysis.m_pDetectionDlg->AnalysisGone();
    analysis.m_pWizardDlg.clear();
    analysis.m_pDetectionDlg.clear();
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

void Analysis1DWindows::DestroyReportAndGraph(Analysis1D &analysis)
{
    // A window its tab control has deleted already is null here; deleting a
    // page also removes its tab.
    if (!analysis.m_pReportWnd.isNull())
        delete analysis.m_pReportWnd.data();
    if (!analysis.m_pGraphWnd.isNull())
        delete analysis.m_pGraphWnd.data();
    analysis.m_pReportWnd.clear();
    analysis.m_pGraphWnd.clear();
}

void Analysis1DWindows::RefreshReportAndGraph(Analysis1D &analysis)
{
    if (!analysis.m_pReportWnd.isNull())
        analysis.m_pReportWnd->RebuildTable();
    if (!analysis.m_pGraphWnd.isNull()) {
        // The analysis image may have changed with the lanes.
        analysis.m_pGraphWnd->SetUp();
        analysis.m_pGraphWnd->update();
    }
}

void Analysis1DWindows::ShowLaneAndBand(Analysis1D &analysis, int lane, int band)
{
    // A click beside every lane keeps what the windows show rather than
    // emptying them.
    if (lane < 0 || lane >= analysis.GetNumberOfLanes())
        return;
    if (!analysis.m_pReportWnd.isNull())
        analysis.m_pReportWnd->ShowLaneAndBand(lane, band);
    if (!analysis.m_pGraphWnd.isNull()) {
        analysis.m_pGraphWnd->SetSingleLane(lane);
        analysis.m_pGraphWnd->update();
    }
}

// ---------------------------------------------------------------------------
// Ribbon

namespace {

// The commands of the category; the analysis view registers their handlers.
constexpr int kStart = 12001;
constexpr int kAutoDetect = 12003;
constexpr int kAddLane = 12004;
constexpr int kAddBand = 12005;
constexpr int kDeleteLane = 12006;
constexpr int kDeleteBand = 12007;
constexpr int kCalibrationValues = 12009;
constexpr int kAnalysisData = 12010;
constexpr int kDrawBand = 12090;
constexpr int kAnalysisReport = 12188;

CDSRBaseFrame *frameOf(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (auto *frame = qobject_cast<CDSRBaseFrame *>(w))
            return frame;
    }
    return nullptr;
}

} // namespace

void Analysis1D::AddMenu(QTabWidget *pRibbon)
{
    CDSRBaseFrame *frame = frameOf(pRibbon);
    if (!frame)
        return;
    QWidget *category = frame->AddRibbonTab(QStringLiteral("1D Gel Analysis"));
    category->setObjectName(QStringLiteral("analysisCategory"));
    // The category's key tip: Alt+H brings it forward.
    auto *keyTip = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_H), frame);
    QObject::connect(keyTip, &QShortcut::activated, pRibbon,
                     [pRibbon, category] { pRibbon->setCurrentWidget(category); });

    const auto icon = [](const char *name) {
        return CDSRBaseFrame::RibbonIcon(QString(), QString::fromLatin1(name));
    };
    const auto command = [frame](int id, const char *caption) {
        return frame->Command(id, QString::fromLatin1(caption));
    };

    CRibbonPanel *start = frame->AddPanel(category, QStringLiteral("Start"));
    start->AddLargeButton(command(kStart, "Start"), QStringLiteral("Start"),
                          icon("analysis-start"));

    CRibbonPanel *lanes = frame->AddPanel(category, QStringLiteral("Lanes and Bands"));
    lanes->AddLargeButton(command(kDrawBand, "Draw Band"), QStringLiteral("Draw\nBand"),
                          icon("draw-band"));
    lanes->AddLargeButton(command(kAutoDetect, "Auto Detect"), QStringLiteral("Auto\nDetect"),
                          icon("auto-detect"));
    lanes->AddSmallButton(command(kAddLane, "Add Lane"), QStringLiteral("Add Lane"),
                          icon("add-lane"));
    lanes->AddSmallButton(command(kDeleteLane, "Delete Lane"), QStringLiteral("Delete Lane"),
                          icon("delete-lane"));
    lanes->AddSmallButton(command(kAddBand, "Add Band"), QStringLiteral("Add Band"),
                          icon("add-band"));
    lanes->AddSmallButton(command(kDeleteBand, "Delete Band"), QStringLiteral("Delete Band"),
                          icon("delete-band"));

    CRibbonPanel *calibration = frame->AddPanel(category, QStringLiteral("Calibration"));
    calibration->AddLargeButton(command(kCalibrationValues, "View Calibration Values"),
                                QStringLiteral("View Calibration\nValues"),
                                icon("calibration-values"));

    CRibbonPanel *data = frame->AddPanel(category, QStringLiteral("Data"));
    data->AddLargeButton(command(kAnalysisData, "Analysis Data"), QStringLiteral("Analysis\nData"),
                         icon("analysis-results"));
    data->AddLargeButton(command(kAnalysisReport, "Analysis Report..."),
                         QStringLiteral("Analysis\nReport"), icon("analysis-report"));
}
