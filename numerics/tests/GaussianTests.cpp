#include "numerics/CGaussian.h"
#include "numerics/CGaussianArray.h"
#include "platform/Exceptions.h"

#include <QBuffer>
#include <QByteArray>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

TEST(CGaussian, DefaultsAccessorsAndRuntimeClass)
{
    const CGaussian g;
    EXPECT_EQ(g.GetAmplitude(), 0);
    EXPECT_EQ(g.GetCenter(), 0);
    EXPECT_EQ(g.GetWidth(), 1);

    const CGaussian h(120, -7, 9);
    EXPECT_EQ(h.GetAmplitude(), 120);
    EXPECT_EQ(h.GetCenter(), -7);
    EXPECT_EQ(h.GetWidth(), 9);

    EXPECT_TRUE(h.IsKindOf(RUNTIME_CLASS(CGaussian)));
    EXPECT_STREQ(h.GetRuntimeClass()->m_lpszClassName, "CGaussian");
    std::unique_ptr<CObject> created(RUNTIME_CLASS(CGaussian)->CreateObject());
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(static_cast<CGaussian *>(created.get())->GetWidth(), 1);
}

TEST(CGaussian, EvaluateAtCenterAndOneWidthAway)
{
    for (const int amplitude : { 1, 100, 255, 4095, 65535, 1000003 }) {
        const CGaussian g(amplitude, 50, 7);
        EXPECT_EQ(g.EvaluateAt(50), amplitude);
        // e^-1 in double, product rounded to float, then truncated.
        const int expected = int(float(std::exp(-1.0) * amplitude));
        EXPECT_EQ(g.EvaluateAt(43), expected) << amplitude;
        EXPECT_EQ(g.EvaluateAt(57), expected) << amplitude;
    }
    EXPECT_EQ(CGaussian(100, 50, 7).EvaluateAt(57), 36); // 36.78...
    EXPECT_EQ(CGaussian(-100, 50, 7).EvaluateAt(57), -36); // toward zero
}

TEST(CGaussian, EvaluateAtFollowsTheSinglePrecisionStepsBitForBit)
{
    // Cases where working in double throughout would give one less.
    EXPECT_EQ(CGaussian(100000, 0, 35).EvaluateAt(3), 99268);
    EXPECT_EQ(CGaussian(100000, 0, 35).EvaluateAt(-3), 99268);
    EXPECT_EQ(CGaussian(100000, 0, 20).EvaluateAt(21), 33204);
    EXPECT_EQ(CGaussian(65535, 10, 20).EvaluateAt(33), 17463);
    // The product is rounded to float: 16777217 becomes 16777216.0f.
    EXPECT_EQ(CGaussian(16777217, 0, 5).EvaluateAt(0), 16777216);
    // Far tails underflow to zero.
    EXPECT_EQ(CGaussian(1000, 0, 2).EvaluateAt(100), 0);
}

TEST(CGaussian, EvaluateAtIsDefinedOutsideTheUsualRange)
{
    // Width 0 at the center is 0/0; the answer is 0 rather than undefined.
    EXPECT_EQ(CGaussian(100, 5, 0).EvaluateAt(5), 0);
    EXPECT_EQ(CGaussian(100, 5, 0).EvaluateAt(6), 0);
    // INT32_MAX rounds to 2^31 in float, one above the int range.
    EXPECT_EQ(CGaussian(INT32_MAX, 0, 1).EvaluateAt(0), INT32_MAX);
    EXPECT_EQ(CGaussian(INT32_MIN, 0, 1).EvaluateAt(0), INT32_MIN);
}

TEST(CGaussian, WriteV1_0WritesTwelveLittleEndianBytes)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    CGaussian(0x01020304, -2, 0x7FFFFFFF).WriteV1_0(&buffer);
    buffer.close();
    const QByteArray expected = QByteArray::fromHex("04030201" "feffffff" "ffffff7f");
    EXPECT_EQ(bytes, expected);

    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    CGaussian back;
    back.ReadV1_0(&buffer);
    EXPECT_EQ(back.GetAmplitude(), 0x01020304);
    EXPECT_EQ(back.GetCenter(), -2);
    EXPECT_EQ(back.GetWidth(), 0x7FFFFFFF);
    EXPECT_TRUE(buffer.atEnd());
}

TEST(CGaussian, ReadV1_0RefusesShortInputAndKeepsTheOldValues)
{
    for (int size = 0; size < 12; ++size) {
        QByteArray bytes = QByteArray::fromHex("0a000000" "14000000" "1e000000").left(size);
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        CGaussian g(7, 8, 9);
        try {
            g.ReadV1_0(&buffer);
            ADD_FAILURE() << "no exception for " << size << " bytes";
        } catch (const CArchiveException &e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        }
        EXPECT_EQ(g.GetAmplitude(), 7);
        EXPECT_EQ(g.GetCenter(), 8);
        EXPECT_EQ(g.GetWidth(), 9);
    }
}

TEST(CGaussian, WriteV1_0ToAClosedDeviceRaises)
{
    QBuffer closed;
    EXPECT_THROW(CGaussian(1, 2, 3).WriteV1_0(&closed), CFileException);
}

TEST(CGaussianArray, HoldsCopiesByValue)
{
    CGaussian g(10, 20, 30);
    CGaussianArray array;
    array.Add(g);
    g = CGaussian(1, 2, 3);
    array.Add(g);
    ASSERT_EQ(array.GetSize(), 2);
    EXPECT_EQ(array[0].GetAmplitude(), 10);
    EXPECT_EQ(array[1].GetWidth(), 3);

    CGaussianArray copy(array);
    array[0] = CGaussian();
    EXPECT_EQ(copy[0].GetCenter(), 20);
    CGaussianArray assigned;
    assigned = copy;
    EXPECT_EQ(assigned.GetSize(), 2);
    EXPECT_THROW(assigned.GetAt(2), CInvalidArgException);
}

} // namespace
