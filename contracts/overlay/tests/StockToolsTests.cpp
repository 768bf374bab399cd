#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawPolygon.h"
#include "contracts/overlay/CDrawText.h"
#include "contracts/overlay/CLabelTool.h"
#include "contracts/overlay/COffscreenDrawView.h"
#include "contracts/overlay/CPolyTool.h"
#include "contracts/overlay/CSelectTool.h"
#include "contracts/overlay/CTextTool.h"
#include "contracts/overlay/ui/CLineWeightDlg.h"

#include "platform/CArchive.h"

#include <QApplication>
#include <QBuffer>
#include <QListWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class RecordingDocument : public CDrawDocument
{
public:
    QStringList actions;
    void SaveActionStart(const QString &) override { actions << "Start"; }
    void SaveActionGroup(const QString &) override { actions << "Group"; }
    void SaveActionCancel(const QString &) override { actions << "Cancel"; }
    void SaveActionEnd(const QString &) override { actions << "End"; }
    void SaveActionStartEnd(const QString &c) override { actions << "StartEnd " + c; }
};

struct Bench
{
    RecordingDocument doc;
    COffscreenDrawView view {&doc};
    Bench()
    {
        view.AddTool(std::make_unique<CSelectTool>());
        view.AddTool(std::make_unique<CPolyTool>());
        view.AddTool(std::make_unique<CLabelTool>());
        view.AddTool(std::make_unique<CTextTool>());
    }
    void click(CPoint p)
    {
        view.OnLButtonDown(MK_LBUTTON, p);
        view.OnLButtonUp(0, p);
    }
};

// Installs a text-entry answer for one test.
struct ScopedTextEntry
{
    explicit ScopedTextEntry(std::function<bool(const QString &, QString &)> handler)
    {
        CDrawText::SetTextEntryHandler(std::move(handler));
    }
    ~ScopedTextEntry() { CDrawText::SetTextEntryHandler({}); }
};

TEST(PolyTool, ClicksAndADoubleClickMakeOnePolygonAsOneUndoStep)
{
    Bench b;
    b.view.SetCurrentToolType(toolPoly);
    b.click(CPoint(10, 10));
    b.view.OnMouseMove(0, CPoint(30, 12));
    b.view.OnMouseMove(0, CPoint(50, 10));
    b.click(CPoint(50, 10));
    b.view.OnMouseMove(0, CPoint(50, 40));
    // A double-click: the first press fixes the corner, then the double-click ends.
    b.view.OnLButtonDown(MK_LBUTTON, CPoint(50, 40));
    b.view.OnLButtonUp(0, CPoint(50, 40));
    b.view.OnLButtonDblClk(MK_LBUTTON, CPoint(50, 40));
    b.view.OnLButtonUp(0, CPoint(50, 40));

    ASSERT_EQ(b.doc.GetObjects().size(), 1);
    auto *polygon = dynamic_cast<CDrawPolygon *>(b.doc.GetObjects().first());
    ASSERT_NE(polygon, nullptr);
    const std::vector<CPoint> expected {CPoint(10, 10), CPoint(50, 10), CPoint(50, 40)};
    EXPECT_EQ(polygon->GetPoints(), expected);
    EXPECT_EQ(polygon->m_position, CRect(10, 10, 50, 40));
    EXPECT_EQ(b.doc.actions, QStringList({"Start", "Group", "End"}));
    EXPECT_TRUE(b.doc.IsModified());
    EXPECT_EQ(b.view.GetCurrentToolType(), toolSelect);
    EXPECT_TRUE(b.view.IsObjectSelected(polygon));

    // The next polygon starts afresh; two corners are not a polygon and leave nothing.
    b.doc.actions.clear();
    b.view.SetCurrentToolType(toolPoly);
    b.click(CPoint(100, 100));
    b.view.OnMouseMove(0, CPoint(120, 100));
    b.view.OnLButtonDown(MK_LBUTTON, CPoint(120, 100));
    b.view.OnLButtonDblClk(MK_LBUTTON, CPoint(120, 100));
    EXPECT_EQ(b.doc.GetObjects().size(), 1);
    EXPECT_EQ(b.doc.actions, QStringList({"Start", "Group", "Cancel"}));

    // Escape drops the polygon being drawn.
    b.doc.actions.clear();
    b.view.SetCurrentToolType(toolPoly);
    b.click(CPoint(5, 5));
    b.click(CPoint(25, 5));
    b.view.OnKeyDown(VK_ESCAPE, 1, 0);
    EXPECT_EQ(b.doc.GetObjects().size(), 1);
    EXPECT_EQ(b.doc.actions, QStringList({"Start", "Group", "Cancel"}));
    EXPECT_EQ(b.view.GetCurrentToolType(), toolSelect);
}

