#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawRectangleBound.h"
#include "contracts/overlay/COffscreenDrawView.h"
#include "contracts/overlay/CRectTool.h"
#include "contracts/overlay/CSelectTool.h"

#include <QFontDatabase>
#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A document that records the undo announcements the tools make.
class RecordingDocument : public CDrawDocument
{
public:
    QStringList actions;
    void SaveActionStart(const QString &) override { actions << "Start"; }
    void SaveActionGroup(const QString &) override { actions << "Group"; }
    void SaveActionCancel(const QString &) override { actions << "Cancel"; }
    void SaveActionEnd(const QString &) override { actions << "End"; }
    void SaveActionStartEnd(const QString &) override { actions << "StartEnd"; }
};

struct Workbench
{
    RecordingDocument doc;
    COffscreenDrawView view{&doc};

    Workbench()
    {
        view.AddTool(std::make_unique<CSelectTool>());
        view.AddTool(std::make_unique<CRectTool>(toolRect));
        view.AddTool(std::make_unique<CRectTool>(toolEllipse));
    }
    CDrawRectangle *add(const CRect &r)
    {
        auto *obj = new CDrawRectangle(r);
        doc.Add(obj);
        return obj;
    }
    // A press, a move and a release at screen points.
    void drag(CPoint from, CPoint to, unsigned flags = 0)
    {
        view.OnLButtonDown(MK_LBUTTON | flags, from);
        view.OnMouseMove(MK_LBUTTON | flags, to);
        view.OnLButtonUp(flags, to);
    }
};

TEST(DrawView, CoordinateConversionAtZoomAndScroll)
{
    CDrawDocument doc;
    COffscreenDrawView view(&doc, 2.0f);
    CPoint p(5, 5);
    view.Screen2Logical(p, false);
    EXPECT_EQ(p, CPoint(3, 3)); // 2.5 rounds up
    view.Logical2Screen(p, false);
    EXPECT_EQ(p, CPoint(6, 6));

    view.SetScrollPosition(CPoint(10, 4));
    CPoint q(3, 3);
    view.Logical2Screen(q, true);
    EXPECT_EQ(q, CPoint(-4, 2));
    view.Screen2Logical(q, true);
    EXPECT_EQ(q, CPoint(3, 3));

    view.SetZoomFactor(0.8f);
    CRect r(7, 10, 13, 20);
    view.Logical2Screen(r, false);
    EXPECT_EQ(r, CRect(6, 8, 10, 16)); // 5.6, 8, 10.4, 16
    view.Screen2Logical(r, false);
    EXPECT_EQ(r, CRect(8, 10, 13, 20)); // 7.5 rounds up: the round trip is not exact

    // Invalidating an object asks for its scaled area with the scroll applied.
    view.SetZoomFactor(2.0f);
    view.SetScrollPosition(CPoint(0, 0));
    auto *obj = new CDrawRectangle(CRect(10, 10, 20, 20));
    doc.Add(obj);
    view.ClearInvalidated();
    view.InvalObject(obj);
    ASSERT_EQ(view.GetInvalidatedRects().size(), 1);
    const CRect area = view.GetInvalidatedRects().first();
    EXPECT_LE(area.left, 20 - CDrawObject::c_nHandleSize / 2);
    EXPECT_GE(area.right, 40 + CDrawObject::c_nHandleSize / 2);
}

TEST(DrawView, Selection)
{
    Workbench w;
    CDrawRectangle *a = w.add(CRect(0, 0, 10, 10));
    CDrawRectangle *b = w.add(CRect(20, 0, 30, 10));
    CDrawRectangle *c = w.add(CRect(25, 5, 60, 40));

    w.view.SelectObject(a);
    w.view.SelectObject(b);
    EXPECT_FALSE(w.view.IsObjectSelected(a));
    w.view.SelectObject(a, true);
    EXPECT_EQ(w.view.GetSelectedObjects(), CDrawObjList({b, a}));
    w.view.SelectObject(a, true); // not twice
    EXPECT_EQ(w.view.GetSelectedObjects().size(), 2);
    w.view.DeselectObject(b);
    EXPECT_EQ(w.view.GetSelectedObjects(), CDrawObjList({a}));

    // Wholly inside only: c sticks out.
    w.view.SelectObjectWithinRect(CRect(35, 20, -5, -5));
    EXPECT_EQ(w.view.GetSelectedObjects(), CDrawObjList({a, b}));

    w.view.DeselectAllObjects();
    EXPECT_TRUE(w.view.GetSelectedObjects().isEmpty());
    EXPECT_FALSE(w.view.IsObjectSelected(c));
}

