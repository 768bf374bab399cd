// The analysis view driven as a user drives it: mouse presses, drags and
// releases on the sample gel, commands by number, Escape, undo and redo.

#include "analysis1d/tests/DialogTestSupport.h"

#include "analysis1d/calibration/MWAssignments.h"
#include "analysis1d/engine/BackgroundArea.h"
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/DyeFront.h"
#include "analysis1d/engine/LoadingWells.h"
#include "analysis1d/engine/UserDrawnBand.h"
#include "analysis1d/ui/dialogs/AnalysisWizardDlg.h"
#include "analysis1d/ui/dialogs/WhiteOnBlackDlg.h"
#include "analysis1d/view/Analysis1DCommandIds.h"
#include "analysis1d/view/Analysis1DView.h"
#include "appbase/CViewHost.h"
#include "appbase/CommandRegistry.h"
#include "appbase/DensoraCommandIds.h"
#include "data/CDoubleDataArray.h"
#include "imaging/RasterImageGS16.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRadioButton>
#include <QTemporaryDir>

#include <vector>

namespace {

// A window that records what the view asks of it.
class RecordingHost : public CViewHost
{
public:
    CPoint GetScrollPosition() const override { return {}; }
    void SetScrollPosition(CPoint) override { }
    CSize GetViewportSize() const override { return CSize(800, 600); }
    void SetScrollSizes(CSize, CSize, CSize) override { }
    void InvalidateRect(const CRect &) override { }
    void InvalidateAll() override { ++repaints; }
    void SetCursor(Qt::CursorShape shape) override
    {
        cursor = shape;
        cursorId = 0;
    }
    qreal DevicePixelRatio() const override { return 1.0; }
    void ViewDestroyed() override { }
    void SetResourceCursor(int id) override { cursorId = id; }
    void SetStatusText(const QString &text) override { status = text; }
    void SetToolTipText(const QString &text) override { toolTip = text; }

    Qt::CursorShape cursor = Qt::ArrowCursor;
    int cursorId = 0;
    QString status;
    QString toolTip;
    int repaints = 0;
};

// What a band's measurement is, for comparing before and after.
struct Measured
{
    CRect position;
    double intensity;
    double peakArea;
    double migration;
    double knownMW;
    bool hasKnownMW;
    bool operator==(const Measured &) const = default;
};

class AnalysisViewTest : public DialogTest
{
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        m_view = std::make_unique<Analysis1DView>(&m_doc);
        m_view->SetHost(&m_host);
        m_view->RegisterCommands(m_registry);
    }
    void TearDown() override
    {
        m_view.reset();
        DialogTest::TearDown();
    }

    // Set up and detected, with an empty history.
    Analysis1D *detected()
    {
        Analysis1D *analysis = setUpAndDetect();
        m_doc.GetUndoRedoManager().Clear();
        return analysis;
    }

    void press(CPoint p) { m_view->OnLButtonDown(MK_LBUTTON, p); }
    void release(CPoint p) { m_view->OnLButtonUp(0, p); }
    void click(CPoint p)
    {
        press(p);
        release(p);
    }
    void drag(CPoint from, CPoint to)
    {
        press(from);
        m_view->OnMouseMove(MK_LBUTTON, CPoint((from.x + to.x) / 2, (from.y + to.y) / 2));
        m_view->OnMouseMove(MK_LBUTTON, to);
        release(to);
    }

    std::vector<std::vector<Measured>> measurements() const
    {
        std::vector<std::vector<Measured>> all;
        const Analysis1D *analysis = m_doc.GetAnalysis();
        for (int i = 0; analysis && i < analysis->GetNumberOfLanes(); ++i) {
            std::vector<Measured> lane;
            for (const Band &band : *analysis->GetLane(i).GetBands()) {
                const BandData *d = band.getData();
                lane.push_back({band.m_position, d->m_intensity, d->m_peakArea,
                                d->m_relativeMigration, d->m_knownMW, d->m_hasKnownMW});
            }
            all.push_back(lane);
        }
        return all;
    }

