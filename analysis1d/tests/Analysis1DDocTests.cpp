#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/BackgroundArea.h"
#include "analysis1d/engine/DyeFront.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/LoadingWells.h"
#include "analysis1d/engine/UserDrawnBand.h"

#include "platform/CArchive.h"
#include "platform/ProfileStore.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <memory>

namespace {

const CRect kImage(0, 0, 500, 400);
const CRect kArea(40, 30, 240, 330);

// Every test gets a settings store of its own: the document's options read it
// when it is made and write it when it goes away.
class Analysis1DDocTest : public testing::Test
{
protected:
    void SetUp() override
    {
        auto store = std::make_unique<MemoryProfileStore>();
        m_store = store.get();
        m_previous = ProfileStore::install(std::move(store));
    }
    void TearDown() override { ProfileStore::install(std::move(m_previous)); }

    // One shape of every kind, the area first, as an analysis leaves them.
    void addOneOfEach(Analysis1DDoc &doc)
    {
        doc.Add(new AnalysisArea(kArea, kImage));
        doc.Add(new BackgroundArea(CRect(50, 40, 90, 80), kArea));
        doc.Add(new ExampleBand(CRect(60, 100, 90, 110), kArea));
        doc.Add(new DyeFront(CRect(40, 320, 240, 320), kArea));
        doc.Add(new LoadingWells(CRect(40, 40, 240, 40), kArea));
        doc.Add(new UserDrawnBand(CRect(100, 150, 130, 160), kArea));
        doc.Add(new UserDrawnBand(CRect(140, 150, 170, 160), kArea));
        doc.Add(new CDrawRectangleBound(CRect(0, 0, 10, 10), CRect()));
    }

    MemoryProfileStore *m_store = nullptr;
    std::unique_ptr<ProfileStore> m_previous;
};

TEST_F(Analysis1DDocTest, IsCreatedDynamicallyByName)
{
    const CRuntimeClass *cls = CRuntimeClass::FromName("Analysis1DDoc");
    ASSERT_NE(cls, nullptr);
    std::unique_ptr<CObject> obj(cls->CreateObject());
    ASSERT_TRUE(obj);
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CDensoraDoc)));
    auto *doc = dynamic_cast<Analysis1DDoc *>(obj.get());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetAnalysis(), nullptr);
    EXPECT_EQ(doc->GetSaveAsRequired(), 0);
}

TEST_F(Analysis1DDocTest, GettersFindEachKindAndNothingWhenAbsent)
{
    Analysis1DDoc doc;
    EXPECT_EQ(doc.GetAnalysisArea(), nullptr);
    EXPECT_EQ(doc.GetBackgroundArea(), nullptr);
    EXPECT_EQ(doc.GetExampleBand(), nullptr);
    EXPECT_EQ(doc.GetDyeFront(), nullptr);
    EXPECT_EQ(doc.GetLoadingWells(), nullptr);
    EXPECT_EQ(doc.GetLastUserDrawBand(), nullptr);
    EXPECT_TRUE(doc.GetAllUserDrawBands().isEmpty());

    addOneOfEach(doc);
    const CDrawObjList &objects = doc.GetObjects();
    EXPECT_EQ(doc.GetAnalysisArea(), objects[0]);
    EXPECT_EQ(doc.GetBackgroundArea(), objects[1]);
    EXPECT_EQ(doc.GetExampleBand(), objects[2]);
    EXPECT_EQ(doc.GetDyeFront(), objects[3]);
    EXPECT_EQ(doc.GetLoadingWells(), objects[4]);
    EXPECT_EQ(doc.GetLastUserDrawBand(), objects[6]);
    const QList<UserDrawnBand *> bands = doc.GetAllUserDrawBands();
    ASSERT_EQ(bands.size(), 2);
    EXPECT_EQ(bands[0], objects[5]);
    EXPECT_EQ(bands[1], objects[6]);
}

