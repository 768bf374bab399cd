#include "platform/CArchive.h"
#include "platform/CArray.h"

#include "testsupport/ArchiveTestSupport.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <limits>

namespace {

// A small serialisable class with one int, used to check the object protocol.
class TestNode : public CObject
{
    DECLARE_SERIAL(TestNode)
public:
    int32_t value = 0;
    TestNode *next = nullptr; // not owned; stored as a reference
    unsigned seenSchema = 0;

    void Serialize(CArchive &ar) override
    {
        if (ar.IsStoring()) {
            ar << value;
            ar.WriteObject(next);
        } else {
            seenSchema = ar.GetObjectSchema();
            ar >> value;
            next = ar.ReadObjectAs<TestNode>();
        }
    }
};
IMPLEMENT_SERIAL(TestNode, CObject, VERSIONABLE_SCHEMA | 2)

class OtherClass : public CObject
{
    DECLARE_SERIAL(OtherClass)
};
IMPLEMENT_SERIAL(OtherClass, CObject, 1)

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

TEST(Archive, NewObjectOfNewClassExactBytes)
{
    TestNode node;
    node.value = 0x01020304;
    const QByteArray bytes = storeBytes([&](CArchive &ar) { ar.WriteObject(&node); });
    // new class tag, schema 2 (flag dropped), name length 8, "TestNode", value, null next
    EXPECT_EQ(bytes, hex("ffff" "0200" "0800") + QByteArray("TestNode") + hex("04030201" "0000"));
}

TEST(Archive, ClassAndObjectBackReferences)
{
    TestNode a, b;
    a.value = 1;
    b.value = 2;
    a.next = &b;  // b is written inside a (new object of a known class)
    b.next = &a;  // a is referenced back from inside b
    const QByteArray bytes = storeBytes([&](CArchive &ar) {
        ar.WriteObject(&a);
        ar.WriteObject(&b); // written once already: object back reference
        ar.WriteObject(nullptr);
    });
    // index 1 = class TestNode, 2 = a, 3 = b
    const QByteArray expected = hex("ffff02000800") + QByteArray("TestNode") + hex("01000000")
        + hex("0180") + hex("02000000") + hex("0200") // b: class ref 0x8001, value, back ref to a
        + hex("0300")                                 // b again
        + hex("0000");                                // null
    EXPECT_EQ(bytes, expected);

    loadBytes(bytes, [&](CArchive &ar) {
        auto *ra = ar.ReadObjectAs<TestNode>();
        auto *rb = ar.ReadObjectAs<TestNode>();
        EXPECT_EQ(ar.ReadObject(), nullptr);
        ASSERT_NE(ra, nullptr);
        ASSERT_NE(rb, nullptr);
        EXPECT_EQ(ra->value, 1);
        EXPECT_EQ(rb->value, 2);
        EXPECT_EQ(ra->next, rb);
        EXPECT_EQ(rb->next, ra);
        EXPECT_EQ(ra->seenSchema, 2u);
        delete ra;
        delete rb;
    });
}

TEST(Archive, StringsCountsAndRawValues)
{
    const QString shortText = QStringLiteral("Gel \u00e9");
    const QString longText(300, QLatin1Char('x'));
    const QByteArray bytes = storeBytes([&](CArchive &ar) {
        ar << shortText << longText;
        ar.WriteCount(70000);
        ar.WriteCount(5);
        ar << CPoint(-1, 2) << CRect(1, 2, 3, 4) << true << 1.5;
    });
    // short string: ff fffe len
    EXPECT_EQ(bytes.left(4), hex("fffeff05"));
    // long string: ff fffe ff 2c01
    const int longAt = 4 + 5 * 2;
    EXPECT_EQ(bytes.mid(longAt, 6), hex("fffeffff2c01"));
    const int countAt = longAt + 6 + 600;
    EXPECT_EQ(bytes.mid(countAt, 8), hex("ffff701101000500"));
    EXPECT_EQ(bytes.mid(countAt + 8, 8), hex("ffffffff02000000"));
    EXPECT_EQ(bytes.at(countAt + 8 + 8 + 16), '\x01');

    loadBytes(bytes, [&](CArchive &ar) {
        QString a, b;
        ar >> a >> b;
        EXPECT_EQ(a, shortText);
        EXPECT_EQ(b, longText);
        EXPECT_EQ(ar.ReadCount(), 70000u);
        EXPECT_EQ(ar.ReadCount(), 5u);
        CPoint p;
        CRect r;
        bool flag = false;
        double d = 0;
        ar >> p >> r >> flag >> d;
        EXPECT_EQ(p, CPoint(-1, 2));
        EXPECT_EQ(r, CRect(1, 2, 3, 4));
        EXPECT_TRUE(flag);
        EXPECT_EQ(d, 1.5);
    });
}

// Coordinates no picture has come from damaged files; everything computed
// from them (widths, shifts, centres) would overflow.
TEST(Archive, PointsAndRectanglesBeyondAnyPictureAreRefused)
{
    const int32_t limit = CArchive::kMaxCoordinate;
    const QByteArray atLimit = storeBytes([&](CArchive &ar) {
        ar << CPoint(-limit, limit) << CRect(-limit, -limit, limit, limit);
    });
    loadBytes(atLimit, [&](CArchive &ar) {
        CPoint p;
        CRect r;
        ar >> p >> r;
        EXPECT_EQ(p, CPoint(-limit, limit));
        EXPECT_EQ(r, CRect(-limit, -limit, limit, limit));
    });
    for (int field = 0; field < 4; ++field) {
        CRect bad(0, 0, 10, 10);
        int32_t *values[] = {&bad.left, &bad.top, &bad.right, &bad.bottom};
        *values[field] = field % 2 ? limit + 1 : -limit - 1;
        const QByteArray bytes = storeBytes([&](CArchive &ar) { ar << bad; });
        CRect r(1, 2, 3, 4);
        EXPECT_THROW(loadBytes(bytes, [&](CArchive &ar) { ar >> r; }), CArchiveException);
        EXPECT_EQ(r, CRect(1, 2, 3, 4)); // untouched
    }
    const QByteArray farPoint
        = storeBytes([&](CArchive &ar) { ar << CPoint(0, std::numeric_limits<int32_t>::min()); });
    CPoint p(5, 6);
    EXPECT_THROW(loadBytes(farPoint, [&](CArchive &ar) { ar >> p; }), CArchiveException);
    EXPECT_EQ(p, CPoint(5, 6));
}

TEST(Archive, NarrowStringsAreRead)
{
    loadBytes(hex("03") + QByteArray("abc") + hex("ff0001") + QByteArray(256, 'y'), [](CArchive &ar) {
        EXPECT_EQ(ar.ReadString(), QStringLiteral("abc"));
        EXPECT_EQ(ar.ReadString(), QString(256, QLatin1Char('y')));
    });
}

TEST(Archive, TruncationAtEveryOffsetRaisesArchiveError)
{
    TestNode a, b;
    a.value = 7;
    a.next = &b;
    CArray<double> values;
    for (int i = 0; i < 10; ++i)
        values.Add(i * 0.5);
    const QByteArray bytes = storeBytes([&](CArchive &ar) {
        ar.WriteObject(&a);
        ar << QString(300, QLatin1Char('z'));
        values.Serialize(ar);
        ar.WriteCount(70000);
    });
    for (int cut = 0; cut < bytes.size(); ++cut) {
        bool threw = false;
        try {
            loadBytes(bytes.left(cut), [&](CArchive &ar) {
                std::unique_ptr<TestNode> ra(ar.ReadObjectAs<TestNode>());
                std::unique_ptr<TestNode> rb(ra ? ra->next : nullptr);
                ar.ReadString();
                CArray<double> v;
                v.Serialize(ar);
                ar.ReadCount();
            });
        } catch (const CArchiveException &e) {
            threw = e.m_cause == CArchiveException::endOfFile;
        }
        EXPECT_TRUE(threw) << "cut at " << cut;
    }
}

TEST(Archive, HugeCountsInDamagedInputDoNotAllocate)
{
    // a CArray count of 0xFFFFFFF0 with no data behind it
    EXPECT_THROW(loadBytes(hex("fffff0ffffff"),
                      [](CArchive &ar) {
                          CArray<double> v;
                          v.Serialize(ar);
                      }),
                 CArchiveException);
    // a unicode string claiming 2^31 characters
    EXPECT_THROW(loadBytes(hex("fffeffffffff00000080"), [](CArchive &ar) { ar.ReadString(); }),
                 CArchiveException);
}

TEST(Archive, UnknownClassesAndBadTagsAreRejected)
{
    auto cause = [](const QByteArray &bytes, const CRuntimeClass *expected = nullptr) {
        try {
            loadBytes(bytes, [&](CArchive &ar) { delete ar.ReadObject(expected); });
        } catch (const CArchiveException &e) {
            return e.m_cause;
        }
        return CArchiveException::none;
    };
    EXPECT_EQ(cause(hex("ffff00000700") + QByteArray("Unknown")), CArchiveException::badClass);
    // a class reference and an object reference to nothing read yet
    EXPECT_EQ(cause(hex("0580")), CArchiveException::badIndex);
    EXPECT_EQ(cause(hex("0500")), CArchiveException::badIndex);
    // a known class of the wrong kind
    EXPECT_EQ(cause(hex("ffff01000a00") + QByteArray("OtherClass"), RUNTIME_CLASS(TestNode)),
              CArchiveException::badClass);
    // a fixed (not versionable) schema that differs from the stored one
    EXPECT_EQ(cause(hex("ffff07000a00") + QByteArray("OtherClass")), CArchiveException::badSchema);
}

TEST(Archive, OwnedObjectsCannotBeReferredBackTo)
{
    TestNode a, b;
    a.next = &b;
    const QByteArray bytes = storeBytes([&](CArchive &ar) {
        ar.WriteObject(&a); // b is written inside a
        ar.WriteObject(&b); // a back reference to an object a's reader owns
        ar.WriteObject(&a);
    });
    loadBytes(bytes, [](CArchive &ar) {
        std::unique_ptr<TestNode> owned = ar.ReadOwnedObject<TestNode>();
        ASSERT_NE(owned, nullptr);
        delete owned->next;
        // Neither a's inner object nor a itself can be reached any more.
        EXPECT_THROW(ar.ReadObject(), CArchiveException);
    });
    loadBytes(bytes.mid(bytes.indexOf(QByteArray::fromHex("0300"), 20)), [](CArchive &ar) {
        // A back reference where an owned object is expected is refused unread.
        EXPECT_THROW(ar.ReadOwnedObject<TestNode>(), CArchiveException);
    });
}

TEST(Archive, DynamicCreationByName)
{
    CRuntimeClass *cls = CRuntimeClass::FromName("TestNode");
    ASSERT_EQ(cls, RUNTIME_CLASS(TestNode));
    std::unique_ptr<CObject> object(cls->CreateObject());
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(TestNode)));
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(object->IsKindOf(RUNTIME_CLASS(OtherClass)));
    EXPECT_EQ(CRuntimeClass::FromName("NoSuchClass"), nullptr);
}

} // namespace
