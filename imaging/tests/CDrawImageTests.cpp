#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawRectangle.h"
#include "contracts/overlay/COffscreenDrawView.h"

#include "platform/CArchive.h"
#include "platform/Exceptions.h"
#include "platform/Prompts.h"

#include "testsupport/PictureTestSupport.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <memory>

namespace {

// A grey picture object whose pixel (x, y) is (x * 16 + y) & 0xFF; row 0 on top.
std::unique_ptr<CDrawImage> makeGreyImage(int w, int h)
{
    return std::unique_ptr<CDrawImage>(NewGreyPicture(w, h, 16));
}

int pixelAt(const CDrawImage &obj, int x, int y)
{
    return GreyPixelAt(obj.GetImage(), x, y);
}

QByteArray pngBytes(const CDrawImage &obj)
{
    FIMEMORY *memory = FreeImage_OpenMemory();
    EXPECT_TRUE(FreeImage_SaveToMemory(FIF_PNG, *obj.GetImage(), memory, 0));
    BYTE *data = nullptr;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    FreeImage_CloseMemory(memory);
    return bytes;
}

QByteArray store(const CObject &obj)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CArchive ar(&buffer, CArchive::store);
    ar.WriteObject(&obj);
    ar.Close();
    return bytes;
}

std::unique_ptr<CDrawImage> load(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    return std::unique_ptr<CDrawImage>(ar.ReadObjectAs<CDrawImage>());
}

CArchiveException::Cause loadFailure(const QByteArray &bytes)
{
    try {
        load(bytes);
    } catch (const CArchiveException &e) {
        return e.m_cause;
    }
    return CArchiveException::none;
}

} // namespace

TEST(CDrawImageCreate, EachFormReplacesThePictureAndSizesThePosition)
{
    CDrawImage obj;
    EXPECT_FALSE(obj.GetImage()->isValid());

    EXPECT_EQ(obj.Create(7, 5, 8, nullptr), 1);
    EXPECT_EQ(obj.GetPosition(), CRect(0, 0, 7, 5));
    EXPECT_EQ(obj.GetImage()->getBitsPerPixel(), 8u);

    // Memory form: the given history replaces the decoded picture's; an empty one does not.
    const auto source = makeGreyImage(6, 4);
    const QByteArray png = pngBytes(*source);
    EXPECT_EQ(obj.Create(reinterpret_cast<const unsigned char *>(png.constData()),
                         (unsigned long)png.size(), QStringLiteral("{Pasted}")),
              1);
    EXPECT_EQ(obj.GetPosition(), CRect(0, 0, 6, 4));
    EXPECT_EQ(obj.GetImage()->GetPreprocessStr(), QStringLiteral("{Pasted}"));
    EXPECT_EQ(pixelAt(obj, 3, 2), 3 * 16 + 2);
    EXPECT_EQ(obj.Create(reinterpret_cast<const unsigned char *>(png.constData()),
                         (unsigned long)png.size(), QString()),
              1);
    EXPECT_TRUE(obj.GetImage()->GetPreprocessStr().isEmpty());

    // A block that is no picture leaves the position alone and says so.
    obj.m_position = CRect(1, 2, 3, 4);
    const unsigned char junk[] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(obj.Create(junk, sizeof junk, QStringLiteral("{x}")), 0);
    EXPECT_EQ(obj.GetPosition(), CRect(1, 2, 3, 4));

    // A size no bitmap can have is not reported as success.
    EXPECT_EQ(obj.Create(0, 5, 8, nullptr), 0);
}

TEST(CDrawImageCreate, FromFileByContentsAndFailureReturnsTheLoaderResult)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto source = makeGreyImage(9, 3);
    // Named as a bitmap, holds a PNG: the contents decide.
    QFile file(dir.filePath(QStringLiteral("gel.bmp")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pngBytes(*source));
    file.close();

    CDrawImage obj;
    EXPECT_EQ(obj.Create(&file), 1);
    EXPECT_EQ(obj.GetPosition(), CRect(0, 0, 9, 3));
    EXPECT_EQ(pixelAt(obj, 8, 2), 8 * 16 + 2);

    QFile missing(dir.filePath(QStringLiteral("missing.tif")));
    EXPECT_EQ(obj.Create(&missing), 0);
    EXPECT_EQ(obj.GetPosition(), CRect(0, 0, 9, 3));
    EXPECT_EQ(obj.Create(static_cast<QFile *>(nullptr)), 0);
}

