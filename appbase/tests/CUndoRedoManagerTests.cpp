#include "appbase/CDensoraDoc.h"
#include "appbase/CUndoRedoManager.h"

#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"

#include "contracts/overlay/CDrawRectangle.h"
#include "contracts/overlay/COffscreenDrawView.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

namespace {

CDrawRectangle *addRect(CDensoraDoc &doc, const CRect &r)
{
    auto *rect = new CDrawRectangle(r);
    doc.Add(rect);
    return rect;
}

QList<CRect> positions(const CDrawObjList &list)
{
    QList<CRect> out;
    for (const CDrawObject *obj : list)
        out << obj->GetPosition();
    return out;
}

} // namespace

TEST(CUndoRedoManager, NothingToUndoOrRedoChangesNothing)
{
    CDensoraDoc doc;
    addRect(doc, CRect(0, 0, 5, 5));
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(doc.CanRedo());
    doc.Undo();
    doc.Redo();
    EXPECT_EQ(positions(doc.GetObjects()), QList<CRect> {CRect(0, 0, 5, 5)});
    EXPECT_TRUE(doc.GetActionStorage().empty());
}

TEST(CUndoRedoManager, UndoBringsADeletedObjectBackAndRedoRemovesItAgain)
{
    CDensoraDoc doc;
    addRect(doc, CRect(0, 0, 5, 5));
    CDrawRectangle *victim = addRect(doc, CRect(10, 10, 20, 30));

    doc.SaveActionStartEnd(QStringLiteral("Delete"));
    victim->Remove();
    ASSERT_EQ(doc.GetObjects().size(), 1);

    ASSERT_TRUE(doc.CanUndo());
    doc.Undo();
    EXPECT_EQ(positions(doc.GetObjects()),
              (QList<CRect> {CRect(0, 0, 5, 5), CRect(10, 10, 20, 30)}));
    for (CDrawObject *obj : doc.GetObjects())
        EXPECT_EQ(obj->GetDocument(), &doc);
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_TRUE(doc.CanRedo());
    EXPECT_TRUE(doc.IsModified());

    doc.Redo();
    EXPECT_EQ(positions(doc.GetObjects()), QList<CRect> {CRect(0, 0, 5, 5)});
    EXPECT_FALSE(doc.CanRedo());
    EXPECT_TRUE(doc.CanUndo());

    // And back once more: one stored step serves both directions.
    doc.Undo();
    EXPECT_EQ(doc.GetObjects().size(), 2);
}

TEST(CUndoRedoManager, NewStepAfterUndoDiscardsTheRedoSteps)
{
    CDensoraDoc doc;
    CDrawRectangle *rect = addRect(doc, CRect(0, 0, 5, 5));
    doc.SaveActionStartEnd(QStringLiteral("one"));
    rect->Offset(1, 0);
    doc.SaveActionStartEnd(QStringLiteral("two"));
    doc.GetObjects().first()->Offset(1, 0);
    ASSERT_EQ(doc.GetActionStorage().size(), 2u);

    doc.Undo();
    EXPECT_TRUE(doc.CanRedo());
    doc.SaveActionStartEnd(QStringLiteral("three"));
    EXPECT_EQ(doc.GetActionStorage().size(), 2u);
    EXPECT_EQ(doc.GetUndoRedoManager().GetCurrent(), 2);
    EXPECT_FALSE(doc.CanRedo());

    // The same through Start / Group / End.
    doc.Undo();
    doc.SaveActionStart(QStringLiteral("four"));
    doc.SaveActionGroup(QStringLiteral("four"));
    doc.SaveActionEnd(QStringLiteral("four"));
    EXPECT_EQ(doc.GetActionStorage().size(), 2u);
    EXPECT_FALSE(doc.CanRedo());
}

