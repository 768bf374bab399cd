#include "analysis1d/calibration/CalibrationManager.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/ReportOptions.h"
#include "analysis1d/engine/ReportTable.h"
#include "analysis1d/engine/UserDrawnBand.h"
#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"
#include "platform/Exceptions.h"
#include "platform/ProfileStore.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Mode = ReportTable::Mode;

const CRect kArea(100, 50, 400, 250);

// A record whose every reported quantity differs and needs rounding, grouping
// or both, so a field read into the wrong column or the wrong format shows.
BandData sampleData()
{
    BandData d;
    d.m_centerOfGravity = CPoint(20, 77);
    d.m_peakAmplitude = 1234.4;
    d.m_lowerEdgeHeight = 100.0;
    d.m_upperEdgeHeight = 200.0;
    d.m_peakArea = 12345.678;
    d.m_peakAreaFraction = 0.256;
    d.m_calibratedMW = 45.678;
    d.m_intensity = 9876543.21;
    d.m_surfaceArea = 1234;
    d.m_intensityPerSurfaceArea = 8003.7;
    d.m_calibratedIntensity = 1500.5;
    d.m_calibratedIntensityPercentage = 33.4;
    d.m_relativeMigration = 0.456;
    d.m_peakWidth = 7.126;
    d.m_gaussianFit = 0.987;
    return d;
}

// A band whose centre row tells which band it is.
Band bandAtRow(int row)
{
    BandData d;
    d.m_centerOfGravity = CPoint(20, row);
    d.m_detectedRect = CRect(10, row - 3, 30, row + 3);
    return Band(d, kArea);
}

Lane laneWithBands(int left, const std::vector<int> &bandRows)
{
    Lane lane(CRect(left, 0, left + 30, 200), CRect(left, 0, left + 30, 200), kArea, {}, {}, {});
    for (size_t i = 0; i < bandRows.size(); ++i)
        lane.InsertBand(bandAtRow(bandRows[i]), int(i));
    return lane;
}

// Options with the concentration columns left to the intensity standards.
class ReportColumns : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_analysis.GetCalibrationManager()->SetIntensityCurveType(CalibrationManager::CurveNone);
    }

    std::vector<int> widths(const ReportTable &model) const
    {
        std::vector<int> w;
        for (int c = 0; c < model.columnCount(); ++c)
            w.push_back(model.width(c));
        return w;
    }

    Analysis1D m_analysis;
    CArray<Band> m_noUserBands;
    ReportOptions m_options;
};

TEST_F(ReportColumns, DefaultOptionsGiveHeadingsWidthsAndCentredFormat)
{
    const ReportTable model
        = ReportTable::build(m_analysis, m_noUserBands, m_options, Mode::AllLanes);

    const QStringList expectedHeadings = {"Lane",
                                          "Band",
                                          "Position",
                                          "Peak Amplitude",
                                          "Baseline",
                                          "Peak Area",
                                          "% Peak Area",
                                          "MW",
                                          "Total Intensity",
                                          "SurfaceArea",
                                          "Intensity/SurfaceArea",
                                          "Conc.",
                                          "% Conc.",
                                          "Rel. Mig. Dist.",
                                          "Peak Width",
                                          "Gaussian Fitting"};
    ASSERT_EQ(model.columnCount(), 16);
    for (int c = 0; c < 16; ++c) {
        EXPECT_EQ(model.heading(c), expectedHeadings[c]) << c;
        EXPECT_EQ(model.format(c), ReportTable::kCenteredFormat) << c;
    }
    EXPECT_EQ(widths(model),
              (std::vector<int> {40, 40, 50, 50, 65, 75, 0, 0, 75, 75, 75, 0, 0, 75, 0, 0}));
    // With no lanes the table still has its columns.
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_THROW(model.heading(16), CInvalidArgException);
    EXPECT_THROW(model.width(-1), CInvalidArgException);
}

TEST_F(ReportColumns, SwitchedOffOptionHidesOnlyThatColumn)
{
    m_options.m_Position = 0;
    m_options.m_PeakWidth = 1;
    m_options.m_LaneBand = 0; // has no column; "Lane" and "Band" stay
    const ReportTable model
        = ReportTable::build(m_analysis, m_noUserBands, m_options, Mode::AllLanes);

    ASSERT_EQ(model.columnCount(), 16);
    EXPECT_EQ(model.heading(ReportTable::ColPosition), "Position");
    EXPECT_EQ(model.width(ReportTable::ColPosition), 0);
    EXPECT_FALSE(model.isColumnVisible(ReportTable::ColPosition));
    EXPECT_EQ(model.width(ReportTable::ColPeakWidth), 75);
    EXPECT_EQ(model.width(ReportTable::ColLane), 40);
    EXPECT_EQ(model.width(ReportTable::ColBand), 40);
    EXPECT_EQ(model.width(ReportTable::ColPeakAmplitude), 50);
}

