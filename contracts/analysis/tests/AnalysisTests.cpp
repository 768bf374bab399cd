#include "testsupport/ArchiveTestSupport.h"

#include "contracts/analysis/Analysis.h"
#include "contracts/analysis/AnalysisOverlay.h"
#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/COffscreenDrawView.h"
#include "contracts/overlay/CSelectTool.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

// An analysis as the 1D analysis builds it: version 4 set by the constructor, a
// part of its own after the base part.
class SampleAnalysis : public Analysis
{
public:
    SampleAnalysis() { m_nVersion = 4; }
    int32_t payload = 0;
    void Serialize(CArchive &ar) override
    {
        Analysis::Serialize(ar);
        if (ar.IsStoring())
            ar << payload;
        else if (m_nVersion == 4)
            ar >> payload;
    }
};

TEST(AnalysisBase, StoresItsVersionFirstAndReadsItBack)
{
    SampleAnalysis stored;
    stored.payload = 77;
    const QByteArray bytes = storeBytes([&](CArchive &ar) { stored.Serialize(ar); });
    EXPECT_EQ(bytes, hex("0100" "04000000" "4d000000"));

    SampleAnalysis read;
    read.SetVersion(0);
    loadBytes(bytes, [&](CArchive &ar) { read.Serialize(ar); });
    EXPECT_EQ(read.GetVersion(), 4);
    EXPECT_EQ(read.payload, 77);

    // An older analysis brings its own version for the derived part to act on.
    SampleAnalysis old;
    loadBytes(hex("0100" "03000000"), [&](CArchive &ar) { old.Serialize(ar); });
    EXPECT_EQ(old.GetVersion(), 3);
    EXPECT_EQ(old.payload, 0);

    for (qsizetype n = 0; n < 6; ++n) {
        SampleAnalysis cut;
        EXPECT_THROW(loadBytes(bytes.left(n), [&](CArchive &ar) { cut.Serialize(ar); }),
                     CArchiveException);
    }
    EXPECT_THROW(loadBytes(hex("0200" "04000000"), [&](CArchive &ar) { old.Serialize(ar); }),
                 CArchiveException);

    EXPECT_TRUE(stored.IsKindOf(RUNTIME_CLASS(Analysis)));
    EXPECT_EQ(stored.GetAnalysisImage(), nullptr);
    int stand_in = 0; // the image is only recorded, never touched here
    auto *image = reinterpret_cast<TVFImage *>(&stand_in);
    stored.SetAnalysisImage(image);
    EXPECT_EQ(stored.GetAnalysisImage(), image);
}

// A reader looks at the stored version first and still reads the analysis
// whole afterwards; a cut base part gives no version.
TEST(AnalysisBase, StoredVersionIsSeenWithoutReadingIt)
{
    SampleAnalysis stored;
    stored.payload = 5;
    const QByteArray bytes = storeBytes([&](CArchive &ar) { stored.Serialize(ar); });
    loadBytes(bytes, [&](CArchive &ar) {
        EXPECT_EQ(Analysis::PeekStoredVersion(ar), std::optional<int>(4));
        SampleAnalysis read;
        read.Serialize(ar);
        EXPECT_EQ(read.payload, 5);
    });
    loadBytes(hex("0100" "07000000"),
              [](CArchive &ar) { EXPECT_EQ(Analysis::PeekStoredVersion(ar), std::optional<int>(7)); });
    for (qsizetype n = 0; n < 6; ++n) {
        loadBytes(bytes.left(n),
                  [](CArchive &ar) { EXPECT_EQ(Analysis::PeekStoredVersion(ar), std::nullopt); });
    }
}

// A lane-like overlay: 10 wide, the full height of a 200 x 200 analysis area at (100, 50).
AnalysisOverlay laneAt(int left)
{
    AnalysisOverlay lane(CRect(left, 0, left + 10, 200), CRect(0, 0, 200, 200),
                         CRect(100, 50, 300, 250));
    lane.SetLineColor(RGB(255, 0, 0), false);
    return lane;
}

TEST(AnalysisOverlay, ConvertsBetweenGelAndAnalysisCoordinates)
{
    const AnalysisOverlay lane = laneAt(5);
    CPoint p(110, 60);
    lane.Logical2Analysis(p);
    EXPECT_EQ(p, CPoint(10, 10));
    lane.Analysis2Logical(p);
    EXPECT_EQ(p, CPoint(110, 60));
    CRect r(0, 0, 10, 20);
    lane.Analysis2Logical(r);
    EXPECT_EQ(r, CRect(100, 50, 110, 70));
    lane.Logical2Analysis(r);
    EXPECT_EQ(r, CRect(0, 0, 10, 20));
    EXPECT_EQ(lane.GetLogicalPosition(), CRect(105, 50, 115, 250));
}