    // The gel point at the middle of a band (or of a lane when band < 0).
    CPoint middleOf(int lane, int band = -1) const
    {
        const Lane &l = m_doc.GetAnalysis()->GetLane(lane);
        CRect r = band < 0 ? l.GetLogicalPosition() : l.GetBand(band).GetLogicalPosition();
        r.NormalizeRect();
        return r.CenterPoint();
    }

    // A point on the lane below all of its bands, where a click hits the lane.
    CPoint laneOffBands(int lane) const
    {
        const Lane &l = m_doc.GetAnalysis()->GetLane(lane);
        CRect last = l.GetBand(l.GetNumberOfBands() - 1).GetLogicalPosition();
        last.NormalizeRect();
        CRect r = l.GetLogicalPosition();
        r.NormalizeRect();
        return CPoint(r.CenterPoint().x, (last.bottom + r.bottom) / 2);
    }

    bool enabled(int id)
    {
        m_registry.update(id);
        return m_registry.action(id)->isEnabled();
    }

    RecordingHost m_host;
    CommandRegistry m_registry;
    std::unique_ptr<Analysis1DView> m_view;
};

} // namespace

// The set-up wizard over the view: the user draws the area and the example
// band with the view's tools, and the lane commands come alive at the end.
TEST_F(AnalysisViewTest, WizardDrawsWithTheViewsToolsAndEnablesTheLaneCommands)
{
    EXPECT_TRUE(enabled(Analysis1DCmd::Start));
    EXPECT_FALSE(enabled(Analysis1DCmd::AddLane));
    ASSERT_TRUE(m_registry.run(Analysis1DCmd::Start));
    auto *wizard = topLevel<AnalysisWizardDlg>();
    ASSERT_NE(wizard, nullptr);
    EXPECT_FALSE(enabled(Analysis1DCmd::Start)) << "no second start while the wizard runs";
    wizard->TonePage()->DarkerButton()->setChecked(true);
    wizard->OnNext();
    EXPECT_EQ(m_view->GetCurrentToolType(), Analysis1DView::toolAnalysisArea);
    EXPECT_FALSE(m_host.status.isEmpty());

    drag(kSampleArea.TopLeft(), kSampleArea.BottomRight());
    AnalysisArea *area = m_doc.GetAnalysisArea();
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->m_position, kSampleArea);
    // Darker bands: the orange pen, two pixels wide.
    EXPECT_EQ(area->m_lineColor, COLORREF(0x0080FF));
    EXPECT_EQ(area->m_nLineWeight, 2);
    EXPECT_FALSE(enabled(Analysis1DCmd::AddLane));
    EXPECT_FALSE(enabled(DensoraCmd::EditUndo));
    wizard->OnNext();
    EXPECT_EQ(m_view->GetCurrentToolType(), Analysis1DView::toolExampleBand);

    // A press outside the analysis area draws nothing; a stroke under 5 pixels
    // is discarded and the tool stays.
    drag(CPoint(5, 5), CPoint(25, 15));
    drag(CPoint(150, 175), CPoint(153, 178));
    EXPECT_EQ(m_doc.GetExampleBand(), nullptr);
    EXPECT_EQ(m_view->GetCurrentToolType(), Analysis1DView::toolExampleBand);
    drag(kSampleExampleBand.TopLeft(), kSampleExampleBand.BottomRight());
    ASSERT_NE(m_doc.GetExampleBand(), nullptr);
    EXPECT_EQ(m_doc.GetExampleBand()->m_position, kSampleExampleBand);
    wizard->OnNext();
    EXPECT_NE(m_doc.GetDyeFront(), nullptr);
    EXPECT_NE(m_doc.GetLoadingWells(), nullptr);
    wizard->OnNext();
    flushDeletes();

    Analysis1D *analysis = m_doc.GetAnalysis();
    ASSERT_NE(analysis, nullptr);
    EXPECT_FALSE(analysis->IsWizardRunning());
    EXPECT_EQ(m_view->GetCurrentToolType(), toolSelect);
    for (int id : {Analysis1DCmd::Start, Analysis1DCmd::AddLane, Analysis1DCmd::DeleteLane,
                   Analysis1DCmd::AddBand, Analysis1DCmd::DeleteBand, Analysis1DCmd::DrawBand,
                   Analysis1DCmd::AutoDetect})
        EXPECT_TRUE(enabled(id)) << id;
    EXPECT_FALSE(enabled(Analysis1DCmd::ViewCalibrationValues)) << "no lanes yet";

    // Detection in a window is one undo step each time.
    analysis->DetectLanesAndBands(DetectionSlider::ThresholdFromSlider(50));
    const auto first = measurements();
    ASSERT_GT(first.size(), 4u);
    analysis->DetectLanesAndBands(DetectionSlider::ThresholdFromSlider(DetectionSlider::kMaximum));
    const auto second = measurements();
    m_view->OnEditUndo();
    EXPECT_EQ(measurements(), first);
    m_view->OnEditUndo();
    EXPECT_EQ(analysis->GetNumberOfLanes(), 0);
    m_view->OnEditRedo();
    m_view->OnEditRedo();
    EXPECT_EQ(measurements(), second);
}

