#include "analysis1d/calibration/CalibrationManager.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/BackgroundArea.h"
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/DyeFront.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/LaneProfileData.h"
#include "analysis1d/engine/LoadingWells.h"
#include "analysis1d/engine/UserDrawnBand.h"
#include "contracts/overlay/COffscreenDrawView.h"
#include "imaging/CDrawImage.h"
#include "imaging/RasterImageGS16.h"
#include "imaging/TVFImage.h"
#include "platform/CArchive.h"
#include "platform/Exceptions.h"
#include "platform/ProfileStore.h"
#include "platform/Prompts.h"

#include <FreeImage.h>
#include <QBuffer>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <memory>

namespace {

using PixelFunction = std::function<int(int x, int y)>;

// A grey picture (8 or 16 bits) whose pixel (x, y), row 0 at the top, is value(x, y).
FIBITMAP *makeBitmap(int width, int height, int bits, const PixelFunction &value)
{
    FIBITMAP *dib = bits == 16 ? FreeImage_AllocateT(FIT_UINT16, width, height, 16)
                               : FreeImage_Allocate(width, height, 8);
    if (bits == 8) {
        RGBQUAD *palette = FreeImage_GetPalette(dib);
        for (int i = 0; i < 256; ++i)
            palette[i] = RGBQUAD {BYTE(i), BYTE(i), BYTE(i), 0};
    }
    for (int y = 0; y < height; ++y) {
        BYTE *line = FreeImage_GetScanLine(dib, unsigned(height - 1 - y));
        for (int x = 0; x < width; ++x) {
            if (bits == 16)
                reinterpret_cast<uint16_t *>(line)[x] = uint16_t(value(x, y));
            else
                line[x] = BYTE(value(x, y));
        }
    }
    return dib;
}

// Gel of the controller tests: 130 x 110 pixels, background 10, one bright
// block at gel columns 45..64, rows 52..62. The analysis area (5, 7)-(125, 108)
// makes the analysis image 120 x 101 with the block at columns 40..59, rows 45..55.
const CRect kArea(5, 7, 125, 108);
int blockGel(int x, int y)
{
    return (x >= 45 && x < 65 && y >= 52 && y < 63) ? 200 : 10;
}

class Analysis1DTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_previousStore = ProfileStore::install(std::make_unique<MemoryProfileStore>());
        m_doc = std::make_unique<Analysis1DDoc>();
        m_analysis = std::make_unique<Analysis1D>();
        m_analysis->SetAnalysisDocument(m_doc.get());
    }
    void TearDown() override
    {
        m_analysis.reset();
        m_doc.reset();
        ProfileStore::install(std::move(m_previousStore));
    }

    void addImage(int width, int height, int bits, const PixelFunction &value)
    {
        auto *drawImage = new CDrawImage;
        drawImage->Create(width, height, 8, nullptr);
        *drawImage->GetImage() = makeBitmap(width, height, bits, value);
        drawImage->SizeToImage();
        m_doc->Add(drawImage);
        m_analysis->SetAnalysisImage(drawImage->GetImage());
    }
    AnalysisArea *addArea(const CRect &area)
    {
        auto *shape = new AnalysisArea(area, CRect(0, 0, 1000, 1000));
        m_doc->Add(shape);
        return shape;
    }
    ExampleBand *addExampleBand(const CRect &rect)
    {
        auto *shape = new ExampleBand(rect, kArea);
        m_doc->Add(shape);
        return shape;
    }
    // The block gel with its area, analysis image and an example band of 20 x 10.
    void setUpBlockGel()
    {
        addImage(130, 110, 8, blockGel);
        addArea(kArea);
        addExampleBand(CRect(45, 52, 65, 62));
        m_analysis->CreateAnalysisImage(kArea, 1);
        ASSERT_NE(m_analysis->GetAnalysisRasterImage(), nullptr);
    }
    // A lane over the block, centred at analysis column 50, with its one band
    // over the block (analysis coordinates).
    Lane blockLane()
    {
        RasterImageGS16 *image = m_analysis->GetAnalysisRasterImage();
        LaneProfileData data(image);
        data.SetCenterLine(50);
        CIntDataArray profile;
        CIntDataArray background;
        data.CalculateProfile(image, m_analysis->GetBeamWidth(), &profile);
        LaneProfileData::CalculateBackground(&profile, 30, &background);
        Lane lane(CRect(40, 0, 60, image->getHeight()), CRect(), kArea, data.GetCenterLine(),
                  profile, background);
        BandData record;
        record.m_detectedRect = CRect(40, 45, 59, 55);
        record.m_valid = true;
        lane.InsertBand(Band(record, kArea), 0);
        return lane;
    }
    // A bare lane spanning columns left..right.
    static Lane laneAt(int left, int right)
    {
        Lane lane;
        lane.m_position = CRect(left, 0, right, 101);
        return lane;
    }

    std::unique_ptr<ProfileStore> m_previousStore;
    std::unique_ptr<Analysis1DDoc> m_doc;
    std::unique_ptr<Analysis1D> m_analysis;
};

// Construction and queries --------------------------------------------------------

TEST_F(Analysis1DTest, StartsEmptyWithItsDefaultsAndABoundCalibrationManager)
{
    const Analysis1D analysis;
    EXPECT_EQ(analysis.GetVersion(), 4);
    EXPECT_EQ(analysis.GetNumberOfLanes(), 0);
    EXPECT_EQ(analysis.GetWhiteOnBlack(), 1);
    EXPECT_EQ(analysis.IsWizardRunning(), 0);
    EXPECT_EQ(analysis.GetAnalysisRasterImage(), nullptr);
    EXPECT_EQ(analysis.GetTitle(), QStringLiteral("1D Gel Analysis"));
    // The defined start value is what the detection dialog's default gives.
    EXPECT_DOUBLE_EQ(analysis.GetPeakHeightThreshold(), 0.18);
    ASSERT_NE(analysis.GetCalibrationManager(), nullptr);
    EXPECT_EQ(analysis.GetCalibrationManager()->GetAnalysis(), &analysis);
    const CRuntimeClass *cls = CRuntimeClass::FromName("Analysis1D");
    ASSERT_NE(cls, nullptr);
    std::unique_ptr<CObject> made(cls->CreateObject());
    EXPECT_TRUE(made && made->IsKindOf(RUNTIME_CLASS(Analysis)));
}

