#include "analysis1d/engine/Analysis1D.h"

#include "analysis1d/calibration/CalibrationManager.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/BandDetector.h"
#include "analysis1d/engine/DyeFront.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/LaneDetector.h"
#include "analysis1d/engine/LaneProfileData.h"
#include "analysis1d/engine/LoadingWells.h"
#include "analysis1d/engine/UserDrawnBand.h"
#include "contracts/overlay/CDrawObject.h"
#include "contracts/overlay/CDrawView.h"
#include "imaging/ImageProcessing.h"
#include "imaging/RasterImageGS16.h"
#include "imaging/TVFImage.h"
#include "platform/CArchive.h"
#include "platform/Exceptions.h"
#include "platform/Prompts.h"

#include <algorithm>
#include <cmath>
#include <vector>

IMPLEMENT_SERIAL(Analysis1D, Analysis, VERSIONABLE_SCHEMA | 4)

namespace {

int roundHalfUp(double v)
{
    return int(std::floor(v + 0.5));
}

// The contour percentage of the band outline search when there is no
// document to take the option from (the option's own default).
constexpr int kDefaultBoundryPercentage = 30;

} // namespace

Analysis1D::Analysis1D() : m_pCalibrationManager(std::make_unique<CalibrationManager>(this))
{
    m_nVersion = kCurrentVersion;
}

// The result windows are bound to this analysis, so they go with it: left
// alive they would call back into a destroyed controller.
Analysis1D::~Analysis1D()
{
    // The document forgets the lanes in its views before it destroys its
    // analysis (and may itself be gone by now).
    m_Lanes.RemoveAll();
    destroyDialogs();
    DestroyReportAndGraph();
}

QString Analysis1D::GetTitle() const
{
    return QStringLiteral("1D Gel Analysis");
}

void Analysis1D::SetCalibrationManager(std::unique_ptr<CalibrationManager> manager)
{
    if (!manager)
        return;
    m_pCalibrationManager = std::move(manager);
    m_pCalibrationManager->SetAnalysis(this);
}

void Analysis1D::ClearDetectionData()
{
    ForgetLanesInViews();
    m_Lanes.RemoveAll();
}

// Lanes and bands live by value in their arrays: adding or removing one may
// move every other, so views and tools must not keep pointing at them.
void Analysis1D::ForgetLanesInViews()
{
    if (!m_pDocument)
        return;
    for (CDrawView *view : m_pDocument->GetViews()) {
        view->DeselectAllObjects();
        view->ForgetInTools(nullptr);
    }
}

AnalysisArea *Analysis1D::GetAnalysisArea() const
{
    return m_pDocument ? m_pDocument->GetAnalysisArea() : nullptr;
}

Analysis1DOptions *Analysis1D::GetAnalysisOptions() const
{
    return m_pDocument ? &m_pDocument->GetAnalysisOptions() : nullptr;
}

void Analysis1D::setModified()
{
    if (m_pDocument)
        m_pDocument->SetModifiedFlag(true);
}

// ---------------------------------------------------------------------------
// Set-up steps that need no dialog

void Analysis1D::WhiteOnBlackSet(int choice)
{
    if (choice == 0)
        m_WhiteOnBlack = 1;
    else if (choice == 1)
        m_WhiteOnBlack = 0;
}

void Analysis1D::AnalysisAreaDrawn()
{
    if (AnalysisArea *area = GetAnalysisArea())
        area->SetEditable(true);
    enableWizardNext();
}

void Analysis1D::FinalizeAnalysisArea()
{
    AnalysisArea *area = GetAnalysisArea();
    if (!area)
        return;
    area->SetEditable(false);
    CreateAnalysisImage(area->m_position, m_WhiteOnBlack);
}

void Analysis1D::ExampleBandDrawn()
{
    if (m_pDocument) {
        if (ExampleBand *band = m_pDocument->GetExampleBand())
            band->SetEditable(true);
    }
    enableWizardNext();
}