TEST_F(ReportColumns, ConcentrationColumnsFollowOptionOrIntensityStandards)
{
    m_options.m_Concentration = 1;
    ReportTable model = ReportTable::build(m_analysis, m_noUserBands, m_options, Mode::AllLanes);
    EXPECT_EQ(model.width(ReportTable::ColConcentration), 75);
    EXPECT_EQ(model.width(ReportTable::ColPercentConcentration), 0);

    // Loaded standards show both, whatever the options say.
    m_options.m_Concentration = 0;
    m_analysis.GetCalibrationManager()->SetIntensityCurveType(CalibrationManager::CurveLinear);
    ASSERT_EQ(m_analysis.isODStardardsLoaded(), 1);
    model = ReportTable::build(m_analysis, m_noUserBands, m_options, Mode::AllLanes);
    EXPECT_EQ(model.width(ReportTable::ColConcentration), 75);
    EXPECT_EQ(model.width(ReportTable::ColPercentConcentration), 75);
    EXPECT_EQ(model.width(ReportTable::ColMW), 0);
}

TEST_F(ReportColumns, AllColumnsIgnoresTheOptions)
{
    m_options.m_Position = 0;
    m_options.m_Baseline = 0;
    const ReportTable model
        = ReportTable::build(m_analysis, m_noUserBands, m_options, Mode::AllLanes, {}, true);
    EXPECT_EQ(widths(model),
              (std::vector<int> {40, 40, 50, 50, 65, 75, 65, 75, 75, 75, 75, 75, 75, 75, 75, 75}));
}

// ---------------------------------------------------------------------------
// Cells

TEST(ReportCells, DetectedAndUserDefinedBandsUseTheirOwnFormats)
{
    Analysis1D analysis;
    Lane lane = laneWithBands(10, {});
    lane.InsertBand(Band(sampleData(), kArea), 0);
    analysis.GetLanes()->Add(lane);
    CArray<Band> userBands;
    userBands.Add(Band(sampleData(), kArea));

    const ReportTable model
        = ReportTable::build(analysis, userBands, ReportOptions(), Mode::AllLanes);
    ASSERT_EQ(model.rowCount(), 2);

    const QStringList detected = {"1",  "1",     "77",           "1,234", "150",      "12,345.68",
                                  "26", "45.68", "9,876,543.21", "1,234", "8,003.70", "1,500.50",
                                  "33", "0.46",  "7.13",         "0.99"};
    EXPECT_EQ(model.row(0), detected);

    const QStringList user
        = {"User defined", "1",    "77",   "1234",    "150",   "12346", "26",   "45.68",
           "9876543",      "1234", "8004", "1500.50", "33.40", "0.46",  "7.13", "0.99"};
    EXPECT_EQ(model.row(1), user);
    EXPECT_EQ(model.cell(1, ReportTable::ColLane), ReportTable::userDefinedLaneText());
    EXPECT_THROW(model.cell(2, 0), CInvalidArgException);
    EXPECT_THROW(model.cell(0, 16), CInvalidArgException);
}

TEST(ReportCells, HiddenColumnsStillCarryTheirTexts)
{
    Analysis1D analysis;
    Lane lane = laneWithBands(10, {});
    lane.InsertBand(Band(sampleData(), kArea), 0);
    analysis.GetLanes()->Add(lane);
    ReportOptions options;
    options.m_PeakWidth = 0;

    const ReportTable model = ReportTable::build(analysis, CArray<Band>(), options, Mode::AllLanes);
    EXPECT_EQ(model.width(ReportTable::ColPeakWidth), 0);
    EXPECT_EQ(model.cell(0, ReportTable::ColPeakWidth), "7.13");
}

// ---------------------------------------------------------------------------
// Rows by selection mode

