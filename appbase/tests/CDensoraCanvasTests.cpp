#include "appbase/CDensoraDoc.h"
#include "appbase/CDensoraView.h"
#include "appbase/ui/CDensoraCanvas.h"

#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

namespace {

// Grey picture whose value grows to the right: column x is x % 256.
CDrawImage *newPicture(int w, int h)
{
    auto *obj = new CDrawImage;
    EXPECT_EQ(obj->Create(w, h, 8, nullptr), 1);
    TVFImage *image = obj->GetImage();
    for (int y = 0; y < h; ++y) {
        BYTE *line = image->getScanLine(unsigned(y));
        for (int x = 0; x < w; ++x)
            line[x] = BYTE(x);
    }
    image->setModified(TRUE);
    return obj;
}

struct CanvasFixture
{
    CanvasFixture()
    {
        doc.Add(newPicture(1000, 500));
        canvas.resize(400, 300);
        canvas.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    }

    CDensoraDoc doc;
    CDensoraView view {&doc};
    CDensoraCanvas canvas {&view};
};

} // namespace

TEST(CDensoraCanvas, WheelAndDragsReachTheView)
{
    CanvasFixture f;
    QWidget *viewport = f.canvas.viewport();
    QScrollBar *h = f.canvas.horizontalScrollBar();
    QScrollBar *v = f.canvas.verticalScrollBar();
    // The scroll bars span the drawing at zoom 1.
    EXPECT_EQ(h->maximum(), 1000 - viewport->width());
    EXPECT_EQ(v->maximum(), 500 - viewport->height());

    // Ctrl+wheel: one notch zooms one step about the cursor.
    h->setValue(100);
    const QPointF at(60, 40);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    EXPECT_FLOAT_EQ(f.view.GetZoomFactor(), CDensoraView::c_fZoomStep);
    CPoint under(60, 40);
    f.view.Screen2Logical(under, true);
    EXPECT_EQ(under, CPoint(160, 40)); // the image point that was under the cursor
    EXPECT_EQ(h->maximum(), 1250 - viewport->width());

    // A plain wheel scrolls instead.
    const int before = v->value();
    QWheelEvent scroll(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &scroll);
    EXPECT_GT(v->value(), before);
    EXPECT_FLOAT_EQ(f.view.GetZoomFactor(), CDensoraView::c_fZoomStep);

    // A middle-button drag pans.
    f.view.SetZoomFactor(1.0f);
    h->setValue(200);
    v->setValue(100);
    QTest::mousePress(viewport, Qt::MiddleButton, {}, QPoint(200, 150));
    QMouseEvent move(QEvent::MouseMove, QPointF(150, 120), viewport->mapToGlobal(QPointF(150, 120)),
                     Qt::NoButton, Qt::MiddleButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::MiddleButton, {}, QPoint(150, 120));
    EXPECT_EQ(h->value(), 250);
    EXPECT_EQ(v->value(), 130);
    EXPECT_EQ(f.doc.GetObjects().size(), 1); // no tool saw the drag

    // A left drag goes to the current tool in image pixels.
    f.view.SetCurrentToolType(toolRect);
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(10, 20));
    QMouseEvent drag(QEvent::MouseMove, QPointF(70, 90), viewport->mapToGlobal(QPointF(70, 90)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drag);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(70, 90));
    ASSERT_EQ(f.doc.GetObjects().size(), 2);
    EXPECT_EQ(f.doc.GetObjects().last()->GetPosition(), CRect(260, 150, 320, 220));

    // Space held down turns a left drag into panning as well.
    f.view.SetCurrentToolType(toolRect);
    QTest::keyPress(&f.canvas, Qt::Key_Space);
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(100, 100));
    QMouseEvent pan(QEvent::MouseMove, QPointF(90, 95), viewport->mapToGlobal(QPointF(90, 95)),
                    Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &pan);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(90, 95));
    QTest::keyRelease(&f.canvas, Qt::Key_Space);
    EXPECT_EQ(h->value(), 260);
    EXPECT_EQ(v->value(), 135);
    EXPECT_EQ(f.doc.GetObjects().size(), 2);

    // Escape reaches the tool through the key conversion.
    f.view.SetCurrentToolType(toolRect);
    QTest::keyClick(&f.canvas, Qt::Key_Escape);
    EXPECT_EQ(f.view.GetCurrentToolType(), toolSelect);
}

TEST(CDensoraCanvas, PaintsTheScrolledPictureAndCentresASmallOne)
{
    CanvasFixture f;
    f.canvas.horizontalScrollBar()->setValue(37);
    const QImage shown = f.canvas.viewport()->grab().toImage();
    // Window column 0 shows picture column 37.
    EXPECT_EQ(qGray(shown.pixel(0, 10)), 37);
    EXPECT_EQ(qGray(shown.pixel(100, 10)), 137);

    // At a zoom where the drawing is smaller than the window it sits centred.
    f.view.SetZoomFactor(0.2f); // 200 x 100
    const QSize vp = f.canvas.viewport()->size();
    const CPoint scroll = f.canvas.GetScrollPosition();
    EXPECT_EQ(scroll, CPoint(-(vp.width() - 200) / 2, -(vp.height() - 100) / 2));
    const QImage small = f.canvas.viewport()->grab().toImage();
    EXPECT_EQ(small.pixelColor(2, 2), QColor(Qt::white));
    // Window pixel 100 into the drawing shows picture column 500 (give or take
    // where the stretch samples).
    EXPECT_NEAR(qGray(small.pixel(-scroll.x + 100, -scroll.y + 50)), 500 % 256, 5);
}