TEST_F(Analysis1DTest, StandardsQueriesFollowTheIntensityCurveType)
{
    EXPECT_EQ(m_analysis->isODStardardsLoaded(), 1); // linear by default
    m_analysis->GetCalibrationManager()->SetIntensityCurveType(0);
    EXPECT_EQ(m_analysis->isODStardardsLoaded(), 0);
    m_analysis->GetCalibrationManager()->SetIntensityCurveType(4);
    EXPECT_EQ(m_analysis->isODStardardsLoaded(), 1);
    EXPECT_EQ(m_analysis->isMWStandardsLoaded(), 0);
}

TEST_F(Analysis1DTest, LaneAndBeamWidthsComeFromTheExampleBand)
{
    EXPECT_EQ(m_analysis->GetLaneWidth(), 0);
    EXPECT_EQ(m_analysis->GetBeamWidth(), 0);
    ExampleBand *band = addExampleBand(CRect(20, 30, 30, 38));
    EXPECT_EQ(m_analysis->GetLaneWidth(), 10);
    EXPECT_EQ(m_analysis->GetBeamWidth(), 3); // floor(2.5 + 0.5)
    band->m_position = CRect(20, 30, 29, 38);
    EXPECT_EQ(m_analysis->GetBeamWidth(), 2); // floor(2.25 + 0.5)
    band->m_position = CRect(20, 30, 60, 38);
    EXPECT_EQ(m_analysis->GetBeamWidth(), 10);
}

TEST_F(Analysis1DTest, ReferenceRowsFallBackToTheFirstAndLastAnalysisRow)
{
    setUpBlockGel();
    EXPECT_EQ(m_analysis->getWellCenterY(), 0);
    EXPECT_EQ(m_analysis->getDyeFrontCenterY(), 100);
    // Built from zero-height lines, the strips are 20 rows high around them.
    m_doc->Add(new LoadingWells(CRect(5, 27, 125, 27), kArea));
    m_doc->Add(new DyeFront(CRect(5, 84, 125, 84), kArea));
    EXPECT_EQ(m_analysis->getWellCenterY(), 20);
    EXPECT_EQ(m_analysis->getDyeFrontCenterY(), 77);
    // Centre rows divide truncating.
    m_doc->GetLoadingWells()->m_position = CRect(5, 20, 125, 35);
    EXPECT_EQ(m_analysis->getWellCenterY(), 20); // 27 - 7
}

// Images ---------------------------------------------------------------------------

TEST_F(Analysis1DTest, AnalysisImageIsTheAreaAndIsInvertedOnlyForDarkerObjects)
{
    for (const int bits : {8, 16}) {
        SCOPED_TRACE(bits);
        m_doc = std::make_unique<Analysis1DDoc>();
        m_analysis = std::make_unique<Analysis1D>();
        m_analysis->SetAnalysisDocument(m_doc.get());
        const int full = bits == 16 ? 65535 : 255;
        addImage(130, 110, bits, [](int x, int y) { return (x * 7 + y * 3) % 250; });
        m_analysis->CreateAnalysisImage(kArea, 1);
        RasterImageGS16 *image = m_analysis->GetAnalysisRasterImage();
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->getWidth(), 120);
        EXPECT_EQ(image->getHeight(), 101);
        EXPECT_EQ(image->getMaxPixelValue(), full);
        EXPECT_EQ(image->getPixel(0, 0), (5 * 7 + 7 * 3) % 250);
        EXPECT_EQ(image->getPixel(119, 100), (124 * 7 + 107 * 3) % 250);

        m_analysis->CreateAnalysisImage(kArea, 0);
        image = m_analysis->GetAnalysisRasterImage();
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->getPixel(0, 0), full - (5 * 7 + 7 * 3) % 250);
        EXPECT_EQ(image->getPixel(31, 40), full - (36 * 7 + 47 * 3) % 250);
        // The gel image itself is left as it was.
        EXPECT_EQ(m_doc->GetImage()->getBitsPerPixel(), unsigned(bits));
        EXPECT_EQ(RasterImageGS16(m_doc->GetImage()).getPixel(5, 7), (5 * 7 + 7 * 3) % 250);
    }
}

TEST_F(Analysis1DTest, AnalysisImageNeedsAnAreaStartingOnThePicture)
{
    m_analysis->CreateAnalysisImage(kArea, 1); // no gel image yet
    EXPECT_EQ(m_analysis->GetAnalysisRasterImage(), nullptr);
    addImage(130, 110, 8, blockGel);
    m_analysis->CreateAnalysisImage(CRect(-5, 7, 100, 100), 1);
    EXPECT_EQ(m_analysis->GetAnalysisRasterImage(), nullptr);
    // A far edge past the picture is held to it.
    m_analysis->CreateAnalysisImage(CRect(100, 90, 200, 200), 1);
    ASSERT_NE(m_analysis->GetAnalysisRasterImage(), nullptr);
    EXPECT_EQ(m_analysis->GetAnalysisRasterImage()->getWidth(), 30);
    EXPECT_EQ(m_analysis->GetAnalysisRasterImage()->getHeight(), 20);
}

// A straightforward minimum over the window the background is defined by.
int referenceMinimum(const RasterImageGS16 &image, int x, int y, int kx, int ky)
{
    const int w = image.getWidth();
    const int h = image.getHeight();
    int minimum = image.getMaxPixelValue();
    for (int yy = std::max(0, y - ky); yy < std::min(h - 1, y + ky); ++yy)
        for (int xx = std::max(0, x - kx); xx < std::min(w - 1, x + kx); ++xx)
            minimum = std::min(minimum, image.getPixel(xx, yy));
    return minimum;
}

