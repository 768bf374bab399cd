#include "analysis1d/calibration/MWAssignments.h"
#include "analysis1d/calibration/MWLadder.h"
#include "analysis1d/calibration/MWLadderLibrary.h"
#include "analysis1d/calibration/MWManager.h"
#include "analysis1d/calibration/MWMarker.h"
#include "analysis1d/calibration/StorableMWStandard.h"
#include "analysis1d/engine/Lane.h"
#include "data/CDoubleDataArray.h"
#include "platform/CArchive.h"
#include "platform/ProfileStore.h"
#include "platform/Prompts.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

Lane laneWithBands(int count)
{
    Lane lane;
    for (int i = 0; i < count; ++i) {
        Band band;
        band.getData()->m_centerOfGravity = CPoint(0, 10 * (i + 1));
        lane.InsertBand(band, i);
    }
    return lane;
}

CDoubleDataArray weights(int count, double top = 1000.0)
{
    CDoubleDataArray values;
    for (int i = 0; i < count; ++i)
        values.Add(top - 100.0 * i);
    return values;
}

const BandData &data(const CArray<Lane> &lanes, int lane, int band)
{
    return *lanes[lane].GetBand(band).getData();
}

StorableMWStandard ladder(const QString &name, std::vector<double> values,
                          const QString &material = QString(), const QString &units = QString())
{
    StorableMWStandard s;
    s.m_values.vector() = values;
    s.m_name = name;
    s.m_material = material;
    s.m_units = units;
    return s;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

template<typename T>
void appendRaw(QByteArray &out, T value)
{
    out.append(reinterpret_cast<const char *>(&value), sizeof(T));
}

void appendString(QByteArray &out, const QString &s)
{
    appendRaw<uint8_t>(out, 0xFF);
    appendRaw<uint16_t>(out, 0xFFFE);
    appendRaw<uint8_t>(out, uint8_t(s.size()));
    out.append(reinterpret_cast<const char *>(s.utf16()), s.size() * 2);
}

} // namespace

// Applying a ladder to a lane ------------------------------------------------------------

TEST(MWAssignmentsTest, LadderLongerThanTheLaneFillsEveryBand)
{
    CArray<Lane> lanes;
    lanes.Add(laneWithBands(7));
    EXPECT_EQ(MWAssignments::ApplyLadder(lanes, 0, weights(10)), 7);
    for (int b = 0; b < 7; ++b) {
        EXPECT_TRUE(data(lanes, 0, b).m_hasKnownMW);
        EXPECT_EQ(data(lanes, 0, b).m_knownMW, 1000.0 - 100.0 * b);
    }
}

TEST(MWAssignmentsTest, LadderShorterThanTheLaneLeavesTheLowerBandsWithout)
{
    CArray<Lane> lanes;
    lanes.Add(laneWithBands(7));
    EXPECT_EQ(MWAssignments::ApplyLadder(lanes, 0, ladder("L", {500, 400, 300, 200, 100})), 5);
    for (int b = 0; b < 5; ++b)
        EXPECT_TRUE(data(lanes, 0, b).m_hasKnownMW) << b;
    EXPECT_EQ(data(lanes, 0, 0).m_knownMW, 500.0);
    EXPECT_EQ(data(lanes, 0, 4).m_knownMW, 100.0);
    EXPECT_FALSE(data(lanes, 0, 5).m_hasKnownMW);
    EXPECT_FALSE(data(lanes, 0, 6).m_hasKnownMW);
    EXPECT_EQ(data(lanes, 0, 6).m_knownMW, 0.0);
}

TEST(MWAssignmentsTest, SecondLadderClearsTheFirstLanesAssignments)
{
    CArray<Lane> lanes;
    lanes.Add(laneWithBands(3));
    lanes.Add(laneWithBands(4));
    lanes[0].GetBand(2).getData()->m_hasKnownIntensity = true;
    lanes[0].GetBand(2).getData()->m_knownIntensity = 4.5;
    MWAssignments::ApplyLadder(lanes, 0, weights(3));
    MWAssignments::ApplyLadder(lanes, 1, weights(4, 800));
    for (int b = 0; b < 3; ++b) {
        EXPECT_FALSE(data(lanes, 0, b).m_hasKnownMW);
        EXPECT_EQ(data(lanes, 0, b).m_knownMW, 0.0);
    }
    // Known amounts are not part of a ladder.
    EXPECT_TRUE(data(lanes, 0, 2).m_hasKnownIntensity);
    EXPECT_EQ(data(lanes, 1, 3).m_knownMW, 500.0);
    EXPECT_THROW(MWAssignments::ApplyLadder(lanes, 2, weights(3)), CInvalidArgException);
    // A refused lane index changes nothing.
    EXPECT_TRUE(data(lanes, 1, 0).m_hasKnownMW);
}