TEST(CDrawImageCreate, ResampleResizesPictureAndPosition)
{
    auto obj = makeGreyImage(8, 4);
    EXPECT_TRUE(obj->Resample(4, 2));
    EXPECT_EQ(obj->GetPosition(), CRect(0, 0, 4, 2));
    EXPECT_EQ(obj->GetImage()->getWidth(), 4u);
    EXPECT_FALSE(obj->Resample(0, 2));
    EXPECT_EQ(obj->GetPosition(), CRect(0, 0, 4, 2));
}

TEST(CDrawImageCopy, CloneIsEqualButOwnsItsOwnBitmap)
{
    auto obj = makeGreyImage(5, 3);
    obj->GetImage()->AddPreprocessStr(QStringLiteral("Loaded"));
    std::unique_ptr<CDrawObject> clone(obj->Clone(nullptr));
    ASSERT_TRUE(clone->IsKindOf(RUNTIME_CLASS(CDrawImage)));
    auto *image = static_cast<CDrawImage *>(clone.get());
    EXPECT_FALSE(*obj != *clone);
    EXPECT_TRUE(*obj == *clone);
    EXPECT_NE(image->GetImage(), obj->GetImage());
    EXPECT_EQ(image->GetImage()->GetPreprocessStr(), obj->GetImage()->GetPreprocessStr());

    // Changing the clone's pixels leaves the original alone.
    image->GetImage()->getScanLine(0)[0] = 200;
    EXPECT_NE(pixelAt(*obj, 0, 2), 200);

    // Clone with a document adds the copy to it.
    CDrawDocument doc;
    CDrawObject *added = obj->Clone(&doc);
    ASSERT_EQ(doc.GetObjects().size(), 1);
    EXPECT_EQ(doc.GetObjects().first(), added);
    EXPECT_EQ(added->GetDocument(), &doc);

    // Assignment copies the picture and the base part.
    CDrawImage other;
    other = *obj;
    EXPECT_TRUE(other == *obj);
    EXPECT_EQ(pixelAt(other, 4, 1), 4 * 16 + 1);
    CDrawObject &base = other;
    CDrawImage third;
    static_cast<CDrawObject &>(third) = base;
    EXPECT_TRUE(third == *obj);
}

TEST(CDrawImageCompare, ChangesThatCountAndThoseThatDoNot)
{
    auto obj = makeGreyImage(6, 4);
    const CDrawImage backup(*obj);

    // A quarter turn of a non-square picture.
    CDrawImage turned(backup);
    ASSERT_TRUE(turned.GetImage()->rotate(90));
    EXPECT_TRUE(turned != backup);
    EXPECT_FALSE(turned == backup);

    // Same size, but a history entry.
    CDrawImage inverted(backup);
    ASSERT_TRUE(inverted.GetImage()->invertPixels());
    EXPECT_TRUE(inverted != backup);

    // Histories compare ignoring case.
    CDrawImage upper(backup);
    upper.GetImage()->SetPreprocessStr(QStringLiteral("{INVERT}"));
    CDrawImage lower(backup);
    lower.GetImage()->SetPreprocessStr(QStringLiteral("{invert}"));
    EXPECT_FALSE(upper != lower);
    EXPECT_TRUE(upper == lower);

    // The depth alone: == sees it, != does not.
    CDrawImage deeper(backup);
    ASSERT_TRUE(deeper.GetImage()->convertTo24Bits());
    deeper.GetImage()->SetPreprocessStr(backup.GetImage()->GetPreprocessStr());
    EXPECT_FALSE(deeper != backup);
    EXPECT_FALSE(deeper == backup);

    // The base part counts, and another kind of object is always different.
    CDrawImage moved(backup);
    moved.m_position.OffsetRect(1, 0);
    EXPECT_TRUE(moved != backup);
    const CDrawRectangle rect(backup.GetPosition());
    EXPECT_TRUE(backup.operator!=(rect));
    EXPECT_FALSE(backup.operator==(rect));
}

TEST(CDrawImageGeometry, CannotBeMovedAndDrawsStretched)
{
    CDrawDocument doc;
    auto owned = makeGreyImage(2, 2);
    CDrawImage *obj = owned.release();
    doc.Add(obj);
    doc.SetModifiedFlag(false);

    obj->Offset(5, 7);
    obj->MoveDelta(CPoint(-3, 4), nullptr);
    EXPECT_EQ(obj->GetPosition(), CRect(0, 0, 2, 2));
    EXPECT_FALSE(doc.IsModified());

    // Zoom 2: every picture pixel covers 2 x 2 screen pixels.
    COffscreenDrawView view(&doc, 2.0f);
    const QImage shot = view.Render(QSize(4, 4));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const int expected = (x / 2) * 16 + y / 2;
            EXPECT_EQ(qGray(shot.pixel(x, y)), expected) << x << "," << y;
        }
    }
}