TEST_F(Analysis1DTest, BackgroundImageIsAMovingMinimumOverThreeQuartersOfTheRectangle)
{
    addImage(130, 110, 16, [](int x, int y) { return 1000 + (x * 37 + y * 91) % 700; });
    m_analysis->CreateBGImage(CRect(0, 0, 10, 4)); // nothing to work on yet
    EXPECT_EQ(m_analysis->GetBGImage(), nullptr);
    m_analysis->CreateAnalysisImage(kArea, 1);
    const RasterImageGS16 &image = *m_analysis->GetAnalysisRasterImage();
    ScopedScriptedPrompts prompts;
    // 10 x 4 pixels: half-windows floor(7.5 + 0.5) = 8 and floor(3 + 0.5) = 3.
    m_analysis->CreateBGImage(CRect(50, 60, 60, 64));
    EXPECT_EQ(prompts->WaitCount(), 1);
    EXPECT_EQ(prompts->WaitDepth(), 0);
    const RasterImageGS16 *background = m_analysis->GetBGImage();
    const RasterImageGS16 *subtracted = m_analysis->GetBGSubtractedImage();
    ASSERT_NE(background, nullptr);
    ASSERT_NE(subtracted, nullptr);
    for (int y = 0; y < image.getHeight(); y += 3) {
        for (int x = 0; x < image.getWidth(); x += 2) {
            ASSERT_EQ(background->getPixel(x, y), referenceMinimum(image, x, y, 8, 3))
                << x << "," << y;
        }
    }
    // Away from the border of 3 the subtracted image is smoothed: the mean of
    // the 6 x 6 block of max(0, image - background).
    const int x = 40;
    const int y = 50;
    int sum = 0;
    for (int yy = y - 3; yy < y + 3; ++yy)
        for (int xx = x - 3; xx < x + 3; ++xx)
            sum += std::max(0, image.getPixel(xx, yy) - background->getPixel(xx, yy));
    EXPECT_EQ(subtracted->getPixel(x, y), sum / 36);
    EXPECT_EQ(subtracted->getPixel(0, 0),
              std::max(0, image.getPixel(0, 0) - background->getPixel(0, 0)));
}

// Set-up steps ----------------------------------------------------------------------

TEST_F(Analysis1DTest, SetUpStepsFlagTheShapesAndCutTheImageWithTheChosenTone)
{
    addImage(130, 110, 8, blockGel);
    // The wizard's first page clears the shapes of an earlier set-up, so the
    // area is drawn once it is open.
    m_analysis->StartSetupWizard(nullptr, 0);
    EXPECT_EQ(m_analysis->IsWizardRunning(), 1);
    AnalysisArea *area = addArea(kArea);
    area->SetEditable(false);

    m_analysis->WhiteOnBlackSet(1);
    EXPECT_EQ(m_analysis->GetWhiteOnBlack(), 0);
    m_analysis->AnalysisAreaDrawn();
    EXPECT_TRUE(area->IsEditable());
    m_analysis->FinalizeAnalysisArea();
    EXPECT_FALSE(area->IsEditable());
    ASSERT_NE(m_analysis->GetAnalysisRasterImage(), nullptr);
    EXPECT_EQ(m_analysis->GetAnalysisRasterImage()->getPixel(45, 50), 255 - 200);

    m_analysis->WhiteOnBlackSet(0);
    EXPECT_EQ(m_analysis->GetWhiteOnBlack(), 1);
    m_analysis->WhiteOnBlackSet(7); // not a choice: unchanged
    EXPECT_EQ(m_analysis->GetWhiteOnBlack(), 1);
    m_analysis->FinalizeAnalysisArea();
    EXPECT_EQ(m_analysis->GetAnalysisRasterImage()->getPixel(45, 50), 200);

    ExampleBand *example = addExampleBand(CRect(45, 52, 65, 62));
    example->SetEditable(false);
    m_analysis->ExampleBandDrawn();
    EXPECT_TRUE(example->IsEditable());
    m_analysis->FinalizeExampleBand();
    EXPECT_FALSE(example->IsEditable());

    auto *wells = new LoadingWells(CRect(5, 27, 125, 27), kArea);
    auto *dyeFront = new DyeFront(CRect(5, 84, 125, 84), kArea);
    m_doc->Add(wells);
    m_doc->Add(dyeFront);
    area->SetEditable(true);
    m_analysis->WizardEnded();
    EXPECT_EQ(m_analysis->IsWizardRunning(), 0);
    EXPECT_FALSE(area->IsEditable());
    EXPECT_FALSE(wells->IsEditable());
    EXPECT_FALSE(dyeFront->IsEditable());
    EXPECT_EQ(example->m_visible, 0);
    EXPECT_EQ(m_doc->GetWellDistance(), 27 - 7);
    EXPECT_EQ(m_doc->GetDyeFrontDistance(), 108 - 84);
}

TEST_F(Analysis1DTest, OpeningTheDetectionDialogRemovesAllLanesAndRepaints)
{
    setUpBlockGel();
    COffscreenDrawView view(m_doc.get());
    Lane lane = laneAt(10, 30);
    m_analysis->AddLaneToArray(&lane, -1);
    m_analysis->AddLaneToArray(&lane, -1);
    view.ClearInvalidated();
    m_analysis->StartDetectionWizard(nullptr);
    EXPECT_EQ(m_analysis->GetNumberOfLanes(), 0);
    EXPECT_GE(view.GetFullInvalidations(), 1);
    EXPECT_EQ(m_analysis->IsWizardRunning(), 1);
    m_analysis->WizardEnded();
    EXPECT_EQ(m_analysis->IsWizardRunning(), 0);
    m_doc->RemoveView(&view);
}

// Lane array -------------------------------------------------------------------------

