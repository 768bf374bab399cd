#include "testsupport/ArchiveTestSupport.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawPolygon.h"
#include "contracts/overlay/CDrawRectangle.h"
#include "contracts/overlay/COffscreenDrawView.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

// A decoration the user cannot pick.
class Unselectable : public CDrawRectangle
{
public:
    using CDrawRectangle::CDrawRectangle;
    bool CanBeSelected() const override { return false; }
};

struct ThreeObjects
{
    CDrawDocument doc;
    CDrawRectangle *a = new CDrawRectangle(CRect(0, 0, 10, 10));
    CDrawRectangle *b = new CDrawRectangle(CRect(5, 5, 20, 20), CDrawRectangle::ellipse);
    CDrawPolygon *c = new CDrawPolygon;

    ThreeObjects()
    {
        c->AddPoint(CPoint(1, 2));
        c->AddPoint(CPoint(30, 40));
        doc.Add(a);
        doc.Add(b);
        doc.Add(c);
    }
};

TEST(ObjectList, StoredWithClassTagsOnceAndReadBack)
{
    ThreeObjects src;
    const QByteArray bytes = storeBytes([&](CArchive &ar) { src.doc.SerializeObjects(ar); });

    // count 3; first object: new class tag with its name; second: class back reference.
    EXPECT_EQ(bytes.left(6), hex("0300" "ffff" "0000"));
    EXPECT_EQ(bytes.mid(6, 2), hex("0e00"));
    EXPECT_EQ(bytes.mid(8, 14), QByteArray("CDrawRectangle"));
    const qsizetype second = 2 + 6 + 14 + 40; // count, tag, name, object
    EXPECT_EQ(bytes.mid(second, 2), hex("0180")); // class index 1
    EXPECT_EQ(bytes.count("CDrawRectangle"), 1);
    EXPECT_EQ(bytes.count("CDrawPolygon"), 1);

    CDrawDocument dst;
    dst.Add(new CDrawRectangle(CRect(7, 7, 8, 8))); // replaced by the load
    COffscreenDrawView view(&dst);
    view.SelectObject(dst.GetObjects().first());
    loadBytes(bytes, [&](CArchive &ar) { dst.SerializeObjects(ar); });

    ASSERT_EQ(dst.GetObjects().size(), 3);
    EXPECT_TRUE(view.GetSelectedObjects().isEmpty());
    const CDrawObjList &objs = dst.GetObjects();
    EXPECT_TRUE(*objs[0] == *src.a);
    EXPECT_TRUE(*objs[1] == *src.b);
    EXPECT_TRUE(*objs[2] == *src.c);
    EXPECT_EQ(objs[2]->GetRuntimeClass(), RUNTIME_CLASS(CDrawPolygon));
    for (CDrawObject *obj : objs)
        EXPECT_EQ(obj->GetDocument(), &dst);
}

TEST(ObjectList, DamagedListsLeaveNothingBehind)
{
    ThreeObjects src;
    const QByteArray bytes = storeBytes([&](CArchive &ar) { src.doc.SerializeObjects(ar); });
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        CDrawObjList list;
        EXPECT_THROW(loadBytes(bytes.left(n),
                               [&](CArchive &ar) { CDrawDocument::LoadObjectList(ar, list); }),
                     CArchiveException)
            << "prefix of " << n << " bytes";
        EXPECT_TRUE(list.isEmpty());
    }

    // A count far beyond the input is refused before anything is read.
    try {
        loadBytes(hex("ffff" "00000100" "0000"), [](CArchive &ar) {
            CDrawObjList list;
            CDrawDocument::LoadObjectList(ar, list);
        });
        FAIL() << "count accepted";
    } catch (const CArchiveException &e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }

    // A document whose load fails keeps its objects.
    CDrawDocument doc;
    doc.Add(new CDrawRectangle(CRect(1, 1, 2, 2)));
    EXPECT_THROW(loadBytes(bytes.left(bytes.size() - 1),
                           [&](CArchive &ar) { doc.SerializeObjects(ar); }),
                 CArchiveException);
    EXPECT_EQ(doc.GetObjects().size(), 1);
}