// Drawing a new analysis area takes the old area, example band and dye front
// (and the lanes found on them) away; undo brings all of it back.
TEST_F(AnalysisViewTest, NewAnalysisAreaReplacesTheOldShapesAndUndoesAsItWas)
{
    detected();
    const auto before = measurements();
    ASSERT_FALSE(before.empty());
    const CRect oldExample = m_doc.GetExampleBand()->m_position;
    const CPoint firstBand = middleOf(0, 0);
    m_doc.Add(new UserDrawnBand(CRect(600, 100, 650, 120), kSampleArea));

    m_registry.run(Analysis1DCmd::AnalysisArea);
    EXPECT_EQ(m_doc.GetAnalysisArea(), nullptr);
    EXPECT_EQ(m_doc.GetExampleBand(), nullptr);
    EXPECT_EQ(m_doc.GetDyeFront(), nullptr);
    EXPECT_NE(m_doc.GetLoadingWells(), nullptr) << "the wells are not the area's";
    EXPECT_EQ(m_view->GetCurrentToolType(), Analysis1DView::toolAnalysisArea);
    const CRect smaller(60, 40, 500, 560);
    drag(smaller.TopLeft(), smaller.BottomRight());
    ASSERT_NE(m_doc.GetAnalysisArea(), nullptr);
    EXPECT_EQ(m_doc.GetAnalysisArea()->m_position, smaller);
    EXPECT_EQ(m_doc.GetAnalysis()->GetNumberOfLanes(), 0);
    EXPECT_EQ(m_doc.GetAnalysis()->GetAnalysisRasterImage()->getWidth(), smaller.Width());

    // A drawn band the new area left outside is not measured.
    CArray<Band> drawnBands;
    m_doc.GetAnalysis()->GetUserDrawBands(&drawnBands);
    EXPECT_EQ(drawnBands.GetSize(), 0);

    m_view->OnEditUndo(); // the new area
    // Back between removal and new area: no area, and the lanes with the
    // image they were measured on, where they were on the gel (migration is
    // measured without the removed dye front).
    EXPECT_EQ(m_doc.GetAnalysisArea(), nullptr);
    ASSERT_EQ(m_doc.GetAnalysis()->GetAnalysisRasterImage()->getWidth(), kSampleArea.Width());
    const auto withoutMigration = [](std::vector<std::vector<Measured>> all) {
        for (auto &lane : all)
            for (Measured &band : lane)
                band.migration = 0.0;
        return all;
    };
    EXPECT_EQ(withoutMigration(measurements()), withoutMigration(before));
    EXPECT_EQ(middleOf(0, 0), firstBand);

    m_view->OnEditUndo(); // the removal
    ASSERT_NE(m_doc.GetAnalysisArea(), nullptr);
    EXPECT_EQ(m_doc.GetAnalysisArea()->m_position, kSampleArea);
    ASSERT_NE(m_doc.GetExampleBand(), nullptr);
    EXPECT_EQ(m_doc.GetExampleBand()->m_position, oldExample);
    EXPECT_NE(m_doc.GetDyeFront(), nullptr);
    EXPECT_EQ(m_doc.GetAnalysis()->GetAnalysisRasterImage()->getWidth(), kSampleArea.Width());
    EXPECT_EQ(measurements(), before);
    // Measured again on the restored image, the bands give the same numbers.
    m_doc.GetAnalysis()->CalculateAnalysisData();
    EXPECT_EQ(measurements(), before);
}

