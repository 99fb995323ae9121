// pelorant-cli write with several --port: every board its own detection, identification and
// write, and a closing table that says how each ended.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "common/Sha256.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/cli/BenchBoards.h"

using namespace benchtest;

namespace {

const std::vector<std::uint32_t> kSampleRows = {0x0000, 0x0100, 0x0140, 0x0180, 0x7FFC00};

// What the table says of a board of each kind writing the sample, and what the board got.
struct Expected {
    std::string chip;
    std::size_t rows;
    std::string result;  // the start of the result column
    std::vector<std::uint32_t> rowsReceived;
};

Expected ExpectedOf(BoardKind kind) {
    switch (kind) {
        case BoardKind::Good:
            return {"dsPIC30F4011", 5, "ok", kSampleRows};
        case BoardKind::Silent:
            return {"-", 0, "failed (4): detection failed: no bootloader answered", {}};
        case BoardKind::Refusing:
            return {"dsPIC30F4011",
                    2,
                    "failed (1): program flash: the board refused the row at 0x000140 (byte 0xEE)",
                    {0x0000, 0x0100, 0x0140}};
    }
    return {};
}

TEST(ParallelWriteTest, EveryBoardIsWrittenOnItsOwnAndTheTableSaysHowEachEnded) {
    struct Run {
        const char* name;
        std::vector<BoardKind> boards;
        int status;  // the highest of the boards'
    };
    using K = BoardKind;
    const std::vector<Run> runs = {
        {"every board good", {K::Good, K::Good, K::Good}, 0},
        {"good, silent and refusing", {K::Good, K::Silent, K::Refusing, K::Good}, 4},
        {"refusing and good", {K::Refusing, K::Good}, 1},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        Bench bench;
        for (const BoardKind kind : run.boards) bench.Add(kind);
        const CliRun result = bench.Run({"write", kSample});
        EXPECT_EQ(result.status, run.status) << result.err;

        const auto table = ParseTable(result.out);
        ASSERT_EQ(table.size(), run.boards.size()) << result.out;
        for (std::size_t i = 0; i < run.boards.size(); ++i) {
            const std::string port = PortOf(bench.Board(i));
            const Expected expected = ExpectedOf(run.boards[i]);
            ASSERT_TRUE(table.count(port)) << port << "\n" << result.out;
            const TableLine& line = table.at(port);
            EXPECT_EQ(line.chip, expected.chip) << port;
            EXPECT_EQ(line.rows, expected.rows) << port;
            EXPECT_EQ(line.result.rfind(expected.result, 0), 0u) << line.result;
            EXPECT_EQ(RowsReceivedBy(bench.Board(i)), expected.rowsReceived) << port;
        }
    }
}

// Off a terminal every line a board prints starts with its port; only the table does not.
TEST(ParallelWriteTest, OffATerminalEveryBoardLineStartsWithItsPort) {
    Bench bench;
    bench.Add(BoardKind::Good);
    bench.Add(BoardKind::Refusing);
    const CliRun result = bench.Run({"write", kSample});
    ASSERT_EQ(result.status, 1) << result.err;
    const std::vector<std::string> ports = {PortOf(bench.Board(0)), PortOf(bench.Board(1))};
    auto named = [&](const std::string& line) {
        for (const std::string& port : ports) {
            if (line.rfind(port + ": ", 0) == 0) return true;
        }
        return false;
    };
    for (const std::string& line : Lines(result.err)) EXPECT_TRUE(named(line)) << line;
    std::size_t tableLines = 0;
    for (const std::string& line : Lines(result.out)) {
        if (!named(line)) ++tableLines;
    }
    // The file's line, the table's header and rows.
    EXPECT_EQ(tableLines, 2 + ports.size()) << result.out;
}

TEST(ParallelWriteTest, SeveralPortsAreForWriteAndEachPortCountsOnce) {
    struct Case {
        std::vector<std::string> args;
        std::string said;
    };
    testsupport::TempDir dir;
    const std::string device = dir.Write("ttyS4", "").string();
    const std::string link = (dir.path() / "serial-by-id").string();
    std::vector<Case> cases = {
        {{"detect", "--port", "COM1", "--port", "COM2"}, "detect takes one --port"},
        {{"run", "--port", "COM1", "--port", "COM2"}, "run takes one --port"},
        {{"write", "--port", "COM1", "--port", "COM1", "a.hex"}, "--port COM1 is given twice"},
    };
    // Two spellings of one device need a link, which not every platform's files make (Wine).
    std::error_code noLinks;
    std::filesystem::create_symlink(device, link, noLinks);
    if (!noLinks) {
        cases.push_back({{"write", "--port", link, "--port", device, "a.hex"},
                         "--port " + link + " and --port " + device + " name one port, " + device});
    }
    for (const Case& c : cases) {
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(c.args);
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    }
}

}  // namespace

// The file is read once, before any board is detected: a file rebuilt while one board still
// waits for its reset cannot give the boards two programs.
TEST(ParallelWriteTest, AFileRebuiltDuringTheDetectionGivesEveryBoardTheSameProgram) {
    Bench bench;
    VirtualBoard& early = bench.Add(BoardKind::Good);
    BoardOptions late;
    late.listenWindow = std::chrono::milliseconds(1500);  // silent until it is reset
    VirtualBoard& waiting = bench.Add(BoardKind::Good, late);
    std::this_thread::sleep_for(std::chrono::milliseconds(1700));

    const std::string firmware = (bench.Dir().path() / "fw.hex").string();
    const std::string sample = testsupport::ReadFile(kSample);
    bench.Dir().Write("fw.hex", sample);
    bool rebuilt = false;
    const CliRun result = RunCliWatched(
        {"write", "--port", PortOf(early), "--port", PortOf(waiting), "--workdir", kCatalogueDir,
         "--detect-timeout", "30", firmware},
        [&](CliProcessId) {
            if (rebuilt || early.RowsProgrammed() < kSampleRows.size()) return;
            // The tool chain writes the new file beside the old one and renames it over it.
            const std::filesystem::path next = bench.Dir().Write("next.hex", CodeRowsHex(2));
            std::filesystem::rename(next, firmware);
            waiting.Reset();
            rebuilt = true;
        });
    ASSERT_TRUE(rebuilt);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("sha256 " + Sha256Hex(sample)), std::string::npos) << result.out;
    EXPECT_EQ(RowsReceivedBy(waiting), kSampleRows);
    for (const std::uint32_t row : kSampleRows) {
        EXPECT_EQ(waiting.Word(row + 1), early.Word(row + 1)) << row;
    }
}
