// densora-cli end to end on synthetic gels: the program is run as the user
// runs it (its exit status, standard output and error, the files it writes),
// with a settings folder of its own so the user's settings play no part.

#include "cli/CliOptions.h"
#include "cli/tests/CliProgramRun.h"
#include "testsupport/XlsxReader.h"
#include "tools/gelsynth/GelSynth.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// Four lanes of 40 columns, dark bands on a light 16-bit background; lane 1
// is a ladder of four markers. Bands are well apart so every one is found.
const char *kGel = R"(
size 300 260
bits 16
bands dark
background 50000
noise 60
seed 11
lanes 4 40 64 30
lane 1 ladder
band 50 8 7500000 100
band 100 8 7500000 50
band 150 8 7500000 25
band 200 8 7500000 10
lane 2
band 70 8 9000000
band 160 8 6000000
lane 3
band 70 8 5000000
band 120 8 7500000
band 190 8 5000000
lane 4
band 110 8 8000000
)";

class CliEndToEnd : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        ASSERT_TRUE(s_dir->isValid());
        s_gel = new GelSynth(GelDescription::parse(QString::fromLatin1(kGel)));
        s_gel->render();
        QString error;
        ASSERT_TRUE(s_gel->writeImage(path("gel.tif"), &error)) << error.toStdString();
    }
    static void TearDownTestSuite()
    {
        delete s_gel;
        delete s_dir;
        s_gel = nullptr;
        s_dir = nullptr;
    }

    static QString path(const QString &name) { return s_dir->filePath(name); }

    // The program with its own empty settings folder.
    static RunResult run(const QStringList &arguments)
    {
        return runCliProgram(arguments, path(QStringLiteral("config")));
    }

    // An example band around lane 2's first band: one lane wide, two band
    // heights high.
    static QStringList analyzeArguments()
    {
        return {QStringLiteral("analyze"),        path(QStringLiteral("gel.tif")),
                QStringLiteral("--area"),         QStringLiteral("20,20,270,220"),
                QStringLiteral("--example-band"), QStringLiteral("94,82,40,16"),
                QStringLiteral("--dark")};
    }

    static QJsonObject parseJson(const QByteArray &bytes)
    {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        return doc.object();
    }

    static QByteArray readFile(const QString &name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QTemporaryDir *s_dir;
    static GelSynth *s_gel;
};

QTemporaryDir *CliEndToEnd::s_dir = nullptr;
GelSynth *CliEndToEnd::s_gel = nullptr;

// Every lane of the truth is found with its bands, each band's centre of
// gravity within a few rows of where it was put; the JSON carries plain numbers.
TEST_F(CliEndToEnd, AnalyzeFindsTheLanesAndBandsOfTheGel)
{
    QStringList args = analyzeArguments();
    args << QStringLiteral("--json");
    const RunResult r = run(args);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject root = parseJson(r.out);

    const QJsonObject image = root[QStringLiteral("image")].toObject();
    EXPECT_EQ(image[QStringLiteral("width")].toInt(), 300);
    EXPECT_EQ(image[QStringLiteral("height")].toInt(), 260);
    EXPECT_EQ(image[QStringLiteral("bitDepth")].toInt(), 16);
    const QJsonObject area = root[QStringLiteral("analysisArea")].toObject();
    EXPECT_EQ(area[QStringLiteral("x")].toInt(), 20);
    EXPECT_EQ(area[QStringLiteral("y")].toInt(), 20);
    EXPECT_EQ(area[QStringLiteral("height")].toInt(), 220);
    // The default slider position 50.
    EXPECT_NEAR(root[QStringLiteral("threshold")].toDouble(), 0.18, 1e-12);

    const GelTruth &truth = s_gel->truth();
    const QJsonArray lanes = root[QStringLiteral("lanes")].toArray();
    ASSERT_EQ(lanes.size(), qsizetype(truth.lanes.size()));
    for (const GelTruthLane &t : truth.lanes) {
        const QJsonObject lane = lanes[t.lane - 1].toObject();
        EXPECT_EQ(lane[QStringLiteral("number")].toInt(), t.lane);
        // Analysis columns start at the area's left (20).
        const double centre
            = (lane[QStringLiteral("left")].toDouble() + lane[QStringLiteral("right")].toDouble())
                / 2.0
            + 20;
        EXPECT_NEAR(centre, (t.left + t.right) / 2.0, 6.0) << "lane " << t.lane;

        std::vector<const GelTruthBand *> expected;
        for (const GelTruthBand &b : truth.bands) {
            if (b.lane == t.lane)
                expected.push_back(&b);
        }
        const QJsonArray bands = lane[QStringLiteral("bands")].toArray();
        ASSERT_EQ(bands.size(), qsizetype(expected.size())) << "lane " << t.lane;
        for (size_t i = 0; i < expected.size(); ++i) {
            const QJsonObject band = bands[qsizetype(i)].toObject();
            EXPECT_EQ(band[QStringLiteral("number")].toInt(), int(i) + 1);
            // Analysis rows start at the area's top (20).
            EXPECT_NEAR(band[QStringLiteral("position")].toDouble() + 20, expected[i]->centre, 3.0);
            EXPECT_TRUE(band[QStringLiteral("intensity")].isDouble());
            EXPECT_GT(band[QStringLiteral("intensity")].toDouble(), 0.0);
            EXPECT_TRUE(band[QStringLiteral("knownMW")].isNull());
        }
    }
}