TEST_F(Analysis1DTest, LanesAreInsertedOrAppendedAsCopiesOwnedByTheDocument)
{
    Lane a = laneAt(10, 20);
    Lane b = laneAt(40, 50);
    Lane c = laneAt(25, 35);
    m_doc->SetModifiedFlag(false);
    EXPECT_EQ(m_analysis->AddLaneToArray(&a, -1), 0);
    EXPECT_TRUE(m_doc->IsModified());
    EXPECT_EQ(m_analysis->AddLaneToArray(&b, -1), 1);
    EXPECT_EQ(m_analysis->AddLaneToArray(&c, 1), 1);
    ASSERT_EQ(m_analysis->GetNumberOfLanes(), 3);
    EXPECT_EQ(m_analysis->GetLane(1).m_position.left, 25);
    EXPECT_EQ(m_analysis->GetLane(2).m_position.left, 40);
    EXPECT_EQ(m_analysis->GetLane(1).GetDocument(), m_doc.get());
    EXPECT_EQ(c.GetDocument(), m_doc.get());
    c.m_position.left = 0; // a copy was stored
    EXPECT_EQ(m_analysis->GetLane(1).m_position.left, 25);

    EXPECT_THROW(m_analysis->GetLane(3), CInvalidArgException);
    EXPECT_THROW(m_analysis->GetLane(-1), CInvalidArgException);
    EXPECT_THROW(m_analysis->DeleteBandViaTool(5, 0), CInvalidArgException);
    EXPECT_THROW(m_analysis->DeleteBandViaTool(0, 0), CInvalidArgException);
    EXPECT_THROW(m_analysis->AddBandViaTool(CPoint(50, 50), 3, 0), CInvalidArgException);
    m_analysis->ClearDetectionData();
    EXPECT_EQ(m_analysis->GetNumberOfLanes(), 0);
}

TEST_F(Analysis1DTest, LaneIndexForAdditionOnBetweenAndBesideLanes)
{
    addArea(kArea); // gel x = analysis x + 5
    EXPECT_EQ(m_analysis->GetLaneIndexForAddition(CPoint(60, 50)), 0);

    Lane first = laneAt(20, 40);
    m_analysis->AddLaneToArray(&first, -1);
    // One lane: right of its right edge gives 1, anything else 0, even on the lane.
    EXPECT_EQ(m_analysis->GetLaneIndexForAddition(CPoint(46, 50)), 1);
    EXPECT_EQ(m_analysis->GetLaneIndexForAddition(CPoint(45, 50)), 0);
    EXPECT_EQ(m_analysis->GetLaneIndexForAddition(CPoint(35, 50)), 0);
    EXPECT_EQ(m_analysis->GetLaneIndexForAddition(CPoint(5, 50)), 0);

    Lane second = laneAt(60, 80);
    Lane third = laneAt(90, 100);
    m_analysis->AddLaneToArray(&second, -1);
    m_analysis->AddLaneToArray(&third, -1);
    EXPECT_EQ(m_analysis->GetLaneIndexForAddition(CPoint(24, 0)), 0); // x 19
    EXPECT_EQ(m_analysis->GetLaneIndexForAddition(CPoint(25, 0)), -1); // left edge
    EXPECT_EQ(m_analysis->GetLaneIndexForAddition(CPoint(35, 0)), -1); // on lane 0
    EXPECT_EQ(m_analysis->GetLaneIndexForAddition(CPoint(55, 0)), 1); // x 50, first gap
    EXPECT_EQ(m_analysis->GetLaneIndexForAddition(CPoint(45, 0)), -1); // x 40, gap edge
    EXPECT_EQ(m_analysis->GetLaneIndexForAddition(CPoint(65, 0)), -1); // x 60, gap edge
    EXPECT_EQ(m_analysis->GetLaneIndexForAddition(CPoint(90, 0)), 2); // x 85, second gap
    EXPECT_EQ(m_analysis->GetLaneIndexForAddition(CPoint(105, 0)), -1); // right edge
    EXPECT_EQ(m_analysis->GetLaneIndexForAddition(CPoint(106, 0)), 3); // right of all
}

TEST_F(Analysis1DTest, BoundariesSpanTheAreaAndReachTheNeighbours)
{
    addArea(kArea); // 120 x 101
    m_analysis->setLaneBoundries(); // no lanes: nothing to do
    Lane one = laneAt(20, 40);
    BandData record;
    record.m_detectedRect = CRect(22, 30, 38, 40);
    one.InsertBand(Band(record, kArea), 0);
    m_analysis->AddLaneToArray(&one, -1);
    m_analysis->setLaneBoundries();
    EXPECT_EQ(m_analysis->GetLane(0).GetBoundRect(), CRect(0, 0, 120, 101));
    // The lane passes its bound on to its only band.
    EXPECT_EQ(m_analysis->GetLane(0).GetBand(0).GetBoundRect(), CRect(0, 0, 120, 101));

    Lane two = laneAt(60, 80);
    m_analysis->AddLaneToArray(&two, -1);
    m_analysis->setLaneBoundries();
    EXPECT_EQ(m_analysis->GetLane(0).GetBoundRect(), CRect(0, 0, 60, 101));
    EXPECT_EQ(m_analysis->GetLane(1).GetBoundRect(), CRect(40, 0, 120, 101));

    Lane three = laneAt(90, 110);
    m_analysis->AddLaneToArray(&three, -1);
    m_analysis->setLaneBoundries();
    EXPECT_EQ(m_analysis->GetLane(1).GetBoundRect(), CRect(40, 0, 90, 101));
    EXPECT_EQ(m_analysis->GetLane(2).GetBoundRect(), CRect(80, 0, 120, 101));

    // Deleting a lane lets its neighbours reach over the gap it leaves.
    m_analysis->DeleteLaneViaTool(1);
    ASSERT_EQ(m_analysis->GetNumberOfLanes(), 2);
    EXPECT_EQ(m_analysis->GetLane(0).GetBoundRect(), CRect(0, 0, 90, 101));
    EXPECT_EQ(m_analysis->GetLane(1).GetBoundRect(), CRect(40, 0, 120, 101));
    EXPECT_THROW(m_analysis->DeleteLaneViaTool(2), CInvalidArgException);
}

