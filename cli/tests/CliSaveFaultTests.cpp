// densora-cli's --save and --report into a place where the file cannot be
// written: the run fails with status 1 and a message naming the file, and
// the previous file is left byte for byte as it was.

#include "cli/tests/CliProgramRun.h"
#include "testsupport/FaultyPlaces.h"
#include "tools/gelsynth/GelDescription.h"
#include "tools/gelsynth/GelSynth.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Two lanes on a noisy 16-bit background: the saved document is far larger
// than the size limit below.
const char *kGel = R"(
size 160 120
bits 16
bands dark
background 40000
noise 900
seed 3
lanes 2 40 70 20
lane 1
band 40 6 6000000
lane 2
band 70 6 6000000
)";

const QByteArray kPreviousReport = "the previous report\n";
const QByteArray kPreviousDocument = "!\x0b\x02 the previous document";

class CliSaveFaults : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        GelSynth gel(GelDescription::parse(QString::fromLatin1(kGel)));
        gel.render();
        QString error;
        ASSERT_TRUE(gel.writeImage(s_dir->filePath(QStringLiteral("gel.tif")), &error))
            << error.toStdString();
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }

    static RunResult analyze(const QStringList &outputs)
    {
        return runCliProgram(QStringList {QStringLiteral("analyze"),
                                          s_dir->filePath(QStringLiteral("gel.tif")),
                                          QStringLiteral("--area"), QStringLiteral("10,10,150,110"),
                                          QStringLiteral("--lane-width"), QStringLiteral("40"),
                                          QStringLiteral("--band-height"), QStringLiteral("8"),
                                          QStringLiteral("--dark")}
                                 + outputs,
                             s_dir->filePath(QStringLiteral("config")));
    }

    static void putPrevious(const QString &folder)
    {
        QFile report(QDir(folder).filePath(QStringLiteral("report.tsv")));
        QFile document(QDir(folder).filePath(QStringLiteral("gel.dsr")));
        ASSERT_TRUE(report.open(QIODevice::WriteOnly) && document.open(QIODevice::WriteOnly));
        report.write(kPreviousReport);
        document.write(kPreviousDocument);
    }

    static QByteArray readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    // Both outputs refused one after the other, each naming its file; the
    // previous files unchanged.
    static void expectBothRefused(const QString &folder)
    {
        const QString report = QDir(folder).filePath(QStringLiteral("report.tsv"));
        const QString document = QDir(folder).filePath(QStringLiteral("gel.dsr"));
        const RunResult reportRun = analyze({QStringLiteral("--report"), report});
        EXPECT_EQ(reportRun.status, 1) << reportRun.err.constData();
        EXPECT_TRUE(reportRun.err.startsWith(("densora-cli: " + report + ": ").toUtf8()))
            << reportRun.err.constData();
        const RunResult saveRun = analyze({QStringLiteral("--save"), document});
        EXPECT_EQ(saveRun.status, 1) << saveRun.err.constData();
        EXPECT_TRUE(saveRun.err.contains(
            ("densora-cli: " + document + ": Failed to save document.").toUtf8()))
            << saveRun.err.constData();
        EXPECT_EQ(readAll(report), kPreviousReport);
        EXPECT_EQ(readAll(document), kPreviousDocument);
    }

    static QStringList filesIn(const QString &folder)
    {
        QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        names.removeAll(QStringLiteral("filler"));
        return names;
    }

    static QTemporaryDir *s_dir;
};

QTemporaryDir *CliSaveFaults::s_dir = nullptr;

const QStringList kPreviousFiles {QStringLiteral("gel.dsr"), QStringLiteral("report.tsv")};

TEST_F(CliSaveFaults, FullFileSystem)
{
    SmallFullFilesystem disk;
    if (!disk.available())
        GTEST_SKIP() << disk.reason().toStdString();
    putPrevious(disk.path());
    disk.fill();
    expectBothRefused(disk.path());
    EXPECT_EQ(filesIn(disk.path()), kPreviousFiles);
}

TEST_F(CliSaveFaults, FileSizeLimitAsAFullDisk)
{
    QTemporaryDir dir;
    putPrevious(dir.path());
    {
        // The program inherits the limit; the report and the document are larger.
        FileSizeLimit full(16);
        expectBothRefused(dir.path());
    }
    EXPECT_EQ(filesIn(dir.path()), kPreviousFiles);
    // With room again both are written.
    const RunResult run = analyze({QStringLiteral("--report"), dir.filePath(QStringLiteral("report.tsv")),
                             QStringLiteral("--save"), dir.filePath(QStringLiteral("gel.dsr"))});
    EXPECT_EQ(run.status, 0) << run.err.constData();
    EXPECT_NE(readAll(dir.filePath(QStringLiteral("report.tsv"))), kPreviousReport);
}

TEST_F(CliSaveFaults, ReadOnlyFolder)
{
    ReadOnlyFolder folder([](const QString &dir) { putPrevious(dir); });
    if (folder.path().isEmpty())
        GTEST_SKIP() << folder.reason().toStdString();
    expectBothRefused(folder.path());
    EXPECT_EQ(filesIn(folder.path()), kPreviousFiles);
}

TEST_F(CliSaveFaults, NameTooLong)
{
    QTemporaryDir dir;
    const QString longReport = dir.filePath(tooLongName(QStringLiteral(".tsv")));
    const QString longDocument = dir.filePath(tooLongName(QStringLiteral(".dsr")));
    EXPECT_EQ(analyze({QStringLiteral("--report"), longReport}).status, 1);
    EXPECT_EQ(analyze({QStringLiteral("--save"), longDocument}).status, 1);
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
}

} // namespace
