#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/BackgroundArea.h"
#include "analysis1d/engine/DyeFront.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/LoadingWells.h"
#include "analysis1d/engine/UserDrawnBand.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/COffscreenDrawView.h"

#include "platform/CArchive.h"
#include "testsupport/ArchiveTestSupport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

constexpr COLORREF kYellow = 0x0000FFFF;
constexpr COLORREF kOrange = 0x000080FF;
constexpr COLORREF kRed = 0x000000FF;
constexpr COLORREF kCyan = 0x00FFFF00;
constexpr COLORREF kBlue = 0x00FF0000;

const CRect kArea(40, 30, 240, 330);

template<typename T> std::unique_ptr<T> readBack(const CDrawObject &obj)
{
    QByteArray bytes = storeBytes([&](CArchive &ar) { ar.WriteObject(&obj); });
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    return std::unique_ptr<T>(ar.ReadObjectAs<T>());
}

// Ruins every drawing attribute the shapes set themselves.
void spoil(CDrawObject &obj)
{
    obj.m_lineColor = kBlue;
    obj.m_nLineWeight = 7;
    obj.SetTextAttributes(0, 40, 40, 1);
}

// The stored form of a shape is that of its base rectangle: the bytes after the
// class tag are exactly what CDrawRectangleBound writes.
template<typename T> void expectRectangleBoundForm(T &obj, const char *className)
{
    SCOPED_TRACE(className);
    const QByteArray tagged = storeBytes([&](CArchive &ar) { ar.WriteObject(&obj); });
    CDrawRectangleBound plain(obj);
    const QByteArray body = storeBytes([&](CArchive &ar) { plain.CDrawRectangleBound::Serialize(ar); });

    QByteArray tag = QByteArray::fromHex("ffff0000"); // new class, schema 0
    const QByteArray name(className);
    tag.append(char(name.size()));
    tag.append('\0');
    tag.append(name);
    EXPECT_EQ(tagged, tag + body);
    EXPECT_EQ(T::GetThisClass()->m_wSchema, VERSIONABLE_SCHEMA | 0u);
}

TEST(GeometryObjectStorage, EveryShapeStoresExactlyTheBoundRectangleForm)
{
    AnalysisArea area(kArea, CRect(0, 0, 500, 400));
    BackgroundArea background(CRect(50, 40, 90, 80), kArea);
    DyeFront dyeFront(CRect(40, 320, 240, 320), kArea);
    LoadingWells wells(CRect(40, 40, 240, 40), kArea);
    ExampleBand example(CRect(60, 100, 90, 110), kArea);
    UserDrawnBand drawn(CRect(100, 150, 130, 160), kArea);
    area.SetEditable(false);
    example.m_visible = 0;

    expectRectangleBoundForm(area, "AnalysisArea");
    expectRectangleBoundForm(background, "BackgroundArea");
    expectRectangleBoundForm(dyeFront, "DyeFront");
    expectRectangleBoundForm(wells, "LoadingWells");
    expectRectangleBoundForm(example, "ExampleBand");
    expectRectangleBoundForm(drawn, "UserDrawnBand");
}