// Dragging a band's lower edge measures that lane again at once; the drag is
// one undo step that gives back the old outline and numbers.
TEST_F(AnalysisViewTest, DraggingABandEdgeRemeasuresItsLane)
{
    Analysis1D *analysis = detected();
    const int lane = 2;
    ASSERT_GT(analysis->GetLane(lane).GetNumberOfBands(), 1);
    const auto before = measurements();

    click(middleOf(lane, 0));
    ASSERT_EQ(m_view->getSelectedBand(), &analysis->GetLane(lane).GetBand(0));
    CRect r = analysis->GetLane(lane).GetBand(0).GetLogicalPosition();
    r.NormalizeRect();
    // The upper edge, towards the wells, where the band has room.
    const CPoint edge((r.left + r.right) / 2, r.top);
    drag(edge, edge - CSize(0, 6));

    const auto after = measurements();
    EXPECT_EQ(after[lane][0].position.top, before[lane][0].position.top - 6);
    EXPECT_NE(after[lane][0].peakArea, before[lane][0].peakArea);
    EXPECT_EQ(after[lane - 1], before[lane - 1]) << "other lanes are not touched";
    // What the lane shows is what a full measurement gives.
    analysis->CalculateAnalysisData();
    EXPECT_EQ(measurements(), after);

    ASSERT_TRUE(m_doc.CanUndo());
    m_view->OnEditUndo();
    EXPECT_EQ(measurements(), before);
    m_view->OnEditRedo();
    EXPECT_EQ(measurements(), after);
}

// The dye front stays movable after the set-up, and moving it measures the
// relative migration against the new row.
TEST_F(AnalysisViewTest, MovingTheDyeFrontRemeasuresMigration)
{
    Analysis1D *analysis = detected();
    const double migration = analysis->GetLane(1).GetBand(0).getData()->m_relativeMigration;
    DyeFront *dyeFront = m_doc.GetDyeFront();
    ASSERT_NE(dyeFront, nullptr);
    CRect r = dyeFront->m_position;
    r.NormalizeRect();
    // A point of the strip beside every lane.
    CPoint grip(r.left + 12, (r.top + r.bottom) / 2); // clear of the end handles
    for (int lane = -1, band = -1; grip.x < r.right; ++grip.x) {
        m_view->HitLaneAndBand(grip, lane, band);
        if (lane < 0)
            break;
    }
    ASSERT_EQ(m_doc.ObjectAt(grip), dyeFront);
    click(grip);
    drag(grip, grip - CSize(0, 30));
    EXPECT_EQ(m_doc.GetDyeFront()->m_position.top, r.top - 30);
    EXPECT_GT(analysis->GetLane(1).GetBand(0).getData()->m_relativeMigration, migration);
    m_view->OnEditUndo();
    EXPECT_EQ(analysis->GetLane(1).GetBand(0).getData()->m_relativeMigration, migration);
}

