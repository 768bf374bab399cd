#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/AnalysisSetup.h"
#include "analysis1d/engine/DetectionSlider.h"
#include "analysis1d/engine/DyeFront.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/LoadingWells.h"
#include "imaging/CDrawImage.h"
#include "imaging/RasterImageGS16.h"
#include "imaging/TVFImage.h"
#include "platform/Exceptions.h"
#include "platform/ProfileStore.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

// 100 x 80 grey picture, background 30, a bright block at columns 40..59,
// rows 30..39.
int blockGel(int x, int y)
{
    return (x >= 40 && x < 60 && y >= 30 && y < 40) ? 220 : 30;
}

FIBITMAP *makeBitmap(int width, int height, int bits)
{
    FIBITMAP *dib = FreeImage_Allocate(width, height, 8);
    RGBQUAD *palette = FreeImage_GetPalette(dib);
    for (int i = 0; i < 256; ++i)
        palette[i] = RGBQUAD {BYTE(i), BYTE(i), BYTE(i), 0};
    for (int y = 0; y < height; ++y) {
        BYTE *line = FreeImage_GetScanLine(dib, unsigned(height - 1 - y));
        for (int x = 0; x < width; ++x)
            line[x] = BYTE(blockGel(x, y));
    }
    if (bits == 24) {
        FIBITMAP *colour = FreeImage_ConvertTo24Bits(dib);
        FreeImage_Unload(dib);
        return colour;
    }
    return dib;
}

const CRect kArea(10, 10, 90, 70);
const CRect kExample(40, 30, 60, 40);

class AnalysisSetupTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_previousStore = ProfileStore::install(std::make_unique<MemoryProfileStore>());
        auto drawImage = std::make_unique<CDrawImage>();
        drawImage->Create(100, 80, 8, nullptr);
        *drawImage->GetImage() = makeBitmap(100, 80, 8);
        drawImage->SizeToImage();
        m_doc.Add(drawImage.release());
    }
    void TearDown() override { ProfileStore::install(std::move(m_previousStore)); }

    // The object list after the picture, as kinds.
    QStringList kinds() const
    {
        QStringList names;
        for (const CDrawObject *obj : m_doc.GetObjects())
            names << QString::fromLatin1(obj->GetRuntimeClass()->m_lpszClassName);
        names.removeFirst();
        return names;
    }

    std::unique_ptr<ProfileStore> m_previousStore;
    Analysis1DDoc m_doc;
};

// The batch tool's way: every step at once gives the shapes in the wizard's
// order, the reference lines in the tone's colour, and the analysis image cut
// (inverted for darker bands).
TEST_F(AnalysisSetupTest, RunPlacesTheShapesInOrderAndCutsTheImage)
{
    for (const bool darker : {false, true}) {
        SCOPED_TRACE(darker);
        AnalysisSetup setup(m_doc);
        Analysis1D *analysis = setup.Begin();
        ASSERT_NE(analysis, nullptr);
        EXPECT_EQ(analysis->GetAnalysisDocument(), &m_doc);
        EXPECT_EQ(analysis->GetAnalysisImage(), m_doc.GetImage());

        AnalysisSetup::Shapes shapes;
        shapes.objectsDarker = darker;
        shapes.area = kArea;
        shapes.exampleBand = kExample;
        shapes.dyeFrontRow = 60;
        shapes.wellsRow = 15;
        ASSERT_TRUE(setup.Run(shapes));

        EXPECT_EQ(kinds(),
                  (QStringList {"AnalysisArea", "ExampleBand", "DyeFront", "LoadingWells"}));
        EXPECT_EQ(analysis->GetWhiteOnBlack(), darker ? 0 : 1);
        const COLORREF colour = darker ? COLORREF(0x000080FF) : COLORREF(0x0000FFFF);
        EXPECT_EQ(m_doc.GetDyeFront()->m_lineColor, colour);
        EXPECT_EQ(m_doc.GetLoadingWells()->m_lineColor, colour);
        EXPECT_EQ(analysis->getDyeFrontCenterY(), 60 - kArea.top);
        EXPECT_EQ(analysis->getWellCenterY(), 15 - kArea.top);
        EXPECT_EQ(m_doc.GetExampleBand()->m_position, kExample);
        EXPECT_FALSE(m_doc.GetAnalysisArea()->IsEditable());
        // The distances are kept for the next analysis.
        EXPECT_EQ(m_doc.GetDyeFrontDistance(), kArea.bottom - 60);
        EXPECT_EQ(m_doc.GetWellDistance(), 15 - kArea.top);

        const RasterImageGS16 *image = analysis->GetAnalysisRasterImage();
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->getWidth(), kArea.Width());
        EXPECT_EQ(image->getHeight(), kArea.Height());
        // Block pixel (50, 35) and background pixel (15, 15), in analysis coordinates.
        const int block = image->getPixel(50 - kArea.left, 35 - kArea.top);
        const int background = image->getPixel(5, 5);
        EXPECT_EQ(block, darker ? 255 - 220 : 220);
        EXPECT_EQ(background, darker ? 255 - 30 : 30);
    }
}

