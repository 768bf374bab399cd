// densora-cli over many pictures: folders and files with an overlay template
// made by the desktop program's own Save Overlay, one damaged picture among
// them, and the file types' signatures against the files the programs write.

#include "appbase/CDensoraDoc.h"
#include "cli/BatchAnalysis.h"
#include "cli/BatchPictures.h"
#include "cli/CliOptions.h"
#include "cli/tests/CliProgramRun.h"
#include "platform/Prompts.h"
#include "tools/gelsynth/GelSynth.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Four lanes of dark bands on a light 16-bit background, as the program's
// other tests use; each gel of the batch gets its own noise.
QString gelDescription(int seed)
{
    return QStringLiteral(R"(
size 300 260
bits 16
bands dark
background 50000
noise 60
seed %1
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
)")
        .arg(seed);
}

// The shapes of the template, as options of a run without one.
const QStringList kShapes = {QStringLiteral("--area"),
                             QStringLiteral("20,20,270,220"),
                             QStringLiteral("--example-band"),
                             QStringLiteral("94,82,40,16"),
                             QStringLiteral("--dark"),
                             QStringLiteral("--wells"),
                             QStringLiteral("30"),
                             QStringLiteral("--dye-front"),
                             QStringLiteral("230")};

QByteArray readFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class CliBatch : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        ASSERT_TRUE(s_dir->isValid());
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("gels"))));
        for (const auto &[name, seed] : {std::pair {"gels/a.tif", 11}, std::pair {"gels/b.tif", 12},
                                         std::pair {"small.tif", 13}}) {
            GelDescription description = GelDescription::parse(gelDescription(seed));
            if (QLatin1String(name) == QLatin1String("small.tif"))
                description.height = 200; // lower than the template's analysis area
            GelSynth gel(description);
            gel.render();
            QString error;
            ASSERT_TRUE(gel.writeImage(path(QString::fromLatin1(name)), &error))
                << error.toStdString();
        }
        // The damaged gel: a TIFF cut off after its first bytes.
        const QByteArray whole = readFile(path(QStringLiteral("gels/b.tif")));
        ASSERT_TRUE(writeFile(path(QStringLiteral("gels/c.tif")), whole.left(120)));
        ASSERT_TRUE(writeFile(path(QStringLiteral("gels/notes.txt")), "not a gel\n"));
        makeTemplate();
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }

    // Set up on gel a as the batch tool does, then saved with the desktop
    // program's Save Overlay.
    static void makeTemplate()
    {
        CliOptions options;
        QString error;
        QStringList args = {QStringLiteral("analyze"), path(QStringLiteral("gels/a.tif"))};
        ASSERT_TRUE(CliOptions::Parse(args + kShapes, &options, &error)) << error.toStdString();
        BatchAnalysis batch;
        ASSERT_TRUE(batch.LoadImage(options.input, &error)) << error.toStdString();
        ASSERT_TRUE(batch.SetUp(options, &error)) << error.toStdString();
        ScopedScriptedPrompts prompts;
        prompts->QueueFile(path(QStringLiteral("layout.ovl")));
        ASSERT_TRUE(batch.Document().OnFileSaveOverlayAs());
    }

    static QString path(const QString &name) { return s_dir->filePath(name); }

    static RunResult run(const QStringList &arguments)
    {
        return runCliProgram(arguments, path(QStringLiteral("config")), 120000);
    }

    static QTemporaryDir *s_dir;
};

QTemporaryDir *CliBatch::s_dir = nullptr;

