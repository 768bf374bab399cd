#include "analysis1d/view/Analysis1DView.h"

#include "analysis1d/calibration/CalibrationManager.h"
#include "analysis1d/calibration/MWAssignments.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/AnalysisReportPdf.h"
#include "analysis1d/engine/AnalysisSetup.h"
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/DyeFront.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/Lane.h"
#include "analysis1d/engine/LoadingWells.h"
#include "analysis1d/engine/UserDrawnBand.h"
#include "analysis1d/view/Analysis1DCommandIds.h"
#include "analysis1d/view/AnalysisTools.h"
#include "appbase/CViewHost.h"
#include "appbase/CommandRegistry.h"
#include "appbase/DensoraCommandIds.h"
#include "appbase/UndoStep.h"
#include "contracts/overlay/CLabelTool.h"
#include "contracts/overlay/COffscreenDrawView.h"
#include "contracts/overlay/CPolyTool.h"
#include "contracts/overlay/CRectTool.h"
#include "contracts/overlay/CTextTool.h"
#include "data/CDoubleDataArray.h"
#include "imaging/BitmapExchange.h"
#include "imaging/CCopyImageRectTool.h"
#include "imaging/CCropImageTool.h"
#include "imaging/CDrawImage.h"
#include "imaging/CImageTool.h"
#include "imaging/TVFImage.h"
#include "platform/CArchive.h"
#include "platform/Prompts.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QKeySequence>
#include <QPainter>

#include <algorithm>
#include <utility>

IMPLEMENT_DYNAMIC(Analysis1DView, CDensoraView)

namespace {

const QString kDone = QStringLiteral("\n  Click 'Done' to exit");

// The stored form of the JPEG filter, as the other file dialogs keep theirs.
const QString kJpegFilter = QStringLiteral("Jpeg Files (*.jpg):*.jpg:");
const QString kPdfFilter = QStringLiteral("PDF Files (*.pdf):*.pdf:");

Analysis1DView::PromptDialogFactory &promptFactory()
{
    static Analysis1DView::PromptDialogFactory factory;
    return factory;
}

Analysis1DView::PrintOptionsDialog &printOptionsDialog()
{
    static Analysis1DView::PrintOptionsDialog dialog;
    return dialog;
}

Analysis1DView::ResultPrinter &resultPrinter()
{
    static Analysis1DView::ResultPrinter printer;
    return printer;
}

// The known values of every band and the calibration choices: equal before
// and after a dialog means the dialog changed nothing worth an undo step.
QByteArray calibrationFingerprint(Analysis1D &analysis, Analysis1DDoc *doc)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CArchive ar(&buffer, CArchive::store);
    ar.m_pDocument = doc;
    for (const Lane &lane : *analysis.GetLanes()) {
        for (const Band &band : *lane.GetBands()) {
            const BandData *data = band.getData();
            ar << data->m_knownIntensity << data->m_knownMW << int32_t(data->m_hasKnownIntensity)
               << int32_t(data->m_hasKnownMW);
        }
    }
    if (const CalibrationManager *manager = analysis.GetCalibrationManager())
        ar.WriteObject(manager);
    ar.Close();
    return bytes;
}

} // namespace

Analysis1DView::Analysis1DView(Analysis1DDoc *pDoc) : CDensoraView(pDoc)
{
    // The base constructor made the base view's tools; this view's replace them.
    Destroytools();
    CreateTools();
    AnalysisViewSeam::Attach(this, this);
}

Analysis1DView::~Analysis1DView()
{
    closePrompt();
    AnalysisViewSeam::Detach(this);
}

Analysis1DDoc *Analysis1DView::GetAnalysisDoc() const
{
    return dynamic_cast<Analysis1DDoc *>(m_pDocument);
}

Analysis1D *Analysis1DView::GetAnalysis() const
{
    const Analysis1DDoc *doc = GetAnalysisDoc();
    return doc ? doc->GetAnalysis() : nullptr;
}

// --- seam of the analysis dialogs ------------------------------------------------

QObject *Analysis1DView::DialogParent() const
{
    return GetHost() ? GetHost()->DialogParent() : nullptr;
}

void Analysis1DView::DeselectAllAndRepaint()
{
    DeselectAllObjects();
    InvalidateView();
}

void Analysis1DView::StartTool(int toolType)
{
    if (toolType == kSelectTool)
        SetToDefaultTool();
    else
        SetCurrentToolType(toolType);
}

// --- tools --------------------------------------------------------------------------

void Analysis1DView::CreateTools()
{
    auto select = std::make_unique<AnalysisSelectTool>();
    CSelectTool *pSelect = select.get();
    AddTool(std::move(select));
    AddTool(std::make_unique<CRectTool>(toolRect));
    AddTool(std::make_unique<CRectTool>(toolRoundRect));
    AddTool(std::make_unique<CRectTool>(toolEllipse));
    AddTool(std::make_unique<CRectTool>(toolLine));
    AddTool(std::make_unique<CPolyTool>(toolPoly));
    AddTool(std::make_unique<CLabelTool>(toolLabel));
    AddTool(std::make_unique<CTextTool>(toolText));
    AddTool(std::make_unique<CImageTool>(pSelect));
    AddTool(std::make_unique<CCropImageTool>(pSelect));
    AddTool(std::make_unique<CCopyImageRectTool>(pSelect));

    AddTool(std::make_unique<AnalysisAreaTool>());
    AddTool(std::make_unique<BackgourndAreaTool>());
    AddTool(std::make_unique<BandExampleTool>());
    AddTool(std::make_unique<BandAddTool>());
    AddTool(std::make_unique<BandDeleteTool>());
    AddTool(std::make_unique<BandDrawTool>());
    AddTool(std::make_unique<BandEditTool>());
    AddTool(std::make_unique<LaneAddTool>());
    AddTool(std::make_unique<LaneDeleteTool>());
    AddTool(std::make_unique<LaneDrawTool>());
    AddTool(std::make_unique<BandSelectToolOD>());
    AddTool(std::make_unique<BandSelectToolMW>());
}