TEST_F(Analysis1DDocTest, TheLastAddedShapeOfAKindIsInForce)
{
    Analysis1DDoc doc;
    auto *first = new AnalysisArea(kArea, kImage);
    auto *second = new AnalysisArea(CRect(10, 10, 100, 100), kImage);
    auto *dyeFront = new DyeFront(CRect(40, 320, 240, 320), kArea);
    doc.Add(first);
    doc.Add(dyeFront);
    doc.Add(second);
    EXPECT_EQ(doc.GetAnalysisArea(), second);

    // Removing takes the one in force; the older one is then found again.
    doc.RemoveAnlaysisArea();
    EXPECT_EQ(doc.GetAnalysisArea(), first);
    EXPECT_FALSE(doc.GetObjects().contains(second));
    EXPECT_EQ(doc.GetDyeFront(), dyeFront);
}

TEST_F(Analysis1DDocTest, RemoversTakeOnlyTheirKind)
{
    Analysis1DDoc doc;
    addOneOfEach(doc);
    const qsizetype all = doc.GetObjects().size();

    doc.RemoveDyeFront();
    EXPECT_EQ(doc.GetDyeFront(), nullptr);
    EXPECT_EQ(doc.GetObjects().size(), all - 1);
    EXPECT_NE(doc.GetLoadingWells(), nullptr);

    doc.RemoveLoadingWells();
    EXPECT_EQ(doc.GetLoadingWells(), nullptr);
    EXPECT_EQ(doc.GetObjects().size(), all - 2);

    doc.RemoveExampleBand();
    EXPECT_EQ(doc.GetExampleBand(), nullptr);
    EXPECT_EQ(doc.GetObjects().size(), all - 3);

    doc.RemoveBackgroundArea();
    EXPECT_EQ(doc.GetBackgroundArea(), nullptr);
    EXPECT_EQ(doc.GetObjects().size(), all - 4);

    doc.DeleteAllUserDrawnBands();
    EXPECT_TRUE(doc.GetAllUserDrawBands().isEmpty());
    EXPECT_EQ(doc.GetObjects().size(), all - 6);

    doc.RemoveAnlaysisArea();
    EXPECT_EQ(doc.GetAnalysisArea(), nullptr);

    // Only the shape of another kind is left; removing absent shapes is harmless.
    ASSERT_EQ(doc.GetObjects().size(), 1);
    EXPECT_EQ(doc.GetObjects()[0]->GetRuntimeClass(), RUNTIME_CLASS(CDrawRectangleBound));
    doc.RemoveAnlaysisArea();
    doc.RemoveDyeFront();
    doc.DeleteAllUserDrawnBands();
    EXPECT_EQ(doc.GetObjects().size(), 1);
}

TEST_F(Analysis1DDocTest, Logical2AnalysisSubtractsTheAreaTopLeft)
{
    Analysis1DDoc doc;
    CPoint p(100, 200);
    doc.Logical2Analysis(p);
    EXPECT_EQ(p, CPoint(100, 200)); // no area: unchanged

    doc.Add(new AnalysisArea(kArea, kImage));
    doc.Logical2Analysis(p);
    EXPECT_EQ(p, CPoint(60, 170));
    doc.Analysis2Logical(p);
    EXPECT_EQ(p, CPoint(100, 200));

    CRect r(40, 30, 50, 45);
    doc.Logical2Analysis(r);
    EXPECT_EQ(r, CRect(0, 0, 10, 15));
    doc.Analysis2Logical(r);
    EXPECT_EQ(r, CRect(40, 30, 50, 45));

    // The area in force after a move is the one used.
    doc.GetAnalysisArea()->MoveTo(CRect(10, 5, 210, 305), nullptr);
    CPoint q(10, 5);
    doc.Logical2Analysis(q);
    EXPECT_EQ(q, CPoint(0, 0));
}

TEST_F(Analysis1DDocTest, ReferenceLineDistancesComeFromTheShapes)
{
    Analysis1DDoc doc;
    // Defaults of the general options until the user places lines.
    EXPECT_EQ(doc.GetDyeFrontDistance(), 10);
    EXPECT_EQ(doc.GetWellDistance(), 10);

    doc.Add(new AnalysisArea(kArea, kImage));
    auto *dyeFront = new DyeFront(CRect(40, 320, 240, 320), kArea);
    auto *wells = new LoadingWells(CRect(40, 40, 240, 40), kArea);
    doc.Add(dyeFront);
    doc.Add(wells);
    dyeFront->MoveTo(CRect(45, 249, 235, 270), nullptr); // centre row 259 (truncated)
    wells->MoveTo(CRect(45, 60, 235, 81), nullptr); // centre row 70
    doc.StoreReferenceLineDistances();
    EXPECT_EQ(doc.GetDyeFrontDistance(), 330 - 259);
    EXPECT_EQ(doc.GetWellDistance(), 70 - 30);

    // Without the lines nothing changes.
    doc.RemoveDyeFront();
    doc.RemoveLoadingWells();
    doc.StoreReferenceLineDistances();
    EXPECT_EQ(doc.GetDyeFrontDistance(), 71);
    EXPECT_EQ(doc.GetWellDistance(), 40);
}

