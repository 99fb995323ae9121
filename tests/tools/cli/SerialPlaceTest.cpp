// Where a board's number lands, as check shows it, and a place a write refuses before it
// touches the board or takes a number.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/tools/cli/CliTest.h"

namespace {

using benchtest::CliTest;
using benchtest::Contains;
using benchtest::kCatalogueDir;
using benchtest::kSample;

TEST_F(CliTest, CheckShowsTheRowTheSerialNumberLandsInOrWhyItCannot) {
    struct Case {
        std::vector<std::string> serial;
        int status;
        const char* said;
    };
    const Case cases[] = {
        {{"--serial", "1000", "--serial-at", "0x7FFC00"},
         0,
         "serial number 1000 at 0x7FFC00 (data EEPROM, 1 word), row 0x7FFC00-0x7FFC1F"},
        {{"--serial", "0x10000", "--serial-words", "2", "--serial-at", "0x013E"},
         0,
         "serial number 65536 at 0x013E (program flash, 2 words), rows 0x0100-0x017F"},
        {{"--serial", "1", "--serial-at", "0x7C10"}, 2, "inside the bootloader (0x7C00 - 0x7FFE)"},
        {{"--serial", "1", "--serial-at", "0xF80000"}, 2, "configuration registers"},
        {{"--serial", "1", "--serial-at", "0x7FFC01"}, 2, "an odd address"},
        {{"--serial", "70000", "--serial-at", "0x7FFC00"}, 2, "70000 does not fit in 1 word"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.serial));
        std::vector<std::string> args = {"check", "--device", "dsPIC30F4011", "--workdir",
                                         kCatalogueDir};
        args.insert(args.end(), c.serial.begin(), c.serial.end());
        args.push_back(kSample);
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(Contains(run.out + run.err, c.said)) << run.out << run.err;
    }
}

TEST_F(CliTest, AWriteRefusesAPlaceInTheBootloaderBeforeAnyRowOrNumber) {
    StartBoard();
    const std::string state = (dir_.path() / "serial.state").string();
    const CliRun run = Board(
        {"write", "--serial", "1000", "--serial-at", "0x7C10", "--serial-state", state, kSample});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_TRUE(Contains(run.err, "inside the bootloader")) << run.err;
    EXPECT_TRUE(RowsReceived().empty());
    EXPECT_FALSE(std::filesystem::exists(state));
}

}  // namespace