TEST(CUndoRedoManager, CancelAndUnopenedActionsAddNothing)
{
    CDensoraDoc doc;
    addRect(doc, CRect(0, 0, 5, 5));
    CUndoRedoManager &manager = doc.GetUndoRedoManager();

    doc.SaveActionStart(QStringLiteral("drag"));
    doc.SaveActionGroup(QStringLiteral("drag"));
    EXPECT_TRUE(manager.HasPendingAction());
    doc.SaveActionCancel(QStringLiteral("drag"));
    EXPECT_FALSE(manager.HasPendingAction());
    EXPECT_TRUE(doc.GetActionStorage().empty());

    // End and Group without a Start are ignored.
    doc.SaveActionGroup(QStringLiteral("stray"));
    doc.SaveActionEnd(QStringLiteral("stray"));
    EXPECT_TRUE(doc.GetActionStorage().empty());
    EXPECT_FALSE(doc.CanUndo());

    // A Start forgotten before a StartEnd is dropped, not stored.
    doc.SaveActionStart(QStringLiteral("forgotten"));
    doc.SaveActionStartEnd(QStringLiteral("one-shot"));
    EXPECT_EQ(doc.GetActionStorage().size(), 1u);
    EXPECT_FALSE(manager.HasPendingAction());

    // Unknown action values act as Group.
    doc.SaveActionStart(QStringLiteral("odd"));
    manager.Save(QStringLiteral("odd"), 17);
    doc.SaveActionEnd(QStringLiteral("odd"));
    ASSERT_EQ(doc.GetActionStorage().size(), 2u);
    EXPECT_EQ(doc.GetActionStorage().back().objects->size(), 1);
}

TEST(CUndoRedoManager, StepsKeepTheCaptionTheyWereOpenedWith)
{
    CDensoraDoc doc;
    CDrawRectangle *rect = addRect(doc, CRect(0, 0, 5, 5));
    const CUndoRedoManager &manager = doc.GetUndoRedoManager();
    EXPECT_TRUE(manager.GetUndoCaption().isEmpty());
    EXPECT_TRUE(manager.GetRedoCaption().isEmpty());

    doc.SaveActionStartEnd(QStringLiteral("Delete Band"));
    rect->Offset(1, 0);
    // The caption of the Start names the step, not that of the End.
    doc.SaveActionStart(QStringLiteral("Move"));
    doc.SaveActionGroup(QStringLiteral("Move"));
    doc.GetObjects().first()->Offset(1, 0);
    doc.SaveActionEnd(QStringLiteral("closing"));
    // A cancelled action leaves no caption behind.
    doc.SaveActionStart(QStringLiteral("Drag"));
    doc.SaveActionCancel(QStringLiteral("Drag"));
    EXPECT_EQ(manager.GetUndoCaption(), QStringLiteral("Move"));
    EXPECT_TRUE(manager.GetRedoCaption().isEmpty());

    doc.Undo();
    EXPECT_EQ(manager.GetUndoCaption(), QStringLiteral("Delete Band"));
    EXPECT_EQ(manager.GetRedoCaption(), QStringLiteral("Move"));
    doc.Undo();
    EXPECT_TRUE(manager.GetUndoCaption().isEmpty());
    EXPECT_EQ(manager.GetRedoCaption(), QStringLiteral("Delete Band"));

    // A new step drops the redo steps and their captions.
    doc.Redo();
    doc.SaveActionStartEnd(QStringLiteral("Add Lane"));
    EXPECT_EQ(manager.GetUndoCaption(), QStringLiteral("Add Lane"));
    EXPECT_TRUE(manager.GetRedoCaption().isEmpty());
    ASSERT_EQ(manager.GetActionStorage().size(), 2u);
    EXPECT_EQ(manager.GetActionStorage().front().caption, QStringLiteral("Delete Band"));
}

TEST(CUndoRedoManager, GroupedMoveIsUndoneToTheOldPlace)
{
    CDensoraDoc doc;
    CDrawRectangle *rect = addRect(doc, CRect(10, 10, 20, 20));
    doc.SaveActionStart(QStringLiteral("move"));
    doc.SaveActionGroup(QStringLiteral("move"));
    rect->MoveTo(CRect(40, 50, 50, 60), nullptr);
    doc.SaveActionEnd(QStringLiteral("move"));

    doc.Undo();
    EXPECT_EQ(positions(doc.GetObjects()), QList<CRect> {CRect(10, 10, 20, 20)});
    doc.Redo();
    EXPECT_EQ(positions(doc.GetObjects()), QList<CRect> {CRect(40, 50, 50, 60)});
}