void Analysis1DView::SetCurrentToolType(ToolType type)
{
    CDensoraView::SetCurrentToolType(type);
    if (type == toolSelect && m_bPromptOpen)
        closePrompt();
    if (CViewHost *host = GetHost())
        host->SetStatusText(ToolStatusText(type));
}

QString Analysis1DView::ToolStatusText(ToolType type)
{
    switch (type) {
    case toolAnalysisArea:
        return QStringLiteral("Drag a rectangle around the lanes to analyse. Esc cancels.");
    case toolBackgroundArea:
        return QStringLiteral("Drag a rectangle over plain background inside the analysis area. "
                              "Esc cancels.");
    case toolExampleBand:
        return QStringLiteral("Drag a rectangle around a band that best represents your bands. "
                              "Esc cancels.");
    case toolBandAdd:
        return QStringLiteral("Click on a lane where a band should be added. Done or Esc ends.");
    case toolBandDelete:
        return QStringLiteral("Click on the band to delete. Done or Esc ends.");
    case toolBandDraw:
        return QStringLiteral("Drag a rectangle around a band to measure it. Done or Esc ends.");
    case toolBandEdit:
        return QStringLiteral("Drag a band or its edges to correct it. Done or Esc ends.");
    case toolLaneAdd:
        return QStringLiteral("Click beside the lanes where a lane should be added. Done or Esc "
                              "ends.");
    case toolLaneDelete:
        return QStringLiteral("Click on the lane to delete. Done or Esc ends.");
    case toolLaneDraw:
        return QStringLiteral("Drag a rectangle where a lane should be added. Esc ends.");
    case toolBandSelectOD:
        return QStringLiteral("Click on the band whose known amount you want to enter. Esc ends.");
    case toolBandSelectMW:
        return QStringLiteral("Click on a band. Esc ends.");
    default:
        return QString();
    }
}

QString Analysis1DView::PromptText(ToolType type)
{
    switch (type) {
    case toolLaneAdd:
        return QStringLiteral("Please click on the location where you want a Lane to be added.")
            + kDone;
    case toolLaneDelete:
        return QStringLiteral("Please click on the Lane you wish to delete.") + kDone;
    case toolBandAdd:
        return QStringLiteral("Please click on the location where you want a Band to be added.")
            + kDone;
    case toolBandDelete:
        return QStringLiteral("Please click on the Band you wish to delete.") + kDone;
    case toolBandDraw:
        return QStringLiteral(
                   "Using the mouse draw a rectangle around the band you are interested in.")
            + kDone;
    default:
        return QString();
    }
}

void Analysis1DView::OnUpdate(CDrawView *pSender, int nHint, CObject *pHint)
{
    if (nHint == HintUpdateAll) {
        const Analysis1DDoc *doc = GetAnalysisDoc();
        for (qsizetype i = m_selection.size() - 1; i >= 0; --i) {
            const CDrawObject *obj = m_selection[i];
            int lane = -1;
            int band = -1;
            if (!(doc && doc->GetObjects().contains(obj)) && LaneIndexOf(obj) < 0
                && !BandIndexOf(obj, lane, band))
                m_selection.removeAt(i);
        }
        const Analysis1D *analysis = GetAnalysis();
        if (!analysis || m_nHotLane >= analysis->GetNumberOfLanes()
            || (m_nHotLane >= 0
                && m_nHotBand >= analysis->GetLane(m_nHotLane).GetNumberOfBands())) {
            m_nHotLane = -1;
            m_nHotBand = -1;
        }
    }
    CDensoraView::OnUpdate(pSender, nHint, pHint);
}

void Analysis1DView::OnMouseMove(unsigned nFlags, CPoint screenPoint)
{
    CDensoraView::OnMouseMove(nFlags, screenPoint);
    CPoint point = screenPoint;
    Screen2Logical(point, true);
    int lane = -1;
    int band = -1;
    HitLaneAndBand(point, lane, band);
    setHot(lane, band);
    if (GetHost())
        GetHost()->SetToolTipText(SaturationText(lane, band));
    // While a tool waits for the user, its instruction stays in the status bar
    // (the pixel read-out is for the selection tool).
    const QString instruction = ToolStatusText(GetCurrentToolType());
    if (!instruction.isEmpty() && GetHost())
        GetHost()->SetStatusText(instruction);
}

void Analysis1DView::setHot(int lane, int band)
{
    if (lane == m_nHotLane && band == m_nHotBand)
        return;
    m_nHotLane = lane;
    m_nHotBand = band;
    InvalidateView();
}

void Analysis1DView::HitLaneAndBand(const CPoint &point, int &lane, int &band) const
{
    lane = -1;
    band = -1;
    Analysis1D *analysis = GetAnalysis();
    if (!analysis)
        return;
    CRect probe(point, CSize(1, 1));
    CArray<Lane> &lanes = *analysis->GetLanes();
    // Bands first: a band may reach beyond its lane's rectangle.
    for (int i = 0; i < lanes.GetSize(); ++i) {
        CArray<Band> &bands = *lanes[i].GetBands();
        for (int j = 0; j < bands.GetSize(); ++j) {
            if (bands[j].CanBeSelected() && bands[j].Intersects(probe)) {
                lane = i;
                band = j;
                return;
            }
        }
    }
    for (int i = 0; i < lanes.GetSize(); ++i) {
        if (lanes[i].CanBeSelected() && lanes[i].Intersects(probe)) {
            lane = i;
            return;
        }
    }
}