TEST(MWAssignmentsTest, LaneNeedsTwoBandsForALadder)
{
    ScopedScriptedPrompts prompts;
    CArray<Lane> lanes;
    lanes.Add(laneWithBands(1));
    lanes.Add(laneWithBands(2));
    EXPECT_FALSE(MWAssignments::CheckLaneForLadder(lanes, 0));
    EXPECT_TRUE(MWAssignments::CheckLaneForLadder(lanes, 1));
    EXPECT_EQ(prompts->Texts(),
              QStringList{QStringLiteral("Please select a lane that has at least 2 bands.")});
    EXPECT_THROW(MWAssignments::CheckLaneForLadder(lanes, 2), CInvalidArgException);
}

// Known values of a band -------------------------------------------------------------------

TEST(MWAssignmentsTest, ValuesOfZeroOrLessChangeNothingAndRemoveClearsBoth)
{
    BandData d;
    MWAssignments::AssignKnownValues(d, 2.5, 0.0);
    EXPECT_TRUE(d.m_hasKnownIntensity);
    EXPECT_EQ(d.m_knownIntensity, 2.5);
    EXPECT_FALSE(d.m_hasKnownMW);

    MWAssignments::AssignKnownValues(d, 0.0, 150.0);
    MWAssignments::AssignKnownValues(d, -3.0, -1.0);
    EXPECT_TRUE(d.m_hasKnownIntensity);
    EXPECT_EQ(d.m_knownIntensity, 2.5);
    EXPECT_TRUE(d.m_hasKnownMW);
    EXPECT_EQ(d.m_knownMW, 150.0);

    CArray<Lane> lanes;
    lanes.Add(laneWithBands(2));
    *lanes[0].GetBand(1).getData() = d;
    MWAssignments::RemoveAssignments(lanes, 0, 1);
    EXPECT_FALSE(data(lanes, 0, 1).m_hasKnownIntensity);
    EXPECT_FALSE(data(lanes, 0, 1).m_hasKnownMW);
    EXPECT_EQ(data(lanes, 0, 1).m_knownIntensity, 0.0);
    EXPECT_EQ(data(lanes, 0, 1).m_knownMW, 0.0);
    EXPECT_THROW(MWAssignments::RemoveAssignments(lanes, 0, 2), CInvalidArgException);
}

TEST(MWAssignmentsTest, ValuesPageRowsAndTheirLaneBandText)
{
    CArray<Lane> lanes;
    lanes.Add(laneWithBands(2));
    lanes.Add(laneWithBands(3));
    MWAssignments::AssignKnownValues(*lanes[1].GetBand(0).getData(), 1.0, 0.0);
    MWAssignments::AssignKnownValues(*lanes[1].GetBand(2).getData(), 0.0, 40.0);
    MWAssignments::AssignKnownValues(*lanes[0].GetBand(1).getData(), 0.0, 90.0);
    const QVector<MWAssignments::BandRef> rows = MWAssignments::AssignedBands(lanes);
    const QVector<MWAssignments::BandRef> expected{{0, 1}, {1, 0}, {1, 2}};
    EXPECT_EQ(rows, expected);

    EXPECT_EQ(MWAssignments::FormatLaneBand(1, 2), QStringLiteral("2,3"));
    int lane = -1;
    int band = -1;
    EXPECT_TRUE(MWAssignments::ParseLaneBand(QStringLiteral("2,3"), lane, band));
    EXPECT_EQ(lane, 1);
    EXPECT_EQ(band, 2);
    for (const char *bad : {"", "2", "2,", "a,1", "0,1", "1,2,3"})
        EXPECT_FALSE(MWAssignments::ParseLaneBand(QString::fromLatin1(bad), lane, band)) << bad;
}

// Creating a ladder from the assignments -----------------------------------------------------

TEST(MWAssignmentsTest, LadderFromTheAssignmentsOfOneLane)
{
    ScopedScriptedPrompts prompts;
    CArray<Lane> lanes;
    lanes.Add(laneWithBands(2));
    lanes.Add(laneWithBands(4));
    MWAssignments::AssignKnownValues(*lanes[1].GetBand(0).getData(), 0.0, 300.0);
    MWAssignments::AssignKnownValues(*lanes[1].GetBand(1).getData(), 7.0, 0.0);
    MWAssignments::AssignKnownValues(*lanes[1].GetBand(3).getData(), 0.0, 100.0);

    StorableMWStandard made;
    ASSERT_TRUE(MWAssignments::NewLadderFromAssignments(lanes, made));
    EXPECT_EQ(made.m_name, QStringLiteral("New Ladder"));
    EXPECT_EQ(made.m_values.vector(), (std::vector<double>{300.0, 100.0}));
    EXPECT_TRUE(prompts->Texts().isEmpty());
}