TEST_F(Analysis1DDocTest, DistancesAreKeptAsTheUsersDefaultOffsets)
{
    m_store->WriteSectionInt("Analysis1D.GeneralOptions", "m_WellOffsetFromTop", 33);
    {
        Analysis1DDoc doc;
        EXPECT_EQ(doc.GetWellDistance(), 33);
        EXPECT_EQ(doc.GetAnalysisOptions().m_GeneralOptions.m_WellOffsetFromTop, 33);
        doc.SetDyeFrontDistance(25);
        doc.SetWellDistance(12);
    }
    EXPECT_EQ(m_store->GetSectionInt("Analysis1D.GeneralOptions", "m_DyeFrontOffsetFromBottom", 0),
              25);
    EXPECT_EQ(m_store->GetSectionInt("Analysis1D.GeneralOptions", "m_WellOffsetFromTop", 0), 12);
}

TEST_F(Analysis1DDocTest, ObjectAtPicksTheTopmostVisibleShape)
{
    Analysis1DDoc doc;
    auto *area = new AnalysisArea(kArea, kImage);
    auto *example = new ExampleBand(CRect(60, 100, 90, 110), kArea);
    doc.Add(area);
    doc.Add(example);
    EXPECT_EQ(doc.ObjectAt(CPoint(70, 105)), example);
    EXPECT_EQ(doc.ObjectAt(CPoint(200, 200)), area);
    EXPECT_EQ(doc.ObjectAt(CPoint(450, 380)), nullptr);
    example->m_visible = 0; // hidden once the set-up wizard ends
    EXPECT_EQ(doc.ObjectAt(CPoint(70, 105)), area);
}

TEST_F(Analysis1DDocTest, ObjectListReadBackRestoresKindsAndDefaults)
{
    Analysis1DDoc doc;
    addOneOfEach(doc);
    doc.GetDyeFront()->m_lineColor = 0x000080FF; // orange for darker bands
    doc.GetAnalysisArea()->SetEditable(false);
    doc.GetExampleBand()->m_visible = 0;

    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        CArchive ar(&buffer, CArchive::store);
        doc.SerializeObjects(ar);
        ar.Close();
    }
    Analysis1DDoc other;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        CArchive ar(&buffer, CArchive::load);
        other.SerializeObjects(ar);
    }
    ASSERT_EQ(other.GetObjects().size(), doc.GetObjects().size());
    ASSERT_NE(other.GetAnalysisArea(), nullptr);
    EXPECT_EQ(other.GetAnalysisArea()->GetPosition(), kArea);
    EXPECT_FALSE(other.GetAnalysisArea()->IsEditable());
    ASSERT_NE(other.GetDyeFront(), nullptr);
    EXPECT_EQ(other.GetDyeFront()->m_lineColor, DyeFront::c_lineColor);
    EXPECT_EQ(other.GetDyeFront()->GetPosition(), doc.GetDyeFront()->GetPosition());
    ASSERT_NE(other.GetLoadingWells(), nullptr);
    EXPECT_EQ(other.GetLoadingWells()->m_nLabelOffsetY, -4);
    ASSERT_NE(other.GetExampleBand(), nullptr);
    EXPECT_EQ(other.GetExampleBand()->m_visible, 1);
    EXPECT_NE(other.GetBackgroundArea(), nullptr);
    EXPECT_EQ(other.GetAllUserDrawBands().size(), 2);
    for (CDrawObject *obj : other.GetObjects())
        EXPECT_EQ(obj->GetDocument(), &other);

    CPoint p(40, 30);
    other.Logical2Analysis(p);
    EXPECT_EQ(p, CPoint(0, 0));
}

} // namespace
