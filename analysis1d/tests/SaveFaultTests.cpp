// A save that cannot be completed (the disk is full, the folder read-only,
// the name too long) is reported and leaves the previous file byte for byte
// as it was, with no temporary file left beside it and the document still
// marked as unsaved.

#include "analysis1d/calibration/MWLadderLibrary.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "contracts/overlay/CDrawRectangle.h"
#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"
#include "platform/Exceptions.h"
#include "platform/Prompts.h"
#include "testsupport/FaultyPlaces.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kFailed = QStringLiteral("Failed to save document.");

// Noise does not compress: the document is about width x height bytes.
std::unique_ptr<CDrawImage> noisePicture(int width, int height)
{
    RGBQUAD grey[256];
    for (int i = 0; i < 256; ++i)
        grey[i] = RGBQUAD {BYTE(i), BYTE(i), BYTE(i), 0};
    auto picture = std::make_unique<CDrawImage>();
    EXPECT_TRUE(picture->Create(width, height, 8, grey));
    QRandomGenerator random(7);
    for (unsigned y = 0; y < unsigned(height); ++y) {
        BYTE *row = picture->GetImage()->getScanLine(y);
        for (int x = 0; x < width; ++x)
            row[x] = BYTE(random.bounded(256));
    }
    picture->SizeToImage();
    return picture;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SaveFaults : public testing::Test
{
protected:
    // A saved document, then changed: the next save would write something else.
    void SetUp() override
    {
        m_document.Add(noisePicture(40, 30).release());
        m_document.Add(new CDrawRectangle(CRect(2, 3, 20, 25)));
    }
    void saveFirstVersion(const QString &path)
    {
        ASSERT_TRUE(m_document.OnSaveDocument(path));
        m_previous = readAll(path);
        ASSERT_FALSE(m_previous.isEmpty());
        m_document.RemoveAllObjects();
        m_document.Add(noisePicture(200, 150).release());
        m_document.Add(new CDrawRectangle(CRect(5, 5, 50, 50)));
        m_document.SetModifiedFlag(true);
        m_document.SetSaveAsRequired(1);
        m_prompts->Clear();
    }
    // The save fails, is reported once, and changes nothing on disk or in the
    // document's state.
    void expectRefused(const QString &path, const QString &previousPath)
    {
        const QString pathBefore = m_document.GetPathName();
        EXPECT_FALSE(m_document.OnSaveDocument(path));
        EXPECT_EQ(m_prompts->Texts(), QStringList {kFailed});
        EXPECT_TRUE(m_document.IsModified());
        EXPECT_EQ(m_document.GetSaveAsRequired(), 1);
        EXPECT_EQ(m_document.GetPathName(), pathBefore);
        if (!previousPath.isEmpty()) {
            EXPECT_EQ(readAll(previousPath), m_previous);
        }
        m_prompts->Clear();
    }

    ScopedScriptedPrompts m_prompts;
    Analysis1DDoc m_document;
    QByteArray m_previous;
};

TEST_F(SaveFaults, FullFileSystem)
{
    SmallFullFilesystem disk;
    if (!disk.available())
        GTEST_SKIP() << disk.reason().toStdString();
    const QString path = disk.filePath(QStringLiteral("gel.dsr"));
    saveFirstVersion(path);
    disk.fill();
    expectRefused(path, path);
    EXPECT_EQ(disk.files(), QStringList {QStringLiteral("gel.dsr")});
    // A new name on the full disk: nothing is left behind either.
    expectRefused(disk.filePath(QStringLiteral("other.dsr")), path);
    EXPECT_EQ(disk.files(), QStringList {QStringLiteral("gel.dsr")});
}

TEST_F(SaveFaults, FileSizeLimitAsAFullDisk)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gel.dsr"));
    saveFirstVersion(path);
    {
        FileSizeLimit full(4096); // the new document is about 30 KB
        expectRefused(path, path);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList {QStringLiteral("gel.dsr")});
    // Once there is room again, the same document saves.
    EXPECT_TRUE(m_document.OnSaveDocument(path));
    EXPECT_NE(readAll(path), m_previous);
    EXPECT_FALSE(m_document.IsModified());
}

// A small file fits in the writer's buffer, so the disk refuses it only when
// the file is closed: that must fail the save as well.
TEST_F(SaveFaults, SmallFilesOnAFullDisk)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gel.dsr"));
    saveFirstVersion(path);
    m_document.RemoveAllObjects();
    m_document.Add(noisePicture(4, 4).release());
    const QString library = dir.filePath(QStringLiteral("MWLadders.dat"));
    StorableMWStandard ladder;
    ladder.m_name = QStringLiteral("ladder");
    ladder.m_values.Add(100.0);
    MWLadderLibrary ladders(library);
    ladders.Add(ladder);
    ladders.Save();
    const QByteArray previousLibrary = readAll(library);
    ladders.Add(ladder);
    {
        FileSizeLimit full(8);
        expectRefused(path, path);
        EXPECT_THROW(ladders.Save(), CFileException);
    }
    EXPECT_EQ(readAll(library), previousLibrary);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({QStringLiteral("MWLadders.dat"), QStringLiteral("gel.dsr")}));
}

TEST_F(SaveFaults, ReadOnlyFolder)
{
    ReadOnlyFolder folder([&](const QString &dir) {
        if (m_previous.isEmpty())
            saveFirstVersion(QDir(dir).filePath(QStringLiteral("gel.dsr")));
        else
            QFile::copy(m_document.GetPathName(), QDir(dir).filePath(QStringLiteral("gel.dsr")));
    });
    if (folder.path().isEmpty())
        GTEST_SKIP() << folder.reason().toStdString();
    const QString path = folder.filePath(QStringLiteral("gel.dsr"));
    expectRefused(path, path);
    expectRefused(folder.filePath(QStringLiteral("new.dsr")), path);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList {QStringLiteral("gel.dsr")});
    // A name below a file that is not a folder cannot be written by anyone.
    expectRefused(path + QStringLiteral("/inside.dsr"), path);
}

TEST_F(SaveFaults, NameTooLong)
{
    QTemporaryDir dir;
    const QString previous = dir.filePath(QStringLiteral("gel.dsr"));
    saveFirstVersion(previous);
    expectRefused(dir.filePath(tooLongName(QStringLiteral(".dsr"))), previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList {QStringLiteral("gel.dsr")});
}

} // namespace
