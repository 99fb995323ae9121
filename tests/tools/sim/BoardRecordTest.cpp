// What the board leaves behind: its memory as Intel HEX and the log of received frames.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "tests/tools/sim/BoardTestSupport.h"

using namespace boardtest;

namespace {

// Reads an Intel HEX file back into word addresses; fails the test on a malformed record.
std::map<std::uint32_t, std::uint16_t> ReadHexWords(const std::filesystem::path& path,
                                                    int* segmentRecords) {
    std::map<std::uint32_t, std::uint16_t> words;
    std::ifstream in(path);
    std::string line;
    std::uint32_t segment = 0;
    bool ended = false;
    while (std::getline(in, line)) {
        EXPECT_FALSE(ended) << "records after the end record";
        EXPECT_EQ(line[0], ':');
        std::vector<std::uint8_t> bytes;
        for (std::size_t i = 1; i + 1 < line.size(); i += 2) {
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(line.substr(i, 2), nullptr, 16)));
        }
        unsigned sum = 0;
        for (auto byte : bytes) sum += byte;
        EXPECT_EQ(sum % 256, 0u) << line;
        EXPECT_EQ(bytes.size(), bytes[0] + 5u) << line;
        const std::uint32_t offset = bytes[1] << 8 | bytes[2];
        if (bytes[3] == 0x04) {
            segment = static_cast<std::uint32_t>(bytes[4] << 8 | bytes[5]) << 16;
            ++*segmentRecords;
        } else if (bytes[3] == 0x01) {
            ended = true;
        } else {
            EXPECT_EQ(bytes[3], 0x00) << line;
            EXPECT_LE(bytes[0], 16) << line;
            EXPECT_EQ(bytes[0] % 4, 0) << line;
            EXPECT_LE(offset + bytes[0], 0x10000u) << "a record crosses a 64 KB segment";
            for (std::size_t i = 0; i + 1 < bytes[0]; i += 2) {
                words[(segment + offset + static_cast<std::uint32_t>(i)) / 2] =
                    static_cast<std::uint16_t>(bytes[4 + i] | bytes[5 + i] << 8);
            }
        }
    }
    EXPECT_TRUE(ended);
    return words;
}

TEST(BoardRecordTest, DumpHoldsExactlyTheWrittenRowsAndTheBootloader) {
    BoardFixture fixture;
    BoardOptions options = fixture.Options("dsPIC30F4011");
    options.cataloguePath = PELORANT_SOURCE_DIR "/catalogue/qor_dspiclist.xml";
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    const std::vector<Bytes> frames = {
        RowFrame(0x000000, RowData(64, 0x40)), RowFrame(0x007BC0, RowData(64, 0x41)),
        RowFrame(0x7FFC00, RowData(32, 0x42)), RowFrame(0xF80000, {0xA3, 0x01, 0x00, 0x00}),
        RowFrame(0xF8000C, {0x03, 0xC0, 0x00, 0x00})};
    for (const Bytes& frame : frames) ASSERT_EQ(host.Exchange(frame, 1), (Bytes{0x55}));

    const auto path = fixture.Dir().path() / "dump.hex";
    ASSERT_TRUE(board->DumpHex(path.string()));
    int segmentRecords = 0;
    const auto words = ReadHexWords(path, &segmentRecords);
    EXPECT_EQ(segmentRecords, 3) << "flash, EEPROM (byte 0xFFF800) and configuration (0x1F00000)";

    // Word ranges [first, end) that hold data: the rows written and the bootloader.
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> used = {{0x000000, 0x000040},
                                                                       {0x007BC0, 0x008000},
                                                                       {0x7FFC00, 0x7FFC20},
                                                                       {0xF80000, 0xF80002},
                                                                       {0xF8000C, 0xF8000E}};
    std::size_t expected = 0;
    for (const auto& [first, end] : used) {
        for (std::uint32_t word = first; word < end; ++word) {
            ASSERT_TRUE(words.count(word)) << std::hex << word;
            EXPECT_EQ(words.at(word), board->Word(word)) << std::hex << word;
            ++expected;
        }
    }
    EXPECT_EQ(words.size(), expected) << "no erased word pair is dumped";
    EXPECT_EQ(words.at(0x7C00), 0xB007);
}

TEST(BoardRecordTest, FrameLogHasOneTimedLinePerFrame) {
    BoardFixture fixture;
    BoardOptions options = fixture.Options();
    options.frameLogPath = (fixture.Dir().path() / "frames.log").string();
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    ASSERT_EQ(host.Exchange({0x55}, 1), (Bytes{0x55}));
    ASSERT_EQ(host.Exchange({0x01, 0xFF, 0x00, 0x00}, 4).size(), 4u);
    ASSERT_EQ(host.Exchange(RowFrame(0x000100, Bytes(128, 0xFF)), 1), (Bytes{0x55}));

    std::istringstream log(testsupport::ReadFile(options.frameLogPath));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);
    std::string row = "02 00 01 00 81";
    for (int i = 0; i < 128; ++i) row += " FF";
    const std::vector<std::string> bytes = {"55", "01 FF 00 00", row + " FE"};
    double previous = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto space = lines[i].find(' ');
        ASSERT_NE(space, std::string::npos) << lines[i];
        const std::string seconds = lines[i].substr(0, space);
        EXPECT_EQ(seconds.size() - seconds.find('.'), 7u) << "microseconds: " << lines[i];
        EXPECT_GE(std::stod(seconds), previous);
        previous = std::stod(seconds);
        EXPECT_EQ(lines[i].substr(space + 1), bytes[i]);
    }
}

}  // namespace
