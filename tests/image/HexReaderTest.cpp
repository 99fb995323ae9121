#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "image/HexReader.h"
#include "tests/support/TestSupport.h"

namespace {

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Images of a 16K-instruction part with a second flash page, enough to see every placement.
struct Reader : ::testing::Test {
    void SetUp() override {
        code.SetRange(0x0000, 0xFFFE);
        data.SetRange(0x7FFC00, 0x7FFFFE);
        config.SetRange(0xF80000, 0xF8000E);
    }
    int Read(const std::string& contents) {
        FilePtr file(std::fopen(dir.Write("in.hex", contents).c_str(), "r"), &std::fclose);
        return ReadHexFile(file.get(), code, data, config);
    }
    testsupport::TempDir dir;
    CMemoryImage code, data, config;
};

TEST_F(Reader, PlacesGroupsAtWordAddresses) {
    EXPECT_EQ(Read(":020000040000FA\n"
                   ":10000000000102030405060708090A0B0C0D0E0F78\n"
                   ":00000001FF\n"),
              1);
    EXPECT_EQ(code.ReadWord(0), 0x0100);
    EXPECT_EQ(code.ReadWord(1), 0x0302);
    EXPECT_EQ(code.ReadWord(6), 0x0D0C);
    EXPECT_EQ(code.ReadWord(7), 0x0F0E);
    EXPECT_EQ(code.ReadInstruction(6, false), 0x0F0E0D0Cu);
    EXPECT_EQ(code.LastUsedAddress(), 7u);
    EXPECT_FALSE(code.rangeError);
}

TEST_F(Reader, IgnoresIncompleteGroupsAndChecksums) {
    EXPECT_EQ(Read(":0600000001020304050600\n:03000800AABBCC00\n"), 1);
    EXPECT_EQ(code.ReadWord(0), 0x0201);
    EXPECT_EQ(code.ReadWord(1), 0x0403);
    MemoryCell cell;
    code.GetCell(2, cell);
    EXPECT_FALSE(cell.used);
    code.GetCell(4, cell);
    EXPECT_FALSE(cell.used);
}

TEST_F(Reader, ExtendedAddressesReachEveryImage) {
    EXPECT_EQ(Read(":020000040001f9\r\n"
                   ":08000000a1b2c3d4e5f60708f0\r\n"
                   ":0200000400ff\r\n"
                   ":04f800005aa50000\r\n"
                   ":020000040000fa\r\n"
                   ":020000040000fa\r\n"
                   ":0400100011223344\r\n"
                   ":0200000401f0\r\n"
                   ":04000c00c3000000\r\n"
                   ":00000001ff\r\n"),
              1);
    EXPECT_EQ(code.ReadInstruction(0x8000, false), 0xD4C3B2A1u);
    EXPECT_EQ(code.ReadWord(0x8002), 0xF6E5);
    EXPECT_EQ(data.ReadWord(0x7FFC00), 0xA55A);
    EXPECT_EQ(code.ReadWord(0x0008), 0x2211);
    EXPECT_EQ(config.ReadWord(0xF80006), 0x00C3);
}

TEST_F(Reader, RecordsRunAcrossA64KBoundaryWithoutWrapping) {
    EXPECT_EQ(Read(":10FFF800000102030405060708090A0B0C0D0E0F00\n"), 1);
    EXPECT_EQ(code.ReadWord(0x7FFC), 0x0100);
    EXPECT_EQ(code.ReadWord(0x8000), 0x0908);
    EXPECT_EQ(code.ReadWord(0x8003), 0x0F0E);
    EXPECT_EQ(code.ReadWord(0x0000), 0);
}

TEST_F(Reader, GroupsFollowTheImageHoldingTheirAddress) {
    code.SetRange(0x0000, 0x0003);  // extra cell at 4
    data.SetRange(0x0005, 0x0010);
    EXPECT_EQ(Read(":0C0000000100020003000400050006003A\n"), 1);
    EXPECT_EQ(code.ReadWord(4), 0x0005);
    EXPECT_TRUE(code.rangeError);  // the upper half at 5 stays with the code image
    EXPECT_EQ(data.ReadWord(5), 0);
    EXPECT_FALSE(data.hasData);
}

TEST_F(Reader, StopsWithZeroAtDataOutsideEveryImage) {
    EXPECT_EQ(Read(":0400000001020304F2\n"
                   ":08002000AABBCCDD11223344\n"
                   ":020000040200F8\n"
                   ":0400000001020304F2\n"
                   ":04000000FFFFFFFF00\n"
                   "garbage\n"),
              0);
    EXPECT_EQ(code.ReadWord(0), 0x0201);
    EXPECT_EQ(code.ReadWord(0x10), 0xBBAA);
    EXPECT_EQ(code.ReadWord(0x13), 0x4433);
}

TEST_F(Reader, RefusesUnacceptableLinesByNumber) {
    EXPECT_EQ(Read(":00000001FF\nanything\n"), 1);
    EXPECT_EQ(Read(""), 1);
    EXPECT_FALSE(code.hasData);
    EXPECT_EQ(Read(":0400000001020304F2\n:020000040000FA\n:020000020000FC\n"), -3);
    EXPECT_EQ(code.ReadWord(0), 0x0201);
    EXPECT_EQ(Read(":0400000400000000\n"), -1);
    EXPECT_EQ(Read(":020010040000EA\n"), -1);
    EXPECT_EQ(Read(":0400000001020304F2\n\n"), -2);
    EXPECT_EQ(Read(" :0400000001020304F2\n"), -1);
    EXPECT_EQ(Read(":00000005FB\n"), -1);
}

TEST_F(Reader, TruncatedRecordsPlaceNothing) {
    EXPECT_EQ(Read(":0400000001020304F2\n:1000100001020304050607080910\n"), -2);
    MemoryCell cell;
    code.GetCell(0x8, cell);
    EXPECT_FALSE(cell.used);
    EXPECT_EQ(Read(":0400000001020304F2\n:1001"), -2);
    EXPECT_EQ(Read(":\n"), -1);
    EXPECT_EQ(Read(":0200000400"), -1);
}

TEST_F(Reader, ReadsNinetyNineCharactersAsOneLine) {
    const std::string longLine = ":020000040000FA" + std::string(105, ' ') + "\n";
    ASSERT_EQ(longLine.size(), 121u);
    EXPECT_EQ(Read(":00000000\n" + longLine + ":00000001FF\n"), -3);

    // 45 data bytes fill exactly 99 characters: placed, and the checksum is the next line.
    std::string record = ":2D000000";
    for (int i = 0; i < 45; ++i) record += "11";
    EXPECT_EQ(Read(record + "00\n"), -2);
    EXPECT_EQ(code.ReadWord(0x14), 0x1111);
    EXPECT_EQ(Read(record + "\n"), -2);  // even the terminator alone is a line of its own
}

TEST_F(Reader, NonHexCharactersEndAConversionEarly) {
    EXPECT_EQ(Read(":04000000G1A2B3C400\n"), 1);
    EXPECT_EQ(code.ReadWord(0), 0xA200);
    EXPECT_EQ(code.ReadWord(1), 0xC4B3);
    // ":1001zzzz" reads as count 0, address 0x0010, type 01: the end of the file.
    EXPECT_EQ(Read(":1001zzzz\n:garbage\n"), 1);
}

TEST_F(Reader, ReadErrorIsNotTheEndOfTheFile) {
    FilePtr directory(std::fopen(dir.path().c_str(), "r"), &std::fclose);
    ASSERT_NE(directory, nullptr);
    EXPECT_EQ(ReadHexFile(directory.get(), code, data, config), -1);
}

}  // namespace