TEST(GeometryObjectStorage, ReadingRestoresDefaultColoursAndLabelOffsets)
{
    AnalysisArea area(kArea, CRect(0, 0, 500, 400));
    area.SetEditable(false);
    spoil(area);
    auto areaBack = readBack<AnalysisArea>(area);
    ASSERT_TRUE(areaBack);
    EXPECT_EQ(areaBack->m_lineColor, kYellow);
    EXPECT_EQ(areaBack->m_nLineWeight, 2);
    EXPECT_EQ(areaBack->GetPosition(), kArea);
    EXPECT_EQ(areaBack->GetBoundRect(), CRect(0, 0, 500, 400));
    EXPECT_FALSE(areaBack->IsEditable());

    // Orange is what an analysis of dark bands gives the lines; it is not kept.
    DyeFront dyeFront(CRect(40, 320, 240, 320), kArea);
    spoil(dyeFront);
    dyeFront.m_lineColor = kOrange;
    dyeFront.m_nLabelOffsetX = 9;
    dyeFront.m_nLabelOffsetY = 9;
    auto dyeBack = readBack<DyeFront>(dyeFront);
    ASSERT_TRUE(dyeBack);
    EXPECT_EQ(dyeBack->m_lineColor, kYellow);
    EXPECT_EQ(dyeBack->m_nLabelOffsetX, 0);
    EXPECT_EQ(dyeBack->m_nLabelOffsetY, 0);
    EXPECT_EQ(dyeBack->m_nTextTransparent, 1);
    EXPECT_EQ(dyeBack->m_nTextHeight, 16);
    EXPECT_EQ(dyeBack->m_nTextScreenHeight, 16);
    EXPECT_EQ(dyeBack->m_nTextZooms, 0);
    EXPECT_EQ(dyeBack->GetPosition(), CRect(45, 310, 235, 330));

    LoadingWells wells(CRect(40, 40, 240, 40), kArea);
    spoil(wells);
    wells.m_lineColor = kOrange;
    wells.m_nLabelOffsetX = 3;
    wells.m_nLabelOffsetY = 12;
    auto wellsBack = readBack<LoadingWells>(wells);
    ASSERT_TRUE(wellsBack);
    EXPECT_EQ(wellsBack->m_lineColor, kYellow);
    EXPECT_EQ(wellsBack->m_nLabelOffsetX, -4);
    EXPECT_EQ(wellsBack->m_nLabelOffsetY, -4);
    EXPECT_EQ(wellsBack->m_nTextHeight, 16);
    EXPECT_EQ(wellsBack->GetPosition(), CRect(45, 30, 235, 50));
}

TEST(GeometryObjectStorage, ShapesColouredOnlyWhenDrawnKeepTheirStoredColour)
{
    // These take their colour from the two-rectangle constructor alone, so a
    // shape read back keeps the colour it was saved with.
    BackgroundArea background(CRect(50, 40, 90, 80), kArea);
    background.m_lineColor = RGB(1, 2, 3);
    auto backgroundBack = readBack<BackgroundArea>(background);
    ASSERT_TRUE(backgroundBack);
    EXPECT_EQ(backgroundBack->m_lineColor, RGB(1, 2, 3));
    EXPECT_TRUE(*backgroundBack == background);

    UserDrawnBand drawn(CRect(100, 150, 130, 160), kArea);
    drawn.m_lineColor = 0x0080FF00;
    auto drawnBack = readBack<UserDrawnBand>(drawn);
    ASSERT_TRUE(drawnBack);
    EXPECT_TRUE(*drawnBack == drawn);

    // The visible flag is not stored: an example band comes back visible.
    ExampleBand example(CRect(60, 100, 90, 110), kArea);
    example.m_visible = 0;
    auto exampleBack = readBack<ExampleBand>(example);
    ASSERT_TRUE(exampleBack);
    EXPECT_EQ(exampleBack->m_visible, 1);
    EXPECT_EQ(exampleBack->m_lineColor, kCyan);
    EXPECT_EQ(exampleBack->GetPosition(), CRect(60, 100, 90, 110));
}

TEST(GeometryObjectDefaults, ConstructorsSetTheDrawingDefaults)
{
    EXPECT_EQ(AnalysisArea().m_lineColor, kYellow);
    EXPECT_EQ(AnalysisArea().m_nLineWeight, 2);
    EXPECT_EQ(BackgroundArea(CRect(1, 1, 9, 9), kArea).m_lineColor, kRed);
    EXPECT_EQ(ExampleBand(CRect(1, 1, 9, 9), kArea).m_lineColor, kCyan);
    EXPECT_EQ(ExampleBand().m_visible, 1);
    EXPECT_EQ(UserDrawnBand(CRect(1, 1, 9, 9), kArea).m_lineColor, kCyan);

    // A zero-height line becomes a strip 20 high, 5 pixels in from each side.
    const DyeFront dyeFront(CRect(40, 320, 240, 320), kArea);
    EXPECT_EQ(dyeFront.GetPosition(), CRect(45, 310, 235, 330));
    EXPECT_EQ(dyeFront.GetBoundRect(), kArea);
    EXPECT_EQ(dyeFront.m_lineColor, kYellow);
    const LoadingWells wells(CRect(40, 40, 240, 40), kArea);
    EXPECT_EQ(wells.GetPosition(), CRect(45, 30, 235, 50));
    EXPECT_EQ(wells.m_nLabelOffsetX, -4);
    EXPECT_EQ(wells.m_nLabelOffsetY, -4);

    // The default and copy constructors do not grow the strip again.
    EXPECT_EQ(DyeFront(dyeFront).GetPosition(), dyeFront.GetPosition());
    EXPECT_TRUE(DyeFront().GetPosition().IsRectNull());
}

