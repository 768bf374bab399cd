// The gel analysis in the program's own window, driven as a user drives it:
// the ribbon's analysis category, the mouse on the gel, the wizard, the
// detection dialog, the prompt window, the popup menus and the modal dialogs,
// through to a saved and reopened analysis.

#include "app/tests/AppTestEnvironment.h"

#include "app/DensoraAppCommandIds.h"

#include "analysis1d/calibration/MWLadderLibrary.h"
#include "analysis1d/calibration/StorableMWStandard.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/AnalysisSetup.h"
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/BandData.h"
#include "analysis1d/engine/DetectionSlider.h"
#include "analysis1d/engine/DyeFront.h"
#include "analysis1d/engine/Lane.h"
#include "analysis1d/engine/LoadingWells.h"
#include "analysis1d/engine/ReportOptions.h"
#include "analysis1d/engine/ReportTable.h"
#include "analysis1d/ui/GraphWnd1D.h"
#include "analysis1d/ui/ReportWnd1D.h"
#include "analysis1d/ui/dialogs/AddLaneBandDlg.h"
#include "analysis1d/ui/dialogs/AnalysisPrintOptionsDlg.h"
#include "analysis1d/ui/dialogs/AnalysisWizardDlg.h"
#include "analysis1d/ui/dialogs/ApplicationOptionsPS.h"
#include "analysis1d/ui/dialogs/CalibrationPS.h"
#include "analysis1d/ui/dialogs/CalibrationValueDlg.h"
#include "analysis1d/ui/dialogs/DetectionDlg.h"
#include "analysis1d/ui/dialogs/MWLadderDialog.h"
#include "analysis1d/ui/dialogs/TVRListDialog.h"
#include "analysis1d/ui/dialogs/PPAnalysisOptionReport.h"
#include "analysis1d/ui/dialogs/WhiteOnBlackDlg.h"
#include "analysis1d/view/Analysis1DCommandIds.h"
#include "analysis1d/view/Analysis1DView.h"
#include "appbase/DensoraCommandIds.h"
#include "appbase/ui/CDensoraPrinting.h"
#include "appbase/ui/CRibbonPanel.h"
#include "tools/gelsynth/GelDescription.h"
#include "tools/gelsynth/GelSynth.h"

#include "platform/ProfileStore.h"
#include "platform/Prompts.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QTreeWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QFileInfo>
#include <QRegularExpression>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSlider>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

QString sourceDir()
{
    return qEnvironmentVariableIsSet("DENSORA_SOURCE_DIR")
        ? qEnvironmentVariable("DENSORA_SOURCE_DIR")
        : QStringLiteral(DENSORA_SOURCE_DIR);
}

// The bundled sample gel, rendered from its description as the build does.
bool writeSampleGel(const QString &path)
{
    GelSynth gel(GelDescription::fromFile(sourceDir() + QStringLiteral("/samples/sample-gel.txt")));
    gel.render();
    return gel.writeImage(path);
}

void settle(int rounds = 3)
{
    for (int i = 0; i < rounds; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Runs `act` on the first visible window of type T once it is up (a modal
// dialog or a popup menu runs its own event loop), then lets the caller go on.
template <typename T>
void whenShown(std::function<void(T *)> act, bool *seen = nullptr)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act, seen, tries] {
        T *found = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *t = qobject_cast<T *>(w); t && t->isVisible())
                found = t;
        }
        if (!found) {
            for (QWidget *w : QApplication::allWidgets()) {
                if (auto *t = qobject_cast<T *>(w); t && t->isVisible() && t->isWindow())
                    found = t;
            }
        }
        if (!found && ++*tries < 300)
            return;
        timer->stop();
        timer->deleteLater();
        if (seen)
            *seen = found != nullptr;
        if (found)
            act(found);
    });
    timer->start();
}

// The user's mouse over the gel, at gel pixels.
class GelMouse
{
public:
    explicit GelMouse(CMainFrame *frame)
        : m_viewport(static_cast<QAbstractScrollArea *>(frame->GetCentralView())->viewport()),
          m_view(frame->GetAnalysisView())
    { }