bool Analysis1DView::IsInsideAnalysisArea(const CPoint &point) const
{
    const Analysis1DDoc *doc = GetAnalysisDoc();
    const AnalysisArea *area = doc ? doc->GetAnalysisArea() : nullptr;
    if (!area)
        return false;
    CRect rect = area->m_position;
    rect.NormalizeRect();
    return rect.PtInRect(point);
}

void Analysis1DView::SetResourceCursor(int resourceId)
{
    if (CViewHost *host = GetHost())
        host->SetResourceCursor(resourceId);
}

// --- drawing --------------------------------------------------------------------------

void Analysis1DView::OnDraw(QPainter *pDC)
{
    CDensoraView::OnDraw(pDC);
}

void Analysis1DView::DrawSelectedFeature(QPainter *pDC)
{
    // The lanes and bands lie over the document's objects and under the
    // selection's trackers.
    DrawLanesAndBands(pDC);
    DrawHighlight(pDC);
    CDensoraView::DrawSelectedFeature(pDC);
}

void Analysis1DView::DrawExtras(QPainter *pDC)
{
    DrawLanesAndBands(pDC);
}

void Analysis1DView::DrawLanesAndBands(QPainter *pDC)
{
    Analysis1D *analysis = GetAnalysis();
    Analysis1DDoc *doc = GetAnalysisDoc();
    if (!analysis || !doc || !pDC)
        return;
    Analysis1DOptions &options = doc->GetAnalysisOptions();
    for (int i = 0; i < analysis->GetNumberOfLanes(); ++i)
        analysis->GetLane(i).Draw(pDC, this, i, &options.m_LanesOptions, &options.m_BandsOptions);
    // A clipped band under-reports its amount: its outline says so.
    pDC->save();
    pDC->setPen(QPen(kSaturatedColor, 2));
    pDC->setBrush(Qt::NoBrush);
    for (int i = 0; i < analysis->GetNumberOfLanes(); ++i) {
        const Lane &lane = analysis->GetLane(i);
        for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
            if (!lane.GetBand(b).IsSaturated())
                continue;
            CRect r = lane.GetBand(b).GetLogicalPosition();
            r.NormalizeRect();
            Logical2Screen(r, false);
            pDC->drawRect(r.toQRect().adjusted(-2, -2, 1, 1));
        }
    }
    pDC->restore();
}

QString Analysis1DView::SaturationText(int lane, int band) const
{
    const Analysis1D *analysis = GetAnalysis();
    if (!analysis || lane < 0 || lane >= analysis->GetNumberOfLanes())
        return {};
    const Lane &l = analysis->GetLane(lane);
    if (band < 0 || band >= l.GetNumberOfBands() || !l.GetBand(band).IsSaturated())
        return {};
    return QStringLiteral("Band %1 of lane %2 is saturated: %3 pixels at full scale, its amount "
                          "reads too low")
        .arg(band + 1)
        .arg(lane + 1)
        .arg(l.GetBand(band).GetSaturatedPixels());
}

void Analysis1DView::DrawHighlight(QPainter *pDC)
{
    Analysis1D *analysis = GetAnalysis();
    if (!analysis || !pDC || m_nHotLane < 0 || m_nHotLane >= analysis->GetNumberOfLanes())
        return;
    const Lane &lane = analysis->GetLane(m_nHotLane);
    pDC->save();
    CRect r = lane.GetLogicalPosition();
    r.NormalizeRect();
    Logical2Screen(r, false);
    pDC->fillRect(r.toQRect(), QColor(255, 0, 0, 28));
    if (m_nHotBand >= 0 && m_nHotBand < lane.GetNumberOfBands()) {
        CRect b = lane.GetBand(m_nHotBand).GetLogicalPosition();
        b.NormalizeRect();
        Logical2Screen(b, false);
        pDC->fillRect(b.toQRect(), QColor(255, 255, 0, 60));
        QPen pen(QColor(255, 255, 255));
        pen.setWidth(1);
        pen.setStyle(Qt::DashLine);
        pDC->setPen(pen);
        pDC->setBrush(Qt::NoBrush);
        pDC->drawRect(b.toQRect().adjusted(-1, -1, 0, 0));
    }
    pDC->restore();
}

// --- commands: start and set-up ---------------------------------------------------------

void Analysis1DView::beginCommand()
{
    DeselectAllObjects();
}

bool Analysis1DView::CanStartAnalysis() const
{
    const Analysis1DDoc *doc = GetAnalysisDoc();
    if (!doc || !doc->GetDrawImage())
        return false;
    const Analysis1D *analysis = doc->GetAnalysis();
    return !analysis || !analysis->IsWizardRunning();
}

bool Analysis1DView::CanEditLanesAndBands() const
{
    const Analysis1DDoc *doc = GetAnalysisDoc();
    const Analysis1D *analysis = doc ? doc->GetAnalysis() : nullptr;
    return analysis && !analysis->IsWizardRunning() && doc->GetAnalysisArea();
}

void Analysis1DView::OnButtonAnalysisStart()
{
    beginCommand();
    if (Analysis1DDoc *doc = GetAnalysisDoc())
        doc->OnAnalysisStart(this, 0);
}

// Outside the wizard, taking shapes away is an edit of its own.
void Analysis1DView::recordRemoval(const QString &caption, bool anything)
{
    Analysis1DDoc *doc = GetAnalysisDoc();
    const Analysis1D *analysis = GetAnalysis();
    if (doc && anything && (!analysis || !analysis->IsWizardRunning()))
        doc->SaveActionStartEnd(caption);
}

