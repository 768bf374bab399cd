#include "appbase/CDensoraDoc.h"

#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"

#include "contracts/overlay/CDrawRectangle.h"
#include "contracts/overlay/COffscreenDrawView.h"

#include "platform/CArchive.h"
#include "platform/Exceptions.h"
#include "platform/Prompts.h"

#include "testsupport/PictureTestSupport.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <memory>

namespace {

QByteArray pngOf(int w, int h)
{
    std::unique_ptr<CDrawImage> obj(NewGreyPicture(w, h, 10));
    FIMEMORY *memory = FreeImage_OpenMemory();
    EXPECT_TRUE(FreeImage_SaveToMemory(FIF_PNG, *obj->GetImage(), memory, 0));
    BYTE *data = nullptr;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    FreeImage_CloseMemory(memory);
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A 16-byte header starting with the given three bytes.
QByteArray header(uint8_t b0, uint8_t b1, uint8_t b2)
{
    QByteArray bytes(16, '\0');
    bytes[0] = char(b0);
    bytes[1] = char(b1);
    bytes[2] = char(b2);
    return bytes;
}

// Stores the object list followed by the base part, as the analysis document
// does, so opening and saving can be exercised here.
class ListDoc : public CDensoraDoc
{
public:
    enum class Fail { none, user, archive };
    Fail failOnStore = Fail::none;

    void Serialize(CArchive &ar) override
    {
        if (ar.IsStoring() && failOnStore != Fail::none) {
            ar << uint32_t(0xDEADBEEF); // something half-written first
            if (failOnStore == Fail::user) {
                Prompts::instance().MessageBox(QStringLiteral("refused"));
                throw CUserException();
            }
            throw CArchiveException(CArchiveException::genericException);
        }
        SerializeObjects(ar);
        CDensoraDoc::Serialize(ar);
    }
};

int countOf(const QByteArray &haystack, const QByteArray &needle)
{
    int n = 0;
    for (qsizetype at = haystack.indexOf(needle); at >= 0; at = haystack.indexOf(needle, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(CDensoraDocObjects, PictureIsTheFirstObjectOnly)
{
    CDensoraDoc doc;
    EXPECT_EQ(doc.GetDrawImage(), nullptr);
    EXPECT_EQ(doc.GetImage(), nullptr);
    EXPECT_FALSE(doc.DocContainsOverlayObjects());

    // A picture that is not first is not the document's picture.
    doc.Add(new CDrawRectangle(CRect(0, 0, 2, 2)));
    doc.Add(NewGreyPicture(3, 3, 10));
    EXPECT_EQ(doc.GetDrawImage(), nullptr);
    EXPECT_EQ(doc.GetImage(), nullptr);

    doc.RemoveAllObjects();
    CDrawImage *picture = NewGreyPicture(3, 3, 10);
    doc.Add(picture);
    EXPECT_EQ(doc.GetDrawImage(), picture);
    EXPECT_EQ(doc.GetImage(), picture->GetImage());
    EXPECT_FALSE(doc.DocContainsOverlayObjects());
    doc.Add(new CDrawRectangle(CRect(0, 0, 2, 2)));
    EXPECT_TRUE(doc.DocContainsOverlayObjects());
}

TEST(CDensoraDocObjects, ObjectAtFindsTheTopmostAndDocRectCoversAll)
{
    CDensoraDoc doc;
    EXPECT_EQ(doc.GetDocRect(), CRect(0, 0, 1, 1));

    CDrawImage *picture = NewGreyPicture(100, 50, 10);
    doc.Add(picture);
    auto *rect = new CDrawRectangle(CRect(20, 120, -5, 10)); // not normalised
    doc.Add(rect);
    auto *line = new CDrawRectangle(CRect(0, 130, 150, 130), CDrawRectangle::line);
    doc.Add(line);

    EXPECT_EQ(doc.ObjectAt(CPoint(10, 20)), rect);
    EXPECT_EQ(doc.ObjectAt(CPoint(50, 20)), picture);
    EXPECT_EQ(doc.ObjectAt(CPoint(300, 300)), nullptr);
    // A flat line still widens the document.
    EXPECT_EQ(doc.GetDocRect(), CRect(-5, 0, 150, 130));
}

TEST(CDensoraDocObjects, AddTakesTheFrameStyleWhenAsked)
{
    struct Style : CDensoraDoc::FrameStyle
    {
        long color = RGB(255, 0, 0);
        int weight = 3;
        long GetLineColor() const override { return color; }
        int GetLineWeight() const override { return weight; }
    } style;

    CDensoraDoc doc;
    auto *plain = new CDrawRectangle(CRect(0, 0, 1, 1));
    plain->m_bLineEnabled = false;
    CDensoraDoc::SetFrameStyle(&style);
    doc.Add(plain);
    EXPECT_FALSE(plain->m_bLineEnabled);
    EXPECT_EQ(plain->m_lineColor, RGB(0, 0, 0));

    auto *styled = new CDrawRectangle(CRect(0, 0, 1, 1));
    styled->m_bLineEnabled = false;
    doc.Add(styled, true);
    EXPECT_EQ(styled->m_lineColor, RGB(255, 0, 0));
    EXPECT_TRUE(styled->m_bLineEnabled);
    EXPECT_EQ(styled->m_nLineWeight, 3);

    // No choice on the ribbon: the object keeps its own.
    style.color = -1;
    style.weight = -1;
    auto *unchosen = new CDrawRectangle(CRect(0, 0, 1, 1));
    unchosen->m_lineColor = RGB(0, 0, 200);
    doc.Add(unchosen, true);
    EXPECT_EQ(unchosen->m_lineColor, RGB(0, 0, 200));
    EXPECT_EQ(unchosen->m_nLineWeight, 1);
    CDensoraDoc::SetFrameStyle(nullptr);
    EXPECT_TRUE(doc.IsModified());
}

TEST(CDensoraDocObjects, CreateImageObjectReplacesEverything)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString png = dir.filePath(QStringLiteral("gel.png"));
    writeFile(png, pngOf(7, 5));
    const QString junk = dir.filePath(QStringLiteral("junk.png"));
    writeFile(junk, QByteArray("this is no picture at all"));

    CDensoraDoc doc;
    doc.Add(new CDrawRectangle(CRect(0, 0, 1, 1)));
    QFile file(png);
    EXPECT_GE(doc.CreateImageObject(&file), 1);
    ASSERT_EQ(doc.GetObjects().size(), 1);
    ASSERT_NE(doc.GetDrawImage(), nullptr);
    EXPECT_EQ(doc.GetDrawImage()->GetPosition(), CRect(0, 0, 7, 5));
    EXPECT_EQ(GreyPixelAt(doc.GetImage(), 6, 4), 64);

    QFile bad(junk);
    EXPECT_LE(doc.CreateImageObject(&bad), 0);
    EXPECT_TRUE(doc.GetObjects().isEmpty());
}

TEST(CDensoraDocFiles, TypeByNameAndBySignature)
{
    EXPECT_EQ(CDensoraDoc::GetFileType(QStringLiteral("gel.dsr")), 410);
    EXPECT_EQ(CDensoraDoc::GetFileType(QStringLiteral("/a.b/GEL.DsR")), 410);
    EXPECT_EQ(CDensoraDoc::GetFileType(QStringLiteral("gel.tif")), int(FIF_TIFF));
    EXPECT_EQ(CDensoraDoc::GetFileType(QStringLiteral("gel.xyz")), int(FIF_UNKNOWN));
    EXPECT_EQ(CDensoraDoc::GetFileType(QStringLiteral("gel")), 0);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The contents decide whatever the name says.
    const QString doc = dir.filePath(QStringLiteral("looks-like.png"));
    writeFile(doc, header(0x21, 0x0B, 0x02) + QByteArray(40, 'x'));
    const QString tmpl = dir.filePath(QStringLiteral("template.tif"));
    writeFile(tmpl, header(0x34, 0x0B, 0x01));
    const QString oldDoc = dir.filePath(QStringLiteral("old.dsr"));
    writeFile(oldDoc, header(0x21, 0x0B, 0x01));
    const QString picture = dir.filePath(QStringLiteral("picture.dsr"));
    writeFile(picture, pngOf(4, 4));

    QFile docFile(doc);
    ASSERT_TRUE(docFile.open(QIODevice::ReadOnly));
    docFile.seek(5);
    EXPECT_EQ(CDensoraDoc::GetFileType(&docFile), 410);
    EXPECT_EQ(docFile.pos(), 5); // put back
    docFile.close();

    QFile tmplFile(tmpl); // closed: opened for the look and closed again
    EXPECT_EQ(CDensoraDoc::GetFileType(&tmplFile), 410);
    EXPECT_FALSE(tmplFile.isOpen());

    QFile oldFile(oldDoc);
    EXPECT_NE(CDensoraDoc::GetFileType(&oldFile), 410);
    QFile pictureFile(picture);
    EXPECT_EQ(CDensoraDoc::GetFileType(&pictureFile), int(FIF_PNG));

    // In-memory devices: signature, then the picture's own.
    QByteArray bytes = header(0x21, 0, 0x02);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_EQ(CDensoraDoc::GetFileType(&buffer), 410);
    QByteArray pngBytes = pngOf(3, 3);
    QBuffer pngBuffer(&pngBytes);
    pngBuffer.open(QIODevice::ReadOnly);
    EXPECT_EQ(CDensoraDoc::GetFileType(&pngBuffer), int(FIF_PNG));

    // A file being written is what its name says.
    QSaveFile target(dir.filePath(QStringLiteral("new.DSR")));
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    EXPECT_EQ(CDensoraDoc::GetFileType(&target), 410);
    target.cancelWriting();
    EXPECT_EQ(CDensoraDoc::GetFileType(static_cast<QIODevice *>(nullptr)), int(FIF_UNKNOWN));
}

TEST(CDensoraDocFiles, TitleCarriesTheZoom)
{
    CDensoraDoc doc;
    doc.SetTitleWithZoom(2.0f);
    EXPECT_TRUE(doc.GetTitle().isEmpty());

    doc.SetPathName(QStringLiteral("/data/gels/gel-2 final.tif"));
    EXPECT_EQ(doc.GetFileName(), QStringLiteral("gel-2 final.tif"));
    doc.SetTitleWithZoom(1.5f);
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("gel-2 final.tif - [at zoom factor 1.50]"));
    doc.SetTitleWithZoom(0.333f);
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("gel-2 final.tif - [at zoom factor 0.33]"));
}

TEST(CDensoraDocStorage, ObjectListWithPictureAndRectanglesRoundTrips)
{
    CDensoraDoc doc;
    doc.Add(NewGreyPicture(6, 4, 10));
    doc.GetImage()->AddPreprocessStr(QStringLiteral("Loaded"));
    doc.Add(new CDrawRectangle(CRect(1, 1, 3, 3)));
    doc.Add(new CDrawRectangle(CRect(2, 0, 5, 4), CDrawRectangle::ellipse));

    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        CArchive ar(&buffer, CArchive::store);
        doc.SerializeObjects(ar);
        ar.Close();
    }
    // Count, then every class named once; the second rectangle refers back to
    // its class (CDrawImage 1, its object 2, TVFImage 3, its object 4,
    // CDrawRectangle 5).
    EXPECT_EQ(bytes.left(2), QByteArray::fromHex("0300"));
    EXPECT_EQ(countOf(bytes, "CDrawImage"), 1);
    EXPECT_EQ(countOf(bytes, "TVFImage"), 1);
    EXPECT_EQ(countOf(bytes, "CDrawRectangle"), 1);
    QByteArray single;
    {
        QBuffer buffer(&single);
        buffer.open(QIODevice::WriteOnly);
        CArchive ar(&buffer, CArchive::store);
        const CDrawRectangle probe;
        ar.WriteObject(&probe);
    }
    const qsizetype body = single.size() - (6 + qsizetype(qstrlen("CDrawRectangle")));
    EXPECT_EQ(bytes.mid(bytes.size() - body - 2, 2), QByteArray::fromHex("0580"));

    CDensoraDoc back;
    back.Add(new CDrawRectangle(CRect(9, 9, 10, 10))); // replaced by the loaded list
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        CArchive ar(&buffer, CArchive::load);
        back.SerializeObjects(ar);
    }
    ASSERT_EQ(back.GetObjects().size(), 3);
    ASSERT_NE(back.GetDrawImage(), nullptr);
    EXPECT_FALSE(*back.GetDrawImage() != *doc.GetDrawImage());
    EXPECT_EQ(GreyPixelAt(back.GetImage(), 5, 3), 53);
    EXPECT_EQ(back.GetObjects()[1]->GetPosition(), CRect(1, 1, 3, 3));
    auto *ellipse = dynamic_cast<CDrawRectangle *>(back.GetObjects()[2]);
    ASSERT_NE(ellipse, nullptr);
    EXPECT_EQ(ellipse->GetShape(), CDrawRectangle::ellipse);
    for (CDrawObject *obj : back.GetObjects())
        EXPECT_EQ(obj->GetDocument(), &back);
}