// The folder of three gels with the template, one gel damaged: two reports
// and two documents, the damaged gel named with its reason, exit status 1,
// and nothing else changed or left behind. Each report is the one a run on
// that picture alone prints, and the same as with the template's shapes
// given as options.
TEST_F(CliBatch, FolderWithTemplateGoesOnPastADamagedGel)
{
    const QString out = path(QStringLiteral("results"));
    ASSERT_TRUE(QDir().mkpath(out));
    ASSERT_TRUE(writeFile(out + QStringLiteral("/keep.txt"), "earlier work\n"));
    const QByteArray damaged = readFile(path(QStringLiteral("gels/c.tif")));

    const RunResult r = run({QStringLiteral("analyze"), path(QStringLiteral("gels")),
                             QStringLiteral("--template"), path(QStringLiteral("layout.ovl")),
                             QStringLiteral("--out"), out, QStringLiteral("--save")});
    EXPECT_EQ(r.status, 1) << r.err.toStdString();

    QStringList written = QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    EXPECT_EQ(written.join(QLatin1Char(' ')), QStringLiteral("a.dsr a.tsv b.dsr b.tsv keep.txt"));
    EXPECT_EQ(readFile(out + QStringLiteral("/keep.txt")), QByteArray("earlier work\n"));
    EXPECT_EQ(readFile(path(QStringLiteral("gels/c.tif"))), damaged);

    // The summary: a heading and a line per picture (notes.txt is no picture).
    const QStringList lines = QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << r.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Picture\tLanes\tBands\tReport\tDocument\tResult"));
    const QString gels = path(QStringLiteral("gels"));
    EXPECT_EQ(lines[1], QStringLiteral("%1/a.tif\t4\t10\t%2/a.tsv\t%2/a.dsr\tok").arg(gels, out));
    EXPECT_EQ(lines[2], QStringLiteral("%1/b.tif\t4\t10\t%2/b.tsv\t%2/b.dsr\tok").arg(gels, out));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("%1/c.tif\t\t\t\t\tfailed: ").arg(gels)))
        << lines[3].toStdString();

    // Standard error: a progress line per good gel, the damaged one with its
    // name and reason, and the count.
    const QString err = QString::fromUtf8(r.err);
    EXPECT_TRUE(err.contains(QStringLiteral("[1/3] %1/a.tif: 4 lanes, 10 bands").arg(gels)))
        << r.err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("[2/3] %1/b.tif: 4 lanes, 10 bands").arg(gels)));
    EXPECT_TRUE(err.contains(QRegularExpression(
        QStringLiteral("densora-cli: %1/c.tif: \\S").arg(QRegularExpression::escape(gels)))));
    EXPECT_TRUE(err.contains(QStringLiteral("1 of 3 pictures failed")));
    EXPECT_FALSE(err.contains(QStringLiteral("[3/3]")));

    const QByteArray report = readFile(out + QStringLiteral("/a.tsv"));
    const RunResult alone = run({QStringLiteral("analyze"), gels + QStringLiteral("/a.tif"),
                                 QStringLiteral("--template"), path(QStringLiteral("layout.ovl"))});
    ASSERT_EQ(alone.status, 0) << alone.err.toStdString();
    EXPECT_EQ(alone.out, report);
    EXPECT_TRUE(alone.err.isEmpty()) << alone.err.toStdString();
    const RunResult shapes
        = run(QStringList {QStringLiteral("analyze"), gels + QStringLiteral("/a.tif")} + kShapes);
    ASSERT_EQ(shapes.status, 0) << shapes.err.toStdString();
    EXPECT_EQ(shapes.out, report);
    // The document saved beside the report holds that analysis.
    const RunResult reopened = run({QStringLiteral("report"), out + QStringLiteral("/b.dsr")});
    ASSERT_EQ(reopened.status, 0) << reopened.err.toStdString();
    EXPECT_EQ(reopened.out, readFile(out + QStringLiteral("/b.tsv")));
}