void Analysis1D::FinalizeExampleBand()
{
    if (m_pDocument) {
        if (ExampleBand *band = m_pDocument->GetExampleBand())
            band->SetEditable(false);
    }
}

void Analysis1D::WizardEnded()
{
    m_WizardRunning = 0;
    if (!m_pDocument)
        return;
    if (AnalysisArea *area = m_pDocument->GetAnalysisArea())
        area->SetEditable(false);
    if (DyeFront *dyeFront = m_pDocument->GetDyeFront())
        dyeFront->SetEditable(false);
    if (LoadingWells *wells = m_pDocument->GetLoadingWells())
        wells->SetEditable(false);
    // The next analysis places its reference lines where the user left these.
    m_pDocument->StoreReferenceLineDistances();
    if (ExampleBand *band = m_pDocument->GetExampleBand())
        band->m_visible = 0;
}

// ---------------------------------------------------------------------------
// Images

void Analysis1D::CreateAnalysisImage(CRect rect, int objectsLighter)
{
    m_pAnalysisImage.reset();
    m_analysisImageRect = rect;
    m_analysisImageTone = objectsLighter;
    if (!m_pImage || !m_pImage->isValid())
        return;
    // Analysis coordinates count from the area's top-left corner, so that corner
    // must lie on the picture; the far edges are only held to it.
    rect.right = std::min(rect.right, int(m_pImage->getWidth()));
    rect.bottom = std::min(rect.bottom, int(m_pImage->getHeight()));
    if (rect.left < 0 || rect.top < 0 || rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    TVFImage copy;
    if (!m_pImage->copySubImage(copy, rect.left, rect.top, rect.right, rect.bottom))
        return;
    // Bands are always brighter than the background in the analysis image.
    if (objectsLighter == 0)
        copy.invertPixels();
    auto image = std::make_shared<RasterImageGS16>(&copy);
    if (image->getWidth() > 0 && image->getHeight() > 0)
        m_pAnalysisImage = std::move(image);
}

void Analysis1D::RestoreAnalysisImage(std::shared_ptr<RasterImageGS16> image,
                                      const CRect &rect, int objectsLighter)
{
    m_pAnalysisImage = std::move(image);
    m_analysisImageRect = rect;
    m_analysisImageTone = objectsLighter;
}

void Analysis1D::CreateBGImage(CRect rect)
{
    WaitCursor wait;
    const int kx = roundHalfUp(0.75 * (rect.right - rect.left));
    const int ky = roundHalfUp(0.75 * (rect.bottom - rect.top));
    if (!m_pAnalysisImage) {
        m_pBGImage.reset();
        m_pBGSubtractedImage.reset();
        return;
    }
    // The rasters of an earlier call are refilled in place (see
    // RasterImageGS16::copy); a failure leaves neither behind.
    try {
        // The minimum filter writes every pixel of the background raster and
        // the difference every pixel of the other: neither needs a copy of
        // the analysis image's pixels first, only its size and statistics.
        for (std::unique_ptr<RasterImageGS16> *raster : {&m_pBGImage, &m_pBGSubtractedImage}) {
            if (!*raster)
                *raster = std::make_unique<RasterImageGS16>();
        }
        m_pBGImage->copyShape(*m_pAnalysisImage);
        ImageProcessing::generateBGViaMinFilter(m_pAnalysisImage.get(), m_pBGImage.get(), kx, ky);
        m_pBGSubtractedImage->setDifference(*m_pAnalysisImage, *m_pBGImage);
        ImageProcessing::smoothenViaAverageFilter(m_pBGSubtractedImage.get(), 3);
    } catch (...) {
        m_pBGImage.reset();
        m_pBGSubtractedImage.reset();
        throw;
    }
}

// ---------------------------------------------------------------------------
// Sizes and reference rows

int Analysis1D::GetLaneWidth() const
{
    const ExampleBand *band = m_pDocument ? m_pDocument->GetExampleBand() : nullptr;
    return band ? band->m_position.right - band->m_position.left : 0;
}

int Analysis1D::GetBeamWidth() const
{
    return roundHalfUp(0.25 * GetLaneWidth());
}

int Analysis1D::getWellCenterY() const
{
    const LoadingWells *wells = m_pDocument ? m_pDocument->GetLoadingWells() : nullptr;
    if (!wells)
        return 0;
    const AnalysisArea *area = m_pDocument->GetAnalysisArea();
    return (wells->m_position.top + wells->m_position.bottom) / 2
        - (area ? area->m_position.top : 0);
}

int Analysis1D::getDyeFrontCenterY() const
{
    const DyeFront *dyeFront = m_pDocument ? m_pDocument->GetDyeFront() : nullptr;
    if (!dyeFront)
        return m_pAnalysisImage ? m_pAnalysisImage->getHeight() - 1 : 0;
    const AnalysisArea *area = m_pDocument->GetAnalysisArea();
    return (dyeFront->m_position.top + dyeFront->m_position.bottom) / 2
        - (area ? area->m_position.top : 0);
}

// ---------------------------------------------------------------------------
// Detection

void Analysis1D::DetectLanesAndBands(double threshold)
{
    DetectLanesAndBands(threshold, DetectionProgress());
}

bool Analysis1D::DetectLanesAndBands(double threshold, const DetectionProgress &progress)
{
    WaitCursor wait;
    const auto goOn = [&progress](int done, int total) { return !progress || progress(done, total); };
    // Shown in a window, every detection is a step the user can undo (the
    // batch tool, without views, keeps no history).
    const bool recorded = m_pDocument && !m_pDocument->GetViews().isEmpty();
    const QString caption = QStringLiteral("Detect");
    if (recorded) {
        // A selected lane or band is about to go; a repaint while the progress
        // shows must not draw its tracker.
        for (CDrawView *view : m_pDocument->GetViews())
            view->DeselectAllObjects();
        m_pDocument->SaveActionStart(caption);
        m_pDocument->SaveActionGroup(caption);
    }
    // What a cancel gives back.
    CArray<Lane> previous;
    if (progress)
        previous.Copy(m_Lanes);
    const double previousThreshold = m_PeakHeightThreshold;
    const auto cancel = [&] {
        m_Lanes = std::move(previous);
        m_PeakHeightThreshold = previousThreshold;
        if (recorded)
            m_pDocument->SaveActionCancel(caption);
        return false;
    };
    if (!goOn(0, 0))
        return cancel();

    ClearDetectionData();
    m_PeakHeightThreshold = threshold;
    // Without an analysis image or an example band (the expected lane width)
    // there is nothing to look for.
    if (m_pAnalysisImage && GetLaneWidth() > 0) {
        LaneDetector detector(m_pAnalysisImage.get());
        detector.detect(GetLaneWidth(), m_pDocument ? m_pDocument->GetTitle() : QString());
        const int total = detector.GetLanes().GetSize();
        int done = 0;
        for (const HorizontalBoundary &found : detector.GetLanes()) {
            if (!goOn(done, total))
                return cancel();
            const int centerX = roundHalfUp((found.GetLeft() + found.GetRight()) * 0.5);
            Lane lane = DetectBandsAndGetItsLane(centerX, threshold);
            AddLaneToArray(&lane, -1);
            setModified();
            ++done;
        }
        if (!goOn(done, total))
            return cancel();
        setLaneBoundries();
    }
    if (recorded)
        m_pDocument->SaveActionEnd(caption);
    setModified();
    if (m_pDocument)
        m_pDocument->UpdateAllViews(nullptr);
    return true;
}

Lane Analysis1D::DetectBandsAndGetItsLane(int centerX, double threshold, int columnLeft,
                                          int columnRight)
{
    RasterImageGS16 *image = m_pAnalysisImage.get();
    if (!image)
        return Lane();
    const int width = image->getWidth();
    const int height = image->getHeight();
    const int exampleWidth = GetLaneWidth();
    const ExampleBand *example = m_pDocument ? m_pDocument->GetExampleBand() : nullptr;
    const int exampleHeight = example ? example->m_position.bottom - example->m_position.top : 0;
    const AnalysisArea *area = GetAnalysisArea();
    const CRect areaRect = area ? area->m_position : CRect(0, 0, width, height);
    const Analysis1DOptions *options = GetAnalysisOptions();
    const int contour
        = options ? options->m_BandsOptions.m_BoundryPercentage : kDefaultBoundryPercentage;

    // Reference rows of the measurements made while the lane is built; without
    // a dye front the detection measures to the image height (the full
    // recalculation, CalculateAnalysisData, uses the last row).
    const int wellY = getWellCenterY();
    int dyeFrontY = height;
    if (const DyeFront *dyeFront = m_pDocument ? m_pDocument->GetDyeFront() : nullptr)
        dyeFrontY = (dyeFront->m_position.top + dyeFront->m_position.bottom) / 2 - areaRect.top;

    LaneProfileData profileData(image);
    profileData.SetCenterLine(centerX);
    profileData.CalculateProfile(image, GetBeamWidth());

    BandDetector detector(&profileData, image);
    detector.FindCandidates(threshold);
    detector.LocateAllAcross(exampleWidth);

    // Check every located candidate across the lane: its outline must be wider
    // than most of an example band.
    std::vector<Band> accepted;
    for (int k = 0; k < detector.GetCandidateCount(); ++k) {
        const BandData candidate = detector.GetCandidate(k);
        if (!candidate.m_valid)
            continue;
        Band band(candidate, areaRect);
        band.m_pDocument = m_pDocument;
        band.getData()->m_centerOfGravity
            = ImageProcessing::findCenterOfMass3D(image, band.m_position);
        band.FindBroundryPoints(image, contour, 1, 1, 1, 1);
        band.getData()->m_centerOfGravity
            = ImageProcessing::findCenterOfMass3D(image, band.m_position);
        band.FindBroundryPoints(image, contour, 1, 1, 0, 0);
        const float bandWidth = float(band.m_position.right - band.m_position.left);
        if (bandWidth > 0.8f * float(exampleWidth)) {
            band.CalculateData(image, profileData.GetBackground(), profileData.GetProfile(), wellY,
                               dyeFrontY);
            const int x = band.getData()->m_centerOfGravity.x;
            if (x >= columnLeft && x < columnRight)
                accepted.push_back(band);
        }
    }

    // Re-centre the lane on its bands and size the background window to the
    // tallest of them (at least an example band).
    int tallest = exampleHeight;
    double sumX = 0.0;
    for (const Band &band : accepted) {
        tallest = std::max(tallest, band.m_position.bottom - band.m_position.top);
        sumX += band.getData()->m_centerOfGravity.x;
    }
    if (!accepted.empty())
        centerX = roundHalfUp(sumX / double(accepted.size()));
    const int window = roundHalfUp(1.5 * tallest);

    profileData.SetCenterLine(centerX);
    CIntDataArray profile;
    CIntDataArray background;
    profileData.CalculateProfile(image, GetBeamWidth(), &profile);
    LaneProfileData::CalculateBackground(&profile, window, &background);

    const int left = std::max({0, columnLeft, roundHalfUp(centerX - 0.5 * exampleWidth)});
    const int right = std::min(
        {areaRect.Width() - 1, columnRight, roundHalfUp(centerX + 0.5 * exampleWidth)});
    Lane lane(CRect(left, 0, right, height), CRect(), areaRect, profileData.GetCenterLine(),
              profile, background);
    lane.m_pDocument = m_pDocument;
    // The lane keeps the decomposition its bands were measured against; the
    // lane graph and the report read it from the lane.
    lane.SetGaussians(detector.GetGaussians());
    // Measuring after every insertion would measure every band again each
    // time; a band's measurement does not depend on the others, and the
    // lane's fractions are those of the last pass, so one pass after all the
    // insertions gives the same lane.
    for (const Band &band : accepted)
        lane.InsertBand(band, lane.GetNumberOfBands());
    if (!accepted.empty())
        lane.CalculateBandsData(image, wellY, dyeFrontY);
    return lane;
}

// ---------------------------------------------------------------------------
// Lane array

int Analysis1D::AddLaneToArray(Lane *pLane, int index)
{
    pLane->m_pDocument = m_pDocument;
    ForgetLanesInViews();
    if (index != -1) {
        m_Lanes.InsertAt(index, *pLane);
        setModified();
        return index;
    }
    m_Lanes.Add(*pLane);
    setModified();
    return m_Lanes.GetSize() - 1;
}

void Analysis1D::setLaneBoundries()
{
    CRect area;
    if (const AnalysisArea *analysisArea = GetAnalysisArea())
        area = CRect(0, 0, analysisArea->m_position.Width(), analysisArea->m_position.Height());
    else if (m_pAnalysisImage)
        area = CRect(0, 0, m_pAnalysisImage->getWidth(), m_pAnalysisImage->getHeight());
    const int count = m_Lanes.GetSize();
    if (count == 0)
        return;
    if (count == 1) {
        m_Lanes[0].SetBoundRect(area);
        m_Lanes[0].setBandBoundaries();
        return;
    }
    for (int i = 0; i < count; ++i) {
        CRect bound(0, 0, area.right, area.bottom);
        if (i > 0)
            bound.left = m_Lanes[i - 1].m_position.right;
        if (i < count - 1)
            bound.right = m_Lanes[i + 1].m_position.left;
        m_Lanes[i].SetBoundRect(bound);
        m_Lanes[i].setBandBoundaries();
    }
}

// A band's position point is its centre of gravity (analysis coordinates, like
// the lane rectangles).
Lane *Analysis1D::getLaneFromBand(const Band *pBand)
{
    if (!pBand)
        return nullptr;
    const CPoint point = pBand->getData()->m_centerOfGravity;
    for (Lane &lane : m_Lanes) {
        if (lane.m_position.PtInRect(point))
            return &lane;
    }
    return nullptr;
}

int Analysis1D::GetLaneIndexForAddition(const CPoint &point) const
{
    int x = point.x;
    if (const AnalysisArea *area = GetAnalysisArea())
        x -= area->m_position.left;
    const int count = m_Lanes.GetSize();
    if (count == 0)
        return 0;
    if (count == 1)
        return x > m_Lanes[0].m_position.right ? 1 : 0;
    if (x < m_Lanes[0].m_position.left)
        return 0;
    if (x > m_Lanes[count - 1].m_position.right)
        return count;
    for (int i = 0; i < count - 1; ++i) {
        if (m_Lanes[i].m_position.right < x && x < m_Lanes[i + 1].m_position.left)
            return i + 1;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// Editing through the tools

void Analysis1D::AddLaneViaTool(const CPoint &point, int index)
{
    CPoint p = point;
    if (m_pDocument)
        m_pDocument->Logical2Analysis(p);
    // Between its neighbours (index is where the point's gap lies; -1 appends).
    const int count = m_Lanes.GetSize();
    const int at = index < 0 || index > count ? count : index;
    const int columnLeft = at > 0 ? m_Lanes[at - 1].m_position.right : 0;
    const int columnRight
        = at < count ? m_Lanes[at].m_position.left : std::numeric_limits<int>::max();
    Lane lane = DetectBandsAndGetItsLane(p.x, m_PeakHeightThreshold, columnLeft, columnRight);
    AddLaneToArray(&lane, index);
    setModified();
    UpdateReportAndGraph();
}

void Analysis1D::AddBandViaTool(const CPoint &point, int lane, int bandIndex)
{
    int x = point.x;
    int y = point.y;
    if (const AnalysisArea *area = GetAnalysisArea()) {
        x -= area->m_position.left;
        y -= area->m_position.top;
    }
    Lane &target = GetLane(lane);
    ForgetLanesInViews();
    const ExampleBand *example = m_pDocument ? m_pDocument->GetExampleBand() : nullptr;
    const int bandHeight = example ? example->m_position.bottom - example->m_position.top : 0;
    const Analysis1DOptions *options = GetAnalysisOptions();
    const int contour
        = options ? options->m_BandsOptions.m_BoundryPercentage : kDefaultBoundryPercentage;
    target.AddBand(bandIndex, bandHeight, m_pAnalysisImage.get(), contour, x, y);
    target.setBandBoundaries();
    if (m_pAnalysisImage)
        target.CalculateBandsData(m_pAnalysisImage.get(), getWellCenterY(), getDyeFrontCenterY());
    setModified();
    UpdateReportAndGraph();
}

void Analysis1D::DeleteLaneViaTool(int lane)
{
    ForgetLanesInViews();
    m_Lanes.RemoveAt(lane);
    setLaneBoundries();
    setModified();
    UpdateReportAndGraph();
}

void Analysis1D::DeleteBandViaTool(int lane, int band)
{
    ForgetLanesInViews();
    GetLane(lane).RemoveBand(band);
    setModified();
    UpdateReportAndGraph();
}

// ---------------------------------------------------------------------------
// Measuring

void Analysis1D::CalculateAnalysisData()
{
    const int wellY = getWellCenterY();
    const int dyeFrontY = getDyeFrontCenterY();
    if (m_pAnalysisImage) {
        for (Lane &lane : m_Lanes)
            lane.CalculateBandsData(m_pAnalysisImage.get(), wellY, dyeFrontY);
    }
    m_pCalibrationManager->CalibrateIntensities();
    m_pCalibrationManager->CalibrateMolecularWeights();
    setModified();
}

int Analysis1D::CountSaturatedBands() const
{
    int count = 0;
    for (const Lane &lane : m_Lanes) {
        for (int b = 0; b < lane.GetNumberOfBands(); ++b)
            count += lane.GetBand(b).IsSaturated() ? 1 : 0;
    }
    return count;
}

void Analysis1D::CountSaturatedPixels()
{
    for (Lane &lane : m_Lanes) {
        for (Band &band : *lane.GetBands()) {
            if (m_pAnalysisImage)
                band.CountSaturatedPixels(m_pAnalysisImage.get());
            else
                band.getData()->m_saturatedPixels = 0;
        }
    }
}

// Without loading wells or a dye front the drawn bands are measured against
// the same reference rows as the detected ones (first and last analysis row).
void Analysis1D::GetUserDrawBands(CArray<Band> *pOut)
{
    if (!pOut || !m_pDocument || !m_pAnalysisImage)
        return;
    RasterImageGS16 *image = m_pAnalysisImage.get();
    const int wellY = getWellCenterY();
    const int dyeFrontY = getDyeFrontCenterY();
    const float window = 1.5f * float(GetLaneWidth());
    const int backgroundWindow = int(std::floor(window + 0.5f));
    const CRect imageRect(0, 0, image->getWidth(), image->getHeight());
    for (const UserDrawnBand *drawn : m_pDocument->GetAllUserDrawBands()) {
        Band band(*drawn);
        // A band drawn on an earlier analysis area may lie off the present
        // one: there is nothing of it to measure.
        CRect r = band.m_position;
        r.NormalizeRect();
        if (!imageRect.PtInRect(r.TopLeft()) || !imageRect.PtInRect(r.BottomRight()))
            continue;
        LaneProfileData profileData(image);
        profileData.SetCenterLine(band.getData()->m_centerOfGravity.x);
        CIntDataArray profile;
        CIntDataArray background;
        profileData.CalculateProfile(image, GetBeamWidth(), &profile);
        LaneProfileData::CalculateBackground(&profile, backgroundWindow, &background);
        band.CalculateData(image, &background, &profile, wellY, dyeFrontY);
        m_pCalibrationManager->CalibrateIntensities();
        m_pCalibrationManager->CalibrateMolecularWeights();
        pOut->Add(band);
    }
}

int Analysis1D::HasUserDrawnBands() const
{
    if (!m_pDocument)
        return 0;
    for (const CDrawObject *obj : m_pDocument->GetObjects()) {
        if (obj->IsKindOf(RUNTIME_CLASS(UserDrawnBand)))
            return 1;
    }
    return 0;
}

int Analysis1D::isODStardardsLoaded() const
{
    return m_pCalibrationManager->GetIntensityCurveType() != CalibrationManager::CurveNone ? 1 : 0;
}

int Analysis1D::isMWStandardsLoaded() const
{
    return 0;
}

// ---------------------------------------------------------------------------
// Storage

// Stored form (after the base part, which carries the analysis version):
//   version 4 (written):  int32 objects-lighter flag, double peak-height
//                         threshold, int32 lane count N, N lanes as objects,
//                         the calibration manager as an object
//   version 3 (read):     int32 flag, int32 ignored, double threshold, int32 N,
//                         N lanes as objects, the calibration manager in its
//                         old form (in place)
//   version 2 (read):     as version 3, but each lane in its oldest form, in
//                         place without a class tag
//   another version:      nothing more is read
// Storing without an analysis area or an example band tells the user and
// aborts the save (CUserException) before anything is written. Loading
// rebuilds the analysis image from the document's analysis area; afterwards
// the version is 4.
void Analysis1D::Serialize(CArchive &ar)
{
    if (ar.IsStoring()) {
        if (!m_pDocument || !m_pDocument->GetAnalysisArea()) {
            Prompts::instance().MessageBox(
                QStringLiteral("Cannot save the analysis, if no analysis area is drawn"));
            throw CUserException();
        }
        if (!m_pDocument->GetExampleBand()) {
            Prompts::instance().MessageBox(
                QStringLiteral("Cannot save the analysis, if no Example Band is drawn"));
            throw CUserException();
        }
        m_nVersion = kCurrentVersion;
        Analysis::Serialize(ar);
        ar << int32_t(m_WhiteOnBlack) << m_PeakHeightThreshold;
        ar << int32_t(m_Lanes.GetSize());
        for (const Lane &lane : m_Lanes)
            ar.WriteObject(&lane);
        ar.WriteObject(m_pCalibrationManager.get());
        return;
    }

    Analysis::Serialize(ar);
    const int version = m_nVersion;
    if (version < 2 || version > kCurrentVersion) {
        m_nVersion = kCurrentVersion;
        return;
    }
    int32_t whiteOnBlack = 1;
    ar >> whiteOnBlack;
    if (version != 4) {
        int32_t ignored = 0;
        ar >> ignored;
    }
    double threshold = 0.0;
    ar >> threshold;
    m_WhiteOnBlack = whiteOnBlack;
    m_PeakHeightThreshold = threshold;
    ClearDetectionData();
    loadLanes(ar, version == 2);
    if (version == 4) {
        std::unique_ptr<CalibrationManager> manager = ar.ReadOwnedObject<CalibrationManager>();
        SetCalibrationManager(std::move(manager));
    } else {
        m_pCalibrationManager->ReadOldVersion(ar);
    }
    rebuildAfterLoad(version == 2);
    checkLoadedLanes();
    if (version == 3)
        bringUp2Version4();
    // Saturation is not stored; the picture tells it again.
    CountSaturatedPixels();
    m_nVersion = kCurrentVersion;
}

void Analysis1D::loadLanes(CArchive &ar, bool oldestForm)
{
    int32_t count = 0;
    ar >> count;
    if (count < 0)
        throw CArchiveException(CArchiveException::badIndex);
    // Every lane takes at least a class reference (two bytes) in the input.
    ar.EnsureAvailable(qint64(count) * 2);
    // The lanes read stay alive until all are copied, so a reference back to
    // one of them is recognised (and refused) instead of reaching a freed lane.
    for (int32_t i = 0; i < count; ++i) {
        if (oldestForm) {
            Lane lane;
            lane.ReadOldVersion(ar);
            lane.m_pDocument = m_pDocument;
            m_Lanes.Add(lane);
            continue;
        }
        // Each lane is appended by copy; the object read is ours alone.
        std::unique_ptr<Lane> lane = ar.ReadOwnedObject<Lane>();
        if (!lane)
            throw CArchiveException(CArchiveException::badClass);
        lane->m_pDocument = m_pDocument;
        m_Lanes.Add(*lane);
    }
}

// What a lane read from a file holds is used later as row and column numbers
// of the analysis image (measuring its bands indexes the lane's profile and
// background by the bands' rows; a band's contour becomes one span list per
// row it covers). A lane its own analysis could not have made is refused
// here, as a damaged file, rather than when a band is measured or drawn:
// the three arrays hold one value per analysis-image row, the centre line
// lies on the image, every band's top and bottom rows are rows of the
// profile, and its contour points lie on the image or its far edges.
void Analysis1D::checkLoadedLanes() const
{
    const RasterImageGS16 *image = m_pAnalysisImage.get();
    const auto refuse = [] { throw CArchiveException(CArchiveException::badIndex); };
    for (const Lane &lane : m_Lanes) {
        const int rows = lane.GetProfile()->GetSize();
        if (lane.GetBackground()->GetSize() != rows || lane.GetCenterLine()->GetSize() != rows)
            refuse();
        if (!image)
            continue;
        const int width = image->getWidth();
        const int height = image->getHeight();
        if (rows != height)
            refuse();
        for (int x : lane.GetCenterLine()->vector()) {
            if (x < 0 || x >= width)
                refuse();
        }
        for (const Band &band : lane.GetBands()->vector()) {
            const CRect &r = band.m_position;
            if (r.top < 0 || r.top >= rows || r.bottom < 0 || r.bottom >= rows)
                refuse();
            const BandData *data = band.getData();
            for (const CPointArray *contour : {&data->m_leftBoundary, &data->m_topBoundary,
                                               &data->m_rightBoundary, &data->m_bottomBoundary}) {
                for (const CPoint &p : contour->vector()) {
                    if (p.x < 0 || p.x > width || p.y < 0 || p.y > height)
                        refuse();
                }
            }
        }
    }
}

void Analysis1D::rebuildAfterLoad(bool withBackground)
{
    if (!m_pDocument)
        return;
    if (AnalysisArea *area = m_pDocument->GetAnalysisArea()) {
        area->SetEditable(false);
        CreateAnalysisImage(area->m_position, m_WhiteOnBlack);
    }
    if (ExampleBand *example = m_pDocument->GetExampleBand()) {
        example->SetEditable(false);
        if (withBackground)
            CreateBGImage(example->m_position);
    }
}

void Analysis1D::bringUp2Version4()
{
    const AnalysisArea *area = GetAnalysisArea();
    const CRect areaRect = area ? area->m_position : CRect();
    for (Lane &lane : m_Lanes) {
        lane.SetAnalysisArea(areaRect);
        lane.SetEditable(true);
        for (Band &band : *lane.GetBands()) {
            band.SetAnalysisArea(areaRect);
            band.SetEditable(true);
        }
    }
    setLaneBoundries();
}