void Analysis1DView::OnActionAnalysisArea()
{
    beginCommand();
    Analysis1DDoc *doc = GetAnalysisDoc();
    if (!doc)
        return;
    recordRemoval(QStringLiteral("Analysis Area"),
                  doc->GetAnalysisArea() || doc->GetExampleBand() || doc->GetDyeFront());
    doc->RemoveAnlaysisArea();
    doc->RemoveExampleBand();
    doc->RemoveDyeFront();
    InvalidateView();
    SetCurrentToolType(toolAnalysisArea);
}

void Analysis1DView::OnButtonAnalysisBackground()
{
    beginCommand();
    Analysis1DDoc *doc = GetAnalysisDoc();
    if (!doc)
        return;
    recordRemoval(QStringLiteral("Background Area"), doc->GetBackgroundArea() != nullptr);
    doc->RemoveBackgroundArea();
    InvalidateView();
    SetCurrentToolType(toolBackgroundArea);
}

void Analysis1DView::OnActionDrawExampleBand()
{
    beginCommand();
    Analysis1DDoc *doc = GetAnalysisDoc();
    if (!doc)
        return;
    recordRemoval(QStringLiteral("Example Band"), doc->GetExampleBand() != nullptr);
    doc->RemoveExampleBand();
    InvalidateView();
    SetCurrentToolType(toolExampleBand);
}

void Analysis1DView::OnActionSetDyeFrontAndWells()
{
    beginCommand();
    Analysis1DDoc *doc = GetAnalysisDoc();
    if (!doc)
        return;
    recordRemoval(QStringLiteral("Dye Front and Loading Wells"), doc->GetAnalysisArea() != nullptr);
    doc->RemoveDyeFront();
    doc->RemoveLoadingWells();
    AnalysisSetup(*doc).PlaceReferenceLinesAtDefaults();
    // The migration counts from the new rows.
    Analysis1D *analysis = doc->GetAnalysis();
    if (analysis && !analysis->IsWizardRunning() && analysis->GetNumberOfLanes() > 0)
        analysis->UpdateReportAndGraph();
    doc->UpdateAllViews(nullptr);
    SetToDefaultTool();
}

// --- commands: lanes and bands ----------------------------------------------------------

void Analysis1DView::OnButtonDetect()
{
    beginCommand();
    Analysis1DDoc *doc = GetAnalysisDoc();
    Analysis1D *analysis = GetAnalysis();
    if (!doc || !analysis)
        return;
    closePrompt();
    SetToDefaultTool();
    // The dialog removes the lanes at once; that is undone as one step.
    if (analysis->GetNumberOfLanes() > 0)
        doc->SaveActionStartEnd(QStringLiteral("Auto Detect"));
    analysis->StartDetectionWizard(this);
}

void Analysis1DView::OnEditLanesBands(ToolType type)
{
    beginCommand();
    closePrompt();
    m_strPrompt = PromptText(type);
    if (const PromptDialogFactory &factory = promptFactory())
        m_pPrompt = factory(DialogParent(), [this] { OnPromptDone(); });
    CDensoraView::SetCurrentToolType(type);
    if (CViewHost *host = GetHost())
        host->SetStatusText(ToolStatusText(type));
    m_bPromptOpen = true;
    if (m_pPrompt)
        m_pPrompt->Show(m_strPrompt);
}

void Analysis1DView::OnButtonAnalysisDrawBand()
{
    OnEditLanesBands(toolBandDraw);
}

void Analysis1DView::OnButtonAnalysisAddLane()
{
    OnEditLanesBands(toolLaneAdd);
}

void Analysis1DView::OnButtonAnalysisDelLane()
{
    OnEditLanesBands(toolLaneDelete);
}

void Analysis1DView::OnButtonAnalysisAddBand()
{
    OnEditLanesBands(toolBandAdd);
}

void Analysis1DView::OnButtonAnalysisDelBand()
{
    OnEditLanesBands(toolBandDelete);
}

void Analysis1DView::OnButtonAnalysisEditBand()
{
    OnEditLanesBands(toolBandEdit);
}

void Analysis1DView::OnButtonAnalysisDrawLane()
{
    beginCommand();
    closePrompt();
    SetCurrentToolType(toolLaneDraw);
}

void Analysis1DView::OnPromptDone()
{
    closePrompt();
    SetToDefaultTool();
}

void Analysis1DView::closePrompt()
{
    m_bPromptOpen = false;
    m_strPrompt.clear();
    if (std::unique_ptr<PromptDialog> prompt = std::move(m_pPrompt))
        prompt->Close();
}

// --- commands: calibration ----------------------------------------------------------------

void Analysis1DView::OnButtonAssignAnalysisAmount()
{
    beginCommand();
    Analysis1DDoc *doc = GetAnalysisDoc();
    Analysis1D *analysis = GetAnalysis();
    if (!doc || !analysis || analysis->GetNumberOfLanes() < 1)
        return;
    UndoStep step(doc, QStringLiteral("View Calibration Values"));
    const QByteArray before = calibrationFingerprint(*analysis, doc);
    AnalysisDialogSeams::ShowCalibrationValues(DialogParent(), *analysis, this);
    // The sheet may have ended the analysis's life (a new document) only
    // through the frame, never from inside; the analysis is still this one.
    if (calibrationFingerprint(*analysis, doc) != before)
        step.End();
    doc->UpdateAllViews(nullptr);
}

void Analysis1DView::OnButtonAnalysisAssignKnownAmounts()
{
    Analysis1DDoc *doc = GetAnalysisDoc();
    Analysis1D *analysis = GetAnalysis();
    Band *band = getSelectedBand();
    if (!doc || !analysis || !band)
        return;
    UndoStep step(doc, QStringLiteral("Assign known values"));
    const QByteArray before = calibrationFingerprint(*analysis, doc);
    if (!AnalysisDialogSeams::EditKnownValues(DialogParent(), *band->getData()))
        return;
    analysis->UpdateReportAndGraph();
    if (calibrationFingerprint(*analysis, doc) != before)
        step.End();
    InvalidateView();
}

