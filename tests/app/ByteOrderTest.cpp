#include "app/ByteOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(ByteOrder, GettersReadLittleEndianAtUnalignedAddresses) {
    const unsigned char bytes[] = {0xFF, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x88};
    const unsigned char* odd = bytes + 1;
    EXPECT_EQ(GetUint16(odd), 0x0201u);
    EXPECT_EQ(GetUint32(odd), 0x04030201u);
    EXPECT_EQ(GetUint64(odd), 0x8807060504030201ull);
}

TEST(ByteOrder, SettersRoundTripThroughGetters) {
    unsigned char bytes[9] = {};
    SetUint16(bytes + 1, 0xBEEF);
    EXPECT_EQ(bytes[1], 0xEF);
    EXPECT_EQ(bytes[2], 0xBE);
    SetUint32(bytes + 1, 0xCAFEBABEul);
    EXPECT_EQ(GetUint32(bytes + 1), 0xCAFEBABEu);
    SetUint64(bytes + 1, 0x0123456789ABCDEFull);
    EXPECT_EQ(GetUint64(bytes + 1), 0x0123456789ABCDEFull);
    EXPECT_EQ(bytes[1], 0xEF);
    EXPECT_EQ(bytes[8], 0x01);
    EXPECT_EQ(bytes[0], 0);
}

TEST(ByteOrder, ReadersAndWritersMoveTheCursor) {
    unsigned char bytes[7] = {};
    unsigned char* end = WriteUint32(WriteUint16(WriteUbyte(bytes, 0x7F), 0x1234), 0xA1B2C3D4ul);
    EXPECT_EQ(end, bytes + 7);

    const unsigned char* cursor = bytes;
    EXPECT_EQ(ReadUbyte(&cursor), 0x7F);
    EXPECT_EQ(ReadUint16(&cursor), 0x1234);
    EXPECT_EQ(ReadUint32(&cursor), 0xA1B2C3D4u);
    EXPECT_EQ(cursor, bytes + 7);
}

TEST(ByteOrder, StringsAreWrittenWithTheirTerminator) {
    unsigned char bytes[16];
    std::fill(std::begin(bytes), std::end(bytes), 0xAA);
    unsigned char* end = WriteOemSz(bytes, "NT");
    EXPECT_EQ(end, bytes + 3);
    EXPECT_EQ(std::vector<unsigned char>(bytes, end), (std::vector<unsigned char>{'N', 'T', 0}));

    std::fill(std::begin(bytes), std::end(bytes), 0xAA);
    end = WriteUnicodeSz(bytes, std::wstring{L'A', static_cast<wchar_t>(0x0416)});
    EXPECT_EQ(end, bytes + 6);
    EXPECT_EQ(std::vector<unsigned char>(bytes, end), (std::vector<unsigned char>{'A', 0, 0x16, 0x04, 0, 0}));
    EXPECT_EQ(bytes[6], 0xAA);
}

TEST(ByteOrder, TransportHeaderKeepsTheLow24BitsBigEndian) {
    unsigned char bytes[4];
    EXPECT_EQ(WriteTransportHeader(bytes, 0xFF123456u), bytes + 4);
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 4),
              (std::vector<unsigned char>{0, 0x12, 0x34, 0x56}));
}

TEST(ByteOrder, ArrayToWstringReadsSixteenBitUnits) {
    const unsigned char bytes[] = {0xFF, 'h', 0, 0x16, 0x04, 'i', 0, 0, 0, 'x', 0};
    std::wstring text = L"old";
    ArrayToWstring(&text, bytes + 1, 2);
    EXPECT_EQ(text, (std::wstring{L'h', static_cast<wchar_t>(0x0416)}));

    ArrayToWstring(&text, bytes + 1, kUntilZeroUnit);
    EXPECT_EQ(text, (std::wstring{L'h', static_cast<wchar_t>(0x0416), L'i'}));

    // A counted read keeps zero units: the count, not a terminator, decides the length.
    ArrayToWstring(&text, bytes + 5, 3);
    EXPECT_EQ(text, (std::wstring{L'i', L'\0', L'x'}));
}

}  // namespace