TEST(CDensoraDocStorage, SaveAndOpenRoundTripAndFailuresKeepTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("gel.dsr"));
    ScopedScriptedPrompts prompts;

    ListDoc doc;
    doc.Add(NewGreyPicture(5, 5, 10));
    doc.Add(new CDrawRectangle(CRect(1, 2, 3, 4)));
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), path);
    const QByteArray saved = readFile(path);
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_EQ(saved.right(4), QByteArray(4, '\0')); // no embedded items

    // A save that fails, reported or not, leaves the file as it was.
    doc.failOnStore = ListDoc::Fail::user;
    EXPECT_FALSE(doc.OnSaveDocument(path));
    EXPECT_EQ(prompts->Texts(), QStringList {QStringLiteral("refused")});
    doc.failOnStore = ListDoc::Fail::archive;
    EXPECT_FALSE(doc.OnSaveDocument(path));
    EXPECT_EQ(prompts->Texts().last(), QStringLiteral("Failed to save document."));
    EXPECT_EQ(readFile(path), saved);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("gel.dsr")});

    ListDoc other;
    other.Add(new CDrawRectangle(CRect(0, 0, 1, 1)));
    other.SaveActionStartEnd(QStringLiteral("before"));
    ASSERT_TRUE(other.OnOpenDocument(path));
    EXPECT_EQ(other.GetObjects().size(), 2);
    ASSERT_NE(other.GetDrawImage(), nullptr);
    EXPECT_EQ(other.GetObjects()[1]->GetPosition(), CRect(1, 2, 3, 4));
    EXPECT_EQ(other.GetTitle(), QStringLiteral("gel.dsr"));
    EXPECT_FALSE(other.IsModified());
    EXPECT_FALSE(other.CanUndo()); // the old contents' history is gone

    // A damaged file is refused and leaves the open document as it was.
    const QString damaged = dir.filePath(QStringLiteral("damaged.dsr"));
    writeFile(damaged, saved.left(saved.size() / 2));
    prompts->Clear();
    const CDrawObjList before = other.GetObjects();
    EXPECT_FALSE(other.OnOpenDocument(damaged));
    EXPECT_EQ(prompts->Texts(), QStringList {QStringLiteral("Unexpected file format.")});
    EXPECT_EQ(other.GetObjects(), before);
    EXPECT_EQ(other.GetObjects()[1]->GetPosition(), CRect(1, 2, 3, 4));
    EXPECT_FALSE(other.OnOpenDocument(dir.filePath(QStringLiteral("missing.dsr"))));
    EXPECT_EQ(prompts->Texts().last(), QStringLiteral("Failed to open document."));

    EXPECT_TRUE(other.OnNewDocument());
    EXPECT_TRUE(other.GetPathName().isEmpty());
    EXPECT_TRUE(other.GetObjects().isEmpty());
}

