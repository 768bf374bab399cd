// The analysis in the document's undo steps. The undo manager takes the
// document's objects; the lanes and bands live in the analysis controller, so
// each step also keeps a copy of the analysis as it was, and undo and redo put
// it back after the objects it belongs to.

#include "analysis1d/engine/Analysis1DDoc.h"

#include "analysis1d/calibration/CalibrationManager.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Lane.h"
#include "imaging/RasterImageGS16.h"
#include "platform/CArchive.h"
#include "platform/Exceptions.h"

#include <QBuffer>

namespace {

struct AnalysisUndoState : CUndoRedoManager::DocumentState
{
    bool hasAnalysis = false;
    CArray<Lane> lanes;
    int whiteOnBlack = 1;
    double threshold = Analysis1D::kDefaultPeakHeightThreshold;
    // The analysis image the lanes were measured on (shared, not copied) and
    // what it was cut for. The picture or the area may have changed since,
    // or the area be gone while a new one is drawn: a new cut would no
    // longer fit the lanes.
    std::shared_ptr<RasterImageGS16> image;
    CRect imageRect;
    int imageTone = 1;
    // The calibration manager in its stored form.
    QByteArray calibration;
};

} // namespace

std::unique_ptr<CUndoRedoManager::DocumentState> Analysis1DDoc::CaptureUndoState() const
{
    auto state = std::make_unique<AnalysisUndoState>();
    const Analysis1D *analysis = m_pAnalysis.get();
    if (!analysis)
        return state;
    state->hasAnalysis = true;
    state->lanes.Copy(*const_cast<Analysis1D *>(analysis)->GetLanes());
    state->whiteOnBlack = analysis->GetWhiteOnBlack();
    state->threshold = analysis->GetPeakHeightThreshold();
    state->image = analysis->ShareAnalysisImage();
    state->imageRect = analysis->GetAnalysisImageRect();
    state->imageTone = analysis->GetAnalysisImageTone();
    if (const CalibrationManager *manager = analysis->GetCalibrationManager()) {
        QBuffer buffer(&state->calibration);
        buffer.open(QIODevice::WriteOnly);
        CArchive ar(&buffer, CArchive::store);
        ar.m_pDocument = const_cast<Analysis1DDoc *>(this);
        ar.WriteObject(manager);
        ar.Close();
    }
    return state;
}

void Analysis1DDoc::RestoreUndoState(const CUndoRedoManager::DocumentState *pState)
{
    const auto *state = dynamic_cast<const AnalysisUndoState *>(pState);
    if (!state)
        return;
    if (!state->hasAnalysis) {
        // The step was recorded before the analysis began.
        if (m_pAnalysis)
            SetAnalysis(nullptr);
        return;
    }
    Analysis1D *analysis = m_pAnalysis.get();
    if (!analysis)
        analysis = CreateAnalysis();
    // The picture object was exchanged with the step's: the analysis must cut
    // from the document's picture, never from one kept in the undo history.
    analysis->SetAnalysisImage(GetImage());
    analysis->SetWhiteOnBlack(state->whiteOnBlack);
    analysis->SetPeakHeightThreshold(state->threshold);
    CArray<Lane> &lanes = *analysis->GetLanes();
    lanes.Copy(state->lanes);
    for (Lane &lane : lanes) {
        lane.m_pDocument = this;
        for (Band &band : *lane.GetBands())
            band.m_pDocument = this;
    }
    if (!state->calibration.isEmpty()) {
        QByteArray bytes = state->calibration;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        CArchive ar(&buffer, CArchive::load);
        ar.m_pDocument = this;
        analysis->SetCalibrationManager(ar.ReadOwnedObject<CalibrationManager>());
    }
    analysis->RestoreAnalysisImage(state->image, state->imageRect, state->imageTone);
    // The report and the graph show the restored lanes.
    analysis->UpdateReportAndGraph();
}