// Both reference strips move the same way.
template<typename Strip> void expectMovesOnlyVertically(const char *name)
{
    SCOPED_TRACE(name);
    CDrawDocument doc;
    auto *strip = new Strip(CRect(40, 200, 240, 200), kArea);
    doc.Add(strip);
    COffscreenDrawView view(&doc);

    // Dragged 30 right and 50 down: only the 50 down is taken.
    strip->MoveTo(CRect(75, 240, 265, 260), &view);
    EXPECT_EQ(strip->GetPosition(), CRect(45, 240, 235, 260));
    EXPECT_EQ(strip->GetPosition().Width(), kArea.Width() - 10);

    strip->MoveDelta(CPoint(-100, -20), &view);
    EXPECT_EQ(strip->GetPosition(), CRect(45, 220, 235, 240));

    // Still held inside the analysis area vertically.
    strip->MoveTo(CRect(45, 500, 235, 520), &view);
    EXPECT_EQ(strip->GetPosition(), CRect(45, 310, 235, 330));

    // Sizing by a side handle changes nothing horizontally.
    strip->MoveHandleTo(4, CPoint(400, 320), &view);
    EXPECT_EQ(strip->GetPosition(), CRect(45, 310, 235, 330));
    strip->MoveHandleTo(2, CPoint(100, 300), &view);
    EXPECT_EQ(strip->GetPosition(), CRect(45, 300, 235, 330));
}

TEST(ReferenceStrips, DraggedSidewaysMoveOnlyUpOrDown)
{
    expectMovesOnlyVertically<DyeFront>("DyeFront");
    expectMovesOnlyVertically<LoadingWells>("LoadingWells");
}

TEST(GeometryObjectClone, ClonesEqualTheirOriginalAndJoinTheDocument)
{
    CDrawDocument doc;
    AnalysisArea area(kArea, CRect(0, 0, 500, 400));
    area.SetEditable(false);
    DyeFront dyeFront(CRect(40, 320, 240, 320), kArea);
    LoadingWells wells(CRect(40, 40, 240, 40), kArea);
    BackgroundArea background(CRect(50, 40, 90, 80), kArea);
    ExampleBand example(CRect(60, 100, 90, 110), kArea);
    example.m_visible = 0;
    UserDrawnBand drawn(CRect(100, 150, 130, 160), kArea);

    CDrawObject *const shapes[] = {&area, &dyeFront, &wells, &background, &example, &drawn};
    for (CDrawObject *shape : shapes) {
        SCOPED_TRACE(shape->GetRuntimeClass()->m_lpszClassName);
        std::unique_ptr<CDrawObject> loose(shape->Clone(nullptr));
        EXPECT_EQ(loose->GetRuntimeClass(), shape->GetRuntimeClass());
        EXPECT_TRUE(*loose == *shape);
        EXPECT_FALSE(doc.GetObjects().contains(loose.get()));

        CDrawObject *added = shape->Clone(&doc);
        EXPECT_EQ(doc.GetObjects().last(), added);
        EXPECT_EQ(added->GetDocument(), &doc);
        EXPECT_TRUE(*added == *shape);
    }
    std::unique_ptr<ExampleBand> exampleClone(static_cast<ExampleBand *>(example.Clone(nullptr)));
    EXPECT_EQ(exampleClone->m_visible, 0);
    std::unique_ptr<AnalysisArea> areaClone(static_cast<AnalysisArea *>(area.Clone(nullptr)));
    EXPECT_FALSE(areaClone->IsEditable());
}