TEST_F(Analysis1DTest, ABandBelongsToTheLaneHoldingItsCentreOfGravity)
{
    Lane left = laneAt(10, 30);
    Lane right = laneAt(30, 50);
    m_analysis->AddLaneToArray(&left, -1);
    m_analysis->AddLaneToArray(&right, -1);
    Band band;
    band.getData()->m_centerOfGravity = CPoint(20, 40);
    EXPECT_EQ(m_analysis->getLaneFromBand(&band), &m_analysis->GetLane(0));
    band.getData()->m_centerOfGravity = CPoint(30, 40); // right edge excluded
    EXPECT_EQ(m_analysis->getLaneFromBand(&band), &m_analysis->GetLane(1));
    band.getData()->m_centerOfGravity = CPoint(50, 40);
    EXPECT_EQ(m_analysis->getLaneFromBand(&band), nullptr);
    band.getData()->m_centerOfGravity = CPoint(20, 101); // below the lanes
    EXPECT_EQ(m_analysis->getLaneFromBand(&band), nullptr);
}

// Measuring --------------------------------------------------------------------------

TEST_F(Analysis1DTest, RelativePositionsRunFromRowZeroToTheLastRowWithoutReferenceLines)
{
    setUpBlockGel();
    Lane lane = blockLane();
    m_analysis->AddLaneToArray(&lane, -1);
    m_doc->SetModifiedFlag(false);
    m_analysis->CalculateAnalysisData();
    EXPECT_TRUE(m_doc->IsModified());
    const BandData &data = *m_analysis->GetLane(0).GetBand(0).getData();
    ASSERT_EQ(data.m_centerOfGravity.y, 50);
    EXPECT_DOUBLE_EQ(data.m_relativeMigration, 50.0 / 100.0);
    EXPECT_GT(data.m_intensity, 0.0);
    EXPECT_DOUBLE_EQ(data.m_intensityFraction, 1.0);

    // Wells at analysis row 20, dye front at row 70: 50 / (70 - 20).
    m_doc->Add(new LoadingWells(CRect(5, 27, 125, 27), kArea));
    m_doc->Add(new DyeFront(CRect(5, 77, 125, 77), kArea));
    m_analysis->CalculateAnalysisData();
    EXPECT_DOUBLE_EQ(m_analysis->GetLane(0).GetBand(0).getData()->m_relativeMigration, 1.0);
}

TEST_F(Analysis1DTest, RecalculationRunsBothCalibrations)
{
    setUpBlockGel();
    Lane lane = blockLane();
    BandData second;
    second.m_detectedRect = CRect(40, 70, 59, 80);
    second.m_valid = true;
    lane.InsertBand(Band(second, kArea), 1);
    m_analysis->AddLaneToArray(&lane, -1);
    m_analysis->CalculateAnalysisData();
    // Known amounts twice the measured intensities: the linear fit gives back
    // twice every intensity; known weights on the rows calibrate the weights.
    for (int i = 0; i < 2; ++i) {
        BandData &data = *m_analysis->GetLane(0).GetBand(i).getData();
        data.m_hasKnownIntensity = true;
        data.m_knownIntensity = 2.0 * data.m_intensity + 10.0 * i;
        data.m_hasKnownMW = true;
        data.m_knownMW = 1000.0 - data.m_centerOfGravity.y;
    }
    m_analysis->CalculateAnalysisData();
    const BandData &first = *m_analysis->GetLane(0).GetBand(0).getData();
    EXPECT_NEAR(first.m_calibratedIntensity, first.m_knownIntensity, 1e-6);
    EXPECT_NEAR(first.m_calibratedMW, 950.0, 1e-6);
    m_analysis->GetCalibrationManager()->SetIntensityCurveType(0);
    m_analysis->CalculateAnalysisData();
    EXPECT_EQ(m_analysis->GetLane(0).GetBand(0).getData()->m_calibratedIntensity, 0.0);
}

TEST_F(Analysis1DTest, DrawnBandsAreMeasuredAlongTheirOwnColumnWithTheFallbackRows)
{
    setUpBlockGel();
    EXPECT_EQ(m_analysis->HasUserDrawnBands(), 0);
    // The block in gel pixels, as the user would draw it.
    m_doc->Add(new UserDrawnBand(CRect(45, 52, 64, 62), kArea));
    EXPECT_EQ(m_analysis->HasUserDrawnBands(), 1);
    CArray<Band> bands;
    m_analysis->GetUserDrawBands(&bands);
    ASSERT_EQ(bands.GetSize(), 1);
    const BandData &data = *bands[0].getData();
    EXPECT_TRUE(data.m_valid);
    EXPECT_EQ(data.m_centerOfGravity.y, 50);
    EXPECT_DOUBLE_EQ(data.m_relativeMigration, 50.0 / 100.0);
    // The whole block lies 190 above a background of 10.
    EXPECT_GT(data.m_intensity, 0.9 * 190.0 * 20 * 11);
    EXPECT_EQ(m_analysis->GetNumberOfLanes(), 0);
}

// A small gel of three bright lanes, each with bands at rows 40 and 80, and a
// little fixed noise (columns of equal spread would give the lane search
// plateaus and so no lane edges).
int threeLaneGel(int x, int y)
{
    double value = 20.0 + double((x * 7919 + y * 104729) % 7);
    for (const int left : {20, 80, 140}) {
        if (x >= left && x < left + 30) {
            for (const int centre : {40, 80})
                value += 150.0 * std::exp(-0.5 * std::pow((y - centre) / 3.0, 2.0));
        }
    }
    return int(std::lround(value));
}

