#include "testsupport/ArchiveTestSupport.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawPolygon.h"
#include "contracts/overlay/CDrawRectangle.h"
#include "contracts/overlay/COffscreenDrawView.h"
#include "contracts/overlay/CDrawRectangleBound.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

CDrawRectangleBound sampleBound()
{
    CDrawRectangleBound r(CRect(1, 2, 3, 4), CRect(0, 0, 100, 50));
    r.SetLineColor(RGB(255, 255, 0), false);
    r.SetLineWeight(2, false);
    r.m_bEditable = true;
    return r;
}

TEST(DrawObjectStorage, BoundRectangleInPlaceExactBytes)
{
    CDrawRectangleBound r = sampleBound();
    const QByteArray bytes = storeBytes([&](CArchive &ar) { r.Serialize(ar); });
    const QByteArray expected = hex("0100"                                // object layout
                                    "01000000" "02000000" "03000000" "04000000" // position
                                    "01" "02000000" "ffff0000"            // line on, weight, yellow
                                    "00" "ffffff00" "00000000"            // no fill, white, opaque
                                    "0100" "0000"                         // rectangle layout, shape
                                    "0100"                                // bound layout
                                    "00000000" "00000000" "64000000" "32000000" // bound
                                    "01");                                // editable
    EXPECT_EQ(bytes, expected);
}

TEST(DrawObjectStorage, RoundTripsEveryKindThroughObjectTags)
{
    CDrawRectangle ellipse(CRect(5, 6, 50, 60), CDrawRectangle::ellipse);
    ellipse.EnableFill(true, false);
    ellipse.SetFillColor(RGB(1, 2, 3), false);
    ellipse.SetTranslucent(40, false);
    ellipse.EnableLine(false, false);

    CDrawRectangleBound bound = sampleBound();
    bound.m_bEditable = false;

    CDrawPolygon polygon;
    polygon.AddPoint(CPoint(0, 0));
    polygon.AddPoint(CPoint(20, -5));
    polygon.AddPoint(CPoint(10, 30));

    const QByteArray bytes = storeBytes([&](CArchive &ar) {
        ar.WriteObject(&ellipse);
        ar.WriteObject(&bound);
        ar.WriteObject(&polygon);
    });
    loadBytes(bytes, [&](CArchive &ar) {
        std::unique_ptr<CDrawRectangle> e(ar.ReadObjectAs<CDrawRectangle>());
        std::unique_ptr<CDrawRectangleBound> b(ar.ReadObjectAs<CDrawRectangleBound>());
        std::unique_ptr<CDrawPolygon> p(ar.ReadObjectAs<CDrawPolygon>());
        ASSERT_TRUE(e && b && p);
        EXPECT_TRUE(*e == ellipse);
        EXPECT_EQ(e->GetShape(), CDrawRectangle::ellipse);
        EXPECT_EQ(e->m_nTranslucent, 40);
        EXPECT_TRUE(*b == bound);
        EXPECT_FALSE(b->IsEditable());
        EXPECT_EQ(b->GetBoundRect(), CRect(0, 0, 100, 50));
        EXPECT_TRUE(*p == polygon);
        EXPECT_EQ(p->GetPosition(), CRect(0, -5, 20, 30));
    });
}

TEST(DrawObjectStorage, EveryTruncationRaisesArchiveException)
{
    CDrawRectangleBound bound = sampleBound();
    CDrawPolygon polygon;
    polygon.AddPoint(CPoint(1, 1));
    polygon.AddPoint(CPoint(9, 4));
    const QByteArray bytes = storeBytes([&](CArchive &ar) {
        ar.WriteObject(&bound);
        ar.WriteObject(&polygon);
    });
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        EXPECT_THROW(loadBytes(bytes.left(n),
                               [](CArchive &ar) {
                                   std::unique_ptr<CObject> a(ar.ReadObject());
                                   std::unique_ptr<CObject> b(ar.ReadObject());
                               }),
                     CArchiveException)
            << "prefix of " << n << " bytes";
    }
}

