// The calibration sheet, the known-value dialog, the ladder dialogs and the
// options sheet on a detected sample gel.

#include "analysis1d/tests/DialogTestSupport.h"

#include "analysis1d/calibration/CalibrationManager.h"
#include "analysis1d/calibration/MWAssignments.h"
#include "analysis1d/engine/BandData.h"
#include "analysis1d/ui/dialogs/ApplicationOptionsPS.h"
#include "analysis1d/ui/dialogs/PPAnalysisOptionOthers.h"
#include "analysis1d/ui/dialogs/CalibrationIntensityGraph.h"
#include "analysis1d/ui/dialogs/CalibrationLengthGraph.h"
#include "analysis1d/ui/dialogs/CalibrationMainPP.h"
#include "analysis1d/ui/dialogs/CalibrationPS.h"
#include "analysis1d/ui/dialogs/CalibrationValueDlg.h"
#include "analysis1d/ui/dialogs/MWEditDlg.h"
#include "analysis1d/ui/dialogs/MWLadderDialog.h"
#include "analysis1d/ui/dialogs/PPAnalysisOptionBands.h"
#include "analysis1d/ui/dialogs/PPAnalysisOptionReport.h"

#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

class CalibrationDialogsTest : public DialogTest
{
protected:
    BandData &data(int lane, int band)
    {
        return *m_doc.GetAnalysis()->GetLane(lane).GetBand(band).getData();
    }
};

// One row per band with a known value; a band known only by its weight leaves
// the amount columns empty. Removing a row clears both values of its band.
TEST_F(CalibrationDialogsTest, ValuesPageRowsAndRemovingARow)
{
    Analysis1D *analysis = setUpAndDetect();
    ASSERT_GE(analysis->GetNumberOfLanes(), 2);
    ASSERT_GE(analysis->GetLane(1).GetNumberOfBands(), 3);
    MWAssignments::AssignKnownValues(data(0, 0), 12.5, 250.0);
    MWAssignments::AssignKnownValues(data(1, 2), 0.0, 75.0);
    analysis->CalculateAnalysisData();

    CalibrationPS sheet(nullptr, analysis, nullptr);
    ASSERT_EQ(sheet.Pages()->count(), 3);
    EXPECT_EQ(sheet.Pages()->tabText(0), QStringLiteral("Calibration Values"));
    EXPECT_EQ(sheet.Pages()->tabText(1), QStringLiteral("Intensity Calibration"));
    EXPECT_EQ(sheet.Pages()->tabText(2), QStringLiteral("MW Calibration"));
    QTreeWidget *list = sheet.ValuesPage()->List();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    const QTreeWidgetItem *both = list->topLevelItem(0);
    EXPECT_EQ(both->text(0), QStringLiteral("1,1"));
    EXPECT_EQ(both->text(1), QString::number(qRound64(data(0, 0).m_intensity)));
    EXPECT_EQ(both->text(2), QStringLiteral("12.50"));
    EXPECT_EQ(both->text(3), QString::number(data(0, 0).m_centerOfGravity.y));
    EXPECT_EQ(both->text(4), QStringLiteral("250.00"));
    const QTreeWidgetItem *weightOnly = list->topLevelItem(1);
    EXPECT_EQ(weightOnly->text(0), QStringLiteral("2,3"));
    EXPECT_TRUE(weightOnly->text(1).isEmpty());
    EXPECT_TRUE(weightOnly->text(2).isEmpty());
    EXPECT_EQ(weightOnly->text(4), QStringLiteral("75.00"));

    list->topLevelItem(0)->setSelected(true);
    sheet.ValuesPage()->OnRemove();
    EXPECT_FALSE(data(0, 0).m_hasKnownIntensity);
    EXPECT_FALSE(data(0, 0).m_hasKnownMW);
    EXPECT_EQ(data(0, 0).m_knownIntensity, 0.0);
    EXPECT_EQ(data(0, 0).m_knownMW, 0.0);
    EXPECT_TRUE(data(1, 2).m_hasKnownMW);
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("2,3"));

    // Known weights in two lanes make no ladder.
    MWAssignments::AssignKnownValues(data(0, 1), 0.0, 150.0);
    sheet.ValuesPage()->OnMakeLadder();
    EXPECT_EQ(m_prompts->Texts().last(), MWAssignments::c_ladderNeedsOneLane);
    // Add: the user picks the next band with the known-amount tool.
    sheet.show();
    sheet.ValuesPage()->OnAdd();
    EXPECT_EQ(m_seam->LastTool(), AnalysisViewSeam::kKnownAmountPickTool);
    EXPECT_FALSE(sheet.isVisible());
}