TEST_F(Analysis1DTest, DetectionReplacesTheLanesAndKeepsTheThresholdForHandAddedLanes)
{
    addImage(200, 120, 8, threeLaneGel);
    addArea(CRect(0, 0, 200, 120));
    m_doc->Add(new ExampleBand(CRect(80, 35, 110, 45), CRect(0, 0, 200, 120)));
    m_analysis->CreateAnalysisImage(CRect(0, 0, 200, 120), 1);
    Lane stale = laneAt(0, 5);
    m_analysis->AddLaneToArray(&stale, -1);

    ScopedScriptedPrompts prompts;
    m_analysis->DetectLanesAndBands(0.05);
    EXPECT_EQ(prompts->WaitDepth(), 0);
    EXPECT_GE(prompts->WaitCount(), 1);
    EXPECT_DOUBLE_EQ(m_analysis->GetPeakHeightThreshold(), 0.05);
    ASSERT_EQ(m_analysis->GetNumberOfLanes(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const Lane &lane = m_analysis->GetLane(i);
        const int centre = 35 + 60 * i;
        EXPECT_NEAR((lane.m_position.left + lane.m_position.right) / 2.0, centre, 3.0);
        EXPECT_EQ(lane.GetDocument(), m_doc.get());
        EXPECT_EQ(lane.GetProfile()->GetSize(), 120);
        ASSERT_EQ(lane.GetNumberOfBands(), 2);
        EXPECT_NEAR(lane.GetBand(0).getData()->m_centerOfGravity.y, 40, 1);
        EXPECT_NEAR(lane.GetBand(1).getData()->m_centerOfGravity.y, 80, 1);
        // The lane keeps the band detector's Gaussians: one per band.
        EXPECT_EQ(lane.GetGaussians().GetSize(), 2);
        EXPECT_FALSE(lane.GetBoundRect().IsRectEmpty());
    }
    EXPECT_EQ(m_analysis->GetLane(0).GetBoundRect().right, m_analysis->GetLane(1).m_position.left);

    // A lane added by hand is built with the stored threshold; its bound waits
    // for the next boundary update.
    m_analysis->DeleteLaneViaTool(1);
    ASSERT_EQ(m_analysis->GetNumberOfLanes(), 2);
    const int index = m_analysis->GetLaneIndexForAddition(CPoint(95, 60));
    ASSERT_EQ(index, 1);
    m_analysis->AddLaneViaTool(CPoint(95, 60), index);
    ASSERT_EQ(m_analysis->GetNumberOfLanes(), 3);
    EXPECT_TRUE(m_analysis->GetLane(1).GetBoundRect().IsRectEmpty());
    EXPECT_EQ(m_analysis->GetLane(1).GetNumberOfBands(), 2);
    EXPECT_NEAR(m_analysis->GetLane(1).GetCenterLine()->GetAt(0), 95, 3);
}

// With an example band wider than the gap between two lanes, the search
// across a lane added in that gap reaches the neighbours' bands: they stay
// theirs, and the new lane stays inside the gap.
TEST_F(Analysis1DTest, AHandAddedLaneKeepsToTheGapBetweenItsNeighbours)
{
    addImage(200, 120, 8, threeLaneGel);
    addArea(CRect(0, 0, 200, 120));
    m_doc->Add(new ExampleBand(CRect(80, 35, 110, 45), CRect(0, 0, 200, 120)));
    m_analysis->CreateAnalysisImage(CRect(0, 0, 200, 120), 1);
    m_analysis->DetectLanesAndBands(0.05);
    ASSERT_EQ(m_analysis->GetNumberOfLanes(), 3);
    m_analysis->DeleteLaneViaTool(2);
    m_doc->RemoveExampleBand();
    m_doc->Add(new ExampleBand(CRect(40, 35, 160, 45), CRect(0, 0, 200, 120)));

    const int gapLeft = m_analysis->GetLane(0).m_position.right;
    const int gapRight = m_analysis->GetLane(1).m_position.left;
    const CPoint inGap((gapLeft + gapRight) / 2, 60);
    const int index = m_analysis->GetLaneIndexForAddition(inGap);
    ASSERT_EQ(index, 1);
    m_analysis->AddLaneViaTool(inGap, index);
    m_analysis->setLaneBoundries();
    ASSERT_EQ(m_analysis->GetNumberOfLanes(), 3);
    const Lane &added = m_analysis->GetLane(1);
    EXPECT_GE(added.m_position.left, gapLeft);
    EXPECT_LE(added.m_position.right, gapRight);
    for (int l = 0; l < 3; ++l) {
        const Lane &lane = m_analysis->GetLane(l);
        for (const Band &band : *lane.GetBands()) {
            SCOPED_TRACE(l);
            EXPECT_TRUE(lane.GetBoundRect().PtInRect(band.getData()->m_centerOfGravity));
        }
    }
    // Appended after the last lane, the lane keeps to the right of it.
    m_analysis->AddLaneViaTool(CPoint(180, 60), -1);
    EXPECT_GE(m_analysis->GetLane(3).m_position.left, m_analysis->GetLane(2).m_position.right);
}

TEST_F(Analysis1DTest, WithoutAnExampleBandDetectionFindsNothing)
{
    addImage(200, 120, 8, threeLaneGel);
    addArea(CRect(0, 0, 200, 120));
    m_analysis->CreateAnalysisImage(CRect(0, 0, 200, 120), 1);
    m_analysis->DetectLanesAndBands(0.05);
    EXPECT_EQ(m_analysis->GetNumberOfLanes(), 0);
    EXPECT_DOUBLE_EQ(m_analysis->GetPeakHeightThreshold(), 0.05);
    // A lane added by hand has no width to search across: it holds no band.
    m_analysis->AddLaneViaTool(CPoint(95, 60), 0);
    ASSERT_EQ(m_analysis->GetNumberOfLanes(), 1);
    EXPECT_EQ(m_analysis->GetLane(0).GetNumberOfBands(), 0);
}

TEST_F(Analysis1DTest, BandsAreAddedAndDeletedByHand)
{
    setUpBlockGel();
    Lane lane = blockLane();
    lane.RemoveBand(0);
    m_analysis->AddLaneToArray(&lane, -1);
    m_analysis->setLaneBoundries();
    // The block's centre in gel pixels; the band is as high as the example band.
    m_analysis->AddBandViaTool(CPoint(55, 57), 0, 0);
    ASSERT_EQ(m_analysis->GetLane(0).GetNumberOfBands(), 1);
    const Band &band = m_analysis->GetLane(0).GetBand(0);
    EXPECT_NEAR((band.m_position.top + band.m_position.bottom) / 2.0, 50.0, 2.0);
    EXPECT_GT(band.getData()->m_intensity, 0.0);
    EXPECT_DOUBLE_EQ(band.getData()->m_relativeMigration,
                     band.getData()->m_centerOfGravity.y / 100.0);
    EXPECT_THROW(m_analysis->DeleteBandViaTool(0, 1), CInvalidArgException);
    m_analysis->DeleteBandViaTool(0, 0);
    EXPECT_EQ(m_analysis->GetLane(0).GetNumberOfBands(), 0);
}

// Storage ------------------------------------------------------------------------------

TEST_F(Analysis1DTest, StoredAnalysisIsReadBackAndItsImageRebuilt)
{
    setUpBlockGel();
    m_analysis->WhiteOnBlackSet(0);
    m_analysis->SetPeakHeightThreshold(0.07);
    Lane lane = blockLane();
    m_analysis->AddLaneToArray(&lane, -1);
    m_analysis->AddLaneToArray(&lane, -1);
    m_analysis->CalculateAnalysisData();
    m_analysis->GetCalibrationManager()->SetMWCurveType(3);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        CArchive ar(&buffer, CArchive::store);
        m_analysis->Serialize(ar);
        ar.Close();
    }
    buffer.close();

    Analysis1D loaded;
    loaded.SetAnalysisDocument(m_doc.get());
    loaded.SetAnalysisImage(m_doc->GetImage());
    m_doc->GetAnalysisArea()->SetEditable(true);
    buffer.open(QIODevice::ReadOnly);
    {
        CArchive ar(&buffer, CArchive::load);
        loaded.Serialize(ar);
    }
    EXPECT_EQ(loaded.GetVersion(), 4);
    EXPECT_EQ(loaded.GetWhiteOnBlack(), 1);
    EXPECT_DOUBLE_EQ(loaded.GetPeakHeightThreshold(), 0.07);
    ASSERT_EQ(loaded.GetNumberOfLanes(), 2);
    EXPECT_EQ(loaded.GetLane(1).GetBand(0).getData()->m_peakArea,
              m_analysis->GetLane(1).GetBand(0).getData()->m_peakArea);
    EXPECT_EQ(loaded.GetLane(0).GetDocument(), m_doc.get());
    EXPECT_EQ(loaded.GetCalibrationManager()->GetMWCurveType(), 3);
    EXPECT_EQ(loaded.GetCalibrationManager()->GetAnalysis(), &loaded);
    ASSERT_NE(loaded.GetAnalysisRasterImage(), nullptr);
    EXPECT_EQ(loaded.GetAnalysisRasterImage()->getPixel(45, 50), 200);
    EXPECT_FALSE(m_doc->GetAnalysisArea()->IsEditable());
}