TEST(CDrawImageProperties, InfoLinesGoToTheInstalledList)
{
    auto obj = makeGreyImage(4, 3);
    QString title;
    QStringList lines;
    CDrawImage::SetInfoListHandler([&](const QString &t, const QStringList &l) {
        title = t;
        lines = l;
    });
    obj->OnEditProperties(nullptr);
    CDrawImage::SetInfoListHandler(nullptr);
    EXPECT_EQ(title, QStringLiteral("Image info"));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("Width (pixels)|")));

    // Without a list dialog the lines are still shown.
    ScopedScriptedPrompts prompts;
    obj->OnEditProperties(nullptr);
    ASSERT_EQ(prompts->Messages().size(), 1u);
    EXPECT_TRUE(prompts->Messages().front().text.contains(QStringLiteral("Height (pixels)|3")));
}

TEST(CDrawImageSerialize, RoundTripKeepsPositionPictureAndHistory)
{
    auto obj = makeGreyImage(5, 3);
    obj->GetImage()->AddPreprocessStr(QStringLiteral("Loaded"));
    obj->m_position = CRect(0, 0, 10, 6); // shown stretched
    obj->SetLineColor(RGB(1, 2, 3), false);

    const QByteArray bytes = store(*obj);
    // Class tag, schema 0, then the name.
    ASSERT_GE(bytes.size(), 16);
    EXPECT_EQ(bytes.left(6), QByteArray::fromHex("ffff00000a00"));
    EXPECT_EQ(bytes.mid(6, 10), QByteArray("CDrawImage"));
    // Base part (36 bytes), then the position again, then the picture's class tag.
    EXPECT_EQ(bytes.mid(52, 16), QByteArray::fromHex("00000000000000000a00000006000000"));
    EXPECT_EQ(bytes.mid(68, 2), QByteArray::fromHex("ffff"));
    EXPECT_EQ(bytes.mid(74, 8), QByteArray("TVFImage"));

    const auto back = load(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetPosition(), CRect(0, 0, 10, 6));
    EXPECT_EQ(back->m_lineColor, RGB(1, 2, 3));
    EXPECT_TRUE(*back == *obj);
    EXPECT_EQ(back->GetImage()->GetPreprocessStr(), obj->GetImage()->GetPreprocessStr());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(pixelAt(*back, x, y), x * 16 + y);
}

TEST(CDrawImageSerialize, DamagedRecordsAreRefused)
{
    const auto obj = makeGreyImage(4, 4);
    const QByteArray bytes = store(*obj);

    // Cut inside the 16-byte position.
    EXPECT_EQ(loadFailure(bytes.left(52 + 10)), CArchiveException::endOfFile);
    // Cut inside the picture.
    EXPECT_EQ(loadFailure(bytes.left(bytes.size() - 20)), CArchiveException::endOfFile);

    // Another kind of object where the picture belongs.
    {
        QByteArray forged;
        QBuffer buffer(&forged);
        buffer.open(QIODevice::WriteOnly);
        CArchive ar(&buffer, CArchive::store);
        ar.WriteClass(RUNTIME_CLASS(CDrawImage));
        CDrawObject base;
        base.CDrawObject::Serialize(ar);
        ar << CRect(0, 0, 4, 4);
        const CDrawRectangle rect(CRect(0, 0, 1, 1));
        ar.WriteObject(&rect);
        ar.Close();
        EXPECT_EQ(loadFailure(forged), CArchiveException::badClass);
    }

    // A second object pointing back at the first one's picture would share it.
    {
        QByteArray forged;
        QBuffer buffer(&forged);
        buffer.open(QIODevice::WriteOnly);
        CArchive ar(&buffer, CArchive::store);
        ar.WriteObject(obj.get());
        ar.WriteClass(RUNTIME_CLASS(CDrawImage));
        CDrawObject base;
        base.CDrawObject::Serialize(ar);
        ar << CRect(0, 0, 4, 4);
        ar.WriteObject(obj->GetImage());
        ar.Close();

        QBuffer in(&forged);
        in.open(QIODevice::ReadOnly);
        CArchive reader(&in, CArchive::load);
        std::unique_ptr<CDrawImage> first(reader.ReadObjectAs<CDrawImage>());
        ASSERT_TRUE(first);
        try {
            std::unique_ptr<CDrawImage> second(reader.ReadObjectAs<CDrawImage>());
            ADD_FAILURE() << "a shared picture was accepted";
        } catch (const CArchiveException &e) {
            EXPECT_EQ(e.m_cause, CArchiveException::badIndex);
        }
        EXPECT_EQ(pixelAt(*first, 1, 1), 17);
    }
}