TEST(AnalysisOverlay, HitsMovesAndRepaintsAtItsGelPosition)
{
    AnalysisOverlay lane = laneAt(5);
    EXPECT_EQ(lane.HitTest(CPoint(110, 60), false), 1);
    EXPECT_EQ(lane.HitTest(CPoint(10, 10), false), 0); // its analysis position means nothing on the gel
    EXPECT_EQ(lane.HitTest(CPoint(115, 250), true), 5);
    CRect gel(100, 40, 120, 60);
    CRect elsewhere(0, 0, 20, 20);
    EXPECT_TRUE(lane.Intersects(gel));
    EXPECT_FALSE(lane.Intersects(elsewhere));
    CRect whole(100, 50, 300, 250);
    EXPECT_TRUE(lane.IsInside(whole));

    const CRect area = lane.GetAreaToBeRepainted();
    EXPECT_LE(area.left, 105);
    EXPECT_GE(area.right, 115);
    EXPECT_LE(area.top, 50);
    EXPECT_GE(area.bottom, 250);
    EXPECT_LT(area.right, 200); // not the analysis position stretched to the origin

    // Handle 5 dragged to gel (125, 260): within the bound only to analysis (20, 200).
    lane.MoveHandleTo(5, CPoint(125, 260), nullptr);
    EXPECT_EQ(lane.GetPosition(), CRect(5, 0, 25, 200));
    lane.MoveHandleTo(8, CPoint(108, 100), nullptr);
    EXPECT_EQ(lane.GetPosition(), CRect(8, 0, 25, 200));
}

TEST(AnalysisOverlay, DrawnAndDraggedOnTheGel)
{
    CDrawDocument doc;
    COffscreenDrawView view(&doc, 1.0f);
    auto *lane = new AnalysisOverlay(laneAt(5));
    doc.Add(lane);

    const QImage image = view.Render(QSize(320, 260));
    EXPECT_EQ(image.pixel(105, 100) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(114, 100) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(5, 10) & 0xFFFFFF, 0xFFFFFFu);

    EXPECT_EQ(doc.ObjectAt(CPoint(110, 100)), lane);
    EXPECT_EQ(doc.ObjectAt(CPoint(10, 100)), nullptr);

    // The selection tool moves it by the mouse's delta, its analysis position with it.
    CSelectTool select;
    select.OnLButtonDown(&doc, &view, MK_LBUTTON, CPoint(110, 100));
    select.OnMouseMove(&doc, &view, MK_LBUTTON, CPoint(130, 100));
    select.OnLButtonUp(&doc, &view, 0, CPoint(130, 100));
    EXPECT_EQ(lane->GetPosition(), CRect(25, 0, 35, 200));
    EXPECT_EQ(lane->GetLogicalPosition(), CRect(125, 50, 135, 250));
}

TEST(AnalysisOverlay, CopiesAndStoresTheAnalysisArea)
{
    AnalysisOverlay lane = laneAt(5);
    lane.SetEditable(false);

    AnalysisOverlay copy(lane);
    EXPECT_TRUE(copy == lane);
    AnalysisOverlay assigned;
    assigned = lane;
    EXPECT_EQ(assigned.GetAnalysisArea(), CRect(100, 50, 300, 250));
    assigned.SetAnalysisArea(CRect(0, 0, 1, 1));
    EXPECT_FALSE(assigned == lane);

    CDrawDocument doc;
    CDrawObject *clone = lane.Clone(&doc);
    EXPECT_EQ(clone->GetRuntimeClass(), RUNTIME_CLASS(AnalysisOverlay));
    EXPECT_TRUE(*clone == lane);

    // In place, as a lane stores its overlay part: the bound rectangle part, then
    // the layout word and the analysis area.
    const QByteArray bytes = storeBytes([&](CArchive &ar) { lane.Serialize(ar, 2); });
    ASSERT_EQ(bytes.size(), 59 + 18);
    EXPECT_EQ(bytes.right(18), hex("0100" "64000000" "32000000" "2c010000" "fa000000"));

    AnalysisOverlay read;
    loadBytes(bytes, [&](CArchive &ar) { read.Serialize(ar, 2); });
    EXPECT_TRUE(read == lane);
    EXPECT_FALSE(read.IsEditable());

    // With a class tag, as a derived class would be written.
    const QByteArray tagged = storeBytes([&](CArchive &ar) { ar.WriteObject(&lane); });
    loadBytes(tagged, [&](CArchive &ar) {
        std::unique_ptr<AnalysisOverlay> back(ar.ReadObjectAs<AnalysisOverlay>());
        ASSERT_TRUE(back);
        EXPECT_TRUE(*back == lane);
    });

    for (qsizetype n = 0; n < bytes.size(); ++n) {
        AnalysisOverlay cut;
        EXPECT_THROW(loadBytes(bytes.left(n), [&](CArchive &ar) { cut.Serialize(ar, 2); }),
                     CArchiveException)
            << "prefix of " << n << " bytes";
    }
}

} // namespace
