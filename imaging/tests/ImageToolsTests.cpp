#include "imaging/CCopyImageRectTool.h"
#include "imaging/CCropImageTool.h"
#include "imaging/CDrawImage.h"
#include "imaging/CImageTool.h"
#include "imaging/TVFImage.h"
#include "imaging/ui/ImageInfoListDialog.h"
#include "imaging/ui/ImageProcessingListPP.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawRectangle.h"
#include "contracts/overlay/COffscreenDrawView.h"
#include "contracts/overlay/CSelectTool.h"

#include "platform/Prompts.h"

#include "testsupport/PictureTestSupport.h"

#include <QDialog>
#include <QListWidget>
#include <gtest/gtest.h>

#include <memory>

namespace {

class RecordingDocument : public CDrawDocument
{
public:
    QStringList captions;
    void SaveActionStartEnd(const QString &caption) override { captions << caption; }
};

struct Bench : PictureDocument<RecordingDocument, COffscreenDrawView>
{
    CSelectTool *select = nullptr;
    ScopedScriptedPrompts prompts;

    Bench() : PictureDocument(40, 30, 4)
    {
        auto selectTool = std::make_unique<CSelectTool>();
        select = selectTool.get();
        view.AddTool(std::move(selectTool));
        view.AddTool(std::make_unique<CImageTool>(select));
        view.AddTool(std::make_unique<CCropImageTool>(select));
        view.AddTool(std::make_unique<CCopyImageRectTool>(select));
    }
    void drag(ToolType tool, CPoint from, CPoint to)
    {
        view.SetCurrentToolType(tool);
        view.OnLButtonDown(MK_LBUTTON, from);
        view.OnMouseMove(MK_LBUTTON, to);
        view.OnLButtonUp(0, to);
    }
};

TEST(CropImageTool, CropsToThePartOfTheRectangleOnThePicture)
{
    Bench b;
    b.drag(toolCropImage, CPoint(30, 20), CPoint(60, 50)); // reaches past the corner
    EXPECT_TRUE(b.prompts->Texts().isEmpty());
    EXPECT_EQ(b.picture->GetImage()->GetSize(), CSize(10, 10));
    EXPECT_EQ(b.picture->m_position, CRect(0, 0, 10, 10));
    EXPECT_EQ(GreyPixelAt(b.picture->GetImage(), 0, 0), 30 * 4 + 20);
    EXPECT_EQ(GreyPixelAt(b.picture->GetImage(), 9, 9), 39 * 4 + 29);
    EXPECT_EQ(b.doc.captions, QStringList({"CCropImageTool::OnLButtonUp"}));
    EXPECT_TRUE(b.doc.IsModified());
    EXPECT_TRUE(b.view.ToolJustSelected());
    EXPECT_EQ(b.view.GetCurrentToolType(), toolCropImage); // the tool stays for the next crop

    // Dragged upwards to the left, the rectangle is normalised first.
    b.drag(toolCropImage, CPoint(8, 6), CPoint(2, 1));
    EXPECT_EQ(b.picture->GetImage()->GetSize(), CSize(6, 5));
    EXPECT_EQ(GreyPixelAt(b.picture->GetImage(), 0, 0), 32 * 4 + 21);
}

TEST(CropImageTool, RefusesWhatIsNotAPictureOrMissesIt)
{
    Bench b;
    auto *shape = new CDrawRectangle(CRect(5, 5, 20, 20));
    b.doc.Add(shape);
    b.doc.SetModifiedFlag(false);
    b.view.SelectObject(shape);
    b.drag(toolCropImage, CPoint(6, 6), CPoint(15, 15));
    b.view.DeselectAllObjects();
    // Outside the picture, and a plain click (an empty rectangle).
    b.drag(toolCropImage, CPoint(50, 40), CPoint(70, 60));
    b.drag(toolCropImage, CPoint(10, 10), CPoint(10, 10));
    EXPECT_EQ(b.prompts->Texts(),
              QStringList({"You can only crop an image!", "Could not crop and invalid selection!",
                           "Could not crop and invalid selection!"}));
    EXPECT_EQ(b.picture->GetImage()->GetSize(), CSize(40, 30));
    EXPECT_EQ(shape->m_position, CRect(5, 5, 20, 20));
    EXPECT_TRUE(b.doc.captions.isEmpty());
    EXPECT_FALSE(b.doc.IsModified());
}

TEST(CopyImageRectTool, AddsTheCopiedPartAsTheOnlySelectedObject)
{
    Bench b;
    b.drag(toolCopyImageRect, CPoint(5, 5), CPoint(15, 12));
    ASSERT_EQ(b.doc.GetObjects().size(), 2);
    auto *copy = dynamic_cast<CDrawImage *>(b.doc.GetObjects().last());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetImage()->GetSize(), CSize(10, 7));
    EXPECT_EQ(copy->m_position, CRect(5, 5, 15, 12)); // where its pixels came from
    EXPECT_EQ(GreyPixelAt(copy->GetImage(), 0, 0), 5 * 4 + 5);
    EXPECT_EQ(GreyPixelAt(copy->GetImage(), 9, 6), 14 * 4 + 11);
    EXPECT_EQ(b.view.GetSelectedObjects(), CDrawObjList({copy}));
    EXPECT_EQ(b.picture->GetImage()->GetSize(), CSize(40, 30));
    EXPECT_EQ(b.doc.captions, QStringList({"CCopyImageRectTool::OnLButtonUp"}));
    EXPECT_TRUE(b.doc.IsModified());