TEST(SelectTool, ClickSelectsDragMovesAndHandleSizes)
{
    Workbench w;
    w.view.SetZoomFactor(2.0f);
    CDrawRectangle *obj = w.add(CRect(10, 10, 30, 30));
    CDrawRectangle *other = w.add(CRect(100, 100, 110, 110));

    // A plain click selects and records nothing.
    w.view.OnLButtonDown(MK_LBUTTON, CPoint(40, 40));
    w.view.OnLButtonUp(0, CPoint(40, 40));
    EXPECT_EQ(w.view.GetSelectedObjects(), CDrawObjList({obj}));
    EXPECT_TRUE(w.doc.actions.isEmpty());

    // Screen (30, 30) is logical (15, 15); (50, 40) is (25, 20).
    w.doc.SetModifiedFlag(false);
    w.drag(CPoint(30, 30), CPoint(50, 40));
    EXPECT_EQ(obj->GetPosition(), CRect(20, 15, 40, 35));
    EXPECT_EQ(w.doc.actions, QStringList({"Start", "Group", "End"}));
    EXPECT_TRUE(w.doc.IsModified());

    // The bottom-right handle at logical (40, 35), screen (80, 70).
    w.doc.actions.clear();
    w.drag(CPoint(80, 70), CPoint(100, 100));
    EXPECT_EQ(obj->GetPosition(), CRect(20, 15, 50, 50));
    EXPECT_EQ(w.doc.actions, QStringList({"Start", "Group", "End"}));

    // Shift adds to the selection; dragging then moves both.
    w.view.OnLButtonDown(MK_LBUTTON | MK_SHIFT, CPoint(210, 210));
    w.view.OnLButtonUp(MK_SHIFT, CPoint(210, 210));
    EXPECT_EQ(w.view.GetSelectedObjects().size(), 2);
    w.drag(CPoint(210, 210), CPoint(230, 210));
    EXPECT_EQ(other->GetPosition(), CRect(110, 100, 120, 110));
    EXPECT_EQ(obj->GetPosition(), CRect(30, 15, 60, 50));

    auto *select = dynamic_cast<CSelectTool *>(w.view.FindTool(toolSelect));
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(select->GetLastClickedObject(&w.doc), other);
    EXPECT_EQ(select->GetSelectMode(), CSelectTool::none);
}

TEST(SelectTool, RubberBandAndLockedObjects)
{
    Workbench w;
    CDrawRectangle *a = w.add(CRect(10, 10, 20, 20));
    CDrawRectangle *b = w.add(CRect(30, 10, 40, 20));
    w.add(CRect(100, 10, 200, 20));

    // From empty space: everything wholly inside the band.
    w.drag(CPoint(45, 25), CPoint(5, 5));
    EXPECT_EQ(w.view.GetSelectedObjects(), CDrawObjList({a, b}));

    // A locked object is selected but neither moved nor sized.
    auto *locked = new CDrawRectangleBound(CRect(50, 50, 70, 70), CRect());
    locked->SetEditable(false);
    w.doc.Add(locked);
    w.doc.actions.clear();
    w.drag(CPoint(60, 60), CPoint(80, 80));
    EXPECT_EQ(w.view.GetSelectedObjects(), CDrawObjList({locked}));
    EXPECT_EQ(locked->GetPosition(), CRect(50, 50, 70, 70));
    w.drag(CPoint(69, 69), CPoint(90, 90)); // at its bottom-right handle
    EXPECT_EQ(locked->GetPosition(), CRect(50, 50, 70, 70));
    EXPECT_TRUE(w.doc.actions.isEmpty());

    // A bound object follows the mouse only as far as its bound.
    auto *bound = new CDrawRectangleBound(CRect(120, 120, 130, 130), CRect(100, 100, 150, 150));
    w.doc.Add(bound);
    w.drag(CPoint(125, 125), CPoint(185, 105));
    EXPECT_EQ(bound->GetPosition(), CRect(140, 100, 150, 110));
}

