#include "analysis1d/engine/Analysis1DOptions.h"
#include "platform/CArchive.h"
#include "platform/ProfileStore.h"

#include <QBuffer>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Keeps every read and write in the order they happen, so the visiting order
// and the exact keys can be checked.
class RecordingProfileStore : public MemoryProfileStore
{
public:
    struct Access
    {
        QString section;
        QString key;
        int value;
    };

    int GetSectionInt(const QString &section, const QString &key, int defaultValue) const override
    {
        reads.push_back({section, key, defaultValue});
        return MemoryProfileStore::GetSectionInt(section, key, defaultValue);
    }
    bool WriteSectionInt(const QString &section, const QString &key, int value) override
    {
        writes.push_back({section, key, value});
        return MemoryProfileStore::WriteSectionInt(section, key, value);
    }

    mutable std::vector<Access> reads;
    std::vector<Access> writes;
};

const QString kGeneral = QStringLiteral("Analysis1D.GeneralOptions");
const QString kGraph = QStringLiteral("Analysis1D.GraphOptions");
const QString kReport = QStringLiteral("Analysis1D.ReportOptions");
const QString kBands = QStringLiteral("Analysis1D.BandsOptions");
const QString kLanes = QStringLiteral("Analysis1D.LanesOptions");

// Report keys in the order Store and Load visit them, blanks included.
const QStringList kReportKeysInOrder = {
    QStringLiteral("m_Position               "), QStringLiteral("m_PrecentageArea         "),
    QStringLiteral("m_Volume                 "), QStringLiteral("m_PrecentageConcentration"),
    QStringLiteral("m_MW                     "), QStringLiteral("m_LaneBand               "),
    QStringLiteral("m_Concentration          "), QStringLiteral("m_Baseline               "),
    QStringLiteral("m_Area                   "), QStringLiteral("m_Amplitude              "),
    QStringLiteral("m_RelMigrationDist       "), QStringLiteral("m_PeakWidth              "),
    QStringLiteral("m_GaussianFitCorrelation "), QStringLiteral("m_SurfaceArea            "),
    QStringLiteral("m_VolumePerSurfaceArea   "), QStringLiteral("m_Saturated              "),
};

// Every (section, key, default) in store order.
const std::vector<RecordingProfileStore::Access> kAllDefaultsInOrder = {
    {kGeneral, "m_DyeFrontOffsetFromBottom", 10},
    {kGeneral, "m_WellOffsetFromTop", 10},
    {kGraph, "m_ShowBackground", 1},
    {kGraph, "m_ShowGaussians", 1},
    {kGraph, "m_ShowPeakNumbers", 1},
    {kGraph, "m_ShowWidth", 0},
    {kGraph, "m_ShowBaselines", 1},
    {kGraph, "m_drawLane3D", 0},
    {kGraph, "m_autoScale", 1},
    {kReport, "m_Position               ", 1},
    {kReport, "m_PrecentageArea         ", 0},
    {kReport, "m_Volume                 ", 1},
    {kReport, "m_PrecentageConcentration", 0},
    {kReport, "m_MW                     ", 0},
    {kReport, "m_LaneBand               ", 1},
    {kReport, "m_Concentration          ", 0},
    {kReport, "m_Baseline               ", 1},
    {kReport, "m_Area                   ", 1},
    {kReport, "m_Amplitude              ", 1},
    {kReport, "m_RelMigrationDist       ", 1},
    {kReport, "m_PeakWidth              ", 0},
    {kReport, "m_GaussianFitCorrelation ", 0},
    {kReport, "m_SurfaceArea            ", 1},
    {kReport, "m_VolumePerSurfaceArea   ", 1},
    {kReport, "m_Saturated              ", 1},
    {kBands, "m_Show_Bracket", 1},
    {kBands, "m_Show_Boundary_Contour", 0},
    {kBands, "m_Show_Number", 1},
    {kBands, "m_BoundryPercentage", 30},
    {kLanes, "m_Show_Number", 1},
    {kLanes, "m_Show", 1},
};

void expectSameAccesses(const std::vector<RecordingProfileStore::Access> &actual,
                        const std::vector<RecordingProfileStore::Access> &expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(testing::Message()
                     << "access " << i << " key '" << expected[i].key.toStdString() << "'");
        EXPECT_EQ(actual[i].section, expected[i].section);
        EXPECT_EQ(actual[i].key, expected[i].key);
        EXPECT_EQ(actual[i].value, expected[i].value);
    }
}

// Every test works on a store of its own and gives the previous one back.
class OptionsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        auto store = std::make_unique<RecordingProfileStore>();
        m_store = store.get();
        m_previous = ProfileStore::install(std::move(store));
    }
    void TearDown() override { ProfileStore::install(std::move(m_previous)); }

    RecordingProfileStore *m_store = nullptr;
    std::unique_ptr<ProfileStore> m_previous;
};

} // namespace