// The report goes to standard output as TSV, to a .csv file as CSV; the
// profiles file has the title line and one line per lane with a value per row.
TEST_F(CliEndToEnd, ReportAndProfilesFiles)
{
    const RunResult tsv = run(analyzeArguments());
    ASSERT_EQ(tsv.status, 0) << tsv.err.toStdString();
    const QList<QByteArray> lines = tsv.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1 + qsizetype(s_gel->truth().bands.size()));
    EXPECT_TRUE(lines[0].startsWith("Lane\tBand\tPosition\t")) << lines[0].toStdString();
    EXPECT_EQ(lines[0].count('\t'), 15); // every column, whatever the options
    EXPECT_TRUE(lines[1].startsWith("1\t1\t"));

    QStringList args = analyzeArguments();
    args << QStringLiteral("--report") << path(QStringLiteral("report.csv"))
         << QStringLiteral("--profiles") << path(QStringLiteral("profiles.txt"));
    const RunResult files = run(args);
    ASSERT_EQ(files.status, 0) << files.err.toStdString();
    EXPECT_TRUE(files.out.isEmpty()); // the report went to the file
    const QByteArray csv = readFile(path(QStringLiteral("report.csv")));
    EXPECT_TRUE(csv.startsWith("Lane,Band,Position,")) << csv.left(80).toStdString();
    EXPECT_EQ(csv.count('\n'), lines.size());

    const QList<QByteArray> profiles = readFile(path(QStringLiteral("profiles.txt"))).split('\n');
    ASSERT_EQ(profiles.size(), 4 + 2); // title, four lanes, the empty rest after the last "\n"
    EXPECT_TRUE(profiles[0].startsWith("All Lanes\t0\t1\t2\t"));
    EXPECT_TRUE(profiles[0].endsWith("\t219\t"));
    EXPECT_TRUE(profiles[1].startsWith("Lane 1\t"));
    EXPECT_EQ(profiles[1].count('\t'), 1 + 220);
    EXPECT_TRUE(profiles[5].isEmpty());
}

