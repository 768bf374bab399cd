// The set-up wizard and the detection dialog, driven as the user drives them.

#include "analysis1d/tests/DialogTestSupport.h"

#include "analysis1d/engine/DetectionSlider.h"
#include "analysis1d/engine/DyeFront.h"
#include "analysis1d/engine/LoadingWells.h"
#include "analysis1d/ui/dialogs/AnalysisWizardDlg.h"
#include "analysis1d/ui/dialogs/DetectionDlg.h"
#include "analysis1d/ui/dialogs/WhiteOnBlackDlg.h"
#include "contracts/overlay/COffscreenDrawView.h"
#include "imaging/RasterImageGS16.h"
#include "util/ui/CProgressDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

namespace {

class SetupDialogsTest : public DialogTest
{
protected:
    AnalysisWizardDlg *startWizard()
    {
        m_doc.OnAnalysisStart(nullptr, 0);
        auto *wizard = topLevel<AnalysisWizardDlg>();
        EXPECT_NE(wizard, nullptr);
        return wizard;
    }
    void next(AnalysisWizardDlg *wizard)
    {
        QTest::mouseClick(wizard->NextButton(), Qt::LeftButton);
    }
    void back(AnalysisWizardDlg *wizard)
    {
        QTest::mouseClick(wizard->BackButton(), Qt::LeftButton);
    }
};

// All four pages forward, back to the tone page (which takes away what the
// later pages placed) and forward again to Done.
TEST_F(SetupDialogsTest, WizardBackToFirstPageAndForwardPlacesShapesAnew)
{
    AnalysisWizardDlg *wizard = startWizard();
    ASSERT_NE(wizard, nullptr);
    Analysis1D *analysis = m_doc.GetAnalysis();
    ASSERT_NE(analysis, nullptr);
    EXPECT_EQ(analysis->IsWizardRunning(), 1);
    EXPECT_EQ(wizard->TitleLabel()->text(), QStringLiteral("Forground object tone"));
    EXPECT_FALSE(wizard->BackButton()->isEnabled());

    for (int round = 0; round < 2; ++round) {
        QTest::mouseClick(wizard->TonePage()->DarkerButton(), Qt::LeftButton);
        next(wizard);
        EXPECT_EQ(wizard->GetCurrentPage(), 1);
        EXPECT_EQ(wizard->TitleLabel()->text(), QStringLiteral("Analysis area "));
        EXPECT_EQ(analysis->GetWhiteOnBlack(), 0);
        EXPECT_EQ(m_seam->LastTool(), AnalysisViewSeam::kAnalysisAreaTool);
        EXPECT_FALSE(wizard->NextButton()->isEnabled());
        m_seam->DrawArea(kSampleArea);
        EXPECT_TRUE(wizard->NextButton()->isEnabled());

        next(wizard);
        EXPECT_EQ(wizard->GetCurrentPage(), 2);
        ASSERT_NE(analysis->GetAnalysisRasterImage(), nullptr);
        EXPECT_EQ(analysis->GetAnalysisRasterImage()->getWidth(), kSampleArea.Width());
        EXPECT_EQ(m_seam->LastTool(), AnalysisViewSeam::kExampleBandTool);
        EXPECT_FALSE(wizard->NextButton()->isEnabled());
        m_seam->DrawExampleBand(kSampleExampleBand);
        EXPECT_TRUE(wizard->NextButton()->isEnabled());

        next(wizard);
        EXPECT_EQ(wizard->GetCurrentPage(), 3);
        EXPECT_EQ(wizard->NextButton()->text(), QStringLiteral("&Done"));
        EXPECT_TRUE(wizard->NextButton()->isEnabled());
        ASSERT_NE(m_doc.GetDyeFront(), nullptr);
        ASSERT_NE(m_doc.GetLoadingWells(), nullptr);
        EXPECT_EQ(m_doc.GetAnalysisArea()->m_position, kSampleArea);
        if (round == 1)
            break;

        back(wizard);
        EXPECT_EQ(wizard->NextButton()->text(), QStringLiteral("&Next >>"));
        EXPECT_EQ(m_doc.GetExampleBand(), nullptr);
        back(wizard);
        back(wizard);
        EXPECT_EQ(wizard->GetCurrentPage(), 0);
        EXPECT_FALSE(wizard->BackButton()->isEnabled());
        EXPECT_TRUE(wizard->NextButton()->isEnabled());
        EXPECT_EQ(m_doc.GetAnalysisArea(), nullptr);
        EXPECT_EQ(m_doc.GetDyeFront(), nullptr);
        EXPECT_EQ(m_doc.GetExampleBand(), nullptr);
    }

    next(wizard); // Done
    flushDeletes();
    EXPECT_EQ(topLevel<AnalysisWizardDlg>(), nullptr);
    EXPECT_EQ(analysis->IsWizardRunning(), 0);
    ASSERT_NE(m_doc.GetExampleBand(), nullptr);
    EXPECT_EQ(m_doc.GetExampleBand()->m_visible, 0);
    EXPECT_EQ(m_doc.GetExampleBand()->IsEditable(), false);
    // Only one of each shape, however often the pages were entered.
    int areas = 0;
    for (const CDrawObject *obj : m_doc.GetObjects())
        areas += obj->IsKindOf(RUNTIME_CLASS(AnalysisArea)) ? 1 : 0;
    EXPECT_EQ(areas, 1);
}

// Cancel on any page removes the analysis with the shapes drawn so far; the
// analysis going lets go of the wizard without a second removal.
TEST_F(SetupDialogsTest, CancellingTheWizardRemovesTheAnalysis)
{
    AnalysisWizardDlg *wizard = startWizard();
    ASSERT_NE(wizard, nullptr);
    next(wizard);
    m_seam->DrawArea(kSampleArea);
    next(wizard);
    ASSERT_NE(m_doc.GetAnalysis(), nullptr);

    wizard->reject();
    EXPECT_EQ(m_doc.GetAnalysis(), nullptr);
    EXPECT_EQ(m_doc.GetAnalysisArea(), nullptr);
    EXPECT_EQ(m_seam->LastTool(), AnalysisViewSeam::kSelectTool);
    flushDeletes();
    EXPECT_EQ(topLevel<AnalysisWizardDlg>(), nullptr);
}

// A stored position outside the slider keeps its own threshold until the
// slider moves; a move counts from the stored value and is clamped.
TEST_F(SetupDialogsTest, StoredSliderAboveRangeIsClampedOnlyWhenMoved)
{
    setUpAndDetect();
    ProfileStore::instance().WriteSectionInt(DetectionSlider::ProfileSection(),
                                             DetectionSlider::ProfileKey(), 130);
    m_doc.GetAnalysis()->StartDetectionWizard(nullptr);
    auto *dialog = topLevel<DetectionDlg>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(m_doc.GetAnalysis()->GetNumberOfLanes(), 0);
    EXPECT_EQ(dialog->GetPosition(), 130);
    EXPECT_DOUBLE_EQ(dialog->GetThreshold(), DetectionSlider::ThresholdFromSlider(130));
    EXPECT_EQ(dialog->ValueLabel()->text(), QStringLiteral("130"));

    dialog->Slider()->setFocus();
    QTest::keyClick(dialog->Slider(), Qt::Key_Left);
    EXPECT_EQ(dialog->GetPosition(), 100);
    EXPECT_DOUBLE_EQ(dialog->GetThreshold(), DetectionSlider::ThresholdFromSlider(100));
    QTest::keyClick(dialog->Slider(), Qt::Key_Home);
    EXPECT_EQ(dialog->GetPosition(), 0);
    EXPECT_DOUBLE_EQ(dialog->GetThreshold(), DetectionSlider::ThresholdFromSlider(0));
    QTest::keyClick(dialog->Slider(), Qt::Key_PageUp);
    EXPECT_EQ(dialog->ValueLabel()->text(), QStringLiteral("5"));
}

// Detect may be pressed again: the same position gives the same lanes and
// bands, and the position is kept for the next session. OK ends the dialog.
TEST_F(SetupDialogsTest, DetectTwiceWithTheSamePositionFindsTheSameBands)
{
    Analysis1D *analysis = setUpAndDetect();
    analysis->StartDetectionWizard(nullptr);
    auto *dialog = topLevel<DetectionDlg>();
    ASSERT_NE(dialog, nullptr);
    dialog->Slider()->setFocus();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(dialog->Slider(), Qt::Key_PageUp);
    ASSERT_EQ(dialog->GetPosition(), 70);

    QTest::mouseClick(dialog->DetectButton(), Qt::LeftButton);
    const int lanes = analysis->GetNumberOfLanes();
    ASSERT_GE(lanes, 6);
    QList<int> bands;
    QList<double> intensities;
    for (int i = 0; i < lanes; ++i) {
        bands << analysis->GetLane(i).GetNumberOfBands();
        if (bands.last() > 0)
            intensities << analysis->GetLane(i).GetBand(0).getData()->m_intensity;
    }
    EXPECT_DOUBLE_EQ(analysis->GetPeakHeightThreshold(), DetectionSlider::ThresholdFromSlider(70));
    EXPECT_EQ(DetectionSlider::StoredPosition(), 70);

    QTest::mouseClick(dialog->DetectButton(), Qt::LeftButton);
    ASSERT_EQ(analysis->GetNumberOfLanes(), lanes);
    QList<double> again;
    for (int i = 0; i < lanes; ++i) {
        EXPECT_EQ(analysis->GetLane(i).GetNumberOfBands(), bands[i]);
        if (bands[i] > 0)
            again << analysis->GetLane(i).GetBand(0).getData()->m_intensity;
    }
    EXPECT_EQ(again, intensities);
    EXPECT_EQ(analysis->IsWizardRunning(), 1);

    // A detection cancelled in its progress window (shown at once here)
    // leaves the lanes and the threshold of the last one.
    QTest::keyClick(dialog->Slider(), Qt::Key_PageUp);
    const int delay = DetectionDlg::s_progressDelayMs;
    DetectionDlg::s_progressDelayMs = 0;
    bool cancelled = false;
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *progress = qobject_cast<CProgressDlg *>(w); progress && progress->isVisible()) {
                progress->GetCancelButton()->click();
                cancelled = true;
            }
        }
    });
    cancel.start(0);
    QTest::mouseClick(dialog->DetectButton(), Qt::LeftButton);
    cancel.stop();
    DetectionDlg::s_progressDelayMs = delay;
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(analysis->GetNumberOfLanes(), lanes);
    EXPECT_DOUBLE_EQ(analysis->GetPeakHeightThreshold(), DetectionSlider::ThresholdFromSlider(70));
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<CProgressDlg *>(w) && w->isVisible());

    dialog->accept();
    EXPECT_EQ(analysis->IsWizardRunning(), 0);
    flushDeletes();
    EXPECT_EQ(topLevel<DetectionDlg>(), nullptr);
}