// A ladder is one lane's: assigning it clears the known weights everywhere,
// gives as many markers as both have, and needs a lane with two bands.
TEST_F(AnalysisViewTest, LadderAssignmentFromTheLaneMenu)
{
    Analysis1D *analysis = detected();
    const int bands = analysis->GetLane(0).GetNumberOfBands();
    ASSERT_GT(bands, 3);
    MWAssignments::AssignKnownValues(*analysis->GetLane(3).GetBand(0).getData(), 0.0, 42.0);

    click(laneOffBands(0));
    ASSERT_EQ(m_view->getSelectedBand(), nullptr);
    ASSERT_EQ(m_view->getSelectedLane(), &analysis->GetLane(0));
    EXPECT_TRUE(enabled(Analysis1DCmd::LaneAssignLadder));

    CDoubleDataArray longer;
    for (int i = 0; i < bands + 3; ++i)
        longer.Add(500.0 - 10.0 * i);
    ASSERT_TRUE(m_view->AssignLadderToSelectedLane(longer));
    for (int i = 0; i < bands; ++i) {
        const BandData *d = analysis->GetLane(0).GetBand(i).getData();
        EXPECT_TRUE(d->m_hasKnownMW);
        EXPECT_EQ(d->m_knownMW, 500.0 - 10.0 * i);
    }
    EXPECT_FALSE(analysis->GetLane(3).GetBand(0).getData()->m_hasKnownMW);
    EXPECT_EQ(analysis->GetLane(3).GetBand(0).getData()->m_knownMW, 0.0);

    CDoubleDataArray shorter;
    for (int i = 0; i < bands - 2; ++i)
        shorter.Add(100.0 - i);
    click(laneOffBands(0));
    ASSERT_TRUE(m_view->AssignLadderToSelectedLane(shorter));
    EXPECT_TRUE(analysis->GetLane(0).GetBand(bands - 3).getData()->m_hasKnownMW);
    EXPECT_FALSE(analysis->GetLane(0).GetBand(bands - 2).getData()->m_hasKnownMW);
    EXPECT_FALSE(analysis->GetLane(0).GetBand(bands - 1).getData()->m_hasKnownMW);

    // Two undo steps back: lane 3's own weight again.
    m_view->OnEditUndo();
    m_view->OnEditUndo();
    EXPECT_TRUE(analysis->GetLane(3).GetBand(0).getData()->m_hasKnownMW);
    EXPECT_EQ(analysis->GetLane(3).GetBand(0).getData()->m_knownMW, 42.0);

    // A lane left with one band refuses and changes nothing.
    while (analysis->GetLane(4).GetNumberOfBands() > 1)
        analysis->GetLane(4).RemoveBand(0);
    click(laneOffBands(4));
    const auto kept = measurements();
    m_prompts->Clear();
    EXPECT_FALSE(m_view->AssignLadderToSelectedLane(longer));
    EXPECT_EQ(m_prompts->Texts(),
              QStringList {QStringLiteral("Please select a lane that has at least 2 bands.")});
    EXPECT_EQ(measurements(), kept);
}