TEST_F(Analysis1DTest, VersionThreeAnalysisIsBroughtUpToVersionFour)
{
    setUpBlockGel();
    Lane lane = blockLane();
    lane.SetAnalysisArea(CRect());
    lane.SetEditable(false);
    lane.GetBand(0).SetAnalysisArea(CRect());
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        CArchive ar(&buffer, CArchive::store);
        ar << uint16_t(1) << int32_t(3); // base part: analysis version 3
        ar << int32_t(0) << int32_t(99) << 0.11; // flag, ignored, threshold
        ar << int32_t(1);
        ar.WriteObject(&lane);
        ar << int32_t(0) << int32_t(2); // no ladders, second-order curve
        for (int i = 0; i < 5; ++i)
            ar << 1.5;
        ar.Close();
    }
    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    m_analysis->Serialize(ar);
    EXPECT_EQ(m_analysis->GetVersion(), 4);
    EXPECT_EQ(m_analysis->GetWhiteOnBlack(), 0);
    EXPECT_DOUBLE_EQ(m_analysis->GetPeakHeightThreshold(), 0.11);
    EXPECT_EQ(m_analysis->GetCalibrationManager()->GetIntensityCurveType(), 2);
    ASSERT_EQ(m_analysis->GetNumberOfLanes(), 1);
    const Lane &loaded = m_analysis->GetLane(0);
    EXPECT_EQ(loaded.GetAnalysisArea(), kArea);
    EXPECT_TRUE(loaded.IsEditable());
    EXPECT_EQ(loaded.GetBand(0).GetAnalysisArea(), kArea);
    EXPECT_EQ(loaded.GetBoundRect(), CRect(0, 0, 120, 101));
    // Darker objects: the rebuilt analysis image is inverted.
    ASSERT_NE(m_analysis->GetAnalysisRasterImage(), nullptr);
    EXPECT_EQ(m_analysis->GetAnalysisRasterImage()->getPixel(45, 50), 55);
}

TEST_F(Analysis1DTest, AnalysisWithoutAreaOrExampleBandIsNotStored)
{
    ScopedScriptedPrompts prompts;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        CArchive ar(&buffer, CArchive::store);
        EXPECT_THROW(m_analysis->Serialize(ar), CUserException);
        addArea(kArea);
        EXPECT_THROW(m_analysis->Serialize(ar), CUserException);
    }
    EXPECT_EQ(
        prompts->Texts(),
        QStringList({QStringLiteral("Cannot save the analysis, if no analysis area is drawn"),
                     QStringLiteral("Cannot save the analysis, if no Example Band is drawn")}));
    EXPECT_EQ(buffer.size(), 0);
}