TEST(MWAssignmentsTest, LadderNeedsTheAssignmentsInExactlyOneLane)
{
    const QString message = QStringLiteral(
        "To create a ladder, all the known Molecular Weight assignments should be in the same "
        "lane.");
    ScopedScriptedPrompts prompts;
    CArray<Lane> lanes;
    lanes.Add(laneWithBands(2));
    lanes.Add(laneWithBands(2));
    CDoubleDataArray values;
    EXPECT_EQ(MWAssignments::CollectLadderValues(lanes, values), -1);
    MWAssignments::AssignKnownValues(*lanes[0].GetBand(0).getData(), 0.0, 300.0);
    MWAssignments::AssignKnownValues(*lanes[1].GetBand(1).getData(), 0.0, 100.0);
    StorableMWStandard made;
    EXPECT_FALSE(MWAssignments::NewLadderFromAssignments(lanes, made));
    EXPECT_EQ(prompts->Texts(), (QStringList{message, message}));
    EXPECT_TRUE(values.IsEmpty());
}

// Ladders of the oldest documents ---------------------------------------------------------------

TEST(MWLadderTest, MarkerAndLadderRoundTripInPlace)
{
    MWLadder ladder;
    EXPECT_EQ(ladder.m_lineColor, COLORREF(0x000080FF));
    EXPECT_EQ(ladder.GetLaneIndex(), -1);
    ladder.m_position = CRect(1, 2, 30, 400);
    ladder.m_Name = QStringLiteral("Precision Plus");
    ladder.m_Material = QStringLiteral("Protein");
    ladder.m_Units = QStringLiteral("kDa");
    ladder.m_Reserved = 9;
    ladder.SetLaneIndex(2);
    for (double w : {250.0, 75.5}) {
        MWMarker marker(CRect(1, 10, 30, 14), CRect(), CRect(5, 6, 100, 200), w);
        EXPECT_EQ(marker.m_fillColor, COLORREF(0x000080FF));
        ladder.AddMarker(marker);
    }
    EXPECT_EQ(ladder.GetMarker(1).GetLabel(), QStringLiteral("75.5"));

    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        CArchive ar(&buffer, CArchive::store);
        ladder.Serialize(ar, 0);
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    MWLadder read;
    read.Serialize(ar);
    EXPECT_EQ(buffer.bytesAvailable(), 0);
    EXPECT_TRUE(read == ladder);
    EXPECT_EQ(read.GetMarker(0).GetMolecularWeight(), 250.0);
    EXPECT_EQ(read.GetMarker(1).GetAnalysisArea(), CRect(5, 6, 100, 200));

    for (int n = 0; n < bytes.size(); n += 7) {
        QByteArray part = bytes.left(n);
        QBuffer b(&part);
        b.open(QIODevice::ReadOnly);
        CArchive a(&b, CArchive::load);
        MWLadder l;
        EXPECT_THROW(l.Serialize(a, 0), CArchiveException) << n;
    }
}

TEST(MWLadderTest, ManagerStoresNothingAndReadsOldLaddersIntoLanes)
{
    MWManager manager;
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        CArchive ar(&buffer, CArchive::store);
        manager.Serialize(ar);
    }
    EXPECT_TRUE(bytes.isEmpty());

    MWLadder ladder;
    ladder.SetLaneIndex(0);
    for (double w : {90.0, 60.0, 30.0})
        ladder.AddMarker(MWMarker(CRect(), CRect(), CRect(), w));
    manager.AddLadder(ladder);
    CArray<Lane> lanes;
    lanes.Add(laneWithBands(2));
    manager.ConvertLaddersToKnownWeights(lanes);
    EXPECT_EQ(data(lanes, 0, 0).m_knownMW, 90.0);
    EXPECT_EQ(data(lanes, 0, 1).m_knownMW, 60.0);
    EXPECT_TRUE(data(lanes, 0, 1).m_hasKnownMW);

    manager.GetLadder(0).SetLaneIndex(1);
    EXPECT_THROW(manager.ConvertLaddersToKnownWeights(lanes), CInvalidArgException);
}