// A clone (every undo step is made of clones) sets the label defaults again
// but keeps the colour and the pen: the strips of a gel with darker bands
// are orange, and an undo that turned them yellow, or an area the user gave
// a wider pen back to its default, would not give back what was there.
TEST(GeometryObjectClone, CloneSetsTheLabelDefaultsAgainAndKeepsColourAndPen)
{
    DyeFront dyeFront(CRect(40, 320, 240, 320), kArea);
    dyeFront.m_lineColor = kOrange;
    dyeFront.m_nLabelOffsetY = 30;
    std::unique_ptr<DyeFront> clone(static_cast<DyeFront *>(dyeFront.Clone(nullptr)));
    EXPECT_EQ(clone->m_lineColor, kOrange);
    EXPECT_EQ(clone->m_nLabelOffsetY, 0);
    EXPECT_EQ(clone->GetPosition(), dyeFront.GetPosition());
    EXPECT_EQ(DyeFront(CRect(40, 320, 240, 320), kArea).m_lineColor, kYellow);

    AnalysisArea area(kArea, CRect(0, 0, 500, 400));
    area.SetLineWeight(5, false);
    std::unique_ptr<CDrawObject> areaClone(area.Clone(nullptr));
    EXPECT_EQ(areaClone->m_nLineWeight, 5);
    EXPECT_EQ(AnalysisArea(kArea, CRect(0, 0, 500, 400)).m_nLineWeight, 2);
}

TEST(ExampleBandVisibility, CopyCarriesTheFlagAndAHiddenBandCannotBePicked)
{
    ExampleBand shown(CRect(60, 100, 90, 110), kArea);
    ExampleBand hidden(CRect(1, 2, 3, 4), CRect());
    hidden.m_visible = 0;

    ExampleBand target;
    target.copy(hidden);
    EXPECT_EQ(target.m_visible, 0);
    EXPECT_EQ(target.GetPosition(), CRect(1, 2, 3, 4));
    CDrawObject &asObject = target;
    asObject = static_cast<const CDrawObject &>(shown);
    EXPECT_EQ(target.m_visible, 1);
    EXPECT_EQ(target.GetPosition(), shown.GetPosition());

    CDrawDocument doc;
    auto *band = new ExampleBand(CRect(60, 100, 90, 110), kArea);
    doc.Add(band);
    EXPECT_EQ(doc.ObjectAt(CPoint(70, 105)), band);
    band->m_visible = 0;
    EXPECT_EQ(doc.ObjectAt(CPoint(70, 105)), nullptr);
}

// Pixels that are not white in the rendering.
QList<QPoint> paintedPixels(const QImage &image)
{
    QList<QPoint> painted;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0x00FFFFFFu) != 0x00FFFFFFu)
                painted.append(QPoint(x, y));
        }
    }
    return painted;
}

// Everything a shape paints (label included) lies inside the area it asks to
// have repainted, so moving it leaves no trails, also when zoomed out, where the
// label is large in image pixels.
void expectPaintInsideRepaintArea(CDrawObject *shape, float zoom)
{
    SCOPED_TRACE(testing::Message()
                 << shape->GetRuntimeClass()->m_lpszClassName << " zoom " << zoom);
    CDrawDocument doc;
    doc.Add(shape);
    COffscreenDrawView view(&doc, zoom);
    const QImage image = view.Render(QSize(int(400 * zoom), int(400 * zoom)));
    const QList<QPoint> painted = paintedPixels(image);
    ASSERT_FALSE(painted.isEmpty());

    CRect repaint = shape->GetAreaToBeRepainted(&view);
    view.Logical2Screen(repaint, false);
    for (const QPoint &p : painted) {
        ASSERT_TRUE(repaint.PtInRect(CPoint::fromQPoint(p)))
            << "pixel " << p.x() << "," << p.y() << " outside " << repaint.left << ","
            << repaint.top << "," << repaint.right << "," << repaint.bottom;
    }
}