TEST(CDensoraDocRealGel, SixteenBitScanOpensUndoesAndRoundTrips)
{
    const QString root = qEnvironmentVariableIsSet("DENSORA_SOURCE_DIR")
        ? qEnvironmentVariable("DENSORA_SOURCE_DIR")
        : QDir::currentPath();
    const QString gel
        = root + QStringLiteral("/../shared/gels/09b_biorad1sc_test4_ref_16bit_BlackIsZero.tif");
    if (!QFile::exists(gel))
        GTEST_SKIP() << "gel scan not present";

    QFile file(gel);
    EXPECT_EQ(CDensoraDoc::GetFileType(&file), int(FIF_TIFF));
    ListDoc doc;
    ASSERT_GE(doc.CreateImageObject(&file), 1);
    ASSERT_NE(doc.GetImage(), nullptr);
    EXPECT_EQ(doc.GetDrawImage()->GetPosition(), CRect(0, 0, 696, 520));
    EXPECT_TRUE(doc.GetImage()->isHighResGrayscale());

    doc.SaveActionStartEnd(QStringLiteral("Rotate 90° Clockwise"));
    ASSERT_TRUE(doc.GetImage()->rotate(90));
    doc.GetDrawImage()->SizeToImage();
    doc.Undo();
    EXPECT_EQ(doc.GetDrawImage()->GetPosition(), CRect(0, 0, 696, 520));
    EXPECT_EQ(doc.GetImage()->getWidth(), 696u);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("gel.dsr"));
    ScopedScriptedPrompts prompts;
    ASSERT_TRUE(doc.OnSaveDocument(path));
    ListDoc back;
    ASSERT_TRUE(back.OnOpenDocument(path));
    ASSERT_NE(back.GetImage(), nullptr);
    EXPECT_TRUE(back.GetImage()->isHighResGrayscale());
    const auto *a = reinterpret_cast<const uint16_t *>(doc.GetImage()->getScanLine(100));
    const auto *b = reinterpret_cast<const uint16_t *>(back.GetImage()->getScanLine(100));
    for (int x = 0; x < 696; x += 37)
        EXPECT_EQ(a[x], b[x]) << x;
}