TEST_F(OptionsTest, EmptyStoreGivesDefaultsAndFirstStoreWritesThemAll)
{
    {
        const Analysis1DOptions options;
        // Loading asks for every key, in group order, offering the default.
        expectSameAccesses(m_store->reads, kAllDefaultsInOrder);
        EXPECT_TRUE(m_store->writes.empty());

        EXPECT_EQ(options.m_GeneralOptions.m_DyeFrontOffsetFromBottom, 10);
        EXPECT_EQ(options.m_GeneralOptions.m_WellOffsetFromTop, 10);
        EXPECT_EQ(options.m_GraphOptions.m_ShowWidth, 0);
        EXPECT_EQ(options.m_GraphOptions.m_drawLane3D, 0);
        EXPECT_EQ(options.m_GraphOptions.m_autoScale, 1);
        EXPECT_EQ(options.m_ReportOptions.m_Position, 1);
        EXPECT_EQ(options.m_ReportOptions.m_MW, 0);
        EXPECT_EQ(options.m_ReportOptions.m_VolumePerSurfaceArea, 1);
        EXPECT_EQ(options.m_BandsOptions.m_Show_Boundary_Contour, 0);
        EXPECT_EQ(options.m_BandsOptions.m_BoundryPercentage, 30);
        EXPECT_EQ(options.m_LanesOptions.m_Show_Number, 1);
        EXPECT_EQ(options.m_LanesOptions.m_Show, 1);
    }
    // Destruction stored every value of every group, in the same order.
    expectSameAccesses(m_store->writes, kAllDefaultsInOrder);
    for (const auto &access : kAllDefaultsInOrder)
        EXPECT_TRUE(m_store->Contains(access.section, access.key)) << access.key.toStdString();
}

TEST_F(OptionsTest, SectionNamesAndReportKeyWidth)
{
    const Analysis1DOptions options;
    EXPECT_EQ(options.m_GeneralOptions.GetSection(), kGeneral);
    EXPECT_EQ(options.m_GraphOptions.GetSection(), kGraph);
    EXPECT_EQ(options.m_ReportOptions.GetSection(), kReport);
    EXPECT_EQ(options.m_BandsOptions.GetSection(), kBands);
    EXPECT_EQ(options.m_LanesOptions.GetSection(), kLanes);

    QStringList reportKeys;
    for (const auto &access : m_store->reads) {
        if (access.section == kReport)
            reportKeys << access.key;
    }
    EXPECT_EQ(reportKeys, kReportKeysInOrder);
    for (const QString &key : reportKeys)
        EXPECT_EQ(key.size(), 25) << key.toStdString();
}

TEST_F(OptionsTest, ValuesChangedInOneDocumentAreReadByTheNext)
{
    {
        Analysis1DOptions options;
        options.m_GeneralOptions.m_WellOffsetFromTop = 25;
        options.m_GraphOptions.m_ShowGaussians = 0;
        options.m_ReportOptions.m_MW = 1;
        options.m_ReportOptions.m_Position = 0;
        options.m_BandsOptions.m_BoundryPercentage = 15;
        options.m_LanesOptions.m_Show = 0;
    }
    EXPECT_EQ(m_store->GetSectionInt(kReport, QStringLiteral("m_MW                     "), -1), 1);

    const Analysis1DOptions fresh;
    EXPECT_EQ(fresh.m_GeneralOptions.m_WellOffsetFromTop, 25);
    EXPECT_EQ(fresh.m_GeneralOptions.m_DyeFrontOffsetFromBottom, 10);
    EXPECT_EQ(fresh.m_GraphOptions.m_ShowGaussians, 0);
    EXPECT_EQ(fresh.m_ReportOptions.m_MW, 1);
    EXPECT_EQ(fresh.m_ReportOptions.m_Position, 0);
    EXPECT_EQ(fresh.m_BandsOptions.m_BoundryPercentage, 15);
    EXPECT_EQ(fresh.m_LanesOptions.m_Show, 0);
    EXPECT_EQ(fresh.m_LanesOptions.m_Show_Number, 1);
}

TEST_F(OptionsTest, StoredSettingsAreTakenAsIs)
{
    // Same key name in two sections: each group reads only its own.
    m_store->WriteSectionInt(kBands, QStringLiteral("m_Show_Number"), 0);
    m_store->WriteSectionInt(kLanes, QStringLiteral("m_Show_Number"), 7);
    // A percentage the options page does not offer is still used.
    m_store->WriteSectionInt(kBands, QStringLiteral("m_BoundryPercentage"), 12);
    m_store->WriteSectionInt(kReport, QStringLiteral("m_PrecentageConcentration"), 1);

    const Analysis1DOptions options;
    EXPECT_EQ(options.m_BandsOptions.m_Show_Number, 0);
    EXPECT_EQ(options.m_LanesOptions.m_Show_Number, 7);
    EXPECT_EQ(options.m_BandsOptions.m_BoundryPercentage, 12);
    EXPECT_EQ(options.m_ReportOptions.m_PrecentageConcentration, 1);
}

