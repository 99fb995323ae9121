// What the board leaves behind: its memory as Intel HEX and the log of received frames.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <numeric>
#include <sstream>

#include "catalogue/Catalogue.h"
#include "image/HexReader.h"
#include "tests/tools/sim/BoardTestSupport.h"

using namespace boardtest;

namespace {

// Every record is well formed, data records hold whole 4-byte groups, at most 16 bytes,
// and none crosses a 64 KB segment. Returns the number of segment records.
int CheckRecords(const std::string& text) {
    std::istringstream in(text);
    int segments = 0;
    for (std::string line; std::getline(in, line);) {
        EXPECT_EQ(line[0], ':');
        std::vector<unsigned> bytes;
        for (std::size_t i = 1; i + 1 < line.size(); i += 2) {
            bytes.push_back(static_cast<unsigned>(std::stoul(line.substr(i, 2), nullptr, 16)));
        }
        EXPECT_EQ(std::accumulate(bytes.begin(), bytes.end(), 0u) % 256, 0u) << line;
        EXPECT_EQ(bytes.size(), bytes[0] + 5u) << line;
        if (bytes[3] == 0x04) ++segments;
        if (bytes[3] != 0x00) continue;
        EXPECT_TRUE(bytes[0] % 4 == 0 && bytes[0] <= 16) << line;
        EXPECT_LE((bytes[1] << 8 | bytes[2]) + bytes[0], 0x10000u) << line;
    }
    EXPECT_TRUE(text.ends_with(":00000001FF\n"));
    return segments;
}

TEST(BoardRecordTest, DumpReadsBackWithTheHostHexReader) {
    BoardFixture fixture;
    BoardOptions options = fixture.Options("dsPIC30F4011");
    options.cataloguePath = PELORANT_SOURCE_DIR "/catalogue/qor_dspiclist.xml";
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    for (const Bytes& frame :
         {RowFrame(0x000000, RowData(64, 0x50)), RowFrame(0x001000, RowData(64, 0x51)),
          RowFrame(0x7FFC00, RowData(32, 0x52)), RowFrame(0xF80000, {0xA3, 0x01, 0x00, 0x00})}) {
        ASSERT_EQ(host.Exchange(frame, 1), (Bytes{0x55}));
    }
    const auto path = fixture.Dir().path() / "dump.hex";
    ASSERT_TRUE(board->DumpHex(path.string()));
    EXPECT_EQ(CheckRecords(testsupport::ReadFile(path)), 3)
        << "flash, EEPROM (byte 0xFFF800) and configuration (byte 0x1F00000)";

    auto device = std::make_unique<CDeviceInfo>();
    std::string name;
    ASSERT_EQ(LookupDevice(options.cataloguePath, "0x0101", *device, name), CatalogueLookup::Found);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "r"),
                                                         &std::fclose);
    ASSERT_TRUE(file);
    ASSERT_EQ(ReadHexFile(file.get(), device->images[0], device->images[1], device->images[2]), 1);

    std::size_t wordsRead = 0;
    for (CMemoryImage& image : device->images) {
        for (std::uint32_t address = image.GetStart(); address <= image.GetEnd() + 1; ++address) {
            MemoryCell cell;
            ASSERT_EQ(image.GetCell(address, cell), 1);
            const std::uint16_t expected = board->Word(address).value_or(0);
            if (expected == 0xFFFF) {
                EXPECT_FALSE(cell.used) << std::hex << address;
                continue;
            }
            EXPECT_TRUE(cell.used) << std::hex << address;
            EXPECT_EQ(cell.value, expected) << std::hex << address;
            ++wordsRead;
        }
    }
    // Three rows of 64 and 32 words, one configuration pair and the 1024-word bootloader.
    EXPECT_EQ(wordsRead, 64u + 64u + 32u + 2u + 1024u);
}

TEST(BoardRecordTest, FrameLogHasOneTimedLinePerFrameAndReply) {
    BoardFixture fixture;
    BoardOptions options = fixture.Options();
    options.frameLogPath = (fixture.Dir().path() / "frames.log").string();
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    ASSERT_EQ(host.Exchange({0x55}, 1), (Bytes{0x55}));
    ASSERT_EQ(host.Exchange({0x01, 0xFF, 0x00, 0x00}, 4).size(), 4u);
    ASSERT_EQ(host.Exchange(RowFrame(0x000100, Bytes(128, 0xFF)), 1), (Bytes{0x55}));
    const std::string port = board->DevicePath();
    board.reset();  // the reply's line is written once it is out

    std::istringstream log(testsupport::ReadFile(options.frameLogPath));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    std::string row = "02 00 01 00 81";
    for (int i = 0; i < 128; ++i) row += " FF";
    // Everything after the time and the port, which is the board's device path.
    const std::vector<std::string> expected = {
        "H>B probe: 55",
        "B>H probe: 55",
        "H>B identify: 01 FF 00 00",
        "B>H identify: 00 01 01 55",
        "H>B row 0 at 0x000100: " + row + " FE",
        "B>H ack row 0 at 0x000100: 55",
    };
    ASSERT_EQ(lines.size(), expected.size()) << testsupport::ReadFile(options.frameLogPath);
    unsigned long long previous = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto space = lines[i].find(' ');
        ASSERT_NE(space, std::string::npos) << lines[i];
        const std::string micros = lines[i].substr(0, space);
        ASSERT_EQ(micros.find_first_not_of("0123456789"), std::string::npos) << lines[i];
        EXPECT_GE(std::stoull(micros), previous) << lines[i];
        previous = std::stoull(micros);
        EXPECT_EQ(lines[i].substr(space + 1), port + " " + expected[i]);
    }
}

}  // namespace