TEST_F(Analysis1DTest, DamagedLaneCountIsRefused)
{
    setUpBlockGel();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        CArchive ar(&buffer, CArchive::store);
        ar << uint16_t(1) << int32_t(4) << int32_t(1) << 0.1 << int32_t(INT_MAX);
        ar.Close();
    }
    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    EXPECT_THROW(m_analysis->Serialize(ar), CArchiveException);
}

// Starting and removing an analysis ------------------------------------------------------

class AnalysisStartTest : public Analysis1DTest
{
protected:
    // The gel picture of the document: 8-bit grey, or 24-bit colour.
    void addPicture(int bits)
    {
        auto *drawImage = new CDrawImage;
        drawImage->Create(130, 110, 8, nullptr);
        if (bits == 24) {
            FIBITMAP *grey = makeBitmap(130, 110, 8, blockGel);
            *drawImage->GetImage() = FreeImage_ConvertTo24Bits(grey);
            FreeImage_Unload(grey);
        } else {
            *drawImage->GetImage() = makeBitmap(130, 110, bits, blockGel);
        }
        drawImage->SizeToImage();
        m_doc->Add(drawImage);
    }
    void addShapes()
    {
        m_doc->Add(new AnalysisArea(kArea, CRect(0, 0, 130, 110)));
        m_doc->Add(new ExampleBand(CRect(45, 52, 65, 62), kArea));
        m_doc->Add(new DyeFront(CRect(5, 84, 125, 84), kArea));
        m_doc->Add(new LoadingWells(CRect(5, 27, 125, 27), kArea));
        m_doc->Add(new UserDrawnBand(CRect(45, 52, 64, 62), kArea));
        m_doc->Add(new UserDrawnBand(CRect(70, 52, 90, 62), kArea));
        m_doc->Add(new BackgroundArea(CRect(10, 10, 20, 20), kArea));
    }
};

const QString kReplaceQuestion = QStringLiteral(
    "Starting a new analysis would clear the current analysis and its associated data, continue?");
const QString kConvertQuestion = QStringLiteral("The image you have opened is not a gray scale "
                                                "image, would you like to convert it to gray "
                                                "scale for the analysis?");

TEST_F(AnalysisStartTest, GreyPictureStartsAnAnalysisWithoutQuestions)
{
    for (const int bits : {8, 16}) {
        SCOPED_TRACE(bits);
        m_doc = std::make_unique<Analysis1DDoc>();
        addPicture(bits);
        ScopedScriptedPrompts prompts;
        m_doc->OnAnalysisStart(nullptr, 0);
        EXPECT_TRUE(prompts->Texts().isEmpty());
        Analysis1D *analysis = m_doc->GetAnalysis();
        ASSERT_NE(analysis, nullptr);
        EXPECT_EQ(analysis->GetAnalysisDocument(), m_doc.get());
        EXPECT_EQ(analysis->GetAnalysisImage(), m_doc->GetImage());
        EXPECT_EQ(analysis->IsWizardRunning(), 1);
        EXPECT_EQ(m_doc->GetImage()->getBitsPerPixel(), unsigned(bits));
    }
}

TEST_F(AnalysisStartTest, ColourPictureIsConvertedOnlyWhenTheUserAgrees)
{
    addPicture(24);
    ScopedScriptedPrompts prompts;
    prompts->QueueAnswer(IDNO);
    m_doc->OnAnalysisStart(nullptr, 0);
    EXPECT_EQ(prompts->Texts(), QStringList {kConvertQuestion});
    EXPECT_EQ(m_doc->GetAnalysis(), nullptr);
    EXPECT_EQ(m_doc->GetImage()->getBitsPerPixel(), 24u);

    prompts->QueueAnswer(IDYES);
    m_doc->OnAnalysisStart(nullptr, 0);
    ASSERT_NE(m_doc->GetAnalysis(), nullptr);
    EXPECT_EQ(m_doc->GetImage()->getBitsPerPixel(), 8u);
    EXPECT_TRUE(m_doc->GetImage()->isGrayscale());
}

TEST_F(AnalysisStartTest, ReplacingAnAnalysisAsksAndThenRemovesTheOldOne)
{
    addPicture(8);
    m_doc->OnAnalysisStart(nullptr, 0);
    Analysis1D *first = m_doc->GetAnalysis();
    ASSERT_NE(first, nullptr);
    addShapes();

    ScopedScriptedPrompts prompts;
    prompts->QueueAnswer(IDNO);
    m_doc->OnAnalysisStart(nullptr, 0);
    EXPECT_EQ(prompts->Texts(), QStringList {kReplaceQuestion});
    EXPECT_EQ(m_doc->GetAnalysis(), first);
    EXPECT_NE(m_doc->GetAnalysisArea(), nullptr);

    COffscreenDrawView view(m_doc.get());
    prompts->QueueAnswer(IDYES);
    m_doc->OnAnalysisStart(nullptr, 0);
    ASSERT_NE(m_doc->GetAnalysis(), nullptr);
    EXPECT_EQ(m_doc->GetAnalysisArea(), nullptr);
    EXPECT_EQ(m_doc->GetExampleBand(), nullptr);
    EXPECT_EQ(m_doc->GetDyeFront(), nullptr);
    EXPECT_EQ(m_doc->GetLoadingWells(), nullptr);
    EXPECT_TRUE(m_doc->GetAllUserDrawBands().isEmpty());
    // The background area is no part of the analysis; the picture stays first.
    EXPECT_NE(m_doc->GetBackgroundArea(), nullptr);
    EXPECT_NE(m_doc->GetDrawImage(), nullptr);
    m_doc->RemoveView(&view);

    m_doc->RemoveAnalysis();
    EXPECT_EQ(m_doc->GetAnalysis(), nullptr);
}

} // namespace
