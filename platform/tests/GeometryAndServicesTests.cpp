#include "platform/CArray.h"
#include "platform/Colors.h"
#include "platform/Geometry.h"
#include "platform/ProfileStore.h"
#include "platform/Prompts.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Geometry, RectanglesExcludeRightAndBottom)
{
    CRect r(10, 20, 30, 60);
    EXPECT_EQ(r.Width(), 20);
    EXPECT_EQ(r.Height(), 40);
    EXPECT_TRUE(r.PtInRect({10, 20}));
    EXPECT_FALSE(r.PtInRect({30, 20}));
    EXPECT_FALSE(r.PtInRect({10, 60}));
    EXPECT_EQ(r.CenterPoint(), CPoint(20, 40));
    EXPECT_EQ(r.toQRect().right(), 29);
    EXPECT_EQ(CRect::fromQRect(r.toQRect()), r);

    CRect flipped(30, 60, 10, 20);
    EXPECT_TRUE(flipped.IsRectEmpty());
    flipped.NormalizeRect();
    EXPECT_EQ(flipped, r);

    CRect out;
    EXPECT_FALSE(out.IntersectRect(r, CRect(30, 20, 40, 30))); // touching edges only
    EXPECT_TRUE(out.IsRectNull());
    EXPECT_TRUE(out.IntersectRect(r, CRect(25, 50, 40, 70)));
    EXPECT_EQ(out, CRect(25, 50, 30, 60));
    EXPECT_TRUE(out.UnionRect(r, CRect()));
    EXPECT_EQ(out, r);
    EXPECT_TRUE(out.UnionRect(r, CRect(0, 0, 1, 1)));
    EXPECT_EQ(out, CRect(0, 0, 30, 60));

    r.InflateRect(1, 2);
    EXPECT_EQ(r, CRect(9, 18, 31, 62));
    r.DeflateRect(1, 2);
    r.OffsetRect(-10, -20);
    EXPECT_EQ(r, CRect(0, 0, 20, 40));
}

TEST(Colors, LayoutIsBlueGreenRed)
{
    const COLORREF c = RGB(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x00563412u);
    EXPECT_EQ(GetRValue(c), 0x12);
    EXPECT_EQ(GetGValue(c), 0x34);
    EXPECT_EQ(GetBValue(c), 0x56);
    EXPECT_EQ(fromQColor(toQColor(c)), c);
}

TEST(CArrayTest, IndicesAreChecked)
{
    CArray<int> a;
    EXPECT_THROW(a[0], CInvalidArgException);
    a.Add(1);
    a.Add(3);
    a.InsertAt(1, 2);
    EXPECT_EQ(a.vector(), (std::vector<int>{1, 2, 3}));
    EXPECT_THROW(a.GetAt(3), CInvalidArgException);
    EXPECT_THROW(a.SetAt(-1, 0), CInvalidArgException);
    EXPECT_THROW(a.RemoveAt(2, 2), CInvalidArgException);
    a.InsertAt(5, 9); // past the end grows, as the classic container does
    EXPECT_EQ(a.vector(), (std::vector<int>{1, 2, 3, 0, 0, 9}));
    a.Append(a);
    EXPECT_EQ(a.GetSize(), 12);
    a.RemoveAt(0, 12);
    EXPECT_TRUE(a.IsEmpty());
}

TEST(ProfileStoreTest, MemoryAndSettingsStoresKeepKeysAsGiven)
{
    QTemporaryDir dir;
    MemoryProfileStore memory;
    SettingsProfileStore settings(dir.filePath("Densora.conf"));
    for (ProfileStore *store : {static_cast<ProfileStore *>(&memory),
                                static_cast<ProfileStore *>(&settings)}) {
        EXPECT_EQ(store->GetSectionInt("Analysis1D.GeneralOptions", "m_Width ", 7), 7);
        EXPECT_TRUE(store->WriteSectionInt("Analysis1D.GeneralOptions", "m_Width ", 12));
        EXPECT_EQ(store->GetSectionInt("Analysis1D.GeneralOptions", "m_Width ", 7), 12);
        EXPECT_EQ(store->GetSectionInt("Analysis1D.GeneralOptions", "m_Width", 7), 7);
        EXPECT_TRUE(store->WriteProfileString("Analysis1D", "MolecularWeightFile", "a/b.dat"));
        EXPECT_EQ(store->GetProfileString("Analysis1D", "MolecularWeightFile"), "a/b.dat");
    }
    // values survive a new store on the same file
    SettingsProfileStore reopened(dir.filePath("Densora.conf"));
    EXPECT_EQ(reopened.GetSectionInt("Analysis1D.GeneralOptions", "m_Width ", 7), 12);
}

TEST(PromptsTest, ScriptedAnswersAndRecordedTexts)
{
    ScopedScriptedPrompts prompts;
    prompts->QueueAnswer(IDNO);
    prompts->QueueFile("/tmp/a.dsr");
    EXPECT_EQ(Prompts::instance().MessageBox("Remove?", MB_YESNO), IDNO);
    EXPECT_EQ(Prompts::instance().MessageBox("Again?", MB_YESNO), IDYES); // queue empty: default
    EXPECT_EQ(Prompts::instance().AskOpenFile("Open", "*.dsr"), "/tmp/a.dsr");
    EXPECT_EQ(Prompts::instance().AskOpenFile("Open", "*.dsr"), QString());
    {
        WaitCursor wait;
        EXPECT_EQ(prompts->WaitDepth(), 1);
    }
    EXPECT_EQ(prompts->WaitDepth(), 0);
    EXPECT_EQ(prompts->Texts(), (QStringList{"Remove?", "Again?"}));
}