// After the set-up the reference lines stay movable by the mouse although
// their stored editable flag is cleared; a move by the user re-measures the
// relative migration and keeps the line's distance for the next analysis.
TEST_F(SetupDialogsTest, ReferenceLinesMovableAfterSetupAndRemeasured)
{
    Analysis1D *analysis = setUpAndDetect();
    DyeFront *dyeFront = m_doc.GetDyeFront();
    LoadingWells *wells = m_doc.GetLoadingWells();
    ASSERT_NE(dyeFront, nullptr);
    ASSERT_NE(wells, nullptr);
    EXPECT_FALSE(dyeFront->IsEditable());
    EXPECT_TRUE(dyeFront->CanBeEdited());
    EXPECT_TRUE(wells->CanBeEdited());
    ASSERT_GT(analysis->GetLane(0).GetNumberOfBands(), 0);
    const BandData &band = *analysis->GetLane(0).GetBand(0).getData();
    const double before = band.m_relativeMigration;
    const int distance = m_doc.GetDyeFrontDistance();

    // Moved by code (no view): nothing is measured again.
    CRect moved = dyeFront->m_position;
    moved.OffsetRect(0, -60);
    dyeFront->MoveTo(moved, nullptr);
    EXPECT_EQ(band.m_relativeMigration, before);

    COffscreenDrawView view(&m_doc);
    moved.OffsetRect(0, -20);
    dyeFront->MoveTo(moved, &view);
    EXPECT_EQ(analysis->getDyeFrontCenterY(), (moved.top + moved.bottom) / 2 - kSampleArea.top);
    EXPECT_GT(band.m_relativeMigration, before);
    EXPECT_EQ(m_doc.GetDyeFrontDistance(), distance + 80);
    EXPECT_FALSE(dyeFront->IsEditable());
}

} // namespace
