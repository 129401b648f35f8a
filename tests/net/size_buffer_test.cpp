#include "net/size_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

SizeBuffer messageOf(const std::vector<uint8_t>& bytes, int32_t capacity = 8192) {
    SizeBuffer msg;
    SZ_Init(msg, capacity);
    SZ_Load(msg, bytes.data(), static_cast<int32_t>(bytes.size()));
    return msg;
}

std::vector<uint8_t> contents(const SizeBuffer& buffer) {
    return {buffer.data.get(), buffer.data.get() + buffer.cursize};
}

TEST(MessageWrite, FieldsAreLittleEndianAndStringsEndInOneNul) {
    SizeBuffer out;
    SZ_Init(out, 64);
    MSG_WriteLong(out, 777123);
    MSG_WriteShort(out, -2);
    MSG_WriteByte(out, 0x1FF);
    MSG_WriteString(out, "ab");
    MSG_WriteString(out, "");
    MSG_WriteString(out, static_cast<const char*>(nullptr));
    EXPECT_EQ(contents(out),
              (std::vector<uint8_t>{0xA3, 0xDB, 0x0B, 0x00, 0xFE, 0xFF, 0xFF, 'a', 'b', 0, 0, 0}));
}

TEST(MessageRead, FieldsAreSignedOrUnsignedAsDeclared) {
    SizeBuffer msg = messageOf({0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0x80, 0xA3, 0xDB, 0x0B, 0x00});
    EXPECT_EQ(MSG_ReadShort(msg), -2);
    EXPECT_EQ(MSG_ReadLong(msg), -1);
    EXPECT_EQ(MSG_ReadChar(msg), -128);
    EXPECT_EQ(MSG_ReadByte(msg), 128);
    EXPECT_EQ(MSG_ReadLong(msg), 777123);
}

TEST(MessageRead, PastEndYieldsMinusOneAndEmpty) {
    SizeBuffer msg = messageOf({0x01, 0x02, 0x03});
    EXPECT_EQ(MSG_ReadLong(msg), -1);
    EXPECT_EQ(msg.readcount, 4);
    // The cursor stays past the end: bytes that remained are not read any more.
    EXPECT_EQ(MSG_ReadByte(msg), -1);
    EXPECT_EQ(MSG_ReadShort(msg), -1);
    EXPECT_EQ(MSG_ReadString(msg), "");

    SizeBuffer empty = messageOf({});
    EXPECT_EQ(MSG_ReadChar(empty), -1);
    EXPECT_EQ(MSG_ReadString(empty), "");
}

TEST(MessageRead, StringsStopAtNulByte255OrEnd) {
    SizeBuffer msg = messageOf({'a', 'b', 0xFF, 'c', 'd', 0x00, 'e', 'f'});
    EXPECT_EQ(MSG_ReadString(msg), "ab");
    EXPECT_EQ(MSG_ReadString(msg), "cd");
    EXPECT_EQ(MSG_ReadString(msg), "ef");
    EXPECT_EQ(MSG_ReadString(msg), "");
}

TEST(MessageRead, OverlongStringIsCutAndTheRestReadsNext) {
    std::vector<uint8_t> bytes(3000, 'x');
    bytes[2047] = 'y';
    SizeBuffer msg = messageOf(bytes);
    const std::string first = MSG_ReadString(msg);
    EXPECT_EQ(first, std::string(2047, 'x'));
    const std::string second = MSG_ReadString(msg);
    ASSERT_EQ(second.size(), 3000u - 2047u);
    EXPECT_EQ(second[0], 'y');
}

TEST(BufferSpace, OverflowEmptiesTheBufferAndKeepsTheNewBytes) {
    SizeBuffer out;
    SZ_Init(out, 8192);
    out.cursize = 8190;
    const std::vector<uint8_t> ten(10, 0x42);
    testing::internal::CaptureStdout();
    SZ_Write(out, ten.data(), 10);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "SZ_GetSpace: overflow\n");
    EXPECT_EQ(contents(out), ten);
}

TEST(BufferSpace, RequestsLargerThanTheStorageWriteNothing) {
    SizeBuffer out;
    SZ_Init(out, 16);
    MSG_WriteLong(out, 1);
    const std::vector<uint8_t> big(17, 0x42);
    testing::internal::CaptureStdout();
    SZ_Write(out, big.data(), 17);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "SZ_GetSpace: 17 is > full buffer size");
    EXPECT_EQ(out.cursize, 0);
    EXPECT_EQ(SZ_GetSpace(out, -1), nullptr);
    EXPECT_EQ(out.cursize, 0);

    // A string that cannot fit is dropped whole; what follows starts afresh.
    MSG_WriteString(out, std::string(40, 'a'));
    MSG_WriteByte(out, 7);
    EXPECT_EQ(contents(out), std::vector<uint8_t>{7});

    SizeBuffer none;
    SZ_Init(none, 0);
    testing::internal::CaptureStdout();
    MSG_WriteLong(none, 5);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(none.cursize, 0);
}

TEST(BufferLoad, LoadIsCutToCapacityAndRewindsTheCursor) {
    SizeBuffer msg;
    SZ_Init(msg, 4);
    const std::vector<uint8_t> bytes{1, 2, 3, 4, 5, 6};
    EXPECT_EQ(SZ_Load(msg, bytes.data(), 6), 4);
    EXPECT_EQ(MSG_ReadLong(msg), 0x04030201);
    EXPECT_EQ(SZ_Load(msg, bytes.data(), -3), 0);
    EXPECT_EQ(MSG_ReadByte(msg), -1);
}

}  // namespace