// Pictures named one by one: --quiet leaves only the failures on standard
// error; a picture smaller than the template's area fails with the desktop
// program's message; --json reports; a template that cannot be used stops the
// run before any picture, and so do argument mistakes.
TEST_F(CliBatch, PicturesTemplateMistakesAndQuiet)
{
    const QString out = path(QStringLiteral("quiet"));
    RunResult r = run({QStringLiteral("analyze"), path(QStringLiteral("gels/a.tif")),
                       path(QStringLiteral("small.tif")), QStringLiteral("--template"),
                       path(QStringLiteral("layout.ovl")), QStringLiteral("--out"), out,
                       QStringLiteral("--quiet"), QStringLiteral("--json")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(QDir(out).entryList(QDir::Files).join(QLatin1Char(' ')), QStringLiteral("a.json"));
    const QJsonObject json
        = QJsonDocument::fromJson(readFile(out + QStringLiteral("/a.json"))).object();
    EXPECT_EQ(json[QStringLiteral("analysisArea")].toObject()[QStringLiteral("height")].toInt(),
              220);
    const QString err = QString::fromUtf8(r.err);
    EXPECT_FALSE(err.contains(QStringLiteral("[1/2]"))) << r.err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("small.tif: The template you selected contains "
                                            "analysis objects which are larger than your current "
                                            "image.  No analysis will be created!")))
        << r.err.toStdString();

    // A damaged template: one message naming it, no picture analysed.
    const QByteArray whole = readFile(path(QStringLiteral("layout.ovl")));
    ASSERT_TRUE(writeFile(path(QStringLiteral("cut.ovl")), whole.left(whole.size() - 6)));
    const QString none = path(QStringLiteral("none"));
    for (const QString &bad : {path(QStringLiteral("cut.ovl")), path(QStringLiteral("missing.ovl")),
                               path(QStringLiteral("gels/a.tif"))}) {
        r = run({QStringLiteral("analyze"), path(QStringLiteral("gels")),
                 QStringLiteral("--template"), bad, QStringLiteral("--out"), none});
        EXPECT_EQ(r.status, 1) << bad.toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("densora-cli: %1: ").arg(bad).toUtf8()))
            << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(QFile::exists(none));
    }

    // Mistakes in the arguments touch no file.
    const QList<QStringList> mistakes = {
        {"analyze", "a.tif", "b.tif", "--template", "t.ovl"},
        {"analyze", "a.tif", "--template", "t.ovl", "--dark"},
        {"analyze", "a.tif", "--template", "t.ovl", "--area", "1,1,5,5"},
        {"analyze", "a.tif", "--template", "t.ovl", "--out", "o", "--report", "r.tsv"},
        {"analyze", "a.tif", "--template", "t.ovl", "--out", "o", "--save=x.dsr"},
        {"analyze", "a.tif", "--template", "t.ovl", "--out", "o", "--save", "x.dsr"},
        {"analyze", "a.tif", "--out", "o"},
        {"report", "a.dsr", "--out", "o"},
    };
    CliOptions options;
    QString error;
    for (const QStringList &args : mistakes)
        EXPECT_FALSE(CliOptions::Parse(args, &options, &error)) << args.join(' ').toStdString();
    ASSERT_TRUE(CliOptions::Parse({"analyze", "a.tif", "gels", "--out=o", "--save", "--template",
                                   "t.ovl", "--quiet", "--slider", "70"},
                                  &options, &error))
        << error.toStdString();
    EXPECT_EQ(options.inputs, QStringList({"a.tif", "gels"}));
    EXPECT_TRUE(options.saveEach);
    EXPECT_TRUE(options.saveFile.isEmpty());
    EXPECT_TRUE(options.quiet);
    EXPECT_EQ(options.outDir, QStringLiteral("o"));
}