TEST(GeometryObjectDrawing, PaintStaysInsideTheRepaintArea)
{
    for (float zoom : {1.0f, 0.4f}) {
        expectPaintInsideRepaintArea(new AnalysisArea(CRect(60, 60, 300, 300), CRect()), zoom);
        expectPaintInsideRepaintArea(new DyeFront(CRect(40, 200, 380, 200), CRect()), zoom);
        expectPaintInsideRepaintArea(new LoadingWells(CRect(40, 100, 380, 100), CRect()), zoom);
    }
}

TEST(GeometryObjectDrawing, RepaintAreasFollowTheTrackerMargin)
{
    COffscreenDrawView view(nullptr, 1.0f);
    AnalysisArea area(CRect(300, 300, 100, 100), CRect()); // unnormalised while dragged
    const int m = area.GetTrackerMargin(&view);
    ASSERT_LT(m, 24);
    const CRect a = area.GetAreaToBeRepainted(&view);
    EXPECT_EQ(a.left, 100 - m);
    EXPECT_EQ(a.right, 300 + m);
    EXPECT_EQ(a.top, 100 - 24);
    EXPECT_GE(a.bottom, 300 + 24);

    const LoadingWells wells(CRect(40, 100, 380, 100), CRect());
    const int mw = wells.GetTrackerMargin(&view);
    const CRect w = wells.GetAreaToBeRepainted(&view);
    EXPECT_EQ(w.left, 45 - mw);
    EXPECT_EQ(w.right, 375 + mw);
    EXPECT_EQ(w.top, 90 - mw);
    EXPECT_GE(w.bottom, 110 + mw);
}

// Number of painted pixels inside a screen rectangle; -1 when any of them is not
// a shade of yellow on white (red and green full, blue lower).
int yellowInk(const QImage &image, const QRect &rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c = QColor::fromRgb(image.pixel(x, y));
            if (c.red() == 255 && c.green() == 255 && c.blue() == 255)
                continue;
            if (c.red() < 250 || c.green() < 250)
                return -1;
            ++count;
        }
    }
    return count;
}

TEST(GeometryObjectDrawing, LabelsSitWhereTheyAreDescribed)
{
    CDrawDocument doc;
    auto *area = new AnalysisArea(CRect(60, 60, 300, 300), CRect());
    auto *wells = new LoadingWells(CRect(100, 150, 280, 150), CRect()); // strip 105..275, 140..160
    auto *front = new DyeFront(CRect(100, 240, 280, 240), CRect()); // strip 105..275, 230..250
    doc.Add(area);
    doc.Add(wells);
    doc.Add(front);
    COffscreenDrawView view(&doc, 1.0f);
    const QImage image = view.Render(QSize(400, 400));

    // "Analysis Area" starts 4 left of and 12 above the corner: yellow ink left of
    // the area's left edge and above its top.
    EXPECT_GT(yellowInk(image, QRect(56, 48, 4, 12)), 0) << "area label";
    EXPECT_GT(yellowInk(image, QRect(60, 48, 100, 12)), 20) << "area label";
    // Labels of the strips lie inside them, 4 right of and below the corner.
    EXPECT_GT(yellowInk(image, QRect(109, 144, 80, 15)), 20) << "wells label";
    EXPECT_GT(yellowInk(image, QRect(109, 234, 80, 15)), 20) << "dye front label";
    // Between the strip's left edge and the label there is no ink.
    EXPECT_EQ(yellowInk(image, QRect(107, 142, 1, 16)), 0);
}

TEST(GeometryObjectDrawing, HiddenExampleBandDrawsNothing)
{
    CDrawDocument doc;
    auto *band = new ExampleBand(CRect(20, 20, 80, 40), CRect());
    doc.Add(band);
    COffscreenDrawView view(&doc, 1.0f);
    EXPECT_FALSE(paintedPixels(view.Render(QSize(100, 60))).isEmpty());
    band->m_visible = 0;
    EXPECT_TRUE(paintedPixels(view.Render(QSize(100, 60))).isEmpty());
}

} // namespace
