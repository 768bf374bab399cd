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
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/BandData.h"
#include "analysis1d/engine/DyeFront.h"
#include "analysis1d/engine/Lane.h"
#include "analysis1d/engine/LoadingWells.h"
#include "analysis1d/engine/ReportOptions.h"
#include "analysis1d/ui/dialogs/AddLaneBandDlg.h"
#include "analysis1d/ui/dialogs/AnalysisPrintOptionsDlg.h"
#include "analysis1d/ui/dialogs/AnalysisWizardDlg.h"
#include "analysis1d/ui/dialogs/ApplicationOptionsPS.h"
#include "analysis1d/ui/dialogs/CalibrationPS.h"
#include "analysis1d/ui/dialogs/CalibrationValueDlg.h"
#include "analysis1d/ui/dialogs/DetectionDlg.h"
#include "analysis1d/ui/dialogs/MWLadderDialog.h"
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
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
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

// A band's centre in gel pixels (bands are kept in analysis coordinates).
CPoint bandCentre(Analysis1DDoc *doc, const Band &band)
{
    CRect r = band.m_position;
    r.NormalizeRect();
    const CRect area = doc->GetAnalysisArea()->m_position;
    return CPoint(area.left + (r.left + r.right) / 2, area.top + (r.top + r.bottom) / 2);
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
        {QStringLiteral("Data"), {Analysis1DCmd::AnalysisData}},
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