void Analysis1DView::OnPopUpMenuAnalysisAssignLadder()
{
    Analysis1D *analysis = GetAnalysis();
    if (!analysis)
        return;
    int lane = -1;
    if (!getSelectedLane(&lane)) {
        Prompts::instance().MessageBox(MWAssignments::c_laneNeedsTwoBands);
        return;
    }
    if (!MWAssignments::CheckLaneForLadder(*analysis->GetLanes(), lane))
        return;
    CDoubleDataArray weights;
    if (!AnalysisDialogSeams::ChooseLadder(DialogParent(), weights))
        return;
    AssignLadderToSelectedLane(weights);
}

bool Analysis1DView::AssignLadderToSelectedLane(const CDoubleDataArray &weights)
{
    Analysis1DDoc *doc = GetAnalysisDoc();
    Analysis1D *analysis = GetAnalysis();
    if (!doc || !analysis)
        return false;
    int lane = -1;
    if (!getSelectedLane(&lane)) {
        Prompts::instance().MessageBox(MWAssignments::c_laneNeedsTwoBands);
        return false;
    }
    if (!MWAssignments::CheckLaneForLadder(*analysis->GetLanes(), lane))
        return false;
    doc->SaveActionStartEnd(QStringLiteral("Assign MW Ladder"));
    MWAssignments::ApplyLadder(*analysis->GetLanes(), lane, weights);
    InvalidateView();
    analysis->UpdateReportAndGraph();
    return true;
}

// --- commands: popup menus ------------------------------------------------------------------

void Analysis1DView::OnPopUpMenuAnalysisDelBand()
{
    Band *band = getSelectedBand();
    if (!band)
        return;
    CRect r = band->GetLogicalPosition();
    r.NormalizeRect();
    BandDeleteTool::DeleteAt(this, r.CenterPoint());
}

void Analysis1DView::OnPopUpMenuAnalysisDelLane()
{
    Analysis1DDoc *doc = GetAnalysisDoc();
    Analysis1D *analysis = GetAnalysis();
    int lane = -1;
    if (!doc || !analysis || !getSelectedLane(&lane) || getSelectedBand())
        return;
    doc->SaveActionStartEnd(QStringLiteral("Delete Lane"));
    DeselectAllObjects();
    analysis->DeleteLaneViaTool(lane);
    InvalidateView();
}

void Analysis1DView::OnPopUpMenuProperties()
{
    if (m_selection.size() == 1)
        m_selection.first()->OnEditProperties(this);
}

// --- selection ----------------------------------------------------------------------------

int Analysis1DView::LaneIndexOf(const CDrawObject *pObj) const
{
    Analysis1D *analysis = GetAnalysis();
    if (!analysis || !pObj)
        return -1;
    const CArray<Lane> &lanes = *analysis->GetLanes();
    for (int i = 0; i < lanes.GetSize(); ++i) {
        if (&lanes[i] == pObj)
            return i;
    }
    return -1;
}

bool Analysis1DView::BandIndexOf(const CDrawObject *pObj, int &lane, int &band) const
{
    lane = -1;
    band = -1;
    Analysis1D *analysis = GetAnalysis();
    if (!analysis || !pObj)
        return false;
    const CArray<Lane> &lanes = *analysis->GetLanes();
    for (int i = 0; i < lanes.GetSize(); ++i) {
        const CArray<Band> &bands = *lanes[i].GetBands();
        for (int j = 0; j < bands.GetSize(); ++j) {
            if (&bands[j] == pObj) {
                lane = i;
                band = j;
                return true;
            }
        }
    }
    return false;
}

Band *Analysis1DView::getSelectedBand(int *pLane, int *pBand) const
{
    Analysis1D *analysis = GetAnalysis();
    if (!analysis)
        return nullptr;
    for (CDrawObject *obj : m_selection) {
        int lane = -1;
        int band = -1;
        if (BandIndexOf(obj, lane, band)) {
            if (pLane)
                *pLane = lane;
            if (pBand)
                *pBand = band;
            return &analysis->GetLane(lane).GetBand(band);
        }
    }
    return nullptr;
}

Lane *Analysis1DView::getSelectedLane(int *pLane) const
{
    Analysis1D *analysis = GetAnalysis();
    if (!analysis)
        return nullptr;
    for (CDrawObject *obj : m_selection) {
        const int lane = LaneIndexOf(obj);
        if (lane >= 0) {
            if (pLane)
                *pLane = lane;
            return &analysis->GetLane(lane);
        }
    }
    int lane = -1;
    if (getSelectedBand(&lane)) {
        if (pLane)
            *pLane = lane;
        return &analysis->GetLane(lane);
    }
    return nullptr;
}

// --- editing ------------------------------------------------------------------------------

namespace {

// Shapes an analysis is built on: deleting them would take the analysis with
// them, so Delete leaves them (a new analysis replaces them).
bool isFoundation(const CDrawObject *obj, const Analysis1D *analysis)
{
    if (!analysis)
        return false;
    return obj->IsKindOf(RUNTIME_CLASS(AnalysisArea)) || obj->IsKindOf(RUNTIME_CLASS(ExampleBand));
}

} // namespace

bool Analysis1DView::CanDeleteAnalysisSelection() const
{
    const Analysis1DDoc *doc = GetAnalysisDoc();
    if (!doc)
        return false;
    const Analysis1D *analysis = doc->GetAnalysis();
    const bool wizard = analysis && analysis->IsWizardRunning();
    for (CDrawObject *obj : m_selection) {
        int lane = -1;
        int band = -1;
        if (LaneIndexOf(obj) >= 0 || BandIndexOf(obj, lane, band))
            return !wizard;
        if (obj->IsKindOf(RUNTIME_CLASS(CDrawImage)) || isFoundation(obj, analysis))
            continue;
        if (doc->GetObjects().contains(obj))
            return true;
    }
    return false;
}

