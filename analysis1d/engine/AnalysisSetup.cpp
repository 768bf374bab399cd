#include "analysis1d/engine/AnalysisSetup.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/DyeFront.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/LoadingWells.h"
#include "imaging/TVFImage.h"
#include "platform/Exceptions.h"

#include <memory>

AnalysisSetup::AnalysisSetup(Analysis1DDoc &document) : m_document(document) { }

bool AnalysisSetup::IsAnalysableGrey(const TVFImage &image)
{
    if (image.isHighResGrayscale())
        return true;
    return image.getImageType() == FIT_BITMAP && image.getBitsPerPixel() == 8
        && image.isGrayscale();
}

COLORREF AnalysisSetup::ReferenceLineColour(int whiteOnBlack)
{
    return whiteOnBlack == 1 ? kReferenceLineLight : kReferenceLineDark;
}

// A step without a begun analysis is a fault of the caller, not of the user.
Analysis1D &AnalysisSetup::analysis() const
{
    Analysis1D *analysis = m_document.GetAnalysis();
    if (!analysis)
        throw CInvalidArgException();
    return *analysis;
}

Analysis1D *AnalysisSetup::Begin()
{
    m_document.RemoveAnalysis();
    return m_document.CreateAnalysis();
}

void AnalysisSetup::SetTone(int choice)
{
    analysis().WhiteOnBlackSet(choice);
}

// Each placing step asks for the analysis before it places anything.
bool AnalysisSetup::SetAnalysisArea(const CRect &area)
{
    Analysis1D &begun = analysis();
    const TVFImage *image = m_document.GetImage();
    const CRect picture = image && image->isValid()
        ? CRect(0, 0, int(image->getWidth()), int(image->getHeight()))
        : CRect();
    m_document.RemoveAnlaysisArea();
    m_document.Add(std::make_unique<AnalysisArea>(area, picture).release());
    begun.FinalizeAnalysisArea();
    return begun.GetAnalysisRasterImage() != nullptr;
}

bool AnalysisSetup::FinishAnalysisArea()
{
    Analysis1D &begun = analysis();
    begun.FinalizeAnalysisArea();
    return begun.GetAnalysisRasterImage() != nullptr;
}

void AnalysisSetup::SetExampleBand(const CRect &band)
{
    Analysis1D &begun = analysis();
    const AnalysisArea *area = m_document.GetAnalysisArea();
    const CRect bound = area ? area->m_position : CRect();
    m_document.RemoveExampleBand();
    m_document.Add(std::make_unique<ExampleBand>(band, bound).release());
    begun.FinalizeExampleBand();
}

void AnalysisSetup::FinishExampleBand()
{
    analysis().FinalizeExampleBand();
}

// Each strip is placed as a line of zero height on its row; the shape makes
// it the strip centred on that row.
void AnalysisSetup::PlaceReferenceLines(std::optional<int> dyeFrontRow, std::optional<int> wellsRow)
{
    const COLORREF colour = ReferenceLineColour(analysis().GetWhiteOnBlack());
    const AnalysisArea *analysisArea = m_document.GetAnalysisArea();
    if (!analysisArea)
        return;
    const CRect area = analysisArea->m_position;
    m_document.RemoveDyeFront();
    m_document.RemoveLoadingWells();
    if (dyeFrontRow) {
        auto dyeFront = std::make_unique<DyeFront>(
            CRect(area.left, *dyeFrontRow, area.right, *dyeFrontRow), area);
        dyeFront->m_lineColor = colour;
        m_document.Add(dyeFront.release());
    }
    if (wellsRow) {
        auto wells = std::make_unique<LoadingWells>(
            CRect(area.left, *wellsRow, area.right, *wellsRow), area);
        wells->m_lineColor = colour;
        m_document.Add(wells.release());
    }
}

void AnalysisSetup::PlaceReferenceLinesAtDefaults()
{
    const AnalysisArea *analysisArea = m_document.GetAnalysisArea();
    if (!analysisArea)
        return;
    CRect area = analysisArea->m_position;
    area.NormalizeRect();
    PlaceReferenceLines(area.bottom - m_document.GetDyeFrontDistance(),
                        area.top + m_document.GetWellDistance());
}

void AnalysisSetup::Finish()
{
    analysis().WizardEnded();
}

bool AnalysisSetup::Run(const Shapes &shapes)
{
    SetTone(shapes.objectsDarker ? 1 : 0);
    if (!SetAnalysisArea(shapes.area))
        return false;
    SetExampleBand(shapes.exampleBand);
    PlaceReferenceLines(shapes.dyeFrontRow, shapes.wellsRow);
    Finish();
    return true;
}

void AnalysisSetup::Detect(double threshold)
{
    analysis().DetectLanesAndBands(threshold);
}

bool AnalysisSetup::Detect(double threshold, const Analysis1D::DetectionProgress &progress)
{
    return analysis().DetectLanesAndBands(threshold, progress);
}
