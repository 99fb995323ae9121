// pelorant-cli --trace against the files around it: POSIX FIFOs and /dev/full, so the file is
// left out on Windows.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "tests/tools/cli/BenchBoards.h"

using namespace benchtest;

namespace {

const char* const kOneRowHex = ":020000040000FA\n:080000000001040000000000F3\n:00000001FF\n";

// The trace never empties one of the command's inputs, whatever the name it is given by, and a
// trace that cannot be written is said at once and fails the run, instead of a write
// "completed" with its trace cut short.
TEST(TraceTest, ATraceThatWouldEmptyAnInputOrCannotBeWrittenIsSaid) {
    Bench bench;
    VirtualBoard& board = bench.Add(BoardKind::Good);
    const testsupport::TempDir& dir = bench.Dir();
    const std::string hex = dir.Write("fw.hex", kOneRowHex).string();
    const std::string catalogue =
        dir.Write("work/qor_dspiclist.xml",
                  testsupport::ReadFile(kCatalogueDir + "/qor_dspiclist.xml"))
            .string();
    const std::string settings = dir.Write("config/Vardeno/registry.reg", "REGEDIT4\n\n").string();
    std::filesystem::create_symlink(hex, dir.path() / "fw-link.hex");
    ASSERT_EQ(mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
    const struct {
        const char* name;
        std::string trace;
        int status;
        std::string said;
        std::size_t rows;  // received by the board
    } cases[] = {
        {"the HEX file by a link", (dir.path() / "fw-link.hex").string(), 2,
         "is " + hex + ", which the command reads", 0},
        {"the catalogue by another path", (dir.path() / "work/../work/qor_dspiclist.xml").string(),
         2, "is " + catalogue + ", which the command reads", 0},
        {"the settings file", settings, 2, "is " + settings + ", which the command reads", 0},
        {"a FIFO that no program reads", (dir.path() / "fifo").string(), 2,
         "no program reads this FIFO", 0},
        {"a full device", "/dev/full", 1,
         "the trace file /dev/full cannot be written: No space left on device", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = RowsReceivedBy(board).size();
        const CliRun run =
            RunCli({"write", "--port", PortOf(board), "--workdir", (dir.path() / "work").string(),
                    "--detect-timeout", "5", "--trace", c.trace, hex});
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_EQ(RowsReceivedBy(board).size() - before, c.rows);
        EXPECT_EQ(testsupport::ReadFile(hex), kOneRowHex);
        EXPECT_EQ(testsupport::ReadFile(catalogue),
                  testsupport::ReadFile(kCatalogueDir + "/qor_dspiclist.xml"));
        EXPECT_EQ(testsupport::ReadFile(settings), "REGEDIT4\n\n");
    }
}

}  // namespace