TEST(CUndoRedoManager, StepsHoldTheirOwnCopies)
{
    CDensoraDoc doc;
    CDrawRectangle *rect = addRect(doc, CRect(0, 0, 4, 4));
    doc.SaveActionStartEnd(QStringLiteral("snap"));
    const CDrawObjList &step = *doc.GetActionStorage().front().objects;
    ASSERT_EQ(step.size(), 1);
    EXPECT_NE(step.first(), rect);
    EXPECT_EQ(step.first()->GetDocument(), nullptr);
    // Later changes to the document do not reach the stored step.
    rect->Offset(3, 3);
    EXPECT_EQ(step.first()->GetPosition(), CRect(0, 0, 4, 4));
}

TEST(CUndoRedoManager, UndoEmptiesSelectionsAndRepaints)
{
    CDensoraDoc doc;
    CDrawRectangle *rect = addRect(doc, CRect(0, 0, 4, 4));
    COffscreenDrawView view(&doc);
    view.SelectObject(rect);
    doc.SaveActionStartEnd(QStringLiteral("snap"));
    rect->Offset(1, 1);
    view.ClearInvalidated();

    doc.Undo();
    EXPECT_TRUE(view.GetSelectedObjects().isEmpty());
    EXPECT_GE(view.GetFullInvalidations(), 1);
}

TEST(CUndoRedoManager, PictureEditIsUndone)
{
    CDensoraDoc doc;
    auto *image = new CDrawImage;
    ASSERT_EQ(image->Create(6, 4, 8, nullptr), 1);
    doc.Add(image);
    addRect(doc, CRect(1, 1, 3, 3));

    // As an image command does it: Start, Group, change, End.
    doc.SaveActionStart(QStringLiteral("Rotate 90° Clockwise"));
    doc.SaveActionGroup(QStringLiteral("Rotate 90° Clockwise"));
    ASSERT_TRUE(doc.GetImage()->rotate(90));
    doc.GetDrawImage()->SizeToImage();
    doc.SaveActionEnd(QStringLiteral("Rotate 90° Clockwise"));
    EXPECT_EQ(doc.GetDrawImage()->GetPosition(), CRect(0, 0, 4, 6));

    doc.Undo();
    ASSERT_NE(doc.GetDrawImage(), nullptr);
    EXPECT_EQ(doc.GetImage()->getWidth(), 6u);
    EXPECT_EQ(doc.GetDrawImage()->GetPosition(), CRect(0, 0, 6, 4));
    EXPECT_TRUE(doc.GetImage()->GetPreprocessStr().isEmpty());

    doc.Redo();
    EXPECT_EQ(doc.GetImage()->getWidth(), 4u);
    EXPECT_FALSE(doc.GetImage()->GetPreprocessStr().isEmpty());
}

TEST(CUndoRedoManager, StorageHelpers)
{
    CDensoraDoc doc;
    addRect(doc, CRect(0, 0, 1, 1));
    CUndoRedoManager &manager = doc.GetUndoRedoManager();
    for (int i = 0; i < 3; ++i) {
        doc.SaveActionStartEnd(QStringLiteral("step"));
        doc.GetObjects().first()->Offset(1, 0);
    }
    EXPECT_EQ(manager.GotoStorage(-1), -1);
    EXPECT_EQ(manager.GotoStorage(0), 0);
    EXPECT_EQ(manager.GotoStorage(2), 2);
    EXPECT_EQ(manager.GotoStorage(3), -1);
    EXPECT_THROW(manager.GotoStorage(4), CInvalidArgException);

    // Dropping the last two steps leaves one that can be undone.
    manager.DeleteStorage(1);
    EXPECT_EQ(manager.GetActionStorage().size(), 1u);
    EXPECT_EQ(manager.GetCurrent(), 1);
    manager.DeleteStorage(-1);
    EXPECT_EQ(manager.GetActionStorage().size(), 1u);

    CDrawObjList copy;
    CUndoRedoManager::CopyStorage(doc.GetObjects(), copy);
    ASSERT_EQ(copy.size(), 1);
    EXPECT_NE(copy.first(), doc.GetObjects().first());
    EXPECT_EQ(copy.first()->GetPosition(), doc.GetObjects().first()->GetPosition());
    CUndoRedoManager::DeleteItems(copy);
    EXPECT_TRUE(copy.isEmpty());

    // A new document's history is empty.
    doc.DeleteContents();
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_TRUE(doc.GetActionStorage().empty());
}