class ReportRows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Lane 1: bands at rows 10, 20; lane 2: none; lane 3: rows 30, 40, 50.
        m_analysis.GetLanes()->Add(laneWithBands(10, {10, 20}));
        m_analysis.GetLanes()->Add(laneWithBands(50, {}));
        m_analysis.GetLanes()->Add(laneWithBands(90, {30, 40, 50}));
        m_userBands.Add(bandAtRow(60));
        m_userBands.Add(bandAtRow(70));
    }

    ReportTable build(Mode mode, const QList<int> &lanes = {}) const
    {
        return ReportTable::build(m_analysis, m_userBands, ReportOptions(), mode, lanes);
    }

    // "lane|band|position" of every row.
    static QStringList rows(const ReportTable &model)
    {
        QStringList out;
        for (int r = 0; r < model.rowCount(); ++r) {
            out << model.cell(r, ReportTable::ColLane) + u'|' + model.cell(r, ReportTable::ColBand)
                    + u'|' + model.cell(r, ReportTable::ColPosition);
        }
        return out;
    }

    Analysis1D m_analysis;
    CArray<Band> m_userBands;
};

TEST_F(ReportRows, SingleLaneListsOnlyThatLane)
{
    const ReportTable model = build(Mode::SingleLane, {2, 0});
    EXPECT_EQ(rows(model), (QStringList {"3|1|30", " |2|40", " |3|50"}));
    EXPECT_EQ(model.rowLane(1), 2);
    EXPECT_EQ(model.rowBand(1), 1);
    EXPECT_EQ(model.rowOf(2, 2), 2);
    EXPECT_EQ(model.rowOf(0, 0), -1);

    EXPECT_EQ(build(Mode::SingleLane, {1}).rowCount(), 0);
    // A selection left over after lanes were deleted lists nothing.
    EXPECT_EQ(build(Mode::SingleLane, {7}).rowCount(), 0);
    EXPECT_EQ(build(Mode::SingleLane, {-2}).rowCount(), 0);
    EXPECT_EQ(build(Mode::SingleLane).rowCount(), 0);
}

TEST_F(ReportRows, MultipleLanesInLaneOrderWithoutUserBands)
{
    const ReportTable model = build(Mode::MultipleLanes, {2, 0, 2, 5});
    EXPECT_EQ(rows(model), (QStringList {"1|1|10", " |2|20", "3|1|30", " |2|40", " |3|50"}));
    EXPECT_EQ(model.rowOf(0, 1), 1);
    EXPECT_EQ(model.rowOf(2, 0), 2);
}

TEST_F(ReportRows, AllLanesThenUserDefinedBands)
{
    const ReportTable model = build(Mode::AllLanes);
    EXPECT_EQ(rows(model),
              (QStringList {"1|1|10", " |2|20", "3|1|30", " |2|40", " |3|50", "User defined|1|60",
                            "User defined|2|70"}));
    EXPECT_EQ(model.rowLane(5), -1);
    EXPECT_EQ(model.rowBand(6), 1);
    // A user-drawn band is not found as a detected one.
    EXPECT_EQ(model.rowOf(-1, 0), -1);
}

TEST_F(ReportRows, UserDefinedListsOnlyTheDrawnBands)
{
    const ReportTable model = build(Mode::UserDefined, {0});
    EXPECT_EQ(rows(model), (QStringList {"User defined|1|60", "User defined|2|70"}));
}

TEST_F(ReportRows, AnalysisWithoutDocumentHasNoUserBands)
{
    // The collecting overload: without a document there are no drawn bands.
    const ReportTable all = ReportTable::build(m_analysis, ReportOptions(), Mode::AllLanes);
    EXPECT_EQ(all.rowCount(), 5);
    EXPECT_EQ(ReportTable::build(m_analysis, ReportOptions(), Mode::UserDefined).rowCount(), 0);
}

