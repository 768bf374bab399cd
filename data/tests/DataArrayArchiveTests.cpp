#include "testsupport/ArchiveTestSupport.h"

#include "data/CDataArray.h"
#include "data/CDoubleDataArray.h"
#include "data/CIntDataArray.h"
#include "data/CPointArray.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

CIntDataArray intArray(std::initializer_list<int> values)
{
    CIntDataArray a;
    for (const int v : values)
        a.Add(v);
    return a;
}

TEST(DataArrayArchive, RegisteredAsVersionableSchemaZero)
{
    struct Expected
    {
        CRuntimeClass *cls;
        const char *name;
    };
    for (const Expected &e : {Expected {RUNTIME_CLASS(CIntDataArray), "CIntDataArray"},
                              Expected {RUNTIME_CLASS(CDoubleDataArray), "CDoubleDataArray"},
                              Expected {RUNTIME_CLASS(CPointArray), "CPointArray"}}) {
        EXPECT_STREQ(e.cls->m_lpszClassName, e.name);
        EXPECT_EQ(e.cls->m_wSchema, 0x80000000u);
        EXPECT_EQ(CRuntimeClass::FromName(e.name), e.cls);
        const std::unique_ptr<CObject> created(e.cls->CreateObject());
        ASSERT_TRUE(created);
        EXPECT_EQ(created->GetRuntimeClass(), e.cls);
    }
}

TEST(DataArrayArchive, OwnFormsExactBytes)
{
    const CIntDataArray ints = intArray({1, -2});
    EXPECT_EQ(storeBytes([&](CArchive &ar) { const_cast<CIntDataArray &>(ints).Serialize(ar); }),
              hexBytes("02000000"
                       "01000000"
                       "feffffff"));

    CDoubleDataArray doubles;
    doubles.Add(1.0);
    doubles.Add(-0.5);
    EXPECT_EQ(storeBytes([&](CArchive &ar) { doubles.Serialize(ar); }),
              hexBytes("02000000"
                       "000000000000f03f"
                       "000000000000e0bf"));

    CPointArray points;
    points.Add(CPoint(1, 2));
    points.Add(CPoint(-1, 3));
    EXPECT_EQ(storeBytes([&](CArchive &ar) { points.Serialize(ar); }),
              hexBytes("02000000"
                       "01000000"
                       "02000000"
                       "ffffffff"
                       "03000000"));

    CIntDataArray empty;
    EXPECT_EQ(storeBytes([&](CArchive &ar) { empty.Serialize(ar); }), hexBytes("00000000"));
}

TEST(DataArrayArchive, ClassicArrayFormsExactBytes)
{
    CDataArray<int> ints;
    ints.Add(1);
    ints.Add(-1);
    EXPECT_EQ(storeBytes([&](CArchive &ar) { ints.Serialize(ar); }),
              hexBytes("0200"
                       "01000000"
                       "ffffffff"));

    CDataArray<double> doubles;
    doubles.Add(0.5);
    EXPECT_EQ(storeBytes([&](CArchive &ar) { doubles.Serialize(ar); }),
              hexBytes("0100"
                       "000000000000e03f"));

    CArray<CPoint> points;
    points.Add(CPoint(7, -8));
    EXPECT_EQ(storeBytes([&](CArchive &ar) { points.Serialize(ar); }),
              hexBytes("0100"
                       "07000000"
                       "f8ffffff"));

    // 0xFFFF elements and more need the long count.
    CDataArray<int> many;
    many.SetSize(0xFFFF);
    const QByteArray bytes = storeBytes([&](CArchive &ar) { many.Serialize(ar); });
    EXPECT_EQ(bytes.left(6),
              hexBytes("ffff"
                       "ffff0000"));
    EXPECT_EQ(bytes.size(), 6 + 0xFFFF * 4);
}

TEST(DataArrayArchive, WrittenAsObjectWithClassTag)
{
    const CIntDataArray a = intArray({5});
    const QByteArray bytes = storeBytes([&](CArchive &ar) { ar.WriteObject(&a); });
    EXPECT_EQ(bytes,
              hexBytes("ffff"
                       "0000"
                       "0d00")
                  + QByteArray("CIntDataArray")
                  + hexBytes("01000000"
                             "05000000"));

    std::unique_ptr<CIntDataArray> loaded;
    loadBytes(bytes, [&](CArchive &ar) { loaded.reset(ar.ReadObjectAs<CIntDataArray>()); });
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->vector(), std::vector<int> {5});
}