// Workbooks hold the same table as the text outputs: a heading row, a row per
// band, numbers as numbers; the profiles a column per lane.
TEST_F(CliEndToEnd, ReportAndProfilesWorkbooks)
{
    const RunResult tsv = run(analyzeArguments());
    ASSERT_EQ(tsv.status, 0) << tsv.err.toStdString();
    const QList<QByteArray> lines = tsv.out.trimmed().split('\n');

    QStringList args = analyzeArguments();
    args << QStringLiteral("--report") << path(QStringLiteral("report.xlsx"))
         << QStringLiteral("--profiles") << path(QStringLiteral("profiles.xlsx"));
    const RunResult files = run(args);
    ASSERT_EQ(files.status, 0) << files.err.toStdString();
    EXPECT_TRUE(files.out.isEmpty());

    const XlsxSheet report = readXlsx(path(QStringLiteral("report.xlsx")));
    ASSERT_TRUE(report.ok);
    const QList<QByteArray> headings = lines[0].split('\t');
    ASSERT_EQ(headings.size(), 16);
    for (int c = 0; c < headings.size(); ++c) {
        const QString column = QString(QChar(u'A' + c));
        EXPECT_EQ(report.at(column + "1").text, QString::fromUtf8(headings[c]));
        for (int r = 1; r < lines.size(); ++r) {
            const QString text = QString::fromUtf8(lines[r].split('\t')[c]).trimmed();
            const XlsxCell cell = report.at(column + QString::number(r + 1));
            if (text.isEmpty()) {
                EXPECT_FALSE(report.has(column + QString::number(r + 1)));
                continue;
            }
            ASSERT_TRUE(cell.isNumber) << text.toStdString();
            // Negative numbers are shown in parentheses.
            QString plain = text;
            const bool negative = plain.startsWith(u'(');
            plain.remove(u',').remove(u'(').remove(u')');
            EXPECT_DOUBLE_EQ(cell.number(), negative ? -plain.toDouble() : plain.toDouble())
                << text.toStdString();
        }
    }
    EXPECT_FALSE(report.has("A" + QString::number(lines.size() + 1)));

    const XlsxSheet profiles = readXlsx(path(QStringLiteral("profiles.xlsx")));
    ASSERT_TRUE(profiles.ok);
    EXPECT_EQ(profiles.at("A1").text, "All Lanes");
    EXPECT_EQ(profiles.at("A221").number(), 219.0);
    EXPECT_EQ(profiles.at("E1").text, "Lane 4");
    EXPECT_FALSE(profiles.has("F1"));
    EXPECT_TRUE(profiles.at("B2").isNumber);
    EXPECT_EQ(profiles.cells.size(), 221 + 4 * 221);
}

// Bad arguments answer 2 with a usage line naming the problem; unreadable
// input and unwritable output answer 1 naming the file; nothing half-written
// is left behind.
TEST_F(CliEndToEnd, ExitStatusAndMessages)
{
    RunResult r = run({});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("Usage: densora-cli"));

    r = run({QStringLiteral("analyze"), path(QStringLiteral("gel.tif")), QStringLiteral("--dark")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("example band")) << r.err.toStdString();

    QStringList args = analyzeArguments();
    args << QStringLiteral("--slider") << QStringLiteral("101");
    r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("--slider")) << r.err.toStdString();

    args = analyzeArguments();
    args[3] = QStringLiteral("0,0,301,260");
    r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("--area 0,0,301,260")) << r.err.toStdString();

    args = analyzeArguments();
    args << QStringLiteral("--ladder-lane") << QStringLiteral("9") << QStringLiteral("--ladder")
         << QStringLiteral("100,50");
    r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("--ladder-lane 9")) << r.err.toStdString();

    const QString missing = path(QStringLiteral("no-such-gel.tif"));
    args = analyzeArguments();
    args[1] = missing;
    r = run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(missing.toUtf8())) << r.err.toStdString();

    const QString notAPicture = path(QStringLiteral("notes.tif"));
    {
        QFile file(notAPicture);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("this is not a picture\n");
    }
    args[1] = notAPicture;
    r = run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(notAPicture.toUtf8())) << r.err.toStdString();

    // A report into a folder that does not exist: nothing is created.
    const QString unwritable = path(QStringLiteral("missing-folder/report.tsv"));
    args = analyzeArguments();
    args << QStringLiteral("--report") << unwritable;
    r = run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(unwritable.toUtf8())) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(unwritable));
    EXPECT_TRUE(QDir(path(QString())).entryList({QStringLiteral("*.tsv*")}).isEmpty());

    r = run({QStringLiteral("report"), path(QStringLiteral("gel.tif"))});
    EXPECT_EQ(r.status, 1);
}

