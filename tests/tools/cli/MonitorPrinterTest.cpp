#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/cli/MonitorPrinter.h"

namespace {

struct Chunk {
    std::string bytes;
    double seconds;
};

struct PrintCase {
    const char* name;
    bool hex;
    bool timestamps;
    std::vector<Chunk> chunks;
    std::string printed;  // Finish() included
};

TEST(MonitorPrinterTest, PrintsWhatArrives) {
    const PrintCase cases[] = {
        {"text lines, every line end",
         false,
         false,
         {{"one\r\ntwo\nthree\rfour", 0}},
         "one\ntwo\nthree\nfour\n"},
        {"CR LF split between reads", false, false, {{"one\r", 0}, {"\ntwo\r\n", 0}}, "one\ntwo\n"},
        {"empty lines stay", false, false, {{"\n\r\n", 0}}, "\n\n"},
        {"escapes",
         false,
         false,
         {{std::string("a\\b\x00\x1b\t\xff", 7), 0}},
         "a\\\\b\\x00\\x1B\\x09\\xFF\n"},
        {"time of each line's first byte",
         false,
         true,
         {{"ab", 0.25}, {"c\nd", 1.5}},
         "[    0.250] abc\n[    1.500] d\n"},
        {"hex, 16 a line",
         true,
         false,
         {{"0123456789ABCDEFG", 0}},
         "30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46\n47\n"},
        {"hex across reads, line ends kept as bytes",
         true,
         true,
         {{"\r", 2}, {"\n", 3}},
         "[    2.000] 0D 0A\n"},
        {"nothing arrived", false, true, {}, ""},
    };
    for (const PrintCase& row : cases) {
        SCOPED_TRACE(row.name);
        MonitorPrinter printer(row.hex, row.timestamps);
        std::string printed;
        for (const Chunk& chunk : row.chunks) {
            printed += printer.Feed(chunk.bytes.data(), chunk.bytes.size(), chunk.seconds);
        }
        printed += printer.Finish();
        EXPECT_EQ(printed, row.printed);
    }
}

}  // namespace