TEST(DrawObjectStorage, UnknownLayoutsAndDamagedCountsAreRefused)
{
    CDrawRectangle rect(CRect(0, 0, 10, 10));
    QByteArray bytes = storeBytes([&](CArchive &ar) { rect.Serialize(ar); });
    QByteArray newer = bytes;
    newer[0] = 2; // object layout 2
    try {
        loadBytes(newer, [](CArchive &ar) { CDrawRectangle r; r.Serialize(ar); });
        FAIL() << "layout 2 accepted";
    } catch (const CArchiveException &e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badSchema);
    }
    QByteArray badShape = bytes;
    badShape[38] = 9; // shape word after the rectangle layout word
    EXPECT_THROW(loadBytes(badShape, [](CArchive &ar) { CDrawRectangle r; r.Serialize(ar); }),
                 CArchiveException);

    // A polygon claiming 65534 points with none following must not allocate for them.
    CDrawPolygon polygon;
    QByteArray poly = storeBytes([&](CArchive &ar) { polygon.Serialize(ar); });
    poly.chop(2);
    poly.append(hex("feff"));
    try {
        loadBytes(poly, [](CArchive &ar) { CDrawPolygon p; p.Serialize(ar); });
        FAIL() << "damaged count accepted";
    } catch (const CArchiveException &e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
}

TEST(DrawObjectGeometry, HandlesAndHitTesting)
{
    CDrawRectangle r(CRect(10, 20, 50, 60));
    ASSERT_EQ(r.GetHandleCount(), 8);
    const CPoint expected[8] = {{10, 20}, {30, 20}, {50, 20}, {50, 40},
                                {50, 60}, {30, 60}, {10, 60}, {10, 40}};
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(r.GetHandleCoordinate(n), expected[n - 1]) << "handle " << n;
        EXPECT_EQ(r.HitTest(expected[n - 1], true), n) << "handle " << n;
    }
    EXPECT_EQ(r.HitTest(CPoint(52, 58), true), 5);  // within the handle square
    EXPECT_EQ(r.HitTest(CPoint(30, 40), true), 0);  // selected, inside, no handle
    EXPECT_EQ(r.HitTest(CPoint(30, 40), false), 1); // not selected, inside
    EXPECT_EQ(r.HitTest(CPoint(60, 40), false), 0);
    EXPECT_EQ(r.GetHandleCursor(3), Qt::SizeBDiagCursor);

    // Handles keep their screen size: smaller in logical units at a higher zoom.
    CDrawDocument doc;
    COffscreenDrawView zoomed(&doc, 2.0f);
    COffscreenDrawView shrunk(&doc, 0.5f);
    EXPECT_EQ(r.GetHandleRect(3, &zoomed), CRect(48, 18, 53, 23));
    EXPECT_EQ(r.GetHandleRect(3, &shrunk).Width(), 13);
    EXPECT_EQ(r.HitTest(CPoint(53, 20), true, &zoomed), 0);
    EXPECT_EQ(r.HitTest(CPoint(53, 20), true, &shrunk), 3);

    CDrawRectangle ellipse(CRect(0, 0, 40, 40), CDrawRectangle::ellipse);
    EXPECT_EQ(ellipse.HitTest(CPoint(20, 20), false), 1);
    EXPECT_EQ(ellipse.HitTest(CPoint(1, 1), false), 0); // corner of the box, off the ellipse
    CDrawRectangle line(CRect(0, 0, 100, 100), CDrawRectangle::line);
    EXPECT_EQ(line.HitTest(CPoint(50, 51), false), 1);
    EXPECT_EQ(line.HitTest(CPoint(50, 70), false), 0);

    CDrawPolygon triangle;
    triangle.AddPoint(CPoint(0, 0));
    triangle.AddPoint(CPoint(40, 0));
    triangle.AddPoint(CPoint(0, 40));
    EXPECT_EQ(triangle.GetHandleCount(), 3);
    EXPECT_EQ(triangle.HitTest(CPoint(5, 5), false), 1);
    EXPECT_EQ(triangle.HitTest(CPoint(35, 35), false), 0); // inside the box, outside the shape
}