// The slider position comes from the user's settings when not given, and
// the run leaves those settings as they were.
TEST_F(CliEndToEnd, SliderFromTheUserSettingsWhichStayUnchanged)
{
    const QString folder = path(QStringLiteral("config/TavoroSystems"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/Densora.conf");
    const QByteArray settings = "[Analysis1D]\npeakHeightThreshold=100\n";
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(settings);
    }
    QStringList args = analyzeArguments();
    args << QStringLiteral("--json");
    const RunResult r = run(args);
    const QByteArray after = readFile(file);
    QFile::remove(file);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_NEAR(parseJson(r.out)[QStringLiteral("threshold")].toDouble(), 0.01, 1e-12);
    // The document writes its options back when it goes away; a batch run
    // must not.
    EXPECT_EQ(after, settings);
}

// A ladder gives its lane's bands known weights, and the calibration gives
// every band a molecular weight near the truth for the ladder's own bands.
TEST_F(CliEndToEnd, LadderCalibratesMolecularWeights)
{
    QStringList args = analyzeArguments();
    args << QStringLiteral("--ladder-lane") << QStringLiteral("1") << QStringLiteral("--ladder")
         << QStringLiteral("100,50,25,10") << QStringLiteral("--mw-curve")
         << QStringLiteral("cubic") << QStringLiteral("--wells") << QStringLiteral("30")
         << QStringLiteral("--dye-front") << QStringLiteral("230") << QStringLiteral("--json");
    const RunResult r = run(args);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject root = parseJson(r.out);
    // The lines are centred on the given picture rows; the analysis counts
    // rows from the area's top (20).
    EXPECT_EQ(root[QStringLiteral("wellsRow")].toInt(), 10);
    EXPECT_EQ(root[QStringLiteral("dyeFrontRow")].toInt(), 210);
    const QJsonArray lanes = root[QStringLiteral("lanes")].toArray();
    ASSERT_FALSE(lanes.isEmpty());
    const QJsonArray ladder = lanes[0].toObject()[QStringLiteral("bands")].toArray();
    ASSERT_EQ(ladder.size(), 4);
    const double weights[] = {100, 50, 25, 10};
    for (int i = 0; i < 4; ++i) {
        const QJsonObject band = ladder[i].toObject();
        EXPECT_DOUBLE_EQ(band[QStringLiteral("knownMW")].toDouble(), weights[i]);
        // Four points on a cubic: the curve passes through them.
        EXPECT_NEAR(band[QStringLiteral("calibratedMW")].toDouble(), weights[i], 0.5);
    }
}

// A band clipped at black (lane 4's, far deeper than the background) is the
// one band with saturated pixels, in the JSON and in the TSV's "Saturated"
// column after the sixteen others; reopening the saved analysis counts them
// again. The ladder's calibration reports each marker's leave-one-out error
// and the bands read outside the markers' rows.
TEST_F(CliEndToEnd, SaturationAndCalibrationQuality)
{
    GelDescription d = GelDescription::parse(QString::fromLatin1(kGel));
    d.lanes[3].bands[0].amount = 30000000.0;
    // Lane 3 gets a band below the ladder's last marker (row 200).
    d.lanes[2].bands.push_back({225.0, 8.0, 6000000.0, 0.0});
    GelSynth gel(d);
    gel.render();
    QString error;
    const QString tif = path(QStringLiteral("clipped.tif"));
    ASSERT_TRUE(gel.writeImage(tif, &error)) << error.toStdString();
    const QString dsr = path(QStringLiteral("clipped.dsr"));
    QStringList args = analyzeArguments();
    args[1] = tif;
    args << QStringLiteral("--ladder-lane") << QStringLiteral("1") << QStringLiteral("--ladder")
         << QStringLiteral("100,50,25,10") << QStringLiteral("--mw-curve")
         << QStringLiteral("quadratic") << QStringLiteral("--save") << dsr;
    const RunResult tsv = run(args);
    ASSERT_EQ(tsv.status, 0) << tsv.err.toStdString();
    const QList<QByteArray> lines = tsv.out.trimmed().split('\n');
    const QList<QByteArray> headings = lines[0].split('\t');
    ASSERT_EQ(headings.size(), 17);
    EXPECT_EQ(headings[16], QByteArray("Saturated"));
    // The batch table keeps plain numbers: no extrapolation marks, no footnote.
    EXPECT_FALSE(tsv.out.contains('*'));

    args << QStringLiteral("--json");
    const QJsonObject analysed = parseJson(run(args).out);
    const QJsonObject reopened
        = parseJson(run({QStringLiteral("report"), dsr, QStringLiteral("--json")}).out);
    EXPECT_EQ(analysed[QStringLiteral("saturated_bands")].toInt(), 1);
    EXPECT_EQ(reopened[QStringLiteral("saturated_bands")].toInt(), 1);
    const QJsonArray lanes = analysed[QStringLiteral("lanes")].toArray();
    const QJsonArray lanesAgain = reopened[QStringLiteral("lanes")].toArray();
    ASSERT_EQ(lanes.size(), 4);
    ASSERT_EQ(lanesAgain.size(), 4);
    int saturatedRow = -1;
    for (int l = 0; l < 4; ++l) {
        const QJsonArray bands = lanes[l].toObject()[QStringLiteral("bands")].toArray();
        const QJsonArray bandsAgain = lanesAgain[l].toObject()[QStringLiteral("bands")].toArray();
        ASSERT_EQ(bands.size(), bandsAgain.size());
        for (int b = 0; b < bands.size(); ++b) {
            const int pixels = bands[b].toObject()[QStringLiteral("saturated_pixels")].toInt(-1);
            EXPECT_EQ(bandsAgain[b].toObject()[QStringLiteral("saturated_pixels")].toInt(-1),
                      pixels);
            if (l == 3 && b == 0) {
                EXPECT_GT(pixels, 20);
                saturatedRow = 1;
                for (int ll = 0; ll < 3; ++ll)
                    saturatedRow
                        += int(lanes[ll].toObject()[QStringLiteral("bands")].toArray().size());
                EXPECT_EQ(lines[saturatedRow].split('\t')[16].trimmed().toInt(), pixels);
            } else {
                EXPECT_EQ(pixels, 0) << "lane " << l + 1 << " band " << b + 1;
            }
        }
    }
    ASSERT_GT(saturatedRow, 0);
    EXPECT_EQ(lines[1].split('\t').size(), 17);
    EXPECT_TRUE(lines[1].split('\t')[16].trimmed().isEmpty());

    const QJsonObject mw
        = analysed[QStringLiteral("calibration")].toObject()[QStringLiteral("mw")].toObject();
    EXPECT_EQ(mw[QStringLiteral("curve")].toString(), QStringLiteral("Second Order Polynomial"));
    EXPECT_TRUE(mw[QStringLiteral("fitted")].toBool());
    const QJsonArray errors = mw[QStringLiteral("loo_error_percent")].toArray();
    const QJsonArray known = mw[QStringLiteral("known_bands")].toArray();
    ASSERT_EQ(errors.size(), 4);
    ASSERT_EQ(known.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const QJsonObject k = known[i].toObject();
        EXPECT_EQ(k[QStringLiteral("lane")].toInt(), 1);
        EXPECT_EQ(k[QStringLiteral("band")].toInt(), i + 1);
        // Three markers fix a parabola: the fourth read from it.
        ASSERT_TRUE(errors[i].isDouble());
        const double loo = k[QStringLiteral("loo")].toDouble();
        const double weight = k[QStringLiteral("known")].toDouble();
        EXPECT_NEAR(errors[i].toDouble(), (loo - weight) / weight * 100.0, 1e-9);
    }
    const QJsonObject range = mw[QStringLiteral("known_range")].toObject();
    // Bands above the first marker's row or below the last one's.
    int expected = 0;
    for (const QJsonValue &lane : lanes) {
        for (const QJsonValue &band : lane.toObject()[QStringLiteral("bands")].toArray()) {
            const int row = band.toObject()[QStringLiteral("position")].toInt();
            expected += row < range[QStringLiteral("min")].toDouble()
                    || row > range[QStringLiteral("max")].toDouble()
                ? 1
                : 0;
        }
    }
    EXPECT_GT(expected, 0);
    EXPECT_EQ(mw[QStringLiteral("extrapolated")].toArray().size(), expected);
    // No known amounts: no amount curve.
    const QJsonObject amount
        = analysed[QStringLiteral("calibration")].toObject()[QStringLiteral("amount")].toObject();
    EXPECT_FALSE(amount[QStringLiteral("fitted")].toBool());
    EXPECT_TRUE(amount[QStringLiteral("known_bands")].toArray().isEmpty());
}

// Without a drawn example band, one of the given size centred in the area
// serves: the same lanes are found.
TEST_F(CliEndToEnd, ExampleBandFromSizes)
{
    const RunResult r
        = run({QStringLiteral("analyze"), path(QStringLiteral("gel.tif")), QStringLiteral("--area"),
               QStringLiteral("20,20,270,220"), QStringLiteral("--lane-width"),
               QStringLiteral("40"), QStringLiteral("--band-height"), QStringLiteral("16"),
               QStringLiteral("--dark"), QStringLiteral("--json")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonArray lanes = parseJson(r.out)[QStringLiteral("lanes")].toArray();
    EXPECT_EQ(lanes.size(), qsizetype(s_gel->truth().lanes.size()));

    // A size larger than the area is refused.
    const RunResult tooLarge
        = run({QStringLiteral("analyze"), path(QStringLiteral("gel.tif")), QStringLiteral("--area"),
               QStringLiteral("20,20,270,220"), QStringLiteral("--lane-width"),
               QStringLiteral("271"), QStringLiteral("--band-height"), QStringLiteral("16")});
    EXPECT_EQ(tooLarge.status, 2);
}

// A saved analysis reopens with "report" giving the same table.
TEST_F(CliEndToEnd, SavedAnalysisReopensWithTheSameReport)
{
    const QString dsr = path(QStringLiteral("gel.dsr"));
    QStringList args = analyzeArguments();
    args << QStringLiteral("--save") << dsr;
    const RunResult analysed = run(args);
    ASSERT_EQ(analysed.status, 0) << analysed.err.toStdString();
    ASSERT_TRUE(QFile::exists(dsr));

    const RunResult reopened = run({QStringLiteral("report"), dsr});
    ASSERT_EQ(reopened.status, 0) << reopened.err.toStdString();
    EXPECT_EQ(reopened.out, analysed.out);

    // A document cut short is refused, naming the file.
    const QByteArray whole = readFile(dsr);
    const QString cut = path(QStringLiteral("cut.dsr"));
    {
        QFile file(cut);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(whole.left(whole.size() / 2));
    }
    const RunResult damaged = run({QStringLiteral("report"), cut});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_TRUE(damaged.out.isEmpty());
    EXPECT_TRUE(damaged.err.contains(cut.toUtf8())) << damaged.err.toStdString();
}

// The PDF report of the sample gel (analysed as `make run` does): one page
// per part, the footer numbering them all; its table holds every band's row
// with the numbers the report shows (the "MW" cells carry "*" where read
// outside the ladder), the warnings and the methods paragraph.
TEST_F(CliEndToEnd, PdfReportOfTheSampleGel)
{
    const QString source = qEnvironmentVariable("DENSORA_SOURCE_DIR");
    ASSERT_FALSE(source.isEmpty());
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: scripts/install-deps.sh";
    GelSynth sample(GelDescription::fromFile(source + QStringLiteral("/samples/sample-gel.txt")));
    sample.render();
    const QString tif = path(QStringLiteral("sample-gel.tif"));
    QString error;
    ASSERT_TRUE(sample.writeImage(tif, &error)) << error.toStdString();
    const QString pdf = path(QStringLiteral("sample-gel.pdf"));
    const QStringList analysis = {QStringLiteral("analyze"),
                                  tif,
                                  QStringLiteral("--dark"),
                                  QStringLiteral("--area"),
                                  QStringLiteral("30,20,740,575"),
                                  QStringLiteral("--example-band"),
                                  QStringLiteral("140,171,70,18"),
                                  QStringLiteral("--wells"),
                                  QStringLiteral("40"),
                                  QStringLiteral("--dye-front"),
                                  QStringLiteral("585"),
                                  QStringLiteral("--slider"),
                                  QStringLiteral("100"),
                                  QStringLiteral("--ladder-lane"),
                                  QStringLiteral("1"),
                                  QStringLiteral("--ladder"),
                                  QStringLiteral("250,150,100,75,50,37,25,20,15,10"),
                                  QStringLiteral("--mw-curve"),
                                  QStringLiteral("cubic")};
    const RunResult tsv = run(analysis);
    ASSERT_EQ(tsv.status, 0) << tsv.err.toStdString();
    const RunResult written = run(QStringList(analysis) << QStringLiteral("--pdf") << pdf);
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    // The report goes to standard output as without --pdf.
    EXPECT_EQ(written.out, tsv.out);
    const QByteArray bytes = readFile(pdf);
    ASSERT_TRUE(bytes.startsWith("%PDF-")) << bytes.left(20).toStdString();

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(30000));
    const QRegularExpressionMatch pagesLine
        = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
              .match(QString::fromUtf8(info.readAllStandardOutput()));
    ASSERT_TRUE(pagesLine.hasMatch());
    const int pages = pagesLine.captured(1).toInt();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString content = QString::fromUtf8(text.readAllStandardOutput());
    // The title page, the table (32 bands), two pages of lane graphs (seven
    // lanes found), and the calibrations with the warnings and methods.
    EXPECT_EQ(pages, 5);
    for (int page = 1; page <= pages; ++page)
        EXPECT_TRUE(content.contains(QStringLiteral("page %1").arg(page))) << page;
    for (const char *part : {"Gel analysis report", "Band report", "Lane profiles",
                             "MW Calibration", "Intensity Calibration", "Warnings", "Methods",
                             "Bands were detected and quantified with Densora"})
        EXPECT_TRUE(content.contains(QLatin1String(part))) << part;
    EXPECT_TRUE(content.contains(QStringLiteral("Picture: %1 x %2 pixels, 16-bit")
                                     .arg(sample.width())
                                     .arg(sample.height())));

    // Every row of the report, cell by cell, on one line of the PDF's text.
    const QStringList pdfLines = content.split(u'\n');
    auto tokens = [](const QString &line) {
        QStringList words
            = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        for (QString &w : words) {
            if (w.endsWith(u'*'))
                w.chop(1);
        }
        return words;
    };
    const QList<QByteArray> rows = tsv.out.trimmed().split('\n');
    const QList<QByteArray> headings = rows[0].split('\t');
    // The columns the report shows by default, and "MW" with a calibration.
    const QStringList shown
        = {"Lane",      "Band",    "Position",        "Peak Amplitude", "Baseline",
           "Peak Area", "MW",      "Total Intensity", "SurfaceArea",    "Intensity/SurfaceArea",
           "Conc.",     "% Conc.", "Rel. Mig. Dist."};
    ASSERT_GT(rows.size(), 20);
    int marked = 0;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QList<QByteArray> cells = rows[r].split('\t');
        QStringList expected;
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const QString cell = QString::fromUtf8(cells[c]).trimmed();
            if (shown.contains(QString::fromUtf8(headings[c])) && !cell.isEmpty())
                expected << cell;
        }
        bool found = false;
        for (const QString &line : pdfLines) {
            if (tokens(line) == expected) {
                found = true;
                marked += line.contains(u'*') ? 1 : 0;
                break;
            }
        }
        EXPECT_TRUE(found) << "row " << r << ": " << expected.join(u' ').toStdString();
    }
    EXPECT_GT(marked, 0);
    EXPECT_TRUE(content.contains(QStringLiteral("* extrapolated")));
    EXPECT_TRUE(content.contains(QStringLiteral("No band has saturated pixels.")));
}