TEST(MWLadderTest, ManagerOfSchemaZeroWithoutAnAnalysisRefusesItsLadders)
{
    // The tagged manager of schema 0 with one ladder: there are no lanes to
    // take the weights, so its lane index is out of range.
    QByteArray bytes;
    appendRaw<uint16_t>(bytes, 0xFFFF);
    appendRaw<uint16_t>(bytes, 0);
    appendRaw<uint16_t>(bytes, 9);
    bytes.append("MWManager");
    appendRaw<int32_t>(bytes, 1);
    {
        MWLadder ladder;
        ladder.SetLaneIndex(0);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly | QIODevice::Append);
        CArchive ar(&buffer, CArchive::store);
        ladder.Serialize(ar, 0);
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    EXPECT_THROW(delete ar.ReadObjectAs<MWManager>(), CInvalidArgException);
}

// The ladder library file ---------------------------------------------------------------------

class MWLadderLibraryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("MWLadders.dat"));
    }

    QTemporaryDir m_dir;
    QString m_path;
};

TEST_F(MWLadderLibraryTest, FileBytesOfOneSmallLadder)
{
    MWLadderLibrary library(m_path);
    library.Add(ladder(QStringLiteral("A"), {100.0, 50.0}, QString(), QStringLiteral("kDa")));
    library.Save();

    QByteArray expected;
    appendRaw<int32_t>(expected, 0); // version
    appendRaw<int32_t>(expected, 1); // count
    appendRaw<int32_t>(expected, 2); // values
    appendRaw<double>(expected, 100.0);
    appendRaw<double>(expected, 50.0);
    appendString(expected, QStringLiteral("A"));
    appendString(expected, QString());
    appendString(expected, QStringLiteral("kDa"));
    EXPECT_EQ(readFile(m_path).toHex(), expected.toHex());
    EXPECT_EQ(expected.size(), 8 + 4 + 16 + 6 + 4 + 10);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"MWLadders.dat"});
}