// Lane and band tools: prompts, cursors, clicks outside ignored, each edit
// one undo step, Done and Escape back to selection.
TEST_F(AnalysisViewTest, LaneAndBandToolsEditOneStepAtATime)
{
    Analysis1D *analysis = detected();
    const int lanes = analysis->GetNumberOfLanes();

    m_registry.run(Analysis1DCmd::DeleteLane);
    EXPECT_EQ(m_view->GetCurrentToolType(), Analysis1DView::toolLaneDelete);
    EXPECT_TRUE(m_view->IsPromptOpen());
    EXPECT_EQ(
        m_view->GetPromptText(),
        QStringLiteral("Please click on the Lane you wish to delete.\n  Click 'Done' to exit"));
    m_view->OnMouseMove(0, middleOf(1));
    EXPECT_EQ(m_host.cursorId, Analysis1DCmd::CursorDeleteLane);
    EXPECT_EQ(m_view->GetHotLane(), 1);
    click(CPoint(10, 10)); // outside the analysis area
    EXPECT_EQ(analysis->GetNumberOfLanes(), lanes);
    EXPECT_FALSE(m_doc.CanUndo());
    const auto before = measurements();
    click(middleOf(1));
    EXPECT_EQ(analysis->GetNumberOfLanes(), lanes - 1);
    m_view->OnPromptDone();
    EXPECT_EQ(m_view->GetCurrentToolType(), toolSelect);
    EXPECT_FALSE(m_view->IsPromptOpen());
    m_view->OnEditUndo();
    EXPECT_EQ(measurements(), before);

    // The lane comes back where it was by the add-lane tool; on a lane it
    // may not.
    m_registry.run(Analysis1DCmd::DeleteLane);
    click(middleOf(1));
    m_registry.run(Analysis1DCmd::AddLane);
    EXPECT_EQ(m_view->GetPromptText(),
              QStringLiteral("Please click on the location where you want a Lane to be added.\n"
                             "  Click 'Done' to exit"));
    click(middleOf(1));
    EXPECT_EQ(analysis->GetNumberOfLanes(), lanes - 1) << "a click on a lane adds none";
    const CPoint gap((analysis->GetLane(0).GetLogicalPosition().right
                      + analysis->GetLane(1).GetLogicalPosition().left)
                         / 2,
                     300);
    m_view->OnMouseMove(0, gap);
    EXPECT_EQ(m_host.cursorId, Analysis1DCmd::CursorAddLane);
    click(gap);
    EXPECT_EQ(analysis->GetNumberOfLanes(), lanes);
    m_view->OnKeyDown(VK_ESCAPE, 1, 0);
    EXPECT_EQ(m_view->GetCurrentToolType(), toolSelect);
    EXPECT_FALSE(m_view->IsPromptOpen());
    EXPECT_TRUE(m_host.status.isEmpty());

    // Delete a band by click, then add one in the gap it left.
    const int bands = analysis->GetLane(2).GetNumberOfBands();
    m_registry.run(Analysis1DCmd::DeleteBand);
    const CPoint bandMiddle = middleOf(2, 1);
    m_view->OnMouseMove(0, bandMiddle);
    EXPECT_EQ(m_host.cursorId, Analysis1DCmd::CursorDeleteBand);
    click(bandMiddle);
    EXPECT_EQ(analysis->GetLane(2).GetNumberOfBands(), bands - 1);
    m_registry.run(Analysis1DCmd::AddBand);
    EXPECT_EQ(m_view->GetCurrentToolType(), Analysis1DView::toolBandAdd);
    m_view->OnMouseMove(0, bandMiddle);
    EXPECT_EQ(m_host.cursorId, Analysis1DCmd::CursorAddBand);
    click(bandMiddle);
    EXPECT_EQ(analysis->GetLane(2).GetNumberOfBands(), bands);
    EXPECT_EQ(m_view->getSelectedLane(), &analysis->GetLane(2));
    const auto added = measurements();
    m_view->OnEditUndo();
    EXPECT_EQ(analysis->GetLane(2).GetNumberOfBands(), bands - 1);
    m_view->OnEditRedo();
    EXPECT_EQ(measurements(), added);
}

// User-drawn bands: under 5 pixels discarded without a step, a real one kept
// in its placed colour as one step with the drawing tool's caption.
TEST_F(AnalysisViewTest, DrawnBandsAndTheFivePixelRule)
{
    detected();
    m_registry.run(Analysis1DCmd::DrawBand);
    EXPECT_EQ(m_view->GetCurrentToolType(), Analysis1DView::toolBandDraw);
    drag(CPoint(400, 300), CPoint(403, 304));
    EXPECT_TRUE(m_doc.GetAllUserDrawBands().isEmpty());
    EXPECT_FALSE(m_doc.CanUndo());
    drag(CPoint(5, 300), CPoint(25, 320)); // pressed outside the area
    EXPECT_TRUE(m_doc.GetAllUserDrawBands().isEmpty());

    drag(CPoint(400, 300), CPoint(440, 312));
    ASSERT_EQ(m_doc.GetAllUserDrawBands().size(), 1);
    const UserDrawnBand *drawn = m_doc.GetAllUserDrawBands().first();
    EXPECT_EQ(drawn->m_position, CRect(400, 300, 440, 312));
    EXPECT_EQ(drawn->m_lineColor, COLORREF(0x80FF00));
    EXPECT_EQ(m_view->GetCurrentToolType(), Analysis1DView::toolBandDraw) << "stays for the next";
    EXPECT_EQ(m_doc.GetUndoRedoManager().GetUndoCaption(),
              QStringLiteral("BandDrawTool::OnLButtonDown"));
    m_view->OnEditUndo();
    EXPECT_TRUE(m_doc.GetAllUserDrawBands().isEmpty());
    m_view->OnEditRedo();
    EXPECT_EQ(m_doc.GetAllUserDrawBands().size(), 1);

    // The background area, in its drawing colour once placed.
    m_registry.run(Analysis1DCmd::BackgroundArea);
    drag(CPoint(50, 500), CPoint(120, 540));
    ASSERT_NE(m_doc.GetBackgroundArea(), nullptr);
    EXPECT_EQ(m_doc.GetBackgroundArea()->m_lineColor, COLORREF(0xFFFF00));
}

