// The report and lane graph windows on real analyses: table content and
// selection, the lane menu, the graph's drawing and its exports, and the
// screenshots of the result tabs.

#include "analysis1d/calibration/MWAssignments.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisSetup.h"
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/DetectionSlider.h"
#include "analysis1d/engine/ReportTable.h"
#include "analysis1d/engine/UserDrawnBand.h"
#include "analysis1d/ui/ExportProgress.h"
#include "analysis1d/ui/GraphWnd1D.h"
#include "analysis1d/ui/MenuHandler1D.h"
#include "analysis1d/ui/ReportWnd1D.h"
#include "data/CDoubleDataArray.h"
#include "imaging/TVFImage.h"
#include "numerics/CGaussian.h"
#include "platform/ProfileStore.h"

#include "testsupport/ScopedProfileStore.h"
#include "platform/Prompts.h"
#include "testsupport/XlsxReader.h"
#include "tools/gelsynth/GelSynth.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

namespace {

// An analysis whose lanes are made by hand: profile values given, no image.
std::unique_ptr<Analysis1D> handMadeAnalysis(const QList<QList<int>> &profiles)
{
    auto analysis = std::make_unique<Analysis1D>();
    for (const QList<int> &values : profiles) {
        Lane lane;
        for (const int v : values)
            lane.GetProfile()->Add(v);
        analysis->AddLaneToArray(&lane, -1);
    }
    return analysis;
}

QStringList texts(const QMenu &menu)
{
    QStringList out;
    for (QAction *action : menu.actions()) {
        if (!action->isSeparator())
            out << action->text();
    }
    return out;
}

// Progress that reports the cancel button once, at a given step.
class ScriptedProgress : public ExportProgress
{
public:
    explicit ScriptedProgress(int cancelAtStep) : m_cancelAt(cancelAtStep) { }
    void SetRange(int lower, int upper) override { s_range = upper - lower; }
    void StepIt() override { ++m_steps; }
    int CheckCancelButton() override { return m_steps == m_cancelAt ? 1 : 0; }
    static inline int s_range = 0;

private:
    int m_cancelAt;
    int m_steps = 0;
};

class ScopedProgress
{
public:
    explicit ScopedProgress(int cancelAtStep)
    {
        m_previous = ExportProgress::SetFactory([cancelAtStep](QWidget *, const QString &) {
            return std::make_unique<ScriptedProgress>(cancelAtStep);
        });
    }
    ~ScopedProgress() { ExportProgress::SetFactory(m_previous); }

private:
    ExportProgress::Factory m_previous;
};

// The bundled sample gel analysed as the batch tool's sample run does it.
class SampleGel
{
public:
    SampleGel()
    {
        const QString source = qEnvironmentVariable("DENSORA_SOURCE_DIR", QDir::currentPath());
        GelSynth gel(GelDescription::fromFile(source + "/samples/sample-gel.txt"));
        gel.render();
        const QString tif = m_dir.filePath("sample-gel.tif");
        if (!gel.writeImage(tif))
            return;
        QFile file(tif);
        if (m_doc.CreateImageObject(&file) <= 0)
            return;
        AnalysisSetup setup(m_doc);
        setup.Begin();
        AnalysisSetup::Shapes shapes;
        shapes.objectsDarker = true;
        shapes.area = CRect(30, 20, 770, 595);
        shapes.exampleBand = CRect(140, 171, 210, 189);
        shapes.wellsRow = 40;
        shapes.dyeFrontRow = 585;
        if (!setup.Run(shapes))
            return;
        setup.Detect(DetectionSlider::ThresholdFromSlider(100));
        CArray<Lane> &lanes = *analysis()->GetLanes();
        if (lanes.GetSize() > 0 && MWAssignments::CheckLaneForLadder(lanes, 0)) {
            CDoubleDataArray weights;
            for (double w : {250, 150, 100, 75, 50, 37, 25, 20, 15, 10})
                weights.Add(w);
            MWAssignments::ApplyLadder(lanes, 0, weights);
        }
        analysis()->CalculateAnalysisData();
    }
    Analysis1D *analysis() { return m_doc.GetAnalysis(); }
    Analysis1DDoc &doc() { return m_doc; }

private:
    // First: the document reads its options from this store when it is made
    // and writes them back when it goes, which must not reach the next test.
    ScopedMemoryProfileStore m_store;
    QTemporaryDir m_dir;
    Analysis1DDoc m_doc;
};

QString screenshotDir()
{
    const QString dir = QDir::currentPath() + "/build/screenshots";
    QDir().mkpath(dir);
    return dir;
}

// -------------------------------------------------------------------------------------
// Report

// No lanes: every column and no row. A column switched off stays in its place
// with width 0. Selecting a lane lists its bands, toggling off the only
// flagged lane keeps it.
TEST(ReportWnd1D, ColumnsRowsAndSelection)
{
    auto empty = std::make_unique<Analysis1D>();
    ReportWnd1D none(empty.get());
    none.SelectAllLanes();
    EXPECT_EQ(none.getColumnCount(), ReportTable::ColumnCount);
    EXPECT_EQ(none.getRowCount(), 0);

    SampleGel sample;
    Analysis1D *analysis = sample.analysis();
    ASSERT_NE(analysis, nullptr);
    ASSERT_GE(analysis->GetNumberOfLanes(), 3);
    sample.doc().GetAnalysisOptions().m_ReportOptions.m_Position = 0;
    ReportWnd1D report(analysis);
    report.SelectAllLanes();
    EXPECT_EQ(report.GetColumnHeading(ReportTable::ColPosition), "Position");
    EXPECT_EQ(report.GetColumnWidth(ReportTable::ColPosition), 0);
    EXPECT_TRUE(report.GetTableView()->isColumnHidden(ReportTable::ColPosition));
    EXPECT_EQ(report.GetColumnHeading(ReportTable::ColPeakAmplitude), "Peak Amplitude");
    int bands = 0;
    for (int i = 0; i < analysis->GetNumberOfLanes(); ++i)
        bands += analysis->GetLane(i).GetNumberOfBands();
    EXPECT_EQ(report.getRowCount(), bands);
    EXPECT_EQ(report.GetCellValue(0, 0), "1");

    report.OnCommand(MenuHandler1D::kSelectLaneId + 2);
    EXPECT_EQ(report.GetMode(), MenuHandler1D::kModeSingle);
    EXPECT_EQ(report.getRowCount(), analysis->GetLane(2).GetNumberOfBands());
    EXPECT_EQ(report.GetCellValue(0, 0), "3");

    report.OnCommand(MenuHandler1D::kToggleLaneId + 1);
    EXPECT_EQ(report.GetSelectedLane(), MenuHandler1D::kMultipleLanes);
    EXPECT_EQ(report.getRowCount(), analysis->GetLane(1).GetNumberOfBands());
    report.OnCommand(MenuHandler1D::kToggleLaneId + 1);
    EXPECT_EQ(report.GetLaneFlags()[1], 1);
    EXPECT_EQ(report.getRowCount(), analysis->GetLane(1).GetNumberOfBands());

    // A band picked on the gel: its lane alone, its row selected.
    report.ShowLaneAndBand(1, 2);
    EXPECT_EQ(report.GetSelectedLane(), 1);
    EXPECT_EQ(report.GetSelectedRows(), QList<int>({2}));

    // A band drawn by the user: offered as "User Defined", listed alone.
    sample.doc().Add(new UserDrawnBand(CRect(140, 171, 210, 189), CRect(30, 20, 770, 595)));
    const int lanes = analysis->GetNumberOfLanes();
    QMenu menu;
    report.BuildContextMenu(&menu);
    ASSERT_EQ(texts(menu).value(lanes), "User Defined");
    EXPECT_EQ(menu.actions()[lanes]->data().toInt(), MenuHandler1D::kSelectLaneId + lanes);
    report.OnCommand(MenuHandler1D::kSelectLaneId + lanes);
    ASSERT_EQ(report.getRowCount(), 1);
    EXPECT_EQ(report.GetCellValue(0, ReportTable::ColLane), "User defined");
    EXPECT_EQ(report.GetCellValue(0, ReportTable::ColBand), "1");
}

// Up to 20 lanes are items of the menu itself; more are grouped by 20. Only
// the report offers "User Defined", and only for up to 20 lanes.
TEST(MenuHandler1D, LaneMenuAndCommands)
{
    int flags[MenuHandler1D::kMaxLanes] = {};
    QMenu few;
    MenuHandler1D::BuildLaneMenu(&few, 1, flags, 3, false, true);
    EXPECT_EQ(texts(few),
              QStringList({"Lane 1", "Lane 2", "Lane 3", "User Defined", "All Lanes",
                           "Multiple Lanes", "Export to Excel", "Export to Text File"}));
    EXPECT_TRUE(few.actions()[1]->isChecked());
    EXPECT_EQ(few.actions()[3]->data().toInt(), 13303);

    QMenu many;
    flags[20] = 1;
    MenuHandler1D::BuildLaneMenu(&many, MenuHandler1D::kMultipleLanes, flags, 21, false, true);
    const QStringList items = texts(many);
    EXPECT_EQ(items.mid(0, 2), QStringList({"Lane 1-20", "Lane 21-21"}));
    EXPECT_FALSE(items.contains("User Defined"));
    QMenu *second = many.actions()[1]->menu();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(texts(*second), QStringList({"Lane 21"}));
    EXPECT_EQ(second->actions()[0]->data().toInt(), 13320);
    QMenu *multiple = nullptr;
    for (QAction *a : many.actions()) {
        if (a->text() == "Multiple Lanes")
            multiple = a->menu();
    }
    ASSERT_NE(multiple, nullptr);
    EXPECT_EQ(multiple->actions().size(), 21);
    EXPECT_TRUE(multiple->actions()[20]->isChecked());
    EXPECT_FALSE(multiple->actions()[0]->isChecked());

    // 13300 is always lane 1 alone, not a toggle of lane 101.
    MenuHandler1D handler;
    EXPECT_TRUE(handler.OnCommand(13300));
    EXPECT_EQ(handler.GetMode(), MenuHandler1D::kModeSingle);
    EXPECT_EQ(handler.GetSelectedLane(), 0);
    EXPECT_TRUE(handler.OnCommand(13100));
    EXPECT_EQ(handler.GetSelectedLane(), MenuHandler1D::kAllLanes);
    EXPECT_FALSE(handler.OnCommand(13099));
}

// -------------------------------------------------------------------------------------
// Graph

TEST(GraphWnd1D, HeadingRangeAndHalfHeightLine)
{
    auto analysis = handMadeAnalysis({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
    GraphWnd1D graph(analysis.get());
    graph.resize(500, 300);
    graph.SelectAllLanes();
    EXPECT_EQ(graph.HeadingText(), "All Lanes");
    graph.OnCommand(MenuHandler1D::kToggleLaneId + 2);
    EXPECT_EQ(graph.HeadingText(), "Lane 3");
    graph.OnCommand(MenuHandler1D::kToggleLaneId + 0);
    EXPECT_EQ(graph.HeadingText(), "2 Lanes");
    // Autoscale over profiles that are all 0.
    graph.Render(QSize(500, 300));
    EXPECT_EQ(graph.GetVerticalMaximum(), 0);
    EXPECT_EQ(graph.GetParameters().yMax, 0);
    EXPECT_EQ(graph.GetParameters().xMax, 2);

    // A flat background: the crossings are found near center -/+ sqrt(ln 2) w.
    CIntDataArray flat;
    flat.SetSize(100);
    const CGaussian peak(100, 50, 10);
    int left = 0, right = 0, level = 0;
    GraphWnd1D::HalfHeightLine(peak, flat, 100, &left, &right, &level);
    EXPECT_EQ(level, 50);
    EXPECT_NEAR(left, 50 - std::sqrt(std::log(2.0)) * 10, 1.0);
    EXPECT_NEAR(right, 50 + std::sqrt(std::log(2.0)) * 10, 1.0);
    EXPECT_NE(left, int(50 - std::sqrt(std::log(2.0)) * 10)); // found, not the analytic end
    // A background high everywhere but at the centre: no crossing, the
    // analytic ends stay.
    CIntDataArray high;
    for (int i = 0; i < 100; ++i)
        high.Add(i == 50 ? 0 : 1000);
    GraphWnd1D::HalfHeightLine(peak, high, 100, &left, &right, &level);
    EXPECT_EQ(left, int(50 - std::sqrt(std::log(2.0)) * 10));
    EXPECT_EQ(right, int(50 + std::sqrt(std::log(2.0)) * 10));
}

// Two lanes, three positions: the lines of the text export exactly, CR LF and
// a tab after every field; a cancel confirmed stops the values but not the
// labels.
TEST(GraphWnd1D, TextExport)
{
    auto analysis = handMadeAnalysis({{5, 6, 7}, {10, 20, 30}});
    GraphWnd1D graph(analysis.get());
    graph.SelectAllLanes();
    QTemporaryDir dir;
    const QString path = dir.filePath("p.txt");
    QString error;
    {
        ScopedProgress progress(0);
        ASSERT_TRUE(graph.ExportProfilesToText(path, &error));
        EXPECT_EQ(ScriptedProgress::s_range, 6);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("All Lanes\t0\t1\t2\t\r\n"
                         "Lane 1\t5\t6\t7\t\r\n"
                         "Lane 2\t10\t20\t30\t\r\n"));
    file.close();

    ScopedScriptedPrompts prompts;
    prompts->QueueAnswer(IDNO);
    prompts->QueueAnswer(IDYES);
    {
        // Asked at step 2 (No) ... only one question per cancel press.
        ScopedProgress progress(2);
        ASSERT_TRUE(graph.ExportProfilesToText(path, &error));
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("All Lanes\t0\t1\t2\t\r\n"
                         "Lane 1\t5\t6\t7\t\r\n"
                         "Lane 2\t10\t20\t30\t\r\n"));
    file.close();
    {
        ScopedProgress progress(2);
        ASSERT_TRUE(graph.ExportProfilesToText(path, &error));
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("All Lanes\t0\t1\t2\t\r\n"
                         "Lane 1\t5\t6\t\r\n"
                         "Lane 2\t\r\n"));
    EXPECT_EQ(
        prompts->Texts(),
        QStringList({"Are you sure you want to Cancel?", "Are you sure you want to Cancel?"}));
}

// Thirty lanes reach column AE of the workbook.
TEST(GraphWnd1D, WorkbookOfThirtyLanes)
{
    QList<QList<int>> profiles;
    for (int lane = 0; lane < 30; ++lane)
        profiles << QList<int>({lane, lane * 10, lane * 100});
    auto analysis = handMadeAnalysis(profiles);
    GraphWnd1D graph(analysis.get());
    graph.SelectAllLanes();
    QTemporaryDir dir;
    QString error;
    ScopedProgress progress(0);
    ASSERT_TRUE(graph.ExportProfilesToExcel(dir.filePath("p.xlsx"), &error)) << error.toStdString();
    const XlsxSheet sheet = readXlsx(dir.filePath("p.xlsx"));
    ASSERT_TRUE(sheet.ok);
    EXPECT_EQ(sheet.at("A1").text, "All Lanes");
    EXPECT_EQ(sheet.at("A4").number(), 2.0);
    EXPECT_EQ(sheet.at("B1").text, "Lane 1");
    EXPECT_EQ(sheet.at("AA1").text, "Lane 26");
    EXPECT_EQ(sheet.at("AE1").text, "Lane 30");
    EXPECT_TRUE(sheet.at("AE4").isNumber);
    EXPECT_EQ(sheet.at("AE4").number(), 2900.0);
    EXPECT_EQ(sheet.at("AE3").number(), 290.0);
    EXPECT_FALSE(sheet.has("AF1"));
}

bool isBlue(QRgb c)
{
    return qBlue(c) > 180 && qRed(c) < 90 && qGreen(c) < 90;
}
bool isRed(QRgb c)
{
    return qRed(c) > 180 && qBlue(c) < 90 && qGreen(c) < 90;
}

int countPixels(const QImage &image, const QRect &area, bool (*test)(QRgb))
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

// One lane of the sample gel drawn into an image: its profile in the first
// palette colour where the profile is, blue hatching inside a band's area,
// red on the Gaussian's peak; with all lanes neither blue nor red but a
// legend, and the colours repeating after 16 lanes.
TEST(GraphWnd1D, Rendering)
{
    SampleGel sample;
    Analysis1D *analysis = sample.analysis();
    ASSERT_NE(analysis, nullptr);
    ASSERT_GE(analysis->GetNumberOfLanes(), 2);
    const int laneIndex = 1;
    const Lane &lane = analysis->GetLane(laneIndex);
    ASSERT_GT(lane.GetNumberOfBands(), 0);
    ASSERT_GT(lane.GetGaussians().GetSize(), 0);

    GraphWnd1D graph(analysis);
    graph.OnCommand(MenuHandler1D::kSelectLaneId + laneIndex);
    const QImage image = graph.Render(QSize(1000, 600));
    EXPECT_EQ(graph.GetHeader(), "Lane 2");

    // The profile: a pixel of the first palette colour (black) at or next to
    // the mapped profile point, at a few positions.
    for (int i : {60, 200, 400}) {
        CPoint p(i, (*lane.GetProfile())[i]);
        graph.Data2Graph(p);
        EXPECT_GT(
            countPixels(image, QRect(p.x - 1, p.y - 2, 3, 5),
                        [](QRgb c) { return qRed(c) < 40 && qGreen(c) < 40 && qBlue(c) < 40; }),
            0)
            << "position " << i;
    }

    // The hatching: blue pixels between profile and background at a band's
    // centre, and a white pixel among them (hatched, not filled).
    const BandData &band = *lane.GetBand(0).getData();
    const int row = band.m_centerOfGravity.y;
    CPoint top(row, (*lane.GetProfile())[row]);
    CPoint bottom(row, (*lane.GetBackground())[row]);
    graph.Data2Graph(top);
    graph.Data2Graph(bottom);
    ASSERT_GT(bottom.y - top.y, 10);
    const QRect inside(top.x - 1, top.y + 4, 3, bottom.y - top.y - 8);
    EXPECT_GT(countPixels(image, inside, isBlue), 0);
    EXPECT_GT(countPixels(image, inside, [](QRgb c) { return qGray(c) > 240; }), 0);

    // The red Gaussian near its peak.
    const CGaussian &g = lane.GetGaussians()[0];
    CPoint peak(g.GetCenter(),
                g.EvaluateAt(g.GetCenter()) + (*lane.GetBackground())[g.GetCenter()]);
    graph.Data2Graph(peak);
    EXPECT_GT(countPixels(image, QRect(peak.x - 2, peak.y - 2, 5, 5), isRed), 0);

    // All lanes: profiles and the legend only.
    graph.OnCommand(MenuHandler1D::kAllLanesId);
    const QImage all = graph.Render(QSize(1000, 600));
    EXPECT_EQ(countPixels(all, all.rect(), isRed), 0);
    EXPECT_EQ(countPixels(all, all.rect(), isBlue), 0);
    ASSERT_EQ(graph.GetDrawnLanes().size(), analysis->GetNumberOfLanes());
    const QRect swatch = graph.GetDrawnLanes()[1].legendSwatch;
    ASSERT_FALSE(swatch.isEmpty());
    EXPECT_EQ(all.pixel(swatch.center()), toQColor(GraphWnd::PaletteColour(1)).rgb());
}

TEST(GraphWnd1D, ColoursRepeatAfterSixteenLanes)
{
    QList<QList<int>> profiles;
    for (int lane = 0; lane < 17; ++lane)
        profiles << QList<int>({lane, 50, lane * 3});
    auto analysis = handMadeAnalysis(profiles);
    GraphWnd1D graph(analysis.get());
    graph.SelectAllLanes();
    const QImage image = graph.Render(QSize(1200, 900));
    const QList<GraphWnd1D::DrawnLane> &drawn = graph.GetDrawnLanes();
    ASSERT_EQ(drawn.size(), 17);
    EXPECT_EQ(drawn[16].colour, drawn[0].colour);
    EXPECT_NE(drawn[15].colour, drawn[0].colour);
    ASSERT_FALSE(drawn[16].legendSwatch.isEmpty());
    EXPECT_EQ(image.pixel(drawn[16].legendSwatch.center()),
              image.pixel(drawn[0].legendSwatch.center()));
    EXPECT_NE(image.pixel(drawn[1].legendSwatch.center()),
              image.pixel(drawn[0].legendSwatch.center()));
}

// -------------------------------------------------------------------------------------
// The windows in the output pane's tab control, and the screenshots.

TEST(ResultWindows, TabsRefreshAndScreenshots)
{
    SampleGel sample;
    Analysis1D *analysis = sample.analysis();
    ASSERT_NE(analysis, nullptr);
    auto tabs = std::make_unique<QTabWidget>();
    tabs->resize(1100, 560);
    analysis->CreateReportWnd(tabs.get());
    analysis->CreateGraphWnd(tabs.get());
    ASSERT_FALSE(analysis->GetReportWnd().isNull());
    ASSERT_FALSE(analysis->GetGraphWnd().isNull());
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "Report");
    EXPECT_EQ(tabs->tabText(1), "Graph");
    EXPECT_EQ(analysis->GetReportWnd()->objectName(), "13501");
    ReportWnd1D *report = analysis->GetReportWnd();
    EXPECT_EQ(report->GetMode(), MenuHandler1D::kModeAll);
    EXPECT_GT(report->getRowCount(), 0);

    // A second call replaces the window rather than adding one.
    analysis->CreateReportWnd(tabs.get());
    EXPECT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "Report");
    report = analysis->GetReportWnd();
    ASSERT_NE(report, nullptr);

    const QString dir = screenshotDir();
    tabs->show();
    report->SelectAllLanes();
    tabs->setCurrentWidget(report);
    // The default columns: what the options page shows on (another test's
    // options must not leak into this one).
    EXPECT_FALSE(report->GetTableView()->isColumnHidden(ReportTable::ColPosition));
    EXPECT_TRUE(report->GetTableView()->isColumnHidden(ReportTable::ColMW));
    EXPECT_TRUE(tabs->grab().save(dir + "/report-all-lanes.png"));
    QMenu menu;
    report->BuildContextMenu(&menu);
    menu.adjustSize();
    EXPECT_TRUE(menu.grab().save(dir + "/report-context-menu.png"));

    GraphWnd1D *graph = analysis->GetGraphWnd();
    tabs->setCurrentWidget(graph);
    graph->OnCommand(MenuHandler1D::kSelectLaneId + 1);
    // With the value under the mouse shown.
    graph->repaint();
    const CRect plot = graph->GetDrawingRect();
    QTest::mouseMove(graph, QPoint((plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2));
    EXPECT_TRUE(tabs->grab().save(dir + "/graph-one-lane.png"));
    graph->OnCommand(MenuHandler1D::kAllLanesId);
    EXPECT_TRUE(tabs->grab().save(dir + "/graph-all-lanes.png"));
    // The graph as printed: the same drawing on a page.
    QImage graphPage(1169, 827, QImage::Format_RGB32);
    graphPage.fill(Qt::white);
    {
        QPainter painter(&graphPage);
        graph->Print(&painter, graphPage.rect().adjusted(60, 60, -60, -60));
    }
    EXPECT_TRUE(graphPage.save(dir + "/graph-print-page1.png"));

    // The printed report, first page.
    const QString pdf = dir + "/report-print.pdf";
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setResolution(150);
        QPainter painter(&writer);
        report->Print(&painter, painter.viewport());
    }
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    // The PDF's first page as a picture, to be looked at (pdftoppm, from
    // poppler-utils).
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty()) {
        ADD_FAILURE() << "pdftoppm is missing: run scripts/install-deps.sh";
    } else {
        QFile::remove(dir + "/report-print-pdf.png");
        const int exitCode = QProcess::execute(
            pdftoppm, {"-png", "-r", "100", "-f", "1", "-l", "1", "-singlefile", pdf,
                       dir + "/report-print-pdf"});
        EXPECT_EQ(exitCode, 0);
        const QImage rendered(dir + "/report-print-pdf.png");
        ASSERT_FALSE(rendered.isNull());
        EXPECT_GT(rendered.width(), rendered.height()); // landscape A4
        int inked = 0;
        for (int y = 0; y < rendered.height(); y += 4)
            for (int x = 0; x < rendered.width(); x += 4)
                inked += qGray(rendered.pixel(x, y)) < 128;
        EXPECT_GT(inked, 100); // the table's text and lines are on the page
    }
    // The same first page drawn onto a picture of an A4 landscape page.
    QImage page(1169, 827, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        report->Print(&painter, page.rect().adjusted(60, 60, -60, -60));
    }
    EXPECT_TRUE(page.save(dir + "/report-print-page1.png"));

    // A band picked on the gel.
    analysis->OnLaneAndBandSelected(2, 1);
    EXPECT_EQ(report->GetSelectedLane(), 2);
    EXPECT_EQ(report->GetSelectedRows(), QList<int>({1}));
    EXPECT_EQ(analysis->GetGraphWnd()->GetSelectedLane(), 2);
    analysis->OnLaneAndBandSelected(-1, -1);
    EXPECT_EQ(report->GetSelectedLane(), 2);

    // A refresh after editing: lane 3's band gone, its rows follow.
    const int rows = report->getRowCount();
    analysis->DeleteBandViaTool(2, 0);
    EXPECT_EQ(report->getRowCount(), rows - 1);

    // The tab control deletes its pages; the analysis only watched them.
    tabs.reset();
    EXPECT_TRUE(analysis->GetReportWnd().isNull());
    EXPECT_TRUE(analysis->GetGraphWnd().isNull());
    analysis->DestroyReportAndGraph();
}

} // namespace