void Analysis1DView::OnEditDelete()
{
    Analysis1DDoc *doc = GetAnalysisDoc();
    if (!doc || !CanDeleteAnalysisSelection())
        return;
    Analysis1D *analysis = doc->GetAnalysis();
    const bool wizard = analysis && analysis->IsWizardRunning();

    // What goes, found before anything changes (the selection points into the
    // lane array).
    std::vector<std::pair<int, int>> bands;
    std::vector<int> lanes;
    CDrawObjList objects;
    for (CDrawObject *obj : std::as_const(m_selection)) {
        int lane = -1;
        int band = -1;
        if (const int index = LaneIndexOf(obj); index >= 0) {
            if (!wizard)
                lanes.push_back(index);
        } else if (BandIndexOf(obj, lane, band)) {
            if (!wizard)
                bands.emplace_back(lane, band);
        } else if (!obj->IsKindOf(RUNTIME_CLASS(CDrawImage)) && !isFoundation(obj, analysis)
                   && doc->GetObjects().contains(obj)) {
            objects.append(obj);
        }
    }
    std::sort(bands.begin(), bands.end(), std::greater<>());
    std::sort(lanes.begin(), lanes.end(), std::greater<>());
    bool referenceLines = false;

    doc->SaveActionStartEnd(QStringLiteral("Delete"));
    DeselectAllObjects();
    for (const auto &[lane, band] : bands) {
        // A band of a lane that goes too needs no removing of its own.
        if (std::find(lanes.begin(), lanes.end(), lane) == lanes.end())
            analysis->GetLane(lane).RemoveBand(band);
    }
    for (int lane : lanes)
        analysis->GetLanes()->RemoveAt(lane);
    for (CDrawObject *obj : std::as_const(objects)) {
        referenceLines = referenceLines || obj->IsKindOf(RUNTIME_CLASS(DyeFront))
            || obj->IsKindOf(RUNTIME_CLASS(LoadingWells));
        doc->Remove(obj);
        delete obj;
    }
    doc->SetModifiedFlag();
    if (analysis && !wizard) {
        if (!lanes.empty())
            analysis->setLaneBoundries();
        if (!lanes.empty() || !bands.empty() || referenceLines || analysis->GetNumberOfLanes() > 0)
            analysis->UpdateReportAndGraph();
    }
    doc->UpdateAllViews(nullptr);
}

void Analysis1DView::OnEditCut()
{
    copyDocumentObjects();
    OnEditDelete();
}

// Copy takes the overlay objects only: lanes and bands belong to their analysis
// and would not mean anything pasted as loose shapes.
void Analysis1DView::copyDocumentObjects()
{
    const CDrawObjList selection = m_selection;
    CDrawObjList documentObjects;
    const Analysis1DDoc *doc = GetAnalysisDoc();
    for (CDrawObject *obj : selection) {
        if (doc && doc->GetObjects().contains(obj))
            documentObjects.append(obj);
    }
    if (documentObjects.isEmpty())
        return;
    m_selection = documentObjects;
    OnEditCopy();
    m_selection = selection;
}

// --- the picture with its overlay ------------------------------------------------------------

QImage Analysis1DView::RenderWithOverlay()
{
    Analysis1DDoc *doc = GetAnalysisDoc();
    const CDrawImage *picture = doc ? doc->GetDrawImage() : nullptr;
    if (!picture)
        return {};
    CRect position = picture->GetPosition();
    position.NormalizeRect();
    // A view of its own at full size, so this view's zoom, scroll and selection
    // stay as they are; the lanes draw through it too.
    COffscreenDrawView offscreen(doc, 1.0f, CPoint(position.left, position.top));
    QImage image = offscreen.Render(QSize(position.Width(), position.Height()));
    if (image.isNull())
        return image;
    if (Analysis1D *analysis = doc->GetAnalysis()) {
        QPainter painter(&image);
        painter.translate(-position.left, -position.top);
        Analysis1DOptions &options = doc->GetAnalysisOptions();
        for (int i = 0; i < analysis->GetNumberOfLanes(); ++i)
            analysis->GetLane(i).Draw(&painter, &offscreen, i, &options.m_LanesOptions,
                                      &options.m_BandsOptions);
    }
    return image;
}