// The picture with its overlay as a JPEG, and the print parts.
TEST_F(AnalysisViewTest, BurntOverlayAndPrintParts)
{
    m_prompts->Clear();
    m_registry.updateAll();
    EXPECT_FALSE(m_registry.action(Analysis1DCmd::AnalysisReport)->isEnabled());
    EXPECT_FALSE(m_view->OnSaveImageWithBurntOverlay());
    EXPECT_EQ(m_prompts->Texts(),
              QStringList {QStringLiteral("There aren't any overlay objects to save!")});

    detected();
    QTemporaryDir dir;
    m_prompts->QueueFile(dir.filePath(QStringLiteral("gel")));
    ASSERT_TRUE(m_view->OnSaveImageWithBurntOverlay());
    QImage written(dir.filePath(QStringLiteral("gel.jpg")));
    ASSERT_FALSE(written.isNull());
    const TVFImage *picture = m_doc.GetImage();
    EXPECT_EQ(written.width(), int(picture->getWidth()));
    EXPECT_EQ(written.height(), int(picture->getHeight()));
    // Lane 1's outline is burnt in red; beside the analysis area the gel is grey.
    const auto redness = [&written](int x, int top, int bottom) {
        double sum = 0.0;
        for (int y = top; y < bottom; ++y) {
            const QColor c = written.pixelColor(x, y);
            sum += c.red() - c.green();
        }
        return sum / (bottom - top);
    };
    CRect lane = m_doc.GetAnalysis()->GetLane(0).GetLogicalPosition();
    lane.NormalizeRect();
    EXPECT_GT(redness(lane.left, lane.top + 10, lane.bottom - 10),
              redness(10, lane.top + 10, lane.bottom - 10) + 20.0);

    // The analysis report: refused until there are lanes (checked above by
    // the command's state), then one PDF of several pages where the user
    // said, ".pdf" added.
    m_registry.updateAll();
    EXPECT_TRUE(m_registry.action(Analysis1DCmd::AnalysisReport)->isEnabled());
    m_prompts->QueueFile(dir.filePath(QStringLiteral("report")));
    m_registry.run(Analysis1DCmd::AnalysisReport);
    QFile pdf(dir.filePath(QStringLiteral("report.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GT(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r")
                  + bytes.count("/Type /Page "),
              1);

    // Without result windows the report and the graph cannot be chosen.
    bool askedReport = true;
    bool askedGraph = true;
    Analysis1DView::SetPrintOptionsDialog(
        [&](QObject *, bool report, bool graph, Analysis1DView::PrintParts &parts) {
            askedReport = report;
            askedGraph = graph;
            parts.image = parts.report = parts.graph = true;
            return true;
        });
    EXPECT_TRUE(m_view->OnPreparePrinting());
    EXPECT_FALSE(askedReport);
    EXPECT_FALSE(askedGraph);
    EXPECT_TRUE(m_view->GetPrintParts().image);
    EXPECT_FALSE(m_view->GetPrintParts().report);
    EXPECT_EQ(m_view->PageCount(), 1);
    Analysis1DView::SetPrintOptionsDialog(
        [](QObject *, bool, bool, Analysis1DView::PrintParts &) { return false; });
    EXPECT_FALSE(m_view->OnPreparePrinting());
    Analysis1DView::SetPrintOptionsDialog({});
}

// A detection cancelled from its progress leaves everything as it was; one
// that runs through reports every lane and is one undo step.
TEST_F(AnalysisViewTest, DetectionProgressAndCancel)
{
    Analysis1D *analysis = detected();
    const auto before = measurements();
    const double threshold = analysis->GetPeakHeightThreshold();
    int calls = 0;
    EXPECT_FALSE(analysis->DetectLanesAndBands(0.05, [&calls](int done, int) {
        ++calls;
        return done < 2;
    }));
    EXPECT_GT(calls, 2);
    EXPECT_EQ(measurements(), before);
    EXPECT_EQ(analysis->GetPeakHeightThreshold(), threshold);
    EXPECT_FALSE(m_doc.CanUndo());

    int last = -1;
    int lanes = -1;
    EXPECT_TRUE(analysis->DetectLanesAndBands(0.05, [&](int done, int total) {
        last = done;
        lanes = total;
        return true;
    }));
    EXPECT_EQ(last, lanes);
    EXPECT_EQ(analysis->GetNumberOfLanes(), lanes);
    m_view->OnEditUndo();
    EXPECT_EQ(measurements(), before);
}

// A picture of the view as the user sees it: the lanes and bands over the gel,
// the lane and band under the mouse highlighted, a band selected. Written to
// build/screenshots/ to be looked at.
TEST_F(AnalysisViewTest, PictureOfTheView)
{
    detected();
    click(middleOf(3, 1));
    m_view->OnMouseMove(0, middleOf(2, 2));
    EXPECT_EQ(m_view->GetHotLane(), 2);
    EXPECT_EQ(m_view->GetHotBand(), 2);
    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(Qt::black);
    {
        QPainter painter(&picture);
        m_view->PaintVisible(&painter, picture.rect());
    }
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
    QDir().mkpath(dir);
    ASSERT_TRUE(picture.save(dir + QStringLiteral("/analysis-view.png")));
}

// A clipped band reads too low: the gel outlines it in magenta and the mouse
// over it names it; other bands keep their plain outline and no tooltip.
TEST_F(AnalysisViewTest, SaturatedBandsAreOutlinedAndNamedUnderTheMouse)
{
    detected();
    m_doc.GetAnalysis()->GetLane(1).GetBand(0).getData()->m_saturatedPixels = 12;

    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(Qt::black);
    {
        QPainter painter(&picture);
        m_view->PaintVisible(&painter, picture.rect());
    }
    // Magenta pixels on a ring just outside the band's rectangle.
    const auto magentaAround = [&](int lane, int band) {
        CRect r = m_doc.GetAnalysis()->GetLane(lane).GetBand(band).GetLogicalPosition();
        r.NormalizeRect();
        int count = 0;
        for (int y = r.top - 3; y <= r.bottom + 3; ++y) {
            for (int x = r.left - 3; x <= r.right + 3; ++x) {
                const bool inside = x > r.left && x < r.right && y > r.top && y < r.bottom;
                if (!inside && picture.rect().contains(x, y)
                    && picture.pixel(x, y) == Analysis1DView::kSaturatedColor.rgb())
                    ++count;
            }
        }
        return count;
    };
    EXPECT_GT(magentaAround(1, 0), 2 * 20);
    EXPECT_EQ(magentaAround(2, 0), 0);
    EXPECT_EQ(magentaAround(1, 1), 0);

    m_view->OnMouseMove(0, middleOf(1, 0));
    EXPECT_EQ(m_host.toolTip, QStringLiteral("Band 1 of lane 2 is saturated: 12 pixels at full "
                                             "scale, its amount reads too low"));
    m_view->OnMouseMove(0, middleOf(2, 0));
    EXPECT_TRUE(m_host.toolTip.isEmpty());
}