TEST(ObjectList, SharedEntriesNeverBecomeDoubleOwners)
{
    // The same object listed twice would have two owners: the list is refused
    // and nothing read stays behind.
    CDrawRectangle shared(CRect(0, 0, 4, 4));
    const QByteArray twice = storeBytes([&](CArchive &ar) {
        CDrawDocument::StoreObjectList(ar, CDrawObjList{&shared, &shared});
    });
    CDrawObjList list;
    EXPECT_THROW(loadBytes(twice, [&](CArchive &ar) { CDrawDocument::LoadObjectList(ar, list); }),
                 CArchiveException);
    EXPECT_TRUE(list.isEmpty());

    // An entry referring to an object read before the list belongs to someone else.
    CDrawRectangle outside(CRect(0, 0, 4, 4));
    const QByteArray foreign = storeBytes([&](CArchive &ar) {
        ar.WriteObject(&outside);
        CDrawDocument::StoreObjectList(ar, CDrawObjList{&outside});
    });
    loadBytes(foreign, [&](CArchive &ar) {
        std::unique_ptr<CObject> first(ar.ReadObject());
        CDrawObjList l;
        try {
            CDrawDocument::LoadObjectList(ar, l);
            FAIL() << "foreign reference accepted";
        } catch (const CArchiveException &e) {
            EXPECT_EQ(e.m_cause, CArchiveException::badIndex);
        }
        EXPECT_TRUE(l.isEmpty());
    });
}

TEST(DrawDocument, EmbeddedItemPartIsAnEmptyCount)
{
    CDrawDocument doc;
    EXPECT_EQ(storeBytes([&](CArchive &ar) { doc.Serialize(ar); }), hex("00000000"));
    EXPECT_NO_THROW(loadBytes(hex("00000000"), [&](CArchive &ar) { doc.Serialize(ar); }));
    try {
        loadBytes(hex("01000000"), [&](CArchive &ar) { doc.Serialize(ar); });
        FAIL() << "embedded items accepted";
    } catch (const CArchiveException &e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badSchema);
    }
}

TEST(DrawDocument, AddRemoveObjectAtAndViews)
{
    CDrawDocument doc;
    COffscreenDrawView view(&doc);
    COffscreenDrawView other(&doc);
    ASSERT_EQ(doc.GetViews().size(), 2);
    EXPECT_EQ(doc.GetFirstView(), &view);

    auto *below = new CDrawRectangle(CRect(0, 0, 100, 100));
    auto *above = new CDrawRectangle(CRect(40, 40, 60, 60));
    auto *decoration = new Unselectable(CRect(45, 45, 55, 55));
    doc.Add(below);
    doc.Add(above);
    doc.Add(decoration);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(above->GetDocument(), &doc);

    EXPECT_EQ(doc.ObjectAt(CPoint(50, 50)), above); // topmost selectable
    EXPECT_EQ(doc.ObjectAt(CPoint(10, 10)), below);
    EXPECT_EQ(doc.ObjectAt(CPoint(150, 10)), nullptr);

    // Repaints reach every view but the sender.
    view.ClearInvalidated();
    other.ClearInvalidated();
    doc.UpdateAllViews(&view, CDrawView::HintUpdateObject, above);
    EXPECT_TRUE(view.GetInvalidatedRects().isEmpty());
    ASSERT_EQ(other.GetInvalidatedRects().size(), 1);
    EXPECT_TRUE(other.GetInvalidatedRects().first().PtInRect(CPoint(50, 50)));
    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(view.GetFullInvalidations(), 1);

    // Removing gives the object back and drops it from every selection.
    view.SelectObject(above);
    other.SelectObject(above);
    doc.Remove(above);
    EXPECT_FALSE(doc.GetObjects().contains(above));
    EXPECT_FALSE(view.IsObjectSelected(above));
    EXPECT_FALSE(other.IsObjectSelected(above));
    EXPECT_EQ(doc.ObjectAt(CPoint(50, 50)), below);
    delete above;

    doc.SetPathName(QStringLiteral("/tmp/gels/run 7.dsr"));
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("run 7.dsr"));

    doc.RemoveAllObjects();
    EXPECT_TRUE(doc.GetObjects().isEmpty());
}

TEST(DrawDocument, ViewsAndDocumentDetachCleanly)
{
    auto doc = std::make_unique<CDrawDocument>();
    COffscreenDrawView survivor(doc.get());
    {
        COffscreenDrawView transient(doc.get());
        EXPECT_EQ(doc->GetViews().size(), 2);
    }
    EXPECT_EQ(doc->GetViews().size(), 1);
    auto *obj = new CDrawRectangle(CRect(0, 0, 5, 5));
    doc->Add(obj);
    survivor.SelectObject(obj);
    doc.reset();
    EXPECT_EQ(survivor.GetDocument(), nullptr);
    EXPECT_TRUE(survivor.GetSelectedObjects().isEmpty());

    CDrawDocument first;
    CDrawDocument second;
    survivor.SetDocument(&first);
    survivor.SetDocument(&second);
    EXPECT_TRUE(first.GetViews().isEmpty());
    EXPECT_EQ(second.GetFirstView(), &survivor);
}

} // namespace
