// The options of a production run: which go together, and what their values come to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/cli/CommandLine.h"

namespace {

std::vector<std::string> WriteArgs(const std::vector<std::string>& options) {
    std::vector<std::string> args = {"write", "--port", "COM1"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back("fw.hex");
    return args;
}

TEST(ProductionOptionsTest, TheOptionsOfBatchesAndSerialNumbersGoTogetherOrAreRefused) {
    struct Accepted {
        std::vector<std::string> options;
        std::uint64_t start;
        std::uint64_t step;
        std::string state;
    };
    const Accepted accepted[] = {
        {{"--serial", "1000", "--serial-at", "0x7FFC00", "--serial-state", "s"}, 1000, 1, "s"},
        {{"--serial", "0x10:5", "--serial-at", "0x100", "--log", "/srv/log.jsonl"},
         16,
         5,
         "/srv/serial.state"},
        {{"--serial", "1", "--serial-at", "0x100", "--log", "log.jsonl"}, 1, 1, "serial.state"},
        {{"--serial", "65536", "--serial-words", "2", "--serial-at", "2", "--serial-state", "s"},
         65536,
         1,
         "s"},
    };
    for (const Accepted& c : accepted) {
        SCOPED_TRACE(::testing::PrintToString(c.options));
        CliOptions options;
        std::string error;
        ASSERT_TRUE(ParseCommandLine(WriteArgs(c.options), options, error)) << error;
        EXPECT_EQ(options.production.serialStart.value_or(0), c.start);
        EXPECT_EQ(options.production.serialStep, c.step);
        EXPECT_EQ(options.production.serialState, c.state);
    }

    struct Refused {
        std::vector<std::string> options;
        std::string error;
    };
    const Refused refused[] = {
        {{"--serial", "1000", "--serial-at", "0x7FFC00"}, "needs --serial-state FILE or --log"},
        {{"--serial", "1000", "--serial-state", "s"}, "needs --serial-at ADDRESS"},
        {{"--serial-at", "0x100"}, "--serial-at needs --serial START[:STEP] or --serial-list"},
        {{"--serial", "1", "--serial-list", "l", "--serial-at", "2"}, "exclude each other"},
        {{"--serial", "65536", "--serial-at", "2", "--serial-state", "s"},
         "65536 does not fit in 1 word (at most 65535)"},
        {{"--serial", "1:0", "--serial-at", "2", "--serial-state", "s"}, "is not START or"},
        {{"--serial", "1", "--serial-at", "2", "--serial-words", "5", "--serial-state", "s"},
         "--serial-words: '5' is not 1 to 4"},
        {{"--serial", "1", "--serial-at", "2", "--serial-state", "s", "--serial-on-fail", "keep"},
         "is not burn or reuse"},
        {{"--next-batch", "replug"}, "--next-batch needs --repeat"},
        {{"--repeat", "--next-batch", "usb"}, "is not line or replug"},
        {{"--repeat", "--json"}, "--json does not go with --repeat"},
        {{"--repeat", "--run", "--monitor"}, "--monitor does not go with --repeat"},
    };
    for (const Refused& c : refused) {
        SCOPED_TRACE(::testing::PrintToString(c.options));
        CliOptions options;
        std::string error;
        EXPECT_FALSE(ParseCommandLine(WriteArgs(c.options), options, error));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

}  // namespace