TEST(DrawObjectGeometry, MovingSizingAndRotating)
{
    CDrawRectangle r(CRect(10, 20, 50, 60));
    r.MoveHandleTo(5, CPoint(70, 80), nullptr);
    EXPECT_EQ(r.GetPosition(), CRect(10, 20, 70, 80));
    r.MoveHandleTo(1, CPoint(90, 0), nullptr); // dragged past the right edge: stays unnormalised
    EXPECT_EQ(r.GetPosition(), CRect(90, 0, 70, 80));
    r.MoveTo(CRect(10, 20, 50, 30), nullptr);
    r.MoveDelta(CPoint(5, -5), nullptr);
    EXPECT_EQ(r.GetPosition(), CRect(15, 15, 55, 25));
    r.Offset(-15, 5);
    EXPECT_EQ(r.GetPosition(), CRect(0, 20, 40, 30));

    CRect inside(-1, 19, 41, 31);
    CRect partly(30, 25, 100, 100);
    CRect away(100, 100, 200, 200);
    EXPECT_TRUE(r.IsInside(inside));
    EXPECT_FALSE(r.IsInside(partly));
    EXPECT_TRUE(r.Intersects(partly));
    EXPECT_FALSE(r.Intersects(away));

    CDrawRectangle turned(CRect(10, 20, 50, 30));
    CPoint origin(0, 0);
    turned.Rotate(origin, 90.0);
    EXPECT_EQ(turned.GetPosition(), CRect(-30, 10, -20, 50));

    CDrawPolygon polygon;
    polygon.AddPoint(CPoint(0, 0));
    polygon.AddPoint(CPoint(10, 20));
    polygon.MoveTo(CRect(0, 0, 20, 40), nullptr); // doubled: points scale
    EXPECT_EQ(polygon.GetPoints()[1], CPoint(20, 40));
    polygon.MoveDelta(CPoint(3, 4), nullptr);
    EXPECT_EQ(polygon.GetPoints()[0], CPoint(3, 4));
    polygon.MoveHandleTo(2, CPoint(50, 5), nullptr);
    EXPECT_EQ(polygon.GetPosition(), CRect(3, 4, 50, 5));
}

TEST(DrawObjectGeometry, BoundConstrainsMovingAndSizing)
{
    CDrawRectangleBound r(CRect(10, 10, 30, 30), CRect(0, 0, 100, 100));
    r.MoveDelta(CPoint(-20, 5), nullptr);
    EXPECT_EQ(r.GetPosition(), CRect(0, 15, 20, 35)); // slid along the left edge
    r.MoveDelta(CPoint(200, 0), nullptr);
    EXPECT_EQ(r.GetPosition(), CRect(80, 15, 100, 35));
    r.Offset(0, 500);
    EXPECT_EQ(r.GetPosition(), CRect(80, 80, 100, 100));
    r.MoveHandleTo(1, CPoint(-50, 40), nullptr); // sizing stops at the edge
    EXPECT_EQ(r.GetPosition(), CRect(0, 40, 100, 100));
    r.MoveHandleTo(5, CPoint(150, 150), nullptr);
    EXPECT_EQ(r.GetPosition(), CRect(0, 40, 100, 100));

    // Larger than the bound: a move puts it at the bound's top left.
    CDrawRectangleBound wide(CRect(0, 0, 150, 10), CRect(20, 20, 120, 120));
    wide.MoveDelta(CPoint(1, 1), nullptr);
    EXPECT_EQ(wide.GetPosition(), CRect(20, 20, 170, 30));

    // No bound, no constraint.
    CDrawRectangleBound free(CRect(0, 0, 10, 10), CRect());
    free.MoveDelta(CPoint(-500, 700), nullptr);
    EXPECT_EQ(free.GetPosition(), CRect(-500, 700, -490, 710));

    EXPECT_TRUE(free.CanBeEdited());
    free.SetEditable(false);
    EXPECT_FALSE(free.CanBeEdited());
}