TEST(RectTool, DrawsNormalisesAndDiscardsClicks)
{
    Workbench w;
    w.view.SetCurrentToolType(toolRect);
    w.drag(CPoint(40, 30), CPoint(10, 10)); // drawn up and to the left
    ASSERT_EQ(w.doc.GetObjects().size(), 1);
    auto *drawn = dynamic_cast<CDrawRectangle *>(w.doc.GetObjects().first());
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->GetPosition(), CRect(10, 10, 40, 30));
    EXPECT_EQ(drawn->GetShape(), CDrawRectangle::rectangle);
    EXPECT_EQ(w.view.GetSelectedObjects(), CDrawObjList({drawn}));
    EXPECT_EQ(w.doc.actions, QStringList({"Start", "Group", "End"}));
    EXPECT_EQ(w.view.GetCurrentToolType(), toolRect); // stays for the next one

    // Too small in both directions: discarded, and the click goes to the selection tool.
    w.doc.actions.clear();
    w.drag(CPoint(20, 20), CPoint(23, 24));
    EXPECT_EQ(w.doc.GetObjects().size(), 1);
    EXPECT_EQ(w.doc.actions, QStringList({"Start", "Group", "Cancel"}));
    EXPECT_EQ(w.view.GetSelectedObjects(), CDrawObjList({drawn}));

    // A click without moving returns to the selection tool.
    w.view.OnLButtonDown(MK_LBUTTON, CPoint(200, 200));
    w.view.OnLButtonUp(0, CPoint(200, 200));
    EXPECT_EQ(w.doc.GetObjects().size(), 1);
    EXPECT_EQ(w.view.GetCurrentToolType(), toolSelect);

    // Thin but long is kept; the ellipse tool makes ellipses.
    w.view.SetCurrentToolType(toolEllipse);
    w.drag(CPoint(0, 100), CPoint(50, 102));
    ASSERT_EQ(w.doc.GetObjects().size(), 2);
    auto *ellipse = dynamic_cast<CDrawRectangle *>(w.doc.GetObjects().last());
    ASSERT_NE(ellipse, nullptr);
    EXPECT_EQ(ellipse->GetShape(), CDrawRectangle::ellipse);

    // Escape while drawing abandons the object.
    w.view.OnLButtonDown(MK_LBUTTON, CPoint(300, 300));
    w.view.OnMouseMove(MK_LBUTTON, CPoint(350, 350));
    EXPECT_EQ(w.doc.GetObjects().size(), 3);
    w.view.OnKeyDown(VK_ESCAPE, 1, 0);
    EXPECT_EQ(w.doc.GetObjects().size(), 2);
    EXPECT_EQ(w.view.GetCurrentToolType(), toolSelect);
    EXPECT_EQ(CDrawTool::c_pntDown, CPoint(300, 300));
    EXPECT_EQ(CDrawTool::c_pntLast, CPoint(350, 350));
}

QRgb pixel(const QImage &image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

TEST(DrawView, RendersObjectsWhereTheyAre)
{
    CDrawDocument doc;
    COffscreenDrawView view(&doc, 2.0f);
    auto *obj = new CDrawRectangle(CRect(10, 10, 30, 20));
    obj->SetLineColor(RGB(255, 0, 0), false);
    obj->SetLineWeight(2, false);
    obj->EnableFill(true, false);
    obj->SetFillColor(RGB(0, 0, 255), false);
    doc.Add(obj);

    // Screen rectangle (20, 20)-(60, 40); a 4-pixel outline inside it.
    QImage image = view.Render(QSize(80, 60));
    EXPECT_EQ(pixel(image, 20, 20), 0xFF0000u);
    EXPECT_EQ(pixel(image, 23, 30), 0xFF0000u);
    EXPECT_EQ(pixel(image, 24, 30), 0x0000FFu);
    EXPECT_EQ(pixel(image, 59, 39), 0xFF0000u);
    EXPECT_EQ(pixel(image, 60, 30), 0xFFFFFFu);
    EXPECT_EQ(pixel(image, 19, 30), 0xFFFFFFu);

    // Half transparent fill over white.
    obj->SetTranslucent(50, false);
    image = view.Render(QSize(80, 60));
    const QColor mixed = QColor::fromRgb(image.pixel(40, 30));
    EXPECT_NEAR(mixed.red(), 127, 2);
    EXPECT_EQ(mixed.blue(), 255);

    // Scrolling shifts the picture; a selected object shows its handles.
    view.SetScrollPosition(CPoint(10, 0));
    obj->EnableFill(false, false);
    view.SelectObject(obj);
    image = view.Render(QSize(80, 60));
    EXPECT_EQ(pixel(image, 10, 25), 0xFF0000u); // between two handles
    EXPECT_EQ(pixel(image, 30, 30), 0xFFFFFFu); // inside, unfilled
    EXPECT_EQ(pixel(image, 50, 40), 0x000000u); // bottom-right handle at (60, 40) - scroll
}

TEST(DrawView, LabelsAreDrawnInTheLineColour)
{
    if (QFontDatabase::families().isEmpty())
        GTEST_SKIP() << "no fonts installed";
    CDrawDocument doc;
    COffscreenDrawView view(&doc, 1.0f);
    CDrawRectangle obj(CRect(0, 0, 1, 1));
    obj.SetLineColor(RGB(0, 160, 0), false);
    QImage image(120, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    obj.DrawText(&painter, &view, QStringLiteral("Dye Front"), CPoint(10, 10));
    painter.end();
    int greenish = 0;
    int above = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgb(image.pixel(x, y));
            if (c.green() > c.red() + 40) {
                ++greenish;
                if (y < 10 || x < 10)
                    ++above;
            }
        }
    }
    EXPECT_GT(greenish, 20);
    EXPECT_EQ(above, 0); // the point is the label's top left corner
}

} // namespace