// --help lists every option of the usage lines, each at the start of a line
// with its help text.
TEST(CliArguments, HelpExplainsEveryOption)
{
    const QString help = CliOptions::HelpText();
    EXPECT_TRUE(help.startsWith(CliOptions::UsageText()));
    const QStringList lines = help.split(QLatin1Char('\n'));
    QStringList named;
    for (const QString &word :
         CliOptions::UsageText().split(QRegularExpression("[\\s\\[\\]()|]+"))) {
        if (word.startsWith(QLatin1String("--")) && !named.contains(word))
            named << word;
    }
    EXPECT_GE(named.size(), 16);
    for (const QString &name : named) {
        if (name == QLatin1String("--help") || name == QLatin1String("--version"))
            continue;
        const auto entry = std::find_if(lines.begin(), lines.end(), [&](const QString &line) {
            return line.startsWith(QStringLiteral("  ") + name + QLatin1Char(' '));
        });
        ASSERT_NE(entry, lines.end()) << name.toStdString();
        // The text starts in column 20, on the entry's line or, after a long
        // entry, on the next.
        const bool sameLine = entry->size() > 20 && entry->at(19) == QLatin1Char(' ');
        ASSERT_TRUE(sameLine || entry + 1 != lines.end()) << name.toStdString();
        const QString text = (sameLine ? *entry : *(entry + 1)).mid(20);
        EXPECT_FALSE(text.trimmed().isEmpty()) << name.toStdString();
        EXPECT_FALSE(text.startsWith(QLatin1Char(' '))) << name.toStdString();
    }
}