TEST(DrawObjectAttributes, CopyCompareCloneAndSetters)
{
    CDrawDocument doc;
    CDrawRectangleBound original = sampleBound();
    original.m_pDocument = &doc;

    CDrawRectangleBound copy(original);
    EXPECT_TRUE(copy == original);
    copy.m_bound = CRect(0, 0, 1, 1);
    EXPECT_TRUE(copy != original);

    // Assignment through the base reference copies the derived fields too.
    CDrawObject &asBase = copy;
    asBase = static_cast<const CDrawObject &>(original);
    EXPECT_TRUE(copy == original);

    // A rectangle is not equal to a bound rectangle with the same base fields.
    CDrawRectangle plain(original.GetPosition());
    static_cast<CDrawObject &>(plain) = static_cast<const CDrawObject &>(original);
    const CDrawObject &plainBase = plain;
    const CDrawObject &originalBase = original;
    EXPECT_FALSE(plainBase == originalBase);
    EXPECT_FALSE(originalBase == plainBase);

    CDrawObject *clone = original.Clone(&doc);
    ASSERT_EQ(doc.GetObjects().size(), 1);
    EXPECT_EQ(doc.GetObjects().first(), clone);
    EXPECT_TRUE(clone->IsKindOf(RUNTIME_CLASS(CDrawRectangleBound)));
    EXPECT_TRUE(*clone == original);
    EXPECT_TRUE(doc.IsModified());
    clone->Remove();
    EXPECT_TRUE(doc.GetObjects().isEmpty());

    CDrawRectangle r(CRect(0, 0, 5, 5));
    r.SetLineWeight(4, false);
    r.SetLineWeight(0, false);
    EXPECT_FALSE(r.m_bLineEnabled);
    EXPECT_EQ(r.m_nLineWeight, 4);
    r.SetTranslucent(250, false);
    EXPECT_EQ(r.m_nTranslucent, 100);

    QStringList lines;
    CDrawRectangle(CRect(30, 40, 10, 20)).FillInPositionInfo(lines);
    EXPECT_EQ(lines, QStringList({"Left: 10", "Top: 20", "Right: 30", "Bottom: 40", "Width: 20",
                                  "Height: 20"}));
}

} // namespace

TEST(DrawObjectClone, EveryKindClonesAsItselfLooseOrIntoTheDocument)
{
    CDrawDocument doc;
    CDrawObject plain(CRect(0, 0, 4, 4));
    CDrawRectangle rectangle(CRect(1, 1, 6, 6));
    rectangle.m_lineColor = RGB(0, 0, 255);
    CDrawRectangleBound bound(CRect(2, 2, 8, 8), CRect(0, 0, 20, 20));
    CDrawPolygon polygon;
    polygon.AddPoint(CPoint(1, 1));
    polygon.AddPoint(CPoint(9, 3));
    polygon.AddPoint(CPoint(4, 7));

    CDrawObject *const kinds[] = {&plain, &rectangle, &bound, &polygon};
    for (CDrawObject *original : kinds) {
        SCOPED_TRACE(original->GetRuntimeClass()->m_lpszClassName);
        std::unique_ptr<CDrawObject> loose(original->Clone(nullptr));
        EXPECT_NE(loose.get(), original);
        EXPECT_EQ(loose->GetRuntimeClass(), original->GetRuntimeClass());
        EXPECT_TRUE(*loose == *original);
        EXPECT_FALSE(doc.GetObjects().contains(loose.get()));

        CDrawObject *added = original->Clone(&doc);
        EXPECT_EQ(doc.GetObjects().last(), added);
        EXPECT_EQ(added->GetDocument(), &doc);
        EXPECT_EQ(added->GetRuntimeClass(), original->GetRuntimeClass());
    }
    EXPECT_EQ(doc.GetObjects().size(), 4);
    const auto *polygonCopy = static_cast<const CDrawPolygon *>(doc.GetObjects().last());
    EXPECT_EQ(polygonCopy->GetPoints(), polygon.GetPoints());
}