TEST_F(OptionsTest, ReportKeyWithoutItsBlanksIsNotFound)
{
    m_store->WriteSectionInt(kReport, QStringLiteral("m_Position"), 0);
    m_store->WriteSectionInt(kReport, QStringLiteral("m_MW"), 1);
    m_store->WriteSectionInt(kReport, QStringLiteral("m_GaussianFitCorrelation"), 1);
    // The one padded entry is found.
    m_store->WriteSectionInt(kReport, QStringLiteral("m_PeakWidth              "), 1);

    const Analysis1DOptions options;
    EXPECT_EQ(options.m_ReportOptions.m_Position, 1);
    EXPECT_EQ(options.m_ReportOptions.m_MW, 0);
    EXPECT_EQ(options.m_ReportOptions.m_GaussianFitCorrelation, 0);
    EXPECT_EQ(options.m_ReportOptions.m_PeakWidth, 1);
}

TEST_F(OptionsTest, CurrentValueServesAsDefaultWhenAbsent)
{
    GraphOptions graph;
    graph.m_ShowBackground = 0;
    graph.m_drawLane3D = 1;
    m_store->WriteSectionInt(kGraph, QStringLiteral("m_drawLane3D"), 0);
    graph.Load(*m_store);
    EXPECT_EQ(graph.m_ShowBackground, 0); // absent: kept
    EXPECT_EQ(graph.m_drawLane3D, 0); // present: read

    ReportOptions report;
    report.m_Concentration = 1;
    report.m_Area = 0;
    report.Load(*m_store);
    EXPECT_EQ(report.m_Concentration, 1);
    EXPECT_EQ(report.m_Area, 0);

    // An entry that is not a number counts as absent.
    GeneralOptions general;
    general.m_WellOffsetFromTop = 42;
    m_store->WriteSectionString(kGeneral, QStringLiteral("m_WellOffsetFromTop"),
                                QStringLiteral("high"));
    general.Load(*m_store);
    EXPECT_EQ(general.m_WellOffsetFromTop, 42);
}

TEST_F(OptionsTest, ReloadAfterExplicitStoreGivesTheSameValues)
{
    Analysis1DOptions options;
    options.m_BandsOptions.m_Show_Bracket = 0;
    options.m_GraphOptions.m_autoScale = 0;
    options.StoreToRegistry();

    options.m_BandsOptions.m_Show_Bracket = 1;
    options.m_GraphOptions.m_autoScale = 1;
    options.ReadFromRegistry();
    EXPECT_EQ(options.m_BandsOptions.m_Show_Bracket, 0);
    EXPECT_EQ(options.m_GraphOptions.m_autoScale, 0);
}

TEST_F(OptionsTest, StoreReplacedWhileOpenIsNotTouchedAfterwards)
{
    auto options = std::make_unique<Analysis1DOptions>();
    options->m_GeneralOptions.m_DyeFrontOffsetFromBottom = 33;

    // Another store takes over and the one the options were read from is gone.
    auto replacement = std::make_unique<MemoryProfileStore>();
    MemoryProfileStore *current = replacement.get();
    auto old = ProfileStore::install(std::move(replacement));
    m_store = nullptr;
    old.reset();

    options.reset(); // stores into the store in use now
    EXPECT_EQ(current->GetSectionInt(kGeneral, QStringLiteral("m_DyeFrontOffsetFromBottom"), 0),
              33);
}

TEST_F(OptionsTest, RunTimeClassAndNoStoredForm)
{
    Analysis1DOptions options;
    EXPECT_STREQ(options.GetRuntimeClass()->m_lpszClassName, "Analysis1DOptions");
    EXPECT_TRUE(options.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(options.IsSerializable());
    EXPECT_EQ(CRuntimeClass::FromName("Analysis1DOptions"), RUNTIME_CLASS(Analysis1DOptions));

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        CArchive ar(&buffer, CArchive::store);
        options.Serialize(ar);
        ar.Close();
    }
    EXPECT_EQ(buffer.size(), 0);
}

TEST(OptionsSettingsFile, PaddedKeysSurviveTheSettingsFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("Densora.conf"));
    {
        SettingsProfileStore store(file);
        ReportOptions report;
        report.m_Position = 0;
        report.m_GaussianFitCorrelation = 1;
        report.Store(store);
        LanesOptions lanes;
        lanes.m_Show = 0;
        lanes.Store(store);
    }
    SettingsProfileStore store(file);
    EXPECT_FALSE(store.Contains(kReport, QStringLiteral("m_Position")));
    ReportOptions report;
    report.Load(store);
    EXPECT_EQ(report.m_Position, 0);
    EXPECT_EQ(report.m_GaussianFitCorrelation, 1);
    EXPECT_EQ(report.m_Volume, 1);
    LanesOptions lanes;
    lanes.Load(store);
    EXPECT_EQ(lanes.m_Show, 0);
}