TEST(LabelAndTextTools, PlaceTheEnteredTextAndStoreIt)
{
    Bench b;
    b.view.SetZoomFactor(0.5f);
    {
        ScopedTextEntry entry([](const QString &, QString &text) {
            text = QStringLiteral("Lane 1");
            return true;
        });
        b.view.SetCurrentToolType(toolLabel);
        b.click(CPoint(20, 10)); // screen point: logical (40, 20) at zoom 0.5
    }
    ASSERT_EQ(b.doc.GetObjects().size(), 1);
    auto *label = dynamic_cast<CDrawText *>(b.doc.GetObjects().first());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetText(), "Lane 1");
    EXPECT_EQ(label->m_position.TopLeft(), CPoint(40, 20));
    EXPECT_EQ(label->m_nTextHeight, 32); // 16 screen pixels at zoom 0.5
    EXPECT_EQ(label->m_position.Size(), label->TextExtent());
    EXPECT_FALSE(label->m_bLineEnabled);
    EXPECT_EQ(b.doc.actions, QStringList({"StartEnd CLabelTool::OnLButtonUp"}));
    EXPECT_EQ(b.view.GetCurrentToolType(), toolSelect);

    // Cancelling the entry places nothing and records nothing.
    b.doc.actions.clear();
    {
        ScopedTextEntry entry([](const QString &, QString &) { return false; });
        b.view.SetCurrentToolType(toolLabel);
        b.click(CPoint(60, 60));
    }
    EXPECT_EQ(b.doc.GetObjects().size(), 1);
    EXPECT_TRUE(b.doc.actions.isEmpty());

    // A text box takes the dragged rectangle.
    {
        ScopedTextEntry entry([](const QString &, QString &text) {
            text = QStringLiteral("Marker\nkDa");
            return true;
        });
        b.view.SetCurrentToolType(toolText);
        b.view.OnLButtonDown(MK_LBUTTON, CPoint(10, 30));
        b.view.OnMouseMove(MK_LBUTTON, CPoint(60, 50));
        b.view.OnLButtonUp(0, CPoint(60, 50));
    }
    ASSERT_EQ(b.doc.GetObjects().size(), 2);
    auto *box = dynamic_cast<CDrawText *>(b.doc.GetObjects().last());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->m_position, CRect(20, 60, 120, 100));
    EXPECT_EQ(box->GetText(), "Marker\nkDa");

    // Stored and read back, the text and its height survive.
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    {
        CArchive out(&buffer, CArchive::store);
        out.WriteObject(box);
    }
    buffer.seek(0);
    CArchive in(&buffer, CArchive::load);
    std::unique_ptr<CObject> read(in.ReadObject(RUNTIME_CLASS(CDrawText)));
    auto *copy = dynamic_cast<CDrawText *>(read.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(*copy == *box);
    EXPECT_EQ(copy->m_nTextHeight, box->m_nTextHeight);
}

TEST(LineWeightDialog, OffersNoneToSevenAndCancelGivesMinusOne)
{
    CLineWeightDlg dialog(nullptr, 3);
    EXPECT_EQ(dialog.GetList()->count(), 8);
    EXPECT_EQ(dialog.GetList()->item(0)->text(), "None");
    EXPECT_EQ(dialog.GetList()->item(7)->text(), "7 pt");
    EXPECT_EQ(dialog.GetWeight(), 3);
    dialog.SetWeight(12);
    EXPECT_EQ(dialog.GetWeight(), 7);

    // The seam runs the dialog modally: OK gives the chosen weight, Cancel -1.
    auto answer = [](bool ok, int row) {
        QTimer::singleShot(0, [ok, row] {
            auto *dlg = qobject_cast<CLineWeightDlg *>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            dlg->GetList()->setCurrentRow(row);
            ok ? dlg->accept() : dlg->reject();
        });
    };
    answer(true, 5);
    EXPECT_EQ(AskLineWeight(2, nullptr), 5);
    answer(false, 5);
    EXPECT_EQ(AskLineWeight(2, nullptr), -1);
    answer(true, 0);
    EXPECT_EQ(AskLineWeight(2, nullptr), 0);
}

} // namespace