TEST_F(MWLadderLibraryTest, RoundTripKeepsOrderAndTexts)
{
    MWLadderLibrary library(m_path);
    library.Add(ladder(QStringLiteral("Precision Plus"), {250, 150, 100, 75, 50, 37, 25},
                       QStringLiteral("Protein"), QStringLiteral("kDa")));
    library.Add(ladder(QStringLiteral("1 kb DNA \u00e9"), {10000, 8000, 6000},
                       QStringLiteral("DNA"), QStringLiteral("bp")));
    library.Add(ladder(QString(300, QLatin1Char('n')), {}));
    library.Save();

    MWLadderLibrary read(m_path);
    read.Load();
    ASSERT_EQ(read.GetCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(read.GetAt(i) == library.GetAt(i)) << i;

    // Saving again replaces the file.
    read.Remove(QStringLiteral("Precision Plus"));
    read.Save();
    MWLadderLibrary again(m_path);
    again.Load();
    ASSERT_EQ(again.GetCount(), 2);
    EXPECT_EQ(again.GetAt(0).m_units, QStringLiteral("bp"));
}

TEST_F(MWLadderLibraryTest, EmptyFileLeavesTheListAsItIs)
{
    writeFile(m_path, QByteArray());
    MWLadderLibrary library(m_path);
    library.Add(ladder(QStringLiteral("kept"), {3, 2, 1}));
    library.Load();
    ASSERT_EQ(library.GetCount(), 1);
    EXPECT_EQ(library.GetAt(0).m_name, QStringLiteral("kept"));
}

TEST_F(MWLadderLibraryTest, FirstWordNotZeroGivesAnEmptyLibrary)
{
    QByteArray bytes;
    appendRaw<int32_t>(bytes, 1);
    appendRaw<int32_t>(bytes, 1);
    writeFile(m_path, bytes);
    MWLadderLibrary library(m_path);
    library.Add(ladder(QStringLiteral("dropped"), {3, 2, 1}));
    library.Load();
    EXPECT_EQ(library.GetCount(), 0);
}

TEST_F(MWLadderLibraryTest, TruncatedFileRaisesTheArchiveError)
{
    MWLadderLibrary library(m_path);
    library.Add(ladder(QStringLiteral("A"), {100.0, 50.0}, QStringLiteral("m"), QStringLiteral("u")));
    library.Add(ladder(QStringLiteral("B"), {9.0, 8.0, 7.0}));
    library.Save();
    const QByteArray whole = readFile(m_path);
    for (int n = 1; n < whole.size(); ++n) {
        writeFile(m_path, whole.left(n));
        MWLadderLibrary read(m_path);
        read.Add(ladder(QStringLiteral("before"), {1}));
        EXPECT_THROW(read.Load(), CArchiveException) << n;
        // A failed load keeps what was there.
        ASSERT_EQ(read.GetCount(), 1);
        EXPECT_EQ(read.GetAt(0).m_name, QStringLiteral("before"));
    }
}

TEST_F(MWLadderLibraryTest, DamagedCountsAreRefusedWithoutAllocating)
{
    QByteArray bytes;
    appendRaw<int32_t>(bytes, 0);
    appendRaw<int32_t>(bytes, 0x7FFFFFFF);
    writeFile(m_path, bytes);
    MWLadderLibrary library(m_path);
    EXPECT_THROW(library.Load(), CArchiveException);

    bytes.clear();
    appendRaw<int32_t>(bytes, 0);
    appendRaw<int32_t>(bytes, 1);
    appendRaw<int32_t>(bytes, 0x10000000);
    writeFile(m_path, bytes);
    EXPECT_THROW(library.Load(), CArchiveException);

    // A record with a negative value count reads no values.
    bytes.clear();
    appendRaw<int32_t>(bytes, 0);
    appendRaw<int32_t>(bytes, 1);
    appendRaw<int32_t>(bytes, -4);
    appendString(bytes, QStringLiteral("N"));
    appendString(bytes, QString());
    appendString(bytes, QString());
    writeFile(m_path, bytes);
    library.Load();
    ASSERT_EQ(library.GetCount(), 1);
    EXPECT_EQ(library.GetAt(0).m_name, QStringLiteral("N"));
    EXPECT_TRUE(library.GetAt(0).m_values.IsEmpty());
}

TEST_F(MWLadderLibraryTest, RemoveTakesOnlyTheFirstLadderOfThatName)
{
    MWLadderLibrary library(m_path);
    library.Add(ladder(QStringLiteral("Same"), {3, 2, 1}));
    library.Add(ladder(QStringLiteral("Other"), {6, 5, 4}));
    library.Add(ladder(QStringLiteral("Same"), {9, 8, 7}));
    EXPECT_FALSE(library.Remove(QStringLiteral("same")));
    EXPECT_TRUE(library.Remove(ladder(QStringLiteral("Same"), {})));
    ASSERT_EQ(library.GetCount(), 2);
    EXPECT_EQ(library.GetAt(0).m_name, QStringLiteral("Other"));
    EXPECT_EQ(library.GetAt(1).m_values.vector(), (std::vector<double>{9, 8, 7}));
}

TEST_F(MWLadderLibraryTest, FailedSaveRaisesAndMissingFileCannotBeLoaded)
{
    MWLadderLibrary nowhere(m_dir.filePath(QStringLiteral("missing/dir/MWLadders.dat")));
    nowhere.Add(ladder(QStringLiteral("A"), {1}));
    EXPECT_THROW(nowhere.Save(), CFileException);
    EXPECT_THROW(nowhere.Load(), CFileException);
    EXPECT_EQ(nowhere.GetCount(), 1);
}

TEST_F(MWLadderLibraryTest, PathComesFromTheProfileInTheUsersDataFolder)
{
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    const bool hadData = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", m_dir.path().toLocal8Bit());
    auto previous = ProfileStore::install(std::make_unique<MemoryProfileStore>());

    // An empty stored name is replaced by the default.
    ProfileStore::instance().WriteProfileString("Analysis1D", "MolecularWeightFile", QString());
    const QString path = MWLadderLibrary::ResolveLibraryPath();
    EXPECT_EQ(path, m_dir.path() + "/Densora/MWLadders.dat");
    EXPECT_EQ(ProfileStore::instance().GetProfileString("Analysis1D", "MolecularWeightFile"),
              QStringLiteral("MWLadders.dat"));
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);

    // An existing library is left as it is; another name gives another file.
    MWLadderLibrary library;
    library.Add(ladder(QStringLiteral("A"), {3, 2, 1}));
    library.Save();
    MWLadderLibrary reopened;
    reopened.Load();
    EXPECT_EQ(reopened.GetCount(), 1);
    ProfileStore::instance().WriteProfileString("Analysis1D", "MolecularWeightFile", "Mine.dat");
    EXPECT_EQ(MWLadderLibrary::ResolveLibraryPath(), m_dir.path() + "/Densora/Mine.dat");

    ProfileStore::install(std::move(previous));
    if (hadData)
        qputenv("XDG_DATA_HOME", oldData);
    else
        qunsetenv("XDG_DATA_HOME");
}