    QPoint at(CPoint logical) const
    {
        m_view->Logical2Screen(logical, true);
        return QPoint(logical.x, logical.y);
    }
    void move(CPoint p, Qt::MouseButtons held = Qt::NoButton)
    {
        send(QEvent::MouseMove, p, Qt::NoButton, held);
    }
    void drag(CPoint from, CPoint to)
    {
        move(from);
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int step = 1; step <= 5; ++step)
            move(CPoint(from.x + (to.x - from.x) * step / 5, from.y + (to.y - from.y) * step / 5),
                 Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    void click(CPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        move(p);
        send(QEvent::MouseButtonPress, p, button, button);
        send(QEvent::MouseButtonRelease, p, button, Qt::NoButton);
    }

private:
    void send(QEvent::Type type, CPoint logical, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        const QPoint p = at(logical);
        QMouseEvent event(type, QPointF(p), QPointF(m_viewport->mapToGlobal(p)), button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(m_viewport, &event);
    }

    QWidget *m_viewport;
    Analysis1DView *m_view;
};

// A band's centre in gel pixels.
CPoint bandCentre(Analysis1DDoc *, const Band &band)
{
    CRect r = band.GetLogicalPosition();
    r.NormalizeRect();
    return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

int bandCount(const Analysis1D &analysis)
{
    int count = 0;
    for (int i = 0; i < analysis.GetNumberOfLanes(); ++i)
        count += analysis.GetLane(i).GetNumberOfBands();
    return count;
}

// Every measurement of every band, exactly.
struct Measured
{
    CRect position;
    BandData data;
};

std::vector<std::vector<Measured>> measurements(Analysis1D &analysis)
{
    std::vector<std::vector<Measured>> lanes;
    for (int i = 0; i < analysis.GetNumberOfLanes(); ++i) {
        std::vector<Measured> bands;
        Lane &lane = analysis.GetLane(i);
        for (int b = 0; b < lane.GetNumberOfBands(); ++b)
            bands.push_back({lane.GetBand(b).m_position, *lane.GetBand(b).getData()});
        lanes.push_back(bands);
    }
    return lanes;
}

void expectSameMeasurements(const std::vector<std::vector<Measured>> &expected,
                            const std::vector<std::vector<Measured>> &actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t lane = 0; lane < expected.size(); ++lane) {
        ASSERT_EQ(expected[lane].size(), actual[lane].size()) << "lane " << lane + 1;
        for (size_t b = 0; b < expected[lane].size(); ++b) {
            const BandData &e = expected[lane][b].data;
            const BandData &a = actual[lane][b].data;
            SCOPED_TRACE(testing::Message() << "lane " << lane + 1 << " band " << b + 1);
            EXPECT_EQ(expected[lane][b].position, actual[lane][b].position);
            EXPECT_EQ(e.m_centerOfGravity, a.m_centerOfGravity);
            EXPECT_EQ(e.m_detectedRect, a.m_detectedRect);
            EXPECT_EQ(e.m_centerValue, a.m_centerValue);
            EXPECT_EQ(e.m_valid, a.m_valid);
            EXPECT_DOUBLE_EQ(e.m_peakWidth, a.m_peakWidth);
            EXPECT_DOUBLE_EQ(e.m_gaussianFit, a.m_gaussianFit);
            EXPECT_DOUBLE_EQ(e.m_peakAmplitude, a.m_peakAmplitude);
            EXPECT_DOUBLE_EQ(e.m_peakArea, a.m_peakArea);
            EXPECT_DOUBLE_EQ(e.m_peakAreaFraction, a.m_peakAreaFraction);
            EXPECT_DOUBLE_EQ(e.m_intensity, a.m_intensity);
            EXPECT_DOUBLE_EQ(e.m_intensityFraction, a.m_intensityFraction);
            EXPECT_DOUBLE_EQ(e.m_calibratedIntensity, a.m_calibratedIntensity);
            EXPECT_DOUBLE_EQ(e.m_calibratedMW, a.m_calibratedMW);
            EXPECT_DOUBLE_EQ(e.m_relativeMigration, a.m_relativeMigration);
            EXPECT_EQ(e.m_hasKnownMW, a.m_hasKnownMW);
            EXPECT_EQ(e.m_hasKnownIntensity, a.m_hasKnownIntensity);
            EXPECT_DOUBLE_EQ(e.m_knownMW, a.m_knownMW);
            EXPECT_DOUBLE_EQ(e.m_knownIntensity, a.m_knownIntensity);
            EXPECT_EQ(e.m_surfaceArea, a.m_surfaceArea);
            EXPECT_DOUBLE_EQ(e.m_intensityPerSurfaceArea, a.m_intensityPerSurfaceArea);
        }
    }
}

class AnalysisSessionTest : public AppTest
{
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        AppTest::SetUp();
        auto scripted = std::make_unique<ScriptedPrompts>();
        m_prompts = scripted.get();
        m_previousPrompts = Prompts::install(std::move(scripted));
        frame()->resize(1280, 860);
        frame()->show();
        settle();
    }
    void TearDown() override
    {
        if (frame() && frame()->GetDocument())
            frame()->GetDocument()->SetModifiedFlag(false);
        AppTest::TearDown();
        Prompts::install(std::move(m_previousPrompts));
    }

    CommandRegistry &registry() { return frame()->GetRegistry(); }
    Analysis1DDoc *doc() { return frame()->GetDocument(); }
    Analysis1D *analysis() { return doc()->GetAnalysis(); }

    ScriptedPrompts *m_prompts = nullptr;
    std::unique_ptr<Prompts> m_previousPrompts;
};

} // namespace

