#include "appbase/CDensoraDoc.h"
#include "appbase/CDensoraView.h"
#include "appbase/ui/CDensoraCanvas.h"

#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"

#include "testsupport/PictureTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

namespace {

struct CanvasFixture
{
    CanvasFixture()
    {
        doc.Add(NewGreyPicture(1000, 500, 1, 0));
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

// An empty window tells where to start, centred in the look's text colour on
// its base colour, dark or light; the picture replaces the hint.
TEST(CDensoraCanvas, EmptyWindowShowsWhereToStart)
{
    CDensoraDoc doc;
    CDensoraView view(&doc);
    CDensoraCanvas canvas(&view);
    canvas.resize(500, 300);
    canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    EXPECT_TRUE(canvas.IsShowingEmptyHint());
    EXPECT_TRUE(canvas.GetEmptyHint().startsWith(QStringLiteral("Open a gel image to begin")));

    for (const auto &[base, text] : {std::pair(QColor(Qt::white), QColor(Qt::black)),
                                     std::pair(QColor(40, 40, 40), QColor(230, 230, 230))}) {
        QPalette colours = canvas.palette();
        colours.setColor(QPalette::Base, base);
        colours.setColor(QPalette::Text, text);
        canvas.setPalette(colours);
        const QImage shown = canvas.viewport()->grab().toImage();
        EXPECT_EQ(shown.pixelColor(3, 3), base);
        // Ink in the middle band, none near the edges: the text is centred.
        int inkTop = shown.height(), inkBottom = -1, inkLeft = shown.width(), inkRight = -1;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QColor c = shown.pixelColor(x, y);
                if (std::abs(c.lightness() - base.lightness()) < 100)
                    continue;
                inkTop = std::min(inkTop, y);
                inkBottom = std::max(inkBottom, y);
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x);
            }
        ASSERT_GE(inkBottom, 0) << "no readable text on " << base.name().toStdString();
        EXPECT_NEAR((inkTop + inkBottom) / 2, shown.height() / 2, 6);
        EXPECT_NEAR((inkLeft + inkRight) / 2, shown.width() / 2, 6);
    }

    doc.Add(NewGreyPicture(100, 50, 1, 0));
    view.InvalidateView();
    EXPECT_FALSE(canvas.IsShowingEmptyHint());
    const QImage picture = canvas.viewport()->grab().toImage();
    EXPECT_EQ(picture.pixelColor(3, 3), QColor(Qt::white)); // the drawing's background
}