// 0 changes nothing (the dialog never clears); a number replaces; text that is
// no number is refused when the field is left.
TEST_F(CalibrationDialogsTest, KnownValueDialogNeverClearsAndRefusesText)
{
    BandData band;
    MWAssignments::AssignKnownValues(band, 40.0, 0.0);
    {
        CalibrationValueDlg dialog(nullptr, &band);
        EXPECT_EQ(dialog.AmountField()->text(), QStringLiteral("40.00"));
        dialog.AmountField()->setText(QStringLiteral("0"));
        dialog.MolecularWeightField()->setText(QStringLiteral("120.5"));
        dialog.accept();
    }
    EXPECT_TRUE(band.m_hasKnownIntensity);
    EXPECT_EQ(band.m_knownIntensity, 40.0);
    EXPECT_TRUE(band.m_hasKnownMW);
    EXPECT_EQ(band.m_knownMW, 120.5);

    CalibrationValueDlg dialog(nullptr, &band);
    QFocusEvent leave(QEvent::FocusOut);
    dialog.AmountField()->setText(QStringLiteral("abc"));
    QApplication::sendEvent(dialog.AmountField(), &leave);
    ASSERT_FALSE(m_prompts->Texts().isEmpty());
    EXPECT_EQ(m_prompts->Texts().last(), CalibrationValueDlg::c_invalidNumber);
    QCoreApplication::processEvents();
    dialog.AmountField()->setText(QStringLiteral("7"));
    QApplication::sendEvent(dialog.AmountField(), &leave);
    EXPECT_EQ(dialog.AmountField()->text(), QStringLiteral("7.00"));
    EXPECT_EQ(m_prompts->Texts().size(), 1);
}

// A stored type "none" shows "Linear"; too few points for the chosen type show
// "Need More Variables"; enough give the curve's title with its correlation.
TEST_F(CalibrationDialogsTest, GraphPagesTypeAndTitles)
{
    Analysis1D *analysis = setUpAndDetect();
    CalibrationManager *manager = analysis->GetCalibrationManager();
    manager->SetMWCurveType(CalibrationManager::CurveNone);
    const Lane &lane = analysis->GetLane(0);
    ASSERT_GE(lane.GetNumberOfBands(), 4);
    MWAssignments::AssignKnownValues(data(0, 0), 0.0, 250.0);
    MWAssignments::AssignKnownValues(data(0, 1), 0.0, 150.0);
    analysis->CalculateAnalysisData();

    CalibrationLengthGraph page(analysis);
    EXPECT_EQ(page.TypeList()->currentIndex(), 0);
    EXPECT_EQ(page.TypeList()->currentText(), QStringLiteral("Linear"));
    EXPECT_EQ(manager->GetMWCurveType(), CalibrationManager::CurveNone);
    EXPECT_TRUE(page.Title().startsWith(QStringLiteral("Regression Curve (Linear)  R=")))
        << page.Title().toStdString();

    page.OnTypeChosen(2); // third order needs more than two points
    EXPECT_EQ(manager->GetMWCurveType(), CalibrationManager::CurveThirdOrder);
    EXPECT_EQ(page.Title(), CalibrationGraph::c_needMoreVariables);

    for (int b = 2; b < 4; ++b)
        MWAssignments::AssignKnownValues(data(0, b), 0.0, 100.0 - 25.0 * (b - 2));
    analysis->CalculateAnalysisData();
    page.Plot();
    EXPECT_TRUE(
        page.Title().startsWith(QStringLiteral("Regression Curve (Third Order Polynomial)  R=")));

    CalibrationIntensityGraph intensity(analysis);
    EXPECT_EQ(intensity.Title(), CalibrationGraph::c_needMoreVariables);
    EXPECT_EQ(CalibrationGraph::EntryForType(CalibrationManager::CurveLogarithmic), 3);
}