// The argument checks that need no files.
TEST(CliArguments, ValuesAndCombinations)
{
    CliOptions o;
    QString error;
    ASSERT_TRUE(CliOptions::Parse({"analyze", "g.tif", "--area=1,2,30,40", "--lane-width", "12",
                                   "--band-height", "6", "--wells", "5", "--dye-front", "35",
                                   "--mw-curve", "log", "--json"},
                                  &o, &error))
        << error.toStdString();
    EXPECT_EQ(o.area->left, 1);
    EXPECT_EQ(o.area->right, 31);
    EXPECT_EQ(o.area->bottom, 42);
    EXPECT_EQ(o.laneWidth, 12);
    EXPECT_EQ(*o.wellsRow, 5);
    EXPECT_EQ(*o.mwCurve, 4);
    EXPECT_TRUE(o.json);

    const QList<QStringList> bad = {
        {"analyze", "g.tif", "--example-band", "1,2,0,4"},
        {"analyze", "g.tif", "--example-band", "1,2,3"},
        {"analyze", "g.tif", "--lane-width", "10"},
        {"analyze", "g.tif", "--example-band", "1,2,3,4", "--lane-width", "3", "--band-height",
         "3"},
        {"analyze", "g.tif", "--example-band", "1,2,3,4", "--slider", "5", "--threshold", "0.1"},
        {"analyze", "g.tif", "--example-band", "1,2,3,4", "--threshold", "0"},
        {"analyze", "g.tif", "--example-band", "1,2,3,4", "--ladder", "10,5"},
        {"analyze", "g.tif", "--example-band", "1,2,3,4", "--ladder-lane", "1", "--ladder",
         "10,-5"},
        {"analyze", "g.tif", "--example-band", "1,2,3,4", "--wells", "50", "--dye-front", "20"},
        {"analyze", "g.tif", "--example-band", "1,2,3,4", "--mw-curve", "spline"},
        {"analyze", "g.tif", "--example-band", "1,2,3,4", "--save", "out.tif"},
        {"analyze", "g.tif", "--example-band", "1,2,3,4", "--report"},
        {"analyze", "g.tif", "--example-band", "1,2,3,4", "--json", "--json"},
        {"analyze", "g.tif", "other.tif", "--example-band", "1,2,3,4"},
        {"report", "a.dsr", "--dark"},
        {"report"},
        {"compare", "a.dsr"},
    };
    for (const QStringList &args : bad)
        EXPECT_FALSE(CliOptions::Parse(args, &o, &error)) << args.join(' ').toStdString();
}

} // namespace
