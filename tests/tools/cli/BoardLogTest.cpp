// pelorant-cli write --log: a JSON line for every board of every write, appended to a file that
// is never emptied, and a log that cannot be written refused before any board is touched.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "common/Sha256.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/cli/BenchBoards.h"

using namespace benchtest;

namespace {

// What a board's line says of a board of each kind writing the sample.
struct ExpectedLine {
    const char* result;
    int status;
    bool identified;
    std::uint32_t codeRows;  // acknowledged rows of program flash
};

ExpectedLine ExpectedOf(BoardKind kind) {
    switch (kind) {
        case BoardKind::Good:
            return {"ok", 0, true, 4};
        case BoardKind::Silent:
            return {"failed", 4, false, 0};
        case BoardKind::Refusing:
            return {"failed", 1, true, 2};
    }
    return {};
}

std::uint32_t CodeRows(const nlohmann::json& line) {
    for (const nlohmann::json& memory : line.at("memories")) {
        if (memory.at("memory") == "code") return memory.at("rows").get<std::uint32_t>();
    }
    return 0;
}

TEST(BoardLogTest, EveryWriteAppendsALinePerBoardAndKeepsWhatWasThere) {
    using K = BoardKind;
    const struct {
        std::vector<BoardKind> boards;
        int status;  // the highest of the boards'
    } writes[] = {
        {{K::Good}, 0},
        {{K::Refusing, K::Good}, 1},
        {{K::Silent}, 4},
    };
    testsupport::TempDir dir;
    const std::string log = (dir.path() / "log.jsonl").string();
    const std::string sha256 = Sha256Hex(testsupport::ReadFile(kSample));
    std::string before;
    for (const auto& write : writes) {
        const std::vector<BoardKind>& kinds = write.boards;
        SCOPED_TRACE(std::to_string(kinds.size()) + " boards after " +
                     std::to_string(Lines(before).size()) + " lines");
        Bench bench;
        for (const BoardKind kind : kinds) bench.Add(kind);
        const CliRun run = bench.Run({"write", "--log", log, kSample});
        EXPECT_EQ(run.status, write.status) << run.err;

        const std::string after = testsupport::ReadFile(log);
        ASSERT_EQ(after.compare(0, before.size(), before), 0) << "the log lost its earlier lines";
        const std::vector<std::string> added = Lines(after.substr(before.size()));
        ASSERT_EQ(added.size(), kinds.size()) << after;
        for (std::size_t i = 0; i < kinds.size(); ++i) {
            const nlohmann::json line = nlohmann::json::parse(added[i]);
            const ExpectedLine expected = ExpectedOf(kinds[i]);
            EXPECT_EQ(line.at("port"), PortOf(bench.Board(i))) << added[i];
            EXPECT_EQ(line.at("result"), expected.result) << added[i];
            EXPECT_EQ(line.at("exit_status"), expected.status) << added[i];
            EXPECT_EQ(line.at("device").is_null(), !expected.identified) << added[i];
            EXPECT_EQ(line.at("cause").is_null(), expected.status == 0) << added[i];
            EXPECT_EQ(CodeRows(line), expected.codeRows) << added[i];
            EXPECT_EQ(line.at("hex_sha256"), sha256);
            EXPECT_TRUE(line.at("serial").is_null());
            EXPECT_FALSE(line.at("host").get<std::string>().empty());
        }
        before = after;
    }
}

TEST(BoardLogTest, ALogThatCannotBeWrittenIsRefusedBeforeAnyBoard) {
    Bench bench;
    VirtualBoard& board = bench.Add(BoardKind::Good);
    const testsupport::TempDir& dir = bench.Dir();
    const std::string hex = dir.Write("fw.hex", testsupport::ReadFile(kSample)).string();
    const struct {
        const char* name;
        std::string log;
        std::string said;
    } cases[] = {
        {"a directory", dir.path().string(),
         "cannot write the log " + dir.path().string() + " is a directory"},
        {"in a missing directory", (dir.path() / "missing" / "log.jsonl").string(),
         "cannot write the log " + (dir.path() / "missing" / "log.jsonl").string() + ": "},
        {"the HEX file itself", hex, "is " + hex + ", which the command reads"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = bench.Run({"write", "--log", c.log, hex});
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_TRUE(RowsReceivedBy(board).empty());
        EXPECT_EQ(testsupport::ReadFile(hex), testsupport::ReadFile(kSample));
    }
}

}  // namespace
