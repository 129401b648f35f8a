#include "net/size_buffer.h"

#include <gtest/gtest.h>

#include <string>

#include "loopback_peer.h"

namespace {

TEST(MessageWrite, FieldsAreLittleEndianAndStringsEndInOneNul) {
    EXPECT_EQ(bytesOf([](SizeBuffer& out) {
                  MSG_WriteLong(out, 777123);
                  MSG_WriteShort(out, -2);
                  MSG_WriteByte(out, 0x1FF);
                  MSG_WriteString(out, "ab");
                  MSG_WriteString(out, "");
                  MSG_WriteString(out, static_cast<const char*>(nullptr));
              }),
              (Bytes{0xA3, 0xDB, 0x0B, 0x00, 0xFE, 0xFF, 0xFF, 'a', 'b', 0, 0, 0}));
}

TEST(MessageRead, FieldsAreSignedAsDeclaredAndPastTheEndReadAsMinusOneAndEmpty) {
    SizeBuffer msg =
        messageOf({0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0x80, 0xA3, 0xDB, 0x0B, 0x00, 1, 2, 3});
    EXPECT_EQ(MSG_ReadShort(msg), -2);
    EXPECT_EQ(MSG_ReadLong(msg), -1);
    EXPECT_EQ(MSG_ReadChar(msg), -128);
    EXPECT_EQ(MSG_ReadByte(msg), 128);
    EXPECT_EQ(MSG_ReadLong(msg), 777123);
    EXPECT_EQ(MSG_ReadLong(msg), -1);
    // The cursor stays past the end: bytes that remained are not read any more.
    EXPECT_EQ(MSG_ReadByte(msg), -1);
    EXPECT_EQ(MSG_ReadShort(msg), -1);
    EXPECT_EQ(MSG_ReadChar(msg), -1);
    EXPECT_EQ(MSG_ReadString(msg), "");
}

TEST(MessageRead, StringsStopAtNulByte255OrEndAndAreCutAt2047) {
    SizeBuffer msg = messageOf({'a', 'b', 0xFF, 'c', 'd', 0x00, 'e', 'f'});
    for (const char* text : {"ab", "cd", "ef", ""}) {
        EXPECT_EQ(MSG_ReadString(msg), text);
    }
    // The rest of an overlong string reads next.
    Bytes bytes(3000, 'x');
    bytes[2047] = 'y';
    SizeBuffer overlong = messageOf(bytes);
    EXPECT_EQ(MSG_ReadString(overlong), std::string(2047, 'x'));
    EXPECT_EQ(MSG_ReadString(overlong), 'y' + std::string(3000 - 2048, 'x'));
}

TEST(BufferSpace, OverflowEmptiesTheBufferAndOversizedWritesGetNothing) {
    SizeBuffer out;
    SZ_Init(out, 16);
    out.cursize = 14;
    const Bytes ten(10, 0x42);
    testing::internal::CaptureStdout();
    SZ_Write(out, ten.data(), 10);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "SZ_GetSpace: overflow\n");
    EXPECT_EQ(contents(out), ten);

    const Bytes big(17, 0x42);
    testing::internal::CaptureStdout();
    SZ_Write(out, big.data(), 17);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "SZ_GetSpace: 17 is > full buffer size");
    EXPECT_EQ(out.cursize, 0);
    EXPECT_EQ(SZ_GetSpace(out, -1), nullptr);
    EXPECT_EQ(out.cursize, 0);

    // A string that cannot fit is dropped whole; what follows starts afresh.
    MSG_WriteString(out, std::string(40, 'a'));
    MSG_WriteByte(out, 7);
    EXPECT_EQ(contents(out), Bytes{7});
}

TEST(BufferLoad, LoadIsCutToCapacityAndRewindsTheCursor) {
    SizeBuffer msg;
    SZ_Init(msg, 4);
    const Bytes bytes{1, 2, 3, 4, 5, 6};
    EXPECT_EQ(SZ_Load(msg, bytes.data(), 6), 4);
    EXPECT_EQ(MSG_ReadLong(msg), 0x04030201);
    EXPECT_EQ(SZ_Load(msg, bytes.data(), -3), 0);
    EXPECT_EQ(MSG_ReadByte(msg), -1);
}

}  // namespace