// --- the ribbon category ----------------------------------------------------------------

TEST_F(AnalysisSessionTest, RibbonCategoryHasItsPanelsCommandsAndIcons)
{
    QTabWidget *ribbon = frame()->GetRibbon();
    int index = -1;
    for (int i = 0; i < ribbon->count(); ++i) {
        if (ribbon->tabText(i) == QStringLiteral("1D Gel Analysis"))
            index = i;
    }
    ASSERT_GE(index, 1) << "after the home tab";
    QWidget *category = ribbon->widget(index);

    const QList<QPair<QString, QList<int>>> expected = {
        {QStringLiteral("Start"), {Analysis1DCmd::Start}},
        {QStringLiteral("Lanes and Bands"),
         {Analysis1DCmd::DrawBand, Analysis1DCmd::AutoDetect, Analysis1DCmd::AddLane,
          Analysis1DCmd::DeleteLane, Analysis1DCmd::AddBand, Analysis1DCmd::DeleteBand}},
        {QStringLiteral("Calibration"), {Analysis1DCmd::ViewCalibrationValues}},
        {QStringLiteral("Data"), {Analysis1DCmd::AnalysisData, Analysis1DCmd::AnalysisReport}},
    };
    const QList<CRibbonPanel *> panels = category->findChildren<CRibbonPanel *>();
    ASSERT_EQ(panels.size(), expected.size());
    for (int p = 0; p < panels.size(); ++p) {
        EXPECT_EQ(panels[p]->Caption(), expected[p].first);
        QList<int> ids;
        for (QToolButton *button : panels[p]->findChildren<QToolButton *>()) {
            ids << button->property("commandId").toInt();
            EXPECT_FALSE(button->icon().isNull()) << button->text().toStdString();
            // Every button runs a command the analysis view handles.
            EXPECT_TRUE(registry().contains(ids.last())) << ids.last();
        }
        EXPECT_EQ(ids, expected[p].second) << expected[p].first.toStdString();
    }

    // With no picture nothing of the analysis can run.
    registry().updateAll();
    for (int id : {Analysis1DCmd::Start, Analysis1DCmd::AutoDetect, Analysis1DCmd::AddLane})
        EXPECT_FALSE(registry().action(id)->isEnabled()) << id;

    // The key tip brings the category forward.
    ribbon->setCurrentIndex(0);
    bool tipFound = false;
    for (QShortcut *shortcut : frame()->findChildren<QShortcut *>()) {
        if (shortcut->key() == QKeySequence(Qt::ALT | Qt::Key_H)) {
            tipFound = true;
            emit shortcut->activated();
        }
    }
    EXPECT_TRUE(tipFound);
    EXPECT_EQ(ribbon->currentIndex(), index);
}

// --- printing -------------------------------------------------------------------------------

namespace {

int pdfPages(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = file.readAll();
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return int(QString::fromLatin1(pdf).count(page));
}

} // namespace