// The collecting overload measures the document's drawn bands, but only for
// the modes that list them.
TEST(ReportFromDocument, DrawnBandsOfTheDocumentAreListed)
{
    auto previousStore = ProfileStore::install(std::make_unique<MemoryProfileStore>());
    {
        // 60 x 60 grey gel, background 10, one block of 200 at columns 20..39, rows 25..34.
        const CRect area(0, 0, 60, 60);
        auto doc = std::make_unique<Analysis1DDoc>();
        Analysis1D analysis;
        analysis.SetAnalysisDocument(doc.get());
        auto *drawImage = new CDrawImage;
        drawImage->Create(60, 60, 8, nullptr);
        FIBITMAP *dib = FreeImage_Allocate(60, 60, 8);
        RGBQUAD *palette = FreeImage_GetPalette(dib);
        for (int i = 0; i < 256; ++i)
            palette[i] = RGBQUAD {BYTE(i), BYTE(i), BYTE(i), 0};
        for (int y = 0; y < 60; ++y) {
            BYTE *line = FreeImage_GetScanLine(dib, unsigned(59 - y));
            for (int x = 0; x < 60; ++x)
                line[x] = (x >= 20 && x < 40 && y >= 25 && y < 35) ? 200 : 10;
        }
        *drawImage->GetImage() = dib;
        drawImage->SizeToImage();
        doc->Add(drawImage);
        analysis.SetAnalysisImage(drawImage->GetImage());
        doc->Add(new AnalysisArea(area, CRect(0, 0, 1000, 1000)));
        doc->Add(new ExampleBand(CRect(20, 25, 40, 35), area));
        analysis.CreateAnalysisImage(area, 1);
        ASSERT_NE(analysis.GetAnalysisRasterImage(), nullptr);
        analysis.GetLanes()->Add(laneWithBands(10, {12}));
        doc->Add(new UserDrawnBand(CRect(20, 25, 39, 34), area));

        const ReportTable all = ReportTable::build(analysis, ReportOptions(), Mode::AllLanes);
        ASSERT_EQ(all.rowCount(), 2);
        EXPECT_EQ(all.cell(1, ReportTable::ColLane), "User defined");
        EXPECT_EQ(all.cell(1, ReportTable::ColPosition), "29");
        EXPECT_NE(all.cell(1, ReportTable::ColTotalIntensity), "0");

        const ReportTable user = ReportTable::build(analysis, ReportOptions(), Mode::UserDefined);
        ASSERT_EQ(user.rowCount(), 1);
        EXPECT_EQ(user.row(0), all.row(1));
        EXPECT_EQ(
            ReportTable::build(analysis, ReportOptions(), Mode::MultipleLanes, {0, 1}).rowCount(),
            1);
    }
    ProfileStore::install(std::move(previousStore));
}

// ---------------------------------------------------------------------------
// Export

TEST(ReportExport, CsvQuotesCommasAndQuotes)
{
    EXPECT_EQ(ReportTable::csvQuoted("1,234.50"), "\"1,234.50\"");
    EXPECT_EQ(ReportTable::csvQuoted("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(ReportTable::csvQuoted("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(ReportTable::csvQuoted("% Conc."), "% Conc.");
    EXPECT_EQ(ReportTable::csvQuoted(" "), " ");
}

TEST(ReportExport, CsvAndTsvOfVisibleOrAllColumns)
{
    Analysis1D analysis;
    analysis.GetCalibrationManager()->SetIntensityCurveType(CalibrationManager::CurveNone);
    Lane lane = laneWithBands(10, {});
    lane.InsertBand(Band(sampleData(), kArea), 0);
    analysis.GetLanes()->Add(lane);
    ReportOptions options;
    options.m_Position = 0;
    options.m_Baseline = 0;
    options.m_Area = 0;
    options.m_Volume = 0;
    options.m_SurfaceArea = 0;
    options.m_VolumePerSurfaceArea = 0;
    options.m_RelMigrationDist = 0;
    // Visible: Lane, Band, Peak Amplitude.
    const ReportTable model = ReportTable::build(analysis, CArray<Band>(), options, Mode::AllLanes);

    EXPECT_EQ(model.toCsv(), "Lane,Band,Peak Amplitude\r\n1,1,\"1,234\"\r\n");
    EXPECT_EQ(model.toTsv(), "Lane\tBand\tPeak Amplitude\n1\t1\t1,234\n");

    const QString all = model.toCsv(true);
    const QStringList lines = all.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3); // two lines and the empty text after the last break
    EXPECT_EQ(lines[0],
              "Lane,Band,Position,Peak Amplitude,Baseline,Peak Area,% Peak Area,MW,"
              "Total Intensity,SurfaceArea,Intensity/SurfaceArea,Conc.,% Conc.,"
              "Rel. Mig. Dist.,Peak Width,Gaussian Fitting");
    EXPECT_EQ(lines[1],
              "1,1,77,\"1,234\",150,\"12,345.68\",26,45.68,\"9,876,543.21\","
              "\"1,234\",\"8,003.70\",\"1,500.50\",33,0.46,7.13,0.99");
    EXPECT_EQ(model.toTsv(true).count(u'\t'), 2 * 15);
}

} // namespace