    // With the copy selected, a copy of the copy takes its pixels from it.
    b.drag(toolCopyImageRect, CPoint(10, 8), CPoint(40, 40));
    ASSERT_EQ(b.doc.GetObjects().size(), 3);
    auto *second = dynamic_cast<CDrawImage *>(b.doc.GetObjects().last());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->m_position, CRect(10, 8, 15, 12));
    EXPECT_EQ(GreyPixelAt(second->GetImage(), 0, 0), 10 * 4 + 8);

    // Nothing under the rectangle: nothing copied, nothing recorded.
    b.view.DeselectAllObjects();
    b.drag(toolCopyImageRect, CPoint(45, 35), CPoint(60, 50));
    EXPECT_EQ(b.prompts->Texts(), QStringList({"Copied nothing!"}));
    EXPECT_EQ(b.doc.GetObjects().size(), 3);
    EXPECT_EQ(b.doc.captions.size(), 2);
}

TEST(ImageTool, AClickRecordsThePointAndReturnsToSelection)
{
    Bench b;
    b.view.SetCurrentToolType(toolImage);
    b.view.OnLButtonDown(MK_LBUTTON, CPoint(12, 7));
    EXPECT_EQ(CDrawTool::c_pntLast, CPoint(12, 7));
    EXPECT_EQ(b.view.GetCurrentToolType(), toolSelect);
}

TEST(ImageProcessingListPP, ListsEveryHistoryEntryInOrder)
{
    EXPECT_EQ(
        ImageProcessingListPP::SplitHistory("{Crop}noise{Invert}{Rotatation of 90.00 Degrees}{cut"),
        QStringList({"{Crop}", "{Invert}", "{Rotatation of 90.00 Degrees}"}));
    std::unique_ptr<CDrawImage> picture(NewGreyPicture(8, 6, 4));
    picture->GetImage()->invertPixels();
    picture->GetImage()->flipVertical();
    ImageProcessingListPP page(picture->GetImage());
    ASSERT_EQ(page.GetList()->count(), 2);
    EXPECT_TRUE(page.GetList()->item(0)->text().startsWith('{'));
    EXPECT_EQ(page.GetList()->item(0)->text() + page.GetList()->item(1)->text(),
              picture->GetImage()->GetPreprocessStr());

    // The picture shows its history through the dialog the program installs.
    const std::unique_ptr<QDialog> dialog(CreateImageHistoryDialog(picture->GetImage(), nullptr));
    EXPECT_EQ(dialog->windowTitle(), "Processing history");
    auto *shown = dialog->findChild<ImageProcessingListPP *>();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->GetList()->count(), 2);
    TVFImage *asked = nullptr;
    CDrawImage::SetHistoryHandler([&asked](TVFImage *image) { asked = image; });
    picture->ShowHistory();
    CDrawImage::SetHistoryHandler({});
    EXPECT_EQ(asked, picture->GetImage());
}

} // namespace