TEST_F(AnalysisSessionTest, PrintingAnAnalysisPrintsTheCheckedPartsEachOnItsPage)
{
    QTemporaryDir dir;
    const QString gel = dir.filePath(QStringLiteral("sample-gel.tif"));
    ASSERT_TRUE(writeSampleGel(gel));
    ASSERT_TRUE(frame()->OpenDocumentFile(gel));
    // The pane opened and closed before there is an analysis: showing it
    // again later must bring the analysis's report and graph.
    registry().run(AppCmd::AnalysisData);
    registry().run(AppCmd::AnalysisData);
    AnalysisSetup setup(*doc());
    setup.Begin();
    AnalysisSetup::Shapes shapes;
    shapes.objectsDarker = true;
    shapes.area = CRect(30, 20, 740, 575);
    shapes.exampleBand = CRect(140, 171, 210, 189);
    shapes.wellsRow = 40;
    shapes.dyeFrontRow = 585;
    ASSERT_TRUE(setup.Run(shapes));
    setup.Detect(DetectionSlider::ThresholdFromSlider(100));
    ASSERT_GT(analysis()->GetNumberOfLanes(), 1);
    Analysis1DView *view = frame()->GetAnalysisView();

    // Without the report and graph windows their boxes are disabled; Cancel
    // ends the print command before any printer is asked for.
    bool seen = false;
    whenShown<AnalysisPrintOptionsDlg>(
        [](AnalysisPrintOptionsDlg *options) {
            EXPECT_TRUE(options->ImageBox()->isEnabled());
            EXPECT_FALSE(options->ReportBox()->isEnabled());
            EXPECT_FALSE(options->GraphBox()->isEnabled());
            options->reject();
        },
        &seen);
    EXPECT_FALSE(CDensoraPrinting::PrintToPdfAsking(view));
    EXPECT_TRUE(seen);
    EXPECT_FALSE(m_prompts->DialogTitles().contains(QStringLiteral("Print to PDF")));

    // With the pane open: image, report and graph, a page each.
    registry().run(AppCmd::AnalysisData);
    settle();
    ASSERT_FALSE(analysis()->GetReportWnd().isNull());
    ASSERT_FALSE(analysis()->GetGraphWnd().isNull());
    whenShown<AnalysisPrintOptionsDlg>([](AnalysisPrintOptionsDlg *options) {
        EXPECT_TRUE(options->ReportBox()->isEnabled());
        EXPECT_TRUE(options->GraphBox()->isEnabled());
        options->ImageBox()->setChecked(true);
        options->ReportBox()->setChecked(true);
        options->GraphBox()->setChecked(true);
        options->accept();
    });
    const QString all = dir.filePath(QStringLiteral("all.pdf"));
    m_prompts->QueueFile(all);
    m_prompts->QueueAnswer(IDNO); // not fitted to the page
    ASSERT_TRUE(CDensoraPrinting::PrintToPdfAsking(view));
    EXPECT_EQ(pdfPages(all), 3);

    // The graph alone: one page.
    whenShown<AnalysisPrintOptionsDlg>([](AnalysisPrintOptionsDlg *options) {
        options->GraphBox()->setChecked(true);
        options->accept();
    });
    const QString graph = dir.filePath(QStringLiteral("graph.pdf"));
    m_prompts->QueueFile(graph);
    m_prompts->QueueAnswer(IDNO);
    ASSERT_TRUE(CDensoraPrinting::PrintToPdfAsking(view));
    EXPECT_EQ(pdfPages(graph), 1);
    EXPECT_GT(QFileInfo(graph).size(), 1000);
}

// --- one analysis from picture to reopened file -------------------------------------------