bool Analysis1DView::OnSaveImageWithBurntOverlay()
{
    Analysis1DDoc *doc = GetAnalysisDoc();
    if (!doc || !doc->GetDrawImage())
        return false;
    const Analysis1D *analysis = doc->GetAnalysis();
    if (!doc->DocContainsOverlayObjects() && (!analysis || analysis->GetNumberOfLanes() == 0)) {
        Prompts::instance().MessageBox(QStringLiteral("There aren't any overlay objects to save!"),
                                       MB_OK | MB_ICONINFORMATION);
        return false;
    }
    QString suggested = QFileInfo(doc->GetPathName()).completeBaseName();
    if (suggested.isEmpty())
        suggested = doc->GetTitle().section(QLatin1Char('-'), 0, 0).trimmed();
    QString path = Prompts::instance().AskSaveFile(
        QStringLiteral("Save Image with Overlay"),
        Analysis1DDoc::DialogFilter(kJpegFilter, QLatin1Char(':')), suggested);
    if (path.isEmpty())
        return false;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("jpg") && suffix != QLatin1String("jpeg"))
        path += QStringLiteral(".jpg");

    WaitCursor wait;
    const QImage rendered = RenderWithOverlay().convertToFormat(QImage::Format_RGB888);
    TVFImage output;
    FIBITMAP *dib = rendered.isNull() ? nullptr : BitmapExchange::fromQImage(rendered);
    if (dib)
        static_cast<fipWinImage &>(output) = dib; // takes the bitmap over
    if (!dib || !output.save(path)) {
        Prompts::instance().MessageBox(
            QStringLiteral("The image could not be saved to %1.").arg(path),
            MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

bool Analysis1DView::OnFileAnalysisReport()
{
    Analysis1DDoc *doc = GetAnalysisDoc();
    const Analysis1D *analysis = GetAnalysis();
    if (!doc || !analysis || analysis->GetNumberOfLanes() == 0)
        return false;
    QString suggested = QFileInfo(doc->GetPathName()).completeBaseName();
    if (suggested.isEmpty())
        suggested = doc->GetTitle().section(QLatin1Char('-'), 0, 0).trimmed();
    QString path = Prompts::instance().AskSaveFile(
        QStringLiteral("Analysis Report"),
        Analysis1DDoc::DialogFilter(kPdfFilter, QLatin1Char(':')), suggested);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().toLower() != QLatin1String("pdf"))
        path += QStringLiteral(".pdf");

    WaitCursor wait;
    AnalysisReportPdf::Info info;
    info.pictureName = doc->GetPathName().isEmpty() ? doc->GetTitle() : doc->GetPathName();
    info.programVersion = QCoreApplication::applicationVersion();
    info.date = QDateTime::currentDateTime();
    QString error;
    if (!AnalysisReportPdf::Write(*doc, path, info, &error)) {
        Prompts::instance().MessageBox(
            QStringLiteral("The analysis report could not be written to %1: %2").arg(path, error),
            MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

// --- printing ------------------------------------------------------------------------------

bool Analysis1DView::CanPrintReport() const
{
    const Analysis1D *analysis = GetAnalysis();
    return analysis && !analysis->GetReportWnd().isNull();
}

bool Analysis1DView::CanPrintGraph() const
{
    const Analysis1D *analysis = GetAnalysis();
    return analysis && !analysis->GetGraphWnd().isNull();
}

bool Analysis1DView::OnPreparePrinting()
{
    m_printParts = PrintParts();
    if (!GetAnalysis()) {
        m_printParts.image = true;
        return true;
    }
    const PrintOptionsDialog &dialog = printOptionsDialog();
    if (!dialog) {
        // No one to ask (batch, tests): the picture with its lanes.
        m_printParts.image = true;
        return true;
    }
    PrintParts parts;
    if (!dialog(DialogParent(), CanPrintReport(), CanPrintGraph(), parts))
        return false;
    // A part whose window is gone cannot be printed, whatever came back.
    parts.report = parts.report && CanPrintReport();
    parts.graph = parts.graph && CanPrintGraph();
    m_printParts = parts;
    return true;
}

int Analysis1DView::PageCount() const
{
    return int(m_printParts.image) + int(m_printParts.report) + int(m_printParts.graph);
}

void Analysis1DView::OnPrint(QPainter *pDC, const CRect &pageRect, int page)
{
    if (!pDC || page < 0)
        return;
    int index = 0;
    if (m_printParts.image && page == index++) {
        PrintPage(pDC, pageRect);
        return;
    }
    Analysis1D *analysis = GetAnalysis();
    const ResultPrinter &printer = resultPrinter();
    if (m_printParts.report && page == index++) {
        if (analysis && printer)
            printer(*analysis, ResultPart::Report, pDC, pageRect);
        return;
    }
    if (m_printParts.graph && page == index++) {
        if (analysis && printer)
            printer(*analysis, ResultPart::Graph, pDC, pageRect);
    }
}

void Analysis1DView::OnEndPrinting()
{
    m_printParts = PrintParts();
}

// --- seams ----------------------------------------------------------------------------------

void Analysis1DView::SetPromptDialogFactory(PromptDialogFactory factory)
{
    promptFactory() = std::move(factory);
}

void Analysis1DView::SetPrintOptionsDialog(PrintOptionsDialog dialog)
{
    printOptionsDialog() = std::move(dialog);
}

void Analysis1DView::SetResultPrinter(ResultPrinter printer)
{
    resultPrinter() = std::move(printer);
}

// --- command registration ----------------------------------------------------------------------

void Analysis1DView::RegisterCommands(CommandRegistry &registry)
{
    CDensoraView::RegisterCommands(registry);
    using namespace Analysis1DCmd;
    const auto canEdit = [this] { return CanEditLanesAndBands(); };
    const auto noWizard = [this] {
        const Analysis1D *analysis = GetAnalysis();
        return !analysis || !analysis->IsWizardRunning();
    };
    const auto tool
        = [this](ToolType type) { return [this, type] { return GetCurrentToolType() == type; }; };

    registry.add(
        Start, QStringLiteral("Start"), [this] { OnButtonAnalysisStart(); },
        [this] { return CanStartAnalysis(); });
    registry.add(
        DrawBand, QStringLiteral("Draw Band"), [this] { OnButtonAnalysisDrawBand(); }, canEdit,
        tool(toolBandDraw));
    registry.add(
        AutoDetect, QStringLiteral("Auto Detect"), [this] { OnButtonDetect(); }, canEdit);
    registry.add(
        AddLane, QStringLiteral("Add Lane"), [this] { OnButtonAnalysisAddLane(); }, canEdit,
        tool(toolLaneAdd));
    registry.add(
        DeleteLane, QStringLiteral("Delete Lane"), [this] { OnButtonAnalysisDelLane(); }, canEdit,
        tool(toolLaneDelete));
    registry.add(
        AddBand, QStringLiteral("Add Band"), [this] { OnButtonAnalysisAddBand(); }, canEdit,
        tool(toolBandAdd));
    registry.add(
        DeleteBand, QStringLiteral("Delete Band"), [this] { OnButtonAnalysisDelBand(); }, canEdit,
        tool(toolBandDelete));
    registry.add(
        ViewCalibrationValues, QStringLiteral("View Calibration Values"),
        [this] { OnButtonAssignAnalysisAmount(); },
        [this, canEdit] {
            const Analysis1D *analysis = GetAnalysis();
            return canEdit() && analysis->GetNumberOfLanes() > 0;
        });

    // Band and lane menus.
    registry.add(
        BandAssignKnownValues, QStringLiteral("Assign known values"),
        [this] { OnButtonAnalysisAssignKnownAmounts(); },
        [this, canEdit] { return canEdit() && getSelectedBand(); });
    registry.add(
        BandDelete, QStringLiteral("Delete"), [this] { OnPopUpMenuAnalysisDelBand(); },
        [this, canEdit] { return canEdit() && getSelectedBand(); });
    registry.add(
        BandProperties, QStringLiteral("Properties"), [this] { OnPopUpMenuProperties(); },
        [this] { return getSelectedBand() != nullptr; });
    registry.add(
        LaneAssignLadder, QStringLiteral("Assign MW Ladder"),
        [this] { OnPopUpMenuAnalysisAssignLadder(); },
        [this, canEdit] { return canEdit() && getSelectedLane(); });
    registry.add(
        LaneDelete, QStringLiteral("Delete"), [this] { OnPopUpMenuAnalysisDelLane(); },
        [this, canEdit] { return canEdit() && getSelectedLane() && !getSelectedBand(); });
    registry.add(
        LaneProperties, QStringLiteral("Properties"), [this] { OnPopUpMenuProperties(); },
        [this] { return getSelectedLane() != nullptr; });

    // The view's other analysis commands.
    const auto hasAnalysis = [this] { return GetAnalysis() != nullptr; };
    registry.add(
        Analysis1DCmd::AnalysisArea, QStringLiteral("Analysis Area"),
        [this] { OnActionAnalysisArea(); }, hasAnalysis, tool(toolAnalysisArea));
    registry.add(
        Analysis1DCmd::BackgroundArea, QStringLiteral("Background Area"),
        [this] { OnButtonAnalysisBackground(); }, canEdit, tool(toolBackgroundArea));
    registry.add(
        Analysis1DCmd::ExampleBand, QStringLiteral("Example Band"),
        [this] { OnActionDrawExampleBand(); },
        [this] {
            const Analysis1DDoc *doc = GetAnalysisDoc();
            return GetAnalysis() && doc->GetAnalysisArea();
        },
        tool(toolExampleBand));
    registry.add(
        SetDyeFrontAndWells, QStringLiteral("Dye Front and Loading Wells"),
        [this] { OnActionSetDyeFrontAndWells(); },
        [this] {
            const Analysis1DDoc *doc = GetAnalysisDoc();
            return GetAnalysis() && doc->GetAnalysisArea();
        });
    registry.add(
        EditBand, QStringLiteral("Edit Band"), [this] { OnButtonAnalysisEditBand(); }, canEdit,
        tool(toolBandEdit));
    registry.add(
        DrawLane, QStringLiteral("Draw Lane"), [this] { OnButtonAnalysisDrawLane(); }, canEdit,
        tool(toolLaneDraw));
    registry.add(
        AssignKnownAmounts, QStringLiteral("Assign Known Amounts"),
        [this] { SetCurrentToolType(toolBandSelectOD); },
        [this, canEdit] {
            const Analysis1D *analysis = GetAnalysis();
            return canEdit() && analysis->GetNumberOfLanes() > 0;
        },
        tool(toolBandSelectOD));
    registry.add(
        AnalysisReport, QStringLiteral("Analysis Report..."), [this] { OnFileAnalysisReport(); },
        [this] {
            const Analysis1D *analysis = GetAnalysis();
            return analysis && !analysis->IsWizardRunning() && analysis->GetNumberOfLanes() > 0;
        });
    registry.add(
        SaveImageWithOverlay, QStringLiteral("Save Image with Overlay..."),
        [this] { OnSaveImageWithBurntOverlay(); },
        [this] {
            const Analysis1DDoc *doc = GetAnalysisDoc();
            return doc && doc->GetDrawImage();
        });

    // Editing: lanes and bands are deleted from their analysis; nothing is
    // undone or deleted behind a running wizard's back.
    registry
        .add(
            DensoraCmd::EditClear, QStringLiteral("Delete"), [this] { OnEditDelete(); },
            [this] { return CanDeleteAnalysisSelection(); })
        ->setShortcut(QKeySequence::Delete);
    registry
        .add(
            DensoraCmd::EditCut, QStringLiteral("Cut"), [this] { OnEditCut(); },
            [this] { return CanDeleteAnalysisSelection(); })
        ->setShortcut(QKeySequence::Cut);
    registry
        .add(
            DensoraCmd::EditCopy, QStringLiteral("Copy"), [this] { copyDocumentObjects(); },
            [this] {
                const Analysis1DDoc *doc = GetAnalysisDoc();
                for (CDrawObject *obj : m_selection) {
                    if (doc && doc->GetObjects().contains(obj))
                        return true;
                }
                return false;
            })
        ->setShortcut(QKeySequence::Copy);
    registry.add(
        DensoraCmd::EditUndo, QStringLiteral("Undo"), [this] { OnEditUndo(); },
        [this, noWizard] {
            const CDensoraDoc *doc = GetDensoraDoc();
            return noWizard() && doc && doc->CanUndo();
        });
    registry.add(
        DensoraCmd::EditRedo, QStringLiteral("Redo"), [this] { OnEditRedo(); },
        [this, noWizard] {
            const CDensoraDoc *doc = GetDensoraDoc();
            return noWizard() && doc && doc->CanRedo();
        });
}
