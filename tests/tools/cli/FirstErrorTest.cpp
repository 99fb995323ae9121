#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/cli/ConsoleOutput.h"

// What the closing table of a write to several boards gives as a board's reason: its first
// cause line, else its first error; warnings and the boxes' own lines never.
TEST(FirstErrorTest, ACauseLineIsTheReasonBeforeAnyOtherError) {
    struct Row {
        const char* what;
        std::vector<std::string> lines;
        const char* expected;
    };
    const Row rows[] = {
        {"nothing went wrong", {}, ""},
        {"an error alone",
         {"pelorant-cli: detection failed: no bootloader"},
         "detection failed: "
         "no bootloader"},
        {"a box and its cause, then the summary",
         {"error: write error", "    Error code: 3", "    cause: program flash: refused",
          "pelorant-cli: write failed: program flash not written completely"},
         "program flash: refused"},
        {"an error, then the cause that explains it",
         {"pelorant-cli: synchronization error", "    cause: the board did not answer"},
         "the board did not answer"},
        {"only the first cause counts", {"    cause: first", "    cause: second"}, "first"},
        {"warnings are no reason",
         {"pelorant-cli: warning: config not selected", "pelorant-cli: write failed: x"},
         "write failed: x"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::FILE* sink = std::tmpfile();
        ASSERT_NE(sink, nullptr);
        {
            ConsoleOutput output(sink, sink, false);
            for (const std::string& line : row.lines) output.Error(line);
            EXPECT_EQ(output.FirstError(), row.expected);
        }
        std::fclose(sink);
    }
}