TEST_F(AnalysisSessionTest, AUserAnalysesTheSampleGelSavesItAndGetsTheSameNumbersBack)
{
    QTemporaryDir dir;
    const QString gel = dir.filePath(QStringLiteral("sample-gel.tif"));
    ASSERT_TRUE(writeSampleGel(gel));
    ASSERT_TRUE(frame()->OpenDocumentFile(gel));
    settle();
    Analysis1DView *view = frame()->GetAnalysisView();
    GelMouse mouse(frame());

    // Start: the wizard opens over the window.
    registry().updateAll();
    ASSERT_TRUE(registry().action(Analysis1DCmd::Start)->isEnabled());
    registry().action(Analysis1DCmd::Start)->trigger();
    settle();
    auto *wizard = frame()->findChild<AnalysisWizardDlg *>();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(wizard->isVisible());
    registry().updateAll();
    EXPECT_FALSE(registry().action(Analysis1DCmd::AutoDetect)->isEnabled()) << "wizard running";

    // Tone.
    QTest::mouseClick(wizard->TonePage()->DarkerButton(), Qt::LeftButton, {},
                      QPoint(6, wizard->TonePage()->DarkerButton()->height() / 2));
    ASSERT_TRUE(wizard->TonePage()->DarkerButton()->isChecked());
    QTest::mouseClick(wizard->NextButton(), Qt::LeftButton);
    ASSERT_EQ(wizard->GetCurrentPage(), 1);

    // Analysis area: the tool draws it, and "next" comes back.
    EXPECT_EQ(view->GetCurrentToolType(), Analysis1DView::toolAnalysisArea);
    EXPECT_FALSE(wizard->NextButton()->isEnabled());
    // The sample's geometry (the build's batch analysis of it uses the same).
    mouse.drag(CPoint(30, 20), CPoint(770, 595));
    ASSERT_NE(doc()->GetAnalysisArea(), nullptr);
    CRect area = doc()->GetAnalysisArea()->m_position;
    area.NormalizeRect();
    EXPECT_EQ(area, CRect(30, 20, 770, 595));
    ASSERT_TRUE(wizard->NextButton()->isEnabled());
    QTest::mouseClick(wizard->NextButton(), Qt::LeftButton);
    ASSERT_EQ(wizard->GetCurrentPage(), 2);

    // Example band.
    EXPECT_EQ(view->GetCurrentToolType(), Analysis1DView::toolExampleBand);
    mouse.drag(CPoint(140, 171), CPoint(210, 189));
    ASSERT_TRUE(wizard->NextButton()->isEnabled());
    QTest::mouseClick(wizard->NextButton(), Qt::LeftButton);
    ASSERT_EQ(wizard->GetCurrentPage(), 3);

    // Wells and dye front are placed; the user drags them where the lanes
    // start and where the dye ran to.
    ASSERT_NE(doc()->GetLoadingWells(), nullptr);
    ASSERT_NE(doc()->GetDyeFront(), nullptr);
    const auto dragRow = [&](CDrawObject *line, int row) {
        CRect r = line->m_position;
        r.NormalizeRect();
        const int x = (r.left + r.right) / 2;
        const int y = (r.top + r.bottom) / 2;
        mouse.drag(CPoint(x, y), CPoint(x, y + (row - y)));
    };
    dragRow(doc()->GetLoadingWells(), 40);
    dragRow(doc()->GetDyeFront(), 585);
    const auto middle = [](const CDrawObject *line) {
        CRect r = line->m_position;
        r.NormalizeRect();
        return (r.top + r.bottom) / 2;
    };
    EXPECT_NEAR(middle(doc()->GetLoadingWells()), 40, 1);
    EXPECT_NEAR(middle(doc()->GetDyeFront()), 585, 1);
    EXPECT_EQ(wizard->NextButton()->text(), QStringLiteral("&Done"));
    QTest::mouseClick(wizard->NextButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(frame()->findChild<AnalysisWizardDlg *>(), nullptr);

    // Detection at "More Bands".
    registry().updateAll();
    ASSERT_TRUE(registry().action(Analysis1DCmd::AutoDetect)->isEnabled());
    registry().action(Analysis1DCmd::AutoDetect)->trigger();
    settle();
    auto *detection = frame()->findChild<DetectionDlg *>();
    ASSERT_NE(detection, nullptr);
    detection->Slider()->setFocus();
    QTest::keyClick(detection->Slider(), Qt::Key_End);
    EXPECT_EQ(detection->ValueLabel()->text(), QStringLiteral("100"));
    QTest::mouseClick(detection->DetectButton(), Qt::LeftButton);
    settle();
    ASSERT_EQ(analysis()->GetNumberOfLanes(), 7);
    // 32 of the sample's 35 bands (the overlapping pairs count as one).
    const int detected = bandCount(*analysis());
    EXPECT_EQ(detected, 32);
    // Detect again at the same place: the same lanes and bands.
    QTest::mouseClick(detection->DetectButton(), Qt::LeftButton);
    EXPECT_EQ(analysis()->GetNumberOfLanes(), 7);
    EXPECT_EQ(bandCount(*analysis()), detected);
    detection->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    settle();
    EXPECT_EQ(frame()->findChild<DetectionDlg *>(), nullptr);

    // The results pane: the report follows the gel selection.
    registry().run(AppCmd::AnalysisData);
    settle();
    ASSERT_FALSE(analysis()->GetReportWnd().isNull());

    // Drag the upper edge of lane 3's second band up: the lane is measured
    // again at once.
    {
        Lane &lane = analysis()->GetLane(2);
        ASSERT_GE(lane.GetNumberOfBands(), 2);
        Band &band = lane.GetBand(1);
        mouse.click(bandCentre(doc(), band));
        ASSERT_EQ(view->getSelectedBand(), &band);
        const int row = analysis()->GetReportWnd()->GetTable().rowOf(2, 1);
        EXPECT_EQ(analysis()->GetReportWnd()->GetSelectedRows(), QList<int>{row});
        const double before = band.getData()->m_peakArea;
        CRect r = band.GetLogicalPosition();
        r.NormalizeRect();
        const CPoint edge((r.left + r.right) / 2, r.top);
        mouse.drag(edge, CPoint(edge.x, edge.y - 4));
        Band &edited = analysis()->GetLane(2).GetBand(1);
        CRect moved = edited.GetLogicalPosition();
        moved.NormalizeRect();
        EXPECT_EQ(moved.top, r.top - 4);
        EXPECT_NE(edited.getData()->m_peakArea, before);
    }

    // Add a lane right of the last one, then press "Done".
    {
        const int lanes = analysis()->GetNumberOfLanes();
        registry().action(Analysis1DCmd::AddLane)->trigger();
        settle();
        auto *prompt = frame()->findChild<AddLaneBandDlg *>();
        ASSERT_NE(prompt, nullptr);
        EXPECT_TRUE(prompt->isVisible());
        EXPECT_EQ(prompt->GetPrompt(),
                  QStringLiteral("Please click on the location where you want a Lane to be "
                                 "added.\n  Click 'Done' to exit"));
        EXPECT_EQ(view->GetCurrentToolType(), Analysis1DView::toolLaneAdd);
        // Where the sample's sixth lane runs: its bands are too faint for the
        // detection, the user adds it by hand between lanes 5 and 6.
        const CRect fifth = analysis()->GetLane(4).GetLogicalPosition();
        const CRect sixth = analysis()->GetLane(5).GetLogicalPosition();
        ASSERT_GT(sixth.left - fifth.right, 70) << "the gap of the missed lane";
        mouse.click(CPoint((fifth.right + sixth.left) / 2, 300));
        ASSERT_EQ(analysis()->GetNumberOfLanes(), lanes + 1);
        CRect added = analysis()->GetLane(5).GetLogicalPosition();
        added.NormalizeRect();
        EXPECT_GT(added.left, fifth.right);
        EXPECT_LT(added.right, sixth.left + 1);
        QTest::mouseClick(prompt->DoneButton(), Qt::LeftButton);
        settle();
        EXPECT_EQ(view->GetCurrentToolType(), toolSelect);
        EXPECT_EQ(frame()->findChild<AddLaneBandDlg *>(), nullptr);
    }

    // Delete a band of lane 4.
    {
        const int bands = analysis()->GetLane(3).GetNumberOfBands();
        ASSERT_GE(bands, 2);
        registry().action(Analysis1DCmd::DeleteBand)->trigger();
        settle();
        EXPECT_EQ(view->GetCurrentToolType(), Analysis1DView::toolBandDelete);
        mouse.click(bandCentre(doc(), analysis()->GetLane(3).GetBand(bands - 1)));
        EXPECT_EQ(analysis()->GetLane(3).GetNumberOfBands(), bands - 1);
        auto *prompt = frame()->findChild<AddLaneBandDlg *>();
        ASSERT_NE(prompt, nullptr);
        QTest::mouseClick(prompt->DoneButton(), Qt::LeftButton);
        settle();
    }

    // The ladder on lane 1 from its popup menu.
    {
        StorableMWStandard standard;
        standard.m_name = QStringLiteral("Protein ladder 10-250 kDa");
        standard.m_material = QStringLiteral("Protein");
        standard.m_units = QStringLiteral("kDa");
        for (double w : {250.0, 150.0, 100.0, 75.0, 50.0, 37.0, 25.0, 20.0, 15.0, 10.0})
            standard.m_values.Add(w);
        MWLadderLibrary library(MWLadderLibrary::ResolveLibraryPath());
        library.Add(standard);
        library.Save();

        Lane &lane = analysis()->GetLane(0);
        ASSERT_GE(lane.GetNumberOfBands(), 2);
        // On the lane below its last band.
        CRect last = lane.GetBand(lane.GetNumberOfBands() - 1).GetLogicalPosition();
        last.NormalizeRect();
        CRect whole = lane.GetLogicalPosition();
        whole.NormalizeRect();
        const CPoint between(whole.CenterPoint().x, (last.bottom + whole.bottom) / 2);
        bool menuSeen = false;
        bool ladderSeen = false;
        whenShown<QMenu>(
            [&](QMenu *menu) {
                QAction *assign = nullptr;
                for (QAction *action : menu->actions()) {
                    if (action->text().remove(QLatin1Char('&')) == QStringLiteral("Assign MW Ladder"))
                        assign = action;
                }
                ASSERT_NE(assign, nullptr);
                whenShown<MWLadderDialog>(
                    [](MWLadderDialog *ladders) {
                        ladders->LadderList()->setCurrentIndex(0);
                        ladders->accept();
                    },
                    &ladderSeen);
                menu->setActiveAction(assign);
                QTest::keyClick(menu, Qt::Key_Return);
            },
            &menuSeen);
        mouse.click(between, Qt::RightButton);
        settle(10);
        EXPECT_TRUE(menuSeen);
        EXPECT_TRUE(ladderSeen);
        const Lane &ladderLane = analysis()->GetLane(0);
        for (int b = 0; b < ladderLane.GetNumberOfBands() && b < 10; ++b) {
            EXPECT_TRUE(ladderLane.GetBand(b).getData()->m_hasKnownMW) << b;
            EXPECT_DOUBLE_EQ(ladderLane.GetBand(b).getData()->m_knownMW, standard.m_values[b]);
        }
    }

    // A known amount on lane 3's first band, from its popup menu.
    {
        const CPoint at = bandCentre(doc(), analysis()->GetLane(2).GetBand(0));
        bool valuesSeen = false;
        whenShown<QMenu>([&](QMenu *menu) {
            QAction *assign = nullptr;
            for (QAction *action : menu->actions()) {
                if (action->text().remove(QLatin1Char('&')).startsWith(QStringLiteral("Assign known")))
                    assign = action;
            }
            ASSERT_NE(assign, nullptr);
            whenShown<CalibrationValueDlg>(
                [](CalibrationValueDlg *values) {
                    values->AmountField()->setText(QStringLiteral("25"));
                    values->accept();
                },
                &valuesSeen);
            menu->setActiveAction(assign);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        mouse.click(at);
        mouse.click(at, Qt::RightButton);
        settle(10);
        EXPECT_TRUE(valuesSeen);
        EXPECT_TRUE(analysis()->GetLane(2).GetBand(0).getData()->m_hasKnownIntensity);
        EXPECT_DOUBLE_EQ(analysis()->GetLane(2).GetBand(0).getData()->m_knownIntensity, 25.0);
    }

    // "Properties" from the band's and the lane's popup menus lists their
    // information in a window of its own.
    {
        const auto properties = [&](CPoint at, QString *title, QStringList *labels) {
            whenShown<QMenu>([&](QMenu *menu) {
                QAction *properties = nullptr;
                for (QAction *action : menu->actions()) {
                    if (action->text().remove(QLatin1Char('&')) == QStringLiteral("Properties"))
                        properties = action;
                }
                ASSERT_NE(properties, nullptr);
                whenShown<TVRListDialog>([&](TVRListDialog *list) {
                    *title = list->windowTitle();
                    for (QTreeWidget *tree : list->findChildren<QTreeWidget *>()) {
                        for (int i = 0; i < tree->topLevelItemCount(); ++i)
                            labels->append(tree->topLevelItem(i)->text(0));
                    }
                    list->accept();
                });
                menu->setActiveAction(properties);
                QTest::keyClick(menu, Qt::Key_Return);
            });
            mouse.click(at);
            mouse.click(at, Qt::RightButton);
            settle(10);
        };
        QString title;
        QStringList labels;
        properties(bandCentre(doc(), analysis()->GetLane(2).GetBand(0)), &title, &labels);
        EXPECT_EQ(title, QStringLiteral("Band info"));
        EXPECT_TRUE(labels.contains(QStringLiteral("Center of Gravity"))) << labels.join(',').toStdString();
        title.clear();
        labels.clear();
        const Lane &lane = analysis()->GetLane(2);
        CRect last = lane.GetBand(lane.GetNumberOfBands() - 1).GetLogicalPosition();
        last.NormalizeRect();
        CRect whole = lane.GetLogicalPosition();
        whole.NormalizeRect();
        properties(CPoint(whole.CenterPoint().x, (last.bottom + whole.bottom) / 2), &title,
                   &labels);
        EXPECT_EQ(title, QStringLiteral("Lane info"));
        EXPECT_FALSE(labels.isEmpty());
    }

    // The calibration sheet opens from the ribbon, and closes.
    {
        bool seen = false;
        whenShown<CalibrationPS>(
            [](CalibrationPS *sheet) {
                EXPECT_EQ(sheet->Pages()->count(), 3);
                sheet->Pages()->setCurrentIndex(2);
                sheet->accept();
            },
            &seen);
        registry().action(Analysis1DCmd::ViewCalibrationValues)->trigger();
        settle();
        EXPECT_TRUE(seen);
    }

    // A report column off in the options: "Position" goes from the report.
    {
        ASSERT_EQ(doc()->GetAnalysisOptions().m_ReportOptions.m_Position, 1);
        const auto shownColumns = [this] {
            const ReportTable &table = analysis()->GetReportWnd()->GetTable();
            int shown = 0;
            for (int c = 0; c < table.columnCount(); ++c)
                shown += table.width(c) > 0 ? 1 : 0;
            return shown;
        };
        const int before = shownColumns();
        bool seen = false;
        whenShown<ApplicationOptionsPS>(
            [](ApplicationOptionsPS *sheet) {
                sheet->Pages()->setCurrentWidget(sheet->ReportPage());
                QCheckBox *position = nullptr;
                for (QCheckBox *box : sheet->ReportPage()->findChildren<QCheckBox *>()) {
                    if (box->text() == QStringLiteral("Position"))
                        position = box;
                }
                ASSERT_NE(position, nullptr);
                ASSERT_TRUE(position->isChecked());
                position->click();
                sheet->accept();
            },
            &seen);
        registry().action(AppCmd::Options)->trigger();
        settle();
        EXPECT_TRUE(seen);
        EXPECT_EQ(doc()->GetAnalysisOptions().m_ReportOptions.m_Position, 0);
        analysis()->UpdateReportAndGraph();
        EXPECT_EQ(shownColumns(), before - 1);
    }

    // Undo takes the known amount back, redo brings it again.
    {
        const auto done = measurements(*analysis());
        registry().updateAll();
        ASSERT_TRUE(registry().action(DensoraCmd::EditUndo)->isEnabled());
        registry().action(DensoraCmd::EditUndo)->trigger();
        settle();
        registry().updateAll();
        ASSERT_TRUE(registry().action(DensoraCmd::EditRedo)->isEnabled());
        registry().action(DensoraCmd::EditRedo)->trigger();
        settle();
        expectSameMeasurements(done, measurements(*analysis()));
    }

    // Save as .dsr, open it in a new document: every band measures the same.
    const auto saved = measurements(*analysis());
    const QString file = dir.filePath(QStringLiteral("sample-gel.dsr"));
    m_prompts->QueueFile(file);
    registry().action(AppCmd::FileSaveAs)->trigger();
    settle();
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_FALSE(doc()->IsModified());

    Analysis1DDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(file));
    ASSERT_NE(reopened.GetAnalysis(), nullptr);
    reopened.GetAnalysis()->CalculateAnalysisData();
    expectSameMeasurements(saved, measurements(*reopened.GetAnalysis()));
}