// The values page gives each known band's leave-one-out error, the marker
// given a wrong weight in bold; the graph page plots the same errors under
// its curve and names the largest.
TEST_F(CalibrationDialogsTest, LeaveOneOutColumnAndResiduals)
{
    Analysis1D *analysis = setUpAndDetect();
    const Lane &lane = analysis->GetLane(0);
    ASSERT_GE(lane.GetNumberOfBands(), 5);
    analysis->GetCalibrationManager()->SetMWCurveType(CalibrationManager::CurveLinear);
    // Weights on the line through the first two bands' rows, the third one 30 % off.
    const double y0 = data(0, 0).m_centerOfGravity.y;
    const double y1 = data(0, 1).m_centerOfGravity.y;
    auto onLine = [&](int b) {
        return 200.0 - 100.0 * (data(0, b).m_centerOfGravity.y - y0) / (y1 - y0) / 4.0;
    };
    for (int b = 0; b < 5; ++b)
        MWAssignments::AssignKnownValues(data(0, b), 0.0, onLine(b) * (b == 2 ? 1.3 : 1.0));
    analysis->CalculateAnalysisData();

    CalibrationPS sheet(nullptr, analysis, nullptr);
    QTreeWidget *list = sheet.ValuesPage()->List();
    ASSERT_EQ(list->columnCount(), CalibrationMainPP::kColumnCount);
    EXPECT_EQ(list->headerItem()->text(CalibrationMainPP::kLooMWColumn), QStringLiteral("LOO MW"));
    ASSERT_EQ(list->topLevelItemCount(), 5);
    for (int row = 0; row < 5; ++row) {
        const QTreeWidgetItem *item = list->topLevelItem(row);
        EXPECT_TRUE(item->text(CalibrationMainPP::kLooAmountColumn).isEmpty());
        EXPECT_TRUE(item->text(CalibrationMainPP::kLooMWColumn).endsWith(QStringLiteral(" %")))
            << item->text(CalibrationMainPP::kLooMWColumn).toStdString();
        EXPECT_EQ(item->font(CalibrationMainPP::kLooMWColumn).bold(), row == 2) << row;
    }
    // The others put the third marker near its line weight, 1/1.3 of the one given.
    EXPECT_TRUE(list->topLevelItem(2)->text(CalibrationMainPP::kLooMWColumn).startsWith(u'-'));

    CalibrationLengthGraph page(analysis);
    ASSERT_EQ(page.Quality().worstKnownBand(), 2);
    EXPECT_TRUE(page.ResidualChart()->title().contains(QStringLiteral("(lane 1, band 3)")))
        << page.ResidualChart()->title().toStdString();
    int plotted = 0;
    for (QAbstractSeries *series : page.ResidualChart()->series()) {
        if (auto *points = qobject_cast<QScatterSeries *>(series))
            plotted += int(points->count());
    }
    EXPECT_EQ(plotted, 5);
}

// Weights: 0 and text refused; kept descending; two markers cannot be kept.
// The library keeps what was added across dialogs.
TEST_F(CalibrationDialogsTest, LadderEditorAndLibrary)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ladders.dat"));
    {
        MWLadderDialog library(nullptr, path);
        EXPECT_EQ(library.LadderList()->count(), 0);
        library.OnModify();
        EXPECT_EQ(m_prompts->Texts().last(), MWLadderDialog::c_selectFirst);

        StorableMWStandard start;
        start.m_name = QStringLiteral("Marker A");
        MWEditDlg editor(nullptr, start, QStringLiteral("Add Molecular Weight Ladder"));
        EXPECT_EQ(editor.ValueField()->text(), QStringLiteral("00.00"));
        for (const char *text : {"0", "abc"}) {
            editor.ValueField()->setText(QString::fromLatin1(text));
            editor.OnAddValue();
            EXPECT_EQ(m_prompts->Texts().last(),
                      QStringLiteral("Please enter a valid value larger than 0"));
        }
        for (const char *text : {"50", "250"}) {
            editor.ValueField()->setText(QString::fromLatin1(text));
            editor.OnAddValue();
        }
        EXPECT_EQ(editor.ValueField()->text(), QStringLiteral("00.00"));
        editor.accept();
        EXPECT_EQ(m_prompts->Texts().last(), QStringLiteral("You need a minimum of 3 markers. "));
        EXPECT_NE(editor.result(), QDialog::Accepted);
        editor.ValueField()->setText(QStringLiteral("100"));
        editor.OnAddValue();
        editor.accept();
        ASSERT_EQ(editor.result(), QDialog::Accepted);
        const CDoubleDataArray &values = editor.GetLadder().m_values;
        ASSERT_EQ(values.GetSize(), 3);
        EXPECT_EQ(values[0], 250.0);
        EXPECT_EQ(values[1], 100.0);
        EXPECT_EQ(values[2], 50.0);
        EXPECT_EQ(editor.MarkerList()->topLevelItem(0)->text(1), QStringLiteral("250.00"));
        library.GetLibrary().Add(editor.GetLadder());
    }
    MWLadderDialog again(nullptr, path);
    ASSERT_EQ(again.LadderList()->count(), 1);
    EXPECT_EQ(again.LadderList()->currentText(), QStringLiteral("Marker A"));
    EXPECT_EQ(again.MarkerList()->topLevelItemCount(), 3);
    again.accept();
    EXPECT_EQ(again.GetSelectedLadder(), 0);
}