TEST(DataArrayArchive, LoadingAppendsToExistingValues)
{
    const QByteArray bytes = hexBytes("02000000"
                                      "01000000"
                                      "02000000");
    CIntDataArray a = intArray({7});
    loadBytes(bytes, [&](CArchive &ar) { a.Serialize(ar); });
    EXPECT_EQ(a.vector(), (std::vector<int> {7, 1, 2}));

    CDoubleDataArray d;
    d.Add(9.0);
    loadBytes(hexBytes("01000000"
                       "000000000000f03f"),
              [&](CArchive &ar) { d.Serialize(ar); });
    EXPECT_EQ(d.vector(), (std::vector<double> {9.0, 1.0}));

    CPointArray p;
    p.Add(CPoint(3, 3));
    loadBytes(hexBytes("01000000"
                       "01000000"
                       "02000000"),
              [&](CArchive &ar) { p.Serialize(ar); });
    ASSERT_EQ(p.GetSize(), 2);
    EXPECT_EQ(p[0], CPoint(3, 3));
    EXPECT_EQ(p[1], CPoint(1, 2));

    // A point no picture has (here y = 2^28 + 1) refuses the whole array.
    EXPECT_THROW(loadBytes(hexBytes("02000000"
                                    "0500000006000000"
                                    "0100000001000010"),
                           [&](CArchive &ar) { p.Serialize(ar); }),
                 CArchiveException);
    EXPECT_EQ(p.GetSize(), 2);
}

TEST(DataArrayArchive, LargeArraysRoundTrip)
{
    CIntDataArray a;
    CDoubleDataArray d;
    CPointArray p;
    for (int i = 0; i < 20000; ++i) {
        a.Add(i * 7919 - 50000);
        d.Add(i / 3.0);
        p.Add(CPoint(i, -i));
    }
    const QByteArray bytes = storeBytes([&](CArchive &ar) {
        ar.WriteObject(&a);
        ar.WriteObject(&d);
        ar.WriteObject(&p);
    });
    std::unique_ptr<CIntDataArray> a2;
    std::unique_ptr<CDoubleDataArray> d2;
    std::unique_ptr<CPointArray> p2;
    loadBytes(bytes, [&](CArchive &ar) {
        a2.reset(ar.ReadObjectAs<CIntDataArray>());
        d2.reset(ar.ReadObjectAs<CDoubleDataArray>());
        p2.reset(ar.ReadObjectAs<CPointArray>());
    });
    EXPECT_EQ(a2->vector(), a.vector());
    EXPECT_EQ(d2->vector(), d.vector());
    EXPECT_EQ(p2->vector(), p.vector());
}

// Every proper prefix of a stored array must be refused with an archive
// exception and leave the target array as it was.
template<typename A> void expectEveryCutRefused(A &source)
{
    const QByteArray bytes = storeBytes([&](CArchive &ar) { source.Serialize(ar); });
    for (int cut = 0; cut < bytes.size(); ++cut) {
        A target;
        target.SetSize(1);
        EXPECT_THROW(loadBytes(bytes.left(cut), [&](CArchive &ar) { target.Serialize(ar); }),
                     CArchiveException)
            << "cut at " << cut;
        EXPECT_EQ(target.GetSize(), 1) << "cut at " << cut;
    }
}

TEST(DataArrayArchive, TruncatedInputIsRefusedAtEveryCut)
{
    CIntDataArray a = intArray({1, 2, 3});
    expectEveryCutRefused(a);
    CDoubleDataArray d;
    d.Add(1.5);
    d.Add(2.5);
    expectEveryCutRefused(d);
    CPointArray p;
    p.Add(CPoint(1, 2));
    p.Add(CPoint(3, 4));
    expectEveryCutRefused(p);

    // The classic form (count word, raw elements).
    CDataArray<int> ci;
    ci.Add(4);
    ci.Add(5);
    const QByteArray classic = storeBytes([&](CArchive &ar) { ci.Serialize(ar); });
    for (int cut = 0; cut < classic.size(); ++cut) {
        CDataArray<int> target;
        EXPECT_THROW(loadBytes(classic.left(cut), [&](CArchive &ar) { target.Serialize(ar); }),
                     CArchiveException);
    }
}

TEST(DataArrayArchive, HugeOrNegativeCountIsRefused)
{
    // Count 0x7FFFFFFF with only two values behind it.
    const QByteArray huge = hexBytes("ffffff7f"
                                     "01000000"
                                     "02000000");
    CIntDataArray a;
    try {
        loadBytes(huge, [&](CArchive &ar) { a.Serialize(ar); });
        FAIL() << "huge count accepted";
    } catch (const CArchiveException &e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
    EXPECT_EQ(a.GetSize(), 0);

    CDoubleDataArray d;
    EXPECT_THROW(loadBytes(huge, [&](CArchive &ar) { d.Serialize(ar); }), CArchiveException);
    CPointArray p;
    EXPECT_THROW(loadBytes(huge, [&](CArchive &ar) { p.Serialize(ar); }), CArchiveException);

    // On a device of unknown size the values are read in bounded chunks, so
    // the same count fails at the end of the input instead of allocating 8 GB.
    SequentialSource pipe(huge);
    CArchive ar(&pipe, CArchive::load);
    EXPECT_THROW(a.Serialize(ar), CArchiveException);
    EXPECT_EQ(a.GetSize(), 0);

    const QByteArray negative = hexBytes("ffffffff"
                                         "01000000");
    EXPECT_THROW(loadBytes(negative, [&](CArchive &ar) { a.Serialize(ar); }), CArchiveException);
    EXPECT_EQ(a.GetSize(), 0);
}

} // namespace
