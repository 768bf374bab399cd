#include "imaging/FreeImageDeviceIO.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <array>
#include <cstring>

// A read writes only the bytes it got, however much was asked for, and
// answers whole items as fread does.
TEST(FreeImageDeviceIO, ReadsNeverWritePastWhatTheInputHeld)
{
    QByteArray ten("0123456789");
    QBuffer buffer(&ten);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    FreeImageDeviceIO input(&buffer);
    std::array<char, 64> memory {};

    // A request of about 3.9 GB into a small buffer, as a decoder once made.
    memory.fill('#');
    EXPECT_EQ(FreeImageDeviceIO::read(memory.data(), 1, 0xF0000000u, input.handle()), 10u);
    EXPECT_EQ(QByteArray(memory.data(), 10), ten);
    EXPECT_EQ(memory[10], '#');
    EXPECT_EQ(memory[63], '#');
    EXPECT_TRUE(input.readPastEnd());

    // Items: three of four bytes asked for, two whole ones there.
    ASSERT_TRUE(buffer.seek(0));
    memory.fill('#');
    EXPECT_EQ(FreeImageDeviceIO::read(memory.data(), 4, 3, input.handle()), 2u);
    EXPECT_EQ(memory[10], '#');

    // Within the input: everything asked for, nothing past it.
    FreeImageDeviceIO again(&buffer);
    ASSERT_TRUE(buffer.seek(2));
    memory.fill('#');
    EXPECT_EQ(FreeImageDeviceIO::read(memory.data(), 2, 3, again.handle()), 3u);
    EXPECT_EQ(QByteArray(memory.data(), 7), QByteArray("234567#"));
    EXPECT_FALSE(again.readPastEnd());
    EXPECT_EQ(FreeImageDeviceIO::read(memory.data(), 0, 3, again.handle()), 0u);
    EXPECT_EQ(FreeImageDeviceIO::tell(again.handle()), 8);
}