// The wizard's way: one step at a time; going back and doing a step again
// replaces what it placed, and the reference lines come at the offsets kept.
TEST_F(AnalysisSetupTest, StepsReplaceWhatTheyPlacedBefore)
{
    AnalysisSetup setup(m_doc);
    setup.Begin();
    setup.SetTone(0);
    ASSERT_TRUE(setup.SetAnalysisArea(CRect(0, 0, 50, 50)));
    ASSERT_TRUE(setup.SetAnalysisArea(kArea));
    setup.SetExampleBand(CRect(20, 20, 30, 30));
    setup.SetExampleBand(kExample);
    m_doc.SetDyeFrontDistance(12);
    m_doc.SetWellDistance(7);
    setup.PlaceReferenceLinesAtDefaults();
    setup.PlaceReferenceLinesAtDefaults();
    EXPECT_EQ(kinds(), (QStringList {"AnalysisArea", "ExampleBand", "DyeFront", "LoadingWells"}));
    EXPECT_EQ(m_doc.GetAnalysisArea()->m_position, kArea);
    EXPECT_EQ(m_doc.GetExampleBand()->m_position, kExample);
    Analysis1D *analysis = m_doc.GetAnalysis();
    EXPECT_EQ(analysis->GetAnalysisRasterImage()->getWidth(), kArea.Width());
    EXPECT_EQ(analysis->getDyeFrontCenterY(), kArea.Height() - 12);
    EXPECT_EQ(analysis->getWellCenterY(), 7);

    // Only the lines given are placed.
    setup.PlaceReferenceLines(std::nullopt, 20);
    EXPECT_EQ(m_doc.GetDyeFront(), nullptr);
    ASSERT_NE(m_doc.GetLoadingWells(), nullptr);
    setup.Finish();
    EXPECT_EQ(analysis->IsWizardRunning(), 0);

    // A new beginning removes the old analysis with its shapes.
    Analysis1D *again = setup.Begin();
    EXPECT_NE(again, nullptr);
    EXPECT_TRUE(kinds().isEmpty());
}

TEST_F(AnalysisSetupTest, AreaOffThePictureCutsNoImageAndStepsNeedABeginning)
{
    AnalysisSetup setup(m_doc);
    EXPECT_THROW(setup.SetTone(1), CInvalidArgException);
    EXPECT_THROW(setup.SetAnalysisArea(kArea), CInvalidArgException);
    EXPECT_TRUE(kinds().isEmpty());

    setup.Begin();
    AnalysisSetup::Shapes shapes;
    shapes.area = CRect(200, 200, 300, 300);
    shapes.exampleBand = CRect(210, 210, 220, 220);
    EXPECT_FALSE(setup.Run(shapes));
    EXPECT_EQ(m_doc.GetAnalysis()->GetAnalysisRasterImage(), nullptr);
    EXPECT_EQ(m_doc.GetExampleBand(), nullptr);
}

TEST_F(AnalysisSetupTest, OnlyGreyPicturesAreAnalysedAsTheyAre)
{
    EXPECT_TRUE(AnalysisSetup::IsAnalysableGrey(*m_doc.GetImage()));
    TVFImage colour;
    colour = makeBitmap(100, 80, 24);
    EXPECT_FALSE(AnalysisSetup::IsAnalysableGrey(colour));
    ASSERT_TRUE(colour.convertToGrayscale());
    EXPECT_TRUE(AnalysisSetup::IsAnalysableGrey(colour));
}

// The detection dialog's mapping of the slider to the threshold.
TEST(DetectionSlider, SliderPositions)
{
    EXPECT_NEAR(DetectionSlider::ThresholdFromSlider(0), 0.20, 1e-12);
    EXPECT_NEAR(DetectionSlider::ThresholdFromSlider(25), 0.19, 1e-12);
    EXPECT_NEAR(DetectionSlider::ThresholdFromSlider(50), 0.18, 1e-12);
    EXPECT_NEAR(DetectionSlider::ThresholdFromSlider(75), 0.095, 1e-12);
    EXPECT_NEAR(DetectionSlider::ThresholdFromSlider(100), 0.01, 1e-12);
}

TEST(DetectionSlider, StoredPositionIsTakenUnclamped)
{
    auto previous = ProfileStore::install(std::make_unique<MemoryProfileStore>());
    EXPECT_EQ(DetectionSlider::StoredPosition(), 50);
    ProfileStore::instance().WriteSectionInt(QStringLiteral("Analysis1D"),
                                             QStringLiteral("peakHeightThreshold"), 130);
    EXPECT_EQ(DetectionSlider::StoredPosition(), 130);
    ProfileStore::install(std::move(previous));
}

} // namespace