// Output names stay apart and every picture is analysed once; a folder
// without pictures is a failure of its own.
TEST(BatchPicturesTest, NamesAndFolders)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir root(dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("one")) && root.mkpath(QStringLiteral("two"))
                && root.mkpath(QStringLiteral("empty")));
    for (const char *name : {"one/gel.tif", "one/gel.png", "one/b.TIFF", "one/readme.txt",
                             "two/gel.tif", "two/gel.tif-2.png"})
        ASSERT_TRUE(writeFile(root.filePath(QString::fromLatin1(name)), "x"));

    const QList<BatchPictures::Entry> entries = BatchPictures::Collect(
        {root.filePath(QStringLiteral("one")), root.filePath(QStringLiteral("one/gel.tif")),
         root.filePath(QStringLiteral("two")), root.filePath(QStringLiteral("empty")),
         root.filePath(QStringLiteral("missing.tif"))});
    QStringList seen;
    for (const BatchPictures::Entry &e : entries)
        seen << QDir(dir.path()).relativeFilePath(e.path) + QLatin1Char('=')
                + (e.problem.isEmpty() ? e.name : QStringLiteral("!") + e.problem);
    EXPECT_EQ(seen.join(QLatin1Char(' ')),
              QStringLiteral("one/b.TIFF=b one/gel.png=gel.png one/gel.tif=gel.tif "
                             "two/gel.tif=gel.tif-2 two/gel.tif-2.png=gel.tif-2-2 "
                             "empty=!no pictures in this folder missing.tif=missing"))
        << seen.join(QLatin1Char(' ')).toStdString();
}

// The file types the desktop learns from the MIME package match the first
// bytes of the documents and templates the programs write.
TEST(DesktopFileTypes, MagicMatchesTheWrittenSignatures)
{
    const QByteArray xml = readFile(qEnvironmentVariable("DENSORA_SOURCE_DIR")
                                    + QStringLiteral("/desktop/densora-mime.xml"));
    ASSERT_FALSE(xml.isEmpty());
    const auto magic = [&](const QString &type) {
        const QRegularExpression rule(
            QStringLiteral("type=\"%1\">.*?<match type=\"string\" offset=\"0\" "
                           "value=\"\\\\x(..)\\\\x(..)\\\\x(..)\"/>.*?<glob pattern=\"([^\"]*)\"/>")
                .arg(QRegularExpression::escape(type)),
            QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch m = rule.match(QString::fromUtf8(xml));
        QByteArray bytes;
        for (int i = 1; i <= 3; ++i)
            bytes.append(char(m.captured(i).toInt(nullptr, 16)));
        return std::pair {bytes, m.captured(4)};
    };
    const auto signature = [](const CDensoraDoc::FileSignature &s) {
        const char bytes[] = {char(s.first), char(s.second), char(s.version)};
        return QByteArray(bytes, 3);
    };
    const auto [document, documentGlob] = magic(QStringLiteral("application/x-densora-document"));
    const auto [overlay, overlayGlob] = magic(QStringLiteral("application/x-densora-template"));
    EXPECT_EQ(document, signature(CDensoraDoc::kDocumentSignature));
    EXPECT_EQ(overlay, signature(CDensoraDoc::kTemplateSignature));
    EXPECT_EQ(documentGlob, QStringLiteral("*.dsr"));
    EXPECT_EQ(overlayGlob, QStringLiteral("*.ovl"));

    // And a template as Save Overlay writes it starts with those bytes.
    QTemporaryDir dir;
    GelSynth gel(GelDescription::parse(gelDescription(5)));
    gel.render();
    ASSERT_TRUE(gel.writeImage(dir.filePath(QStringLiteral("g.tif"))));
    CliOptions options;
    QString error;
    ASSERT_TRUE(CliOptions::Parse(
        QStringList {QStringLiteral("analyze"), dir.filePath(QStringLiteral("g.tif"))} + kShapes,
        &options, &error));
    BatchAnalysis batch;
    ASSERT_TRUE(batch.LoadImage(options.input, &error));
    ASSERT_TRUE(batch.SetUp(options, &error));
    ASSERT_TRUE(batch.SaveDocument(dir.filePath(QStringLiteral("g.dsr")), &error));
    ScopedScriptedPrompts prompts;
    prompts->QueueFile(dir.filePath(QStringLiteral("g.ovl")));
    ASSERT_TRUE(batch.Document().OnFileSaveOverlayAs());
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("g.dsr"))).left(3), document);
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("g.ovl"))).left(3), overlay);
}

} // namespace