// The report's settings carry their trailing blanks: one written without
// them is not found, and the page shows the default. A click writes the
// field at once, Apply stores it under the padded name, Cancel puts back
// what was last applied.
TEST_F(CalibrationDialogsTest, OptionsSheetStoresPaddedNamesAndCancelPutsBack)
{
    ProfileStore &store = ProfileStore::instance();
    store.WriteSectionInt(QStringLiteral("Analysis1D.ReportOptions"), QStringLiteral("m_MW"), 1);
    store.WriteSectionInt(QStringLiteral("Analysis1D.BandsOptions"),
                          QStringLiteral("m_BoundryPercentage"), 12);
    Analysis1DDoc doc;
    Analysis1DOptions &options = doc.GetAnalysisOptions();
    EXPECT_EQ(options.m_ReportOptions.m_MW, 0);
    EXPECT_EQ(options.m_BandsOptions.m_BoundryPercentage, 12);

    ApplicationOptionsPS sheet(nullptr, &options, &doc);
    ASSERT_EQ(sheet.Pages()->count(), 4);
    // The default standards file is shown in the program's folder, as a path
    // of this system.
    store.WriteSectionString(QStringLiteral("General"), QStringLiteral("Application Path"),
                             QStringLiteral("/opt/densora/bin"));
    EXPECT_EQ(PPAnalysisOptionOthers::StandardsFilePath(),
              QStringLiteral("/opt/densora/bin/MWStads.Dat"));
    EXPECT_EQ(sheet.BandsPage()->PercentageList()->currentIndex(), -1);
    QCheckBox *mw = nullptr;
    QCheckBox *saturated = nullptr;
    for (QCheckBox *box : sheet.ReportPage()->findChildren<QCheckBox *>()) {
        if (box->text() == QStringLiteral("MW"))
            mw = box;
        if (box->text() == QStringLiteral("Saturated"))
            saturated = box;
    }
    ASSERT_NE(mw, nullptr);
    ASSERT_NE(saturated, nullptr);
    EXPECT_TRUE(saturated->isChecked());
    EXPECT_FALSE(mw->isChecked());
    EXPECT_FALSE(sheet.ApplyButton()->isEnabled());

    mw->click();
    EXPECT_EQ(options.m_ReportOptions.m_MW, 1);
    EXPECT_TRUE(sheet.ApplyButton()->isEnabled());
    const QString padded = QStringLiteral("m_MW                     ");
    EXPECT_FALSE(store.Contains(QStringLiteral("Analysis1D.ReportOptions"), padded));
    saturated->click();
    EXPECT_EQ(options.m_ReportOptions.m_Saturated, 0);
    sheet.OnApplyNow();
    EXPECT_EQ(store.GetSectionInt(QStringLiteral("Analysis1D.ReportOptions"), padded, 0), 1);
    EXPECT_EQ(store.GetSectionInt(QStringLiteral("Analysis1D.ReportOptions"),
                                  QStringLiteral("m_Saturated              "), 1),
              0);

    sheet.BandsPage()->PercentageList()->setCurrentIndex(2);
    emit sheet.BandsPage()->PercentageList()->activated(2);
    EXPECT_EQ(options.m_BandsOptions.m_BoundryPercentage, 10);
    mw->click();
    EXPECT_EQ(options.m_ReportOptions.m_MW, 0);
    sheet.reject();
    EXPECT_EQ(options.m_ReportOptions.m_MW, 1);
    EXPECT_EQ(options.m_BandsOptions.m_BoundryPercentage, 12);
    EXPECT_TRUE(mw->isChecked());
}

} // namespace
