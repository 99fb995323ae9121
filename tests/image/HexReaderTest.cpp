#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

#include "image/HexReader.h"
#include "tests/image/HexRecords.h"
#include "tests/support/TestSupport.h"

namespace {

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
using hexrecords::Data;
using hexrecords::kEnd;
using hexrecords::Record;
using hexrecords::Upper;

// Images of a 16K-instruction part with a second flash page, enough to see every placement.
struct Reader : ::testing::Test {
    void SetUp() override {
        code.SetRange(0x0000, 0xFFFE);
        data.SetRange(0x7FFC00, 0x7FFFFE);
        config.SetRange(0xF80000, 0xF8000E);
    }
    HexReadReport Report(const std::string& contents) {
        FilePtr file(std::fopen(dir.Write("in.hex", contents).string().c_str(), "r"), &std::fclose);
        return ReadHexRecords(file.get(), code, data, config);
    }
    int Read(const std::string& contents) {
        FilePtr file(std::fopen(dir.Write("in.hex", contents).string().c_str(), "r"), &std::fclose);
        return ReadHexFile(file.get(), code, data, config);
    }
    testsupport::TempDir dir;
    CMemoryImage code, data, config;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

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

// Bytes go by byte address: a group may be split over records, the way tools that re-block a
// file write it, but no byte may be lost, shifted or given two values without a word.
TEST_F(Reader, PlacesBytesByTheirAddressAndRefusesLostShiftedOrDoubledOnes) {
    const struct {
        const char* name;
        std::string file;
        int result;          // of ReadHexFile
        std::string reason;  // of a refusal
        std::uint32_t word;  // a word to look at when read
        std::uint16_t value;
    } cases[] = {
        {"a group continued in the next record", Data(0, "010203040506") + Data(6, "0708") + kEnd,
         1, "", 3, 0x0807},
        {"a group continued at an odd address", Data(0, "0102030405") + Data(5, "060708") + kEnd, 1,
         "", 2, 0x0605},
        {"a group given back to front", Data(2, "0304") + Data(0, "0102") + kEnd, 1, "", 1, 0x0403},
        {"a byte given twice alike", Data(0, "01020304") + Data(2, "0304") + kEnd, 1, "", 1,
         0x0403},
        {"a group left incomplete", Data(0, "010203040506") + kEnd, -1,
         "the 4-byte group at byte address 0x4 is incomplete: the file gives 2 of its bytes", 0, 0},
        {"255 bytes and nothing after them", Data(0, std::string(510, '1')) + kEnd, -1,
         "the 4-byte group at byte address 0xFC is incomplete: the file gives 3 of its bytes", 0,
         0},
        {"a record at an odd address", Data(0, "01020304") + Data(7, "0102") + kEnd, -2,
         "data at the odd byte address 0x7: a dsPIC's HEX file holds whole 16-bit words", 0, 0},
        {"two values for one byte",
         Data(0, "0102030405060708") + Data(0x10, "00000000") + Data(4, "05AA") + kEnd, -3,
         "gives byte address 0x5 the value 0xAA; line 1 gave it 0x06", 0, 0},
        {"two values for a byte still waiting", Data(0, "0102") + Data(0, "01AA") + kEnd, -2,
         "gives byte address 0x1 the value 0xAA; line 1 gave it 0x02", 0, 0},
        {"an end-of-file record with data", Data(0, "01020304") + ":0100000100FE\n", -2,
         "an end-of-file record carries no data (byte count 0x01)", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        code.Clear();
        EXPECT_EQ(Read(c.file), c.result);
        EXPECT_EQ(Report(c.file).reason, c.reason);
        if (c.result == 1) {
            EXPECT_EQ(code.ReadWord(c.word), c.value);
        }
    }
}

TEST_F(Reader, ExtendedAddressesReachEveryImageInEitherCaseAndLineEnd) {
    std::string file = Upper(0x0001) + Data(0, "A1B2C3D4E5F60708") + Upper(0x00FF) +
                       Data(0xF800, "5AA50000") + Upper(0) + Upper(0) + Data(0x10, "11223344") +
                       Upper(0x01F0) + Data(0x0C, "C3000000") + kEnd;
    for (std::size_t at = file.find('\n'); at != std::string::npos; at = file.find('\n', at + 2)) {
        file.insert(at, "\r");
    }
    EXPECT_EQ(Read(Lower(file)), 1);
    EXPECT_EQ(code.ReadInstruction(0x8000, false), 0xD4C3B2A1u);
    EXPECT_EQ(code.ReadWord(0x8002), 0xF6E5);
    EXPECT_EQ(data.ReadWord(0x7FFC00), 0xA55A);
    EXPECT_EQ(code.ReadWord(0x0008), 0x2211);
    EXPECT_EQ(config.ReadWord(0xF80006), 0x00C3);
}

TEST_F(Reader, RecordsRunAcrossA64KBoundaryWithoutWrapping) {
    EXPECT_EQ(Read(Data(0xFFF8, "000102030405060708090A0B0C0D0E0F") + kEnd), 1);
    EXPECT_EQ(code.ReadWord(0x7FFC), 0x0100);
    EXPECT_EQ(code.ReadWord(0x8000), 0x0908);
    EXPECT_EQ(code.ReadWord(0x8003), 0x0F0E);
    EXPECT_EQ(code.ReadWord(0x0000), 0);
}

TEST_F(Reader, GroupsFollowTheImageHoldingTheirAddress) {
    code.SetRange(0x0000, 0x0003);  // extra cell at 4
    data.SetRange(0x0005, 0x0010);
    EXPECT_EQ(Read(Data(0, "010002000300040005000600") + kEnd), 1);
    EXPECT_EQ(code.ReadWord(4), 0x0005);
    EXPECT_TRUE(code.rangeError);  // the upper half at 5 stays with the code image
    EXPECT_EQ(data.ReadWord(5), 0);
    EXPECT_FALSE(data.hasData);
}

TEST_F(Reader, StopsAtDataOutsideEveryImageWithItsLine) {
    const std::string file = Data(0, "01020304") + Data(0x20, "AABBCCDD11223344") + Upper(0x0200) +
                             Data(0, "01020304") + "garbage\n";
    EXPECT_EQ(Read(file), 0);
    const HexReadReport report = Report(file);
    EXPECT_EQ(report.outcome, HexReadOutcome::OutsideData);
    EXPECT_EQ(report.line, 4);
    EXPECT_EQ(report.reason, "data at word address 0x1000000 lies outside the dsPIC memories");
    EXPECT_EQ(code.ReadWord(0), 0x0201);
    EXPECT_EQ(code.ReadWord(0x10), 0xBBAA);
    EXPECT_EQ(code.ReadWord(0x13), 0x4433);
}

TEST_F(Reader, ReadsWhatFollowsOnlyUpToTheEndOfFileRecord) {
    EXPECT_EQ(Read(kEnd + "anything\n"), 1);
    EXPECT_FALSE(code.hasData);
    // The longest record there is: 255 data bytes on one line of 521 characters.
    std::string bytes;
    for (int i = 0; i < 255; ++i) bytes += "11";
    EXPECT_EQ(Read(Data(0, bytes) + Data(255, "22") + kEnd), 1);
    EXPECT_EQ(code.ReadWord(0x7C), 0x1111);
    EXPECT_EQ(code.ReadWord(0x7F), 0x2211);  // the last group ends in the next record
}

// Every malformed record refuses the file at its line, with the reason a user can act on.
TEST_F(Reader, RefusesEveryMalformedRecordWithItsLine) {
    const std::string sound = Data(0, "01020304");
    const struct {
        const char* name;
        std::string file;
        HexReadOutcome outcome;
        int line;
        std::string reason;
    } cases[] = {
        {"wrong checksum", sound + ":0400000001020304F3\n" + kEnd, HexReadOutcome::BadLine, 2,
         "checksum 0xF3, expected 0xF2"},
        {"non-hex digit in the count", ":1G00000000\n" + kEnd, HexReadOutcome::BadLine, 1,
         "'G' is not a hex digit"},
        {"non-hex digit in the data", sound + ":04000000G1A2B3C400\n", HexReadOutcome::BadLine, 2,
         "'G' is not a hex digit"},
        {"odd number of digits", ":0400000001020304F\n", HexReadOutcome::BadLine, 1,
         "an odd number of hex digits (17)"},
        {"byte count above the data", sound + ":100010000102030405060708C0\n",
         HexReadOutcome::BadLine, 2, "byte count 0x10 announces 16 data bytes, the record holds 8"},
        {"byte count below the data", ":0200000001020304F4\n", HexReadOutcome::BadLine, 1,
         "byte count 0x02 announces 2 data bytes, the record holds 4"},
        {"cut inside a record", sound + sound + ":1001", HexReadOutcome::BadLine, 3,
         "too short for a record"},
        {"cut after a whole line", sound + Upper(0) + sound, HexReadOutcome::NoEndRecord, 4,
         "the file ends without its end-of-file record (cut short)"},
        {"a lone record mark", ":\n", HexReadOutcome::BadLine, 1, "too short for a record"},
        {"empty line", sound + "\n" + kEnd, HexReadOutcome::BadLine, 2, "an empty line"},
        {"leading blank", " " + sound + kEnd, HexReadOutcome::BadLine, 1,
         "the line does not begin with ':'"},
        {"trailing blank", sound.substr(0, sound.size() - 1) + " \n" + kEnd,
         HexReadOutcome::BadLine, 1, "' ' is not a hex digit"},
        {"NUL after the end-of-file record", std::string(":00000001FF\0x\n", 14),
         HexReadOutcome::BadLine, 1, "character 0x00 is not a hex digit"},
        {"type 02", sound + Upper(0) + Record(0, 0x02, "0000") + kEnd, HexReadOutcome::BadLine, 3,
         "record type 0x02 is not supported"},
        {"type 05", Record(0, 0x05, "") + kEnd, HexReadOutcome::BadLine, 1,
         "record type 0x05 is not supported"},
        {"type 04 with four bytes", Record(0, 0x04, "00000000") + kEnd, HexReadOutcome::BadLine, 1,
         "an extended address record needs byte count 0x02 and address 0000"},
        {"type 04 at an address", Record(0x10, 0x04, "0000") + kEnd, HexReadOutcome::BadLine, 1,
         "an extended address record needs byte count 0x02 and address 0000"},
        {"line longer than any record", ":" + std::string(600, '0') + "\n" + kEnd,
         HexReadOutcome::BadLine, 1, "longer than any record (521 characters)"},
        {"empty file", "", HexReadOutcome::NoEndRecord, 1,
         "the file ends without its end-of-file record (cut short)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HexReadReport report = Report(c.file);
        EXPECT_EQ(report.outcome, c.outcome);
        EXPECT_EQ(report.line, c.line);
        EXPECT_EQ(report.reason, c.reason);
        EXPECT_EQ(Read(c.file), -c.line);
    }
}

TEST_F(Reader, RefusedRecordsPlaceNothingOfThemselves) {
    EXPECT_EQ(Read(Data(0, "01020304") + ":08001000010203040506070800\n"), -2);
    MemoryCell cell;
    code.GetCell(0x8, cell);
    EXPECT_FALSE(cell.used);
    EXPECT_EQ(code.ReadWord(0), 0x0201);  // the caller reads into images it may throw away
}

TEST_F(Reader, ReadErrorIsNotTheEndOfTheFile) {
    // A stream opened for writing only fails every read, on every platform.
    const auto path = dir.Write("written.hex", Data(0, "01020304") + kEnd);
    FilePtr writeOnly(std::fopen(path.string().c_str(), "ab"), &std::fclose);
    ASSERT_NE(writeOnly, nullptr);
    EXPECT_EQ(ReadHexFile(writeOnly.get(), code, data, config), -1);
}

}  // namespace
